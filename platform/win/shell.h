// Shell services: opening documents and addresses with the desktop's applications,
// finding a document's viewer, deleting and moving files and folders.
#pragma once

#include "platform/win/wintypes.h"

// Results of ShellExecuteA / FindExecutableA at or below 32.
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_NOASSOC = 31;

// Opens `file` (a document, a folder, or an address such as "mailto:..." or "https://...")
// with the desktop's opener, detached and not waited for; verb null, "" or "open"
// ("explore" for folders). Returns a value above 32 on success, else SE_ERR_FNF (no such
// file), SE_ERR_NOASSOC (nothing opens it). A relative file is taken from `dir`. params
// and show are not used by document openers.
HINSTANCE ShellExecuteA(HWND hwnd, const char* verb, const char* file, const char* params,
                        const char* dir, int show);
// Writes the program the desktop opens the file with into result (MAX_PATH bytes) and
// returns a value above 32; SE_ERR_FNF for a missing file, SE_ERR_NOASSOC when no program
// is associated (result is then "").
HINSTANCE FindExecutableA(const char* file, const char* dir, char* result);

constexpr UINT FO_MOVE = 1;
constexpr UINT FO_COPY = 2;
constexpr UINT FO_DELETE = 3;
constexpr UINT FO_RENAME = 4;
constexpr WORD FOF_MULTIDESTFILES = 0x0001;
constexpr WORD FOF_SILENT = 0x0004;
constexpr WORD FOF_RENAMEONCOLLISION = 0x0008;
constexpr WORD FOF_NOCONFIRMATION = 0x0010;
constexpr WORD FOF_ALLOWUNDO = 0x0040;
constexpr WORD FOF_FILESONLY = 0x0080;
constexpr WORD FOF_NOCONFIRMMKDIR = 0x0200;
constexpr WORD FOF_NOERRORUI = 0x0400;

struct SHFILEOPSTRUCTA {
    HWND hwnd = nullptr;
    UINT wFunc = 0;
    const char* pFrom = nullptr;  // names, each NUL-terminated, the list ended by one more NUL
    const char* pTo = nullptr;
    WORD fFlags = 0;
    BOOL fAnyOperationsAborted = 0;
    void* hNameMappings = nullptr;
    const char* lpszProgressTitle = nullptr;
};

// FO_DELETE removes files and folders with everything in them (a symbolic link is removed
// itself, never followed); FO_MOVE and FO_RENAME move each source to pTo, into it when it
// is a folder (replacing files, merging folders, copying across file systems). Names may
// end with "/" and their last part may hold "*" and "?"; FOF_FILESONLY leaves folders
// that a mask matches alone. Returns 0 on success; else ERROR_FILE_NOT_FOUND for a
// missing source, ERROR_ACCESS_DENIED or another non-zero code. Never asks anything.
int SHFileOperationA(SHFILEOPSTRUCTA* op);
