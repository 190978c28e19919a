#include "platform/win/handles.h"

#include "platform/win/handleTable.h"

#include <cstdint>

namespace {
TypedHandles<KernelObject>& Kernel() {
    static TypedHandles<KernelObject> table(HandleKind::Kernel);
    return table;
}
}  // namespace

DWORD KernelObject::Wait(DWORD) { return WAIT_FAILED; }

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
    return reinterpret_cast<HANDLE>(Kernel().Add(std::move(object)));
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE h) {
    return Kernel().Find(reinterpret_cast<uintptr_t>(h));
}

BOOL CloseHandle(HANDLE h) {
    if (!Kernel().Remove(reinterpret_cast<uintptr_t>(h))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    return TRUE_;
}
DWORD WaitForSingleObject(HANDLE h, DWORD ms) {
    auto obj = LookupHandle(h);
    if (!obj) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    DWORD r = obj->Wait(ms);
    if (r == WAIT_FAILED) SetLastError(ERROR_INVALID_HANDLE);
    return r;
}
