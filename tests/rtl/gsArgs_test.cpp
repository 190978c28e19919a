// The argument grammar of Ghostscript jobs: whatever the program writes, the console
// program reads back as the same arguments, and what cannot be written is refused.
#include "platform/rtl/gsArgs.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Args = std::vector<std::string>;

// Bytes weighted toward those the grammar treats specially.
char RandomByte(std::mt19937& rng) {
    static const char kSpecial[] = {' ',  '"',  '\\',   '\t',   '\n',   '\r',   '\0',
                                    '\f', '\v', '@',    '-',    '=',    '%',    '|',
                                    'a',  'Z',  '\xE4', '\xB8', '\xAD', '\x7F', '\x01'};
    std::uniform_int_distribution<int> pick(0, 3);
    if (pick(rng) == 0) return char(std::uniform_int_distribution<int>(0, 255)(rng));
    return kSpecial[std::uniform_int_distribution<size_t>(0, sizeof kSpecial - 1)(rng)];
}

std::string RandomText(std::mt19937& rng, int maxLength) {
    std::string s(std::uniform_int_distribution<size_t>(0, size_t(maxLength))(rng), '\0');
    for (char& c : s) c = RandomByte(rng);
    return s;
}

TEST(GsArgGrammar, AnyRepresentableVectorComesBackAndOthersAreRefused) {
    std::mt19937 rng(20240611);
    int roundTrips = 0, refusals = 0;
    for (int round = 0; round < 20000; ++round) {
        Args args(std::uniform_int_distribution<size_t>(0, 5)(rng));
        bool representable = true;
        for (std::string& a : args) {
            // Every fourth vector is kept free of the bytes the grammar cannot carry.
            a = RandomText(rng, 12);
            if (round % 4 == 0)
                for (char& c : a)
                    if (c == '\0' || c == '\n' || c == '\r') c = '_';
            representable = representable && GsRepresentable(a);
        }
        if (!representable) {
            EXPECT_THROW(GsQuoteLine(args), GsArgError);
            ++refusals;
            continue;
        }
        const std::string line = GsQuoteLine(args);
        ASSERT_EQ(GsTokenize(line), args) << line;
        EXPECT_EQ(line.find_first_of(std::string("\n\r\0", 3)), std::string::npos);
        ++roundTrips;
    }
    EXPECT_GT(roundTrips, 5000);
    EXPECT_GT(refusals, 5000);
}

TEST(GsArgGrammar, SwitchesWithQuotedValuesComeBackAsTheArgumentsGhostscriptReceives) {
    std::mt19937 rng(7);
    for (int round = 0; round < 5000; ++round) {
        GsArgs built;
        for (int n = std::uniform_int_distribution<int>(0, 4)(rng); n > 0; --n) {
            std::string head = RandomText(rng, 6);
            std::string value = RandomText(rng, 10);
            if (!GsBareWritable(head)) head = "-sOutputFile=";
            if (!GsRepresentable(value)) value = "a b\\\"";
            if (rng() % 2)
                built.Quoted(head, value);
            else if (!head.empty())
                built += head;
        }
        EXPECT_EQ(GsTokenize(built.Line()), built.Vector()) << built.Line();
    }
}

TEST(GsArgGrammar, SpansCoverEachArgumentsOwnText) {
    const std::string line = "  -sOutputFile=\"/a b/c.pdf\" -f \"x\\\"y\"\t\"\"  tail\"open to end";
    const std::vector<GsToken> spans = GsTokenSpans(line);
    ASSERT_EQ(spans.size(), 5u);
    const Args values = {"-sOutputFile=/a b/c.pdf", "-f", "x\"y", "", "tailopen to end"};
    for (size_t i = 0; i < spans.size(); ++i) {
        EXPECT_EQ(spans[i].value, values[i]);
        // Read alone, the text of a span gives its argument again.
        const std::string own = line.substr(spans[i].begin, spans[i].end - spans[i].begin);
        EXPECT_EQ(GsTokenize(own), Args{values[i]}) << own;
    }
    EXPECT_EQ(spans[0].begin, 2u);
    EXPECT_EQ(spans.back().end, line.size());
}

TEST(GsArgGrammar, TheLineKeepsTheFormTheLogShows) {
    GsArgs a = GsPrefix();
    a += "-r300  -sDEVICE=pdfwrite ";
    a.Quoted("-sOutputFile=", "/o/50%% off.pdf");
    a += "-c";
    a.Quoted("", "<</Orientation 3>> setpagedevice");
    a.Quoted("-sOwnerPassword=", "a\"b\\");
    EXPECT_EQ(a.Line(),
              "-dNOPAUSE -dBATCH -dSAFER -r300 -sDEVICE=pdfwrite -sOutputFile=\"/o/50%% off.pdf\" "
              "-c \"<</Orientation 3>> setpagedevice\" -sOwnerPassword=\"a\\\"b\\\\\" ");
    EXPECT_EQ(a.Vector(), (Args{"-dNOPAUSE", "-dBATCH", "-dSAFER", "-r300", "-sDEVICE=pdfwrite",
                                "-sOutputFile=/o/50%% off.pdf", "-c",
                                "<</Orientation 3>> setpagedevice", "-sOwnerPassword=a\"b\\"}));
    EXPECT_EQ(GsArgs().Line(), "");
}

TEST(GsArgGrammar, WhatCannotBeWrittenIsRefusedWithTheArgumentShown) {
    struct Row {
        const char* what;
        std::function<void()> write;
    } rows[] = {
        {"line break in a value", [] { GsArgs().Quoted("-sUserPassword=", "a\nb"); }},
        {"carriage return in a value", [] { QuoteGsArg("a\rb"); }},
        {"NUL in a value", [] { QuoteGsArg(std::string("a\0b", 3)); }},
        {"quote in a switch", [] { GsArgs() += "-sX=\"y\""; }},
        {"tab in a switch", [] { GsArgs() += "-r\t300"; }},
        {"blank in a quoted argument's head", [] { GsArgs().Quoted("-s X=", "v"); }},
    };
    for (const Row& r : rows) EXPECT_THROW(r.write(), GsArgError) << r.what;
    try {
        QuoteGsArg("pass\nword");
        ADD_FAILURE() << "no refusal";
    } catch (const GsArgError& e) {
        EXPECT_NE(std::string(e.what()).find("pass\\x0Aword"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(GsBareWritable("a b"));
    EXPECT_FALSE(GsBareWritable("a\"b"));
    EXPECT_TRUE(GsBareWritable("C:\\temp\\%d"));
}

}  // namespace
