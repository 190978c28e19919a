// Every class of the extended controls that a form file may hold, with all its published
// properties (the search component and the properties the controls' own units leave out).
#pragma once

void RegisterExtendedClasses();
