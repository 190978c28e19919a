// PDF tools in the engine: page counting over a PDF of more than 100 MB (a rate of bytes,
// which should be that of memory), and the thumbnail resampler for one page rendered at
// 72 dpi (A4 portrait into 112 x 158, Letter landscape into 152 x 117), with and
// without the JPEG decoding and encoding around it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "engine/converters/pdf2htmlPreview.h"
#include "engine/pdfHelper.h"

namespace {

// A PDF-like text of about 110 MB: page objects with an inner "/Count" each tree node,
// content streams of drawing operators, and the root "/Count" near the end.
const std::string& BigPdfFile() {
    static const std::string path = [] {
        std::string p = "/tmp/vx-bench-pdftools-" + std::to_string(getpid()) + ".pdf";
        std::ofstream out(p, std::ios::binary);
        out << "%PDF-1.4\n";
        std::mt19937 rng(7);
        size_t written = 0, obj = 3;
        std::string chunk;
        while (written < (110u << 20)) {
            chunk.clear();
            chunk += std::to_string(obj++) +
                     " 0 obj\n<</Type/Pages/Kids [7 0 R 8 0 R] /Count 2 /Parent 2 0 R>>\nendobj\n";
            for (int page = 0; page < 20; ++page) {
                const size_t pageObj = obj++;
                chunk += std::to_string(pageObj) +
                         " 0 obj\n<</Type/Page/MediaBox [0 0 612 792] /Parent 3 0 "
                         "R/Resources<</Font<</F1 9 0 R>>>>/Contents " +
                         std::to_string(obj) + " 0 R>>\nendobj\n";
                std::string content;
                for (int k = 0; k < 60; ++k)
                    content += std::to_string(rng() % 600) + " " + std::to_string(rng() % 780) +
                               " m " + std::to_string(rng() % 600) + " " +
                               std::to_string(rng() % 780) + " l S\nBT /F1 12 Tf (" +
                               "text of the page) Tj ET\n";
                chunk += std::to_string(obj++) + " 0 obj\n<</Length " +
                         std::to_string(content.size()) + ">>stream\n" + content +
                         "endstream\nendobj\n";
            }
            out << chunk;
            written += chunk.size();
        }
        out << "2 0 obj\n<</Type/Pages/Kids [3 0 R] /Count 123456>>\nendobj\ntrailer\n<</Root 1 0 "
               "R>>\n%%EOF\n";
        return p;
    }();
    return path;
}

void BM_CountPdfPages(benchmark::State& state) {
    const std::string& file = BigPdfFile();
    std::ifstream probe(file, std::ios::binary | std::ios::ate);
    const int64_t size = int64_t(probe.tellg());
    for (auto _ : state) {
        const int pages = TPdfChopToSingles().CountPdfPages(file);
        if (pages != 123456) state.SkipWithError("wrong page count");
        benchmark::DoNotOptimize(pages);
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["MB"] = double(size) / (1 << 20);
}
BENCHMARK(BM_CountPdfPages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same scan over text already in memory: what the file read adds shows as the
// difference to the one above.
void BM_CountPagesInText(benchmark::State& state) {
    std::ifstream in(BigPdfFile(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) benchmark::DoNotOptimize(TPdfChopToSingles::CountPagesInText(text));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(BM_CountPagesInText)->Unit(benchmark::kMillisecond)->UseRealTime();

// A rendered page: white with a few dark bands and some noise.
TRgbImage RenderedPage(int w, int h) {
    TRgbImage img(w, h);
    std::mt19937 rng(3);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = img.Row(y);
        for (int x = 0; x < 3 * w; ++x)
            row[x] = (y / 40) % 3 == 0 && x % 97 < 60 ? uint8_t(rng() % 64) : 250;
    }
    return img;
}

void BM_Resample(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const TRgbImage source = RenderedPage(w, h);
    int tw = 0, th = 0;
    TPdf2htmlPreview::ThumbnailSize(w, h, tw, th);
    TRgbImage target(tw, th);
    for (auto _ : state) {
        TPdf2htmlPreview::Resample(source, target);
        benchmark::DoNotOptimize(target.pixels.data());
    }
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h) + " -> " + std::to_string(tw) + "x" +
                   std::to_string(th));
}
BENCHMARK(BM_Resample)->Args({595, 842})->Args({792, 612})->Unit(benchmark::kMicrosecond);

// Decoding the rendered JPEG, resampling and encoding the thumbnail: one page's work.
void BM_ShrinkJpeg(benchmark::State& state) {
    const std::string file = "/tmp/vx-bench-thumb-" + std::to_string(getpid()) + ".jpg";
    const std::string page = EncodeJpegRgb(RenderedPage(595, 842));
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(file, std::ios::binary | std::ios::trunc) << page;
        state.ResumeTiming();
        TPdf2htmlPreview::ShrinkJpeg(file);
    }
    std::remove(file.c_str());
}
BENCHMARK(BM_ShrinkJpeg)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(BigPdfFile().c_str());
    return 0;
}
