// The platform's open-file dialog speaks the program's language (Chinese) and shows the
// sizes of its files whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "platform/vcl/windowSystem.h"

TEST(FileDialog, SpeaksChineseAndShowsWholeSizes) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "vx 文件对话框";
    fs::create_directories(dir);
    // Sizes in KiB and MiB, under long and short names.
    std::ofstream(dir / "报告.pdf") << std::string(44'500, 'x');
    std::ofstream(dir / "a.pdf") << std::string(1'234'567, 'x');
    const auto look =
        ws::ProbeOpenFileDialog("打开", dir.string(), "PDF 文件 (*.pdf)|*.pdf",
                                (fs::temp_directory_path() / "vx_file_dialog.png").string());
    std::string all;
    for (const std::string& t : look.texts) all += t + "\n";
    for (const char* english : {"Look in", "File name", "Files of type", "Open", "Cancel"})
        EXPECT_EQ(all.find(english), std::string::npos) << english << " in\n" << all;
    for (const char* chinese : {"打开", "取消", "文件名", "文件类型"})
        EXPECT_NE(all.find(chinese), std::string::npos) << chinese << " not in\n" << all;
    EXPECT_TRUE(look.columnsFit);
    fs::remove_all(dir);
}

// The file list names sizes, types and dates as a Chinese system does, and a dialog without
// a title of its own is called "打开", never after the program's file.
TEST(FileDialog, ListsSizesTypesAndDatesInChinese) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "vx 文件列表";
    fs::remove_all(dir);
    fs::create_directories(dir / "子文件夹");
    std::ofstream(dir / "报告.pdf") << std::string(44'500, 'x');
    std::ofstream(dir / "a.pdf") << std::string(1'234'567, 'x');
    std::ofstream(dir / "b.pdf");
    const auto look =
        ws::ProbeOpenFileDialog("", dir.string(), "PDF 文件 (*.pdf)|*.pdf",
                                (fs::temp_directory_path() / "vx_file_dialog_list.png").string());
    EXPECT_EQ(look.title, "打开");
    std::string all;
    for (const std::string& t : look.cells) all += t + "\n";
    for (const char* english :
         {"Folder", "KiB", "MiB", "bytes", "File", "Name", "Size", "Type", "Date", "Jan", "Dec"})
        EXPECT_EQ(all.find(english), std::string::npos) << english << " in\n" << all;
    // 44,500 bytes are 44 KB rounded up; 1,234,567 bytes 1,206 KB; an empty file 0 KB.
    for (const char* chinese : {"名称", "大小", "类型", "修改日期", "子文件夹", "文件夹",
                                "PDF 文件", "44 KB", "1,206 KB", "0 KB"})
        EXPECT_NE(all.find(chinese), std::string::npos) << chinese << " not in\n" << all;
    const std::string year = std::to_string(1900 + [] {
        const std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        return t.tm_year;
    }());
    EXPECT_NE(all.find(year + "/"), std::string::npos) << all;
    fs::remove_all(dir);
}

// The file types show as the program names them ("*.tif;*.tiff" joined with ";", as on
// Windows), and each offers the files of every one of its patterns.
TEST(FileDialog, FileTypesShowAsGivenAndOfferEachPattern) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "vx 文件类型";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name : {"a.tif", "b.tiff", "c.pdf"}) std::ofstream(dir / name) << "x";
    const auto look = ws::ProbeOpenFileDialog(
        "", dir.string(), "源格式文件 (*.tif;*.tiff)|*.tif;*.tiff|PDF|*.pdf", "");
    EXPECT_EQ(look.filters, (std::vector<std::string>{"源格式文件 (*.tif;*.tiff)", "PDF"}));
    auto listed = [&](const char* name) {
        return std::find(look.cells.begin(), look.cells.end(), name) != look.cells.end();
    };
    EXPECT_TRUE(listed("a.tif"));
    EXPECT_TRUE(listed("b.tiff"));
    EXPECT_FALSE(listed("c.pdf"));
    fs::remove_all(dir);
}
