// Wide text conversions and the shell's folder objects: parsing paths into item lists,
// naming items in the three STRRET forms, binding sub-folders.
#include <gtest/gtest.h>

#include <string>

#include "platform/win/shellFolder.h"
#include "tests/win/win_support.h"

namespace {

struct Released {
    void operator()(IUnknown* p) const {
        if (p) p->Release();
    }
};
using FolderPtr = std::unique_ptr<IShellFolder, Released>;

FolderPtr Desktop() {
    IShellFolder* f = nullptr;
    EXPECT_EQ(SHGetDesktopFolder(&f), S_OK);
    return FolderPtr(f);
}

FolderPtr Bound(IShellFolder* parent, const std::string& path) {
    LPITEMIDLIST list = MakeItemIdList(path);
    void* out = nullptr;
    const HRESULT hr = parent->BindToObject(list, nullptr, IID_IShellFolder, &out);
    CoTaskMemFree(list);
    return FolderPtr(SUCCEEDED(hr) ? static_cast<IShellFolder*>(out) : nullptr);
}

// The name as it came back, its form, and the text read from it.
struct Named {
    UINT form = 99;
    std::string text;
};
Named NameOf(IShellFolder* folder, const std::string& itemText, DWORD flags) {
    LPITEMIDLIST item = MakeItemIdList(itemText);
    STRRET name;
    Named n;
    if (SUCCEEDED(folder->GetDisplayNameOf(item, flags, &name))) {
        n.form = name.uType;
        if (name.uType == STRRET_CSTR) n.text = name.cStr;
        if (name.uType == STRRET_OFFSET)
            n.text = reinterpret_cast<const char*>(item) + name.uOffset;
        if (name.uType == STRRET_WSTR) {
            n.text = TextFromWide(name.pOleStr);
            CoTaskMemFree(name.pOleStr);
        }
    }
    CoTaskMemFree(item);
    return n;
}

}  // namespace

TEST(WideChars, RoundTripsAndReplacesWhatIsNoText) {
    struct Row {
        std::string text;
        std::u16string wide;
        std::string back;  // the text again from the wide form
    };
    const Row rows[] = {
        {"abc", u"abc", "abc"},
        {"目标文件夹", u"目标文件夹", "目标文件夹"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},  // a surrogate pair
        {"a\xFF"
         "b",
         u"a\xFFFD"
         "b",
         "a\xEF\xBF\xBD"
         "b"},                                                      // a stray byte
        {"\xE4\xB8", u"\xFFFD\xFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // a cut character
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(WideFromText(r.text), r.wide);
        EXPECT_EQ(TextFromWide(r.wide), r.back);
    }
    // An unpaired surrogate is no character.
    EXPECT_EQ(TextFromWide(u"x\xD800y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(TextFromWide(u"\xDC00"), "\xEF\xBF\xBD");
}

TEST(WideChars, WindowsCallsAskForTheSizeAndRefuseSmallBuffers) {
    // With -1 the NUL is counted and converted.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "文件", -1, nullptr, 0), 3);
    WCHAR wide[3] = {1, 1, 1};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "文件", -1, wide, 3), 3);
    EXPECT_EQ(std::u16string(wide), u"文件");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "文件", -1, wide, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(MultiByteToWideChar(936, 0, "a", 1, wide, 3), 0);  // a code page we do not have
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"文件", 2, nullptr, 0, nullptr, nullptr), 6);
    char text[7] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"文件", -1, text, 7, nullptr, nullptr), 7);
    EXPECT_STREQ(text, "文件");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"文件", -1, text, 6, nullptr, nullptr), 0);
}

TEST(ShellFolder, ParsesPathsIntoListsRelativeToTheFolder) {
    wintest::TempDir dir("vxshellfolder");
    std::filesystem::create_directories(dir / "a/b");
    wintest::WriteAll(dir / "a/f.txt", "x");
    FolderPtr desktop = Desktop();
    struct Row {
        std::string name;
        bool onDesktop;  // else parsed by the folder "a"
        HRESULT result;
        std::string list;  // the text the new list carries
    };
    const Row rows[] = {
        {dir / "a", true, S_OK, dir / "a"},
        {dir / "a/", true, S_OK, dir / "a"},
        {dir / "nowhere", true, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), ""},
        {"a", true, E_INVALIDARG, ""},  // the desktop parses whole paths only
        {"", true, E_INVALIDARG, ""},
        {"b", false, S_OK, "b"},
        {"f.txt", false, S_OK, "f.txt"},
        {dir / "a/b", false, S_OK, "b"},
        {"/", false, E_INVALIDARG, ""},  // not below the folder
    };
    FolderPtr a = Bound(desktop.get(), dir / "a");
    ASSERT_TRUE(a);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::u16string wide = WideFromText(r.name);
        LPITEMIDLIST list = nullptr;
        ULONG eaten = 0;
        IShellFolder* folder = r.onDesktop ? desktop.get() : a.get();
        EXPECT_EQ(folder->ParseDisplayName(nullptr, nullptr, wide.c_str(), &eaten, &list, nullptr),
                  r.result);
        EXPECT_EQ(list != nullptr, SUCCEEDED(r.result));
        if (list) {
            EXPECT_EQ(ItemIdListText(list), r.list);
            EXPECT_EQ(eaten, wide.size());
        }
        CoTaskMemFree(list);
    }
}

TEST(ShellFolder, NamesItemsInEachFormAndBindsOnlyFolders) {
    wintest::TempDir dir("vxshellfolder");
    const std::string longName(120, 'n');
    std::filesystem::create_directories(dir / ("a/" + longName + "/" + longName));
    FolderPtr desktop = Desktop();
    FolderPtr a = Bound(desktop.get(), dir / "a");
    ASSERT_TRUE(a);
    const std::string deep = dir / ("a/" + longName + "/" + longName);
    struct Row {
        IShellFolder* folder;
        std::string item;
        DWORD flags;
        UINT form;
        std::string text;
    };
    const Row rows[] = {
        {desktop.get(), dir / "a", SHGDN_FORPARSING, STRRET_OFFSET, dir / "a"},  // its own text
        {a.get(), longName, SHGDN_FORPARSING, STRRET_CSTR, dir / ("a/" + longName)},
        {a.get(), longName, SHGDN_FORPARSING | SHGDN_INFOLDER, STRRET_OFFSET, longName},
        {a.get(), "", SHGDN_FORPARSING, STRRET_CSTR, dir / "a"},  // the folder itself
        {desktop.get(), deep, SHGDN_FORPARSING | SHGDN_INFOLDER, STRRET_CSTR, longName},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.item + " " + std::to_string(r.flags));
        const Named n = NameOf(r.folder, r.item, r.flags);
        EXPECT_EQ(n.form, r.form);
        EXPECT_EQ(n.text, r.text);
    }
    // A path longer than the record comes as a wide string.
    FolderPtr middle = Bound(a.get(), longName);
    ASSERT_TRUE(middle);
    const Named wide = NameOf(middle.get(), longName, SHGDN_FORPARSING);
    EXPECT_EQ(wide.form, STRRET_WSTR);
    EXPECT_EQ(wide.text, deep);

    // Only folders bind, and only as folders.
    wintest::WriteAll(dir / "a/file", "x");
    EXPECT_FALSE(Bound(a.get(), "file"));
    EXPECT_FALSE(Bound(a.get(), "missing"));
    LPITEMIDLIST list = MakeItemIdList(longName);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(a->BindToObject(list, nullptr, IID_IUnknown, &out), S_OK);
    static_cast<IUnknown*>(out)->Release();
    EXPECT_EQ(a->BindToObject(list, nullptr, GUID{1, 2, 3, {}}, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    CoTaskMemFree(list);
    EXPECT_EQ(a->QueryInterface(IID_IShellFolder, &out), S_OK);
    EXPECT_EQ(out, static_cast<void*>(a.get()));
    a->Release();
}
