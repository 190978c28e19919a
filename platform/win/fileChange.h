// Folder change notifications and the exclusive open of a file, as the Win32 calls give
// them. A change handle is signalled when something of the kinds asked for happens in
// its folder; while it exists it also ends a wait for the next window message, so a loop
// that handles messages wakes on the change as it would under MsgWaitForMultipleObjects.
#pragma once

#include "platform/win/wintypes.h"

constexpr DWORD FILE_NOTIFY_CHANGE_FILE_NAME = 0x00000001;  // created, deleted, renamed
constexpr DWORD FILE_NOTIFY_CHANGE_SIZE = 0x00000008;       // written to
constexpr DWORD FILE_NOTIFY_CHANGE_LAST_WRITE =
    0x00000010;  // a writer finished, or a file arrived whole by a rename

// INVALID_HANDLE_VALUE with ERROR_PATH_NOT_FOUND when the folder does not exist, or
// ERROR_INVALID_PARAMETER for a subtree watch or an empty filter (not supported).
HANDLE FindFirstChangeNotificationA(const char* path, BOOL watchSubtree, DWORD filter);
// Resets the handle: it is signalled again at the next change after this call.
BOOL FindNextChangeNotification(HANDLE h);
BOOL FindCloseChangeNotification(HANDLE h);

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;

// Opens an existing file for reading (GENERIC_READ and OPEN_EXISTING only). Without
// FILE_SHARE_WRITE the open fails with ERROR_SHARING_VIOLATION while any process has the
// file open for writing, which tells a file still being written from a complete one.
// Other failures: ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_PARAMETER.
// The handle is closed with CloseHandle.
HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
