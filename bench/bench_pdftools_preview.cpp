// The HTML preview of a 100-page PDF, as a whole unattended run of the built program,
// against the sum of the bare Ghostscript runs it needs (the same switches, read back from
// the run's log, given straight to gs with output files of their own), measured side by
// side in each iteration. Counters: program_s, bare_gs_s, ratio (program / bare), gs_runs.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int Run(const std::vector<std::string>& argv, const std::string& out, const std::string& err) {
    const pid_t pid = fork();
    if (pid == 0) {
        FILE* o = std::fopen(out.c_str(), "w");
        FILE* e = std::fopen(err.c_str(), "w");
        if (o) dup2(fileno(o), 1);
        if (e) dup2(fileno(e), 2);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Splits a parameter line as the console program does: blanks separate, double quotes
// group, and inside quotes \" and \\ stand for " and \.
std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    bool in = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\'))
                cur += line[++i];
            else if (c == '"')
                quoted = false;
            else
                cur += c;
        } else if (c == ' ') {
            if (in) out.push_back(cur), cur.clear(), in = false;
        } else if (c == '"') {
            quoted = in = true;
        } else {
            cur += c, in = true;
        }
    }
    if (in) out.push_back(cur);
    return out;
}

struct Setup {
    std::string dir, prog, pdf;
    Setup() {
        char tmpl[] = "/tmp/vx-bench-preview-XXXXXX";
        dir = std::string(mkdtemp(tmpl)) + "/";
        prog = dir + "prog/";
        fs::create_directories(prog);
        for (const char* n : {"vexomat", "gs", "additional"})
            fs::create_symlink(std::string(VEXOMAT_BIN_DIR) + "/" + n, prog + n);
        std::string ps = "%!PS\n/Helvetica findfont 24 scalefont setfont\n";
        for (int i = 1; i <= 100; ++i)
            ps += std::string(i % 5 ? "<< /PageSize [595 842] >>" : "<< /PageSize [842 595] >>") +
                  " setpagedevice 0.2 0.3 0.8 setrgbcolor 100 100 300 400 rectfill 0 setgray 72 60 "
                  "moveto (Page " +
                  std::to_string(i) + ") show showpage\n";
        std::ofstream(dir + "doc.ps") << ps;
        pdf = dir + "doc.pdf";
        Run({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-sOutputFile=" + pdf,
             dir + "doc.ps"},
            dir + "o.txt", dir + "e.txt");
    }
    ~Setup() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void BM_HtmlPreview100Pages(benchmark::State& state) {
    static Setup s;
    double programTotal = 0, bareTotal = 0;
    size_t runs = 0;
    for (auto _ : state) {
        std::error_code ec;
        fs::remove_all(s.prog + "logs", ec);
        fs::remove_all(s.dir + "out", ec);
        fs::create_directories(s.dir + "out");
        const auto t0 = Clock::now();
        const int rc =
            Run({s.prog + "vexomat", "-c", "pdf2htmlPreview", "-s", s.pdf, "-d", s.dir + "out/"},
                s.dir + "prog.txt", s.dir + "prog-err.txt");
        const double program = std::chrono::duration<double>(Clock::now() - t0).count();
        if (rc != 0) {
            state.SkipWithError("the preview run failed");
            break;
        }

        // The same Ghostscript runs, bare: switches from the log's "Parameter" lines, with
        // the two that today's Ghostscript no longer knows left out (as the console program
        // does) and every output put into a scratch folder.
        std::vector<std::vector<std::string>> jobs;
        for (auto& day : fs::directory_iterator(s.prog + "logs")) {
            std::ifstream log(day.path() / "info.log");
            std::string line;
            while (std::getline(log, line)) {
                const size_t p = line.find("| Parameter    | ");
                if (p == std::string::npos) continue;
                std::vector<std::string> argv{"gs"};
                const auto tokens = Tokens(line.substr(p + 17));
                for (size_t i = 0; i < tokens.size(); ++i) {
                    const std::string& t = tokens[i];
                    if (t == "-dUseCIEColor") continue;
                    if (t == "-c" && i + 1 < tokens.size() && tokens[i + 1] == ".setpdfwrite") {
                        ++i;
                        continue;
                    }
                    if (t.rfind("-sOutputFile=", 0) == 0) {
                        argv.push_back("-sOutputFile=" + s.dir + "bare-" +
                                       fs::path(t.substr(13)).filename().string());
                        continue;
                    }
                    argv.push_back(t);
                }
                jobs.push_back(argv);
            }
        }
        const auto t1 = Clock::now();
        for (const auto& argv : jobs) Run(argv, s.dir + "bare-out.log", s.dir + "bare-error.log");
        const double bare = std::chrono::duration<double>(Clock::now() - t1).count();
        for (auto& e : fs::directory_iterator(s.dir))
            if (e.path().filename().string().rfind("bare-", 0) == 0) fs::remove(e.path(), ec);

        state.SetIterationTime(program);
        programTotal += program;
        bareTotal += bare;
        runs = jobs.size();
    }
    const double n = double(state.iterations());
    state.counters["program_s"] = programTotal / n;
    state.counters["bare_gs_s"] = bareTotal / n;
    state.counters["ratio"] = bareTotal > 0 ? programTotal / bareTotal : 0;
    state.counters["gs_runs"] = double(runs);
}
BENCHMARK(BM_HtmlPreview100Pages)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
