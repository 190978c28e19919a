// Return, keypad Enter, Space and Escape pressed on the keyboard (through the window system,
// offscreen) on a form of push buttons, styled buttons and edits: the focused button is
// pressed, else the form's Default button; Escape presses the Cancel button; a control that
// wants every key (a multi-line edit) keeps Return.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/styled/styButton.h"
#include "platform/user/messages.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/windowSystem.h"

namespace {

// An edit that asks for every key, as a multi-line edit does: Return is its new line.
struct MultiLineEdit : TEdit {
    using TEdit::TEdit;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_GETDLGCODE) {
            m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
            return;
        }
        TEdit::Dispatch(m);
    }
};

struct KeyForm {
    KeyForm() : form(nullptr) {
        form.SetBounds(0, 0, 420, 260);
        int top = 10;
        auto place = [&](TWinControl* c, const char* caption) {
            c->SetParent(&form);
            c->SetCaption(caption);
            c->SetBounds(10, top, 150, 24);
            top += 30;
            c->OnClick = [this, c](TObject*) { clicked.push_back(c); };
        };
        plain = new TButton(&form);
        place(plain, "普通");
        styled = new TStyButton(&form);
        place(styled, "开始");
        byDefault = new TButton(&form);
        place(byDefault, "确定");
        byDefault->Default = true;
        cancel = new TButton(&form);
        place(cancel, "取消");
        cancel->Cancel = true;
        check = new TCheckBox(&form);
        place(check, "边框");
        edit = new TEdit(&form);
        place(edit, "");
        memo = new MultiLineEdit(&form);
        place(memo, "");
        for (TEdit* e : {edit, static_cast<TEdit*>(memo)})
            e->OnKeyPress = [this, e](TObject*, char& c) {
                if (c == '\r') returns.push_back(e);
            };
        form.Show();
        Application->ProcessMessages();
    }
    void Press(int key, unsigned shift, bool keypad) {
        ws::PressKey(key, shift, keypad);
        Application->ProcessMessages();
    }
    TForm form;
    TButton* plain;
    TStyButton* styled;
    TButton* byDefault;
    TButton* cancel;
    TCheckBox* check;
    TEdit* edit;
    MultiLineEdit* memo;
    std::vector<TControl*> clicked;
    std::vector<TEdit*> returns;  // the edits that got Return as a character
};

}  // namespace

TEST(DialogKeys, FocusedButtonDefaultAndCancelTakeTheirKeys) {
    KeyForm f;
    TWinControl* const none = nullptr;
    struct Row {
        const char* name;
        TWinControl* focus;
        int key;
        unsigned shift;
        bool keypad;
        TWinControl* clicked;    // null: no button
        TWinControl* gotReturn;  // the edit that gets Return, if any
    } rows[] = {
        {"Return on a button", f.plain, 13, 0, false, f.plain, none},
        {"keypad Enter on a button", f.plain, 13, 0, true, f.plain, none},
        {"Space on a button", f.plain, 32, 0, false, f.plain, none},
        {"Return on a styled button", f.styled, 13, 0, false, f.styled, none},
        {"keypad Enter on a styled button", f.styled, 13, 0, true, f.styled, none},
        {"Space on a styled button", f.styled, 32, 0, false, f.styled, none},
        {"Return on the Default button", f.byDefault, 13, 0, false, f.byDefault, none},
        {"Return on an edit", f.edit, 13, 0, false, f.byDefault, none},
        {"keypad Enter on a check box", f.check, 13, 0, true, f.byDefault, none},
        {"Escape on an edit", f.edit, 27, 0, false, f.cancel, none},
        {"Escape on another button", f.plain, 27, 0, false, f.cancel, none},
        {"Return on a multi-line edit", f.memo, 13, 0, false, none, f.memo},
        {"Ctrl+Return on a button", f.plain, 13, 4, false, none, none},
        {"Shift+Escape on an edit", f.edit, 27, 1, false, none, none},
    };
    for (const Row& r : rows) {
        r.focus->SetFocus();
        Application->ProcessMessages();
        ASSERT_TRUE(r.focus->Focused()) << r.name;
        f.clicked.clear();
        f.returns.clear();
        f.Press(r.key, r.shift, r.keypad);
        EXPECT_EQ(f.clicked,
                  r.clicked ? std::vector<TControl*>{r.clicked} : std::vector<TControl*>{})
            << r.name;
        EXPECT_EQ(f.returns.size(), r.gotReturn ? 1u : 0u) << r.name;
    }
}

TEST(DialogKeys, AnUnusableDefaultOrCancelButtonTakesNothing) {
    KeyForm f;
    f.edit->SetFocus();
    Application->ProcessMessages();
    ASSERT_TRUE(f.edit->Focused());
    // Disabled, then hidden: Return and Escape press nothing and reach the edit.
    for (bool hide : {false, true}) {
        for (TButton* b : {f.byDefault, f.cancel})
            hide ? b->SetVisible(false) : b->SetEnabled(false);
        Application->ProcessMessages();
        f.clicked.clear();
        f.returns.clear();
        f.Press(13, 0, false);
        f.Press(27, 0, false);
        EXPECT_TRUE(f.clicked.empty()) << (hide ? "hidden" : "disabled");
        EXPECT_EQ(f.returns.size(), 1u) << (hide ? "hidden" : "disabled");
        for (TButton* b : {f.byDefault, f.cancel}) {
            b->SetEnabled(true);
            b->SetVisible(true);
        }
    }
    // A Default button with a modal result closes a modal form with it.
    f.byDefault->ModalResult = mrOk;
    TTimer press(nullptr);
    press.SetInterval(30);
    press.OnTimer = [&](TObject*) {
        if (!f.form.Visible()) return;
        press.SetEnabled(false);
        f.edit->SetFocus();
        ws::PressKey(13, 0);
    };
    f.form.Hide();
    press.SetEnabled(true);
    EXPECT_EQ(f.form.ShowModal(), mrOk);
}
