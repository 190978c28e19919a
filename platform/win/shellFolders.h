// Shell item-id lists (PIDLs) and the special folders. Our item-id list is one item that
// carries a path: a 16-bit size, the path's bytes and a NUL, then the 16-bit zero that
// ends every list. The empty list is the desktop; "::drives" stands for the computer
// (the list of drives), which has no path. Lists are allocated with CoTaskMemAlloc.
#pragma once

#include <string>

#include "platform/win/com.h"

#pragma pack(push, 1)
struct SHITEMID {
    uint16_t cb;
    uint8_t abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
#pragma pack(pop)
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

constexpr int CSIDL_DESKTOP = 0x00, CSIDL_INTERNET = 0x01, CSIDL_PROGRAMS = 0x02,
              CSIDL_CONTROLS = 0x03, CSIDL_PRINTERS = 0x04, CSIDL_PERSONAL = 0x05,
              CSIDL_FAVORITES = 0x06, CSIDL_STARTUP = 0x07, CSIDL_RECENT = 0x08,
              CSIDL_SENDTO = 0x09, CSIDL_BITBUCKET = 0x0A, CSIDL_STARTMENU = 0x0B,
              CSIDL_MYDOCUMENTS = 0x0C, CSIDL_MYMUSIC = 0x0D, CSIDL_MYVIDEO = 0x0E,
              CSIDL_DESKTOPDIRECTORY = 0x10, CSIDL_DRIVES = 0x11, CSIDL_NETWORK = 0x12,
              CSIDL_NETHOOD = 0x13, CSIDL_FONTS = 0x14, CSIDL_TEMPLATES = 0x15,
              CSIDL_APPDATA = 0x1A, CSIDL_LOCAL_APPDATA = 0x1C, CSIDL_INTERNET_CACHE = 0x20,
              CSIDL_COOKIES = 0x21, CSIDL_HISTORY = 0x22, CSIDL_COMMON_APPDATA = 0x23,
              CSIDL_WINDOWS = 0x24, CSIDL_SYSTEM = 0x25, CSIDL_PROGRAM_FILES = 0x26,
              CSIDL_MYPICTURES = 0x27, CSIDL_PROFILE = 0x28, CSIDL_PROGRAM_FILES_COMMON = 0x2B,
              CSIDL_COMMON_TEMPLATES = 0x2D, CSIDL_COMMON_DOCUMENTS = 0x2E,
              CSIDL_COMMON_ADMINTOOLS = 0x2F, CSIDL_ADMINTOOLS = 0x30, CSIDL_COMMON_MUSIC = 0x35,
              CSIDL_COMMON_PICTURES = 0x36, CSIDL_COMMON_VIDEO = 0x37, CSIDL_CDBURN_AREA = 0x3B,
              CSIDL_PROFILES = 0x3E, CSIDL_FLAG_CREATE = 0x8000;
constexpr DWORD SHGFP_TYPE_CURRENT = 0, SHGFP_TYPE_DEFAULT = 1;

// The folder of a CSIDL on this system (XDG user folders, the home folder, the system's
// data folders), without a trailing "/"; "" when the CSIDL has no folder here.
std::string SpecialFolderPath(int csidl);
// E_INVALIDARG for a CSIDL without a folder; with CSIDL_FLAG_CREATE a missing folder is made.
HRESULT SHGetFolderPathA(HWND owner, int csidl, HANDLE token, DWORD flags, char* path);
BOOL SHGetSpecialFolderPathA(HWND owner, char* path, int csidl, BOOL create);
HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* out);
// The path of a list (MAX_PATH bytes); FALSE for the computer and for null.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, char* path);
// A new list for a path ("" gives the desktop); null for a path that does not exist.
LPITEMIDLIST ILCreateFromPathA(const char* path);
void ILFree(LPITEMIDLIST list);
LPITEMIDLIST ILClone(LPCITEMIDLIST list);
unsigned ILGetSize(LPCITEMIDLIST list);
BOOL ILIsEqual(LPCITEMIDLIST a, LPCITEMIDLIST b);

// The layer's own access: the text a list carries ("" for the desktop), and a list for a
// text without checking the file system.
std::string ItemIdListText(LPCITEMIDLIST list);
LPITEMIDLIST MakeItemIdList(const std::string& text);
constexpr const char* kComputerItem = "::drives";
