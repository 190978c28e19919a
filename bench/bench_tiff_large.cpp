// A 20000 × 20000 RGB TIFF page (deflate, libtiff's strips), stored upright (orientation 1)
// and turned a quarter (orientation 6), through tiff2pdf: the peak resident memory of the
// page reader writing the page's bitmap (in a child of its own), and of every process of a
// whole unattended run of the built program: the program, each Ghostscript, the office
// session it starts. The goal for the program and Ghostscript is 512 MB each.
//
//   bench_tiff_large [side]     (default 20000)
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/converters/tiff2ps.h"

namespace {

namespace fs = std::filesystem;

// Gradients and stripes, which deflate makes about 10 MB of.
void WriteTiff(const std::string& path, uint32_t side, uint16_t orientation) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, side);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, side);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(t, TIFFTAG_ORIENTATION, orientation);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    std::vector<uint8_t> row(size_t(side) * 3);
    for (uint32_t y = 0; y < side; ++y) {
        for (uint32_t x = 0; x < side; ++x) {
            row[x * 3] = uint8_t(x * 255 / side);
            row[x * 3 + 1] = uint8_t(y * 255 / side);
            row[x * 3 + 2] = ((x / 100 + y / 100) & 1) ? 200 : 40;
        }
        TIFFWriteScanline(t, row.data(), y, 0);
    }
    TIFFClose(t);
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The page reader alone, in a child: its peak resident memory (MB) and its time.
std::pair<long, double> ReaderPeak(const std::string& tif, const std::string& dir) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            TTiff2ps().SavePages(tif, dir);
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {-1, Since(start)};
    return {usage.ru_maxrss / 1024, Since(start)};
}

// The processes below root, by /proc.
std::set<pid_t> Descendants(pid_t root) {
    std::map<pid_t, std::vector<pid_t>> children;
    for (const auto& e : fs::directory_iterator("/proc")) {
        const std::string name = e.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(e.path() / "stat");
        std::string stat;
        std::getline(in, stat);
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) == 2)
            children[parent].push_back(std::stoi(name));
    }
    std::set<pid_t> out;
    std::vector<pid_t> todo{root};
    while (!todo.empty()) {
        const pid_t p = todo.back();
        todo.pop_back();
        for (pid_t c : children[p])
            if (out.insert(c).second) todo.push_back(c);
    }
    return out;
}

// A whole run of the program: each process's peak resident memory (MB) by its name, read
// from /proc while it runs (the peak only grows, so the last reading holds); under "run",
// the largest of them all from wait4 (it counts the children the program waited for).
std::map<std::string, long> RunPeaks(const std::vector<std::string>& argv, int& exitCode,
                                     double& seconds) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    std::map<std::string, long> peaks;
    int status = 0;
    rusage usage{};
    for (;;) {
        std::set<pid_t> all = Descendants(pid);
        all.insert(pid);
        for (pid_t p : all) {
            std::ifstream comm("/proc/" + std::to_string(p) + "/comm");
            std::string name;
            std::getline(comm, name);
            std::ifstream st("/proc/" + std::to_string(p) + "/status");
            for (std::string line; std::getline(st, line);)
                if (line.rfind("VmHWM:", 0) == 0) {
                    const long mb = std::atol(line.c_str() + 6) / 1024;
                    if (!name.empty() && mb > peaks[name]) peaks[name] = mb;
                }
        }
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    peaks["run"] = usage.ru_maxrss / 1024;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    seconds = Since(start);
    return peaks;
}

}  // namespace

int main(int argc, char** argv) {
    const uint32_t side = argc > 1 ? uint32_t(std::atol(argv[1])) : 20000;
    char tmpl[] = "/tmp/vx-bench-tiff-large-XXXXXX";
    const std::string dir = std::string(mkdtemp(tmpl)) + "/";
    const std::string prog = dir + "prog/";
    fs::create_directories(prog);
    for (const char* n : {"vexomat", "gs", "additional"})
        fs::create_symlink(std::string(VEXOMAT_BIN_DIR) + "/" + n, prog + n);
    constexpr long kGoalMb = 512;
    bool met = true;
    for (const uint16_t orientation : {uint16_t(1), uint16_t(6)}) {
        const std::string tif = dir + "page" + std::to_string(orientation) + ".tif";
        WriteTiff(tif, side, orientation);
        std::printf("%u x %u, orientation %u, %.1f MB of TIFF\n", side, side, orientation,
                    double(fs::file_size(tif)) / 1e6);
        const std::string bitmaps = dir + "bitmaps/";
        fs::create_directories(bitmaps);
        const auto [readerMb, readerSeconds] = ReaderPeak(tif, bitmaps);
        std::printf("  page reader to bitmap: %ld MB peak, %.1f s\n", readerMb, readerSeconds);
        fs::remove_all(bitmaps);
        int exitCode = -1;
        double seconds = 0;
        const auto peaks =
            RunPeaks({prog + "vexomat", "-c", "tiff2pdf", "-s", tif, "-d", dir}, exitCode, seconds);
        std::printf("  tiff2pdf: exit %d, %.1f s, peak MB:", exitCode, seconds);
        for (const auto& [name, mb] : peaks) std::printf(" %s %ld", name.c_str(), mb);
        std::printf("\n");
        const auto peak = [&](const char* name) {
            const auto it = peaks.find(name);
            return it == peaks.end() ? 0L : it->second;
        };
        met = met && exitCode == 0 && readerMb >= 0 && readerMb <= kGoalMb &&
              peak("vexomat") <= kGoalMb && peak("gs") <= kGoalMb;
        fs::remove(tif);
        fs::remove(dir + "page" + std::to_string(orientation) + ".pdf");
    }
    std::printf("goal (%ld MB for the program and Ghostscript): %s\n", kGoalMb,
                met ? "met" : "missed");
    fs::remove_all(dir);
    return met ? 0 : 1;
}
