// Helpers of the picture tests: GIF images built frame by frame from palette indices,
// temporary files, and external programs (ImageMagick) run with an argument vector.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "controls/extended/xcGif.h"

extern char** environ;

namespace pictest {

struct TempDir {
    TempDir() {
        path = std::filesystem::temp_directory_path() /
               ("vxpic" + std::to_string(::getpid()) + "_" + std::to_string(counter()++));
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& n) const { return (path / n).string(); }
    std::filesystem::path path;
    static int& counter() {
        static int c = 0;
        return c;
    }
};

inline std::string ReadAll(const std::string& f) {
    std::ifstream in(f, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& f, const std::string& data) {
    std::ofstream out(f, std::ios::binary);
    out << data;
}

// Runs a program (found on the path) and returns its standard output; -1 status when it
// cannot be started or does not end within 60 seconds.
inline int RunProgram(const std::vector<std::string>& args, std::string& out) {
    TempDir d;
    const std::string outFile = d / "out";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return -1;
    int status = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    out = ReadAll(outFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool HaveImageMagick() {
    std::string out;
    return RunProgram({"identify", "-version"}, out) == 0 &&
           out.find("ImageMagick") != std::string::npos;
}

// Indices of a frame, top row first, one byte each.
using Indices = std::vector<uint8_t>;

inline Indices RandomIndices(int w, int h, int colors, unsigned seed) {
    std::mt19937 rng(seed);
    Indices px(size_t(w) * size_t(h));
    // Runs of one value as well as noise, so the codes grow past their first sizes.
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = uint8_t(i % 7 < 3 ? (i / 7) % unsigned(colors) : rng() % unsigned(colors));
    return px;
}

inline TGifColorTable Table(int count, unsigned seed) {
    TGifColorTable t;
    t.Count = uint32_t(count);
    std::mt19937 rng(seed);
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) t.Colors[i][c] = uint8_t(rng());
    // Distinct entries, so colours map back to one index.
    for (int i = 0; i < count; ++i) t.Colors[i][0] = uint8_t(i);
    return t;
}

// Encodes indices as a frame's data at the smallest DIB depth holding Bits.
inline std::string EncodeIndices(const Indices& px, int w, int h, int bits, bool interlaced) {
    const int bitCount = bits == 1 ? 1 : bits <= 4 ? 4 : 8;
    const size_t stride = GifStride(w, bitCount);
    std::vector<uint8_t> dib(stride * size_t(h));
    for (int y = 0; y < h; ++y) {
        uint8_t* row = dib.data() + stride * size_t(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const unsigned v = px[size_t(y) * size_t(w) + size_t(x)];
            if (bitCount == 8)
                row[x] = uint8_t(v);
            else if (bitCount == 4)
                row[x / 2] |= uint8_t(v << (x % 2 ? 0 : 4));
            else
                row[x / 8] |= uint8_t(v << (7 - x % 8));
        }
    }
    TMemoryStream s;
    EncodeGifLzw(s, TGifPixelFormat{w, h, bitCount}, interlaced, nullptr, dib.data(), dib.size());
    return std::string(reinterpret_cast<const char*>(s.Memory()), size_t(s.Size()));
}

struct FrameSpec {
    int left = 0, top = 0, width = 8, height = 8;
    int bits = 8;
    bool local = false;
    bool interlaced = false;
    int transparentIndex = -1;
    int delayMs = 0;
    int disposal = 0;
    unsigned seed = 1;
};

// Appends a frame of random indices; returns them.
inline Indices AddIndexedFrame(TXcGIFImage& gif, const FrameSpec& s) {
    TGraphic* none = nullptr;
    const int i = gif.AddFrame(none);
    TXcGIFFrame& f = *gif.Frames(i);
    f.Left = s.left;
    f.Top = s.top;
    f.Interlaced = s.interlaced;
    f.LocalColors = s.local;
    f.Item->Width = s.width;
    f.Item->Height = s.height;
    f.Item->BitsPerPixel = uint8_t(s.bits);
    f.Item->ColorTable = s.local ? Table(1 << s.bits, s.seed) : gif.Data->ColorTable;
    Indices px = RandomIndices(s.width, s.height, 1 << s.bits, s.seed);
    f.Item->Data = EncodeIndices(px, s.width, s.height, s.bits, s.interlaced);
    if (s.transparentIndex >= 0)
        f.TransparentColor = f.Item->ColorTable.RGB(unsigned(s.transparentIndex));
    f.DisplayTime = s.delayMs;
    f.Disposal = uint8_t(s.disposal);
    gif.RecomputeScreen();
    return px;
}

inline std::string Save(TXcGIFImage& gif) {
    TMemoryStream m;
    gif.SaveToStream(m);
    return std::string(reinterpret_cast<const char*>(m.Memory()), size_t(m.Size()));
}

inline std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s.push_back(char(v));
    return s;
}

}  // namespace pictest
