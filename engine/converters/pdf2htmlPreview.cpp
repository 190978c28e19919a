#include "engine/converters/pdf2htmlPreview.h"

#include <jpeglib.h>
#include <setjmp.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/pdfHelper.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/fileTransaction.h"
#include "platform/rtl/hex.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"

// ---------------------------------------------------------------- JPEG

namespace {

struct JpegTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void TrapExit(j_common_ptr info) {
    JpegTrap* trap = reinterpret_cast<JpegTrap*>(info->err);
    info->err->format_message(info, trap->message);
    longjmp(trap->jump, 1);
}
void Silent(j_common_ptr, int) {}

// C state only between setjmp and longjmp; the pixel buffer is allocated by the caller
// from the header this fills in.
struct DecodeJob {
    FILE* file;
    int width, height;
    uint8_t* pixels;  // null on the first call (header only)
    size_t stride;
};

bool DecodeHeader(jpeg_decompress_struct* info, DecodeJob* job) {
    jpeg_stdio_src(info, job->file);
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    job->width = int(info->output_width);
    job->height = int(info->output_height);
    return info->output_components == 3;
}

int DecodeFile(const char* path, TRgbImage* image, char* message) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return 1;
    jpeg_decompress_struct info;
    JpegTrap trap;
    info.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = TrapExit;
    trap.mgr.emit_message = Silent;
    trap.message[0] = '\0';
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        std::fclose(f);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", trap.message);
        return 2;
    }
    jpeg_create_decompress(&info);
    DecodeJob job{f, 0, 0, nullptr, 0};
    if (!DecodeHeader(&info, &job)) {
        jpeg_destroy_decompress(&info);
        std::fclose(f);
        return 2;
    }
    // The picture's buffer: resized outside the libjpeg calls that may jump.
    image->width = job.width;
    image->height = job.height;
    image->stride = ((size_t(job.width) * 24 + 31) & ~size_t(31)) / 8;
    image->pixels.assign(image->stride * size_t(job.height), 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->Row(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    return 0;
}

int EncodeMemory(const TRgbImage* image, unsigned char** out, unsigned long* size, char* message) {
    jpeg_compress_struct info;
    JpegTrap trap;
    info.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = TrapExit;
    trap.mgr.emit_message = Silent;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", trap.message);
        return 2;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = JDIMENSION(image->width);
    info.image_height = JDIMENSION(image->height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);  // the codec's default compression (quality 75)
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image->Row(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return 0;
}

}  // namespace

TRgbImage::TRgbImage(int w, int h)
    : width(w),
      height(h),
      stride(((size_t(w) * 24 + 31) & ~size_t(31)) / 8),
      pixels(stride * size_t(h), 0) {}

TRgbImage LoadJpegRgb(const std::string& path) {
    TRgbImage image;
    char message[JMSG_LENGTH_MAX] = "";
    const int r = DecodeFile(path.c_str(), &image, message);
    if (r == 1) throw EFOpenError("无法打开文件 \"" + path + "\"。");
    if (r != 0) throw EReadError("JPEG \"" + path + "\": " + message);
    return image;
}

std::string EncodeJpegRgb(const TRgbImage& image) {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = "";
    const int r = EncodeMemory(&image, &buffer, &size, message);
    std::string data;
    if (r == 0 && buffer) data.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (r != 0) throw EStreamError(std::string("JPEG: ") + message);
    return data;
}

// ---------------------------------------------------------------- thumbnails

void TPdf2htmlPreview::ThumbnailSize(int width, int height, int& thumbWidth, int& thumbHeight) {
    thumbWidth = height <= width ? 152 : 112;
    const double h = std::nearbyint(double(height) * thumbWidth / (width > 0 ? width : 1));
    thumbHeight = h < 1 ? 1 : int(h);
}

void TPdf2htmlPreview::Resample(const TRgbImage& s, TRgbImage& t) {
    const int tw = t.width, th = t.height;
    if (tw <= 0 || th <= 0 || s.width <= 0 || s.height <= 0) return;
    const double sx = double(s.width) / tw, sy = double(s.height) / th;
    // Spans of source columns and rows per target pixel; they tile the source exactly.
    std::vector<int> xSpan(static_cast<size_t>(tw)), ySpan(static_cast<size_t>(th));
    for (int i = 0; i < tw; ++i)
        xSpan[size_t(i)] = int(std::nearbyint((i + 1) * sx) - std::nearbyint(i * sx));
    for (int j = 0; j < th; ++j)
        ySpan[size_t(j)] = int(std::nearbyint((j + 1) * sy) - std::nearbyint(j * sy));

    // Box average, one target row at a time from the sums of its source rows.
    std::vector<uint32_t> sum(size_t(tw) * 3);
    int sourceRow = 0;
    for (int j = 0; j < th; ++j) {
        std::fill(sum.begin(), sum.end(), 0u);
        const int rows = ySpan[size_t(j)];
        for (int r = 0; r < rows && sourceRow < s.height; ++r, ++sourceRow) {
            const uint8_t* p = s.Row(sourceRow);
            uint32_t* acc = sum.data();
            for (int i = 0; i < tw; ++i, acc += 3) {
                uint32_t b = 0, g = 0, red = 0;
                for (int k = xSpan[size_t(i)]; k > 0; --k, p += 3) {
                    b += p[0];
                    g += p[1];
                    red += p[2];
                }
                acc[0] += b;
                acc[1] += g;
                acc[2] += red;
            }
        }
        uint8_t* out = t.Row(j);
        const uint32_t* acc = sum.data();
        for (int i = 0; i < tw; ++i, acc += 3, out += 3) {
            const int n = xSpan[size_t(i)] * rows;
            const uint32_t f = n > 0 ? 65535u / uint32_t(n) : 0u;
            out[0] = uint8_t((acc[0] * f) >> 16);
            out[1] = uint8_t((acc[1] * f) >> 16);
            out[2] = uint8_t((acc[2] * f) >> 16);
        }
    }

    // Sharpening in place: the row above is already sharpened when a row is done.
    if (th < 3 || tw < 3) return;
    for (int j = 1; j <= th - 2; ++j) {
        const uint8_t* up = t.Row(j - 1);
        uint8_t* mid = t.Row(j);
        const uint8_t* down = t.Row(j + 1);
        for (int i = 1; i <= tw - 2; ++i) {
            for (int c = 0; c < 3; ++c) {
                const int l = 3 * (i - 1) + c, m = 3 * i + c, r = 3 * (i + 1) + c;
                int v = (12 * mid[m] - up[l] - up[r] - down[l] - down[r]) / 8;
                mid[m] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
}

void TPdf2htmlPreview::ShrinkJpeg(const std::string& jpegFile) {
    const TRgbImage source = LoadJpegRgb(jpegFile);
    int tw = 0, th = 0;
    ThumbnailSize(source.width, source.height, tw, th);
    // A page no wider than its thumbnail keeps its rendered size.
    if (source.width <= tw || source.height < th) return;
    TRgbImage target(tw, th);
    Resample(source, target);
    WriteFileText(jpegFile, EncodeJpegRgb(target));
}

int TPdf2htmlPreview::MakeThumbnails(const std::string& src, const std::string& imagesDir) {
    const std::string base = ChangeFileExt(ExtractFileName(src), "");
    GsArgs params = GsPrefix();
    params += "-dJPEGQ=75 -r72 -dUseCIEColor -sDEVICE=jpeg";
    params += GsPaged(ExpandFileName(ExtractFilePath(imagesDir)) + base + ".jpg");
    params += GsSource(src);
    TGhost().Run("pdf2jpg", params.Line());

    int count = 0;
    std::vector<std::string> files;
    TSearchRec sr;
    if (FindFirst(imagesDir + "*.jpg", faAnyFile, sr) == 0) {
        do files.push_back(imagesDir + sr.Name);
        while (FindNext(sr) == 0);
        FindClose(sr);
    }
    for (const std::string& file : files) {
        ++count;
        ShrinkJpeg(file);
        Application->ProcessMessages();
    }
    return count;
}

// ---------------------------------------------------------------- the page

std::string TPdf2htmlPreview::HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string TPdf2htmlPreview::UrlEscape(const std::string& name) {
    std::string out;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            AppendHexByte(out, u);
        }
    }
    return out;
}

std::string TPdf2htmlPreview::HtmlText(const std::string& baseName, int pageCount, int columns,
                                       const std::string& title, const std::string& pageText,
                                       bool border) {
    if (columns < 1) columns = 1;
    const int rows = pageCount > 0 ? (pageCount + columns - 1) / columns : 0;
    std::string h;
    auto line = [&](int tabs, const std::string& text) {
        h.append(size_t(tabs), '\t');
        h += text;
        h += "\r\n";
    };
    line(0, "<html>");
    line(1, "<head>");
    // The texts are UTF-8; saying so lets every browser show title and captions.
    line(2, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    line(2, "<title>" + HtmlEscape(title) + "</title>");
    line(2, "<style type=\"text/css\">");
    line(2, "<!--");
    line(3, "body, h1, h2, h3, i, p, td, th, tt, ol, ul, dl {");
    line(4, "font-family: Verdana,Helvetica,Arial;");
    line(4, "color: #000000;");
    line(3, "}");
    line(0, "");
    line(3, "body {");
    line(4, "font-size: 11px;");
    line(4, "background-color: #FFFFFF;");
    line(4, "margin: 0px;");
    line(4, "border: 0px;");
    line(3, "}");
    line(0, "");
    line(3, "img {");
    line(4, "border-color: #000000;");
    line(3, "}");
    line(0, "");
    line(3, "td {");
    line(4, "font-size: 11px;");
    line(4, "color: #000000;");
    line(3, "}");
    line(2, "-->");
    line(2, "</style>");
    line(1, "</head>");
    line(0, "");
    line(1, "<body>");
    line(2, "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\" align=\"center\">");
    line(3, "<tbody>");

    const std::string url = UrlEscape(baseName);
    const std::string caption = HtmlEscape(pageText);
    const std::string empty = "<td valign=\"top\">&nbsp;</td>";
    const std::string spacer = "<td valign=\"top\" width=\"10\">&nbsp;</td>";
    for (int r = 1; r <= rows; ++r) {
        line(4, "<tr>");
        for (int c = 1; c <= columns; ++c) {
            const int n = (r - 1) * columns + c;
            if (n <= pageCount) {
                const std::string page = Format("%.4d", n);
                line(5, "<td valign=\"top\"><a href=\"pdf/" + url + "_p" + page +
                            ".pdf\" target=\"_blank\"><img hspace=\"0\" src=\"images/" + url +
                            "_p" + page +
                            (border ? ".jpg\" border=\"1\" fixproportion=\"true\"></a></td>"
                                    : ".jpg\" border=\"0\" fixproportion=\"true\"></a></td>"));
            } else {
                line(5, empty);
            }
            if (c < columns) line(5, spacer);
        }
        line(4, "</tr>");
        line(4, "<tr>");
        for (int c = 1; c <= columns; ++c) {
            const int n = (r - 1) * columns + c;
            if (n <= pageCount)
                line(5, "<td valign=\"top\" align=\"center\" height=\"20\">" + caption + " " +
                            IntToStr(n) + "</td>");
            else
                line(5, empty);
            if (c < columns) line(5, spacer);
        }
        line(4, "</tr>");
        if (r < rows) line(0, "");
    }
    line(3, "</tbody>");
    line(2, "</table>");
    line(1, "</body>");
    line(0, "</html>");
    return h;
}

bool TPdf2htmlPreview::WriteHtml(const std::string& htmlFile, const std::string& baseName,
                                 int pageCount, int columns, const std::string& title,
                                 const std::string& pageText, bool border) {
    try {
        WriteFileText(htmlFile, HtmlText(baseName, pageCount, columns, title, pageText, border));
        return true;
    } catch (const std::exception& e) {
        ReportError(e);
        return false;
    }
}

namespace {

int CountMatchingFiles(const std::string& mask) {
    int count = 0;
    TSearchRec rec;
    for (int r = FindFirst(mask, faAnyFile, rec); r == 0; r = FindNext(rec)) ++count;
    FindClose(rec);
    return count;
}

}  // namespace

bool RunPdf2htmlPreview(TRun& run) {
    if (!CheckGhostscript(true)) return false;
    const std::string& src = run.Source();
    const std::string& temp = run.Temp();
    run.Target = run.State().FDestDir + "htmlPreview.html";
    // The page files and thumbnails go into folders of these names beside the page: a
    // file of such a name would stop them only at the end, with the system's words.
    for (const char* folder : {"pdf", "images"}) {
        const std::string path = run.State().FDestDir + folder;
        if (FileExists(path) && !DirectoryExists(path)) {
            ReportError("无法建立文件夹 \"" + EscapeControls(path) +
                        "\": 那里已经有一个同名的文件。");
            return false;
        }
    }
    MkDir(temp + "pdf/");
    bool ok = run.Clean([&] { return TPdfChopToSingles().Chop(src, temp + "pdf/", "", temp); });
    TPdf2htmlPreview preview;
    int pageCount = 0;
    if (ok) {
        MkDir(temp + "images/");
        ok = run.Clean([&] {
            pageCount = preview.MakeThumbnails(src, temp + "images/");
            return true;
        });
        // A thumbnail for every page of the document.
        if (ok) ok = PagesAsExpected(ExpectedPdfPages(src), pageCount, {src}) && pageCount > 0;
    }
    // The page files come from the document's stated page count, the thumbnails from
    // its pages as drawn; a count that lies would link thumbnails to missing pages.
    if (ok) {
        const int pageFiles = CountMatchingFiles(temp + "pdf/*.pdf");
        if (pageFiles != pageCount) {
            ReportError("PDF 文件的页数不一致: 页面树说 " + IntToStr(pageFiles) + " 页, 实际有 " +
                        IntToStr(pageCount) + " 页。文件可能已损坏: \"" + EscapeControls(src) +
                        "\"");
            ok = false;
        }
    }
    if (ok) {
        const std::string fileName = ExtractFileName(src);
        const std::string baseName =
            fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0);
        ok = preview.WriteHtml(temp + "htmlPreview.html", baseName, pageCount,
                               UpDownPosition("XcUpDown_html_columns"), EditText("Edit_html_title"),
                               EditText("Edit_html_pagetext"),
                               CheckBoxChecked("CheckBox_html_border"));
    }
    // The page, its thumbnails and their PDFs arrive together or not at all.
    if (ok) {
        const std::string& dest = run.State().FDestDir;
        TFileTransaction moves;
        AddMatchingFiles(moves, temp + "pdf/*", dest + "pdf/", nullptr, true);
        AddMatchingFiles(moves, temp + "images/*", dest + "images/", nullptr, true);
        moves.Add(temp + "htmlPreview.html", run.Target);
        ok = CommitResults(moves);
    }
    return ok;
}
