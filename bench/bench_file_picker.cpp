// The file picker filling itself from a folder of 5,000 files (PDFs, PostScript and files of
// unknown kind): the search, the shell's names and icons, and the owner-drawn list's items.
// The aim is well under a second per fill. Also the search alone, for comparison.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "controls/extended/xcFileCtrl.h"
#include "platform/vcl/forms.h"

namespace {

const std::string& Folder() {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/vx bench picker XXXXXX";
        std::string d = mkdtemp(tmpl);
        const char* kinds[] = {".pdf", ".ps", ".zzqq", ".doc", ".tif"};
        for (int i = 0; i < 5000; ++i)
            std::ofstream(d + "/file " + std::to_string(i) + kinds[i % 5]) << "x";
        return d;
    }();
    return dir;
}

struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        std::filesystem::remove_all(Folder(), ec);
    }
};

void BM_FileListFill(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* files = new TXcFileListBox(&form);
    files->SetParent(&form);
    files->SetBounds(0, 0, 380, 280);
    files->SetFileType(FileTypeBit(ftReadOnly) | FileTypeBit(ftNormal));
    files->SetForceFileExtensions(true);
    form.Show();
    files->SetDirectory(Folder());
    for (auto _ : state) {
        files->Update();
        benchmark::DoNotOptimize(files->Items()->Count());
    }
    state.counters["files"] = files->Items()->Count();
}
BENCHMARK(BM_FileListFill)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SearchOnly(benchmark::State& state) {
    TXcSearchFiles search;
    search.SetOptions({soAllowDuplicates, soSearchFiles, soStripDirs});
    search.DirOption = doExcludeSubDirs;
    search.RootDirectory = Folder() + "/";
    for (auto _ : state) {
        search.Search();
        benchmark::DoNotOptimize(search.Files.Count());
    }
}
BENCHMARK(BM_SearchOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    Cleanup cleanup;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
