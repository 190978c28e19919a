// The browse dialog as the shell's folder filter: OnShouldShow and OnGetEnumFlags decide what
// the tree lists, the flag set round trip, when the filter is registered, and handlers that
// raise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "controls/extended/xcBrowse.h"
#include "platform/vcl/forms.h"

namespace {

struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct Driver {
    explicit Driver(std::function<void(BrowseFolderDialog&)> f) {
        SetBrowseFolderTestDriver(std::move(f));
    }
    ~Driver() { SetBrowseFolderTestDriver(nullptr); }
};

struct Folders {
    Folders() {
        root = std::filesystem::temp_directory_path() / ("xcfilter_" + std::to_string(::getpid()));
        for (const char* d : {"a/keep", "a/skip", "a/.hidden", "a/keep/deep"})
            std::filesystem::create_directories(root / d);
        std::ofstream(root / "a/file.txt") << "x";
    }
    ~Folders() { std::filesystem::remove_all(root); }
    std::string Path(const std::string& rel) const { return (root / rel).string(); }
    std::filesystem::path root;
};

struct Exceptions {
    Exceptions() {
        Application->OnException = [this](TObject*, Exception& e) { seen.push_back(e.Message); };
    }
    ~Exceptions() { Application->OnException = nullptr; }
    std::vector<std::string> seen;
};

using Names = std::vector<std::string>;

// A folder that names its items in one STRRET form (or fails).
class OneFormFolder : public IShellFolder {
public:
    explicit OneFormFolder(UINT form, bool fails = false) : form_(form), fails_(fails) {}
    HRESULT QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT ParseDisplayName(HWND, void*, LPCWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT BindToObject(LPCITEMIDLIST, void*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT GetDisplayNameOf(LPCITEMIDLIST item, DWORD flags, STRRET* name) override {
        if (fails_ || !(flags & SHGDN_FORPARSING)) return E_FAIL;
        const std::string path = "/文件夹/" + ItemIdListText(item);
        name->uType = form_;
        if (form_ == STRRET_CSTR) std::snprintf(name->cStr, MAX_PATH, "%s", path.c_str());
        if (form_ == STRRET_OFFSET) name->uOffset = 2;  // the item's own text
        if (form_ == STRRET_WSTR) {
            const std::u16string wide = WideFromText(path);
            name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc((wide.size() + 1) * 2));
            std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, name->pOleStr);
        }
        return S_OK;
    }

private:
    UINT form_;
    bool fails_;
};

// A site that notes what was registered; the site can refuse to be one.
class RecordingSite : public IFolderFilterSite {
public:
    explicit RecordingSite(bool isSite) : isSite_(isSite) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        asked.push_back(iid.Data1);
        *out = isSite_ && IsEqualGUID(iid, IID_IFolderFilterSite) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT SetFilter(IUnknown* filter) override {
        registered.push_back(filter);
        return S_OK;
    }
    std::vector<DWORD> asked;
    std::vector<IUnknown*> registered;

private:
    bool isSite_;
};

int SendToCallback(BrowseFolderDialog& dlg, UINT msg, const void* l) {
    return dlg.Info().lpfn(dlg.Window(), msg, reinterpret_cast<LPARAM>(l), dlg.Info().lParam);
}

}  // namespace

TEST(XcBrowseFilter, ShouldShowHidesItemsByTheirPath) {
    Folders f;
    TXcBrowseForFolderDialog d(nullptr);
    Names asked;
    d.OnShouldShow = [&](TObject* sender, const std::string& item, bool& show) {
        EXPECT_EQ(sender, &d);
        EXPECT_TRUE(show);  // starts shown
        asked.push_back(item);
        show = item.find("skip") == std::string::npos;
    };
    Names inA, inKeep;
    bool filtered = false;
    Driver drv([&](BrowseFolderDialog& dlg) {
        filtered = dlg.HasFilter();
        inA = dlg.Items(f.Path("a"));
        inKeep = dlg.Items(f.Path("a/keep"));
        dlg.Cancel();
    });
    d.Execute();
    EXPECT_TRUE(filtered);
    EXPECT_EQ(inA, (Names{"keep"}));
    EXPECT_EQ(inKeep, (Names{"deep"}));
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (Names{f.Path("a/keep"), f.Path("a/keep/deep"), f.Path("a/skip")}));
}

TEST(XcBrowseFilter, EnumFlagsOfAFolderAddOrDropHiddenEntries) {
    Folders f;
    struct Row {
        const char* what;
        TXcEnumFlags add, drop;  // in folder "a" only
        Names inA;
    };
    const Row rows[] = {
        {"as they come", 0, 0, {"keep", "skip"}},
        {"hidden added", Ef(efIncludeHidden), 0, {".hidden", "keep", "skip"}},
        {"files and hidden added",
         Ef(efIncludeHidden) | Ef(efNonFolders),
         0,
         {".hidden", "file.txt", "keep", "skip"}},
        {"folders dropped, files added", Ef(efNonFolders), Ef(efFolders), {"file.txt"}},
        {"hidden added and dropped again",
         Ef(efIncludeHidden),
         Ef(efIncludeHidden),
         {"keep", "skip"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TXcBrowseForFolderDialog d(nullptr);
        Names folders;
        std::vector<TXcEnumFlags> incoming;
        d.OnGetEnumFlags = [&](TObject*, const std::string& folder, TXcEnumFlags& set) {
            folders.push_back(folder);
            incoming.push_back(set);
            if (folder == f.Path("a")) set = (set | r.add) & ~r.drop;
        };
        Names inA, inKeep;
        Driver drv([&](BrowseFolderDialog& dlg) {
            inA = dlg.Items(f.Path("a"));
            inKeep = dlg.Items(f.Path("a/keep"));
            dlg.Cancel();
        });
        d.Execute();
        EXPECT_EQ(inA, r.inA);
        EXPECT_EQ(inKeep, (Names{"deep"}));  // other folders as they come
        EXPECT_EQ(folders, (Names{f.Path("a"), f.Path("a/keep")}));
        for (TXcEnumFlags set : incoming) EXPECT_EQ(set, Ef(efFolders));
    }
}

TEST(XcBrowseFilter, EnumFlagsRoundTripThroughTheSet) {
    struct Row {
        DWORD in;
        TXcEnumFlags set;
    };
    const Row rows[] = {
        {0, 0},
        {SHCONTF_FOLDERS, Ef(efFolders)},
        {SHCONTF_STORAGE | SHCONTF_SHAREABLE, Ef(efStorage) | Ef(efShareable)},
        {0x0FE0, 0x7F},                             // all seven
        {0x0010 | SHCONTF_FOLDERS, Ef(efFolders)},  // a flag the set has no member for
        {0x8000 | 0x0060, Ef(efFolders) | Ef(efNonFolders)},
        {0x1000, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(TXcBrowseForFolderDialog::EnumFlagSet(r.in), r.set);
        EXPECT_EQ(TXcBrowseForFolderDialog::EnumFlagSum(r.set), r.in & 0x0FE0);
        // Through the filter: a handler that leaves the set gives the flags back whole, also
        // those the set cannot hold; one that changes it changes only the set's flags.
        TXcBrowseForFolderDialog d(nullptr);
        TXcEnumFlags seen = 0xFFFF;
        d.OnGetEnumFlags = [&](TObject*, const std::string&, TXcEnumFlags& set) { seen = set; };
        DWORD flags = r.in;
        EXPECT_EQ(d.GetEnumFlags(nullptr, nullptr, nullptr, &flags), S_OK);
        EXPECT_EQ(seen, r.set);
        EXPECT_EQ(flags, r.in);
        d.OnGetEnumFlags = [](TObject*, const std::string&, TXcEnumFlags& set) {
            set ^= Ef(efFolders);
        };
        EXPECT_EQ(d.GetEnumFlags(nullptr, nullptr, nullptr, &flags), S_OK);
        EXPECT_EQ(flags, r.in ^ SHCONTF_FOLDERS);
    }
}

TEST(XcBrowseFilter, RegisteredOnlyWithAnEventAndASite) {
    struct Row {
        bool flagsEvent, showEvent, isSite;
        size_t registered;
    };
    const Row rows[] = {
        {false, false, true, 0}, {true, false, true, 1}, {false, true, true, 1},
        {true, true, true, 1},   {true, true, false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.flagsEvent * 100 + r.showEvent * 10 + r.isSite);
        TXcBrowseForFolderDialog d(nullptr);
        if (r.flagsEvent) d.OnGetEnumFlags = [](TObject*, const std::string&, TXcEnumFlags&) {};
        if (r.showEvent) d.OnShouldShow = [](TObject*, const std::string&, bool&) {};
        RecordingSite site(r.isSite);
        bool filtered = false;
        Driver drv([&](BrowseFolderDialog& dlg) {
            filtered = dlg.HasFilter();
            EXPECT_EQ(SendToCallback(dlg, BFFM_IUNKNOWN, static_cast<IUnknown*>(&site)), 0);
            EXPECT_EQ(SendToCallback(dlg, BFFM_IUNKNOWN, nullptr), 0);  // the dialog's end
            dlg.Cancel();
        });
        d.Execute();
        EXPECT_EQ(filtered, r.flagsEvent || r.showEvent);  // at the dialog's own site
        ASSERT_EQ(site.registered.size(), r.registered);
        if (r.registered) {
            // What was registered is the dialog as a folder filter.
            void* filter = nullptr;
            ASSERT_EQ(site.registered[0]->QueryInterface(IID_IFolderFilter, &filter), S_OK);
            EXPECT_EQ(filter, static_cast<IFolderFilter*>(&d));
        }
        if (!r.isSite) {
            EXPECT_EQ(site.asked, (std::vector<DWORD>{IID_IFolderFilterSite.Data1}));
        }
        void* other = &site;
        EXPECT_EQ(d.QueryInterface(IID_IShellFolder, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
}

TEST(XcBrowseFilter, AHandlerThatRaisesHidesNothingAndKeepsTheFlags) {
    Folders f;
    Exceptions caught;
    TXcBrowseForFolderDialog d(nullptr);
    d.OnShouldShow = [&](TObject*, const std::string& item, bool& show) {
        show = false;
        if (item.ends_with("skip")) throw Exception("显示出错");
    };
    d.OnGetEnumFlags = [&](TObject*, const std::string& folder, TXcEnumFlags& set) {
        set = 0;
        if (folder == f.Path("a")) throw Exception("标志出错");
    };
    Names inA;
    Driver drv([&](BrowseFolderDialog& dlg) {
        inA = dlg.Items(f.Path("a"));
        dlg.Cancel();
    });
    d.Execute();
    // The flags stayed (folders, no hidden ones); "keep" was hidden, "skip" raised and shows.
    EXPECT_EQ(inA, (Names{"skip"}));
    EXPECT_EQ(caught.seen, (Names{"标志出错", "显示出错"}));
}

TEST(XcBrowseFilter, ItemPathsAreReadInEveryFormTheFolderGives) {
    struct Row {
        UINT form;
        bool fails;
        std::string path;
    };
    const Row rows[] = {
        {STRRET_CSTR, false, "/文件夹/名字"},
        {STRRET_WSTR, false, "/文件夹/名字"},
        {STRRET_OFFSET, false, "名字"},
        {STRRET_CSTR, true, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.form * 10 + r.fails);
        OneFormFolder folder(r.form, r.fails);
        TXcBrowseForFolderDialog d(nullptr);
        std::string seen = "-";
        d.OnShouldShow = [&](TObject*, const std::string& item, bool& show) {
            seen = item;
            show = false;
        };
        LPITEMIDLIST item = MakeItemIdList("名字");
        EXPECT_EQ(d.ShouldShow(&folder, nullptr, item), S_FALSE);
        CoTaskMemFree(item);
        EXPECT_EQ(seen, r.path);
    }
    // Without a handler every item shows.
    TXcBrowseForFolderDialog d(nullptr);
    OneFormFolder folder(STRRET_CSTR);
    EXPECT_EQ(d.ShouldShow(&folder, nullptr, nullptr), S_OK);
}

TEST(XcBrowseFilter, AWideValidationTextReachesTheHandlerAsText) {
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(d.Options() | Od(odValidate));
    Names typed;
    d.OnValidateFailed = [&](TObject*, const std::string& text, bool& close) {
        typed.push_back(text);
        close = false;
    };
    Driver drv([&](BrowseFolderDialog& dlg) {
        EXPECT_EQ(SendToCallback(dlg, BFFM_VALIDATEFAILEDW, u"新文件夹"), 1);
        EXPECT_EQ(SendToCallback(dlg, BFFM_VALIDATEFAILEDA, "新文件夹"), 1);
        dlg.Cancel();
    });
    d.Execute();
    EXPECT_EQ(typed, (Names{"新文件夹", "新文件夹"}));
}

TEST(XcBrowseFilter, TheShownTreeListsWhatTheFilterLets) {
    Folders f;
    std::string deep = f.Path("a/keep/deep");
    for (const char* level : {"/第一层", "/第二层", "/目标"}) {
        deep += level;
        std::filesystem::create_directories(deep);
        std::filesystem::create_directories(deep + "_skip");
        std::ofstream(deep + ".txt") << "x";
    }
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(Od(odStatusAvailable) | Od(odNewDialogStyle) | Od(odNoNewButtonFolder));
    d.Title = "选择目标文件夹（隐藏 skip，第一层列出文件）";
    d.SetRootDirectoryPath(f.Path("a"));
    d.Directory = deep;
    d.OnShouldShow = [](TObject*, const std::string& item, bool& show) {
        show = !item.ends_with("skip");
    };
    d.OnGetEnumFlags = [&](TObject*, const std::string& folder, TXcEnumFlags& set) {
        if (folder.ends_with("/第一层")) set |= Ef(efNonFolders);
    };
    Names listed;
    bool shot = false;
    SetBrowseFolderWindowProbe([&](BrowseFolderDialog& dlg) {
        if (!dlg.SelectionInView || !dlg.SelectionInView()) return false;
        listed = dlg.Items(f.Path("a/keep/deep/第一层"));
        const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
        const std::string png =
            (keep && *keep ? std::string(keep) + "/" : testing::TempDir()) + "browse-filter.png";
        shot = dlg.SaveScreenshot(png);
        dlg.PressOk();
        return true;
    });
    UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) {
        ADD_FAILURE() << "the start folder never came into view";
        PostQuitMessage(0);
    });
    EXPECT_TRUE(d.Execute());
    KillTimer(nullptr, guard);
    SetBrowseFolderWindowProbe(nullptr);
    EXPECT_TRUE(shot);
    EXPECT_EQ(d.Directory, deep);
    EXPECT_EQ(listed, (Names{"第二层", "第二层.txt"}));
}
