// The Ghostscript argument grammar. Input, read two ways:
//  - as a response-file line: tokenising never fails, every span read alone gives its
//    argument again, and the arguments written back and read again are the same;
//  - split at 0xFF bytes into an argument vector: written and read back it is the same
//    vector, or it holds a byte the grammar cannot carry and writing refuses it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/gsArgs.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void AsLine(std::string_view line) {
    const std::vector<GsToken> spans = GsTokenSpans(line);
    std::vector<std::string> values;
    std::size_t last = 0;
    for (const GsToken& t : spans) {
        Check(t.begin >= last && t.begin < t.end && t.end <= line.size());
        last = t.end;
        const std::vector<std::string> own = GsTokenize(line.substr(t.begin, t.end - t.begin));
        Check(own.size() == 1 && own[0] == t.value);
        values.push_back(t.value);
    }
    for (const std::string& v : values)
        if (!GsRepresentable(v)) return;
    Check(GsTokenize(GsQuoteLine(values)) == values);
}

void AsVector(std::string_view data) {
    std::vector<std::string> args;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= data.size(); ++i) {
        if (i == data.size() || uint8_t(data[i]) == 0xFF) {
            args.emplace_back(data.substr(from, i - from));
            from = i + 1;
        }
    }
    bool representable = true;
    for (const std::string& a : args) representable = representable && GsRepresentable(a);
    try {
        const std::string line = GsQuoteLine(args);
        Check(representable);
        Check(GsTokenize(line) == args);
    } catch (const GsArgError&) {
        Check(!representable);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    AsLine(input);
    AsVector(input);
    return 0;
}
