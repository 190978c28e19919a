// SHGetFileInfoA: icons, display names and type names of files, folders and drives, from
// the desktop's icon theme and MIME data, or the program's own icons when there is no
// theme; and the shell's system image lists (small and large, same indexes in both).
#pragma once

#include "platform/win/imageList.h"
#include "platform/win/shellFolders.h"

using DWORD_PTR = uintptr_t;

struct SHFILEINFOA {
    HICON hIcon = nullptr;
    int iIcon = 0;
    DWORD dwAttributes = 0;
    char szDisplayName[MAX_PATH] = {};
    char szTypeName[80] = {};
};

constexpr UINT SHGFI_LARGEICON = 0x0, SHGFI_SMALLICON = 0x1, SHGFI_OPENICON = 0x2,
               SHGFI_SHELLICONSIZE = 0x4, SHGFI_PIDL = 0x8, SHGFI_USEFILEATTRIBUTES = 0x10,
               SHGFI_ADDOVERLAYS = 0x20, SHGFI_OVERLAYINDEX = 0x40, SHGFI_ICON = 0x100,
               SHGFI_DISPLAYNAME = 0x200, SHGFI_TYPENAME = 0x400, SHGFI_ATTRIBUTES = 0x800,
               SHGFI_ICONLOCATION = 0x1000, SHGFI_EXETYPE = 0x2000, SHGFI_SYSICONINDEX = 0x4000,
               SHGFI_LINKOVERLAY = 0x8000, SHGFI_SELECTED = 0x10000, SHGFI_ATTR_SPECIFIED = 0x20000;
constexpr DWORD SFGAO_CANRENAME = 0x10, SFGAO_CANDELETE = 0x20, SFGAO_LINK = 0x10000,
                SFGAO_READONLY = 0x40000, SFGAO_HIDDEN = 0x80000, SFGAO_FOLDER = 0x20000000,
                SFGAO_FILESYSTEM = 0x40000000, SFGAO_HASSUBFOLDER = 0x80000000;
constexpr DWORD SHGFI_FILE_ATTRIBUTE_DIRECTORY = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

// path: a file, a folder or a drive root ("/", "/media/usb/"); with SHGFI_PIDL an item-id
// list; with SHGFI_USEFILEATTRIBUTES the name alone decides (attributes 0x10: a folder)
// and the file need not exist. Returns the system image list for SHGFI_SYSICONINDEX
// (iIcon its index), else 1; 0 when the path does not exist (or info is null where
// needed). SHGFI_ICON fills hIcon with a new icon that the caller destroys.
DWORD_PTR SHGetFileInfoA(const char* path, DWORD fileAttributes, SHFILEINFOA* info, UINT infoSize,
                         UINT flags);

// The shell's system image list of the small (16) or large (32) icons.
HIMAGELIST SystemImageList(bool small);
