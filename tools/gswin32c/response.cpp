#include "tools/gswin32c/response.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/rtl/gsArgs.h"

namespace gsw {

namespace {

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
        for (std::string& t : GsTokenize(text)) out.push_back(std::move(t));
    }
    return true;
}

}  // namespace gsw
