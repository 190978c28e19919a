// The one place that knows how the installed Ghostscript (10.x) differs from 8.51 for
// the switches the converters write. Every entry says why it exists.
//
// Switches checked against Ghostscript 10 and passed on unchanged, because they are
// accepted silently with the same effect: -dNOPAUSE -dBATCH; -dSAFER (files named on the
// command line, as input after -f, as a PostScript prologue before the PDF, or as
// -sOutputFile with or without %04d, stay readable and writable, also with blanks, "$",
// "'" and non-ASCII characters in their paths, so no --permit-file-* is needed);
// -dPDFSETTINGS=/default|/screen|/printer|/prepress; every image downsampling switch
// including -dMonoImageDownsampleType=/Bicubic; -dColorConversionStrategy=/sRGB (still
// converts to RGB); -sPAPERSIZE= with every paper name the converters use (11x17,
// ledger, legal, letter, archA-archE, a0-a10, isob0-isob6, c0-c6); -dDEVICEWIDTHPOINTS,
// -dDEVICEHEIGHTPOINTS, -dFIXEDMEDIA, -dPDFFitPage; -dFirstPage/-dLastPage on PDF input;
// -dAutoRotatePages=/None; -dCompressPages; -dDOINTERPOLATE; -dJPEGQ; -r; the devices
// pdfwrite, jpeg, bmp16m, bmp256, bmp16, bmpmono, bmpgray, tiff24nc; "<</Orientation n>>
// setpagedevice" after -c; the encryption switches -sOwnerPassword, -sUserPassword,
// -dCompatibilityLevel=1.2|1.4, -dEncryptionR=2|3 (also when given twice),
// -dKeyLength=40|128 and negative -dPermissions values (-4 ... -64).
#include "tools/gswin32c/adapt.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <random>

#include "platform/rtl/hex.h"
#include "platform/rtl/utf8.h"

namespace gsw {

namespace {

std::vector<std::string> AdaptSwitches(const std::vector<std::string>& args);

// Whole-argument replacements. An empty replacement drops the argument.
struct SwitchRule {
    std::string_view from;
    std::string_view to;
};

constexpr SwitchRule kSwitchRules[] = {
    // The level-1 PostScript writer was removed in Ghostscript 9.x ("Unknown device:
    // pswrite", exit code 1, and nothing on the error output). ps2write writes the same
    // document as PostScript level 2, which every consumer of the result reads.
    {"-sDEVICE=pswrite", "-sDEVICE=ps2write"},
    // Same for the EPS writer: epswrite is gone, eps2write writes one EPS per page with
    // its bounding box, numbered through %04d in the output name as before.
    {"-sDEVICE=epswrite", "-sDEVICE=eps2write"},
    // With 10.x colour is managed through ICC profiles, which already gives device-
    // independent colour; UseCIEColor is a leftover of the old CIE-based path that the
    // PDF interpreter no longer uses and that is documented as giving poorer colour
    // where it still applies. Dropping it keeps the rendering of 8.51's switch.
    {"-dUseCIEColor", ""},
    {"-dUseCIEColor=true", ""},
};

// Words removed from PostScript code given after -c.
constexpr std::string_view kRemovedOperators[] = {
    // .setpdfwrite only raised the VM threshold for the PDF writer (a speed hint with no
    // effect on the output) and was removed in 9.x: with it the job ends at once with
    // "/undefined in .setpdfwrite". Dropping it keeps the output.
    ".setpdfwrite",
};

// Lines of the error output by which Ghostscript says that it repaired a damaged file or
// ignored errors in it and went on. 10.x prints its summary on the error output after
// the file, e.g.
//   The following errors were encountered at least once while processing this file:
//   	startxref offset invalid
//   	PDF file was repaired
//      **** This file had errors that were repaired or ignored.
//      **** The file was produced by: ...
// ("warnings" instead of "errors" for a content stream with a stray operator). The older
// interpreter wrote "**** The file has been damaged." and "Output may be incorrect.".
constexpr std::string_view kRepairMarks[] = {
    "This file had errors that were repaired or ignored",
    "were encountered at least once while processing this file",
    "PDF file was repaired",
    "The file has been damaged",
    "Output may be incorrect",
};

// Lines by which 10.x says that it could not read a file at all. It still ends with exit
// code 0 after such a file (and pdfwrite leaves an output without pages), so a repair
// summary printed for the same file must not be taken for a completed job.
constexpr std::string_view kFatalMarks[] = {
    "Couldn't initialise file",
    "Unrecoverable error",
};

// Remarks that 10.x writes to the error output on a job that completed correctly.
constexpr std::string_view kHarmlessRemarks[] = {
    // pdfwrite reserves a page object when a BeginPage procedure (the watermark stamp)
    // draws while setpagedevice installs it, before the first real page; the reserved
    // object is never used and the document is complete. 8.51 said nothing here, and the
    // caller would count the remark as a failed job.
    "Page object was reserved for an Annotation destination, but no such page was drawn",
};

// Lines of the standard output that name why a job failed. 10.x writes most errors
// there, some ("Unknown device") with nothing at all on the error output.
constexpr std::string_view kFailureMarks[] = {
    "Error: ",
    "Unknown device",
    "**** Error",
    "Couldn't initialise file",
    "Could not open the file",
    "Unrecoverable error",
    // The system's reason after a file Ghostscript could not open ("Permission denied").
    "Last OS error:",
    // What the error was about ("[/PageSize [0 0]]": a page no device can take).
    "Additional information:",
    // An argument longer than Ghostscript takes (a name in a deep folder).
    "Command too long",
};

// Of those, the lines that 10.x prints on the standard output of a job that it ends with
// exit code 0 although its result is incomplete: a page that could not be drawn (out of
// memory at a huge resolution, or a damaged content stream) is left out or cut short, an
// input or its page list could not be read, an output file could not be written (a full
// disk). Such a job has failed. Every other "**** Error:" of the PDF interpreter says what
// it did instead ("Page has no /MediaBox attribute. Using the current page size.") and
// the job goes on: a warning.
constexpr std::string_view kSilentFailureMarks[] = {
    "Page drawing error",
    "The page may be incomplete",
    "Could not open the file",
    "Unrecoverable error",
    "Couldn't initialise file",
    "Failed to initialise PDF interpreter",
    "Couldn't get page info",
    "PDF interpreter encountered an error processing the file",
    "Error: page not found",
    // On the error output, when the output could not be written out at the end (a full
    // disk): "ERROR: ioerror (-12) on closing ps2write device.", and still exit code 0.
    "on closing",
};

bool Contains(std::string_view line, std::string_view mark) {
    return line.find(mark) != std::string_view::npos;
}

template <std::size_t N>
bool ContainsAny(std::string_view line, const std::string_view (&marks)[N]) {
    for (std::string_view m : marks)
        if (Contains(line, m)) return true;
    return false;
}

// Ghostscript reads arguments after -c as PostScript code up to the next one that starts
// with "@", or with "-" followed by something other than a digit (a negative number is
// still code).
bool EndsCode(const std::string& arg) {
    if (arg.empty()) return false;
    if (arg[0] == '@') return true;
    return arg[0] == '-' && !(arg.size() > 1 && std::isdigit(static_cast<unsigned char>(arg[1])));
}

bool IsRemovedOperator(std::string_view word) {
    for (std::string_view op : kRemovedOperators)
        if (word == op) return true;
    return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Removes the removed operators from one argument of code. The argument is returned
// untouched when it holds none of them, so quoted code keeps its exact spacing.
std::string StripOperators(const std::string& code) {
    std::vector<std::string_view> words;
    bool changed = false;
    std::string_view rest(code);
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsBlank(rest[i])) ++i;
        std::size_t j = i;
        while (j < rest.size() && !IsBlank(rest[j])) ++j;
        if (j > i) {
            std::string_view w = rest.substr(i, j - i);
            if (IsRemovedOperator(w))
                changed = true;
            else
                words.push_back(w);
        }
        i = j;
    }
    if (!changed) return code;
    std::string out;
    for (std::string_view w : words) {
        if (!out.empty()) out += ' ';
        out += w;
    }
    return out;
}

bool StartsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Whether the file starts like a PDF within its first kilobyte (where readers look).
bool IsPdfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[1024] = {};
    in.read(head, sizeof head);
    return std::string_view(head, static_cast<std::size_t>(in.gcount())).find("%PDF-") !=
           std::string_view::npos;
}

// The input files of a job: arguments that are no switch and no PostScript code.
std::vector<std::string> InputFiles(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-c") {
            while (i + 1 < args.size() && !EndsCode(args[i + 1])) ++i;
        } else if (args[i] == "-f") {
            if (i + 1 < args.size()) files.push_back(args[++i]);
        } else if (!args[i].empty() && args[i][0] != '-' && args[i][0] != '@') {
            files.push_back(args[i]);
        }
    }
    return files;
}

// A PDF written from PDF pages keeps each page's orientation. pdfwrite turns a page whose
// text runs mostly one way (a diagonal watermark, a turned table) to make that text
// upright, which 8.51 did far less eagerly; nothing of the program wants a page turned
// when it rewrites a PDF, so PDF input gets "/None" unless the job says otherwise.
// (PostScript input keeps the automatic rotation: the office printer sets landscape pages
// turned on portrait sheets and relies on it to make them landscape pages again.)
bool WantsOrientationKept(const std::vector<std::string>& args) {
    bool pdfwrite = false;
    for (const std::string& a : args) {
        if (a == "-sDEVICE=pdfwrite") pdfwrite = true;
        if (StartsWith(a, "-dAutoRotatePages")) return false;
    }
    if (!pdfwrite) return false;
    for (const std::string& f : InputFiles(args))
        if (IsPdfFile(f)) return true;
    return false;
}

// A password nobody is told: 32 hexadecimal digits from the system's random source.
std::string RandomPassword() {
    std::random_device source;
    std::string pw;
    for (int i = 0; i < 4; ++i) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(source()));
        pw += part;
    }
    return pw;
}

// The converters give one password as owner and user password. Whoever opens such a
// file with it holds the owner's rights, so readers that honour the permissions lift
// every restriction. The owner password becomes one of its own, new for every run and
// written nowhere, so the chosen permissions hold for the readers of the file.
void SeparateOwnerPassword(std::vector<std::string>& args) {
    constexpr std::string_view owner = "-sOwnerPassword=", user = "-sUserPassword=";
    std::string* ownerArg = nullptr;
    const std::string* userArg = nullptr;
    for (std::string& a : args) {
        if (StartsWith(a, owner)) ownerArg = &a;
        if (StartsWith(a, user)) userArg = &a;
    }
    if (ownerArg && userArg && ownerArg->substr(owner.size()) == userArg->substr(user.size()))
        *ownerArg = std::string(owner) + RandomPassword();
}

// Ghostscript reads a string switch as UTF-8 and takes one that is not as an empty
// password, which would leave the file open to anyone. A password of other bytes (typed
// in GBK, say) goes as a PostScript hexadecimal string, which Ghostscript keeps byte for
// byte.
void PasswordsAsTyped(std::vector<std::string>& args) {
    for (std::string& a : args) {
        for (std::string_view key : {"OwnerPassword=", "UserPassword="}) {
            if (a.size() < 2 + key.size() || a.compare(0, 2, "-s") != 0 ||
                a.compare(2, key.size(), key) != 0)
                continue;
            const std::string value = a.substr(2 + key.size());
            if (IsUtf8(value)) continue;
            a = "-d" + std::string(key) + "<" + HexBytes(value) + ">";
        }
    }
}

}  // namespace

std::vector<std::string> AdaptArguments(const std::vector<std::string>& args) {
    std::vector<std::string> out = AdaptSwitches(args);
    if (WantsOrientationKept(out)) out.insert(out.begin(), "-dAutoRotatePages=/None");
    SeparateOwnerPassword(out);
    PasswordsAsTyped(out);
    return out;
}

namespace {

std::vector<std::string> AdaptSwitches(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    out.reserve(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-c") {
            std::vector<std::string> code;
            std::size_t j = i + 1;
            for (; j < args.size() && !EndsCode(args[j]); ++j) {
                std::string c = StripOperators(args[j]);
                if (!c.empty()) code.push_back(std::move(c));
            }
            // "-c" with all of its code removed is dropped as well.
            if (!code.empty()) {
                out.push_back(arg);
                for (std::string& c : code) out.push_back(std::move(c));
            }
            i = j - 1;
            continue;
        }
        bool matched = false;
        for (const SwitchRule& r : kSwitchRules) {
            if (arg == r.from) {
                if (!r.to.empty()) out.emplace_back(r.to);
                matched = true;
                break;
            }
        }
        if (!matched) out.push_back(arg);
    }
    return out;
}

}  // namespace

bool PageCountAsked(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (StartsWith(a, "-dFirstPage=") || StartsWith(a, "-dLastPage=")) return false;
    return true;
}

std::vector<std::string> WithPageReports(const std::vector<std::string>& args) {
    const bool pagesAsked = !PageCountAsked(args);
    // With several inputs each is announced before it runs, so an error can be placed; a
    // PostScript program too, so what Ghostscript says after it (closing the output) is
    // told from what the program printed.
    const bool announce = InputFiles(args).size() > 1 || !ProgramInputs(args).empty();
    std::vector<std::string> out;
    bool hooked = false;
    const std::string count = "(" + std::string(kPagesShownPrefix) +
                              ") print currentpagedevice /PageCount get =only "
                              "(]%%\\n) print flush";
    const auto hook = [&] {
        if (hooked) return;
        hooked = true;
        // The page device keeps the procedure through the document's own setpagedevice
        // calls; it does what the default one does (a page is shown unless the device is
        // going away) and reports a page shown.
        std::string code = "<< /EndPage { dup 2 ne { (" + std::string(kPageDoneLine) +
                           "\\n) print flush } if exch pop 2 ne } bind >> setpagedevice";
        // A document that ends the interpreter with quit ends the job before the count
        // after the last input: its own quit tells the count first.
        if (!pagesAsked) code += " userdict /quit { " + count + " //quit } bind put";
        out.insert(out.end(), {"-c", code, "-f"});
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-c") {
            hook();
            out.push_back(a);
            while (i + 1 < args.size() && !EndsCode(args[i + 1])) out.push_back(args[++i]);
            continue;
        }
        if (a == "-f") hook();
        if (!a.empty() && a[0] != '-' && a[0] != '@') {
            hook();
            if (announce)
                out.insert(out.end(), {"-c",
                                       "(" + std::string(kInputPrefix) + ") print <" + HexBytes(a) +
                                           "> print (]%%\\n) print flush",
                                       "-f"});
        }
        out.push_back(a);
        if (announce && !a.empty() && a[0] != '-' && a[0] != '@')
            out.insert(out.end(),
                       {"-c", "(" + std::string(kInputDoneLine) + "\\n) print flush", "-f"});
    }
    hook();
    if (!pagesAsked) out.insert(out.end(), {"-c", count, "-f"});
    return out;
}

std::string InputNamedIn(std::string_view line) {
    const std::size_t at = line.find(kInputPrefix);
    if (at == std::string_view::npos) return "";
    const std::size_t start = at + kInputPrefix.size();
    const std::size_t end = line.rfind("]%%");
    return end == std::string_view::npos || end < start
               ? std::string()
               : std::string(line.substr(start, end - start));
}

int PagesShownIn(std::string_view line) {
    const std::size_t at = line.find(kPagesShownPrefix);
    if (at == std::string_view::npos) return -1;
    int n = 0;
    bool digits = false;
    for (std::size_t i = at + kPagesShownPrefix.size();
         i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
        n = n * 10 + (line[i] - '0');
        digits = true;
        if (n > 100000000) break;
    }
    return digits ? n : -1;
}

bool ReportsRepair(std::string_view line) { return ContainsAny(line, kRepairMarks); }

bool ReportsFatal(std::string_view line) { return ContainsAny(line, kFatalMarks); }

bool IsHarmlessRemark(std::string_view line) { return ContainsAny(line, kHarmlessRemarks); }

bool NamesFailure(std::string_view line) { return ContainsAny(line, kFailureMarks); }

bool ReportsSilentFailure(std::string_view line) { return ContainsAny(line, kSilentFailureMarks); }

namespace {

std::string_view TrimmedLeft(std::string_view line) {
    const std::size_t text = line.find_first_not_of(" \t");
    return text == std::string_view::npos ? std::string_view() : line.substr(text);
}

}  // namespace

bool IsErrorStatement(std::string_view line) {
    const std::string_view t = TrimmedLeft(line);
    return t.substr(0, 8) == "Error: /" || t.substr(0, 21) == "Unrecoverable error: ";
}

bool ContinuesErrorReport(std::string_view line) {
    // What Ghostscript's error handler prints after the statement, the first of which
    // follows it at once (a VMerror has no stacks).
    const std::string_view t = TrimmedLeft(line);
    for (std::string_view head :
         {"Additional information:", "Operand stack:", "Execution stack:", "Dictionary stack:",
          "VM status:", "Current allocation mode is", "Last OS error:", "Current file position is"})
        if (t.substr(0, head.size()) == head) return true;
    return false;
}

std::vector<std::string> ProgramInputs(const std::vector<std::string>& args) {
    std::vector<std::string> programs;
    for (const std::string& f : InputFiles(args)) {
        // Only a regular file is looked into: a pipe would hold the job before it starts.
        struct stat st;
        if (::stat(f.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        std::ifstream in(f, std::ios::binary);
        if (in && !IsPdfFile(f)) programs.push_back(f);
    }
    return programs;
}

}  // namespace gsw
