#include "engine/pdfHelper.h"

#include <cerrno>
#include <fstream>
#include <vector>

#include "engine/host.h"
#include "engine/util.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/win/handles.h"
#include "platform/win/process.h"

namespace {

// The text Ghostscript's error output holds when it repaired a damaged input or ignored
// errors in it and still completed the job.
const char* const kRepairNotice = "文件有错误要修复或忽略。";

TMainState& State() {
    TMainState* s = MainState();
    if (!s) throw Exception("The main window does not exist.");
    return *s;
}

// The name of one of the two output logs of a run, stamped with the current time.
std::string OutputLogName(const std::string& gsDir, const char* suffix) {
    return gsDir + FormatDateTime("hh-nn-ss-zzz_", Now()) + suffix;
}

}  // namespace

std::string QuoteGsArg(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string GsOutputName(const std::string& path) { return StringReplaceAll(path, "%", "%%"); }

bool TGhost::ErrorLogHasErrors(const std::string& errorLogPath) {
    const int64_t size = FileSizeExpanded(errorLogPath);
    if (size == 0) return false;
    std::ifstream in(errorLogPath, std::ios::binary);
    if (!in) RaiseInOutError(size < 0 ? ENOENT : EACCES, errorLogPath);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find(kRepairNotice) != std::string::npos) return false;
    }
    return true;
}

bool TGhost::Run(const std::string& jobName, const std::string& params) {
    bool result = true;
    try {
        TMainState& s = State();

        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = nullptr;
        startup.hStdOutput = nullptr;
        startup.hStdError = nullptr;
        PROCESS_INFORMATION info{};

        Application->ProcessMessages();

        std::string versionText;
        const int version = GetWindowsVersion(versionText);
        const int nameIndex = version >= 0 && version < 12 ? version : 0;
        Log("WinVersion", std::string(WindowsVersionNames[nameIndex]) + " / " + versionText);
        Log("GS", s.FGsExe);
        Log("Parameter", params);

        EnsureLogFolder(false);
        const std::string responseFile = s.FLogDir + "temp.log";
        WriteFileText(responseFile, params + "\n");

        const std::string gsDir = s.FLogDir + "gs/";
        if (!DirectoryExists(gsDir)) MkDir(gsDir);
        const std::string outLog = OutputLogName(gsDir, "out.log");
        const std::string errorLog = OutputLogName(gsDir, "error.log");

        std::string core = "\"" + s.FGsExe + "\" @\"" + responseFile + "\" 1> \"" + outLog +
                           "\" 2> \"" + errorLog + "\"";
        const std::string commandLine =
            version >= wvWin95 && version <= wvWin98SE ? core : "cmd /c \"" + core + "\"";
        Log("CommandLine", commandLine);

        // A quote inside one of the paths would end its quoted name early and hand the
        // rest to the program as further arguments, so such a line is never started.
        bool started = false;
        if (s.FGsExe.find('"') == std::string::npos && s.FLogDir.find('"') == std::string::npos) {
            std::vector<char> line(commandLine.begin(), commandLine.end());
            line.push_back('\0');
            started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE_,
                                     CREATE_DEFAULT_ERROR_MODE | CREATE_NEW_CONSOLE |
                                         NORMAL_PRIORITY_CLASS,
                                     nullptr, nullptr, &startup, &info) != 0;
        }
        if (!started) {
            ShowMsg("在开始进行处理 " + jobName + " 时出错!", mkInformation, s.FBatchMode);
            return false;
        }

        // The exit code is looked at before each wait, so the wait ends as soon as the
        // program has ended instead of idling on until some later window message.
        DWORD exitCode = STILL_ACTIVE;
        for (;;) {
            if (!GetExitCodeProcess(info.hProcess, &exitCode)) break;
            Application->ProcessMessages();
            if (exitCode != STILL_ACTIVE) break;
            Application->HandleMessage();
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);

        if (FileExists(responseFile) && !DeleteFile(responseFile))
            throw Exception("无法删除临时参数文件。");

        Application->ProcessMessages();
        if (ErrorLogHasErrors(errorLog)) throw Exception("在进行 gs 转换时出错。");
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
    return result;
}
