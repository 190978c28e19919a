// The response-file reader and the switch adaptation of gswin32c.exe, tested directly.
// The tool is a program of its own; its code is linked here from the tool's library.
#include "platform/rtl/gsArgs.h"
#include "tools/gswin32c/adapt.h"
#include "tools/gswin32c/response.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

using Args = std::vector<std::string>;

namespace {

TEST(GsResponseTokenize, SplitsOnBlanksTabsAndLineBreaks) {
    EXPECT_EQ(GsTokenize("-dNOPAUSE -dBATCH\t-dSAFER \r\n"),
              (Args{"-dNOPAUSE", "-dBATCH", "-dSAFER"}));
    EXPECT_EQ(GsTokenize("  a   b  "), (Args{"a", "b"}));
    EXPECT_TRUE(GsTokenize("").empty());
    EXPECT_TRUE(GsTokenize(" \r\n\t ").empty());
}

TEST(GsResponseTokenize, QuotesGroupBlanksAndJoinTheSwitch) {
    EXPECT_EQ(GsTokenize("-sOutputFile=\"/tmp/my dir/out put.pdf\" -f \"/tmp/a b.pdf\" "),
              (Args{"-sOutputFile=/tmp/my dir/out put.pdf", "-f", "/tmp/a b.pdf"}));
    EXPECT_EQ(GsTokenize("-c \"<</Orientation 3>> setpagedevice\" -f"),
              (Args{"-c", "<</Orientation 3>> setpagedevice", "-f"}));
    EXPECT_EQ(GsTokenize("a\"b c\"d"), (Args{"ab cd"}));
}

TEST(GsResponseTokenize, DollarApostropheAndNonAsciiAreData) {
    EXPECT_EQ(GsTokenize("-f \"/tmp/$HOME 'x' 中文 文件.pdf\" $PATH"),
              (Args{"-f", "/tmp/$HOME 'x' 中文 文件.pdf", "$PATH"}));
}

TEST(GsResponseTokenize, EscapedQuoteAndBackslashInsideQuotes) {
    EXPECT_EQ(GsTokenize(R"(-sOwnerPassword="pa\"ss w" -sUserPassword="a\\b")"),
              (Args{"-sOwnerPassword=pa\"ss w", "-sUserPassword=a\\b"}));
    EXPECT_EQ(GsTokenize(R"("\"")"), (Args{"\""}));
}

TEST(GsResponseTokenize, OtherBackslashesStayAsTheyAre) {
    // Windows-style paths keep every backslash, inside quotes and outside.
    EXPECT_EQ(GsTokenize(R"(-sOutputFile="C:\temp\new\a.pdf" C:\x\y)"),
              (Args{R"(-sOutputFile=C:\temp\new\a.pdf)", R"(C:\x\y)"}));
    EXPECT_EQ(GsTokenize(R"("a\nb")"), (Args{R"(a\nb)"}));
}

TEST(GsResponseTokenize, EmptyQuotesGiveAnEmptyArgumentAndOpenQuoteRunsToEnd) {
    EXPECT_EQ(GsTokenize("-a \"\" -b"), (Args{"-a", "", "-b"}));
    EXPECT_EQ(GsTokenize("-f \"open to the end "), (Args{"-f", "open to the end "}));
}

class GsResponseFile : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gsw_unit_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        for (const std::string& f : files_) std::remove(f.c_str());
        rmdir(dir_.c_str());
    }
    std::string Write(const std::string& name, const std::string& text) {
        std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        files_.push_back(path);
        return path;
    }
    std::string dir_;
    std::vector<std::string> files_;
};

TEST_F(GsResponseFile, ExpandsTheFileInPlaceOfTheAtArgument) {
    std::string p = Write("temp.log", "-dBATCH -sOutputFile=\"o u t.pdf\" \r\n");
    Args out;
    std::string err;
    ASSERT_TRUE(gsw::ExpandArguments({"-q", "@" + p, "-f", "x.pdf"}, out, err)) << err;
    EXPECT_EQ(out, (Args{"-q", "-dBATCH", "-sOutputFile=o u t.pdf", "-f", "x.pdf"}));
}

TEST_F(GsResponseFile, AcceptsAQuotedPathAfterTheAt) {
    std::string p = Write("t e m p.log", "-dNOPAUSE");
    Args out;
    std::string err;
    ASSERT_TRUE(gsw::ExpandArguments({"@\"" + p + "\""}, out, err)) << err;
    EXPECT_EQ(out, (Args{"-dNOPAUSE"}));
}

TEST_F(GsResponseFile, MissingOrUnreadableFileIsAnError) {
    Args out;
    std::string err;
    EXPECT_FALSE(gsw::ExpandArguments({"@" + dir_ + "/missing.log"}, out, err));
    EXPECT_NE(err.find("missing.log"), std::string::npos);
    err.clear();
    EXPECT_FALSE(gsw::ExpandArguments({"@" + dir_}, out, err));  // a folder
    EXPECT_NE(err.find(dir_), std::string::npos);
    err.clear();
    EXPECT_FALSE(gsw::ExpandArguments({"@"}, out, err));
    EXPECT_FALSE(err.empty());
}

TEST(GsAdaptSwitches, OldPostScriptWritersBecomeTheirSuccessors) {
    EXPECT_EQ(gsw::AdaptArguments({"-r300", "-sDEVICE=pswrite", "-sOutputFile=a.ps"}),
              (Args{"-r300", "-sDEVICE=ps2write", "-sOutputFile=a.ps"}));
    EXPECT_EQ(gsw::AdaptArguments({"-sDEVICE=epswrite"}), (Args{"-sDEVICE=eps2write"}));
    EXPECT_EQ(gsw::AdaptArguments({"-sDEVICE=pdfwrite", "-sDEVICE=jpeg"}),
              (Args{"-sDEVICE=pdfwrite", "-sDEVICE=jpeg"}));
}

TEST(GsAdaptSwitches, UseCIEColorIsDropped) {
    EXPECT_EQ(gsw::AdaptArguments({"-dJPEGQ=75", "-dUseCIEColor", "-sDEVICE=jpeg"}),
              (Args{"-dJPEGQ=75", "-sDEVICE=jpeg"}));
    EXPECT_EQ(gsw::AdaptArguments({"-dUseCIEColor=true"}), Args{});
}

TEST(GsAdaptSwitches, SetpdfwriteIsRemovedAndAnEmptyCodePartWithIt) {
    EXPECT_EQ(gsw::AdaptArguments({"-sOutputFile=o.pdf", "-c", ".setpdfwrite", "-f", "a.pdf"}),
              (Args{"-sOutputFile=o.pdf", "-f", "a.pdf"}));
    EXPECT_EQ(gsw::AdaptArguments({"-c", ".setpdfwrite", "-f", "a.pdf", "b.pdf"}),
              (Args{"-f", "a.pdf", "b.pdf"}));
    // An empty merge list: the line ends with "-f".
    EXPECT_EQ(gsw::AdaptArguments({"-c", ".setpdfwrite", "-f"}), (Args{"-f"}));
    // Code at the end of the line, and inside one quoted argument with other code.
    EXPECT_EQ(gsw::AdaptArguments({"-c", ".setpdfwrite"}), Args{});
    EXPECT_EQ(gsw::AdaptArguments({"-c", "1 pop .setpdfwrite", "-f", "a"}),
              (Args{"-c", "1 pop", "-f", "a"}));
}

TEST(GsAdaptSwitches, OtherCodeIsKeptExactly) {
    EXPECT_EQ(gsw::AdaptArguments({"-c", "<</Orientation 3>>  setpagedevice", "-f", "a.ps"}),
              (Args{"-c", "<</Orientation 3>>  setpagedevice", "-f", "a.ps"}));
    // A negative number is still code; the code ends at "@" or "-" with a non-digit.
    EXPECT_EQ(gsw::AdaptArguments({"-c", "-1", "pop", ".setpdfwrite", "-dX"}),
              (Args{"-c", "-1", "pop", "-dX"}));
    // Switch names inside code are not switches.
    EXPECT_EQ(gsw::AdaptArguments({"-c", "(-dUseCIEColor)", "pop", "-f"}),
              (Args{"-c", "(-dUseCIEColor)", "pop", "-f"}));
}

TEST(GsAdaptSwitches, EverythingElsePassesUnchanged) {
    Args line = {"-dNOPAUSE",
                 "-dBATCH",
                 "-dSAFER",
                 "-dPDFSETTINGS=/screen",
                 "-sPAPERSIZE=isob0",
                 "-dFIXEDMEDIA",
                 "-dPermissions=-64",
                 "-sOwnerPassword=p\"w",
                 "-dEncryptionR=3",
                 "-dEncryptionR=3",
                 "-sOutputFile=/x/a_p%04d.jpg",
                 "-f",
                 "/x/中文 $a.pdf"};
    EXPECT_EQ(gsw::AdaptArguments(line), line);
}

TEST(GsOutputLines, RepairReportsAreRecognised) {
    EXPECT_TRUE(
        gsw::ReportsRepair("   **** This file had errors that were repaired or ignored.\n"));
    EXPECT_TRUE(gsw::ReportsRepair(
        "The following warnings were encountered at least once while processing this file:"));
    EXPECT_TRUE(gsw::ReportsRepair("\tPDF file was repaired"));
    EXPECT_TRUE(gsw::ReportsRepair("               Output may be incorrect."));
    EXPECT_FALSE(gsw::ReportsRepair("GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1"));
    EXPECT_FALSE(gsw::ReportsRepair("Page 1"));
}

TEST(GsOutputLines, FatalHarmlessAndFailureLines) {
    EXPECT_TRUE(gsw::ReportsFatal("   **** Error: Couldn't initialise file."));
    EXPECT_FALSE(gsw::ReportsFatal("   **** This file had errors that were repaired or ignored."));
    EXPECT_TRUE(gsw::IsHarmlessRemark(
        "GPL Ghostscript 10.00.0: Page object was reserved for an Annotation destination, but no "
        "such page was drawn, annotation in output will be invalid."));
    EXPECT_FALSE(
        gsw::IsHarmlessRemark("GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1"));
    EXPECT_TRUE(gsw::NamesFailure("Unknown device: pswrite"));
    EXPECT_TRUE(gsw::NamesFailure("Error: /undefinedfilename in (missing.pdf)"));
    EXPECT_FALSE(gsw::NamesFailure("Processing pages 1 through 2."));
}

TEST(GsOutputLines, AWarningThatSaysWhatWasUsedIsNoFailure) {
    struct Row {
        const char* line;
        bool fails;
    } rows[] = {
        {"   **** Error: Page has no /MediaBox attribute. Using the current page size.", false},
        {"   **** Error: File has unbalanced q/Q operators (too many q's)", false},
        {"   **** Error: ignoring invalid /DefaultRGB color space.", false},
        {"Error: /undefined in fakeop", false},
        {"   **** Error: Page drawing error occurred.", true},
        {"   **** Error: Couldn't initialise file.", true},
        {"   **** Error: Couldn't get page info.", true},
        {"   **** Error: page not found.", true},
        {"**** Error reading a content stream.  The page may be incomplete", true},
        {"GPL Ghostscript 10.00.0: ERROR: ioerror (-12) on closing ps2write device.", true},
        {"GPL Ghostscript 10.00.0: **** Could not open the file /d/x.pdf .", true},
    };
    for (const Row& r : rows) EXPECT_EQ(gsw::ReportsSilentFailure(r.line), r.fails) << r.line;
    EXPECT_TRUE(gsw::IsErrorStatement("Error: /undefinedresult in --div--\n"));
    EXPECT_TRUE(gsw::IsErrorStatement("Unrecoverable error: rangecheck in setscreen"));
    EXPECT_FALSE(gsw::IsErrorStatement("   **** Error: Page drawing error occurred."));
    EXPECT_TRUE(gsw::ContinuesErrorReport("Operand stack:\n"));
    EXPECT_TRUE(gsw::ContinuesErrorReport("VM status: 1 202299348 203646456\n"));
    EXPECT_FALSE(gsw::ContinuesErrorReport("Error: /undefined in fakeop\n"));
    EXPECT_FALSE(gsw::ContinuesErrorReport("Page 1\n"));
}

}  // namespace

TEST_F(GsResponseFile, OnlyReadableFilesThatAreNoPdfAreRunAsPrograms) {
    const std::string pdf = Write("in.pdf", "%PDF-1.4\n...");
    const std::string ps = Write("a.ps", "%!PS\n");
    const std::string named = Write("secret.pdf", "root:*:20228:0:99999:7:::\n");
    const std::vector<std::string> args = {
        "-sDEVICE=pdfwrite", "-c", "(x.ps) print", "-f", pdf, ps, named, dir_ + "/missing.ps"};
    EXPECT_EQ(gsw::ProgramInputs(args), (std::vector<std::string>{ps, named}));
    // Each of them is announced, so what follows the program is Ghostscript's again.
    const std::vector<std::string> reported = gsw::WithPageReports({"-f", ps});
    EXPECT_NE(std::find_if(reported.begin(), reported.end(),
                           [](const std::string& a) {
                               return a.find(gsw::kInputDoneLine) != std::string::npos;
                           }),
              reported.end());
}

TEST_F(GsResponseFile, PdfInputToPdfwriteKeepsThePagesOrientation) {
    const std::string pdf = Write("in.pdf", "%PDF-1.4\n...");
    const std::string ps = Write("stamp.ps", "%!PS\n");
    struct Row {
        Args in;
        bool turnedOff;
    } rows[] = {
        {{"-sDEVICE=pdfwrite", "-sOutputFile=o.pdf", ps, pdf}, true},
        {{"-sDEVICE=pdfwrite", "-c", ".setpdfwrite", "-f", pdf}, true},
        {{"-sDEVICE=pdfwrite", "-f", ps}, false},  // PostScript keeps the rotation
        {{"-sDEVICE=jpeg", "-f", pdf}, false},     // no PDF written
        {{"-sDEVICE=pdfwrite", "-c", pdf, "pop", "-f", ps}, false},     // a name inside code
        {{"-dAutoRotatePages=/All", "-sDEVICE=pdfwrite", pdf}, false},  // the job's own choice
    };
    for (const Row& r : rows) {
        Args out = gsw::AdaptArguments(r.in);
        EXPECT_EQ(!out.empty() && out[0] == "-dAutoRotatePages=/None", r.turnedOff) << r.in.back();
    }
}

TEST(GsAdaptSwitches, AnOwnerPasswordEqualToTheUserPasswordBecomesASecretOne) {
    Args once = gsw::AdaptArguments({"-sOwnerPassword=pw", "-sUserPassword=pw", "-dEncryptionR=3"});
    Args twice =
        gsw::AdaptArguments({"-sOwnerPassword=pw", "-sUserPassword=pw", "-dEncryptionR=3"});
    ASSERT_EQ(once.size(), 3u);
    EXPECT_EQ(once[0].rfind("-sOwnerPassword=", 0), 0u);
    EXPECT_EQ(once[0].size(), std::string("-sOwnerPassword=").size() + 32);
    EXPECT_NE(once[0], "-sOwnerPassword=pw");
    EXPECT_NE(once[0], twice[0]);  // new for every run
    EXPECT_EQ(once[1], "-sUserPassword=pw");
    // Different passwords, or an owner password alone, are the job's own choice.
    Args own = {"-sOwnerPassword=a", "-sUserPassword=b"};
    EXPECT_EQ(gsw::AdaptArguments(own), own);
}

TEST(GsAdaptSwitches, APasswordThatIsNotUtf8GoesAsItsBytes) {
    // Ghostscript would take "\xc3\xdc\xc2\xeb" (GBK) as an empty password.
    Args a = gsw::AdaptArguments(
        {"-sOwnerPassword=\xc3\xdc\xc2\xeb", "-sUserPassword=\xc3\xdc\xc2\xeb"});
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].rfind("-sOwnerPassword=", 0), 0u);  // the secret owner password
    EXPECT_EQ(a[1], "-dUserPassword=<C3DCC2EB>");
    // UTF-8 passwords stay string switches.
    EXPECT_EQ(gsw::AdaptArguments({"-sUserPassword=密码"}), (Args{"-sUserPassword=密码"}));
    EXPECT_EQ(gsw::AdaptArguments({"-sUserPassword=\xe9"}), (Args{"-dUserPassword=<E9>"}));
}
