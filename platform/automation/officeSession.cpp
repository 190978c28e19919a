#include "platform/automation/officeSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>

#include "platform/automation/officeEncryption.h"
#include "platform/rtl/hex.h"
#include "platform/rtl/md5.h"
#include "platform/rtl/noProgressLimit.h"
#include "platform/rtl/passedErrors.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"
#include "platform/vcl/forms.h"
#include "platform/win/launcher.h"
#include "platform/win/process.h"
#include "platform/win/processTimes.h"
#include "platform/win/runGuard.h"
#include "platform/win/wake.h"

extern char** environ;

namespace office {

extern const char* const kBridgeScript;

namespace {

using Clock = std::chrono::steady_clock;

bool isExecutable(const std::string& p) { return !p.empty() && access(p.c_str(), X_OK) == 0; }

constexpr const char* kCannotStart = "办公程序无法启动";

std::string tempRoot() {
    const char* t = std::getenv("TMPDIR");
    std::string root = t && *t ? t : "/tmp";
    if (root.back() != '/') root += '/';
    return root;
}

}  // namespace

EOleError TempFolderFailure(int err, const std::string& consequence) {
    std::string folder = tempRoot();
    for (char& c : folder)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    EOleError e(err == ENOSPC || err == EDQUOT
                    ? "临时文件夹 \"" + folder + "\" 所在的磁盘空间不足, " + consequence + "。"
                    : "无法建立办公程序的文件: " + TempFolderProblem(tempRoot(), err));
    e.SystemText = std::strerror(err);
    return e;
}

namespace {

std::string makeTempFolder(const std::string& prefix) {
    std::string tmpl = tempRoot() + prefix + "XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw TempFolderFailure(errno, kCannotStart);
    return std::string(buf.data()) + "/";
}

// Writes a file whole; the errno value of a failure, 0 when written.
int writeWhole(const std::string& path, const std::string& text) {
    ScopedFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.get() < 0) return errno;
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd.get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : ENOSPC;
        done += size_t(n);
    }
    return ::close(fd.release()) == 0 ? 0 : errno;
}

std::string fileUrl(const std::string& path) {
    std::string u = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~')
            u += char(c);
        else {
            u += '%';
            AppendHexByte(u, c);
        }
    }
    return u;
}

std::string readTail(const std::string& file, size_t max = 600) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    std::string s = ss.str();
    if (s.size() > max) s = s.substr(s.size() - max);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

// Size of a file, 0 when there is none.
long long fileSize(const std::string& file) {
    struct stat st {};
    return !file.empty() && ::stat(file.c_str(), &st) == 0 ? (long long)st.st_size : 0;
}

// Environment for the children: ours, with UTF-8 for Python's streams, and, when given,
// a temporary folder of their own (the office's "lu*.tmp" folders go there).
std::vector<std::string> childEnvironment(const std::string& tmp = "") {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        if (std::strncmp(*e, "PYTHONIOENCODING=", 17) == 0 ||
            std::strncmp(*e, "PYTHONHOME=", 11) == 0 || std::strncmp(*e, "PYTHONPATH=", 11) == 0)
            continue;
        if (!tmp.empty() && (std::strncmp(*e, "TMPDIR=", 7) == 0 ||
                             std::strncmp(*e, "TMP=", 4) == 0 || std::strncmp(*e, "TEMP=", 5) == 0))
            continue;
        env.emplace_back(*e);
    }
    env.emplace_back("PYTHONIOENCODING=utf-8");
    if (!tmp.empty())
        for (const char* name : {"TMPDIR=", "TMP=", "TEMP="}) env.emplace_back(name + tmp);
    return env;
}

// Starts a program in a process group of its own that ends with this program; stdin and
// stdout as given (-1: empty), the error output into errFile (empty: discarded).
pid_t spawnGroup(const std::vector<std::string>& argv, int inFd, int outFd,
                 const std::string& errFile, const std::string& tmp = "",
                 int parentDeathSignal = SIGKILL) {
    ScopedFd err;
    if (!errFile.empty())
        err.reset(open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    LaunchOptions launch;
    launch.argv = argv;
    launch.env = childEnvironment(tmp);
    launch.stdIn = inFd >= 0 ? inFd : LaunchOptions::kNull;
    launch.stdOut = outFd >= 0 ? outFd : LaunchOptions::kNull;
    launch.stdErr = err.valid() ? err.get() : LaunchOptions::kNull;
    launch.parentDeathSignal = parentDeathSignal;
    launch.endWithProgram = true;
    launch.addressSpaceLimit = ChildMemoryLimit();
    pid_t pid = -1;
    return Launch(launch, pid) == 0 ? pid : -1;
}

// Waits with messages handled until the child has ended (it is not reaped) or the
// deadline passes; true when it ended.
bool awaitChild(pid_t pid, Clock::time_point deadline) {
    for (;;) {
        if (ChildHasEnded(pid)) return true;
        if (Clock::now() >= deadline) return false;
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The sockets an office makes in the shared temporary folder, which it leaves there when it
// is killed (and often when it quits): its accepting pipe, and its one-instance pipe, which
// it names by a digest of its profile's address. Both can be told from what the session
// hands the office.
std::vector<std::string> officeSockets(const std::string& pipeName, const std::string& profileUrl) {
    std::string utf16;  // the office digests the address as UTF-16; ours is ASCII
    for (char c : profileUrl) {
        utf16 += c;
        utf16 += '\0';
    }
    std::string digest;
    for (uint8_t byte : Md5(utf16)) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%x", byte);  // without leading zeros, as the office
        digest += hex;
    }
    const std::string uid = std::to_string(::getuid());
    std::vector<std::string> out;
    for (const char* dir : {"/tmp/", "/var/tmp/"}) {
        out.push_back(dir + ("OSL_PIPE_" + uid + "_" + pipeName));
        out.push_back(dir + ("OSL_PIPE_" + uid + "_SingleOfficeIPC_" + digest));
    }
    return out;
}

// Removes the sockets that are there and are ours (never anything else of that name).
void removeSockets(const std::vector<std::string>& sockets) {
    for (const std::string& path : sockets) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(path.c_str());
    }
}

// The process groups of the sessions that run now, and the sessions being ended in the
// background. When the program ends while a session still runs (an unattended run ends
// from a message's timer) or is still quitting, the groups are ended with it and the
// program waits until their folders are removed.
struct LiveSessions {
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<pid_t> groups;
    // Of each group's office; claimed, so that a signal that ends the program removes
    // them too, until they are removed here.
    struct Sockets {
        std::vector<std::string> paths;
        std::vector<std::shared_ptr<TSocketClaim>> claims;
    };
    std::map<pid_t, Sockets> sockets;
    int ending = 0;  // sessions being ended in the background
};

LiveSessions& live() {
    static LiveSessions* sessions = new LiveSessions;
    return *sessions;
}

// Waits, within a bound, until no process of the group is left: a killed office takes
// a moment to release its memory, and until then it still shows as running.
void awaitGroupGone(pid_t g) {
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (!GroupIsGone(g) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void killLiveGroups() {
    LiveSessions& l = live();
    std::unique_lock<std::mutex> lock(l.mutex);
    const std::vector<pid_t> groups = l.groups;
    for (pid_t g : groups) ::kill(-g, SIGKILL);  // unreaped: their numbers are still theirs
    l.ended.wait_for(lock, std::chrono::seconds(15), [&] { return l.ending == 0; });
    lock.unlock();
    for (pid_t g : groups) awaitGroupGone(g);
    lock.lock();
    for (pid_t g : groups) removeSockets(l.sockets[g].paths);
}

void addLiveGroup(pid_t g, const std::vector<std::string>& sockets) {
    static std::once_flag hooked;
    // Halt ends the program without the C++ exit handlers but runs the exit procedures.
    std::call_once(hooked, [] {
        std::atexit(killLiveGroups);
        AddExitProc(killLiveGroups);
    });
    std::lock_guard<std::mutex> lock(live().mutex);
    live().groups.push_back(g);
    LiveSessions::Sockets& kept = live().sockets[g];
    kept.paths = sockets;
    for (const std::string& path : sockets)
        kept.claims.push_back(std::make_shared<TSocketClaim>(path));
}

void removeLiveGroup(pid_t g) {
    std::lock_guard<std::mutex> lock(live().mutex);
    std::erase(live().groups, g);
}

// The group has ended: the sockets its office left go.
void removeGroupSockets(pid_t g) {
    LiveSessions::Sockets sockets;
    {
        std::lock_guard<std::mutex> lock(live().mutex);
        auto it = live().sockets.find(g);
        if (it == live().sockets.end()) return;
        sockets = std::move(it->second);
        live().sockets.erase(it);
    }
    removeSockets(sockets.paths);
}

// Asks a session's bridge to quit the office and, in the background, waits for it to end
// (ending its group when it takes too long), ends whatever it left in its group and
// removes the session's folder. The next step of the caller does not wait for the office.
void endInBackground(pid_t pid, int in, int out, std::string work,
                     std::shared_ptr<TRunFolderClaim> claim) {
    {
        std::lock_guard<std::mutex> lock(live().mutex);
        ++live().ending;
    }
    std::thread([pid, inFd = in, outFd = out, work = std::move(work),
                 claim = std::move(claim)]() mutable {
        ScopedFd in(inFd);
        ScopedFd out(outFd);
        // A bridge that is gone must not end the program through SIGPIPE.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        // Where it cannot be blocked, the bridge is not written to: its group is ended.
        const bool pipeBlocked = pthread_sigmask(SIG_BLOCK, &pipe, nullptr) == 0;
        static const char kQuit[] = "{\"op\":\"quit\"}\n";
        const bool asked = pipeBlocked && in.valid() &&
                           ::write(in.get(), kQuit, sizeof kQuit - 1) == ssize_t(sizeof kQuit - 1);
        in.reset();
        // What the office leaves behind in its group goes with it.
        EndChildGroup(pid, asked ? std::chrono::seconds(40) : std::chrono::seconds(0), {},
                      [pid] { removeLiveGroup(pid); });
        removeGroupSockets(pid);
        out.reset();
        if (!work.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(work, ec);
        }
        claim.reset();
        std::lock_guard<std::mutex> lock(live().mutex);
        --live().ending;
        live().ended.notify_all();
    }).detach();
}

// ---------------------------------------------------------------- JSON reader

struct JsonReader {
    const std::string& s;
    size_t i = 0;
    [[noreturn]] void fail() { throw EOleError("办公程序的回答无法读取"); }
    void ws() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    }
    bool lit(const char* w) {
        size_t n = std::strlen(w);
        if (s.compare(i, n, w) == 0) {
            i += n;
            return true;
        }
        return false;
    }
    unsigned hex4() {
        if (i + 4 > s.size()) fail();
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            char c = s[i++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= unsigned(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= unsigned(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= unsigned(c - 'A' + 10);
            else
                fail();
        }
        return v;
    }
    std::string str() {
        if (s[i] != '"') fail();
        ++i;
        std::string out;
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i >= s.size()) fail();
            char e = s[i++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    unsigned cp = hex4();
                    if (cp >= 0xD800 && cp < 0xDC00 && i + 6 <= s.size() && s[i] == '\\' &&
                        s[i + 1] == 'u') {
                        const size_t next = i;
                        i += 2;
                        const unsigned lo = hex4();
                        if (lo >= 0xDC00 && lo <= 0xDFFF)
                            cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                        else
                            i = next;  // no pair: the next escape is a character of its own
                    }
                    if (cp >= 0xDC80 && cp <= 0xDCFF)
                        out += char(cp - 0xDC00);  // a byte that is not UTF-8, as Json wrote it
                    else
                        Utf8Append(out, cp);
                    break;
                }
                default:
                    out += e;
            }
        }
        if (i >= s.size()) fail();
        ++i;
        return out;
    }
    OleVariant value() {
        ws();
        if (i >= s.size()) fail();
        char c = s[i];
        if (c == '"') return OleVariant(str());
        if (c == '[' || c == '{') {
            bool obj = c == '{';
            ++i;
            std::vector<OleVariant> items;
            ws();
            if (i < s.size() && s[i] == (obj ? '}' : ']')) {
                ++i;
                return OleVariant(items);
            }
            for (;;) {
                if (obj) {
                    ws();
                    std::string key = str();
                    ws();
                    if (i >= s.size() || s[i] != ':') fail();
                    ++i;
                    items.push_back(OleVariant(std::vector<OleVariant>{OleVariant(key), value()}));
                } else {
                    items.push_back(value());
                }
                ws();
                if (i >= s.size()) fail();
                if (s[i] == ',') {
                    ++i;
                    continue;
                }
                if (s[i] == (obj ? '}' : ']')) {
                    ++i;
                    break;
                }
                fail();
            }
            return OleVariant(items);
        }
        if (lit("null")) return OleVariant();
        if (lit("true")) return OleVariant(true);
        if (lit("false")) return OleVariant(false);
        size_t start = i;
        while (i < s.size() && (std::isdigit((unsigned char)s[i]) || s[i] == '-' || s[i] == '+' ||
                                s[i] == '.' || s[i] == 'e' || s[i] == 'E'))
            ++i;
        if (start == i) fail();
        std::string num = s.substr(start, i - start);
        if (num.find_first_of(".eE") == std::string::npos) return OleVariant(std::stoll(num));
        return OleVariant(std::stod(num));
    }
};

}  // namespace

// ---------------------------------------------------------------- installation

std::string SofficePath() {
    for (const char* p : {"/usr/bin/soffice", "/usr/lib/libreoffice/program/soffice"})
        if (isExecutable(p)) return p;
    std::string found = SearchProgram("soffice");
    return found;
}

bool PrepareProfile(const std::string& soffice, const std::string& profile) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path program = fs::canonical(soffice, ec).parent_path();
    if (ec || program.empty()) return false;
    // Bundled extensions would be left unregistered for the profile: such an office keeps
    // its restart.
    const fs::path bundled = program.parent_path() / "share" / "extensions";
    if (fs::exists(bundled, ec) && !fs::is_empty(bundled, ec)) return false;
    std::ifstream rc(program / "versionrc");
    std::string build;
    for (std::string line; std::getline(rc, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("buildid=", 0) == 0) build = line.substr(8);
    }
    if (build.empty()) return false;
    const fs::path extensions = fs::path(profile) / "user" / "extensions";
    fs::create_directories(extensions, ec);
    std::ofstream out(extensions / "buildid", std::ios::binary);
    out << build;
    return !ec && out.good();
}

std::string UnoPython() {
    // The office's UNO binding is built for the system's Python.
    static const std::string found = [] {
        std::string soffice = SofficePath();
        if (soffice.empty()) return std::string();
        for (const char* p : {"/usr/bin/python3", "/usr/lib/libreoffice/program/python"}) {
            if (!isExecutable(p)) continue;
            std::string py = p;
            if (py == "/usr/bin/python3" &&
                !std::filesystem::exists("/usr/lib/python3/dist-packages/uno.py") &&
                !std::filesystem::exists("/usr/lib/libreoffice/program/uno.py"))
                continue;
            return py;
        }
        return std::string();
    }();
    return found;
}

bool ModuleInstalled(const std::string& module) {
    if (SofficePath().empty() || UnoPython().empty()) return false;
    std::error_code ec;
    for (const char* base :
         {"/usr/lib/libreoffice/share/registry/", "/opt/libreoffice/share/registry/"})
        if (std::filesystem::exists(std::string(base) + module + ".xcd", ec)) return true;
    return false;
}

std::string MdbTool(const std::string& name) {
    std::string p = "/usr/bin/" + name;
    if (isExecutable(p)) return p;
    return SearchProgram(name);
}

// ---------------------------------------------------------------- JSON

// A string as JSON. Bytes that are not UTF-8 (a name in GBK) are written as the escapes
// U+DC80..U+DCFF that Python reads back as those bytes (its "surrogateescape").
std::string Json(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (const size_t n = Utf8SequenceLength(text, i); n > 1) {
            out.append(text, i, n);
            i += n - 1;
            continue;
        } else if (n == 0) {
            out += "\\udc";
            AppendHexByte(out, c, HexCase::lower);
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    out += "\\u00";
                    AppendHexByte(out, c, HexCase::lower);
                } else {
                    out += char(c);
                }
        }
    }
    return out + "\"";
}

std::string Json(double number) {
    if (!std::isfinite(number)) number = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", number);
    return buf;
}

std::string Json(long long number) { return std::to_string(number); }
std::string Json(bool value) { return value ? "true" : "false"; }

OleVariant ParseJson(const std::string& text) {
    JsonReader r{text};
    try {
        OleVariant v = r.value();
        return v;
    } catch (const std::invalid_argument&) {
        r.fail();
    } catch (const std::out_of_range&) {
        r.fail();
    }
}

OleVariant JsonMember(const OleVariant& object, const std::string& key) {
    if (object.Type() != TVarType::Array) return OleVariant();
    for (const auto& pair : object.AsArray()) {
        if (pair.Type() != TVarType::Array || pair.AsArray().size() != 2) continue;
        if (pair.AsArray()[0].Type() == TVarType::String && pair.AsArray()[0].AsString() == key)
            return pair.AsArray()[1];
    }
    return OleVariant();
}

// ---------------------------------------------------------------- child processes

void PumpMessages() {
    if (Application) Application->ProcessMessages();
}

ChildResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds bound,
                       const std::string& outputFile) {
    ChildResult result;
    std::string errFile;
    try {
        errFile = makeTempFolder("vx-run-") + "stderr.txt";
    } catch (const EOleError&) {}
    // Without a file of the caller's, the output is kept beside the error output: what the
    // program writes is how its progress shows.
    const std::string outFile =
        !outputFile.empty() ? outputFile
                            : (errFile.empty() ? "" : ExtractFilePath(errFile) + "stdout.txt");
    ScopedFd out;
    if (!outFile.empty())
        out.reset(open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    pid_t pid = argv.empty() ? -1 : spawnGroup(argv, -1, out.get(), errFile);
    out.reset();
    if (pid < 0) {
        result.exitCode = 127;
    } else {
        // The bound counts from the last sign of progress: output written by the program.
        auto written = [&] { return fileSize(outFile) + fileSize(errFile); };
        long long seen = written();
        auto lastProgress = Clock::now();
        bool ended = false;
        while (!(ended = awaitChild(pid, Clock::now() + std::chrono::milliseconds(200)))) {
            const long long now = written();
            if (now != seen) {
                seen = now;
                lastProgress = Clock::now();
            } else if (LimitPassed(lastProgress, Clock::now(), bound)) {
                break;
            }
        }
        result.timedOut = !ended;
        // Ends it when it was cut, and whatever it left behind in its group either way.
        result.exitCode = EndChildGroup(pid, std::chrono::milliseconds(0), PumpMessages);
    }
    if (!errFile.empty()) {
        result.errorText = readTail(errFile);
        std::error_code ec;
        std::filesystem::remove_all(ExtractFilePath(errFile), ec);
    }
    return result;
}

// ---------------------------------------------------------------- the session

Session::Session() { start(); }

Session::~Session() {
    try {
        Quit();
    } catch (...) {
        LogPassedException("office session end");
    }
}

void Session::start() {
    std::string soffice = SofficePath();
    std::string python = UnoPython();
    if (soffice.empty() || python.empty())
        throw EOleError("没有安装 LibreOffice (soffice 和 python3-uno)");
    // Folders of sessions whose program was killed: nobody holds them any more.
    RemoveAbandonedFolders(tempRoot(), "vexomat-office-");
    work_ = makeTempFolder("vexomat-office-");
    // Held while the session lives; removed when a signal ends the program.
    claim_ = std::make_shared<TRunFolderClaim>(work_);
    // A session that does not start leaves nothing behind.
    ScopeExit removeWork([this] {
        claim_.reset();
        std::error_code ec;
        std::filesystem::remove_all(work_, ec);
    });
    const std::string script = work_ + "bridge.py";
    if (const int err = writeWhole(script, kBridgeScript))
        throw TempFolderFailure(err, kCannotStart);
    for (const char* folder : {"profile", "files", "tmp", "names"})
        if (::mkdir((work_ + folder).c_str(), 0700) != 0)
            throw TempFolderFailure(errno, kCannotStart);
    PrepareProfile(soffice, work_ + "profile");
    std::string pipeName = "vexomat" + std::to_string(getpid()) + "_" +
                           std::to_string(reinterpret_cast<uintptr_t>(this) & 0xffffff) + "_" +
                           std::to_string(Clock::now().time_since_epoch().count() % 1000000007);
    ScopedFd childIn, childOut;
    if (!MakePipe(childIn, in_) || !MakePipe(out_, childOut)) throw EOleError("pipe failed");
    const std::string profileUrl = fileUrl(work_ + "profile");
    sockets_ = officeSockets(pipeName, profileUrl);
    // The bridge is told the office's sockets too: ended by our end, it removes them.
    std::vector<std::string> argv{python, script, soffice, profileUrl, pipeName};
    argv.insert(argv.end(), sockets_.begin(), sockets_.end());
    // The bridge hears of our end by SIGTERM and then ends its whole group, the office it
    // started included (a parent-death signal reaches only the bridge itself).
    pid_ = spawnGroup(argv, childIn.get(), childOut.get(), work_ + "bridge.log", work_ + "tmp/",
                      SIGTERM);
    if (pid_ < 0) {
        in_.reset();
        out_.reset();
        throw EOleError("无法启动办公程序: " + python);
    }
    removeWork.Release();
    fcntl(out_.get(), F_SETFL, fcntl(out_.get(), F_GETFL) | O_NONBLOCK);
    addLiveGroup(pid_, sockets_);
}

std::string Session::NewWorkFile(const std::string& ext) {
    return work_ + "files/" + std::to_string(++counter_) + ext;
}

std::string Session::errorTail() const { return readTail(work_ + "bridge.log"); }

OleVariant Session::Command(const std::string& request) {
    return Command(request, NoProgressLimit());
}

namespace {

// How often a running office step is looked at for progress.
constexpr auto kOfficeLook = std::chrono::seconds(1);

// Names and sizes of the files below a folder: what the office writes (its results, its
// temporary files) changes them.
uint64_t FolderFingerprint(const std::string& folder) {
    namespace fs = std::filesystem;
    uint64_t h = 14695981039346656037ULL;
    auto mix = [&h](const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ULL;
    };
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().string();
        mix(name.data(), name.size());
        std::error_code sizeError;
        const uintmax_t size = it->is_regular_file(sizeError) ? it->file_size(sizeError) : 0;
        mix(&size, sizeof size);
    }
    return h;
}

// The office is working while its processes use processor time or what it writes grows.
// The bridge's own time does not count: while the office starts, the bridge keeps trying
// to reach it, and that is no sign that the office gets on. The largest address space
// any office process had at a look is kept: an office near the child memory limit fails
// for want of memory, whatever it says.
class OfficeProgress {
public:
    OfficeProgress(int group, std::string work) : group_(group), work_(std::move(work)) {
        Changed();
    }
    bool Changed() {
        const std::optional<GroupUsage> usage = ProcessGroupUsage(group_, group_);
        std::optional<std::chrono::milliseconds> cpu;
        if (usage) {
            cpu = usage->cpu;
            largest_ = std::max(largest_, usage->largestAddressSpace);
        }
        const uint64_t files =
            FolderFingerprint(work_ + "files/") ^ (FolderFingerprint(work_ + "tmp/") * 31);
        const bool changed = cpu != cpu_ || files != files_;
        cpu_ = cpu;
        files_ = files;
        return changed;
    }
    // The office has come so near the limit that its next allocations fail: a step that
    // goes on there is ended.
    bool AtMemoryLimit() const { return largest_ >= ChildMemoryLimit() / 10 * 9; }
    // A step that failed after the office took half the limit failed for want of memory:
    // growing by half as much again is what a growing buffer asks for next.
    bool NearMemoryLimit() const { return largest_ >= ChildMemoryLimit() / 2; }

private:
    int group_;
    std::string work_;
    std::optional<std::chrono::milliseconds> cpu_;
    uint64_t files_ = 0;
    uint64_t largest_ = 0;
};

// The request's value of key, as text ("" when it has none).
std::string RequestText(const OleVariant& request, const std::string& key) {
    const OleVariant v = JsonMember(request, key);
    return v.Type() == TVarType::String ? v.AsString() : std::string();
}

}  // namespace

std::string FileNameShown(const std::string& path) {
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return name;
}

std::string Session::documentOf(const OleVariant& request) const {
    if (std::string path = RequestText(request, "path");
        !path.empty() && RequestText(request, "op") == "load")
        return path;
    if (const OleVariant id = JsonMember(request, "id"); id.Type() == TVarType::Int) {
        if (const auto it = documents_.find(id.AsInt()); it != documents_.end()) return it->second;
    }
    return lastDocument_;
}

OleVariant Session::Command(const std::string& request, std::chrono::milliseconds limit) {
    if (pid_ <= 0) throw EOleError("办公程序已经退出");
    std::string line = request + "\n";
    size_t done = 0;
    while (done < line.size()) {
        ssize_t n = ::write(in_.get(), line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::string tail = errorTail();
            endProcesses(std::chrono::milliseconds(0));
            throw EOleError("办公程序没有响应" + (tail.empty() ? "" : ": " + tail));
        }
        done += size_t(n);
    }
    OleVariant parsed;
    try {
        parsed = ParseJson(request);
    } catch (const EOleError&) {
        // A request we could not read back names no file; it is sent all the same.
    }
    // A step is ended when the office neither used processor time nor wrote anything for
    // the limit, and in any case after the ceiling.
    const auto started = Clock::now();
    const auto ceiling = DeadlineAfter(started, OfficeStepCeiling());
    OfficeProgress progress(pid_, work_);
    auto lastLook = started;
    auto lastProgress = started;
    // The step by its name in the request ("op":"load", ...), and its document.
    auto stepName = [&] {
        const std::string step = RequestText(parsed, "op");
        return step.empty() ? std::string("?") : step;
    };
    auto fileNamed = [&] {
        const std::string file = FileNameShown(documentOf(parsed));
        return "文件" + (file.empty() ? std::string() : " \"" + file + "\"");
    };
    // An office out of memory is ended, whatever it did or said then.
    auto outOfMemory = [&] {
        endProcesses(std::chrono::milliseconds(0));
        return EOleError(fileNamed() + " 的处理所需的内存超过了上限 (" +
                         std::to_string(ChildMemoryLimit() >> 20) + " MB): 办公程序的步骤 " +
                         stepName() + " 内存不足, 已被终止。");
    };
    for (;;) {
        size_t nl = buffer_.find('\n');
        if (nl != std::string::npos) {
            std::string answer = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            OleVariant reply = ParseJson(answer);
            if (JsonMember(reply, "ok").Type() == TVarType::Bool &&
                JsonMember(reply, "ok").AsBool()) {
                OleVariant result = JsonMember(reply, "result");
                if (RequestText(parsed, "op") == "load" && result.Type() == TVarType::Int) {
                    lastDocument_ = RequestText(parsed, "path");
                    documents_[result.AsInt()] = lastDocument_;
                }
                return result;
            }
            progress.Changed();  // how large the office grew before it gave up
            if (progress.NearMemoryLimit()) throw outOfMemory();
            throw EOleError(WhyDocumentDidNotOpen(JsonMember(reply, "error").AsString()));
        }
        const auto now = Clock::now();
        if (now - lastLook >= kOfficeLook) {
            lastLook = now;
            if (progress.Changed()) lastProgress = now;
            if (progress.AtMemoryLimit()) throw outOfMemory();
        }
        const bool stalled = LimitPassed(lastProgress, now, limit);
        if (stalled || now >= ceiling) {
            if (progress.NearMemoryLimit()) throw outOfMemory();
            endProcesses(std::chrono::milliseconds(0));
            const long long seconds =
                std::max<long long>((stalled ? limit : OfficeStepCeiling()).count() / 1000, 1);
            throw EOleError(fileNamed() + " 的处理时间过长: 办公程序的步骤 " + stepName() +
                            (stalled ? " 在 " + std::to_string(seconds) + " 秒内没有任何进展"
                                     : " 超过了 " + std::to_string(seconds) + " 秒的上限") +
                            ", 已被终止。");
        }
        PumpMessages();
        pollfd p{out_.get(), POLLIN, 0};
        int r = poll(&p, 1, 10);
        if (r > 0) {
            char buf[4096];
            ssize_t n = ::read(out_.get(), buf, sizeof buf);
            if (n > 0) {
                buffer_.append(buf, size_t(n));
            } else if (n == 0) {
                if (progress.NearMemoryLimit()) throw outOfMemory();
                std::string tail = errorTail();
                endProcesses(std::chrono::milliseconds(0));
                throw EOleError("办公程序意外退出" + (tail.empty() ? "" : ": " + tail));
            }
        }
    }
}

void Session::endProcesses(std::chrono::milliseconds grace) {
    in_.reset();
    if (pid_ > 0) {
        // Let go first: a message handled while the group ends may end this session again,
        // and only one of them may reap and signal it.
        const pid_t pid = std::exchange(pid_, -1);
        EndChildGroup(pid, grace, PumpMessages, [pid] { removeLiveGroup(pid); });
        removeGroupSockets(pid);
    }
    out_.reset();
}

void Session::PrintDone() {
    if (printNotice_.valid()) return;
    printNotice_.reset(eventfd(1, EFD_CLOEXEC | EFD_NONBLOCK));
    if (printNotice_.valid()) RegisterWakeFd(printNotice_.get());
}

void Session::Quit() {
    if (printNotice_.valid()) {
        UnregisterWakeFd(printNotice_.get());
        printNotice_.reset();
    }
    if (pid_ > 0) {
        // Quitting the office takes a good part of a second; it goes on in the background.
        endInBackground(pid_, in_.release(), out_.release(), work_, std::move(claim_));
        pid_ = -1;
        buffer_.clear();
        work_.clear();
        return;
    }
    if (!work_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(work_, ec);
        work_.clear();
    }
    claim_.reset();
}

// ---------------------------------------------------------------- a session started ahead

namespace {
SessionPtr& sessionAhead() {
    static SessionPtr* waiting = new SessionPtr;
    return *waiting;
}

// A run that ends before any application object took the session (a refused source, a
// message that closes the program) ends it on the way out, its folder removed, like any
// session still quitting then.
void endSessionAhead() {
    sessionAhead().reset();
    killLiveGroups();
}
}  // namespace

void StartSessionAhead() {
    if (sessionAhead()) return;
    try {
        sessionAhead() = std::make_shared<Session>();
    } catch (const std::exception&) {
        // No office: the application object that asks for one says so.
        return;
    }
    static std::once_flag hooked;
    // Registered after the session's own exit handlers, so it runs before them.
    std::call_once(hooked, [] {
        std::atexit(endSessionAhead);
        AddExitProc(endSessionAhead);
    });
}

SessionPtr NewSession() {
    SessionPtr s = std::move(sessionAhead());
    sessionAhead().reset();
    if (s && s->Running()) return s;
    return std::make_shared<Session>();
}

void DropSessionAhead() { sessionAhead().reset(); }

}  // namespace office
