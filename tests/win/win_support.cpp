#include "tests/win/win_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

extern char** environ;

namespace wintest {

TempDir::TempDir(const std::string& name) {
    std::string tmpl = std::filesystem::temp_directory_path().string() + "/" + name + "-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    path = ::mkdtemp(buf.data()) ? buf.data() : "";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Make everything writable again so tests may leave read-only folders behind.
    for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    std::filesystem::remove_all(path, ec);
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

void MakeExecutable(const std::string& file) {
    std::filesystem::copy_file("/bin/true", file,
                               std::filesystem::copy_options::overwrite_existing);
    ::chmod(file.c_str(), 0755);
}

std::string SelfExe() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : "";
}

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> out;
    std::ifstream in(file);
    std::string l;
    while (std::getline(in, l)) out.push_back(l);
    return out;
}

std::vector<char> ChildEnvironment() {
    std::vector<char> block;
    for (char** e = environ; *e; ++e) {
        std::string s = *e;
        if (s.rfind("VX_WIN_TEST_CHILD=", 0) == 0) continue;
        block.insert(block.end(), s.begin(), s.end());
        block.push_back(0);
    }
    std::string mark = "VX_WIN_TEST_CHILD=1";
    block.insert(block.end(), mark.begin(), mark.end());
    block.push_back(0);
    block.push_back(0);
    return block;
}

void EnvOverride::remember(const std::string& name) {
    if (saved_.count(name)) return;
    const char* v = std::getenv(name.c_str());
    saved_[name] = v ? std::optional<std::string>(v) : std::nullopt;
}

void EnvOverride::Set(const std::string& name, const std::string& value) {
    remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
}

void EnvOverride::Unset(const std::string& name) {
    remember(name);
    ::unsetenv(name.c_str());
}

EnvOverride::~EnvOverride() {
    for (auto& [k, v] : saved_) {
        if (v)
            ::setenv(k.c_str(), v->c_str(), 1);
        else
            ::unsetenv(k.c_str());
    }
}

void WaitUntilExists(const std::string& file) {
    while (!Exists(file)) ::usleep(2000);
}

}  // namespace wintest
