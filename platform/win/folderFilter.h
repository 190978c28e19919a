// Filtering what the folder browser lists: the dialog hands its callback a site
// (BFFM_IUNKNOWN); a program registers a filter there, which the tree then asks for the
// enumeration flags of each folder it lists and whether each item shows.
#pragma once

#include "platform/win/shellFolder.h"

class IFolderFilterSite : public IUnknown {
public:
    // Registers the filter (an object asked for IFolderFilter); null takes it away.
    virtual HRESULT SetFilter(IUnknown* filter) = 0;
};
inline constexpr IID IID_IFolderFilterSite{
    0xC0A651F5, 0xB48B, 0x11D2, {0xB5, 0xED, 0x00, 0x60, 0x97, 0xC6, 0x86, 0xF6}};

class IFolderFilter : public IUnknown {
public:
    // S_OK lists the item (a list relative to the folder), S_FALSE leaves it out.
    virtual HRESULT ShouldShow(IShellFolder* folder, LPCITEMIDLIST folderList,
                               LPCITEMIDLIST item) = 0;
    // The SHCONTF_ flags the folder is listed with; the filter may change them (and the
    // window that owns any question the enumeration asks).
    virtual HRESULT GetEnumFlags(IShellFolder* folder, LPCITEMIDLIST folderList, HWND* window,
                                 DWORD* flags) = 0;
};
inline constexpr IID IID_IFolderFilter{
    0x9CC22886, 0xDC8E, 0x11D2, {0xB1, 0xD0, 0x00, 0xC0, 0x4F, 0x8E, 0xEB, 0x3E}};
