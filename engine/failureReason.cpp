#include "engine/failureReason.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "engine/util.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool containsAny(const std::string& text, std::initializer_list<const char*> parts) {
    return std::any_of(parts.begin(), parts.end(),
                       [&](const char* p) { return text.find(p) != std::string::npos; });
}

bool startsWithAny(const std::string& text, std::initializer_list<const char*> heads) {
    return std::any_of(heads.begin(), heads.end(),
                       [&](const char* h) { return text.rfind(h, 0) == 0; });
}

// Whether text holds a character beyond ASCII (our messages are Chinese).
bool hasWideCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

constexpr const char* kOfficeFailed = "办公程序无法完成转换。";
constexpr const char* kDamaged = "文件已损坏，或不是可以转换的文件。";
constexpr const char* kNameMask = "[名称]";
// The console program's line with the error statement Ghostscript ended a job with.
constexpr const char* kEndedWith = "gswin32c: Ghostscript ended the job with ";

// Ghostscript's remarks and warnings: it says them and goes on, so they are not why a
// job failed.
bool IsRemark(const std::string& lowered) {
    if (startsWithAny(
            lowered,
            {"warning", "processing pages", "loading ", "substituting ",
             "querying operating system", "can't find (or can't open) font",
             "didn't find this font", "the file was produced by", "please notify the author",
             "output may be incorrect", "this file had errors that were repaired or ignored",
             "additional information:", "operand stack:", "execution stack:", "dictionary stack:",
             "current allocation mode", "current file position", ">>>>"}))
        return true;
    if (containsAny(lowered, {"warning:", "lies outside the valid page range"})) return true;
    // Ghostscript's progress: "Page 3".
    return lowered.size() > 5 && lowered.rfind("page ", 0) == 0 &&
           std::all_of(lowered.begin() + 5, lowered.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool SpeaksOfFailure(const std::string& lowered) {
    return containsAny(lowered,
                       {"error", "password", "unable", "cannot", "can't", "could not", "couldn't",
                        "failed", "denied", "no space", "not found", "invalid"});
}

// Replaces every occurrence of needle in text.
void MaskAll(std::string& text, const std::string& needle) {
    if (needle.empty()) return;
    for (size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + std::strlen(kNameMask)))
        text.replace(at, needle.size(), kNameMask);
}

// The end of a PostScript string that starts at open (a "("): nested parentheses and
// escaped ones counted, the line's end at most.
size_t StringEnd(const std::string& text, size_t open) {
    int depth = 0;
    for (size_t i = open; i < text.size() && text[i] != '\n'; ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')' && --depth == 0) {
            return i;
        }
    }
    const size_t nl = text.find('\n', open);
    return nl == std::string::npos ? text.size() - 1 : nl - 1;
}

// An apostrophe that opens a quotation: after a blank, a colon or at the start.
bool OpensQuote(const std::string& text, size_t at) {
    return at == 0 || std::isspace(static_cast<unsigned char>(text[at - 1])) ||
           text[at - 1] == ':' || text[at - 1] == '(';
}

// The text with the names of files taken out: those given (whole and without their
// folder), PostScript strings (a parenthesis after a blank), quotations, file URLs, and
// the rest of a line that names a file ("Could not open the file ...").
std::string WithoutNames(const std::string& text, const std::vector<std::string>& names) {
    std::string out = text;
    std::vector<std::string> sorted;
    for (const std::string& n : names) {
        sorted.push_back(n);
        // A short name could be a word of the text itself ("bar", "error").
        if (const std::string file = ExtractFileName(n); file.size() >= 5) sorted.push_back(file);
    }
    // Longest first, so a folder's name inside a longer name is not masked before it.
    std::sort(sorted.begin(), sorted.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& n : sorted) MaskAll(out, n);
    std::string result;
    for (size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        size_t end = std::string::npos;
        if (c == '(' && (i == 0 || std::isspace(static_cast<unsigned char>(out[i - 1])))) {
            end = StringEnd(out, i);
        } else if (c == '"') {
            end = out.find_first_of("\"\n", i + 1);
            if (end != std::string::npos && out[end] == '\n') end = std::string::npos;
        } else if (c == '\'' && OpensQuote(out, i)) {
            end = out.find_first_of("'\n", i + 1);
            if (end != std::string::npos && out[end] == '\n') end = std::string::npos;
        } else if (c == '<' && out.compare(i, 6, "<file:") == 0) {
            end = out.find_first_of(">\n", i + 1);
            if (end != std::string::npos && out[end] == '\n') end = std::string::npos;
        }
        if (end != std::string::npos) {
            result += c;
            result += kNameMask;
            if (out[end] != '\n') result += out[end];
            i = end;
            continue;
        }
        result += c;
    }
    // Lines that go on with a name to their end.
    const std::string lowered = lower(result);
    for (const char* head : {"could not open the file ", "the error is in the input file ",
                             "the document cannot be opened: ", "file not found: "}) {
        for (size_t at = lowered.find(head); at != std::string::npos;
             at = lowered.find(head, at + 1)) {
            const size_t from = at + std::strlen(head);
            const size_t end = result.find('\n', from);
            for (size_t k = from; k < (end == std::string::npos ? result.size() : end); ++k)
                result[k] = '_';
        }
    }
    return result;
}

// A PostScript operator that is no word of PostScript: bytes of a file that is no
// PostScript or PDF at all.
bool IsBinaryOperator(const std::string& op) {
    if (op.rfind("(binary token", 0) == 0) return true;
    return !IsUtf8(op) || std::any_of(op.begin(), op.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\t') || b == 0x7F;
    });
}

}  // namespace

std::string StatedErrorLine(const std::string& errorOutput) {
    std::istringstream in(errorOutput);
    std::string line, first, summary, failing, ended, stated;
    while (std::getline(in, line)) {
        line = Trim(line);
        // The statement Ghostscript ended the job with, as the console program tells it
        // last: before it, a job may have printed anything.
        if (StartsStr(kEndedWith, line)) {
            ended = line.substr(std::strlen(kEndedWith));
            continue;
        }
        while (!line.empty() && line[0] == '*') line = TrimLeft(line.substr(1));
        if (line.empty() || line.back() == ':') continue;
        // Summaries that say only that something failed: the console program's, and
        // Ghostscript's last line ("GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1").
        if (line.rfind("gswin32c:", 0) == 0 ||
            line.find("Unrecoverable error, exit code") != std::string::npos) {
            if (summary.empty()) summary = line;
            continue;
        }
        // The PostScript error Ghostscript states, before any text the job printed.
        if (startsWithAny(line, {"Error: /", "Unrecoverable error: "})) {
            if (stated.empty()) stated = line;
            continue;
        }
        const std::string lowered = lower(line);
        if (IsRemark(lowered)) continue;
        if (SpeaksOfFailure(lowered) && failing.empty()) failing = line;
        if (first.empty()) first = line;
    }
    if (!ended.empty()) return ended;
    if (!stated.empty()) return stated;
    return !failing.empty() ? failing : first.empty() ? summary : first;
}

namespace {

// What a PostScript error's name means.
std::string PostScriptErrorInOurWords(const std::string& name) {
    static const struct {
        const char* name;
        const char* words;
    } kNames[] = {
        {"undefined", "未定义的名称"},         {"typecheck", "操作数类型错误"},
        {"rangecheck", "操作数超出范围"},      {"stackunderflow", "操作数栈下溢"},
        {"stackoverflow", "操作数栈溢出"},     {"syntaxerror", "语法错误"},
        {"limitcheck", "超出了实现的限制"},    {"VMerror", "内存不足"},
        {"invalidaccess", "不允许的访问"},     {"undefinedresult", "计算结果无定义"},
        {"unmatchedmark", "找不到配对的标记"}, {"invalidfont", "无效的字体"},
        {"ioerror", "输入输出错误"},
    };
    for (const auto& n : kNames)
        if (name == n.name) return n.words;
    return "";
}

// "Error: /name in operator" or "Unrecoverable error: name in operator" in one line: the
// two words.
bool ParseStatementLine(const std::string& line, std::string& name, std::string& op) {
    for (const char* head : {"Error: /", "Unrecoverable error: "}) {
        const size_t at = line.find(head);
        if (at == std::string::npos) continue;
        const size_t start = at + std::strlen(head);
        const size_t in = line.find(" in ", start);
        if (in == std::string::npos) continue;
        name = line.substr(start, in - start);
        op = line.substr(in + 4);
        // Blanks only: any other control byte is part of what Ghostscript read.
        op.erase(0, op.find_first_not_of(" \t\r"));
        op.erase(op.find_last_not_of(" \t\r") + 1);
        if (!name.empty() && name.find(' ') == std::string::npos) return true;
    }
    return false;
}

// The PostScript error Ghostscript states: looked for once, in the text without names (a
// file's name is no statement), its operand read from the same line of the text itself
// (it may be a file's name).
struct StatedPostScriptError {
    bool found = false;
    std::string name;
    std::string op;
};

StatedPostScriptError PostScriptErrorIn(const std::string& text, const std::string& masked) {
    StatedPostScriptError e, ended;
    std::istringstream maskedLines(masked), lines(text);
    std::string maskedLine, line;
    while (std::getline(maskedLines, maskedLine)) {
        const bool haveLine = static_cast<bool>(std::getline(lines, line));
        // The console program's statement, the last one, outweighs any line before it.
        const bool endedLine = StartsStr(kEndedWith, maskedLine);
        if (e.found && !endedLine) continue;
        StatedPostScriptError& into = endedLine ? ended : e;
        if (!ParseStatementLine(maskedLine, into.name, into.op)) continue;
        into.found = true;
        std::string name, op;
        if (haveLine && ParseStatementLine(line, name, op) && name == into.name) into.op = op;
    }
    return ended.found ? ended : e;
}

// An operand Ghostscript names as its own operator ("--div--"), not bytes of what it read.
bool IsOperatorName(const std::string& op) {
    if (op.size() < 5 || op.compare(0, 2, "--") != 0 || op.compare(op.size() - 2, 2, "--") != 0)
        return false;
    return std::all_of(op.begin() + 2, op.end() - 2,
                       [](unsigned char c) { return std::isalnum(c) || c == '.' || c == '_'; });
}

// The operand as a file name, without the parentheses of a PostScript string.
std::string FileOperand(const std::string& op) {
    return op.size() >= 2 && op.front() == '(' && op.back() == ')' ? op.substr(1, op.size() - 2)
                                                                   : op;
}

// Whether the operand may be shown: Ghostscript's own operator, or the name of a file
// the job was given. Anything else is a word of the file it read, and a reason never
// quotes a file's content.
bool MayQuote(const std::string& op, const std::vector<std::string>& names) {
    if (IsOperatorName(op)) return true;
    const std::string file = FileOperand(op);
    return std::find(names.begin(), names.end(), file) != names.end();
}

// An operator of the PDF interpreter: its failure is told by the interpreter's own lines.
bool IsPdfInterpreterOperator(const std::string& op) {
    return lower(op).find("pdf") != std::string::npos;
}

// "Command too long: <argument>": the file the argument names.
std::string TooLongArgumentFile(const std::string& text) {
    static const std::string kHead = "Command too long: ";
    const size_t at = text.find(kHead);
    if (at == std::string::npos) return "";
    const size_t from = at + kHead.size();
    std::string arg = text.substr(from, text.find('\n', from) - from);
    if (!arg.empty() && arg.back() == '\r') arg.pop_back();
    if (arg.rfind('-', 0) == 0 && arg.find('=') != std::string::npos)
        arg.erase(0, arg.find('=') + 1);
    return arg;
}

}  // namespace

std::string DiskFullInOurWords() { return "磁盘空间不足，无法写入结果。"; }

std::string DiskFullInOurWords(const std::string& folder) {
    return DiskFullInOurWords() + "文件夹 \"" + EscapeControls(folder) + "\" 所在的磁盘已满。";
}

bool StatesFailedWrite(const std::string& errorOutput, const std::vector<std::string>& names) {
    const std::string masked = WithoutNames(errorOutput, names);
    // Another error of the PostScript program is the cause; a write that fails after it
    // (the output closed on a full disk) is not.
    const StatedPostScriptError e = PostScriptErrorIn(errorOutput, masked);
    if (e.found && e.name != "ioerror") return false;
    return containsAny(lower(masked), {"ioerror", "could not write", "failed to write",
                                       "write error", "error writing", "no space left on device"});
}

std::string ResolutionOutOfRangeInOurWords() {
    return "所选的分辨率超出了可以处理的范围，请选择其他分辨率。";
}

std::string PageDrawingFailedInOurWords() {
    return "无法绘制页面: 页面在所选的分辨率下太大，或内存不足。";
}

namespace {

std::string PostScriptErrorSentence(const StatedPostScriptError& e,
                                    const std::vector<std::string>& names) {
    const std::string words = PostScriptErrorInOurWords(e.name);
    return "PostScript 程序出错: " + (words.empty() ? e.name : words + " (" + e.name + ")") +
           (MayQuote(e.op, names) ? ", 出错的操作符: " + e.op : std::string()) + "。";
}

// Our sentence for the PostScript error Ghostscript states; "" when the PDF interpreter's
// own lines are to tell.
std::string StatedErrorInOurWords(const StatedPostScriptError& e, const std::string& t,
                                  const std::string& masked,
                                  const std::vector<std::string>& names) {
    if (e.name == "undefinedfilename") {
        const bool denied = containsAny(t, {"last os error: permission denied"});
        // A file that the program being read names is its content.
        if (!MayQuote(e.op, names))
            return denied ? "PostScript 程序要读取的文件不允许读取。"
                          : "PostScript 程序要读取的文件不存在。";
        const std::string file = FileOperand(e.op);
        if (denied) return "没有读取文件 \"" + file + "\" 的权限。";
        return "找不到文件 \"" + file + "\"。";
    }
    if (e.name == "invalidfileaccess")
        return "PostScript 程序要读写一个不允许它访问的文件 (invalidfileaccess" +
               (MayQuote(e.op, names) ? ", 操作符 " + e.op : std::string()) + ")。";
    if (e.name == "rangecheck" &&
        (e.op == "setscreen" || e.op == ".putdeviceprops" || e.op == "setresolution"))
        return ResolutionOutOfRangeInOurWords();
    // Bytes read as PostScript: the file is neither PostScript nor PDF.
    if (IsBinaryOperator(e.op)) return "该文件不是 PDF 文件 (也不是 PostScript 文件)，无法转换。";
    // A page whose size no device can take (a MediaBox of 0 or of 1e9).
    static const std::string kPageSize = "additional information: [/pagesize [";
    if (const size_t at = t.find(kPageSize); at != std::string::npos) {
        const size_t from = at + kPageSize.size();
        const size_t end = t.find(']', from);
        const std::string size =
            end == std::string::npos ? std::string() : masked.substr(from, end - from);
        return "文件中页面的大小无效" + (size.empty() ? std::string() : " ([" + size + "])") +
               "，无法处理。";
    }
    if (IsPdfInterpreterOperator(e.op)) return "";
    if (e.name == "syntaxerror") return kDamaged;
    return PostScriptErrorSentence(e, names);
}

// "gswin32c: Ghostscript ended with exit code N": N, or 0 when the text says no such thing.
int EndedWithCode(const std::string& lowered) {
    static const std::string kEnded = "gswin32c: ghostscript ended with exit code ";
    const size_t at = lowered.find(kEnded);
    return at == std::string::npos ? 0 : std::atoi(lowered.c_str() + at + kEnded.size());
}

// Signals that end a process from outside (a user, a session's end, the system), not a
// fault of the program that met the file: hang-up, interrupt, quit, kill, terminate.
bool IsSignalFromOutside(int signal) {
    return signal == 1 || signal == 2 || signal == 3 || signal == 9 || signal == 15;
}

// A page drawn in part because its content is damaged: Ghostscript says that its output
// may be incorrect right after the drawing error, or lists the errors it met in the file.
// A page it could not draw at all (for want of memory or room) it says so of.
bool StatesDamagedPage(const std::string& lowered) {
    static const std::string kDrawing = "page drawing error occurred.";
    if (lowered.find(kDrawing) == std::string::npos ||
        lowered.find("could not draw this page at all") != std::string::npos)
        return false;
    if (lowered.find("errors were encountered at least once") != std::string::npos) return true;
    for (size_t at = lowered.find(kDrawing); at != std::string::npos;
         at = lowered.find(kDrawing, at + 1)) {
        const size_t next = lowered.find_first_not_of(" \t\r\n*", at + kDrawing.size());
        if (next != std::string::npos && lowered.compare(next, 23, "output may be incorrect") == 0)
            return true;
    }
    return false;
}

}  // namespace

std::string PageDamagedInOurWords() { return "无法完整绘制页面: 页面已损坏 (页面的内容有错误)。"; }

std::string EndedBySignalInOurWords(int signal) {
    return "Ghostscript 在处理文件时被外部结束 (信号 " + std::to_string(signal) +
           ")，转换没有完成。";
}

std::string FailureInOurWords(const std::string& text, const std::vector<std::string>& names) {
    const std::string masked = WithoutNames(text, names);
    const std::string t = lower(masked);
    // Ended from outside: whatever it said before, it did not end by itself.
    if (const int code = EndedWithCode(t); code > 128 && IsSignalFromOutside(code - 128))
        return EndedBySignalInOurWords(code - 128);
    // The error Ghostscript states is the cause; what a PostScript program printed
    // before it ("No space left on device") is the program's text, not the cause.
    const StatedPostScriptError e = PostScriptErrorIn(text, masked);
    if (e.found) {
        if (std::string words = StatedErrorInOurWords(e, t, masked, names); !words.empty())
            return words;
    }
    if (containsAny(
            t, {"requires a password", "password required", "password is incorrect",
                "wrong password", "invalid password", "password-protected", "password protected"}))
        return "该文件受密码保护，需要密码才能打开。";
    if (containsAny(t, {"no space left on device", "enospc"})) return DiskFullInOurWords();
    // An output file Ghostscript could not make: "**** Could not open the file '<name>' ."
    static const std::string kCouldNotOpen = "Could not open the file ";
    if (const size_t at = text.find(kCouldNotOpen); at != std::string::npos) {
        const size_t from = at + kCouldNotOpen.size();
        std::string name = text.substr(from, text.find('\n', from) - from);
        while (!name.empty() && (name.back() == '.' || name.back() == ' ' || name.back() == '\r'))
            name.pop_back();
        if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'')
            name = name.substr(1, name.size() - 2);
        // Its folder is the run's own: only the name means something to the user.
        const std::string file = ExtractFileName(name);
        return "无法写入文件 \"" + EscapeControls(file) + "\"。" +
               (file.size() > MaxNameBytes ? SysErrorMessage(ENAMETOOLONG) : std::string());
    }
    // An argument longer than Ghostscript takes: a name in a folder too deep for it.
    if (const std::string file = TooLongArgumentFile(text); !file.empty())
        return "路径太长，Ghostscript 无法使用 (一个参数最多 2048 字节): \"" +
               EscapeControls(file) + "\"。";
    if (containsAny(t, {"permission denied", "class:access"}))
        return "没有读写该文件或文件夹的权限。";
    if (containsAny(t, {"rangecheck in setscreen", "rangecheck in .putdeviceprops",
                        "rangecheck in setresolution"}))
        return ResolutionOutOfRangeInOurWords();
    if (containsAny(t, {"the job output no page"})) return "文件中没有可以输出的页面 (没有页面)。";
    if (containsAny(t, {"couldn't get page info"}))
        return "无法读取文件中页面的信息 (页面树已损坏或层次过深)，无法转换。";
    if (containsAny(t, {"couldn't repair pdf file"})) return "文件已损坏，无法修复。";
    if (containsAny(t, {"catalog dictionary not located", "couldn't initialise file",
                        "couldn't initialize file", "no startxref", "not a pdf",
                        "file has unbalanced", "syntaxerror", "damaged",
                        "not a document of this kind", "the file is empty", "corrupt"}))
        return kDamaged;
    if (StatesDamagedPage(t)) return PageDamagedInOurWords();
    if (containsAny(t, {"page drawing error"})) return PageDrawingFailedInOurWords();
    if (e.found) return PostScriptErrorSentence(e, names);
    // Ghostscript ended without a word of its own.
    if (const int code = EndedWithCode(t); code != 0) {
        if (code > 128)
            return "Ghostscript 在处理文件时意外终止 (信号 " + std::to_string(code - 128) +
                   ")，文件的结构可能过于复杂或已损坏。";
        return "Ghostscript 出错结束 (退出代码 " + std::to_string(code) + ")，没有说明原因。";
    }
    return "";
}

std::string FailedInputIn(const std::string& errorOutput) {
    static const std::string kLine = "gswin32c: the error is in the input file ";
    const size_t at = errorOutput.find(kLine);
    if (at == std::string::npos) return "";
    const size_t start = at + kLine.size();
    const size_t end = errorOutput.find('\n', start);
    return errorOutput.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string FailedFileLine(const std::string& file) {
    return "出错的文件: \"" + EscapeControls(file) + "\"";
}

std::string OfficeFailureInOurWords(const std::string& message,
                                    const std::vector<std::string>& names) {
    const std::string reason = FailureInOurWords(message, names);
    // The bridge's "the document cannot be opened: <file> (<the office's reason>)".
    static const std::string kCannotOpen = "the document cannot be opened: ";
    const size_t open = message.find(kCannotOpen);
    if (open != std::string::npos) {
        std::string file = message.substr(open + kCannotOpen.size());
        std::string detail;
        const size_t at = file.rfind(" (");
        if (at != std::string::npos && !file.empty() && file.back() == ')') {
            detail = file.substr(at + 2, file.size() - at - 3);
            file.erase(at);
        }
        // The office's reason is the one in parentheses after the name.
        const std::string said = FailureInOurWords(detail);
        const std::string why = detail == "permission denied" ? "没有读取该文件的权限。"
                                : said.empty()                ? kDamaged
                                                              : said;
        return "无法打开文档 \"" + EscapeControls(file) + "\"。\n" + why;
    }
    static const std::string kNotFound = "file not found: ";
    if (message.rfind(kNotFound, 0) == 0)
        return "找不到文件 \"" + EscapeControls(message.substr(kNotFound.size())) + "\"。";
    if (!hasWideCharacter(message))
        return std::string(kOfficeFailed) + (reason.empty() ? "" : "\n" + reason);
    // A message of ours; the office's own output after it (a trace, internal names) goes.
    std::string head = message;
    for (size_t cut = message.find(": "); cut != std::string::npos;
         cut = message.find(": ", cut + 2)) {
        const std::string tail = message.substr(cut + 2);
        if (!hasWideCharacter(tail) && containsAny(tail, {"\n", "Traceback", "::", "Exception"})) {
            head = message.substr(0, cut);
            break;
        }
    }
    if (!reason.empty() && head.find(reason) == std::string::npos) head += "\n" + reason;
    return head;
}
