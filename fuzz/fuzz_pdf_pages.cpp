// Page counting over any bytes a user may hand over as a PDF: it ends, it answers -1 or a
// count, the only error it raises is the one for a root count that is not a number, and
// the same text always gives the same answer.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/pdfHelper.h"
#include "platform/rtl/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int first;
    try {
        first = TPdfChopToSingles::CountPagesInText(text);
    } catch (const EConvertError&) {
        return 0;
    }
    if (first < -1) std::abort();
    if (TPdfChopToSingles::CountPagesInText(text) != first) std::abort();
    return 0;
}
