#include "engine/definitions.h"

#include "engine/converters/bmp2ppt.h"
#include "engine/converters/doc2ps.h"
#include "engine/converters/mdb2ps.h"
#include "engine/converters/pdf2bmp.h"
#include "engine/converters/pdf2eps.h"
#include "engine/converters/pdf2htmlPreview.h"
#include "engine/converters/pdf2jpg.h"
#include "engine/converters/pdf2pdf.h"
#include "engine/converters/pdf2ps.h"
#include "engine/converters/pdf2tiff.h"
#include "engine/converters/pdfAutoCrop.h"
#include "engine/converters/pdfEncrypt.h"
#include "engine/converters/pdfMerge.h"
#include "engine/converters/pdfMergeAll.h"
#include "engine/converters/pdfWatermark.h"
#include "engine/converters/ppt2ps.h"
#include "engine/converters/ps2pdf.h"
#include "engine/converters/tiff2ps.h"
#include "engine/converters/xls2ps.h"
#include "platform/rtl/sysutils.h"

TConverterArray Functions;

namespace {

TConverter Divider(const char* title) { return TConverter{"Divider", title, "", {}, ""}; }

using TGroups = std::vector<TOptionName<TOptionKind::GroupBox>>;
using TFixed = std::vector<TOptionName<TOptionKind::RadioButton>>;

TConverter Row(const char* name, const char* title, const char* description,
               std::vector<std::string> inputs, const char* output, TRunner run, TGroups options,
               TFixed fixed = {}) {
    return TConverter{name, title, description,        std::move(inputs), output,
                      run,  false, std::move(options), std::move(fixed)};
}

TConverter ThroughOffice(TConverter row) {
    row.ThroughOffice = true;
    return row;
}

}  // namespace

const TConverterArray& BuildFunctionTable() {
    Functions = {
        Divider("=> PDF"),
        ThroughOffice(Row("doc2pdf", "doc2pdf (Word转为PDF)",
                          "将 Microsoft Word 文档(.doc)转换为 PDF 文件。", {".doc"}, ".pdf",
                          RunDoc2pdf,
                          {"GroupBox_orientation", "GroupBox_optimized", "GroupBox_range",
                           "GroupBox_pagesperside"})),
        ThroughOffice(Row("xls2pdf", "xls2pdf (Excel Sheet转为PDF)",
                          "将 Microsoft Excel Sheet(.xls)转换为 PDF文件。", {".xls"}, ".pdf",
                          RunXls2pdf,
                          {"GroupBox_orientation", "GroupBox_optimized", "GroupBox_sheets"})),
        ThroughOffice(Row("ppt2pdf", "ppt2pdf (PowerPoint转为PDF)",
                          "将 Microsoft PowerPoint 文档(.ppt)转换为 PDF 文件。", {".ppt"}, ".pdf",
                          RunPpt2pdf, {"GroupBox_orientation", "GroupBox_optimized"})),
        ThroughOffice(Row("mdb2pdf", "mdb2pdf (Access转为PDF)",
                          "将 Microsoft Access 数据库(.mdb)转换为 PDF 文件。", {".mdb"}, ".pdf",
                          RunMdb2pdf, {"GroupBox_data", "GroupBox_optimized"})),
        Row("ps2pdf", "ps2pdf (PostScript转为PDF)",
            "将 PostScript 文件(.ps)转换为 PDF 文件 ( Distiller 模式)。", {".ps"}, ".pdf",
            RunPs2pdf, {"GroupBox_optimized", "GroupBox_papersize"}),
        ThroughOffice(Row("tiff2pdf", "tiff2pdf (TIFF转为PDF)",
                          "将 TIFF 图像(.tif)转换为 PDF 文件。", {".tif", ".tiff"}, ".pdf",
                          RunTiff2pdf, {"GroupBox_papersize", "GroupBox_optimized"})),
        Divider("PDF => "),
        Row("pdf2jpg", "pdf2jpg (PDF转为JPEG)", "将 PDF 文件转换为 JPEG 图像(.jpg)。", {".pdf"},
            ".jpg", RunPdf2jpg, {"GroupBox_quality", "GroupBox_resolution"}),
        Row("pdf2bmp", "pdf2bmp (PDF转为BMP)", "将 PDF 文件转换为位图图像。", {".pdf"}, ".bmp",
            RunPdf2bmp, {"GroupBox_resolution", "GroupBox_colordepth"}),
        Row("pdf2tiff", "pdf2tiff (PDF转为TIFF)", "将 PDF 文件转换为 TIFF 图像(.tif)。", {".pdf"},
            ".tiff", RunPdf2tiff, {"GroupBox_resolution", "GroupBox_layer"}),
        Row("pdf2eps", "pdf2eps (PDF转为EPS)", "将 PDF 文件转换为 Encapsulated PostScript(.eps)。",
            {".pdf"}, ".eps", RunPdf2eps, {"GroupBox_resolution"}),
        ThroughOffice(Row("pdf2ppt", "pdf2ppt (PDF转为PPT)",
                          "将 PDF 文件转换为 Microsoft PowerPoint 文档(.ppt)。", {".pdf"}, ".ppt",
                          RunPdf2ppt,
                          {"GroupBox_orientation", "GroupBox_resolution", "GroupBox_colordepth"})),
        Row("pdf2pdf", "pdf2pdf (PDF转为PDF)", "减小 PDF 文件大小和品质。", {".pdf"}, ".pdf",
            RunPdf2pdf, {"GroupBox_reduction"}),
        Row("pdf2ps", "pdf2ps (PDF转为PS)", "将 PDF 文件转换为 PostScript 文件 (.ps)。", {".pdf"},
            ".ps", RunPdf2ps, {}),
        Row("pdf2htmlPreview", "pdf2htmlPreview (PDF转为HTML-预览)",
            "将 PDF 转换为几个 PDF 文件并生成 HTML 文件以 JPG 缩略图来预览。", {".pdf"}, ".html",
            RunPdf2htmlPreview, {"GroupBox_html", "GroupBox_optimized"}),
        Divider("其他的功能"),
        Row("pdfMerge", "pdfMerge (合并 PDF)", "重排 PDF 或合并两个 PDF 文件。", {".pdf"}, ".pdf",
            RunPdfMerge, {"GroupBox_merge"}),
        Row("pdfMergeAll", "pdfMergeAll (合并所有的 PDF)", "合并所有的 PDF 到一个PDF。", {".pdf"},
            ".pdf", RunPdfMergeAll, {"GroupBox_mergeAll"}),
        Row("pdfAutoCrop", "pdfAutoCrop (裁剪 PDF)",
            "自动裁剪 PDF 文件，如: 删除空白区域(空白区)。", {".pdf"}, ".pdf", RunPdfAutoCrop,
            // The cropper renders page 1 at 72 dpi in black and white.
            {"GroupBox_identification", "GroupBox_destination"},
            {"RadioButton_resolution72", "RadioButton_colordepth1"}),
        Row("pdfWatermark", "pdfWatermark (给PDF添加水印)", "添加水印到 PDF 文件中。", {".pdf"},
            ".pdf", RunPdfWatermark, {"GroupBox_watermark"}),
        Row("pdfEncrypt", "pdfEncrypt (加密 PDF)", "以 128 位长的密钥加密一个 PDF 文件。", {".pdf"},
            ".pdf", RunPdfEncrypt, {"GroupBox_encryption"}),
    };
    return Functions;
}

bool ExtInList(const std::string& ext, const std::vector<std::string>& extensions) {
    const std::string lower = LowerCase(ext);
    for (const std::string& e : extensions)
        if (e == lower) return true;
    return false;
}
