#include "platform/win/handleTable.h"

#include <mutex>
#include <unordered_map>
#include <utility>

namespace handles {

namespace {

constexpr int kKinds = 8;
constexpr int kKindShift = 2;  // ids stay multiples of 4, as Windows handles are
constexpr int kSerialShift = 5;

struct Entry {
    HandleKind kind;
    std::shared_ptr<void> object;
};

struct Table {
    std::mutex lock;
    std::unordered_map<uintptr_t, Entry> entries;
    uintptr_t nextSerial = 0x800;  // the first id is 0x10000 and up: clear of small integers
    size_t counts[kKinds] = {};
};

// Never destroyed: objects of static lifetime delete their handles at exit.
Table& The() {
    static Table* t = new Table;
    return *t;
}

HandleKind KindInId(uintptr_t id) { return HandleKind((id >> kKindShift) & (kKinds - 1)); }

}  // namespace

uintptr_t Add(HandleKind kind, std::shared_ptr<void> object) {
    Table& t = The();
    std::lock_guard<std::mutex> hold(t.lock);
    const uintptr_t id = t.nextSerial++ << kSerialShift | uintptr_t(kind) << kKindShift;
    t.entries.emplace(id, Entry{kind, std::move(object)});
    ++t.counts[int(kind)];
    return id;
}

std::shared_ptr<void> Find(uintptr_t id, HandleKind kind) {
    if (KindInId(id) != kind) return nullptr;
    Table& t = The();
    std::lock_guard<std::mutex> hold(t.lock);
    auto it = t.entries.find(id);
    return it == t.entries.end() ? nullptr : it->second.object;
}

bool Remove(uintptr_t id, HandleKind kind) {
    if (KindInId(id) != kind) return false;
    std::shared_ptr<void> released;
    {
        Table& t = The();
        std::lock_guard<std::mutex> hold(t.lock);
        auto it = t.entries.find(id);
        if (it == t.entries.end()) return false;
        released = std::move(it->second.object);
        t.entries.erase(it);
        --t.counts[int(kind)];
    }
    return true;
}

bool Replace(uintptr_t id, HandleKind kind, std::shared_ptr<void> object) {
    if (KindInId(id) != kind) return false;
    std::shared_ptr<void> released;
    {
        Table& t = The();
        std::lock_guard<std::mutex> hold(t.lock);
        auto it = t.entries.find(id);
        if (it == t.entries.end()) return false;
        released = std::exchange(it->second.object, std::move(object));
    }
    return true;
}

HandleKind KindOf(uintptr_t id) {
    Table& t = The();
    std::lock_guard<std::mutex> hold(t.lock);
    auto it = t.entries.find(id);
    return it == t.entries.end() ? HandleKind::None : it->second.kind;
}

size_t Count(HandleKind kind) {
    Table& t = The();
    std::lock_guard<std::mutex> hold(t.lock);
    return t.counts[int(kind)];
}

}  // namespace handles
