#include "platform/automation/olevariant.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "platform/automation/servers.h"
#include "platform/win/registry.h"

const OleVariant EmptyParam = OleVariant::Omitted();

OleVariant OleVariant::Omitted() {
    OleVariant v;
    v.type_ = TVarType::Omitted;
    return v;
}

namespace {

[[noreturn]] void mismatch() { throw EOleError("类型不匹配"); }

bool parseNumber(const std::string& s, double& d) {
    std::string t = Trim(s);
    if (t.empty()) return false;
    char* end = nullptr;
    d = std::strtod(t.c_str(), &end);
    return end && *end == '\0';
}

}  // namespace

long long OleVariant::AsInt() const {
    switch (type_) {
        case TVarType::Empty:
            return 0;
        case TVarType::Bool:
            return int_ ? -1 : 0;  // automation's True is -1
        case TVarType::Int:
            return int_;
        case TVarType::Double:
            return std::llround(double_);
        case TVarType::String: {
            double d;
            if (!parseNumber(string_, d)) mismatch();
            return std::llround(d);
        }
        default:
            mismatch();
    }
}

double OleVariant::AsDouble() const {
    switch (type_) {
        case TVarType::Empty:
            return 0;
        case TVarType::Bool:
            return int_ ? -1 : 0;
        case TVarType::Int:
            return double(int_);
        case TVarType::Double:
            return double_;
        case TVarType::String: {
            double d;
            if (!parseNumber(string_, d)) mismatch();
            return d;
        }
        default:
            mismatch();
    }
}

bool OleVariant::AsBool() const {
    switch (type_) {
        case TVarType::Empty:
            return false;
        case TVarType::Bool:
        case TVarType::Int:
            return int_ != 0;
        case TVarType::Double:
            return double_ != 0;
        case TVarType::String:
            if (SameText(string_, "true")) return true;
            if (SameText(string_, "false")) return false;
            return AsDouble() != 0;
        default:
            mismatch();
    }
}

std::string OleVariant::AsString() const {
    switch (type_) {
        case TVarType::Empty:
            return "";
        case TVarType::Bool:
            return int_ ? "True" : "False";
        case TVarType::Int:
            return std::to_string(int_);
        case TVarType::Double: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", double_);
            return buf;
        }
        case TVarType::String:
            return string_;
        default:
            mismatch();
    }
}

const std::vector<OleVariant>& OleVariant::AsArray() const {
    if (type_ != TVarType::Array) mismatch();
    return array_;
}

std::shared_ptr<TAutoObject> OleVariant::AsObject() const {
    if (type_ != TVarType::Object || !object_) throw EOleError("变量不是对象");
    return object_;
}

OleVariant OleVariant::Get(const std::string& member, const std::vector<OleVariant>& args) const {
    return AsObject()->Invoke(member, TInvokeKind::PropertyGet, args);
}

void OleVariant::Put(const std::string& member, const OleVariant& value) const {
    AsObject()->Invoke(member, TInvokeKind::PropertyPut, {value});
}

OleVariant OleVariant::Call(const std::string& member, const std::vector<OleVariant>& args) const {
    return AsObject()->Invoke(member, TInvokeKind::Method, args);
}

void OleVariant::Clear() { *this = OleVariant(); }

const OleVariant& TAutoObject::Arg(const std::vector<OleVariant>& args, size_t i) {
    return i < args.size() ? args[i] : EmptyParam;
}

void TAutoObject::UnknownMember(const std::string& member) const {
    throw EOleError(TypeName() + " 不支持此属性或方法: " + member);
}

// ---------------------------------------------------------------- servers

namespace {

struct ServerInfo {
    const char* app;     // "Word", as the checks name it
    const char* progId;  // "Word.Application"
};

const ServerInfo kServers[] = {{"Word", "Word.Application"},
                               {"Excel", "Excel.Application"},
                               {"PowerPoint", "PowerPoint.Application"},
                               {"Access", "Access.Application"}};

// The version the servers give: they take the calling forms of Office 2003.
const char* const kVersion = "11";

// The key path "<App>.Application" and "<App>.Application\CurVer", case-insensitively.
bool officeProvider(const std::string& path, RegistryKeyData& d) {
    for (const auto& s : kServers) {
        std::string base = s.progId;
        bool isBase = SameText(path, base);
        bool isCurVer = SameText(path, base + "\\CurVer");
        if (!isBase && !isCurVer) continue;
        if (!office::ServerInstalled(s.app)) return false;
        if (isBase) {
            d.values.emplace_back("", std::string("Microsoft ") + s.app + " Application");
            d.subkeys.push_back("CurVer");
        } else {
            d.values.emplace_back("", base + "." + kVersion);
        }
        return true;
    }
    return false;
}

}  // namespace

void RegisterOfficeServers() {
    static std::once_flag once;
    std::call_once(once, [] { AddRegistryProvider(HKEY_CLASSES_ROOT, officeProvider); });
}

OleVariant CreateOleObject(const std::string& progId) {
    RegisterOfficeServers();
    for (const auto& s : kServers) {
        if (!SameText(progId, s.progId)) continue;
        if (!office::ServerInstalled(s.app)) break;
        return OleVariant(office::CreateServer(s.app));
    }
    throw EOleError("无效的类字符串: " + progId);
}
