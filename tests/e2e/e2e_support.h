// Runs of the built program, unattended, in program folders of their own.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

inline std::string TempFolder(const std::string& prefix) {
    std::string tmpl = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/" +
                       prefix + "XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    return std::string(buf.data()) + "/";
}

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void Spit(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline bool Exists(const std::string& p) { return std::filesystem::exists(p); }

// Files in a folder (names only), sorted.
inline std::vector<std::string> Listing(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto& e : std::filesystem::directory_iterator(dir, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Sets an environment variable for one scope (the program runs inherit it).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
};

struct RunResult {
    int exitCode = -1;
    std::string output;
};

// Runs a program by argument vector, output collected from a file; in cwd when given.
inline pid_t Start(const std::vector<std::string>& argv, const std::string& outFile,
                   const std::string& cwd = "") {
    pid_t pid = fork();
    if (pid == 0) {
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        FILE* f = std::fopen(outFile.c_str(), "w");
        if (f) {
            dup2(fileno(f), 1);
            dup2(fileno(f), 2);
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

inline RunResult Finish(pid_t pid, const std::string& outFile) {
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.output = Slurp(outFile);
    return r;
}

inline RunResult Exec(const std::vector<std::string>& argv, const std::string& outFile,
                      const std::string& cwd = "") {
    return Finish(Start(argv, outFile, cwd), outFile);
}

// A program folder with the built program linked in; its logs and config.ini stay in it.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& prefix = "vx e2e 程序 ") : dir(TempFolder(prefix)) {
        std::string bin = VEXOMAT_BIN_DIR;
        symlink((bin + "/vexomat").c_str(), (dir + "vexomat").c_str());
        symlink((bin + "/gs").c_str(), (dir + "gs").c_str());
        symlink((bin + "/additional").c_str(), (dir + "additional").c_str());
    }
    ~ProgramFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    RunResult Vexomat(const std::vector<std::string>& args, const std::string& cwd = "") const {
        std::vector<std::string> argv{dir + "vexomat"};
        argv.insert(argv.end(), args.begin(), args.end());
        return Exec(argv, dir + "output.txt", cwd);
    }
    std::string Log() const {
        std::string all;
        std::error_code ec;
        for (auto& day : std::filesystem::directory_iterator(dir + "logs", ec))
            all += Slurp(day.path().string() + "/info.log");
        return all;
    }
    std::string dir;
};

// A test of runs of the program: its program folder, a work folder for the sources and
// results (named after the test's prefix, removed afterwards), and the day log of one run.
class ProgramRunTest : public ::testing::Test {
protected:
    explicit ProgramRunTest(const std::string& prefix) : work(TempFolder(prefix)) {}
    ~ProgramRunTest() override {
        std::error_code ec;
        std::filesystem::remove_all(work, ec);
    }
    // The run's result; RunLog gives the day log of this one run.
    RunResult Run(const std::vector<std::string>& args) {
        logBefore = prog.Log().size();
        return prog.Vexomat(args);
    }
    std::string RunLog() const { return prog.Log().substr(logBefore); }

    ProgramFolder prog;
    std::string work;
    size_t logBefore = 0;
};

// A PDF of the given object bodies (object 1 the catalog), with a correct cross-reference.
inline std::string BuildPdf(const std::vector<std::string>& objects) {
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t o : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

inline std::string Stream(const std::string& data) {
    return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

// A PDF of n blank letter pages, written by hand.
inline void WriteBlankPdf(const std::string& path, int pages) {
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
    std::string kids;
    for (int i = 0; i < pages; ++i) {
        kids += std::to_string(i + 3) + " 0 R ";
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>";
    Spit(path, BuildPdf(objects));
}

// Writes a PostScript document of n pages (A4), each with a filled shape.
inline void WritePostScript(const std::string& path, int pages) {
    std::string ps = "%!PS-Adobe-3.0\n%%Pages: " + std::to_string(pages) + "\n";
    for (int i = 1; i <= pages; ++i)
        ps += "<< /PageSize [595 842] >> setpagedevice\n0.2 0.4 0.8 setrgbcolor 100 100 " +
              std::to_string(100 + i * 20) +
              " 300 rectfill\n/Helvetica findfont 24 scalefont setfont 0 setgray 72 760 moveto "
              "(Page " +
              std::to_string(i) + ") show showpage\n";
    Spit(path, ps);
}

// Page count of a PDF as pdfinfo reports it (-1 when it cannot be read).
inline int PdfPages(const std::string& pdf, const std::string& scratch) {
    RunResult r = Exec({"pdfinfo", pdf}, scratch + "pdfinfo.txt");
    size_t p = r.output.find("Pages:");
    if (r.exitCode != 0 || p == std::string::npos) return -1;
    return std::atoi(r.output.c_str() + p + 6);
}

// A page of 8-bit samples for HandTiff: 1 grey, 2 grey and alpha, 3 RGB, 4 RGB and alpha
// (alpha unassociated), pixels row by row from the top.
struct HandTiffPage {
    uint32_t width, height;
    uint16_t samples;
    std::string pixels;
    uint16_t orientation = 1;  // where the stored rows and columns are seen
};

// A little-endian TIFF of the pages written by hand, uncompressed, one strip a page. With
// brokenAt (from 2) the chain's pointer to that page points past the end of the file.
inline std::string HandTiff(const std::vector<HandTiffPage>& pages, size_t brokenAt = 0) {
    std::string t("II*\0\x08\0\0\0", 8);
    auto u16 = [&](uint32_t v) { t += char(v & 0xFF), t += char(v >> 8 & 0xFF); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    for (size_t n = 0; n < pages.size(); ++n) {
        const HandTiffPage& p = pages[n];
        const bool alpha = p.samples == 2 || p.samples == 4;
        const bool turned = p.orientation != 1;
        const uint16_t entries = uint16_t((alpha ? 11 : 10) + (turned ? 1 : 0));
        const uint32_t bits =
            uint32_t(t.size()) + 2 + entries * 12u + 4;  // the BitsPerSample array
        const uint32_t data = bits + 2u * p.samples;
        const uint32_t next = uint32_t(data + p.pixels.size());
        auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
            u16(tag), u16(type), u32(count);
            if (type == 3 && count == 1)
                u16(value), u16(0);
            else
                u32(value);
        };
        u16(entries);
        entry(256, 4, 1, p.width);
        entry(257, 4, 1, p.height);
        u16(258), u16(3), u32(p.samples);  // values of four bytes or less lie in the entry
        if (p.samples <= 2)
            u16(8), u16(p.samples == 2 ? 8 : 0);
        else
            u32(bits);
        entry(259, 3, 1, 1);
        entry(262, 3, 1, p.samples >= 3 ? 2 : 1);
        entry(273, 4, 1, data);
        if (turned) entry(274, 3, 1, p.orientation);
        entry(277, 3, 1, p.samples);
        entry(278, 4, 1, p.height);
        entry(279, 4, 1, uint32_t(p.pixels.size()));
        entry(284, 3, 1, 1);
        if (alpha) entry(338, 3, 1, 2);
        u32(n + 1 == pages.size() ? 0 : n + 2 == brokenAt ? next + (1u << 24) : next);
        for (int i = 0; i < p.samples; ++i) u16(8);
        t += p.pixels;
    }
    return t;
}

// Width and height of a JPEG file from its start-of-frame marker.
inline bool JpegSize(const std::string& path, int& w, int& h) {
    std::string d = Slurp(path);
    for (size_t i = 2; i + 9 < d.size();) {
        if (static_cast<unsigned char>(d[i]) != 0xFF) return false;
        unsigned char m = static_cast<unsigned char>(d[i + 1]);
        size_t len =
            (static_cast<unsigned char>(d[i + 2]) << 8) | static_cast<unsigned char>(d[i + 3]);
        if (m >= 0xC0 && m <= 0xC3) {
            h = (static_cast<unsigned char>(d[i + 5]) << 8) | static_cast<unsigned char>(d[i + 6]);
            w = (static_cast<unsigned char>(d[i + 7]) << 8) | static_cast<unsigned char>(d[i + 8]);
            return true;
        }
        i += 2 + len;
    }
    return false;
}

}  // namespace e2e
