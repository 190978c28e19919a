// The page count of a very long PDF against qpdf --show-npages, and the memory the text
// scanner takes over its text. Generates into a temporary folder: a PDF of a million pages
// in one /Kids array (about 106 MB), the same pages under nodes of 100 each, and a text of
// many small counted dictionaries, streams whose lengths are objects and objects that are
// one number.
// Each count runs in a child process of its own (this program, or qpdf), whose wall time
// and peak resident memory come from wait4.
//
//   bench_pdf_count [pages [text MiB]]     (defaults 1000000 and 64)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/pdfHelper.h"

extern char** environ;

namespace {

struct Measure {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

Measure RunChild(const std::vector<std::string>& argv, const std::string& outFile) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    Measure m;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    // posix_spawn shares this process's memory until the exec, so none of it is counted
    // as the child's.
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return m;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {}
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKiB = usage.ru_maxrss;
    m.status = status;
    return m;
}

std::string FirstLine(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// A page tree of the given pages: flat (the root's /Kids lists every page, as large exports
// write it) or of nodes holding fanOut pages each under the root.
void WriteLongPdf(const std::string& path, long pages, long fanOut) {
    std::ofstream out(path, std::ios::binary);
    std::vector<unsigned long> offsets;
    unsigned long at = 0;
    std::string chunk = "%PDF-1.4\n";
    auto object = [&](long n, const std::string& body) {
        offsets.push_back(at + chunk.size());
        chunk += std::to_string(n) + " 0 obj\n" + body + "\nendobj\n";
        if (chunk.size() > (1u << 20)) {
            out << chunk;
            at += chunk.size();
            chunk.clear();
        }
    };
    auto refs = [](long from, long to) {
        std::string kids;
        for (long k = from; k < to; ++k) kids += std::to_string(k) + " 0 R ";
        return kids;
    };
    const long nodes = fanOut ? (pages + fanOut - 1) / fanOut : 0, first = 3 + nodes;
    object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    object(2, "<< /Type /Pages /Kids [" + refs(fanOut ? 3 : first, fanOut ? first : first + pages) +
                  "] /Count " + std::to_string(pages) + " >>");
    for (long n = 0; n < nodes; ++n) {
        const long from = n * fanOut, to = std::min(pages, from + fanOut);
        object(3 + n, "<< /Type /Pages /Parent 2 0 R /Kids [" + refs(first + from, first + to) +
                          "] /Count " + std::to_string(to - from) + " >>");
    }
    for (long k = 0; k < pages; ++k)
        object(first + k, "<< /Type /Page /Parent " + std::to_string(fanOut ? 3 + k / fanOut : 2) +
                              " 0 R /MediaBox [0 0 612 792] >>");
    const unsigned long xref = at + chunk.size();
    chunk += "xref\n0 " + std::to_string(first + pages) + "\n0000000000 65535 f \n";
    char entry[32];
    for (unsigned long o : offsets) {
        std::snprintf(entry, sizeof entry, "%010lu 00000 n \n", o);
        chunk += entry;
        if (chunk.size() > (1u << 20)) {
            out << chunk;
            chunk.clear();
        }
    }
    chunk += "trailer\n<< /Size " + std::to_string(first + pages) + " /Root 1 0 R >>\nstartxref\n" +
             std::to_string(xref) + "\n%%EOF\n";
    out << chunk;
}

// Text without a usable cross-reference table, made of what the scanner has to look at:
// small dictionaries with a /Count (as outlines and page tree nodes have them), streams
// whose length is an object, and objects that are one number.
void WriteScannerText(const std::string& path, size_t bytes) {
    std::ofstream out(path, std::ios::binary);
    std::string chunk =
        "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
        "2 0 obj\n<< /Type /Pages /Kids [] /Count 7 >>\nendobj\n";
    size_t written = 0;
    long n = 10;
    while (written < bytes) {
        for (int k = 0; k < 1000; ++k, n += 2) {
            for (int d = 0; d < 20; ++d) chunk += "<</Count 1>>\n";
            chunk += std::to_string(n) + " 0 obj<</Length " + std::to_string(n + 1) +
                     " 0 R>>stream\n\nendstream endobj\n" + std::to_string(n + 1) +
                     " 0 obj 0 endobj\n";
        }
        out << chunk;
        written += chunk.size();
        chunk.clear();
    }
    out << "trailer\n<< /Root 1 0 R >>\n%%EOF\n";
}

// The child's side: the count of one file, or the scanner over text held in memory with
// the peak memory before and after it.
int Child(const std::string& mode, const std::string& file) {
    if (mode == "--count") {
        std::printf("%d\n", TPdfChopToSingles().CountPdfPages(file));
        return 0;
    }
    // Read at its size, so no growing string's spare room hides what the scan takes.
    std::string text(std::filesystem::file_size(file), '\0');
    std::ifstream(file, std::ios::binary).read(text.data(), std::streamsize(text.size()));
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const int pages = TPdfChopToSingles::CountPagesInText(text);
    getrusage(RUSAGE_SELF, &after);
    std::printf("%d %zu %ld\n", pages, text.size(), (after.ru_maxrss - before.ru_maxrss) * 1024);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]).rfind("--", 0) == 0) return Child(argv[1], argv[2]);
    const long pages = argc > 1 ? std::atol(argv[1]) : 1000000;
    const size_t textBytes = size_t(argc > 2 ? std::atol(argv[2]) : 64) << 20;
    char folderName[] = "/tmp/vx-bench-count-XXXXXX";
    if (!mkdtemp(folderName)) return 1;
    const std::string folder = std::string(folderName) + "/";
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();

    const std::string pdf = folder + "long.pdf";
    bool right = true;
    for (const long fanOut : {0L, 100L}) {
        WriteLongPdf(pdf, pages, fanOut);
        std::printf("%ld pages, %.1f MB, %s\n", pages,
                    double(std::filesystem::file_size(pdf)) / 1e6,
                    fanOut ? "100 pages to a node" : "one flat /Kids array");
        const Measure ours = RunChild({self, "--count", pdf}, folder + "ours.txt");
        const std::string ourCount = FirstLine(folder + "ours.txt");
        const Measure qpdf = RunChild({"qpdf", "--show-npages", pdf}, folder + "qpdf.txt");
        const std::string qpdfCount = FirstLine(folder + "qpdf.txt");
        std::printf("  %-22s %8s %10s %10s\n", "", "pages", "seconds", "peak MiB");
        std::printf("  %-22s %8s %10.2f %10.1f\n", "CountPdfPages", ourCount.c_str(), ours.seconds,
                    double(ours.peakKiB) / 1024);
        std::printf("  %-22s %8s %10.2f %10.1f\n", "qpdf --show-npages", qpdfCount.c_str(),
                    qpdf.seconds, double(qpdf.peakKiB) / 1024);
        if (qpdf.seconds > 0 && qpdf.peakKiB > 0)
            std::printf("  ratio                  %8s %10.2f %10.2f   (target: at most 1.5)\n", "",
                        ours.seconds / qpdf.seconds, double(ours.peakKiB) / double(qpdf.peakKiB));
        right = right && ourCount == std::to_string(pages) && qpdfCount == ourCount;
        std::filesystem::remove(pdf);
    }

    const std::string text = folder + "text.pdf";
    WriteScannerText(text, textBytes);
    RunChild({self, "--scan", text}, folder + "scan.txt");
    int scanned = 0;
    size_t bytes = 0;
    long extra = 0;
    if (std::sscanf(FirstLine(folder + "scan.txt").c_str(), "%d %zu %ld", &scanned, &bytes,
                    &extra) == 3)
        std::printf(
            "text scanner: %d pages, %.1f MiB of text, %.1f MiB peak extra memory "
            "(%.2f x the text)\n",
            scanned, double(bytes) / (1 << 20), double(extra) / (1 << 20),
            double(extra) / double(bytes));
    std::filesystem::remove_all(folder);
    right = right && scanned == 7;
    if (!right) std::printf("a count is wrong\n");
    return right ? 0 : 1;
}
