#include "platform/win/com.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// Blocks of the task allocator with their sizes, so DidAlloc and GetSize can answer.
std::map<void*, size_t>& Blocks() {
    static std::map<void*, size_t> blocks;
    return blocks;
}

class TaskAllocator : public IMalloc {
public:
    void* Alloc(size_t size) override { return CoTaskMemAlloc(size); }
    void* Realloc(void* p, size_t size) override {
        if (!p) return CoTaskMemAlloc(size);
        auto it = Blocks().find(p);
        if (it == Blocks().end()) return nullptr;
        void* q = CoTaskMemAlloc(size);
        if (!q) return nullptr;
        std::memcpy(q, p, std::min(size, it->second));
        CoTaskMemFree(p);
        return q;
    }
    void Free(void* p) override { CoTaskMemFree(p); }
    size_t GetSize(void* p) override {
        auto it = Blocks().find(p);
        return it == Blocks().end() ? size_t(-1) : it->second;
    }
    int DidAlloc(void* p) override { return p ? (Blocks().count(p) ? 1 : 0) : -1; }
    void HeapMinimize() override {}
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override { return refs_ > 1 ? --refs_ : 1; }

private:
    uint32_t refs_ = 1;
};

int g_comInits = 0;

}  // namespace

void* CoTaskMemAlloc(size_t size) {
    void* p = std::calloc(1, size ? size : 1);
    if (p) Blocks()[p] = size;
    return p;
}

void CoTaskMemFree(void* p) {
    if (!p) return;
    auto it = Blocks().find(p);
    if (it == Blocks().end()) return;  // not ours: never free what another allocator made
    Blocks().erase(it);
    std::free(p);
}

HRESULT SHGetMalloc(IMalloc** out) {
    if (!out) return E_INVALIDARG;
    static TaskAllocator allocator;
    allocator.AddRef();
    *out = &allocator;
    return S_OK;
}

HRESULT CoInitialize(void*) { return g_comInits++ == 0 ? S_OK : S_FALSE; }
void CoUninitialize() {
    if (g_comInits > 0) --g_comInits;
}
