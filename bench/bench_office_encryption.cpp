// The office password check over hostile compound files: a directory whose chain runs
// through every sector of the file, at 0.8 and 1.7 MB. The walk visits each sector once,
// so the time grows with the file's size, not with its square.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

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

}  // namespace

BENCHMARK_MAIN();
