// Every handle the platform gives out is an id in one table. An id carries its kind, ids are
// never reused, and a handle looked up as another kind is not found, so a stale, destroyed or
// foreign handle is recognised instead of being followed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

enum class HandleKind : uint8_t { None, Kernel, Gdi, Window, Icon, ImageList, Theme, GlobalMemory };

namespace handles {

// Enters the object and returns its new id (a multiple of 4, at least 0x10000).
uintptr_t Add(HandleKind kind, std::shared_ptr<void> object);
// The object behind a live id of the kind, else null.
std::shared_ptr<void> Find(uintptr_t id, HandleKind kind);
// Removes a live id of the kind; false when the id is unknown or of another kind. The object
// is released after the table lets go of its lock.
bool Remove(uintptr_t id, HandleKind kind);
// Makes a live id of the kind refer to another object; false when there is no such id.
bool Replace(uintptr_t id, HandleKind kind, std::shared_ptr<void> object);
// The kind of a live id, or None.
HandleKind KindOf(uintptr_t id);
size_t Count(HandleKind kind);

}  // namespace handles

// The ids of one kind, as typed objects.
template <class T>
class TypedHandles {
public:
    explicit TypedHandles(HandleKind kind) : kind_(kind) {}
    uintptr_t Add(std::shared_ptr<T> object) { return handles::Add(kind_, std::move(object)); }
    std::shared_ptr<T> Find(uintptr_t id) const {
        return std::static_pointer_cast<T>(handles::Find(id, kind_));
    }
    bool Remove(uintptr_t id) { return handles::Remove(id, kind_); }
    bool Replace(uintptr_t id, std::shared_ptr<T> object) {
        return handles::Replace(id, kind_, std::move(object));
    }
    size_t Count() const { return handles::Count(kind_); }

private:
    HandleKind kind_;
};
