// A source folder the user may write and enter but not list (mode 0300): a run there leaves
// its results and nothing else, the run folder it made included. Needs a user whom the
// permissions bind: the tests' own, or, when they run as root, "nobody" through setpriv.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
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

}  // namespace

TEST(UnlistableSource, ARunLeavesItsResultsAndNoRunFolder) {
    ProgramFolder prog;
    const std::string src = TempFolder("vx unlistable ");
    const std::string sample = std::string(VEXOMAT_SOURCE_DIR) + "/resources/samples/sample.ps";
    ASSERT_EQ(
        Exec({"gs", "-q", "-sDEVICE=pdfwrite", "-o", src + "a.pdf", sample}, prog.dir + "gs.txt")
            .exitCode,
        0);
    if (const passwd* nobody = ::getpwnam("nobody"); nobody && ::geteuid() == 0) {
        for (const std::string& p : {prog.dir, src, src + "a.pdf"})
            ASSERT_EQ(::chown(p.c_str(), nobody->pw_uid, nobody->pw_gid), 0) << p;
    }
    std::string why;
    const std::vector<std::string> as = AsBoundUser(prog.dir, why);
    if (::geteuid() == 0 && as.empty()) GTEST_SKIP() << why;
    for (const char* function : {"pdf2jpg", "pdf2pdf"}) {
        SCOPED_TRACE(function);
        const std::vector<std::string> before = Listing(src);
        ASSERT_EQ(::chmod(src.c_str(), 0300), 0);
        std::vector<std::string> argv = as;
        argv.insert(argv.end(),
                    {prog.dir + "vexomat", "-c", function, "-s", src + "a.pdf", "-d", src});
        const RunResult r = Exec(argv, prog.dir + "output.txt");
        ASSERT_EQ(::chmod(src.c_str(), 0700), 0);
        EXPECT_EQ(r.exitCode, 0) << r.output << prog.Log();
        const std::vector<std::string> after = Listing(src);
        EXPECT_GT(after.size(), before.size()) << "no result";
        for (const std::string& name : after) {
            const bool runFolder =
                name.size() == 8 && name.find_first_not_of("0123456789") == std::string::npos;
            EXPECT_FALSE(runFolder) << "the run folder " << name << " was left behind";
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(src, ec);
}
