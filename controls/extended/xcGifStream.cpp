#include "controls/extended/xcGifStream.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "controls/extended/xcDib.h"

const char* const SGifImageDescription = "CompuServe GIF 图像";
const char* const SGifImageResize = "不能更改 GIF 图像的大小";
const char* const SGifNoData = "没有 GIF 数据要写入";
const char* const SGifUnknownExt = "未被承认的扩展块: %.2x";
const char* const SGifBadColorCount = "颜色数目不对，必须是 2 的幂数。";
const char* const SGifEncodeError = "GIF 图像编码错误";
const char* const SGifUnknownVersion = "未知的 GIF 版本";
const char* const SGifTooLarge = "GIF 图像的大小不合理";
const char* const SReadError = "线程读取错误";

void GifError(const std::string& text) { throw EInvalidGraphicOperation(text); }

int TGifColorTable::IndexOf(uint32_t rgb) const {
    for (uint32_t i = 0; i < Count && i < 256; ++i)
        if (RGB(i) == (rgb & 0xFFFFFF)) return int(i);
    return -1;
}

int GifBitsForCount(uint32_t count) {
    int bits = 1;
    while (bits < 8 && (1u << bits) < count) ++bits;
    return bits;
}

uint8_t TExtension::Label(TGifExtensionKind k) {
    static const uint8_t labels[] = {0xF9, 0x01, 0xFF, 0xFE};
    return labels[k];
}

size_t TExtension::BlockSize(TGifExtensionKind k) {
    static const size_t sizes[] = {6, 13, 12, 0};
    return sizes[k];
}

std::string TExtension::Text() const {
    std::string s;
    for (const auto& d : Data) s += d;
    return s;
}

std::vector<std::string> TGifFrameRecord::Comment() const {
    std::vector<std::string> lines;
    for (const auto& e : Extensions)
        if (e.Kind == ekComment) lines.push_back(e.Text());
    return lines;
}

void TGifFrameRecord::UpdateExtensions() {
    TExtension* gce = nullptr;
    for (auto& e : Extensions)
        if (e.Kind == ekGraphicControl) gce = &e;
    if (!gce && (DisplayTime || TransparentColor != GifNoColor || Disposal)) {
        TExtension e;
        e.Kind = ekGraphicControl;
        e.Block[0] = 4;
        Extensions.push_back(e);
        gce = &Extensions.back();
    }
    if (gce) {
        // Delays above what the 16-bit field holds are written as its largest value.
        const int delay = std::min(DisplayTime / 10, 0xFFFF);
        gce->Block[2] = uint8_t(delay);
        gce->Block[3] = uint8_t(delay >> 8);
        const int index =
            TransparentColor == GifNoColor ? -1 : Item->ColorTable.IndexOf(TransparentColor);
        uint8_t packed = uint8_t(gce->Block[1] & ~0x1D);
        if (index >= 0) {
            packed |= 1;
            gce->Block[4] = uint8_t(index);
        }
        packed |= uint8_t((Disposal & 7) << 2);
        gce->Block[1] = packed;
    }
    std::erase_if(Extensions,
                  [](const TExtension& e) { return e.Kind == ekComment && e.Data.empty(); });
}

// ---------------------------------------------------------------- reading

namespace {

class TByteReader {
public:
    TByteReader(const uint8_t* d, size_t n) : data_(d), size_(n) {}
    bool AtEnd() const { return pos_ >= size_; }
    size_t Left() const { return size_ - pos_; }
    const uint8_t* Take(size_t n) {
        if (n > Left()) GifError(SReadError);
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    uint8_t Byte() { return *Take(1); }
    uint16_t Word() { return GetLE16(Take(2)); }
    void Skip(size_t n) { pos_ += std::min(n, Left()); }
    // The next byte that is not 0 (0 at the end of the data).
    uint8_t NextNonZero() {
        while (!AtEnd()) {
            const uint8_t b = data_[pos_++];
            if (b) return b;
        }
        return 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void ReadColorTable(TByteReader& r, TGifColorTable& t, int bits) {
    t.Count = 1u << bits;
    std::memcpy(t.Colors, r.Take(3 * size_t(t.Count)), 3 * size_t(t.Count));
}

// Sub-blocks as strings, until a zero count or the end of the data.
void ReadSubBlocks(TByteReader& r, std::vector<std::string>& out) {
    while (!r.AtEnd()) {
        const uint8_t n = r.Byte();
        if (!n) return;
        const size_t take = std::min<size_t>(n, r.Left());
        const uint8_t* p = r.Take(take);
        out.emplace_back(reinterpret_cast<const char*>(p), take);
    }
}

TExtension ReadExtension(TByteReader& r) {
    TExtension e;
    const uint8_t label = r.Byte();
    switch (label) {
        case 0xF9:
            e.Kind = ekGraphicControl;
            break;
        case 0xFE:
            e.Kind = ekComment;
            break;
        case 0x01:
            e.Kind = ekPlainText;
            break;
        case 0xFF:
            e.Kind = ekApplication;
            break;
        default:
            GifError(Format(SGifUnknownExt, int(label)));
    }
    const size_t block = TExtension::BlockSize(e.Kind);
    if (block) std::memcpy(e.Block, r.Take(block), block);
    if (e.Kind != ekGraphicControl) ReadSubBlocks(r, e.Data);
    return e;
}

bool IsLoopExtension(const TExtension& e) {
    // The identifier is compared over its stated length, never past its 11 bytes.
    const size_t n = std::min<size_t>(e.Block[0], 11);
    const bool named = CompareMem(OffsetPointer(e.Block, 1), "NETSCAPE2.0", n) ||
                       CompareMem(OffsetPointer(e.Block, 1), "ANIMEXTS1.0", n);
    return named && !e.Data.empty() && e.Data[0].size() >= 3 && e.Data[0][0] == 1;
}

// Moves the blue of the transparent entry until no other entry has the same colour, so
// transparent pixels stay apart from opaque ones. Bounded: a table that holds every blue of
// that red and green keeps the colour as it is.
void MakeTransparentUnique(TGifColorTable& t, unsigned index) {
    int step = -1;
    for (int tries = 0; tries < 512; ++tries) {
        bool clash = false;
        for (unsigned i = 0; i < t.Count && !clash; ++i)
            clash = i != index && t.RGB(i) == t.RGB(index);
        if (!clash) return;
        uint8_t& blue = t.Colors[index][2];
        if (blue == 0)
            step = 1;
        else if (blue > 254)
            step = -1;
        blue = uint8_t(blue + step);
    }
}

void ApplyGraphicControl(TGifFrameRecord& f) {
    f.DisplayTime = 0;
    for (const auto& e : f.Extensions) {
        if (e.Kind != ekGraphicControl) continue;
        const uint8_t packed = e.Block[1];
        const unsigned index = e.Block[4];
        TGifColorTable& t = f.Item->ColorTable;
        if ((packed & 1) && index < t.Count) {
            MakeTransparentUnique(t, index);
            f.TransparentColor = t.RGB(index);
        } else {
            f.TransparentColor = GifNoColor;
        }
        f.DisplayTime = std::max(int(GetLE16(e.Block + 2)) * 10, f.DisplayTime);
        f.Disposal = uint8_t((packed & 0x1C) >> 2);
    }
}

void ReadFrame(TByteReader& r, const TGifImageRecord& image, TGifFrameRecord& f, bool tolerate) {
    TGIFItem& item = *f.Item;
    item.Data.clear();
    const uint16_t left = r.Word(), top = r.Word(), width = r.Word(), height = r.Word();
    const uint8_t packed = r.Byte();
    f.Interlaced = packed & 0x40;
    if (packed & 0x80) {
        item.BitsPerPixel = uint8_t((packed & 7) + 1);
        f.LocalColors = true;
        ReadColorTable(r, item.ColorTable, item.BitsPerPixel);
    } else {
        f.LocalColors = false;
        item.ColorTable = TGifColorTable();
    }
    item.Data.push_back(char(r.Byte()));
    while (!r.AtEnd()) {
        const uint8_t n = r.Byte();
        if (n > r.Left()) {
            f.Corrupted = true;
            r.Skip(r.Left());
            break;
        }
        item.Data.push_back(char(n));
        item.Data.append(reinterpret_cast<const char*>(r.Take(n)), n);
        if (!n) break;
    }
    if (f.Corrupted && !tolerate) GifError(SReadError);
    item.Width = width ? width : image.ScreenWidth;
    item.Height = height ? height : image.ScreenHeight;
    f.Left = left;
    f.Top = top;
    item.Packed = packed;
    if (!f.LocalColors) item.ColorTable = image.Data->ColorTable;
    ApplyGraphicControl(f);
}

}  // namespace

void ReadGifStream(const uint8_t* data, size_t size, TGifImageRecord& image, TGifFrameSink& sink,
                   bool tolerate) {
    if (!size) return;
    TByteReader r(data, size);
    if (r.Left() < 6) GifError(SGifUnknownVersion);
    const uint8_t* sig = r.Take(6);
    auto same = [](const uint8_t* p, const char* s) {
        for (int i = 0; i < 3; ++i)
            if (std::tolower(p[i]) != s[i]) return false;
        return true;
    };
    if (!same(sig, "gif")) GifError(SGifUnknownVersion);
    if (same(sig + 3, "87a"))
        image.Version = 1;
    else if (same(sig + 3, "89a"))
        image.Version = 2;
    else
        GifError(SGifUnknownVersion);

    TGIFData& gd = *image.Data;
    image.ScreenWidth = r.Word();
    image.ScreenHeight = r.Word();
    const uint8_t packed = r.Byte(), background = r.Byte();
    gd.AspectRatio = r.Byte();
    gd.BitsPerPixel = uint8_t((packed & 7) + 1);
    gd.ColorResolution = uint8_t(((packed & 0x70) >> 4) + 1);
    if (packed & 0x80) {
        ReadColorTable(r, gd.ColorTable, gd.BitsPerPixel);
        if (background < gd.ColorTable.Count) image.BackgroundColor = gd.ColorTable.RGB(background);
    }

    std::vector<TExtension> collected;
    uint8_t sep = r.NextNonZero();
    while (sep && sep != ';' && !r.AtEnd()) {
        bool any = false;
        while (sep == '!') {
            any = true;
            TExtension e = ReadExtension(r);
            if (e.Kind == ekPlainText) collected.clear();
            if (e.Kind == ekGraphicControl || e.Kind == ekComment)
                collected.push_back(std::move(e));
            else if (e.Kind == ekApplication && IsLoopExtension(e)) {
                image.Looping = true;
                image.RepeatCount = std::min(
                    int(GetLE16(reinterpret_cast<const uint8_t*>(e.Data[0].data()) + 1)), 30000);
            }
            sep = r.AtEnd() ? ';' : r.NextNonZero();
        }
        if (sep == ',') {
            auto frame = sink.NewFrame();
            if (gd.ColorTable.Count)
                frame->Item->BitsPerPixel = uint8_t(GifBitsForCount(gd.ColorTable.Count));
            frame->Extensions = std::move(collected);
            collected.clear();
            ReadFrame(r, image, *frame, tolerate);
            if (frame->Corrupted) image.Corrupted = true;
            sink.AppendFrame(std::move(frame));
            sep = r.AtEnd() ? ';' : r.NextNonZero();
            if (sep != '!' && sep != ',' && sep != ';') sep = 0;
        } else if (any) {
            if (gd.Comment.empty() && !collected.empty()) {
                bool first = true;
                for (const auto& e : collected) {
                    if (e.Kind != ekComment) continue;
                    if (!first) gd.Comment.push_back("\r\n\r\n");
                    gd.Comment.push_back(e.Text());
                    first = false;
                }
            }
            collected.clear();
        } else if (sep != ';') {
            GifError(SReadError);
        }
    }
}

// ---------------------------------------------------------------- writing

namespace {

void Put(std::string& out, uint8_t b) { out.push_back(char(b)); }
void Put16(std::string& out, int v) {
    Put(out, uint8_t(v));
    Put(out, uint8_t(v >> 8));
}

// A table as the file holds it: 2^bits entries, missing ones black.
void PutColorTable(std::string& out, const TGifColorTable& t, int bits) {
    for (unsigned i = 0; i < (1u << bits); ++i)
        for (int c = 0; c < 3; ++c) Put(out, i < t.Count ? t.Colors[i][c] : 0);
}

// Strings as sub-blocks: a string longer than a sub-block holds is split, not cut.
void PutSubBlocks(std::string& out, const std::vector<std::string>& strings) {
    for (const auto& s : strings)
        for (size_t at = 0; at < s.size(); at += 255) {
            const size_t n = std::min<size_t>(255, s.size() - at);
            Put(out, uint8_t(n));
            out.append(s, at, n);
        }
    Put(out, 0);
}

// The frame's data with its closing zero sub-block (data cut short in a file lacks it).
void PutFrameData(std::string& out, const std::string& data) {
    out += data;
    if (data.empty()) {
        Put(out, 2);
        Put(out, 0);
        return;
    }
    size_t at = 1;
    while (at < data.size()) {
        const size_t n = uint8_t(data[at]);
        if (!n) return;
        at += 1 + n;
    }
    if (at > data.size()) out.append(at - data.size(), '\0');
    Put(out, 0);
}

void CheckSize(int v) {
    if (v < 0 || v > 0xFFFF) GifError(SGifTooLarge);
}

}  // namespace

void WriteGifStream(TStream& dest, TGifImageRecord& image,
                    const std::vector<TGifFrameRecord*>& frames, bool withCount) {
    if (frames.empty()) GifError(SGifNoData);
    for (auto* f : frames) {
        f->UpdateExtensions();
        if (!f->Extensions.empty()) image.Version = 2;
    }
    const TGIFData& gd = *image.Data;
    if (!gd.Comment.empty()) image.Version = 2;
    std::string out = "GIF";
    out += image.Version == 2 ? "89a" : "87a";
    int w = 0, h = 0;
    for (auto* f : frames) {
        w = std::max(w, f->Left + f->Item->Width);
        h = std::max(h, f->Top + f->Item->Height);
    }
    CheckSize(w);
    CheckSize(h);
    Put16(out, w);
    Put16(out, h);
    const int globalBits = GifBitsForCount(gd.ColorTable.Count);
    if (!gd.ColorTable.Count) {
        Put(out, 0);
        Put(out, 0);
    } else {
        const int res = std::clamp(int(gd.ColorResolution ? gd.ColorResolution : globalBits), 1, 8);
        Put(out, uint8_t(0x80 + ((res - 1) << 4) + (globalBits - 1)));
        const int bg =
            image.BackgroundColor == GifNoColor ? -1 : gd.ColorTable.IndexOf(image.BackgroundColor);
        Put(out, uint8_t(std::max(bg, 0)));
    }
    Put(out, gd.AspectRatio);
    if (gd.ColorTable.Count) PutColorTable(out, gd.ColorTable, globalBits);
    if (image.Looping && frames.size() > 1) {
        out += "!\xFF\x0BNETSCAPE2.0";
        Put(out, 3);
        Put(out, 1);
        Put16(out, image.RepeatCount);
        Put(out, 0);
    }
    for (auto* f : frames) {
        for (const auto& e : f->Extensions) {
            Put(out, '!');
            Put(out, TExtension::Label(e.Kind));
            out.append(reinterpret_cast<const char*>(e.Block), TExtension::BlockSize(e.Kind));
            if (e.Kind != ekGraphicControl) PutSubBlocks(out, e.Data);
        }
        const TGIFItem& item = *f->Item;
        CheckSize(f->Left);
        CheckSize(f->Top);
        Put(out, ',');
        Put16(out, f->Left);
        Put16(out, f->Top);
        Put16(out, item.Width);
        Put16(out, item.Height);
        const int bits = GifBitsForCount(item.ColorTable.Count);
        Put(out, uint8_t((f->LocalColors ? 0x80 + (bits - 1) : 0) + (f->Interlaced ? 0x40 : 0)));
        if (f->LocalColors) PutColorTable(out, item.ColorTable, bits);
        PutFrameData(out, item.Data);
    }
    if (!gd.Comment.empty()) {
        out += "!\xFE";
        PutSubBlocks(out, gd.Comment);
    }
    Put(out, ';');
    if (withCount) {
        uint8_t n[4];
        PutLE32(n, uint32_t(out.size()));
        dest.WriteBuffer(n, 4);
    }
    dest.WriteBuffer(out.data(), int64_t(out.size()));
}

// ---------------------------------------------------------------- decoding and composing

namespace {

struct TDecoded {
    int bitCount;
    size_t stride;
    TZeroedBlock bits;  // bottom-up rows
    const uint8_t* Row(int y, int height) const { return bits.At(stride * size_t(height - 1 - y)); }
};

TDecoded DecodeFrame(TGifFrameRecord& frame, bool tolerate, const TGifProgressEvent& progress) {
    const TGIFItem& item = *frame.Item;
    if (uint64_t(item.Width) * uint64_t(item.Height) > MaxGifPixels) GifError(SGifTooLarge);
    const int bpp = item.BitsPerPixel ? item.BitsPerPixel : GifBitsForCount(item.ColorTable.Count);
    TDecoded d;
    d.bitCount = bpp == 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 0;
    if (!d.bitCount) GifError(SGifBadColorCount);
    d.stride = GifStride(item.Width, d.bitCount);
    d.bits = TZeroedBlock(d.stride * size_t(item.Height));
    if (item.Data.empty() || !item.Width || !item.Height) return d;
    TMemoryStream src;
    src.WriteBuffer(item.Data.data(), int64_t(item.Data.size()));
    src.SetPosition(0);
    const TGifPixelFormat fmt{item.Width, item.Height, d.bitCount};
    if (DecodeGifLzw(src, fmt, frame.Interlaced, progress, d.bits.Data(), d.bits.Size(), bpp,
                     tolerate))
        frame.Corrupted = true;
    return d;
}

}  // namespace

std::string DecodeGifFrameToDIB(TGifFrameRecord& frame, bool tolerate,
                                const TGifProgressEvent& progress) {
    const TDecoded d = DecodeFrame(frame, tolerate, progress);
    const TGifColorTable& t = frame.Item->ColorTable;
    const size_t entries = size_t(1) << d.bitCount;
    std::vector<uint32_t> pal(entries, 0x80808080u);
    for (size_t i = 0; i < entries && i < t.Count; ++i)
        pal[i] = uint32_t(t.Colors[i][0]) << 16 | uint32_t(t.Colors[i][1]) << 8 | t.Colors[i][2];
    std::string dib = BuildDIBFile(frame.Item->Width, frame.Item->Height, d.bitCount, pal, entries,
                                   d.bits.Data(), d.bits.Size());
    // Entries past the table are 80 80 80 80, the reserved byte included.
    for (size_t i = t.Count; i < entries; ++i)
        dib[DibFileHeaderSize + DibInfoHeaderSize + 4 * i + 3] = char(0x80);
    return dib;
}

std::vector<uint8_t> DecodeGifFrameIndices(TGifFrameRecord& frame, bool tolerate) {
    const TDecoded d = DecodeFrame(frame, tolerate, nullptr);
    const int w = frame.Item->Width, h = frame.Item->Height;
    std::vector<uint8_t> out(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = d.Row(y, h);
        uint8_t* o = out.data() + size_t(y) * size_t(w);
        switch (d.bitCount) {
            case 8:
                std::memcpy(o, row, size_t(w));
                break;
            case 4:
                for (int x = 0; x < w; ++x) o[x] = (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
                break;
            default:
                for (int x = 0; x < w; ++x) o[x] = (row[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    return out;
}

TGifComposer::TGifComposer(const TGifImageRecord& image, bool tolerate)
    : width_(image.ScreenWidth), height_(image.ScreenHeight), tolerate_(tolerate) {
    if (uint64_t(width_) * uint64_t(height_) > MaxGifPixels) GifError(SGifTooLarge);
    const uint32_t bg = image.BackgroundColor == GifNoColor ? 0 : image.BackgroundColor;
    background_ = (bg & 0xFF) << 16 | (bg & 0xFF00) | ((bg >> 16) & 0xFF);
    screen_.assign(size_t(width_) * size_t(height_), background_);
}

void TGifComposer::Draw(TGifFrameRecord& frame) {
    // Undo what the previous frame asked to be undone.
    if (lastDisposal_ == 2) {
        for (int y = lastTop_; y < std::min(height_, lastTop_ + lastHeight_); ++y)
            std::fill_n(screen_.begin() + ptrdiff_t(size_t(y) * size_t(width_) + size_t(lastLeft_)),
                        std::max(0, std::min(width_, lastLeft_ + lastWidth_) - lastLeft_),
                        background_);
    } else if (lastDisposal_ == 3 && !saved_.empty()) {
        screen_ = saved_;
    }
    if (frame.Disposal == 3) saved_ = screen_;
    const std::vector<uint8_t> idx = DecodeGifFrameIndices(frame, tolerate_);
    const TGifColorTable& t = frame.Item->ColorTable;
    const int w = frame.Item->Width, h = frame.Item->Height;
    int transparent = frame.TransparentColor == GifNoColor ? -1 : t.IndexOf(frame.TransparentColor);
    uint32_t lut[256];
    for (unsigned i = 0; i < 256; ++i)
        lut[i] = i < t.Count ? uint32_t(t.Colors[i][0]) << 16 | uint32_t(t.Colors[i][1]) << 8 |
                                   t.Colors[i][2]
                             : 0;
    const int x0 = frame.Left, x1 = std::min(width_, frame.Left + w);
    for (int y = 0; y < h && frame.Top + y < height_; ++y) {
        const uint8_t* src = idx.data() + size_t(y) * size_t(w);
        uint32_t* dst = screen_.data() + size_t(frame.Top + y) * size_t(width_);
        for (int x = x0; x < x1; ++x) {
            const uint8_t v = src[x - x0];
            if (v != transparent) dst[x] = lut[v];
        }
    }
    lastDisposal_ = frame.Disposal;
    lastLeft_ = std::min(frame.Left, width_);
    lastTop_ = frame.Top;
    lastWidth_ = w;
    lastHeight_ = h;
}
