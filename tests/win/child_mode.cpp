// When started with VX_WIN_TEST_CHILD=1 the test program acts as a small child program
// before any test runs, so the process tests need no helper binaries:
//   --out=T / --err=T   write T and a line end to standard output / error
//   --wait-for=P        wait until the file P exists
//   --write-args=P      write every argument (one per line) to P
//   --cwd=P             write the working folder to P
//   --code=N            exit with N (else 0)
//   --sleeper=P         start "sleep 60" through the launcher with a parent-death
//                       signal, write its pid to P and sleep until killed
//   --fds=P             write the open descriptors above 2 (one per line) to P
// Started under another name (an opener, a viewer), it writes its arguments to the file
// named by VX_WIN_TEST_LOG.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/win/launcher.h"

namespace {

void writeFileAtomically(const std::string& path, const std::string& text) {
    std::string tmp = path + ".part";
    {
        std::ofstream out(tmp, std::ios::binary);
        out << text;
    }
    std::rename(tmp.c_str(), path.c_str());
}

int childMain(int argc, char** argv) {
    std::string self = argv[0];
    std::string base = self.substr(self.find_last_of('/') + 1);
    if (base == "xdg-open" || base == "fakeviewer") {
        std::string text;
        for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + "\n";
        const char* log = std::getenv("VX_WIN_TEST_LOG");
        if (log) writeFileAtomically(log, text);
        return 0;
    }
    int code = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto val = [&](const char* key) { return a.substr(std::strlen(key)); };
        if (a.rfind("--out=", 0) == 0) {
            std::printf("%s\n", val("--out=").c_str());
        } else if (a.rfind("--err=", 0) == 0) {
            std::fprintf(stderr, "%s\n", val("--err=").c_str());
        } else if (a.rfind("--wait-for=", 0) == 0) {
            std::string f = val("--wait-for=");
            while (::access(f.c_str(), F_OK) != 0) ::usleep(2000);
        } else if (a.rfind("--write-args=", 0) == 0) {
            std::string text;
            for (int j = 1; j < argc; ++j) text += std::string(argv[j]) + "\n";
            writeFileAtomically(val("--write-args="), text);
        } else if (a.rfind("--cwd=", 0) == 0) {
            char buf[4096];
            writeFileAtomically(val("--cwd="), ::getcwd(buf, sizeof buf) ? buf : "");
        } else if (a.rfind("--sleeper=", 0) == 0) {
            LaunchOptions launch;
            launch.argv = {"sleep", "60"};
            launch.parentDeathSignal = SIGKILL;
            pid_t pid = -1;
            if (Launch(launch, pid) != 0) return 3;
            writeFileAtomically(val("--sleeper="), std::to_string(pid));
            for (;;) ::pause();
        } else if (a.rfind("--fds=", 0) == 0) {
            std::string text;
            if (DIR* d = ::opendir("/proc/self/fd")) {
                const int own = ::dirfd(d);
                while (dirent* e = ::readdir(d)) {
                    const int fd = std::atoi(e->d_name);
                    if (e->d_name[0] != '.' && fd > 2 && fd != own)
                        text += std::to_string(fd) + "\n";
                }
                ::closedir(d);
            }
            writeFileAtomically(val("--fds="), text);
        } else if (a.rfind("--code=", 0) == 0) {
            code = std::atoi(val("--code=").c_str());
        }
    }
    std::fflush(stdout);
    std::fflush(stderr);
    return code;
}

int argcSeen;
char** argvSeen;

// glibc passes argc/argv to constructors in .init_array.
void captureArgs(int argc, char** argv, char**) {
    argcSeen = argc;
    argvSeen = argv;
    const char* mode = std::getenv("VX_WIN_TEST_CHILD");
    if (mode && std::strcmp(mode, "1") == 0) _exit(childMain(argcSeen, argvSeen));
}

__attribute__((section(".init_array"), used)) void (*g_capture)(int, char**, char**) = captureArgs;

}  // namespace
