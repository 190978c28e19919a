// WaitForFile against a file that a timer creates and grows while the wait handles messages.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/util.h"
#include "platform/win/messages.h"
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

}  // namespace
