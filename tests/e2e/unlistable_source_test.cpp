// A source folder the user may write and enter but not list (mode 0300): a run there leaves
// its results and nothing else, the run folder it made included, and removes the one a
// killed run left there. Needs a user whom the
// permissions bind: the tests' own, or, when they run as root, "nobody" through setpriv.
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

// The argument vector that runs a program as a user the permissions bind; empty (with the
// reason) when there is none.
std::vector<std::string> AsBoundUser(const std::string& folder, std::string& why) {
    if (::geteuid() != 0) return {};
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) {
        why = "running as root and there is no user \"nobody\" to run the program as";
        return {};
    }
    std::vector<std::string> setpriv{"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                                     "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"};
    std::vector<std::string> probe = setpriv;
    probe.insert(probe.end(), {"test", "-x", folder + "vexomat"});
    if (Exec(probe, folder + "probe.txt").exitCode != 0) {
        why = "running as root, and \"nobody\" cannot run the built program from here";
        return {};
    }
    return setpriv;
}

bool IsRunFolder(const std::string& name) {
    return name.size() == 8 && name.find_first_not_of("0123456789") == std::string::npos;
}

// A source folder with a.pdf in it, owned by the user the permissions bind, and the argument
// vector that runs the program as that user (empty when the tests' own user is bound).
class UnlistableSource : public ::testing::Test {
protected:
    void SetUp() override {
        src = TempFolder("vx unlistable ");
        const std::string sample = std::string(VEXOMAT_SOURCE_DIR) + "/resources/samples/sample.ps";
        ASSERT_EQ(Exec({"gs", "-q", "-sDEVICE=pdfwrite", "-o", src + "a.pdf", sample},
                       prog.dir + "gs.txt")
                      .exitCode,
                  0);
        if (const passwd* nobody = ::getpwnam("nobody"); nobody && ::geteuid() == 0) {
            for (const std::string& p : {prog.dir, src, src + "a.pdf"})
                ASSERT_EQ(::chown(p.c_str(), nobody->pw_uid, nobody->pw_gid), 0) << p;
        }
        std::string why;
        as = AsBoundUser(prog.dir, why);
        if (::geteuid() == 0 && as.empty()) GTEST_SKIP() << why;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(src, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(src, ec);
    }
    // The program's argument vector for the function on a.pdf, as the bound user.
    std::vector<std::string> Command(const std::string& function) const {
        std::vector<std::string> argv = as;
        argv.insert(argv.end(),
                    {prog.dir + "vexomat", "-c", function, "-s", src + "a.pdf", "-d", src});
        return argv;
    }
    // The names in the source folder (listed while it may be).
    std::vector<std::string> Names() const {
        ::chmod(src.c_str(), 0700);
        std::vector<std::string> names = Listing(src);
        ::chmod(src.c_str(), 0300);
        return names;
    }
    ProgramFolder prog;
    std::string src;
    std::vector<std::string> as;
};

}  // namespace

TEST_F(UnlistableSource, ARunLeavesItsResultsAndNoRunFolder) {
    for (const char* function : {"pdf2jpg", "pdf2pdf"}) {
        SCOPED_TRACE(function);
        const std::vector<std::string> before = Listing(src);
        ASSERT_EQ(::chmod(src.c_str(), 0300), 0);
        const RunResult r = Exec(Command(function), prog.dir + "output.txt");
        ASSERT_EQ(::chmod(src.c_str(), 0700), 0);
        EXPECT_EQ(r.exitCode, 0) << r.output << prog.Log();
        const std::vector<std::string> after = Listing(src);
        EXPECT_GT(after.size(), before.size()) << "no result";
        for (const std::string& name : after)
            EXPECT_FALSE(IsRunFolder(name)) << "the run folder " << name << " was left behind";
    }
}

// A run killed (SIGKILL) there can remove nothing; the next run, which cannot list the
// folder either, removes the run folder it left by its name.
TEST_F(UnlistableSource, TheNextRunRemovesTheRunFolderOfAKilledRun) {
    ASSERT_EQ(::chmod(src.c_str(), 0300), 0);
    const std::string pidFile = prog.dir + "gs.pid";
    pid_t run = -1;
    {
        ScopedEnv g("VEXOMAT_GS", VX_GS_STANDIN);
        ScopedEnv m("VX_STANDIN_MODE", "hang");
        ScopedEnv p("VX_STANDIN_PIDFILE", pidFile);
        run = Start(Command("pdf2pdf"), prog.dir + "run.txt");
    }
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         Slurp(pidFile).empty() && std::chrono::steady_clock::now() < until;)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(run, SIGKILL);
    Finish(run, prog.dir + "run.txt");
    if (const pid_t gs = std::atoi(Slurp(pidFile).c_str()); gs > 0) ::kill(gs, SIGKILL);
    std::vector<std::string> left = Names();
    ASSERT_EQ(std::count_if(left.begin(), left.end(), IsRunFolder), 1) << "no run folder was left";
    const RunResult r = Exec(Command("pdf2pdf"), prog.dir + "output.txt");
    EXPECT_EQ(r.exitCode, 0) << r.output << prog.Log();
    left = Names();
    EXPECT_EQ(std::count_if(left.begin(), left.end(), IsRunFolder), 0) << "the killed run's "
                                                                          "folder is still there";
}
