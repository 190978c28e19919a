#include "engine/pdfHelper.h"

#include <jpeglib.h>
#include <setjmp.h>
#include <string.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

#include "engine/converters/gsOptions.h"
#include "engine/failureReason.h"
#include "engine/host.h"
#include "engine/pdfPageTree.h"
#include "engine/pdfSource.h"
#include "engine/progressWatch.h"
#include "engine/resultPages.h"
#include "engine/util.h"
#include "platform/rtl/noProgressLimit.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"
#include "platform/user/messages.h"
#include "platform/vcl/forms.h"
#include "platform/win/drives.h"
#include "platform/win/handles.h"
#include "platform/win/mutex.h"
#include "platform/win/process.h"
#include "platform/win/runGuard.h"

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

namespace {

// Ghostscript takes no argument longer than 2048 bytes ("Command too long"); a switch's
// name may stand before the file's.
constexpr size_t kGsLongestName = 2000;

// Ghostscript drops bytes that are not UTF-8 from a name, refuses one holding "%pipe%"
// (or "|") as a command to run or one too long for an argument, and a control byte would
// end a line of the response file.
bool GsReadsExactly(const std::string& s) {
    if (s.size() > kGsLongestName) return false;
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F || c == '|') return false;
    return LowerCase(s).find("%pipe") == std::string::npos && IsUtf8(s);
}

// A folder for safe names when the run's own folder has a name Ghostscript cannot read:
// a folder of the system's temporary folder, claimed like a run folder (a killed run's
// is removed by the next run that needs one) and removed at the end of the run.
struct TSafeNamesFolder {
    std::string path;
    std::unique_ptr<TRunFolderClaim> claim;
};
TSafeNamesFolder g_safeNames;

std::string SafeNamesBase() {
    if (g_safeNames.path.empty()) {
        std::string tmp = GetTempDir();
        if (!GsReadsExactly(tmp)) tmp = "/tmp/";
        RemoveAbandonedRunFolders(tmp);
        g_safeNames.path = MakeRandomFolder(tmp);
        g_safeNames.claim = std::make_unique<TRunFolderClaim>(g_safeNames.path);
    }
    return g_safeNames.path;
}

// The link folder's name, and what the names of links to files begin with.
constexpr const char* kLinkFolder = "names/";
constexpr const char* kFileLinkKind = "name";

// Where the safe-named links of a run lie: in its temporary folder, else in the day's log
// folder (a converter called outside a run); in a folder of the system's temporary folder
// when Ghostscript cannot read that one's name.
std::string NameLinkFolder() {
    TMainState* s = MainState();
    std::string base = s && !s->FRunTemp.empty() ? s->FRunTemp : s ? s->FLogDir : GetTempDir();
    if (!GsReadsExactly(ExpandFileName(base))) base = SafeNamesBase();
    std::string folder = base + kLinkFolder;
    ForceDirectories(folder);
    return folder;
}

// Whether path is a safe-named link to a file that SafeLink made.
bool IsSafeFileLink(const std::string& path) {
    std::error_code ec;
    return StartsStr(kFileLinkKind, ExtractFileName(path)) &&
           EndsStr(std::string("/") + kLinkFolder, ExtractFilePath(path)) &&
           std::filesystem::is_symlink(path, ec);
}

// A link with a safe name in the link folder that points to target.
std::string SafeLink(const std::string& target, const std::string& kind, const std::string& ext) {
    const std::string folder = NameLinkFolder();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string link = folder + kind + Format("%.8d", Random(100000000)) + ext;
        if (CreateSymbolicLink(link, target)) return link;
    }
    throw EInOutError("无法为文件名建立链接: \"" + EscapeControls(target) + "\"");
}

// Page files written under a safe name, to be renamed to the real one after the run.
struct TPendingRename {
    std::string folder;      // real folder, trailing "/"
    std::string safePrefix;  // the name Ghostscript writes (before "_p0001...")
    std::string realPrefix;  // the name the files get
    std::string suffix;  // appended to every real name (an extension Ghostscript could not take)
};
std::vector<TPendingRename> g_pendingRenames;

// Gives the page files of the last run their real names.
void ApplyPendingRenames() {
    for (const TPendingRename& r : g_pendingRenames) {
        TSearchRec rec;
        std::vector<std::string> names;
        for (int found = FindFirst(r.folder + r.safePrefix + "*", faAnyFile, rec); found == 0;
             found = FindNext(rec))
            names.push_back(rec.Name);
        FindClose(rec);
        for (const std::string& name : names)
            RenameFile(r.folder + name,
                       r.folder + r.realPrefix + name.substr(r.safePrefix.size()) + r.suffix);
    }
    g_pendingRenames.clear();
}

}  // namespace

void EndSafeNames() {
    g_pendingRenames.clear();
    if (g_safeNames.path.empty()) return;
    RemoveTreeNow(g_safeNames.path.c_str());
    g_safeNames.claim.reset();
    g_safeNames.path.clear();
}

std::string GsFileName(const std::string& path) {
    std::string full = ExpandFileName(path);
    if (GsReadsExactly(full)) return full;
    std::string ext = ExtractFileExt(full);
    if (!GsReadsExactly(ext)) ext.clear();
    return SafeLink(full, kFileLinkKind, ext);
}

std::string GsPagedOutputName(const std::string& dst) {
    const std::string full = ExpandFileName(dst);
    const std::string ext = ExtractFileExt(full);
    const std::string stem = full.substr(0, full.size() - ext.size());
    // Ghostscript could not open a page file of a name longer than a name may be, and
    // would say so in English, naming it.
    const std::string firstPage = ExtractFileName(stem) + "_p0001" + ext;
    if (firstPage.size() > MaxNameBytes)
        throw EInOutError("无法写入页面文件 \"" + EscapeControls(firstPage) + "\"。" +
                          SysErrorMessage(ENAMETOOLONG));
    if (GsReadsExactly(full)) return GsOutputName(stem) + "_p%04d" + GsOutputName(ext);
    // Ghostscript writes the pages under a safe name, through a link to their folder when
    // it cannot read the folder's name either; the runner renames them when it ends.
    const std::string folder = ExtractFilePath(full);
    const std::string safeFolder =
        GsReadsExactly(folder) ? folder
                               : SafeLink(ExcludeTrailingPathDelimiter(folder), "dir", "") + "/";
    const std::string safePrefix = "page" + Format("%.8d", Random(100000000));
    const bool extReadable = GsReadsExactly(ext);
    g_pendingRenames.push_back(
        {folder, safePrefix, stem.substr(folder.size()), extReadable ? "" : ext});
    return safeFolder + safePrefix + "_p%04d" + (extReadable ? ext : "");
}

std::string MaskPasswords(const std::string& params) {
    // Read as the console program reads the line, so a quoted password is masked whole
    // and a file name that merely holds the switch's text is left alone.
    std::string out;
    size_t copied = 0;
    for (const GsToken& t : GsTokenSpans(params)) {
        for (const char* key : {"-sOwnerPassword=", "-sUserPassword="}) {
            if (!StartsStr(key, t.value)) continue;
            out.append(params, copied, t.begin - copied);
            out += std::string(key) + "******";
            copied = t.end;
            break;
        }
    }
    return out + params.substr(copied);
}

std::string GsOutputName(const std::string& path) { return StringReplaceAll(path, "%", "%%"); }

bool StepWasCut() {
    const TMainState* s = MainState();
    return s && s->FStepCut && !s->FRunTemp.empty();
}

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

namespace {

// Holds the log folder's named mutex; the window keeps processing messages while it waits.
class TLogFolderLock {
public:
    explicit TLogFolderLock(const std::string& folder) {
        mutex_ = CreateMutexA(nullptr, FALSE_, ("Vexomat Ghostscript job " + folder).c_str());
        if (!mutex_) return;
        while (WaitForSingleObject(mutex_, 20) == WAIT_TIMEOUT) Application->ProcessMessages();
        held_ = true;
    }
    ~TLogFolderLock() {
        if (held_) ReleaseMutex(mutex_);
        if (mutex_) CloseHandle(mutex_);
    }
    TLogFolderLock(const TLogFolderLock&) = delete;
    TLogFolderLock& operator=(const TLogFolderLock&) = delete;

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

// A new folder for one job inside the run's temporary folder (or the log folder).
std::string JobFolder(const TMainState& s) {
    const std::string base = s.FRunTemp.empty() ? s.FLogDir : s.FRunTemp;
    for (int attempt = 0;; ++attempt) {
        std::string dir = base + "gsjob" + Format("%.8d", Random(100000000)) + "/";
        if (CreateDir(dir)) return dir;
        if (attempt >= 100 || DirectoryExists(dir) == false) MkDir(dir);  // raises the reason
    }
}

// Less room than this in the job's folder after a failed job: the disk is full.
constexpr uint64_t kFullDiskBytes = 256 * 1024;

// How often a running job's progress is looked at.
constexpr UINT kProgressLookMs = 1000;

// The reason of a job ended for making no progress: the file and the step.
std::string TookTooLong(const std::string& jobName) {
    const TMainState* s = MainState();
    const std::string file = s && s->FSourceFiles && s->FSourceFiles->Count() > 0
                                 ? ExtractFileName((*s->FSourceFiles)[0])
                                 : std::string();
    return "文件" + (file.empty() ? std::string() : " \"" + EscapeControls(file) + "\"") +
           " 的处理时间过长: 步骤 " + jobName + " 在 " + IntToStr(NoProgressLimitSeconds()) +
           " 秒内没有任何进展, 已被终止。";
}

}  // namespace

bool DiskIsFull(const std::string& folder) {
    uint64_t available = 0;
    return GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr) &&
           available < kFullDiskBytes;
}

namespace {

// The text of a file, its first `limit` bytes at most.
std::string FileText(const std::string& path, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    std::string text(limit, '\0');
    in.read(text.data(), std::streamsize(limit));
    text.resize(size_t(in.gcount()));
    return text;
}

// What a reason says of a source named a PDF that is none.
constexpr const char* kNotPdf = "该文件不是 PDF 文件";

// What of a job's error output the day log keeps after a job that succeeded, and what is
// read to explain one that failed (the console program keeps its outputs bounded too).
constexpr size_t kLoggedOutputBytes = 4096;
constexpr size_t kReadOutputBytes = 1 << 20;

// The inputs of a job: the arguments after "-f".
std::vector<std::string> InputsOf(const std::string& params) {
    std::vector<std::string> inputs;
    bool afterF = false;
    for (const GsToken& t : GsTokenSpans(params)) {
        if (t.value == "-f")
            afterF = true;
        else if (afterF)
            inputs.push_back(t.value);
    }
    return inputs;
}

// Whether a file has a PDF's header near its start (readers take one after other data too).
bool HasPdfHeader(const std::string& path) {
    const std::string head = FileText(path, 64 * 1024);
    return head.find("%PDF-") != std::string::npos;
}

// The input of a failed job that is named a PDF but is none (Ghostscript then read it as
// PostScript); "" when there is none such.
std::string NotPdfInput(const std::string& output, const std::string& params) {
    const std::string failed = FailedInputIn(output);
    const std::vector<std::string> inputs =
        failed.empty() ? InputsOf(params) : std::vector<std::string>{failed};
    for (const std::string& input : inputs)
        // A pipe or a device is never read: it could hold the run.
        if (SameText(ExtractFileExt(input), ".pdf") && FileSizeExpanded(input) > 0 &&
            FileExists(input) && !HasPdfHeader(input))
            return input;
    return "";
}

// The folder the user knows that lies on a disk with no room left: of the job's output
// and of its own temporary folder, the folder that holds the run's folder (beside the
// source, or the destination), or the output's own folder; "" when neither disk is full.
// A job that failed to write its output has given back the room its temporary files
// took: less room than twice its inputs is no room for it.
std::string FullFolder(const std::string& params, const TMainState& s, const std::string& jobDir,
                       bool writeFailed) {
    std::vector<std::string> folders;
    for (const GsToken& t : GsTokenSpans(params))
        if (StartsStr("-sOutputFile=", t.value))
            folders.push_back(ExtractFilePath(t.value.substr(std::strlen("-sOutputFile="))));
    folders.push_back(jobDir);
    uint64_t need = kFullDiskBytes;
    if (writeFailed) {
        uint64_t inputs = 0;
        for (const std::string& input : InputsOf(params))
            inputs += uint64_t(std::max<int64_t>(0, FileSizeExpanded(input)));
        need = std::max(need, 2 * inputs);
    }
    const std::string run = s.FRunTemp.empty() ? std::string() : ExpandFileName(s.FRunTemp);
    for (const std::string& folder : folders) {
        uint64_t available = 0;
        if (folder.empty() || !GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr) ||
            available >= need)
            continue;
        std::string full = ExpandFileName(folder);
        if (!run.empty() && StartsStr(run, full))
            return ExtractFilePath(ExcludeTrailingPathDelimiter(run));
        return full;
    }
    return "";
}

// The names of files a job's parameters and the run's sources hold, which Ghostscript's
// error output may quote.
std::vector<std::string> NamesIn(const std::string& params, const TMainState& s) {
    std::vector<std::string> names;
    for (const GsToken& t : GsTokenSpans(params)) {
        const size_t eq = t.value.rfind('=');
        const std::string value = t.value.rfind('-', 0) == 0 && eq != std::string::npos
                                      ? t.value.substr(eq + 1)
                                      : t.value;
        // Absolute paths ("/d/a.pdf"), not PostScript names ("/default", "/Bicubic").
        if (value.size() > 1 && value[0] == '/' && value.rfind('/') > 0) names.push_back(value);
    }
    if (s.FSourceFiles)
        for (int i = 0; i < s.FSourceFiles->Count(); ++i) names.push_back((*s.FSourceFiles)[i]);
    return names;
}

// A file a job read, as the user knows it: the file a safe-named link stands for, and for
// a page the page-order window split off, its document and page.
std::string AsTheUserKnowsIt(std::string input, const TMainState& s, std::string& page) {
    std::error_code ec;
    // Only a link of ours stands for another file: a link the user gave is the file as the
    // user knows it.
    if (IsSafeFileLink(input)) {
        const std::filesystem::path target = std::filesystem::read_symlink(input, ec);
        if (!ec) input = target.string();
    }
    // A copy Ghostscript read instead of a source is that source.
    if (std::string source = SourceOfCopy(input); !source.empty()) return source;
    if (s.FArrangeTmp.empty() || !StartsStr(ExpandFileName(s.FArrangeTmp), input)) return input;
    // "1---<name>_p0003.pdf": page 3 of the first file.
    const std::string name = ExtractFileName(input);
    const std::string& document = StartsStr("1---", name)   ? s.FMergeFile1
                                  : StartsStr("2---", name) ? s.FMergeFile2
                                                            : input;
    const size_t p = name.rfind("_p");
    if (&document != &input && p != std::string::npos)
        page = IntToStr(std::atoi(name.c_str() + p + 2));
    return document;
}

// The lines that name the file a failed job is about: the input the console program
// names; of a job of one input, that input (a file the run made on the way, or no input
// file: the run's one source); of several, when the failure belongs to none of them, the
// run's sources.
std::string FailedFileLines(const std::string& output, const std::string& params,
                            const TMainState& s) {
    const std::vector<std::string> inputs = InputsOf(params);
    std::string input = FailedInputIn(output);
    const std::vector<std::string> sources =
        s.FSourceFiles ? s.FSourceFiles->ToVector() : std::vector<std::string>();
    if (input.empty() && inputs.size() > 1) {
        std::string line = "源文件:";
        for (size_t i = 0; i < sources.size() && i < 3; ++i)
            line += std::string(i ? ", " : " ") + "\"" + EscapeControls(sources[i]) + "\"";
        if (sources.size() > 3) line += " 等 " + IntToStr(int(sources.size())) + " 个文件";
        return sources.empty() ? "" : line;
    }
    const std::string runSource = sources.size() == 1 ? ExpandFileName(sources[0]) : std::string();
    if (input.empty()) input = inputs.empty() ? runSource : inputs[0];
    std::string page;
    input = AsTheUserKnowsIt(input, s, page);
    const bool madeOnTheWay = !s.FRunTemp.empty() && StartsStr(ExpandFileName(s.FRunTemp), input);
    if (madeOnTheWay) input = runSource;
    if (input.empty()) return "";
    return FailedFileLine(input) + (page.empty() ? "" : " (第 " + page + " 页)");
}

// The resolution a job asks for ("-r300"); 0 when it asks for none.
long long ResolutionOf(const std::string& params) {
    long long r = 0;
    for (const GsToken& t : GsTokenSpans(params))
        if (t.value.size() > 2 && StartsStr("-r", t.value)) TryStrToInt(t.value.substr(2), r);
    return r;
}

}  // namespace

bool TGhost::Run(const std::string& jobName, const std::string& params) {
    bool result = true;
    // Page files written under safe names get their real names, whatever the run gave.
    ScopeExit applyRenames([] { ApplyPendingRenames(); });
    try {
        TMainState& s = State();
        // The user has waited the limit once in this run: no step waits it again.
        if (StepWasCut()) {
            Log("Skipped", jobName);
            return result;
        }

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
        Log("Parameter", MaskPasswords(params));

        EnsureLogFolder(false);
        // Another process of the program may be running a job from the same log folder
        // (unattended runs side by side): the response file and the logs are one job's at a time.
        TLogFolderLock lock(s.FLogDir);
        const std::string responseFile = s.FLogDir + "temp.log";
        // The response file may hold passwords: its owner's only, and gone after the job
        // whatever happens.
        ScopeExit removeResponse([&] {
            if (FileExists(responseFile)) DeleteFile(responseFile);
        });
        WritePrivateFileText(responseFile, params + "\n");

        const std::string gsDir = s.FLogDir + "gs/";
        if (!DirectoryExists(gsDir)) MkDir(gsDir);
        const std::string outLog = OutputLogName(gsDir, "out.log");
        const std::string errorLog = OutputLogName(gsDir, "error.log");

        std::string core = "\"" + s.FGsExe + "\" @\"" + responseFile + "\" 1> \"" + outLog +
                           "\" 2> \"" + errorLog + "\"";
        const std::string commandLine =
            version >= wvWin95 && version <= wvWin98SE ? core : "cmd /c \"" + core + "\"";
        Log("CommandLine", commandLine);

        // The job's own temporary folder is the only place besides its outputs where it may
        // write: Ghostscript's -dSAFER permits the temporary folder it is given.
        const std::string jobDir = JobFolder(s);
        ScopeExit removeJobDir([&] { RemoveTreeNow(jobDir.c_str()); });
        std::string environment;
        for (const std::string& e : EnvironmentStrings()) {
            if (StartsStr("TMPDIR=", e) || StartsStr("TEMP=", e) || StartsStr("TMP=", e)) continue;
            environment += e + '\0';
        }
        for (const char* name : {"TMPDIR=", "TEMP=", "TMP="}) environment += name + jobDir + '\0';
        environment += '\0';
        // A quote inside one of the paths would end its quoted name early and hand the
        // rest to the program as further arguments, so such a line is never started.
        bool started = false;
        if (s.FGsExe.find('"') == std::string::npos && s.FLogDir.find('"') == std::string::npos) {
            std::vector<char> line(commandLine.begin(), commandLine.end());
            line.push_back('\0');
            started = CreateProcessA(
                          nullptr, line.data(), nullptr, nullptr, TRUE_,
                          CREATE_DEFAULT_ERROR_MODE | CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                          environment.data(), nullptr, &startup, &info) != 0;
        }
        if (!started) {
            ShowMsg("在开始进行处理 " + jobName + " 时出错!", mkInformation, s.FBatchMode);
            return false;
        }

        // The exit code is looked at before each wait, so the wait ends as soon as the
        // program has ended instead of idling on until some later window message. A job
        // that finishes no page and grows no output (its job folder, where the console
        // program notes each page, or its result) for the no-progress limit is hung: its
        // whole process group is ended. What it says on its outputs is no progress: a
        // loop can talk for ever.
        std::vector<std::string> watchedFiles;
        std::vector<std::string> watchedFolders{jobDir};
        TProgressWatch::AddGhostscriptOutputs(params, watchedFiles, watchedFolders);
        TProgressWatch progress(watchedFiles, watchedFolders);
        const UINT_PTR lookAgain = SetTimer(nullptr, 0, kProgressLookMs, nullptr);
        bool hung = false;
        DWORD exitCode = STILL_ACTIVE;
        for (;;) {
            if (!GetExitCodeProcess(info.hProcess, &exitCode)) break;
            Application->ProcessMessages();
            if (exitCode != STILL_ACTIVE) break;
            if (!hung && progress.Stalled(NoProgressLimit())) {
                hung = true;
                TerminateProcess(info.hProcess, 1);
            }
            Application->HandleMessage();
        }
        if (lookAgain != 0) KillTimer(nullptr, lookAgain);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        if (hung) {
            if (!s.FRunTemp.empty()) s.FStepCut = true;
            Log("ErrorLine",
                "no progress for " + IntToStr(NoProgressLimitSeconds()) + " s: " + jobName);
            throw Exception(TookTooLong(jobName));
        }

        if (FileExists(responseFile) && !DeleteFile(responseFile))
            throw Exception("无法删除临时参数文件。");

        Application->ProcessMessages();
        // The console program ends with Ghostscript's exit code: Ghostscript's own verdict,
        // whatever the job printed. A job it ended with 0 is done (the caller counts the
        // pages of its result), and so is one whose input was repaired, as the notice
        // asks: the pages it lost are told by that count. What either said on the way
        // (warnings, the notice) is kept in the day log.
        const int64_t said = FileSizeExpanded(errorLog);
        if (said < 0) RaiseInOutError(ENOENT, errorLog);
        if (exitCode == 0 || (said > 0 && !ErrorLogHasErrors(errorLog))) {
            if (said > 0) Log("GsWarning", FileText(errorLog, kLoggedOutputBytes));
            return result;
        }
        // The line of Ghostscript's error output that states the error says why, beneath
        // the message; a common failure in our words, its line kept in the day log. A
        // console program that ended without a word was ended itself.
        std::string output = FileText(errorLog, kReadOutputBytes);
        if (output.find_first_not_of("\r\n") == std::string::npos)
            output = "gswin32c: Ghostscript ended with exit code " + IntToStr(int(exitCode)) + "\n";
        const std::string line = StatedErrorLine(output);
        const std::vector<std::string> names = NamesIn(params, s);
        std::string reason = FailureInOurWords(output, names);
        // A write or a page that failed where there is no room left failed for want of
        // room, whatever Ghostscript calls it.
        const bool writeFailed = StatesFailedWrite(output, names);
        if (reason == DiskFullInOurWords() || writeFailed ||
            reason == PageDrawingFailedInOurWords()) {
            if (const std::string full = FullFolder(params, s, jobDir, writeFailed); !full.empty())
                reason = DiskFullInOurWords(full);
        }
        // A source that should be a PDF and is none was read as PostScript: its words are
        // no reason.
        if (reason.rfind(kNotPdf, 0) != 0 && !NotPdfInput(output, params).empty())
            reason = std::string(kNotPdf) + "，无法转换。";
        if (reason.empty())
            reason = line;
        else
            Log("ErrorLine", line);
        // An unattended run names the switch that chose the resolution: one out of
        // range, or one beyond the built-in choices at which a page cannot be drawn.
        if (s.FBatchMode &&
            (reason == ResolutionOutOfRangeInOurWords() ||
             (reason == PageDrawingFailedInOurWords() && ResolutionOf(params) > 600)))
            reason += " (参数 -or)";
        // The file the job failed on: of several inputs (a merge), the one the console
        // program names.
        if (const std::string file = FailedFileLines(output, params, s); !file.empty())
            reason += "\n" + file;
        throw Exception("在进行 gs 转换时出错。" + (reason.empty() ? "" : "\n" + reason));
    } catch (const std::exception& e) {
        ReportError(e);
    }
    return result;
}

// ---------------------------------------------------------------- JPEG header

namespace {

struct JpegErrorTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) {
    longjmp(reinterpret_cast<JpegErrorTrap*>(info->err)->jump, 1);
}
void JpegSilent(j_common_ptr, int) {}

// Plain C state only between setjmp and longjmp: nothing here needs a destructor.
bool ReadJpegHeader(FILE* f, int& width, int& height) {
    jpeg_decompress_struct info;
    JpegErrorTrap trap;
    info.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = JpegErrorExit;
    trap.mgr.emit_message = JpegSilent;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    width = int(info.image_width);
    height = int(info.image_height);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool ReadJpegSize(const std::string& path, int& width, int& height) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    const bool ok = ReadJpegHeader(f, width, height);
    std::fclose(f);
    return ok && width > 0 && height > 0;
}

// ---------------------------------------------------------------- TPdfDecompress

std::string TPdfDecompress::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    p += "-sDEVICE=pdfwrite -dCompressPages=false";
    p += GsOut(dst);
    p += GsSource(src);
    return p.Line();
}

bool TPdfDecompress::Decompress(const std::string& src, const std::string& dst) {
    return TGhost().Run("pdfDecompress", Parameters(src, dst));
}

// ---------------------------------------------------------------- TPdfChopToSingles

bool TPdfChopToSingles::ProbePage(const std::string& src, int page, const std::string& workDir,
                                  TPageSize& size) {
    const std::string picture = workDir + "pageSizePicture.jpg";
    if (FileExists(picture)) DeleteFile(picture);
    GsArgs p = GsPrefix();
    p += "-dJPEGQ=5 -r72";
    p += "-dFirstPage=" + IntToStr(page);
    p += "-dLastPage=" + IntToStr(page);
    p += "-dUseCIEColor -sDEVICE=jpeg";
    p += GsOut(picture);
    p += GsSource(src);
    TGhost().Run("pdf2jpg", p.Line());
    if (!FileExists(picture)) return false;
    int w = 0, h = 0;
    const bool read = ReadJpegSize(picture, w, h);
    DeleteFile(picture);
    if (!read)
        throw EInOutError("Ghostscript 没有画出第 " + IntToStr(page) +
                          " 页, 无法测量它的大小。文件可能已损坏: \"" + EscapeControls(src) + "\"");
    size = {w, h};
    return true;
}

TPageSize TPdfChopToSingles::GetPdfPageSize(const std::string& src, int page,
                                            const std::string& workDir) {
    TPageSize size;
    if (!ProbePage(src, page, workDir, size))
        throw EInOutError("无法测量页面 " + IntToStr(page) + " 的大小: \"" + src + "\"。");
    return size;
}

std::string TPdfChopToSingles::ChopParameters(const std::string& src, const std::string& out,
                                              int page, TPageSize size) {
    GsArgs p = GsPrefix();
    if (!GroupVisible("GroupBox_optimized")) {
        p += "-dPDFSETTINGS=/default -dDownsampleMonoImages=false -dDownsampleGrayImages=false "
             "-dDownsampleColorImages=false";
    } else {
        if (RadioChecked("RadioButton_optimizedD")) p += "-dPDFSETTINGS=/default";
        if (RadioChecked("RadioButton_optimizedS")) p += "-dPDFSETTINGS=/screen";
        if (RadioChecked("RadioButton_optimizedP")) p += "-dPDFSETTINGS=/printer";
        if (RadioChecked("RadioButton_optimizedR")) p += "-dPDFSETTINGS=/prepress";
        if (RadioChecked("RadioButton_optimizedEdit") && !EditText("Edit_optimized").empty()) {
            const long long r = EditNumber("Edit_optimized");
            if (r >= 5 && r <= 200) (p += "-dColorConversionStrategy=/sRGB") += GsDownsample(r);
        }
    }
    p += "-dDEVICEWIDTHPOINTS=" + IntToStr(size.x);
    p += "-dDEVICEHEIGHTPOINTS=" + IntToStr(size.y);
    p += "-dPDFFitPage -dDOINTERPOLATE";
    p += "-dFirstPage=" + IntToStr(page);
    p += "-dLastPage=" + IntToStr(page);
    p += "-r300 -sDEVICE=pdfwrite";
    p += GsOut(out);
    p += "-c .setpdfwrite";
    p += GsSource(src);
    return p.Line();
}

namespace {

// The reasons the run has listed so far.
int ReasonsGiven() {
    const TMainState* s = MainState();
    return s && s->FErrors ? s->FErrors->Count() : 0;
}

}  // namespace

bool TPdfChopToSingles::Chop(const std::string& src, const std::string& outDir,
                             const std::string& prefix, const std::string& workDir,
                             const std::optional<std::string>& pageBase) {
    const int reasonsBefore = ReasonsGiven();
    try {
        // A portfolio would be drawn as its embedded files, and a document without a page
        // has none to split.
        if (const std::string problem = PdfSourceProblem(src); !problem.empty())
            throw Exception(problem);
        // The count every function expects of the source, read once.
        const TPdfSource& facts = PdfSource(src);
        if (!facts.countError.empty()) throw Exception(facts.countError);
        const TPdfPages pages{facts.pages, facts.repeated};
        const int count = pages.count;
        const std::string name = ExtractFileName(src);
        const std::string base =
            pageBase ? *pageBase : name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
        // Ghostscript asked for one page by number does not find a page listed twice in
        // the tree: such a document is split from a copy where each listing is a page of
        // its own (under the same name, so what Ghostscript says names the file).
        // A document Ghostscript stumbles on is split from the copy made for it.
        std::string from = SourceAsGhostscriptReadsIt(src);
        const std::string apartDir = workDir + "pages apart/";
        bool apart = false;
        ScopeExit removeCopy([&] {
            if (apart) DeleteFile(from);
            if (DirectoryExists(apartDir)) RemoveDir(apartDir);
        });
        if (pages.repeated) {
            std::string why;
            MkDir(apartDir);
            if (!WritePdfAsReadersTakeIt(src, apartDir + name, why)) {
                EInOutError e("无法分开 PDF 文件中重复列出的页面: \"" + EscapeControls(src) + "\"");
                e.SystemText = why;
                throw e;
            }
            from = apartDir + name;
            apart = true;
        }
        // A page file whose name no folder can take is said once, before any page is made.
        const std::string lastName =
            prefix + base + "_p" + Format("%.4d", std::max(count, 1)) + ".pdf";
        if (lastName.size() > MaxNameBytes)
            throw EInOutError("无法写入页面文件 \"" + EscapeControls(lastName) + "\"。" +
                              SysErrorMessage(ENAMETOOLONG));
        const bool probing = count < 0;
        for (int page = 1; probing || page <= count; ++page) {
            TPageSize size;
            if (!ProbePage(from, page, workDir, size)) {
                // Ghostscript has said why it drew no page: that reason stands alone.
                if (ReasonsGiven() > reasonsBefore) return false;
                // Without a count the document ends where Ghostscript has no page to measure.
                if (probing && page > 1) break;
                if (probing)
                    throw EInOutError("无法测量页面 1 的大小: \"" + EscapeControls(src) + "\"。");
                throw EInOutError("PDF 文件的页面树说有 " + IntToStr(count) + " 页, 但文件中只有 " +
                                  IntToStr(page - 1) + " 页, 无法测量页面 " + IntToStr(page) +
                                  " 的大小。文件可能已损坏: \"" + EscapeControls(src) + "\"");
            }
            const std::string out = outDir + prefix + base + "_p" + Format("%.4d", page) + ".pdf";
            TGhost().Run("chopPdf", ChopParameters(from, out, page, size));
            if (StepWasCut()) return false;
            if (probing) {
                Application->ProcessMessages();
                if (!FileExists(out)) break;
                if (FileSizeExpanded(out) < 800) {
                    DeleteFile(out);
                    break;
                }
            }
        }
        return true;
    } catch (const std::exception& e) {
        // A page that could not be measured after a cut step is the cut's doing, and one
        // Ghostscript said why it could not draw has its reason: both already said.
        if (!StepWasCut() && ReasonsGiven() == reasonsBefore) ReportError(e);
        return false;
    }
}
