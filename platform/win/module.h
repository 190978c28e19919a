// The program's own file. The program folder is the folder of the path the program was
// started by, not of the link target, so tests can run isolated copies through links.
#pragma once

#include <string>

#include "platform/win/wintypes.h"

// Called once from main with argv[0].
void SetModuleFileName(const char* argv0);
// Absolute path of the program file; copies at most size-1 bytes plus a NUL, returns the
// length copied (0 on failure).
DWORD GetModuleFileNameA(HINSTANCE module, char* buffer, DWORD size);
std::string ModuleFileName();
