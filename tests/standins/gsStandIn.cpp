// A stand-in for Ghostscript behind the console program, for the tests of what the
// program does when Ghostscript misbehaves. It reads the output name from
// "-sOutputFile=" (a "%04d" in it makes one file per page) and acts by VX_STANDIN_MODE:
//   ok            writes three pages (or one file) and ends with 0
//   stdout-error  writes a page and a cut-off page, says "**** Error: Page drawing error
//                 occurred." on its standard output and ends with 0, as Ghostscript does
//                 on a full disk or a page too large to draw
//   fail-at       writes the pages before VX_STANDIN_FAIL_AT, a cut-off page of that
//                 number, and ends with exit code 1 (a job that fails half-way)
//   hang          writes its process id to VX_STANDIN_PIDFILE and runs until killed
//   say           writes VX_STANDIN_SAY to its error output and ends with exit code 1,
//                 writing nothing else (the words of a failing Ghostscript)
//   nothing       writes nothing at all and ends with 0
//   killed        writes a page, says a page drawing error on its standard output and is
//                 then ended by the signal VX_STANDIN_SIGNAL (a number), as by another
//                 program or the system
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string PageName(const std::string& pattern, int page) {
    const size_t at = pattern.find("%04d");
    if (at == std::string::npos) return pattern;
    char num[16];
    std::snprintf(num, sizeof num, "%04d", page);
    return pattern.substr(0, at) + num + pattern.substr(at + 4);
}

void Write(const std::string& path, const std::string& text) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

const std::string kPage = "stand-in page, complete\n";

}  // namespace

int main(int argc, char** argv) {
    std::string pattern;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "-sOutputFile=", 13) == 0) pattern = argv[i] + 13;
    const char* modeVar = std::getenv("VX_STANDIN_MODE");
    const std::string mode = modeVar ? modeVar : "ok";
    const bool paged = pattern.find("%04d") != std::string::npos;

    if (mode == "hang") {
        if (const char* pidFile = std::getenv("VX_STANDIN_PIDFILE"))
            Write(pidFile, std::to_string(getpid()));
        for (;;) pause();
    }
    if (mode == "say") {
        const char* say = std::getenv("VX_STANDIN_SAY");
        std::fputs(say ? say : "", stderr);
        return 1;
    }
    if (mode == "nothing") return 0;
    if (mode == "killed") {
        Write(PageName(pattern, 1), kPage);
        std::printf("Page 1\n   **** Error: Page drawing error occurred.\n");
        std::fflush(stdout);
        const char* sig = std::getenv("VX_STANDIN_SIGNAL");
        std::signal(sig ? std::atoi(sig) : SIGTERM, SIG_DFL);
        std::raise(sig ? std::atoi(sig) : SIGTERM);
        return 0;
    }
    if (mode == "stdout-error") {
        Write(PageName(pattern, 1), kPage);
        if (paged) Write(PageName(pattern, 2), "stand-in pa");
        std::printf("Page 1\nPage 2\n   **** Error: Page drawing error occurred.\n");
        return 0;
    }
    if (mode == "fail-at") {
        const char* at = std::getenv("VX_STANDIN_FAIL_AT");
        const int failAt = at ? std::atoi(at) : 2;
        for (int page = 1; page < failAt && paged; ++page) Write(PageName(pattern, page), kPage);
        Write(PageName(pattern, failAt), "stand-in pa");
        return 1;
    }
    for (int page = 1; page <= (paged ? 3 : 1); ++page) Write(PageName(pattern, page), kPage);
    return 0;
}
