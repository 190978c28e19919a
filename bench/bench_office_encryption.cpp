// The office password check over hostile compound files: a directory whose chain runs
// through every sector of the file, at 0.8 and 1.7 MB. The walk visits each sector once,
// so the time grows with the file's size, not with its square. And the memory the check
// takes from the heap at its peak, over tables that name the FAT's one sector again in
// every entry of a DIFAT chain through the whole file, at 192 KB to 3 MB: "peak_per_byte"
// stays a small constant (a few copies of the file), not a size of gigabytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

// Every allocation of the program is counted: what is in use and its highest mark.
namespace {
std::atomic<size_t> g_inUse{0}, g_peak{0};
constexpr size_t kHead = alignof(std::max_align_t);
}  // namespace

void* operator new(size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHead));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    const size_t now = g_inUse += size;
    for (size_t peak = g_peak; now > peak && !g_peak.compare_exchange_weak(peak, now);) {}
    return block + kHead;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - kHead;
    g_inUse -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

#include "platform/automation/officeEncryption.h"

namespace {

void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

std::string HostileCompound(size_t bytes) {
    const size_t sectors = bytes / 512 - 1;
    const size_t fatSectors = (sectors + 127) / 128;
    std::string f(512 * (sectors + 1), '\0');
    f.replace(0, 8, "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1");
    f[30] = 9;
    f[32] = 6;
    Put32(f, 44, uint32_t(fatSectors));
    Put32(f, 48, uint32_t(fatSectors));
    Put32(f, 56, 4096);
    Put32(f, 60, 0xFFFFFFFE);
    Put32(f, 68, 0xFFFFFFFE);
    for (size_t i = 0; i < 109; ++i)
        Put32(f, 76 + 4 * i, i < fatSectors ? uint32_t(i) : 0xFFFFFFFF);
    for (size_t i = 0; i < fatSectors * 128; ++i) {
        const uint32_t next = i < fatSectors     ? 0xFFFFFFFD
                              : i + 1 < sectors  ? uint32_t(i + 1)
                              : i + 1 == sectors ? 0xFFFFFFFE
                                                 : 0xFFFFFFFF;
        Put32(f, 512 * (1 + i / 128) + 4 * (i % 128), next);
    }
    for (size_t s = fatSectors; s < sectors; ++s)
        for (size_t e = 0; e < 4; ++e) {
            const size_t at = 512 * (s + 1) + 128 * e;
            f[at] = 'x';
            f[at + 64] = 4;
            Put32(f, at + 116, 0xFFFFFFFE);
        }
    return f;
}

void BM_HostileCompoundFile(benchmark::State& state) {
    const std::string file = HostileCompound(size_t(state.range(0)) * 1024);
    for (auto _ : state) benchmark::DoNotOptimize(CompoundFileIsEncrypted(file));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_HostileCompoundFile)->Arg(832)->Arg(1700)->Unit(benchmark::kMillisecond);

// A file of 64 KiB sectors: the FAT in sector 0, a directory of the root alone in sector 1,
// and from there every sector a DIFAT sector naming the next, whose other entries name
// sector 0; the header counts four billion FAT sectors and lists sector 0 109 times.
std::string RepeatedFatSectors(size_t bytes) {
    constexpr size_t kSector = 1 << 16;
    const size_t sectors = bytes / kSector - 1;
    std::string f(kSector * (sectors + 1), '\0');
    f.replace(0, 8, "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1");
    f[30] = 16;
    f[32] = 6;
    Put32(f, 44, 0xFFFFFFFF);
    Put32(f, 48, 1);
    Put32(f, 56, 4096);
    Put32(f, 60, 0xFFFFFFFE);
    Put32(f, 68, 1);
    for (size_t i = 0; i < 109; ++i) Put32(f, 76 + 4 * i, 0);
    Put32(f, kSector, 0xFFFFFFFD);
    Put32(f, kSector + 4, 0xFFFFFFFE);
    for (size_t s = 1; s < sectors; ++s)
        Put32(f, kSector * (s + 2) - 4, s + 1 < sectors ? uint32_t(s + 1) : 0xFFFFFFFE);
    const std::string root("R\0o\0o\0t\0 \0E\0n\0t\0r\0y\0", 20);  // UTF-16
    f.replace(2 * kSector, root.size(), root);
    f[2 * kSector + 64] = 22;
    Put32(f, 2 * kSector + 116, 0xFFFFFFFE);
    return f;
}

void BM_RepeatedFatSectorsPeakMemory(benchmark::State& state) {
    const std::string file = RepeatedFatSectors(size_t(state.range(0)) * 1024);
    size_t peak = 0;
    for (auto _ : state) {
        g_peak = g_inUse.load();
        const size_t before = g_inUse;
        benchmark::DoNotOptimize(CompoundFileIsEncrypted(file));
        peak = std::max(peak, g_peak - before);
    }
    state.counters["file_bytes"] = double(file.size());
    state.counters["peak_bytes"] = double(peak);
    state.counters["peak_per_byte"] = double(peak) / double(file.size());
}
BENCHMARK(BM_RepeatedFatSectorsPeakMemory)
    ->Arg(192)
    ->Arg(384)
    ->Arg(3072)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
