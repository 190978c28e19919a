// Wide (UTF-16) text as the component-object calls pass it, and its conversion to and from
// the program's byte text. The program's "ANSI" code page is UTF-8, so CP_ACP and CP_UTF8
// convert alike.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/wintypes.h"

using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;

constexpr UINT CP_ACP = 0, CP_UTF8 = 65001;

// As on Windows: a length of -1 takes the text up to and with its NUL; an output size of 0
// asks for the size needed; a buffer too small fails with ERROR_INSUFFICIENT_BUFFER and
// answers 0. Bytes that are no UTF-8 become U+FFFD; an unpaired surrogate becomes U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, LPWSTR out,
                        int outSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, char* out,
                        int outSize, const char* defaultChar, BOOL* usedDefault);

// The same conversions whole.
std::u16string WideFromText(std::string_view text);
std::string TextFromWide(std::u16string_view wide);
