// A folder of the test's own under the test temporary folder, removed with everything in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

struct ScratchFolder {
    std::string path;  // empty when none could be made
    explicit ScratchFolder(const std::string& prefix = "vx-scratch-") {
        std::string t = ::testing::TempDir() + prefix + "XXXXXX";
        path = ::mkdtemp(t.data()) ? t : "";
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};
