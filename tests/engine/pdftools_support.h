// Test support for the PDF tools: their option controls beside the fixture's panel, test
// PDFs made at test time, and readers for the results.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fixture.h"
#include "platform/rtl/hex.h"
#include "tests/e2e/e2e_support.h"

namespace vxtest {

// The option groups of the PDF tools, offered to the engine by name.
class ToolOptions : public ControlMaker {
public:
    explicit ToolOptions(TestMainState& state) : state_(state) {
        TGroupBox* g = Make<TGroupBox>(nullptr, "GroupBox_encryption");
        Make<TEdit>(g, "Edit_encryption_password");
        auto* combo = Make<TComboBox>(g, "ComboBox_encryption_type");
        combo->Style = csDropDownList;
        for (const auto& row : EncryptionTypes) combo->Items()->Add(row[0]);
        combo->SetItemIndex(-1);
        for (const char* n : {"CheckBox_encryption_allowsP", "CheckBox_encryption_allowsM",
                              "CheckBox_encryption_allowsC", "CheckBox_encryption_allowsA"})
            Make<TCheckBox>(g, n)->SetChecked(true);
        g = Make<TGroupBox>(nullptr, "GroupBox_watermark");
        Make<TEdit>(g, "Edit_watermark_text");
        Make<TestUpDown>(g, "XcUpDown_watermark_fontsize");
        Make<TestUpDown>(g, "XcUpDown_watermark_opacity");
        g = Make<TGroupBox>(nullptr, "GroupBox_identification");
        Make<TestUpDown>(g, "XcUpDown_ignore_noise");
        Make<TestUpDown>(g, "XcUpDown_skip_border");
        g = Make<TGroupBox>(nullptr, "GroupBox_destination");
        Make<TestUpDown>(g, "XcUpDown_add_border");
        g = Make<TGroupBox>(nullptr, "GroupBox_html");
        Make<TEdit>(g, "Edit_html_title");
        Make<TEdit>(g, "Edit_html_pagetext");
        Make<TestUpDown>(g, "XcUpDown_html_columns")->Position = 1;
        Make<TCheckBox>(g, "CheckBox_html_border");
        for (const auto& [name, c] : All()) state_.Components[name] = c;
    }
    ~ToolOptions() {
        for (const auto& [name, c] : All()) state_.Components.erase(name);
    }

    void SetVisible(const std::string& group, bool visible) {
        Get<TGroupBox>(group)->SetVisible(visible);
    }
    TEdit* EditOf(const std::string& name) { return Get<TEdit>(name); }
    TComboBox* Combo(const std::string& name) { return Get<TComboBox>(name); }
    TCheckBox* Check(const std::string& name) { return Get<TCheckBox>(name); }
    TestUpDown* Counter(const std::string& name) { return Get<TestUpDown>(name); }

private:
    TestMainState& state_;
};

// PostScript of pages with the given sizes, each with a filled box inset by a quarter of
// its width and height, and a line of text.
inline std::string PagesPostScript(const std::vector<std::pair<int, int>>& sizes) {
    std::string ps = "%!PS\n/Helvetica findfont 10 scalefont setfont\n";
    int i = 0;
    for (auto [w, h] : sizes) {
        ++i;
        ps +=
            "<< /PageSize [" + std::to_string(w) + " " + std::to_string(h) + "] >> setpagedevice\n";
        ps += "0 setgray " + std::to_string(w / 4) + " " + std::to_string(h / 4) + " " +
              std::to_string(w / 2) + " " + std::to_string(h / 2) + " rectfill\n";
        ps += std::to_string(w / 4) + " " + std::to_string(h / 4 - 12) + " moveto (Page " +
              std::to_string(i) + ") show showpage\n";
    }
    return ps;
}

// Runs the system's Ghostscript to make a PDF from PostScript text.
inline void MakePdf(const std::string& pdf, const std::string& postScript,
                    const std::string& scratch) {
    const std::string ps = scratch + "make-pdf-source.ps";
    WriteFile(ps, postScript);
    e2e::RunResult r = e2e::Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER",
                                  "-sDEVICE=pdfwrite", "-sOutputFile=" + pdf, ps},
                                 scratch + "make-pdf.txt");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    std::remove(ps.c_str());
}

// A PDF of `pages` pages of 200 x 100 points whose objects (page tree and pages) lie in
// an object stream, so its text shows no "/Count".
inline std::string ObjectStreamPdf(int pages) {
    std::vector<std::string> objs;  // numbered from 1; objects 1 .. pages + 2 go in the stream
    objs.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (int i = 0; i < pages; ++i) kids += std::to_string(3 + i) + " 0 R ";
    objs.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    const int contentBase = 3 + pages + 1;  // after the object stream's own number
    for (int i = 0; i < pages; ++i)
        objs.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents " +
                       std::to_string(contentBase + i) + " 0 R >>");
    const int inStream = int(objs.size());
    std::string header, body;
    for (int i = 0; i < inStream; ++i) {
        header += std::to_string(i + 1) + " " + std::to_string(body.size()) + " ";
        body += objs[size_t(i)] + "\n";
    }
    std::string plain = header + body;
    std::string encoded = HexBytes(plain) + ">";

    std::string pdf = "%PDF-1.5\n";
    std::vector<size_t> offsets(size_t(inStream + 2 + pages + 1), 0);
    const int streamNumber = inStream + 1;
    offsets[size_t(streamNumber)] = pdf.size();
    pdf += std::to_string(streamNumber) + " 0 obj\n<< /Type /ObjStm /N " +
           std::to_string(inStream) + " /First " + std::to_string(header.size()) +
           " /Filter /ASCIIHexDecode /Length " + std::to_string(encoded.size()) + " >>\nstream\n" +
           encoded + "\nendstream\nendobj\n";
    for (int i = 0; i < pages; ++i) {
        const std::string content = "0 0 1 rg 20 20 " + std::to_string(50 + 10 * i) + " 50 re f";
        offsets[size_t(contentBase) + size_t(i)] = pdf.size();
        pdf += std::to_string(contentBase + i) + " 0 obj\n<< /Length " +
               std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream\nendobj\n";
    }
    const int xrefNumber = contentBase + pages;
    const size_t xrefOffset = pdf.size();
    std::string entries;
    auto entry = [&](int type, size_t f2, int f3) {
        entries += char(type);
        for (int s = 24; s >= 0; s -= 8) entries += char((f2 >> s) & 0xFF);
        entries += char((f3 >> 8) & 0xFF);
        entries += char(f3 & 0xFF);
    };
    entry(0, 0, 0xFFFF);
    for (int i = 0; i < inStream; ++i) entry(2, size_t(streamNumber), i);
    entry(1, offsets[size_t(streamNumber)], 0);
    for (int i = 0; i < pages; ++i) entry(1, offsets[size_t(contentBase) + size_t(i)], 0);
    entry(1, xrefOffset, 0);
    pdf += std::to_string(xrefNumber) + " 0 obj\n<< /Type /XRef /Size " +
           std::to_string(xrefNumber + 1) + " /W [1 4 2] /Root 1 0 R /Length " +
           std::to_string(entries.size()) + " >>\nstream\n" + entries +
           "\nendstream\nendobj\nstartxref\n" + std::to_string(xrefOffset) + "\n%%EOF\n";
    return pdf;
}

// The page boxes of a PDF as pdfinfo reports them for every page: "w x h" per page.
inline std::vector<std::string> PdfPageSizes(const std::string& pdf, const std::string& scratch,
                                             const std::string& password = "") {
    std::vector<std::string> args{"pdfinfo", "-f", "1", "-l", "9999"};
    if (!password.empty()) {
        args.push_back("-upw");
        args.push_back(password);
    }
    args.push_back(pdf);
    e2e::RunResult r = e2e::Exec(args, scratch + "pdfinfo-sizes.txt");
    std::vector<std::string> sizes;
    std::istringstream lines(r.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t p = line.find(" size:");
        if (line.compare(0, 5, "Page ") != 0 || p == std::string::npos) continue;
        size_t b = p + 6;
        while (b < line.size() && line[b] == ' ') ++b;
        sizes.push_back(line.substr(b, line.find(" pts", b) - b));
    }
    return sizes;
}

}  // namespace vxtest
