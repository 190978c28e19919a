// The table of conversion functions: what the function combo box shows, what option
// sections and the command line are keyed by, which sources a function accepts and what
// it produces, the option sections it shows and the runner that performs it. A new
// function is its converter unit (with its runner) and one row here.
#pragma once

#include <string>
#include <vector>

#include "engine/optionControls.h"
#include "engine/runner.h"

struct TConverter {
    std::string Name;         // option section and command-line key; "Divider" for divider rows
    std::string Title;        // text of the function combo box
    std::string Description;  // hint of the function combo box
    std::vector<std::string> InputExtensions;  // lower case, with the dot
    std::string OutputExtension;               // lower case, with the dot
    TRunner Run = nullptr;                     // performs the function; null on divider rows
    bool ThroughOffice = false;                // its runner starts an office application
    // The option sections shown while the function is selected.
    std::vector<TOptionName<TOptionKind::GroupBox>> Options = {};
    // Choices the function makes itself: checked when it is selected, their sections hidden.
    std::vector<TOptionName<TOptionKind::RadioButton>> Fixed = {};
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
