#include "controls/extended/xcUtils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "controls/extended/xcConsts.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/utf8.h"
#include "platform/win/dibHeader.h"
#include "platform/win/fileVersion.h"
#include "platform/win/module.h"

// ---------------------------------------------------------------- strings

namespace {

// Whether the characters at A and B are the same byte sequence.
inline bool SameChar(const char* a, const char* ae, const char* b, const char* be) {
    const char* an = Utf8CharEnd(a, ae);
    const char* bn = Utf8CharEnd(b, be);
    return an - a == bn - b && std::equal(a, an, b);
}

}  // namespace

bool MatchWildcardPattern(const std::string& pattern, const std::string& text, int index) {
    if (pattern.empty()) throw EXcuError(SXcEmptySearchPattern);
    if (pattern == "*.*") return true;
    const char* p = pattern.data();
    const char* const pe = p + pattern.size();
    const char* s = text.data() + std::min(size_t(std::max(index, 1) - 1), text.size());
    const char* const se = text.data() + text.size();
    const char* starP = nullptr;  // pattern just after the last star
    const char* starS = nullptr;  // where the text under that star would end next
    while (s < se) {
        if (p < pe && *p == '*') {
            while (p < pe && *p == '*') ++p;
            if (p == pe) return true;  // a trailing star takes the rest
            starP = p;
            starS = s;
        } else if (p < pe && *p == '?') {
            ++p;
            s = Utf8CharEnd(s, se);
        } else if (p < pe && SameChar(p, pe, s, se)) {
            p = Utf8CharEnd(p, pe);
            s = Utf8CharEnd(s, se);
        } else if (starP) {
            // Let the last star take one more character and try again from there.
            starS = Utf8CharEnd(starS, se);
            s = starS;
            p = starP;
        } else {
            return false;
        }
    }
    while (p < pe && *p == '*') ++p;
    return p == pe;
}

std::string LeftChars(const std::string& s, int count) {
    const char* p = s.data();
    const char* const e = p + s.size();
    for (int i = 0; i < count && p < e; ++i) p = Utf8CharEnd(p, e);
    return std::string(s.data(), p);
}

void SplitToStrings(const std::string& s, const std::string& sep, TStrings& list,
                    bool allowEmptyString) {
    // One change for whoever watches the list, not one per piece.
    list.BeginUpdate();
    ScopeExit done([&list] { list.EndUpdate(); });
    list.Clear();
    size_t from = 0;
    if (!sep.empty()) {
        for (size_t at; (at = s.find(sep, from)) != std::string::npos; from = at + sep.size()) {
            if (at > from || allowEmptyString) list.Add(s.substr(from, at - from));
        }
    }
    if (from < s.size()) list.Add(s.substr(from));
}

// ---------------------------------------------------------------- versions and modules

namespace {

// The version block of a file, empty when it cannot be read.
std::vector<unsigned char> VersionBlock(const std::string& fileName) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
    if (size == 0) return {};
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoA(fileName.c_str(), handle, size, block.data())) return {};
    return block;
}

// The root block's value and its length in a version block.
bool FixedInfoOf(const std::vector<unsigned char>& block, void*& value, UINT& length) {
    return !block.empty() && VerQueryValueA(block.data(), "\\", &value, &length);
}

}  // namespace

DWORD GetFileVersion(const std::string& fileName) {
    const std::vector<unsigned char> block = VersionBlock(fileName);
    void* value = nullptr;
    UINT length = 0;
    if (!FixedInfoOf(block, value, length) || length < sizeof(TVSFixedFileInfo)) return 0;
    TVSFixedFileInfo info;
    std::memcpy(&info, value, sizeof info);
    return info.dwFileVersionMS;
}

bool ReadFixedFileInfo(const std::string& fileName, TVSFixedFileInfo& info) {
    const std::vector<unsigned char> block = VersionBlock(fileName);
    void* value = nullptr;
    UINT length = 0;
    info = TVSFixedFileInfo{};  // nothing stale when there is no record
    if (!FixedInfoOf(block, value, length) || length != sizeof(TVSFixedFileInfo)) return false;
    std::memcpy(&info, value, sizeof info);
    return true;
}

namespace {
DWORD g_shellVersion = 0;
}  // namespace

DWORD GetShellVersion() {
    if (g_shellVersion == 0) g_shellVersion = GetFileVersion("shell32.dll");
    return g_shellVersion;
}

std::string GetModulePath(HINSTANCE module) {
    char buffer[261];
    const DWORD n = GetModuleFileNameA(module, buffer, sizeof buffer);
    return std::string(buffer, std::min<size_t>(n, sizeof buffer - 1));
}

// ---------------------------------------------------------------- dates

int DateTimeToDosStamp(TDateTime t) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(t, y, mo, d, h, mi, s, ms);
    if (y < 1980 || y > 2107) return 0;
    const unsigned date = unsigned(y - 1980) << 9 | unsigned(mo) << 5 | unsigned(d);
    const unsigned time = unsigned(h) << 11 | unsigned(mi) << 5 | unsigned(s / 2);
    return int(date << 16 | time);
}

TDateTime DosStampToDateTime(int stamp) {
    const unsigned u = unsigned(stamp);
    const int y = int(u >> 25) + 1980, mo = int(u >> 21 & 15), d = int(u >> 16 & 31);
    const int h = int(u >> 11 & 31), mi = int(u >> 5 & 63), s = int(u & 31) * 2;
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mo < 1 || mo > 12 || d < 1 || d > days[mo - 1] || h > 23 || mi > 59 || s > 59) return -1;
    if (mo == 2 && d == 29 && !(y % 4 == 0 && (y % 100 != 0 || y % 400 == 0))) return -1;
    return EncodeDateTime(y, mo, d, h, mi, s, 0);
}

// ---------------------------------------------------------------- paths

std::string MinimizePathName(const std::string& path,
                             const std::function<int(const std::string&)>& textWidth,
                             int maxWidth) {
    if (textWidth(path) <= maxWidth) return path;
    static const std::string ellipsis = "...";
    const size_t slash = path.rfind('/');
    const std::string tail = slash == std::string::npos ? path : path.substr(slash);
    const std::string head = slash == std::string::npos ? std::string() : path.substr(0, slash);
    // Character boundaries of the head, longest first.
    std::vector<size_t> cuts;
    for (const char* p = head.data(); p < head.data() + head.size();
         p = Utf8CharEnd(p, head.data() + head.size()))
        cuts.push_back(size_t(p - head.data()));
    for (size_t i = cuts.size(); i-- > 0;) {
        std::string r = head.substr(0, cuts[i]) + ellipsis + tail;
        if (textWidth(r) <= maxWidth) return r;
    }
    // Not even "..." and the last part fit: keep the start of the last part.
    std::string r = ellipsis + tail;
    while (!r.empty() && textWidth(r) > maxWidth) {
        const char* b = r.data();
        const char* last = b;
        for (const char* p = b; p < b + r.size(); p = Utf8CharEnd(p, b + r.size())) last = p;
        r.resize(size_t(last - b));
    }
    return r;
}

// ---------------------------------------------------------------- icons

uint16_t IconScreenColours(unsigned screenBits) {
    // Deeper screens than 8 bits count as 0, the icon directory's "more than 256".
    return screenBits <= 8 ? uint16_t(1u << screenBits) : 0;
}

size_t ChooseIconEntry(const std::vector<TIconDirEntry>& entries, uint16_t screenColours) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].ColourCount == screenColours) return i;
    // The richest image the screen can show; entry 0 when none fits.
    bool have = false;
    size_t chosen = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint16_t c = entries[i].ColourCount;
        if (c <= screenColours && (!have || c > entries[chosen].ColourCount)) {
            have = true;
            chosen = i;
        }
    }
    return chosen;
}

namespace {

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

void ReadExactly(TStream& s, void* to, int64_t n) {
    if (n > 0 && s.Read(to, n) != n) throw EXCLException(SXcIconFormat);
}

}  // namespace

TIconImage LoadIconImageFromStream(TStream& stream, int imageCount, int64_t startOffset,
                                   unsigned screenBits) {
    if (imageCount < 1) throw EXCLException(SXcIconFormat);
    std::vector<TIconDirEntry> entries(static_cast<size_t>(imageCount));
    for (auto& e : entries) {
        uint8_t raw[16];
        ReadExactly(stream, raw, 16);
        e.Width = raw[0];
        e.Height = raw[1];
        e.ColourCount = Get16(raw + 2);
        e.Size = Get32(raw + 8);
        e.Offset = Get32(raw + 12);
    }
    const TIconDirEntry& e = entries[ChooseIconEntry(entries, IconScreenColours(screenBits))];
    const int64_t skip = int64_t(e.Offset) - (startOffset + 16 * int64_t(imageCount));
    if (skip < 0 || e.Size < 40 || e.Size > (64u << 20)) throw EXCLException(SXcIconFormat);
    if (skip > 0) stream.Seek(skip, soCurrent);
    std::vector<uint8_t> data(e.Size);
    ReadExactly(stream, data.data(), int64_t(data.size()));

    DibHeader header;
    if (ReadDibHeader(data.data(), data.size(), header, kIconImageHeader))
        throw EXCLException(SXcIconFormat);
    const int width = header.width, height = header.height / 2;
    if (height < 1) throw EXCLException(SXcIconFormat);
    TIconImage img;
    img.Width = width;
    img.Height = height;
    img.BitCount = header.bitCount;
    const size_t colourRow = header.Stride();
    const size_t maskRow = (size_t(width) + 31) / 32 * 4;
    const size_t need = header.end + (colourRow + maskRow) * size_t(height);
    if (need > data.size()) throw EXCLException(SXcIconFormat);
    // The colours the pixels index: the stored table, filled up with black when it is shorter.
    if (header.bitCount <= 8) {
        img.Palette = header.colors;
        img.Palette.resize(size_t(1) << header.bitCount, 0);
    }
    const uint8_t* p = data.data() + header.end;
    img.Colour.assign(p, p + colourRow * size_t(height));
    p += colourRow * size_t(height);
    img.Mask.assign(p, p + maskRow * size_t(height));
    return img;
}

// ---------------------------------------------------------------- memory

void* AllocZeroedMemory(ptrdiff_t size) {
    if (size < 1) return nullptr;
    return std::calloc(size_t(size), 1);
}

void FreeZeroedMemory(void*& p) {
    if (p) std::free(p);
    p = nullptr;
}

bool CompareMem(const void* a, const void* b, size_t length) {
    // Four bytes at a time, then the rest one by one.
    const auto* p = static_cast<const uint8_t*>(a);
    const auto* q = static_cast<const uint8_t*>(b);
    size_t i = 0;
    for (; i + 4 <= length; i += 4) {
        uint32_t x, y;
        std::memcpy(&x, p + i, 4);
        std::memcpy(&y, q + i, 4);
        if (x != y) return false;
    }
    for (; i < length; ++i)
        if (p[i] != q[i]) return false;
    return true;
}

void CopyMemoryBytes(void* dest, const void* source, size_t count) {
    if (count) std::memmove(dest, source, count);
}

TZeroedBlock::TZeroedBlock(size_t size) : p_(AllocZeroedMemory(ptrdiff_t(size))), size_(size) {
    if (size > 0 && !p_) throw std::bad_alloc();
}

TZeroedBlock& TZeroedBlock::operator=(TZeroedBlock&& o) noexcept {
    if (this != &o) {
        FreeZeroedMemory(p_);
        p_ = o.p_;
        size_ = o.size_;
        o.p_ = nullptr;
        o.size_ = 0;
    }
    return *this;
}
