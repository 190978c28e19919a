// MDI forms: the frame's client window, its children, and the activation among them as the
// frame and the children hear it (WM_NCACTIVATE, WM_MDIACTIVATE) when a child is shown,
// pressed, hidden or destroyed, and when the frame itself gains or loses the keyboard.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/peer.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// A child that notes the activation messages it hears ("nc1", "nc0", "mdi <old> <new>" with
// the names of the windows).
class TLoggingChild : public TForm {
public:
    TLoggingChild(std::string name, std::vector<std::string>& log)
        : TForm(nullptr), name_(std::move(name)), log_(log) {
        FormStyle = fsMDIChild;
        SetBorderStyle(bsSizeable);
        SetCaption(name_);
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_NCACTIVATE) log_.push_back(name_ + " nc" + std::to_string(m.WParam != 0));
        if (m.Msg == WM_MDIACTIVATE)
            log_.push_back(name_ + " mdi " + NameOf(HWND(m.WParam)) + " " + NameOf(HWND(m.LParam)));
        TForm::Dispatch(m);
    }

private:
    static std::string NameOf(HWND h) {
        if (!h) return "-";
        auto* f = dynamic_cast<TForm*>(FindControl(h));
        return f ? f->Caption() : "?";
    }
    std::string name_;
    std::vector<std::string>& log_;
};

// An MDI frame made the application's main form for the test's length.
struct MdiFrame {
    TForm frame{nullptr};
    std::vector<std::string> log;
    MdiFrame() {
        frame.FormStyle = fsMDIForm;
        frame.SetBounds(10, 10, 500, 360);
        frame.SetCaption("frame");
        Application->SetMainForm(&frame);
        frame.Show();
        Application->ProcessMessages();
    }
    ~MdiFrame() {
        frame.Hide();
        Application->SetMainForm(nullptr);
    }
    std::unique_ptr<TLoggingChild> Child(const std::string& name, int left) {
        auto c = std::make_unique<TLoggingChild>(name, log);
        c->SetBounds(left, 10, 200, 150);
        return c;
    }
};

}  // namespace

TEST(Mdi, TheFrameHasAClientWindowFillingItsClientArea) {
    MdiFrame f;
    const HWND client = f.frame.ClientHandle();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(WindowFromHandle(client)->parent, f.frame.Handle());
    RECT r{};
    ASSERT_TRUE(GetClientRect(client, &r));
    EXPECT_EQ(r.right, f.frame.ClientWidth());
    EXPECT_EQ(r.bottom, f.frame.ClientHeight());
    f.frame.SetBounds(10, 10, 420, 300);  // the client follows the frame's size
    ASSERT_TRUE(GetClientRect(client, &r));
    EXPECT_EQ(r.right, f.frame.ClientWidth());
    EXPECT_EQ(r.bottom, f.frame.ClientHeight());
    // Forms of the other styles have none.
    TForm plain(nullptr);
    plain.HandleNeeded();
    EXPECT_EQ(plain.ClientHandle(), nullptr);
    EXPECT_EQ(plain.ActiveMDIChild(), nullptr);
    EXPECT_EQ(plain.MDIChildCount(), 0);
}

TEST(Mdi, ChildrenAreWindowsOfTheClientAndNeedAnMdiMainForm) {
    {
        MdiFrame f;
        auto a = f.Child("a", 0);
        a->Show();
        EXPECT_EQ(WindowFromHandle(a->Handle())->parent, f.frame.ClientHandle());
        EXPECT_EQ(a->MDIParent(), &f.frame);
        // Its place is in the client area: the screen origin follows the frame's.
        EXPECT_EQ(a->ClientOrigin().X, f.frame.ClientOrigin().X + a->Left() + a->FrameWidth());
        EXPECT_EQ(GetActiveWindow(), f.frame.Handle());  // a child is never the active window
    }
    // Without an MDI main form a child cannot be made.
    TForm orphan(nullptr);
    orphan.FormStyle = fsMDIChild;
    EXPECT_THROW(orphan.HandleNeeded(), EInvalidOperation);
    TForm plainMain(nullptr);
    Application->SetMainForm(&plainMain);
    EXPECT_THROW(orphan.HandleNeeded(), EInvalidOperation);
    Application->SetMainForm(nullptr);
}

TEST(Mdi, ShowingChildrenActivatesEachAsWindowsTellsIt) {
    MdiFrame f;
    auto a = f.Child("a", 0), b = f.Child("b", 120);
    a->Show();
    EXPECT_EQ(f.log, (std::vector<std::string>{"a nc1", "a mdi - a"}));
    EXPECT_TRUE(a->FrameActive());
    f.log.clear();
    b->Show();
    EXPECT_EQ(f.log, (std::vector<std::string>{"a nc0", "a mdi a b", "b nc1", "b mdi a b"}));
    EXPECT_EQ(f.frame.ActiveMDIChild(), b.get());
    EXPECT_FALSE(a->FrameActive());
    EXPECT_TRUE(b->FrameActive());
    ASSERT_EQ(f.frame.MDIChildCount(), 2);
    EXPECT_EQ(f.frame.MDIChildren(0), b.get());  // the active child first
    EXPECT_EQ(f.frame.MDIChildren(1), a.get());
    EXPECT_EQ(f.frame.MDIChildren(2), nullptr);
    // Activating the active child again tells nobody anything.
    f.log.clear();
    SendMessageA(f.frame.ClientHandle(), WM_MDIACTIVATE, WPARAM(b->Handle()), 0);
    EXPECT_TRUE(f.log.empty());
    // A window that is no child of the client is refused.
    TForm stranger(nullptr);
    SendMessageA(f.frame.ClientHandle(), WM_MDIACTIVATE, WPARAM(stranger.Handle()), 0);
    EXPECT_EQ(f.frame.ActiveMDIChild(), b.get());
}

TEST(Mdi, APressInsideAChildActivatesIt) {
    MdiFrame f;
    auto a = f.Child("a", 0), b = f.Child("b", 260);
    a->Show();
    b->Show();
    Application->ProcessMessages();
    ASSERT_EQ(f.frame.ActiveMDIChild(), b.get());
    f.log.clear();
    a->Peer()->click(40, 60);  // in a's client area
    Application->ProcessMessages();
    EXPECT_EQ(f.frame.ActiveMDIChild(), a.get());
    EXPECT_EQ(f.log, (std::vector<std::string>{"b nc0", "b mdi b a", "a nc1", "a mdi b a"}));
    EXPECT_EQ(f.frame.MDIChildren(0), a.get());
}

TEST(Mdi, HidingOrDestroyingTheActiveChildHandsTheActivationOn) {
    MdiFrame f;
    auto a = f.Child("a", 0), b = f.Child("b", 40), c = f.Child("c", 80);
    a->Show();
    c->Show();
    b->Show();  // activation order: b, c, a
    f.log.clear();
    b->Hide();
    EXPECT_EQ(f.frame.ActiveMDIChild(), c.get());
    EXPECT_EQ(f.log, (std::vector<std::string>{"b nc0", "b mdi b c", "c nc1", "c mdi b c"}));
    c.reset();  // the active child goes: the one active before it that still shows takes over
    EXPECT_EQ(f.frame.ActiveMDIChild(), a.get());
    EXPECT_TRUE(a->FrameActive());
    EXPECT_EQ(f.frame.MDIChildCount(), 2);  // a and the hidden b
    f.log.clear();
    a->Hide();  // none left showing: no child is active
    EXPECT_EQ(f.frame.ActiveMDIChild(), nullptr);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a nc0", "a mdi a -"}));
}

TEST(Mdi, TheActiveChildFollowsTheFramesActivation) {
    MdiFrame f;
    auto a = f.Child("a", 0), b = f.Child("b", 40);
    a->Show();
    b->Show();
    f.log.clear();
    TForm other(nullptr);
    other.SetBounds(600, 10, 200, 100);
    other.Show();  // another top-level window takes the keyboard
    Application->ProcessMessages();
    EXPECT_FALSE(f.frame.FrameActive());
    EXPECT_FALSE(b->FrameActive());
    EXPECT_EQ(f.log, std::vector<std::string>{"b nc0"});  // only the active child hears it
    // A child activated while the frame is inactive shows inactive too.
    f.log.clear();
    SendMessageA(f.frame.ClientHandle(), WM_MDIACTIVATE, WPARAM(a->Handle()), 0);
    EXPECT_EQ(f.log, (std::vector<std::string>{"b nc0", "b mdi b a", "a nc0", "a mdi b a"}));
    other.Hide();  // the frame is active again, and so is its active child's caption
    Application->ProcessMessages();
    EXPECT_TRUE(f.frame.FrameActive());
    EXPECT_TRUE(a->FrameActive());
    EXPECT_FALSE(b->FrameActive());
}

TEST(Mdi, TheFrameGoingTakesItsChildrensWindowsFirst) {
    std::vector<std::string> log;
    auto frame = std::make_unique<TForm>(nullptr);
    frame->FormStyle = fsMDIForm;
    frame->SetBounds(10, 10, 400, 300);
    Application->SetMainForm(frame.get());
    frame->Show();
    TLoggingChild a("a", log), b("b", log);
    a.Show();
    b.Show();
    const HWND client = frame->ClientHandle(), ha = a.Handle(), hb = b.Handle();
    frame.reset();  // checked under the sanitizers: the children's widgets go before the client's
    EXPECT_FALSE(IsWindow(client));
    EXPECT_FALSE(IsWindow(ha));
    EXPECT_FALSE(IsWindow(hb));
    EXPECT_FALSE(a.HandleAllocated());
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_THROW(a.HandleNeeded(), EInvalidOperation);  // no frame to live in any more
}

TEST(Mdi, FormFilesNameTheFormStyle) {
    for (auto [text, style] :
         {std::pair{"fsMDIForm", fsMDIForm}, std::pair{"fsMDIChild", fsMDIChild},
          std::pair{"fsStayOnTop", fsStayOnTop}, std::pair{"fsNormal", fsNormal}}) {
        TForm form(nullptr);
        ReadForm(&form, std::string("object F: TForm\n  FormStyle = ") + text + "\nend\n");
        EXPECT_EQ(form.FormStyle, style) << text;
    }
}

TEST(Mdi, AChildMovesAndSizesWithinTheClientArea) {
    MdiFrame f;
    auto a = f.Child("a", 0), b = f.Child("b", 250);
    a->SetBounds(20, 30, 200, 150);
    a->Show();
    b->Show();
    const TPoint client = f.frame.ClientOrigin();
    // A drag of a's caption (which first activates it) and one of its bottom-right corner.
    auto drag = [&](int x, int y, int dx, int dy) {
        ws::Peer* p = a->Peer();
        p->sendMouse(WM_LBUTTONDOWN, x, y);
        p->sendMouse(WM_MOUSEMOVE, x + dx / 2, y + dy / 2);
        p->sendMouse(WM_MOUSEMOVE, x + dx, y + dy);
        p->sendMouse(WM_LBUTTONUP, x + dx, y + dy);
    };
    drag(client.X + 20 + 60, client.Y + 30 + 10, 35, 20);
    EXPECT_EQ(f.frame.ActiveMDIChild(), a.get());
    EXPECT_EQ(a->Left(), 55);
    EXPECT_EQ(a->Top(), 50);
    EXPECT_EQ(a->Width(), 200);
    drag(client.X + 55 + 199, client.Y + 50 + 149, 30, 10);
    EXPECT_EQ(a->Left(), 55);
    EXPECT_EQ(a->Width(), 230);
    EXPECT_EQ(a->Height(), 160);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(a->Handle(), &r));  // the window system agrees on the place
    EXPECT_EQ(r.left, client.X + 55);
    EXPECT_EQ(r.top, client.Y + 50);
}
