// Whole-file GIF decoding of a multi-frame 1024 x 768 animation: our stream reader, LZW
// decoder and frame composition against giflib's DGifSlurp plus the same composition, side
// by side on the same file (written by giflib). Also the six colour reductions of a
// 1024 x 768 true-colour picture.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "controls/extended/xcDib.h"
#include "controls/extended/xcGifStream.h"

namespace {

constexpr int W = 1024, H = 768, Frames = 8;

int Collect(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

struct Frame {
    int left, top, width, height, disposal, transparent;
};

std::vector<Frame> Plan() {
    std::vector<Frame> f = {{0, 0, W, H, 1, -1}};
    for (int i = 1; i < Frames; ++i)
        f.push_back({(i * 97) % (W / 2), (i * 61) % (H / 2), W / 2, H / 2, i % 4, i % 2 ? 0 : -1});
    return f;
}

// A photo-like first frame and moving graphic parts over it.
std::vector<uint8_t> MakeGif() {
    std::vector<uint8_t> bytes;
    int err = 0;
    GifFileType* gif = EGifOpen(&bytes, Collect, &err);
    if (!gif) throw std::runtime_error("EGifOpen");
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i)
        map->Colors[i] = GifColorType{GifByteType(i), GifByteType(255 - i), GifByteType(i * 7)};
    EGifPutScreenDesc(gif, W, H, 8, 0, map);
    std::mt19937 rng(5);
    for (const Frame& f : Plan()) {
        GraphicsControlBlock gcb{f.disposal, false, 5, f.transparent};
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, false, nullptr);
        std::vector<uint8_t> row(size_t(f.width));
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x)
                row[size_t(x)] =
                    f.disposal == 1 && f.width == W
                        ? uint8_t(int(128 + 60 * std::sin(x / 97.0) + 50 * std::cos(y / 53.0)) +
                                  int(rng() % 9) - 4)
                        : uint8_t(((x / 32) ^ (y / 24)) & 15);
            EGifPutLine(gif, row.data(), f.width);
        }
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return bytes;
}

const std::vector<uint8_t>& File() {
    static const std::vector<uint8_t> f = MakeGif();
    return f;
}

struct Sink : TGifFrameSink {
    std::vector<std::unique_ptr<TGifFrameRecord>> frames;
    std::unique_ptr<TGifFrameRecord> NewFrame() override {
        return std::make_unique<TGifFrameRecord>();
    }
    void AppendFrame(std::unique_ptr<TGifFrameRecord> f) override {
        frames.push_back(std::move(f));
    }
};

void Ours(benchmark::State& state) {
    const auto& file = File();
    for (auto _ : state) {
        TGifImageRecord image;
        Sink sink;
        ReadGifStream(file.data(), file.size(), image, sink, false);
        TGifComposer screen(image, false);
        for (auto& f : sink.frames) screen.Draw(*f);
        benchmark::DoNotOptimize(screen.Screen().data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * Frames);
}

struct Reader {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};

int ReadMem(GifFileType* gif, GifByteType* out, int n) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const int take = int(std::min<size_t>(size_t(n), r->bytes->size() - r->at));
    std::memcpy(out, r->bytes->data() + r->at, size_t(take));
    r->at += size_t(take);
    return take;
}

// DGifSlurp, then the frames drawn on the screen as a viewer does (the same rules as ours).
void Giflib(benchmark::State& state) {
    const auto& file = File();
    for (auto _ : state) {
        Reader r{&file};
        int err = 0;
        GifFileType* gif = DGifOpen(&r, ReadMem, &err);
        if (!gif || DGifSlurp(gif) != GIF_OK) throw std::runtime_error("DGifSlurp");
        std::vector<uint32_t> screen(size_t(gif->SWidth) * size_t(gif->SHeight), 0), saved;
        uint32_t lut[256];
        const ColorMapObject* map = gif->SColorMap;
        int lastDisposal = 0;
        GifImageDesc last{};
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& si = gif->SavedImages[i];
            if (lastDisposal == 2)
                for (int y = last.Top; y < std::min(gif->SHeight, last.Top + last.Height); ++y)
                    std::fill_n(screen.begin() + y * gif->SWidth + last.Left,
                                std::min(gif->SWidth, last.Left + last.Width) - last.Left, 0u);
            else if (lastDisposal == 3 && !saved.empty())
                screen = saved;
            GraphicsControlBlock gcb;
            DGifSavedExtensionToGCB(gif, i, &gcb);
            if (gcb.DisposalMode == 3) saved = screen;
            const ColorMapObject* m = si.ImageDesc.ColorMap ? si.ImageDesc.ColorMap : map;
            for (int c = 0; c < 256; ++c)
                lut[c] = c < m->ColorCount
                             ? uint32_t(m->Colors[c].Red) << 16 |
                                   uint32_t(m->Colors[c].Green) << 8 | m->Colors[c].Blue
                             : 0;
            const GifImageDesc& d = si.ImageDesc;
            for (int y = 0; y < d.Height && d.Top + y < gif->SHeight; ++y) {
                const GifByteType* src = si.RasterBits + size_t(y) * size_t(d.Width);
                uint32_t* dst = screen.data() + size_t(d.Top + y) * size_t(gif->SWidth);
                for (int x = d.Left; x < std::min(gif->SWidth, d.Left + d.Width); ++x) {
                    const int v = src[x - d.Left];
                    if (v != gcb.TransparentColor) dst[x] = lut[v];
                }
            }
            lastDisposal = gcb.DisposalMode;
            last = d;
        }
        benchmark::DoNotOptimize(screen.data());
        DGifCloseFile(gif, &err);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * Frames);
}

BENCHMARK(Ours)->Name("GifWholeFile/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Giflib)->Name("GifWholeFile/giflib")->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- colour reduction

std::vector<uint8_t> TrueColour() {
    const size_t stride = RowLength(W, 24);
    std::vector<uint8_t> px(stride * H);
    std::mt19937 rng(3);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t* p = px.data() + size_t(y) * stride + 3 * size_t(x);
            p[0] = uint8_t(x * 255 / W + rng() % 16);
            p[1] = uint8_t(y * 255 / H + rng() % 16);
            p[2] = uint8_t(128 + 100 * std::sin((x + y) / 80.0));
        }
    return px;
}

void Reduce(benchmark::State& state) {
    static const std::vector<uint8_t> source = TrueColour();
    std::vector<uint8_t> work(source.size());
    uint8_t palette[256 * 4];
    for (auto _ : state) {
        state.PauseTiming();
        work = source;
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            ReduceDib24To8(work.data(), W, H, TColorReduction(state.range(0)), 256, palette));
    }
}

BENCHMARK(Reduce)->Name("Reduce1024x768/quantize")->Arg(rdQuantize)->Unit(benchmark::kMillisecond);
BENCHMARK(Reduce)
    ->Name("Reduce1024x768/mediancut")
    ->Arg(rdMedianCut)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Reduce)->Name("Reduce1024x768/fixed224")->Arg(rdFixed224)->Unit(benchmark::kMillisecond);
BENCHMARK(Reduce)->Name("Reduce1024x768/fixed216")->Arg(rdFixed216)->Unit(benchmark::kMillisecond);
BENCHMARK(Reduce)
    ->Name("Reduce1024x768/channelsplit")
    ->Arg(rdChannelSplit)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Reduce)
    ->Name("Reduce1024x768/grayscale")
    ->Arg(rdGrayscale)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
