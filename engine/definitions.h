// The table of conversion functions: what the function combo box shows, what option
// sections and the command line are keyed by, which sources a function accepts and what
// it produces.
#pragma once

#include <string>
#include <vector>

struct TConverter {
    std::string Name;         // dispatch key and option section; "Divider" for divider rows
    std::string Title;        // text of the function combo box
    std::string Description;  // hint of the function combo box
    std::vector<std::string> InputExtensions;  // lower case, with the dot
    std::string OutputExtension;               // lower case, with the dot
};

using TConverterArray = std::vector<TConverter>;

// The program's one function table (22 rows once built).
extern TConverterArray Functions;

// Fills Functions with the 22 rows and returns it. Called once when the main window is
// created.
const TConverterArray& BuildFunctionTable();

// True when the lower-cased ext equals one of the entries exactly (byte-wise; the entries
// are compared as they are). An empty list accepts nothing.
bool ExtInList(const std::string& ext, const std::vector<std::string>& extensions);
