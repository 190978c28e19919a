// The TrueType character map reader over damaged font files. Input: one byte choosing the
// face of a collection, then the file. Reading either refuses the data or gives sorted,
// disjoint ranges of characters within Unicode.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/rtl/trueTypeCmap.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        const std::vector<TCodeRange> ranges = TrueTypeCharacters(file, data[0] % 4);
        for (size_t i = 0; i < ranges.size(); ++i) {
            Check(ranges[i].first <= ranges[i].last && ranges[i].last <= 0x10FFFF);
            if (i) Check(uint64_t(ranges[i - 1].last) + 1 < ranges[i].first);
        }
    } catch (const ETrueTypeError&) {}
    return 0;
}
