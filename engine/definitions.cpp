#include "engine/definitions.h"

#include "platform/rtl/sysutils.h"

TConverterArray Functions;

namespace {

TConverter Divider(const char* title) { return TConverter{"Divider", title, "", {}, ""}; }

TConverter Row(const char* name, const char* title, const char* description,
               std::vector<std::string> inputs, const char* output) {
    return TConverter{name, title, description, std::move(inputs), output};
}

}  // namespace

const TConverterArray& BuildFunctionTable() {
    Functions = {
        Divider("=> PDF"),
        Row("doc2pdf", "doc2pdf (Word转为PDF)",
            "将 Microsoft Word 文档(.doc)转换为 PDF 文件。", {".doc"}, ".pdf"),
        Row("xls2pdf", "xls2pdf (Excel Sheet转为PDF)",
            "将 Microsoft Excel Sheet(.xls)转换为 PDF文件。", {".xls"}, ".pdf"),
        Row("ppt2pdf", "ppt2pdf (PowerPoint转为PDF)",
            "将 Microsoft PowerPoint 文档(.ppt)转换为 PDF 文件。", {".ppt"}, ".pdf"),
        Row("mdb2pdf", "mdb2pdf (Access转为PDF)",
            "将 Microsoft Access 数据库(.mdb)转换为 PDF 文件。", {".mdb"}, ".pdf"),
        Row("ps2pdf", "ps2pdf (PostScript转为PDF)",
            "将 PostScript 文件(.ps)转换为 PDF 文件 ( Distiller 模式)。", {".ps"}, ".pdf"),
        Row("tiff2pdf", "tiff2pdf (TIFF转为PDF)",
            "将 TIFF 图像(.tif)转换为 PDF 文件。", {".tif", ".tiff"}, ".pdf"),
        Divider("PDF => "),
        Row("pdf2jpg", "pdf2jpg (PDF转为JPEG)",
            "将 PDF 文件转换为 JPEG 图像(.jpg)。", {".pdf"}, ".jpg"),
        Row("pdf2bmp", "pdf2bmp (PDF转为BMP)",
            "将 PDF 文件转换为位图图像。", {".pdf"}, ".bmp"),
        Row("pdf2tiff", "pdf2tiff (PDF转为TIFF)",
            "将 PDF 文件转换为 TIFF 图像(.tif)。", {".pdf"}, ".tiff"),
        Row("pdf2eps", "pdf2eps (PDF转为EPS)",
            "将 PDF 文件转换为 Encapsulated PostScript(.eps)。", {".pdf"}, ".eps"),
        Row("pdf2ppt", "pdf2ppt (PDF转为PPT)",
            "将 PDF 文件转换为 Microsoft PowerPoint 文档(.ppt)。", {".pdf"}, ".ppt"),
        Row("pdf2pdf", "pdf2pdf (PDF转为PDF)",
            "减小 PDF 文件大小和品质。", {".pdf"}, ".pdf"),
        Row("pdf2ps", "pdf2ps (PDF转为PS)",
            "将 PDF 文件转换为 PostScript 文件 (.ps)。", {".pdf"}, ".ps"),
        Row("pdf2htmlPreview", "pdf2htmlPreview (PDF转为HTML-预览)",
            "将 PDF 转换为几个 PDF 文件并生成 HTML 文件以 JPG 缩略图来预览。", {".pdf"}, ".html"),
        Divider("其他的功能"),
        Row("pdfMerge", "pdfMerge (合并 PDF)",
            "重排 PDF 或合并两个 PDF 文件。", {".pdf"}, ".pdf"),
        Row("pdfMergeAll", "pdfMergeAll (合并所有的 PDF)",
            "合并所有的 PDF 到一个PDF。", {".pdf"}, ".pdf"),
        Row("pdfAutoCrop", "pdfAutoCrop (裁剪 PDF)",
            "自动裁剪 PDF 文件，如: 删除空白区域(空白区)。", {".pdf"}, ".pdf"),
        Row("pdfWatermark", "pdfWatermark (给PDF添加水印)",
            "添加水印到 PDF 文件中。", {".pdf"}, ".pdf"),
        Row("pdfEncrypt", "pdfEncrypt (加密 PDF)",
            "以 128 位长的密钥加密一个 PDF 文件。", {".pdf"}, ".pdf"),
    };
    return Functions;
}

bool ExtInList(const std::string& ext, const std::vector<std::string>& extensions) {
    const std::string lower = LowerCase(ext);
    for (const std::string& e : extensions)
        if (e == lower) return true;
    return false;
}
