#include "tools/gswin32c/cappedOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gsw {

namespace {

// How stale the tail of a rewritable file may get while text comes.
constexpr auto kSyncInterval = std::chrono::milliseconds(250);

bool WriteAllAt(int fd, std::string_view data, int64_t at) {
    while (!data.empty()) {
        const ssize_t n = ::pwrite(fd, data.data(), data.size(), at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
        at += n;
    }
    return true;
}

}  // namespace

void WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return;  // the reader went away; nothing sensible is left to do with the text
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

CappedOutput::CappedOutput(int fd, bool rewritable, std::size_t headBytes, std::size_t tailBytes)
    : fd_(fd), rewritable_(rewritable), headBytes_(headBytes), tailBytes_(tailBytes) {
    if (rewritable_) {
        base_ = ::lseek(fd_, 0, SEEK_CUR);
        if (base_ < 0) rewritable_ = false;
    }
}

bool CappedOutput::Rewritable(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_APPEND) == 0;
}

std::string CappedOutput::Note(uint64_t leftOut) {
    return "\n[gswin32c: " + std::to_string(leftOut) + " bytes of output left out here]\n";
}

void CappedOutput::Write(std::string_view text) {
    if (written_ < headBytes_) {
        const std::size_t head = std::min<std::size_t>(text.size(), headBytes_ - written_);
        WriteAll(fd_, text.substr(0, head));
        written_ += head;
        text.remove_prefix(head);
    }
    if (text.empty()) return;
    written_ += text.size();
    if (text.size() >= tailBytes_) {
        tail_.assign(text.substr(text.size() - tailBytes_));
    } else {
        tail_.append(text);
        // Trimmed in steps, so a stream of short lines does not move the tail each time.
        if (tail_.size() >= 2 * tailBytes_) tail_.erase(0, tail_.size() - tailBytes_);
    }
    dirty_ = true;
    if (rewritable_ && std::chrono::steady_clock::now() - synced_ >= kSyncInterval) Sync();
}

std::string_view CappedOutput::ShownTail(uint64_t& skipped) const {
    std::string_view tail(tail_);
    if (tail.size() > tailBytes_) tail.remove_prefix(tail.size() - tailBytes_);
    // The tail starts inside a line: it is shown from the next whole one.
    if (const std::size_t nl = tail.find('\n');
        nl != std::string_view::npos && nl + 1 < tail.size())
        tail.remove_prefix(nl + 1);
    skipped = tail_.size() - tail.size();
    return tail;
}

void CappedOutput::Sync() {
    if (!rewritable_ || !dirty_) return;
    uint64_t skipped = 0;
    const std::string_view tail = ShownTail(skipped);
    const uint64_t leftOut = written_ - headBytes_ - tail.size();
    const std::string text = Note(leftOut) + std::string(tail);
    const int64_t at = base_ + int64_t(headBytes_);
    if (WriteAllAt(fd_, text, at)) {
        [[maybe_unused]] const int r = ::ftruncate(fd_, at + int64_t(text.size()));
    }
    dirty_ = false;
    synced_ = std::chrono::steady_clock::now();
}

void CappedOutput::Finish() {
    if (!dirty_) return;
    if (rewritable_) {
        Sync();
        return;
    }
    uint64_t skipped = 0;
    const std::string_view tail = ShownTail(skipped);
    WriteAll(fd_, Note(written_ - headBytes_ - tail.size()));
    WriteAll(fd_, tail);
    dirty_ = false;
}

}  // namespace gsw
