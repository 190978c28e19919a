// A source in a folder the user cannot write (a shared folder, read-only media): the run
// makes its folder in the destination, else in the temporary folder, converts, and leaves
// the source's folder exactly as it was and nothing behind anywhere. Needs a user whom the
// permissions bind: the tests' own, or, when they run as root, "nobody" through setpriv;
// the read-only media are a read-only bind mount, made only as root.
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

bool IsRunFolder(const std::string& name) {
    return name.size() == 8 && name.find_first_not_of("0123456789") == std::string::npos;
}

// The run folders in a folder, and the records of run folders in a temporary folder.
std::vector<std::string> RunLeftovers(const std::string& dir) {
    std::vector<std::string> found;
    for (const std::string& name : Listing(dir))
        if (IsRunFolder(name) || name.rfind("vexomat-runs-", 0) == 0 ||
            name.rfind("vexomat-office-", 0) == 0)
            found.push_back(name);
    return found;
}

// Every file of a folder (not descending) with its contents.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const std::string& name : Listing(dir)) files[name] = Slurp(dir + name);
    return files;
}

class UnwritableSource : public ::testing::Test {
protected:
    void SetUp() override {
        src = TempFolder("vx shared ");
        dest = TempFolder("vx own dest ");
        tmp = TempFolder("vx own tmp ");
        const std::string sample = std::string(VEXOMAT_SOURCE_DIR) + "/resources/samples/sample.ps";
        ASSERT_EQ(Exec({"gs", "-q", "-sDEVICE=pdfwrite", "-o", src + "a.pdf", sample},
                       prog.dir + "gs.txt")
                      .exitCode,
                  0);
        std::filesystem::copy_file(src + "a.pdf", src + "b.pdf");
        WritePostScript(src + "c.ps", 2);
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody) GTEST_SKIP() << "running as root and there is no user \"nobody\"";
            as = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                  "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"};
            for (const std::string& p : {prog.dir, dest, tmp})
                ASSERT_EQ(::chown(p.c_str(), nobody->pw_uid, nobody->pw_gid), 0) << p;
            std::vector<std::string> probe = as;
            probe.insert(probe.end(), {"test", "-x", prog.dir + "vexomat"});
            if (Exec(probe, prog.dir + "probe.txt").exitCode != 0)
                GTEST_SKIP() << "running as root, and \"nobody\" cannot run the built program";
        }
        // Readable and enterable by everyone, writable by nobody but root.
        for (const std::string& name : Listing(src)) ::chmod((src + name).c_str(), 0444);
        ASSERT_EQ(::chmod(src.c_str(), 0555), 0);
        before = Snapshot(src);
    }
    void TearDown() override {
        std::error_code ec;
        for (const std::string& d : {src, dest, tmp}) {
            std::filesystem::permissions(d, std::filesystem::perms::owner_all, ec);
            std::filesystem::remove_all(d, ec);
        }
    }
    // Runs the program as the bound user with the temporary folder of the test.
    RunResult Run(std::vector<std::string> args) {
        std::vector<std::string> argv = as;
        argv.push_back(prog.dir + "vexomat");
        argv.insert(argv.end(), args.begin(), args.end());
        ScopedEnv t("TMPDIR", tmp);
        logBefore = prog.Log().size();
        return Exec(argv, prog.dir + "output.txt");
    }
    std::string RunLog() const { return prog.Log().substr(logBefore); }
    // Nothing of the run is left beside the source, in the destination or the temporary
    // folder, and the source's folder is as it was.
    void ExpectNothingLeft() {
        EXPECT_EQ(Snapshot(src), before);
        EXPECT_TRUE(RunLeftovers(dest).empty()) << RunLeftovers(dest)[0];
        EXPECT_TRUE(RunLeftovers(tmp).empty()) << RunLeftovers(tmp)[0];
    }

    ProgramFolder prog;
    std::string src, dest, tmp;
    std::vector<std::string> as;
    std::map<std::string, std::string> before;
    size_t logBefore = 0;
};

}  // namespace

TEST_F(UnwritableSource, EveryKindOfFunctionConvertsIntoTheUsersOwnDestination) {
    const struct {
        std::vector<std::string> args;
        const char* result;
    } rows[] = {
        {{"-c", "pdf2pdf", "-s", src + "a.pdf"}, "a_REDUCED.pdf"},
        {{"-c", "pdf2jpg", "-s", src + "a.pdf"}, "a_p0003.jpg"},
        {{"-c", "ps2pdf", "-s", src + "c.ps"}, "c.pdf"},
        {{"-c", "pdfAutoCrop", "-s", src + "a.pdf"}, "a_CROPPED.pdf"},
        {{"-c", "pdfEncrypt", "-s", src + "a.pdf"}, "a_ENCRYPTED.pdf"},
        {{"-c", "pdfWatermark", "-s", src + "a.pdf", "-owt", "=STAMP", "-owf", "=40", "-owo",
          "=30"},
         "a_WATERMARKED.pdf"},
        {{"-c", "pdfMergeAll", "-s", src + "a.pdf#" + src + "b.pdf"}, "MERGED-ALL.pdf"},
        {{"-c", "pdf2htmlPreview", "-s", src + "a.pdf"}, "pdf/a_p0003.pdf"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args[1]);
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"-d", dest});
        const RunResult r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.output << RunLog();
        EXPECT_TRUE(Exists(dest + row.result)) << RunLog();
        EXPECT_EQ(RunLog().find("拒绝访问"), std::string::npos) << RunLog();
        ExpectNothingLeft();
    }
    EXPECT_EQ(PdfPages(dest + "MERGED-ALL.pdf", prog.dir), 6);
}

// With no destination of its own the results would go beside the source: the run fails
// there, saying why and naming the folder, with nothing made anywhere.
TEST_F(UnwritableSource, ADestinationThatCannotBeWrittenEitherFailsWithItsReasonAndLeavesNothing) {
    const RunResult r = Run({"-c", "pdf2pdf", "-s", src + "a.pdf", "-d", src});
    EXPECT_EQ(r.exitCode, 1) << RunLog();
    EXPECT_NE(RunLog().find("拒绝访问"), std::string::npos) << RunLog();
    EXPECT_FALSE(Exists(src + "a_REDUCED.pdf"));
    ExpectNothingLeft();
}

// A run ended by a signal removes its folder in the destination; one killed outright
// leaves it, and the next run removes it.
TEST_F(UnwritableSource, ARunFolderInTheDestinationGoesWhenTheRunIsEnded) {
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        const std::string pidFile = prog.dir + "gs.pid";
        std::filesystem::remove(pidFile);
        pid_t run = -1;
        {
            ScopedEnv g("VEXOMAT_GS", VX_GS_STANDIN);
            ScopedEnv m("VX_STANDIN_MODE", "hang");
            ScopedEnv p("VX_STANDIN_PIDFILE", pidFile);
            ScopedEnv t("TMPDIR", tmp);
            std::vector<std::string> argv = as;
            argv.insert(argv.end(),
                        {prog.dir + "vexomat", "-c", "pdf2pdf", "-s", src + "a.pdf", "-d", dest});
            run = Start(argv, prog.dir + "run.txt");
        }
        for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             Slurp(pidFile).empty() && std::chrono::steady_clock::now() < until;)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(Slurp(pidFile).empty()) << "Ghostscript's stand-in did not start in 60 s";
        EXPECT_EQ(RunLeftovers(dest).size(), 1u) << "the run folder is not in the destination";
        ::kill(run, signal);
        Finish(run, prog.dir + "run.txt");
        if (const pid_t gs = std::atoi(Slurp(pidFile).c_str()); gs > 0) ::kill(gs, SIGKILL);
        if (signal == SIGKILL) {
            const std::vector<std::string> left = RunLeftovers(dest);
            ASSERT_EQ(std::count_if(left.begin(), left.end(), IsRunFolder), 1)
                << "a killed run removed its folder";
            const RunResult r = Run({"-c", "pdf2pdf", "-s", src + "a.pdf", "-d", dest});
            EXPECT_EQ(r.exitCode, 0) << r.output << RunLog();
        }
        ExpectNothingLeft();
    }
}

// Read-only media: the run folder goes to the destination as above; the reason of a
// result that cannot go beside the source says the medium is write-protected.
TEST_F(UnwritableSource, ASourceOnReadOnlyMediaConverts) {
    if (::geteuid() != 0) GTEST_SKIP() << "a read-only bind mount needs root";
    const std::string media = TempFolder("vx media ");
    struct Unmount {
        std::string path;
        ~Unmount() {
            ::umount2(path.c_str(), MNT_DETACH);
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    } unmount{media};
    if (::mount(src.c_str(), media.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, media.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "no read-only bind mount: " << std::strerror(errno);
    // Root itself cannot write there: the program runs as root.
    as.clear();
    for (const char* function : {"pdf2bmp", "pdf2ps"}) {
        SCOPED_TRACE(function);
        const RunResult r = Run({"-c", function, "-s", media + "a.pdf", "-d", dest});
        EXPECT_EQ(r.exitCode, 0) << r.output << RunLog();
        ExpectNothingLeft();
    }
    EXPECT_TRUE(Exists(dest + "a_p0003.bmp"));
    EXPECT_TRUE(Exists(dest + "a.ps"));
    const RunResult r = Run({"-c", "pdf2pdf", "-s", media + "a.pdf", "-d", media});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(RunLog().find("介质受写入保护"), std::string::npos) << RunLog();
    ExpectNothingLeft();
}
