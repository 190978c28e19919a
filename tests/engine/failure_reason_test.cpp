// Failure reasons: the stated line of real error outputs, our sentences for the common
// failures, and office failures without the office's internal texts.
#include <gtest/gtest.h>

#include "engine/failureReason.h"

TEST(FailureReason, TheLineThatStatesTheError) {
    struct Row {
        std::string output, line;
    } rows[] = {
        // A PDF that needs a password: the banner line says nothing.
        {"GPL Ghostscript 10.00.0: \n   **** This file requires a password for access.\n"
         "**** Error: Couldn't initialise file.\ngswin32c: Ghostscript did not complete the job\n",
         "This file requires a password for access."},
        // Our console program's summary comes first; Ghostscript's line says more.
        {"gswin32c: Ghostscript ended with exit code 255\nUnrecoverable error: rangecheck in "
         "setscreen\n"
         "Operand stack:\n    0.06  0\n",
         "Unrecoverable error: rangecheck in setscreen"},
        {"Catalog dictionary not located in file, unable to proceed\n\n   **** This file had "
         "errors\n",
         "Catalog dictionary not located in file, unable to proceed"},
        {"\n\ngswin32c: Ghostscript ended with exit code 1\n",
         "gswin32c: Ghostscript ended with exit code 1"},
        {"GPL Ghostscript 10.00.0:\n", ""},
        // Ghostscript's last line is a summary; the statement relayed after it says more.
        {"GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1\nError: /undefined in "
         "this_is_undefined\n",
         "Error: /undefined in this_is_undefined"},
        {"GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1\n",
         "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1"},
        {"", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(StatedErrorLine(r.output), r.line) << r.output;
}

TEST(FailureReason, CommonFailuresInOurWords) {
    struct Row {
        std::string text, sentence;
    } rows[] = {
        {"This file requires a password for access.", "该文件受密码保护，需要密码才能打开。"},
        {"Unrecoverable error: rangecheck in setscreen",
         "所选的分辨率超出了可以处理的范围，请选择其他分辨率。"},
        {"Unrecoverable error: rangecheck in .putdeviceprops",
         "所选的分辨率超出了可以处理的范围，请选择其他分辨率。"},
        {"Catalog dictionary not located in file, unable to proceed",
         "文件已损坏，或不是可以转换的文件。"},
        {"Error: Couldn't initialise file.", "文件已损坏，或不是可以转换的文件。"},
        {"write failed: No space left on device", "磁盘空间不足，无法写入结果。"},
        {"Unrecoverable error: undefined in foo",
         "PostScript 程序出错: 未定义的名称 (undefined), 出错的操作符: foo。"},
        {"Error: /typecheck in --add--",
         "PostScript 程序出错: 操作数类型错误 (typecheck), 出错的操作符: --add--。"},
        {"Error: /madeup in bar", "PostScript 程序出错: madeup, 出错的操作符: bar。"},
        {"Error: /invalidfileaccess in --file--\nLast OS error: Permission denied",
         "PostScript 程序要读写一个不允许它访问的文件 (invalidfileaccess, 操作符 --file--)。"},
        {"Error: /undefinedfilename in (/d/a.ps)\nLast OS error: Permission denied",
         "没有读取文件 \"/d/a.ps\" 的权限。"},
        {"Error: /undefinedfilename in (/d/a.ps)\nLast OS error: No such file or directory",
         "找不到文件 \"/d/a.ps\"。"},
        {"gswin32c: the job output no page", "文件中没有可以输出的页面 (没有页面)。"},
        {"the document is password-protected", "该文件受密码保护，需要密码才能打开。"},
        {"", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(FailureInOurWords(r.text), r.sentence) << r.text;
}

TEST(FailureReason, OfficeFailuresWithoutTheOfficesInternals) {
    struct Row {
        std::string message, shown;
    } rows[] = {
        {"the document cannot be opened: /d/报告.doc (not a document of this kind)",
         "无法打开文档 /d/报告.doc\n文件已损坏，或不是可以转换的文件。"},
        {"the document cannot be opened: /d/a.doc (the file is empty)",
         "无法打开文档 /d/a.doc\n文件已损坏，或不是可以转换的文件。"},
        {"the document cannot be opened: /d/a.doc (password required)",
         "无法打开文档 /d/a.doc\n该文件受密码保护，需要密码才能打开。"},
        {"file not found: /d/a.doc", "找不到文件 /d/a.doc"},
        {"SfxBaseModel::impl_store <file:///d/a.pdf> failed: 0x507(Error Area:Io Class:Access "
         "Code:7)",
         "办公程序无法完成转换。\n没有读写该文件或文件夹的权限。"},
        {"SfxBaseModel::impl_store <file:///d/a.pdf> failed: 0xc10(Error Area:Io Class:Write "
         "Code:16)",
         "办公程序无法完成转换。"},
        {"办公程序意外退出: Traceback (most recent call last):\n  File \"bridge.py\", line "
         "3\nUnicodeDecodeError",
         "办公程序意外退出"},
        // Messages of ours stay whole, their file names included.
        {"无法写入打印文件: /d/x.ps", "无法写入打印文件: /d/x.ps"},
        {"Microsoft Access 找不到对象 'Sales'。", "Microsoft Access 找不到对象 'Sales'。"},
        {"打印作业失败 (gs 1): Unrecoverable error: rangecheck in setscreen",
         "打印作业失败 (gs 1): Unrecoverable error: rangecheck in "
         "setscreen\n所选的分辨率超出了可以处理的范围，请选择其他分辨率。"},
    };
    for (const Row& r : rows) EXPECT_EQ(OfficeFailureInOurWords(r.message), r.shown) << r.message;
}
