#include "engine/failureReason.h"

#include <algorithm>
#include <cctype>
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
        if (line.rfind("gswin32c:", 0) == 0) {
            if (summary.empty()) summary = line;
            continue;
        }
        return line;
    }
    return summary;
}

std::string FailureInOurWords(const std::string& text) {
    const std::string t = lower(text);
    if (containsAny(t, {"requires a password", "password required", "password is incorrect",
                        "wrong password", "invalid password"}))
        return "该文件受密码保护，需要密码才能打开。";
    if (containsAny(t, {"no space left on device", "disk full", "enospc"}))
        return "磁盘空间不足，无法写入结果。";
    if (containsAny(t, {"permission denied", "class:access"}))
        return "没有读写该文件或文件夹的权限。";
    if (containsAny(t, {"rangecheck in setscreen", "rangecheck in .putdeviceprops",
                        "rangecheck in setresolution"}))
        return "所选的分辨率超出了可以处理的范围，请选择其他分辨率。";
    if (containsAny(t, {"catalog dictionary not located", "couldn't initialise file",
                        "couldn't initialize file", "no startxref", "not a pdf",
                        "file has unbalanced", "syntaxerror", "damaged",
                        "not a document of this kind", "the file is empty", "corrupt"}))
        return "文件已损坏，或不是可以转换的文件。";
    return "";
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
