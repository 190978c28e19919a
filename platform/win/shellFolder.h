// The shell's folder objects (IShellFolder) as far as the program asks them: a path parsed
// into an item-id list, a list's name in its several forms, a sub-folder bound as a folder of
// its own. A folder's item lists are relative to it: a child's list carries its name, and
// the desktop's (the file system's) lists carry whole paths (see shellFolders.h).
#pragma once

#include "platform/win/com.h"
#include "platform/win/shellFolders.h"
#include "platform/win/wideChars.h"

// How a name comes back: a wide string from the task allocator (the caller frees it), an
// offset into the item's own list, or a text in the record itself.
constexpr UINT STRRET_WSTR = 0, STRRET_OFFSET = 1, STRRET_CSTR = 2;
struct STRRET {
    UINT uType = STRRET_CSTR;
    union {
        LPWSTR pOleStr;
        UINT uOffset;
        char cStr[MAX_PATH];
    };
};

// Which name GetDisplayNameOf gives: the name shown (NORMAL), only the part within its
// folder (INFOLDER), the name that parses back into the item (FORPARSING: its path).
constexpr DWORD SHGDN_NORMAL = 0x0000, SHGDN_INFOLDER = 0x0001, SHGDN_FOREDITING = 0x1000,
                SHGDN_FORADDRESSBAR = 0x4000, SHGDN_FORPARSING = 0x8000;

// What an enumeration of a folder lists.
constexpr DWORD SHCONTF_CHECKING_FOR_CHILDREN = 0x0010, SHCONTF_FOLDERS = 0x0020,
                SHCONTF_NONFOLDERS = 0x0040, SHCONTF_INCLUDEHIDDEN = 0x0080,
                SHCONTF_INIT_ON_FIRST_NEXT = 0x0100, SHCONTF_NETPRINTERSRCH = 0x0200,
                SHCONTF_SHAREABLE = 0x0400, SHCONTF_STORAGE = 0x0800;

constexpr HRESULT HRESULT_FROM_WIN32(DWORD error) {
    return error == 0 ? S_OK : HRESULT(0x80070000u | (error & 0xFFFFu));
}

class IShellFolder : public IUnknown {
public:
    // A name (a path, or one relative to this folder) into a new item-id list relative to
    // this folder; the caller frees it with CoTaskMemFree. The bind context and the
    // attributes are not used here (the attributes are left as they are).
    virtual HRESULT ParseDisplayName(HWND owner, void* bindContext, LPCWSTR name, ULONG* eaten,
                                     LPITEMIDLIST* out, ULONG* attributes) = 0;
    // The folder an item of this folder stands for, as an object of its own.
    virtual HRESULT BindToObject(LPCITEMIDLIST item, void* bindContext, REFIID iid, void** out) = 0;
    // An item's name in the form the SHGDN_ flags ask for; the empty list names the folder.
    virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST item, DWORD flags, STRRET* name) = 0;
};
inline constexpr IID IID_IShellFolder{0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The desktop folder, the root of every item-id list (here: the whole file system).
HRESULT SHGetDesktopFolder(IShellFolder** out);
