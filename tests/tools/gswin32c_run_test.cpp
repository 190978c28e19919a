// gswin32c.exe as the runner uses it: a response file, standard output and error output
// sent into files, and Debian's Ghostscript doing the work.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runProcess.h"

extern char** environ;

namespace {

const std::string kTool = std::string(VEXOMAT_BIN_DIR) + "/gs/gswin32c.exe";
const std::string kNotice = "文件有错误要修复或忽略。";

using tooltest::Outcome;
const auto ReadFile = tooltest::ReadAll;

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Runs a program with an argument vector, its output and error output into files.
Outcome RunProcess(const std::vector<std::string>& argv, const std::string& workDir,
                   const std::vector<std::string>& extraEnv = {}) {
    const std::string outPath = workDir + "/.out.log";
    const std::string errPath = workDir + "/.err.log";
    return tooltest::RunProcess(argv, outPath, errPath, extraEnv);
}

// Two pages of grey, text and a CMYK area.
const char kTwoPages[] =
    "%!PS\n"
    "/Helvetica findfont 24 scalefont setfont\n"
    "72 700 moveto (Page one) show\n"
    "newpath 100 100 moveto 300 400 lineto stroke showpage\n"
    "72 700 moveto (Page two) show\n"
    "0 1 1 0 setcmykcolor 100 100 200 200 rectfill showpage\n";

const char kStamp[] =
    "userdict /BeginPageDict 10 dict put\n"
    "BeginPageDict begin\n"
    "  /text (STAMPTEXT) def\n"
    "  /fontname /Helvetica-Bold def\n"
    "  /fontsize 48 def\n"
    "  /gray 0.7 def\n"
    "  clippath pathbbox\n"
    "  /ury exch def /urx exch def\n"
    "  /lly exch def /llx exch def\n"
    "  /h ury lly sub def\n"
    "  /w urx llx sub def\n"
    "  /len h dup mul w dup mul add sqrt def\n"
    "  /x 0 def\n"
    "  /y fontsize 0.7 mul -2 div def\n"
    "  /PaintProc {\n"
    "\tpop\n"
    "\tnull begin save\n"
    "\tcurrentscreen exch pop h w atan dup\n"
    "\trotate 45 sub exch setscreen\n"
    "\tfontname findfont fontsize scalefont\n"
    "\tsetfont\n"
    "\tgray setgray\n"
    "\tlen text stringwidth pop sub 2 div\n"
    "\t/x exch def\n"
    "\tx y moveto text show\n"
    "\trestore end\n"
    "  } dup 1 currentdict put bind def\n"
    "end\n"
    "<< /BeginPage\n"
    "userdict /BeginPageDict get /PaintProc get\n"
    ">> setpagedevice";

// Quotes one path for the response file the way the converters do.
std::string Q(const std::string& path) { return "\"" + path + "\" "; }

class GsToolRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/gsw_run_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        base_ = tmpl;
        // A folder name with a blank, a dollar sign, an apostrophe and Chinese characters.
        dir_ = base_ + "/a b $x 'q' 中文";
        ASSERT_EQ(mkdir(dir_.c_str(), 0755), 0);
        ps_ = dir_ + "/two pages.ps";
        pdf_ = dir_ + "/two pages.pdf";
        WriteFile(ps_, kTwoPages);
        Outcome o = RunProcess({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                                "-dCompressPages=false", "-sOutputFile=" + pdf_, "-f", ps_},
                               base_);
        ASSERT_EQ(o.code, 0) << o.out << o.err;
    }
    static void TearDownTestSuite() {
        std::vector<std::string> argv = {"rm", "-rf", base_};
        RunProcess(argv, "/tmp");
    }

    // Writes the parameter line as the runner does and runs the tool with "@path".
    Outcome RunLine(const std::string& line, const std::vector<std::string>& env = {}) {
        const std::string resp = dir_ + "/temp.log";
        WriteFile(resp, line + "\r\n");
        return RunProcess({kTool, "@" + resp}, base_, env);
    }

    static int PdfPages(const std::string& pdf, const std::string& password = "") {
        std::vector<std::string> argv = {"pdfinfo"};
        if (!password.empty()) {
            argv.push_back("-upw");
            argv.push_back(password);
        }
        argv.push_back(pdf);
        Outcome o = RunProcess(argv, base_);
        if (o.code != 0) return -1;
        const auto p = o.out.find("Pages:");
        return p == std::string::npos ? -1 : std::atoi(o.out.c_str() + p + 6);
    }
    static std::string PdfInfo(const std::string& pdf, const std::string& password = "") {
        std::vector<std::string> argv = {"pdfinfo"};
        if (!password.empty()) argv.insert(argv.end(), {"-upw", password});
        argv.push_back(pdf);
        return RunProcess(argv, base_).out;
    }

    static const std::string P;
    static std::string base_, dir_, ps_, pdf_;
};

const std::string GsToolRun::P = "-dNOPAUSE -dBATCH -dSAFER ";
std::string GsToolRun::base_, GsToolRun::dir_, GsToolRun::ps_, GsToolRun::pdf_;

TEST_F(GsToolRun, PostScriptToPdfWithPaperAndOrientation) {
    const std::string out = dir_ + "/ps2pdf out.pdf";
    Outcome o = RunLine(P +
                        "-dPDFSETTINGS=/screen -sPAPERSIZE=isob0 -dFIXEDMEDIA -r300 "
                        "-dAutoRotatePages=/None -sDEVICE=pdfwrite -sOutputFile=" +
                        Q(out) + "-c \"<</Orientation 0>> setpagedevice\" -f " + Q(ps_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(out), 2);
    EXPECT_NE(PdfInfo(out).find("2835 x 4008"), std::string::npos) << PdfInfo(out);
}

TEST_F(GsToolRun, PostScriptToPdfWithUserSizeAndDownsampling) {
    const std::string out = dir_ + "/ps2pdf user.pdf";
    std::string ds;
    for (const char* kind : {"Mono", "Gray", "Color"})
        ds += std::string("-dDownsample") + kind + "Images=true -d" + kind +
              "ImageDownsampleThreshold=1.5 -d" + kind + "ImageDownsampleType=/Bicubic -d" + kind +
              "ImageResolution=150 ";
    Outcome o = RunLine(P + "-dPDFSETTINGS=/printer " + ds +
                        "-dDEVICEWIDTHPOINTS=595 -dDEVICEHEIGHTPOINTS=842 -dFIXEDMEDIA -r300 "
                        "-dAutoRotatePages=/None -sDEVICE=pdfwrite -sOutputFile=" +
                        Q(out) + "-f " + Q(ps_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_NE(PdfInfo(out).find("595 x 842"), std::string::npos);
}

TEST_F(GsToolRun, EveryPaperNameGivesItsSize) {
    struct Paper {
        const char* name;
        const char* size;
    };
    const Paper papers[] = {
        {"11x17", "792 x 1224"},  {"ledger", "1224 x 792"}, {"legal", "612 x 1008"},
        {"letter", "612 x 792"},  {"archE", "2592 x 3456"}, {"archD", "1728 x 2592"},
        {"archC", "1296 x 1728"}, {"archB", "864 x 1296"},  {"archA", "648 x 864"},
        {"a0", "2384 x 3370"},    {"a1", "1684 x 2384"},    {"a2", "1191 x 1684"},
        {"a3", "842 x 1191"},     {"a4", "595 x 842"},      {"a5", "420 x 595"},
        {"a6", "297 x 420"},      {"a7", "210 x 297"},      {"a8", "148 x 210"},
        {"a9", "105 x 148"},      {"a10", "73 x 105"},      {"isob0", "2835 x 4008"},
        {"isob1", "2004 x 2835"}, {"isob2", "1417 x 2004"}, {"isob3", "1001 x 1417"},
        {"isob4", "709 x 1001"},  {"isob5", "499 x 709"},   {"isob6", "354 x 499"},
        {"c0", "2599 x 3677"},    {"c1", "1837 x 2599"},    {"c2", "1298 x 1837"},
        {"c3", "918 x 1298"},     {"c4", "649 x 918"},      {"c5", "459 x 649"},
        {"c6", "323 x 459"},
    };
    const std::string out = dir_ + "/paper.pdf";
    for (const Paper& p : papers) {
        Outcome o = RunLine(P + "-dPDFSETTINGS=/default -sPAPERSIZE=" + p.name +
                            " -dFIXEDMEDIA -r300 -dAutoRotatePages=/None -sDEVICE=pdfwrite "
                            "-sOutputFile=" +
                            Q(out) + "-f " + Q(ps_));
        EXPECT_EQ(o.code, 0) << p.name << o.out;
        EXPECT_EQ(o.err, "") << p.name;
        EXPECT_NE(PdfInfo(out).find(std::string("Page size:       ") + p.size), std::string::npos)
            << p.name << "\n"
            << PdfInfo(out);
    }
}

TEST_F(GsToolRun, SmallerPdfWithReduction) {
    const std::string out = dir_ + "/two pages_REDUCED.pdf";
    std::string ds;
    for (const char* kind : {"Mono", "Gray", "Color"})
        ds += std::string("-dDownsample") + kind + "Images=true -d" + kind +
              "ImageDownsampleThreshold=1.5 -d" + kind + "ImageDownsampleType=/Bicubic -d" + kind +
              "ImageResolution=150 ";
    Outcome o = RunLine(P +
                        "-dCompressPages=true -dAutoFilterColorImages=true "
                        "-dAutoFilterGrayImages=true -dColorConversionStrategy=/sRGB " +
                        ds + "-r300 -sDEVICE=pdfwrite -sOutputFile=" + Q(out) +
                        "-c .setpdfwrite -f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(out), 2);
}

TEST_F(GsToolRun, PdfToTiffInOneFileAndPerPage) {
    Outcome one =
        RunLine(P + "-r72 -dUseCIEColor -sDEVICE=tiff24nc -sOutputFile=" + Q(dir_ + "/all.tiff") +
                "-f " + Q(pdf_));
    EXPECT_EQ(one.code, 0) << one.out;
    EXPECT_EQ(one.err, "");
    EXPECT_EQ(ReadFile(dir_ + "/all.tiff").substr(0, 2), "II");
    Outcome paged = RunLine(P + "-r72 -dUseCIEColor -sDEVICE=tiff24nc -sOutputFile=" +
                            Q(dir_ + "/pg_p%04d.tiff") + "-f " + Q(pdf_));
    EXPECT_EQ(paged.code, 0) << paged.out;
    EXPECT_EQ(paged.err, "");
    EXPECT_TRUE(Exists(dir_ + "/pg_p0001.tiff"));
    EXPECT_TRUE(Exists(dir_ + "/pg_p0002.tiff"));
}

TEST_F(GsToolRun, PdfToJpegPagesWithNumberedNames) {
    Outcome o = RunLine(P + "-dJPEGQ=75 -r72 -dUseCIEColor -sDEVICE=jpeg -sOutputFile=" +
                        Q(dir_ + "/img_p%04d.jpg") + "-f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    const std::string first = ReadFile(dir_ + "/img_p0001.jpg");
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(first[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(first[1]), 0xD8);
    EXPECT_TRUE(Exists(dir_ + "/img_p0002.jpg"));
    EXPECT_FALSE(Exists(dir_ + "/img_p0003.jpg"));
}

TEST_F(GsToolRun, PdfToBitmapOfOnePage) {
    Outcome o = RunLine(P +
                        "-r72 -sDEVICE=bmp16m -dFirstPage=2 -dLastPage=2 -dUseCIEColor "
                        "-sOutputFile=" +
                        Q(dir_ + "/bmp_p%04d.bmp") + "-f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(ReadFile(dir_ + "/bmp_p0001.bmp").substr(0, 2), "BM");
    EXPECT_FALSE(Exists(dir_ + "/bmp_p0002.bmp"));
}

TEST_F(GsToolRun, PdfToPostScriptWithTheOldWriter) {
    const std::string out = dir_ + "/pdf2ps.ps";
    Outcome o = RunLine(P +
                        "-dDownsampleMonoImages=false -dDownsampleGrayImages=false "
                        "-dDownsampleColorImages=false -r300 -sDEVICE=pswrite -sOutputFile=" +
                        Q(out) + "-c .setpdfwrite -f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(ReadFile(out).substr(0, 4), "%!PS");
}

TEST_F(GsToolRun, PdfToEpsPerPageWithTheOldWriter) {
    Outcome o = RunLine(P + "-r300 -sDEVICE=epswrite -sOutputFile=" + Q(dir_ + "/e_p%04d.eps") +
                        "-f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    for (const char* name : {"/e_p0001.eps", "/e_p0002.eps"}) {
        const std::string eps = ReadFile(dir_ + name);
        EXPECT_EQ(eps.rfind("%!PS-Adobe-3.0 EPSF", 0), 0u) << name;
        EXPECT_NE(eps.find("%%BoundingBox:"), std::string::npos) << name;
    }
}

TEST_F(GsToolRun, SinglePageFittedToGivenSize) {
    const std::string out = dir_ + "/1---two pages_p0002.pdf";
    Outcome o = RunLine(P +
                        "-dPDFSETTINGS=/default -dDownsampleMonoImages=false "
                        "-dDownsampleGrayImages=false -dDownsampleColorImages=false "
                        "-dDEVICEWIDTHPOINTS=300 -dDEVICEHEIGHTPOINTS=400 -dPDFFitPage "
                        "-dDOINTERPOLATE -dFirstPage=2 -dLastPage=2 -r300 -sDEVICE=pdfwrite "
                        "-sOutputFile=" +
                        Q(out) + "-c .setpdfwrite -f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(out), 1);
    EXPECT_NE(PdfInfo(out).find("300 x 400"), std::string::npos);
}

TEST_F(GsToolRun, MergeOfSeveralFiles) {
    const std::string out = dir_ + "/MERGED-ALL.pdf";
    Outcome o = RunLine(P +
                        "-dDownsampleMonoImages=false -dDownsampleGrayImages=false "
                        "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite -sOutputFile=" +
                        Q(out) + "-c .setpdfwrite -f " + Q(pdf_) + Q(pdf_) + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(out), 6);
}

TEST_F(GsToolRun, EncryptionNeedsThePassword) {
    const std::string out = dir_ + "/enc_ENCRYPTED.pdf";
    const std::string pw = "pa\"ss w$";
    // In the response file the quote inside the quoted password is escaped as \".
    const std::string qpw = "\"pa\\\"ss w$\" ";
    Outcome o = RunLine(P + "-sOwnerPassword=" + qpw + "-sUserPassword=" + qpw +
                        "-dCompatibilityLevel=1.4 -dEncryptionR=3 -dKeyLength=128 "
                        "-dPermissions=-64 -dEncryptionR=3 -dKeyLength=128 "
                        "-dDownsampleMonoImages=false -dDownsampleGrayImages=false "
                        "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite -sOutputFile=" +
                        Q(out) + "-c .setpdfwrite -f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(out), -1);  // refused without the password
    EXPECT_EQ(PdfPages(out, pw), 2);
    const std::string info = PdfInfo(out, pw);
    EXPECT_NE(info.find("print:no"), std::string::npos) << info;
    EXPECT_NE(info.find("copy:no"), std::string::npos) << info;
}

TEST_F(GsToolRun, EncryptionWithAllPermissionsAndTheStandardPreset) {
    const std::string out = dir_ + "/enc_std.pdf";
    Outcome o = RunLine(P +
                        "-sOwnerPassword=\"secret\" -sUserPassword=\"secret\" "
                        "-dCompatibilityLevel=1.2 -dEncryptionR=2 -dKeyLength=40 "
                        "-dPermissions=-4 -dEncryptionR=2 -dKeyLength=40 -r300 "
                        "-sDEVICE=pdfwrite -sOutputFile=" +
                        Q(out) + "-c .setpdfwrite -f " + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(out), -1);
    const std::string info = PdfInfo(out, "secret");
    EXPECT_NE(info.find("print:yes"), std::string::npos) << info;
    const auto v = info.find("PDF version:");
    ASSERT_NE(v, std::string::npos) << info;
    EXPECT_EQ(info.substr(info.find_first_not_of(' ', v + 12), 4), "1.2\n") << info;
}

TEST_F(GsToolRun, WatermarkPrologueBeforeThePdf) {
    const std::string stamp = dir_ + "/watermark.ps";
    const std::string out = dir_ + "/wm_WATERMARKED.pdf";
    WriteFile(stamp, kStamp);
    Outcome o = RunLine(P + "-sDEVICE=pdfwrite -dCompressPages=false -sOutputFile=" + Q(out) +
                        Q(stamp) + Q(pdf_));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(out), 2);
    EXPECT_NE(ReadFile(out).find("(STAMPTEXT)"), std::string::npos);
}

TEST_F(GsToolRun, RepairedPdfGivesTheNotice) {
    // Keep everything up to "startxref" and point it beyond the end of the file.
    std::string text = ReadFile(pdf_);
    const auto at = text.rfind("startxref");
    ASSERT_NE(at, std::string::npos);
    const std::string broken = dir_ + "/broken xref.pdf";
    WriteFile(broken, text.substr(0, at) + "startxref\n999999\n%%EOF\n");
    const std::string out = dir_ + "/repaired.pdf";
    Outcome o =
        RunLine(P + "-sDEVICE=pdfwrite -sOutputFile=" + Q(out) + "-c .setpdfwrite -f " + Q(broken));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_NE(o.err.find("repaired or ignored"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(kNotice + "\n"), std::string::npos) << o.err;
    EXPECT_EQ(PdfPages(out), 2);
}

TEST_F(GsToolRun, PdfWithoutCrossReferenceGivesTheNotice) {
    std::string text = ReadFile(pdf_);
    const auto at = text.find("\nxref");
    ASSERT_NE(at, std::string::npos);
    const std::string broken = dir_ + "/no xref.pdf";
    WriteFile(broken, text.substr(0, at + 1));
    Outcome o = RunLine(P + "-r72 -sDEVICE=jpeg -sOutputFile=" + Q(dir_ + "/nx_p%04d.jpg") + "-f " +
                        Q(broken));
    EXPECT_EQ(o.code, 0) << o.out;
    EXPECT_NE(o.err.find(kNotice), std::string::npos) << o.err;
    EXPECT_TRUE(Exists(dir_ + "/nx_p0002.jpg"));
}

TEST_F(GsToolRun, NonPdfInputIsAnErrorWithoutNotice) {
    const std::string text = dir_ + "/not a pdf.pdf";
    WriteFile(text, "hello, this is plain text\n");
    Outcome o =
        RunLine(P + "-sDEVICE=pdfwrite -sOutputFile=" + Q(dir_ + "/x.pdf") + "-f " + Q(text));
    EXPECT_NE(o.code, 0);
    EXPECT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.find(kNotice), std::string::npos);
}

TEST_F(GsToolRun, PdfHeaderWithNothingReadableIsAnErrorWithoutNotice) {
    const std::string junk = dir_ + "/junk.pdf";
    WriteFile(junk, "%PDF-1.4\ngarbage garbage\n");
    Outcome o = RunLine(P + "-sDEVICE=pdfwrite -sOutputFile=" + Q(dir_ + "/junk out.pdf") + "-f " +
                        Q(junk));
    EXPECT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.find(kNotice), std::string::npos) << o.err;
}

TEST_F(GsToolRun, MissingInputIsAnErrorWithoutNotice) {
    Outcome o = RunLine(P + "-sDEVICE=pdfwrite -sOutputFile=" + Q(dir_ + "/y.pdf") + "-f " +
                        Q(dir_ + "/does not exist.pdf"));
    EXPECT_NE(o.code, 0);
    EXPECT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.find(kNotice), std::string::npos);
}

TEST_F(GsToolRun, FailureThatGhostscriptReportsOnlyOnStandardOutput) {
    Outcome o =
        RunLine(P + "-sDEVICE=nosuchdevice -sOutputFile=" + Q(dir_ + "/z.pdf") + "-f " + Q(pdf_));
    EXPECT_NE(o.code, 0);
    EXPECT_NE(o.err.find("Unknown device"), std::string::npos) << o.err;
}

TEST_F(GsToolRun, MissingResponseFileEndsWithAnError) {
    Outcome o = RunProcess({kTool, "@" + dir_ + "/no such temp.log"}, base_);
    EXPECT_NE(o.code, 0);
    EXPECT_NE(o.err.find("no such temp.log"), std::string::npos) << o.err;
}

TEST_F(GsToolRun, ArgumentVectorReachesGhostscriptExactly) {
    // printf stands in for Ghostscript: it prints every argument after its format.
    Outcome o = RunLine(
        "\"[%s]\\n\" -sDEVICE=pswrite -dUseCIEColor -sOutputFile=\"a b;$(x)`y`\" "
        "-sOwnerPassword=\"q\\\"q\" -c .setpdfwrite -f \"中 文\" ",
        {"VEXOMAT_GS=printf"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out,
              "[-sDEVICE=ps2write]\n[-sOutputFile=a b;$(x)`y`]\n[-sOwnerPassword=q\"q]\n"
              "[-f]\n[中 文]\n");
    EXPECT_EQ(o.err, "");
}

TEST_F(GsToolRun, PlainSwitchesOnTheCommandLineToo) {
    Outcome o =
        RunProcess({kTool, "[%s]\\n", "-sDEVICE=epswrite", "a b"}, base_, {"VEXOMAT_GS=printf"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "[-sDEVICE=eps2write]\n[a b]\n");
}

TEST_F(GsToolRun, TextAJobPrintsIsNotItsVerdict) {
    // Error statements printed with =, print and to %stderr, then a page.
    const std::string printing =
        "%!PS\n(Error: /undefined in fakeop) =\n(Error: /undefined in fakeop\\n) print\n"
        "(   **** Error: Page drawing error occurred.\\n) print\n"
        "(%stderr) (w) file dup (Error: /undefined in fakeop\\n) writestring flushfile\n"
        "/Helvetica findfont 20 scalefont setfont 72 720 moveto (Hello) show showpage\n";
    const std::string fine = dir_ + "/prints errors.ps";
    WriteFile(fine, printing);
    Outcome o = RunLine(P + "-sDEVICE=pdfwrite -sOutputFile=" + Q(dir_ + "/prints errors.pdf") +
                        "-f " + Q(fine));
    EXPECT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(PdfPages(dir_ + "/prints errors.pdf"), 1);
    // A real error after them is the one stated last.
    const std::string failing = dir_ + "/prints then divides.ps";
    WriteFile(failing, printing + "1 0 div\n");
    o = RunLine(P + "-sDEVICE=pdfwrite -sOutputFile=" + Q(dir_ + "/divides.pdf") + "-f " +
                Q(failing));
    EXPECT_NE(o.code, 0);
    EXPECT_NE(o.err.find("gswin32c: Ghostscript ended the job with Error: /undefinedresult in "
                         "--div--\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(o.err.find("ended the job with Error: /undefined in fakeop"), std::string::npos)
        << o.err;
}

TEST_F(GsToolRun, AWarningGhostscriptRecoversFromIsNoFailureAPageItCannotDrawIsOne) {
    // Two pages without a media box, drawn on the current page size; then a page whose
    // content stream cannot be read.
    const auto pdf = [](const std::string& secondContents) {
        std::string text = "%PDF-1.4\n";
        std::vector<size_t> at;
        const std::string content = "0 0 1 rg 72 72 200 200 re f";
        const std::vector<std::string> objects = {
            "<< /Type /Catalog /Pages 2 0 R >>",
            "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
            "<< /Type /Page /Parent 2 0 R /Contents 5 0 R >>",
            "<< /Type /Page /Parent 2 0 R /Contents 6 0 R >>",
            "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                "\nendstream",
            secondContents,
        };
        for (size_t i = 0; i < objects.size(); ++i) {
            at.push_back(text.size());
            text += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
        }
        const size_t xref = text.size();
        text += "xref\n0 7\n0000000000 65535 f \n";
        for (size_t a : at) {
            char line[32];
            std::snprintf(line, sizeof line, "%010zu 00000 n \n", a);
            text += line;
        }
        return text + "trailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) +
               "\n%%EOF\n";
    };
    const std::string good = "<< /Length 9 >>\nstream\n0 0 m S Q\n\nendstream";
    const std::string broken =
        "<< /Length 24 /Filter /FlateDecode >>\nstream\n"
        "x\x9c garbage, not zlib \x01\nendstream";
    WriteFile(dir_ + "/no media box.pdf", pdf(good));
    Outcome o = RunLine(P + "-r72 -sDEVICE=jpeg -sOutputFile=" + Q(dir_ + "/nmb_p%04d.jpg") +
                        "-f " + Q(dir_ + "/no media box.pdf"));
    EXPECT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_TRUE(Exists(dir_ + "/nmb_p0002.jpg"));
    EXPECT_NE(o.out.find("Using the current page size"), std::string::npos) << o.out;
    WriteFile(dir_ + "/broken content.pdf", pdf(broken));
    o = RunLine(P + "-sDEVICE=pdfwrite -sOutputFile=" + Q(dir_ + "/broken out.pdf") + "-f " +
                Q(dir_ + "/broken content.pdf"));
    EXPECT_NE(o.code, 0) << o.out << o.err;
    EXPECT_NE(o.err.find("Page drawing error occurred."), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Output may be incorrect."), std::string::npos) << o.err;
}

TEST_F(GsToolRun, ExitCodeIsPassedOnAndNeverSilent) {
    Outcome o = RunLine("-dBATCH", {"VEXOMAT_GS=false"});
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("exit code 1"), std::string::npos);
    Outcome missing = RunLine("-dBATCH", {"VEXOMAT_GS=/no/such/gs"});
    EXPECT_NE(missing.code, 0);
    EXPECT_NE(missing.err.find("/no/such/gs"), std::string::npos);
}

}  // namespace
