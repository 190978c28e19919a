// The owner-drawn button: its looks (normal, mouse over, pressed, disabled) read from
// screenshots with synthetic mouse input, the frame flags, the repeated click driven over the
// timer pool's window, the glyph cells shared between buttons, the setters' edges, and what a form
// stores.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "controls/styled/styApplication.h"
#include "controls/styled/styButton.h"
#include "controls/styled/styFiler.h"
#include "platform/user/capture.h"
#include "platform/vcl/actnlist.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/windowSystem.h"

namespace {

// A 16 x 16 glyph: fuchsia background, a black-rimmed square from (4, 4) to (12, 12), red
// inside (the disabled look etches the black pixels).
std::unique_ptr<TBitmap> SquareGlyph(int cells = 1, TColor ink = clRed) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(16 * cells, 16);
    b->Canvas()->Brush()->Color = clFuchsia;
    b->Canvas()->FillRect(Rect(0, 0, 16 * cells, 16));
    for (int i = 0; i < cells; ++i) {
        b->Canvas()->Brush()->Color = i == 0 ? ink : i == 1 ? clBlue : clLime;
        b->Canvas()->FillRect(Rect(16 * i + 4, 4, 16 * i + 12, 12));
        b->Canvas()->Brush()->Color = clBlack;
        b->Canvas()->FrameRect(Rect(16 * i + 4, 4, 16 * i + 12, 12));
    }
    return b;
}

struct CountingButton : TStyButton {
    using TStyButton::TStyButton;
    void Invalidate() override {
        ++invalidated;
        TStyButton::Invalidate();
    }
    int invalidated = 0;
};

struct ButtonRig {
    ButtonRig() : form(new TForm(nullptr)) {
        form->SetBounds(0, 0, 220, 120);
        panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 160, 60);
        panel->BevelOuter = TBevelCut::bvNone;
        panel->SetColor(clBlack);
        other =
            new TButton(form.get());  // takes the focus, so the styled button shows no focus frame
        other->SetParent(panel);
        other->SetBounds(120, 10, 30, 30);
        button = new CountingButton(form.get());
        button->SetParent(panel);
        button->SetBounds(10, 10, 100, 30);
        button->SetColor(clSilver);
        button->SetCaption("Go");
        button->Font()->SetColor(clBlack);
        button->SetExtStyle(ubsFlat);
        button->SetGlyph(SquareGlyph().get());
        button->OnClick = [this](TObject*) { ++clicks; };
        form->Show();
        Application->ProcessMessages();
        other->SetFocus();
        Application->ProcessMessages();
    }
    ~ButtonRig() { form.reset(); }
    void Shoot(const char* keep = nullptr) {
        EXPECT_TRUE(panel->SaveScreenshot(path));
        shot.LoadFromFile(path);
        const char* dir = std::getenv("VEXOMAT_SCREENSHOTS");
        if (keep && dir && *dir) shot.SaveToFile(std::string(dir) + "/stybutton_" + keep + ".png");
    }
    TColor At(int x, int y) { return shot.Canvas()->Pixel(10 + x, 10 + y); }
    int Count(TColor c) {
        int n = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 100; ++x) n += At(x, y) == c;
        return n;
    }
    std::unique_ptr<TForm> form;
    TPanel* panel;
    TButton* other;
    CountingButton* button;
    TBitmap shot;
    int clicks = 0;
    // One file per test: ctest runs the tests side by side.
    std::string path = ::testing::TempDir() + "stybutton_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
};

void Tick(int n) {
    for (int i = 0; i < n; ++i) SendMessageA(StyApp->TimerPool()->Window(), WM_TIMER, 1, 0);
}

const TColor kShadow = TColor(ColorToRGB(clBtnShadow));
const TColor kLight = TColor(ColorToRGB(clBtnHighlight));

}  // namespace

TEST(StyButtonLooks, NormalHotPressedAndDisabledFromScreenshots) {
    ButtonRig r;
    CountingButton* b = r.button;
    ASSERT_NE(b->Peer(), nullptr);
    r.Shoot("normal");
    EXPECT_EQ(b->State(), 0);
    EXPECT_EQ(r.At(0, 0), clSilver);  // flat: no edge while up and not hot
    EXPECT_EQ(r.Count(clRed), 36);    // the glyph's square, its background masked out
    EXPECT_EQ(r.Count(clFuchsia), 0);

    b->Peer()->sendEnterLeave(true);
    r.Shoot("hot");
    EXPECT_TRUE(b->MouseOver());
    EXPECT_EQ(b->State(), 2);
    EXPECT_TRUE(b->FrameFlags() & bfHot);
    EXPECT_EQ(r.At(0, 0), kLight);  // raised when hot
    EXPECT_EQ(r.At(99, 29), kShadow);
    const int hotShadow = r.Count(kShadow);

    b->Peer()->sendMouseButton(true, 50, 15);
    r.Shoot("pressed");
    EXPECT_EQ(b->State(), 4);
    EXPECT_EQ(r.At(0, 0), kShadow);  // sunk while held
    EXPECT_EQ(r.Count(clRed), 36);
    b->Peer()->sendMouseButton(false, 50, 15);
    Application->ProcessMessages();
    EXPECT_EQ(r.clicks, 1);  // the window's click, once
    r.Shoot();
    EXPECT_EQ(b->State(), 2);  // hovered and released

    b->SetEnabled(false);
    r.Shoot("disabled");
    EXPECT_EQ(b->State(), 1);      // disabled wins over hot
    EXPECT_EQ(r.Count(clRed), 0);  // the glyph is etched: its black rim in shadow
    EXPECT_GE(r.Count(kShadow), hotShadow + 28);

    b->Peer()->sendEnterLeave(false);
    EXPECT_FALSE(b->MouseOver());
}

TEST(StyButtonLooks, FocusAndDefaultFlagsEachMeanTheirOwnThing) {
    ButtonRig r;
    CountingButton* b = r.button;
    b->Default = true;
    b->SetFocus();
    Application->ProcessMessages();
    r.Shoot();
    if (!b->Focused()) GTEST_SKIP() << "no keyboard focus on this platform";
    EXPECT_TRUE(b->DefaultLook());
    EXPECT_TRUE(b->FrameFlags() & bfFocused);
    EXPECT_TRUE(b->FrameFlags() & bfDefault);
    TButton& other = *r.other;
    other.SetFocus();
    Application->ProcessMessages();
    r.Shoot();
    EXPECT_FALSE(b->FrameFlags() & bfFocused);
    EXPECT_TRUE(b->FrameFlags() & bfDefault);  // still the Default button
    b->Default = false;
    b->SetFocus();
    Application->ProcessMessages();
    other.SetFocus();
    Application->ProcessMessages();
    r.Shoot();
    EXPECT_FALSE(b->DefaultLook());
    EXPECT_FALSE(b->FrameFlags() & (bfFocused | bfDefault));
}

TEST(StyButtonRepeat, ClicksOverThePoolWhileHeldAndOver) {
    ButtonRig r;
    CountingButton* b = r.button;
    ASSERT_EQ(StyApp->TimerPool()->Count(), 0);
    b->RepeatedClick = true;
    b->Peer()->sendEnterLeave(true);
    b->Peer()->sendMouseButton(true, 50, 15);
    const uint16_t id = b->RepeatTimerId();
    ASSERT_NE(id, 0);
    Tick(9);
    EXPECT_EQ(r.clicks, 0);
    Tick(1);  // 500 ms: the first repeated click
    EXPECT_EQ(r.clicks, 1);
    Tick(10);  // then one every 100 ms
    EXPECT_EQ(r.clicks, 6);
    // A second press while the timer runs makes no second timer.
    b->Perform(WM_LBUTTONDBLCLK, 1, MAKELPARAM_XY(50, 15));
    EXPECT_EQ(b->RepeatTimerId(), id);
    EXPECT_EQ(StyApp->TimerPool()->Count(), 1);
    b->Peer()->sendEnterLeave(false);  // off the button: paused, not stopped
    Tick(10);
    EXPECT_EQ(r.clicks, 6);
    EXPECT_NE(b->RepeatTimerId(), 0);
    b->Peer()->sendEnterLeave(true);
    Tick(2);
    EXPECT_EQ(r.clicks, 7);
    b->Peer()->sendMouseButton(false, 50, 15);
    Application->ProcessMessages();
    EXPECT_EQ(b->RepeatTimerId(), 0);
    EXPECT_EQ(StyApp->TimerPool()->Count(), 0);
    const int after = r.clicks;  // the release's own click
    Tick(20);
    EXPECT_EQ(r.clicks, after);
}

TEST(StyButtonRepeat, HidingStopsTheTimer) {
    ButtonRig r;
    r.button->RepeatedClick = true;
    r.button->Peer()->sendEnterLeave(true);
    r.button->Peer()->sendMouseButton(true, 50, 15);
    ASSERT_NE(r.button->RepeatTimerId(), 0);
    r.button->SetVisible(false);
    EXPECT_EQ(r.button->RepeatTimerId(), 0);
    EXPECT_FALSE(r.button->MouseOver());
    EXPECT_EQ(StyApp->TimerPool()->Count(), 0);
}

TEST(StyButtonSetters, UnchangedValuesRepaintNothing) {
    ButtonRig r;
    CountingButton* b = r.button;
    const int before = b->invalidated;
    b->SetMultiLine(false);
    b->SetUseCaption(true);
    b->SetImageIndex(-1);
    EXPECT_EQ(b->invalidated, before);  // nothing to repaint
    EXPECT_EQ(b->ImageIndex(), 0);
    b->SetMultiLine(true);
    EXPECT_EQ(b->invalidated, before + 1);
    // Each index compares with itself: ListIndex 0 -> 3 is stored although ImageIndex is 3.
    b->SetImageIndex(3);
    b->SetListIndex(3);
    EXPECT_EQ(b->ListIndex(), 3);
    // Three cells side by side give three looks; six or more give one cell.
    b->SetGlyph(SquareGlyph(3).get());
    EXPECT_EQ(b->NumGlyphs(), 3);
    TBitmap wide;
    wide.SetSize(96, 16);
    b->SetGlyph(&wide);
    EXPECT_EQ(b->NumGlyphs(), 1);
    TBitmap odd;
    odd.SetSize(50, 16);
    b->SetNumGlyphs(2);
    b->SetGlyph(&odd);
    EXPECT_EQ(b->NumGlyphs(), 2);
}

TEST(StyButtonSetters, LayoutAndEffectsAreCopiedIntoTheButtonsOwn) {
    ButtonRig r;
    CountingButton* b = r.button;
    TStyButtonLayout* layout = b->ButtonLayout();
    TStyFxCaption* fx = b->FontFX();
    TStyButtonLayout newLayout;
    newLayout.SetSpacing(9);
    TStyFxCaption newFx;
    newFx.SetPosX(5);
    struct Row {
        const char* what;
        std::function<void()> set;
        std::function<bool()> copied;
    };
    const Row rows[] = {
        {"the layout", [&] { b->SetButtonLayout(&newLayout); },
         [&] { return b->ButtonLayout() == layout && layout->Spacing() == 9; }},
        {"the caption effects", [&] { b->SetFontFX(&newFx); },
         [&] { return b->FontFX() == fx && fx->PosX() == 5; }},
    };
    for (const Row& row : rows) {
        const int before = b->invalidated;
        row.set();
        EXPECT_TRUE(row.copied()) << row.what;
        EXPECT_GT(b->invalidated, before) << row.what;  // the button shows it
    }
    // The button's objects stay bound: a later change of its own repaints too.
    const int before = b->invalidated;
    b->ButtonLayout()->SetSpacing(2);
    EXPECT_GT(b->invalidated, before);
}

TEST(StyButtonSetters, ImageListSuppliesTheGlyph) {
    ButtonRig r;
    auto* list = new TStyBitmapList(r.form.get());
    CountingButton* b = r.button;
    b->SetImageList(list);
    EXPECT_TRUE(b->Glyph()->Empty());       // no such image: the glyph is cleared
    list->AddBitmap(SquareGlyph(3).get());  // the change link brings it in
    EXPECT_EQ(b->Glyph()->Width(), 48);
    EXPECT_EQ(b->NumGlyphs(), 3);
    b->SetGlyph(SquareGlyph().get());  // a glyph of its own lets the list go
    EXPECT_EQ(b->ImageList(), nullptr);
    b->SetImageList(list);
    EXPECT_EQ(b->Glyph()->Width(), 48);
    delete list;  // its removal is noticed
    EXPECT_EQ(b->ImageList(), nullptr);
    // The layer's shared lists are stored by name and found again by it.
    EXPECT_EQ(StyListFromReferenceName("STYBML30"), StyGlobalContainer()->BitmapList());
}

TEST(StyButtonDropDown, ClickFiresOnClickThenOpensTheMenuBelow) {
    ButtonRig r;
    TStyButton* b = r.button;
    TPopupMenu menu(r.form.get());
    int chosen = 0;
    menu.Add("One")->OnClick = [&](TObject*) { chosen = 1; };
    menu.Add("Two")->OnClick = [&](TObject*) { chosen = 2; };
    b->SetDropDownMenu(&menu);
    b->DropDownIndent = 4;
    int dropped = 0, shownPressed = 0, atX = 0, atY = 0;
    b->OnDropDown = [&](TObject*) { ++dropped; };
    ws::SetPopupMenuDriver([&](const std::vector<ws::PopupMenuItem>& items, int x, int y) {
        EXPECT_EQ(items.size(), 2u);
        EXPECT_TRUE(b->Dropped());
        shownPressed = int(b->Perform(BM_GETSTATE));
        atX = x;
        atY = y;
        return 1;
    });
    b->Click();
    ws::SetPopupMenuDriver(nullptr);
    EXPECT_EQ(r.clicks, 1);  // OnClick first
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(shownPressed, int(BST_PUSHED));
    EXPECT_FALSE(b->Dropped());
    EXPECT_EQ(b->Perform(BM_GETSTATE), 0);
    const TPoint o = b->ClientOrigin();
    EXPECT_EQ(atX, o.X + 4);
    EXPECT_EQ(atY, o.Y + b->Height());
    b->SetDropDownMenu(nullptr);
    b->Click();
    EXPECT_EQ(r.clicks, 2);
    EXPECT_EQ(dropped, 1);
}

TEST(StyButtonDropDown, AWindowHoldingTheMouseLeavesItsModeWhenTheMenuCloses) {
    ButtonRig r;
    TPopupMenu menu(r.form.get());
    menu.Add("One");
    r.button->SetDropDownMenu(&menu);
    int cancels = 0;
    TWndMethod inner = r.other->WindowProc;
    r.other->WindowProc = [&](TMessage& m) {
        cancels += m.Msg == WM_CANCELMODE;
        inner(m);
    };
    // The other button takes the mouse while the menu is open.
    ws::SetPopupMenuDriver([&](const std::vector<ws::PopupMenuItem>&, int, int) {
        r.other->SetMouseCapture(true);
        return -1;
    });
    r.button->Click();
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(GetCapture(), nullptr);  // and let it go
    // Without a holder nobody is told.
    ws::SetPopupMenuDriver([](const std::vector<ws::PopupMenuItem>&, int, int) { return -1; });
    r.button->Click();
    ws::SetPopupMenuDriver(nullptr);
    EXPECT_EQ(cancels, 1);
    r.other->WindowProc = inner;
}

namespace {
// A 16 x 16 picture for an image list: a coloured square on fuchsia, reaching the bottom-left
// corner (which must not make that colour transparent).
std::unique_ptr<TBitmap> ListPicture(TColor ink) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(16, 16);
    b->Canvas()->Brush()->Color = clFuchsia;
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
    b->Canvas()->Brush()->Color = ink;
    b->Canvas()->FillRect(Rect(0, 4, 8, 16));
    return b;
}

struct ActionRig : ButtonRig {
    ActionRig() {
        images = new TImageList(form.get());
        images->AddMasked(ListPicture(clRed).get(), clFuchsia);
        images->AddMasked(ListPicture(clBlue).get(), clFuchsia);
        list = new TActionList(form.get());
        list->SetImages(images);
        action = new TAction(form.get());
        action->SetActionList(list);
        action->SetCaption("Run");
        action->SetImageIndex(0);
        action->SetOnExecute([this](TObject*) { ++executed; });
        button->OnClick = nullptr;
    }
    TImageList* images;
    TActionList* list;
    TAction* action;
    int executed = 0;
};
}  // namespace

TEST(StyButtonAction, ShowsTheActionsCaptionAndImageAndExecutesIt) {
    ActionRig r;
    CountingButton* b = r.button;
    b->SetGlyph(nullptr);  // only an empty glyph takes the action's image
    b->SetAction(r.action);
    EXPECT_EQ(b->Caption(), "Run");
    ASSERT_EQ(b->Glyph()->Width(), 16);
    EXPECT_EQ(b->NumGlyphs(), 1);
    r.Shoot("action");
    EXPECT_EQ(r.Count(clRed), 8 * 12);  // the whole picture, its corner included
    EXPECT_EQ(r.Count(clFuchsia), 0);

    // A press and release of the mouse executes the action.
    b->Peer()->sendEnterLeave(true);
    b->Peer()->sendMouseButton(true, 50, 15);
    b->Peer()->sendMouseButton(false, 50, 15);
    Application->ProcessMessages();
    EXPECT_EQ(r.executed, 1);

    // Another image of the list; then changes that leave the image as it is keep showing it.
    r.action->SetImageIndex(1);
    r.Shoot();
    EXPECT_EQ(r.Count(clBlue), 8 * 12);
    for (bool enabled : {false, true, false}) {
        r.action->SetEnabled(enabled);
        r.Shoot();
        EXPECT_EQ(b->Enabled(), enabled);
        EXPECT_FALSE(b->Glyph()->Empty()) << enabled;
        if (enabled) {
            EXPECT_EQ(r.Count(clBlue), 8 * 12);
        }
    }
    EXPECT_EQ(b->State(), 1);  // drawn disabled with the action
    b->Click();
    EXPECT_EQ(r.executed, 1);  // a disabled action does nothing
}

TEST(StyButtonAction, WithoutAnImageTheGlyphIsCleared) {
    struct Row {
        const char* what;
        int imageIndex;
        bool withImages;
    };
    for (Row row : {Row{"no image", -1, true}, Row{"index past the list", 2, true},
                    Row{"list without images", 0, false}}) {
        ActionRig r;
        if (!row.withImages) r.list->SetImages(nullptr);
        r.action->SetImageIndex(row.imageIndex);
        r.button->SetAction(r.action);
        EXPECT_TRUE(r.button->Glyph()->Empty()) << row.what;
    }
    // A glyph of the form's own is cleared even by an action that has an image, and the
    // action's next change shows that image; only a button being read keeps its glyph.
    struct Own {
        const char* what;
        bool actionRead, buttonRead;
    };
    for (Own row : {Own{"nothing read", false, false}, Own{"the action read", true, false},
                    Own{"the button read", false, true}}) {
        ActionRig r;
        r.action->SetLoading(row.actionRead);
        r.button->SetLoading(row.buttonRead);
        r.button->SetAction(r.action);
        r.action->SetLoading(false);
        r.button->SetLoading(false);
        r.Shoot();
        if (row.buttonRead) {
            EXPECT_EQ(r.Count(clRed), 36) << row.what;  // the square glyph, not the picture
            continue;
        }
        EXPECT_TRUE(r.button->Glyph()->Empty()) << row.what;
        r.action->SetImageIndex(1);
        r.Shoot();
        EXPECT_EQ(r.Count(clBlue), 8 * 12) << row.what;
    }
    // A button showing a built-in arrow keeps it.
    ActionRig a;
    a.button->ArrowKind = 2;
    a.button->SetGlyph(nullptr);
    a.action->SetImageIndex(-1);
    a.button->SetAction(a.action);
    a.Shoot();
    EXPECT_EQ(a.button->Glyph()->Width(), 13);
}

TEST(StyButtonStreaming, WhatAFormStoresForEachKindOfList) {
    TForm form(nullptr);
    TStyBitmapList own(&form);
    TStyContainer* shared = StyGlobalContainer();
    struct Row {
        TStyCustomImageList* list;
        uint8_t arrow;
        bool glyphStored, listStored;
        const char* internal;  // null: not written
    };
    const Row rows[] = {
        {nullptr, 0, true, false, nullptr},
        {&own, 0, false, true, nullptr},
        {&own, 3, true, true, nullptr},  // an arrow cell is stored with the glyph
        {shared->BitmapList(), 0, false, false, "STYBML30"},
        {shared->ImageList(), 0, false, false, "STYIML30"},
        {shared->ImageList(), 2, true, false, "STYIML30"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << (row.internal ? row.internal : "-") << " arrow " << int(row.arrow));
        TStyButton b(&form);
        b.SetImageList(row.list);
        b.ArrowKind = row.arrow;
        EXPECT_EQ(b.GlyphStored(), row.glyphStored);
        EXPECT_EQ(b.ImageListStored(), row.listStored);
        TStyPropertyWriter w;
        b.DefineProperties(w);
        EXPECT_EQ(w.Find("Style"), nullptr);  // read only
        const TDfmValue* v = w.Find("Internal");
        ASSERT_EQ(v != nullptr, row.internal != nullptr);
        if (!v) continue;
        EXPECT_EQ(v->s, row.internal);
        // What was written links the same shared list when read back.
        TStyButton read(&form);
        StyReadStoredProperty(&read, "Internal", *v);
        EXPECT_EQ(read.ImageList(), row.list);
    }
}

TEST(StyButtonStreaming, FormFileNamesSharedListsAndOldStyles) {
    RegisterStyButton();
    TForm form(nullptr);
    form.Name = "F";
    ReadForm(&form,
             "object F: TForm\n"
             "  object A: TStyButton\n"
             "    Internal = 'STYIML30'\n"
             "    Style = nbsWin40\n"
             "  end\n"
             "  object B: TStyButton\n"
             "    Internal = 'STYWVL30'\n"  // the shared wave list is no image list
             "    ExtStyle = ubsFlat\n"
             "    Style = nbsUnknown\n"
             "  end\n"
             "end\n");
    auto* a = dynamic_cast<TStyButton*>(form.FindComponent("A"));
    auto* b = dynamic_cast<TStyButton*>(form.FindComponent("B"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->ImageList(), StyGlobalContainer()->ImageList());
    EXPECT_EQ(a->ExtStyle(), ubsWin40);
    EXPECT_EQ(b->ImageList(), nullptr);
    EXPECT_EQ(b->ExtStyle(), ubsFlat);  // an unknown old style leaves it

    // A name that is no shared list keeps the list the button has.
    TStyBitmapList own(&form);
    b->SetImageList(&own);
    TDfmValue unknown;
    unknown.kind = TDfmValue::vString;
    unknown.s = "STYXML30";
    StyReadStoredProperty(b, "Internal", unknown);
    EXPECT_EQ(b->ImageList(), &own);
    b->SetImageList(nullptr);
}

TEST(StyButtonSetters, PaletteIsTheGlyphBitmaps) {
    ButtonRig r;
    CountingButton* b = r.button;
    // A glyph of 16 colours: the button answers with its palette.
    TBitmap glyph;
    glyph.SetPixelFormat(pf4bit);
    glyph.SetSize(16, 16);
    b->SetGlyph(&glyph);
    HPALETTE pal = b->GetPalette();
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(pal, b->Glyph()->Palette());
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 16u);
    // A glyph of true colour needs none; a control without a glyph has none.
    b->SetGlyph(SquareGlyph().get());
    EXPECT_EQ(b->GetPalette(), b->Glyph()->Palette());
    TButton plain(nullptr);
    EXPECT_EQ(plain.GetPalette(), nullptr);
}
