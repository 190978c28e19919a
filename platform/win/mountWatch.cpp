#include "platform/win/mountWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <sstream>

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

std::vector<std::string> MountPointsOf(const std::string& table) {
    std::vector<std::string> points;
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point)) continue;
        std::string plain;
        for (size_t i = 0; i < point.size(); ++i) {
            const auto octal = [&](size_t k) { return point[k] >= '0' && point[k] <= '7'; };
            if (point[i] == '\\' && i + 3 < point.size() && octal(i + 1) && octal(i + 2) &&
                octal(i + 3)) {
                plain += char((point[i + 1] - '0') * 64 + (point[i + 2] - '0') * 8 +
                              (point[i + 3] - '0'));
                i += 3;
            } else {
                plain += point[i];
            }
        }
        points.push_back(plain);
    }
    return points;
}
