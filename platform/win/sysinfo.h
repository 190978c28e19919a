// System folders and the user's name. The "Windows folder" is where a program keeps
// settings of its own outside its folder (the user's configuration folder here); the
// "system folder" is where the shared libraries live.
#pragma once

#include "platform/win/wintypes.h"

// Both copy the folder without a trailing separator and return its length; when the buffer
// is too small they copy nothing and return the size needed (with the terminating NUL).
UINT GetWindowsDirectoryA(char* buffer, UINT size);
UINT GetSystemDirectoryA(char* buffer, UINT size);
// The login name. *size holds the buffer size in; the length with the NUL out. FALSE with
// ERROR_INSUFFICIENT_BUFFER (and the size needed) when it does not fit.
BOOL GetUserNameA(char* buffer, DWORD* size);
