// Dragging with the mouse, as the window system delivers it: a list read from a form with
// DragMode dmAutomatic re-orders its items by a press, a move past the drag threshold and a
// release over another row; the drag image follows the mouse and the cursor tells whether
// the list under it takes the drag; Escape and a drop where the drag is not taken leave the
// items as they were; the class library's drag events come in their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/extended/xcListBox.h"
#include "platform/gdi/gdi.h"
#include "platform/user/capture.h"
#include "platform/user/dragImage.h"
#include "platform/user/metrics.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/windowSystem.h"

namespace {

class TDragForm : public TForm {
public:
    explicit TDragForm(TComponent* owner) : TForm(owner) {
        BindField("Pages", Pages);
        BindField("Other", Other);
        BindMethod<TEndDragEvent>("PagesEndDrag", this, &TDragForm::PagesEndDrag);
    }
    std::string ClassName() const override { return "TDragForm"; }
    void PagesEndDrag(TObject*, TObject* target, int, int) {
        ends.push_back(target == Pages ? "end on Pages" : target ? "end elsewhere" : "end");
    }
    TXcListBox* Pages = nullptr;
    TXcListBox* Other = nullptr;
    std::vector<std::string> ends;
};

struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        RegisterXcExControls();
        RegisterXcListBox();
        TClassReg<TDragForm>("TDragForm", "TForm", false);
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

const char* const kForm = R"(object DragForm: TDragForm
  Left = 40
  Top = 30
  BorderStyle = bsNone
  ClientHeight = 240
  ClientWidth = 320
  object Pages: TXcListBox
    Left = 10
    Top = 10
    Width = 140
    Height = 200
    DragMode = dmAutomatic
    OnEndDrag = PagesEndDrag
  end
  object Other: TXcListBox
    Left = 170
    Top = 10
    Width = 140
    Height = 200
  end
end
)";

using Texts = std::vector<std::string>;

struct DragForm {
    TDragForm form{nullptr};
    DragForm() {
        ReadForm(&form, kForm);
        for (const char* s : {"页面 1", "页面 2", "页面 3", "页面 4", "页面 5"})
            form.Pages->Items()->Add(s);
        form.Other->Items()->Add("other");
        form.Show();
        Application->ProcessMessages();
    }
    ~DragForm() {
        if (form.Pages) form.Pages->EndDrag(false);
    }
    // The screen point of a row's middle in a list.
    TPoint Row(TXcListBox* l, int i) {
        const TRect r = l->ItemRect(i);
        const TPoint o = l->ClientOrigin();
        return TPoint{o.X + (r.Left + r.Right) / 2, o.Y + (r.Top + r.Bottom) / 2};
    }
    void Mouse(UINT msg, const TPoint& p) {
        form.Peer()->sendMouse(msg, p.X, p.Y);
        Application->ProcessMessages();
    }
};

// The form as it shows with the drag image over it (the image's window is a window of its
// own, so it is drawn into the form's picture here).
void SaveWithDragImage(TForm& form, const IconImage& img, int x, int y, const std::string& name) {
    gdi::Image shot;
    ASSERT_TRUE(form.Peer()->grab(shot));
    const TPoint o = form.ClientOrigin();
    for (int j = 0; j < img.height; ++j)
        for (int i = 0; i < img.width; ++i) {
            const size_t k = size_t(j) * size_t(img.width) + size_t(i);
            const int sx = x - o.X + i, sy = y - o.Y + j;
            if (img.mask[k] || sx < 0 || sy < 0 || sx >= shot.width() || sy >= shot.height())
                continue;
            const uint32_t argb = img.pixels[k];
            const uint32_t bgr = ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
            shot.setPixel(sx, sy, bgr);
        }
    EXPECT_TRUE(shot.save(::testing::TempDir() + name));
}

}  // namespace

TEST(XcListDrag, DragModeIsReadFromTheForm) {
    DragForm f;
    EXPECT_EQ(f.form.Pages->DragMode, dmAutomatic);
    EXPECT_EQ(f.form.Other->DragMode, dmManual);
    EXPECT_TRUE(bool(f.form.Pages->OnEndDrag));
    EXPECT_EQ(f.form.Pages->DragCursor, crDrag);
}

TEST(XcListDrag, PressMovePastTheThresholdAndReleaseReordersTheList) {
    struct Row {
        int from, to;
        Texts order;
    };
    const std::vector<Row> rows = {
        {0, 3, {"页面 2", "页面 3", "页面 1", "页面 4", "页面 5"}},  // before the row dropped on
        {4, 0, {"页面 5", "页面 1", "页面 2", "页面 3", "页面 4"}},
        {1, 2, {"页面 1", "页面 2", "页面 3", "页面 4", "页面 5"}},  // just below: stays
    };
    for (const Row& row : rows) {
        DragForm f;
        TXcListBox* pages = f.form.Pages;
        const TPoint from = f.Row(pages, row.from), to = f.Row(pages, row.to);
        f.Mouse(WM_LBUTTONDOWN, from);
        // The press selects the row and waits for the mouse to move far enough.
        EXPECT_EQ(pages->ItemIndex(), row.from);
        EXPECT_TRUE(pages->Dragging());
        EXPECT_FALSE(DragActiveNow());
        const int slack = GetSystemMetrics(SM_CYDRAG) - 1;
        f.Mouse(WM_MOUSEMOVE, TPoint{from.X, from.Y + slack});
        EXPECT_FALSE(DragActiveNow()) << "still within the threshold";
        f.Mouse(WM_MOUSEMOVE, TPoint{from.X, from.Y + slack + 1});
        EXPECT_TRUE(DragActiveNow());
        // The mouse is the drag's; the list over the point takes its own drag.
        EXPECT_NE(GetCapture(), nullptr);
        EXPECT_EQ(FindControl(GetCapture()), nullptr);
        f.Mouse(WM_MOUSEMOVE, to);
        EXPECT_EQ(GetCursor(), Screen->Cursors(crDrag));
        IconImage img;
        int x = 0, y = 0;
        ASSERT_TRUE(DragImageShown(img, x, y));
        EXPECT_EQ(x, to.X);  // its corner at the mouse, the text after room for it
        EXPECT_EQ(y, to.Y);
        EXPECT_EQ(img.width, pages->Canvas()->TextWidth(pages->Items()->Get(row.from)) + 15);
        // White lets what lies beneath show; the text does not.
        size_t masked = 0;
        for (uint8_t m : img.mask) masked += m != 0;
        EXPECT_GT(masked, img.mask.size() / 2);
        EXPECT_LT(masked, img.mask.size());
        if (row.from == 0) SaveWithDragImage(f.form, img, x, y, "xclist_dragging.png");
        f.Mouse(WM_LBUTTONUP, to);
        EXPECT_FALSE(pages->Dragging());
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(DragImageShown(img, x, y));
        EXPECT_EQ(pages->Items()->ToVector(), row.order) << row.from << " to " << row.to;
        EXPECT_EQ(f.form.ends, Texts{"end on Pages"});
    }
}

TEST(XcListDrag, EscapeOrADropWhereNotTakenLeavesTheItems) {
    const Texts before = {"页面 1", "页面 2", "页面 3", "页面 4", "页面 5"};
    enum How { escape, overOther, outside };
    for (How how : {escape, overOther, outside}) {
        DragForm f;
        TXcListBox* pages = f.form.Pages;
        f.Mouse(WM_LBUTTONDOWN, f.Row(pages, 0));
        f.Mouse(WM_MOUSEMOVE, f.Row(pages, 2));
        ASSERT_TRUE(DragActiveNow());
        TPoint end = f.Row(pages, 3);
        if (how == escape) {
            ws::PressKey(27, 0);
            Application->ProcessMessages();
            EXPECT_FALSE(pages->Dragging());
        } else {
            // Over a list that takes no drag, or over nothing of the program.
            end = how == overOther ? f.Row(f.form.Other, 0) : TPoint{5, 5};
            f.Mouse(WM_MOUSEMOVE, end);
            EXPECT_EQ(GetCursor(), Screen->Cursors(crNoDrop)) << how;
        }
        f.Mouse(WM_LBUTTONUP, end);
        EXPECT_FALSE(pages->Dragging()) << how;
        EXPECT_EQ(pages->Items()->ToVector(), before) << how;
        EXPECT_EQ(f.form.Other->Items()->ToVector(), Texts{"other"}) << how;
        EXPECT_EQ(f.form.ends, Texts{"end"}) << how;
    }
}

TEST(XcListDrag, TheFormsHandlersTakeThePlaceOfTheListsOwnDrag) {
    DragForm f;
    TXcListBox* pages = f.form.Pages;
    TXcListBox* other = f.form.Other;
    Texts events;
    pages->OnStartDrag = [&](TObject*, TDragObject*&) { events.push_back("start"); };
    other->OnDragOver = [&](TObject*, TObject* source, int, int, TDragState state, bool& accept) {
        accept = source == pages;
        if (state == dsDragEnter) events.push_back("enter");
    };
    other->OnDragDrop = [&](TObject*, TObject* source, int, int) {
        auto* from = dynamic_cast<TXcListBox*>(source);
        other->Items()->Add(from->Items()->Get(from->ItemIndex()));
        events.push_back("drop");
    };
    f.Mouse(WM_LBUTTONDOWN, f.Row(pages, 1));
    f.Mouse(WM_MOUSEMOVE, f.Row(pages, 3));
    f.Mouse(WM_MOUSEMOVE, f.Row(other, 0));
    EXPECT_EQ(GetCursor(), Screen->Cursors(crDrag));
    f.Mouse(WM_LBUTTONUP, f.Row(other, 0));
    EXPECT_EQ(events, (Texts{"start", "enter", "drop"}));
    EXPECT_EQ(other->Items()->ToVector(), (Texts{"other", "页面 2"}));
    EXPECT_EQ(pages->Items()->Count(), 5);
    EXPECT_EQ(f.form.ends, Texts{"end elsewhere"});
    // A press that is released where it was is a choice, not a drag.
    f.Mouse(WM_LBUTTONDOWN, f.Row(pages, 4));
    f.Mouse(WM_LBUTTONUP, f.Row(pages, 4));
    EXPECT_EQ(pages->ItemIndex(), 4);
    EXPECT_FALSE(pages->Dragging());
}

TEST(XcListDrag, AListFreedWhileItIsDraggedEndsTheDrag) {
    DragForm f;
    f.Mouse(WM_LBUTTONDOWN, f.Row(f.form.Pages, 0));
    f.Mouse(WM_MOUSEMOVE, f.Row(f.form.Pages, 3));
    ASSERT_TRUE(DragActiveNow());
    const TPoint over = f.Row(f.form.Other, 0);
    delete f.form.Pages;
    f.form.Pages = nullptr;
    EXPECT_EQ(DragObjectNow(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    IconImage img;
    int x = 0, y = 0;
    EXPECT_FALSE(DragImageShown(img, x, y));
    // The rest of the mouse's way goes to the windows as usual.
    f.Mouse(WM_MOUSEMOVE, over);
    f.Mouse(WM_LBUTTONUP, over);
    EXPECT_EQ(f.form.Other->Items()->ToVector(), Texts{"other"});
}

// The list the mouse enters is freed by a handler while the drag moves onto it or ends on
// it: the drag goes on over what is there instead and ends with no target.
TEST(XcListDrag, AHandlerThatFreesTheListEnteredLeavesNoTargetBehind) {
    enum When { leavingPages, enteringOther, droppingOnOther };
    for (When when : {leavingPages, enteringOther, droppingOnOther}) {
        SCOPED_TRACE(when);
        DragForm f;
        auto freeOther = [&] {
            delete f.form.Other;
            f.form.Other = nullptr;
        };
        f.form.Pages->OnDragOver = [&](TObject*, TObject*, int, int, TDragState state,
                                       bool& accept) {
            accept = true;
            if (when == leavingPages && state == dsDragLeave) freeOther();
        };
        f.form.Other->OnDragOver = [&](TObject*, TObject*, int, int, TDragState state,
                                       bool& accept) {
            accept = true;
            if (when == enteringOther && state == dsDragEnter) freeOther();
        };
        f.form.Other->OnDragDrop = [&](TObject*, TObject*, int, int) { freeOther(); };
        const TPoint over = f.Row(f.form.Other, 0);
        f.Mouse(WM_LBUTTONDOWN, f.Row(f.form.Pages, 0));
        f.Mouse(WM_MOUSEMOVE, f.Row(f.form.Pages, 3));
        f.Mouse(WM_MOUSEMOVE, over);
        f.Mouse(WM_MOUSEMOVE, TPoint{over.X + 1, over.Y});
        EXPECT_EQ(DragObjectNow()->DragTarget == f.form.Other, when == droppingOnOther);
        f.Mouse(WM_LBUTTONUP, over);
        EXPECT_EQ(f.form.Other, nullptr);
        EXPECT_EQ(DragObjectNow(), nullptr);
        EXPECT_EQ(f.form.ends, Texts{"end"});
    }
}

TEST(XcListDrag, AnImmediateDragScrollsTheListNearItsEdges) {
    DragForm f;
    TXcListBox* pages = f.form.Pages;
    for (int i = 6; i <= 40; ++i) pages->Items()->Add("页面 " + std::to_string(i));
    Application->ProcessMessages();
    pages->SetItemIndex(0);
    const TPoint o = pages->ClientOrigin();
    NoteCursorPos(o.X + 20, o.Y + 5);
    // Immediate: the drag is on without the mouse moving.
    pages->BeginDrag(true);
    EXPECT_TRUE(DragActiveNow());
    const int top = pages->TopIndex();
    // Over the last pixels of the list it scrolls down a line per move, up near its top.
    for (int k = 0; k < 3; ++k)
        SendMessageA(GetCapture(), WM_MOUSEMOVE, 1,
                     MAKELPARAM_XY(o.X + 20, o.Y + pages->ClientHeight() - 2));
    EXPECT_EQ(pages->TopIndex(), top + 3);
    SendMessageA(GetCapture(), WM_MOUSEMOVE, 1, MAKELPARAM_XY(o.X + 20, o.Y + 2));
    EXPECT_EQ(pages->TopIndex(), top + 2);
    ws::PressKey(27, 0);
    Application->ProcessMessages();
    EXPECT_FALSE(pages->Dragging());
    EXPECT_EQ(pages->Items()->Get(0), "页面 1");
}

TEST(XcListDrag, AHandlerThatFreesTheDraggedListEndsTheDrag) {
    // The "bin": the list dropped on deletes the list dragged, as the drop is decided or in
    // the drop itself.
    enum Where { whileDecided, inTheDrop };
    for (Where where : {whileDecided, inTheDrop}) {
        SCOPED_TRACE(where == whileDecided ? "OnDragOver" : "OnDragDrop");
        DragForm f;
        TXcListBox* other = f.form.Other;
        const HCURSOR before = GetCursor();
        auto bin = [&](TObject* source) {
            if (source != f.form.Pages) return;
            delete f.form.Pages;
            f.form.Pages = nullptr;
        };
        other->OnDragOver = [&](TObject*, TObject* source, int, int, TDragState state,
                                bool& accept) {
            accept = true;
            if (where == whileDecided && state == dsDragLeave) bin(source);
        };
        other->OnDragDrop = [&](TObject*, TObject* source, int, int) {
            if (where == inTheDrop) bin(source);
        };
        f.Mouse(WM_LBUTTONDOWN, f.Row(f.form.Pages, 0));
        f.Mouse(WM_MOUSEMOVE, f.Row(f.form.Pages, 3));
        f.Mouse(WM_MOUSEMOVE, f.Row(other, 0));
        ASSERT_TRUE(DragActiveNow());
        f.Mouse(WM_LBUTTONUP, f.Row(other, 0));
        EXPECT_EQ(f.form.Pages, nullptr);
        EXPECT_EQ(DragObjectNow(), nullptr);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(GetCursor(), before);
        EXPECT_TRUE(f.form.ends.empty()) << "the freed list hears no end";
        // The mouse is the windows' again.
        f.Mouse(WM_LBUTTONDOWN, f.Row(other, 0));
        f.Mouse(WM_LBUTTONUP, f.Row(other, 0));
        EXPECT_EQ(other->ItemIndex(), 0);
    }
}

namespace {

// A drag whose images or cursor cannot be had: raises on the call numbered `failAt`.
class TFailingDrag : public TDragObject {
public:
    enum What { images, cursor } what;
    int failAt;
    TFailingDrag(What w, int at) : what(w), failAt(at) {}
    TDragImageList* GetDragImages() override {
        if (what == images) throw Exception("no drag images");
        return nullptr;
    }
    TCursor GetDragCursor(bool accepted, int x, int y) override {
        if (what == cursor && ++cursorCalls == failAt) throw Exception("no drag cursor");
        return TDragObject::GetDragCursor(accepted, x, y);
    }
    int cursorCalls = 0;
};

}  // namespace

TEST(XcListDrag, ADragThatFailsLetsTheMouseGo) {
    struct Row {
        const char* name;
        TFailingDrag::What what;
        int failAt;
        bool immediate;
    };
    const Row rows[] = {
        {"images as it starts", TFailingDrag::images, 1, false},
        {"cursor as it starts at once", TFailingDrag::cursor, 1, true},
        {"cursor at a later move", TFailingDrag::cursor, 2, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DragForm f;
        TXcListBox* pages = f.form.Pages;
        TXcListBox* other = f.form.Other;
        std::vector<std::string> errors;
        Application->OnException = [&](TObject*, Exception& e) { errors.push_back(e.Message); };
        TFailingDrag drag(row.what, row.failAt);
        pages->OnStartDrag = [&](TObject*, TDragObject*& o) { o = &drag; };
        const HCURSOR before = GetCursor();
        const TPoint start = f.Row(pages, 0);
        NoteCursorPos(start.X, start.Y);
        if (row.failAt == 1) {
            EXPECT_THROW(pages->BeginDrag(row.immediate), Exception);
        } else {
            pages->BeginDrag(row.immediate);
            ASSERT_TRUE(pages->Dragging());
            const HWND capture = GetCapture();
            const TPoint over = f.Row(other, 0);
            SendMessageA(capture, WM_MOUSEMOVE, 0, MAKELPARAM_XY(over.X, over.Y));
            EXPECT_FALSE(IsWindow(capture));
            EXPECT_EQ(errors, Texts{"no drag cursor"});
        }
        Application->OnException = nullptr;
        EXPECT_FALSE(pages->Dragging());
        EXPECT_EQ(DragObjectNow(), nullptr);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(GetCursor(), before);
        f.Mouse(WM_LBUTTONDOWN, f.Row(other, 0));
        f.Mouse(WM_LBUTTONUP, f.Row(other, 0));
        EXPECT_EQ(other->ItemIndex(), 0) << "a click on another list is its own";
        // And the next drag starts as usual.
        pages->OnStartDrag = nullptr;
        f.Mouse(WM_LBUTTONDOWN, f.Row(pages, 1));
        f.Mouse(WM_MOUSEMOVE, f.Row(pages, 3));
        EXPECT_TRUE(DragActiveNow());
        f.Mouse(WM_LBUTTONUP, f.Row(pages, 3));
        EXPECT_FALSE(pages->Dragging());
    }
}

TEST(XcListDrag, AnEndDragHandlerThatRaisesStillEndsTheDrag) {
    // The drag object the library made is freed all the same (the leak checker watches; the
    // drag is driven here without the window system, whose allocations it is told to pass).
    DragForm f;
    TXcListBox* pages = f.form.Pages;
    std::vector<std::string> errors;
    Application->OnException = [&](TObject*, Exception& e) { errors.push_back(e.Message); };
    pages->OnEndDrag = [](TObject*, TObject*, int, int) { throw Exception("end failed"); };
    const TPoint start = f.Row(pages, 0), end = f.Row(pages, 3);
    NoteCursorPos(start.X, start.Y);
    pages->BeginDrag(true);
    ASSERT_TRUE(DragActiveNow());
    SendMessageA(GetCapture(), WM_MOUSEMOVE, 0, MAKELPARAM_XY(end.X, end.Y));
    SendMessageA(GetCapture(), WM_LBUTTONUP, 0, MAKELPARAM_XY(end.X, end.Y));
    Application->OnException = nullptr;
    EXPECT_EQ(errors, Texts{"end failed"});
    EXPECT_FALSE(pages->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
}
