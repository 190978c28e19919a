// The processor time of a process group, as the wait for an office step reads it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/win/processTimes.h"

using namespace std::chrono_literals;

TEST(ProcessTimes, TheStatLineOfAProcess) {
    const struct {
        const char* line;
        std::optional<std::chrono::milliseconds> used;
        int group;
        uint64_t space;
    } rows[] = {
        {"42 (soffice.bin) R 41 40 40 0 -1 4194304 10 0 0 0 150 50 0 0 20 0 9", 2000ms, 40, 0},
        // Far enough for the address space (field 23).
        {"5 (gs) R 1 5 5 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 77 4294967296 10", 20ms, 5, 4294967296},
        // A name with blanks and parentheses of its own.
        {"7 (a (b) c) S 1 7 7 0 -1 0 0 0 0 0 3 4 0 0", 70ms, 7, 0},
        {"7 (cut short) S 1 7 7", std::nullopt, 0, 0},
        {"no fields at all", std::nullopt, 0, 0},
        {"9 (x) S 1 9 9 0 -1 0 0 0 0 0 ten 4", std::nullopt, 0, 0},
    };
    for (const auto& r : rows) {
        int group = 0;
        uint64_t space = 0;
        EXPECT_EQ(CpuTimeFromStatLine(r.line, 100, &group, &space), r.used) << r.line;
        if (r.used) {
            EXPECT_EQ(group, r.group) << r.line;
            EXPECT_EQ(space, r.space) << r.line;
        }
    }
}

TEST(ProcessTimes, AGroupThatWorksUsesProcessorTime) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setpgid(0, 0);
        volatile unsigned long spin = 0;
        for (;;) spin = spin + 1;
    }
    setpgid(child, child);
    std::this_thread::sleep_for(50ms);
    const auto first = ProcessGroupCpuTime(child);
    std::this_thread::sleep_for(300ms);
    const auto later = ProcessGroupCpuTime(child);
    kill(-child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_TRUE(first && later);
    EXPECT_GT(*later, *first);
    // A group with nobody left in it has used nothing.
    EXPECT_EQ(ProcessGroupCpuTime(child), std::chrono::milliseconds(0));
}
