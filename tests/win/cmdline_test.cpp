#include <gtest/gtest.h>

#include "platform/win/cmdline.h"

using Args = std::vector<std::string>;

// ---------------------------------------------------------------- Windows quoting

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(SplitCommandLine("prog a  b\t\"c d\""), (Args{"prog", "a", "b", "c d"}));
    EXPECT_EQ(SplitCommandLine("  prog  "), (Args{"prog"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(SplitCommandLine, ProgramNameHasNoEscapes) {
    // The first token ends at the next quote even after a backslash.
    EXPECT_EQ(SplitCommandLine("\"C:\\dir\\\" x"), (Args{"C:\\dir\\", "x"}));
    EXPECT_EQ(SplitCommandLine("\"/a b/prog\" arg"), (Args{"/a b/prog", "arg"}));
}

TEST(SplitCommandLine, BackslashesBeforeQuotes) {
    EXPECT_EQ(SplitCommandLine(R"(p a\\b)"), (Args{"p", R"(a\\b)"}));        // not before a quote
    EXPECT_EQ(SplitCommandLine(R"(p a\"b)"), (Args{"p", R"(a"b)"}));         // 1 -> literal quote
    EXPECT_EQ(SplitCommandLine(R"(p "a\\" b)"), (Args{"p", R"(a\)", "b"}));  // 2 -> one, quote ends
    EXPECT_EQ(SplitCommandLine(R"(p a\\\"b)"), (Args{"p", R"(a\"b)"}));      // 3 -> one and a quote
    EXPECT_EQ(SplitCommandLine(R"(p "a""b")"), (Args{"p", R"(a"b)"}));       // "" inside quotes
}

TEST(SplitCommandLine, EmptyQuotedArgumentIsKept) {
    EXPECT_EQ(SplitCommandLine("p \"\" x"), (Args{"p", "", "x"}));
}

TEST(SplitCommandLine, ShellCharactersAreData) {
    EXPECT_EQ(SplitCommandLine("p \"$HOME `id` ;|&\" 中文"), (Args{"p", "$HOME `id` ;|&", "中文"}));
}

// ---------------------------------------------------------------- plain command lines

TEST(ParseCommand, PlainFormKeepsRedirectionLookalikesAsArguments) {
    ParsedCommand c;
    ASSERT_TRUE(ParseCommand("\"/bin/x\" \"arg 1\" 1> out", c));
    EXPECT_FALSE(c.viaInterpreter);
    EXPECT_EQ(c.argv, (Args{"/bin/x", "arg 1", "1>", "out"}));
    EXPECT_TRUE(c.redirections.empty());
}

// ---------------------------------------------------------------- the interpreter form

TEST(ParseCommand, GhostscriptRunnerForm) {
    ParsedCommand c;
    std::string line =
        "cmd /c \"\"/p q/gs/gswin32c.exe\" @\"/p q/logs/temp.log\" 1> \"/p q/gs/o.log\" 2> \"/p "
        "q/gs/e.log\"\"";
    ASSERT_TRUE(ParseCommand(line, c));
    EXPECT_TRUE(c.viaInterpreter);
    EXPECT_EQ(c.argv, (Args{"/p q/gs/gswin32c.exe", "@/p q/logs/temp.log"}));
    ASSERT_EQ(c.redirections.size(), 2u);
    EXPECT_EQ(c.redirections[0].fd, 1);
    EXPECT_EQ(c.redirections[0].kind, Redirection::Write);
    EXPECT_EQ(c.redirections[0].file, "/p q/gs/o.log");
    EXPECT_EQ(c.redirections[1].fd, 2);
    EXPECT_EQ(c.redirections[1].file, "/p q/gs/e.log");
}

TEST(ParseCommand, RedirectionsWithoutBlanksAndAllOperators) {
    ParsedCommand c;
    ASSERT_TRUE(ParseCommand("CMD.EXE /C prog a 1>o.txt 2>>e.txt <in.txt b", c));
    EXPECT_EQ(c.argv, (Args{"prog", "a", "b"}));
    ASSERT_EQ(c.redirections.size(), 3u);
    EXPECT_EQ(c.redirections[0].file, "o.txt");
    EXPECT_EQ(c.redirections[1].kind, Redirection::Append);
    EXPECT_EQ(c.redirections[1].fd, 2);
    EXPECT_EQ(c.redirections[2].kind, Redirection::Read);
    EXPECT_EQ(c.redirections[2].fd, 0);
    EXPECT_EQ(c.redirections[2].file, "in.txt");
}

TEST(ParseCommand, DuplicationKeepsItsOrder) {
    ParsedCommand c;
    ASSERT_TRUE(ParseCommand("cmd /c prog > \"o f\" 2>&1", c));
    ASSERT_EQ(c.redirections.size(), 2u);
    EXPECT_EQ(c.redirections[0].fd, 1);
    EXPECT_EQ(c.redirections[0].file, "o f");
    EXPECT_EQ(c.redirections[1].kind, Redirection::Duplicate);
    EXPECT_EQ(c.redirections[1].fd, 2);
    EXPECT_EQ(c.redirections[1].sourceFd, 1);
}

TEST(ParseCommand, OperatorsInsideQuotesAreData) {
    ParsedCommand c;
    ASSERT_TRUE(ParseCommand("cmd /c \"\"prog\" \"a>b & c|d\" x2>y\"", c));
    EXPECT_EQ(c.argv,
              (Args{"prog", "a>b & c|d", "x2"}));  // "x2>y": only a token-initial digit is a handle
    ASSERT_EQ(c.redirections.size(), 1u);
    EXPECT_EQ(c.redirections[0].fd, 1);
    EXPECT_EQ(c.redirections[0].file, "y");
}

TEST(ParseCommand, SingleQuotedProgramKeepsItsQuotes) {
    ParsedCommand c;
    ASSERT_TRUE(ParseCommand("cmd /c \"/a b/prog\"", c));
    EXPECT_EQ(c.argv, (Args{"/a b/prog"}));
}

TEST(ParseCommand, RefusesWhatNeedsAShell) {
    ParsedCommand c;
    std::string why;
    EXPECT_FALSE(ParseCommand("cmd /c prog | other", c, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(ParseCommand("cmd /c prog && other", c));
    EXPECT_FALSE(ParseCommand("cmd /k prog", c));
    EXPECT_FALSE(ParseCommand("cmd", c));
    EXPECT_FALSE(ParseCommand("cmd /c prog 1>", c));
    EXPECT_FALSE(ParseCommand("cmd /c prog > \"unterminated", c));
    EXPECT_FALSE(ParseCommand("", c));
}
