#include "platform/vcl/forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/passedErrors.h"
#include "platform/rtl/startTrace.h"
#include "platform/user/mdiClient.h"
#include "platform/user/metrics.h"
#include "platform/user/paint.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/windowSystem.h"
#include "platform/win/mutex.h"
#include "platform/win/theme.h"

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace {
std::vector<std::pair<int, std::function<void()>>>& ExitProcs() {
    static std::vector<std::pair<int, std::function<void()>>> procs;
    return procs;
}
}  // namespace

int AddExitProc(std::function<void()> proc) {
    static int next = 0;
    ExitProcs().emplace_back(++next, std::move(proc));
    return next;
}

void RemoveExitProc(int id) {
    auto& p = ExitProcs();
    p.erase(std::remove_if(p.begin(), p.end(), [id](const auto& e) { return e.first == id; }),
            p.end());
}

void Halt(int exitCode) {
    auto procs = std::move(ExitProcs());
    for (auto it = procs.rbegin(); it != procs.rend(); ++it) {
        try {
            it->second();
        } catch (...) {
            LogPassedException("exit procedure");  // the others still run
        }
    }
    // Handles are not closed on the way out: the named ones would leave their files.
    CloseNamedMutexesNow();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

// ---------------------------------------------------------------- TForm

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    visible_ = false;
    color_ = clBtnFace;
    Screen->Forms.push_back(this);
    icon_.OnChange = [this] {
        if (handle_)
            Perform(WM_SETICON, ICON_BIG, LPARAM(icon_.Empty() ? nullptr : icon_.Handle()));
    };
}

TForm::~TForm() {
    destroying_ = true;
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            HandleEventException();
        }
    }
    // MDI children lose their windows before the client window that holds them goes, and a
    // child that goes hands the activation on.
    destroyClient();
    leaveMDIActivation();
    auto& f = Screen->Forms;
    f.erase(std::remove(f.begin(), f.end(), this), f.end());
    if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TForm::InitForm(const std::string& resourceName) {
    ReadFormResource(this, resourceName);
    StartTrace("form-read");
    if (OnCreate) OnCreate(this);
    StartTrace("form-created");
    if (FormStyle == fsMDIChild) Show();  // an MDI child shows as soon as it is made
}

void TForm::Loaded() { TWinControl::Loaded(); }

void TForm::SetBorderStyle(TFormBorderStyle s) {
    if (s == borderStyle_) return;
    int cw = ClientWidth(), ch = ClientHeight();
    borderStyle_ = s;
    // Keep the client area; the frame grows or shrinks around it.
    SetBounds(left_, top_, cw + 2 * FrameWidth(), ch + CaptionHeight() + 2 * FrameWidth());
    if (peer_) {
        peer()->setFrame(FrameWidth(), FrameWidth() + CaptionHeight(), FrameWidth(), FrameWidth());
        peer()->setSizeable(Sizeable());
    }
}

bool TForm::Sizeable() const { return borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin; }

void TForm::CreateParams(TCreateParams& params) {
    const bool tool = borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin;
    switch (borderStyle_) {
        case bsNone:
            params.Style |= WS_POPUP;
            break;
        case bsSingle:
        case bsToolWindow:
            params.Style |= WS_CAPTION | WS_BORDER;
            break;
        case bsSizeable:
        case bsSizeToolWin:
            params.Style |= WS_CAPTION | WS_THICKFRAME;
            break;
        case bsDialog:
            params.Style |= WS_POPUP | WS_CAPTION;
            params.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
    }
    if (tool) params.ExStyle |= WS_EX_TOOLWINDOW;
    if (borderStyle_ == bsNone || !(BorderIcons & BorderIconBit(biSystemMenu))) return;
    params.Style |= WS_SYSMENU;
    if (borderStyle_ == bsDialog || tool) return;  // a close button only
    if (BorderIcons & BorderIconBit(biMinimize)) params.Style |= WS_MINIMIZEBOX;
    if (BorderIcons & BorderIconBit(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
}

namespace {
// The frame's width on each side and the caption's height, from the window style.
struct FrameSizes {
    int side = 0, caption = 0;
};
FrameSizes FrameOf(const TForm& form) {
    TCreateParams params;
    // The style is asked of the form as its window would be made now.
    const_cast<TForm&>(form).CreateParams(params);
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, params.Style, FALSE_, params.ExStyle);
    return FrameSizes{-r.left, -r.top + r.left};
}
}  // namespace

int TForm::FrameWidth() const { return FrameOf(*this).side; }

int TForm::CaptionHeight() const { return FrameOf(*this).caption; }

int TForm::ClientWidth() const { return std::max(0, width_ - 2 * FrameWidth()); }
int TForm::ClientHeight() const {
    return std::max(0, height_ - CaptionHeight() - 2 * FrameWidth());
}
TPoint TForm::ClientOrigin() const {
    TPoint o{left_ + FrameWidth(), top_ + FrameWidth() + CaptionHeight()};
    // An MDI child's place is in its frame's client area.
    if (const TForm* frame = MDIParent()) {
        const TPoint f = frame->ClientOrigin();
        o.X += f.X, o.Y += f.Y;
    }
    return o;
}

TPoint TForm::WindowOrigin() const {
    const TPoint o = ClientOrigin();
    return TPoint{o.X - FrameWidth(), o.Y - FrameWidth() - CaptionHeight()};
}
void TForm::SetClientWidth(int w) { SetBounds(left_, top_, w + 2 * FrameWidth(), height_); }
void TForm::SetClientHeight(int h) {
    SetBounds(left_, top_, width_, h + CaptionHeight() + 2 * FrameWidth());
}

void TForm::UpdatePeerGeometry() {
    if (peer_) peer_->setGeometry(left_, top_, width_, height_);
    placeClient();
}

std::unique_ptr<ws::Peer> TForm::CreatePeer(ws::Peer*) {
    if (TForm* frame = MDIParent()) return ws::NewWindowPeer(this, frame->clientPeer_.get());
    return ws::NewWindowPeer(this);
}

// ---------------------------------------------------------------- MDI

namespace {
// The MDI client window's widget: the application workspace behind the children.
class MdiClientHost final : public ws::PeerHost {
public:
    void peerPaint(gdi::Painter& p, int l, int t, int r, int b) override {
        canvas_.Bind(&p);
        canvas_.Brush()->Color = clAppWorkSpace;
        canvas_.FillRect(Rect(l, t, r, b));
        canvas_.Unbind();
    }
    void peerPaintFrame(gdi::Painter&, int, int) override {}
    void peerMouse(unsigned, int, int, unsigned) override {}
    bool peerKey(unsigned, int, unsigned) override { return false; }
    void peerNotify(int) override {}
    bool peerCloseRequest() override { return false; }
    void peerFocus(bool) override {}
    void peerEnterLeave(bool) override {}

private:
    TCanvas canvas_;
};

TForm* MDIFrameForNewChild() {
    TForm* frame = Application ? Application->MainForm() : nullptr;
    return frame && frame->FormStyle == fsMDIForm ? frame : nullptr;
}
}  // namespace

HWND TForm::ParentWindowHandle() const {
    if (FormStyle == fsMDIChild)
        if (TForm* frame = MDIFrameForNewChild(); frame && frame != this)
            return frame->ClientHandle();
    return TWinControl::ParentWindowHandle();
}

void TForm::CreateWnd() {
    if (handle_) return;
    if (FormStyle == fsMDIChild) {
        // A child window needs its frame: made without one it would be a window of its own.
        TForm* frame = MDIFrameForNewChild();
        if (!frame || frame == this)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        frame->HandleNeeded();
    }
    TWinControl::CreateWnd();
    if (FormStyle == fsMDIForm) createClient();
}

void TForm::DestroyWnd() {
    destroyClient();
    leaveMDIActivation();
    TWinControl::DestroyWnd();
}

void TForm::createClient() {
    if (clientHandle_ || !handle_) return;
    clientHandle_ = CreateMDIClient(handle_, 0, 0, ClientWidth(), ClientHeight());
    clientHost_ = std::make_unique<MdiClientHost>();
    clientPeer_ = ws::NewPaintedPeer(peer_.get(), clientHost_.get());
    WindowFromHandle(clientHandle_)->peer = static_cast<ws::Peer*>(clientPeer_.get());
    placeClient();
}

void TForm::placeClient() {
    if (clientPeer_) clientPeer_->setGeometry(0, 0, ClientWidth(), ClientHeight());
}

void TForm::destroyClient() {
    if (!clientHandle_) return;
    // The children's widgets live in the client's: they go first.
    for (TForm* child : mdiChildren()) child->DestroyWnd();
    const HWND client = clientHandle_;
    clientHandle_ = nullptr;
    DestroyWindow(client);
    clientPeer_.reset();
    clientHost_.reset();
}

void TForm::leaveMDIActivation() {
    TForm* frame = MDIParent();
    if (frame && frame->ActiveMDIChild() == this)
        SendMessageA(frame->clientHandle_, WM_MDINEXT, WPARAM(handle_), 0);
}

TForm* TForm::MDIParent() const {
    if (FormStyle != fsMDIChild || !handle_) return nullptr;
    const WindowObject* w = WindowFromHandle(handle_);
    const WindowObject* client = w ? WindowFromHandle(w->parent) : nullptr;
    if (!client || client->className != "MDICLIENT") return nullptr;
    return dynamic_cast<TForm*>(FindControl(client->parent));
}

std::vector<TForm*> TForm::mdiChildren() const {
    std::vector<TForm*> out;
    for (HWND h : MDIClientChildren(clientHandle_))
        if (auto* f = dynamic_cast<TForm*>(FindControl(h))) out.push_back(f);
    return out;
}

TForm* TForm::ActiveMDIChild() const {
    if (!clientHandle_) return nullptr;
    const auto active = reinterpret_cast<HWND>(SendMessageA(clientHandle_, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(FindControl(active));
}

int TForm::MDIChildCount() const { return int(mdiChildren().size()); }

TForm* TForm::MDIChildren(int i) const {
    const std::vector<TForm*> children = mdiChildren();
    return i >= 0 && size_t(i) < children.size() ? children[size_t(i)] : nullptr;
}

void TForm::PeerCreated() {
    peer()->setFrame(FrameWidth(), FrameWidth() + CaptionHeight(), FrameWidth(), FrameWidth());
    peer()->setSizeable(Sizeable());
    peer_->setText(text_);
    peer()->setTopmost(FormStyle == fsStayOnTop);
}

void TForm::applyPosition() {
    if (Position == poScreenCenter || Position == poDesktopCenter || Position == poMainFormCenter ||
        Position == poOwnerFormCenter) {
        SetBounds((ws::ScreenWidth() - width_) / 2, (ws::ScreenHeight() - height_) / 2, width_,
                  height_);
    }
}

TForm* TForm::OwnerWhenShown() const {
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (main == this || FormStyle == fsMDIChild) return nullptr;
    // A window never belongs to one that belongs to it.
    auto fits = [this](TForm* f) {
        if (!f || !f->HandleAllocated() || !f->Visible() || f->FormStyle == fsMDIChild)
            return false;
        for (int depth = 0; f && depth < 64; ++depth) {
            if (f == this) return false;
            f = dynamic_cast<TForm*>(FindControl(f->owner_));
        }
        return true;
    };
    if (auto* active = dynamic_cast<TForm*>(FindControl(GetActiveWindow())); fits(active))
        return active;
    return fits(main) ? main : nullptr;
}

void TForm::SetVisible(bool v) {
    if (v == visible_) return;
    if (v) {
        HandleNeeded();
        if (!shownOnce_) {
            applyPosition();
            shownOnce_ = true;
        }
        if (!MDIParent()) {
            TForm* owner = OwnerWhenShown();
            owner_ = owner ? owner->Handle() : nullptr;
            peer()->setOwner(owner ? owner->peer() : nullptr);
            // The caption's buttons say what the window manager may offer; the main window
            // is the application's, which the user may always minimize.
            TCreateParams params;
            CreateParams(params);
            const bool main = Application && Application->MainForm() == this;
            peer()->setMinMax(main || (params.Style & WS_MINIMIZEBOX),
                              (params.Style & WS_MAXIMIZEBOX) != 0);
        }
        visible_ = true;
        peer_->setVisible(true);
        if (TForm* frame = MDIParent()) {
            // An MDI child shown becomes its frame's active child.
            WindowFromHandle(handle_)->style |= WS_VISIBLE;
            SendMessageA(frame->clientHandle_, WM_MDIACTIVATE, WPARAM(handle_), 0);
        } else {
            peer()->activate();
        }
        StartTrace("window-shown");
        // The show handler is an event handler like any other: what escapes it goes to
        // the application's exception handler.
        if (OnShow) {
            try {
                OnShow(this);
            } catch (...) {
                HandleEventException();
            }
        }
    } else {
        EndHover();
        visible_ = false;
        if (peer_) peer_->setVisible(false);
        if (MDIParent()) {
            WindowFromHandle(handle_)->style &= ~WS_VISIBLE;
            leaveMDIActivation();
        }
        if (OnHide) OnHide(this);
    }
}

void TForm::Show() { SetVisible(true); }

int TForm::ShowModal() {
    if (visible_ || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    ModalResult = mrNone;
    modal_ = true;
    // The window system keeps input away from the other windows while this one shows
    // (disabling them would grey them out, which Windows does not do).
    HandleNeeded();
    peer()->setModal(true);
    try {
        Show();
        while (ModalResult == mrNone && !Application->Terminated()) {
            Application->HandleMessage();
            if (ModalResult != mrNone) {
                // Closing from a button: the form may refuse (OnCloseQuery) or act on OnClose.
                int r = ModalResult;
                if (!CloseQuery()) {
                    ModalResult = mrNone;
                    continue;
                }
                TCloseAction action = caHide;
                if (OnClose) OnClose(this, action);
                if (action == caNone) {
                    ModalResult = mrNone;
                    continue;
                }
                ModalResult = r;
            }
        }
    } catch (...) {
        modal_ = false;
        Hide();
        peer()->setModal(false);
        throw;
    }
    modal_ = false;
    Hide();
    peer()->setModal(false);
    return ModalResult;
}

bool TForm::CloseQuery() {
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TForm::Close() {
    if (modal_) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    if (action == caHide || action == caMinimize)
        Hide();
    else if (action == caFree) {
        Hide();
        delete this;
    }
}

void TForm::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case WM_CLOSE:
            Close();
            return;
        case WM_NCPAINT: {
            auto* nc = reinterpret_cast<TNcPaint*>(m.LParam);
            if (nc) PaintNonClient(*nc->canvas, nc->width, nc->height);
            return;
        }
        case CM_MODALRESULT:
            if (modal_) ModalResult = int(m.WParam);
            return;
        case WM_NCACTIVATE:
            frameActive_ = m.WParam != 0;
            // An MDI frame's active child shows the frame's state in its own caption.
            if (TForm* child = ActiveMDIChild())
                SendMessageA(child->Handle(), WM_NCACTIVATE, m.WParam, m.LParam);
            RedrawFrame();
            m.Result = 1;
            return;
        case WM_MDIACTIVATE:
            // The MDI child activated comes to the front of its siblings.
            if (reinterpret_cast<HWND>(m.LParam) == handle_ && peer_) peer()->activate();
            return;
        case WM_NCHITTEST: {
            const TPoint o = WindowOrigin();
            m.Result = HitTestFrame(GET_X_LPARAM(m.LParam) - o.X, GET_Y_LPARAM(m.LParam) - o.Y);
            return;
        }
        case WM_SETCURSOR: {
            // Sizing borders show the sizing cursors; elsewhere the arrow.
            const int hit = int(int16_t(m.LParam & 0xFFFF));
            unsigned id = IDC_ARROW;
            if (hit == HTLEFT || hit == HTRIGHT)
                id = IDC_SIZEWE;
            else if (hit == HTTOP || hit == HTBOTTOM)
                id = IDC_SIZENS;
            else if (hit == HTTOPLEFT || hit == HTBOTTOMRIGHT)
                id = IDC_SIZENWSE;
            else if (hit == HTTOPRIGHT || hit == HTBOTTOMLEFT)
                id = IDC_SIZENESW;
            ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
            m.Result = id != IDC_ARROW ? 1 : 0;
            return;
        }
        case WM_SETICON:
            RedrawFrame();
            return;
        case CM_CHILDKEY:
            if (KeyPreview) {
                WORD k = WORD(m.WParam);
                if (OnKeyDown) OnKeyDown(this, k, TShiftState(m.LParam));
                if (k == 0) m.Result = 1;
            }
            return;
        default:
            TWinControl::Dispatch(m);
    }
}

bool TForm::peerCloseRequest() {
    try {
        Close();
    } catch (...) {
        HandleEventException();
    }
    return false;  // the form hides or frees itself
}

void TForm::peerPaintFrame(gdi::Painter& p, int w, int h) {
    try {
        TCanvasBinding bound(frameCanvas_, p);
        // The frame is painted through the window procedure, so a component that takes
        // it over (a caption painter) can draw it instead.
        TNcPaint nc{&frameCanvas_, w, h};
        Perform(WM_NCPAINT, 0, reinterpret_cast<LPARAM>(&nc));
    } catch (...) {
        HandleEventException();
    }
}

int TForm::HitTestFrame(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return HTNOWHERE;
    const int fw = FrameWidth();
    if (fw == 0 && CaptionHeight() == 0) return HTCLIENT;
    if (x < fw || y < fw || x >= width_ - fw || y >= height_ - fw) {
        if (!Sizeable()) return HTBORDER;
        // The corners reach a caption button's size along both edges.
        const int corner = GetSystemMetrics(SM_CXSIZE);
        const bool left = x < corner, right = x >= width_ - corner, top = y < corner,
                   bottom = y >= height_ - corner;
        if (x < fw || x >= width_ - fw) {
            const bool l = x < fw;
            return top      ? (l ? HTTOPLEFT : HTTOPRIGHT)
                   : bottom ? (l ? HTBOTTOMLEFT : HTBOTTOMRIGHT)
                            : (l ? HTLEFT : HTRIGHT);
        }
        const bool t = y < fw;
        return left    ? (t ? HTTOPLEFT : HTBOTTOMLEFT)
               : right ? (t ? HTTOPRIGHT : HTBOTTOMRIGHT)
                       : (t ? HTTOP : HTBOTTOM);
    }
    return y < fw + CaptionHeight() ? HTCAPTION : HTCLIENT;
}

void TForm::peerActivate(bool active) {
    try {
        // A press inside an MDI child asks its frame's client window to activate it.
        if (TForm* frame = MDIParent()) {
            if (active) SendMessageA(frame->clientHandle_, WM_MDIACTIVATE, WPARAM(handle_), 0);
            return;
        }
        Perform(WM_NCACTIVATE, active ? 1 : 0, 0);
    } catch (...) {
        HandleEventException();
    }
}

int TForm::peerFrameMouse(int x, int y) {
    unsigned shown = 0;
    try {
        // Through the window procedure, so hooks on the window answer too.
        const TPoint o = WindowOrigin();
        const LRESULT hit =
            SendMessageA(Handle(), WM_NCHITTEST, 0, MAKELPARAM_XY(o.X + x, o.Y + y));
        ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW)));
        SendMessageA(Handle(), WM_SETCURSOR, WPARAM(handle_),
                     LPARAM(uint32_t(uint16_t(hit)) | (uint32_t(WM_MOUSEMOVE) << 16)));
        const HCURSOR now = GetCursor();
        for (unsigned id : {IDC_SIZEWE, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZENESW})
            if (now == LoadCursorA(nullptr, MAKEINTRESOURCEA(id))) shown = id;
    } catch (...) {
        HandleEventException();
    }
    return int(shown);
}

namespace {
ws::WindowPeer* TopLevelPeer(HWND hwnd) {
    WindowObject* w = WindowFromHandle(hwnd);
    return w && !w->parent ? dynamic_cast<ws::WindowPeer*>(static_cast<ws::Peer*>(w->peer))
                           : nullptr;
}
}  // namespace

BOOL IsIconic(HWND hwnd) {
    ws::WindowPeer* p = TopLevelPeer(hwnd);
    return p && p->minimized() ? TRUE_ : FALSE_;
}

BOOL IsZoomed(HWND hwnd) {
    ws::WindowPeer* p = TopLevelPeer(hwnd);
    return p && p->maximized() ? TRUE_ : FALSE_;
}

HWND GetActiveWindow() {
    for (TForm* f : Screen->Forms)
        if (f->HandleAllocated() && f->Peer() && f->PeerAs<ws::WindowPeer>()->isActive())
            return f->Handle();
    return nullptr;
}

// The program sees only its own windows: the one in the foreground is its active one.
HWND GetForegroundWindow() { return GetActiveWindow(); }

void TForm::PaintNonClient(TCanvas& c, int w, int h) {
    TCreateParams params;
    CreateParams(params);
    const int fw = FrameWidth(), caption = CaptionHeight();
    if (fw == 0 && caption == 0) return;
    RECT edge{0, 0, w, h};
    if ((params.Style & (WS_THICKFRAME | WS_DLGFRAME)) || (params.ExStyle & WS_EX_DLGMODALFRAME)) {
        // A raised edge, then the face colour out to the client area (a sizing frame is
        // a pixel wider than a dialog frame).
        c.Brush()->Color = clBtnFace;
        c.FillRect(Rect(0, 0, w, h));
        DrawEdge(c.Handle(), &edge, EDGE_RAISED, BF_RECT);
    } else {
        // A thin border: one line in the window frame colour.
        c.Brush()->Color = clWindowFrame;
        c.FrameRect(Rect(0, 0, w, h));
    }
    if (caption == 0) return;
    // The caption shows whether the window is active (an MDI child: whether it is its active
    // frame's active child); a line of the face colour parts it from the client area.
    const TRect bar = Rect(fw, fw, w - fw, fw + caption - 1);
    c.Brush()->Color = frameActive_ ? clActiveCaption : clInactiveCaption;
    c.FillRect(bar);
    const bool small = (params.ExStyle & WS_EX_TOOLWINDOW) != 0;
    c.Font()->SetName("宋体");
    c.Font()->SetHeight(small ? -11 : -12);
    c.Font()->SetColor(frameActive_ ? clCaptionText : clInactiveCaptionText);
    c.Font()->SetStyle({fsBold});
    c.Brush()->Style = bsClear;
    c.TextOut(fw + 4, fw + (small ? 1 : 3), text_);
    c.Brush()->Style = bsSolid;
}

// ---------------------------------------------------------------- screen cursors

HCURSOR TScreen::Cursors(int index) {
    auto it = cursors_.find(index);
    if (it != cursors_.end()) return it->second;
    static const std::map<int, unsigned> standard = {
        {crDefault, IDC_ARROW},
        {crArrow, IDC_ARROW},
        {crCross, IDC_CROSS},
        {crIBeam, IDC_IBEAM},
        {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS},
        {crSizeNWSE, IDC_SIZENWSE},
        {crSizeWE, IDC_SIZEWE},
        {crUpArrow, IDC_UPARROW},
        {crHourGlass, IDC_WAIT},
        {crDrag, IDC_DRAG},
        {crNoDrop, IDC_NODROP},
        {crHSplit, IDC_HSPLIT},
        {crVSplit, IDC_VSPLIT},
        {crMultiDrag, IDC_MULTIDRAG},
        {crSQLWait, IDC_SQLWAIT},
        {crNo, IDC_NO},
        {crAppStart, IDC_APPSTARTING},
        {crHelp, IDC_HELP},
        {crHandPoint, IDC_HAND},
        {crSizeAll, IDC_SIZEALL},
    };
    auto s = standard.find(index);
    HCURSOR c =
        index == crNone
            ? nullptr
            : LoadCursorA(nullptr, MAKEINTRESOURCEA(s == standard.end() ? IDC_ARROW : s->second));
    return c;
}

void TScreen::SetCursors(int index, HCURSOR cursor) {
    if (cursor)
        cursors_[index] = cursor;
    else
        cursors_.erase(index);
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
    RegisterThemeDrawingExports();
    SetEventExceptionHandler([] { Application->HandleException(nullptr); });
}

TApplication::~TApplication() {
    if (handle_) DestroyWindow(handle_);
}

HWND TApplication::Handle() {
    if (!handle_ || !IsWindow(handle_)) {
        handle_ = CreateWindowObject(
            "TApplication", nullptr,
            [this](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
                TMessage m{msg, w, l, 0};
                // A hook may take itself off while it runs.
                auto hooks = hooks_;
                for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
                    const int id = it->first;
                    const bool live = std::any_of(hooks_.begin(), hooks_.end(),
                                                  [id](const auto& e) { return e.first == id; });
                    if (live && it->second(m)) return m.Result;
                }
                return DefWindowProcA(h, msg, w, l);
            },
            nullptr);
    }
    return handle_;
}

int TApplication::HookMainWindow(TWindowHook hook) {
    hooks_.emplace_back(++nextHook_, std::move(hook));
    return nextHook_;
}

void TApplication::UnhookMainWindow(int id) {
    hooks_.erase(
        std::remove_if(hooks_.begin(), hooks_.end(), [id](const auto& e) { return e.first == id; }),
        hooks_.end());
}

void TApplication::Initialize() {
    RegisterStandardClasses();
    ws::EnsureGui();
}

void TApplication::SetUpFontsAhead() { ws::RequestFontSetUpAhead(); }

void TApplication::Run() {
    if (mainForm_ && ShowMainForm) mainForm_->Show();
    while (!terminated_) HandleMessage();
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        ExitCode = int(msg.wParam);
        return true;
    }
    try {
        DispatchMessageA(&msg);
    } catch (...) {
        HandleException(this);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {}
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) {
        if (OnIdle) OnIdle(this);
        for (TForm* f : std::vector<TForm*>(Screen->Forms))
            if (f->Showing()) f->UpdateActions();
        if (!terminated_) WaitMessage();
    }
}

namespace {
// Hidden controls too: an action that hid its control must be able to show it again.
void InitiateActions(TWinControl* container) {
    for (int i = 0; i < container->ControlCount(); ++i) {
        TControl* c = container->Controls(i);
        c->InitiateAction();
        if (auto* w = dynamic_cast<TWinControl*>(c)) InitiateActions(w);
    }
}
}  // namespace

void TForm::UpdateActions() {
    InitiateAction();
    InitiateActions(this);
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException(TObject* sender) {
    try {
        throw;
    } catch (EAbort&) {
    } catch (Exception& e) {
        if (OnException)
            OnException(sender, e);
        else
            ShowException(e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        if (OnException)
            OnException(sender, wrapped);
        else
            ShowException(wrapped);
    }
}

void TApplication::ShowException(Exception& e) { std::fprintf(stderr, "%s\n", e.Message.c_str()); }

// ---------------------------------------------------------------- TScreen

void TScreen::SetCursor(TCursor c) {
    cursor_ = c;
    ws::SetAppCursor(int(c));
}

int TScreen::Width() const { return ws::ScreenWidth(); }
int TScreen::Height() const { return ws::ScreenHeight(); }

void TApplication::CancelHint() { ws::HideHint(); }
