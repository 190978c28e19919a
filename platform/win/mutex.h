// Named mutexes shared by every process of the user: held by one thread of one process at
// a time, taken again by the holder without blocking, waited for with WaitForSingleObject.
#pragma once

#include "platform/win/handles.h"

struct SECURITY_ATTRIBUTES;

// GetLastError() is ERROR_ALREADY_EXISTS after the call when another handle of the name
// was open (in this process or another one). The name is any text.
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, const char* name);
BOOL ReleaseMutex(HANDLE mutex);

// Lets go of every name this process still has open, as closing its handles would: the
// files of a name nobody else has open are removed. For a program that ends without
// closing its handles (Halt, an ending signal); only system calls, so a signal handler
// may call it.
void CloseNamedMutexesNow();
