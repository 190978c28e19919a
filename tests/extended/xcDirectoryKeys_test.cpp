// The folder list on the keyboard (keys pressed through the window system, offscreen): the
// arrow keys, Home and End move the selection and open nothing, Return opens the selected
// folder, typing selects the next folder whose name begins with what was typed; a click
// still opens the folder it lands on, also one reached by the keys.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "controls/extended/xcFileCtrl.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/windowSystem.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override {
        setenv("VEXOMAT_ICON_THEME", "builtin", 1);
        Application->Initialize();
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

namespace fs = std::filesystem;

constexpr int kReturn = 13, kEnd = 35, kHome = 36, kUp = 38, kDown = 40;

// A folder with four folders in it, shown by a folder list that has the focus.
struct FolderKeys {
    std::string root;
    TForm form{nullptr};
    TXcDirectoryListBox* dirs = new TXcDirectoryListBox(&form);
    explicit FolderKeys(std::initializer_list<const char*> names = {"alpha", "beta", "bravo",
                                                                    "charlie"}) {
        char tmpl[] = "/tmp/vx folder keys XXXXXX";
        root = mkdtemp(tmpl);
        for (const char* name : names) fs::create_directories(root + "/" + name);
        form.SetBounds(0, 0, 300, 320);
        dirs->SetParent(&form);
        dirs->SetBounds(5, 5, 280, 300);
        form.Show();
        dirs->SetDirectory(root);
        dirs->SetFocus();
        Application->ProcessMessages();
    }
    ~FolderKeys() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void Press(int key) {
        ws::PressKey(key, 0);
        Application->ProcessMessages();  // what the key posted, too
    }
    std::string Selected() const {
        const int i = dirs->ItemIndex();
        return i < 0 ? std::string("(none)") : (*dirs->Items())[i];
    }
    std::string Sub(const char* name) const { return root + "/" + name; }
};

}  // namespace

TEST(XcFolderKeys, ArrowsHomeAndEndMoveTheSelectionAndOpenNothing) {
    FolderKeys k;
    ASSERT_TRUE(k.dirs->Peer()->hasFocus());
    ASSERT_EQ(k.Selected(), k.root);
    struct Row {
        int key;
        std::string selected;
    };
    const Row rows[] = {{kDown, k.Sub("alpha")}, {kDown, k.Sub("beta")},   {kDown, k.Sub("bravo")},
                        {kUp, k.Sub("beta")},    {kEnd, k.Sub("charlie")}, {kHome, "/"},
                        {kDown, "/tmp"}};
    for (const Row& row : rows) {
        SCOPED_TRACE("key " + std::to_string(row.key) + " to " + row.selected);
        k.Press(row.key);
        EXPECT_EQ(k.Selected(), row.selected);
        EXPECT_EQ(k.dirs->Directory(), k.root);  // the folder shown stays
    }
}

TEST(XcFolderKeys, ReturnOpensTheSelectedFolder) {
    FolderKeys k;
    k.Press(kDown);
    k.Press(kDown);
    ASSERT_EQ(k.Selected(), k.Sub("beta"));
    k.Press(kReturn);
    EXPECT_EQ(k.dirs->Directory(), k.Sub("beta"));
    EXPECT_EQ(k.Selected(), k.Sub("beta"));
    // A sibling is reached through the level above: Up to it, Return, then down again.
    k.Press(kUp);
    ASSERT_EQ(k.Selected(), k.root);
    k.Press(kReturn);
    EXPECT_EQ(k.dirs->Directory(), k.root);
    k.Press(kEnd);
    k.Press(kReturn);
    EXPECT_EQ(k.dirs->Directory(), k.Sub("charlie"));
}

TEST(XcFolderKeys, TypingSelectsTheNextFolderBeginningWithTheLetters) {
    FolderKeys k;
    struct Row {
        int key;
        const char* selected;
    };
    // Each key typed alone (the prefix begins anew after a pause): a letter steps through
    // the folders beginning with it, wrapping; a letter no folder begins with moves nothing.
    const Row rows[] = {{'B', "beta"},    {'B', "bravo"}, {'B', "beta"}, {'C', "charlie"},
                        {'Z', "charlie"}, {'A', "alpha"}, {'1', "alpha"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("typed ") + char(row.key));
        Sleep(600);
        k.Press(row.key);
        EXPECT_EQ(k.Selected(), k.Sub(row.selected));
        EXPECT_EQ(k.dirs->Directory(), k.root);
    }
}

TEST(XcFolderKeys, LettersOfEveryScriptSelectAsLettersDo) {
    FolderKeys k({"zeta", "Ölbild", "über", "中文", "中间"});
    struct Row {
        const char* typed;
        const char* selected;
    };
    // A capital typed finds the small letter and the other way round; a character of
    // several bytes is one letter.
    const Row rows[] = {{"ü", "über"}, {"ö", "Ölbild"}, {"中", "中文"}, {"中", "中间"},
                        {"Ü", "über"}, {"я", "über"},   {"z", "zeta"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("typed ") + row.typed);
        Sleep(600);
        ws::TypeCharacter(row.typed);
        Application->ProcessMessages();
        EXPECT_EQ(k.Selected(), k.Sub(row.selected));
        EXPECT_EQ(k.dirs->Directory(), k.root);
    }
}

TEST(XcFolderKeys, LettersTypedTogetherMakeOnePrefix) {
    FolderKeys k;
    // "br" typed together goes past "beta" to "bravo"; a slow machine may part the two keys,
    // so the pair is typed again (a few times at most) until it came within the moment.
    bool together = false;
    for (int attempt = 0; attempt < 5 && !together; ++attempt) {
        Sleep(600);
        k.dirs->SetItemIndex(0);
        const uint32_t start = GetTickCount();
        k.Press('B');
        k.Press('R');
        together = GetTickCount() - start < 400;
    }
    ASSERT_TRUE(together) << "the two keys never came within 400 ms of each other";
    EXPECT_EQ(k.Selected(), k.Sub("bravo"));
    EXPECT_EQ(k.dirs->Directory(), k.root);
}

TEST(XcFolderKeys, AClickOpensTheFolderTheKeysSelected) {
    FolderKeys k;
    k.Press(kEnd);
    ASSERT_EQ(k.Selected(), k.Sub("charlie"));
    const TRect r = k.dirs->ItemRect(k.dirs->ItemIndex());
    k.dirs->Peer()->click(r.Left + 30, (r.Top + r.Bottom) / 2);
    Application->ProcessMessages();
    EXPECT_EQ(k.dirs->Directory(), k.Sub("charlie"));
    // Without AutoExpand a click only selects.
    k.dirs->AutoExpand = false;
    const int up = k.dirs->Items()->IndexOf(k.root);
    ASSERT_GE(up, 0);
    const TRect u = k.dirs->ItemRect(up);
    k.dirs->Peer()->click(u.Left + 30, (u.Top + u.Bottom) / 2);
    Application->ProcessMessages();
    EXPECT_EQ(k.Selected(), k.root);
    EXPECT_EQ(k.dirs->Directory(), k.Sub("charlie"));
}
