// The message box: kinds, captions, the growth rule, logging and the unattended form.
#include <set>
#include <vector>

#include "engine/util.h"
#include "platform/vcl/windowSystem.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

namespace {

// Answers the modal box with OK (or Cancel) as soon as it shows.
struct AutoAnswer {
    explicit AutoAnswer(bool ok) : timer(nullptr) {
        timer.SetInterval(30);
        timer.OnTimer = [ok](TObject*) {
            if (!Form_MsgDlg->Visible()) return;
            if (ok)
                Form_MsgDlg->SpeedButtonOKClick(nullptr);
            else
                Form_MsgDlg->SpeedButtonCancelClick(nullptr);
        };
        timer.SetEnabled(true);
    }
    TTimer timer;
};

std::string LastLogLine(const std::string& logDir) {
    TStringList l;
    l.LoadFromFile(logDir + "info.log");
    return l.Count() ? l[l.Count() - 1] : "";
}

}  // namespace

TEST_F(AppTest, KindsSetCaptionButtonsAndPicture) {
    CreateWindows();
    struct Case {
        TMsgKind kind;
        const char* caption;
        bool cancel;
        TImage* TForm_MsgDlg::*picture;
    };
    const Case cases[] = {
        {mkWarning, " 警 告 ", false, &TForm_MsgDlg::ImageWarning},
        {mkError, " 错 误 ", false, &TForm_MsgDlg::ImageError},
        {mkInformation, " 信 息 ", false, &TForm_MsgDlg::ImageInformation},
        {mkConfirmation, " 确 认 ", true, &TForm_MsgDlg::ImageConfirmation},
    };
    for (const auto& c : cases) {
        AutoAnswer answer(true);
        EXPECT_EQ(Form_MsgDlg->ShowMsg("text", c.kind, false), 1);
        EXPECT_EQ(Form_MsgDlg->Caption(), c.caption);
        EXPECT_EQ(Form_MsgDlg->SpeedButtonCancel->Visible(), c.cancel);
        EXPECT_EQ(Form_MsgDlg->SpeedButtonOK->Caption(), c.cancel ? "» &Yes  " : "» &OK  ");
        EXPECT_EQ(Form_MsgDlg->SpeedButtonCancel->Caption(), c.cancel ? "» &No  " : "» &Cancel  ");
        for (auto* img : {Form_MsgDlg->ImageWarning, Form_MsgDlg->ImageError,
                          Form_MsgDlg->ImageInformation, Form_MsgDlg->ImageConfirmation})
            EXPECT_EQ(img->Visible(), img == Form_MsgDlg->*c.picture);
        EXPECT_FALSE(Form_MsgDlg->Visible());
    }
    AutoAnswer no(false);
    EXPECT_EQ(Form_MsgDlg->ShowMsg("继续?", mkConfirmation, false), 2);
}

TEST_F(AppTest, UnknownKindShowsAndLogsNothing) {
    CreateWindows();
    EnsureLogFolder(true);
    Log("Marker", "x");
    EXPECT_EQ(Form_MsgDlg->ShowMsg("nothing", TMsgKind(4), false), 2);
    EXPECT_NE(LastLogLine(Form_main->FState.FLogDir).find("Marker"), std::string::npos);
    EXPECT_FALSE(Form_MsgDlg->Visible());
}

TEST_F(AppTest, LogsTitleWithoutBlanksAndTextOnOneLine) {
    CreateWindows();
    AutoAnswer answer(true);
    Form_MsgDlg->ShowMsg("第一行\n\n第二行", mkWarning, false);
    std::string line = LastLogLine(Form_main->FState.FLogDir);
    EXPECT_NE(line.find(" | Message      | 警告: 第一行第二行"), std::string::npos) << line;
}

TEST_F(AppTest, LongTextGrowsTheBoxAndShortTextKeepsIt) {
    CreateWindows();
    int initialHeight = Form_MsgDlg->Height();
    {
        AutoAnswer answer(true);
        Form_MsgDlg->ShowMsg("short", mkInformation, false);
    }
    EXPECT_EQ(Form_MsgDlg->Height(), initialHeight);
    std::string longText;
    for (int i = 0; i < 40; ++i) longText += "这是一条很长的消息，用来测试消息框的增长规则。";
    {
        AutoAnswer answer(true);
        Form_MsgDlg->ShowMsg(longText, mkInformation, false);
    }
    int label = Form_MsgDlg->LabelMsgDlg->Height();
    ASSERT_GT(label, 94);
    EXPECT_EQ(Form_MsgDlg->ScrollBox_msg->Height(), label + 16);
    EXPECT_EQ(Form_MsgDlg->Height(), label + 16 + 90);
    EXPECT_EQ(Form_MsgDlg->SpeedButtonOK->Top(), label + 16 + 90 - 60);
    EXPECT_EQ(Form_MsgDlg->SpeedButtonCancel->Top(), Form_MsgDlg->SpeedButtonOK->Top());
    // A later short message keeps the enlarged box.
    int grown = Form_MsgDlg->Height();
    {
        AutoAnswer answer(true);
        Form_MsgDlg->ShowMsg("short again", mkInformation, false);
    }
    EXPECT_EQ(Form_MsgDlg->Height(), grown);
}

TEST_F(AppTest, GrowthArithmeticForALabelOf200) {
    CreateWindows();
    // Text that wraps to exactly 200 pixels is font-dependent; check the rule by the label.
    std::string text;
    while (true) {
        text += "行\n";
        AutoAnswer answer(true);
        Form_MsgDlg->ShowMsg(text, mkInformation, false);
        if (Form_MsgDlg->LabelMsgDlg->Height() >= 200) break;
    }
    int label = Form_MsgDlg->LabelMsgDlg->Height();
    EXPECT_EQ(Form_MsgDlg->ScrollBox_msg->Height(), label + 16);
    EXPECT_EQ(Form_MsgDlg->Height(), Form_MsgDlg->ScrollBox_msg->Height() + 90);
}

TEST_F(AppTest, EnterClicksOkWhenVisible) {
    CreateWindows();
    TTimer press(nullptr);
    press.SetInterval(30);
    press.OnTimer = [](TObject*) {
        if (!Form_MsgDlg->Visible()) return;
        WORD key = 13;
        Form_MsgDlg->FormKeyDown(Form_MsgDlg, key, 0);
    };
    press.SetEnabled(true);
    EXPECT_EQ(Form_MsgDlg->ShowMsg("确认?", mkConfirmation, false), 1);
}

TEST_F(AppTest, UnattendedFormHoldsReturnsCancelAndLogsTheNotice) {
    CreateWindows();
    TForm_MsgDlg::AutoCloseHoldMs = 10;
    EXPECT_EQ(Form_MsgDlg->ShowMsg("批处理", mkError, true), 2);
    TForm_MsgDlg::AutoCloseHoldMs = 11000;
    EXPECT_TRUE(Form_MsgDlg->Timer_autoClose->Enabled());
    EXPECT_EQ(Form_MsgDlg->Timer_autoClose->Interval(), 10000u);
    std::string line = LastLogLine(Form_main->FState.FLogDir);
    EXPECT_NE(line.find("错误: *** 此对话框将在 10 秒后自动关闭! ***批处理"), std::string::npos)
        << line;
    // A later interactive message disarms the timer.
    AutoAnswer answer(true);
    Form_MsgDlg->ShowMsg("x", mkInformation, false);
    EXPECT_FALSE(Form_MsgDlg->Timer_autoClose->Enabled());
}

// What a screenshot of the box shows of each kind: its own picture at the picture's place,
// its own caption, and the message's text.
TEST_F(AppTest, ScreenshotsOfEachKind) {
    CreateWindows();
    const TMsgKind kinds[] = {mkWarning, mkError, mkInformation, mkConfirmation};
    const char* names[] = {"msg-warning", "msg-error", "msg-information", "msg-confirmation"};
    struct Seen {
        std::vector<uint32_t> picture, caption;
        std::set<uint32_t> pictureColours;
        int textPixels = 0;
    };
    std::vector<Seen> seen(4);
    for (int i = 0; i < 4; ++i) {
        TTimer shot(nullptr);
        shot.SetInterval(60);
        std::string name = names[i];
        Seen& s = seen[i];
        shot.OnTimer = [&, name](TObject*) {
            if (!Form_MsgDlg->Visible()) return;
            apptest::KeepScreenshot(Form_MsgDlg, name);
            const std::string path = Form_main->FState.FLogDir + name + ".png";
            gdi::Image img;
            if (Form_MsgDlg->SaveScreenshot(path)) {
                const std::string data = ReadFileText(path);
                img.loadFromData(data.data(), data.size());
            }
            // The client area lies inside the frame: as wide on each side and the bottom.
            const int side = (img.width() - Form_MsgDlg->ClientWidth()) / 2;
            const int top = img.height() - Form_MsgDlg->ClientHeight() - side;
            TImage* picture = Form_MsgDlg->ImageWarning;
            for (TImage* p : {Form_MsgDlg->ImageError, Form_MsgDlg->ImageInformation,
                              Form_MsgDlg->ImageConfirmation})
                if (p->Visible()) picture = p;
            for (int y = 0; y < picture->Height(); ++y)
                for (int x = 0; x < picture->Width(); ++x) {
                    const uint32_t px =
                        img.pixel(side + picture->Left() + x, top + picture->Top() + y);
                    s.picture.push_back(px);
                    s.pictureColours.insert(px);
                }
            for (int y = side; y < top; ++y)
                for (int x = side; x < img.width() - side; ++x)
                    s.caption.push_back(img.pixel(x, y));
            TLabel* label = Form_MsgDlg->LabelMsgDlg;
            const int lx = side + Form_MsgDlg->ScrollBox_msg->Left() + label->Left();
            const int ly = top + Form_MsgDlg->ScrollBox_msg->Top() + label->Top();
            for (int y = 0; y < label->Height(); ++y)
                for (int x = 0; x < label->Width(); ++x) {
                    const uint32_t px = img.pixel(lx + x, ly + y);
                    const int r = px & 0xFF, g = (px >> 8) & 0xFF, b = (px >> 16) & 0xFF;
                    if (r + g + b < 3 * 96) ++s.textPixels;  // dark: the text's strokes
                }
            Form_MsgDlg->SpeedButtonOKClick(nullptr);
        };
        shot.SetEnabled(true);
        Form_MsgDlg->ShowMsg("转换处理已完成但带有错误!\n\n- 在进行 gs 转换时出错。", kinds[i],
                             false);
    }
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(names[i]);
        ASSERT_FALSE(seen[i].picture.empty()) << "no screenshot was taken";
        // A picture is drawn there, not a plain field.
        EXPECT_GE(seen[i].pictureColours.size(), 3u);
        // Two lines of Chinese text leave many dark pixels.
        EXPECT_GT(seen[i].textPixels, 200);
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(seen[i].picture, seen[j].picture) << "the same picture as " << names[j];
            EXPECT_NE(seen[i].caption, seen[j].caption) << "the same caption as " << names[j];
        }
    }
}

TEST_F(AppTest, HoverOnOkEndsWhenTheBoxIsClosedByAClick) {
    // The mouse rests on "» OK" when it closes the box; the next box shows OK unframed,
    // exactly as in a box the mouse never touched.
    CreateWindows();
    TSpeedButton* ok = Form_MsgDlg->SpeedButtonOK;
    // The whole box as it shows (its caption included).
    auto okPixels = [&] {
        const std::string path = Form_main->FState.FLogDir + "msg-hover.png";
        EXPECT_TRUE(Form_MsgDlg->SaveScreenshot(path));
        gdi::Image img;
        const std::string data = ReadFileText(path);
        EXPECT_TRUE(img.loadFromData(data.data(), data.size()));
        std::vector<uint32_t> pixels;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) pixels.push_back(img.pixel(x, y));
        return pixels;
    };
    std::vector<uint32_t> untouched, hovered, after;
    TTimer step(nullptr);
    step.SetInterval(30);
    int box = 0;
    step.OnTimer = [&](TObject*) {
        if (!Form_MsgDlg->Visible()) return;
        TWinControl* parent = ok->Parent();
        const int x = ok->Left() + ok->Width() / 2, y = ok->Top() + ok->Height() / 2;
        if (box == 0) {
            untouched = okPixels();
            parent->Peer()->sendMouseMove(x, y);
            EXPECT_TRUE(ok->MouseInside);
            hovered = okPixels();
            ++box;
            ok->Click();  // the mouse stays on it
        } else {
            EXPECT_FALSE(ok->MouseInside);
            after = okPixels();
            apptest::KeepScreenshot(Form_MsgDlg, "msg-after-click");
            Form_MsgDlg->SpeedButtonOKClick(nullptr);
        }
    };
    step.SetEnabled(true);
    EXPECT_EQ(Form_MsgDlg->ShowMsg("同一个", mkInformation, false), 1);
    EXPECT_FALSE(ok->MouseInside);
    EXPECT_EQ(Form_MsgDlg->ShowMsg("同一个", mkInformation, false), 1);
    ASSERT_FALSE(untouched.empty());
    EXPECT_NE(hovered, untouched);  // the frame shows while the mouse is there
    EXPECT_EQ(after, untouched);
}

namespace {

// The lengths of the runs of rows holding ink (pixels darker than light grey) in a
// picture's columns from left to right - 1.
std::vector<int> InkRuns(const gdi::Image& img, int left, int right) {
    std::vector<int> runs;
    int run = 0;
    for (int y = 0; y < img.height(); ++y) {
        bool ink = false;
        for (int x = left; x < right && !ink; ++x) {
            const uint32_t p = img.pixel(x, y);
            ink = (p & 0xFF) < 0xC0 && ((p >> 8) & 0xFF) < 0xC0;
        }
        if (ink) {
            ++run;
        } else if (run) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run) runs.push_back(run);
    return runs;
}

}  // namespace

TEST_F(AppTest, WrappedChineseLinesKeepAPixelApart) {
    // Four wrapped lines of 12-pixel Song text: between each two a blank row of pixels.
    CreateWindows();
    const std::string path = Form_main->FState.FLogDir + "msg-lines.png";
    TTimer shot(nullptr);
    shot.SetInterval(30);
    shot.OnTimer = [&](TObject*) {
        if (!Form_MsgDlg->Visible()) return;
        EXPECT_TRUE(Form_MsgDlg->ScrollBox_msg->SaveScreenshot(path));
        apptest::KeepScreenshot(Form_MsgDlg, "msg-wrapped-lines");
        Form_MsgDlg->SpeedButtonOKClick(nullptr);
    };
    shot.SetEnabled(true);
    Form_MsgDlg->ShowMsg(
        "文件已损坏，或不是可以转换的文件。磁盘空间不足，无法写入结果。所选的分辨率超出了可以处理的"
        "范围，请选择其他分辨率。"
        "该文件受密码保护，需要密码才能打开。警告：夏季量算器",
        mkError, false);
    gdi::Image img;
    const std::string data = ReadFileText(path);
    ASSERT_TRUE(img.loadFromData(data.data(), data.size()));
    const std::vector<int> runs = InkRuns(img, 0, img.width());
    EXPECT_GE(runs.size(), 4u);
    for (int r : runs) EXPECT_LE(r, 11) << "lines touch";
}

TEST_F(AppTest, MessageBoxKeys) {
    // Alt and the marked letter press its buttons, Enter presses OK (Yes); Escape, which
    // the box does not take, leaves it open until a button is pressed.
    CreateWindows();
    struct Row {
        TMsgKind kind;
        std::vector<std::pair<int, unsigned>> keys;  // pressed in turn
        int answer;
    } rows[] = {
        {mkInformation, {{'O', 2}}, 1},  {mkInformation, {{27, 0}, {13, 0}}, 1},
        {mkConfirmation, {{'Y', 2}}, 1}, {mkConfirmation, {{27, 0}, {'N', 2}}, 2},
        {mkConfirmation, {{13, 0}}, 1},
    };
    for (const Row& r : rows) {
        size_t next = 0;
        TTimer t(nullptr);
        t.SetInterval(30);
        t.OnTimer = [&](TObject*) {
            if (!Form_MsgDlg->Visible() || next >= r.keys.size()) return;
            ws::PressKey(r.keys[next].first, r.keys[next].second);
            ++next;
        };
        t.SetEnabled(true);
        EXPECT_EQ(Form_MsgDlg->ShowMsg("按键?", r.kind, false), r.answer) << r.keys.size();
        EXPECT_EQ(next, r.keys.size());
    }
}

TEST_F(AppTest, ALongPathWrapsBetweenItsCharactersAndGrowsTheBox) {
    // A path of 169 characters without a blank, and the same with blanks: both are read
    // whole, wrapped at 291 pixels, and the box grows to show every line.
    CreateWindows();
    std::string path = "/home/user/";
    while (path.size() < 165) path += "scanned/archive2019/";
    path = path.substr(0, 165) + ".tif";
    ASSERT_EQ(path.size(), 169u);
    std::string blanks = path;
    for (size_t i = 20; i < blanks.size() - 8; i += 20) blanks[i] = ' ';
    const std::string shot = Form_main->FState.FLogDir + "msg-path.png";
    for (const std::string& shown : {path, blanks}) {
        const std::string text = "无法打开文件：\n\n" + shown + "\n\n请检查文件。";
        TTimer t(nullptr);
        t.SetInterval(30);
        t.OnTimer = [&](TObject*) {
            if (!Form_MsgDlg->Visible()) return;
            EXPECT_TRUE(Form_MsgDlg->ScrollBox_msg->SaveScreenshot(shot));
            apptest::KeepScreenshot(Form_MsgDlg,
                                    shown == path ? "msg-long-path" : "msg-path-blanks");
            Form_MsgDlg->SpeedButtonOKClick(nullptr);
        };
        t.SetEnabled(true);
        Form_MsgDlg->ShowMsg(text, mkError, false);
        // The lines the path needs at 291 pixels, at least: its width over the line's.
        TBitmap b;
        b.SetSize(10, 10);
        b.Canvas()->Font()->Assign(*Form_MsgDlg->LabelMsgDlg->Font());
        const int lineHeight = b.Canvas()->TextHeight("文");
        const int pathLines = (b.Canvas()->TextWidth(path) + 290) / 291;
        ASSERT_GE(pathLines, 3);
        const int lines = Form_MsgDlg->LabelMsgDlg->Height() / lineHeight;
        EXPECT_GE(lines, 4 + pathLines) << shown;
        EXPECT_GT(Form_MsgDlg->LabelMsgDlg->Height(), 94) << shown;
        EXPECT_EQ(Form_MsgDlg->Height(), Form_MsgDlg->LabelMsgDlg->Height() + 16 + 90) << shown;
        // Drawn as measured: a run of ink for each line but the two empty ones, the last
        // one (the end of the path's file name and the closing line) at the label's bottom.
        gdi::Image img;
        const std::string data = ReadFileText(shot);
        ASSERT_TRUE(img.loadFromData(data.data(), data.size()));
        EXPECT_EQ(InkRuns(img, 0, img.width()).size(), size_t(lines - 2)) << shown;
    }
}
