#include "platform/win/globalMemory.h"

#include <new>
#include <vector>

#include "platform/win/objectTable.h"

namespace {

struct Block {
    std::vector<unsigned char> bytes;
    int locks = 0;
};

ObjectTable<Block>& Blocks() {
    static ObjectTable<Block> table(HandleKind::GlobalMemory);
    return table;
}

uintptr_t IdOf(HGLOBAL h) { return reinterpret_cast<uintptr_t>(h); }

constexpr size_t kLargestBlock = size_t(1) << 30;

}  // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    if (bytes > kLargestBlock) return nullptr;
    auto block = std::make_shared<Block>();
    try {
        // The storage never moves while the handle lives, so a lock is a plain pointer.
        block->bytes.assign(bytes == 0 ? 1 : bytes, 0);
        block->bytes.resize(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return reinterpret_cast<HGLOBAL>(Blocks().Add(std::move(block)));
}

void* GlobalLock(HGLOBAL mem) {
    auto b = Blocks().Find(IdOf(mem));
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++b->locks;
    return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL mem) {
    auto b = Blocks().Find(IdOf(mem));
    if (!b || b->locks == 0) return FALSE_;
    return --b->locks > 0 ? TRUE_ : FALSE_;
}

size_t GlobalSize(HGLOBAL mem) {
    auto b = Blocks().Find(IdOf(mem));
    return b ? b->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    if (Blocks().Remove(IdOf(mem))) return nullptr;
    SetLastError(ERROR_INVALID_HANDLE);
    return mem;
}
