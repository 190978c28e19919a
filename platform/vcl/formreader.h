// Text form files: the layout of a window as nested "object Name: TClass ... end" blocks
// of property assignments. Reading one creates the components (owned by the root),
// places controls in their parents, sets properties through the registered setters,
// binds published fields and event handlers by name, then calls Loaded on each.
#pragma once

#include <string>

#include "platform/vcl/component.h"

// Parses form text; raises EReadError with the line number on a syntax error, an unknown
// class or property, or a handler the root does not have.
void ReadForm(TComponent* root, const std::string& text);
// Reads "forms/<name>" from the resources compiled into the program.
void ReadFormResource(TComponent* root, const std::string& resourceName);
// Reads one value in form-file syntax (for tests and stored properties).
TDfmValue ParseDfmValue(const std::string& text);
