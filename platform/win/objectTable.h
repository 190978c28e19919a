// Handles as counted ids: each kind of object has its own table and its own id range, so a
// stale, destroyed or foreign handle is recognised instead of being followed as a pointer.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

template <class T>
class ObjectTable {
public:
    explicit ObjectTable(uintptr_t base) : next_(base) {}
    uintptr_t Add(std::shared_ptr<T> object) {
        uintptr_t id = next_;
        next_ += 4;
        objects_[id] = std::move(object);
        return id;
    }
    std::shared_ptr<T> Find(uintptr_t id) const {
        auto it = objects_.find(id);
        return it == objects_.end() ? nullptr : it->second;
    }
    bool Remove(uintptr_t id) { return objects_.erase(id) > 0; }
    size_t Count() const { return objects_.size(); }

private:
    uintptr_t next_;
    std::map<uintptr_t, std::shared_ptr<T>> objects_;
};
