#include "platform/win/com.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>

#include "platform/win/guid.h"

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

HRESULT CoCreateGuid(GUID* out) {
    if (!out) return E_POINTER;
    uint8_t b[16] = {};
    std::random_device rd;
    for (uint8_t& x : b) x = uint8_t(rd());
    b[6] = uint8_t((b[6] & 0x0F) | 0x40);  // version 4
    b[8] = uint8_t((b[8] & 0x3F) | 0x80);  // the standard variant
    out->Data1 = DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 | DWORD(b[3]) << 24;
    out->Data2 = WORD(b[4] | b[5] << 8);
    out->Data3 = WORD(b[6] | b[7] << 8);
    for (int i = 0; i < 8; ++i) out->Data4[i] = b[8 + i];
    return S_OK;
}
