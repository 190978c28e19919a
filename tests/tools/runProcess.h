// Runs a program as the console program's tests need it: an argument vector (no shell),
// standard input from /dev/null, output and error output into files read back afterwards.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace tooltest {

struct Outcome {
    int code = -1;  // exit code, 128 + signal, or -1 when the program could not be started
    std::string out;
    std::string err;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// `extraEnv` entries ("NAME=value") come before the inherited ones, so they win.
inline Outcome RunProcess(const std::vector<std::string>& argv, const std::string& outPath,
                          const std::string& errPath,
                          const std::vector<std::string>& extraEnv = {}) {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> store = argv;
    std::vector<char*> args;
    for (std::string& s : store) args.push_back(s.data());
    args.push_back(nullptr);
    std::vector<std::string> envStore = extraEnv;
    for (char** e = environ; *e; ++e) envStore.emplace_back(*e);
    std::vector<char*> env;
    for (std::string& s : envStore) env.push_back(s.data());
    env.push_back(nullptr);
    Outcome o;
    pid_t pid;
    if (posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), env.data()) == 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
        o.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&fa);
    o.out = ReadAll(outPath);
    o.err = ReadAll(errPath);
    return o;
}

}  // namespace tooltest
