#include "engine/util.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/host.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/fileOps.h"
#include "platform/rtl/fileTransaction.h"
#include "platform/rtl/hex.h"
#include "platform/rtl/noProgressLimit.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"
#include "platform/user/messages.h"
#include "platform/vcl/forms.h"
#include "platform/win/fileChange.h"
#include "platform/win/handles.h"
#include "platform/win/printers.h"
#include "platform/win/process.h"
#include "platform/win/runGuard.h"
#include "platform/win/shell.h"
#include "platform/win/version.h"

namespace {

TMainState& State() {
    TMainState* s = MainState();
    if (!s) throw Exception("The main window does not exist.");
    return *s;
}

void ProcessMessages() { Application->ProcessMessages(); }
void HandleMessage() { Application->HandleMessage(); }

// Columns a key takes in the log: ASCII one, every other character two.
int KeyColumns(const std::string& key) {
    int cols = 0;
    for (size_t i = 0; i < key.size(); i = Utf8CharEnd(key, i))
        cols += static_cast<unsigned char>(key[i]) < 0x80 ? 1 : 2;
    return cols;
}

void CreateFolderIfMissing(const std::string& dir) { ForceSingleFolder(dir); }

// Raises the last error of the system layer, worded as a Chinese Windows words it; the
// system's own words go with it to the log.
[[noreturn]] void RaiseLastSystemError() {
    const DWORD code = GetLastError();
    struct Words {
        DWORD code;
        const char* chinese;
        const char* system;
    };
    static const Words words[] = {
        {ERROR_FILE_NOT_FOUND, "系统找不到指定的文件。",
         "The system cannot find the file specified."},
        {ERROR_ACCESS_DENIED, "拒绝访问。", "Access is denied."},
        {ERROR_INVALID_HANDLE, "句柄无效。", "The handle is invalid."},
        {ERROR_INVALID_PARAMETER, "参数错误。", "The parameter is incorrect."},
        {ERROR_INSUFFICIENT_BUFFER, "传递给系统调用的数据区域太小。",
         "The data area passed to a system call is too small."},
        {ERROR_INVALID_PRINTER_NAME, "打印机名无效。", "The printer name is invalid."},
    };
    Words found{code, "未知错误。", "Unknown error."};
    for (const Words& w : words)
        if (w.code == code) found = w;
    EOSError e("系统错误，代码 " + IntToStr(code) + "。\n" + found.chinese, code);
    e.SystemText = found.system;
    throw e;
}

// Windows command-line quoting of one argument.
std::string QuoteArg(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            out.append(backslashes * 2 + 1, '\\');
        else
            out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

}  // namespace

// ---------------------------------------------------------------- the day log

namespace {
bool g_logFailureReported = false;  // in this run
}  // namespace

std::string EscapeControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7F) {
            out += ch;
            continue;
        }
        switch (c) {
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
                out += "\\x";
                AppendHexByte(out, c);
                break;
        }
    }
    return out;
}

std::string FormatLogLine(double time, const std::string& key, const std::string& value) {
    std::string line = FormatDateTime("hh-nn-ss-zzz", time) + " | " + key;
    int cols = KeyColumns(key);
    if (cols < 12) line.append(size_t(12 - cols), ' ');
    return line + " | " + value;
}

void EnsureLogFolder(bool force) {
    TMainState& s = State();
    if (!force && !s.FLogDir.empty()) return;
    if (force) g_logFailureReported = false;  // a new run reports a log it cannot write anew
    std::string dir = s.FAppPath + "logs/";
    CreateFolderIfMissing(dir);
    dir += FormatDateTime("yyyy-mm-dd", Now()) + "/";
    CreateFolderIfMissing(dir);
    s.FLogDir = dir;
}

namespace {

// A day log that cannot be written is reported once (on the error output and in the
// error list) and the run goes on; the log is a record, not a step of the run.
void ReportLogFailure(const std::string& reason) {
    if (g_logFailureReported) return;
    g_logFailureReported = true;
    const std::string message = "无法写入日志文件: " + reason;
    std::fprintf(stderr, "vexomat: %s\n", message.c_str());
    TMainState* s = MainState();
    if (s && s->FErrors) s->FErrors->Add(message);
}

// Values that are one line by nature (names, parameter strings, command lines): a line
// break in them is a name's own byte and is shown escaped like every other control byte.
bool IsOneLineKey(const std::string& key) {
    for (const char* k : {"源文件", "Parameter", "CommandLine", "GS", "功能", "Version"})
        if (key == k) return true;
    return false;
}

// The mark that stands for a line break of a value in the day log.
constexpr const char* kJoinedLines = " ⏎ ";

// A value as the log shows it, on one line: control bytes escaped, so no text (a file
// name, a watermark, a message quoting them) can make a line that looks like a log entry.
// A value of several lines (a message with its reason beneath, Ghostscript's error
// output) has them joined, empty ones left out.
std::string LogValue(const std::string& key, const std::string& value) {
    if (IsOneLineKey(key)) return EscapeControls(value);
    std::string out;
    size_t from = 0;
    while (from <= value.size()) {
        size_t nl = value.find('\n', from);
        if (nl == std::string::npos) nl = value.size();
        std::string line = value.substr(from, nl - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out += (out.empty() ? "" : kJoinedLines) + EscapeControls(line);
        from = nl + 1;
    }
    return out;
}

void AppendLogLine(const std::string& key, const std::string& value) {
    EnsureLogFolder(false);
    std::string text = FormatLogLine(Now(), key, LogValue(key, value)) + "\n";
    if (key == "Version") text.insert(text.begin(), '\n');
    const std::string name = State().FLogDir + "info.log";
    AppendToPrivateFile(name, text);
}

}  // namespace

void Log(const std::string& key, const std::string& value) {
    try {
        AppendLogLine(key, value);
    } catch (const std::exception& e) {
        ReportLogFailure(e.what());
    }
}

void ReportError(const std::string& message, const std::string& systemText) {
    TMainState& s = State();
    if (s.FErrors) s.FErrors->Add(message);
    Log("ErrorMessage", systemText.empty() ? message : message + " [" + systemText + "]");
}

void ReportError(const std::exception& e) {
    const auto* ours = dynamic_cast<const Exception*>(&e);
    ReportError(e.what(), ours ? ours->SystemText : std::string());
}

// ---------------------------------------------------------------- files and folders

int64_t FileSizeOf(const std::string& name) { return EntrySize(name); }

int64_t FileSizeExpanded(const std::string& name) { return FileSizeOf(ExpandFileName(name)); }

bool DeleteFolder(const std::string& path) {
    bool result = false;
    try {
        std::string from = ExcludeTrailingPathDelimiter(path);
        if (!from.empty()) {
            from.push_back('\0');  // the list ends with an empty entry
            SHFILEOPSTRUCTA op{};
            op.wFunc = FO_DELETE;
            op.pFrom = from.c_str();
            op.pTo = nullptr;
            op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
            result = SHFileOperationA(&op) == 0;
        }
        ProcessMessages();
    } catch (const std::exception& e) {
        ReportError(e);
        result = false;
    }
    return result;
}

bool ShellMove(const std::string& source, const std::string& target) {
    bool result = false;
    try {
        std::string from = source;
        from.push_back('\0');
        std::string to = target;
        to.push_back('\0');
        SHFILEOPSTRUCTA op{};
        op.wFunc = FO_MOVE;
        op.pFrom = from.c_str();
        op.pTo = to.c_str();
        op.fFlags = FOF_FILESONLY | FOF_NOCONFIRMATION | FOF_SILENT;
        result = SHFileOperationA(&op) == 0;
        ProcessMessages();
    } catch (const std::exception& e) {
        ReportError(e);
        result = false;
    }
    return result;
}

std::string MoveMessage(const std::string& target, int err) {
    const bool inUse = err == EBUSY || err == ETXTBSY;
    return "无法移动文件到 \"" + EscapeControls(target) + "\"。" +
           (inUse ? std::string("可能文件在使用中(被其他的应用程序打开了)。")
                  : SysErrorMessage(err));
}

bool CommitResults(TFileTransaction& moves) {
    ProcessMessages();
    // A run whose window was closed leaves the destination as it was.
    if (TMainState* s = MainState(); s && s->FRunCancelled) {
        ReportError("转换被中断 (窗口已关闭), 结果没有移到目标文件夹。");
        return false;
    }
    std::string failed, cause;
    const bool ok = moves.Commit(failed, cause);
    ProcessMessages();
    if (!ok)
        ReportError(MoveMessage(failed, moves.ErrorCode()), SystemErrorText(moves.ErrorCode()));
    return ok;
}

bool MoveFileReplacing(const std::string& source, const std::string& target) {
    TFileTransaction move;
    move.Add(source, target);
    return CommitResults(move);
}

void AddMatchingFiles(TFileTransaction& moves, const std::string& mask,
                      const std::string& targetFolder, std::string* firstTarget, bool makeFolder) {
    const std::string folder = ExtractFilePath(mask);
    TSearchRec rec;
    for (int r = FindFirst(mask, faAnyFile, rec); r == 0; r = FindNext(rec)) {
        if (rec.Attr & faDirectory) continue;
        moves.Add(folder + rec.Name, targetFolder + rec.Name, makeFolder);
        if (firstTarget && firstTarget->empty()) *firstTarget = targetFolder + rec.Name;
    }
    FindClose(rec);
}

void MoveMatchingFiles(const std::string& mask, const std::string& targetFolder,
                       std::string& firstTarget) {
    firstTarget.clear();
    TFileTransaction moves;
    std::string first;
    AddMatchingFiles(moves, mask, targetFolder, &first);
    // Only files that have really arrived name the result.
    if (!moves.Empty() && CommitResults(moves)) firstTarget = first;
}

std::string RandomFolderName(const std::string& base, int number) {
    return base + Format("%.8d", number) + "/";
}

std::string MakeRandomFolder(const std::string& base) {
    Randomize();
    std::string folder = RandomFolderName(base, Random(100000000));
    MkDir(folder);
    return folder;
}

std::string MakeRunFolder(const std::vector<std::string>& places) {
    std::vector<std::string> tried;
    std::optional<EInOutError> failure;
    for (const std::string& place : places) {
        const std::string full = IncludeTrailingPathDelimiter(ExpandFileName(place));
        if (std::find(tried.begin(), tried.end(), full) != tried.end()) continue;
        tried.push_back(full);
        RemoveAbandonedRunFolders(place);
        try {
            return MakeRandomFolder(place);
        } catch (const EInOutError& e) {
            failure = e;
        }
    }
    if (failure) throw *failure;
    throw EInOutError("没有可以建立临时文件夹的地方。");
}

namespace {

// How long the folder must stay quiet before a file that looks complete counts as complete.
constexpr UINT kQuietSpellMs = 40;

// The file has content and no process has it open for writing.
bool LooksComplete(const std::string& name) {
    if (FileSizeOf(name) <= 0) return false;
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// Without change notifications for the folder (it does not exist yet): readings of the
// size one handled message and a pause apart.
bool WaitForFileBySize(const std::string& name, const std::function<bool()>& expired) {
    while (!FileExists(name)) {
        if (expired()) return false;
        HandleMessage();
        ProcessMessages();
    }
    for (;;) {
        int64_t size1 = FileSizeOf(name);
        HandleMessage();
        int64_t size2 = FileSizeOf(name);
        Sleep(200);
        if (size1 == size2 && size1 > 0 && LooksComplete(name)) return true;
        if (expired()) return false;
    }
}

// How often a bounded wait looks at the clock when nothing else wakes it.
constexpr UINT kBoundLookMs = 1000;

bool WaitForFileUntil(const std::string& name, const std::function<bool()>& expired, bool bounded) {
    using Clock = std::chrono::steady_clock;
    // Watching starts before the first look, so no change between the two is missed.
    HANDLE change =
        FindFirstChangeNotificationA(ExtractFileDir(ExpandFileName(name)).c_str(), FALSE_,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
    const UINT_PTR boundTimer = bounded ? SetTimer(nullptr, 0, kBoundLookMs, nullptr) : 0;
    if (change == INVALID_HANDLE_VALUE) {
        const bool complete = WaitForFileBySize(name, expired);
        if (boundTimer != 0) KillTimer(nullptr, boundTimer);
        return complete;
    }

    bool complete = false;
    bool candidate = false;
    int64_t candidateSize = -1;
    Clock::time_point quietSince;
    UINT_PTR quietTimer = 0;  // wakes the message wait while a candidate waits out its spell
    for (bool first = true;; first = false) {
        const bool changed = WaitForSingleObject(change, 0) == WAIT_OBJECT_0;
        if (changed) FindNextChangeNotification(change);
        if (first || changed || !candidate) {
            candidate = LooksComplete(name);
            candidateSize = candidate ? FileSizeOf(name) : -1;
            quietSince = Clock::now();
        }
        if (candidate && Clock::now() - quietSince >= std::chrono::milliseconds(kQuietSpellMs) &&
            FileSizeOf(name) == candidateSize) {
            complete = true;
            break;
        }
        if (expired()) break;
        if (candidate && quietTimer == 0) quietTimer = SetTimer(nullptr, 0, kQuietSpellMs, nullptr);
        if (!candidate && quietTimer != 0) {
            KillTimer(nullptr, quietTimer);
            quietTimer = 0;
        }
        HandleMessage();  // a window message, a change in the folder, or the quiet timer
        ProcessMessages();
    }
    if (quietTimer != 0) KillTimer(nullptr, quietTimer);
    if (boundTimer != 0) KillTimer(nullptr, boundTimer);
    FindCloseChangeNotification(change);
    return complete;
}

}  // namespace

bool WaitForFile(const std::string& name, std::optional<std::chrono::milliseconds> bound) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    return WaitForFileUntil(
        name, [&] { return bound && LimitPassed(start, Clock::now(), *bound); }, bool(bound));
}

bool WaitForGrowingFile(const std::string& name, std::chrono::milliseconds limit,
                        std::chrono::milliseconds ceiling) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    int64_t seen = FileExists(name) ? FileSizeOf(name) : -1;
    auto lastChange = start;
    return WaitForFileUntil(
        name,
        [&] {
            const auto now = Clock::now();
            const int64_t size = FileExists(name) ? FileSizeOf(name) : -1;
            if (size != seen) {
                seen = size;
                lastChange = now;
            }
            return LimitPassed(lastChange, now, limit) || LimitPassed(start, now, ceiling);
        },
        true);
}

// ---------------------------------------------------------------- system

const char* const WindowsVersionNames[12] = {
    "Unbekannt", "Win95",  "Win95OSR2", "Win98", "Win98SE", "WinME",
    "WinNT3",    "WinNT4", "Win2000",   "WinXP", "Win2003", "Linux",
};

int ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor, unsigned build,
                           const std::string& servicePack, std::string& text) {
    text = "Version " + IntToStr(major) + "." + IntToStr(minor) + ", Build ";
    if (platformId == VER_PLATFORM_WIN32_WINDOWS)
        text += IntToStr(build & 0xFFFF) + ", " + servicePack;
    else if (platformId == VER_PLATFORM_WIN32_NT || platformId == VER_PLATFORM_LINUX)
        text += IntToStr(build) + ", " + servicePack;

    // The letter after the version number in the service text tells the 9x releases apart.
    std::string letter = servicePack.size() >= 2 ? Trim(servicePack.substr(1, 1)) : "";
    switch (platformId) {
        case VER_PLATFORM_WIN32_WINDOWS:
            if (minor == 0) return letter == "B" ? wvWin95OSR2 : wvWin95;
            if (minor == 10) return letter == "A" ? wvWin98SE : wvWin98;
            if (minor == 90 && build == 0x045A0BB8u) return wvWinME;
            return wvUnknown;
        case VER_PLATFORM_WIN32_NT:
            if (major == 3) return wvWinNT3;
            if (major == 4) return wvWinNT4;
            if (major == 5 && minor == 0) return wvWin2000;
            if (major == 5 && minor == 1) return wvWinXP;
            if (major == 5 && minor == 2) return wvWin2003;
            return wvUnknown;
        case VER_PLATFORM_LINUX:
            return wvLinux;
        default:
            return wvUnknown;
    }
}

int GetWindowsVersion(std::string& text) {
    text.clear();
    try {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (!GetVersionExA(&info)) RaiseLastSystemError();
        return ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                                      info.dwBuildNumber, info.szCSDVersion, text);
    } catch (const std::exception& e) {
        Log("ErrorMessage", e.what());
        return wvUnknown;
    }
}

void SwitchDefaultPrinter(const std::string& printerName) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) RaiseLastSystemError();
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return;

    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion < 5) {
        HANDLE printer = nullptr;
        if (!OpenPrinterA(const_cast<char*>(printerName.c_str()), &printer, nullptr))
            RaiseLastSystemError();
        ScopeExit close([&] { ClosePrinter(printer); });
        DWORD needed = 0;
        if (GetPrinterA(printer, 2, nullptr, 0, &needed) ||
            GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            RaiseLastSystemError();
        std::vector<BYTE> buffer(needed);
        if (!GetPrinterA(printer, 2, buffer.data(), needed, &needed)) RaiseLastSystemError();
        auto* pi = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
        pi->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
        if (!SetPrinterA(printer, 2, buffer.data(), PRINTER_CONTROL_SET_STATUS))
            RaiseLastSystemError();
        return;
    }
    if (!SetDefaultPrinterA(printerName.c_str())) RaiseLastSystemError();
}

void RunHelper(const std::string& arg1, const std::string& arg2) {
    ProcessMessages();
    TMainState& s = State();
    const std::string program = s.FAppPath + "additional/enumWindows.exe";
    // The program path is quoted too, so a program folder with blanks keeps the arguments
    // in their places. It is only the first word of the line (the program is named apart),
    // and a quoted first word ends at the next quote, so a path holding one is not used.
    std::string first = program.find('"') == std::string::npos ? program : "enumWindows.exe";
    std::string commandLine = "\"" + first + "\" " + QuoteArg(arg1) + " " + QuoteArg(arg2);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE_,
                       NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        ShowMsg("在开始 enumWindows 时处理!", mkInformation, s.FBatchMode);
    }
}

bool HasAssociatedProgram(const std::string& fileName) {
    std::vector<char> buffer(4096, '\0');
    return reinterpret_cast<intptr_t>(FindExecutableA(fileName.c_str(), "", buffer.data())) > 32;
}
