#include "controls/extended/xcAniFile.h"

#include <algorithm>
#include <cstring>

const char* const SAniReadError = "线程读取错误";

namespace {

[[noreturn]] void AniError() { throw EReadError(SAniReadError); }

class TChunkReader {
public:
    TChunkReader(const uint8_t* d, size_t n) : data_(d), size_(n) {}
    size_t Left() const { return size_ - pos_; }
    bool Read(void* out, size_t n) {
        if (n > Left()) return false;
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return true;
    }
    bool Skip(size_t n) {
        if (n > Left()) return false;
        pos_ += n;
        return true;
    }
    const uint8_t* Here() const { return data_ + pos_; }
    // A chunk header: identifier and size.
    bool Header(std::string& id, uint32_t& size) {
        uint8_t h[8];
        if (!Read(h, 8)) return false;
        id.assign(reinterpret_cast<const char*>(h), 4);
        size = GetLE32(h + 4);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

size_t Even(uint32_t n) { return size_t(n) + (n & 1); }

std::vector<uint32_t> ReadValues(TChunkReader& r, uint32_t size) {
    std::vector<uint32_t> v(size / 4);
    for (auto& x : v) x = GetLE32(r.Here() + 4 * size_t(&x - v.data()));
    return v;
}

// Reads one "icon" sub-chunk of N bytes; false when no frame can be made of it.
bool ReadIcon(TChunkReader& r, uint32_t n, TAniContent& c) {
    if (n > r.Left() || n < 6) return false;
    TAniIcon icon;
    icon.Data.assign(reinterpret_cast<const char*>(r.Here()), n);
    r.Skip(n);
    auto* p = reinterpret_cast<uint8_t*>(icon.Data.data());
    const uint16_t type = GetLE16(p + 2);
    icon.IsIcon = type == 1;
    if (type == 2)
        PutLE16(p + 2, 1);
    else if (type != 1)
        return false;
    const size_t count = GetLE16(p + 4);
    if (6 + 16 * count > n) return false;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = p + 6 + 16 * i;
        const uint32_t offset = GetLE32(e + 12);
        if (offset > n || n - offset < 16) return false;
        const uint8_t* image = p + offset;
        // A PNG image's depth stands in its header chunk; a palette image counts its colours.
        const bool png = n - offset >= 26 && std::memcmp(image, "\x89PNG", 4) == 0;
        const uint16_t bits = png ? (image[25] == 3 ? image[24] : 0) : GetLE16(image + 14);
        const uint16_t colours = bits == 2 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
        c.Colors = std::max(c.Colors, colours);
        icon.HotX = GetLE16(e + 4);
        icon.HotY = GetLE16(e + 6);
    }
    // The frame's picture is the class library's icon, which reads every image kind an icon
    // file holds (alpha channels and PNG images included).
    auto picture = std::make_shared<TIcon>();
    try {
        picture->LoadFromData(icon.Data);
    } catch (const EInvalidGraphic&) {
        return false;
    }
    if (icon.IsIcon) {
        // An icon's hot spot is its middle.
        icon.HotX = picture->Width() / 2;
        icon.HotY = picture->Height() / 2;
    }
    icon.Picture = std::move(picture);
    c.Icons.push_back(std::move(icon));
    return true;
}

// The sub-chunks of a list of Length bytes; false when the reading has to end.
bool ReadList(TChunkReader& r, size_t length, TAniContent& c) {
    char type[4];
    if (!r.Read(type, 4)) return false;
    length = length >= 4 ? length - 4 : 0;
    const bool fram = std::memcmp(type, "fram", 4) == 0, info = std::memcmp(type, "INFO", 4) == 0;
    if (!fram && !info) return r.Skip(length);
    while (length >= 8) {
        std::string id;
        uint32_t size;
        if (!r.Header(id, size)) return false;
        length -= 8;
        if (fram && id == "icon") {
            if (!ReadIcon(r, size, c)) return false;
            if (size & 1) r.Skip(1);
        } else if (info && (id == "INAM" || id == "IART") && size <= length && size <= r.Left()) {
            const size_t take = std::min<size_t>(size, 255);
            std::string text(reinterpret_cast<const char*>(r.Here()), take);
            text.resize(std::strlen(text.c_str()));
            (id == "INAM" ? c.Title : c.Author) = text;
            r.Skip(Even(size));
        } else if (!r.Skip(Even(size))) {
            return false;
        }
        length = Even(size) > length ? 0 : length - Even(size);
    }
    return true;
}

}  // namespace

TAniContent ReadAniFile(const uint8_t* data, size_t size) {
    TChunkReader r(data, size);
    std::string id;
    uint32_t chunk;
    char form[4];
    if (!r.Header(id, chunk) || id != "RIFF" || !r.Read(form, 4) ||
        std::memcmp(form, "ACON", 4) != 0)
        AniError();
    TAniContent c;
    while (r.Header(id, chunk)) {
        if (id == "anih") {
            uint8_t h[36];
            if (chunk < 36 || !r.Read(h, 36)) AniError();
            uint32_t* f = &c.Header.HeaderSize;
            for (int i = 0; i < 9; ++i) f[i] = GetLE32(h + 4 * i);
            if (!(c.Header.Flags & 1) || c.Header.IconTotal == 0) AniError();
            if (!r.Skip(Even(chunk) - 36)) break;
        } else if (id == "rate" || id == "seq ") {
            // A chunk longer than the data is cut short: the reading ends here.
            if (chunk > r.Left()) break;
            auto values = ReadValues(r, chunk);
            r.Skip(Even(chunk) > r.Left() ? chunk : Even(chunk));
            if (id == "rate")
                c.Rates = std::move(values);
            else
                c.Sequence = std::move(values), c.HasSequence = true;
        } else if (id == "LIST") {
            if (!ReadList(r, Even(chunk), c)) break;
        } else if (!r.Skip(Even(chunk))) {
            break;
        }
    }
    c.Header.IconTotal = uint32_t(c.Icons.size());
    if (c.Icons.empty()) AniError();
    return c;
}

namespace {

class TChunkWriter {
public:
    std::string out;
    size_t Begin(const char* id) {
        const size_t at = out.size();
        out.append(id, 4);
        out.append(4, '\0');
        return at;
    }
    void End(size_t at) {
        const uint32_t n = uint32_t(out.size() - at - 8);
        PutLE32(reinterpret_cast<uint8_t*>(out.data()) + at + 4, n);
        if (n & 1) out.push_back('\0');
    }
    void U32(uint32_t v) {
        uint8_t b[4];
        PutLE32(b, v);
        out.append(reinterpret_cast<const char*>(b), 4);
    }
    void Text(const char* id, const std::string& s) {
        if (s.empty()) return;
        const size_t at = Begin(id);
        out += s;
        out.push_back('\0');
        End(at);
    }
};

}  // namespace

std::string WriteAniFile(const TAniContent& c) {
    TChunkWriter w;
    const size_t riff = w.Begin("RIFF");
    w.out += "ACON";
    if (!c.Title.empty() || !c.Author.empty()) {
        const size_t list = w.Begin("LIST");
        w.out += "INFO";
        w.Text("INAM", c.Title);
        w.Text("IART", c.Author);
        w.End(list);
    }
    const size_t anih = w.Begin("anih");
    TAniHeader h = c.Header;
    h.IconTotal = uint32_t(c.Icons.size());
    // The frames are always stored as icons: say so, or the file could not be read back.
    h.Flags |= 1;
    const uint32_t* f = &h.HeaderSize;
    for (int i = 0; i < 9; ++i) w.U32(f[i]);
    w.End(anih);
    if (!c.Rates.empty()) {
        const size_t at = w.Begin("rate");
        for (uint32_t v : c.Rates) w.U32(v);
        w.End(at);
    }
    if (!c.Sequence.empty()) {
        const size_t at = w.Begin("seq ");
        for (uint32_t v : c.Sequence) w.U32(v);
        w.End(at);
    }
    const size_t fram = w.Begin("LIST");
    w.out += "fram";
    for (const auto& icon : c.Icons) {
        const size_t at = w.Begin("icon");
        std::string data = icon.Data;
        // A cursor is stored as a cursor again, with its hot spot.
        if (!icon.IsIcon && data.size() >= 6)
            PutLE16(reinterpret_cast<uint8_t*>(data.data()) + 2, 2);
        w.out += data;
        w.End(at);
    }
    w.End(fram);
    // The RIFF size field holds the whole length written, as the readers of this format
    // have always been given it.
    PutLE32(reinterpret_cast<uint8_t*>(w.out.data()) + riff + 4, uint32_t(w.out.size()));
    return w.out;
}
