// The hook bases: each message reaches its hook once and only its hook, the default bodies
// pass the message on, hint colours, dialog codes and the mouse-over flag over a real window.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/extended/xcExControls.h"
#include "platform/gdi/gdi.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/windowSystem.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// Records every hook that runs and every message that reaches the class library's handling.
template <class Base>
class Probe : public Base {
public:
    explicit Probe(TComponent* owner) : Base(owner) {}
    std::vector<std::string> hooks;
    std::vector<TMessage> passedOn;
    bool recordPassedOn = false;
    TWinControl* focusedTo = nullptr;  // as FocusChanged last heard it

protected:
    void Dispatch(TMessage& m) override {
        if (recordPassedOn) passedOn.push_back(m);
        Base::Dispatch(m);
    }
    void TextChanged() override {
        hooks.push_back("TextChanged");
        Base::TextChanged();
    }
    bool WantKey(int k, TShiftState s, const std::string& t) override {
        hooks.push_back("WantKey");
        return Base::WantKey(k, s, t);
    }
    bool HitTest(int x, int y) override {
        hooks.push_back("HitTest");
        return Base::HitTest(x, y);
    }
    void FocusChanged(TWinControl* c) override {
        hooks.push_back("FocusChanged");
        focusedTo = c;
        Base::FocusChanged(c);
    }
    void VisibleChanged() override {
        hooks.push_back("VisibleChanged");
        Base::VisibleChanged();
    }
    void EnabledChanged() override {
        hooks.push_back("EnabledChanged");
        Base::EnabledChanged();
    }
    void ColorChanged() override {
        hooks.push_back("ColorChanged");
        Base::ColorChanged();
    }
    void FontChanged() override {
        hooks.push_back("FontChanged");
        Base::FontChanged();
    }
    void ParentFontChanged() override {
        hooks.push_back("ParentFontChanged");
        Base::ParentFontChanged();
    }
    void ParentColorChanged() override {
        hooks.push_back("ParentColorChanged");
        Base::ParentColorChanged();
    }
    void ParentShowHintChanged() override {
        hooks.push_back("ParentShowHintChanged");
        Base::ParentShowHintChanged();
    }
    bool HintShow(THintInfo& h) override {
        hooks.push_back("HintShow");
        return Base::HintShow(h);
    }
    void MouseEnter(TControl* c) override {
        hooks.push_back("MouseEnter");
        Base::MouseEnter(c);
    }
    void MouseLeave(TControl* c) override {
        hooks.push_back("MouseLeave");
        Base::MouseLeave(c);
    }
};

template <class Base>
class WinProbe : public Probe<Base> {
public:
    explicit WinProbe(TComponent* owner) : Probe<Base>(owner) {}
    std::function<void(TDlgCodes&)> dlgCodeHook;

protected:
    void BoundsChanged() override { this->hooks.push_back("BoundsChanged"); }
    void GetDlgCode(TDlgCodes& c) override {
        this->hooks.push_back("GetDlgCode");
        if (dlgCodeHook) dlgCodeHook(c);
    }
    void FocusSet(HWND w) override {
        this->hooks.push_back("FocusSet");
        Base::FocusSet(w);
    }
    void FocusKilled(HWND w) override {
        this->hooks.push_back("FocusKilled");
        Base::FocusKilled(w);
    }

public:
    std::function<bool(TCanvas*, int)> backgroundHook;

protected:
    using Base::PaintBackground;
    bool PaintBackground(TCanvas* c, int param) override {
        this->hooks.push_back("PaintBackground");
        return backgroundHook ? backgroundHook(c, param) : Base::PaintBackground(c, param);
    }
    void CursorChanged() override {
        this->hooks.push_back("CursorChanged");
        Base::CursorChanged();
    }
    void ShowingChanged() override {
        this->hooks.push_back("ShowingChanged");
        Base::ShowingChanged();
    }
    void ShowHintChanged() override {
        this->hooks.push_back("ShowHintChanged");
        Base::ShowHintChanged();
    }
    void ControlsListChanging(TControl* c, bool i) override {
        this->hooks.push_back(i ? "ControlsListChanging+" : "ControlsListChanging-");
        Base::ControlsListChanging(c, i);
    }
    void ControlsListChanged(TControl* c, bool i) override {
        this->hooks.push_back(i ? "ControlsListChanged+" : "ControlsListChanged-");
        Base::ControlsListChanged(c, i);
    }
};

struct Row {
    UINT msg;
    WPARAM w;
    LPARAM l;
    const char* hook;
};

THintInfo hintRecord;

const std::vector<Row>& CommonRows() {
    static const std::vector<Row> rows = {
        {CM_TEXTCHANGED, 0, 0, "TextChanged"},
        {CM_DIALOGCHAR, 'a', 0, "WantKey"},
        {CM_HITTEST, 0, MAKELPARAM_XY(3, 4), "HitTest"},
        {CM_FOCUSCHANGED, 0, 0, "FocusChanged"},
        {CM_VISIBLECHANGED, 0, 0, "VisibleChanged"},
        {CM_ENABLEDCHANGED, 0, 0, "EnabledChanged"},
        {CM_COLORCHANGED, 0, 0, "ColorChanged"},
        {CM_FONTCHANGED, 0, 0, "FontChanged"},
        {CM_PARENTFONTCHANGED, 0, 0, "ParentFontChanged"},
        {CM_PARENTCOLORCHANGED, 0, 0, "ParentColorChanged"},
        {CM_PARENTSHOWHINTCHANGED, 0, 0, "ParentShowHintChanged"},
        {CM_HINTSHOW, 0, LPARAM(&hintRecord), "HintShow"},
        {CM_MOUSEENTER, 0, 0, "MouseEnter"},
        {CM_MOUSELEAVE, 0, 0, "MouseLeave"},
    };
    return rows;
}

const std::vector<Row>& WindowedRows() {
    static const std::vector<Row> rows = {
        {CM_CURSORCHANGED, 0, 0, "CursorChanged"},
        {CM_SHOWINGCHANGED, 0, 0, "ShowingChanged"},
        {CM_SHOWHINTCHANGED, 0, 0, "ShowHintChanged"},
        {CM_CONTROLLISTCHANGE, 0, 1, "ControlsListChanging+"},
        {CM_CONTROLLISTCHANGE, 0, 0, "ControlsListChanged-"},
        {CM_CONTROLCHANGE, 0, 0, "ControlsListChanging-"},
        {CM_CONTROLCHANGE, 0, 1, "ControlsListChanged+"},
        {WM_SIZE, 0, 0, "BoundsChanged"},
        {WM_SETFOCUS, 0, 0, "FocusSet"},
        {WM_KILLFOCUS, 0, 0, "FocusKilled"},
        {WM_GETDLGCODE, 0, 0, "GetDlgCode"},
    };
    return rows;
}

template <class P>
void ExpectEachHookOnce(P& probe, const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        probe.hooks.clear();
        probe.Perform(r.msg, r.w, r.l);
        EXPECT_EQ(probe.hooks, std::vector<std::string>{r.hook})
            << "message 0x" << std::hex << r.msg;
    }
    // Messages that are not hooked reach no hook.
    for (UINT other : {UINT(WM_USER + 7), UINT(CM_ENTER), UINT(WM_TIMER)}) {
        probe.hooks.clear();
        probe.Perform(other, 0, 0);
        EXPECT_TRUE(probe.hooks.empty()) << "message 0x" << std::hex << other;
    }
}

}  // namespace

TEST(XcExHooks, GraphicControlHasItsElevenChangeHooksAndThreeVirtualOnes) {
    Probe<TXcExGraphicControl> g(nullptr);
    ExpectEachHookOnce(g, CommonRows());
    // The windowed-only messages are not hooked on the graphic control.
    for (const Row& r : WindowedRows()) {
        g.hooks.clear();
        g.Perform(r.msg, r.w, r.l);
        EXPECT_TRUE(g.hooks.empty()) << "message 0x" << std::hex << r.msg;
    }
}

TEST(XcExHooks, WindowedBasesHaveEveryHook) {
    WinProbe<TXcExCustomListBox> list(nullptr);
    WinProbe<TXcExCustomComboBox> combo(nullptr);
    WinProbe<TXcExCustomUpDown> upDown(nullptr);
    for (auto* rows : {&CommonRows(), &WindowedRows()}) {
        ExpectEachHookOnce(list, *rows);
        ExpectEachHookOnce(combo, *rows);
        ExpectEachHookOnce(upDown, *rows);
    }
}

TEST(XcExHooks, DefaultBodiesPassTheSameMessageOnRebuiltFromTheArguments) {
    WinProbe<TXcExCustomListBox> p(nullptr);
    p.recordPassedOn = true;
    auto lastPassed = [&] { return p.passedOn.empty() ? TMessage{} : p.passedOn.back(); };

    // Only the Alt, Ctrl and Shift bits of the key data survive the round trip.
    p.Perform(CM_DIALOGCHAR, 0x10041, 0x38000000 | 0x00FF0001);
    TMessage m = lastPassed();
    EXPECT_EQ(m.Msg, UINT(CM_DIALOGCHAR));
    EXPECT_EQ(m.WParam, WPARAM(0x0041));
    EXPECT_EQ(m.LParam, LPARAM(0x38000000));

    p.Perform(CM_HITTEST, 0, MAKELPARAM_XY(-3, 9));
    m = lastPassed();
    EXPECT_EQ(m.Msg, UINT(CM_HITTEST));
    EXPECT_EQ(GET_X_LPARAM(m.LParam), -3);
    EXPECT_EQ(GET_Y_LPARAM(m.LParam), 9);

    // Focus messages pass LParam 0.
    p.Perform(WM_SETFOCUS, 0x1234, 0x5678);
    m = lastPassed();
    EXPECT_EQ(m.Msg, UINT(WM_SETFOCUS));
    EXPECT_EQ(m.WParam, WPARAM(0x1234));
    EXPECT_EQ(m.LParam, 0);
    p.Perform(WM_KILLFOCUS, 0x99, 0x77);
    EXPECT_EQ(lastPassed().LParam, 0);

    TControl* child = &p;
    p.Perform(CM_CONTROLCHANGE, WPARAM(child), 0);
    m = lastPassed();
    EXPECT_EQ(m.Msg, UINT(CM_CONTROLCHANGE));
    EXPECT_EQ(m.WParam, WPARAM(child));
    EXPECT_EQ(m.LParam, 0);
    p.Perform(CM_CONTROLLISTCHANGE, WPARAM(child), 5);
    m = lastPassed();
    EXPECT_EQ(m.Msg, UINT(CM_CONTROLLISTCHANGE));
    EXPECT_EQ(m.LParam, 1);
}

TEST(XcExHooks, QueryNoSubclassAnswersZeroForTheProgramsClasses) {
    TXcExGraphicControl g(nullptr);
    TXcExCustomUpDown u(nullptr);
    EXPECT_EQ(g.Perform(CM_QUERYNOSUBCLASS), 0);
    EXPECT_EQ(u.Perform(CM_QUERYNOSUBCLASS), 0);
    struct Tagged : TXcExGraphicControl, IXcNoSubclass {
        explicit Tagged(TComponent* o) : TXcExGraphicControl(o) {}
    } tagged(nullptr);
    EXPECT_EQ(tagged.Perform(CM_QUERYNOSUBCLASS), 1);
}

TEST(XcExHooks, DialogCodesAndKeyData) {
    const TDlgCodes all = DlgCodeBit(dcWantAllKeys) | DlgCodeBit(dcWantArrows) |
                          DlgCodeBit(dcWantChars) | DlgCodeBit(dcButton) | DlgCodeBit(dcHasSetSel) |
                          DlgCodeBit(dcWantTab);
    EXPECT_EQ(DlgcToDlgCodes(0x0004 | 0x0001 | 0x0080 | 0x2000 | 0x0008 | 0x0002 | 0x0100 | 0x0040),
              all);
    EXPECT_EQ(DlgCodesToDlgc(all | DlgCodeBit(dcNative)), UINT(0x208F));
    EXPECT_EQ(DlgCodesToDlgc(DlgCodeBit(dcWantArrows)), UINT(DLGC_WANTARROWS));
    EXPECT_EQ(ShiftStateToKeyData(ssAlt | ssLeft), LPARAM(0x20000000));
    EXPECT_EQ(ShiftStateToKeyData(ssCtrl | ssShift), LPARAM(0x18000000));
    EXPECT_EQ(KeyDataToShiftState(ShiftStateToKeyData(ssAlt | ssCtrl | ssShift)),
              TShiftState(ssAlt | ssCtrl | ssShift));
}

TEST(XcExHooks, GetDlgCodeKeepsTheLibrarysAnswerUnlessNativeIsRemoved) {
    // The class library answers WM_GETDLGCODE with 0 here; the hook sees that plus dcNative.
    WinProbe<TXcExCustomComboBox> p(nullptr);
    TDlgCodes seen = 0;
    p.dlgCodeHook = [&](TDlgCodes& c) {
        seen = c;
        c |= DlgCodeBit(dcWantArrows);
    };
    EXPECT_EQ(p.Perform(WM_GETDLGCODE), 0);
    EXPECT_EQ(seen, DlgCodeBit(dcNative));
    p.dlgCodeHook = [](TDlgCodes& c) { c = DlgCodeBit(dcWantArrows) | DlgCodeBit(dcWantTab); };
    EXPECT_EQ(p.Perform(WM_GETDLGCODE), LRESULT(DLGC_WANTARROWS | DLGC_WANTTAB));
}

TEST(XcExHooks, EventsRunAroundTheLibrarysHandling) {
    TForm form(nullptr);
    auto* g = new Probe<TXcExGraphicControl>(&form);
    g->SetParent(&form);
    std::vector<std::string> order;
    g->OnMouseEnter = [&](TObject* s) { order.push_back(s == g ? "enter" : "?"); };
    g->OnMouseLeave = [&](TObject* s) { order.push_back(s == g ? "leave" : "?"); };
    g->OnParentColorChange = [&](TObject*) {
        order.push_back("parentColor " + std::to_string(g->Color()));
    };
    g->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(g->MouseOver());
    EXPECT_TRUE(g->MouseInside);  // the class library's handling ran too
    g->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(g->MouseOver());
    // A control that follows its parent's colour has it when the event runs.
    g->ParentColor = true;
    form.SetColor(clTeal);
    EXPECT_EQ(order, (std::vector<std::string>{"enter", "leave",
                                               "parentColor " + std::to_string(clTeal)}));
    EXPECT_EQ(g->Color(), clTeal);
}

TEST(XcExHooks, HintColourFromTheControlTheParentOrTheApplication) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* outer = new WinProbe<TXcExCustomListBox>(&form);  // a windowed parent with its own colour
    outer->SetParent(&form);
    outer->SetBounds(0, 0, 100, 100);
    auto* g = new TXcExGraphicControl(&form);
    g->SetParent(outer);
    g->SetBounds(10, 10, 20, 20);
    g->SetHint("lamp");
    TColor c = 0;
    std::string text;
    const TColor app = Application->HintColor;

    // clDefault with a parent: the parent's own resolution decides.
    outer->HintColor = clYellow;
    ASSERT_TRUE(outer->HintAt(15, 15, text, c));
    EXPECT_EQ(text, "lamp");
    EXPECT_EQ(c, clYellow);
    // The parent with clDefault and a form (which keeps the colour) above it.
    outer->HintColor = clDefault;
    ASSERT_TRUE(outer->HintAt(15, 15, text, c));
    EXPECT_EQ(c, app);
    g->HintColor = clAqua;
    ASSERT_TRUE(outer->HintAt(15, 15, text, c));
    EXPECT_EQ(c, clAqua);
    Application->HintColor = clLime;
    g->HintColor = clNone;
    ASSERT_TRUE(outer->HintAt(15, 15, text, c));
    EXPECT_EQ(c, clLime);
    Application->HintColor = app;

    // Without a parent the record's colour stays.
    TXcExGraphicControl lone(nullptr);
    THintInfo info;
    info.HintColor = clFuchsia;
    lone.Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintColor, clFuchsia);
    // No hint text: no hint.
    EXPECT_FALSE(outer->HintAt(80, 80, text, c));
}

TEST(XcExHooks, MouseOverFollowsSyntheticMovesOverAnOffscreenWindow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 120);
    auto* g = new TXcExGraphicControl(&form);
    g->SetParent(&form);
    g->SetBounds(20, 20, 17, 17);
    auto* list = new TXcExCustomListBox(&form);
    list->SetParent(&form);
    list->SetBounds(100, 10, 80, 80);
    form.Show();
    Application->ProcessMessages();
    int enters = 0, leaves = 0;
    g->OnMouseEnter = [&](TObject*) { ++enters; };
    g->OnMouseLeave = [&](TObject*) { ++leaves; };

    ASSERT_NE(form.Peer(), nullptr);
    form.Peer()->sendMouseMove(5, 5);
    EXPECT_FALSE(g->MouseOver());
    form.Peer()->sendMouseMove(25, 25);
    EXPECT_TRUE(g->MouseOver());
    form.Peer()->sendMouseMove(30, 30);  // still inside: no second enter
    form.Peer()->sendMouseMove(60, 60);
    EXPECT_FALSE(g->MouseOver());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);

    // A windowed control learns of the mouse from its own window.
    ASSERT_NE(list->Peer(), nullptr);
    list->Peer()->sendEnterLeave(true);
    EXPECT_TRUE(list->MouseOver());
    list->Peer()->sendEnterLeave(false);
    EXPECT_FALSE(list->MouseOver());
    form.Hide();
}

TEST(XcExHooks, ClassLibraryTellsControlsOfTheirChanges) {
    TForm form(nullptr);
    auto* p = new WinProbe<TXcExCustomUpDown>(&form);
    p->SetParent(&form);
    auto run = [&](auto change) {
        p->hooks.clear();
        change();
        return p->hooks;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(run([&] { p->SetColor(clRed); }), V{"ColorChanged"});
    EXPECT_EQ(run([&] { p->SetEnabled(false); }), V{"EnabledChanged"});
    EXPECT_EQ(run([&] { p->SetVisible(false); }), V{"VisibleChanged"});
    EXPECT_EQ(run([&] { p->SetText("x"); }), V{"TextChanged"});
    EXPECT_EQ(run([&] { p->Font()->SetHeight(-20); }), V{"FontChanged"});
    EXPECT_EQ(run([&] { form.Font()->SetHeight(-15); }), V{"ParentFontChanged"});
    auto* child = new TLabel(&form);
    EXPECT_EQ(run([&] { child->SetParent(p); }),
              (V{"ControlsListChanging+", "ControlsListChanged+"}));
    EXPECT_EQ(run([&] { child->SetParent(nullptr); }),
              (V{"ControlsListChanging-", "ControlsListChanged-"}));
}

namespace {
// A list box whose print handling changes the context it is given (and may raise).
class Printer : public TXcExCustomListBox {
public:
    explicit Printer(TComponent* owner) : TXcExCustomListBox(owner) {}
    bool raise = false;

protected:
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_PRINTCLIENT || m.Msg == WM_PRINT) {
            SetTextColor(reinterpret_cast<HDC>(m.WParam), RGB(0, 0, 255));
            if (raise) throw Exception("printing failed");
            return;
        }
        TXcExCustomListBox::Dispatch(m);
    }
};
}  // namespace

TEST(XcExHooks, PrintingLeavesTheContextAsItWas) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    SetTextColor(dc, RGB(255, 0, 0));
    Printer p(nullptr);
    p.Perform(WM_PRINTCLIENT, WPARAM(dc), 0);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    p.Perform(WM_PRINT, WPARAM(dc), 0);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    p.raise = true;
    EXPECT_THROW(p.Perform(WM_PRINTCLIENT, WPARAM(dc), 0), Exception);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    DeleteDC(dc);
}

namespace {
// A memory context over a white 20 by 20 bitmap with a known text colour.
struct TestDc {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(20, 20, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    TestDc() {
        PatBlt(dc, 0, 0, 20, 20, WHITENESS);
        SetTextColor(dc, RGB(255, 0, 0));
    }
    ~TestDc() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
};
}  // namespace

TEST(XcExHooks, PaintBackgroundDrawsOnTheMessagesContextAndGivesItsStateBack) {
    WinProbe<TXcExCustomUpDown> p(nullptr);
    p.SetColor(clLime);
    p.hooks.clear();
    // Without an override the class library fills the context with the control's colour.
    {
        TestDc t;
        EXPECT_EQ(p.Perform(WM_ERASEBKGND, WPARAM(t.dc), 0), 1);
        EXPECT_EQ(p.hooks, std::vector<std::string>{"PaintBackground"});
        EXPECT_EQ(GetPixel(t.dc, 10, 10), ColorToRGB(clLime));
        EXPECT_EQ(GetTextColor(t.dc), RGB(255, 0, 0));
    }
    // An override draws with the canvas it is lent and may say it painted nothing.
    struct HookRow {
        bool answer;
        bool raise;
    };
    for (HookRow row : {HookRow{true, false}, HookRow{false, false}, HookRow{true, true}}) {
        TestDc t;
        int seenParam = -1;
        p.backgroundHook = [&](TCanvas* c, int param) {
            seenParam = param;
            c->Brush()->Color = clBlue;
            c->FillRect(Rect(0, 0, 5, 5));
            SetTextColor(c->Handle(), RGB(0, 0, 255));
            if (row.raise) throw Exception("background failed");
            return row.answer;
        };
        if (row.raise) {
            EXPECT_THROW(p.Perform(WM_ERASEBKGND, WPARAM(t.dc), 7), Exception);
        } else {
            EXPECT_EQ(p.Perform(WM_ERASEBKGND, WPARAM(t.dc), 7), row.answer ? 1 : 0);
        }
        EXPECT_EQ(seenParam, 7);
        EXPECT_EQ(GetPixel(t.dc, 2, 2), ColorToRGB(clBlue));
        EXPECT_EQ(GetPixel(t.dc, 10, 10), RGB(255, 255, 255));
        // The state is back and no saved level is left over, also when the hook raised.
        EXPECT_EQ(GetTextColor(t.dc), RGB(255, 0, 0)) << row.raise;
        EXPECT_EQ(SaveDC(t.dc), 1) << row.raise;
    }
}

TEST(XcExHooks, ClassLibrarySendsFocusCursorHintSizeAndBackgroundMessages) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* p = new WinProbe<TXcExCustomUpDown>(&form);
    p->SetParent(&form);
    p->SetBounds(10, 10, 20, 40);
    auto* other = new WinProbe<TXcExCustomListBox>(&form);
    other->SetParent(&form);
    other->SetBounds(100, 10, 80, 60);
    auto has = [](const std::vector<std::string>& hooks, const std::string& name) {
        return std::count(hooks.begin(), hooks.end(), name);
    };
    form.HandleNeeded();
    p->hooks.clear();
    p->SetCursor(crHandPoint);
    p->SetCursor(crHandPoint);  // unchanged: nothing to tell
    EXPECT_EQ(p->hooks, std::vector<std::string>{"CursorChanged"});
    p->hooks.clear();
    p->SetShowHint(true);
    EXPECT_EQ(p->hooks, std::vector<std::string>{"ShowHintChanged"});
    EXPECT_FALSE(p->ParentShowHint);
    // A parent's changed hint flag reaches the children that follow it.
    other->hooks.clear();
    form.SetShowHint(true);
    EXPECT_EQ(has(other->hooks, "ParentShowHintChanged"), 1);
    EXPECT_TRUE(other->ShowHint);
    p->hooks.clear();
    p->SetBounds(12, 10, 20, 40);  // moved only
    EXPECT_EQ(has(p->hooks, "BoundsChanged"), 0);
    p->SetBounds(12, 10, 24, 44);
    EXPECT_EQ(has(p->hooks, "BoundsChanged"), 1);
    // The focus moving to a control is told to the form and everything on it.
    p->hooks.clear();
    other->hooks.clear();
    form.Perform(CM_FOCUSCHANGED, 0, LPARAM(other));
    EXPECT_EQ(has(p->hooks, "FocusChanged"), 1);
    EXPECT_EQ(has(other->hooks, "FocusChanged"), 1);
    // Painting the window erases its background through the message.
    p->hooks.clear();
    form.Show();
    Application->ProcessMessages();
    const std::string shot = testing::TempDir() + "xc_erase.png";
    EXPECT_TRUE(form.SaveScreenshot(shot));
    EXPECT_GE(has(p->hooks, "PaintBackground"), 1);
    std::remove(shot.c_str());
    form.Hide();
}

TEST(XcExHooks, TabStaysWithAControlWhoseDialogCodeAsksForIt) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 120);
    auto* p = new WinProbe<TXcExCustomUpDown>(&form);
    p->SetParent(&form);
    p->SetBounds(10, 10, 20, 40);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(60, 10, 100, 22);
    form.Show();
    Application->ProcessMessages();
    for (bool wantsTab : {true, false}) {
        p->dlgCodeHook = [wantsTab](TDlgCodes& c) {
            if (wantsTab) c = (c | DlgCodeBit(dcWantTab)) & ~DlgCodeBit(dcNative);
        };
        p->SetFocus();
        Application->ProcessMessages();
        ASSERT_TRUE(p->Focused());
        p->hooks.clear();
        ws::PressKey(9, 0);
        Application->ProcessMessages();
        EXPECT_EQ(std::count(p->hooks.begin(), p->hooks.end(), "GetDlgCode"), 1) << wantsTab;
        EXPECT_EQ(p->Focused(), wantsTab);
        EXPECT_EQ(edit->Focused(), !wantsTab);
        // The focus really moving is told to every control on the form, naming the new one.
        EXPECT_EQ(std::count(p->hooks.begin(), p->hooks.end(), "FocusChanged"), wantsTab ? 0 : 1);
        if (!wantsTab) {
            EXPECT_EQ(p->focusedTo, edit);
        }
    }
    form.Hide();
}
