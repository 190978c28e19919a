// The rich-text reader over any bytes: a text that starts as rich text is always read
// (numbers out of range, broken escapes and unclosed groups included), anything else is
// refused with the class library's conversion error, and no other exception escapes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rtl/rtf.h"
#include "platform/rtl/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const std::string rtf(reinterpret_cast<const char*>(data), size);
    const bool isRtf = rtf.compare(0, 5, "{\\rtf") == 0;
    try {
        const std::string html = RtfToHtml(rtf);
        const std::string text = RtfToText(rtf);
        if (!isRtf || html.empty()) std::abort();
        // Every character of the text is in the page, so the page is at least as long.
        if (html.size() < text.size()) std::abort();
    } catch (const EConvertError&) {
        if (isRtf) std::abort();
    }
    return 0;
}
