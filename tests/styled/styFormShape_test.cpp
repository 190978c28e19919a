// The shaped form: its window takes the region's shape, resizing rebuilds it, the
// background drags the form while its controls keep their clicks, the background is
// painted with the fill object and the border; and the component lookup of the form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "controls/styled/styFiler.h"
#include "controls/styled/styFormShape.h"
#include "controls/styled/styImageLists.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/paint.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/peer.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/module.h"
#include "tests/app/xserver.h"
#include "tests/styled/styDrawSupport.h"

namespace {

// Answers hit tests as the window system does for a client point.
class THitForm : public TForm {
public:
    using TForm::TForm;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_NCHITTEST) {
            m.Result = 1;
            return;
        }
        TForm::Dispatch(m);
    }
};

struct ShapedForm {
    THitForm* form;
    TStyFormShape* shape;
    ShapedForm(TStyRegionShape s, int w = 200, int h = 120) {
        form = new THitForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(40, 30, w, h);
        shape = new TStyFormShape(form);
        shape->Region()->SetShape(s);
        shape->FillObject()->SetStyle(sfBrush);
        shape->FillObject()->Brush()->Color = clYellow;
        form->Show();
        shape->Loaded();  // as after reading the form file: hooks and shapes
    }
    ~ShapedForm() { delete form; }
    HWND H() { return form->Handle(); }
    bool In(int x, int y) {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        const bool have = GetWindowRgn(H(), r) != ERROR_REGION;
        const bool in = have && PtInRegion(r, x, y);
        DeleteObject(r);
        return in;
    }
};

TEST(StyFormShape, TheWindowTakesTheShapeAndResizingRebuildsIt) {
    ShapedForm f(rsElliptic);
    ASSERT_TRUE(f.shape->Hooked());
    EXPECT_FALSE(f.In(0, 0));
    EXPECT_FALSE(f.In(199, 119));
    EXPECT_TRUE(f.In(100, 60));
    EXPECT_FALSE(f.In(250, 60));

    f.form->SetBounds(40, 30, 300, 120);  // the window hears WM_SIZE through its procedure
    EXPECT_TRUE(f.In(250, 60));
    EXPECT_FALSE(f.In(299, 0));

    // A change of the shape applies at once.
    f.shape->Region()->SetShape(rsRect);
    EXPECT_TRUE(f.In(299, 0));
}

TEST(StyFormShape, ShadowAndCaptionJoinTheRegion) {
    auto* form = new THitForm(nullptr);
    form->SetBorderStyle(bsSingle);
    form->SetBounds(0, 0, 206, 145);
    auto* shape = new TStyFormShape(form);
    shape->Region()->SetShape(rsElliptic);
    shape->Region()->Shadow()->SetStyle(hssSolid);
    form->Show();
    shape->Loaded();
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(form->Handle(), r), ERROR_REGION);
    const int top = form->FrameWidth() + form->CaptionHeight();
    EXPECT_TRUE(PtInRegion(r, 1, 1));         // the title bar stays
    EXPECT_FALSE(PtInRegion(r, 4, top + 2));  // the client's corner is cut
    EXPECT_TRUE(PtInRegion(r, 100, top + 60));
    DeleteObject(r);
    delete form;
}

TEST(StyFormShape, TheBackgroundDragsTheFormAndControlsKeepTheirClicks) {
    ShapedForm f(rsRect);
    auto* button = new TCustomControl(f.form);  // any control on the form
    button->SetParent(f.form);
    button->SetBounds(10, 10, 60, 24);
    const TPoint o = f.form->ClientOrigin();
    auto hit = [&](int x, int y) {
        return SendMessageA(f.H(), WM_NCHITTEST, 0, MAKELPARAM_XY(o.X + x, o.Y + y));
    };
    EXPECT_EQ(hit(150, 80), 2);         // caption: the form moves
    EXPECT_EQ(hit(20, 20), 1);          // the button keeps its click
    SendMessageA(f.H(), 0x00A4, 2, 0);  // right button down on the non-client area
    EXPECT_TRUE(f.shape->NcRightDown());
    EXPECT_EQ(hit(150, 80), 1);  // the context handling goes on as usual
    SendMessageA(f.H(), 0x00A5, 2, 0);
    EXPECT_EQ(hit(150, 80), 2);
    f.shape->FormDragable = false;
    EXPECT_EQ(hit(150, 80), 1);
}

TEST(StyFormShape, TheMouseDragsTheFormByItsBackgroundAndButtonsKeepTheirClicks) {
    ShapedForm f(rsRoundRect);
    auto* button = new TButton(f.form);
    button->SetParent(f.form);
    button->SetBounds(10, 10, 60, 24);
    int clicks = 0, downs = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    f.form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    ws::Peer* peer = f.form->Peer();
    auto press = [&](unsigned down, unsigned up, int x, int y, int dx, int dy) {
        peer->sendMouse(down, x, y);
        peer->sendMouse(WM_MOUSEMOVE, x + dx, y + dy);
        peer->sendMouse(up, x + dx, y + dy);
    };
    // The form lies at 40, 30: its background follows the left button.
    press(WM_LBUTTONDOWN, WM_LBUTTONUP, 40 + 150, 30 + 80, 25, -10);
    EXPECT_EQ(f.form->Left(), 65);
    EXPECT_EQ(f.form->Top(), 20);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(f.H(), &r));
    EXPECT_EQ(r.left, 65);
    EXPECT_EQ(r.top, 20);
    EXPECT_TRUE(f.In(100, 60));  // the window keeps its shape
    EXPECT_EQ(downs, 0);
    // A press on the button clicks it and leaves the form where it is.
    press(WM_LBUTTONDOWN, WM_LBUTTONUP, 65 + 30, 20 + 20, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.form->Left(), 65);
    // The right button on the background is a non-client press while it is held.
    press(WM_RBUTTONDOWN, WM_RBUTTONUP, 65 + 150, 20 + 80, 5, 5);
    EXPECT_FALSE(f.shape->NcRightDown());
    EXPECT_EQ(f.form->Left(), 65);
    peer->sendMouse(WM_RBUTTONDOWN, 65 + 150, 20 + 80);
    EXPECT_TRUE(f.shape->NcRightDown());
    peer->sendMouse(WM_RBUTTONUP, 65 + 150, 20 + 80);
    EXPECT_FALSE(f.shape->NcRightDown());
    // Not draggable: the background is the form's client area again.
    f.shape->FormDragable = false;
    press(WM_LBUTTONDOWN, WM_LBUTTONUP, 65 + 150, 20 + 80, 25, 25);
    EXPECT_EQ(f.form->Left(), 65);
    EXPECT_EQ(downs, 1);
}

TEST(StyFormShape, BackgroundIsTheFillWithTheBorderAndCornersStayUnpainted) {
    ShapedForm f(rsRoundRect);
    f.shape->Region()->Border()->SetStyle(rbSingle);
    HDC dc = GetDC(f.H());
    PatBlt(dc, 0, 0, 200, 120, WHITENESS);
    EXPECT_EQ(SendMessageA(f.H(), WM_ERASEBKGND, WPARAM(dc), 0), 1);
    EXPECT_EQ(GetPixel(dc, 100, 60), RGB(255, 255, 0));  // the fill
    EXPECT_EQ(GetPixel(dc, 100, 0), RGB(0, 0, 0));       // the border along the top
    ReleaseDC(f.H(), dc);

    // The form as it shows: nothing outside its rounded corners.
    gdi::Image shot;
    ASSERT_TRUE(f.form->Peer()->grab(shot));
    const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
    const std::string folder =
        keep && *keep ? IncludeTrailingPathDelimiter(keep) : ::testing::TempDir();
    shot.save(folder + "styShapedForm.png");
    ASSERT_EQ(shot.width(), 200);
    auto alpha = [&](int x, int y) { return shot.scanLine(y)[x * 4 + 3]; };
    for (TPoint p : {TPoint{0, 0}, TPoint{199, 0}, TPoint{0, 119}, TPoint{199, 119}, TPoint{1, 1}})
        EXPECT_EQ(alpha(p.X, p.Y), 0) << p.X << "," << p.Y;
    EXPECT_EQ(alpha(100, 60), 255);
    EXPECT_EQ(shot.pixel(100, 60), RGB(255, 255, 0));
    EXPECT_EQ(shot.pixel(100, 0), RGB(0, 0, 0));
}

TEST(StyFormShape, AShownFormPaintsItsFillAndBorderByItself) {
    ShapedForm f(rsElliptic);
    f.shape->FillObject()->SetStyle(sfGradient);
    f.shape->FillObject()->Gradient()->SetColor(clRed);
    f.shape->FillObject()->Gradient()->SetEndColor(clBlue);
    f.shape->Region()->Border()->SetStyle(rbSingle);
    f.form->Invalidate();
    Application->ProcessMessages();
    gdi::Image shot;
    ASSERT_TRUE(f.form->Peer()->grab(shot));
    const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
    shot.save((keep && *keep ? IncludeTrailingPathDelimiter(keep) : ::testing::TempDir()) +
              "styShapedFormShown.png");
    EXPECT_EQ(shot.pixel(100, 2), RGB(255, 0, 0));    // the gradient's first band at the top
    EXPECT_EQ(shot.pixel(100, 117), RGB(0, 0, 255));  // its last at the bottom
    EXPECT_EQ(shot.pixel(0, 60), RGB(0, 0, 0));       // the border on the left end
    EXPECT_EQ(shot.scanLine(0)[3], 0);                // the corner is cut away
}

TEST(StyFormShape, StoredInAFormFile) {
    RegisterStyFormShape();
    TForm form(nullptr);
    ReadForm(&form,
             "object Form: TForm\n"
             "object Shape: TStyFormShape\n"
             "  Region.Shape = rsStar\n"
             "  Region.Border.Style = rbRaised\n"
             "  Region.PointList = (1 2 3 4)\n"
             "  FillObject.Style = sfGradient\n"
             "  FillObject.Gradient.ColorList = (255 65280 16711680)\n"
             "  FormDragable = False\n"
             "  Internal = 'STYBML30'\n"
             "end\n"
             "end\n");
    ASSERT_EQ(FindComponentIndexByClass<TStyFormShape>(&form), 0);
    auto* s = static_cast<TStyFormShape*>(form.Components(0));
    EXPECT_EQ(s->Region()->Shape(), rsStar);
    EXPECT_EQ(s->Region()->Border()->Style(), rbRaised);
    EXPECT_EQ(s->Region()->Points()->Count(), 2);
    EXPECT_EQ(s->FillObject()->Style(), sfGradient);
    EXPECT_EQ(s->FillObject()->Gradient()->ColorList().size(), 3u);
    EXPECT_FALSE(s->FormDragable);
    EXPECT_EQ(s->ImageList(), StyGlobalContainer()->BitmapList());
    EXPECT_FALSE(s->ImageListStored());
    TForm other(nullptr);
    EXPECT_THROW(ReadForm(&other,
                          "object Form: TForm\nobject Shape2: TStyFormShape\n  Region.Shape = "
                          "rsNothing\nend\nend\n"),
                 EReadError);
}

// Paints the left half of its rectangle only, the right half showing what was there.
struct HalfPainter : TGraphicControl {
    using TGraphicControl::TGraphicControl;
    void Paint() override {
        Canvas()->Brush()->Color = clLime;
        Canvas()->FillRect(Rect(0, 0, Width() / 2, Height()));
    }
};

// A hook that paints the whole erase context red through one GDI call or another.
class TRedEraser : public TStyWndProcComponent {
public:
    enum How { fillRect, patBlt, bitBlt } how;
    TRedEraser(TComponent* owner, How h) : TStyWndProcComponent(owner), how(h) {}
    void WndProc(TMessage& m) override {
        if (m.Msg != WM_ERASEBKGND) return TStyWndProcComponent::WndProc(m);
        const HDC dc = reinterpret_cast<HDC>(m.WParam);
        const RECT all{0, 0, 200, 120};
        const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        if (how == fillRect) FillRect(dc, &all, red);
        if (how == patBlt) {
            const HGDIOBJ before = SelectObject(dc, red);
            PatBlt(dc, 0, 0, 200, 120, PATCOPY);
            SelectObject(dc, before);
        }
        if (how == bitBlt) {
            TBitmap b;
            b.SetSize(200, 120);
            FillRect(b.Canvas()->Handle(), &all, red);
            BitBlt(dc, 0, 0, 200, 120, b.Canvas()->Handle(), 0, 0, SRCCOPY);
        }
        DeleteObject(red);
        m.Result = 1;
    }
};

// The ways a form's erase context gets filled red.
struct Eraser {
    const char* what;
    std::function<void(TForm*)> install;
};
std::vector<Eraser> Erasers() {
    const auto hook = [](TRedEraser::How how) {
        return [how](TForm* form) { (new TRedEraser(form, how))->Loaded(); };
    };
    return {
        {"a hook's FillRect", hook(TRedEraser::fillRect)},
        {"a hook's PatBlt", hook(TRedEraser::patBlt)},
        {"a hook's BitBlt", hook(TRedEraser::bitBlt)},
        {"a shaped form's fill",
         [](TForm* form) {
             auto* shape = new TStyFormShape(form);
             shape->FillObject()->SetStyle(sfBrush);
             shape->FillObject()->Brush()->Color = clRed;
             shape->Loaded();
         }},
    };
}

// A blue form shown with a half-painting child, which then turns opaque while the form gets
// erased red: what lies under the child's other half stays blue.
void ShowErasedAroundAnOpaqueChild(TForm& form, const Eraser& eraser) {
    form.SetBorderStyle(bsNone);
    form.SetBounds(40, 30, 200, 120);
    form.SetColor(clBlue);
    auto* child = new HalfPainter(&form);
    child->SetParent(&form);
    child->SetBounds(20, 20, 60, 40);
    form.Show();
    Application->ProcessMessages();
    gdi::Image before;  // off screen a window paints when it is looked at
    ASSERT_TRUE(form.Peer()->grab(before));
    ASSERT_EQ(TColor(before.pixel(70, 40)), clBlue);
    child->ControlStyle = child->ControlStyle + csOpaque;
    eraser.install(&form);
    form.Invalidate();
    Application->ProcessMessages();
}

// The points looked at, in the form's client area, and the colour each must have.
struct Seen {
    int x, y;
    TColor colour;
    const char* what;
};
const Seen kSeen[] = {
    {5, 5, clRed, "erased around the child"},
    {30, 40, clLime, "the child's own half"},
    {70, 40, clBlue, "under the child: not erased"},
    {79, 59, clBlue, "under the child's last pixel"},
    {80, 60, clRed, "just beyond the child"},
};

// Whatever fills a form's erase context, nothing of it lands under an opaque child.
TEST(StyFormShape, NoEraseReachesUnderAnOpaqueChild) {
    for (const Eraser& eraser : Erasers()) {
        TForm form(nullptr);
        ShowErasedAroundAnOpaqueChild(form, eraser);
        gdi::Image shot;
        ASSERT_TRUE(form.Peer()->grab(shot));
        for (const Seen& s : kSeen)
            EXPECT_EQ(TColor(shot.pixel(s.x, s.y)), s.colour) << eraser.what << ": " << s.what;
    }
}

// The same as a user sees it on a real X server, for a hook's FillRect: a second run of
// this program shows the form there and the screen is read back.
TEST(StyFormShapeOnX, NoEraseReachesUnderAnOpaqueChild) {
    if (std::getenv("VX_STY_OPAQUE_CHILD")) GTEST_SKIP() << "the window's own process";
    xtest::XServer x;
    if (!x.failure().empty()) GTEST_SKIP() << x.failure();
    setenv("VX_STY_OPAQUE_CHILD", "1", 1);
    const pid_t pid =
        x.start({ModuleFileName(), "--gtest_filter=StyFormShapeOnX.ShowTheFormUntilEnded"});
    unsetenv("VX_STY_OPAQUE_CHILD");
    xtest::Geometry g;
    ASSERT_TRUE(xtest::XServer::waitFor([&] { return x.window("opaque child", g); }, 60))
        << "the form did not show on the X server within 60 s";
    const std::string png = ::testing::TempDir() + "styOpaqueChildOnX.png";
    TBitmap shot;
    auto at = [&](const Seen& s) { return shot.Canvas()->Pixel(g.left + s.x, g.top + s.y); };
    // Painted once the erased colour is around the child and the child's half is drawn.
    const bool painted = xtest::XServer::waitFor(
        [&] {
            if (!x.screenshot(png)) return false;
            shot.LoadFromFile(png);
            return at(kSeen[0]) == clRed && at(kSeen[1]) == clLime;
        },
        20);
    ASSERT_TRUE(painted) << "the form was not painted within 20 s; screenshot " << png;
    for (const Seen& s : kSeen) EXPECT_EQ(at(s), s.colour) << s.what;
    x.stop(pid);
}

TEST(StyFormShapeOnX, ShowTheFormUntilEnded) {
    if (!std::getenv("VX_STY_OPAQUE_CHILD")) GTEST_SKIP() << "runs only as the second process";
    TForm form(nullptr);
    form.SetCaption("opaque child");
    ShowErasedAroundAnOpaqueChild(form, Erasers()[0]);
    for (;;) Application->HandleMessage();  // the first process ends this one
}

TEST(StyFormShape, TheListImageIsTakenAtOnceAndWheneverTheListChanges) {
    TForm form(nullptr);
    auto* shape = new TStyFormShape(&form);
    auto* list = new TStyBitmapList(&form);
    TBitmap red, blue;
    for (auto [b, colour] : {std::pair{&red, clRed}, std::pair{&blue, clBlue}}) {
        b->SetSize(8, 8);
        b->Canvas()->Brush()->Color = colour;
        b->Canvas()->FillRect(Rect(0, 0, 8, 8));
    }
    auto held = [&] {
        TBitmap* b = shape->FillObject()->ListBitmap();
        return b->Empty() ? clNone : TColor(b->Canvas()->Pixels(4, 4) & 0xFFFFFF);
    };
    struct Row {
        const char* what;
        std::function<void()> act;
        TColor held;
    };
    const Row rows[] = {
        {"a list without the image", [&] { shape->SetImageList(list); }, clNone},
        {"the image added to the list", [&] { list->AddBitmap(&red); }, clRed},
        {"the list let go", [&] { shape->SetImageList(nullptr); }, clNone},
        {"a list that has the image", [&] { shape->SetImageList(list); }, clRed},
        {"the list's next image chosen", [&] { shape->SetListIndex(1); }, clNone},
        {"that image added to the list", [&] { list->AddBitmap(&blue); }, clBlue},
        {"the list freed", [&] { delete list; }, clNone},  // as the setter with nil
    };
    for (const Row& r : rows) {
        r.act();
        EXPECT_EQ(held(), r.held) << r.what;
    }
    EXPECT_EQ(shape->ImageList(), nullptr);
}

}  // namespace
