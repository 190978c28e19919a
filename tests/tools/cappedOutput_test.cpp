// The console program's output streams stay bounded: the head, a note of what was left
// out, and the tail, whether the stream is a file of its own or one written in order.
#include "tools/gswin32c/cappedOutput.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Lines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i) text += "line " + std::to_string(i) + "\n";
    return text;
}

TEST(CappedOutput, KeepsTheHeadTheTailAndSaysHowMuchWasLeftOut) {
    char dir[] = "/tmp/vx-capped-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string all = Lines(1, 2000);  // "line 1\n" ... about 20 KB
    const std::string head = all.substr(0, 100);
    const struct {
        const char* what;
        int flags;  // how the file is opened: rewritable, or appended to
        bool finished;
    } rows[] = {
        {"a file of its own, at the end", O_TRUNC, true},
        {"a file of its own, killed before the end", O_TRUNC, false},
        {"a file appended to, at the end", O_APPEND, true},
    };
    for (const auto& r : rows) {
        const std::string path = std::string(dir) + "/log";
        std::remove(path.c_str());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | r.flags, 0600);
        ASSERT_GE(fd, 0);
        {
            gsw::CappedOutput out(fd, gsw::CappedOutput::Rewritable(fd), 100, 200);
            // In pieces of every size, as the lines of a job come.
            for (std::size_t at = 0, step = 1; at < all.size(); at += step, step = step % 37 + 1)
                out.Write(std::string_view(all).substr(at, step));
            if (r.finished)
                out.Finish();
            else
                out.Sync();
        }
        ::close(fd);
        const std::string text = Slurp(path);
        // The tail starts with the first whole line of the last 200 bytes.
        std::string tail = all.substr(all.size() - 200);
        tail = tail.substr(tail.find('\n') + 1);
        const std::string expected =
            head + gsw::CappedOutput::Note(all.size() - head.size() - tail.size()) + tail;
        EXPECT_EQ(text, expected) << r.what;
        EXPECT_LT(text.size(), 400u) << r.what;
    }
    std::remove((std::string(dir) + "/log").c_str());
    ::rmdir(dir);
}

TEST(CappedOutput, ShortOutputIsWrittenAsItCame) {
    char path[] = "/tmp/vx-capped-short-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    {
        gsw::CappedOutput out(fd, true, 100, 200);
        out.Write("Page 1\n");
        out.Write(std::string(93, 'x'));  // exactly the head
        out.Finish();
    }
    ::close(fd);
    EXPECT_EQ(Slurp(path), "Page 1\n" + std::string(93, 'x'));
    std::remove(path);
}

}  // namespace
