// Crop-box rewriting over any bytes a user may hand over as a PDF. The first four bytes
// choose the fractions and the margin, the rest is the PDF text. It ends, it raises only
// the conversion error for a malformed box, a text without boxes comes back unchanged, and
// the text before the first box is never touched (cross-reference data aside).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/converters/pdfAutoCrop.h"
#include "platform/rtl/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 1 << 16) return 0;
    TCropFractions f;
    auto frac = [](uint8_t b) { return b / 255.0; };
    if (data[0] & 1) f.left = frac(data[0]);
    if (data[1] & 1) f.top = frac(data[1]);
    if (data[2] & 1) f.right = frac(data[2]);
    if (data[3] & 1) f.bottom = frac(data[3]);
    const int margin = data[3] >> 4;
    TCropManager m =
        TCropManager::FromText(std::string(reinterpret_cast<const char*>(data) + 4, size - 4));
    try {
        m.ParseBoxes();
    } catch (const EConvertError&) {
        return 0;
    }
    std::string out;
    try {
        out = m.CroppedText(f, margin);
    } catch (const EConvertError&) {
        return 0;
    }
    if (m.boxes.empty() && out != m.text) std::abort();
    // The text before the first box is never touched (the cross-reference data, which
    // moves with the text, aside).
    const bool xref = m.text.find("xref") != std::string::npos;
    if (!xref && !m.boxes.empty() &&
        out.compare(0, m.boxes.front().start, m.text, 0, m.boxes.front().start) != 0)
        std::abort();
    return 0;
}
