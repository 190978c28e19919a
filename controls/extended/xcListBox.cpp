#include "controls/extended/xcListBox.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "controls/extended/xcItemsSearch.h"
#include "controls/extended/xcWinUtils.h"
#include "platform/gdi/gdi.h"
#include "platform/user/paint.h"
#include "platform/user/scrollBars.h"
#include "platform/vcl/forms.h"

// ---------------------------------------------------------------- background

TXcListBoxBackground::TXcListBoxBackground() = default;

void TXcListBoxBackground::SetImage(TBitmap* b) {
    if (b)
        image_.Assign(*b);
    else
        image_.SetSize(0, 0);
    changed();
}

void TXcListBoxBackground::SetFillMode(TXcListboxFillMode m) {
    fillMode_ = m;
    changed();
}

void TXcListBoxBackground::SetVisible(bool v) {
    visible_ = v;
    changed();
}

void TXcListBoxBackground::Assign(const TXcListBoxBackground& other) {
    image_.Assign(other.image_);
    fillMode_ = other.fillMode_;
    visible_ = other.visible_;
    changed();
}

// ---------------------------------------------------------------- list box

TXcCustomListBox::TXcCustomListBox(TComponent* owner) : TXcExCustomListBox(owner) {
    background_.OnChange = [this](TObject*) { Invalidate(); };
    provider_ = XcRef<TXcDataConsumer>(XcCreate<TXcDataConsumer>(this));
    auto* view =
        provider_->AddImplementer(std::make_unique<TXcDataConsumerViewList>(provider_.get()));
    view->RevealNew = true;
    view->SetLevelIndent(-1);
    provider_->AddImplementer(std::make_unique<TXcDataConsumerItemSelect>(provider_.get()));
    consumerStrings_ = std::make_unique<TXcConsumerStrings>(provider_.get());
    provider_->OnAfterChange = [this](TXcConsumerChange) { providerChanged(); };
    auto strings = std::make_unique<TXcListBoxStrings>(this);
    strings->ClearProvider = [this] {
        if (providerSelected_) provider_->SetProvider(nullptr);
    };
    itemStrings_ = strings.get();
    SetItemsObject(std::move(strings));
}

void TXcCustomListBox::providerChanged() {
    if (Destroying()) return;
    const bool selected = provider_->Provider() != nullptr;
    if (selected) {
        // The own strings go aside; the window shows the provider's rows.
        if (!providerSelected_) itemStrings_->MoveToInternal();
        providerSelected_ = true;
        // Each row is drawn by the renderer the framework finds for its item.
        if (!IsOwnerDrawn()) {
            styleBeforeProvider_ = Style();
            SetStyle(lbOwnerDrawFixed);
        }
        items_.Assign(*consumerStrings_);
    } else if (providerSelected_) {
        // And come back.
        providerSelected_ = false;
        items_.Clear();
        if (styleBeforeProvider_) SetStyle(*std::exchange(styleBeforeProvider_, std::nullopt));
        if (itemStrings_->UsesInternal()) itemStrings_->MoveBack();
    }
    Invalidate();
}

TXcCustomListBox::~TXcCustomListBox() {
    provider_->OnAfterChange = nullptr;
    provider_->SetProvider(nullptr);
}

bool TXcCustomListBox::rightToLeftReading() const { return BiDiMode != bdLeftToRight; }

// The alignment's flag with the reading order.
int TXcCustomListBox::textFlags() const {
    const int flags = alignment_ == taRightJustify ? DT_RIGHT
                      : alignment_ == taCenter     ? DT_CENTER
                                                   : DT_LEFT;
    return rightToLeftReading() ? flags | int(DT_RTLREADING) : flags;
}

void TXcCustomListBox::MeasureText(const std::string& text, int limit, int& width, int& height) {
    TCanvas* c = Canvas();
    c->Font()->Assign(font_);
    TRect r = Rect(0, 0, limit > 0 ? limit - 2 : 0x7FFFFFFF, 1);
    c->DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | UINT(textFlags()));
    width = r.Right + 4;
    height = std::clamp(r.Bottom, ItemHeight(), 255);
}

void TXcCustomListBox::RecalcHorizontalExtent() {
    const TStrings& src = ItemSource();
    const int limit = WrapMode() ? ClientWidth() : 0;
    int widest = 0;
    for (int i = 0; i < src.Count(); ++i) {
        int w = 0, h = 0;
        MeasureText(src[i], limit, w, h);
        if (multiLine_) Perform(LB_SETITEMHEIGHT, WPARAM(i), LPARAM(h));
        widest = std::max(widest, w);
    }
    if (WrapMode() || widest == maxWidth_) return;
    maxWidth_ = widest;
    Perform(LB_SETHORIZONTALEXTENT, WPARAM(widest), 0);
}

void TXcCustomListBox::UpdateStyle() {
    if (Loading()) return;
    // A virtual list keeps its style: under any other its rows would show no text.
    if (multiLine_ && !IsVirtual())
        SetStyle(lbOwnerDrawVariable);
    else if (alignment_ != taLeftJustify && !IsVirtual())
        SetStyle(lbOwnerDrawFixed);
    if (Style() == lbStandard) return;
    Canvas()->Font()->Assign(font_);
    SetItemHeight(CanvasTextHeight(*Canvas()) + (showFocusRect_ ? 2 : 0));
    RecalcHorizontalExtent();
}

void TXcCustomListBox::Loaded() {
    TXcExCustomListBox::Loaded();
    provider_->Loaded();
    UpdateStyle();
}

void TXcCustomListBox::SetBounds(int l, int t, int w, int h) {
    TXcExCustomListBox::SetBounds(l, t, w, h);
    if (alignment_ != taLeftJustify) Invalidate();
}

void TXcCustomListBox::PeerCreated() {
    if (!Loading()) {
        // Wrapping needs variable heights, and only drawn items are aligned.
        if (Style() != lbOwnerDrawVariable) multiLine_ = false;
        if (Style() == lbStandard || Style() == lbVirtual) alignment_ = taLeftJustify;
    }
    TXcExCustomListBox::PeerCreated();
    backgroundOffset_ = 0;
    if (HasHorizontalBar()) {
        // The window starts without an extent: give it the one kept.
        maxWidth_ = -1;
        RecalcHorizontalExtent();
    }
}

void TXcCustomListBox::SetAlignment(TAlignment a) {
    alignment_ = a;
    UpdateStyle();
    Invalidate();
}

void TXcCustomListBox::SetScrollBars(TScrollStyle s) {
    scrollBars_ = s;
    ApplyScrollBars();
    // The items are measured anew, as for a new window: wrapping may have begun or ended.
    if (Style() == lbOwnerDrawVariable)
        for (int i = 0; i < items_.Count(); ++i) measureItemAt(i);
}

void TXcCustomListBox::SetSorted(bool on) {
    sorted_ = on;
    items_.Sorted = on;
    if (on) items_.Sort();
}

void TXcCustomListBox::SetMultiLine(bool on) {
    multiLine_ = on;
    UpdateStyle();
    if (on) {
        if (scrollBars_ == ssBoth)
            SetScrollBars(ssVertical);
        else if (scrollBars_ == ssHorizontal)
            SetScrollBars(ssNone);
        maxWidth_ = 0;
        Perform(LB_SETHORIZONTALEXTENT, 0, 0);
    } else {
        RecalcHorizontalExtent();
    }
}

void TXcCustomListBox::SetShowFocusRect(bool on) {
    showFocusRect_ = on;
    Canvas()->Font()->Assign(font_);
    SetItemHeight(Canvas()->TextHeight("0") + (on ? 2 : 0));
    RecalcHorizontalExtent();
    if (Focused()) Invalidate();
}

void TXcCustomListBox::SetSelectedColor(TColor c) {
    selectedColor_ = c;
    Invalidate();
}

void TXcCustomListBox::SetSelectedTextColor(TColor c) {
    selectedTextColor_ = c;
    Invalidate();
}

void TXcCustomListBox::SetDisabledTextColor(TColor c) {
    disabledTextColor_ = c;
    Invalidate();
}

// A hot-tracking list is flat until the mouse comes over it, then sunken.
void TXcCustomListBox::SetHotTrack(bool on) {
    hotTrack_ = on;
    SetCtl3D(!on);
}

void TXcCustomListBox::MouseEnter(TControl* AControl) {
    if (hotTrack_ && !MouseOver()) SetCtl3D(true);
    TXcExCustomListBox::MouseEnter(AControl);
}

void TXcCustomListBox::MouseLeave(TControl* AControl) {
    if (hotTrack_) SetCtl3D(false);
    TXcExCustomListBox::MouseLeave(AControl);
}

void TXcCustomListBox::FontChanged() {
    TXcExCustomListBox::FontChanged();
    Canvas()->Font()->Assign(font_);
    if (HasHorizontalBar()) RecalcHorizontalExtent();
}

const TStrings& TXcCustomListBox::ItemSource() {
    // Items, not the window's own rows: a virtual list's rows hold no text, Items reads its
    // data callbacks.
    return providerSelected_ ? static_cast<const TStrings&>(*consumerStrings_) : *Items();
}

void TXcCustomListBox::DoGetText(int Index, std::string& Text) {
    if (OnGetText) OnGetText(this, Index, Text);
}

void TXcCustomListBox::Changed() { Perform(CM_CHANGED); }

// ---------------------------------------------------------------- items and the extent

void TXcCustomListBox::ItemChanging(TStringList::TChange what, int index) {
    deletedWidest_ = false;
    if (what != TStringList::lcDelete) return;
    deletingText_ = IsVirtual() ? DoGetData(index) : items_[index];
    if (!WrapMode()) {
        int w = 0, h = 0;
        MeasureText(deletingText_, 0, w, h);
        deletedWidest_ = w >= maxWidth_;
    }
}

void TXcCustomListBox::ItemChanged(TStringList::TChange what, int index) {
    TXcExCustomListBox::ItemChanged(what, index);
    switch (what) {
        case TStringList::lcInsert: {
            const std::string text = items_[index];
            if (!WrapMode()) {
                int w = 0, h = 0;
                MeasureText(text, 0, w, h);
                if (w > maxWidth_) {
                    maxWidth_ = w;
                    Perform(LB_SETHORIZONTALEXTENT, WPARAM(w), 0);
                }
            }
            break;
        }
        case TStringList::lcDelete:
            if (deletedWidest_ && HasHorizontalBar()) RecalcHorizontalExtent();
            deletedWidest_ = false;
            break;
        case TStringList::lcSet:
            if (!WrapMode()) RecalcHorizontalExtent();
            break;
        case TStringList::lcReset:
            if (items_.Count() == 0) {
                maxWidth_ = 0;
                Perform(LB_SETHORIZONTALEXTENT, 0, 0);
            } else {
                RecalcHorizontalExtent();
            }
            break;
    }
}

// ---------------------------------------------------------------- drawing

void TXcCustomListBox::PaintBackground(HDC dc, bool withOffset) {
    if (!background_.DoDraw() || Destroying()) return;
    TRect r = ClientRect();
    if (withOffset)
        r = Rect(r.Left + backgroundOffset_, r.Top, r.Right + backgroundOffset_, r.Bottom);
    RECT clip;
    const int kind = GetClipBox(dc, &clip);
    if (kind == NULLREGION) return;
    if (kind == ERROR_REGION) clip = RECT{r.Left, r.Top, r.Right, r.Bottom};
    TCanvas c;
    c.SetHandle(dc);
    TBitmap* img = background_.Image();
    if (background_.FillMode() == bfmStretch) {
        c.StretchDraw(r, img);
    } else {
        for (int y = r.Top; y < r.Bottom; y += img->Height())
            for (int x = r.Left; x < r.Right; x += img->Width())
                if (x < clip.right && y < clip.bottom && x + img->Width() > clip.left &&
                    y + img->Height() > clip.top)
                    c.Draw(x, y, img);
    }
    c.SetHandle(nullptr);
}

bool TXcCustomListBox::PaintBackground(TCanvas* Canvas, int Param) {
    if (!background_.DoDraw() || Destroying())
        return TXcExCustomListBox::PaintBackground(Canvas, Param);
    PaintBackground(Canvas->Handle(), false);
    return true;
}

void TXcCustomListBox::DefaultDrawItem(int Index, const TRect& ItemRect, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    TRect r = ItemRect;
    if (HasHorizontalBar()) r = Rect(0, r.Top, std::max(r.Right, maxWidth_), r.Bottom);
    const bool picture = background_.DoDraw();
    if (picture) {
        // The picture lies under the whole client area: this item shows its strip of it.
        c->Brush()->Style = bsClear;
        c->Font()->SetColor(font_.Color());
        HDC dc = c->Handle();
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        // The row's own coordinates start at its top-left in the list: moved so that the
        // picture (shifted by the scroll offset) lines up with the one the erase paints.
        const TRect client = TListBox::ItemRect(Index);
        SetViewportOrgEx(dc, -(client.Left + backgroundOffset_), -client.Top, nullptr);
        PaintBackground(dc, true);
        RestoreDC(dc, saved);
    }
    const TStrings& src = ItemSource();
    if (Index >= src.Count()) return;
    if (!picture) c->FillRect(r);
    unsigned flags =
        unsigned(textFlags()) |
        (multiLine_ ? DT_WORDBREAK | DT_NOPREFIX : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    // Room before the text, on the side it is read from.
    TRect tr = r;
    if (rightToLeftReading())
        tr.Right -= 2;
    else
        tr.Left += 2;
    auto* view = providerSelected_ ? provider_->GetInterface<TXcDataConsumerViewList>() : nullptr;
    if (TXcBaseDataItem* item = view ? view->RowItem(Index) : nullptr) {
        XcDrawDataItem(*c, item, tr, State);
    } else {
        std::string text = src[Index];
        DoGetText(Index, text);
        c->DrawText(text, tr, flags);
    }
    if (picture && (State & ODS_SELECTED)) {
        RECT ir{r.Left, r.Top, r.Right, r.Bottom};
        InvertRect(c->Handle(), &ir);
    }
}

void TXcCustomListBox::DrawItem(int index, const TRect& r, TOwnerDrawState state) {
    if (Destroying()) return;
    if (OnDrawItem) {
        TXcExCustomListBox::DrawItem(index, r, state);
        return;
    }
    DefaultDrawItem(index, r, state);
    if (showFocusRect_ && (state & ODS_FOCUS)) Canvas()->DrawFocusRect(r);
}

void TXcCustomListBox::MeasureItem(int index, int& height) {
    if (!OnMeasureItem && (multiLine_ || providerSelected_) && index >= 0 &&
        index < ItemSource().Count()) {
        int w = 0;
        MeasureText(ItemSource()[index], WrapMode() ? ClientWidth() : 0, w, height);
        return;
    }
    TXcExCustomListBox::MeasureItem(index, height);
}

void TXcCustomListBox::drawItemMessage(TMessage& m) {
    auto& dis = *reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    TCanvas* c = Canvas();
    c->SetHandle(dis.hDC);
    c->Font()->Assign(font_);
    c->Brush()->Color = color_;
    c->Brush()->Style = bsSolid;
    const TRect r = Rect(dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom);
    const int index = int(dis.itemID);
    if (index >= 0) {
        if (dis.itemState & ODS_SELECTED) {
            c->Brush()->Color = selectedColor_;
            c->Font()->SetColor(selectedTextColor_);
        }
        if ((dis.itemState & (ODS_GRAYED | ODS_DISABLED)) || !Enabled())
            c->Font()->SetColor(disabledTextColor_);
        DrawItem(index, r, dis.itemState);
    } else {
        if (background_.DoDraw())
            PaintBackground(c->Handle(), false);
        else
            c->FillRect(r);
        if (Focused()) c->DrawFocusRect(r);
    }
    c->SetHandle(nullptr);
    m.Result = 1;
}

// ---------------------------------------------------------------- messages

void TXcCustomListBox::scrollMessage(TMessage& m, bool horizontal) {
    const bool picture = background_.DoDraw();
    if (picture) Perform(WM_SETREDRAW, 0, 0);
    bool dontScroll = false;
    TXcScrollEvent& event = horizontal ? OnHorizontalScroll : OnVerticalScroll;
    if (event) event(this, m, dontScroll);
    if (!dontScroll && !ScrollFromWindow()) {
        // A request sent to the list: it scrolls by whole lines (the window's own bar
        // scrolls by itself).
        const UINT request = UINT(m.WParam & 0xFFFF);
        if (!horizontal && request == SB_LINEUP)
            SetTopIndex(std::max(0, TopIndex() - 1));
        else if (!horizontal && request == SB_LINEDOWN)
            SetTopIndex(TopIndex() + 1);
        TXcExCustomListBox::Dispatch(m);
    }
    m.Result = dontScroll ? 1 : 0;
    if (picture) {
        Perform(WM_SETREDRAW, 1, 0);
        Invalidate();
    }
    if (horizontal && !dontScroll) {
        // The picture keeps its place in the window while the items move under it.
        backgroundOffset_ = 0;
        SCROLLINFO si;
        si.fMask = SIF_ALL;
        if (picture && maxWidth_ > 0 && GetScrollInfo(Handle(), SB_HORZ, &si) && si.nMax > 0)
            backgroundOffset_ = int(std::lround(double(maxWidth_) / si.nMax * si.nPos));
    }
}

void TXcCustomListBox::WndProc(TMessage& m) {
    if (m.Msg == WM_SETFONT) {
        TXcExCustomListBox::WndProc(m);
        Canvas()->Font()->Assign(font_);
        if (HasHorizontalBar()) RecalcHorizontalExtent();
        return;
    }
    TXcExCustomListBox::WndProc(m);
}

bool TXcCustomListBox::itemMessage(TMessage& m) {
    const int w = int(m.WParam);
    switch (m.Msg) {
        case LB_ADDSTRING: {
            // Wherever the window puts it (a sorted list sorts it in), it was added.
            const std::string text = reinterpret_cast<const char*>(m.LParam);
            TXcExCustomListBox::Dispatch(m);
            if (int(m.Result) < 0) return true;
            if (OnAddString) OnAddString(this, text);
            if (OnChange) OnChange(this);
            return true;
        }
        case LB_DELETESTRING: {
            if (w < 0 || w >= items_.Count()) break;
            const std::string text = IsVirtual() ? DoGetData(w) : items_[w];
            if (OnDeleteString) OnDeleteString(this, text);
            TXcExCustomListBox::Dispatch(m);
            if (OnChange) OnChange(this);
            return true;
        }
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT:
        case LB_SELECTSTRING: {
            // A provider's rows are searched by their texts (a prefix search finds nothing for
            // an empty text); the own items are the window's to search.
            if (!providerSelected_) break;
            const std::string text = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
            const bool exact = m.Msg != LB_FINDSTRING;
            const int found = exact ? TXcItemsSearchs::FindExact(ItemSource(), text, false, w)
                                    : TXcItemsSearchs::FindPrefix(ItemSource(), text, false, w);
            if (found >= 0 && m.Msg == LB_SELECTSTRING) Perform(LB_SETCURSEL, WPARAM(found));
            m.Result = found;
            return true;
        }
        case LB_GETTEXT:
        case LB_GETTEXTLEN: {
            if (!providerSelected_) break;
            const TStrings& rows = ItemSource();
            if (w < 0 || w >= rows.Count()) {
                m.Result = LRESULT(int(LB_ERR));
                return true;
            }
            const std::string text = rows[w];
            if (m.Msg == LB_GETTEXT && m.LParam)
                std::copy(text.c_str(), text.c_str() + text.size() + 1,
                          reinterpret_cast<char*>(m.LParam));
            m.Result = LRESULT(text.size());
            return true;
        }
        default:
            break;
    }
    return false;
}

void TXcCustomListBox::Dispatch(TMessage& m) {
    if (itemMessage(m)) return;
    switch (m.Msg) {
        case CN_DRAWITEM:
            drawItemMessage(m);
            return;
        case WM_HSCROLL:
        case WM_VSCROLL:
            scrollMessage(m, m.Msg == WM_HSCROLL);
            return;
        case CN_KEYDOWN:
            if (m.WParam >= 37 && m.WParam <= 40 && background_.DoDraw()) {
                Perform(WM_SETREDRAW, 0, 0);
                TXcExCustomListBox::Dispatch(m);
                Perform(WM_SETREDRAW, 1, 0);
                Invalidate();
                return;
            }
            break;
        case CN_COMMAND:
            if ((m.WParam >> 16) == LBN_SELCANCEL) {
                if (OnSelectCancel) OnSelectCancel(this);
                return;
            }
            break;
        default:
            break;
    }
    TXcExCustomListBox::Dispatch(m);
}

// ---------------------------------------------------------------- editing the list

void TXcCustomListBox::DeleteSelected() {
    if (providerSelected_) return;
    if (MultiSelect()) {
        for (int i = items_.Count() - 1; i >= 0; --i)
            if (Selected(i)) Items()->Delete(i);
    } else {
        const int i = ItemIndex();
        if (i >= 0) {
            Items()->Delete(i);
            if (items_.Count() > 0) SetItemIndex(std::max(0, i - 1));
        }
    }
    Changed();
}

void TXcCustomListBox::SelectAll() {
    if (!MultiSelect()) return;
    Perform(WM_SETREDRAW, 0, 0);
    for (int i = 0; i < items_.Count(); ++i) SetSelected(i, true);
    Perform(WM_SETREDRAW, 1, 0);
}

namespace {

// Swaps two items' texts and objects in place, leaving the selection to the caller.
void SwapItems(TStringList& items, int a, int b) {
    const std::string ta = items[a];
    TObject* oa = items.Objects(a);
    items.SetString(a, items[b]);
    items.SetObject(a, items.Objects(b));
    items.SetString(b, ta);
    items.SetObject(b, oa);
}

}  // namespace

void TXcCustomListBox::MoveSelectedUp() {
    // A provider's rows are its own order.
    if (providerSelected_) return;
    const int n = items_.Count();
    if (MultiSelect() && SelCount() > 0) {
        if (Selected(0)) return;
        for (int i = 1; i < n; ++i) {
            if (!Selected(i)) continue;
            SwapItems(items_, i, i - 1);
            SetSelected(i, false);
            SetSelected(i - 1, true);
        }
        return;
    }
    const int i = ItemIndex();
    if (i <= 0) return;
    SwapItems(items_, i, i - 1);
    SetItemIndex(i - 1);
}

void TXcCustomListBox::MoveSelectedDown() {
    if (providerSelected_) return;
    const int n = items_.Count();
    if (MultiSelect() && SelCount() > 0) {
        if (Selected(n - 1)) return;
        for (int i = n - 2; i >= 0; --i) {
            if (!Selected(i)) continue;
            SwapItems(items_, i, i + 1);
            SetSelected(i, false);
            SetSelected(i + 1, true);
        }
        return;
    }
    const int i = ItemIndex();
    if (i < 0 || i >= n - 1) return;
    SwapItems(items_, i, i + 1);
    SetItemIndex(i + 1);
}

// ---------------------------------------------------------------- dragging within the list

void TXcCustomListBox::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) {
        TXcExCustomListBox::DoStartDrag(DragObject);
        return;
    }
    OwnStartDrag();
}

void TXcCustomListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    if (OnDragOver) {
        TXcExCustomListBox::DragOver(Source, X, Y, State, Accept);
        return;
    }
    OwnDragOver(Source, X, Y, State, Accept);
}

void TXcCustomListBox::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) {
        TXcExCustomListBox::DragDrop(Source, X, Y);
        return;
    }
    OwnDragDrop(Source, X, Y);
}

void TXcCustomListBox::OwnStartDrag() {
    dragIndex_ = ItemIndex();
    if (providerSelected_ || dragIndex_ < 0) return;
    // The picture that follows the pointer: the item's text in black on white, after room
    // for the pointer; white shows what lies beneath.
    const std::string text = Items()->Get(dragIndex_);
    TCanvas* c = Canvas();
    c->Font()->Assign(font_);
    int w = 0, h = 0;
    if (multiLine_) {
        TRect r = Rect(0, 0, 0x7FFFFFFF, 0);
        c->DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        w = r.Right;
        h = r.Bottom;
    } else {
        w = c->TextWidth(text);
        h = c->TextHeight(text);
    }
    TBitmap picture;
    picture.SetSize(w + 15, std::max(1, h));
    TCanvas* pc = picture.Canvas();
    pc->Brush()->Color = clWhite;
    pc->FillRect(Rect(0, 0, w + 15, std::max(1, h)));
    pc->Font()->Assign(font_);
    pc->Font()->SetColor(clBlack);
    pc->Brush()->Style = bsClear;
    pc->TextOut(15, 0, text);
    if (!dragImages_) dragImages_ = std::make_unique<TDragImageList>(nullptr);
    dragImages_->Clear();
    dragImages_->SetWidth(picture.Width());
    dragImages_->SetHeight(picture.Height());
    dragImages_->AddMasked(&picture, clWhite);
    ControlStyle = ControlStyle + TControlStyle{csDisplayDragImage};
}

void TXcCustomListBox::OwnDragOver(TObject* Source, int /*X*/, int Y, TDragState /*State*/,
                                   bool& Accept) {
    Accept = Source == this && !providerSelected_;
    if (!Accept) return;
    const bool up = Y<5, down = Y> ClientHeight() - 6;
    if (!up && !down) return;
    if (dragImages_) dragImages_->HideDragImage();
    Perform(WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, 0);
    Perform(WM_VSCROLL, SB_ENDSCROLL, 0);
    if (dragImages_) dragImages_->ShowDragImage();
}

void TXcCustomListBox::OwnDragDrop(TObject* Source, int X, int Y) {
    TStrings* items = Items();
    if (Source != this || providerSelected_ || dragIndex_ < 0 || dragIndex_ >= items->Count())
        return;
    const int top = TopIndex();
    const std::string text = items->Get(dragIndex_);
    TObject* obj = items->Objects(dragIndex_);
    int target = ItemAtPos(Point(X, Y), false);
    if (target > dragIndex_) --target;
    items->Delete(dragIndex_);
    if (target < 0 || target >= items->Count())
        items->Add(text, obj);
    else
        items->Insert(target, text, obj);
    SetTopIndex(top);
    dragIndex_ = -1;
}

void RegisterXcListBox() {
    TClassReg<TXcListBox>("TXcListBox", "TXcExCustomListBox")
        .prop("MultiLine", [](TXcListBox* l, const TDfmValue& v) { l->SetMultiLine(v.AsBool()); })
        .prop("ShowFocusRect",
              [](TXcListBox* l, const TDfmValue& v) { l->SetShowFocusRect(v.AsBool()); })
        .prop("HotTrack", [](TXcListBox* l, const TDfmValue& v) { l->SetHotTrack(v.AsBool()); })
        .prop("Sorted", [](TXcListBox* l, const TDfmValue& v) { l->SetSorted(v.AsBool()); });
}
