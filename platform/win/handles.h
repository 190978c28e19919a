// Kernel-object handles: process, thread and printer handles share one table so that
// CloseHandle and WaitForSingleObject work on any of them and reject stale values.
#pragma once

#include <memory>

#include "platform/win/wintypes.h"

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // WAIT_OBJECT_0 when signalled within `ms` (INFINITE waits for ever), else WAIT_TIMEOUT;
    // objects that cannot be waited for give WAIT_FAILED.
    virtual DWORD Wait(DWORD ms);
};

// Enters the object and returns its new handle (never null, never INVALID_HANDLE_VALUE).
HANDLE AddHandle(std::shared_ptr<KernelObject> object);
// The object behind a handle, or null for an unknown or closed handle.
std::shared_ptr<KernelObject> LookupHandle(HANDLE h);
template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE h) {
    return std::dynamic_pointer_cast<T>(LookupHandle(h));
}
// Removes the handle; the object lives on while other handles refer to it.
// FALSE with ERROR_INVALID_HANDLE for an unknown handle.
BOOL CloseHandle(HANDLE h);
// WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED (ERROR_INVALID_HANDLE).
DWORD WaitForSingleObject(HANDLE h, DWORD ms);
