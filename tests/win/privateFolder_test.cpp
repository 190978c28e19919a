// The toolkit's runtime folder when the session names none: the usual name only when it is the
// user's own private folder, a fresh private one when someone else got there first.
#include "platform/win/privateFolder.h"
#include "tests/win/scratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TempBase : ScratchFolder {
    TempBase() : ScratchFolder("vx-runtime-") {}
};

mode_t ModeOf(const std::string& p) {
    struct stat s {};
    return ::lstat(p.c_str(), &s) == 0 ? s.st_mode : 0;
}

}  // namespace

TEST(PrivateFolder, UsualNameOnlyWhenItIsTheUsersPrivateFolder) {
    struct Row {
        const char* name;
        std::function<void(const std::string& usual, const std::string& base)> plant;
        bool usualKept;  // the usual folder is the answer
    };
    const Row rows[] = {
        {"missing: made", [](const std::string&, const std::string&) {}, true},
        {"already the user's, mode 0700",
         [](const std::string& u, const std::string&) { ::mkdir(u.c_str(), 0700); }, true},
        {"a folder others may enter",
         [](const std::string& u, const std::string&) {
             ::mkdir(u.c_str(), 0700);
             ::chmod(u.c_str(), 0777);
         },
         false},
        {"a folder others may read",
         [](const std::string& u, const std::string&) {
             ::mkdir(u.c_str(), 0700);
             ::chmod(u.c_str(), 0750);
         },
         false},
        {"a link to a private folder",
         [](const std::string& u, const std::string& base) {
             const std::string elsewhere = base + "/elsewhere";
             ::mkdir(elsewhere.c_str(), 0700);
             ASSERT_EQ(::symlink(elsewhere.c_str(), u.c_str()), 0);
         },
         false},
        {"a dangling link",
         [](const std::string& u, const std::string& base) {
             ASSERT_EQ(::symlink((base + "/nowhere").c_str(), u.c_str()), 0);
         },
         false},
        {"a file",
         [](const std::string& u, const std::string&) { ASSERT_TRUE(std::ofstream(u).good()); },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempBase base;
        ASSERT_FALSE(base.path.empty());
        const std::string usual = base.path + "/vexomat-runtime-" + std::to_string(::geteuid());
        row.plant(usual, base.path);
        const std::string got = PrivateFolder(base.path, "vexomat-runtime");
        ASSERT_FALSE(got.empty());
        EXPECT_TRUE(IsPrivateFolder(got));
        EXPECT_EQ((ModeOf(got) & 07777), 0700u);
        if (row.usualKept) {
            EXPECT_EQ(got, usual);
        } else {
            EXPECT_NE(got, usual);
            EXPECT_EQ(got.rfind(usual + "-", 0), 0u) << got;
            // What was planted stays as it was.
            EXPECT_NE(ModeOf(usual), 0u);
        }
    }
}

TEST(PrivateFolder, MadeFirstByAnotherUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can hand a folder to another user here";
    TempBase base;
    const std::string usual = base.path + "/vexomat-runtime-0";
    ASSERT_EQ(::mkdir(usual.c_str(), 0700), 0);
    ASSERT_EQ(::chown(usual.c_str(), 4242, 4242), 0);
    EXPECT_FALSE(IsPrivateFolder(usual));
    const std::string got = PrivateFolder(base.path, "vexomat-runtime");
    EXPECT_NE(got, usual);
    EXPECT_TRUE(IsPrivateFolder(got));
}

TEST(PrivateFolder, NothingWhenNoFolderCanBeMade) {
    EXPECT_EQ(PrivateFolder("/nonexistent-vexomat-base", "vexomat-runtime"), "");
}
