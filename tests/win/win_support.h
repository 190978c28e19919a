// Shared helpers of the win tests: temporary folders, files, environment overrides, and
// the test program run as a child ("child mode", see child_mode.cpp).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wintest {

struct TempDir {
    explicit TempDir(const std::string& name = "vxwin");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& rel) const { return path + "/" + rel; }
    std::string path;  // no trailing "/"
};

std::string ReadAll(const std::string& file);
void WriteAll(const std::string& file, const std::string& text);
bool Exists(const std::string& path);          // does not follow a final link
void MakeExecutable(const std::string& file);  // a small program that exits 0
std::string SelfExe();
// Lines of a file, without line ends.
std::vector<std::string> Lines(const std::string& file);

// Our environment plus the child-mode switch, as a Windows environment block.
std::vector<char> ChildEnvironment();

// Sets environment variables for one scope, restoring them afterwards.
class EnvOverride {
public:
    EnvOverride() = default;
    ~EnvOverride();
    void Set(const std::string& name, const std::string& value);
    void Unset(const std::string& name);

private:
    void remember(const std::string& name);
    std::map<std::string, std::optional<std::string>> saved_;
};

// Polls until the file exists (no deadline: a missing file ends in the test time-out).
void WaitUntilExists(const std::string& file);

}  // namespace wintest
