#include "platform/win/handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace {
std::mutex g_mutex;
std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> g_table;
// Values grow and are never reused, so a stale handle never reaches a newer object.
uintptr_t g_next = 0x1000;
}  // namespace

DWORD KernelObject::Wait(DWORD) { return WAIT_FAILED; }

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
    std::lock_guard<std::mutex> lock(g_mutex);
    uintptr_t v = g_next;
    g_next += 4;
    g_table.emplace(v, std::move(object));
    return reinterpret_cast<HANDLE>(v);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE h) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_table.find(reinterpret_cast<uintptr_t>(h));
    return it == g_table.end() ? nullptr : it->second;
}

BOOL CloseHandle(HANDLE h) {
    std::shared_ptr<KernelObject> obj;  // released outside the lock
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto it = g_table.find(reinterpret_cast<uintptr_t>(h));
        if (it == g_table.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE_;
        }
        obj = std::move(it->second);
        g_table.erase(it);
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
