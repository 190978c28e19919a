// WaitForFile against a file that a timer creates and grows while the wait handles messages.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "engine/util.h"
#include "platform/user/messages.h"
#include "tests/engine/fixture.h"

namespace {

using vxtest::EngineTest;

// The timer's script: each tick is one step of a writer. The wait handles every tick as a
// window message; every pass of its size readings has one tick between the two readings.
struct Writer {
    std::string file;
    int ticks = 0;
    int createAt = 1;      // tick that creates the file, empty
    int growFrom = 1;      // first tick that appends a chunk
    int growTo = 0;        // last tick that appends a chunk (0: never)
    bool growing = false;  // set while the writer still has chunks to write
};
Writer g_writer;

void Tick(HWND, UINT, UINT_PTR, DWORD) {
    Writer& w = g_writer;
    ++w.ticks;
    if (w.ticks == w.createAt) vxtest::WriteFile(w.file, "");
    if (w.ticks >= w.growFrom && w.ticks <= w.growTo) {
        std::ofstream(w.file, std::ios::binary | std::ios::app) << "chunk\n";
    }
    w.growing = w.ticks < w.growTo;
}

class WaitFor : public EngineTest {
protected:
    void Start(int createAt, int growFrom, int growTo) {
        g_writer = Writer{};
        g_writer.file = AppPath() + "print \"job\" 文件.ps";
        g_writer.createAt = createAt;
        g_writer.growFrom = growFrom;
        g_writer.growTo = growTo;
        timer_ = SetTimer(nullptr, 0, 20, &Tick);
        ASSERT_NE(timer_, 0u);
    }
    void TearDown() override {
        if (timer_) KillTimer(nullptr, timer_);
        EngineTest::TearDown();
    }
    UINT_PTR timer_ = 0;
};

TEST_F(WaitFor, FileThatAppearsEmptyThenGrows) {
    // Created empty at tick 3, still empty until tick 6, then one chunk a tick up to tick 12.
    Start(3, 7, 12);
    EXPECT_TRUE(WaitForFile(g_writer.file));
    // The wait ended only once the writer had stopped: two readings agreed after the last
    // chunk, and a zero size never counted as complete.
    EXPECT_FALSE(g_writer.growing);
    EXPECT_GT(g_writer.ticks, 12);
    EXPECT_EQ(FileSizeOf(g_writer.file), 6 * 6);
}

TEST_F(WaitFor, FileThatIsCompleteAtOnce) {
    Start(1, 1, 1);
    EXPECT_TRUE(WaitForFile(g_writer.file));
    EXPECT_EQ(FileSizeOf(g_writer.file), 6);
}

TEST_F(WaitFor, FileRenamedIntoPlaceEndsTheWaitWithoutAMessage) {
    // No writer timer: a thread puts the complete file in place while the wait idles. The
    // slow timer only bounds the test; the wait must end on the file, before its first tick.
    g_writer = Writer{};
    g_writer.file = AppPath() + "renamed print.ps";
    timer_ = SetTimer(nullptr, 0, 3000, &Tick);
    g_writer.createAt = 1000000;
    std::thread writer([file = g_writer.file] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        vxtest::WriteFile(file + ".part", "%!PS\nshowpage\n");
        std::rename((file + ".part").c_str(), file.c_str());
    });
    EXPECT_TRUE(WaitForFile(g_writer.file, std::chrono::seconds(20)));
    writer.join();
    EXPECT_EQ(g_writer.ticks, 0);
}

TEST_F(WaitFor, FileStillOpenForWritingIsNotComplete) {
    // Content is there but the writer has not closed it: the wait goes on until it does.
    g_writer = Writer{};
    g_writer.file = AppPath() + "open print.ps";
    timer_ = SetTimer(nullptr, 0, 20, &Tick);
    g_writer.createAt = 1000000;
    std::FILE* out = std::fopen(g_writer.file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("%!PS\n", out);
    std::fflush(out);
    EXPECT_FALSE(WaitForFile(g_writer.file, std::chrono::milliseconds(200)));
    std::fclose(out);
    EXPECT_TRUE(WaitForFile(g_writer.file, std::chrono::seconds(20)));
}

TEST_F(WaitFor, BoundEndsTheWaitForAFileThatNeverComes) {
    Start(1000000, 1000000, 0);
    EXPECT_FALSE(WaitForFile(g_writer.file, std::chrono::milliseconds(100)));
    EXPECT_FALSE(FileExists(g_writer.file));
    EXPECT_GT(g_writer.ticks, 0);  // messages were handled meanwhile
}

TEST_F(WaitFor, BoundEndsTheWaitForAFileThatStaysEmpty) {
    Start(1, 1000000, 0);
    EXPECT_FALSE(WaitForFile(g_writer.file, std::chrono::milliseconds(300)));
    EXPECT_EQ(FileSizeOf(g_writer.file), 0);
}

TEST_F(WaitFor, AGrowingFileIsWaitedForAsLongAsItGrows) {
    using std::chrono::milliseconds;
    const struct {
        const char* what;
        int createAt, growFrom, growTo;
        milliseconds limit, ceiling;
        bool complete;
    } rows[] = {
        // Forty chunks, one each 20 ms: four times the limit, always within it.
        {"grows far longer than the limit", 1, 1, 40, milliseconds(200), std::chrono::hours(1),
         true},
        {"never comes", 1000000, 1000000, 0, milliseconds(200), std::chrono::hours(1), false},
        {"stays empty", 1, 1000000, 0, milliseconds(200), std::chrono::hours(1), false},
        {"grows past the ceiling", 1, 1, 1000000, std::chrono::hours(1), milliseconds(300), false},
    };
    for (const auto& r : rows) {
        std::remove(g_writer.file.c_str());
        if (timer_) KillTimer(nullptr, timer_);
        Start(r.createAt, r.growFrom, r.growTo);
        EXPECT_EQ(WaitForGrowingFile(g_writer.file, r.limit, r.ceiling), r.complete) << r.what;
        if (r.complete) {
            EXPECT_GT(g_writer.ticks, r.growTo) << r.what;
        }
    }
}

}  // namespace
