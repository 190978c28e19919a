// The clipboard, as the window system's calls: open it, empty it, put data on it in
// formats, read them back. It lies over the toolkit's clipboard, so other programs see what
// is put on it: a bitmap as an image, a registered format as MIME data of the type
// `application/x-qt-windows-mime;value="<name>"` (the name as registered).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/globalMemory.h"
#include "platform/win/wintypes.h"

constexpr UINT CF_BITMAP = 2;

// The same number for the same name (letter case aside), from 0xC000 up; 0 for an empty name.
UINT RegisterClipboardFormatA(const char* name);
// One opener at a time: FALSE_ while it is open, or when there is no window system.
BOOL OpenClipboard(HWND owner);
// Publishes what was put on it since EmptyClipboard; handles given out by GetClipboardData
// are freed.
BOOL CloseClipboard();
// Starts new contents (only while open).
BOOL EmptyClipboard();
// Only after EmptyClipboard: the clipboard takes the handle (a global memory block for a
// registered format, an HBITMAP for CF_BITMAP) and frees it itself. Returns the handle, or
// null when the clipboard is not open or the data cannot be taken (then the caller keeps it).
HANDLE SetClipboardData(UINT format, HANDLE data);
// While open: the data in that format (a global memory block, or an HBITMAP for CF_BITMAP),
// owned by the clipboard until it is closed; null when the format is not there.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// A picture on the clipboard: rows from the top, 32 bits a pixel (0x..RRGGBB).
struct ClipboardImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// What the clipboard calls ask of the window system's clipboard. The window system installs
// the table when it starts (platform/qt/clipboard.cpp); before that, or for an entry it
// lacks, there is no clipboard: nothing is available and nothing can be published.
struct ClipboardDriver {
    // Whether the window system has a clipboard (starting the window system when needed).
    bool (*available)() = nullptr;
    // Whether the window system runs, so its clipboard can be asked without starting it.
    bool (*started)() = nullptr;
    // Replaces the clipboard's contents by one object: data by MIME type, and a picture
    // when `image` is given.
    void (*publish)(const std::vector<std::pair<std::string, std::string>>& parts,
                    const ClipboardImage* image) = nullptr;
    // The published data of a MIME type; false when it holds none.
    bool (*read)(const std::string& mimeType, std::string* bytes) = nullptr;
    bool (*hasType)(const std::string& mimeType) = nullptr;
    // The published picture; false when it holds none.
    bool (*readImage)(ClipboardImage* image) = nullptr;
    bool (*hasImage)() = nullptr;
};

void InstallClipboardDriver(const ClipboardDriver& driver);
