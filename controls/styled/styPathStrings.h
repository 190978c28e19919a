// Blank test and trailing-backslash handling of path texts (the ini store, the path
// prefixes and the containers use them). The separator is the platform's folder separator.
#pragma once

#include <string>

bool IsBlank(const std::string& s);
std::string AddBackslash(const std::string& s);
std::string RemoveBackslash(const std::string& s);
