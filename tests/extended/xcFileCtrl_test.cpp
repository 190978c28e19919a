// The drive, folder and file pickers on temporary folder trees: they follow each other, the
// file list is filled by its search with the mask and the file kinds, hidden files and
// folders, a folder that vanishes while shown, refused paths, drives coming and going, and
// the shell's icons as they show.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/extended/xcFileCtrl.h"
#include "controls/extended/xcPublished.h"
#include "platform/user/messages.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/win/drives.h"
#include "platform/win/mountWatch.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override {
        setenv("VEXOMAT_ICON_THEME", "builtin", 1);  // the program's own icons, the same everywhere
        Application->Initialize();
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

namespace fs = std::filesystem;

struct Tree {
    std::string root;
    Tree() {
        char tmpl[] = "/tmp/vx pickers XXXXXX";
        root = mkdtemp(tmpl);
    }
    ~Tree() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string Dir(const std::string& rel) {
        fs::create_directories(root + "/" + rel);
        return root + "/" + rel;
    }
    void File(const std::string& rel, const std::string& text = "x") {
        std::ofstream(root + "/" + rel) << text;
    }
};

struct Pickers {
    TForm form{nullptr};
    TXcDriveCombo* drives = new TXcDriveCombo(&form);
    TXcDirectoryListBox* dirs = new TXcDirectoryListBox(&form);
    TXcFileListBox* files = new TXcFileListBox(&form);
    Pickers() {
        form.SetBounds(0, 0, 600, 300);
        for (TWinControl* c : std::initializer_list<TWinControl*>{drives, dirs, files})
            c->SetParent(&form);
        drives->SetBounds(5, 5, 180, 22);
        dirs->SetBounds(5, 35, 180, 250);
        files->SetBounds(200, 5, 380, 280);
        files->SetFileType(FileTypeBit(ftReadOnly) | FileTypeBit(ftNormal));
        files->SetForceFileExtensions(true);
        files->SetItemHeight(18);
        form.Show();
        dirs->SetDriveCombo(drives);
        dirs->SetFileList(files);
        Application->ProcessMessages();
    }
    std::set<std::string> FileItems() {
        auto v = files->Items()->ToVector();
        return {v.begin(), v.end()};
    }
};

}  // namespace

TEST(XcPickers, ChoosingAFolderRefillsTheFilesByMaskAndKinds) {
    Tree t;
    const std::string docs = t.Dir("docs");
    t.Dir("docs/inner");
    t.File("docs/a.pdf");
    t.File("docs/b.PDF");
    t.File("docs/c.txt");
    t.File("docs/.hidden.pdf");
    t.File("top.pdf");
    Pickers p;
    p.dirs->SetDirectory(t.root);
    EXPECT_EQ(p.dirs->Directory(), t.root);
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"top.pdf"}));
    // The folder list: the levels down to the folder, then its folders; the folder selected.
    const auto& items = *p.dirs->Items();
    ASSERT_GE(items.Count(), 2);
    EXPECT_EQ(items[0], "/");
    EXPECT_EQ(items[items.Count() - 1], docs);
    EXPECT_EQ(items[p.dirs->ItemIndex()], t.root);
    // Opening the "docs" item refills the files.
    p.dirs->OpenItem(items.Count() - 1);
    EXPECT_EQ(p.dirs->Directory(), docs);
    EXPECT_EQ(p.files->Directory(), docs);
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"a.pdf", "b.PDF", "c.txt"}));
    p.files->SetMask("*.pdf");
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"a.pdf", "b.PDF"}));
    p.files->SetMask("*.txt;*.doc");
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"c.txt"}));
    // Hidden files follow the file kinds; folders come first with a leading space.
    p.files->SetMask("*.*");
    p.files->SetFileType(FileTypeBit(ftReadOnly) | FileTypeBit(ftNormal) | FileTypeBit(ftHidden));
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"a.pdf", "b.PDF", "c.txt", ".hidden.pdf"}));
    p.files->SetFileType(FileTypeBit(ftNormal) | FileTypeBit(ftDirectory));
    ASSERT_GT(p.files->Items()->Count(), 0);
    EXPECT_EQ((*p.files->Items())[0], " inner");
    EXPECT_EQ(p.FileItems().count(".hidden.pdf"), 0u);
    // The search the list owns did the filling.
    EXPECT_EQ(p.files->Search()->RootDirectory, docs + "/");
    // FileName is the current item's full path.
    p.files->SetFileType(FileTypeBit(ftReadOnly) | FileTypeBit(ftNormal));
    p.files->SetFileName(docs + "/c.txt");
    EXPECT_EQ(p.files->FileName(), docs + "/c.txt");
}

TEST(XcPickers, ReadOnlyFilesAreListedWithNormalOnes) {
    Tree t;
    const std::string d = t.Dir("ro");
    t.File("ro/locked.txt");
    chmod((d + "/locked.txt").c_str(), 0444);
    t.File("ro/open.txt");
    Pickers p;
    p.dirs->SetDirectory(d);
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"locked.txt", "open.txt"}));
    // Without read-only files: the one we may not write goes (as root every file is writable).
    p.files->SetFileType(FileTypeBit(ftNormal));
    const std::set<std::string> normal = geteuid() == 0
                                             ? std::set<std::string>{"locked.txt", "open.txt"}
                                             : std::set<std::string>{"open.txt"};
    EXPECT_EQ(p.FileItems(), normal);
}

TEST(XcPickers, AFolderThatVanishesWhileShown) {
    Tree t;
    const std::string gone = t.Dir("gone");
    t.Dir("gone/sub");
    t.File("gone/f.pdf");
    t.File("keep.pdf");
    Pickers p;
    p.dirs->SetDirectory(gone);
    ASSERT_EQ(p.FileItems(), (std::set<std::string>{"f.pdf"}));
    std::error_code ec;
    fs::remove_all(gone, ec);
    // Reading it again shows nothing found; opening its vanished sub-folder leads to the
    // nearest folder still there.
    p.files->Update();
    EXPECT_TRUE(p.FileItems().empty());
    p.dirs->SetDirectory(gone + "/sub");
    EXPECT_EQ(p.dirs->Directory(), t.root);
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"keep.pdf"}));
}

TEST(XcPickers, RefusedPathsAndRepeatedFolders) {
    Tree t;
    const std::string a = t.Dir("a");
    Pickers p;
    p.dirs->SetDirectory(a);
    int changes = 0;
    p.dirs->OnChange = [&](TObject*) { ++changes; };
    for (const char* refused : {"", "//server/share", "relative/folder"}) {
        p.dirs->SetDirectory(refused);
        EXPECT_EQ(p.dirs->Directory(), a) << refused;
    }
    p.dirs->SetDirectory(a + "/");  // the same folder: nothing happens
    EXPECT_EQ(changes, 0);
    p.dirs->SetDirectory(t.root);
    EXPECT_EQ(changes, 1);
}

TEST(XcPickers, DrivesFollowTheFolderAndRefillWhenDrivesChange) {
    Pickers p;
    std::vector<DriveInfo> drives = ListDrives();
    ASSERT_FALSE(drives.empty());
    // Every listed root is a drive of the chosen kinds, with the shell's name.
    for (size_t i = 0; i < p.drives->Roots().size(); ++i) {
        const UINT kind = GetDriveTypeA(p.drives->Roots()[i].c_str());
        EXPECT_TRUE(kind == DRIVE_FIXED || kind == DRIVE_REMOTE || kind == DRIVE_CDROM)
            << p.drives->Roots()[i];
        const std::string root = p.drives->Roots()[i];
        const std::string shown = root == "/" ? root : ExcludeTrailingPathDelimiter(root);
        EXPECT_NE((*p.drives->Items())[int(i)].find("(" + shown + ")"), std::string::npos);
    }
    p.dirs->SetDirectory("/");
    EXPECT_EQ(p.drives->Drive(), "/");
    EXPECT_EQ(p.drives->Items()->Count(), int(p.drives->Roots().size()));
    // Choosing a drive in the combo moves the folder list.
    const char* home = getenv("HOME");
    DriveInfo homeDrive;
    if (home && DriveOfPath(home, homeDrive) && homeDrive.root != "/") {
        p.drives->SetDrive(homeDrive.root);
        EXPECT_EQ(p.dirs->Directory() + "/", homeDrive.root);
    }
    // Drives come or go: the main window's notification of a volume refills the list; other
    // devices leave it as it is.
    const int count = p.drives->Items()->Count();
    struct Row {
        WPARAM event;
        DWORD deviceType;  // 0: no record
        bool refills;
    };
    for (Row row :
         {Row{DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, true},
          Row{DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, true}, Row{DBT_DEVICEARRIVAL, 0, true},
          Row{DBT_DEVICEARRIVAL, 0x0003 /* port */, false},
          Row{DBT_DEVICEREMOVECOMPLETE, 0x0005 /* interface */, false},
          Row{DBT_DEVNODES_CHANGED, 0, false}, Row{0x0018 /* configuration */, 0, false}}) {
        p.drives->Items()->Clear();
        ASSERT_EQ(p.drives->Items()->Count(), 0);
        DEV_BROADCAST_VOLUME record;
        record.dbcv_devicetype = row.deviceType;
        SendMessageA(p.form.Handle(), WM_DEVICECHANGE, row.event,
                     row.deviceType ? LPARAM(&record) : 0);
        EXPECT_EQ(p.drives->Items()->Count(), row.refills ? count : 0)
            << std::hex << row.event << " " << row.deviceType;
    }
    // A change of the mount table reaches the list through the platform's broadcast.
    char table[] = "/tmp/vx_pickers_mounts_XXXXXX";
    const int fd = mkstemp(table);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(table) << "/dev/sda1 / ext4 rw 0 0\n";
    MountTableWatch watch(table);
    p.drives->Items()->Clear();
    std::ofstream(table) << "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/stick vfat rw 0 0\n";
    EXPECT_GE(DeliverDeviceChange(watch, true), 1);
    EXPECT_EQ(p.drives->Items()->Count(), count);
    std::remove(table);
    // An empty set of kinds means fixed drives.
    p.drives->SetDriveTypes({});
    EXPECT_TRUE(p.drives->DriveTypes().Contains(dtFixed));
}

TEST(XcPickers, IconsDifferForAFolderAPdfAndAnUnknownType) {
    Tree t;
    const std::string d = t.Dir("icons");
    t.Dir("icons/folder");
    t.File("icons/doc.pdf", "%PDF-1.4\n");
    t.File("icons/thing.zzqq", "\x01\x02\x03");
    Pickers p;
    p.files->SetFileType(FileTypeBit(ftNormal) | FileTypeBit(ftReadOnly) |
                         FileTypeBit(ftDirectory));
    p.dirs->SetDirectory(d);
    ASSERT_EQ(p.files->Items()->Count(), 3);
    p.files->SetItemIndex(-1);
    Application->ProcessMessages();
    gdi::Image shot;
    ASSERT_TRUE(p.files->Peer()->grab(shot));
    // The 16 x 16 icon of each row, from the picture.
    auto iconOf = [&](int row) {
        TRect r = p.files->ItemRect(row);
        std::vector<uint32_t> px;
        const int top = r.Top + (r.Bottom - r.Top - 16) / 2;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) px.push_back(shot.pixel(r.Left + 2 + x, top + y));
        return px;
    };
    int folderRow = -1, pdfRow = -1, otherRow = -1;
    for (int i = 0; i < 3; ++i) {
        const std::string s = Trim((*p.files->Items())[i]);
        (s == "folder" ? folderRow : s == "doc.pdf" ? pdfRow : otherRow) = i;
    }
    ASSERT_EQ(folderRow, 0);  // folders first
    const auto folder = iconOf(folderRow), pdf = iconOf(pdfRow), other = iconOf(otherRow);
    EXPECT_NE(folder, pdf);
    EXPECT_NE(folder, other);
    EXPECT_NE(pdf, other);
    // Each is a picture, not the plain background.
    const uint32_t back = ColorToRGB(clWindow);
    for (const auto* icon : {&folder, &pdf, &other})
        EXPECT_GT(std::count_if(icon->begin(), icon->end(), [&](uint32_t c) { return c != back; }),
                  8);
    const char* dir = getenv("VEXOMAT_SCREENSHOTS");
    if (dir && *dir) p.form.SaveScreenshot(std::string(dir) + "/pickers.png");
}

TEST(XcPickers, AClickOnAFolderOpensIt) {
    Tree t;
    t.Dir("one");
    t.File("one/inside.pdf");
    Pickers p;
    p.dirs->SetDirectory(t.root);
    const int row = p.dirs->Items()->IndexOf(t.root + "/one");
    ASSERT_GE(row, 0);
    TRect r = p.dirs->ItemRect(row);
    // Through the window system's own click, as the user does it.
    p.dirs->Peer()->click(r.Left + 20, (r.Top + r.Bottom) / 2);
    Application->ProcessMessages();
    EXPECT_EQ(p.dirs->Directory(), t.root + "/one");
    EXPECT_EQ(p.FileItems(), (std::set<std::string>{"inside.pdf"}));
    // A level above is opened the same way.
    TRect up = p.dirs->ItemRect(p.dirs->Items()->IndexOf(t.root));
    p.dirs->Peer()->click(up.Left + 20, (up.Top + up.Bottom) / 2);
    Application->ProcessMessages();
    EXPECT_EQ(p.dirs->Directory(), t.root);
    EXPECT_TRUE(p.FileItems().empty());
}

TEST(XcPickers, TheFileListShowsItsFocusWhileItHasIt) {
    Tree t;
    const std::string d = t.Dir("focus");
    t.File("focus/a.pdf");
    t.File("focus/b.pdf");
    Pickers p;
    p.dirs->SetDirectory(d);
    ASSERT_EQ(p.files->Items()->Count(), 2);
    struct Row {
        const char* what;
        TWinControl* focused;
        bool frame;
    };
    const Row rows[] = {{"the file list focused", p.files, true},
                        {"the folder list focused", p.dirs, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.focused->SetFocus();
        p.files->SetItemIndex(0);
        Application->ProcessMessages();
        gdi::Image shot;
        ASSERT_TRUE(p.files->Peer()->grab(shot));
        // The dotted frame along the current row's right edge, beside the row's plain fill.
        const TRect r = p.files->ItemRect(0);
        const int edge = r.Right - 1;
        int dots = 0;
        for (int y = r.Top + 1; y < r.Bottom - 1; ++y)
            if (shot.pixel(edge, y) != shot.pixel(edge - 6, y)) ++dots;
        if (row.frame)
            EXPECT_GE(dots, (r.Bottom - r.Top) / 3);
        else
            EXPECT_EQ(dots, 0);
    }
}

TEST(XcPickers, PickersAndLabelOfAnotherFormMayGoFirst) {
    // The folder list names a file list, a drive combo and a label that sit on another form
    // (set in code, or read from a form naming "Form.Component"); that form is freed, and
    // the folder list changes folder afterwards.
    RegisterExtendedClasses();
    Tree t;
    const std::string a = t.Dir("a"), b = t.Dir("b");
    for (const bool read : {false, true}) {
        SCOPED_TRACE(read ? "read from a form" : "set in code");
        auto others = std::make_unique<TForm>(nullptr);
        others->SetName("LabelForm");
        auto* shown = new TLabel(others.get());
        shown->SetName("Shown");
        auto* files = new TXcFileListBox(others.get());
        files->SetName("Files");
        auto* drives = new TXcDriveCombo(others.get());
        drives->SetName("Drives");
        for (TControl* c : std::initializer_list<TControl*>{shown, files, drives})
            c->SetParent(others.get());
        others->Show();
        TForm form(nullptr);
        TXcDirectoryListBox* dirs = nullptr;
        if (read) {
            ReadForm(&form,
                     "object DirForm: TForm\n"
                     "  object Dirs: TXcDirectoryListBox\n"
                     "    FileList = LabelForm.Files\n"
                     "    DriveCombo = LabelForm.Drives\n"
                     "    DirLabel = LabelForm.Shown\n"
                     "  end\n"
                     "end\n");
            dirs = dynamic_cast<TXcDirectoryListBox*>(form.FindComponent("Dirs"));
            ASSERT_NE(dirs, nullptr);
        } else {
            dirs = new TXcDirectoryListBox(&form);
            dirs->SetFileList(files);
            dirs->SetDriveCombo(drives);
            dirs->SetDirLabel(shown);
        }
        dirs->SetParent(&form);
        dirs->SetBounds(5, 5, 500, 200);  // the label's caption fits unshortened
        form.Show();
        Application->ProcessMessages();
        dirs->SetDirectory(a);
        EXPECT_EQ(shown->Caption(), a);
        EXPECT_EQ(files->Directory(), a);
        others.reset();
        EXPECT_EQ(dirs->FileList(), nullptr);
        EXPECT_EQ(dirs->DriveCombo(), nullptr);
        EXPECT_EQ(dirs->DirLabel(), nullptr);
        dirs->SetDirectory(b);  // reached the freed label and file list before
        EXPECT_EQ(dirs->Directory(), b);
    }
}
