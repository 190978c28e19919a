#include "platform/vcl/component.h"

#include <algorithm>

#include "platform/vcl/graphics.h"

namespace {

std::map<std::string, TClassInfo>& Classes() {
    static std::map<std::string, TClassInfo> classes;
    return classes;
}

}  // namespace

TDfmValue::TDfmValue() = default;

int TDfmValue::AsInt() const {
    switch (kind) {
        case vInt:
            return int(i);
        case vFloat:
            return int(f);
        case vIdent: {
            if (SameText(s, "True")) return 1;
            if (SameText(s, "False")) return 0;
            TColor c;
            if (IdentToColor(s, c)) return int(c);
            throw EReadError("Invalid property value: " + s);
        }
        default:
            throw EReadError("Invalid property value");
    }
}

bool TDfmValue::AsBool() const { return AsInt() != 0; }
double TDfmValue::AsFloat() const { return kind == vFloat ? f : double(AsInt()); }

std::vector<std::string> TDfmValue::AsStrings() const {
    std::vector<std::string> r;
    for (const auto& v : list) r.push_back(v.s);
    return r;
}

void RegisterComponentClass(const std::string& name, const std::string& parent,
                            std::function<TComponent*(TComponent*)> create) {
    auto& info = Classes()[LowerCase(name)];
    info.name = name;
    info.parent = parent;
    info.create = std::move(create);
}

void RegisterPublished(const std::string& className, const std::string& prop, TPropSetter set,
                       const std::string& defaultText, TPropKind kind) {
    auto& info = Classes()[LowerCase(className)];
    for (auto& p : info.props)
        if (SameText(p.name, prop)) {
            p.set = std::move(set);
            p.defaultText = defaultText;
            p.kind = kind;
            p.object = nullptr;
            return;
        }
    info.props.push_back(TPropInfo{prop, std::move(set), defaultText, kind, nullptr});
}

void RegisterProperty(const std::string& className, const std::string& prop,
                      TComponentPropSetter set, const std::string& defaultText) {
    RegisterPublished(
        className, prop,
        [set = std::move(set)](TPersistent* c, const TDfmValue& v) {
            set(static_cast<TComponent*>(c), v);
        },
        defaultText);
}

void RegisterSubObject(const std::string& className, const std::string& prop,
                       TSubObjectGetter object) {
    RegisterPublished(
        className, prop,
        [prop](TPersistent*, const TDfmValue&) {
            throw EReadError("Invalid property value: " + prop + " is an object");
        },
        "", TPropKind::Object);
    // RegisterPublished keeps one property of a name, so one property takes the getter.
    auto& info = Classes()[LowerCase(className)];
    const auto named = std::find_if(info.props.begin(), info.props.end(),
                                    [&](const auto& p) { return SameText(p.name, prop); });
    if (named != info.props.end()) named->object = std::move(object);
}

const TClassInfo* FindClassInfo(const std::string& name) {
    auto it = Classes().find(LowerCase(name));
    return it == Classes().end() ? nullptr : &it->second;
}

std::vector<const TClassInfo*> RegisteredClasses() {
    std::vector<const TClassInfo*> all;
    for (const auto& c : Classes()) all.push_back(&c.second);
    return all;
}

const TPropInfo* FindPropInfo(const std::string& className, const std::string& prop) {
    for (const TClassInfo* c = FindClassInfo(className); c;
         c = c->parent.empty() ? nullptr : FindClassInfo(c->parent))
        for (const auto& p : c->props)
            if (SameText(p.name, prop)) return &p;
    return nullptr;
}

const TPropInfo* FindPropertyPath(TPersistent*& obj, const std::string& path) {
    if (!obj) return nullptr;
    if (const TPropInfo* whole = FindPropInfo(obj->ClassName(), path)) return whole;
    const size_t dot = path.find('.');
    if (dot == std::string::npos) return nullptr;
    const TPropInfo* head = FindPropInfo(obj->ClassName(), path.substr(0, dot));
    if (!head || head->kind != TPropKind::Object || !head->object) return nullptr;
    TPersistent* sub = head->object(obj);
    if (!sub) return nullptr;
    const TPropInfo* found = FindPropertyPath(sub, path.substr(dot + 1));
    if (found) obj = sub;
    return found;
}

bool InheritsFrom(const std::string& className, const std::string& ancestor) {
    for (const TClassInfo* c = FindClassInfo(className); c;
         c = c->parent.empty() ? nullptr : FindClassInfo(c->parent))
        if (SameText(c->name, ancestor)) return true;
    return false;
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    SendFreeNotifications();
    // Owned components go first, the last created first.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        delete c;
    }
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->Name, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
    components_.push_back(c);
    c->owner_ = this;
    Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it == components_.end()) return;
    components_.erase(it);
    c->owner_ = nullptr;
    if (!destroying_) Notification(c, opRemove);
}

// A removal is told to every owned component too, so references to the removed one can
// be dropped.
void TComponent::Notification(TComponent* c, TOperation op) {
    if (op != opRemove || !c) return;
    for (size_t i = components_.size(); i-- > 0;)
        if (i < components_.size() && components_[i] != c) components_[i]->Notification(c, op);
}
void TComponent::Loaded() { loading_ = false; }

void TComponent::FreeNotification(TComponent* c) {
    if (c && c != this) ChangeLink(c, 1, 0);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
    if (c && c != this) ChangeLink(c, -1, 0);
}

void TComponent::MoveReference(TComponent* from, TComponent* to) {
    if (from == to) return;
    // The new one first: a reference moved between two fields never drops the link.
    if (to && to != this) ChangeLink(to, 0, 1);
    if (from && from != this) ChangeLink(from, 0, -1);
}

TComponent::FreeLink* TComponent::LinkWith(const TComponent* c) {
    for (FreeLink& l : freeLinks_)
        if (l.other == c) return &l;
    return nullptr;
}

// A record only on this side means `c` is gone already (its removal dropped the pair), so
// `c` is touched only when this side has one.
void TComponent::ChangeLink(TComponent* c, int asked, int references) {
    FreeLink* mine = LinkWith(c);
    if (!mine) {
        if (asked <= 0 && references <= 0) return;
        freeLinks_.push_back(FreeLink{c});
        c->freeLinks_.push_back(FreeLink{this});
        mine = &freeLinks_.back();
    }
    FreeLink next = *mine;
    if (asked != 0) next.asked = asked > 0;
    next.references = std::max(0, next.references + references);
    auto drop = [](std::vector<FreeLink>& v, const TComponent* x) {
        v.erase(std::remove_if(v.begin(), v.end(), [x](const FreeLink& l) { return l.other == x; }),
                v.end());
    };
    if (!next.asked && next.references == 0) {
        drop(freeLinks_, c);
        drop(c->freeLinks_, this);
        return;
    }
    next.other = c;
    *mine = next;
    next.other = this;
    *c->LinkWith(this) = next;
}

// Runs while this component goes: those told compare the pointer and drop their references;
// the part of this object above TComponent is gone already.
void TComponent::SendFreeNotifications() {
    while (!freeLinks_.empty()) {
        TComponent* other = freeLinks_.back().other;
        freeLinks_.pop_back();
        auto& back = other->freeLinks_;
        back.erase(std::remove_if(back.begin(), back.end(),
                                  [this](const FreeLink& l) { return l.other == this; }),
                   back.end());
        other->Notification(this, opRemove);
    }
}
