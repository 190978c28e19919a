// One output stream of the console program, kept to a bounded size: a job that talks for
// ever must not fill the disk with its log. The first bytes are written as they come; past
// them only the last ones are kept, behind a line saying how many were left out.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gsw {

// Writes all of data, going on after interruptions; a reader that went away ends it.
void WriteAll(int fd, std::string_view data);

class CappedOutput {
public:
    static constexpr std::size_t kHeadBytes = 1 << 20;
    static constexpr std::size_t kTailBytes = 1 << 20;

    // rewritable: fd is a file of its own that may be written at any position (not
    // appended to, not shared with the other stream). Its tail is then brought up to date
    // at least every sync interval while text comes, so a job killed at any moment leaves
    // a log with its head, the note and a recent tail; otherwise the note and the tail
    // are written by Finish.
    CappedOutput(int fd, bool rewritable, std::size_t headBytes = kHeadBytes,
                 std::size_t tailBytes = kTailBytes);

    void Write(std::string_view text);
    // Brings the file's tail up to date (a rewritable file only).
    void Sync();
    // The last words: the note and the tail where they are not yet written.
    void Finish();

    // The line that stands for the bytes left out.
    static std::string Note(uint64_t leftOut);

    // Whether fd is a regular file written at its own position.
    static bool Rewritable(int fd);

private:
    // The tail from its first whole line, and how much of it that skips.
    std::string_view ShownTail(uint64_t& skipped) const;

    int fd_;
    bool rewritable_;
    std::size_t headBytes_;
    std::size_t tailBytes_;
    int64_t base_ = 0;  // where the head starts in the file
    uint64_t written_ = 0;
    std::string tail_;
    bool dirty_ = false;
    std::chrono::steady_clock::time_point synced_{};
};

}  // namespace gsw
