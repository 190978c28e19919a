// The platform's open-file dialog speaks the program's language (Chinese) and shows the
// sizes of its files whole.
#include <gtest/gtest.h>

#include <algorithm>
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
