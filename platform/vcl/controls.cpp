#include "platform/vcl/controls.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/rtl/scopeExit.h"
#include "platform/user/capture.h"
#include "platform/user/listMessages.h"
#include "platform/user/ownerDraw.h"
#include "platform/vcl/actnlist.h"
#include "platform/vcl/dragDrop.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"

namespace {

std::function<void()>& ExceptionHandler() {
    static std::function<void()> handler;
    return handler;
}

TShiftState KeysToShift(WPARAM keys) {
    TShiftState s = 0;
    if (keys & 1) s |= ssLeft;
    if (keys & 2) s |= ssRight;
    if (keys & 4) s |= ssShift;
    if (keys & 8) s |= ssCtrl;
    if (keys & 0x10) s |= ssMiddle;
    return s;
}

// Runs an event-handling step; an exception that escapes it goes to the application.
template <class F>
void Guarded(F f) {
    try {
        f();
    } catch (...) {
        HandleEventException();
    }
}

}  // namespace

LPARAM KeyDataOf(TShiftState shift) {
    LPARAM data = 0;
    if (shift & ssAlt) data |= 0x20000000;
    if (shift & ssCtrl) data |= 0x10000000;
    if (shift & ssShift) data |= 0x08000000;
    return data;
}

namespace {

// Whether a control inside w has the keyboard focus.
bool ChildFocused(const TWinControl* w) {
    for (int i = 0; i < w->ControlCount(); ++i) {
        const auto* c = dynamic_cast<const TWinControl*>(w->Controls(i));
        if (c && (c->Focused() || ChildFocused(c))) return true;
    }
    return false;
}

}  // namespace

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (keyData & 0x20000000) s |= ssAlt;
    if (keyData & 0x10000000) s |= ssCtrl;
    if (keyData & 0x08000000) s |= ssShift;
    return s;
}

void SetEventExceptionHandler(std::function<void()> handler) {
    ExceptionHandler() = std::move(handler);
}

void HandleEventException() {
    if (ExceptionHandler())
        ExceptionHandler()();
    else
        throw;
}

TWinControl* FindControl(HWND hwnd) {
    WindowObject* w = WindowFromHandle(hwnd);
    return w ? static_cast<TWinControl*>(w->control) : nullptr;
}

// ---------------------------------------------------------------- mouse capture

namespace {
// A graphic control holding the capture through its parent's window.
TControl* g_captureControl = nullptr;
}  // namespace

TControl* GetCaptureControl() {
    TWinControl* holder = FindControl(GetCapture());
    if (!holder) return nullptr;
    if (g_captureControl && g_captureControl->Parent() == holder) return g_captureControl;
    return holder;
}

void SetCaptureControl(TControl* c) {
    ReleaseCapture();
    g_captureControl = nullptr;
    if (!c) return;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) {
        if (!c->Parent()) return;
        g_captureControl = c;
        w = c->Parent();
    }
    SetCapture(w->Handle());
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetName(const std::string& name) {
    const bool follow = ControlStyle.Contains(csSetCaption) && !Loading() && Name == text_;
    TComponent::SetName(name);
    if (follow) SetText(name);
}

void TControl::SetMouseCapture(bool on) {
    if (on == MouseCapture()) return;
    SetCaptureControl(on ? this : nullptr);
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_.OnChange = [this] { FontObjectChanged(); };
}

TControl::~TControl() {
    destroying_ = true;
    ForgetDragControl(this);
    if (g_captureControl == this) {  // a freed holder lets the mouse go
        const bool holding = GetCaptureControl() == this;
        g_captureControl = nullptr;
        if (holding) ReleaseCapture();
    }
    if (parent_) parent_->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM w, LPARAM l) {
    TMessage m{msg, w, l, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A press on a control that drags by itself starts the drag (which begins once the
            // mouse has moved far enough) instead of a click.
            if (DragMode == dmAutomatic && enabled_ && !Dragging()) {
                BeginDrag(false);
                return;
            }
            leftButtonDown_ = true;
            break;
        case WM_LBUTTONUP:
            leftButtonDown_ = false;
            break;
        default:
            break;
    }
    Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!enabled_) break;
            if (ControlStyle.Contains(csClickEvents)) clicked_ = true;
            // Without csDoubleClicks a double press is a second press.
            if (m.Msg == WM_LBUTTONDBLCLK && ControlStyle.Contains(csDoubleClicks) && OnDblClick)
                OnDblClick(this);
            if (OnMouseDown)
                OnMouseDown(this, mbLeft, KeysToShift(m.WParam), GET_X_LPARAM(m.LParam),
                            GET_Y_LPARAM(m.LParam));
            return;
        case WM_LBUTTONUP: {
            if (!enabled_) break;
            int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
            bool click = clicked_ && x >= 0 && y >= 0 && x < Width() && y < Height();
            clicked_ = false;
            if (click) Click();
            if (OnMouseUp) OnMouseUp(this, mbLeft, KeysToShift(m.WParam), x, y);
            return;
        }
        case WM_RBUTTONDOWN:
            if (OnMouseDown)
                OnMouseDown(this, mbRight, KeysToShift(m.WParam), GET_X_LPARAM(m.LParam),
                            GET_Y_LPARAM(m.LParam));
            return;
        case WM_RBUTTONUP:
            if (OnMouseUp)
                OnMouseUp(this, mbRight, KeysToShift(m.WParam), GET_X_LPARAM(m.LParam),
                          GET_Y_LPARAM(m.LParam));
            return;
        case WM_MOUSEMOVE:
            if (OnMouseMove)
                OnMouseMove(this, KeysToShift(m.WParam), GET_X_LPARAM(m.LParam),
                            GET_Y_LPARAM(m.LParam));
            return;
        case CM_MOUSEENTER:
            MouseInside = true;
            if (OnMouseEnter) OnMouseEnter(this);
            return;
        case CM_MOUSELEAVE:
            MouseInside = false;
            if (OnMouseLeave) OnMouseLeave(this);
            return;
        case CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return;
        case CM_PARENTCOLORCHANGED:
            // A control that follows its parent's colour takes the new one.
            if (ParentColor && parent_ && parent_->color_ != color_) {
                color_ = parent_->color_;
                Perform(CM_COLORCHANGED);
            }
            return;
        case CM_COLORCHANGED:
            Invalidate();
            return;
        case CM_HITTEST:
            m.Result = 1;  // the whole bounds answer the mouse
            return;
        case CM_DRAG:
            DragMessageReceived(m);
            return;
        default:
            break;
    }
    DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::Click() {
    TBasicAction* action = Action();
    if (OnClick && action && !IsActionExecuteEvent(OnClick, action))
        OnClick(this);
    else if (action)
        actionLink_->Execute(this);
    else if (OnClick)
        OnClick(this);
}

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* a) {
    if (!a) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) actionLink_ = std::make_unique<TControlActionLink>(this);
    actionLink_->SetAction(a);
    actionLink_->OnChange = [this](TObject* sender) {
        if (sender == Action()) ActionChange(sender, false);
    };
    ActionChange(a, a->Loading());
}

void TControl::InitiateAction() {
    if (actionLink_) actionLink_->Update();
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    // A menu of another form may go first: its removal is told here all the same.
    ReferTo(popupMenu_, menu);
}

void TControl::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove && c && c == Action()) SetAction(nullptr);
    if (op == opRemove && c && c == popupMenu_) ReferTo(popupMenu_, nullptr);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(sender);
    if (!a) return;
    if (!checkDefaults || Caption().empty() || Caption() == Name) SetCaption(a->Caption());
    if (!checkDefaults || Enabled()) SetEnabled(a->Enabled());
    if (!checkDefaults || Hint().empty()) SetHint(a->Hint());
    if (!checkDefaults || Visible()) SetVisible(a->Visible());
    if (!checkDefaults || !OnClick) OnClick = ActionExecuteEvent(a);
}

void TControl::SetParent(TWinControl* p) {
    if (p == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (p) p->InsertControl(this);
}

void TControl::ResolvePendingSize() const {
    // The control is never a const object: only the size is asked through a const path.
    auto* self = const_cast<TControl*>(this);
    self->sizePending_ = false;
    self->AdjustSize();
}

void TControl::SetBounds(int l, int t, int w, int h) {
    ResolveSize();
    if (l == left_ && t == top_ && w == width_ && h == height_) return;
    left_ = l;
    top_ = t;
    width_ = w;
    height_ = h;
    if (parent_) parent_->Invalidate();
}

TPoint TControl::ClientOrigin() const {
    TPoint p{left_, top_};
    if (parent_) {
        TPoint o = parent_->ClientOrigin();
        p.X += o.X;
        p.Y += o.Y;
    }
    return p;
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    if (parent_) parent_->Invalidate();
    Notify(CM_VISIBLECHANGED, WPARAM(v));
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::SetEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    Invalidate();
    Notify(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& s) {
    if (s == text_) return;
    text_ = s;
    AdjustSize();
    Invalidate();
    Notify(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor c) {
    if (c == color_) return;
    color_ = c;
    ParentColor = false;
    Notify(CM_COLORCHANGED);
}

void TControl::Notify(UINT msg, WPARAM w, LPARAM l) {
    if (!destroying_) Perform(msg, w, l);
}

void TControl::SetHint(const std::string& h) { hint_ = h; }

void TControl::SetShowHint(bool v) {
    ParentShowHint = false;
    if (v == ShowHint) return;
    ShowHint = v;
    Notify(CM_SHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor c) {
    if (c == Cursor) return;
    Cursor = c;
    Notify(CM_CURSORCHANGED);
}

void TControl::Invalidate() {
    if (parent_) parent_->Invalidate();
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& v = parent_->controls_;
    auto it = std::find(v.begin(), v.end(), this);
    if (it != v.end()) {
        v.erase(it);
        v.push_back(this);
    }
    Invalidate();
}

void TControl::FontObjectChanged() {
    // A font set on the control itself stops following the parent's.
    ParentFont = false;
    AdjustSize();
    Invalidate();
    Notify(CM_FONTCHANGED);
}

void TControl::ParentFontChanged() {
    if (!ParentFont || !parent_) return;
    auto saved = font_.OnChange;
    font_.OnChange = nullptr;
    font_.Assign(*parent_->Font());
    font_.OnChange = saved;
    AdjustSize();
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        w->ApplyFont();
        for (TControl* c : w->controls_) c->Perform(CM_PARENTFONTCHANGED);
    }
}

// ---------------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(gdi::Painter& p) {
    canvas_.Font()->Assign(font_);
    TCanvasBinding bound(canvas_, p);
    Paint();
}

bool TGraphicControl::DrawOnSurface(const std::function<void()>& draw) {
    if (canvas_.Bound()) {
        draw();
        return true;
    }
    if (!parent_ || !Showing() || !parent_->Peer()) return false;
    auto* surface = dynamic_cast<ws::PaintedPeer*>(parent_->Peer());
    gdi::Image* img = surface ? surface->surface(false) : nullptr;
    if (!img || img->width() <= 0 || img->height() <= 0) return false;
    {
        std::unique_ptr<gdi::Painter> p = gdi::NewPainter(*img);
        p->setOrigin(left_, top_);
        p->setClip(0, 0, Width(), Height());
        canvas_.Font()->Assign(font_);
        TCanvasBinding bound(canvas_, *p);
        draw();
    }
    surface->showSurface();
    return true;
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    destroying_ = true;
    // Children that are not owned by this control only lose their parent.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        controls_.pop_back();
        c->parent_ = nullptr;
    }
    DestroyWnd();
}

HWND TWinControl::Handle() {
    if (!handle_) CreateWnd();
    return handle_;
}

void TWinControl::CreateWnd() {
    if (handle_) return;
    if (parent_) parent_->HandleNeeded();
    // Making the parent's window made this one too (a parent makes its visible children's).
    if (handle_) return;
    handle_ = CreateWindowObject(
        ClassName(), ParentWindowHandle(),
        [this](HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
            TMessage m{msg, w, l, 0};
            MainWndProc(m);
            // Destroyed with a window it lies in: a new one is made when it is asked for.
            if (msg == WM_NCDESTROY && handle_ == hwnd) {
                handle_ = nullptr;
                peer_.reset();
            }
            return m.Result;
        },
        this);
    peer_ = CreatePeer(parent_ ? parent_->peer_.get() : nullptr);
    WindowFromHandle(handle_)->peer = peer_.get();
    UpdatePeerGeometry();
    ApplyFont();
    // Painted windows keep no text and take no colour of the window system's.
    peer_->setText(text_);
    if (!ParentColor) peer_->setColor(ColorToRGB(color_));
    peer_->setEnabled(enabled_);
    peer_->setToolTip(hint_);
    PeerCreated();
    // A top-level window shows when its form says so.
    if (!dynamic_cast<ws::WindowPeer*>(peer_.get())) peer_->setVisible(visible_);
    // Hidden children get their window when they are first shown (or asked for it).
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) w->CreateWnd();
}

std::unique_ptr<ws::Peer> TWinControl::CreatePeer(ws::Peer* parent) {
    return ws::NewPaintedPeer(parent, this);
}

void TWinControl::DestroyWnd() {
    if (!handle_) return;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyWnd();
    HWND h = handle_;
    handle_ = nullptr;
    DestroyWindow(h);
    peer_.reset();
}

void TWinControl::MainWndProc(TMessage& m) {
    Guarded([&] { WindowProc(m); });
}

bool IsAccel(WORD key, const std::string& caption) {
    auto upper = [](unsigned c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // "&&" shows one ampersand
            continue;
        }
        return upper(static_cast<unsigned char>(caption[i + 1])) == upper(key);
    }
    return false;
}

void TWinControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR:
        case CM_DIALOGKEY:
            // Offered to every control inside, depth first, until one takes it.
            for (size_t i = 0; i < controls_.size() && m.Result == 0; ++i)
                m.Result = controls_[i]->Perform(m.Msg, m.WParam, m.LParam);
            return;
        case WM_PAINT:
            Invalidate();
            return;
        case WM_WINDOWPOSCHANGED:
            // The window system moved or sized the window (a drag of its caption or border).
            if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam)) {
                const bool move = !(pos->flags & SWP_NOMOVE), size = !(pos->flags & SWP_NOSIZE);
                SetBounds(move ? pos->x : left_, move ? pos->y : top_, size ? pos->cx : width_,
                          size ? pos->cy : height_);
            }
            DefaultHandler(m);
            return;
        case CM_COLORCHANGED:
            Invalidate();
            for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
            return;
        case CM_FOCUSCHANGED:
            for (TControl* c : std::vector<TControl*>(controls_))
                c->Perform(CM_FOCUSCHANGED, m.WParam, m.LParam);
            return;
        case CM_SHOWHINTCHANGED:
            for (TControl* c : std::vector<TControl*>(controls_))
                if (c->ParentShowHint) {
                    c->ShowHint = ShowHint;
                    c->Perform(CM_PARENTSHOWHINTCHANGED);
                }
            return;
        case WM_COMMAND:
            // A child's notification goes back to the child (CN_COMMAND), as the class library
            // reflects it.
            if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam));
                child && child != this) {
                m.Result = child->Perform(CN_COMMAND, m.WParam, m.LParam);
                return;
            }
            break;
        case WM_DRAWITEM:
        case WM_MEASUREITEM: {
            // An owner-drawn child draws (and measures) itself: the request goes back to it.
            HWND item = m.Msg == WM_DRAWITEM ? reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem
                                             : nullptr;
            TWinControl* child = item ? FindControl(item) : nullptr;
            if (m.Msg == WM_MEASUREITEM) {
                for (TControl* c : controls_) {
                    auto* w = dynamic_cast<TWinControl*>(c);
                    if (w && w->HandleAllocated() && UINT_PTR(w->Handle()) == UINT_PTR(m.WParam))
                        child = w;
                }
            }
            if (child && child != this) {
                m.Result = child->Perform(m.Msg == WM_DRAWITEM ? CN_DRAWITEM : CN_MEASUREITEM,
                                          m.WParam, m.LParam);
                return;
            }
            break;
        }
        case WM_SETTEXT:
            SetText(reinterpret_cast<const char*>(m.LParam));
            return;
        case WM_ERASEBKGND: {
            // The background on whatever context the message brings, within its clip.
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            RECT box{};
            if (GetClipBox(dc, &box) == ERROR_REGION) return;
            TCanvas c;
            c.SetHandle(dc);
            ScopeExit release([&] { c.SetHandle(nullptr); });
            PaintBackground(c, Rect(box.left, box.top, box.right, box.bottom));
            m.Result = 1;
            return;
        }
        default:
            TControl::Dispatch(m);
    }
}

bool TWinControl::peerScroll(bool horizontal, int request, int pos) {
    bool keep = false;
    Guarded([&] {
        scrollFromWindow_ = true;
        ScopeExit reset([&] { scrollFromWindow_ = false; });
        keep = Perform(horizontal ? WM_HSCROLL : WM_VSCROLL,
                       WPARAM(request & 0xFFFF) | WPARAM(pos & 0xFFFF) << 16, 0) != 0;
    });
    return keep;
}

void TWinControl::peerDrawListItem(gdi::Image& img, int index, unsigned state, unsigned action) {
    Guarded([&] {
        std::unique_ptr<gdi::Painter> painter = gdi::NewPainter(img);
        // The item starts on the control's background, as the list's erased area.
        painter->fillRect(0, 0, img.width(), img.height(), ColorToRGB(color_));
        TCanvas dcCanvas;
        TCanvasBinding bound(dcCanvas, *painter);
        DRAWITEMSTRUCT dis;
        dis.CtlType = OwnerDrawType();
        dis.CtlID = UINT(TabOrder < 0 ? 0 : TabOrder);
        dis.itemID = UINT(index);
        dis.itemAction = action;
        dis.itemState = state;
        dis.hwndItem = Handle();
        dis.hDC = dcCanvas.Handle();
        dis.rcItem = RECT{0, 0, img.width(), img.height()};
        if (parent_)
            parent_->Perform(WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
        else
            Perform(CN_DRAWITEM, dis.CtlID, LPARAM(&dis));
    });
}

bool TWinControl::peerEraseBackground(gdi::Image& img, int x, int y) {
    bool erased = false;
    Guarded([&] {
        std::unique_ptr<gdi::Painter> painter = gdi::NewPainter(img);
        painter->setOrigin(-x, -y);
        TCanvas dcCanvas;
        TCanvasBinding bound(dcCanvas, *painter);
        // Through the window procedure, as EraseBackground, so hooks on it take part.
        const WPARAM dc = WPARAM(dcCanvas.Handle());
        erased = (handle_ && IsWindow(handle_) ? SendMessageA(handle_, WM_ERASEBKGND, dc, 0)
                                               : Perform(WM_ERASEBKGND, dc, 0)) != 0;
    });
    return erased;
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (handle_) m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::SetParent(TWinControl* p) {
    if (p == parent_) return;
    if (handle_ && p != parent_) DestroyWnd();
    TControl::SetParent(p);
    if (p && p->HandleAllocated()) CreateWnd();
}

void TWinControl::InsertControl(TControl* c) {
    Notify(CM_CONTROLLISTCHANGE, WPARAM(c), 1);
    controls_.push_back(c);
    c->parent_ = this;
    if (c->ParentFont) c->ParentFontChanged();
    if (c->ParentColor && c->color_ != color_) c->Perform(CM_PARENTCOLORCHANGED);
    Invalidate();
    Notify(CM_CONTROLCHANGE, WPARAM(c), 1);
}

void TWinControl::RemoveControl(TControl* c) {
    auto it = std::find(controls_.begin(), controls_.end(), c);
    if (it == controls_.end()) return;
    Notify(CM_CONTROLCHANGE, WPARAM(c), 0);
    // The notification may have removed it already.
    it = std::find(controls_.begin(), controls_.end(), c);
    if (it == controls_.end()) return;
    controls_.erase(it);
    c->parent_ = nullptr;
    if (mouseTarget_ == c) mouseTarget_ = nullptr;
    if (hoverTarget_ == c) hoverTarget_ = nullptr;
    Invalidate();
    Notify(CM_CONTROLLISTCHANGE, WPARAM(c), 0);
}

void TWinControl::UpdatePeerGeometry() {
    if (peer_) peer_->setGeometry(left_, top_, width_, height_);
}

void TWinControl::SetBounds(int l, int t, int w, int h) {
    if (l == left_ && t == top_ && w == width_ && h == height_) return;
    const bool resized = w != width_ || h != height_;
    left_ = l;
    top_ = t;
    width_ = w;
    height_ = h;
    UpdatePeerGeometry();
    Invalidate();
    // A window hears of its new size (SIZE_RESTORED, the client size) once it exists.
    // Through the window procedure, as the window system sends it, so hooks on it see it.
    if (resized && handle_ && !destroying_)
        SendMessageA(handle_, WM_SIZE, 0, MAKELPARAM_XY(ClientWidth(), ClientHeight()));
}

void TWinControl::EndHover() {
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->EndHover();
    if (hoverTarget_ && hoverTarget_ != this) hoverTarget_->Perform(CM_MOUSELEAVE);
    hoverTarget_ = nullptr;
    if (MouseInside) Perform(CM_MOUSELEAVE);
}

void TWinControl::SetVisible(bool v) {
    if (v == visible_) return;
    if (!v) EndHover();
    visible_ = v;
    if (v && !handle_ && parent_ && parent_->HandleAllocated()) CreateWnd();
    if (peer_) peer_->setVisible(v);
    if (parent_) parent_->Invalidate();
    Notify(CM_VISIBLECHANGED, WPARAM(v));
    if (handle_) Notify(CM_SHOWINGCHANGED);
}

void TWinControl::SetEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    if (peer_) peer_->setEnabled(e);
    Invalidate();
    Notify(CM_ENABLEDCHANGED);
}

void TWinControl::SetText(const std::string& s) {
    if (s == text_) return;
    text_ = s;
    if (peer_) peer_->setText(s);
    AdjustSize();
    Invalidate();
    Notify(CM_TEXTCHANGED);
}

void TWinControl::SetHint(const std::string& h) {
    hint_ = h;
    if (peer_) peer_->setToolTip(ShowHint ? h : h);
}

void TWinControl::Invalidate() {
    if (peer_) peer_->invalidate();
}

void TWinControl::Update() {
    if (peer_) peer_->repaintNow();
}

void TWinControl::ApplyFont() {
    if (peer_) peer_->setFont(font_.AsFontSpec());
}

void TWinControl::FontObjectChanged() {
    TControl::FontObjectChanged();
    ApplyFont();
    for (TControl* c : controls_) c->Perform(CM_PARENTFONTCHANGED);
}

void TWinControl::SetFocus() {
    if (peer_) peer_->setFocus();
}

bool TWinControl::Focused() const { return peer_ && peer_->hasFocus(); }
bool TWinControl::CanFocus() const { return Showing() && enabled_; }

bool TWinControl::SaveScreenshot(const std::string& pngPath) {
    HandleNeeded();
    gdi::Image img;
    return peer_->grab(img) && img.save(pngPath);
}

void TWinControl::PaintBackground(TCanvas& c, const TRect& r) {
    c.Brush()->Color = color_;
    c.Brush()->Style = bsSolid;
    c.FillRect(r);
}

// The window system asks the window procedure to erase, so hooks on it (a shaped form's
// background) take part; without a window the control answers itself.
void TWinControl::EraseBackground(TCanvas& c) {
    if (handle_ && IsWindow(handle_))
        SendMessageA(handle_, WM_ERASEBKGND, WPARAM(c.Handle()), 0);
    else
        Perform(WM_ERASEBKGND, WPARAM(c.Handle()), 0);
}

void TWinControl::PaintControls(gdi::Painter& p) {
    for (TControl* c : controls_) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        p.setOrigin(g->Left(), g->Top());
        p.setClip(0, 0, g->Width(), g->Height());
        g->PaintTo(p);
        p.clearClip();
        p.setOrigin(0, 0);
    }
}

namespace {

// The window's area less the rectangles of its visible opaque graphic children, as rectangles;
// empty when no such child is there.
std::vector<int> AreaBesideOpaqueChildren(const std::vector<TControl*>& children, int w, int h) {
    HRGN area = nullptr;
    for (TControl* c : children) {
        if (!c->Visible() || !c->ControlStyle.Contains(csOpaque) ||
            !dynamic_cast<TGraphicControl*>(c))
            continue;
        if (!area) area = CreateRectRgn(0, 0, w, h);
        HRGN covered =
            CreateRectRgn(c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        CombineRgn(area, area, covered, RGN_DIFF);
        DeleteObject(covered);
    }
    std::vector<int> ltrb;
    if (!area) return ltrb;
    std::vector<char> data(GetRegionData(area, 0, nullptr));
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    if (!data.empty() && GetRegionData(area, DWORD(data.size()), rd)) {
        const auto* rects = reinterpret_cast<const RECT*>(rd->Buffer);
        for (DWORD i = 0; i < rd->rdh.nCount; ++i)
            ltrb.insert(ltrb.end(), {int(rects[i].left), int(rects[i].top), int(rects[i].right),
                                     int(rects[i].bottom)});
    }
    DeleteObject(area);
    // Fully covered: one empty rectangle keeps the clip non-empty in form but paints nothing.
    if (ltrb.empty()) ltrb = {0, 0, 0, 0};
    return ltrb;
}

}  // namespace

void TWinControl::PaintWindow(gdi::Painter& p, const TRect& /*r*/) {
    TCanvasBinding bound(paintCanvas_, p);
    EraseBackground(paintCanvas_);
}

void TWinControl::peerPaint(gdi::Painter& p, int l, int t, int r, int b) {
    Guarded([&] {
        // An opaque graphic child covers its rectangle: whatever the window is, neither its
        // background nor its own drawing is painted under it.
        const std::vector<int> beside =
            AreaBesideOpaqueChildren(controls_, ClientWidth(), ClientHeight());
        if (!beside.empty()) p.setClipRects(beside.data(), int(beside.size() / 4));
        PaintWindow(p, Rect(l, t, r, b));
        if (!beside.empty()) p.clearClip();
        PaintControls(p);
    });
}

void TWinControl::peerPaintFrame(gdi::Painter&, int, int) {}

TControl* TWinControl::ControlAtPos(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!dynamic_cast<TGraphicControl*>(c) || !c->Visible()) continue;
        if (x < c->Left() || y < c->Top() || x >= c->Left() + c->Width() ||
            y >= c->Top() + c->Height())
            continue;
        // The control may answer for only part of its bounds.
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM_XY(x - c->Left(), y - c->Top())) != 0) return c;
    }
    return nullptr;
}

void TWinControl::peerMouse(unsigned msg, int x, int y, unsigned keys) {
    Guarded([&] {
        const TPoint origin = ClientOrigin();
        NoteCursorPos(x + origin.X, y + origin.Y);
        // A window of the program that is no control's (a drag's) holds the mouse: it hears
        // it in screen coordinates.
        if (HWND capture = GetCapture(); capture && !FindControl(capture)) {
            SendMessageA(capture, msg, keys, MAKELPARAM_XY(x + origin.X, y + origin.Y));
            return;
        }
        // The control holding the capture gets the mouse wherever it is.
        if (TControl* holder = GetCaptureControl(); holder && holder != this) {
            const TPoint here = ClientOrigin(), there = holder->ClientOrigin();
            holder->Perform(msg, keys, MAKELPARAM_XY(x + here.X - there.X, y + here.Y - there.Y));
            return;
        }
        TControl* target = nullptr;
        if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
            target = ControlAtPos(x, y);
            if (!target) target = this;
            mouseTarget_ = target;
        } else if (msg == WM_MOUSEMOVE) {
            TControl* hover = ControlAtPos(x, y);
            if (!hover) hover = this;
            if (hover != hoverTarget_) {
                if (hoverTarget_ && hoverTarget_ != this) hoverTarget_->Perform(CM_MOUSELEAVE);
                hoverTarget_ = hover;
                if (hover != this) hover->Perform(CM_MOUSEENTER);
                // Graphic controls have no window of their own: their hint shows through ours.
                if (peer_) peer_->setToolTip(hover->Hint());
            }
            target = mouseTarget_ ? mouseTarget_ : hover;
        } else {
            target = mouseTarget_ ? mouseTarget_ : this;
            if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) mouseTarget_ = nullptr;
        }
        int ox = target == this ? 0 : target->Left();
        int oy = target == this ? 0 : target->Top();
        target->Perform(msg, keys, MAKELPARAM_XY(x - ox, y - oy));
    });
}

int TWinControl::peerHitTest(int sx, int sy) {
    int hit = HTCLIENT;
    Guarded([&] {
        if (handle_ && IsWindow(handle_))
            hit = int(SendMessageA(handle_, WM_NCHITTEST, 0, MAKELPARAM_XY(sx, sy)));
    });
    return hit;
}

void TWinControl::peerNcMouse(unsigned msg, int hit, int sx, int sy) {
    Guarded([&] {
        if (handle_ && IsWindow(handle_))
            SendMessageA(handle_, msg, WPARAM(hit), MAKELPARAM_XY(sx, sy));
    });
}

void TWinControl::peerPlaced(int l, int t, int w, int h) {
    Guarded([&] {
        if (!handle_ || !IsWindow(handle_)) return;
        WINDOWPOS pos{handle_, nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE};
        if (l == left_ && t == top_) pos.flags |= SWP_NOMOVE;
        if (w == width_ && h == height_) pos.flags |= SWP_NOSIZE;
        if ((pos.flags & SWP_NOMOVE) && (pos.flags & SWP_NOSIZE)) return;
        SendMessageA(handle_, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    });
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
    return key == 0;
}

bool TWinControl::peerKey(unsigned msg, int key, unsigned shift) {
    bool consumed = false;
    Guarded([&] {
        // The form sees keys first when it asks for them (KeyPreview).
        TWinControl* top = this;
        while (top->parent_) top = top->parent_;
        WORD k = WORD(key);
        if (msg == WM_KEYDOWN && KeyDuringDrag(k)) {
            consumed = true;
            return;
        }
        if (msg == WM_KEYDOWN) {
            TMessage m{CM_CHILDKEY, WPARAM(k), LPARAM(shift), 0};
            if (top != this)
                top->WindowProc(m);
            else
                top->WindowProc(m);
            if (m.Result) {
                consumed = true;
                return;
            }
            consumed = DoKeyDown(k, shift);
            // A control that asks for tabs (WM_GETDLGCODE) keeps the Tab key: the focus stays.
            if (!consumed && k == 9 &&
                (Perform(WM_GETDLGCODE, k, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
                consumed = true;
            // Return and Escape are the form's (its buttons': the focused or Default one,
            // the Cancel one) unless the control wants every key, as a multi-line edit does.
            // A key a child let pass comes here too: the child has decided on it.
            constexpr WORD kReturn = 13, kEscape = 27;
            if (!consumed && (k == kReturn || k == kEscape) && !ChildFocused(this) &&
                !(Perform(WM_GETDLGCODE, k, 0) & DLGC_WANTALLKEYS))
                consumed = top->Perform(CM_DIALOGKEY, k, KeyDataOf(shift)) != 0;
        } else if (msg == WM_CHAR) {
            char c = char(key);
            consumed = DoKeyPress(c);
        } else if (msg == WM_SYSCHAR) {
            // Alt+character: the form offers it to its controls, and the one whose
            // caption marks that character acts (the accelerators of "&S" captions).
            consumed = top->Perform(CM_DIALOGCHAR, WPARAM(key), kAltKeyData) != 0;
        }
    });
    return consumed;
}

void TWinControl::peerNotify(int code) {
    Guarded([&] { PeerChanged(code); });
}

bool TWinControl::peerCloseRequest() { return true; }

void TWinControl::peerFocus(bool in) {
    Guarded([&] {
        if (in) {
            // The form and every control on it hear which control has the focus now.
            TWinControl* top = this;
            while (top->parent_) top = top->parent_;
            top->Perform(CM_FOCUSCHANGED, 0, LPARAM(this));
        }
        Perform(in ? CM_ENTER : CM_EXIT);
        if (in && OnEnter) OnEnter(this);
        if (!in && OnExit) OnExit(this);
    });
}

bool TWinControl::HintAt(int x, int y, std::string& text, TColor& color) {
    TControl* target = ControlAtPos(x, y);
    if (!target) target = this;
    if (target->Hint().empty()) return false;
    THintInfo info;
    info.HintControl = target;
    info.HintColor = Application ? Application->HintColor : clInfoBk;
    info.HintStr = target->Hint();
    info.CursorPos = Point(x, y);
    if (target->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0) return false;
    text = info.HintStr;
    color = info.HintColor;
    return !text.empty();
}

bool TWinControl::peerHint(int x, int y, std::string& text, uint32_t& bgr) {
    bool show = false;
    Guarded([&] {
        TColor color = clInfoBk;
        show = HintAt(x, y, text, color);
        bgr = ColorToRGB(color);
    });
    if (!show) text.clear();
    return true;
}

void TWinControl::peerDrawItem(gdi::Painter& p, unsigned itemState, int w, int h) {
    Guarded([&] {
        TCanvas c;
        TCanvasBinding bound(c, p);
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = UINT(UINT_PTR(Handle()));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = itemState;
        dis.hwndItem = Handle();
        dis.hDC = c.Handle();
        dis.rcItem = RECT{0, 0, w, h};
        if (parent_)
            parent_->Perform(WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
        else
            Perform(CN_DRAWITEM, dis.CtlID, LPARAM(&dis));
    });
}

void TWinControl::peerEnterLeave(bool enter) {
    // A window going away under the mouse tells nobody.
    if (destroying_) return;
    Guarded([&] {
        if (!enter && hoverTarget_ && hoverTarget_ != this) {
            hoverTarget_->Perform(CM_MOUSELEAVE);
            hoverTarget_ = nullptr;
        }
        Perform(enter ? CM_MOUSEENTER : CM_MOUSELEAVE);
    });
}

// ---------------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::PaintWindow(gdi::Painter& p, const TRect& /*r*/) {
    canvas_.Font()->Assign(font_);
    TCanvasBinding bound(canvas_, p);
    EraseBackground(canvas_);
    Paint();
}
