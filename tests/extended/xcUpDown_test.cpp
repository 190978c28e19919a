// The up-down control over its window: state pushed into each window, the version test,
// wrapping, arrow keys, the buddy's number and EN_CHANGE, OnChangingEx, the buddy removed.
#include <gtest/gtest.h>

#include <memory>

#include "controls/extended/xcUpDown.h"
#include "platform/vcl/forms.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// Restores the common-controls version after a test replaced it.
struct VersionGuard {
    std::function<int64_t()> saved = TXcCustomUpDown::CommonControlsVersion;
    ~VersionGuard() { TXcCustomUpDown::CommonControlsVersion = saved; }
};

struct Window {
    Window() : form(new TForm(nullptr)) {
        form->SetBounds(0, 0, 200, 100);
        upDown = new TXcUpDown(form.get());
        upDown->SetParent(form.get());
        upDown->SetBounds(60, 10, 32, 15);
        text = new TStaticText(form.get());
        text->SetParent(form.get());
        text->SetBounds(30, 10, 28, 15);
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(30, 40, 60, 20);
    }
    std::unique_ptr<TForm> form;
    TXcUpDown* upDown;
    TStaticText* text;
    TEdit* edit;
};

}  // namespace

TEST(XcUpDownWindow, StatePushedIntoTheWindowAndReadBack) {
    Window w;
    TXcUpDown* u = w.upDown;
    u->SetMin(5);
    u->SetMax(300);
    u->SetIncrement(5);
    u->SetPosition(40);
    u->SetAssociate(w.text);
    w.form->HandleNeeded();
    ASSERT_TRUE(u->HandleAllocated());
    int lo = 0, hi = 0;
    u->Perform(UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
    EXPECT_EQ(lo, 5);
    EXPECT_EQ(hi, 300);
    EXPECT_EQ(u->Perform(UDM_GETPOS32, 0, 0), 40);
    UDACCEL accel;
    u->Perform(UDM_GETACCEL, 1, LPARAM(&accel));
    EXPECT_EQ(accel.nInc, 5u);
    EXPECT_EQ(u->Position(), 40);
    // Refused positions stay refused with a window too.
    u->SetPosition(301);
    EXPECT_EQ(u->Position(), 40);
    // Re-creating the window (hot-tracking) keeps everything.
    u->SetHotTrack(true);
    EXPECT_TRUE(u->WindowStyle() & UDS_HOTTRACK);
    EXPECT_EQ(u->Position(), 40);
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 45);
    EXPECT_EQ(w.text->Caption(), "45");
}

TEST(XcUpDownWindow, AlignmentStylesAndBuddyKeepsItsSize) {
    Window w;
    TXcUpDown* u = w.upDown;
    u->SetAssociate(w.text);
    w.form->HandleNeeded();
    EXPECT_EQ(u->WindowStyle() & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT), DWORD(UDS_ALIGNRIGHT));
    u->SetAlignButton(abLeft);
    EXPECT_EQ(u->WindowStyle() & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT), DWORD(UDS_ALIGNLEFT));
    u->SetAlignButton(abNone);
    EXPECT_EQ(u->WindowStyle() & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT), 0u);
    EXPECT_EQ(w.text->Width(), 28);
    EXPECT_EQ(w.text->Left(), 30);
    EXPECT_EQ(u->Perform(UDM_GETBUDDY), LRESULT(w.text->Handle()));
}

TEST(XcUpDownWindow, VersionDecidesBetween16And32BitMessages) {
    VersionGuard guard;
    for (auto [version, use32] : {std::pair<int64_t, bool>{(5 << 16) | 80, false},
                                  {(5 << 16) | 81, true},
                                  {6 << 16, true},
                                  {(4 << 16) | 72, false}}) {
        TXcCustomUpDown::CommonControlsVersion = [v = version] { return v; };
        Window w;
        w.form->HandleNeeded();
        std::vector<UINT> sent;
        TWndMethod old = w.upDown->WindowProc;
        w.upDown->WindowProc = [&](TMessage& m) {
            sent.push_back(m.Msg);
            old(m);
        };
        w.upDown->SetPosition(12);
        EXPECT_EQ(w.upDown->Position(), 12);
        const bool saw32 = std::count(sent.begin(), sent.end(), UINT(UDM_SETPOS32)) == 1;
        const bool saw16 = std::count(sent.begin(), sent.end(), UINT(UDM_SETPOS)) == 1;
        EXPECT_EQ(saw32, use32) << std::hex << version;
        EXPECT_EQ(saw16, !use32) << std::hex << version;
        w.upDown->WindowProc = old;
    }
    // An unreadable version is asked for again; a failed read counts as no and is kept.
    int asked = 0;
    TXcCustomUpDown::CommonControlsVersion = [&] {
        ++asked;
        return int64_t(-1);
    };
    TXcUpDown u(nullptr);
    EXPECT_FALSE(u.Use32());
    EXPECT_FALSE(u.Use32());
    EXPECT_EQ(asked, 2);
    TXcCustomUpDown::CommonControlsVersion = [&]() -> int64_t {
        ++asked;
        throw Exception("unreadable");
    };
    EXPECT_FALSE(u.Use32());
    EXPECT_FALSE(u.Use32());
    EXPECT_EQ(asked, 3);
}

TEST(XcUpDownWindow, WrapArrowKeysAndThousands) {
    Window w;
    TXcUpDown* u = w.upDown;
    u->SetMin(0);
    u->SetMax(1500);
    u->SetPosition(1500);
    u->SetAssociate(w.text);
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 1500);
    u->Wrap = true;
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 0);
    u->ClickButton(btPrev);
    EXPECT_EQ(u->Position(), 1500);
    EXPECT_EQ(w.text->Caption(), "1,500");  // thousands separators unless Thousands is off
    u->Thousands = false;
    u->ClickButton(btPrev);
    EXPECT_EQ(w.text->Caption(), "1499");

    // Arrow keys step the position while the control has the keys.
    u->Orientation = udHorizontal;
    WORD right = 39, up = 38;
    EXPECT_TRUE(u->ArrowKey(right));
    EXPECT_EQ(u->Position(), 1500);
    EXPECT_FALSE(u->ArrowKey(up));
    u->ArrowKeys = false;
    EXPECT_FALSE(u->ArrowKey(right));
}

TEST(XcUpDownWindow, OnChangingExSeesTheNewValueAndDirection) {
    Window w;
    TXcUpDown* u = w.upDown;
    u->SetPosition(10);
    int16_t seenValue = 0;
    TUpDownDirection seenDir = updNone;
    u->OnChangingEx = [&](TObject*, bool& allow, int16_t v, TUpDownDirection d) {
        seenValue = v;
        seenDir = d;
        allow = v != 12;
    };
    u->ClickButton(btNext);
    EXPECT_EQ(seenValue, 11);
    EXPECT_EQ(seenDir, updUp);
    u->ClickButton(btNext);
    EXPECT_EQ(u->Position(), 11);  // refused
    u->ClickButton(btPrev);
    EXPECT_EQ(seenDir, updDown);
    EXPECT_EQ(u->Position(), 10);
}

TEST(XcUpDownWindow, AnEditBuddyReportsAChange) {
    Window w;
    w.form->HandleNeeded();
    TXcUpDown* u = w.upDown;
    u->SetAssociate(w.edit);
    int changes = 0;
    w.edit->OnChange = [&](TObject*) { ++changes; };
    u->ClickButton(btNext);
    EXPECT_EQ(w.edit->Text(), "1");
    changes = 0;
    Application->ProcessMessages();  // the posted EN_CHANGE
    EXPECT_EQ(changes, 1);
}

TEST(XcUpDownWindow, RemovedBuddyIsForgotten) {
    Window w;
    w.upDown->SetAssociate(w.edit);
    delete w.edit;
    EXPECT_EQ(w.upDown->Associate(), nullptr);
    w.upDown->SetPosition(3);  // nothing written to the freed edit
    EXPECT_EQ(w.upDown->Position(), 3);
}

TEST(XcUpDownWindow, ABuddyOfAnotherFormIsForgottenWithItsForm) {
    Window w;
    auto other = std::make_unique<TForm>(nullptr);
    auto* edit = new TEdit(other.get());
    edit->SetParent(other.get());
    w.upDown->SetAssociate(edit);
    other.reset();
    EXPECT_EQ(w.upDown->Associate(), nullptr);
    w.upDown->SetPosition(4);  // nothing written to the freed edit
    EXPECT_EQ(w.upDown->Position(), 4);
}
