// The window-listing helper that office print jobs start beside themselves. A print to
// the file port that names no file asks which file to print into; this helper answers
// for the program that prints (its second argument, e.g. "MSACCESS.EXE"), started by
// the program that drives it, with the file name (its first argument).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "../../platform/automation/printPrompt.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: enumWindows.exe <print file> <program>\n");
        return 2;
    }
    const std::string folder = office::PrintPromptFolder();
    mkdir(folder.c_str(), 0700);
    struct stat st;
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
        std::fprintf(stderr, "enumWindows: %s is not ours\n", folder.c_str());
        return 1;
    }
    const std::string answer = office::PrintPromptFile(long(getppid()), argv[2]);
    const std::string part = answer + ".part";
    FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) return 1;
    std::fputs(argv[1], f);
    bool ok = std::fclose(f) == 0;
    if (!ok || std::rename(part.c_str(), answer.c_str()) != 0) {
        std::remove(part.c_str());
        return 1;
    }
    return 0;
}
