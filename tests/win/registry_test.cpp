#include <gtest/gtest.h>

#include "platform/win/module.h"
#include "platform/win/registry.h"
#include "platform/win/registryClass.h"
#include "tests/win/win_support.h"

using namespace wintest;

namespace {

const char* kGsKey = "SOFTWARE\\AFPL Ghostscript\\8.51";

// A program folder of our own (through SetModuleFileName) and a PATH that holds a "gs"
// only when asked to.
class GhostscriptRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = ModuleFileName();
        app_ = t_ / "prog dir";
        std::filesystem::create_directories(app_ + "/gs");
        std::filesystem::create_directories(t_ / "bin");
        SetModuleFileName((app_ + "/vexomat").c_str());
        env_.Set("PATH", t_ / "bin");
    }
    void TearDown() override { SetModuleFileName(saved_.c_str()); }
    void installConsoleProgram() { MakeExecutable(app_ + "/gs/gswin32c.exe"); }
    void installSystemGs() { MakeExecutable(t_ / "bin/gs"); }
    std::string gsDll() {
        TRegistry reg(KEY_READ);
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        reg.OpenKeyReadOnly(kGsKey);
        return reg.ReadString("GS_DLL");
    }

    TempDir t_;
    EnvOverride env_;
    std::string saved_, app_;
};

}  // namespace

TEST_F(GhostscriptRegistry, PresentWhenBothProgramsAreThere) {
    installConsoleProgram();
    installSystemGs();
    std::string v = gsDll();
    EXPECT_EQ(v, app_ + "/gs/gsdll32.dll");
    // What the main window derives from it: the last 11 characters replaced.
    EXPECT_EQ(v.substr(0, v.size() - 11) + "gswin32c.exe", app_ + "/gs/gswin32c.exe");
}

TEST_F(GhostscriptRegistry, AbsentWithoutTheConsoleProgram) {
    installSystemGs();
    EXPECT_EQ(gsDll(), "");
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGsKey, 0, KEY_READ, &k),
              LONG(ERROR_FILE_NOT_FOUND));
}

TEST_F(GhostscriptRegistry, AbsentWithoutTheSystemGhostscript) {
    installConsoleProgram();
    EXPECT_EQ(gsDll(), "");
    installSystemGs();  // answered when asked, not cached
    EXPECT_NE(gsDll(), "");
}

TEST_F(GhostscriptRegistry, ApiReadsWithSizeQueriesAndCaseInsensitiveNames) {
    installConsoleProgram();
    installSystemGs();
    HKEY k = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\afpl ghostscript\\8.51", 0, KEY_READ, &k),
        LONG(ERROR_SUCCESS));
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(k, "gs_dll", nullptr, &type, nullptr, &size), LONG(ERROR_SUCCESS));
    EXPECT_EQ(type, REG_SZ);
    std::string expect = app_ + "/gs/gsdll32.dll";
    EXPECT_EQ(size, expect.size() + 1);
    std::vector<BYTE> small(4);
    DWORD smallSize = 4;
    EXPECT_EQ(RegQueryValueExA(k, "GS_DLL", nullptr, nullptr, small.data(), &smallSize),
              LONG(ERROR_MORE_DATA));
    EXPECT_EQ(smallSize, size);
    std::vector<BYTE> buf(size);
    ASSERT_EQ(RegQueryValueExA(k, "GS_DLL", nullptr, nullptr, buf.data(), &size),
              LONG(ERROR_SUCCESS));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf.data())), expect);
    EXPECT_EQ(RegQueryValueExA(k, "missing", nullptr, nullptr, nullptr, &size),
              LONG(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegCloseKey(k), LONG(ERROR_SUCCESS));
    EXPECT_EQ(RegCloseKey(k), LONG(ERROR_INVALID_HANDLE));

    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\AFPL Ghostscript", 0, KEY_READ, &parent),
              LONG(ERROR_SUCCESS));
    char name[32];
    DWORD n = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(parent, 0, name, &n, nullptr, nullptr, nullptr, nullptr),
              LONG(ERROR_SUCCESS));
    EXPECT_EQ(std::string(name), "8.51");
    n = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(parent, 1, name, &n, nullptr, nullptr, nullptr, nullptr),
              LONG(ERROR_NO_MORE_ITEMS));
    HKEY child = nullptr;  // opened relative to an open key
    EXPECT_EQ(RegOpenKeyExA(parent, "8.51", 0, KEY_READ, &child), LONG(ERROR_SUCCESS));
    RegCloseKey(child);
    RegCloseKey(parent);
}

// ---------------------------------------------------------------- file types

namespace {

class PdfAssociation : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto d : {"config", "data/applications", "sys", "bin"})
            std::filesystem::create_directories(t_ / d);
        env_.Set("XDG_CONFIG_HOME", t_ / "config");
        env_.Set("XDG_CONFIG_DIRS", t_ / "config-sys");
        env_.Set("XDG_DATA_HOME", t_ / "data");
        env_.Set("XDG_DATA_DIRS", t_ / "sys");
        env_.Unset("XDG_CURRENT_DESKTOP");
        env_.Set("PATH", t_ / "bin");
        MakeExecutable(t_ / "bin/fakeviewer");
        WriteAll(t_ / "data/applications/my.viewer.desktop",
                 "[Desktop Entry]\nType=Application\nName=Viewer\nExec=fakeviewer --page 1 %f\n");
    }
    void associate() {
        WriteAll(t_ / "config/mimeapps.list",
                 "[Default Applications]\napplication/pdf=my.viewer.desktop;\n");
    }
    std::string read(HKEY root, const std::string& key) {
        TRegistry reg(KEY_READ);
        reg.SetRootKey(root);
        if (!reg.OpenKeyReadOnly(key)) return "<no key>";
        return reg.ReadString("");
    }
    TempDir t_;
    EnvOverride env_;
};

}  // namespace

TEST_F(PdfAssociation, ProgIdAndOpenCommandFromTheDesktop) {
    associate();
    std::string progId = read(HKEY_CLASSES_ROOT, ".pdf");
    EXPECT_EQ(progId, "my.viewer");
    EXPECT_EQ(read(HKEY_CLASSES_ROOT, progId + "\\shell\\open\\command"),
              "\"" + t_ / "bin/fakeviewer" + "\" \"--page\" \"1\" \"%1\"");
}

TEST_F(PdfAssociation, AbsentWithoutAnAssociation) {
    EXPECT_EQ(read(HKEY_CLASSES_ROOT, ".pdf"), "<no key>");
}

TEST_F(PdfAssociation, AbsentWhenTheViewerIsNotInstalled) {
    associate();
    std::filesystem::remove(t_ / "bin/fakeviewer");
    EXPECT_EQ(read(HKEY_CLASSES_ROOT, ".pdf"), "<no key>");
}

TEST_F(PdfAssociation, DeclaredTypesServeWhenNothingIsChosen) {
    std::filesystem::create_directories(t_ / "sys/applications");
    WriteAll(t_ / "sys/applications/other.desktop",
             "[Desktop "
             "Entry]\nType=Application\nExec=fakeviewer\nMimeType=image/png;application/pdf;\n");
    EXPECT_EQ(read(HKEY_CLASSES_ROOT, ".pdf"), "other");
    WriteAll(t_ / "config/mimeapps.list",
             "[Removed Associations]\napplication/pdf=other.desktop\n");
    EXPECT_EQ(read(HKEY_CLASSES_ROOT, ".pdf"), "<no key>");
}

// ---------------------------------------------------------------- in-process values

TEST(RegistryValues, RegisteredValuesAndTheirParentsExist) {
    RegistrySetValue(HKEY_CLASSES_ROOT, "Word.Application\\CurVer", "", "Word.Application.11");
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKeyReadOnly("word.application\\curver"));
    EXPECT_EQ(reg.ReadString(""), "Word.Application.11");
    EXPECT_TRUE(reg.ValueExists(""));
    EXPECT_FALSE(reg.ValueExists("Other"));
    EXPECT_EQ(reg.ReadString("Other"), "");
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("Word.Application"));
    ASSERT_TRUE(reg.OpenKeyReadOnly("Word.Application"));
    EXPECT_TRUE(reg.KeyExists("CurVer"));  // relative to the open key
    TStringList names;
    reg.GetKeyNames(names);
    EXPECT_EQ(names.Count(), 1);
    EXPECT_EQ(names[0], "CurVer");

    RegistryDeleteKey(HKEY_CLASSES_ROOT, "Word.Application");
    EXPECT_FALSE(reg.KeyExists("\\Word.Application"));
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Word.Application\\CurVer"));
    EXPECT_EQ(reg.ReadString(""), "");  // a missing key reads as empty
}

TEST(RegistryValues, RootsAreSeparateAndOpenKeyCanCreate) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey("Software\\Vexomat Test", false));
    EXPECT_TRUE(reg.OpenKey("Software\\Vexomat Test", true));
    EXPECT_FALSE(reg.ValueExists(""));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Vexomat Test"));
    RegistryDeleteKey(HKEY_CURRENT_USER, "Software\\Vexomat Test");
}

TEST(RegistryValues, ProvidersAnswerWhenAskedAndCanBeRemoved) {
    int calls = 0;
    bool installed = false;
    int id =
        AddRegistryProvider(HKEY_CLASSES_ROOT, [&](const std::string& path, RegistryKeyData& d) {
            ++calls;
            if (!installed || !SameText(path, "Excel.Application\\CurVer")) return false;
            d.values.emplace_back("", "Excel.Application.8");
            return true;
        });
    std::string v;
    EXPECT_FALSE(RegistryReadValue(HKEY_CLASSES_ROOT, "Excel.Application\\CurVer", "", v));
    installed = true;
    ASSERT_TRUE(RegistryReadValue(HKEY_CLASSES_ROOT, "EXCEL.APPLICATION\\CURVER", "", v));
    EXPECT_EQ(v, "Excel.Application.8");
    EXPECT_GT(calls, 0);
    RemoveRegistryProvider(id);
    EXPECT_FALSE(RegistryReadValue(HKEY_CLASSES_ROOT, "Excel.Application\\CurVer", "", v));
}
