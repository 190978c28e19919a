// The day log: line format, the log folders, the empty line before "Version".
#include <gtest/gtest.h>

#include <regex>

#include "engine/util.h"
#include "tests/engine/fixture.h"

namespace {

using vxtest::EngineTest;

const double kTime = EncodeDateTime(2024, 3, 9, 7, 5, 4, 9);

TEST(LogLine, TimeKeyAndValue) {
    EXPECT_EQ(FormatLogLine(kTime, "GS", "C:/gs/gswin32c.exe"),
              "07-05-04-009 | GS           | C:/gs/gswin32c.exe");
    EXPECT_EQ(FormatLogLine(EncodeDateTime(2024, 3, 9, 23, 59, 58, 999), "Message", "x"),
              "23-59-58-999 | Message      | x");
}

TEST(LogLine, KeyPadding) {
    // Twelve characters are written without blanks; a longer key is written whole.
    EXPECT_EQ(FormatLogLine(kTime, "ErrorMessage", "e"), "07-05-04-009 | ErrorMessage | e");
    EXPECT_EQ(FormatLogLine(kTime, "GS", "v").substr(15), "GS" + std::string(10, ' ') + " | v");
    EXPECT_EQ(FormatLogLine(kTime, "AVeryLongKeyIndeed", "v"),
              "07-05-04-009 | AVeryLongKeyIndeed | v");
    EXPECT_EQ(FormatLogLine(kTime, "", "v"), "07-05-04-009 | " + std::string(12, ' ') + " | v");
    // Chinese keys take two columns a character, so the bars stay in line.
    EXPECT_EQ(FormatLogLine(kTime, "功能", "doc2pdf"),
              "07-05-04-009 | 功能" + std::string(8, ' ') + " | doc2pdf");
    EXPECT_EQ(FormatLogLine(kTime, "源文件", "a"),
              "07-05-04-009 | 源文件" + std::string(6, ' ') + " | a");
}

TEST(LogLine, ValueIsWrittenAsItIs) {
    EXPECT_EQ(FormatLogLine(kTime, "Parameter", "-dNOPAUSE  %s \"a b\" | x"),
              "07-05-04-009 | Parameter    | -dNOPAUSE  %s \"a b\" | x");
}

class DayLog : public EngineTest {};

TEST_F(DayLog, EnsureLogFolderFormsTodaysFolder) {
    EXPECT_TRUE(State().FLogDir.empty());
    EnsureLogFolder(false);
    const std::string expected = AppPath() + "logs/" + FormatDateTime("yyyy-mm-dd", Now()) + "/";
    EXPECT_EQ(State().FLogDir, expected);
    EXPECT_TRUE(DirectoryExists(expected));
}

TEST_F(DayLog, NotForcedKeepsTheFolderForcedFormsItAnew) {
    // A run that started yesterday keeps logging there until the next run forces a new day.
    const std::string yesterday = AppPath() + "logs/2001-01-01/";
    ASSERT_TRUE(ForceDirectories(yesterday));
    State().FLogDir = yesterday;
    Log("GS", "old day");
    EXPECT_TRUE(FileExists(yesterday + "info.log"));
    EnsureLogFolder(true);
    EXPECT_EQ(State().FLogDir, AppPath() + "logs/" + FormatDateTime("yyyy-mm-dd", Now()) + "/");
    Log("GS", "new day");
    EXPECT_EQ(LogLines().size(), 1u);
    EXPECT_NE(LogLines()[0].find("new day"), std::string::npos);
}

TEST_F(DayLog, LinesAreAppendedInOrder) {
    Log("功能", "doc2pdf");
    Log("ErrorMessage", "boom");
    Log("GS", "");
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 3u);
    const std::regex line(R"(\d\d-\d\d-\d\d-\d\d\d \| (.*))");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, line)) << lines[0];
    EXPECT_EQ(m[1].str(), "功能" + std::string(8, ' ') + " | doc2pdf");
    ASSERT_TRUE(std::regex_match(lines[1], m, line)) << lines[1];
    EXPECT_EQ(m[1].str(), "ErrorMessage | boom");
    ASSERT_TRUE(std::regex_match(lines[2], m, line)) << lines[2];
    EXPECT_EQ(m[1].str(), "GS           | ");
    EXPECT_EQ(vxtest::ReadFile(State().FLogDir + "info.log").back(), '\n');
}

TEST_F(DayLog, VersionIsPrecededByAnEmptyLineAlsoInANewFile) {
    Log("Version", "5.44d");
    Log("功能", "pdf2jpg");
    Log("Version", "5.44d");
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "");
    EXPECT_NE(lines[1].find(" | Version      | 5.44d"), std::string::npos);
    EXPECT_NE(lines[2].find(" | 功能"), std::string::npos);
    EXPECT_EQ(lines[3], "");
    EXPECT_NE(lines[4].find(" | Version      | 5.44d"), std::string::npos);
    // Only the key "Version" (exactly) does it.
    Log("version", "x");
    Log("Versions", "x");
    EXPECT_EQ(LogLines().size(), 7u);
}

TEST_F(DayLog, FolderThatCannotBeMadeRaisesAndLeavesNoFolderBehind) {
    // A file stands where the logs folder should be.
    vxtest::WriteFile(AppPath() + "logs", "not a folder");
    EXPECT_THROW(EnsureLogFolder(true), EInOutError);
    EXPECT_TRUE(State().FLogDir.empty());
    // The log itself never raises: the failure is reported once and the run goes on.
    EXPECT_NO_THROW(Log("GS", "x"));
    EXPECT_NO_THROW(Log("GS", "y"));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0].rfind("无法写入日志文件: ", 0), 0u) << Errors()[0];
}

TEST_F(DayLog, UnwritableLogFileIsReportedOncePerRun) {
    EnsureLogFolder(true);
    // A folder named info.log cannot be opened for appending.
    ASSERT_TRUE(CreateDir(State().FLogDir + "info.log"));
    EXPECT_NO_THROW(Log("GS", "x"));
    EXPECT_NO_THROW(ReportError("step failed"));
    EXPECT_EQ(Errors().size(), 2u);  // the log failure once, then the step's own error
    EnsureLogFolder(true);           // the next run
    Log("GS", "x");
    EXPECT_EQ(Errors().size(), 3u);
}

TEST_F(DayLog, ReportErrorListsAndLogs) {
    ReportError("无法 \"x\"");
    EXPECT_EQ(Errors(), std::vector<std::string>{"无法 \"x\""});
    ASSERT_EQ(LogLines().size(), 1u);
    EXPECT_EQ(LogLines()[0].substr(12), " | ErrorMessage | 无法 \"x\"");
}

TEST_F(DayLog, AValueOfSeveralLinesIsOneEvent) {
    Log("ErrorMessage", "在进行 gs 转换时出错。\nthe reason\n03-00-00-000 | Version      | FORGED");
    Log("源文件", "a\nb.pdf");
    Log("GsWarning", "\n   **** warned\r\n\n   twice\n");
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(12),
              " | ErrorMessage | 在进行 gs 转换时出错。 ⏎ the reason ⏎ 03-00-00-000 | Version      "
              "| FORGED");
    EXPECT_EQ(lines[1].substr(12), " | 源文件       | a\\nb.pdf");
    EXPECT_EQ(lines[2].substr(12), " | GsWarning    |    **** warned ⏎    twice");
}

}  // namespace

TEST(LogText, ControlBytesAreEscapedSoNoTextMakesALineOfItsOwn) {
    const struct {
        std::string in, out;
    } rows[] = {
        {"plain 中文 name", "plain 中文 name"},
        {"a\nb", "a\\nb"},
        {"cr\rtab\t", "cr\\rtab\\t"},
        {std::string("esc\x1b[2J nul") + '\0' + "x", "esc\\x1B[2J nul\\x00x"},
        {"del\x7f", "del\\x7F"},
        {"\xb2\xe2", "\xb2\xe2"},  // bytes of other encodings stay as they are
    };
    for (const auto& r : rows) EXPECT_EQ(EscapeControls(r.in), r.out) << r.in;
}
