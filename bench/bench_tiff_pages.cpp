// The pages of a many-page TIFF made BMP files: each directory is read once, in order, so
// the time a page takes stays the same however many pages the file has.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <tiffio.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/converters/tiff2ps.h"

namespace {

std::string Folder() {
    static const std::string dir = [] {
        std::string t = (std::filesystem::temp_directory_path() / "vx-bench-tiff-XXXXXX").string();
        return std::string(mkdtemp(t.data())) + "/";
    }();
    return dir;
}

// A TIFF of n small grey pages.
std::string PagesFile(int n) {
    std::string path = Folder() + std::to_string(n) + ".tif";
    if (std::filesystem::exists(path)) return path;
    TIFF* t = TIFFOpen(path.c_str(), "w");
    std::vector<uint8_t> row(64, 0x80);
    for (int page = 0; page < n; ++page) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 64);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, 64);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 64);
        for (uint32_t y = 0; y < 64; ++y) TIFFWriteScanline(t, row.data(), y, 0);
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
    return path;
}

void BM_TiffPagesToBitmaps(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::string file = PagesFile(n);
    const std::string out = Folder() + "out" + std::to_string(n) + "/";
    std::filesystem::create_directories(out);
    for (auto _ : state) benchmark::DoNotOptimize(TTiff2ps().SavePages(file, out));
    state.SetItemsProcessed(state.iterations() * n);  // pages a second: flat in n
}
BENCHMARK(BM_TiffPagesToBitmaps)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
