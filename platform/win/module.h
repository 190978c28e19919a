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

// Libraries loaded by name. The platform's own services publish their entry points under
// the Windows library name they stand for (for example "uxtheme.dll"); a library that no
// service published is not found (0 with ERROR_MOD_NOT_FOUND). Library names ignore case,
// entry-point names do not.
using HMODULE = HINSTANCE;
using FARPROC = void (*)();  // cast to the entry's own type before calling
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

void RegisterModuleExport(const std::string& library, const std::string& name, FARPROC proc);
HMODULE LoadLibraryA(const char* name);
// Counted: each LoadLibraryA needs its FreeLibrary; FALSE for a handle not loaded.
BOOL FreeLibrary(HMODULE module);
// The program itself for null; a library by name only while it is loaded (0 otherwise).
HMODULE GetModuleHandleA(const char* name);
// The system libraries this layer stands in for ("uxtheme.dll", "shell32.dll",
// "shfolder.dll", "comctl32.dll"), registered before the first load by name.
void RegisterSystemLibraries();
// nullptr with ERROR_PROC_NOT_FOUND when the library does not export the name.
FARPROC GetProcAddress(HMODULE module, const char* name);

// The fixed part of a version resource, as a system library carries it.
struct VS_FIXEDFILEINFO {
    DWORD dwSignature, dwStrucVersion, dwFileVersionMS, dwFileVersionLS, dwProductVersionMS,
        dwProductVersionLS, dwFileFlagsMask, dwFileFlags, dwFileOS, dwFileType, dwFileSubtype,
        dwFileDateMS, dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);
constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
// Gives a library (by name, any case) its version record; null takes it away.
void RegisterModuleVersion(const std::string& library, const VS_FIXEDFILEINFO* info);
// The library's version record; false when it carries none.
bool FindModuleVersion(const std::string& library, VS_FIXEDFILEINFO& info);
