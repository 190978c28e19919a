// Drives coming and going reach every top-level window as WM_DEVICECHANGE, once per change.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "platform/win/mountWatch.h"

namespace {

const char* const kTable = "/dev/sda1 / ext4 rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n";

std::string TempTable(const std::string& text) {
    char name[] = "/tmp/vx_mounts_XXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    close(fd);
    std::ofstream(name) << text;
    return name;
}

struct Recorder {
    std::vector<std::pair<UINT, WPARAM>> seen;
    HWND Make(HWND parent = nullptr) {
        return CreateWindowObject(
            "TRecorder", parent,
            [this](HWND, UINT msg, WPARAM w, LPARAM) -> LRESULT {
                if (msg == WM_DEVICECHANGE) seen.emplace_back(msg, w);
                return 0;
            },
            nullptr);
    }
};

TEST(MountTableWatch, ReportsEachChangeOfTheTextOnce) {
    const std::string path = TempTable(kTable);
    MountTableWatch watch(path);
    ASSERT_TRUE(watch.Open());
    EXPECT_FALSE(watch.Changed(true));
    std::ofstream(path) << kTable << "/dev/sdb1 /media/usb vfat rw 0 0\n";
    EXPECT_TRUE(watch.Changed(true));
    EXPECT_FALSE(watch.Changed(true));
    std::ofstream(path) << kTable;  // the stick is gone again
    EXPECT_TRUE(watch.Changed(true));
    // A file that does not signal is not read again unless asked to compare.
    std::ofstream(path) << "";
    EXPECT_FALSE(watch.Changed());
    std::remove(path.c_str());
}

TEST(MountTableWatch, TheKernelTableIsQuietWhileNothingIsMounted) {
    MountTableWatch watch;
    ASSERT_TRUE(watch.Open());
    EXPECT_FALSE(watch.Changed());
    MountTableWatch missing("/nonexistent/mounts");
    EXPECT_FALSE(missing.Open());
    EXPECT_FALSE(missing.Changed(true));
}

TEST(DeviceChange, AMountChangeReachesEveryTopLevelWindowOnce) {
    const std::string path = TempTable(kTable);
    MountTableWatch watch(path);
    Recorder top1, top2, child;
    HWND a = top1.Make(), b = top2.Make();
    HWND c = child.Make(a);
    EXPECT_EQ(DeliverDeviceChange(watch, true), 0);
    std::ofstream(path) << kTable << "server:/share /mnt/share nfs4 rw 0 0\n";
    const int told = DeliverDeviceChange(watch, true);
    EXPECT_GE(told, 2);  // ours, and any other top-level window of the process
    ASSERT_EQ(top1.seen.size(), 1u);
    EXPECT_EQ(top1.seen[0].second, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(top2.seen.size(), 1u);
    EXPECT_TRUE(child.seen.empty());  // children are not told, as on Windows
    EXPECT_EQ(DeliverDeviceChange(watch, true), 0);
    EXPECT_EQ(top1.seen.size(), 1u);
    DestroyWindow(c);
    DestroyWindow(b);
    DestroyWindow(a);
    std::remove(path.c_str());
}

TEST(DeviceChange, AWindowDestroyedByAnEarlierOneIsSkipped) {
    const std::string path = TempTable(kTable);
    MountTableWatch watch(path);
    Recorder later;
    HWND victim = nullptr;
    HWND killer = CreateWindowObject(
        "TRecorder", nullptr,
        [&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
            if (msg == WM_DEVICECHANGE && victim) DestroyWindow(victim);
            return 0;
        },
        nullptr);
    victim = later.Make();
    std::ofstream(path) << "";
    DeliverDeviceChange(watch, true);
    EXPECT_TRUE(later.seen.empty());
    EXPECT_FALSE(IsWindow(victim));
    DestroyWindow(killer);
    std::remove(path.c_str());
}

}  // namespace
