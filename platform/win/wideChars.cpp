#include "platform/win/wideChars.h"

#include <algorithm>

#include "platform/rtl/utf8.h"

std::u16string WideFromText(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        size_t n = Utf8Decode(text, i, c);
        if (n == 0) {  // not UTF-8: one replacement character per stray byte
            c = 0xFFFD;
            n = 1;
        }
        i += n;
        Utf16Append(wide, c);
    }
    return wide;
}

std::string TextFromWide(std::u16string_view wide) {
    std::string text;
    text.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        const char32_t u = wide[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            Utf8Append(text, 0x10000 + ((u - 0xD800) << 10) + (char32_t(wide[++i]) - 0xDC00));
        } else {
            Utf8Append(text, u);  // a lone surrogate becomes U+FFFD
        }
    }
    return text;
}

namespace {

// Copies a converted text out as the Windows calls do (the size alone when outSize is 0).
template <class Char, class Text>
int Deliver(const Text& converted, Char* out, int outSize) {
    const int needed = int(converted.size());
    if (outSize == 0) return needed;
    if (!out || outSize < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(converted.begin(), converted.end(), out);
    return needed;
}

bool KnownCodePage(UINT codePage) { return codePage == CP_ACP || codePage == CP_UTF8; }

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, const char* text, int length, LPWSTR out,
                        int outSize) {
    if (!text || length == 0 || length < -1 || outSize < 0 || !KnownCodePage(codePage)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t n = length == -1 ? std::char_traits<char>::length(text) + 1 : size_t(length);
    return Deliver(WideFromText(std::string_view(text, n)), out, outSize);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR text, int length, char* out, int outSize,
                        const char*, BOOL* usedDefault) {
    if (usedDefault) *usedDefault = FALSE_;
    if (!text || length == 0 || length < -1 || outSize < 0 || !KnownCodePage(codePage)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t n = length == -1 ? std::char_traits<char16_t>::length(text) + 1 : size_t(length);
    return Deliver(TextFromWide(std::u16string_view(text, n)), out, outSize);
}
