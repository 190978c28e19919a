// A control hears the mouse leave whenever the pointer leaves it, into whatever window: a
// flat speed button's raised frame goes when the mouse goes from it straight into a child
// window of its form (a combo box, a list, a panel), as it does onto the bare background.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

struct HoverForm {
    HoverForm() : form(new TForm(nullptr)) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 300, 200);
        form->SetColor(clBlack);
        button = new TSpeedButton(form.get());
        button->SetParent(form.get());
        button->SetBounds(6, 10, 90, 22);
        button->Flat = true;
        button->SetCaption(">> FAQ");
        button->OnMouseEnter = [this](TObject*) { ++enters; };
        button->OnMouseLeave = [this](TObject*) { ++leaves; };
        combo = new TComboBox(form.get());
        combo->SetParent(form.get());
        combo->SetBounds(120, 10, 160, 22);
        list = new TListBox(form.get());
        list->SetParent(form.get());
        list->SetBounds(120, 50, 80, 80);
        panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(210, 50, 80, 80);
        form->OnMouseLeave = [this](TObject*) { ++formLeaves; };
        form->Show();
        Application->ProcessMessages();
    }
    // Whether the button shows its raised frame: its shadow is its last row.
    bool FrameShown() {
        EXPECT_TRUE(form->SaveScreenshot(path));
        TBitmap shot;
        shot.LoadFromFile(path);
        return shot.Canvas()->Pixel(50, 10 + 21) == TColor(ColorToRGB(clBtnShadow));
    }
    void OntoButton() { form->Peer()->sendMouseMove(50, 20); }

    std::unique_ptr<TForm> form;
    TSpeedButton* button;
    TComboBox* combo;
    TListBox* list;
    TPanel* panel;
    int enters = 0, leaves = 0, formLeaves = 0;
    std::string path = ::testing::TempDir() + "mouse_leave_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
};

}  // namespace

TEST(MouseLeave, SpeedButtonFrameGoesWhenTheMouseGoesIntoAChildWindow) {
    struct Row {
        const char* into;
        TWinControl* (*target)(HoverForm&);
    };
    const Row rows[] = {
        {"a combo box", [](HoverForm& f) -> TWinControl* { return f.combo; }},
        {"a list box", [](HoverForm& f) -> TWinControl* { return f.list; }},
        {"a panel", [](HoverForm& f) -> TWinControl* { return f.panel; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.into);
        HoverForm f;
        f.OntoButton();
        EXPECT_TRUE(f.button->MouseInside);
        EXPECT_TRUE(f.FrameShown());
        // Straight from the button into the child window: the window system tells only the
        // child that the mouse came.
        row.target(f)->Peer()->sendEnterLeave(true);
        EXPECT_FALSE(f.button->MouseInside);
        EXPECT_EQ(f.leaves, 1);
        EXPECT_EQ(f.formLeaves, 1);  // the form's own area was left too
        EXPECT_FALSE(f.FrameShown());
        // Back onto the button, from the child, with nothing but moves on the form.
        row.target(f)->Peer()->sendEnterLeave(false);
        f.OntoButton();
        EXPECT_TRUE(f.button->MouseInside);
        EXPECT_EQ(f.enters, 2);
        EXPECT_TRUE(f.FrameShown());
    }
}

TEST(MouseLeave, BareBackgroundAndLeavingTheWindowStillClearTheFrame) {
    HoverForm f;
    f.OntoButton();
    f.form->Peer()->sendMouseMove(60, 150);  // onto the background
    EXPECT_FALSE(f.button->MouseInside);
    EXPECT_FALSE(f.FrameShown());
    f.OntoButton();
    f.form->Peer()->sendEnterLeave(false);  // out of the window
    EXPECT_FALSE(f.button->MouseInside);
    EXPECT_EQ(f.leaves, 2);
    EXPECT_FALSE(f.FrameShown());
    // One leave however many ways the window system says it.
    f.combo->Peer()->sendEnterLeave(true);
    EXPECT_EQ(f.leaves, 2);
    EXPECT_EQ(f.formLeaves, 1);
}
