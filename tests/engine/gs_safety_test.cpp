// What the runner keeps from the log and leaves behind: passwords masked in the day log,
// a response file for its owner's eyes only and gone after the job, the reason of a
// failed job beneath its message, and names Ghostscript cannot take for anything else.
#include <gtest/gtest.h>
#include <unistd.h>

#include "engine/converters/gsOptions.h"
#include "engine/pdfHelper.h"
#include "engine/util.h"
#include "fixture.h"

namespace vxtest {
namespace {

class GsSafety : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        State().FGsExe = VEXOMAT_BIN_DIR "/gs/gswin32c.exe";
        EnsureLogFolder(false);
    }
    void TearDown() override {
        unsetenv("VEXOMAT_GS");
        EngineTest::TearDown();
    }
    std::string LoggedParameter() {
        std::string value;
        for (const std::string& line : LogLines()) {
            const size_t at = line.find(" | Parameter    | ");
            if (at != std::string::npos) value = line.substr(at + 18);
        }
        return value;
    }
    std::string OutLog() {
        for (const auto& e : std::filesystem::directory_iterator(State().FLogDir + "gs"))
            if (e.path().string().ends_with("out.log")) return ReadFile(e.path().string());
        return "";
    }
};

TEST(MaskPasswords, ValuesOfBothPasswordSwitchesAreHidden) {
    struct Row {
        std::string params, logged;
    } rows[] = {
        {"-sOwnerPassword=\"se cret\" -sUserPassword=\"se cret\" -dKeyLength=40 ",
         "-sOwnerPassword=****** -sUserPassword=****** -dKeyLength=40 "},
        {"-sOwnerPassword=\"a\\\"b\\\\\" -f \"x.pdf\" ", "-sOwnerPassword=****** -f \"x.pdf\" "},
        {"-sUserPassword=plain -r72 ", "-sUserPassword=****** -r72 "},
        {"-dNOPAUSE ", "-dNOPAUSE "},
        // Only a switch is masked, not a file name that holds its text.
        {"-f \"/in/-sOwnerPassword=x.pdf\" -sOwnerPassword=\"a b\"x y ",
         "-f \"/in/-sOwnerPassword=x.pdf\" -sOwnerPassword=****** y "},
    };
    for (const Row& r : rows) EXPECT_EQ(MaskPasswords(r.params), r.logged) << r.params;
}

TEST_F(GsSafety, PasswordsAreMaskedInTheLogAndTheResponseFileIsPrivateAndGone) {
    // The job shows the mode of its own response file in its output log.
    setenv("VEXOMAT_GS", "stat", 1);
    const std::string response = State().FLogDir + "temp.log";
    const std::string tail = "-c %a -- " + QuoteGsArg(response) + " ";
    EXPECT_TRUE(TGhost().Run("pdfEncrypt", tail + "-sOwnerPassword=\"top secret\" "));
    EXPECT_EQ(LoggedParameter(), tail + "-sOwnerPassword=****** ");
    EXPECT_NE(OutLog().find("600"), std::string::npos) << OutLog();
    EXPECT_FALSE(Exists(response));
}

TEST_F(GsSafety, TheFirstErrorLineStandsBeneathTheMessage) {
    setenv("VEXOMAT_GS", "ls", 1);
    EXPECT_TRUE(TGhost().Run("pdf2pdf", "/vx/no/such/file "));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0].rfind("在进行 gs 转换时出错。\n", 0), 0u) << Errors()[0];
    EXPECT_NE(Errors()[0].find("/vx/no/such/file"), std::string::npos) << Errors()[0];
}

TEST_F(GsSafety, FileNamesAreAbsoluteSoNoNameReadsAsADeviceOrSwitch) {
    for (const std::string name : {"%pipe%touch X", "@evil.ps", "-sDEVICE=x.pdf"}) {
        const std::string out = GsOut(name).Line();
        EXPECT_EQ(out.rfind("-sOutputFile=\"/", 0), 0u) << out;
        EXPECT_EQ(GsSource(name).Line().rfind("-f \"/", 0), 0u) << GsSource(name).Line();
    }
    EXPECT_EQ(GsFileName("a.pdf"), GetCurrentDir() + "/a.pdf");
}

TEST_F(GsSafety, ANameThatIsNotUtf8IsHandedOverAsALinkWithASafeName) {
    const std::string real = AppPath() +
                             "\xb1\xa8\xb8\xe6"
                             "1.pdf";
    WriteFile(real, "x");
    const std::string alias = GsFileName(real);
    EXPECT_NE(alias, real);
    EXPECT_EQ(alias.find('\xb1'), std::string::npos);
    EXPECT_EQ(ReadFile(alias), "x");
    EXPECT_EQ(std::filesystem::read_symlink(alias).string(), real);
}

}  // namespace
}  // namespace vxtest
