#include "platform/vcl/icon.h"

#include <algorithm>

#include "platform/gdi/iconDraw.h"
#include "platform/win/byteOrder.h"

namespace {

// The length of the icon file at the start of `bytes` (header, directory and the furthest
// image), or 0 when it is not one.
size_t IconFileLength(const std::string& bytes) {
    IconFile f;
    if (!ReadIconFile(bytes, f)) return 0;
    size_t end = 6 + 16 * f.entries.size();
    for (size_t i = 0; i < f.entries.size(); ++i) {
        size_t p = 6 + 16 * i;
        end = std::max(end, size_t(Get32(bytes, p + 12)) + size_t(Get32(bytes, p + 8)));
    }
    return end;
}

}  // namespace

TIcon::~TIcon() {
    if (handle_) DestroyIcon(handle_);
}

void TIcon::Changed() {
    if (OnChange) OnChange();
}

// The size of the image the handle shows, read from the data while there is no handle.
static TPoint IconSize(HICON handle, const std::string& data) {
    if (handle) {
        auto img = IconImageOf(handle);
        return img ? TPoint{img->width, img->height} : TPoint{};
    }
    IconFile f;
    if (!ReadIconFile(data, f)) return {};
    const IconFileEntry& e = f.entries[size_t(ChooseIconFileEntry(f, kLargeIconSize))];
    return TPoint{e.width ? e.width : 256, e.height ? e.height : 256};
}

int TIcon::Width() const { return IconSize(handle_, data_).X; }
int TIcon::Height() const { return IconSize(handle_, data_).Y; }

void TIcon::Draw(TCanvas* c, const TRect& r) {
    if (!c || Empty()) return;
    if (HICON h = Handle()) DrawIconEx(c->Handle(), r.Left, r.Top, h, 0, 0, 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromData(const std::string& bytes) {
    size_t n = IconFileLength(bytes);
    if (n == 0) throw EInvalidGraphic("Invalid icon format");
    std::string file = bytes.substr(0, n);
    bool isIcon = true;
    HICON h = CreateIconFromFileBytes(file, kLargeIconSize, &isIcon);
    if (!h) throw EInvalidGraphic("Invalid icon format");
    if (handle_) DestroyIcon(handle_);
    handle_ = h;
    data_ = std::move(file);
    cursor_ = !isIcon;
    Changed();
}

void TIcon::LoadFromStream(TStream& s) {
    int64_t start = s.Position();
    std::string rest(size_t(std::max<int64_t>(0, s.Size() - start)), '\0');
    if (!rest.empty()) s.ReadBuffer(rest.data(), int64_t(rest.size()));
    size_t n = IconFileLength(rest);
    if (n == 0) {
        s.SetPosition(start);
        throw EInvalidGraphic("Invalid icon format");
    }
    LoadFromData(rest);
    s.SetPosition(start + int64_t(n));
}

std::string TIcon::SaveToData() {
    if (!data_.empty()) return data_;
    auto img = handle_ ? IconImageOf(handle_) : nullptr;
    if (!img) return std::string(6, '\0');
    IconFile f;
    f.type = cursor_ ? kIconFileCursor : kIconFileIcon;
    IconFileEntry e;
    int bits = img->hasAlpha ? 32 : img->bitCount;
    if (!EncodeIconEntry(*img, bits, cursor_, e) && !EncodeIconEntry(*img, 32, cursor_, e))
        throw EInvalidGraphicOperation("Icon cannot be written");
    f.entries.push_back(e);
    return WriteIconFile(f);
}

void TIcon::SaveToStream(TStream& s) {
    std::string d = SaveToData();
    s.WriteBuffer(d.data(), int64_t(d.size()));
}

void TIcon::LoadFromFile(const std::string& name) { LoadFromData(ReadFileText(name)); }
void TIcon::SaveToFile(const std::string& name) { WriteFileText(name, SaveToData()); }

HICON TIcon::Handle() {
    if (!handle_ && !data_.empty()) handle_ = CreateIconFromFileBytes(data_, kLargeIconSize);
    return handle_;
}

void TIcon::SetHandle(HICON h) {
    // Null also empties an icon that holds only its file so far.
    if (h == handle_ && (h || data_.empty())) return;
    if (handle_) DestroyIcon(handle_);
    handle_ = h;
    data_.clear();
    cursor_ = h && IconIsCursor(h);
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON h = Handle();
    handle_ = nullptr;
    return h;
}

void TIcon::Assign(const TIcon& other) {
    if (&other == this) return;
    if (handle_) DestroyIcon(handle_);
    handle_ = other.data_.empty() && other.handle_ ? CopyIcon(other.handle_) : nullptr;
    data_ = other.data_;
    cursor_ = other.cursor_;
    Changed();
}
