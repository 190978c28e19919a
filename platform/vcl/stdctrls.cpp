#include "platform/vcl/stdctrls.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/utf8.h"
#include "platform/user/listMessages.h"

#include "platform/user/ownerDraw.h"
#include "platform/user/paint.h"

namespace {

unsigned AlignFlags(TAlignment a) {
    return a == taCenter ? DT_CENTER : a == taRightJustify ? DT_RIGHT : 0;
}

TColor ParentColorOf(const TControl* c) { return c->Parent() ? c->Parent()->Color() : clBtnFace; }

}  // namespace

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    AutoSize = true;
    width_ = 65;
    height_ = 13;
}

void TLabel::SetAutoSize(bool on) {
    // The size it had so far stays when the label stops sizing itself.
    ResolveSize();
    AutoSize = on;
    AdjustSize();
}

void TLabel::AdjustSize() {
    if (!AutoSize || Loading()) return;
    TRect r = Rect(0, 0, WordWrap ? width_ : 0, 0);
    TCanvas c;
    c.Font()->Assign(font_);
    unsigned flags = DT_CALCRECT | DT_EXPANDTABS | (WordWrap ? DT_WORDBREAK : 0) |
                     (ShowAccelChar ? 0 : DT_NOPREFIX);
    std::string text = text_.empty() ? " " : text_;
    c.DrawText(text, r, flags);
    int w = WordWrap ? width_ : r.Width();
    TControl::SetBounds(left_, top_, w, r.Height());
}

void TLabel::Notification(TComponent* c, TOperation op) {
    TGraphicControl::Notification(c, op);
    if (op == opRemove && c && c == focusControl_) ReferTo(focusControl_, nullptr);
}

void TLabel::Dispatch(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && focusControl_ && enabled_ && ShowAccelChar &&
        IsAccel(WORD(m.WParam), text_)) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
    }
    TGraphicControl::Dispatch(m);
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    // Measured when its size is first asked for (painting, a hit test, a caller).
    AdjustSizeWhenAsked();
}

void TLabel::Paint() {
    TCanvas& c = canvas_;
    TRect r = ClientRect();
    if (!Transparent) {
        c.Brush()->Color = color_;
        c.Brush()->Style = bsSolid;
        c.FillRect(r);
    }
    c.Brush()->Style = bsClear;
    c.Font()->Assign(font_);
    if (!enabled_) c.Font()->SetColor(clGrayText);
    unsigned flags = DT_EXPANDTABS | AlignFlags(Alignment) | (WordWrap ? DT_WORDBREAK : 0) |
                     (ShowAccelChar ? 0 : DT_NOPREFIX);
    if (Layout != tlTop) {
        TRect calc = r;
        c.DrawText(text_, calc, flags | DT_CALCRECT);
        int off =
            Layout == tlCenter ? (r.Height() - calc.Height()) / 2 : r.Height() - calc.Height();
        r.Top += off;
    }
    c.DrawText(text_, r, flags);
}

// ---------------------------------------------------------------- TStaticText

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner) {
    AutoSize = true;
    width_ = 65;
    height_ = 17;
}

void TStaticText::AdjustSize() {
    if (!AutoSize || Loading()) return;
    TCanvas c;
    c.Font()->Assign(font_);
    TRect r = Rect(0, 0, 0, 0);
    c.DrawText(text_.empty() ? " " : text_, r, DT_CALCRECT | DT_EXPANDTABS);
    int border = BorderStyle == sbsNone ? 0 : 2;
    TWinControl::SetBounds(left_, top_, r.Width() + 2 * border, r.Height() + 2 * border);
}

void TStaticText::Loaded() {
    TWinControl::Loaded();
    AdjustSize();
}

void TStaticText::PaintWindow(gdi::Painter& p, const TRect& r) {
    TCanvasBinding bound(paintCanvas_, p);
    TCanvas& c = paintCanvas_;
    c.Font()->Assign(font_);
    TColor bg = Transparent ? ParentColorOf(this) : color_;
    c.Brush()->Color = bg;
    c.Brush()->Style = bsSolid;
    c.FillRect(r);
    TRect tr = ClientRect();
    if (BorderStyle == sbsSingle) {
        c.Brush()->Color = clWindowFrame;
        c.FrameRect(tr);
    }
    if (BorderStyle == sbsSunken) Frame3D(c, tr, clBtnShadow, clBtnHighlight);
    if (BorderStyle != sbsNone) {
        tr.Left += 2;
        tr.Top += 2;
        tr.Right -= 2;
        tr.Bottom -= 2;
    }
    c.Brush()->Style = bsClear;
    if (!enabled_) c.Font()->SetColor(clGrayText);
    c.DrawText(text_, tr, DT_EXPANDTABS | AlignFlags(Alignment));
}

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    width_ = 121;
    height_ = 21;
    color_ = clWindow;
    TabStop = true;
}

std::string TEdit::GetText() const {
    if (!peer_) return text_;
    // The window shows text as UTF-8; bytes it cannot show stay ours while it shows them.
    std::string shown = peer()->text();
    return shown == shown_ ? typed_ : shown;
}

void TEdit::SetText(const std::string& s) {
    typed_ = s;
    TWinControl::SetText(s);
    if (peer_) shown_ = peer()->text();
}

void TEdit::PeerCreated() {
    peer()->setReadOnly(readOnly_);
    peer()->setMaxLength(maxLength_);
    peer()->setPasswordChar(passwordChar_);
    shown_ = peer()->text();
}

void TEdit::Dispatch(TMessage& m) {
    if (m.Msg == CN_COMMAND && (m.WParam >> 16) == 0x0300 /* EN_CHANGE */) {
        if (OnChange) OnChange(this);
        return;
    }
    TWinControl::Dispatch(m);
}

void TEdit::PeerChanged(int code) {
    if (code != ws::pnTextChanged) return;
    text_ = peer()->text();
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    width_ = 97;
    height_ = 17;
    TabStop = true;
}

void TCheckBox::SetChecked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    if (peer_) peer()->setChecked(c);
    Invalidate();
    if (!Loading()) Click();
}

void TCheckBox::Dispatch(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && IsAccel(WORD(m.WParam), text_) && CanFocus()) {
        SetFocus();
        SetChecked(!checked_);  // as a click: the state turns and the click handler runs
        m.Result = 1;
        return;
    }
    TWinControl::Dispatch(m);
}

void TCheckBox::PeerCreated() { peer()->setChecked(checked_); }

void TCheckBox::PeerChanged(int code) {
    if (code != ws::pnClicked) return;
    checked_ = peer()->checked();
    Click();
}

// ---------------------------------------------------------------- TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    width_ = 113;
    height_ = 17;
}

void TRadioButton::SetChecked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    // A group of radio buttons is one Tab stop: its checked button.
    TabStop = c;
    if (peer_) {
        peer()->setChecked(c);
        peer()->setTabStop(c);
    }
    if (!c) return;
    if (parent_) {
        for (int i = 0; i < parent_->ControlCount(); ++i) {
            auto* r = dynamic_cast<TRadioButton*>(parent_->Controls(i));
            if (r && r != this) r->SetChecked(false);
        }
    }
    if (!Loading()) Click();
}

void TRadioButton::Dispatch(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && IsAccel(WORD(m.WParam), text_) && CanFocus()) {
        SetFocus();
        SetChecked(true);  // a checked one stays as it is, as with a click
        m.Result = 1;
        return;
    }
    TWinControl::Dispatch(m);
}

void TRadioButton::PeerCreated() {
    peer()->setChecked(checked_);
    peer()->setTabStop(checked_);
}

bool TRadioButton::DoKeyDown(WORD& key, TShiftState shift) {
    constexpr WORD kLeft = 37, kUp = 38, kDown = 40;  // and right, 39
    if (key < kLeft || key > kDown || !parent_) return TWinControl::DoKeyDown(key, shift);
    // The group: the radio buttons beside this one that can take the focus, in Tab order.
    std::vector<TRadioButton*> group;
    for (int i = 0; i < parent_->ControlCount(); ++i) {
        auto* r = dynamic_cast<TRadioButton*>(parent_->Controls(i));
        if (r && (r == this || r->CanFocus())) group.push_back(r);
    }
    std::stable_sort(group.begin(), group.end(), [](const TRadioButton* a, const TRadioButton* b) {
        return a->TabOrder < b->TabOrder;
    });
    const auto at = std::find(group.begin(), group.end(), this);
    if (group.size() < 2 || at == group.end()) return true;
    const size_t n = group.size(), here = size_t(at - group.begin());
    TRadioButton* next = group[(key == kUp || key == kLeft) ? (here + n - 1) % n : (here + 1) % n];
    next->SetFocus();
    next->SetChecked(true);
    return true;
}

void TRadioButton::PeerChanged(int code) {
    if (code != ws::pnClicked) return;
    if (checked_) {
        peer()->setChecked(true);
        return;
    }  // a click on the checked one changes nothing
    SetChecked(true);
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    width_ = 75;
    height_ = 25;
    TabStop = true;
}

void TButton::Click() {
    if (ModalResult != 0) {
        TWinControl* top = this;
        while (top->Parent()) top = top->Parent();
        top->Perform(CM_MODALRESULT, WPARAM(ModalResult));
    }
    TWinControl::Click();
}

namespace {

// The control under w (or w itself) that has the keyboard focus; null when none has.
TWinControl* FocusedWithin(TWinControl* w) {
    if (w->Focused()) return w;
    for (int i = 0; i < w->ControlCount(); ++i)
        if (auto* c = dynamic_cast<TWinControl*>(w->Controls(i)))
            if (TWinControl* f = FocusedWithin(c)) return f;
    return nullptr;
}

// Whether Return presses the button now: it has the focus, or it is the Default button
// and no other button has the focus (that one takes it).
bool TakesReturn(TButton& b) {
    if (b.Focused()) return true;
    if (!b.Default) return false;
    TWinControl* top = &b;
    while (top->Parent()) top = top->Parent();
    return !dynamic_cast<TButton*>(FocusedWithin(top));
}

}  // namespace

void TButton::Dispatch(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && IsAccel(WORD(m.WParam), text_) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    // Return (or keypad Enter) presses the focused button, else the form's Default one;
    // Escape the Cancel one. Not with Shift, Ctrl or Alt held.
    if (m.Msg == CM_DIALOGKEY && KeyDataToShiftState(m.LParam) == 0 && CanFocus()) {
        constexpr WORD kReturn = 13, kEscape = 27;
        const WORD key = WORD(m.WParam);
        if ((key == kReturn && TakesReturn(*this)) || (key == kEscape && Cancel)) {
            Click();
            m.Result = 1;
            return;
        }
    }
    // The window clicks the button (BN_CLICKED); a button release is no click of its own.
    if (m.Msg == WM_LBUTTONUP) clicked_ = false;
    if (m.Msg == BM_SETSTATE) {  // shows the button pressed or released
        if (peer_) peer()->setPressed(m.WParam != 0);
        return;
    }
    if (m.Msg == BM_GETSTATE) {
        m.Result = peer_ && peer()->pressed() ? LRESULT(BST_PUSHED) : 0;
        return;
    }
    TWinControl::Dispatch(m);
}

void TButton::peerFocus(bool in) {
    TWinControl::peerFocus(in);
    SetButtonStyle(in || Default);
}

void TButton::PeerChanged(int code) {
    if (code == ws::pnClicked) Click();
}

namespace {

// The next item from after `start` (wrapping once) that equals the text, or begins with it,
// without regard to case in any script; -1 when none. As list and combo boxes search their
// items.
int FindItem(const TStringList& items, const std::string& text, int start, bool exact) {
    int n = items.Count();
    if (n == 0) return -1;
    if (start < -1 || start >= n - 1) start = -1;
    // The window system's lists fold the letters of every script.
    const std::string wanted = AnsiUpperCase(text);
    for (int k = 1; k <= n; ++k) {
        int i = (start + k) % n;
        const std::string s = AnsiUpperCase(items[i]);
        bool hit = exact ? s == wanted : s.compare(0, wanted.size(), wanted) == 0;
        if (hit) return i;
    }
    return -1;
}

LRESULT CopyItemText(const std::string& s, LPARAM buffer) {
    if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), s.c_str(), s.size() + 1);
    return LRESULT(s.size());
}

// Binds the item canvas to an owner-drawn item's context with the control's font and colour
// (the highlight colours for a selected item), and lets go of it afterwards.
struct ItemCanvasScope {
    ItemCanvasScope(TCanvas& c, const DRAWITEMSTRUCT& dis, TFont& font, TColor color) : c_(c) {
        c.SetHandle(dis.hDC);
        c.Font()->Assign(font);
        c.Brush()->Color = color;
        c.Brush()->Style = bsSolid;
        if (int(dis.itemID) >= 0 && (dis.itemState & ODS_SELECTED)) {
            c.Brush()->Color = clHighlight;
            c.Font()->SetColor(clHighlightText);
        }
    }
    ~ItemCanvasScope() { c_.SetHandle(nullptr); }
    TCanvas& c_;
};

TRect RectOf(const RECT& r) { return Rect(r.left, r.top, r.right, r.bottom); }

// The reflected owner-draw requests of a list or combo box: an item is drawn on the item
// canvas bound to the request's context (an empty box gets its background), a variable
// row is measured.
void AnswerOwnerDraw(TMessage& m, TCanvas& canvas, TFont& font, TColor color,
                     const std::function<void(int, const TRect&, TOwnerDrawState)>& draw,
                     const std::function<void(int, int&)>& measure) {
    if (m.Msg == CN_DRAWITEM) {
        auto& dis = *reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        ItemCanvasScope scope(canvas, dis, font, color);
        TRect r = RectOf(dis.rcItem);
        if (int(dis.itemID) >= 0)
            draw(int(dis.itemID), r, dis.itemState);
        else
            canvas.FillRect(r);
        if (dis.itemState & ODS_FOCUS) canvas.DrawFocusRect(r);
    } else {
        auto& mis = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        int h = int(mis.itemHeight);
        measure(int(mis.itemID), h);
        mis.itemHeight = UINT(h);
    }
    m.Result = 1;
}

}  // namespace

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    width_ = 145;
    height_ = 21;
    color_ = clWindow;
    TabStop = true;
    // An item added at the end of a list that has items already goes into the widget alone
    // (lists are filled an item at a time); any other change builds the widget's list anew.
    // Boxes with an edit part always do: building anew is what decides their edit text.
    items_.OnItemChange = [this](TStringList::TChange what, int index) {
        // Changes made under a raised update count come together: they are built anew.
        appended_ = what == TStringList::lcInsert && peer_ && !EditablePeer() && index > 0 &&
                    index == items_.Count() - 1 && widgetItems_ == index &&
                    items_.UpdateCount() == 0;
    };
    items_.OnChange = [this] {
        if (!appended_) {
            SyncItems();
            return;
        }
        appended_ = false;
        const int last = items_.Count() - 1;
        peer()->insertItem(last, items_[last], IndentOf(last));
        if (windowStyle_ & CBS_OWNERDRAWVARIABLE) peer()->setItemHeight(last, measuredHeight(last));
        peer()->setItemIndex(itemIndex_);
        widgetItems_ = items_.Count();
    };
}

void TComboBox::SyncItems() {
    if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
    if (!peer_) return;
    peer()->clearItems();
    for (int i = 0; i < items_.Count(); ++i) peer()->insertItem(i, items_[i], IndentOf(i));
    if (windowStyle_ & CBS_OWNERDRAWVARIABLE) measureItems();
    peer()->setItemIndex(itemIndex_);
    widgetItems_ = items_.Count();
}

void TComboBox::CreateParams(TCreateParams& params) {
    params.Style |= WS_CHILD;
    switch (Style) {
        case csSimple:
            params.Style |= CBS_SIMPLE | CBS_AUTOHSCROLL;
            break;
        case csDropDown:
            params.Style |= CBS_DROPDOWN | CBS_AUTOHSCROLL;
            break;
        case csDropDownList:
            params.Style |= CBS_DROPDOWNLIST;
            break;
        case csOwnerDrawFixed:
            params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
            break;
        case csOwnerDrawVariable:
            params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
            break;
    }
    if (sorted_) params.Style |= CBS_SORT;
}

void TComboBox::RecreateWnd() {
    TCreateParams params;
    CreateParams(params);
    windowStyle_ = params.Style;
    items_.Sorted = (windowStyle_ & CBS_SORT) != 0;
    if (items_.Sorted) items_.Sort();
    if (!peer_) return;
    peer()->setOwnerDraw(!OwnerDrawnWindow()                           ? 0
                         : (windowStyle_ & CBS_OWNERDRAWVARIABLE) != 0 ? 2
                                                                       : 1);
    peer()->setItemHeight(-1, itemHeight_);
    if (OwnerDrawnWindow()) measureItems();
}

int TComboBox::measuredHeight(int index) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = 3;  // ODT_COMBOBOX
    mis.itemID = UINT(index);
    mis.itemHeight = UINT(itemHeight_);
    Perform(CN_MEASUREITEM, 0, LPARAM(&mis));
    return int(mis.itemHeight);
}

void TComboBox::measureItems() {
    if (!peer_) return;
    if (windowStyle_ & CBS_OWNERDRAWVARIABLE) {
        for (int i = 0; i < items_.Count(); ++i) peer()->setItemHeight(i, measuredHeight(i));
        return;
    }
    // One height for every item: the window asks it once, for the first.
    const int h = measuredHeight(0);
    if (h > 0 && h != itemHeight_) {
        itemHeight_ = h;
        peer()->setItemHeight(-1, h);
    }
}

void TComboBox::SetSorted(bool on) {
    if (on == sorted_) return;
    sorted_ = on;
    RecreateWnd();
}

bool TComboBox::SelectItem(const std::string& prefix) {
    const int found = int(Perform(CB_FINDSTRING, WPARAM(-1), LPARAM(prefix.c_str())));
    if (found < 0) return false;
    const bool changed = found != itemIndex_;
    SetItemIndex(found);
    if (EditablePeer() && peer_) {
        // What was typed stays as typed; the rest of the item follows it, selected. The item
        // may spell the typed letters in other bytes (folded alike, of another length): its
        // rest begins after its own matching part.
        const std::string item = items_[found];
        const size_t matched = AnsiPrefixLength(item, prefix);
        const std::string text =
            prefix + (matched == std::string::npos ? std::string() : item.substr(matched));
        peer()->setText(text);
        peer()->setEditSelection(int(prefix.size()), int(text.size() - prefix.size()));
    }
    if (!changed) return true;
    // A choice made by typing is a choice like any other (CBN_SELCHANGE).
    if (peer_) {
        PeerChanged(ws::pnSelChange);
    } else {
        if (OnSelect) OnSelect(this);
        if (OnChange) OnChange(this);
    }
    return true;
}

bool TComboBox::typeAhead(char key) {
    if (EditablePeer()) {
        if (!peer_) return false;
        // Only typing at the end completes: the typed key takes the place of the selection.
        const std::string text = peer()->text();
        int start = 0, length = 0;
        peer()->editSelection(start, length);
        if (size_t(start) + size_t(length) != text.size()) return false;
        const std::string typed = text.substr(0, size_t(start)) + key;
        if (SelectItem(typed)) return true;
        if (itemIndex_ >= 0) SetItemIndex(-1);
        peer()->setText(typed);
        peer()->setEditSelection(int(typed.size()), 0);
        if (OnChange) OnChange(this);
        return true;
    }
    // A list alone: the keys typed within half a second make one prefix; one that no item
    // begins with starts again from the key.
    const uint32_t now = GetTickCount();
    if (now - lastTyped_ >= 500) typed_.clear();
    lastTyped_ = now;
    if (key == 8) {
        if (!typed_.empty()) typed_.erase(Utf8PrevChar(typed_, typed_.size()));
        return true;
    }
    typed_ += key;
    if (!SelectItem(typed_) && typed_.size() > 1) {
        typed_ = std::string(1, key);
        SelectItem(typed_);
    }
    return true;
}

bool TComboBox::DoKeyPress(char& key) {
    if (TWinControl::DoKeyPress(key)) return true;
    const auto c = static_cast<unsigned char>(key);
    if (c == 9) {
        if (autoDropDown_ && peer_ && peer()->droppedDown()) peer()->showDropDown(false);
        return false;
    }
    // Control characters other than Backspace, and characters beyond ASCII (their bytes come
    // one by one), are the edit part's own.
    const bool printable = c >= 0x20 && c < 0x7F;
    if (!printable && c != 8) return false;
    if (printable && autoDropDown_ && peer_ && !peer()->droppedDown()) peer()->showDropDown(true);
    if (!autoComplete_ || (c == 8 && EditablePeer())) return false;
    return typeAhead(key);
}

int TComboBox::ItemIndex() const { return itemIndex_; }

void TComboBox::SetItemIndex(int i) {
    if (i < -1 || i >= items_.Count()) i = -1;
    itemIndex_ = i;
    if (peer_) peer()->setItemIndex(i);
}

std::string TComboBox::GetText() const {
    if (itemIndex_ >= 0 && itemIndex_ < items_.Count()) return items_[itemIndex_];
    return peer_ ? peer()->text() : text_;
}

void TComboBox::SetDropDownCount(int n) {
    dropDownCount_ = n;
    if (peer_) peer()->setDropDownCount(n);
}

void TComboBox::PeerCreated() {
    if (EditablePeer()) peer()->setEditable(true);
    RecreateWnd();
    SyncItems();
    peer()->setDropDownCount(dropDownCount_);
    if (droppedWidth_ > 0) peer()->setDroppedWidth(droppedWidth_);
}

void TComboBox::SetStyle(TComboBoxStyle st) {
    if (st == Style) return;
    Style = st;
    RecreateWnd();
}

void TComboBox::SetItemHeight(int h) {
    if (h <= 0) return;
    itemHeight_ = h;
    if (peer_) peer()->setItemHeight(-1, h);
}

void TComboBox::DrawItem(int index, const TRect& r, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, r, state);
        return;
    }
    itemCanvas_.FillRect(r);
    if (index >= 0 && index < items_.Count())
        itemCanvas_.TextOut(r.Left + 2, r.Top, ItemText(index));
}

void TComboBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TComboBox::measureMessage(TMessage& m) {
    // Every item has the box's item height; a box of variable heights asks each one.
    auto& mis = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    int h = itemHeight_;
    if (Style == csOwnerDrawVariable) MeasureItem(int(mis.itemID), h);
    mis.itemHeight = UINT(h);
    m.Result = 1;
}

void TComboBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CN_DRAWITEM:
            AnswerOwnerDraw(
                m, itemCanvas_, font_, color_,
                [this](int i, const TRect& r, TOwnerDrawState st) { DrawItem(i, r, st); },
                [this](int i, int& h) { MeasureItem(i, h); });
            return;
        case CN_MEASUREITEM:
            measureMessage(m);
            return;
        case CB_GETEDITSEL: {
            int start = 0, length = 0;
            if (peer_) peer()->editSelection(start, length);
            if (m.WParam) *reinterpret_cast<DWORD*>(m.WParam) = DWORD(start);
            if (m.LParam) *reinterpret_cast<DWORD*>(m.LParam) = DWORD(start + length);
            m.Result = LRESULT(DWORD(start) | DWORD(start + length) << 16);
            return;
        }
        case CB_SETEDITSEL: {
            // From the low word to the high word; -1 as the start removes the selection.
            const int from = short(m.LParam & 0xFFFF), to = short((m.LParam >> 16) & 0xFFFF);
            if (peer_ && EditablePeer()) {
                const int len = int(peer()->text().size());
                const int a = from < 0 ? len : std::min(from, len);
                const int b = to < 0 ? len : std::min(to, len);
                peer()->setEditSelection(a, std::max(0, b - a));
            }
            m.Result = EditablePeer() ? 1 : LRESULT(int(CB_ERR));
            return;
        }
        case CB_GETCOUNT:
            m.Result = items_.Count();
            return;
        case CB_GETCURSEL:
            m.Result = itemIndex_;
            return;
        case CB_SETCURSEL:
            SetItemIndex(int(m.WParam));
            m.Result = itemIndex_ == int(m.WParam) ? itemIndex_ : LRESULT(CB_ERR);
            return;
        case CB_GETLBTEXT:
        case CB_GETLBTEXTLEN:
            if (int(m.WParam) < 0 || int(m.WParam) >= items_.Count())
                m.Result = LRESULT(int(CB_ERR));
            else
                m.Result = m.Msg == CB_GETLBTEXT ? CopyItemText(items_[int(m.WParam)], m.LParam)
                                                 : LRESULT(items_[int(m.WParam)].size());
            return;
        case CB_ADDSTRING:
            m.Result = items_.Add(reinterpret_cast<const char*>(m.LParam));
            return;
        case CB_INSERTSTRING: {
            int at = int(m.WParam) < 0 || int(m.WParam) > items_.Count() ? items_.Count()
                                                                         : int(m.WParam);
            items_.Insert(at, reinterpret_cast<const char*>(m.LParam));
            m.Result = at;
            return;
        }
        case CB_DELETESTRING:
            if (int(m.WParam) < 0 || int(m.WParam) >= items_.Count()) {
                m.Result = LRESULT(int(CB_ERR));
                return;
            }
            items_.Delete(int(m.WParam));
            m.Result = items_.Count();
            return;
        case CB_RESETCONTENT:
            items_.Clear();
            return;
        case CB_FINDSTRING:
        case CB_FINDSTRINGEXACT:
        case CB_SELECTSTRING: {
            int i = FindItem(items_, reinterpret_cast<const char*>(m.LParam), int(m.WParam),
                             m.Msg == CB_FINDSTRINGEXACT);
            if (i >= 0 && m.Msg == CB_SELECTSTRING) SetItemIndex(i);
            m.Result = i;
            return;
        }
        case CB_GETITEMDATA:
            m.Result = int(m.WParam) >= 0 && int(m.WParam) < items_.Count()
                           ? LRESULT(items_.Objects(int(m.WParam)))
                           : LRESULT(int(CB_ERR));
            return;
        case CB_SETITEMDATA:
            if (int(m.WParam) < 0 || int(m.WParam) >= items_.Count()) {
                m.Result = LRESULT(int(CB_ERR));
                return;
            }
            items_.SetObject(int(m.WParam), reinterpret_cast<TObject*>(m.LParam));
            return;
        case CB_SETITEMHEIGHT:
            if (int(m.LParam) > 0 && int(m.WParam) < 0) {
                // The edit part's height: the box itself.
                SetHeight(int(m.LParam) + 6);
            } else if (int(m.LParam) > 0) {
                // The window's height, not the ItemHeight property's.
                if (windowStyle_ & CBS_OWNERDRAWVARIABLE) {
                    if (peer_) peer()->setItemHeight(int(m.WParam), int(m.LParam));
                } else {
                    itemHeight_ = int(m.LParam);
                    if (peer_) peer()->setItemHeight(-1, itemHeight_);
                }
            }
            return;
        case CB_GETITEMHEIGHT:
            m.Result = int(m.WParam) < 0 ? height_ - 6 : itemHeight_;
            return;
        case EM_SETREADONLY:
            if (peer_) peer()->setEditReadOnly(m.WParam != 0);
            m.Result = 1;
            return;
        case CB_SHOWDROPDOWN:
            if (peer_) peer()->showDropDown(m.WParam != 0);
            m.Result = 1;
            return;
        case CB_GETDROPPEDSTATE:
            m.Result = peer_ && peer()->droppedDown() ? 1 : 0;
            return;
        case CB_SETDROPPEDWIDTH:
            // The list is never narrower than the box itself.
            if (int(m.WParam) < 0) {
                m.Result = LRESULT(int(CB_ERR));
                return;
            }
            droppedWidth_ = int(m.WParam);
            if (peer_) peer()->setDroppedWidth(droppedWidth_);
            m.Result = std::max(droppedWidth_, width_);
            return;
        case CB_GETDROPPEDWIDTH:
            m.Result = std::max(droppedWidth_, width_);
            return;
        case CB_GETDROPPEDCONTROLRECT: {
            auto* r = reinterpret_cast<RECT*>(m.LParam);
            m.Result = r ? 1 : 0;
            if (!r) return;
            // Where the list lies while it is open; the box's own rectangle on the screen
            // while it is closed.
            int left = 0, top = 0, right = 0, bottom = 0;
            if (peer_ && peer()->droppedRect(left, top, right, bottom)) {
                *r = RECT{left, top, right, bottom};
            } else {
                GetWindowRect(Handle(), r);
            }
            return;
        }
        default:
            TWinControl::Dispatch(m);
    }
}

void TComboBox::PeerChanged(int code) {
    if (code != ws::pnSelChange) return;
    itemIndex_ = peer()->itemIndex();
    if (OnSelect) OnSelect(this);
    if (OnChange) OnChange(this);
}

TComboBoxEx::TComboBoxEx(TComponent* owner) : TComboBox(owner) { Style = csDropDownList; }

void TComboBoxEx::AddItem(const std::string& caption, int imageIndex, int selectedImageIndex,
                          int overlayImageIndex, int indent, void* data) {
    itemsEx_.push_back(
        TComboExItem{caption, indent, imageIndex, selectedImageIndex, overlayImageIndex, data});
    items_.Add(caption);
}

void TComboBoxEx::ClearItems() {
    itemsEx_.clear();
    items_.Clear();
}

// ---------------------------------------------------------------- TListBox

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
    width_ = 121;
    height_ = 97;
    color_ = clWindow;
    TabStop = true;
    items_.OnItemChange = [this](TStringList::TChange what, int index) {
        ItemChanged(what, index);
    };
    items_.OnItemChanging = [this](TStringList::TChange what, int index) {
        ItemChanging(what, index);
    };
}

void TListBox::SetStyle(TListBoxStyle st) {
    if (st == style_) return;
    style_ = st;
    if (style_ == lbOwnerDrawVariable)
        for (int i = 0; i < items_.Count(); ++i) measureItemAt(i);
    applyOwnerDraw();
}

void TListBox::SetItemHeight(int h) {
    if (h <= 0) return;
    // The form records the row height the window system gave the list with its font (13
    // for 12-pixel Song text): plain lists keep it, so their rows keep a pixel apart.
    itemHeightGiven_ = true;
    if (peer_) peer()->setRowHeight(style_ == lbStandard ? h : 0);
    if (h == itemHeight_) return;
    itemHeight_ = h;
    if (style_ != lbOwnerDrawVariable) {
        std::fill(heights_.begin(), heights_.end(), h);
        if (peer_) peer()->setItemHeight(-1, h);
    }
}

void TListBox::applyOwnerDraw() {
    if (!peer_) return;
    peer()->setItemHeight(-1, itemHeight_);
    peer()->setRowHeight(style_ == lbStandard && itemHeightGiven_ ? itemHeight_ : 0);
    if (style_ == lbOwnerDrawVariable)
        for (int i = 0; i < int(heights_.size()); ++i)
            peer()->setItemHeight(i, heights_[size_t(i)]);
    peer()->setHorizontalExtent(extent_);
    peer()->setOwnerDraw(!IsOwnerDrawn() ? 0 : style_ == lbOwnerDrawVariable ? 2 : 1);
}

void TListBox::measureItemAt(int index) {
    if (index < 0 || index >= int(heights_.size())) return;
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_LISTBOX;
    mis.itemID = UINT(index);
    mis.itemHeight = UINT(itemHeight_);
    Perform(CN_MEASUREITEM, 0, LPARAM(&mis));
    heights_[size_t(index)] = int(mis.itemHeight);
    if (peer_) peer()->setItemHeight(index, int(mis.itemHeight));
}

void TListBox::DrawItem(int index, const TRect& r, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, r, state);
        return;
    }
    itemCanvas_.FillRect(r);
    if (index < items_.Count()) itemCanvas_.TextOut(r.Left + 2, r.Top, RowText(index));
}

std::string TListBox::RowText(int index) {
    return IsVirtual() ? DoGetData(index) : Items()->Get(index);
}

void TListBox::SetCount(int n) {
    if (!IsVirtual())
        throw EListError(Format("Listbox (%s) style must be virtual in order to set Count", Name));
    Perform(LB_SETCOUNT, WPARAM(n));
}

std::string TListBox::DoGetData(int Index) {
    std::string data;
    if (OnData) OnData(this, Index, data);
    return data;
}

TObject* TListBox::DoGetDataObject(int Index) {
    TObject* object = nullptr;
    if (OnDataObject) OnDataObject(this, Index, object);
    return object;
}

int TListBox::DoFindData(const std::string& Data) {
    return OnDataFind ? OnDataFind(this, Data) : -1;
}

// A virtual list's item messages: its rows hold nothing, what they show comes from the
// callbacks; strings cannot be added. False for the messages answered as for any list.
bool TListBox::virtualItemMessage(TMessage& m) {
    const int w = int(m.WParam);
    const bool inRange = w >= 0 && w < items_.Count();
    switch (m.Msg) {
        case LB_SETCOUNT: {
            if (w < 0) {
                m.Result = LRESULT(int(LB_ERRSPACE));
                return true;
            }
            TStringList rows;
            for (int i = 0; i < w; ++i) rows.Add("");
            items_.Assign(rows);
            m.Result = 0;
            return true;
        }
        case LB_GETTEXT:
        case LB_GETTEXTLEN:
            if (!inRange) {
                m.Result = LRESULT(int(LB_ERR));
                return true;
            }
            m.Result = m.Msg == LB_GETTEXT ? CopyItemText(DoGetData(w), m.LParam)
                                           : LRESULT(DoGetData(w).size());
            return true;
        case LB_GETITEMDATA:
            m.Result = inRange ? LRESULT(DoGetDataObject(w)) : LRESULT(int(LB_ERR));
            return true;
        case LB_FINDSTRINGEXACT:
            m.Result = DoFindData(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
            return true;
        case LB_FINDSTRING:
        case LB_SELECTSTRING:
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_SETITEMDATA:
            m.Result = LRESULT(int(LB_ERR));
            return true;
        default:
            return false;
    }
}

void TListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

int TListBox::ItemAtPos(const TPoint& p, bool existing) const {
    return peer_ ? peer()->itemAt(p.X, p.Y, !existing) : -1;
}

TRect TListBox::ItemRect(int i) const {
    int l = 0, t = 0, r = 0, b = 0;
    if (peer_ && peer()->itemRect(i, l, t, r, b)) return Rect(l, t, r, b);
    return Rect(0, 0, 0, 0);
}

void TListBox::WndProc(TMessage& m) {
    if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && DragMode == dmAutomatic &&
        !Dragging()) {
        leftButtonDown_ = true;
        Dispatch(m);  // the list selects, then drags (not the control's own automatic drag)
        return;
    }
    TWinControl::WndProc(m);
}

void TListBox::listMouse(TMessage& m) {
    const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = 0;
    if (m.WParam & 4) shift |= ssShift;
    if (m.WParam & 8) shift |= ssCtrl;
    if (m.WParam & 1) shift |= ssLeft;
    const bool autoDrag = DragMode == dmAutomatic && m.Msg == WM_LBUTTONDOWN;
    if (autoDrag && multiSelect_ && (!(shift & ssShift) || (shift & ssCtrl))) {
        // A press on a selected item of a multiple selection drags the selection as it is.
        const int item = ItemAtPos(Point(x, y), true);
        if (item >= 0 && Selected(item)) {
            BeginDrag(false);
            return;
        }
    }
    // The window hears a release only after its own press.
    const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
    if (peer_ && (m.Msg != WM_LBUTTONUP || nativePressed_))
        peer()->nativeMouse(m.Msg, x, y, unsigned(m.WParam));
    if (press) nativePressed_ = true;
    if (m.Msg == WM_LBUTTONUP) nativePressed_ = false;
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (OnMouseDown && enabled_)
                OnMouseDown(this, m.Msg == WM_LBUTTONDOWN ? mbLeft : mbRight, shift, x, y);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (OnMouseUp && enabled_)
                OnMouseUp(this, m.Msg == WM_LBUTTONUP ? mbLeft : mbRight, shift, x, y);
            break;
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove(this, shift, x, y);
            break;
        default:
            break;
    }
    if (autoDrag && !(multiSelect_ && (shift & (ssCtrl | ssShift)))) BeginDrag(false);
}

void TListBox::Dispatch(TMessage& m) {
    if (IsVirtual() && virtualItemMessage(m)) return;
    const int w = int(m.WParam);
    const bool inRange = w >= 0 && w < items_.Count();
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEMOVE:
            listMouse(m);
            return;
        case CN_DRAWITEM:
        case CN_MEASUREITEM:
            AnswerOwnerDraw(
                m, itemCanvas_, font_, color_,
                [this](int i, const TRect& r, TOwnerDrawState st) { DrawItem(i, r, st); },
                [this](int i, int& h) { MeasureItem(i, h); });
            return;
        case LB_GETCOUNT:
            m.Result = items_.Count();
            return;
        case LB_GETCURSEL:
            m.Result = itemIndex_;
            return;
        case LB_SETCURSEL:
            SetItemIndex(w);
            m.Result = inRange ? w : LRESULT(int(LB_ERR));
            return;
        case LB_GETSEL:
            m.Result = inRange ? (Selected(w) ? 1 : 0) : LRESULT(int(LB_ERR));
            return;
        case LB_SETSEL:
            if (int(m.LParam) == -1) {
                for (int i = 0; i < items_.Count(); ++i) SetSelected(i, m.WParam != 0);
            } else if (int(m.LParam) >= 0 && int(m.LParam) < items_.Count()) {
                SetSelected(int(m.LParam), m.WParam != 0);
            }
            return;
        case LB_GETSELCOUNT:
            m.Result = SelCount();
            return;
        case LB_GETTEXT:
        case LB_GETTEXTLEN:
            if (!inRange)
                m.Result = LRESULT(int(LB_ERR));
            else
                m.Result = m.Msg == LB_GETTEXT ? CopyItemText(items_[w], m.LParam)
                                               : LRESULT(items_[w].size());
            return;
        case LB_ADDSTRING:
            m.Result = items_.Add(reinterpret_cast<const char*>(m.LParam));
            return;
        case LB_INSERTSTRING: {
            int at = w < 0 || w > items_.Count() ? items_.Count() : w;
            items_.Insert(at, reinterpret_cast<const char*>(m.LParam));
            m.Result = at;
            return;
        }
        case LB_DELETESTRING:
            if (!inRange) {
                m.Result = LRESULT(int(LB_ERR));
                return;
            }
            items_.Delete(w);
            m.Result = items_.Count();
            return;
        case LB_RESETCONTENT:
            items_.Clear();
            return;
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT:
        case LB_SELECTSTRING: {
            int i = FindItem(items_, reinterpret_cast<const char*>(m.LParam), w,
                             m.Msg == LB_FINDSTRINGEXACT);
            if (i >= 0 && m.Msg == LB_SELECTSTRING) SetItemIndex(i);
            m.Result = i;
            return;
        }
        case LB_GETITEMDATA:
            m.Result = inRange ? LRESULT(items_.Objects(w)) : LRESULT(int(LB_ERR));
            return;
        case LB_SETITEMDATA:
            if (!inRange) {
                m.Result = LRESULT(int(LB_ERR));
                return;
            }
            items_.SetObject(w, reinterpret_cast<TObject*>(m.LParam));
            return;
        case LB_SETHORIZONTALEXTENT:
            extent_ = w;
            if (peer_) peer()->setHorizontalExtent(w);
            return;
        case LB_GETHORIZONTALEXTENT:
            m.Result = extent_;
            return;
        case LB_SETITEMHEIGHT:
            if (int(m.LParam) <= 0 || int(m.LParam) > 255) {
                m.Result = LRESULT(int(LB_ERR));
                return;
            }
            if (style_ == lbOwnerDrawVariable) {
                if (!inRange) {
                    m.Result = LRESULT(int(LB_ERR));
                    return;
                }
                heights_[size_t(w)] = int(m.LParam);
                if (peer_) peer()->setItemHeight(w, int(m.LParam));
            } else {
                SetItemHeight(int(m.LParam));
            }
            return;
        case LB_GETITEMHEIGHT:
            m.Result = style_ == lbOwnerDrawVariable && inRange ? heights_[size_t(w)] : itemHeight_;
            return;
        case LB_GETTOPINDEX:
            m.Result = TopIndex();
            return;
        case LB_SETTOPINDEX:
            SetTopIndex(w);
            return;
        case LB_ITEMFROMPOINT: {
            int i = ItemAtPos(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)), false);
            int hit = ItemAtPos(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)), true);
            m.Result = LRESULT((i < 0 ? 0 : i) | (hit < 0 ? 0x10000 : 0));
            return;
        }
        case LB_GETITEMRECT: {
            if (!inRange || !m.LParam) {
                m.Result = LRESULT(int(LB_ERR));
                return;
            }
            TRect r = ItemRect(w);
            *reinterpret_cast<RECT*>(m.LParam) = RECT{r.Left, r.Top, r.Right, r.Bottom};
            m.Result = 1;
            return;
        }
        default:
            TWinControl::Dispatch(m);
    }
}

// Inserting or deleting an item keeps the other items' selection, as a list box does.
void TListBox::ItemChanged(TStringList::TChange what, int index) {
    switch (what) {
        case TStringList::lcInsert:
            selected_.insert(selected_.begin() + std::min<int>(index, int(selected_.size())),
                             false);
            heights_.insert(heights_.begin() + std::min<int>(index, int(heights_.size())),
                            itemHeight_);
            if (itemIndex_ >= index) ++itemIndex_;
            if (peer_) peer()->insertItem(index, items_[index], 0);
            if (style_ == lbOwnerDrawVariable) measureItemAt(index);
            break;
        case TStringList::lcDelete:
            if (index < int(selected_.size())) selected_.erase(selected_.begin() + index);
            if (index < int(heights_.size())) heights_.erase(heights_.begin() + index);
            if (itemIndex_ == index)
                itemIndex_ = -1;
            else if (itemIndex_ > index)
                --itemIndex_;
            if (peer_) peer()->deleteItem(index);
            break;
        case TStringList::lcSet:
            if (peer_) peer()->setItemText(index, items_[index]);
            break;
        default:
            SyncItems();
    }
}

void TListBox::SyncItems() {
    selected_.assign(size_t(items_.Count()), false);
    heights_.assign(size_t(items_.Count()), itemHeight_);
    if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
    if (peer_) {
        peer()->clearItems();
        for (int i = 0; i < items_.Count(); ++i) peer()->insertItem(i, items_[i], 0);
        peer()->setItemIndex(itemIndex_);
    }
    if (style_ == lbOwnerDrawVariable)
        for (int i = 0; i < items_.Count(); ++i) measureItemAt(i);
}

int TListBox::ItemIndex() const { return itemIndex_; }

void TListBox::SetItemIndex(int i) {
    if (i < -1 || i >= items_.Count()) i = -1;
    itemIndex_ = i;
    if (!multiSelect_) {
        selected_.assign(size_t(items_.Count()), false);
        if (i >= 0) selected_[size_t(i)] = true;
    }
    if (peer_) peer()->setItemIndex(i);
}

void TListBox::SetMultiSelect(bool m) {
    multiSelect_ = m;
    if (peer_) peer()->setMultiSelect(m, extendedSelect_);
}

void TListBox::SetExtendedSelect(bool e) {
    extendedSelect_ = e;
    if (peer_) peer()->setMultiSelect(multiSelect_, e);
}

bool TListBox::Selected(int i) const {
    if (i < 0 || i >= items_.Count())
        throw EListError("List index out of bounds (" + IntToStr(i) + ")");
    return i < int(selected_.size()) && selected_[size_t(i)];
}

void TListBox::SetSelected(int i, bool s) {
    if (i < 0 || i >= items_.Count())
        throw EListError("List index out of bounds (" + IntToStr(i) + ")");
    if (!multiSelect_ && s) {
        SetItemIndex(i);
        return;
    }
    selected_.resize(size_t(items_.Count()), false);
    selected_[size_t(i)] = s;
    if (peer_) peer()->setSelected(i, s);
}

int TListBox::SelCount() const {
    if (!multiSelect_) return -1;
    return int(std::count(selected_.begin(), selected_.end(), true));
}

void TListBox::PeerCreated() {
    ApplyScrollBars();
    peer()->setCtl3D(ctl3D_);
    applyOwnerDraw();
    peer()->setMultiSelect(multiSelect_, extendedSelect_);
    SyncItems();
    for (int i = 0; i < int(selected_.size()); ++i)
        if (selected_[size_t(i)]) peer()->setSelected(i, true);
}

void TListBox::PeerChanged(int code) {
    if (code == ws::pnSelChange) {
        itemIndex_ = peer()->itemIndex();
        selected_.assign(size_t(items_.Count()), false);
        for (int i = 0; i < items_.Count(); ++i) selected_[size_t(i)] = peer()->selected(i);
        Click();
    } else if (code == ws::pnDblClick) {
        if (OnDblClick) OnDblClick(this);
    }
}

// ---------------------------------------------------------------- containers

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
    width_ = 185;
    height_ = 105;
}

void TGroupBox::Paint() {
    TCanvas& c = canvas_;
    c.Font()->Assign(font_);
    int th = c.TextHeight("0");
    TRect r = Rect(0, th / 2, width_, height_);
    Frame3D(c, r, clBtnShadow, clBtnHighlight);
    Frame3D(c, Rect(1, th / 2 + 1, width_ - 1, height_ - 1), clBtnHighlight, clBtnShadow);
    if (!text_.empty()) {
        c.Brush()->Color = color_;
        c.Brush()->Style = bsSolid;
        TRect tr = Rect(8, 0, 8 + c.TextWidth(text_) + 2, th);
        c.FillRect(tr);
        c.Brush()->Style = bsClear;
        c.TextOut(9, 0, text_);
    }
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    width_ = 185;
    height_ = 41;
}

void TPanel::Paint() {
    TCanvas& c = canvas_;
    TRect r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone) return;
        for (int i = 0; i < BevelWidth; ++i) {
            if (cut == TBevelCut::bvRaised)
                Frame3D(c, r, clBtnHighlight, clBtnShadow);
            else if (cut == TBevelCut::bvLowered)
                Frame3D(c, r, clBtnShadow, clBtnHighlight);
            r.Left++;
            r.Top++;
            r.Right--;
            r.Bottom--;
        }
    };
    bevel(BevelOuter);
    bevel(BevelInner);
    c.Font()->Assign(font_);
    c.Brush()->Style = bsClear;
    c.DrawText(text_, r, DT_SINGLELINE | DT_VCENTER | AlignFlags(Alignment) | DT_EXPANDTABS);
}

TScrollBox::TScrollBox(TComponent* owner) : TCustomControl(owner) {
    width_ = 185;
    height_ = 41;
}

void TScrollBox::Paint() {
    if (BorderStyle == bsSingleBorder) Frame3D(canvas_, ClientRect(), clBtnShadow, clBtnHighlight);
}

// ---------------------------------------------------------------- TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    width_ = 105;
    height_ = 105;
    picture_.OnChange = [this] { Invalidate(); };
}

TImage::~TImage() { picture_.OnChange = nullptr; }

void TImage::Paint() {
    TGraphic* g = picture_.Graphic();
    if (!g || g->Empty()) return;
    g->Transparent = Transparent;
    TRect r = Rect(0, 0, g->Width(), g->Height());
    if (Stretch) {
        r = ClientRect();
        if (Proportional) {
            double k = std::min(double(width_) / g->Width(), double(height_) / g->Height());
            r = Rect(0, 0, int(g->Width() * k), int(g->Height() * k));
        }
    }
    if (Center) {
        int dx = (width_ - r.Width()) / 2, dy = (height_ - r.Height()) / 2;
        r = Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
    }
    canvas_.StretchDraw(r, g);
}

// ---------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    width_ = 23;
    height_ = 22;
}

void TSpeedButton::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR:
            if (IsAccel(WORD(m.WParam), text_) && enabled_ && Showing()) {
                Click();
                m.Result = 1;
            }
            return;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            Invalidate();
            break;
        case WM_LBUTTONUP:
            pressed_ = false;
            Invalidate();
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            Invalidate();
            break;
        default:
            break;
    }
    TGraphicControl::Dispatch(m);
}

void TSpeedButton::Paint() {
    TCanvas& c = canvas_;
    TRect r = ClientRect();
    bool sunken = pressed_ || Down;
    if (!Flat || !Transparent) {
        c.Brush()->Color = Flat ? ParentColorOf(this) : color_;
        c.Brush()->Style = bsSolid;
        c.FillRect(r);
    }
    if (!Flat)
        Frame3D(c, r, sunken ? clBtnShadow : clBtnHighlight,
                sunken ? clBtnHighlight : cl3DDkShadow);
    else if (enabled_ && (MouseInside || sunken))
        Frame3D(c, r, sunken ? clBtnShadow : clBtnHighlight, sunken ? clBtnHighlight : clBtnShadow);
    c.Font()->Assign(font_);
    if (!enabled_) c.Font()->SetColor(clGrayText);
    c.Brush()->Style = bsClear;
    int gw = glyph_.Empty() ? 0 : glyph_.Width() / std::max(1, NumGlyphs);
    // Measured as drawn: the "&" that marks the accelerator takes no room.
    TRect measured = Rect(0, 0, 0, 0);
    c.DrawText(text_, measured, DT_SINGLELINE | DT_CALCRECT);
    int tw = measured.Right - measured.Left, th = c.TextHeight(text_);
    int total = gw + (gw && !text_.empty() ? Spacing : 0) + tw;
    int x = Margin >= 0 ? Margin : (width_ - total) / 2;
    int off = sunken ? 1 : 0;
    if (gw) {
        TRect gr = Rect(x + off, (height_ - glyph_.Height()) / 2 + off, x + off + gw,
                        (height_ - glyph_.Height()) / 2 + off + glyph_.Height());
        glyph_.Transparent = true;
        c.Draw(gr.Left, gr.Top, &glyph_);
        x += gw + Spacing;
    }
    TRect tr =
        Rect(x + off, (height_ - th) / 2 + off, x + off + tw + 2, (height_ - th) / 2 + off + th);
    c.DrawText(text_, tr, DT_SINGLELINE);
}

// ---------------------------------------------------------------- TProgressBar

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    width_ = 150;
    height_ = 16;
}

void TProgressBar::SetPosition(int v) {
    position_ = std::clamp(v, min_, max_);
    sync();
}

void TProgressBar::sync() {
    if (!peer_) return;
    peer()->setRange(min_, max_);
    peer()->setPosition(position_);
}

// ---------------------------------------------------------------- TTimer

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    window_ = CreateWindowObject(
        "TTimerWindow", nullptr,
        [this](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
            if (msg == WM_TIMER && enabled_ && OnTimer) {
                try {
                    OnTimer(this);
                } catch (...) {
                    HandleEventException();
                }
            }
            return 0;
        },
        nullptr);
}

TTimer::~TTimer() {
    enabled_ = false;
    DestroyWindow(window_);
}

void TTimer::update() {
    KillTimer(window_, 1);
    if (enabled_ && interval_ > 0 && !Loading()) SetTimer(window_, 1, interval_, nullptr);
}

void TTimer::Loaded() {
    TComponent::Loaded();
    update();
}

void TTimer::SetEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    update();
}

void TTimer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    update();
}
