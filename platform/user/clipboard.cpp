// The clipboard calls over the window system's clipboard (its driver). Contents put on it are
// kept aside until CloseClipboard publishes them as one object, so a reader never sees half
// of them.
#include "platform/user/clipboard.h"

#include <cctype>
#include <cstring>
#include <map>

#include "platform/gdi/gdi.h"

namespace {

constexpr UINT kFirstRegistered = 0xC000;

ClipboardDriver WithDefaults(ClipboardDriver d) {
    if (!d.available) d.available = [] { return false; };
    if (!d.started) d.started = [] { return false; };
    if (!d.publish)
        d.publish = [](const std::vector<std::pair<std::string, std::string>>&,
                       const ClipboardImage*) {};
    if (!d.read) d.read = [](const std::string&, std::string*) { return false; };
    if (!d.hasType) d.hasType = [](const std::string&) { return false; };
    if (!d.readImage) d.readImage = [](ClipboardImage*) { return false; };
    if (!d.hasImage) d.hasImage = [] { return false; };
    return d;
}

ClipboardDriver& Driver() {
    static ClipboardDriver driver = WithDefaults({});
    return driver;
}

struct State {
    std::map<std::string, UINT> byName;  // lower-case name -> format
    std::map<UINT, std::string> names;   // format -> name as first registered
    bool open = false;
    bool emptied = false;                 // new contents are being put together
    std::map<UINT, std::string> pending;  // registered formats
    ClipboardImage pendingImage;          // CF_BITMAP
    bool hasPendingImage = false;
    std::vector<HGLOBAL> takenBlocks;  // given by SetClipboardData, freed on close
    std::vector<HBITMAP> takenBitmaps;
    std::vector<HGLOBAL> handedBlocks;  // made by GetClipboardData, freed on close
    std::vector<HBITMAP> handedBitmaps;
};

State& S() {
    static State s;
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A registered format travels as this MIME type, as the toolkit's own Windows clipboard does.
std::string MimeTypeOf(UINT format) {
    auto it = S().names.find(format);
    if (it == S().names.end()) return {};
    return "application/x-qt-windows-mime;value=\"" + it->second + "\"";
}

bool ImageOfBitmap(HBITMAP bmp, ClipboardImage& img) {
    BITMAP bm;
    if (!bmp || !GetObjectA(bmp, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0)
        return false;
    const int w = bm.bmWidth, h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down, as the image's rows
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    HDC dc = CreateCompatibleDC(nullptr);
    const int lines = GetDIBits(dc, bmp, 0, UINT(h), px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (lines != h) return false;
    img = ClipboardImage{w, h, std::move(px)};
    return true;
}

HBITMAP BitmapOfImage(const ClipboardImage& img) {
    if (img.width <= 0 || img.height <= 0) return nullptr;
    return CreateBitmap(img.width, img.height, 1, 32, img.pixels.data());
}

HGLOBAL BlockOf(const std::string& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!h) return nullptr;
    if (!bytes.empty()) {
        void* p = GlobalLock(h);
        std::memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(h);
    }
    return h;
}

void FreeHandles() {
    State& s = S();
    for (HGLOBAL h : s.takenBlocks) GlobalFree(h);
    for (HGLOBAL h : s.handedBlocks) GlobalFree(h);
    for (HBITMAP b : s.takenBitmaps) DeleteObject(b);
    for (HBITMAP b : s.handedBitmaps) DeleteObject(b);
    s.takenBlocks.clear();
    s.handedBlocks.clear();
    s.takenBitmaps.clear();
    s.handedBitmaps.clear();
}

}  // namespace

void InstallClipboardDriver(const ClipboardDriver& driver) { Driver() = WithDefaults(driver); }

UINT RegisterClipboardFormatA(const char* name) {
    if (!name || !*name) return 0;
    State& s = S();
    const std::string key = Lower(name);
    auto it = s.byName.find(key);
    if (it != s.byName.end()) return it->second;
    const UINT format = kFirstRegistered + UINT(s.byName.size());
    s.byName[key] = format;
    s.names[format] = name;
    return format;
}

BOOL OpenClipboard(HWND) {
    State& s = S();
    if (s.open) return FALSE_;
    if (!Driver().available()) return FALSE_;
    s.open = true;
    s.emptied = false;
    return TRUE_;
}

BOOL EmptyClipboard() {
    State& s = S();
    if (!s.open) return FALSE_;
    s.emptied = true;
    s.pending.clear();
    s.pendingImage = ClipboardImage{};
    s.hasPendingImage = false;
    return TRUE_;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    State& s = S();
    if (!s.open || !s.emptied || !data) return nullptr;
    if (format == CF_BITMAP) {
        ClipboardImage img;
        if (!ImageOfBitmap(static_cast<HBITMAP>(data), img)) return nullptr;
        s.pendingImage = std::move(img);
        s.hasPendingImage = true;
        s.takenBitmaps.push_back(static_cast<HBITMAP>(data));
        return data;
    }
    if (!s.names.count(format)) return nullptr;
    const void* p = GlobalLock(data);
    if (!p) return nullptr;
    s.pending[format] = std::string(static_cast<const char*>(p), GlobalSize(data));
    GlobalUnlock(data);
    s.takenBlocks.push_back(data);
    return data;
}

HANDLE GetClipboardData(UINT format) {
    State& s = S();
    if (!s.open) return nullptr;
    if (format == CF_BITMAP) {
        ClipboardImage img;
        if (s.emptied)
            img = s.pendingImage;
        else if (!Driver().readImage(&img))
            return nullptr;
        HBITMAP b = BitmapOfImage(img);
        if (b) s.handedBitmaps.push_back(b);
        return b;
    }
    if (!s.names.count(format)) return nullptr;
    std::string bytes;
    if (s.emptied) {
        auto it = s.pending.find(format);
        if (it == s.pending.end()) return nullptr;
        bytes = it->second;
    } else if (!Driver().read(MimeTypeOf(format), &bytes)) {
        return nullptr;
    }
    HGLOBAL h = BlockOf(bytes);
    if (h) s.handedBlocks.push_back(h);
    return h;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    State& s = S();
    if (s.open && s.emptied)
        return (format == CF_BITMAP ? s.hasPendingImage : s.pending.count(format) > 0) ? TRUE_
                                                                                       : FALSE_;
    if (!Driver().started()) return FALSE_;
    if (format == CF_BITMAP) return Driver().hasImage() ? TRUE_ : FALSE_;
    return s.names.count(format) && Driver().hasType(MimeTypeOf(format)) ? TRUE_ : FALSE_;
}

BOOL CloseClipboard() {
    State& s = S();
    if (!s.open) return FALSE_;
    if (s.emptied) {
        std::vector<std::pair<std::string, std::string>> parts;
        for (const auto& [format, bytes] : s.pending) parts.emplace_back(MimeTypeOf(format), bytes);
        Driver().publish(parts, s.hasPendingImage ? &s.pendingImage : nullptr);
        s.pending.clear();
        s.pendingImage = ClipboardImage{};
        s.hasPendingImage = false;
    }
    FreeHandles();
    s.open = false;
    s.emptied = false;
    return TRUE_;
}
