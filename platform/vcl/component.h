// The component model: owned components with names, published properties registered per
// class (with their defaults), and event handlers bound by name when a form is read.
#pragma once

#include <any>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/rtl/classes.h"

class TComponent;
class TPersistent;

// A property value as a text form file writes it.
struct TDfmValue {
    enum Kind { vInt, vFloat, vString, vIdent, vSet, vList, vBinary, vCollection } kind = vInt;
    long long i = 0;
    double f = 0;
    std::string s;                 // string, identifier, or binary bytes
    std::vector<std::string> set;  // [a, b]
    std::vector<TDfmValue> list;   // ( ... )
    // collection items: each a list of (name, value)
    std::vector<std::vector<std::pair<std::string, TDfmValue>>> items;

    // Defined where the type is complete: a constructor made inline would ask whether the
    // pairs above can be built before TDfmValue itself is known (clang rejects that).
    TDfmValue();

    int AsInt() const;  // also accepts True/False and clXxx colour names
    bool AsBool() const;
    double AsFloat() const;
    const std::string& AsString() const { return s; }
    std::vector<std::string> AsStrings() const;  // a list of strings
};

// An enumeration property: an identifier stands for its position among `names` (compared
// without case), a number for itself.
template <class E>
E IdentOf(const TDfmValue& v, std::initializer_list<const char*> names) {
    if (v.kind != TDfmValue::vIdent) return E(v.AsInt());
    int i = 0;
    for (const char* n : names) {
        if (SameText(v.s, n)) return E(i);
        ++i;
    }
    throw EReadError("Invalid property value: " + v.s);
}

// A property's setter gets the object it belongs to: a component, or a sub-object reached
// through a class property ("Font.Color" sets Color of the control's Font).
using TPropSetter = std::function<void(TPersistent*, const TDfmValue&)>;
using TComponentPropSetter = std::function<void(TComponent*, const TDfmValue&)>;
using TSubObjectGetter = std::function<TPersistent*(TPersistent*)>;

// What a published property holds, as the form reader treats it.
enum class TPropKind {
    Value,      // an ordinal, enumeration, set, colour, string or float
    Object,     // an owned sub-object: its own published properties follow a dot
    Reference,  // a component named in the form, bound once every component exists
    Event,      // a handler of the form, bound by its name
    Stored      // data the object defines beyond its published ones (DefineProperties)
};

struct TPropInfo {
    std::string name;
    TPropSetter set;
    std::string defaultText;  // the declared default, as written in a form ("" = none)
    TPropKind kind = TPropKind::Value;
    TSubObjectGetter object;  // for TPropKind::Object
};

struct TClassInfo {
    std::string name;
    std::string parent;
    std::function<TComponent*(TComponent* owner)> create;  // null for abstract classes
    std::vector<TPropInfo> props;
};

// Registers a class; its properties are added with RegisterProperty.
void RegisterComponentClass(const std::string& name, const std::string& parent,
                            std::function<TComponent*(TComponent*)> create);
void RegisterProperty(const std::string& className, const std::string& prop,
                      TComponentPropSetter set, const std::string& defaultText = "");
// The same for any persistent class (sub-objects included), with the property's kind.
void RegisterPublished(const std::string& className, const std::string& prop, TPropSetter set,
                       const std::string& defaultText = "", TPropKind kind = TPropKind::Value);
// A class property whose object the owner keeps: "Name.Sub = value" sets Sub of that object,
// looked up by the object's own class.
void RegisterSubObject(const std::string& className, const std::string& prop,
                       TSubObjectGetter object);
const TClassInfo* FindClassInfo(const std::string& name);
// Every registered class (for listings and tests).
std::vector<const TClassInfo*> RegisteredClasses();
// The setter of a property, looked up along the class's ancestors (names ignore case).
const TPropInfo* FindPropInfo(const std::string& className, const std::string& prop);
// Follows a dotted path from `obj` through its class properties: answers the property that
// sets the last name and moves `obj` to the object it belongs to; null when a name along
// the way is not published. A name registered whole ("Font.Color") is found first.
const TPropInfo* FindPropertyPath(TPersistent*& obj, const std::string& path);
bool InheritsFrom(const std::string& className, const std::string& ancestor);

// Binds a component reference read from a form: `bind` gets the component of that name once
// every component of the form exists (right away outside form reading). A name of the form
// "Form.Component" is looked up among the application's forms. An unknown name raises
// EReadError when the reference is resolved.
void ResolveReferenceLater(const std::string& name, std::function<void(TComponent*)> bind);

// Looks up an event handler of the form being read by its name; raises EReadError when
// the form has no such method or it has another type.
template <class E>
E ResolveEvent(TComponent* root, const std::string& name);
// The root component of the form file currently being read.
TComponent* ReadingRoot();

// Registration helper: TClassReg<TEdit>("TEdit", "TWinControl") then .prop(...) calls.
// Classes that are not components (look objects, fonts, brushes) are registered with
// creatable = false so that their published properties can be reached through a dot.
template <class C>
struct TClassReg {
    std::string name;
    TClassReg(const std::string& n, const std::string& parent, bool creatable = true) : name(n) {
        if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*> &&
                      !std::is_abstract_v<C>) {
            if (creatable) {
                RegisterComponentClass(
                    n, parent, [](TComponent* owner) -> TComponent* { return new C(owner); });
                return;
            }
        }
        RegisterComponentClass(n, parent, nullptr);
    }
    TClassReg& prop(const std::string& p, std::function<void(C*, const TDfmValue&)> f,
                    const std::string& def = "") {
        RegisterPublished(
            name, p, [f](TPersistent* c, const TDfmValue& v) { f(static_cast<C*>(c), v); }, def);
        return *this;
    }
    // Stored data the object defines itself: kept apart from the published values.
    TClassReg& stored(const std::string& p, std::function<void(C*, const TDfmValue&)> f) {
        RegisterPublished(
            name, p, [f](TPersistent* c, const TDfmValue& v) { f(static_cast<C*>(c), v); }, "",
            TPropKind::Stored);
        return *this;
    }
    // An owned sub-object.
    template <class S, class Owner>
    TClassReg& object(const std::string& p, S* (Owner::*get)()) {
        RegisterSubObject(name, p, [get](TPersistent* c) -> TPersistent* {
            return (static_cast<C*>(c)->*get)();
        });
        return *this;
    }
    template <class S, class Owner>
    TClassReg& object(const std::string& p, S* (Owner::*get)() const) {
        RegisterSubObject(name, p, [get](TPersistent* c) -> TPersistent* {
            return (static_cast<C*>(c)->*get)();
        });
        return *this;
    }
    TClassReg& object(const std::string& p, std::function<TPersistent*(C*)> get) {
        RegisterSubObject(
            name, p, [get](TPersistent* c) -> TPersistent* { return get(static_cast<C*>(c)); });
        return *this;
    }
    // A component named in the form; `nil` clears it.
    template <class T>
    TClassReg& reference(const std::string& p, std::function<void(C*, T*)> set);
    // A handler of the form, named by the value.
    template <class E>
    TClassReg& event(const std::string& p, std::function<void(C*, E)> set) {
        RegisterPublished(
            name, p,
            [set](TPersistent* c, const TDfmValue& v) {
                set(static_cast<C*>(c), ResolveEvent<E>(ReadingRoot(), v.AsString()));
            },
            "", TPropKind::Event);
        return *this;
    }
};

enum TOperation { opInsert, opRemove };

class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    std::string ClassName() const override { return "TComponent"; }

    std::string Name;
    // Names the component; controls may let their caption follow.
    virtual void SetName(const std::string& name) { Name = name; }
    int Tag = 0;
    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return int(components_.size()); }
    TComponent* Components(int i) const { return components_.at(size_t(i)); }
    TComponent* FindComponent(const std::string& name) const;  // among owned components
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);
    bool Loading() const { return loading_; }
    bool Destroying() const { return destroying_; }

    virtual void Notification(TComponent* c, TOperation op);
    // Asks to hear of `c`'s removal (Notification with opRemove) whoever owns either of the
    // two; the request holds both ways, so whichever goes first tells the other. Asking
    // again changes nothing; RemoveFreeNotification withdraws the request, but not the
    // references a ReferTo keeps between the two.
    void FreeNotification(TComponent* c);
    void RemoveFreeNotification(TComponent* c);
    // Called after a form file has set the component's properties.
    virtual void Loaded();
    // A form file names the object a non-visual component is nested in (a list's item in
    // its list); controls get their parent window instead.
    virtual void SetParentComponent(TComponent*) {}
    void SetLoading(bool on) { loading_ = on; }

    // Forms bind their published fields and event handlers by name.
    // A binder answers false when the component is not of the field's class.
    std::map<std::string, std::function<bool(TComponent*)>> FieldBinders;
    std::map<std::string, std::any> Methods;
    template <class T>
    void BindField(const std::string& name, T*& field) {
        FieldBinders[name] = [&field](TComponent* c) {
            field = dynamic_cast<T*>(c);
            return field != nullptr;
        };
    }
    template <class E, class Obj, class... A>
    void BindMethod(const std::string& name, Obj* self, void (Obj::*m)(A...)) {
        Methods[name] = E([self, m](A... a) { (self->*m)(std::forward<A>(a)...); });
    }

protected:
    bool destroying_ = false;
    // Points a reference field (a published reference or any other pointer to a component
    // this one does not own) at `value`. Each reference counts: the two hear of each
    // other's removal while any reference or request between them stands, so letting one
    // reference go keeps another that names the same component. Notification clears the
    // field with ReferTo(field, nullptr) too.
    template <class T>
    void ReferTo(T*& field, std::type_identity_t<T>* value) {
        TComponent* const old = field;
        field = value;
        MoveReference(old, value);
    }
    void MoveReference(TComponent* from, TComponent* to);

private:
    // What ties two components for their free notification; both keep the same record.
    struct FreeLink {
        TComponent* other = nullptr;
        bool asked = false;  // FreeNotification by either of the two
        int references = 0;  // ReferTo fields of either naming the other
    };
    FreeLink* LinkWith(const TComponent* c);
    // Changes the pair's record on both sides (asked: +1 sets, -1 clears, 0 keeps) and drops
    // it once nothing holds it.
    void ChangeLink(TComponent* c, int asked, int references);
    // Tells every component that asked for it that this one goes, and drops the requests.
    void SendFreeNotifications();
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<FreeLink> freeLinks_;
    bool loading_ = false;
};

template <class E>
E ResolveEvent(TComponent* root, const std::string& name) {
    if (!root) throw EReadError("Invalid property value: " + name);
    auto it = root->Methods.find(name);
    if (it == root->Methods.end()) throw EReadError("Method '" + name + "' not found");
    if (const E* e = std::any_cast<E>(&it->second)) return *e;
    throw EReadError("Method '" + name + "' has the wrong type");
}

template <class C>
template <class T>
TClassReg<C>& TClassReg<C>::reference(const std::string& p, std::function<void(C*, T*)> set) {
    RegisterPublished(
        name, p,
        [set, p](TPersistent* c, const TDfmValue& v) {
            auto* self = static_cast<C*>(c);
            if (v.kind == TDfmValue::vIdent && SameText(v.s, "nil")) return set(self, nullptr);
            if (v.kind != TDfmValue::vIdent && v.kind != TDfmValue::vString)
                throw EReadError("Invalid property value for " + p);
            const std::string target = v.s;
            ResolveReferenceLater(target, [set, self, target, p](TComponent* found) {
                T* typed = dynamic_cast<T*>(found);
                if (!typed)
                    throw EReadError("Invalid property value: " + target + " cannot be the " + p);
                set(self, typed);
            });
        },
        "", TPropKind::Reference);
    return *this;
}
