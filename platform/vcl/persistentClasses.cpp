#include "platform/vcl/persistentClasses.h"

#include <algorithm>
#include <map>

namespace {

struct TPersistentClass {
    std::vector<std::string> ancestors;
    TPersistentFactory make;
};

std::map<std::string, TPersistentClass>& Classes() {
    static std::map<std::string, TPersistentClass> classes;
    return classes;
}

std::map<std::string, std::string>& Groups() {
    static std::map<std::string, std::string> groups;
    return groups;
}

const TPersistentClass* Find(const std::string& name) {
    auto it = Classes().find(LowerCase(name));
    return it == Classes().end() ? nullptr : &it->second;
}

}  // namespace

void RegisterPersistentClass(const std::string& name, const std::vector<std::string>& ancestors,
                             TPersistentFactory make) {
    Classes()[LowerCase(name)] = TPersistentClass{ancestors, std::move(make)};
}

void UnregisterPersistentClass(const std::string& name) { Classes().erase(LowerCase(name)); }

bool IsPersistentClassRegistered(const std::string& name) { return Find(name) != nullptr; }

bool PersistentClassInheritsFrom(const std::string& name, const std::string& ancestor) {
    const TPersistentClass* c = Find(name);
    if (!c) return false;
    if (SameText(name, ancestor)) return true;
    return std::any_of(c->ancestors.begin(), c->ancestors.end(),
                       [&](const std::string& a) { return SameText(a, ancestor); });
}

TPersistent* CreatePersistent(const std::string& name, TPersistent* owner) {
    const TPersistentClass* c = Find(name);
    return c && c->make ? c->make(owner) : nullptr;
}

void GroupDescendentsWith(const std::string& name, const std::string& group) {
    Groups()[LowerCase(name)] = group;
}

std::string ClassGroupOf(const std::string& name) {
    auto own = Groups().find(LowerCase(name));
    if (own != Groups().end()) return own->second;
    if (const TPersistentClass* c = Find(name))
        for (const std::string& a : c->ancestors)
            if (auto it = Groups().find(LowerCase(a)); it != Groups().end()) return it->second;
    return "";
}
