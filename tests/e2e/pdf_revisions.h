// PDFs written object by object at test time, with the revisions editors, annotators and
// signers append (an incremental save: the changed objects, a cross-reference section
// pointing back to the one before, a trailer and another %%EOF), and the kinds of file
// whose text tells an old revision or another document: an attached PDF, page text that
// shows PDF syntax, an indirect or signed /Count, a QDF-style file.
#pragma once

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace pdfrev {

class PdfFile {
public:
    explicit PdfFile(bool qdf = false) : qdf_(qdf) {
        text = qdf ? "%PDF-1.4\n%QDF-1.0\n\n" : "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    }

    void Object(int n, const std::string& body) {
        if (qdf_) text += "%% Original object ID: " + std::to_string(n) + " 0\n";
        offsets_[n] = text.size();
        text += std::to_string(n) + " 0 obj\n" + body + "\nendobj\n";
    }
    // A stream, its /Length written directly (or as the object lengthObject when given).
    void Stream(int n, const std::string& dict, const std::string& data, int lengthObject = 0) {
        const std::string length =
            lengthObject ? std::to_string(lengthObject) + " 0 R" : std::to_string(data.size());
        Object(n, "<< " + dict + " /Length " + length + " >>\nstream\n" + data + "\nendstream");
        if (lengthObject) Object(lengthObject, std::to_string(data.size()));
    }
    // Marks an object as freed by this revision.
    void Free(int n) { freed_.push_back(n); }

    // Ends a revision: the objects written (or freed) since the last one in a
    // cross-reference section, the trailer and %%EOF.
    void EndRevision(int root = 1) {
        for (int n : freed_) offsets_[n] = 0;
        std::string xref = "xref\n0 1\n0000000000 65535 f \n";
        for (const auto& [n, offset] : offsets_) {
            xref += std::to_string(n) + " 1\n";
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010zu %05d %c \n", offset, offset ? 0 : 1,
                          offset ? 'n' : 'f');
            xref += entry;
            size_ = std::max(size_, n + 1);
        }
        const size_t at = text.size();
        text += xref + "trailer\n<< /Size " + std::to_string(size_) + " /Root " +
                std::to_string(root) + " 0 R" +
                (prev_ ? " /Prev " + std::to_string(prev_) : std::string()) + " >>\nstartxref\n" +
                std::to_string(at) + "\n%%EOF\n";
        prev_ = at;
        offsets_.clear();
        freed_.clear();
    }

    std::string text;

private:
    bool qdf_;
    std::map<int, size_t> offsets_;
    std::vector<int> freed_;
    int size_ = 1;
    size_t prev_ = 0;
};

// Content of page k: a filled box whose width tells the page.
inline std::string PageContent(int k) {
    return "0 0 1 rg 20 20 " + std::to_string(20 * k) + " 60 re f";
}

// The page object of page k (MediaBox 100 + 50 k wide, so each page's size tells it).
inline std::string PageObject(int k, int contents, const std::string& extra = "") {
    return "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(100 + 50 * k) +
           " 200] /Contents " + std::to_string(contents) + " 0 R" + extra + " >>";
}

inline std::string Kids(const std::vector<int>& pages) {
    std::string kids;
    for (int p : pages) kids += std::to_string(p) + " 0 R ";
    return "[" + kids + "]";
}

// Objects: 1 catalog, 2 page tree, 3.. pages, then their contents.
inline void ThreePages(PdfFile& pdf, const std::string& count = "3",
                       const std::string& catalogExtra = "") {
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R" + catalogExtra + " >>");
    pdf.Object(2, "<< /Type /Pages /Kids " + Kids({3, 4, 5}) + " /Count " + count + " >>");
    for (int k = 1; k <= 3; ++k) pdf.Object(2 + k, PageObject(k, 5 + k));
    for (int k = 1; k <= 3; ++k) pdf.Stream(5 + k, "", PageContent(k));
}

// A 3-page office export.
inline std::string Export() {
    PdfFile pdf;
    ThreePages(pdf);
    pdf.EndRevision();
    return pdf.text;
}

// ... with a fourth page added by an incremental save.
inline std::string PageAdded(bool qdf = false) {
    PdfFile pdf(qdf);
    ThreePages(pdf);
    pdf.EndRevision();
    pdf.Object(2, "<< /Type /Pages /Kids " + Kids({3, 4, 5, 9}) + " /Count 4 >>");
    pdf.Object(9, PageObject(4, 10));
    pdf.Stream(10, "", PageContent(4));
    pdf.EndRevision();
    return pdf.text;
}

// ... with its third page deleted by an incremental save.
inline std::string PageDeleted() {
    PdfFile pdf;
    ThreePages(pdf);
    pdf.EndRevision();
    pdf.Object(2, "<< /Type /Pages /Kids " + Kids({3, 4}) + " /Count 2 >>");
    pdf.Free(5);
    pdf.Free(8);
    pdf.EndRevision();
    return pdf.text;
}

// A 3-page document carrying an uncompressed 1-page PDF as an attachment, written after
// its own page tree (the attachment's page tree follows its content stream).
inline std::string WithAttachment() {
    PdfFile inner;
    inner.Stream(4, "", PageContent(1));
    inner.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    inner.Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    inner.Object(3, PageObject(1, 4));
    inner.EndRevision();
    PdfFile pdf;
    ThreePages(pdf, "3", " /Names << /EmbeddedFiles << /Names [(inner.pdf) 11 0 R] >> >>");
    pdf.Object(11, "<< /Type /Filespec /F (inner.pdf) /EF << /F 12 0 R >> >>");
    pdf.Stream(12, "/Type /EmbeddedFile /Subtype /application#2Fpdf", inner.text, 13);
    pdf.EndRevision();
    return pdf.text;
}

// A 3-page document whose last page shows PDF syntax as text, in an uncompressed stream.
inline std::string PdfSyntaxAsText() {
    PdfFile pdf;
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.Object(2, "<< /Type /Pages /Kids " + Kids({3, 4, 5}) + " /Count 3 >>");
    const std::string font = " /Resources << /Font << /F1 9 0 R >> >>";
    for (int k = 1; k <= 3; ++k) pdf.Object(2 + k, PageObject(k, 5 + k, font));
    for (int k = 1; k <= 2; ++k) pdf.Stream(5 + k, "", PageContent(k));
    pdf.Stream(8, "",
               "BT /F1 8 Tf 10 100 Td (stream endstream endobj 2 0 obj << /Type /Pages "
               "/Kids [3 0 R] /Count 1 >> endobj) Tj ET");
    pdf.Object(9, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    pdf.EndRevision();
    return pdf.text;
}

// A 3-page document whose root count is written as the given token(s).
inline std::string CountWrittenAs(const std::string& count, const std::string& more = "") {
    PdfFile pdf;
    ThreePages(pdf, count);
    if (!more.empty()) pdf.Object(20, more);
    pdf.EndRevision();
    return pdf.text;
}

// A page tree that disagrees with itself: its root promises 5 pages, its kids are 3.
inline std::string CountPromisesMore() { return CountWrittenAs("5"); }

// The file with its last cross-reference offset pointing nowhere, as a careless edit
// leaves it: a parser that does not repair cannot open it; Ghostscript repairs it.
inline std::string BrokenXref(std::string text) {
    const size_t at = text.rfind("startxref\n");
    const size_t end = text.find('\n', at + 10);
    return text.replace(at + 10, end - at - 10, "99999999");
}

// A document of n pages (objects 3 to n + 2, their contents after them) whose root node
// lists the objects kids and says count; more objects as given.
inline std::string PageTree(int n, const std::vector<int>& kids, int count,
                            const std::map<int, std::string>& more = {}) {
    PdfFile pdf;
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.Object(2,
               "<< /Type /Pages /Kids " + Kids(kids) + " /Count " + std::to_string(count) + " >>");
    for (int k = 1; k <= n; ++k) pdf.Object(2 + k, PageObject(k, 2 + n + k));
    for (int k = 1; k <= n; ++k) pdf.Stream(2 + n + k, "", PageContent(k));
    for (const auto& [object, body] : more) pdf.Object(object, body);
    pdf.EndRevision();
    return pdf.text;
}

// The entry of one object in the (only) cross-reference section moved by the given bytes,
// as a tool that miscounts a line end leaves it.
inline std::string XrefEntryOff(std::string text, int object, int by) {
    const size_t table = text.rfind("\nxref\n");
    const size_t entry = text.find("\n" + std::to_string(object) + " 1\n", table);
    const size_t at = text.find('\n', entry + 1) + 1;
    const long offset = std::stol(text.substr(at, 10)) + by;
    char field[16];
    std::snprintf(field, sizeof field, "%010ld", offset);
    return text.replace(at, 10, field);
}

// Pages in an object stream that a cross-reference stream names, beside a classic table
// that lists them as free and points to the stream (/XRefStm), as office writers save a
// hybrid file; then, by an incremental save, one page more.
inline std::string HybridWithAddedPage(int n) {
    std::string t = "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n";
    std::map<int, size_t> at;
    auto object = [&](int k, const std::string& body) {
        at[k] = t.size();
        t += std::to_string(k) + " 0 obj\n" + body + "\nendobj\n";
    };
    auto stream = [&](int k, const std::string& dict, const std::string& data) {
        object(k, "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" +
                      data + "\nendstream");
    };
    std::vector<int> kids;
    for (int k = 1; k <= n; ++k) kids.push_back(2 + k);
    object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    object(2, "<< /Type /Pages /Kids " + Kids(kids) + " /Count " + std::to_string(n) + " >>");
    for (int k = 1; k <= n; ++k) stream(2 + n + k, "", PageContent(k));
    std::string heads, bodies;
    for (int k = 1; k <= n; ++k) {
        heads += std::to_string(2 + k) + " " + std::to_string(bodies.size()) + " ";
        bodies += PageObject(k, 2 + n + k) + "\n";
    }
    const int objStm = 3 + 2 * n, xrefStm = objStm + 1, size = xrefStm + 1;
    stream(objStm,
           "/Type /ObjStm /N " + std::to_string(n) + " /First " + std::to_string(heads.size()),
           heads + bodies);
    std::string rows;
    for (int k = 0; k < n; ++k)
        rows += std::string{char(2), 0, 0, char(objStm >> 8), char(objStm & 0xFF), 0, char(k)};
    stream(xrefStm,
           "/Type /XRef /Size " + std::to_string(size) + " /W [1 4 2] /Index [3 " +
               std::to_string(n) + "]",
           rows);
    auto entry = [](size_t offset, const char* kind) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu %s \n", offset, kind);
        return std::string(line);
    };
    const size_t table = t.size();
    t += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f \n";
    t += entry(at[1], "00000 n") + entry(at[2], "00000 n");
    for (int k = 1; k <= n; ++k) t += entry(0, "00000 f");
    for (int k = 3 + n; k <= xrefStm; ++k) t += entry(at[k], "00000 n");
    t += "trailer\n<< /Size " + std::to_string(size) + " /Root 1 0 R /XRefStm " +
         std::to_string(at[xrefStm]) + " >>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
    // The page added: its own cross-reference section, pointing back.
    std::map<int, size_t> added;
    kids.push_back(size);
    added[2] = t.size();
    t += "2 0 obj\n<< /Type /Pages /Kids " + Kids(kids) + " /Count " + std::to_string(n + 1) +
         " >>\nendobj\n";
    added[size] = t.size();
    t += std::to_string(size) + " 0 obj\n" + PageObject(n + 1, size + 1) + "\nendobj\n";
    const std::string content = PageContent(n + 1);
    added[size + 1] = t.size();
    t += std::to_string(size + 1) + " 0 obj\n<< /Length " + std::to_string(content.size()) +
         " >>\nstream\n" + content + "\nendstream\nendobj\n";
    const size_t update = t.size();
    t += "xref\n0 1\n0000000000 65535 f \n";
    for (const auto& [k, offset] : added)
        t += std::to_string(k) + " 1\n" + entry(offset, "00000 n");
    t += "trailer\n<< /Size " + std::to_string(size + 2) + " /Root 1 0 R /Prev " +
         std::to_string(table) + " >>\nstartxref\n" + std::to_string(update) + "\n%%EOF\n";
    return t;
}

// A mail message's headers, some 3000 bytes, before the document.
inline std::string MailHeaders() {
    std::string headers;
    for (int i = 0; headers.size() < 2900; ++i)
        headers += "X-Header-" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ": " +
                   std::string(60, 'v') + "\r\n";
    return headers + "\r\n";
}

// Three pages, the first without /Type.
inline std::string UntypedFirstPage() {
    std::string text = Export();
    const std::string typed = "3 0 obj\n<< /Type /Page ";
    const size_t at = text.find(typed);
    // Blanks in place of the type keep every offset of the table true.
    return text.replace(at + 11, 11, std::string(11, ' '));
}

}  // namespace pdfrev
