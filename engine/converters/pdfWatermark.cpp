#include "engine/converters/pdfWatermark.h"

#include <charconv>
#include <vector>

#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/watermarkGlyphs.h"
#include "engine/pdfHelper.h"
#include "engine/pdfSource.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "engine/util.h"
#include "platform/rtl/sysutils.h"

namespace {

std::string Pad(std::string line, size_t width) {
    if (line.size() < width) line.append(width - line.size(), ' ');
    return line;
}

}  // namespace

std::string TPdfWatermark::PsStringBody(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            // A line break would split the stamp's line; every control byte goes as \ddd.
            out += '\\';
            out += char('0' + (u >> 6));
            out += char('0' + ((u >> 3) & 7));
            out += char('0' + (u & 7));
        } else {
            out += c;
        }
    }
    return out;
}

std::string TPdfWatermark::Gray(int opacity) {
    // to_chars writes "." whatever the process locale says.
    char buf[64];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, 1.0 - opacity / 100.0, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

bool TPdfWatermark::NeedsCjkFont(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

std::string TPdfWatermark::StampText(const std::string& text, int fontSize, int opacity) {
    const std::string tab = "\t";
    // Helvetica holds only Latin letters; any other character is shown from the Chinese
    // CID font that Ghostscript's font map names, reading the text as UTF-8.
    const std::string font = NeedsCjkFont(text) ? "/STSong-Light--UniGB-UTF8-H" : "/Helvetica-Bold";
    // The stamp is painted when a page is finished (EndPage, reason 0 = showpage): by then
    // the page has its own size, and the procedure runs exactly once per page, whereas the
    // page-start procedure runs again at every page device change the PDF reader makes.
    // Multiply lets the page's dark marks show through the grey as if it lay beneath them.
    std::vector<std::string> lines = {
        Pad("userdict /BeginPageDict 10 dict put", 47),
        Pad("BeginPageDict begin", 47),
        "  /text (" + PsStringBody(text) + ") def" + std::string(22, ' '),
        Pad("", 47),
        Pad("  /fontname " + font + " def", 47),
        "  /fontsize " + IntToStr(fontSize) + " def % Fonthoehe" + std::string(17, ' '),
        "  /gray " + Gray(opacity) + " def % Grauwert des Stempels" + std::string(8, ' '),
        Pad("", 47),
        Pad("  % Diese Prozedur wird am Ende jeder Seite", 47),
        Pad("  % aufgerufen, wenn ihre Gr\xF6\xDF"
            "e feststeht",
            47),
        Pad("  /PaintProc {", 47),
        Pad("  null begin dup 0 eq {", 47),
        Pad("  gsave initgraphics", 47),
        Pad("  % Gesamtgr\xF6\xDF"
            "e der Seite ermitteln",
            47),
        Pad("  clippath pathbbox", 47),
        Pad("  /ury exch def /urx exch def", 47),
        Pad("  /lly exch def /llx exch def", 47),
        Pad("  /h ury lly sub def", 47),
        Pad("  /w urx llx sub def", 47),
        Pad("  % Diagonale berechnen", 47),
        Pad("  /len h dup mul w dup mul add sqrt def", 47),
        Pad("  /y fontsize 0.7 mul -2 div def", 47),
        Pad("  llx lly translate", 47),
        Pad(tab + "currentscreen exch pop h w atan dup", 45),
        Pad(tab + "rotate 45 sub exch setscreen", 45),
        Pad(tab + "/.setblendmode where", 45),
        Pad(tab + "{ pop /Multiply .setblendmode } if", 45),
        Pad(tab + "fontname findfont fontsize scalefont", 45),
        Pad(tab + "setfont", 45),
        Pad(tab + "gray setgray", 45),
        Pad(tab + "len text stringwidth pop sub 2 div", 45),
        Pad(tab + "y moveto text show", 45),
        Pad(tab + "grestore } if", 45),
        Pad(tab + "exch pop 2 ne end", 45),
        Pad("  } dup 0 currentdict put bind def", 47),
        Pad("end", 47),
        std::string(16, ' ') + std::string(8, '\t'),
        "% Aktivierung" + std::string(9, '\t'),
        "<< /EndPage" + std::string(9, '\t'),
        "userdict /BeginPageDict get /PaintProc get" + std::string(2, '\t'),
        ">> setpagedevice" + std::string(8, '\t'),
    };
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out += '\n';
        out += lines[i];
    }
    return out;
}

bool TPdfWatermark::WriteStamp(const std::string& stampFile) {
    try {
        const std::string text = EditText("Edit_watermark_text");
        // A character the stamp's fonts lack would be drawn as nothing. The log says which
        // face decided (or that the built-in table did, the face being unreadable).
        Log("WatermarkFont", InstalledWatermarkFonts().Source());
        const std::string problem = WatermarkTextProblem(text);
        if (!problem.empty()) throw Exception(problem);
        const int size = UpDownPosition("XcUpDown_watermark_fontsize");
        const int opacity = UpDownPosition("XcUpDown_watermark_opacity");
        WriteFileText(stampFile, StampText(text, size, opacity));
        return true;
    } catch (const std::exception& e) {
        ReportError(e);
        return false;
    }
}

std::string TPdfWatermark::ApplyParameters(const std::string& src, const std::string& dst,
                                           const std::string& stampFile) {
    GsArgs p = GsPrefix();
    p += "-sDEVICE=pdfwrite -dCompressPages=false";
    p += GsOut(dst);
    p.Quoted("", GsFileName(stampFile)).Quoted("", GsFileName(GhostscriptInput(src)));
    return p.Line();
}

bool TPdfWatermark::Apply(const std::string& src, const std::string& dst,
                          const std::string& stampFile) {
    return RunGsJob("pdfWatermark", [&] { return ApplyParameters(src, dst, stampFile); });
}

bool RunPdfWatermark(TRun& run) {
    if (!CheckGhostscript(true)) return false;
    run.Target = run.MovedWithSuffix("_WATERMARKED");
    const std::string stamp = run.Temp() + "watermark.ps";
    const std::string stamped = run.InTemp(".pdf");
    TPdfWatermark watermark;
    return watermark.WriteStamp(stamp) &&
           run.Clean([&] { return watermark.Apply(run.Source(), stamped, stamp); }) &&
           ResultMade(stamped, run.Source()) &&
           PagesAsExpected(ExpectedPdfPages(run.Source()), ResultFilePages(stamped),
                           {run.Source()}) &&
           MoveFileReplacing(stamped, run.Target);
}
