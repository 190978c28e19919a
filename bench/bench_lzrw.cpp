// Block codec throughput, in the 32781-byte chunks the graphic streams use, over mixed data
// (text, runs, bitmap-like rows, noise). Rates are of source bytes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "controls/styled/lzrw.h"

namespace {

constexpr size_t Chunk = 32781;
constexpr size_t Total = 8 << 20;

const std::vector<uint8_t>& Source() {
    static const std::vector<uint8_t> data = [] {
        std::mt19937 rng(42);
        const std::string words[] = {"转换 ",        "document ", "PDF ", "page ",
                                     "Ghostscript ", "文件 ",     "the ", "of "};
        std::vector<uint8_t> d;
        while (d.size() < Total) {
            switch (rng() % 4) {
                case 0:  // text
                    for (int i = 0; i < 200; ++i) {
                        const std::string& w = words[rng() % 8];
                        d.insert(d.end(), w.begin(), w.end());
                    }
                    break;
                case 1:  // runs
                    d.insert(d.end(), 20 + rng() % 2000, uint8_t(rng()));
                    break;
                case 2:  // a bitmap row repeated with small changes
                    for (int r = 0; r < 16; ++r)
                        for (int x = 0; x < 256; ++x)
                            d.push_back(uint8_t(x / 16 + (rng() % 8 == 0)));
                    break;
                default:  // noise
                    for (int i = 0; i < 1500; ++i) d.push_back(uint8_t(rng()));
            }
        }
        d.resize(Total);
        return d;
    }();
    return data;
}

struct Packed {
    std::vector<std::vector<uint8_t>> blocks;
    size_t bytes = 0;
};

const Packed& Blocks() {
    static const Packed p = [] {
        Packed r;
        const auto& s = Source();
        for (size_t at = 0; at < s.size(); at += Chunk) {
            const size_t n = std::min(Chunk, s.size() - at);
            std::vector<uint8_t> b(n + LZRWSlack);
            b.resize(LZRWCompress(s.data() + at, b.data(), uint16_t(n)));
            r.bytes += b.size();
            r.blocks.push_back(std::move(b));
        }
        return r;
    }();
    return p;
}

void BM_LzrwCompress(benchmark::State& state) {
    const auto& s = Source();
    std::vector<uint8_t> out(Chunk + LZRWSlack);
    for (auto _ : state) {
        size_t total = 0;
        for (size_t at = 0; at < s.size(); at += Chunk)
            total +=
                LZRWCompress(s.data() + at, out.data(), uint16_t(std::min(Chunk, s.size() - at)));
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.size()));
    state.counters["ratio"] = double(Blocks().bytes) / double(s.size());
}

void BM_LzrwDecompress(benchmark::State& state) {
    const Packed& p = Blocks();
    std::vector<uint8_t> out(Chunk);
    for (auto _ : state) {
        size_t total = 0;
        for (const auto& b : p.blocks)
            total += LZRWDecompress(b.data(), out.data(), b.size(), out.size());
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Source().size()));
}

}  // namespace

BENCHMARK(BM_LzrwCompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzrwDecompress)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
