#include "controls/styled/styStreamIO.h"

#include <algorithm>
#include <cstring>

#include "controls/styled/lzrw.h"
#include "controls/styled/styWave.h"
#include "platform/vcl/icon.h"

namespace {

constexpr int kChunkHeader = 4;
// The largest block the codec makes from one chunk: the stored form of a full chunk.
constexpr int64_t kMaxBlock = StyCompressBlockSize + 1;

[[noreturn]] void Damaged(const std::string& what) {
    throw EReadError("Stream read error: " + what);
}

uint32_t ReadU32(TStream& s) {
    uint8_t b[4];
    s.ReadBuffer(b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

// Lets an object write its own form after a 4-byte length that is patched afterwards.
template <class WriteBody>
void WritePlainItem(TStream& s, WriteBody body) {
    const int64_t p = s.Position();
    WriteLongInt(s, 0);
    body(s);
    const int64_t e = s.Position();
    s.SetPosition(p);
    WriteLongInt(s, int32_t(e - (p + 4)));
    s.SetPosition(e);
}

void WriteStringsOwnForm(TStringList* list, TStream& s) {
    std::string text;
    for (int i = 0; i < list->Count(); ++i) text += (*list)[i] + "\r\n";
    s.WriteBuffer(text.data(), int64_t(text.size()));
}

}  // namespace

int64_t StyBytesLeft(TStream& s) { return std::max<int64_t>(0, s.Size() - s.Position()); }

void WriteLongInt(TStream& s, int32_t v) {
    const uint32_t u = uint32_t(v);
    const uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    s.WriteBuffer(b, 4);
}

int32_t ReadLongInt(TStream& s) { return int32_t(ReadU32(s)); }

void WriteFlag(TStream& s, uint8_t v) { s.WriteBuffer(&v, 1); }

uint8_t ReadFlag(TStream& s) {
    uint8_t v = 0;
    s.ReadBuffer(&v, 1);
    return v;
}

void WriteShortText(TStream& s, const std::string& text) {
    if (text.size() > 255)
        throw EStreamError("A short text holds at most 255 bytes: \"" + text.substr(0, 40) +
                           "...\"");
    WriteFlag(s, uint8_t(text.size()));
    s.WriteBuffer(text.data(), int64_t(text.size()));
}

std::string ReadShortText(TStream& s) {
    const uint8_t n = ReadFlag(s);
    std::string text(n, '\0');
    s.ReadBuffer(text.data(), n);
    return text;
}

// ---------------------------------------------------------------- compressed items

void WriteCompressedStream(TStream& source, TStream& dest, int64_t count) {
    const int64_t p = dest.Position();
    dest.SetPosition(p + 4);
    int64_t total = 0;
    std::vector<uint8_t> in(StyCompressBlockSize), out(StyCompressBlockSize + LZRWSlack);
    while (count > 0) {
        const int64_t k = source.Read(in.data(), std::min<int64_t>(count, StyCompressBlockSize));
        if (k <= 0) break;  // the source ended early: store what there was
        const size_t c = LZRWCompress(in.data(), out.data(), uint16_t(k));
        WriteLongInt(dest, int32_t(c));
        dest.WriteBuffer(out.data(), int64_t(c));
        total += int64_t(c) + kChunkHeader;
        count -= k;
    }
    const int64_t e = dest.Position();
    dest.SetPosition(p);
    WriteLongInt(dest, int32_t(total));
    dest.SetPosition(e);
}

void ReadCompressedStream(TStream& source, TStream& dest) {
    const int32_t total32 = ReadLongInt(source);
    int64_t total = total32;
    if (total < 0 || total > StyBytesLeft(source))
        Damaged("compressed item larger than its stream");
    std::vector<uint8_t> block(kMaxBlock), out(StyCompressBlockSize);
    while (total > 0) {
        if (total < kChunkHeader) Damaged("compressed chunk cut short");
        const int64_t c = ReadU32(source);
        if (c < 1 || c > kMaxBlock || c > total - kChunkHeader)
            Damaged("compressed chunk of a wrong length");
        source.ReadBuffer(block.data(), c);
        const size_t k = LZRWDecompress(block.data(), out.data(), size_t(c), out.size());
        dest.WriteBuffer(out.data(), int64_t(k));
        total -= kChunkHeader + c;
    }
}

void ReadItemPayload(TStream& s, bool compressed, TMemoryStream& out) {
    out.Clear();
    if (compressed) {
        ReadCompressedStream(s, out);
    } else {
        const int32_t n = ReadLongInt(s);
        if (n < 0 || n > StyBytesLeft(s)) Damaged("item larger than its stream");
        out.SetSize(n);
        if (n > 0) s.ReadBuffer(out.Memory(), n);
    }
    out.SetPosition(0);
}

void SkipItem(TStream& s) {
    const int32_t n = ReadLongInt(s);
    if (n < 0 || n > StyBytesLeft(s)) Damaged("item larger than its stream");
    s.Seek(n, soCurrent);
}

// ---------------------------------------------------------------- bitmap files

int StyDibBitCount(HBITMAP bmp, int colorDepth) {
    BITMAP bm;
    if (!bmp || GetObjectType(bmp) != OBJ_BITMAP || !GetObjectA(bmp, int(sizeof bm), &bm))
        throw EInvalidGraphic("位图无效");
    switch (colorDepth) {
        case StyDepth1Bit:
            return 1;
        case StyDepth4Bit:
            return 4;
        case StyDepth8Bit:
            return 8;
        default:
            break;
    }
    const int bits = bm.bmBitsPixel * std::max<int>(1, bm.bmPlanes);
    return bits == 16 || bits == 32 ? 24 : bits;
}

void GetDIBSizes(HBITMAP bmp, DWORD& headerSize, DWORD& imageSize, int colorDepth) {
    const int bits = StyDibBitCount(bmp, colorDepth);
    BITMAP bm;
    GetObjectA(bmp, int(sizeof bm), &bm);
    headerSize = DWORD(sizeof(BITMAPINFOHEADER)) + (bits == 24 ? 0 : DWORD(4) << bits);
    imageSize = DWORD(DibRowBytes(bm.bmWidth, bits) * bm.bmHeight);
}

bool GetDIB(HBITMAP bmp, HPALETTE palette, void* header, int colorDepth, void* bits) {
    const int bitCount = StyDibBitCount(bmp, colorDepth);
    BITMAP bm;
    GetObjectA(bmp, int(sizeof bm), &bm);
    auto* info = static_cast<BITMAPINFO*>(header);
    info->bmiHeader = BITMAPINFOHEADER{};
    info->bmiHeader.biWidth = bm.bmWidth;
    info->bmiHeader.biHeight = bm.bmHeight;
    info->bmiHeader.biBitCount = WORD(bitCount);
    HDC dc = GetDC(nullptr);
    HPALETTE old = nullptr;
    if (palette) {
        old = SelectPalette(dc, palette, false);
        RealizePalette(dc);
    }
    const int lines = GetDIBits(dc, bmp, 0, UINT(bm.bmHeight), bits, info, DIB_RGB_COLORS);
    if (old) SelectPalette(dc, old, false);
    ReleaseDC(nullptr, dc);
    return lines != 0;
}

std::vector<uint8_t> MakeBitmapFile(HBITMAP bmp, HPALETTE palette, int colorDepth) {
    DWORD headerSize = 0, imageSize = 0;
    GetDIBSizes(bmp, headerSize, imageSize, colorDepth);
    const DWORD fileHeader = 14;
    std::vector<uint8_t> file(fileHeader + headerSize + imageSize, 0);
    auto put16 = [&](size_t at, uint16_t v) {
        file[at] = uint8_t(v), file[at + 1] = uint8_t(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, uint16_t(v)), put16(at + 2, uint16_t(v >> 16));
    };
    put16(0, 19778);  // "BM"
    put32(2, uint32_t(file.size()));
    put32(10, fileHeader + headerSize);
    // GetDIB fills an aligned header; the file's header starts at an odd-looking offset 14.
    std::vector<uint8_t> header(headerSize + sizeof(RGBQUAD));
    GetDIB(bmp, palette, header.data(), colorDepth, file.data() + fileHeader + headerSize);
    auto* info = reinterpret_cast<BITMAPINFOHEADER*>(header.data());
    info->biSizeImage = imageSize;
    info->biClrUsed = 0;
    info->biClrImportant = 0;
    info->biXPelsPerMeter = info->biYPelsPerMeter = 0;
    std::memcpy(file.data() + fileHeader, header.data(), headerSize);
    return file;
}

void WriteDIB(TStream& s, HBITMAP bmp, HPALETTE palette, int colorDepth, bool withLength) {
    const std::vector<uint8_t> file = MakeBitmapFile(bmp, palette, colorDepth);
    if (withLength) WriteLongInt(s, int32_t(file.size()));
    s.WriteBuffer(file.data(), int64_t(file.size()));
}

void WriteBitmapAsDIB(TStream& s, TBitmap* bmp, int colorDepth) {
    if (!bmp) throw EInvalidGraphic("位图无效");
    WriteDIB(s, bmp->Handle(), bmp->Palette(), bmp->Monochrome() ? StyDepth1Bit : colorDepth,
             false);
    s.SetPosition(0);
}

void SaveGraphicOwnForm(TGraphic* g, TStream& s) {
    if (auto* bmp = dynamic_cast<TBitmap*>(g)) {
        if (!bmp->Empty())  // an empty bitmap writes nothing
            WriteDIB(s, bmp->Handle(), bmp->Palette(),
                     bmp->Monochrome() ? StyDepth1Bit : StyDepthOwn, false);
        return;
    }
    if (auto* icon = dynamic_cast<TIcon*>(g)) {
        icon->SaveToStream(s);
        return;
    }
    throw EInvalidGraphicOperation("Cannot store a " + (g ? g->ClassName() : std::string("nil")) +
                                   " in a stream");
}

void LoadGraphicOwnForm(TGraphic* g, TStream& s) {
    if (!g) return;
    if (auto* icon = dynamic_cast<TIcon*>(g)) {
        icon->LoadFromStream(s);
        return;
    }
    std::string bytes(size_t(StyBytesLeft(s)), '\0');
    if (!bytes.empty()) s.ReadBuffer(bytes.data(), int64_t(bytes.size()));
    if (bytes.empty()) {
        if (auto* bmp = dynamic_cast<TBitmap*>(g)) bmp->SetSize(0, 0);
        return;
    }
    try {
        g->LoadFromData(bytes);
    } catch (const EInvalidOperation& e) {
        throw EInvalidGraphic(e.Message);
    }
}

// ---------------------------------------------------------------- payloads

void WriteGraphicToStream(TStream& s, TGraphic* g, bool compressed, int colorDepth) {
    auto* bmp = dynamic_cast<TBitmap*>(g);
    if (colorDepth != StyDepthOwnForm && !bmp) throw EInvalidGraphic("位图无效");
    if (compressed) {
        TMemoryStream tmp;
        if (colorDepth == StyDepthOwnForm)
            SaveGraphicOwnForm(g, tmp);
        else
            WriteBitmapAsDIB(tmp, bmp, colorDepth);
        tmp.SetPosition(0);
        WriteCompressedStream(tmp, s, tmp.Size());
    } else if (colorDepth != StyDepthOwnForm) {
        WriteDIB(s, bmp->Handle(), bmp->Palette(), bmp->Monochrome() ? StyDepth1Bit : colorDepth,
                 true);
    } else {
        WritePlainItem(s, [&](TStream& out) { SaveGraphicOwnForm(g, out); });
    }
}

void ReadGraphicFromStream(TStream& s, TGraphic* g, bool compressed) {
    TMemoryStream tmp;
    ReadItemPayload(s, compressed, tmp);
    LoadGraphicOwnForm(g, tmp);
}

void WriteStringsToStream(TStream& s, TStringList* list, bool compressed) {
    if (compressed) {
        TMemoryStream tmp;
        WriteStringsOwnForm(list, tmp);
        tmp.SetPosition(0);
        WriteCompressedStream(tmp, s, tmp.Size());
    } else {
        WritePlainItem(s, [&](TStream& out) { WriteStringsOwnForm(list, out); });
    }
}

void ReadStringsFromStream(TStream& s, TStringList* list, bool compressed) {
    TMemoryStream tmp;
    ReadItemPayload(s, compressed, tmp);
    list->SetText(
        std::string(reinterpret_cast<const char*>(tmp.Bytes().data()), tmp.Bytes().size()));
}

void WriteWaveToStream(TStream& s, TStyWave* wave, bool compressed) {
    if (compressed)
        wave->WriteCompressed(s);
    else
        wave->SaveToStream(s);
}

void ReadWaveToStream(TStream& s, TStyWave* wave, bool compressed) {
    if (compressed)
        wave->ReadCompressed(s);
    else
        wave->LoadFromStream(s);
}
