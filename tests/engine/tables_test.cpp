// The function table, the paper and security tables, and the extension test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

#include "engine/constants.h"
#include "engine/definitions.h"

namespace {

const TConverter& Row(const std::string& name) {
    for (const TConverter& c : Functions)
        if (c.Name == name) return c;
    throw std::runtime_error("no row " + name);
}

class FunctionTable : public ::testing::Test {
protected:
    void SetUp() override { BuildFunctionTable(); }
};

TEST_F(FunctionTable, HasTheRowsInOrder) {
    const std::vector<std::string> names = {
        "Divider",     "doc2pdf",     "xls2pdf",      "ppt2pdf",         "mdb2pdf",  "ps2pdf",
        "tiff2pdf",    "Divider",     "pdf2jpg",      "pdf2bmp",         "pdf2tiff", "pdf2eps",
        "pdf2ppt",     "pdf2pdf",     "pdf2ps",       "pdf2htmlPreview", "Divider",  "pdfMerge",
        "pdfMergeAll", "pdfAutoCrop", "pdfWatermark", "pdfEncrypt"};
    ASSERT_EQ(Functions.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(Functions[i].Name, names[i]) << "row " << i;
}

TEST_F(FunctionTable, BuildReturnsTheGlobalAndRebuildsWhole) {
    const TConverterArray& t = BuildFunctionTable();
    EXPECT_EQ(&t, &Functions);
    Functions.clear();
    Functions = BuildFunctionTable();  // the main window assigns the result to the global
    EXPECT_EQ(Functions.size(), 22u);
}

TEST_F(FunctionTable, DividersFillOnlyNameAndTitle) {
    const std::pair<size_t, std::string> dividers[] = {
        {0, "=> PDF"}, {7, "PDF => "}, {16, "其他的功能"}};
    for (const auto& [i, title] : dividers) {
        const TConverter& c = Functions[i];
        EXPECT_EQ(c.Name, "Divider");
        EXPECT_EQ(c.Title, title);
        EXPECT_TRUE(c.Description.empty());
        EXPECT_TRUE(c.InputExtensions.empty());
        EXPECT_TRUE(c.OutputExtension.empty());
    }
}

TEST_F(FunctionTable, TitlesBeginWithTheName) {
    // The command line picks the first row whose title begins with its value.
    for (const TConverter& c : Functions) {
        if (c.Name == "Divider") continue;
        EXPECT_EQ(c.Title.rfind(c.Name + " (", 0), 0u) << c.Title;
        EXPECT_EQ(c.Title.back(), ')') << c.Title;
        EXPECT_FALSE(c.Description.empty()) << c.Name;
    }
    EXPECT_EQ(Row("pdf2htmlPreview").Title, "pdf2htmlPreview (PDF转为HTML-预览)");
    EXPECT_EQ(Row("xls2pdf").Title, "xls2pdf (Excel Sheet转为PDF)");
    EXPECT_EQ(Row("pdfWatermark").Title, "pdfWatermark (给PDF添加水印)");
}

TEST_F(FunctionTable, DescriptionsAreExact) {
    EXPECT_EQ(Row("xls2pdf").Description, "将 Microsoft Excel Sheet(.xls)转换为 PDF文件。");
    EXPECT_EQ(Row("ps2pdf").Description,
              "将 PostScript 文件(.ps)转换为 PDF 文件 ( Distiller 模式)。");
    EXPECT_EQ(Row("pdfAutoCrop").Description, "自动裁剪 PDF 文件，如: 删除空白区域(空白区)。");
    EXPECT_EQ(Row("pdfEncrypt").Description, "以 128 位长的密钥加密一个 PDF 文件。");
    EXPECT_EQ(Row("pdf2htmlPreview").Description,
              "将 PDF 转换为几个 PDF 文件并生成 HTML 文件以 JPG 缩略图来预览。");
}

TEST_F(FunctionTable, ExtensionsPerFunction) {
    const std::map<std::string, std::pair<std::vector<std::string>, std::string>> expected = {
        {"doc2pdf", {{".doc"}, ".pdf"}},     {"xls2pdf", {{".xls"}, ".pdf"}},
        {"ppt2pdf", {{".ppt"}, ".pdf"}},     {"mdb2pdf", {{".mdb"}, ".pdf"}},
        {"ps2pdf", {{".ps"}, ".pdf"}},       {"tiff2pdf", {{".tif", ".tiff"}, ".pdf"}},
        {"pdf2jpg", {{".pdf"}, ".jpg"}},     {"pdf2bmp", {{".pdf"}, ".bmp"}},
        {"pdf2tiff", {{".pdf"}, ".tiff"}},   {"pdf2eps", {{".pdf"}, ".eps"}},
        {"pdf2ppt", {{".pdf"}, ".ppt"}},     {"pdf2pdf", {{".pdf"}, ".pdf"}},
        {"pdf2ps", {{".pdf"}, ".ps"}},       {"pdf2htmlPreview", {{".pdf"}, ".html"}},
        {"pdfMerge", {{".pdf"}, ".pdf"}},    {"pdfMergeAll", {{".pdf"}, ".pdf"}},
        {"pdfAutoCrop", {{".pdf"}, ".pdf"}}, {"pdfWatermark", {{".pdf"}, ".pdf"}},
        {"pdfEncrypt", {{".pdf"}, ".pdf"}}};
    for (const auto& [name, ext] : expected) {
        EXPECT_EQ(Row(name).InputExtensions, ext.first) << name;
        EXPECT_EQ(Row(name).OutputExtension, ext.second) << name;
    }
}

TEST_F(FunctionTable, ExtInListLowerCasesTheExtensionOnly) {
    const auto& doc = Row("doc2pdf").InputExtensions;
    EXPECT_TRUE(ExtInList(".doc", doc));
    EXPECT_TRUE(ExtInList(".DOC", doc));
    EXPECT_TRUE(ExtInList(".Doc", doc));
    EXPECT_FALSE(ExtInList("doc", doc));
    EXPECT_FALSE(ExtInList(".docx", doc));
    EXPECT_FALSE(ExtInList(".do", doc));
    EXPECT_FALSE(ExtInList("", doc));
    EXPECT_FALSE(ExtInList(".doc ", doc));
    // The entries are compared as they are: an upper-case entry never matches.
    EXPECT_FALSE(ExtInList(".DOC", {".DOC"}));
}

TEST_F(FunctionTable, TiffAcceptsBothSpellings) {
    const auto& tiff = Row("tiff2pdf").InputExtensions;
    EXPECT_TRUE(ExtInList(".tif", tiff));
    EXPECT_TRUE(ExtInList(".tiff", tiff));
    EXPECT_TRUE(ExtInList(".TIFF", tiff));
    EXPECT_FALSE(ExtInList(".tifff", tiff));
    EXPECT_EQ(Row("pdf2tiff").OutputExtension, ".tiff");
}

TEST_F(FunctionTable, DividersAcceptNothing) {
    for (size_t i : {0u, 7u, 16u}) {
        for (const char* ext : {"", ".", ".pdf", ".doc", "Divider"})
            EXPECT_FALSE(ExtInList(ext, Functions[i].InputExtensions)) << i << " " << ext;
    }
}

TEST(PaperSizes, RowsAndColumns) {
    ASSERT_EQ(PaperSizes.size(), 34u);
    const std::array<std::string, 5> first = {"11x17", "11x17", "11.0/17.0", "279/432", "792/1224"};
    const std::array<std::string, 5> a4 = {"A4", "a4", "8.3/11.7", "210/297", "595/842"};
    const std::array<std::string, 5> last = {"C6", "c6", "4.5/6.4", "114/162", "323/459"};
    EXPECT_EQ(PaperSizes[0], first);
    EXPECT_EQ(PaperSizes[13], a4);
    EXPECT_EQ(PaperSizes[33], last);
    EXPECT_EQ(PaperSizes[20][1], "isob0");
    EXPECT_EQ(PaperSizes[4][1], "archE");
    EXPECT_EQ(PaperSizes[19][4], "73/105");
}

TEST(PaperSizes, ComboEntryFifteenIsA4) {
    // Two fixed entries (default, user-defined) come before the table.
    const int entry = 15;
    EXPECT_EQ(PaperSizes[entry - 2][1], "a4");
}

TEST(PaperSizes, SizeColumnsAgree) {
    // Every row's three size columns describe the same sheet (within their rounding).
    std::set<std::string> shown, gs;
    for (const auto& row : PaperSizes) {
        double v[3][2];
        for (int c = 0; c < 3; ++c) {
            const std::string& cell = row[size_t(c) + 2];
            size_t slash = cell.find('/');
            ASSERT_NE(slash, std::string::npos) << cell;
            v[c][0] = std::atof(cell.substr(0, slash).c_str());
            v[c][1] = std::atof(cell.substr(slash + 1).c_str());
        }
        for (int k = 0; k < 2; ++k) {
            EXPECT_NEAR(v[1][k], v[0][k] * 25.4, 1.5) << row[0];
            EXPECT_NEAR(v[2][k], v[1][k] * 72 / 25.4, 1.5) << row[0];
        }
        EXPECT_TRUE(shown.insert(row[0]).second) << row[0];
        EXPECT_TRUE(gs.insert(row[1]).second) << row[1];
    }
}

TEST(EncryptionTypes, Presets) {
    ASSERT_EQ(EncryptionTypes.size(), 2u);
    const std::array<std::string, 4> standard = {"Standard", "1.2", "2", "40"};
    const std::array<std::string, 4> tighten = {"Tighten", "1.4", "3", "128"};
    EXPECT_EQ(EncryptionTypes[0], standard);
    EXPECT_EQ(EncryptionTypes[1], tighten);
}

}  // namespace
