#include "engine/converters/pdfAutoCrop.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>

#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/pdf2bmp.h"
#include "engine/pdfHelper.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/win/byteOrder.h"

namespace {

std::string ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) RaiseFileOpenError(fileName, errno ? errno : ENOENT);
    std::string data;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        data.resize(size_t(size));
        in.read(data.data(), size);
        data.resize(size_t(in.gcount()));
    }
    return data;
}

[[noreturn]] void NotABitmap(const std::string& file) {
    throw EReadError("\"" + file + "\" 不是可读取的位图文件。");
}

// A number of a box, read with "." as the decimal separator whatever the locale.
double BoxNumber(const std::string& s) {
    double v = 0;
    const char* b = s.data();
    const char* e = b + s.size();
    if (!s.empty() && *b == '+') ++b;
    const auto r = std::from_chars(b, e, v);
    if (s.empty() || r.ec != std::errc() || r.ptr != e)
        throw EConvertError("'" + s + "' is not a valid floating point value");
    // Page boxes are measured in points; a value far beyond any page is a damaged file,
    // and rounding it would overflow.
    if (!(std::fabs(v) <= 1e9))
        throw EConvertError("'" + s + "' is out of the range of a page box");
    return v;
}

bool IsBlankOrControlChar(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Rounds to the nearest integer, halves to the even neighbour.
long long RoundEven(double v) {
    const double r = std::nearbyint(v);  // the default rounding mode rounds halves to even
    return (long long)r;
}

}  // namespace

// ---------------------------------------------------------------- the bitmap

TBlackCounts CountBlackPixels(const std::string& bitmapFile) {
    const std::string d = ReadAll(bitmapFile);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') NotABitmap(bitmapFile);
    const uint32_t dataOffset = Get32(d, 10);
    const uint32_t headerSize = Get32(d, 14);
    if (headerSize < 40) NotABitmap(bitmapFile);
    const int32_t w = int32_t(Get32(d, 18));
    const int32_t rawH = int32_t(Get32(d, 22));
    const int bits = int(Get16(d, 28));
    const uint32_t compression = Get32(d, 30);
    const bool bottomUp = rawH > 0;
    const int64_t h = rawH < 0 ? -int64_t(rawH) : rawH;
    if (w <= 0 || h <= 0 || w > 100000 || h > 100000 || compression != 0) NotABitmap(bitmapFile);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) NotABitmap(bitmapFile);

    // Which palette entries are black.
    std::vector<uint8_t> blackIndex;
    if (bits <= 8) {
        uint32_t colours = Get32(d, 46);
        if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
        blackIndex.assign(size_t(1) << bits, 0);
        const size_t table = 14 + size_t(headerSize);
        for (uint32_t i = 0; i < colours; ++i) {
            const size_t e = table + 4 * size_t(i);
            if (e + 3 > d.size()) NotABitmap(bitmapFile);
            blackIndex[i] = d[e] == 0 && d[e + 1] == 0 && d[e + 2] == 0;
        }
    }
    const size_t stride = ((size_t(w) * size_t(bits) + 31) & ~size_t(31)) / 8;
    if (dataOffset > d.size() || (d.size() - dataOffset) / stride < size_t(h))
        NotABitmap(bitmapFile);

    TBlackCounts c;
    c.width = w;
    c.height = int(h);
    c.rows.assign(size_t(h), 0);
    c.columns.assign(size_t(w), 0);
    for (int64_t y = 0; y < h; ++y) {
        const size_t fileRow = size_t(bottomUp ? h - 1 - y : y);
        const uint8_t* row =
            reinterpret_cast<const uint8_t*>(d.data()) + dataOffset + fileRow * stride;
        int& rowCount = c.rows[size_t(y)];
        for (int32_t x = 0; x < w; ++x) {
            bool black;
            switch (bits) {
                case 1:
                    black = blackIndex[(row[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    black = blackIndex[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                    break;
                case 8:
                    black = blackIndex[row[x]];
                    break;
                case 24:
                    black = (row[3 * x] | row[3 * x + 1] | row[3 * x + 2]) == 0;
                    break;
                default:
                    black = (row[4 * x] | row[4 * x + 1] | row[4 * x + 2]) == 0;
                    break;
            }
            if (black) {
                ++rowCount;
                ++c.columns[size_t(x)];
            }
        }
    }
    return c;
}

TCropFractions FindContent(const TBlackCounts& c, int noise, int skip) {
    TCropFractions f;
    const double w = c.width, h = c.height;
    for (int x = skip; x < c.width; ++x)
        if (c.columns[size_t(x)] > noise) {
            f.left = x / w;
            break;
        }
    for (int y = skip; y < c.height; ++y)
        if (c.rows[size_t(y)] > noise) {
            f.top = y / h;
            break;
        }
    for (int x = c.width - 1; x >= skip && x >= 0; --x)
        if (c.columns[size_t(x)] > noise) {
            f.right = x / w;
            break;
        }
    for (int y = c.height - 1; y >= skip && y >= 0; --y)
        if (c.rows[size_t(y)] > noise) {
            f.bottom = y / h;
            break;
        }
    return f;
}

// ---------------------------------------------------------------- TCropManager

TCropManager::TCropManager(const std::string& fileName) : text(ReadAll(fileName)) {}

TCropManager TCropManager::FromText(std::string pdfText) {
    TCropManager m;
    m.text = std::move(pdfText);
    return m;
}

void TCropManager::ParseBoxes() {
    const std::string key =
        text.find("/CropBox [") != std::string::npos ? "/CropBox [" : "/MediaBox [";
    boxes.clear();
    for (size_t p = text.find(key); p != std::string::npos;) {
        Box b;
        b.start = p + key.size();
        const size_t close = text.find(']', b.start);
        if (close == std::string::npos) throw EConvertError("'" + key + "' has no closing ']'");
        b.length = close - b.start;
        std::string s = Trim(text.substr(b.start, b.length));
        for (int i = 0; i < 3; ++i) {
            const size_t blank = s.find(' ');
            b.text[i] = s.substr(0, blank);
            if (blank == std::string::npos)
                s.clear();
            else
                s = s.substr(blank + 1);
        }
        b.text[3] = Trim(s);
        b.x1 = BoxNumber(b.text[0]);
        b.y1 = BoxNumber(b.text[1]);
        b.x2 = BoxNumber(b.text[2]);
        b.y2 = BoxNumber(b.text[3]);
        boxes.push_back(b);
        p = text.find(key, b.start);
    }
}

std::string TCropManager::CroppedText(const TCropFractions& f, int margin) const {
    // Each replacement as (old offset, old length, new length), in text order.
    struct Edit {
        size_t start, oldLength;
        long long delta;
    };
    std::vector<Edit> edits;
    std::string out;
    out.reserve(text.size() + boxes.size() * 8);
    size_t copied = 0;
    for (const Box& b : boxes) {
        const double w = b.x2 - b.x1, h = b.y2 - b.y1;
        auto side = [&](const std::optional<double>& fraction, double value,
                        const std::string& old) {
            return fraction ? IntToStr(RoundEven(value)) : old;
        };
        const std::string r =
            side(f.left, w * f.left.value_or(0) - margin + b.x1, b.text[0]) + " " +
            side(f.bottom, (1.0 - f.bottom.value_or(0)) * h - margin + b.y1, b.text[1]) + " " +
            side(f.right, w * f.right.value_or(0) + margin + b.x1, b.text[2]) + " " +
            side(f.top, (1.0 - f.top.value_or(0)) * h + margin + b.y1, b.text[3]);
        out.append(text, copied, b.start - copied);
        out += r;
        copied = b.start + b.length;
        edits.push_back({b.start, b.length, (long long)r.size() - (long long)b.length});
    }
    out.append(text, copied, std::string::npos);

    // Where an offset of the old text lies in the new one: shifted by every replacement
    // that starts before it (a binary search over the running sums).
    std::vector<long long> shiftAfter(edits.size());
    long long running = 0;
    for (size_t i = 0; i < edits.size(); ++i) shiftAfter[i] = running += edits[i].delta;
    auto moved = [&](size_t offset) {
        const auto it = std::lower_bound(edits.begin(), edits.end(), offset,
                                         [](const Edit& e, size_t o) { return e.start < o; });
        const size_t before = size_t(it - edits.begin());
        return size_t((long long)offset + (before ? shiftAfter[before - 1] : 0));
    };
    if (edits.empty()) return out;

    // The cross-reference table: the last "startxref" names it. Only a classic table
    // without earlier sections is rewritten; anything else is left as it is.
    const size_t sx = text.rfind("startxref");
    if (sx == std::string::npos) return out;
    size_t q = sx + 9;
    while (q < text.size() && IsBlankOrControlChar(text[q])) ++q;
    size_t digitsEnd = q;
    while (digitsEnd < text.size() && std::isdigit(static_cast<unsigned char>(text[digitsEnd])))
        ++digitsEnd;
    if (digitsEnd == q) return out;
    const size_t xref = size_t(StrToInt(text.substr(q, digitsEnd - q)));
    if (xref >= text.size() || text.compare(xref, 4, "xref") != 0) return out;
    const size_t trailer = text.find("trailer", xref);
    if (trailer == std::string::npos || trailer > sx) return out;
    if (text.substr(trailer, sx - trailer).find("/Prev") != std::string::npos) return out;

    // Entries are fixed-width: each is overwritten where it now stands in the new text.
    std::string fixed = out;
    size_t r = xref + 4;
    auto skipBlanks = [&] {
        while (r < trailer && IsBlankOrControlChar(text[r])) ++r;
    };
    auto readNumber = [&](long long& v) {
        const size_t b = r;
        while (r < trailer && std::isdigit(static_cast<unsigned char>(text[r]))) ++r;
        if (r == b) return false;
        v = StrToInt(text.substr(b, r - b));
        return true;
    };
    for (skipBlanks(); r < trailer; skipBlanks()) {
        long long first = 0, count = 0;
        if (!readNumber(first)) return out;
        skipBlanks();
        if (!readNumber(count)) return out;
        skipBlanks();
        for (long long i = 0; i < count; ++i, r += 20) {
            if (r + 18 > trailer || text[r + 10] != ' ' || text[r + 16] != ' ') return out;
            if (text[r + 17] != 'n') continue;
            const size_t offset = size_t(StrToInt(text.substr(r, 10)));
            fixed.replace(moved(r), 10, Format("%.10d", (long long)moved(offset)));
        }
    }
    const size_t newSx = moved(sx);
    const size_t newQ = newSx + (q - sx);
    fixed.replace(newQ, digitsEnd - q, IntToStr((long long)moved(xref)));
    return fixed;
}

void TCropManager::Apply(const std::string& dstFile, const TCropFractions& f, int margin) const {
    const std::string cropped = CroppedText(f, margin);
    // A short name of its own: one made from dstFile's could pass the limit of a name.
    const std::string part = ExtractFilePath(dstFile) + ".vexomat-cropping.part";
    ScopeExit removePart([&] {
        if (FileExists(part)) DeleteFile(part);
    });
    // The reason names the system's cause, never this internal file.
    try {
        WriteFileText(part, cropped);
    } catch (const EInOutError& e) {
        throw EInOutError(
            "无法写入裁剪后的 PDF 文件: " + SysErrorMessage(e.ErrorCode ? e.ErrorCode : EIO),
            e.ErrorCode);
    }
    if (!RenameFile(part, dstFile)) {
        const int err = errno ? errno : EACCES;
        throw EInOutError("无法写入裁剪后的 PDF 文件: " + SysErrorMessage(err), err);
    }
    removePart.Release();
}

// ---------------------------------------------------------------- TPdfAutoCrop

bool TPdfAutoCrop::AutoCrop(const std::string& bitmapFile, const std::string& srcPdf,
                            const std::string& dstPdf) {
    try {
        const int noise = UpDownPosition("XcUpDown_ignore_noise");
        const int skip = UpDownPosition("XcUpDown_skip_border");
        const int margin = UpDownPosition("XcUpDown_add_border");
        const TCropFractions f = FindContent(CountBlackPixels(bitmapFile), noise, skip);
        Application->ProcessMessages();
        TCropManager m(srcPdf);
        m.ParseBoxes();
        m.Apply(dstPdf, f, margin);
        return true;
    } catch (const std::exception& e) {
        ReportError(e);
        return false;
    }
}

bool RunPdfAutoCrop(TRun& run) {
    if (!CheckGhostscript(true)) return false;
    run.Target = run.DestName(".pdf", "", "_CROPPED");
    // The intermediates belong to the run: in its temporary folder nothing of the user's
    // can be followed, replaced or deleted, and runs side by side do not meet.
    // Short names of their own, so a source whose name nearly fills the limit of a name
    // still has room for them.
    const std::string bitmap = run.Temp() + "page.bmp";
    const std::string page1 = run.Temp() + "page_p0001.bmp";
    const std::string uncompressed = run.Temp() + "uncompressed.pdf";
    const std::string cropped = run.Temp() + "cropped.pdf";
    // Both inputs of the cropper are made whatever the other gives; a cropped file is
    // written only from inputs made without errors, so a damaged source never replaces
    // an older result.
    const bool made = run.Clean([&] {
        const bool a = TPdf2bmp().Convert(run.Source(), bitmap, 1, 1);
        const bool b = TPdfDecompress().Decompress(run.Source(), uncompressed);
        return a && b;
    });
    // The copy holds every page, and the first page, which the crop is measured on, is drawn.
    return made && ResultMade(uncompressed, run.Source()) &&
           PagesAsExpected(ExpectedPdfPages(run.Source()), ResultFilePages(uncompressed),
                           {run.Source()}) &&
           PagesAsExpected(ExpectedPdfPages(run.Source(), 1, 1),
                           PagesInFiles(run.Temp() + "page_p*.bmp"), {run.Source()}, false) &&
           TPdfAutoCrop().AutoCrop(page1, uncompressed, cropped) &&
           PagesAsExpected(ExpectedPdfPages(run.Source()), ResultFilePages(cropped),
                           {run.Source()}) &&
           MoveFileReplacing(cropped, run.Target);
}
