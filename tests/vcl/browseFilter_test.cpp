// The folder browser's filter site: what the tree lists per folder under the enumeration
// flags and a registered IFolderFilter, and the BFFM_IUNKNOWN messages around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/user/browseFolder.h"

namespace {

std::string ParsingName(IShellFolder* folder, LPCITEMIDLIST item) {
    STRRET name;
    if (FAILED(folder->GetDisplayNameOf(item, SHGDN_FORPARSING, &name))) return "?";
    if (name.uType == STRRET_CSTR) return name.cStr;
    if (name.uType == STRRET_OFFSET) return reinterpret_cast<const char*>(item) + name.uOffset;
    std::string text = TextFromWide(name.pOleStr);
    CoTaskMemFree(name.pOleStr);
    return text;
}

// A filter whose answers the test sets; it counts its references and the questions.
class TestFilter : public IFolderFilter {
public:
    std::function<HRESULT(const std::string& path)> show;
    std::function<HRESULT(const std::string& folder, DWORD& flags)> flags;
    std::vector<std::string> shownAsked, flagsAsked;
    ULONG refs = 1;

    HRESULT QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IFolderFilter))
            return E_NOINTERFACE;
        *out = static_cast<IFolderFilter*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT ShouldShow(IShellFolder* folder, LPCITEMIDLIST, LPCITEMIDLIST item) override {
        const std::string path = ParsingName(folder, item);
        shownAsked.push_back(path);
        return show ? show(path) : S_OK;
    }
    HRESULT GetEnumFlags(IShellFolder* folder, LPCITEMIDLIST folderList, HWND*, DWORD* f) override {
        const std::string path = ParsingName(folder, nullptr);
        EXPECT_EQ(path, ItemIdListText(folderList));  // the folder and its whole list agree
        flagsAsked.push_back(path);
        return flags ? flags(path, *f) : S_OK;
    }
};

// An object that is no filter.
class NotAFilter : public IUnknown {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualGUID(iid, IID_IUnknown) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
};

// The callback: registers the filter at the site (when one is set) and notes the messages.
struct Probe {
    IUnknown* filter = nullptr;
    IUnknown* keptSite = nullptr;  // a site the callback holds on to
    bool keepSite = false;
    std::vector<UINT> messages;
    std::vector<bool> siteGiven;  // per BFFM_IUNKNOWN: a site or null
    HRESULT registered = E_FAIL;
};

int Callback(HWND, UINT msg, LPARAM l, LPARAM data) {
    auto* p = reinterpret_cast<Probe*>(data);
    p->messages.push_back(msg);
    if (msg != BFFM_IUNKNOWN) return 0;
    auto* unknown = reinterpret_cast<IUnknown*>(l);
    p->siteGiven.push_back(unknown != nullptr);
    void* site = nullptr;
    if (!unknown || FAILED(unknown->QueryInterface(IID_IFolderFilterSite, &site))) return 0;
    if (p->filter) p->registered = static_cast<IFolderFilterSite*>(site)->SetFilter(p->filter);
    if (p->keepSite)
        p->keptSite = static_cast<IUnknown*>(site);
    else
        static_cast<IUnknown*>(site)->Release();
    return 0;
}

class BrowseFilter : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() / ("vx-filter-" + std::to_string(getpid()));
        for (const char* d : {"a/keep", "a/skip", "a/.hidden", "a/keep/deep"})
            std::filesystem::create_directories(root_ / d);
        std::ofstream(root_ / "a/file.txt") << "x";
        std::ofstream(root_ / "a/.dotfile") << "x";
        bi_.lpfn = Callback;
        bi_.lParam = reinterpret_cast<LPARAM>(&probe_);
    }
    void TearDown() override {
        SetBrowseFolderTestDriver(nullptr);
        std::filesystem::remove_all(root_);
    }
    std::string A() const { return (root_ / "a").string(); }
    // What the tree lists in folder "a" (and in "a/keep") with the dialog's flags.
    std::vector<std::vector<std::string>> Listed(UINT flags) {
        bi_.ulFlags = flags;
        std::vector<std::vector<std::string>> seen;
        SetBrowseFolderTestDriver([&](BrowseFolderDialog& d) {
            seen.push_back(d.Items(A()));
            seen.push_back(d.Items(A() + "/keep"));
            seen.push_back(d.Items(A()));  // asked again: the answers are kept
        });
        LPITEMIDLIST r = SHBrowseForFolderA(&bi_);
        CoTaskMemFree(r);
        return seen;
    }
    using Names = std::vector<std::string>;
    std::filesystem::path root_;
    Probe probe_;
    BROWSEINFOA bi_;
};

}  // namespace

TEST_F(BrowseFilter, TheSiteComesAfterInitializedAndGoesWhenTheDialogEnds) {
    TestFilter filter;
    probe_.filter = &filter;
    Listed(0);
    ASSERT_GE(probe_.messages.size(), 4u);
    EXPECT_EQ(probe_.messages[0], BFFM_INITIALIZED);
    EXPECT_EQ(probe_.messages[1], BFFM_IUNKNOWN);
    EXPECT_EQ(probe_.messages[2], BFFM_SELCHANGED);
    EXPECT_EQ(probe_.messages.back(), BFFM_IUNKNOWN);
    EXPECT_EQ(probe_.siteGiven, (std::vector<bool>{true, false}));
    EXPECT_EQ(probe_.registered, S_OK);
    EXPECT_EQ(filter.refs, 1u);  // the dialog let go of it
}

TEST_F(BrowseFilter, ListsByTheFolderFlagsAndTheFiltersAnswers) {
    struct Row {
        const char* what;
        UINT dialogFlags;
        std::function<HRESULT(const std::string&)> show;
        std::function<HRESULT(const std::string&, DWORD&)> flags;
        Names inA, inKeep;
    };
    const std::string a = A();
    const Row rows[] = {
        {"no filter", 0, nullptr, nullptr, {"keep", "skip"}, {"deep"}},
        {"no filter, with files",
         BIF_BROWSEINCLUDEFILES,
         nullptr,
         nullptr,
         {"file.txt", "keep", "skip"},
         {"deep"}},
        {"hides by name",
         0,
         [](const std::string& p) { return p.ends_with("/skip") ? S_FALSE : S_OK; },
         nullptr,
         {"keep"},
         {"deep"}},
        {"adds hidden entries to one folder",
         0,
         nullptr,
         [a](const std::string& f, DWORD& fl) {
             if (f == a) fl |= SHCONTF_INCLUDEHIDDEN;
             return S_OK;
         },
         {".hidden", "keep", "skip"},
         {"deep"}},
        {"adds files and hidden ones",
         0,
         nullptr,
         [](const std::string&, DWORD& fl) {
             fl |= SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
             return S_OK;
         },
         {".dotfile", ".hidden", "file.txt", "keep", "skip"},
         {"deep"}},
        {"drops hidden and folders",
         BIF_BROWSEINCLUDEFILES,
         nullptr,
         [a](const std::string& f, DWORD& fl) {
             if (f == a) fl = SHCONTF_NONFOLDERS;
             return S_OK;
         },
         {"file.txt"},
         {"deep"}},
        {"a failing filter changes nothing",
         0,
         [](const std::string&) { return E_FAIL; },
         [](const std::string&, DWORD& fl) {
             fl = 0;
             return E_FAIL;
         },
         {"keep", "skip"},
         {"deep"}},
        {"a filter that throws hides nothing",
         0,
         [](const std::string&) -> HRESULT { throw std::runtime_error("broken"); },
         [](const std::string&, DWORD&) -> HRESULT { throw std::runtime_error("broken"); },
         {"keep", "skip"},
         {"deep"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TestFilter filter;
        filter.show = r.show;
        filter.flags = r.flags;
        probe_.filter = r.show || r.flags ? &filter : nullptr;
        const auto seen = Listed(r.dialogFlags);
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[0], r.inA);
        EXPECT_EQ(seen[1], r.inKeep);
        EXPECT_EQ(seen[2], r.inA);
        if (!probe_.filter) continue;
        // Each folder's flags once; each item of the kinds listed once, by its whole path.
        EXPECT_EQ(filter.flagsAsked, (Names{a, a + "/keep"}));
        const size_t items = filter.shownAsked.size();
        std::sort(filter.shownAsked.begin(), filter.shownAsked.end());
        EXPECT_EQ(std::unique(filter.shownAsked.begin(), filter.shownAsked.end()) -
                      filter.shownAsked.begin(),
                  std::ptrdiff_t(items));
        for (const std::string& p : filter.shownAsked) EXPECT_EQ(p.rfind(a + "/", 0), 0u) << p;
        EXPECT_EQ(filter.refs, 1u);
    }
}

TEST_F(BrowseFilter, OnlyAFilterIsTakenAndAKeptSiteOutlivesTheDialog) {
    NotAFilter notAFilter;
    probe_.filter = &notAFilter;
    probe_.keepSite = true;
    const auto seen = Listed(0);
    EXPECT_EQ(probe_.registered, E_NOINTERFACE);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], (Names{"keep", "skip"}));
    // The site the callback kept answers, but no dialog is there any more.
    ASSERT_NE(probe_.keptSite, nullptr);
    TestFilter late;
    void* site = nullptr;
    ASSERT_EQ(probe_.keptSite->QueryInterface(IID_IFolderFilterSite, &site), S_OK);
    EXPECT_EQ(static_cast<IFolderFilterSite*>(site)->SetFilter(&late), E_FAIL);
    EXPECT_EQ(late.refs, 1u);
    static_cast<IUnknown*>(site)->Release();
    probe_.keptSite->Release();  // the last reference: the site goes
}

TEST_F(BrowseFilter, AFilterTakenAwayOrReplacedIsAskedNoMore) {
    TestFilter first, second;
    first.show = [](const std::string& p) { return p.ends_with("/skip") ? S_FALSE : S_OK; };
    second.show = [](const std::string& p) { return p.ends_with("/keep") ? S_FALSE : S_OK; };
    probe_.filter = &first;
    probe_.keepSite = true;
    bi_.ulFlags = 0;
    std::vector<Names> seen;
    SetBrowseFolderTestDriver([&](BrowseFolderDialog& d) {
        seen.push_back(d.Items(A()));
        void* asked = nullptr;
        ASSERT_EQ(probe_.keptSite->QueryInterface(IID_IFolderFilterSite, &asked), S_OK);
        auto* site = static_cast<IFolderFilterSite*>(asked);
        EXPECT_EQ(site->SetFilter(&second), S_OK);
        EXPECT_EQ(first.refs, 1u);
        seen.push_back(d.Items(A()));
        EXPECT_EQ(site->SetFilter(nullptr), S_OK);
        EXPECT_FALSE(d.HasFilter());
        seen.push_back(d.Items(A()));
        site->Release();
    });
    CoTaskMemFree(SHBrowseForFolderA(&bi_));
    probe_.keptSite->Release();
    EXPECT_EQ(seen, (std::vector<Names>{{"keep"}, {"skip"}, {"keep", "skip"}}));
    EXPECT_EQ(second.refs, 1u);
}
