#include "platform/rtl/startTrace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <unistd.h>

namespace {

const char* TraceFile() {
    static const char* const file = std::getenv("VEXOMAT_START_TRACE");
    return file && *file ? file : nullptr;
}

}  // namespace

void StartTrace(const char* phase) {
    const char* file = TraceFile();
    if (!file) return;
    const auto wall = std::chrono::steady_clock::now().time_since_epoch();
    const long long cpu = (long long)std::clock() * (1000000000LL / CLOCKS_PER_SEC);
    if (std::FILE* f = std::fopen(file, "a")) {
        std::fprintf(f, "%s %lld %lld %ld\n", phase,
                     (long long)std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count(),
                     cpu, long(getpid()));
        std::fclose(f);
    }
}
