// Controls: geometry, visibility, messages through a replaceable WindowProc, painting of
// windowed and graphic controls, mouse and keyboard events.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "platform/vcl/component.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/peer.h"

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// Component messages of the class library (its own numbering from CM_BASE).
enum : UINT {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_SHOWHINTCHANGED = CM_BASE + 34,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_SYSCOLORCHANGE = CM_BASE + 36,
    CM_CONTROLLISTCHANGE = CM_BASE + 44,
    CM_CHILDKEY = CM_BASE + 46,
    CM_DRAG = CM_BASE + 47,  // a drag over or onto a control (dragDrop.h)
    CM_HINTSHOW = CM_BASE + 48,
    CM_CONTROLCHANGE = CM_BASE + 54,
    CM_CHANGED = CM_BASE + 55,
    CM_MODALRESULT = CM_BASE + 0x100,  // a button with a modal result was clicked
    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
    CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
    CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_VSCROLL = CN_BASE + WM_VSCROLL,
};

enum TCursor : int {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
};
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The key-data bits of a character message for Alt (and the class library's bits for Ctrl
// and Shift), as CM_DIALOGCHAR carries them; other bits carry no shift state.
TShiftState KeyDataToShiftState(LPARAM keyData);
// And back: Alt, Ctrl and Shift as those bits; other elements are dropped.
LPARAM KeyDataOf(TShiftState shift);

using TNotifyEvent = std::function<void(TObject*)>;
using TMouseEvent = std::function<void(TObject*, TMouseButton, TShiftState, int, int)>;
using TMouseMoveEvent = std::function<void(TObject*, TShiftState, int, int)>;
using TKeyEvent = std::function<void(TObject*, WORD&, TShiftState)>;
using TKeyPressEvent = std::function<void(TObject*, char&)>;

// What a control is and does, as the class library asks it: among others, whether a
// click comes from a press and release (csClickEvents) and a double press is a double click
// (csDoubleClicks), whether the caption follows the name given (csSetCaption), whether the
// control covers its whole rectangle when it paints, so its parent paints no background
// under it (csOpaque), and whether it can be drawn into another surface (csReplicatable).
enum TControlStyleFlag : uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint,
    csParentBackground,
};

// A set of TControlStyleFlag:
//   ControlStyle = ControlStyle - TControlStyle{csOpaque} + TControlStyle{csReplicatable};
class TControlStyle {
public:
    constexpr TControlStyle() = default;
    constexpr TControlStyle(std::initializer_list<TControlStyleFlag> flags) {
        for (TControlStyleFlag f : flags) bits_ |= Bit(f);
    }
    constexpr bool Contains(TControlStyleFlag f) const { return (bits_ & Bit(f)) != 0; }
    constexpr TControlStyle operator+(TControlStyle o) const { return Of(bits_ | o.bits_); }
    constexpr TControlStyle operator-(TControlStyle o) const { return Of(bits_ & ~o.bits_); }
    constexpr TControlStyle operator+(TControlStyleFlag f) const { return Of(bits_ | Bit(f)); }
    constexpr TControlStyle operator-(TControlStyleFlag f) const { return Of(bits_ & ~Bit(f)); }
    constexpr bool operator==(const TControlStyle&) const = default;

private:
    static constexpr uint32_t Bit(TControlStyleFlag f) { return uint32_t(1) << f; }
    static constexpr TControlStyle Of(uint32_t bits) {
        TControlStyle s;
        s.bits_ = bits;
        return s;
    }
    uint32_t bits_ = 0;
};

class TWinControl;

// The window style of a control, gathered before its window is made.
struct TCreateParams {
    DWORD Style = 0;
    DWORD ExStyle = 0;
};
class TBasicAction;
class TDragObject;
class TDragImageList;

enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
class TControlActionLink;
class TControl;
class TPopupMenu;
class TDragDockObject;

// Which edges of its parent a control keeps its distance to.
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = unsigned;  // bits 1 << TAnchorKind
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragKind { dkDrag, dkDock };
enum TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};
enum THelpType { htKeyword, htContext };
using TEndDockEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;

// The smallest and largest size a control may take (0: no limit).
class TSizeConstraints : public TPersistent {
public:
    std::string ClassName() const override { return "TSizeConstraints"; }
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

// What CM_HINTSHOW hands to the control whose hint is about to show; the control may change
// the text and the colour, or answer non-zero to show no hint.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;
    TPoint CursorPos;
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    void* HintData = nullptr;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }

    // Messages: Perform goes through WindowProc, which by default calls WndProc; WndProc
    // handles the mouse and calls Dispatch, which each class extends by message number.
    TWndMethod WindowProc;
    LRESULT Perform(UINT msg, WPARAM w = 0, LPARAM l = 0);
    virtual void WndProc(TMessage& m);
    virtual void Dispatch(TMessage& m);
    virtual void DefaultHandler(TMessage& m);

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* p);
    TControlStyle ControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    // A caption that showed the old name follows the new one (csSetCaption), unless the
    // control is being read from a form.
    void SetName(const std::string& name) override;
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const {
        ResolveSize();
        return width_;
    }
    int Height() const {
        ResolveSize();
        return height_;
    }
    void SetLeft(int v) { SetBounds(v, top_, Width(), Height()); }
    void SetTop(int v) { SetBounds(left_, v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(left_, top_, v, Height()); }
    void SetHeight(int v) { SetBounds(left_, top_, Width(), v); }
    virtual void SetBounds(int l, int t, int w, int h);
    TRect BoundsRect() const { return Rect(left_, top_, left_ + Width(), top_ + Height()); }
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }
    // A size the control works out from its contents when read from a form (an AutoSize
    // label) is worked out when something first asks for it: a run that shows nothing
    // measures nothing. Every reader of the size above asks; SetBounds too.
    void ResolveSize() const {
        if (sizePending_) ResolvePendingSize();
    }
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    virtual TPoint ClientOrigin() const;  // in screen coordinates

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Showing() const;  // visible and every parent visible
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool e);

    // Caption and Text are the same string, as in the class library.
    std::string Caption() const { return text_; }
    void SetCaption(const std::string& s) { SetText(s); }
    std::string Text() const { return GetText(); }
    virtual std::string GetText() const { return text_; }
    virtual void SetText(const std::string& s);

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TFont* Font() { return &font_; }
    bool ParentFont = true;
    bool ParentColor = false;
    std::string Hint() const { return hint_; }
    virtual void SetHint(const std::string& h);
    bool ShowHint = false;
    bool ParentShowHint = true;
    TCursor Cursor = crDefault;
    // The setters tell the control (CM_SHOWHINTCHANGED, CM_CURSORCHANGED); a changed hint
    // flag is no longer taken from the parent, and the children that take theirs from this
    // control hear CM_PARENTSHOWHINTCHANGED.
    void SetShowHint(bool v);
    void SetCursor(TCursor c);
    TAlign Align = alNone;
    bool AutoSize = false;
    // What a form file says of the layout and the designer's settings: anchors, size
    // limits, reading order, docking kind, input method and help topic.
    TAnchors Anchors = (1u << akLeft) | (1u << akTop);
    TSizeConstraints* Constraints() { return &constraints_; }
    TBiDiMode BiDiMode = bdLeftToRight;
    bool ParentBiDiMode = true;
    TDragKind DragKind = dkDrag;
    std::string ImeName;
    TImeMode ImeMode = imDontCare;
    THelpType HelpType = htContext;
    std::string HelpKeyword;
    int HelpContext = 0;
    // The menu a right click shows; cleared when the menu is freed.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    // The palette the control draws with, null when it needs none of its own.
    virtual HPALETTE GetPalette() { return nullptr; }
    virtual void Invalidate();
    void Repaint() {
        Invalidate();
        Update();
    }
    virtual void Update();
    void BringToFront();

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TEndDockEvent OnEndDock;
    TStartDockEvent OnStartDock;
    // Runs OnClick, or executes the action when OnClick is unassigned or the action's own.
    virtual void Click();

    // The action the control follows (caption, enabled state, hint, visibility, OnClick) and
    // that a click executes; null for none.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* a);
    TControlActionLink* ActionLink() const { return actionLink_.get(); }
    // Lets the action update itself (its OnUpdate), as the application does when idle.
    virtual void InitiateAction();
    void Notification(TComponent* c, TOperation op) override;

    // While the control holds the mouse capture, the mouse input of every window of the
    // program comes to it; a graphic control holds it through its parent's window.
    bool MouseCapture() const;
    void SetMouseCapture(bool on);
    bool MouseInside = false;

    // Drag and drop (dragDrop.cpp). With dmAutomatic a left press starts a drag that begins
    // once the mouse has moved past the threshold (the system's drag size when -1); the
    // control under the mouse is asked with CM_DRAG whether it takes the drag and gets the
    // drop; the cursor shows DragCursor or crNoDrop; Escape cancels.
    TDragMode DragMode = dmManual;
    TCursor DragCursor = crDrag;
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // The drag image stays shown while the mouse is over this control.
    bool DisplaysDragImage() const { return ControlStyle.Contains(csDisplayDragImage); }
    // A key pressed while a drag holds the mouse goes to the drag (Escape cancels it); true
    // when it took the key.
    static bool KeyDuringDrag(WORD key);

protected:
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // CM_DRAG: to the target named in the message, or the control under the point.
    void DragMessageReceived(TMessage& m);
    void DoDragMessage(TMessage& m);
    friend class TDragControlObject;
    bool leftButtonDown_ = false;  // between a left press and its release
    friend class TWinControl;
    // The action changed or was just assigned: the control takes its properties; with
    // checkDefaults (the action is being read from a form) only those still at their defaults.
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    std::unique_ptr<TControlActionLink> actionLink_;
    virtual void FontObjectChanged();
    virtual void AdjustSize() {}
    // In place of AdjustSize while the control is read from a form: AdjustSize runs when
    // the size is first asked for.
    void AdjustSizeWhenAsked() { sizePending_ = true; }
    void ResolvePendingSize() const;
    void ParentFontChanged();
    // Tells the control itself of a change (CM_ messages), unless it is being destroyed.
    void Notify(UINT msg, WPARAM w = 0, LPARAM l = 0);
    TWinControl* parent_ = nullptr;
    TPopupMenu* popupMenu_ = nullptr;
    TSizeConstraints constraints_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    mutable bool sizePending_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    TColor color_ = clBtnFace;
    TFont font_;
    std::string hint_;
    bool clicked_ = false;
};

// Controls drawn on their parent's surface.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    std::string ClassName() const override { return "TGraphicControl"; }
    TCanvas* Canvas() { return &canvas_; }
    virtual void Paint() {}
    void PaintTo(gdi::Painter& p);  // with origin and clip set by the parent
    // Runs `draw` with the canvas bound to the parent window's image at the control's place,
    // outside a paint, and shows the result at once; inside a paint the canvas is used as it
    // is bound. False (nothing drawn) when the control is not showing.
    bool DrawOnSurface(const std::function<void()>& draw);

protected:
    TCanvas canvas_;
};

class TWinControl : public TControl, protected ws::PeerHost {
    friend class TControl;

public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    HWND Handle();  // created when first asked for
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void SetParent(TWinControl* p) override;
    void SetBounds(int l, int t, int w, int h) override;
    void SetVisible(bool v) override;
    void SetEnabled(bool e) override;
    void SetText(const std::string& s) override;
    void SetHint(const std::string& h) override;
    void Invalidate() override;
    void Update() override;
    void Dispatch(TMessage& m) override;
    void DefaultHandler(TMessage& m) override;

    int ControlCount() const { return int(controls_.size()); }
    TControl* Controls(int i) const { return controls_.at(size_t(i)); }
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;
    int TabOrder = -1;
    bool TabStop = false;
    bool DoubleBuffered = false;
    // The hint to show for the mouse at client point (x, y): the text and colour of the
    // control under it after its CM_HINTSHOW; false when no hint shows there.
    bool HintAt(int x, int y, std::string& text, TColor& color);
    // Screenshot of the control as it shows now (offscreen too).
    bool SaveScreenshot(const std::string& pngPath);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    ws::Peer* Peer() const { return peer_.get(); }
    // The peer as the interface of its kind, the one the control's CreatePeer made.
    template <class P>
    P* PeerAs() const {
        return static_cast<P*>(peer_.get());
    }

protected:
    // Makes the window-system side of the control; containers and custom controls are painted.
    virtual std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // The window a new window of the control becomes a child of (the parent control's).
    virtual HWND ParentWindowHandle() const { return parent_ ? parent_->handle_ : nullptr; }
    virtual void PeerCreated() {}              // copy the control's state into the new widget
    virtual void PeerChanged(int /*code*/) {}  // a native widget's notification
    // Paints the window's background and, in custom controls, their own drawing; the graphic
    // children are painted after it (peerPaint).
    virtual void PaintWindow(gdi::Painter& p, const TRect& r);
    virtual void PaintBackground(TCanvas& c, const TRect& r);
    // Sends WM_ERASEBKGND with the canvas's device context; the class library's own handling
    // paints the background through PaintBackground.
    void EraseBackground(TCanvas& c);
    virtual void PaintControls(gdi::Painter& p);
    virtual bool DoKeyDown(WORD& key, TShiftState shift);
    virtual bool DoKeyPress(char& key);
    void FontObjectChanged() override;
    virtual void UpdatePeerGeometry();
    virtual void ApplyFont();
    void MainWndProc(TMessage& m);
    TControl* ControlAtPos(int x, int y) const;
    // The window hides: the mouse is over none of it or its children any more, so each
    // control it was over gets its mouse-leave (a hidden window is told no leave).
    void EndHover();

    // PeerHost
    void peerPaint(gdi::Painter& p, int l, int t, int r, int b) override;
    void peerPaintFrame(gdi::Painter& p, int w, int h) override;
    void peerMouse(unsigned msg, int x, int y, unsigned keys) override;
    // Hit tests and non-client presses go through the window procedure, as the window
    // system sends them, so hooks on the window take part.
    int peerHitTest(int sx, int sy) override;
    void peerNcMouse(unsigned msg, int hit, int sx, int sy) override;
    // Moved or sized from outside: the window hears it as WM_WINDOWPOSCHANGED, so its
    // bounds (and its hit tests) follow the window system's place.
    void peerPlaced(int l, int t, int w, int h) override;
    bool peerKey(unsigned msg, int key, unsigned shift) override;
    void peerNotify(int code) override;
    bool peerCloseRequest() override;
    void peerFocus(bool in) override;
    void peerEnterLeave(bool enter) override;
    // An owner-drawn window asks its parent to draw it (WM_DRAWITEM, reflected as CN_DRAWITEM).
    void peerDrawItem(gdi::Painter& p, unsigned itemState, int w, int h) override;
    bool peerHint(int x, int y, std::string& text, uint32_t& bgr) override;
    // Owner-drawn items: a device context over the item's image goes to the parent as
    // WM_DRAWITEM, which comes back to this control as CN_DRAWITEM.
    void peerDrawListItem(gdi::Image& img, int index, unsigned state, unsigned action) override;
    // The window's background through WM_ERASEBKGND, on a context over the image.
    bool peerEraseBackground(gdi::Image& img, int x, int y) override;
    // The window's own scroll bar moves: WM_HSCROLL/WM_VSCROLL to the control, which may
    // keep it where it is (answering non-zero).
    bool peerScroll(bool horizontal, int request, int pos) override;
    // True while the message being handled comes from the window's own scroll bar (which
    // then scrolls by itself).
    bool ScrollFromWindow() const { return scrollFromWindow_; }
    // ODT_ kind of this control's owner-drawn items; 0 when it draws none.
    virtual UINT OwnerDrawType() const { return 0; }

    std::vector<TControl*> controls_;
    std::unique_ptr<ws::Peer> peer_;
    HWND handle_ = nullptr;
    bool scrollFromWindow_ = false;
    TControl* mouseTarget_ = nullptr;  // graphic child that took the button press
    TControl* hoverTarget_ = nullptr;
    TCanvas paintCanvas_;
};

// Windowed controls that paint themselves on a canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    std::string ClassName() const override { return "TCustomControl"; }
    TCanvas* Canvas() { return &canvas_; }
    virtual void Paint() {}

protected:
    void PaintWindow(gdi::Painter& p, const TRect& r) override;
    TCanvas canvas_;
};

// Whether caption marks key as its accelerator: the character after a single "&" ("&&"
// is a literal ampersand), letters compared without case.
bool IsAccel(WORD key, const std::string& caption);
// The character code and key data of a dialog-character message for a pressed key.
constexpr LPARAM kAltKeyData = LPARAM(1) << 29;  // the context bit: Alt was held

// The control a window handle belongs to.
TWinControl* FindControl(HWND hwnd);
// The control holding the mouse capture (null when none of the program's controls holds it),
// and the call that gives it to a control (null: releases it).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* c);
// Exceptions that escape an event handler go here (the application's handler).
void HandleEventException();
void SetEventExceptionHandler(std::function<void()> handler);

void RegisterControlClasses();
