// Searches over a string list that start after a given item and wrap around the end, so
// repeated calls cycle through every match. Texts are UTF-8; where asked, letters of every
// script are compared without case (Chinese has none to fold).
#pragma once

#include <string>

#include "platform/rtl/classes.h"

class TXcItemsSearchs {
public:
    TXcItemsSearchs() = delete;
    // The next item equal to the text, or -1.
    static int FindExact(const TStrings& Items, const std::string& Text, bool CaseSensitive,
                         int StartIndex);
    // The next item that begins with the text (an empty text matches nothing), or -1.
    static int FindPrefix(const TStrings& Items, const std::string& Text, bool CaseSensitive,
                          int StartIndex);
};
