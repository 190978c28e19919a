#include "platform/automation/picturePdf.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>

#include "platform/automation/officeSession.h"
#include "platform/automation/olevariant.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/dibHeader.h"

namespace office {

namespace {

struct BmpLayout {
    uint32_t width = 0, height = 0;
    int bits = 0;
    uint64_t data = 0;           // where the rows begin
    uint64_t stride = 0;         // the bytes of a row in the file, padded to 4
    uint8_t colours[2][3] = {};  // a 1-bit bitmap's two colours, red, green, blue
    size_t RowBytes() const { return (size_t(width) * size_t(bits) + 7) / 8; }
};

// A bitmap file of rows from the bottom, uncompressed, in one bit or 24 bits a pixel (what
// the TIFF pages are written as); none for any other.
std::optional<BmpLayout> ReadLayout(std::ifstream& in) {
    uint8_t file[14] = {};
    if (!in.read(reinterpret_cast<char*>(file), sizeof file) || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    // The longest info header and a 1-bit bitmap's table are all that is read of the rest.
    uint8_t head[124 + 2 * 4] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    DibHeader h;
    const DibReadOptions pages{
        .maxWidth = INT32_MAX, .maxHeight = INT32_MAX, .core = false, .topDown = false};
    if (ReadDibHeader(head, size_t(in.gcount()), h, pages) || h.compression != kDibRgb ||
        (h.bitCount != 1 && h.bitCount != 24))
        return std::nullopt;
    in.clear();
    BmpLayout b;
    b.width = uint32_t(h.width);
    b.height = uint32_t(h.height);
    b.bits = h.bitCount;
    b.data = uint64_t(file[10]) | uint64_t(file[11]) << 8 | uint64_t(file[12]) << 16 |
             uint64_t(file[13]) << 24;
    b.stride = h.Stride();
    for (size_t i = 0; i < 2 && i < h.colors.size(); ++i)
        for (int c = 0; c < 3; ++c) b.colours[i][c] = uint8_t(h.colors[i] >> (16 - 8 * c));
    return b;
}

// PDF's run-length code: a length byte below 128 and that many bytes plus one as they are,
// or 257 minus a count and one byte repeated that often.
void AppendRunLength(const uint8_t* data, size_t n, std::string& out) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && data[i + run] == data[i]) ++run;
        if (run >= 2) {
            out += char(257 - run);
            out += char(data[i]);
            i += run;
            continue;
        }
        const size_t start = i;
        size_t length = 0;
        while (i < n && length < 128 &&
               !(i + 2 < n && data[i] == data[i + 1] && data[i] == data[i + 2])) {
            ++i;
            ++length;
        }
        out += char(length - 1);
        out.append(reinterpret_cast<const char*>(data + start), length);
    }
}

std::string Num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string Hex(const uint8_t* rgb) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", rgb[0], rgb[1], rgb[2]);
    return buf;
}

class PdfFile {
public:
    explicit PdfFile(std::string name) : name_(std::move(name)) {
        f_ = std::fopen(name_.c_str(), "wb");
        if (!f_) Failed();
    }
    ~PdfFile() {
        if (f_) std::fclose(f_);
    }
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;
    void Put(const std::string& s) { Put(s.data(), s.size()); }
    void Put(const char* data, size_t n) {
        if (n && std::fwrite(data, 1, n, f_) != n) Failed();
        at_ += n;
    }
    // Object n begins here.
    void Object(size_t n, const std::string& head) {
        if (offsets_.size() <= n) offsets_.resize(n + 1, 0);
        offsets_[n] = at_;
        Put(std::to_string(n) + " 0 obj\n" + head);
    }
    void Close(size_t root) {
        const uint64_t xref = at_;
        std::string t = "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
        for (size_t i = 1; i < offsets_.size(); ++i) {
            char line[24];
            std::snprintf(line, sizeof line, "%010llu 00000 n \n",
                          static_cast<unsigned long long>(offsets_[i]));
            t += line;
        }
        t += "trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root " +
             std::to_string(root) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        Put(t);
        std::FILE* f = f_;
        f_ = nullptr;
        if (std::fclose(f) != 0) Failed();
    }

private:
    [[noreturn]] void Failed() const {
        throw EOleError("无法写入打印文件 \"" + FileNameShown(name_) +
                        "\": " + SysErrorMessage(errno ? errno : EIO));
    }
    std::string name_;
    std::FILE* f_ = nullptr;
    uint64_t at_ = 0;
    std::vector<uint64_t> offsets_;
};

// The picture's rows as an image object and, after it, the object holding its length.
void PutImage(PdfFile& out, size_t object, const std::string& file) {
    const auto unreadable = [&] { throw EOleError("无法读取图片: " + file); };
    std::ifstream in(file, std::ios::binary);
    const std::optional<BmpLayout> b = ReadLayout(in);
    if (!b || !in.seekg(std::streamoff(b->data))) unreadable();
    const std::string space =
        b->bits == 1 ? "[/Indexed /DeviceRGB 1 <" + Hex(b->colours[0]) + Hex(b->colours[1]) + ">]"
                     : "/DeviceRGB";
    out.Object(object, "<< /Type /XObject /Subtype /Image /Width " + std::to_string(b->width) +
                           " /Height " + std::to_string(b->height) + " /ColorSpace " + space +
                           " /BitsPerComponent " + (b->bits == 1 ? "1" : "8") +
                           " /Filter /RunLengthDecode /Length " + std::to_string(object + 1) +
                           " 0 R >>\nstream\n");
    // Rows from the bottom, as the file has them: the page draws the image turned over.
    std::vector<uint8_t> row(b->stride);
    std::string coded;
    uint64_t length = 0;
    for (uint32_t y = 0; y < b->height; ++y) {
        if (!in.read(reinterpret_cast<char*>(row.data()), std::streamsize(row.size())))
            unreadable();
        if (b->bits == 24)
            for (size_t x = 0; x < b->width; ++x) std::swap(row[x * 3], row[x * 3 + 2]);
        coded.clear();
        AppendRunLength(row.data(), b->RowBytes(), coded);
        if (y + 1 == b->height) coded += char(128);  // the end of the data
        out.Put(coded);
        length += coded.size();
    }
    out.Put("\nendstream\nendobj\n");
    out.Object(object + 1, std::to_string(length) + "\nendobj\n");
}

}  // namespace

bool PdfTakesPicture(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return ReadLayout(in).has_value();
}

void WritePicturePdf(const std::string& pdf, double width, double height,
                     const std::vector<std::vector<PlacedPicture>>& pages) {
    PdfFile out(pdf);
    out.Put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    // 1 the catalog, 2 the page tree; then for each page the page, its contents, and for
    // each picture its image and the image's length.
    std::vector<size_t> first;
    size_t next = 3;
    std::string kids;
    for (const auto& pictures : pages) {
        first.push_back(next);
        kids += std::to_string(next) + " 0 R ";
        next += 2 + 2 * pictures.size();
    }
    out.Object(1, "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    out.Object(2, "<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(pages.size()) +
                      " >>\nendobj\n");
    for (size_t p = 0; p < pages.size(); ++p) {
        const size_t page = first[p];
        std::string names, draw;
        for (size_t i = 0; i < pages[p].size(); ++i) {
            const PlacedPicture& pic = pages[p][i];
            const std::string name = "/Im" + std::to_string(i);
            names += name + " " + std::to_string(page + 2 + 2 * i) + " 0 R ";
            // The image's first row is its bottom one.
            draw += "q " + Num(pic.width) + " 0 0 " + Num(-pic.height) + " " + Num(pic.left) + " " +
                    Num(height - pic.top) + " cm " + name + " Do Q\n";
        }
        out.Object(page, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Num(width) + " " +
                             Num(height) + "] /Resources << /XObject << " + names +
                             ">> >> /Contents " + std::to_string(page + 1) + " 0 R >>\nendobj\n");
        out.Object(page + 1, "<< /Length " + std::to_string(draw.size()) + " >>\nstream\n" + draw +
                                 "endstream\nendobj\n");
        for (size_t i = 0; i < pages[p].size(); ++i)
            PutImage(out, page + 2 + 2 * i, pages[p][i].file);
    }
    out.Close(1);
}

}  // namespace office
