// Raster operations over a 1024x768 memory bitmap: a plain copy, a destination-only operation
// and a pattern-with-destination operation, each over the whole picture per iteration.
#include <benchmark/benchmark.h>

#include "platform/gdi/gdi.h"
#include "platform/qt/surface.h"

namespace {

constexpr int W = 1024, H = 768;

struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(W, H, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
};

void Run(benchmark::State& state, DWORD rop, bool withSource) {
    qtbridge::InstallDrawing();  // nothing else of the window system's layer is linked in
    Surface src, dst;
    HBRUSH brush = CreateSolidBrush(RGB(0x40, 0x80, 0xC0));
    HGDIOBJ oldBrush = SelectObject(dst.dc, brush);
    PatBlt(src.dc, 0, 0, W, H, WHITENESS);
    for (auto _ : state) {
        BitBlt(dst.dc, 0, 0, W, H, withSource ? src.dc : nullptr, 0, 0, rop);
        benchmark::ClobberMemory();
    }
    SelectObject(dst.dc, oldBrush);
    DeleteObject(brush);
    state.SetItemsProcessed(state.iterations() * W * H);
}

void BM_BlitSrcCopy(benchmark::State& s) { Run(s, SRCCOPY, true); }
void BM_BlitDstInvert(benchmark::State& s) { Run(s, DSTINVERT, false); }
void BM_BlitPatInvert(benchmark::State& s) { Run(s, PATINVERT, false); }
BENCHMARK(BM_BlitSrcCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlitDstInvert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlitPatInvert)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
