#include "controls/styled/styPathStrings.h"

#include "platform/rtl/sysutils.h"

bool IsBlank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;  // tabs count as text
}

std::string AddBackslash(const std::string& s) {
    if (!IsBlank(s) && s.back() == PathDelim) return s;
    return s + PathDelim;
}

std::string RemoveBackslash(const std::string& s) {
    if (!IsBlank(s) && s.back() == PathDelim) return s.substr(0, s.size() - 1);
    return s;
}
