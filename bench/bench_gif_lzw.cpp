// GIF LZW decoding of large 8-bit frames: our decoder against giflib, on the same GIF files
// (written by giflib), side by side. Rates are of decoded pixels.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "controls/extended/gifLzw.h"

namespace {

constexpr int Side = 2048;

struct GifFile {
    std::vector<uint8_t> bytes;
    int width = 0, height = 0;
};

int Collect(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// Writes one 8-bit frame with giflib; Kind 0 = photo-like (gradients with noise), 1 = graphic
// (flat areas, stripes and text-like detail).
GifFile Make(int kind) {
    std::vector<uint8_t> px(size_t(Side) * Side);
    std::mt19937 rng(kind + 1);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            uint8_t v;
            if (kind == 0) {
                v = uint8_t(int(128 + 60 * std::sin(x / 97.0) + 50 * std::cos(y / 53.0)) +
                            int(rng() % 9) - 4);
            } else {
                v = uint8_t(((x / 64) ^ (y / 48)) & 7);
                if ((y / 16) % 5 == 0 && (x / 3) % 7 < 3) v = uint8_t(200 + (x / 200));
                if (rng() % 500 == 0) v = uint8_t(rng());
            }
            px[size_t(y) * Side + size_t(x)] = v;
        }
    GifFile f;
    f.width = f.height = Side;
    int err = 0;
    GifFileType* gif = EGifOpen(&f.bytes, Collect, &err);
    if (!gif) throw std::runtime_error("EGifOpen");
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i)
        map->Colors[i] = GifColorType{GifByteType(i), GifByteType(i), GifByteType(255 - i)};
    EGifPutScreenDesc(gif, Side, Side, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, Side, Side, false, nullptr);
    for (int y = 0; y < Side; ++y) EGifPutLine(gif, px.data() + size_t(y) * Side, Side);
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return f;
}

const GifFile& File(int kind) {
    static const GifFile files[2] = {Make(0), Make(1)};
    return files[kind];
}

// The image data of the first frame: after the header, the screen descriptor, the global
// colour table, any extensions and the image descriptor.
size_t ImageDataOffset(const std::vector<uint8_t>& b) {
    size_t at = 13;
    if (b[10] & 0x80) at += 3u << ((b[10] & 7) + 1);
    while (b[at] == '!') {  // extension: label, then sub-blocks
        at += 2;
        while (b[at]) at += 1 + b[at];
        ++at;
    }
    const uint8_t flags = b[at + 9];
    at += 10;
    if (flags & 0x80) at += 3u << ((flags & 7) + 1);
    return at;
}

struct Reader {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

int ReadMemory(GifFileType* gif, GifByteType* to, int n) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t k = std::min(size_t(n), r->bytes->size() - r->at);
    std::memcpy(to, r->bytes->data() + r->at, k);
    r->at += k;
    return int(k);
}

// Decodes the first frame with giflib into top-down rows.
void GiflibDecode(const GifFile& f, std::vector<uint8_t>& px) {
    Reader r{&f.bytes, 0};
    int err = 0;
    GifFileType* gif = DGifOpen(&r, ReadMemory, &err);
    GifRecordType type;
    do {
        DGifGetRecordType(gif, &type);
        if (type == IMAGE_DESC_RECORD_TYPE) {
            DGifGetImageDesc(gif);
            for (int y = 0; y < f.height; ++y)
                DGifGetLine(gif, px.data() + size_t(y) * size_t(f.width), f.width);
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* ext;
            DGifGetExtension(gif, &code, &ext);
            while (ext) DGifGetExtensionNext(gif, &ext);
        }
    } while (type != TERMINATE_RECORD_TYPE && type != UNDEFINED_RECORD_TYPE);
    DGifCloseFile(gif, &err);
}

void BM_OurDecoder(benchmark::State& state) {
    const GifFile& f = File(int(state.range(0)));
    TMemoryStream s;
    s.WriteBuffer(f.bytes.data(), int64_t(f.bytes.size()));
    const TGifPixelFormat fmt{f.width, f.height, 8};
    std::vector<uint8_t> px(GifStride(f.width, 8) * size_t(f.height));
    for (auto _ : state) {
        s.SetPosition(int64_t(ImageDataOffset(f.bytes)));
        DecodeGifLzw(s, fmt, false, nullptr, px.data(), px.size(), 8, false);
        benchmark::DoNotOptimize(px.data());
    }
    // Both decoders must agree (ours is bottom-up).
    std::vector<uint8_t> theirs(size_t(f.width) * size_t(f.height));
    GiflibDecode(f, theirs);
    for (int y = 0; y < f.height; ++y)
        if (std::memcmp(theirs.data() + size_t(y) * size_t(f.width),
                        px.data() + size_t(f.height - 1 - y) * size_t(f.width),
                        size_t(f.width)) != 0) {
            state.SkipWithError("the decoders disagree");
            break;
        }
    state.SetItemsProcessed(int64_t(state.iterations()) * f.width * f.height);
    state.counters["file_MB"] = double(f.bytes.size()) / 1e6;
}

void BM_Giflib(benchmark::State& state) {
    const GifFile& f = File(int(state.range(0)));
    std::vector<uint8_t> px(size_t(f.width) * size_t(f.height));
    for (auto _ : state) {
        GiflibDecode(f, px);
        benchmark::DoNotOptimize(px.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * f.width * f.height);
}

}  // namespace

// Argument: 0 = photo-like frame, 1 = graphic frame (2048 x 2048, 8 bits).
BENCHMARK(BM_OurDecoder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Giflib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
