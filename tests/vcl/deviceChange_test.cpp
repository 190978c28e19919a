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
    // The devices changed, then the one volume that arrived.
    ASSERT_EQ(top1.seen.size(), 2u);
    EXPECT_EQ(top1.seen[0].second, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(top1.seen[1].second, DBT_DEVICEARRIVAL);
    EXPECT_EQ(top2.seen.size(), 2u);
    EXPECT_TRUE(child.seen.empty());  // children are not told, as on Windows
    EXPECT_EQ(DeliverDeviceChange(watch, true), 0);
    EXPECT_EQ(top1.seen.size(), 2u);
    DestroyWindow(c);
    DestroyWindow(b);
    DestroyWindow(a);
    std::remove(path.c_str());
}

TEST(DeviceChange, EachVolumeThatCameOrWentIsToldAsAVolume) {
    struct Row {
        const char* table;     // the table after the change
        size_t arrived, gone;  // volumes told of
    };
    const char* const usb = "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n";
    for (Row row : {Row{"", 0, 2},  // everything unmounted
                    Row{usb, 1, 2},
                    Row{"/dev/sda1 / ext4 ro 0 0\ntmpfs /tmp tmpfs rw 0 0\n", 0, 0},  // options
                    Row{"/dev/sda1 / ext4 rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n"
                        "tmpfs /tmp tmpfs rw 0 0\n",
                        1, 0},  // mounted over itself
                    Row{"/dev/sda1 / ext4 rw 0 0\n", 0, 1}}) {
        const std::string path = TempTable(kTable);
        MountTableWatch watch(path);
        std::vector<std::pair<WPARAM, DWORD>> seen;
        HWND h = CreateWindowObject(
            "TRecorder", nullptr,
            [&](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
                const auto* v = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(l);
                if (msg == WM_DEVICECHANGE) seen.emplace_back(w, v ? v->dbcv_devicetype : 0);
                return 0;
            },
            nullptr);
        std::ofstream(path) << row.table;
        const bool changed = DeliverDeviceChange(watch, true) > 0;
        EXPECT_EQ(changed, std::string(row.table) != kTable) << row.table;
        size_t arrived = 0, gone = 0;
        for (const auto& [event, type] : seen) {
            if (event == DBT_DEVNODES_CHANGED) continue;
            EXPECT_EQ(type, DBT_DEVTYP_VOLUME);
            arrived += event == DBT_DEVICEARRIVAL;
            gone += event == DBT_DEVICEREMOVECOMPLETE;
        }
        EXPECT_EQ(arrived, row.arrived) << row.table;
        EXPECT_EQ(gone, row.gone) << row.table;
        DestroyWindow(h);
        std::remove(path.c_str());
    }
    // Mount points with their escapes undone; lines without one are passed over.
    EXPECT_EQ(MountPointsOf(std::string(kTable) + "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
                                                  "broken\n\n/dev/x /a\\134b\\01 ext4 rw 0 0\n"),
              (std::vector<std::string>{"/", "/tmp", "/media/usb stick", "/a\\b\\01"}));
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
