// Accelerators: Alt+letter pressed on the keyboard (through the window system, offscreen)
// reaches the control whose caption marks that letter, for each kind of control.
#include <gtest/gtest.h>

#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/windowSystem.h"

namespace {

struct AccelForm {
    AccelForm() : form(nullptr) {
        form.SetBounds(0, 0, 400, 300);
        auto place = [&](TControl* c, const std::string& caption, int top) {
            c->SetParent(&form);
            c->SetCaption(caption);
            c->SetBounds(10, top, 150, 22);
        };
        button = new TButton(&form);
        place(button, "开始(&S)", 10);
        speed = new TSpeedButton(&form);
        place(speed, ">> 关闭(&L)", 40);
        check = new TCheckBox(&form);
        place(check, "边框(&B)", 70);
        radio = new TRadioButton(&form);
        place(radio, "横向(&H)", 100);
        other = new TRadioButton(&form);
        place(other, "纵向(&V)", 130);
        edit = new TEdit(&form);
        place(edit, "", 160);
        label = new TLabel(&form);
        place(label, "文本(&T):", 190);
        label->SetFocusControl(edit);
        amp = new TButton(&form);
        place(amp, "A&&B", 220);
        for (TControl* c :
             std::initializer_list<TControl*>{button, speed, check, radio, other, amp})
            c->OnClick = [this, c](TObject*) { clicked.push_back(c); };
        other->SetChecked(true);
        clicked.clear();
        form.Show();
        Application->ProcessMessages();
        button->SetFocus();
        Application->ProcessMessages();
    }
    void Press(char letter, unsigned shift = 2) {
        ws::PressKey(letter, shift);
        Application->ProcessMessages();
    }
    TForm form;
    TButton* button;
    TSpeedButton* speed;
    TCheckBox* check;
    TRadioButton* radio;
    TRadioButton* other;
    TEdit* edit;
    TLabel* label;
    TButton* amp;
    std::vector<TControl*> clicked;
};

}  // namespace

TEST(Accelerators, AltLetterClicksTheControlWhoseCaptionMarksIt) {
    AccelForm f;
    const struct {
        char letter;
        TControl* control;
    } rows[] = {{'S', f.button}, {'L', f.speed}, {'B', f.check}, {'H', f.radio}};
    for (const auto& r : rows) {
        f.clicked.clear();
        f.Press(r.letter);
        EXPECT_EQ(f.clicked, std::vector<TControl*>{r.control}) << "Alt+" << r.letter;
    }
    EXPECT_TRUE(f.check->Checked());
    EXPECT_TRUE(f.radio->Checked());
    EXPECT_FALSE(f.other->Checked());
}

TEST(Accelerators, LabelFocusesItsControlAndOtherKeysDoNothing) {
    AccelForm f;
    f.Press('T');
    EXPECT_TRUE(f.edit->Focused());
    EXPECT_TRUE(f.clicked.empty());
    // A letter no caption marks, "&&" (a literal ampersand), and the letter without Alt.
    f.button->SetFocus();
    f.Press('Q');
    f.Press('B', 0);
    EXPECT_TRUE(f.clicked.empty());
    EXPECT_FALSE(f.check->Checked());
    // A disabled or hidden control does not take its accelerator.
    f.button->SetEnabled(false);
    f.speed->SetVisible(false);
    f.Press('S');
    f.Press('L');
    EXPECT_TRUE(f.clicked.empty());
}

TEST(Accelerators, CaptionMarks) {
    struct Row {
        WORD key;
        const char* caption;
        bool accel;
    } rows[] = {
        {'S', " 开始(&S)", true}, {'s', " 开始(&S)", true},   {'S', "&start", true},
        {'A', "A&&B", false},     {'B', "A&&B", false},       {'B', "A&&&B", true},
        {'X', "none", false},     {'X', "trailing &", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IsAccel(r.key, r.caption), r.accel) << r.caption << " " << char(r.key);
}

TEST(Accelerators, RadioGroupIsOneTabStopAndArrowsMoveWithinIt) {
    AccelForm f;
    auto* third = new TRadioButton(&f.form);
    third->SetParent(&f.form);
    third->SetCaption("自动(&A)");
    third->SetBounds(200, 100, 150, 22);
    third->TabOrder = 10;
    Application->ProcessMessages();
    // Tab from the check box: the group's checked button, then past the group.
    f.check->SetFocus();
    Application->ProcessMessages();
    f.Press('\t', 0);
    EXPECT_TRUE(f.other->Focused());
    f.Press('\t', 0);
    EXPECT_FALSE(f.radio->Focused() || third->Focused());
    // Arrows move within the group and check the button they reach, round its ends.
    struct Row {
        WORD key;
        TRadioButton* checked;
    } rows[] = {{40, third}, {40, f.radio}, {39, f.other}, {38, f.radio}, {37, third}};
    f.other->SetFocus();
    Application->ProcessMessages();
    for (const Row& r : rows) {
        f.Press(char(r.key), 0);
        EXPECT_TRUE(r.checked->Focused()) << r.key;
        EXPECT_TRUE(r.checked->Checked()) << r.key;
        for (TRadioButton* b : {f.radio, f.other, third}) EXPECT_EQ(b->Checked(), b == r.checked);
    }
    // The newly checked button is now the group's Tab stop, and the only one of them.
    f.check->SetFocus();
    Application->ProcessMessages();
    int stops = 0;
    for (int i = 0; i < 8; ++i) {
        f.Press('\t', 0);
        EXPECT_FALSE(f.radio->Focused() || f.other->Focused());
        stops += third->Focused();
    }
    EXPECT_GE(stops, 1);
}

TEST(Accelerators, SpeedButtonsUnderlineTheirMarkedLetter) {
    // ">> FAQ(&F)" in 12-pixel Song text shows the F underlined: the caption drawn with the
    // mark differs from the one without it only below the letters.
    auto shot = [](const std::string& caption) {
        TForm form(nullptr);
        form.SetBounds(0, 0, 160, 80);
        auto* b = new TSpeedButton(&form);
        b->SetParent(&form);
        b->SetBounds(0, 0, 100, 20);
        b->Flat = true;
        b->Font()->SetName("宋体");
        b->Font()->SetHeight(-12);
        b->SetCaption(caption);
        form.Show();
        Application->ProcessMessages();
        const std::string path =
            ::testing::TempDir() + "vx-speed-underline" + std::to_string(caption.size()) + ".png";
        EXPECT_TRUE(form.SaveScreenshot(path));
        form.Hide();
        gdi::Image img;
        const std::string data = ReadFileText(path);
        EXPECT_TRUE(img.loadFromData(data.data(), data.size()));
        return img;
    };
    const gdi::Image marked = shot(">> FAQ(&F)"), plain = shot(">> FAQ(F)");
    ASSERT_EQ(marked.height(), plain.height());
    std::vector<int> rows;
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            if (marked.pixel(x, y) != plain.pixel(x, y)) {
                rows.push_back(y);
                break;
            }
    ASSERT_EQ(rows.size(), 1u) << "one underline row";
}
