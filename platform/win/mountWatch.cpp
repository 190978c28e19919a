#include "platform/win/mountWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

MountTableWatch::MountTableWatch(const std::string& path) {
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ >= 0) text_ = ReadAll();
}

MountTableWatch::~MountTableWatch() {
    if (fd_ >= 0) close(fd_);
}

std::string MountTableWatch::ReadAll() {
    std::string text;
    if (lseek(fd_, 0, SEEK_SET) < 0) return text_;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n < 0) return text_;  // unreadable now: count it as unchanged
        if (n == 0) break;
        text.append(buffer, size_t(n));
    }
    return text;
}

bool MountTableWatch::Changed(bool compareAlways) {
    if (fd_ < 0) return false;
    if (!compareAlways) {
        pollfd p{fd_, POLLPRI, 0};
        if (poll(&p, 1, 0) <= 0 || !(p.revents & (POLLPRI | POLLERR))) return false;
    }
    std::string now = ReadAll();
    if (now == text_) return false;
    text_ = std::move(now);
    return true;
}
