// The up-down counter: refused positions, steps within the range, the shown position.
#include <gtest/gtest.h>

#include <memory>

#include "controls/extended/xcUpDown.h"
#include "platform/vcl/forms.h"

namespace {

struct Fixture {
    Fixture() : owner(new TComponent(nullptr)) {
        upDown = new TXcUpDown(owner.get());
        text = new TStaticText(owner.get());
        edit = new TEdit(owner.get());
    }
    std::unique_ptr<TComponent> owner;
    TXcUpDown* upDown;
    TStaticText* text;
    TEdit* edit;
};

}  // namespace

TEST(XcUpDown, DefaultsAndRefusal) {
    Fixture f;
    TXcUpDown* u = f.upDown;
    EXPECT_EQ(u->Min(), 0);
    EXPECT_EQ(u->Max(), 100);
    EXPECT_EQ(u->Increment(), 1);
    EXPECT_EQ(u->Position(), 0);
    u->SetPosition(40);
    EXPECT_EQ(u->Position(), 40);
    u->SetPosition(150);
    EXPECT_EQ(u->Position(), 40);
    u->SetPosition(-1);
    EXPECT_EQ(u->Position(), 40);
    u->SetPosition(100);
    EXPECT_EQ(u->Position(), 100);
    EXPECT_TRUE(u->AcceptPosition(0));
    EXPECT_FALSE(u->AcceptPosition(101));
}

TEST(XcUpDown, MaxZeroHasNoUpperBound) {
    Fixture f;
    TXcUpDown* u = f.upDown;
    u->SetMin(3);
    u->SetMax(0);
    u->SetPosition(2000000000);
    EXPECT_EQ(u->Position(), 2000000000);
    u->SetPosition(2);
    EXPECT_EQ(u->Position(), 2000000000);
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 2000000001);
    u->SetPosition(INT32_MAX);
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), INT32_MAX);
}

TEST(XcUpDown, AnswersThePositionMessages) {
    Fixture f;
    TXcUpDown* u = f.upDown;
    u->SetPosition(77);
    EXPECT_EQ(u->Perform(UDM_GETPOS32, 0, 0), 77);
    EXPECT_EQ(u->Perform(UDM_SETPOS32, 0, 12), 77);
    EXPECT_EQ(u->Position(), 12);
    u->Perform(UDM_SETPOS32, 0, 500);
    EXPECT_EQ(u->Position(), 12);
    u->Perform(UDM_SETRANGE32, 10, 20);
    EXPECT_EQ(u->Min(), 10);
    EXPECT_EQ(u->Max(), 20);
}

TEST(XcUpDown, ArrowsStepByIncrementAndStopAtTheEnds) {
    Fixture f;
    TXcUpDown* u = f.upDown;
    u->SetMin(5);
    u->SetMax(300);
    u->SetIncrement(5);
    u->SetPosition(5);
    u->SetAssociate(f.text);
    int clicks = 0;
    u->OnClickButton = [&](TObject*, TUDBtnType) { ++clicks; };
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 10);
    EXPECT_EQ(f.text->Caption(), "10");  // the buddy shows what the arrows did
    u->ClickButton(btPrev);
    u->ClickButton(btPrev);
    EXPECT_EQ(u->Position(), 5);
    EXPECT_EQ(f.text->Caption(), "5");
    u->SetPosition(298);
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 300);
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 300);
    EXPECT_EQ(clicks, 5);

    bool allow = false;
    u->OnChanging = [&](TObject*, bool& a) { a = allow; };
    u->ClickButton(btPrev);
    EXPECT_EQ(u->Position(), 300);
    allow = true;
    u->ClickButton(btPrev);
    EXPECT_EQ(u->Position(), 295);
}

TEST(XcUpDown, CodeWritesOnlyAnEditBuddy) {
    Fixture f;
    TXcUpDown* u = f.upDown;
    u->SetAssociate(f.text);
    f.text->SetCaption("0");
    u->SetPosition(30);
    EXPECT_EQ(f.text->Caption(), "0");  // a static text is set by the code that sets the position

    u->SetAssociate(f.edit);
    EXPECT_EQ(f.edit->Text(), "30");
    f.edit->SetText("junk");
    u->SetPosition(30);  // the same position again still refreshes the edit
    EXPECT_EQ(f.edit->Text(), "30");
    u->SetPosition(500);
    EXPECT_EQ(f.edit->Text(), "30");
    u->SetFormat(ufHex);
    EXPECT_EQ(f.edit->Text(), "0x001E");
}

TEST(XcUpDown, MouseOnTheArrows) {
    Fixture f;
    TXcUpDown* u = f.upDown;
    u->Orientation = udHorizontal;
    u->SetBounds(0, 0, 32, 15);
    u->SetPosition(50);
    auto at = [](int x, int y) { return LPARAM(uint32_t(x) | (uint32_t(y) << 16)); };
    u->Perform(WM_LBUTTONDOWN, 1, at(24, 7));
    u->Perform(WM_LBUTTONUP, 0, at(24, 7));
    EXPECT_EQ(u->Position(), 51);
    u->Perform(WM_LBUTTONDOWN, 1, at(4, 7));
    u->Perform(WM_LBUTTONUP, 0, at(4, 7));
    u->Perform(WM_LBUTTONDOWN, 1, at(4, 7));
    u->Perform(WM_LBUTTONUP, 0, at(4, 7));
    EXPECT_EQ(u->Position(), 49);
    u->SetEnabled(false);
    u->Perform(WM_LBUTTONDOWN, 1, at(24, 7));
    EXPECT_EQ(u->Position(), 49);
}
