// Processes: CreateProcessA over the launcher (launcher.h) with an argument vector (never a shell),
// exit codes, waits and termination. Each running process's pidfd is registered as a
// wake fd, so a wait for the next window message ends as soon as a child ends.
#pragma once

#include <string>
#include <vector>

#include "platform/win/handles.h"
#include "platform/win/wintypes.h"

constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
constexpr DWORD STARTF_USESTDHANDLES = 0x00000100;
constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
constexpr DWORD CREATE_NO_WINDOW = 0x08000000;
constexpr DWORD CREATE_DEFAULT_ERROR_MODE = 0x04000000;

struct SECURITY_ATTRIBUTES {
    DWORD nLength = 0;
    void* lpSecurityDescriptor = nullptr;
    BOOL bInheritHandle = 0;
};

struct STARTUPINFOA {
    DWORD cb = 0;
    char* lpReserved = nullptr;
    char* lpDesktop = nullptr;
    char* lpTitle = nullptr;
    DWORD dwX = 0, dwY = 0, dwXSize = 0, dwYSize = 0;
    DWORD dwXCountChars = 0, dwYCountChars = 0, dwFillAttribute = 0;
    DWORD dwFlags = 0;
    WORD wShowWindow = 0;
    WORD cbReserved2 = 0;
    BYTE* lpReserved2 = nullptr;
    // Only null is understood: with STARTF_USESTDHANDLES a null handle is an empty stream.
    HANDLE hStdInput = nullptr;
    HANDLE hStdOutput = nullptr;
    HANDLE hStdError = nullptr;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess = nullptr;
    HANDLE hThread = nullptr;
    DWORD dwProcessId = 0;
    DWORD dwThreadId = 0;
};

// appName, when given, names the program and cmdLine supplies the arguments (its first
// token is then only argv[0]). cmdLine may be "cmd /c <command>" with redirections (see
// cmdline.h). A program "x.exe" that does not exist is looked for as "x". Without a
// folder the program is searched beside this program, then on PATH. env is a
// Windows environment block ("A=1\0B=2\0\0") or null for ours; curDir null for ours.
// FALSE with GetLastError ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND (redirection
// target), ERROR_ACCESS_DENIED, ERROR_DIRECTORY (curDir), ERROR_INVALID_PARAMETER.
BOOL CreateProcessA(const char* appName, char* cmdLine, SECURITY_ATTRIBUTES* procAttrs,
                    SECURITY_ATTRIBUTES* threadAttrs, BOOL inheritHandles, DWORD flags, void* env,
                    const char* curDir, STARTUPINFOA* startup, PROCESS_INFORMATION* procInfo);
// STILL_ACTIVE (259) while running; then the exit code (128 + signal for a signal,
// the TerminateProcess code when ended by it). Takes a process or its thread handle.
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);
// Kills the process and its process group; its exit code becomes exitCode.
BOOL TerminateProcess(HANDLE process, UINT exitCode);
DWORD GetProcessId(HANDLE process);

// Platform helpers for the rest of this layer.
// The full path of a program: a name with a folder as it is, else searched on PATH;
// "x.exe" falls back to "x". Empty when not found or not executable.
std::string SearchProgram(const std::string& name);
// Starts a program that nobody waits for (openers, viewers); it is reaped when it ends.
// Returns 0 or an errno value.
int SpawnDetached(const std::vector<std::string>& argv);
// Reaps every ended child of this layer whose exit nobody can still ask for. Runs by
// itself on SIGCHLD and on every call into this unit; callable from the event loop.
void ReapFinishedProcesses();
