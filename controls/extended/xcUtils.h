// Small routines the extended controls share: wildcard matching and splitting, version
// facts, date stamps, icon images, memory helpers and the layer's exception classes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/win/module.h"
#include "platform/win/wintypes.h"

// The layer's errors (bitmap conversion, browse dialog, data providers).
class EXCLException : public Exception {
    using Exception::Exception;
};
// Errors of the string routines.
class EXcuError : public Exception {
    using Exception::Exception;
};

// ---------------------------------------------------------------- strings

// Matches Text from its byte Index (1-based; below 1 counts as 1, past the end as an empty
// rest) against Pattern: "*" any run of characters (also none), "?" exactly one character
// (one UTF-8 sequence), any other character itself, byte for byte and case-sensitively. A pattern
// of stars only and "*.*" (all files, also those without a dot) match everything. An empty
// pattern raises EXcuError.
bool MatchWildcardPattern(const std::string& pattern, const std::string& text, int index = 1);

// The first Count characters of S (whole UTF-8 sequences).
std::string LeftChars(const std::string& s, int count);

// Clears List and adds the pieces of S between occurrences of Sep; empty pieces only with
// AllowEmptyString, and never an empty last piece. An empty Sep gives S as one piece. The
// list reports one change for the whole.
void SplitToStrings(const std::string& s, const std::string& sep, TStrings& list,
                    bool allowEmptyString);

// ---------------------------------------------------------------- versions and modules

// The fixed part of a version resource (52 bytes).
using TVSFixedFileInfo = VS_FIXEDFILEINFO;

// The most significant half of a file's version (major << 16 | minor) from its version
// resource; 0 when it has none or it cannot be read.
DWORD GetFileVersion(const std::string& fileName);
// Copies a file's fixed version information; false when it has none or its root block is
// not exactly the size of that record.
bool ReadFixedFileInfo(const std::string& fileName, TVSFixedFileInfo& info);
// The version of "shell32.dll" in the form of GetFileVersion, read once it can be read (a
// failed read gives 0 and is tried again on the next call).
DWORD GetShellVersion();
constexpr DWORD ShellVersion(unsigned major, unsigned minor) { return DWORD(major) << 16 | minor; }
// The full path of a module (0 = the program).
std::string GetModulePath(HINSTANCE module);

// ---------------------------------------------------------------- dates

// DOS date in the high word, time in the low word (2-second steps); 0 for a date outside
// 1980..2107.
int DateTimeToDosStamp(TDateTime t);
// The inverse; -1 for a stamp that is not a valid date.
TDateTime DosStampToDateTime(int stamp);

// ---------------------------------------------------------------- paths

// Shortens Path to fit MaxWidth pixels by putting "..." in the middle, keeping as much as
// possible of the part after the last "/". TextWidth measures a text in pixels.
std::string MinimizePathName(const std::string& path,
                             const std::function<int(const std::string&)>& textWidth, int maxWidth);

// ---------------------------------------------------------------- icons

// One image of an icon file, split into its colour bitmap and its mask, both bottom-up
// device-independent bitmap bodies with 32-bit aligned rows.
struct TIconImage {
    int Width = 0;
    int Height = 0;  // of the image (half the height in its bitmap header)
    int BitCount = 0;
    std::vector<uint32_t> Palette;  // 0x00RRGGBB entries for 1, 4 and 8 bits
    std::vector<uint8_t> Colour;    // Height rows of the colour part
    std::vector<uint8_t> Mask;      // Height rows of 1-bit mask
};

struct TIconDirEntry {
    uint8_t Width = 0, Height = 0;
    uint16_t ColourCount = 0;
    uint32_t Size = 0, Offset = 0;
};

// The number of colours of a screen of ScreenBits bits per pixel as the icon directory
// counts them: 2, 16 and 256 for 1, 4 and 8 bits, 0 ("more") for deeper screens.
uint16_t IconScreenColours(unsigned screenBits);
// The entry to show on such a screen: the first with exactly its colours; else the one with
// the most colours not above the screen's (the first of equals); else entry 0.
size_t ChooseIconEntry(const std::vector<TIconDirEntry>& entries, uint16_t screenColours);
// Reads the image that suits the screen from an icon file image whose directory of
// ImageCount entries starts at the stream's position, StartOffset bytes into the file.
// Raises EXCLException for data that is cut short or inconsistent.
TIconImage LoadIconImageFromStream(TStream& stream, int imageCount, int64_t startOffset,
                                   unsigned screenBits);

// ---------------------------------------------------------------- memory

// A zero-filled block, nullptr for a size below 1; freed with FreeZeroedMemory, which sets
// the pointer to nullptr.
void* AllocZeroedMemory(ptrdiff_t size);
void FreeZeroedMemory(void*& p);
bool CompareMem(const void* a, const void* b, size_t length);
inline void* OffsetPointer(void* p, ptrdiff_t offset) { return static_cast<uint8_t*>(p) + offset; }
inline const void* OffsetPointer(const void* p, ptrdiff_t offset) {
    return static_cast<const uint8_t*>(p) + offset;
}
// Destination first.
void CopyMemoryBytes(void* dest, const void* source, size_t count);

// A block from AllocZeroedMemory held for a scope: freed however the scope ends.
class TZeroedBlock {
public:
    TZeroedBlock() = default;
    // Raises std::bad_alloc when memory cannot be had.
    explicit TZeroedBlock(size_t size);
    TZeroedBlock(TZeroedBlock&& o) noexcept : p_(o.p_), size_(o.size_) {
        o.p_ = nullptr;
        o.size_ = 0;
    }
    TZeroedBlock& operator=(TZeroedBlock&& o) noexcept;
    TZeroedBlock(const TZeroedBlock&) = delete;
    TZeroedBlock& operator=(const TZeroedBlock&) = delete;
    ~TZeroedBlock() { FreeZeroedMemory(p_); }
    uint8_t* Data() const { return static_cast<uint8_t*>(p_); }
    size_t Size() const { return size_; }
    // The bytes at an offset into the block.
    uint8_t* At(size_t offset) const {
        return static_cast<uint8_t*>(OffsetPointer(p_, ptrdiff_t(offset)));
    }
    std::string Bytes() const {
        return p_ ? std::string(static_cast<const char*>(p_), size_) : std::string();
    }

private:
    void* p_ = nullptr;
    size_t size_ = 0;
};
