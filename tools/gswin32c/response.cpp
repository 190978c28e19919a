#include "tools/gswin32c/response.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace gsw {

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "gswin32c: cannot open response file '" + path + "': " + std::strerror(errno);
        return false;
    }
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            text.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            error = "gswin32c: cannot read response file '" + path + "': " + std::strerror(errno);
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return true;
}

}  // namespace

std::vector<std::string> Tokenize(std::string_view text) {
    std::vector<std::string> tokens;
    std::string current;
    bool inToken = false;  // something (even an empty quoted stretch) has been seen
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
                current += text[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
            continue;
        }
        if (IsSeparator(c)) {
            if (inToken) {
                tokens.push_back(std::move(current));
                current.clear();
                inToken = false;
            }
        } else if (c == '"') {
            quoted = true;
            inToken = true;
        } else {
            current += c;
            inToken = true;
        }
    }
    if (inToken) tokens.push_back(std::move(current));
    return tokens;
}

bool ExpandArguments(const std::vector<std::string>& args, std::vector<std::string>& out,
                     std::string& error) {
    for (const std::string& arg : args) {
        if (arg.empty() || arg[0] != '@') {
            out.push_back(arg);
            continue;
        }
        std::string path = arg.substr(1);
        // A caller that kept the quotes of @"path" still means the path inside them.
        if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
            path = path.substr(1, path.size() - 2);
        if (path.empty()) {
            error = "gswin32c: no response file named after '@'";
            return false;
        }
        std::string text;
        if (!ReadWholeFile(path, text, error)) return false;
        for (std::string& t : Tokenize(text)) out.push_back(std::move(t));
    }
    return true;
}

}  // namespace gsw
