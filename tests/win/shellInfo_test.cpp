#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win/drives.h"
#include "platform/win/module.h"
#include "platform/win/shellInfo.h"
#include "platform/win/sound.h"
#include "platform/win/theme.h"

namespace {

// A scratch folder with a PDF, an unknown file and a sub-folder; the built-in icons forced.
class ShellFiles : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VEXOMAT_ICON_THEME", "builtin", 1);
        char tmpl[] = "/tmp/vx-shell-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        std::ofstream(dir_ + "/report.pdf") << "%PDF-1.4\n";
        std::ofstream(dir_ + "/data.qqzz") << "x";
        ASSERT_EQ(mkdir((dir_ + "/sub").c_str(), 0755), 0);
    }
    void TearDown() override {
        unlink((dir_ + "/report.pdf").c_str());
        unlink((dir_ + "/data.qqzz").c_str());
        rmdir((dir_ + "/sub").c_str());
        rmdir(dir_.c_str());
        unsetenv("VEXOMAT_ICON_THEME");
    }
    // The small system-list image of a path.
    IconImage SmallIcon(const std::string& path, UINT extra = 0) {
        SHFILEINFOA fi;
        auto list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
            path.c_str(), 0, &fi, sizeof fi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra));
        EXPECT_EQ(list, SystemImageList(true)) << path;
        IconImage img;
        EXPECT_TRUE(ImageListGetImage(list, fi.iIcon, img)) << path;
        return img;
    }
    std::string dir_;
};

}  // namespace

TEST_F(ShellFiles, FolderPdfAndUnknownFileGetDistinctIcons) {
    IconImage folder = SmallIcon(dir_ + "/sub"), pdf = SmallIcon(dir_ + "/report.pdf"),
              unknown = SmallIcon(dir_ + "/data.qqzz"),
              open = SmallIcon(dir_ + "/sub", SHGFI_OPENICON);
    EXPECT_EQ(folder.width, 16);
    EXPECT_NE(folder.pixels, pdf.pixels);
    EXPECT_NE(pdf.pixels, unknown.pixels);
    EXPECT_NE(folder.pixels, unknown.pixels);
    EXPECT_NE(folder.pixels, open.pixels);
    // The same kind of item maps to the same index.
    SHFILEINFOA a, b;
    SHGetFileInfoA((dir_ + "/report.pdf").c_str(), 0, &a, sizeof a, SHGFI_SYSICONINDEX);
    SHGetFileInfoA("other.pdf", 0, &b, sizeof b, SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
    EXPECT_EQ(a.iIcon, b.iIcon);
}

TEST_F(ShellFiles, IconFlagGivesLargeOrSmallIconsTheCallerOwns) {
    SHFILEINFOA fi;
    ASSERT_EQ(SHGetFileInfoA((dir_ + "/report.pdf").c_str(), 0, &fi, sizeof fi, SHGFI_ICON), 1u);
    ASSERT_NE(fi.hIcon, nullptr);
    EXPECT_EQ(IconImageOf(fi.hIcon)->width, 32);
    EXPECT_TRUE(DestroyIcon(fi.hIcon));
    ASSERT_EQ(SHGetFileInfoA((dir_ + "/report.pdf").c_str(), 0, &fi, sizeof fi,
                             SHGFI_ICON | SHGFI_SMALLICON),
              1u);
    EXPECT_EQ(IconImageOf(fi.hIcon)->width, 16);
    DestroyIcon(fi.hIcon);
}

TEST_F(ShellFiles, DisplayAndTypeNames) {
    struct Row {
        std::string path;
        std::string display;
        std::string type;
    };
    const Row rows[] = {
        {dir_ + "/sub", "sub", "文件夹"},
        {dir_ + "/data.qqzz", "data.qqzz", "QQZZ 文件"},
    };
    for (const Row& r : rows) {
        SHFILEINFOA fi;
        ASSERT_EQ(
            SHGetFileInfoA(r.path.c_str(), 0, &fi, sizeof fi, SHGFI_DISPLAYNAME | SHGFI_TYPENAME),
            1u)
            << r.path;
        EXPECT_EQ(std::string(fi.szDisplayName), r.display);
        EXPECT_EQ(std::string(fi.szTypeName), r.type);
    }
    SHFILEINFOA fi;
    SHGetFileInfoA((dir_ + "/report.pdf").c_str(), 0, &fi, sizeof fi, SHGFI_TYPENAME);
    EXPECT_NE(std::string(fi.szTypeName).find("PDF"), std::string::npos) << fi.szTypeName;
    SHGetFileInfoA("noext", 0, &fi, sizeof fi, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    EXPECT_EQ(std::string(fi.szTypeName), "文件");
}

TEST_F(ShellFiles, MissingFilesFailUnlessOnlyTheNameCounts) {
    SHFILEINFOA fi;
    EXPECT_EQ(SHGetFileInfoA((dir_ + "/gone.pdf").c_str(), 0, &fi, sizeof fi, SHGFI_DISPLAYNAME),
              0u);
    EXPECT_EQ(SHGetFileInfoA((dir_ + "/gone.pdf").c_str(), 0, &fi, sizeof fi,
                             SHGFI_DISPLAYNAME | SHGFI_USEFILEATTRIBUTES),
              1u);
    EXPECT_EQ(std::string(fi.szDisplayName), "gone.pdf");
    // Attributes 0x10 make a name a folder.
    SHGetFileInfoA("x", SHGFI_FILE_ATTRIBUTE_DIRECTORY, &fi, sizeof fi,
                   SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    EXPECT_EQ(std::string(fi.szTypeName), "文件夹");
}

TEST_F(ShellFiles, ItemIdListsCarryPaths) {
    LPITEMIDLIST list = ILCreateFromPathA((dir_ + "/sub/").c_str());
    ASSERT_NE(list, nullptr);
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListA(list, path));
    EXPECT_EQ(std::string(path), dir_ + "/sub");
    SHFILEINFOA fi;
    ASSERT_EQ(SHGetFileInfoA(reinterpret_cast<const char*>(list), 0, &fi, sizeof fi,
                             SHGFI_PIDL | SHGFI_DISPLAYNAME),
              1u);
    EXPECT_EQ(std::string(fi.szDisplayName), "sub");
    IMalloc* m = nullptr;
    ASSERT_EQ(SHGetMalloc(&m), S_OK);
    EXPECT_EQ(m->DidAlloc(list), 1);
    int local = 0;
    EXPECT_EQ(m->DidAlloc(&local), 0);
    m->Free(list);
    EXPECT_EQ(m->DidAlloc(list), 0);
    m->Release();
    EXPECT_EQ(ILCreateFromPathA((dir_ + "/nothing").c_str()), nullptr);

    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    EXPECT_FALSE(SHGetPathFromIDListA(computer, path));  // a virtual folder has no path
    CoTaskMemFree(computer);
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, 0, path), S_OK);
    EXPECT_EQ(std::string(path), std::string(getenv("HOME")));
    EXPECT_EQ(SHGetFolderPathA(nullptr, 0x7F, nullptr, 0, path), E_INVALIDARG);
}

namespace {
bool Everything(const std::string&) { return true; }
bool NotSecret(const std::string& d) { return d != "/srv/secret/"; }
}  // namespace

TEST(Drives, MountTableGivesRootAndHomeFirstWithoutPseudoFileSystems) {
    const std::string mounts =
        "overlay / overlay rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /dev tmpfs rw 0 0\n"
        "/dev/sdb1 /media/u/USB\\040STICK vfat rw 0 0\n"
        "server:/export /net/share nfs4 rw 0 0\n"
        "/dev/sr0 /mnt/cd iso9660 ro 0 0\n"
        "/dev/sda2 /data ext4 rw 0 0\n"
        "/dev/sda3 /srv/secret ext4 rw 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "sysfs /sys sysfs rw 0 0\n";
    auto drives = DrivesFromMounts(mounts, "/home/u", NotSecret);
    std::vector<std::string> roots;
    for (const DriveInfo& d : drives) roots.push_back(d.root);
    EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home/u/", "/data/", "/media/u/USB STICK/",
                                               "/mnt/cd/", "/net/share/"}));
    EXPECT_EQ(drives[2].type, DRIVE_FIXED);
    EXPECT_EQ(drives[3].type, DRIVE_REMOVABLE);
    EXPECT_EQ(drives[4].type, DRIVE_CDROM);
    EXPECT_EQ(drives[5].type, DRIVE_REMOTE);
    // A home that is a mount point of its own is listed once.
    auto again = DrivesFromMounts("/dev/a / ext4 rw 0 0\n/dev/b /home/u ext4 rw 0 0\n", "/home/u/",
                                  Everything);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].device, "/dev/b");
}

TEST(Drives, LogicalDriveStringsStartWithRootAndHome) {
    DWORD need = GetLogicalDriveStringsA(0, nullptr);
    ASSERT_GT(need, 2u);
    std::string buf(need, '\x7F');
    DWORD n = GetLogicalDriveStringsA(need, buf.data());
    EXPECT_EQ(n + 1, need);
    EXPECT_EQ(buf.substr(0, 2), std::string("/\0", 2));
    std::string home = std::string(getenv("HOME")) + "/";
    if (home != "//") {
        EXPECT_EQ(buf.substr(2, home.size() + 1), home + std::string(1, 0));
    }
    EXPECT_EQ(buf[n], '\0');
    EXPECT_EQ(GetDriveTypeA("/"), DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeA("/no/such/folder/"), DRIVE_NO_ROOT_DIR);
    char fs[32];
    DWORD flags = 0, maxLen = 0;
    EXPECT_TRUE(GetVolumeInformationA("/", nullptr, 0, nullptr, &maxLen, &flags, fs, sizeof fs));
    EXPECT_GT(maxLen, 0u);
    EXPECT_TRUE(flags & FILE_CASE_PRESERVED_NAMES);
    uint64_t total = 0;
    EXPECT_TRUE(GetDiskFreeSpaceExA("/", nullptr, &total, nullptr));
    EXPECT_GT(total, 0u);
}

// The list is asked for again and again (a folder list asks for every folder it shows);
// it still follows the home folder and whether its folders can be read.
TEST(Drives, ListFollowsTheHomeFolderAndItsReadability) {
    char tmpl[] = "/tmp/vx-drives-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string base = tmpl, a = base + "/home a", b = base + "/home b";
    ASSERT_EQ(mkdir(a.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(b.c_str(), 0755), 0);
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    auto roots = [] {
        std::string all;
        for (const DriveInfo& d : ListDrives()) all += d.root + "|";
        return all;
    };
    setenv("HOME", a.c_str(), 1);
    EXPECT_NE(roots().find(a + "/|"), std::string::npos);
    EXPECT_NE(roots().find(a + "/|"), std::string::npos);  // asked again
    setenv("HOME", b.c_str(), 1);
    EXPECT_EQ(roots().find(a + "/|"), std::string::npos);
    EXPECT_NE(roots().find(b + "/|"), std::string::npos);
    rmdir(b.c_str());  // the same mounts and home, but the home is gone
    EXPECT_EQ(roots().find(b + "/|"), std::string::npos);
    setenv("HOME", oldHome.c_str(), 1);
    rmdir(a.c_str());
    rmdir(base.c_str());
}

TEST(Drives, TextIsNeverCutInsideACharacter) {
    char buf[5];
    CopyTextToBuffer("ab文件", buf, sizeof buf);  // 文 is three bytes: it does not fit
    EXPECT_EQ(std::string(buf), "ab");
}

TEST(Theme, NotActiveByDefaultAndOnWithTheSetting) {
    unsetenv("VEXOMAT_THEMES");
    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    EXPECT_EQ(OpenThemeData(nullptr, L"BUTTON"), nullptr);
    setenv("VEXOMAT_THEMES", "1", 1);
    EXPECT_TRUE(IsThemeActive());
    HTHEME t = OpenThemeData(nullptr, L"Button");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(ThemeClassOf(t), "BUTTON");
    EXPECT_EQ(CloseThemeData(t), S_OK);
    EXPECT_EQ(CloseThemeData(t), E_HANDLE);
    EnableTheming(FALSE_);
    EXPECT_FALSE(IsThemeActive());
    EnableTheming(TRUE_);
    unsetenv("VEXOMAT_THEMES");
}

TEST(Themes, AWindowsThemeFollowsSetWindowThemeAndSysBoolsTellTheLook) {
    setenv("VEXOMAT_THEMES", "1", 1);
    const auto window = reinterpret_cast<HWND>(uintptr_t(0x7701));
    EXPECT_EQ(GetWindowTheme(window), nullptr);
    HTHEME button = OpenThemeData(window, L"Button");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetWindowTheme(window), button);
    EXPECT_TRUE(GetThemeSysBool(button, TMT_FLATMENUS));
    EXPECT_FALSE(GetThemeSysBool(button, 1002));
    EXPECT_EQ(GetLastError(), ERROR_NOT_FOUND);
    struct Row {
        const char* name;
        const wchar_t *app, *list;
        const char* opened;  // the classes the window's next theme has; null: none opens
    };
    const Row rows[] = {
        {"drawn as another class", nullptr, L"Explorer::TreeView", "EXPLORER::TREEVIEW"},
        {"an application name only keeps the classes", L"Explorer", nullptr, "BUTTON"},
        {"switched off", L"", L"", nullptr},
        {"given back", nullptr, nullptr, "BUTTON"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SetWindowTheme(window, row.app, row.list), S_OK);
        HTHEME t = OpenThemeData(window, L"Button");
        if (!row.opened) {
            EXPECT_EQ(t, nullptr);
            EXPECT_EQ(GetWindowTheme(window), button);  // the one still open
            continue;
        }
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(ThemeClassOf(t), row.opened);
        EXPECT_EQ(GetWindowTheme(window), t);
        EXPECT_EQ(CloseThemeData(t), S_OK);
        EXPECT_EQ(GetWindowTheme(window), button);  // the one opened before it
    }
    EXPECT_EQ(SetWindowTheme(nullptr, L"", L""), E_INVALIDARG);
    EXPECT_EQ(CloseThemeData(button), S_OK);
    EXPECT_FALSE(GetThemeSysBool(button, TMT_FLATMENUS));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    unsetenv("VEXOMAT_THEMES");
}

TEST(Modules, ThemeLibraryLoadsByNameAndFindsItsCalls) {
    HMODULE ux = LoadLibraryA("UxTheme.dll");
    ASSERT_NE(ux, nullptr);
    EXPECT_EQ(LoadLibraryA("uxtheme.dll"), ux);
    FreeLibrary(ux);
    auto isActive = reinterpret_cast<BOOL (*)()>(GetProcAddress(ux, "IsThemeActive"));
    ASSERT_NE(isActive, nullptr);
    EXPECT_EQ(isActive(), IsThemeActive());
    for (const char* name :
         {"OpenThemeData", "CloseThemeData", "IsAppThemed", "SetWindowTheme", "EnableTheming"})
        EXPECT_NE(GetProcAddress(ux, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(ux, "NoSuchCall"), nullptr);
    EXPECT_TRUE(FreeLibrary(ux));
    EXPECT_EQ(LoadLibraryA("nosuch.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleA("SHFolder.dll"), nullptr);  // not loaded yet
    HMODULE shf = LoadLibraryA("SHFolder.dll");
    EXPECT_EQ(GetModuleHandleA("shfolder.dll"), shf);
    EXPECT_NE(GetProcAddress(GetModuleHandleA("shfolder.dll"), "SHGetFolderPathA"), nullptr);
    FreeLibrary(shf);
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(uintptr_t(0x1234))));
}

TEST(Sound, FailsQuietlyWithoutADeviceAndStopsWithNull) {
    SetSoundBackendForTesting("aplay", "/nonexistent-sound-devices");
    const char wave[44] = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_FALSE(sndPlaySoundA(wave, SND_MEMORY | SND_ASYNC | SND_NODEFAULT));
    EXPECT_TRUE(sndPlaySoundA(nullptr, SND_MEMORY));
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_PURGE));
    SetSoundBackendForTesting(nullptr, nullptr);
}

TEST(Sound, PlaysThroughThePlayerWithAnArgumentVector) {
    // "true" stands in for the player: it accepts the arguments and ends at once.
    SetSoundBackendForTesting("true", "/");
    char wave[44] = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_TRUE(sndPlaySoundA(wave, SND_MEMORY));
    EXPECT_FALSE(SoundPlaying());
    wave[0] = 'X';
    EXPECT_FALSE(sndPlaySoundA(wave, SND_MEMORY));  // not a wave
    EXPECT_FALSE(sndPlaySoundA("/no/such/file.wav", 0));
    SetSoundBackendForTesting(nullptr, nullptr);
}
