// Animated cursor files of arbitrary bytes: reading ends in a clear error or a result, never
// reads past the data or allocates without bound; what reads writes and reads back alike.
#include <cstdint>
#include <cstdlib>

#include "controls/extended/xcAniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TAniContent c;
    try {
        c = ReadAniFile(data, size);
    } catch (const EReadError&) {
        return 0;
    }
    // Every icon that was kept has a picture the icon class could read.
    for (const auto& icon : c.Icons)
        if (!icon.Picture || icon.Picture->Empty()) std::abort();
    const std::string again = WriteAniFile(c);
    const TAniContent back =
        ReadAniFile(reinterpret_cast<const uint8_t*>(again.data()), again.size());
    if (back.Icons.size() != c.Icons.size() || back.Sequence != c.Sequence || back.Rates != c.Rates)
        std::abort();
    return 0;
}
