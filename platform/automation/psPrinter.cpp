#include "platform/automation/psPrinter.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/automation/officeSession.h"
#include "platform/automation/psGlyphNames.h"
#include "platform/rtl/fileOps.h"
#include "platform/rtl/gsArgs.h"
#include "platform/rtl/noProgressLimit.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"
#include "platform/win/printers.h"
#include "platform/win/process.h"

namespace office {

namespace {

// Ghostscript reads "%" in an output name as a page number; a literal one is doubled.
// Whether Ghostscript reads the name back exactly: UTF-8, without a pipe.
bool GsCanName(const std::string& s) {
    if (s.find('|') != std::string::npos || s.find("%pipe") != std::string::npos) return false;
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    return IsUtf8(s);
}

std::string outName(const std::string& path) {
    std::string r;
    for (char c : path) {
        r += c;
        if (c == '%') r += '%';
    }
    return r;
}

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// The name of the file the job being printed goes to, for the messages of its passes.
std::string g_printFileName;

// Less room than a print job's temporary files take is left in the temporary folder.
bool TempFolderNearlyFull() {
    const char* t = std::getenv("TMPDIR");
    struct statvfs fs {};
    return ::statvfs(t && *t ? t : "/tmp", &fs) == 0 &&
           uint64_t(fs.f_bavail) * fs.f_frsize < (uint64_t(1) << 20);
}

void runGs(std::vector<std::string> args) {
    std::string gs = SearchProgram("gs");
    if (gs.empty()) throw EOleError("打印机驱动程序找不到 Ghostscript (gs)");
    // Not quiet: the "Page N" lines it writes as it goes are how its progress shows.
    std::vector<std::string> head = {gs};
    for (std::string& sw : GsPrefix().Vector()) head.push_back(std::move(sw));
    args.insert(args.begin(), head.begin(), head.end());
    ChildResult r = RunProgram(args, NoProgressLimit());
    if (r.timedOut)
        throw EOleError("打印作业" +
                        (g_printFileName.empty() ? "" : " \"" + g_printFileName + "\"") +
                        " 处理时间过长: 在 " + std::to_string(NoProgressLimitSeconds()) +
                        " 秒内没有任何进展, 已被终止。");
    // Ghostscript that could not write states an ioerror, at times while it ends with 0
    // (closing ps2write's output): the print file is incomplete then. Its temporary files
    // go to the temporary folder; a full one there is the cause.
    const bool writeFailed = r.errorText.find("ioerror") != std::string::npos;
    if ((writeFailed || r.exitCode != 0) && TempFolderNearlyFull())
        throw TempFolderFailure(ENOSPC, "打印作业无法完成");
    if (r.exitCode != 0 || writeFailed)
        throw EOleError("打印作业失败 (gs " + std::to_string(r.exitCode) + ")" +
                        (r.errorText.empty() ? "" : ": " + r.errorText));
}

// A file of the print job rewritten in place by change.
void rewriteFile(const std::string& path, std::string (*change)(const std::string&)) {
    std::string before;
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        if (!in) throw EOleError("无法读取打印文件: " + path);
        before = ss.str();
    }
    const std::string after = change(before);
    if (after == before) return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(after.data(), std::streamsize(after.size()));
    out.close();
    if (!out) throw EOleError("无法写入打印文件: " + path);
}

// A Ghostscript pass writing a PDF of the job. Its character maps are written unpacked
// and spelled out, so that the next pass reads them right (see SpellOutOneCodeRanges).
void writePdf(std::vector<std::string> args, const std::string& out) {
    args.insert(args.begin(), {"-sDEVICE=pdfwrite", "-dCompressFonts=false",
                               "-dCompressStreams=false", "-sOutputFile=" + outName(out)});
    runGs(args);
    rewriteFile(out, SpellOutOneCodeRanges);
}

// Pages per sheet on a landscape sheet (sheetW > sheetH), laid out on the upright sheet
// that a quarter turn clockwise makes the landscape one: each page turned counter-clockwise, and
// the cells of the landscape sheet, read row by row, found on the upright sheet column by column
// from the bottom (landscape column c of row r is upright row columns-1-c, column r). Ghostscript
// fills cells in reading order only, so the pages go to it in that order, a blank page in
// each cell past the last page.
void NupOnTurnedSheet(const std::string& pdf, double pageW, double pageH, int columns, int rows,
                      double sheetW, double sheetH, const std::string& out) {
    const std::string turned = pdf + ".turned.pdf", upright = pdf + ".upright.pdf";
    // Both intermediate files go whatever happens, the first one also when it cannot be read.
    ScopeExit removeIntermediates([&] {
        std::error_code ec;
        std::filesystem::remove(turned, ec);
        std::filesystem::remove(upright, ec);
    });
    // Fitted onto a medium of the page's size turned, Ghostscript turns each page
    // counter-clockwise.
    writePdf({"-dAutoRotatePages=/None", "-dDEVICEWIDTHPOINTS=" + num(pageH),
              "-dDEVICEHEIGHTPOINTS=" + num(pageW), "-dFIXEDMEDIA", "-dPDFFitPage", "-f", pdf, "-c",
              "showpage"},
             turned);  // and a blank page for the empty cells
    // One box per page in Ghostscript's output; the last page is the blank one.
    const size_t pages = PdfPageSizes(turned).size() - 1;
    const std::string blank = std::to_string(pages + 1);
    std::vector<std::string> args{
        "-dAutoRotatePages=/None", "-dDEVICEWIDTHPOINTS=" + num(sheetH),
        "-dDEVICEHEIGHTPOINTS=" + num(sheetW), "-dFIXEDMEDIA",
        "-sNupControl=" + std::to_string(rows) + "x" + std::to_string(columns)};
    const size_t perSheet = size_t(columns) * size_t(rows);
    for (size_t first = 0; first < pages; first += perSheet)
        for (int uprightRow = 0; uprightRow < columns; ++uprightRow)
            for (int uprightColumn = 0; uprightColumn < rows; ++uprightColumn) {
                const size_t page = first + size_t(uprightColumn) * size_t(columns) +
                                    size_t(columns - 1 - uprightRow);
                const std::string n = page < pages ? std::to_string(page + 1) : blank;
                args.insert(args.end(), {"-dFirstPage=" + n, "-dLastPage=" + n, "-f", turned});
            }
    writePdf(args, upright);
    // The upright sheet turned clockwise onto the landscape sheet.
    writePdf({"-dAutoRotatePages=/None", "-dDEVICEWIDTHPOINTS=" + num(sheetW),
              "-dDEVICEHEIGHTPOINTS=" + num(sheetH), "-dFIXEDMEDIA", "-c",
              "<< /BeginPage { pop 0 " + num(sheetH) + " translate -90 rotate } >> setpagedevice",
              "-f", upright},
             out);
}

}  // namespace

bool IsPostScriptPrinter(const std::string& name) {
    std::string base = kPostScriptPrinter;
    if (name != base && name.rfind(base + " on ", 0) != 0) return false;
    for (const auto& p : InstalledPrinters())
        if (p.name == base) return true;
    return false;
}

std::string PrinterDisplayName() {
    for (const auto& p : InstalledPrinters())
        if (p.name == kPostScriptPrinter) return p.name + " on " + p.port;
    return std::string(kPostScriptPrinter) + " on " + kFilePort;
}

std::vector<std::pair<double, double>> PdfPageSizes(const std::string& pdf) {
    // Read a piece at a time: a job of large pictures is larger than the memory.
    std::ifstream in(pdf, std::ios::binary);
    std::vector<std::pair<double, double>> sizes;
    const std::string key = "/MediaBox";
    constexpr size_t kReach = 256;  // a key and its box lie within this many bytes
    std::vector<char> piece(size_t(1) << 20);
    std::string s;
    for (bool last = false; !last;) {
        in.read(piece.data(), std::streamsize(piece.size()));
        last = in.gcount() < std::streamsize(piece.size());
        s.append(piece.data(), size_t(in.gcount()));
        size_t from = 0;
        for (size_t p = s.find(key); p != std::string::npos; p = s.find(key, from)) {
            if (!last && s.size() - p < kReach) break;  // looked at with the next piece
            from = p + key.size();
            size_t b = s.find('[', p);
            size_t e = s.find(']', p);
            if (b == std::string::npos || e == std::string::npos || b > p + key.size() + 4 || e < b)
                continue;
            std::istringstream box(s.substr(b + 1, e - b - 1));
            double x0, y0, x1, y1;
            if (box >> x0 >> y0 >> x1 >> y1)
                sizes.emplace_back(std::fabs(x1 - x0), std::fabs(y1 - y0));
        }
        s.erase(0, std::max(from, s.size() > kReach ? s.size() - kReach : 0));
    }
    return sizes;
}

void PrintToFile(const PrintJob& job) {
    namespace fs = std::filesystem;
    if (job.file.empty()) throw EOleError("打印到文件需要文件名");
    g_printFileName = FileNameShown(job.file);
    ScopeExit forgetName([] { g_printFileName.clear(); });
    auto sizes = PdfPageSizes(job.pdf);
    if (sizes.empty()) throw EOleError("没有要打印的页面");
    std::string source = job.pdf;
    double width = sizes[0].first, height = sizes[0].second;
    bool uniform = true;
    for (auto& s : sizes)
        uniform = uniform && std::fabs(s.first - width) < 1 && std::fabs(s.second - height) < 1;

    // Pages per sheet: the sheet is turned when the pages fit it better that way.
    if (job.columns * job.rows > 1) {
        double sw = job.sheetWidth > 0 ? job.sheetWidth : width;
        double sh = job.sheetHeight > 0 ? job.sheetHeight : height;
        double upright = std::min(sw / job.columns / width, sh / job.rows / height);
        double turned = std::min(sh / job.columns / width, sw / job.rows / height);
        if (turned > upright) std::swap(sw, sh);
        std::string nup = job.pdf + ".nup.pdf";
        if (sw > sh) {
            // Ghostscript nests pages onto a landscape sheet of fixed size as blank cells, so
            // the sheet is laid out upright, with everything on it turned, and turned back.
            NupOnTurnedSheet(source, width, height, job.columns, job.rows, sw, sh, nup);
        } else {
            writePdf(
                {"-dDEVICEWIDTHPOINTS=" + num(sw), "-dDEVICEHEIGHTPOINTS=" + num(sh),
                 "-dFIXEDMEDIA",
                 "-sNupControl=" + std::to_string(job.columns) + "x" + std::to_string(job.rows),
                 "-f", source},
                nup);
        }
        source = nup;
        width = sw;
        height = sh;
        uniform = true;
    }

    const fs::path target(job.file);
    std::string part =
        (target.parent_path() / (".~" + target.filename().string() + ".part")).string();
    // Ghostscript cannot write a name that is not UTF-8 (or holds a pipe): the job is then
    // written in a folder of its own in the temporary folder and moved into place.
    std::string partFolder;
    if (!GsCanName(job.file)) {
        const char* t = std::getenv("TMPDIR");
        const std::string root = t && *t && GsCanName(t) ? t : "/tmp";
        std::string tmpl = root + "/vexomat-print-XXXXXX";
        if (!mkdtemp(tmpl.data())) {
            const int err = errno;
            throw EOleError("无法写入打印文件: " + job.file + "\n" + TempFolderProblem(root, err));
        }
        partFolder = tmpl;
        part = partFolder + "/print.part";
    }
    ScopeExit removePartFolder([&] {
        std::error_code ec;
        if (!partFolder.empty()) fs::remove_all(partFolder, ec);
    });
    // The fonts' character maps are written unpacked, so that their glyphs can be named
    // after the characters they show (see psGlyphNames.h).
    std::vector<std::string> args{"-sDEVICE=ps2write", "-dCompressFonts=false",
                                  "-dCompressStreams=false", "-sOutputFile=" + outName(part)};
    if (job.landscapeJob && uniform && width > height) {
        // A portrait sheet; the page goes on it turned counter-clockwise.
        args.insert(args.end(), {"-dDEVICEWIDTHPOINTS=" + num(height),
                                 "-dDEVICEHEIGHTPOINTS=" + num(width), "-dFIXEDMEDIA", "-c",
                                 "<< /BeginPage { pop " + num(height) +
                                     " 0 translate 90 rotate } >> setpagedevice"});
    }
    args.insert(args.end(), {"-f", source});
    // The part file goes unless it is moved into place.
    ScopeExit removePart([&] {
        std::error_code ec;
        fs::remove(part, ec);
    });
    runGs(args);
    // A job of pictures alone can be larger than the memory; it has no glyph to name.
    if (!job.textless) rewriteFile(part, NameGlyphsByCharacters);
    std::error_code ec;
    if (partFolder.empty())
        fs::rename(part, job.file, ec);
    else if (!MoveEntryReplacing(part, job.file))
        ec = std::error_code(errno, std::generic_category());
    if (ec) throw EOleError("无法写入打印文件: " + job.file);
    removePart.Release();
}

}  // namespace office
