// The parameter strings of the seven Ghostscript converters, switch by switch, for the
// option combinations of the main window.
#include <gtest/gtest.h>

#include "engine/converters/pdf2bmp.h"
#include "engine/converters/pdf2eps.h"
#include "engine/converters/pdf2jpg.h"
#include "engine/converters/pdf2pdf.h"
#include "engine/converters/pdf2ps.h"
#include "engine/converters/pdf2tiff.h"
#include "engine/converters/ps2pdf.h"
#include "engine/pdfHelper.h"
#include "fixture.h"

namespace vxtest {
namespace {

const std::string P = "-dNOPAUSE -dBATCH -dSAFER ";
const std::string kSrcPs = "/data/in put/brief.ps";
const std::string kSrcPdf = "/data/in put/brief.pdf";

std::string Downsample(int mono, int grey, int colour) {
    return "-dDownsampleMonoImages=true -dMonoImageDownsampleThreshold=1.5 "
           "-dMonoImageDownsampleType=/Bicubic -dMonoImageResolution=" +
           std::to_string(mono) +
           " -dDownsampleGrayImages=true -dGrayImageDownsampleThreshold=1.5 "
           "-dGrayImageDownsampleType=/Bicubic -dGrayImageResolution=" +
           std::to_string(grey) +
           " -dDownsampleColorImages=true -dColorImageDownsampleThreshold=1.5 "
           "-dColorImageDownsampleType=/Bicubic -dColorImageResolution=" +
           std::to_string(colour) + " ";
}

class ConverterParams : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        opt_ = &State().Options();
    }
    OptionPanel& Opt() { return *opt_; }
    OptionPanel* opt_ = nullptr;
};

// ---------------------------------------------------------------- ps2pdf

using Ps2pdfParams = ConverterParams;

TEST_F(Ps2pdfParams, HiddenGroupsGiveTheDefaultSettingsOnly) {
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/out/brief.pdf"),
              P + "-dPDFSETTINGS=/default -r300 -dAutoRotatePages=/None -sDEVICE=pdfwrite "
                  "-sOutputFile=\"/out/brief.pdf\" -f \"/data/in put/brief.ps\" ");
}

TEST_F(Ps2pdfParams, EachPresetOfTheVisibleGroup) {
    Opt().Show({"GroupBox_optimized"});
    const std::pair<const char*, const char*> presets[] = {{"RadioButton_optimizedD", "/default"},
                                                           {"RadioButton_optimizedS", "/screen"},
                                                           {"RadioButton_optimizedP", "/printer"},
                                                           {"RadioButton_optimizedR", "/prepress"}};
    for (const auto& [radio, setting] : presets) {
        Opt().Radio(radio)->SetChecked(true);
        EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"),
                  P + "-dPDFSETTINGS=" + setting +
                      " -r300 -dAutoRotatePages=/None "
                      "-sDEVICE=pdfwrite -sOutputFile=\"/o/a.pdf\" -f \"/data/in put/brief.ps\" ")
            << radio;
    }
}

TEST_F(Ps2pdfParams, OptimizedEditDownsamples) {
    Opt().Show({"GroupBox_optimized"});
    Opt().Radio("RadioButton_optimizedEdit")->SetChecked(true);
    Opt().Edit("Edit_optimized")->SetText(" 120 ");
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"),
              P + Downsample(480, 240, 120) +
                  "-r300 -dAutoRotatePages=/None -sDEVICE=pdfwrite -sOutputFile=\"/o/a.pdf\" "
                  "-f \"/data/in put/brief.ps\" ");
    Opt().Edit("Edit_optimized")->SetText("5");
    EXPECT_NE(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf").find(Downsample(20, 10, 5)),
              std::string::npos);
    Opt().Edit("Edit_optimized")->SetText("200");
    EXPECT_NE(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf").find(Downsample(800, 400, 200)),
              std::string::npos);
}

TEST_F(Ps2pdfParams, OptimizedEditOutsideTheRangeGivesNoQualitySwitch) {
    Opt().Show({"GroupBox_optimized"});
    Opt().Radio("RadioButton_optimizedEdit")->SetChecked(true);
    for (const char* value : {"4", "201"}) {
        Opt().Edit("Edit_optimized")->SetText(value);
        EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"),
                  P + "-r300 -dAutoRotatePages=/None -sDEVICE=pdfwrite -sOutputFile=\"/o/a.pdf\" "
                      "-f \"/data/in put/brief.ps\" ")
            << value;
    }
}

TEST_F(Ps2pdfParams, OptimizedEditEmptyGivesNoQualitySwitch) {
    Opt().Show({"GroupBox_optimized"});
    Opt().Radio("RadioButton_optimizedEdit")->SetChecked(true);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf").find("-dPDFSETTINGS"), std::string::npos);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf").find("Downsample"), std::string::npos);
}

TEST_F(Ps2pdfParams, OptimizedEditThatIsNoNumberFailsWithoutRunning) {
    Opt().Show({"GroupBox_optimized"});
    Opt().Radio("RadioButton_optimizedEdit")->SetChecked(true);
    Opt().Edit("Edit_optimized")->SetText("abc");
    EXPECT_THROW(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"), EConvertError);
    State().FGsExe = AppPath() + "never started.exe";
    EXPECT_FALSE(TPs2pdf().Convert(kSrcPs, "/o/a.pdf"));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(Messages().empty());  // Ghostscript was not even tried
    bool logged = false;
    for (const std::string& line : LogLines())
        logged |= line.find("| ErrorMessage |") != std::string::npos &&
                  line.find(Errors()[0]) != std::string::npos;
    EXPECT_TRUE(logged);
    for (const std::string& line : LogLines())
        EXPECT_EQ(line.find("| Parameter"), std::string::npos);
}

TEST_F(Ps2pdfParams, UserPaperSizeBeforeTheResolution) {
    Opt().Show({"GroupBox_optimized", "GroupBox_papersize"});
    Opt().Combo("ComboBox_papersize")->SetItemIndex(1);
    Opt().Edit("Edit_papersize_width")->SetText("595");
    Opt().Edit("Edit_papersize_height")->SetText("842");
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"),
              P + "-dPDFSETTINGS=/default -dDEVICEWIDTHPOINTS=595 -dDEVICEHEIGHTPOINTS=842 "
                  "-dFIXEDMEDIA -r300 -dAutoRotatePages=/None -sDEVICE=pdfwrite "
                  "-sOutputFile=\"/o/a.pdf\" -f \"/data/in put/brief.ps\" ");
}

TEST_F(Ps2pdfParams, PaperTableRows) {
    Opt().Show({"GroupBox_papersize"});
    for (int k = 2; k < 2 + PaperSizeCount; ++k) {
        Opt().Combo("ComboBox_papersize")->SetItemIndex(k);
        const std::string p = TPs2pdf().Parameters(kSrcPs, "/o/a.pdf");
        EXPECT_NE(p.find("-dPDFSETTINGS=/default -sPAPERSIZE=" + PaperSizes[size_t(k - 2)][1] +
                         " -dFIXEDMEDIA -r300 "),
                  std::string::npos)
            << p;
    }
    Opt().Combo("ComboBox_papersize")->SetItemIndex(2);
    EXPECT_EQ(PaperSizes[0][1], TPs2pdf()
                                    .Parameters(kSrcPs, "/o/a.pdf")
                                    .substr((P + "-dPDFSETTINGS=/default -sPAPERSIZE=").size(),
                                            PaperSizes[0][1].size()));
}

TEST_F(Ps2pdfParams, PaperItemZeroOrNoSelectionGivesNoPaperSwitch) {
    Opt().Show({"GroupBox_papersize"});
    const std::string none =
        P +
        "-dPDFSETTINGS=/default -r300 -dAutoRotatePages=/None "
        "-sDEVICE=pdfwrite -sOutputFile=\"/o/a.pdf\" -f \"/data/in put/brief.ps\" ";
    ASSERT_EQ(Opt().Combo("ComboBox_papersize")->ItemIndex(), -1);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"), none);
    Opt().Combo("ComboBox_papersize")->SetItemIndex(0);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"), none);
}

TEST_F(Ps2pdfParams, HiddenPaperGroupGivesNoPaperSwitch) {
    Opt().Combo("ComboBox_papersize")->SetItemIndex(5);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf").find("PAPERSIZE"), std::string::npos);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf").find("FIXEDMEDIA"), std::string::npos);
}

TEST_F(Ps2pdfParams, UserPaperSizeThatWouldSplitTheSwitchIsRefused) {
    Opt().Show({"GroupBox_papersize"});
    Opt().Combo("ComboBox_papersize")->SetItemIndex(1);
    Opt().Edit("Edit_papersize_width")->SetText("595 -sOutputFile=/etc/x");
    Opt().Edit("Edit_papersize_height")->SetText("842");
    EXPECT_THROW(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"), EConvertError);
}

TEST_F(Ps2pdfParams, OrientationAfterTheOutputFile) {
    Opt().Show({"GroupBox_orientation", "GroupBox_optimized"});
    const std::string head = P +
                             "-dPDFSETTINGS=/default -r300 -dAutoRotatePages=/None "
                             "-sDEVICE=pdfwrite -sOutputFile=\"/o/a.pdf\" ";
    const std::string tail = "-f \"/data/in put/brief.ps\" ";
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"), head + tail);  // D: nothing
    Opt().Radio("RadioButton_orientationL")->SetChecked(true);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"),
              head + "-c \"<</Orientation 3>> setpagedevice\" " + tail);
    Opt().Radio("RadioButton_orientationP")->SetChecked(true);
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"),
              head + "-c \"<</Orientation 0>> setpagedevice\" " + tail);
    Opt().Show({"GroupBox_optimized"});
    EXPECT_EQ(TPs2pdf().Parameters(kSrcPs, "/o/a.pdf"), head + tail);
}

// ---------------------------------------------------------------- pdf2jpg

using Pdf2jpgParams = ConverterParams;

TEST_F(Pdf2jpgParams, BuiltInValues) {
    EXPECT_EQ(TPdf2jpg().Parameters(kSrcPdf, "/out/report.jpg"),
              P + "-dJPEGQ=75 -r300 -dUseCIEColor -sDEVICE=jpeg "
                  "-sOutputFile=\"/out/report_p%04d.jpg\" -f \"/data/in put/brief.pdf\" ");
}

TEST_F(Pdf2jpgParams, QualityRadios) {
    const std::pair<const char*, const char*> q[] = {{"RadioButton_qualityX", "100"},
                                                     {"RadioButton_qualityN", "75"},
                                                     {"RadioButton_qualityM", "40"},
                                                     {"RadioButton_qualityL", "5"}};
    for (const auto& [radio, value] : q) {
        Opt().Radio(radio)->SetChecked(true);
        EXPECT_EQ(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg"),
                  P + "-dJPEGQ=" + value +
                      " -r300 -dUseCIEColor -sDEVICE=jpeg "
                      "-sOutputFile=\"/o/r_p%04d.jpg\" -f \"/data/in put/brief.pdf\" ");
    }
}

TEST_F(Pdf2jpgParams, QualityEdit) {
    Opt().Radio("RadioButton_qualityEdit")->SetChecked(true);
    Opt().Edit("Edit_quality")->SetText(" 88 ");
    EXPECT_EQ(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg"),
              P + "-dJPEGQ=88 -r300 -dUseCIEColor -sDEVICE=jpeg "
                  "-sOutputFile=\"/o/r_p%04d.jpg\" -f \"/data/in put/brief.pdf\" ");
    for (const char* outside : {"0", "101", ""}) {
        Opt().Edit("Edit_quality")->SetText(outside);
        EXPECT_EQ(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg").find("JPEGQ"), std::string::npos)
            << outside;
    }
    for (const char* bound : {"1", "100"}) {
        Opt().Edit("Edit_quality")->SetText(bound);
        EXPECT_NE(
            TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg").find(std::string("-dJPEGQ=") + bound + " "),
            std::string::npos);
    }
    Opt().Edit("Edit_quality")->SetText("x9");
    EXPECT_THROW(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg"), EConvertError);
}

TEST_F(Pdf2jpgParams, ResolutionRadiosAndEdit) {
    const std::pair<const char*, const char*> r[] = {{"RadioButton_resolution72", "-r72 "},
                                                     {"RadioButton_resolution100", "-r100 "},
                                                     {"RadioButton_resolution150", "-r150 "},
                                                     {"RadioButton_resolution300", "-r300 "},
                                                     {"RadioButton_resolution600", "-r600 "}};
    for (const auto& [radio, sw] : r) {
        Opt().Radio(radio)->SetChecked(true);
        EXPECT_EQ(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg"),
                  P + "-dJPEGQ=75 " + sw +
                      "-dUseCIEColor -sDEVICE=jpeg "
                      "-sOutputFile=\"/o/r_p%04d.jpg\" -f \"/data/in put/brief.pdf\" ");
    }
    Opt().Radio("RadioButton_resolutionEdit")->SetChecked(true);
    EXPECT_EQ(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg"),
              P + "-dJPEGQ=75 -dUseCIEColor -sDEVICE=jpeg "
                  "-sOutputFile=\"/o/r_p%04d.jpg\" -f \"/data/in put/brief.pdf\" ");
    Opt().Edit("Edit_resolution")->SetText(" 96 ");
    EXPECT_NE(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg").find("-dJPEGQ=75 -r96 -dUseCIEColor"),
              std::string::npos);
    // The text is not checked as a number, but it can never split the switch.
    Opt().Edit("Edit_resolution")->SetText("9 -f");
    EXPECT_THROW(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg"), EConvertError);
    Opt().Edit("Edit_resolution")->SetText("7\"2");
    EXPECT_THROW(TPdf2jpg().Parameters(kSrcPdf, "/o/r.jpg"), EConvertError);
}

TEST_F(Pdf2jpgParams, PagedNameKeepsTheFolderAndExtension) {
    EXPECT_NE(TPdf2jpg()
                  .Parameters(kSrcPdf, "/a b/v1.2/report.final.JPG")
                  .find("-sOutputFile=\"/a b/v1.2/report.final_p%04d.JPG\" "),
              std::string::npos);
    EXPECT_NE(
        TPdf2jpg().Parameters(kSrcPdf, "/a.b/noext").find("-sOutputFile=\"/a.b/noext_p%04d\" "),
        std::string::npos);
}

// ---------------------------------------------------------------- pdf2bmp

using Pdf2bmpParams = ConverterParams;

TEST_F(Pdf2bmpParams, WholeDocumentHasNoPageSwitches) {
    EXPECT_EQ(TPdf2bmp().Parameters(kSrcPdf, "/o/pic.bmp", 0, 0),
              P + "-r300 -sDEVICE=bmp16m -dUseCIEColor -sOutputFile=\"/o/pic_p%04d.bmp\" "
                  "-f \"/data/in put/brief.pdf\" ");
}

TEST_F(Pdf2bmpParams, PageSwitches) {
    EXPECT_EQ(TPdf2bmp().Parameters(kSrcPdf, "/o/pic.bmp", 1, 1),
              P + "-r300 -sDEVICE=bmp16m -dFirstPage=1 -dLastPage=1 -dUseCIEColor "
                  "-sOutputFile=\"/o/pic_p%04d.bmp\" -f \"/data/in put/brief.pdf\" ");
    EXPECT_NE(TPdf2bmp()
                  .Parameters(kSrcPdf, "/o/pic.bmp", 3, 0)
                  .find("-sDEVICE=bmp16m -dFirstPage=3 -dUseCIEColor"),
              std::string::npos);
    EXPECT_NE(TPdf2bmp()
                  .Parameters(kSrcPdf, "/o/pic.bmp", 0, 7)
                  .find("-sDEVICE=bmp16m -dLastPage=7 -dUseCIEColor"),
              std::string::npos);
    EXPECT_NE(
        TPdf2bmp().Parameters(kSrcPdf, "/o/pic.bmp", -1, -2).find("-sDEVICE=bmp16m -dUseCIEColor"),
        std::string::npos);
}

TEST_F(Pdf2bmpParams, ColourDepthDevices) {
    const std::pair<const char*, const char*> d[] = {{"RadioButton_colordepth24", "bmp16m"},
                                                     {"RadioButton_colordepth8", "bmp256"},
                                                     {"RadioButton_colordepth4", "bmp16"},
                                                     {"RadioButton_colordepth1", "bmpmono"},
                                                     {"RadioButton_colordepth8g", "bmpgray"}};
    Opt().Radio("RadioButton_resolution72")->SetChecked(true);
    for (const auto& [radio, device] : d) {
        Opt().Radio(radio)->SetChecked(true);
        EXPECT_EQ(TPdf2bmp().Parameters(kSrcPdf, "/o/pic.bmp", 0, 0),
                  P + "-r72 -sDEVICE=" + device +
                      " -dUseCIEColor -sOutputFile=\"/o/pic_p%04d.bmp\" "
                      "-f \"/data/in put/brief.pdf\" ");
    }
}

// ---------------------------------------------------------------- pdf2tiff, pdf2eps, pdf2ps

using OtherParams = ConverterParams;

TEST_F(OtherParams, TiffOneFilePerPageOrOneFile) {
    EXPECT_EQ(TPdf2tiff().Parameters(kSrcPdf, "/o/scan.tiff"),
              P + "-r300 -dUseCIEColor -sDEVICE=tiff24nc -sOutputFile=\"/o/scan_p%04d.tiff\" "
                  "-f \"/data/in put/brief.pdf\" ");
    Opt().Radio("RadioButton_layerM")->SetChecked(true);
    EXPECT_EQ(TPdf2tiff().Parameters(kSrcPdf, "/o/scan.tiff"),
              P + "-r300 -dUseCIEColor -sDEVICE=tiff24nc -sOutputFile=\"/o/scan.tiff\" "
                  "-f \"/data/in put/brief.pdf\" ");
}

TEST_F(OtherParams, Eps) {
    Opt().Radio("RadioButton_resolution150")->SetChecked(true);
    EXPECT_EQ(TPdf2eps().Parameters(kSrcPdf, "/o/fig.eps"),
              P + "-r150 -sDEVICE=epswrite -sOutputFile=\"/o/fig_p%04d.eps\" "
                  "-f \"/data/in put/brief.pdf\" ");
}

TEST_F(OtherParams, PsReadsNoOption) {
    const std::string expected =
        "-dNOPAUSE -dBATCH -dSAFER -dDownsampleMonoImages=false -dDownsampleGrayImages=false "
        "-dDownsampleColorImages=false -r300 -sDEVICE=pswrite -sOutputFile=\"/o/doc.ps\" "
        "-c .setpdfwrite -f \"/data/in put/brief.pdf\" ";
    EXPECT_EQ(TPdf2ps().Parameters(kSrcPdf, "/o/doc.ps"), expected);
    State().Components.clear();  // no control at all
    EXPECT_EQ(TPdf2ps().Parameters(kSrcPdf, "/o/doc.ps"), expected);
}

TEST_F(OtherParams, MissingControlIsAFailureNotACrash) {
    State().Components.clear();
    State().FGsExe = AppPath() + "never started.exe";
    EXPECT_FALSE(TPdf2jpg().Convert(kSrcPdf, "/o/r.jpg"));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find("RadioButton_qualityEdit"), std::string::npos);
    EXPECT_TRUE(Messages().empty());
}

// ---------------------------------------------------------------- pdf2pdf

using Pdf2pdfParams = ConverterParams;

TEST_F(Pdf2pdfParams, ReductionGroupHidden) {
    EXPECT_EQ(TPdf2pdf().Parameters(kSrcPdf, "/o/brief_REDUCED.pdf"),
              P + "-r300 -sDEVICE=pdfwrite -sOutputFile=\"/o/brief_REDUCED.pdf\" "
                  "-c .setpdfwrite -f \"/data/in put/brief.pdf\" ");
}

TEST_F(Pdf2pdfParams, ReductionOf150) {
    Opt().Show({"GroupBox_reduction"});
    Opt().UpDown("XcUpDown_reduction_quality")->Position = 150;
    EXPECT_EQ(TPdf2pdf().Parameters(kSrcPdf, "/o/brief_REDUCED.pdf"),
              P +
                  "-dCompressPages=true -dAutoFilterColorImages=true -dAutoFilterGrayImages=true "
                  "-dColorConversionStrategy=/sRGB " +
                  Downsample(600, 300, 150) +
                  "-r300 -sDEVICE=pdfwrite -sOutputFile=\"/o/brief_REDUCED.pdf\" "
                  "-c .setpdfwrite -f \"/data/in put/brief.pdf\" ");
}

TEST_F(Pdf2pdfParams, PositionIsReadAtTheCall) {
    Opt().Show({"GroupBox_reduction"});
    EXPECT_NE(TPdf2pdf().Parameters(kSrcPdf, "/o/x.pdf").find(Downsample(20, 10, 5)),
              std::string::npos);
    Opt().UpDown("XcUpDown_reduction_quality")->Position = 300;
    EXPECT_NE(TPdf2pdf().Parameters(kSrcPdf, "/o/x.pdf").find(Downsample(1200, 600, 300)),
              std::string::npos);
}

// ---------------------------------------------------------------- file names

TEST(GsQuoting, QuotesAndBackslashesAreEscaped) {
    EXPECT_EQ(QuoteGsArg("/a b/c.pdf"), "\"/a b/c.pdf\"");
    EXPECT_EQ(QuoteGsArg(""), "\"\"");
    EXPECT_EQ(QuoteGsArg("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(QuoteGsArg("a\\b"), "\"a\\\\b\"");
    EXPECT_EQ(QuoteGsArg("end\\"), "\"end\\\\\"");  // a final backslash cannot eat the quote
    EXPECT_EQ(QuoteGsArg("\\\""), "\"\\\\\\\"\"");
    EXPECT_EQ(QuoteGsArg("$HOME 'x' 中文 %d"), "\"$HOME 'x' 中文 %d\"");
}

TEST(GsQuoting, OutputNamesKeepTheirPercentSigns) {
    EXPECT_EQ(GsOutputName("/o/50% off.pdf"), "/o/50%% off.pdf");
    EXPECT_EQ(GsOutputName("/o/%d%s.pdf"), "/o/%%d%%s.pdf");
    EXPECT_EQ(GsOutputName("/o/plain.pdf"), "/o/plain.pdf");
}

TEST_F(OtherParams, AwkwardNamesInEveryConverter) {
    const std::string src = "/in/\"q\" \\b\\ $x '中'.pdf";
    const std::string qsrc = "-f \"/in/\\\"q\\\" \\\\b\\\\ $x '中'.pdf\" ";
    EXPECT_NE(
        TPdf2jpg().Parameters(src, "/o/50%.jpg").find("-sOutputFile=\"/o/50%%_p%04d.jpg\" " + qsrc),
        std::string::npos);
    EXPECT_NE(
        TPdf2pdf().Parameters(src, "/o/a\"b\\.pdf").find("-sOutputFile=\"/o/a\\\"b\\\\.pdf\" "),
        std::string::npos);
    EXPECT_EQ(TPdf2ps()
                  .Parameters(src, "/o/x.ps")
                  .substr(TPdf2ps().Parameters(src, "/o/x.ps").size() - qsrc.size()),
              qsrc);
}

}  // namespace
}  // namespace vxtest
