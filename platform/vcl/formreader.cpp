#include "platform/vcl/formreader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>

#include "platform/rtl/resources.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/utf8.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"

namespace {

TComponent* g_readingRoot = nullptr;

// References named in the form being read, bound once all of its components exist.
struct TPendingReference {
    std::string name;
    std::function<void(TComponent*)> bind;
    int line;
};
std::vector<TPendingReference>* g_pendingReferences = nullptr;
int g_currentLine = 0;

// The component a form names: the root itself, one of its components, or, for
// "Form.Component", a component of another of the application's forms.
TComponent* FindNamedComponent(TComponent* root, const std::string& name) {
    if (root) {
        if (SameText(root->Name, name)) return root;
        if (TComponent* c = root->FindComponent(name)) return c;
    }
    const size_t dot = name.find('.');
    if (dot == std::string::npos || !Screen) return nullptr;
    const std::string formName = name.substr(0, dot);
    for (TForm* f : Screen->Forms)
        if (f && SameText(f->Name, formName)) return f->FindComponent(name.substr(dot + 1));
    return nullptr;
}

void BindReference(TComponent* root, const std::string& name,
                   const std::function<void(TComponent*)>& bind) {
    TComponent* found = FindNamedComponent(root, name);
    if (!found) throw EReadError("Invalid property value: component " + name + " not found");
    bind(found);
}

class Lexer {
public:
    explicit Lexer(const std::string& t) : s_(t) {}
    int line() const { return line_; }
    [[noreturn]] void fail(const std::string& what) const {
        throw EReadError("Error reading form, line " + IntToStr(line_) + ": " + what);
    }
    void skipSpace() {
        for (;;) {
            while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) {
                if (s_[i_] == '\n') ++line_;
                ++i_;
            }
            if (i_ + 1 < s_.size() && s_[i_] == '/' && s_[i_ + 1] == '/') {
                while (i_ < s_.size() && s_[i_] != '\n') ++i_;
                continue;
            }
            return;
        }
    }
    bool atEnd() {
        skipSpace();
        return i_ >= s_.size();
    }
    char peek() {
        skipSpace();
        return i_ < s_.size() ? s_[i_] : '\0';
    }
    void expect(char c) {
        if (peek() != c) fail(std::string("'") + c + "' expected");
        ++i_;
    }
    bool accept(char c) {
        if (peek() != c) return false;
        ++i_;
        return true;
    }
    // Identifier, possibly dotted ("Font.Name", "Items.Strings").
    std::string ident() {
        skipSpace();
        size_t b = i_;
        while (i_ < s_.size() &&
               (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_' || s_[i_] == '.'))
            ++i_;
        if (b == i_) fail("identifier expected");
        return s_.substr(b, i_ - b);
    }
    bool peekIdent(const char* word) {
        skipSpace();
        size_t n = std::strlen(word);
        if (s_.compare(i_, n, word) != 0 && !SameText(s_.substr(i_, n), word)) return false;
        return i_ + n >= s_.size() ||
               !(std::isalnum(static_cast<unsigned char>(s_[i_ + n])) || s_[i_ + n] == '_');
    }

    TDfmValue value() {
        char c = peek();
        TDfmValue v;
        if (c == '\'' || c == '#') {
            v.kind = TDfmValue::vString;
            v.s = stringValue();
            return v;
        }
        if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c)) || c == '$') {
            size_t b = i_;
            if (s_[i_] == '-' || s_[i_] == '+') ++i_;
            if (i_ < s_.size() && s_[i_] == '$') {
                ++i_;
                while (i_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
            } else {
                while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) ||
                                          s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E'))
                    ++i_;
            }
            std::string num = s_.substr(b, i_ - b);
            long long iv;
            if (TryStrToInt(num, iv)) {
                v.kind = TDfmValue::vInt;
                v.i = iv;
            } else {
                v.kind = TDfmValue::vFloat;
                v.f = StrToFloat(num);
            }
            return v;
        }
        if (c == '[') {
            ++i_;
            v.kind = TDfmValue::vSet;
            while (!accept(']')) {
                v.set.push_back(ident());
                accept(',');
            }
            return v;
        }
        if (c == '(') {
            ++i_;
            v.kind = TDfmValue::vList;
            while (!accept(')')) v.list.push_back(value());
            return v;
        }
        if (c == '{') {
            ++i_;
            v.kind = TDfmValue::vBinary;
            std::string hex;
            while (i_ < s_.size() && s_[i_] != '}') {
                if (std::isxdigit(static_cast<unsigned char>(s_[i_]))) hex += s_[i_];
                if (s_[i_] == '\n') ++line_;
                ++i_;
            }
            expect('}');
            if (hex.size() % 2) fail("odd binary data");
            for (size_t k = 0; k < hex.size(); k += 2)
                v.s += char(std::stoi(hex.substr(k, 2), nullptr, 16));
            return v;
        }
        if (c == '<') {
            ++i_;
            v.kind = TDfmValue::vCollection;
            while (!accept('>')) {
                if (!peekIdent("item")) fail("item expected");
                ident();
                std::vector<std::pair<std::string, TDfmValue>> item;
                while (!peekIdent("end")) {
                    std::string name = ident();
                    expect('=');
                    item.emplace_back(name, value());
                }
                ident();  // end
                v.items.push_back(std::move(item));
            }
            return v;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            v.kind = TDfmValue::vIdent;
            v.s = ident();
            return v;
        }
        fail("value expected");
    }

private:
    // 'text' pieces, #nnn character codes (as UTF-8) and '+' continuations.
    std::string stringValue() {
        std::string out;
        bool first = true;
        for (;;) {
            // Pieces join when they touch ('a'#13'b') or when a "+" stands between them;
            // strings separated only by blanks are separate values (as in a list).
            char c;
            if (first || (i_ < s_.size() && (s_[i_] == '\'' || s_[i_] == '#'))) {
                c = first ? peek() : s_[i_];
            } else {
                size_t save = i_;
                int saveLine = line_;
                if (peek() != '+') {
                    i_ = save;
                    line_ = saveLine;
                    return out;
                }
                ++i_;
                c = peek();
                if (c != '\'' && c != '#') fail("string expected after '+'");
            }
            first = false;
            if (c == '\'') {
                ++i_;
                for (;;) {
                    if (i_ >= s_.size() || s_[i_] == '\n') fail("unterminated string");
                    if (s_[i_] == '\'') {
                        if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
                            out += '\'';
                            i_ += 2;
                            continue;
                        }
                        ++i_;
                        break;
                    }
                    out += s_[i_++];
                }
            } else if (c == '#') {
                ++i_;
                size_t b = i_;
                while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
                if (b == i_) fail("character code expected");
                unsigned cp = unsigned(std::stoul(s_.substr(b, i_ - b)));
                Utf8Append(out, cp);
            } else {
                return out;
            }
        }
    }
    const std::string& s_;
    size_t i_ = 0;
    int line_ = 1;
};

void SetProp(Lexer& lx, TComponent* c, const std::string& name, const TDfmValue& v) {
    TPersistent* target = c;
    const TPropInfo* p = FindPropertyPath(target, name);
    if (!p) lx.fail("property " + c->ClassName() + "." + name + " does not exist");
    g_currentLine = lx.line();
    try {
        p->set(target, v);
    } catch (const EReadError& e) {
        lx.fail(e.Message);
    } catch (const Exception& e) {
        lx.fail(name + ": " + e.Message);
    }
}

void ReadObject(Lexer& lx, TComponent* root, TComponent* self, std::vector<TComponent*>& loaded) {
    // Properties, then nested objects.
    while (!lx.peekIdent("end")) {
        if (lx.peekIdent("object") || lx.peekIdent("inherited")) {
            lx.ident();
            std::string name = lx.ident();
            lx.expect(':');
            std::string cls = lx.ident();
            const TClassInfo* info = FindClassInfo(cls);
            if (!info || !info->create) lx.fail("class " + cls + " not found");
            TComponent* child = info->create(root);
            child->SetLoading(true);
            child->SetName(name);
            loaded.push_back(child);
            if (auto* ctl = dynamic_cast<TControl*>(child)) {
                if (auto* par = dynamic_cast<TWinControl*>(self)) ctl->SetParent(par);
            } else if (self != root) {
                child->SetParentComponent(self);
            }
            auto bind = root->FieldBinders.find(name);
            if (bind != root->FieldBinders.end() && !bind->second(child))
                lx.fail("field " + name + " is not of class " + cls);
            ReadObject(lx, root, child, loaded);
            continue;
        }
        std::string prop = lx.ident();
        lx.expect('=');
        TDfmValue v = lx.value();
        SetProp(lx, self, prop, v);
    }
    lx.ident();  // end
}

}  // namespace

TComponent* ReadingRoot() { return g_readingRoot; }

void ResolveReferenceLater(const std::string& name, std::function<void(TComponent*)> bind) {
    if (!g_pendingReferences) return BindReference(g_readingRoot, name, bind);
    g_pendingReferences->push_back({name, std::move(bind), g_currentLine});
}

void ReadForm(TComponent* root, const std::string& text) {
    Lexer lx(text);
    if (!(lx.peekIdent("object") || lx.peekIdent("inherited"))) lx.fail("'object' expected");
    lx.ident();
    std::string name = lx.ident();
    lx.expect(':');
    lx.ident();  // the root's class: the instance already exists
    std::vector<TComponent*> loaded{root};
    root->SetLoading(true);
    root->SetName(name);
    // A form that fails to read leaves none of its components loading.
    ScopeExit unload([&] {
        for (TComponent* c : loaded) c->SetLoading(false);
    });
    std::vector<TPendingReference> references;
    {
        TComponent* saved = g_readingRoot;
        auto* savedReferences = g_pendingReferences;
        g_readingRoot = root;
        g_pendingReferences = &references;
        ScopeExit restore([&] {
            g_readingRoot = saved;
            g_pendingReferences = savedReferences;
        });
        ReadObject(lx, root, root, loaded);
    }
    // Components may be named before they are read: bind the references now that every
    // component of the form exists.
    for (const TPendingReference& r : references) {
        try {
            BindReference(root, r.name, r.bind);
        } catch (const Exception& e) {
            throw EReadError("Error reading form, line " + IntToStr(r.line) + ": " + e.Message);
        }
    }
    // Every published field must have found its component: a field left null would only
    // show itself much later, at its first use.
    for (const auto& binder : root->FieldBinders) {
        const std::string& field = binder.first;
        const bool found = std::any_of(loaded.begin(), loaded.end(), [&](TComponent* c) {
            return c != root && c->Name == field;
        });
        if (!found) throw EReadError("Form " + name + ": field " + field + " not found");
    }
    unload.Release();
    for (TComponent* c : loaded) c->Loaded();
}

void ReadFormResource(TComponent* root, const std::string& resourceName) {
    ReadForm(root, LoadResourceText("forms/" + resourceName));
}

TDfmValue ParseDfmValue(const std::string& text) {
    Lexer lx(text);
    return lx.value();
}
