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
        // Warnings and progress come before the error; the error says why.
        {"   **** Warning: Destination page 4 lies outside the valid page range.\n"
         "   **** Error: Page drawing error occurred.\n",
         "Error: Page drawing error occurred."},
        {"Destination page 4 lies outside the valid page range.\nPage 1\nPage 2\n"
         "Page drawing error occurred.\n",
         "Page drawing error occurred."},
        {"Substituting font Helvetica for Arial.\nLoading NimbusSans-Regular font from "
         "/usr/share/fonts/n.t1... 4244908 2831931 done.\nError: /undefined in foo\n",
         "Error: /undefined in foo"},
        // A line that says what happened, though not in the words of an error.
        {"Page 1\nThe document has no catalog\n", "The document has no catalog"},
        // Text the job wrote to the error output before the error Ghostscript states.
        {"requires a password Permission denied\nGPL Ghostscript 10.00.0: Unrecoverable error, "
         "exit code 1\nError: /undefined in foo\n",
         "Error: /undefined in foo"},
        // The statement the console program says Ghostscript ended the job with, the last
        // one, outweighs every statement printed before it.
        {"Error: /undefined in fakeop\nGPL Ghostscript 10.00.0: Unrecoverable error, exit code "
         "1\ngswin32c: Ghostscript ended the job with Error: /undefinedresult in --div--\n",
         "Error: /undefinedresult in --div--"},
        {"gswin32c: Ghostscript ended the job with Error: /undefined in printed\n"
         "gswin32c: Ghostscript ended the job with Error: /typecheck in --add--\n",
         "Error: /typecheck in --add--"},
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
        // A name the program read is a word of its file: never quoted.
        {"Unrecoverable error: undefined in foo",
         "PostScript 程序出错: 未定义的名称 (undefined)。"},
        {"Error: /typecheck in --add--",
         "PostScript 程序出错: 操作数类型错误 (typecheck), 出错的操作符: --add--。"},
        {"Error: /madeup in bar", "PostScript 程序出错: madeup。"},
        {"Error: /invalidfileaccess in --file--\nLast OS error: Permission denied",
         "PostScript 程序要读写一个不允许它访问的文件 (invalidfileaccess, 操作符 --file--)。"},
        // A file that no name given names: one the program read names.
        {"Error: /undefinedfilename in (/d/a.ps)\nLast OS error: Permission denied",
         "PostScript 程序要读取的文件不允许读取。"},
        {"Error: /undefinedfilename in (/d/a.ps)\nLast OS error: No such file or directory",
         "PostScript 程序要读取的文件不存在。"},
        {"gswin32c: the job output no page", "文件中没有可以输出的页面 (没有页面)。"},
        {"the document is password-protected", "该文件受密码保护，需要密码才能打开。"},
        // An output file that cannot be made; a name longer than a name may be says so.
        {"GPL Ghostscript 10.00.0: **** Could not open the file '/t/" + std::string(250, 'n') +
             "_p0001.pdf' .\n**** Unable to open the initial device, quitting.\n",
         "无法写入文件 \"" + std::string(250, 'n') + "_p0001.pdf\"。文件名或扩展名太长。"},
        {"**** Could not open the file /t/a_p0001.jpg\n", "无法写入文件 \"a_p0001.jpg\"。"},
        // A file that is no PDF, read as PostScript: its bytes are no operator.
        {"Error: /undefined in \xff\xd8\xff\xe0",
         "该文件不是 PDF 文件 (也不是 PostScript 文件)，无法转换。"},
        {"Error: /undefined in \x01\x02",
         "该文件不是 PDF 文件 (也不是 PostScript 文件)，无法转换。"},
        {"Error: /syntaxerror in (binary token, type=137)",
         "该文件不是 PDF 文件 (也不是 PostScript 文件)，无法转换。"},
        // A page no device can be made for.
        {"Error: /undefined in --runpdf--\nAdditional information: [/PageSize [0 0]]\n"
         "Operand stack:\n   false   (   **** Error: PDF interpreter encountered an error.\\n)\n",
         "文件中页面的大小无效 ([0 0])，无法处理。"},
        {"Error: /undefined in --runpdf--\nAdditional information: [/PageSize [1e+09 1e+09]]",
         "文件中页面的大小无效 ([1e+09 1e+09])，无法处理。"},
        {"", ""},
        // Ghostscript's English without a sentence of ours before.
        {"   **** Error: Couldn't get page info.\n",
         "无法读取文件中页面的信息 (页面树已损坏或层次过深)，无法转换。"},
        {"couldn't repair PDF file\n", "文件已损坏，无法修复。"},
        {"   **** Error: Page drawing error occurred.\n", PageDrawingFailedInOurWords()},
        {"gswin32c: Ghostscript ended with exit code 139\n",
         "Ghostscript 在处理文件时意外终止 (信号 11)，文件的结构可能过于复杂或已损坏。"},
        {"gswin32c: Ghostscript ended with exit code 1\n",
         "Ghostscript 出错结束 (退出代码 1)，没有说明原因。"},
        {"gswin32c: Ghostscript ended with exit code 1\nCommand too long: -sOutputFile=/d/x.pdf\n",
         "路径太长，Ghostscript 无法使用 (一个参数最多 2048 字节): \"/d/x.pdf\"。"},
    };
    for (const Row& r : rows) EXPECT_EQ(FailureInOurWords(r.text), r.sentence) << r.text;
}

TEST(FailureReason, OfficeFailuresWithoutTheOfficesInternals) {
    struct Row {
        std::string message, shown;
    } rows[] = {
        {"the document cannot be opened: /d/报告.doc (not a document of this kind)",
         "无法打开文档 \"/d/报告.doc\"。\n文件已损坏，或不是可以转换的文件。"},
        {"the document cannot be opened: /d/a.doc (the file is empty)",
         "无法打开文档 \"/d/a.doc\"。\n文件已损坏，或不是可以转换的文件。"},
        {"the document cannot be opened: /d/a.doc (password required)",
         "无法打开文档 \"/d/a.doc\"。\n该文件受密码保护，需要密码才能打开。"},
        {"the document cannot be opened: /d/a.doc (permission denied)",
         "无法打开文档 \"/d/a.doc\"。\n没有读取该文件的权限。"},
        // The name says nothing of why.
        {"the document cannot be opened: /d/password protected (old).doc (general error)",
         "无法打开文档 \"/d/password protected (old).doc\"。\n文件已损坏，或不是可以转换的文件。"},
        {"the document cannot be opened: /d/no space left on device.doc",
         "无法打开文档 \"/d/no space left on device.doc\"。\n文件已损坏，或不是可以转换的文件。"},
        {"SfxBaseModel::impl_store <file:///d/password%20protected.pdf> failed: 0xc10(Error "
         "Area:Io Class:Write Code:16)",
         "办公程序无法完成转换。"},
        {"file not found: /d/a.doc", "找不到文件 \"/d/a.doc\"。"},
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

TEST(FailureReason, NamesOfFilesAreNotReadAsTheCause) {
    struct Row {
        std::string text;
        std::vector<std::string> names;
        std::string sentence;
    } rows[] = {
        // A damaged member of a merge whose name speaks of passwords.
        {"Catalog dictionary not located in file, unable to proceed\ngswin32c: the error is in "
         "the input file /d/How to open password protected files.pdf\n",
         {},
         "文件已损坏，或不是可以转换的文件。"},
        {"**** Error: Page drawing error occurred.\n/d/How to open password protected files.pdf\n",
         {"/d/How to open password protected files.pdf"},
         PageDrawingFailedInOurWords()},
        // A missing file whose name speaks of passwords.
        {"Error: /undefinedfilename in (/d/password protected missing.pdf)\nLast OS error: No "
         "such file or directory\n",
         {"/d/password protected missing.pdf"},
         "找不到文件 \"/d/password protected missing.pdf\"。"},
        // Names given without their folder, quoted, or as the file Ghostscript could not open.
        {"Error: /syntaxerror in --token--\nwhile reading 'no space left on device.ps'\n",
         {},
         "文件已损坏，或不是可以转换的文件。"},
        {"Error: /rangecheck in --get--\nfile: corrupt wrong password.ps\n",
         {"/d/corrupt wrong password.ps"},
         "PostScript 程序出错: 操作数超出范围 (rangecheck), 出错的操作符: --get--。"},
        {"**** Could not open the file /d/damaged password-protected_p0001.jpg .\n",
         {},
         "无法写入文件 \"damaged password-protected_p0001.jpg\"。"},
        // The words of Ghostscript itself still count.
        {"   **** This file requires a password for access.\n",
         {"/d/a.pdf"},
         "该文件受密码保护，需要密码才能打开。"},
        {"Couldn't initialise file.\n", {"/d/a.pdf"}, "文件已损坏，或不是可以转换的文件。"},
        // A file the job was given is named.
        {"Error: /undefinedfilename in (/d/a.ps)\nLast OS error: Permission denied",
         {"/d/a.ps"},
         "没有读取文件 \"/d/a.ps\" 的权限。"},
        {"Error: /undefinedfilename in (/d/a.ps)\nLast OS error: No such file or directory",
         {"/d/a.ps"},
         "找不到文件 \"/d/a.ps\"。"},
    };
    for (const Row& r : rows) EXPECT_EQ(FailureInOurWords(r.text, r.names), r.sentence) << r.text;
}

TEST(FailureReason, TheErrorGhostscriptStatesIsTheCauseNotTextTheJobPrinted) {
    const std::string undefined = "PostScript 程序出错: 未定义的名称 (undefined)。";
    struct Row {
        std::string text;
        std::vector<std::string> names;
        std::string sentence;
    } rows[] = {
        {"No space left on device\nError: /undefined in foo\n", {}, undefined},
        {"requires a password Permission denied\nGPL Ghostscript 10.00.0: Unrecoverable error, "
         "exit code 1\nError: /undefined in foo\n",
         {},
         undefined},
        {"This file requires a password for access.\nError: /undefined in foo\n", {}, undefined},
        // The statement is read once: one that only a quoted name holds is none.
        {"while reading '/d/Error: /typecheck in x.ps'\nError: /undefined in foo\n", {}, undefined},
        {"Error: /undefined in (/d/Error: /typecheck in x.ps)\n",
         {"/d/Error: /typecheck in x.ps"},
         "PostScript 程序出错: 未定义的名称 (undefined), 出错的操作符: (/d/Error: /typecheck in "
         "x.ps)。"},
    };
    for (const Row& r : rows) EXPECT_EQ(FailureInOurWords(r.text, r.names), r.sentence) << r.text;
}

TEST(FailureReason, AReasonNeverQuotesWhatTheFileHolds) {
    struct Row {
        std::string text;
        std::vector<std::string> names;
        std::string sentence;
    } rows[] = {
        // A file of another kind read as PostScript: its first line is no operator name.
        {"Error: /undefined in root:*:20228:0:99999:7:::\n",
         {"/d/secret.pdf"},
         "PostScript 程序出错: 未定义的名称 (undefined)。"},
        {"Error: /syntaxerror in -file-\n", {}, "文件已损坏，或不是可以转换的文件。"},
        {"Error: /typecheck in --setfont--\n",
         {},
         "PostScript 程序出错: 操作数类型错误 (typecheck), 出错的操作符: --setfont--。"},
        {"Error: /invalidfileaccess in (/etc/shadow)\n",
         {"/d/a.ps"},
         "PostScript 程序要读写一个不允许它访问的文件 (invalidfileaccess)。"},
        {"Error: /undefinedfilename in (/etc/hosts)\nLast OS error: No such file or directory\n",
         {"/d/a.ps"},
         "PostScript 程序要读取的文件不存在。"},
        // What the job printed before the statement Ghostscript ended it with.
        {"Error: /undefined in fakeop\ngswin32c: Ghostscript ended the job with Error: "
         "/undefinedresult in --div--\n",
         {},
         "PostScript 程序出错: 计算结果无定义 (undefinedresult), 出错的操作符: --div--。"},
    };
    for (const Row& r : rows) EXPECT_EQ(FailureInOurWords(r.text, r.names), r.sentence) << r.text;
}

TEST(FailureReason, APageIsDamagedOrTooLargeAndAGhostscriptEndedFromOutsideIsNotBlamed) {
    const std::string drawing = "   **** Error: Page drawing error occurred.\n";
    struct Row {
        std::string text, sentence;
    } rows[] = {
        {drawing + "               Output may be incorrect.\n", PageDamagedInOurWords()},
        {drawing + "\nThe following errors were encountered at least once while processing "
                   "this file:\n\terror reading a stream\n",
         PageDamagedInOurWords()},
        {drawing + "               Could not draw this page at all, page will be missing in the "
                   "output.\n",
         PageDrawingFailedInOurWords()},
        {"Page 1\ngswin32c: Ghostscript ended with exit code 137\n", EndedBySignalInOurWords(9)},
        {"Page 1\n" + drawing + "gswin32c: Ghostscript ended with exit code 143\n",
         EndedBySignalInOurWords(15)},
        {"gswin32c: Ghostscript ended with exit code 129\n", EndedBySignalInOurWords(1)},
        // A crash is still the file's doing, as far as can be told.
        {"gswin32c: Ghostscript ended with exit code 134\n",
         "Ghostscript 在处理文件时意外终止 (信号 6)，文件的结构可能过于复杂或已损坏。"},
    };
    for (const Row& r : rows) EXPECT_EQ(FailureInOurWords(r.text), r.sentence) << r.text;
    EXPECT_EQ(EndedBySignalInOurWords(9).find("结构"), std::string::npos);
    EXPECT_EQ(DiskFullInOurWords("/mnt/u盘/"),
              "磁盘空间不足，无法写入结果。文件夹 \"/mnt/u盘/\" 所在的磁盘已满。");
}

TEST(FailureReason, AFailedWriteIsToldFromOtherFailures) {
    // On a full disk, only a write that failed is put down to the disk.
    struct Row {
        std::string output;
        bool failedWrite;
    } rows[] = {
        {"Error: /ioerror in --showpage--\nLast OS error: No space left on device\n", true},
        {"GPL Ghostscript 10.00.0: ERROR: ioerror (-12) on closing pdfwrite device.\n", true},
        {"Error: /undefined in bar\n", false},
        // The program's own error, and the output that could not be closed after it.
        {"GPL Ghostscript 10.00.0: ERROR: ioerror (-12) on closing pdfwrite device.\n"
         "Error: /undefined in bar\n",
         false},
        {"Error: /undefinedfilename in (/d/ioerror write error.ps)\n", false},
        {"   **** Error: Page drawing error occurred.\n", false},
    };
    for (const Row& r : rows) EXPECT_EQ(StatesFailedWrite(r.output), r.failedWrite) << r.output;
    EXPECT_EQ(FailureInOurWords("Error: /undefined in bar\n"),
              "PostScript 程序出错: 未定义的名称 (undefined)。");
}
