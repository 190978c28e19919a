#include "platform/rtl/sysutils.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwctype>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/rtl/utf8.h"

// ---------------------------------------------------------------- exceptions

std::string SystemErrorText(int err) { return std::strerror(err); }

namespace {

template <class E>
[[noreturn]] void RaiseWithCause(E e, int err) {
    e.SystemText = SystemErrorText(err);
    throw e;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

void RaiseInOutError(int err, const std::string& what) {
    RaiseWithCause(
        EInOutError(what.empty() ? SysErrorMessage(err) : what + ": " + SysErrorMessage(err), err),
        err);
}

void RaiseLastOSError() {
    int err = errno;
    RaiseWithCause(
        EOSError("系统错误，代码 " + IntToStr(err) + "。\n" + SysErrorMessage(err), unsigned(err)),
        err);
}

void RaiseFileOpenError(const std::string& name, int err) {
    RaiseWithCause(EFOpenError("无法打开文件 " + Quoted(name) + "。" + SysErrorMessage(err)), err);
}

void RaiseFileCreateError(const std::string& name, int err) {
    RaiseWithCause(EFCreateError("无法创建文件 " + Quoted(name) + "。" + SysErrorMessage(err)),
                   err);
}

void RaiseFileWriteError(const std::string& name, int err) {
    RaiseWithCause(EFCreateError("无法写入文件 " + Quoted(name) + "。" + SysErrorMessage(err)),
                   err);
}

std::string MessageForLog(const std::exception& e) {
    const auto* ours = dynamic_cast<const Exception*>(&e);
    if (!ours || ours->SystemText.empty()) return e.what();
    return ours->Message + " [" + ours->SystemText + "]";
}

// ---------------------------------------------------------------- Format

namespace {
std::string pad(std::string body, int width, bool left, char fill) {
    if (width <= 0 || int(body.size()) >= width) return body;
    std::string padding(size_t(width) - body.size(), fill);
    if (left) return body + std::string(padding.size(), ' ');
    if (fill == '0' && !body.empty() && (body[0] == '-' || body[0] == '+'))
        return body[0] + padding + body.substr(1);
    return padding + body;
}
}  // namespace

std::string FormatV(std::string_view fmt, const std::vector<FormatArg>& args) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= fmt.size())
            throw EConvertError("Format '" + std::string(fmt) +
                                "' invalid or incompatible with argument");
        if (fmt[i] == '%') {
            out += '%';
            continue;
        }
        bool left = false;
        char fill = ' ';
        while (i < fmt.size() && (fmt[i] == '-' || fmt[i] == '0')) {
            if (fmt[i] == '-')
                left = true;
            else
                fill = '0';
            ++i;
        }
        int width = 0, prec = -1;
        while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i])))
            width = width * 10 + (fmt[i++] - '0');
        if (i < fmt.size() && fmt[i] == '.') {
            prec = 0;
            ++i;
            while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i])))
                prec = prec * 10 + (fmt[i++] - '0');
        }
        if (i >= fmt.size() || next >= args.size())
            throw EConvertError("Format '" + std::string(fmt) +
                                "' invalid or incompatible with argument");
        const FormatArg& a = args[next++];
        char conv = fmt[i];
        std::string body;
        char buf[128];
        switch (conv) {
            case 's':
                if (a.kind != FormatArg::Str)
                    throw EConvertError("Format '" + std::string(fmt) +
                                        "' invalid or incompatible with argument");
                body = prec >= 0 ? a.s.substr(0, size_t(prec)) : a.s;
                break;
            case 'c':
                body = a.kind == FormatArg::Str ? a.s.substr(0, 1) : std::string(1, char(a.i));
                break;
            case 'd':
            case 'u': {
                long long v = a.kind == FormatArg::Int    ? a.i
                              : a.kind == FormatArg::UInt ? (long long)a.u
                                                          : 0;
                if (a.kind == FormatArg::Str || a.kind == FormatArg::Float)
                    throw EConvertError("Format '" + std::string(fmt) +
                                        "' invalid or incompatible with argument");
                if (a.kind == FormatArg::UInt)
                    std::snprintf(buf, sizeof buf, "%llu", a.u);
                else
                    std::snprintf(buf, sizeof buf, "%lld", v);
                body = buf;
                // Delphi-style precision on integers: minimum digit count with leading zeros.
                if (prec > 0) {
                    bool neg = !body.empty() && body[0] == '-';
                    std::string digits = neg ? body.substr(1) : body;
                    if (int(digits.size()) < prec)
                        digits = std::string(size_t(prec) - digits.size(), '0') + digits;
                    body = (neg ? "-" : "") + digits;
                }
                break;
            }
            case 'x':
            case 'X': {
                unsigned long long v = a.kind == FormatArg::UInt ? a.u : (unsigned long long)a.i;
                std::snprintf(buf, sizeof buf, conv == 'x' ? "%llx" : "%llX", v);
                body = buf;
                if (prec > 0 && int(body.size()) < prec)
                    body = std::string(size_t(prec) - body.size(), '0') + body;
                break;
            }
            case 'f':
            case 'g':
            case 'e': {
                double v = a.kind == FormatArg::Float ? a.f
                           : a.kind == FormatArg::Int ? double(a.i)
                                                      : double(a.u);
                char conversion[8] = {'%', '.', '*', conv, 0};
                std::snprintf(buf, sizeof buf, conversion, prec < 0 ? (conv == 'g' ? 15 : 2) : prec,
                              v);
                body = buf;
                break;
            }
            default:
                throw EConvertError("Format '" + std::string(fmt) +
                                    "' invalid or incompatible with argument");
        }
        out += pad(body, width, left, left ? ' ' : fill);
    }
    return out;
}

// ---------------------------------------------------------------- strings

std::string IntToStr(long long v) { return std::to_string(v); }

std::string IntToHex(unsigned long long v, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", digits, v);
    return buf;
}

bool TryStrToInt(const std::string& text, long long& out) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    bool neg = false;
    size_t i = 0;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    unsigned long long v = 0;
    for (; i < s.size(); ++i) {
        int d;
        char c = s[i];
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * unsigned(base) + unsigned(d);
        if (v > 0xFFFFFFFFFFFFull) return false;  // far beyond any value we store
    }
    out = neg ? -(long long)v : (long long)v;
    return true;
}

long long StrToInt(const std::string& s) {
    long long v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
    return v;
}

long long StrToIntDef(const std::string& s, long long def) {
    long long v;
    return TryStrToInt(s, v) ? v : def;
}

bool TryStrToFloat(const std::string& text, double& out) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(v)) return false;
    out = v;
    return true;
}

double StrToFloat(const std::string& s) {
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError("'" + s + "' is not a valid floating point value");
    return v;
}

std::string FloatToStr(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    return s.substr(b);
}
std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(0, e);
}
std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

std::string LowerCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return r;
}
std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return r;
}
namespace {
inline unsigned char FoldAscii(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 32) : u;
}
}  // namespace

// Compared in place: names are looked up by these many times while windows are read.
int CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

namespace {

// The letters' case tables of the UTF-8 locale, whatever locale the program runs in (the C
// locale folds ASCII alone).
locale_t Utf8CaseLocale() {
    static const locale_t loc = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, locale_t(nullptr))) return l;
        return locale_t(nullptr);
    }();
    return loc;
}

template <class Map>
std::string MapLetters(const std::string& s, Map map) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t c = 0;
        const size_t n = Utf8Decode(s, i, c);
        if (n == 0) {
            r += s[i++];
            continue;
        }
        Utf8Append(r, char32_t(map(wint_t(c))));
        i += n;
    }
    return r;
}

}  // namespace

std::string AnsiUpperCase(const std::string& s) {
    const locale_t loc = Utf8CaseLocale();
    return MapLetters(s, [loc](wint_t c) { return loc ? towupper_l(c, loc) : towupper(c); });
}

std::string AnsiLowerCase(const std::string& s) {
    const locale_t loc = Utf8CaseLocale();
    return MapLetters(s, [loc](wint_t c) { return loc ? towlower_l(c, loc) : towlower(c); });
}

int AnsiCompareText(const std::string& a, const std::string& b) {
    // UTF-8 keeps code point order in its bytes.
    return AnsiUpperCase(a).compare(AnsiUpperCase(b));
}

bool AnsiSameText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

size_t AnsiPrefixLength(const std::string& s, const std::string& prefix) {
    const std::string wanted = AnsiUpperCase(prefix);
    std::string folded;
    size_t i = 0;
    // Character by character, as AnsiUpperCase steps, until the folded text covers the prefix.
    while (folded.size() < wanted.size() && i < s.size()) {
        const size_t n = std::max<size_t>(1, Utf8SequenceLength(s, i));
        folded += AnsiUpperCase(s.substr(i, n));
        i += n;
        const size_t common = std::min(folded.size(), wanted.size());
        if (folded.compare(0, common, wanted, 0, common) != 0) return std::string::npos;
    }
    return folded.size() >= wanted.size() ? i : std::string::npos;
}

std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
    if (from.empty()) return s;
    std::string r;
    size_t i = 0, p;
    while ((p = s.find(from, i)) != std::string::npos) {
        r.append(s, i, p - i);
        r += to;
        i = p + from.size();
    }
    r.append(s, i, std::string::npos);
    return r;
}
bool StartsStr(const std::string& prefix, const std::string& s) {
    return s.compare(0, prefix.size(), prefix) == 0;
}
bool EndsStr(const std::string& suffix, const std::string& s) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}
size_t Pos(const std::string& sub, const std::string& s) {
    size_t p = s.find(sub);
    return p == std::string::npos ? 0 : p + 1;
}
std::string QuotedStr(const std::string& s) { return "'" + StringReplaceAll(s, "'", "''") + "'"; }

// ---------------------------------------------------------------- paths and files

std::string IncludeTrailingPathDelimiter(const std::string& s) {
    return (!s.empty() && s.back() == '/') ? s : s + "/";
}
std::string ExcludeTrailingPathDelimiter(const std::string& s) {
    return (s.size() > 1 && s.back() == '/') ? s.substr(0, s.size() - 1) : s;
}
std::string ExtractFilePath(const std::string& s) {
    size_t p = s.rfind('/');
    return p == std::string::npos ? "" : s.substr(0, p + 1);
}
std::string ExtractFileDir(const std::string& s) {
    size_t p = s.rfind('/');
    if (p == std::string::npos) return "";
    return p == 0 ? "/" : s.substr(0, p);
}
std::string ExtractFileName(const std::string& s) {
    size_t p = s.rfind('/');
    return p == std::string::npos ? s : s.substr(p + 1);
}
std::string ExtractFileExt(const std::string& s) {
    size_t p = s.find_last_of("./");
    return (p != std::string::npos && s[p] == '.') ? s.substr(p) : "";
}
std::string ChangeFileExt(const std::string& s, const std::string& ext) {
    size_t p = s.find_last_of("./");
    if (p != std::string::npos && s[p] == '.') return s.substr(0, p) + ext;
    return s + ext;
}

std::string GetCurrentDir() {
    std::vector<char> buf(4096);
    if (!getcwd(buf.data(), buf.size())) return "/";
    return buf.data();
}

bool TryGetCurrentDir(std::string& dir) {
    std::vector<char> buf(MaxPathBytes + 1);
    if (!getcwd(buf.data(), buf.size())) return false;
    dir = buf.data();
    return true;
}

std::string ExpandFileName(const std::string& s) {
    if (s.empty()) return s;
    std::string full = s[0] == '/' ? s : IncludeTrailingPathDelimiter(GetCurrentDir()) + s;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= full.size()) {
        size_t j = full.find('/', i);
        if (j == std::string::npos) j = full.size();
        std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".")
            parts.push_back(part);
        i = j + 1;
    }
    std::string r;
    for (auto& p : parts) r += "/" + p;
    if (r.empty()) r = "/";
    if (full.size() > 1 && full.back() == '/' && r != "/") r += "/";
    return r;
}

bool FileExists(const std::string& name) {
    struct stat st;
    return !name.empty() && stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}
bool DirectoryExists(const std::string& name) {
    struct stat st;
    return !name.empty() && stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool CreateDir(const std::string& dir) {
    return mkdir(ExcludeTrailingPathDelimiter(dir).c_str(), 0777) == 0;
}
bool ForceDirectories(const std::string& dir) {
    std::string d = ExcludeTrailingPathDelimiter(dir);
    if (d.empty()) return false;
    if (DirectoryExists(d)) return true;
    std::string parent = ExtractFileDir(d);
    if (!parent.empty() && parent != d && !ForceDirectories(parent)) return false;
    return CreateDir(d) || DirectoryExists(d);
}
bool RemoveDir(const std::string& dir) {
    return rmdir(ExcludeTrailingPathDelimiter(dir).c_str()) == 0;
}
bool DeleteFile(const std::string& name) {
    return !DirectoryExists(name) && unlink(name.c_str()) == 0;
}
bool RenameFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}
int64_t FileSize64(const std::string& name) {
    struct stat st;
    if (stat(name.c_str(), &st) != 0) return -1;
    return int64_t(st.st_size);
}
std::string FileIdentity(const std::string& name) {
    struct stat st;
    if (stat(name.c_str(), &st) != 0) return "";
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ctim.tv_nsec);
}
std::string GetTempDir() {
    const char* t = std::getenv("TMPDIR");
    return IncludeTrailingPathDelimiter(t && *t ? t : "/tmp");
}

std::string TempFolderProblem(const std::string& folder, int err) {
    const char* t = std::getenv("TMPDIR");
    // Without its trailing "/", a file is looked at as the file it is.
    const std::string path = folder.size() > 1 ? ExcludeTrailingPathDelimiter(folder) : folder;
    const std::string named = "临时文件夹 " + Quoted(path) + (t && *t ? " (环境变量 TMPDIR)" : "");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return named + " 不存在。";
        return named + " 无法使用: " + SysErrorMessage(errno);
    }
    if (!S_ISDIR(st.st_mode)) return named + " 不是文件夹, 而是一个文件。";
    return named + " 无法使用: " + SysErrorMessage(err);
}

std::string NonRegularFileKind(const std::string& name) {
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0) return "";
    if (S_ISFIFO(st.st_mode)) return "命名管道 (FIFO)";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "设备";
    if (S_ISSOCK(st.st_mode)) return "套接字";
    return "";
}

void MkDir(const std::string& dir) {
    if (mkdir(ExcludeTrailingPathDelimiter(dir).c_str(), 0777) != 0)
        RaiseInOutError(errno, "无法创建文件夹 " + Quoted(dir));
}

std::string ReadFileText(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) RaiseFileOpenError(name, errno);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
void WriteFileText(const std::string& name, const std::string& text) {
    errno = 0;
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out) RaiseFileCreateError(name, errno ? errno : EACCES);
    out << text;
    out.flush();
    const int err = errno;
    out.close();
    if (out.fail()) RaiseFileWriteError(name, errno ? errno : err ? err : EIO);
}

extern "C" char** environ;

void WritePrivateFileText(const std::string& name, const std::string& text) {
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) RaiseFileCreateError(name, errno);
    bool ok = fchmod(fd, 0600) == 0;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += size_t(n);
    }
    if (close(fd) != 0) ok = false;
    if (!ok) RaiseFileWriteError(name, errno ? errno : EIO);
}

bool CreateSymbolicLink(const std::string& link, const std::string& target) {
    return symlink(target.c_str(), link.c_str()) == 0;
}

std::vector<std::string> EnvironmentStrings() {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) env.emplace_back(*e);
    return env;
}

// ---------------------------------------------------------------- date and time

namespace {
constexpr int64_t kDaysFrom1899To1970 = 25569;

int64_t DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}
void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(int64_t(yoe) + era * 400 + (m <= 2));
}
}  // namespace

TDateTime EncodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms) {
    int64_t days = DaysFromCivil(y, unsigned(mo), unsigned(d)) + kDaysFrom1899To1970;
    return double(days) + (h * 3600000.0 + mi * 60000.0 + s * 1000.0 + ms) / 86400000.0;
}

void DecodeDateTime(TDateTime t, int& y, int& mo, int& d, int& h, int& mi, int& s, int& ms) {
    int64_t days = int64_t(std::floor(t));
    int64_t msOfDay = int64_t(std::llround((t - double(days)) * 86400000.0));
    if (msOfDay >= 86400000) {
        msOfDay -= 86400000;
        ++days;
    }
    CivilFromDays(days - kDaysFrom1899To1970, y, mo, d);
    h = int(msOfDay / 3600000);
    mi = int(msOfDay / 60000 % 60);
    s = int(msOfDay / 1000 % 60);
    ms = int(msOfDay % 1000);
}

TDateTime UnixToDateTime(int64_t secs, int nsec) {
    time_t tt = time_t(secs);
    struct tm lt;
    localtime_r(&tt, &lt);
    return EncodeDateTime(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday, lt.tm_hour, lt.tm_min,
                          lt.tm_sec, nsec / 1000000);
}

TDateTime Now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    auto ns = duration_cast<nanoseconds>(now.time_since_epoch()).count();
    return UnixToDateTime(ns / 1000000000, int(ns % 1000000000));
}
TDateTime Date() { return std::floor(Now()); }

std::string FormatDateTime(const std::string& fmt, TDateTime t) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(t, y, mo, d, h, mi, s, ms);
    std::string out;
    bool lastWasHour = false;
    auto two = [](int v) {
        char b[8];
        std::snprintf(b, sizeof b, "%02d", v);
        return std::string(b);
    };
    for (size_t i = 0; i < fmt.size();) {
        char c = fmt[i];
        size_t run = 1;
        while (i + run < fmt.size() && std::tolower(static_cast<unsigned char>(fmt[i + run])) ==
                                           std::tolower(static_cast<unsigned char>(c)))
            ++run;
        char lc = char(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\'') {
            size_t e = fmt.find(c, i + 1);
            if (e == std::string::npos) e = fmt.size();
            out += fmt.substr(i + 1, e - i - 1);
            i = e + 1;
            continue;
        }
        switch (lc) {
            case 'y':
                out += run >= 3 ? std::to_string(y) : two(y % 100);
                lastWasHour = false;
                break;
            case 'm':
                if (lastWasHour)
                    out += run >= 2 ? two(mi) : std::to_string(mi);
                else
                    out += run >= 2 ? two(mo) : std::to_string(mo);
                lastWasHour = false;
                break;
            case 'd':
                out += run >= 2 ? two(d) : std::to_string(d);
                lastWasHour = false;
                break;
            case 'h':
                out += run >= 2 ? two(h) : std::to_string(h);
                lastWasHour = true;
                break;
            case 'n':
                out += run >= 2 ? two(mi) : std::to_string(mi);
                lastWasHour = false;
                break;
            case 's':
                out += run >= 2 ? two(s) : std::to_string(s);
                lastWasHour = false;
                break;
            case 'z': {
                char b[8];
                std::snprintf(b, sizeof b, run >= 3 ? "%03d" : "%d", ms);
                out += b;
                lastWasHour = false;
                break;
            }
            default:
                out.append(run, c);
                i += run;
                continue;
        }
        i += run;
    }
    return out;
}

namespace {
void (*g_sleepHook)(unsigned) = nullptr;
}  // namespace

void InstallSleepHook(void (*sleep)(unsigned ms)) { g_sleepHook = sleep; }

void Sleep(unsigned ms) {
    if (g_sleepHook)
        g_sleepHook(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t GetTickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
