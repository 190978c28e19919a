// Named mutexes let go of all at once, as a program that ends without closing its handles
// does: their lock files go, unless another process still has the name open.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/win/mutex.h"
#include "win_support.h"

namespace {

using namespace wintest;

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(NamedMutexes, LetGoOfAllAtOnceTheyLeaveNoFilesButThoseAnotherProcessHolds) {
    TempDir tmp("vxmutex");
    setenv("TMPDIR", tmp.path.c_str(), 1);
    HANDLE owned = CreateMutexA(nullptr, 1, "vx test alone");
    HANDLE twice = CreateMutexA(nullptr, 0, "vx test alone");  // the same name again
    const std::vector<std::string> alone = Names(tmp.path);
    ASSERT_EQ(alone.size(), 2u);
    HANDLE shared = CreateMutexA(nullptr, 0, "vx test shared");
    std::string presence;
    for (const std::string& n : Names(tmp.path))
        if (n.size() > 5 && n.compare(n.size() - 5, 5, ".open") == 0 &&
            std::find(alone.begin(), alone.end(), n) == alone.end())
            presence = tmp / n;
    ASSERT_FALSE(presence.empty());
    // Another holder of the second name: a lock of its own on the presence file, as another
    // process that opened the name has.
    const int other = ::open(presence.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_SH), 0);

    CloseNamedMutexesNow();
    std::vector<std::string> left = Names(tmp.path);
    EXPECT_EQ(left.size(), 2u);
    for (const std::string& n : alone)
        EXPECT_EQ(std::find(left.begin(), left.end(), n), left.end()) << n;
    EXPECT_TRUE(Exists(presence));

    // Closing the handles afterwards changes nothing more, and letting go twice neither.
    CloseNamedMutexesNow();
    for (HANDLE h : {owned, twice, shared}) CloseHandle(h);
    EXPECT_EQ(Names(tmp.path), left);
    ::close(other);
    unsetenv("TMPDIR");
}

}  // namespace
