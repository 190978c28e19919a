// Late-bound automation: objects created by program id and called by member name with
// positional arguments, each a variant; an argument slot may be passed as "omitted".
// Member names are compared without regard to case, as automation does.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/sysutils.h"

class TAutoObject;

// An automation error: a refused call, a missing member, a server that failed.
class EOleError : public Exception {
public:
    using Exception::Exception;
};

// A page range beyond the document's last page. The whole document, printed to WholePdf
// (kept while the office session lasts), tells how many pages it has.
class EPageRangeBeyond : public EOleError {
public:
    EPageRangeBeyond(const std::string& range, std::string wholePdf)
        : EOleError("页码范围 \"" + range + "\" 超出了文档的页数。"),
          Range(range),
          WholePdf(std::move(wholePdf)) {}
    std::string Range;
    std::string WholePdf;
};

enum class TVarType { Empty, Omitted, Bool, Int, Double, String, Object, Array };

class OleVariant {
public:
    OleVariant() = default;
    OleVariant(bool b) : type_(TVarType::Bool), int_(b) {}
    OleVariant(int i) : type_(TVarType::Int), int_(i) {}
    OleVariant(long long i) : type_(TVarType::Int), int_(i) {}
    OleVariant(double d) : type_(TVarType::Double), double_(d) {}
    OleVariant(const char* s) : type_(TVarType::String), string_(s) {}
    OleVariant(std::string s) : type_(TVarType::String), string_(std::move(s)) {}
    OleVariant(std::shared_ptr<TAutoObject> o)
        : type_(o ? TVarType::Object : TVarType::Empty), object_(std::move(o)) {}
    OleVariant(std::vector<OleVariant> a) : type_(TVarType::Array), array_(std::move(a)) {}

    // A missing optional argument.
    static OleVariant Omitted();

    TVarType Type() const { return type_; }
    bool IsEmpty() const { return type_ == TVarType::Empty; }
    bool IsOmitted() const { return type_ == TVarType::Omitted; }
    // Empty or omitted: no value was given.
    bool IsMissing() const { return IsEmpty() || IsOmitted(); }
    bool IsObject() const { return type_ == TVarType::Object; }

    // Conversions as automation makes them; a value that cannot be converted raises
    // EOleError ("type mismatch").
    long long AsInt() const;
    double AsDouble() const;
    bool AsBool() const;
    std::string AsString() const;
    const std::vector<OleVariant>& AsArray() const;
    std::shared_ptr<TAutoObject> AsObject() const;

    // Reads a property (with arguments for indexed properties such as Sheets(1)).
    OleVariant Get(const std::string& member, const std::vector<OleVariant>& args = {}) const;
    // Sets a property.
    void Put(const std::string& member, const OleVariant& value) const;
    // Calls a method.
    OleVariant Call(const std::string& member, const std::vector<OleVariant>& args = {}) const;

    // Releases what the variant holds; it becomes empty.
    void Clear();

private:
    TVarType type_ = TVarType::Empty;
    long long int_ = 0;
    double double_ = 0;
    std::string string_;
    std::shared_ptr<TAutoObject> object_;
    std::vector<OleVariant> array_;
};

// The omitted argument, for the argument lists.
extern const OleVariant EmptyParam;

enum class TInvokeKind { Method, PropertyGet, PropertyPut };

// An automation object: every call arrives here by member name. args holds the
// positional arguments (for a property put, the value is the last one).
class TAutoObject : public std::enable_shared_from_this<TAutoObject> {
public:
    virtual ~TAutoObject() = default;
    virtual OleVariant Invoke(const std::string& member, TInvokeKind kind,
                              const std::vector<OleVariant>& args) = 0;
    // The object's name for error messages.
    virtual std::string TypeName() const = 0;

protected:
    // Helpers for servers.
    static const OleVariant& Arg(const std::vector<OleVariant>& args,
                                 size_t i);  // 0-based; omitted past the end
    [[noreturn]] void UnknownMember(const std::string& member) const;
};

// Creates the automation server registered under progId ("Word.Application",
// "Excel.Application", "Powerpoint.Application", "Access.Application"). Raises EOleError
// when none is installed.
OleVariant CreateOleObject(const std::string& progId);

// Enters the office servers that are installed into the registry: <App>.Application and
// its CurVer key under HKEY_CLASSES_ROOT. Idempotent; the program calls it before the
// environment checks.
void RegisterOfficeServers();
