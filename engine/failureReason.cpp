#include "engine/failureReason.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>
#include <vector>

#include "platform/rtl/sysutils.h"

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

// Whether text holds a character beyond ASCII (our messages are Chinese).
bool hasWideCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

constexpr const char* kOfficeFailed = "办公程序无法完成转换。";

}  // namespace

std::string StatedErrorLine(const std::string& errorOutput) {
    std::istringstream in(errorOutput);
    std::string line, summary;
    while (std::getline(in, line)) {
        line = Trim(line);
        while (!line.empty() && line[0] == '*') line = TrimLeft(line.substr(1));
        if (line.empty() || line.back() == ':') continue;
        // Summaries that say only that something failed: the console program's, and
        // Ghostscript's last line ("GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1").
        if (line.rfind("gswin32c:", 0) == 0 ||
            line.find("Unrecoverable error, exit code") != std::string::npos) {
            if (summary.empty()) summary = line;
            continue;
        }
        return line;
    }
    return summary;
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

// "Error: /name in operator" or "Unrecoverable error: name in operator": the two words.
bool ParsePostScriptError(const std::string& text, std::string& name, std::string& op) {
    for (const char* head : {"Error: /", "Unrecoverable error: "}) {
        const size_t at = text.find(head);
        if (at == std::string::npos) continue;
        const size_t start = at + std::strlen(head);
        const size_t in = text.find(" in ", start);
        const size_t end = text.find('\n', start);
        if (in == std::string::npos || (end != std::string::npos && in > end)) continue;
        name = text.substr(start, in - start);
        op = text.substr(in + 4, end == std::string::npos ? std::string::npos : end - in - 4);
        op = Trim(op);
        if (!name.empty() && name.find(' ') == std::string::npos) return true;
    }
    return false;
}

}  // namespace

std::string FailureInOurWords(const std::string& text) {
    const std::string t = lower(text);
    if (containsAny(
            t, {"requires a password", "password required", "password is incorrect",
                "wrong password", "invalid password", "password-protected", "password protected"}))
        return "该文件受密码保护，需要密码才能打开。";
    if (containsAny(t, {"no space left on device", "disk full", "enospc"}))
        return "磁盘空间不足，无法写入结果。";
    std::string name, op;
    const bool postScriptError = ParsePostScriptError(text, name, op);
    if (postScriptError && name == "undefinedfilename") {
        const std::string file = op.size() >= 2 && op.front() == '(' && op.back() == ')'
                                     ? op.substr(1, op.size() - 2)
                                     : op;
        if (containsAny(t, {"permission denied"})) return "没有读取文件 \"" + file + "\" 的权限。";
        return "找不到文件 \"" + file + "\"。";
    }
    if (postScriptError && name == "invalidfileaccess")
        return "PostScript 程序要读写一个不允许它访问的文件 (invalidfileaccess, 操作符 " + op +
               ")。";
    if (containsAny(t, {"permission denied", "class:access"}))
        return "没有读写该文件或文件夹的权限。";
    if (containsAny(t, {"rangecheck in setscreen", "rangecheck in .putdeviceprops",
                        "rangecheck in setresolution"}))
        return "所选的分辨率超出了可以处理的范围，请选择其他分辨率。";
    if (containsAny(t, {"the job output no page"})) return "文件中没有可以输出的页面 (没有页面)。";
    if (containsAny(t, {"catalog dictionary not located", "couldn't initialise file",
                        "couldn't initialize file", "no startxref", "not a pdf",
                        "file has unbalanced", "syntaxerror", "damaged",
                        "not a document of this kind", "the file is empty", "corrupt"}))
        return "文件已损坏，或不是可以转换的文件。";
    if (postScriptError) {
        const std::string words = PostScriptErrorInOurWords(name);
        return "PostScript 程序出错: " + (words.empty() ? name : words + " (" + name + ")") +
               ", 出错的操作符: " + op + "。";
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

std::string OfficeFailureInOurWords(const std::string& message) {
    const std::string reason = FailureInOurWords(message);
    // The bridge's "the document cannot be opened: <file> (<the office's reason>)".
    static const std::string kCannotOpen = "the document cannot be opened: ";
    const size_t open = message.find(kCannotOpen);
    if (open != std::string::npos) {
        std::string file = message.substr(open + kCannotOpen.size());
        const size_t detail = file.rfind(" (");
        if (detail != std::string::npos && !file.empty() && file.back() == ')') file.erase(detail);
        return "无法打开文档 " + file + "\n" +
               (reason.empty() ? "文件已损坏，或不是可以转换的文件。" : reason);
    }
    static const std::string kNotFound = "file not found: ";
    if (message.rfind(kNotFound, 0) == 0) return "找不到文件 " + message.substr(kNotFound.size());
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
