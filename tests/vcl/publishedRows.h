// Rows of published properties read from small text forms: each row names a class, the
// property lines of one component of it and a check of what arrived. The same rows tell
// which registered properties no row reads.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/vcl/component.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"

namespace published {

// The form the rows are read into; its handlers count their calls.
class TRowsForm : public TForm {
public:
    explicit TRowsForm(TComponent* owner) : TForm(owner) {
        BindMethod<TNotifyEvent>("Clicked", this, &TRowsForm::Clicked);
        BindMethod<TEndDockEvent>("EndDock", this, &TRowsForm::EndDock);
        BindMethod<TStartDockEvent>("StartDock", this, &TRowsForm::StartDock);
    }
    std::string ClassName() const override { return "TRowsForm"; }
    void Clicked(TObject* sender) {
        ++calls;
        lastSender = sender;
    }
    void EndDock(TObject*, TObject*, int, int) { ++calls; }
    void StartDock(TObject*, TDragDockObject*&) { ++calls; }
    int calls = 0;
    TObject* lastSender = nullptr;
};

struct TRow {
    std::string cls;                 // class of the component "Subject"
    std::vector<std::string> lines;  // "Name = value"
    std::function<void(TComponent* subject, TRowsForm* form)> check;
    std::string after;  // components declared after the subject (targets of references)
};

// A row whose check takes the subject as its own class.
template <class C>
TRow Row(const std::string& cls, std::vector<std::string> lines,
         std::function<void(C*, TRowsForm*)> check, const std::string& after = "") {
    return TRow{cls, std::move(lines),
                [check](TComponent* s, TRowsForm* f) {
                    auto* c = dynamic_cast<C*>(s);
                    ASSERT_NE(c, nullptr);
                    check(c, f);
                },
                after};
}

inline std::string FormText(const TRow& row) {
    std::string text = "object RowsForm: TRowsForm\n  object Subject: " + row.cls + "\n";
    for (const std::string& line : row.lines) text += "    " + line + "\n";
    text += "  end\n" + row.after + "end\n";
    return text;
}

// Reads the row's form into a new form (made by `make`) and runs its check.
template <class Form = TRowsForm>
void ReadRow(const TRow& row) {
    SCOPED_TRACE(row.cls + ": " + (row.lines.empty() ? std::string() : row.lines.front()));
    Form form(nullptr);
    try {
        ReadForm(&form, FormText(row));
    } catch (const Exception& e) {
        ADD_FAILURE() << e.Message;
        return;
    }
    TComponent* subject = form.FindComponent("Subject");
    ASSERT_NE(subject, nullptr);
    row.check(subject, &form);
}

// The names a line sets, walked through class properties: every property passed on the way
// counts as reached.
// A name found on a class counts for the ancestors that register it too (a descendant
// registers it again for its own default); a name registered whole ("Bevel.StyleOuter")
// counts for the sub-object's property as well.
inline void MarkName(const std::string& cls, const std::string& name,
                     std::set<const TPropInfo*>& reached) {
    for (const TClassInfo* c = FindClassInfo(cls); c;
         c = c->parent.empty() ? nullptr : FindClassInfo(c->parent))
        for (const TPropInfo& p : c->props)
            if (SameText(p.name, name)) reached.insert(&p);
}

inline void MarkReached(TPersistent* obj, const std::string& path,
                        std::set<const TPropInfo*>& reached) {
    if (!obj) return;
    MarkName(obj->ClassName(), path, reached);
    const size_t dot = path.find('.');
    if (dot == std::string::npos) return;
    const TPropInfo* head = FindPropInfo(obj->ClassName(), path.substr(0, dot));
    if (!head || !head->object) return;
    MarkName(obj->ClassName(), path.substr(0, dot), reached);
    MarkReached(head->object(obj), path.substr(dot + 1), reached);
}

// Every property that the rows read, found on fresh components of the rows' classes.
inline std::set<const TPropInfo*> Reached(const std::vector<TRow>& rows) {
    std::set<const TPropInfo*> reached;
    TRowsForm owner(nullptr);
    for (const TRow& row : rows) {
        const TClassInfo* info = FindClassInfo(row.cls);
        if (!info || !info->create) continue;
        TComponent* c = info->create(&owner);
        for (const std::string& line : row.lines)
            MarkReached(c, Trim(line.substr(0, line.find('='))), reached);
    }
    return reached;
}

// The properties registered on `cls` itself that no row reads.
inline std::vector<std::string> Unread(const std::string& cls,
                                       const std::set<const TPropInfo*>& reached) {
    std::vector<std::string> missing;
    const TClassInfo* info = FindClassInfo(cls);
    if (!info) return {cls + " is not registered"};
    for (const TPropInfo& p : info->props)
        if (!reached.count(&p)) missing.push_back(cls + "." + p.name);
    return missing;
}

// Dotted names registered whole while their head is a sub-object of the class that sees
// them (its own, an ancestor's or a descendant's): such a value has two setters to keep alike.
inline std::vector<std::string> RegisteredTwice() {
    std::vector<std::string> twice;
    for (const TClassInfo* c : RegisteredClasses())
        for (const TClassInfo* a = c; a; a = a->parent.empty() ? nullptr : FindClassInfo(a->parent))
            for (const TPropInfo& p : a->props) {
                const size_t dot = p.name.find('.');
                if (dot == std::string::npos) continue;
                const TPropInfo* head = FindPropInfo(c->name, p.name.substr(0, dot));
                if (head && head->kind == TPropKind::Object)
                    twice.push_back(c->name + ": " + p.name);
            }
    return twice;
}

// Bytes as a form writes binary data.
inline std::string Hex(const std::string& bytes) {
    static const char* const digits = "0123456789ABCDEF";
    std::string out = "{";
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out + "}";
}

// A bitmap file of w x h pixels, 24 bits, every pixel of `rgb` (0xRRGGBB).
inline std::string BmpFile(int w, int h, unsigned rgb) {
    const int stride = (w * 3 + 3) & ~3;
    const unsigned size = 54u + unsigned(stride * h);
    std::string f(size, '\0');
    auto put = [&](size_t at, unsigned v, int n) {
        for (int i = 0; i < n; ++i) f[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    f[0] = 'B';
    f[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, unsigned(w), 4);
    put(22, unsigned(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = 54 + size_t(y * stride + x * 3);
            f[at] = char(rgb & 0xFF);
            f[at + 1] = char((rgb >> 8) & 0xFF);
            f[at + 2] = char((rgb >> 16) & 0xFF);
        }
    return f;
}

// The class library's stream form of a bitmap: its file's length, then the file.
inline std::string BitmapData(int w, int h, unsigned rgb) {
    const std::string file = BmpFile(w, h, rgb);
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[size_t(i)] = char((file.size() >> (8 * i)) & 0xFF);
    return out + file;
}

}  // namespace published
