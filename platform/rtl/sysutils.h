// Runtime basics: exceptions, string and number conversion, Format, paths and files,
// date and time. Strings are UTF-8 byte strings; folders use "/".
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------- exceptions

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    ~Exception() override = default;
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
    // The system's own words for the cause, kept for the log (the message says it in
    // Chinese); empty when no system error lies behind the exception.
    std::string SystemText;
};

class EInOutError : public Exception {
public:
    EInOutError(std::string message, int code = 0)
        : Exception(std::move(message)), ErrorCode(code) {}
    int ErrorCode;
};
class EConvertError : public Exception {
    using Exception::Exception;
};
class EOSError : public Exception {
public:
    EOSError(std::string message, unsigned code) : Exception(std::move(message)), ErrorCode(code) {}
    unsigned ErrorCode;
};
class EListError : public Exception {
    using Exception::Exception;
};
// A window refused to take what it was given (an item a list box cannot insert).
class EOutOfResources : public Exception {
    using Exception::Exception;
};
class EStreamError : public Exception {
    using Exception::Exception;
};
class EFCreateError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
    using EStreamError::EStreamError;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EInvalidCast : public Exception {
    using Exception::Exception;
};
class EComponentError : public Exception {
    using Exception::Exception;
};
class EIniFileException : public Exception {
    using Exception::Exception;
};
// Silent exception: unwinds like any other but is never shown.
class EAbort : public Exception {
    using Exception::Exception;
};

// Raises EInOutError for an errno value: `what`, then the cause.
[[noreturn]] void RaiseInOutError(int err, const std::string& what);
// Raises EOSError for the last OS error (errno or the win layer's last error).
[[noreturn]] void RaiseLastOSError();
// The cause of an errno value as a Chinese system words it ("磁盘空间不足。"); the program
// shows only these.
std::string SysErrorMessage(int err);
// The system's own text for an errno value ("No space left on device"), for the log.
std::string SystemErrorText(int err);
// The file routines' failures: the file named, then the cause.
[[noreturn]] void RaiseFileOpenError(const std::string& name, int err);
[[noreturn]] void RaiseFileCreateError(const std::string& name, int err);
[[noreturn]] void RaiseFileWriteError(const std::string& name, int err);
// An exception's message for the log: with the system's own words behind it, if any.
std::string MessageForLog(const std::exception& e);

// ---------------------------------------------------------------- Format

// A printf-like formatter taking any mix of std::string, const char*, integers and
// floating-point values. Supports %[-][0][width][.prec] with s d u x X f g e c and %%.
struct FormatArg {
    enum Kind { Str, Int, UInt, Float } kind;
    std::string s;
    long long i = 0;
    unsigned long long u = 0;
    double f = 0;
    FormatArg(const std::string& v) : kind(Str), s(v) {}
    FormatArg(std::string_view v) : kind(Str), s(v) {}
    FormatArg(const char* v) : kind(Str), s(v ? v : "") {}
    FormatArg(char v) : kind(Str), s(1, v) {}
    FormatArg(int v) : kind(Int), i(v) {}
    FormatArg(long v) : kind(Int), i(v) {}
    FormatArg(long long v) : kind(Int), i(v) {}
    FormatArg(unsigned v) : kind(UInt), u(v) {}
    FormatArg(unsigned long v) : kind(UInt), u(v) {}
    FormatArg(unsigned long long v) : kind(UInt), u(v) {}
    FormatArg(bool v) : kind(Int), i(v) {}
    FormatArg(double v) : kind(Float), f(v) {}
};
std::string FormatV(std::string_view fmt, const std::vector<FormatArg>& args);
template <class... A>
std::string Format(std::string_view fmt, const A&... a) {
    return FormatV(fmt, std::vector<FormatArg>{FormatArg(a)...});
}

// ---------------------------------------------------------------- strings

std::string IntToStr(long long v);
std::string IntToHex(unsigned long long v, int digits);
long long StrToInt(const std::string& s);  // raises EConvertError
long long StrToIntDef(const std::string& s, long long def);
bool TryStrToInt(const std::string& s, long long& out);  // decimal, "$hex" or "0x" hex
double StrToFloat(const std::string& s);
bool TryStrToFloat(const std::string& s, double& out);
std::string FloatToStr(double v);  // shortest decimal form: 0.7, 1, 0
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string LowerCase(const std::string& s);                // ASCII only
std::string UpperCase(const std::string& s);                // ASCII only
bool SameText(const std::string& a, const std::string& b);  // ASCII case-insensitive
int CompareText(const std::string& a, const std::string& b);
// Letters of any script, as the text's locale-aware routines fold them: the UTF-8 text is
// decoded and each character mapped alone (bytes that are not UTF-8 stay as they are).
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
bool AnsiSameText(const std::string& a, const std::string& b);
// Without regard to case, by code point of the upper-case forms: < 0, 0 or > 0.
int AnsiCompareText(const std::string& a, const std::string& b);
// How many bytes at the start of `s` match `prefix` without regard to case, as AnsiUpperCase
// folds them: a whole number of s's characters, which may be more or fewer bytes than the
// prefix has (a dotless i folds to I). std::string::npos when s does not begin with it.
size_t AnsiPrefixLength(const std::string& s, const std::string& prefix);
std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to);
bool StartsStr(const std::string& prefix, const std::string& s);
bool EndsStr(const std::string& suffix, const std::string& s);
// 1-based position of sub in s, 0 when absent (the classic Pos).
size_t Pos(const std::string& sub, const std::string& s);
std::string QuotedStr(const std::string& s);

// ---------------------------------------------------------------- paths and files

constexpr char PathDelim = '/';
std::string IncludeTrailingPathDelimiter(const std::string& s);
std::string ExcludeTrailingPathDelimiter(const std::string& s);
std::string ExtractFilePath(const std::string& s);  // with trailing "/"
std::string ExtractFileDir(const std::string& s);   // without trailing "/"
std::string ExtractFileName(const std::string& s);
std::string ExtractFileExt(const std::string& s);  // with the dot, "" when none
std::string ChangeFileExt(const std::string& s, const std::string& ext);
std::string ExpandFileName(const std::string& s);  // absolute, "." and ".." resolved
bool FileExists(const std::string& name);          // a regular file (not a folder)
bool DirectoryExists(const std::string& name);
bool ForceDirectories(const std::string& dir);
bool CreateDir(const std::string& dir);
bool RemoveDir(const std::string& dir);
bool DeleteFile(const std::string& name);
bool RenameFile(const std::string& from, const std::string& to);  // replaces atomically
int64_t FileSize64(const std::string& name);                      // -1 when missing
// What tells one state of a file from another: the same name with another identity is
// another file, or the file changed. Empty when the file is missing.
std::string FileIdentity(const std::string& name);
std::string GetCurrentDir();
// The working folder; false when the system cannot name it (deeper than its path limit,
// or removed).
bool TryGetCurrentDir(std::string& dir);
// The longest path the system takes in one call, in bytes without the ending zero.
constexpr size_t MaxPathBytes = 4095;
// The longest name of one file (a folder's entry) the system takes.
constexpr size_t MaxNameBytes = 255;
std::string GetTempDir();  // with trailing "/"
// Why nothing could be made in the temporary folder `folder` (err: the errno of the
// attempt), in the user's words: the folder named (and TMPDIR when it chose the folder),
// missing, a file, or the system's cause.
std::string TempFolderProblem(const std::string& folder, int err);
// What a name that exists but is no regular file is ("命名管道 (FIFO)", "设备", ...);
// "" for a regular file, a folder, or nothing at all. Never opens it: a pipe would block.
std::string NonRegularFileKind(const std::string& name);
// Reads or writes a whole file; raise EFOpenError / EFCreateError.
std::string ReadFileText(const std::string& name);
void WriteFileText(const std::string& name, const std::string& text);
// Writes a file that only its owner may read (it may hold passwords), never through a link.
void WritePrivateFileText(const std::string& name, const std::string& text);
// Makes `link` a symbolic link to `target`; false when it cannot be made.
bool CreateSymbolicLink(const std::string& link, const std::string& target);
// The whole environment of this process as "NAME=value" entries.
std::vector<std::string> EnvironmentStrings();

// Creates the folder, raising EInOutError on failure (MkDir).
void MkDir(const std::string& dir);

// File attributes as the search routines report them.
enum : int {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeID = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
    faAnyFile = 0x3F
};

// ---------------------------------------------------------------- date and time

using TDateTime = double;  // days since 1899-12-30, fraction = time of day
TDateTime Now();
TDateTime Date();
TDateTime EncodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms);
void DecodeDateTime(TDateTime t, int& y, int& mo, int& d, int& h, int& mi, int& s, int& ms);
TDateTime UnixToDateTime(int64_t secs, int nsec = 0);  // local time
// Tokens: yyyy yy mm m dd d hh h nn n ss s zzz; "mm" right after an hour token means minutes.
// Text in double or single quotes is copied.
std::string FormatDateTime(const std::string& fmt, TDateTime t);

void Sleep(unsigned ms);
// What Sleep does instead of a bare sleep once the window system installs it: on a screen
// without a compositor a sleeping program must still answer exposures, or its windows show
// nothing there. Null gives the bare sleep back.
void InstallSleepHook(void (*sleep)(unsigned ms));
uint32_t GetTickCount();
