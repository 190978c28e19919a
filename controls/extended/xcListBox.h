// The extended list box: owner drawing with alignment, word-wrapped items, selection and
// disabled colours, a background picture, hot tracking, a horizontal scroll extent that
// follows the widest item, re-ordering by dragging, moving the selection up and down, and
// events for added and deleted strings, scrolling and a cancelled selection.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "controls/extended/xcDataConsumerView.h"
#include "controls/extended/xcExControls.h"
#include "controls/extended/xcItemStrings.h"
#include "platform/user/listMessages.h"
#include "platform/vcl/dragDrop.h"

enum TXcListboxFillMode { bfmTile, bfmStretch };

// The picture behind the items; any change calls OnChange (the list box repaints).
class TXcListBoxBackground : public TPersistent {
public:
    TXcListBoxBackground();
    std::string ClassName() const override { return "TXcListBoxBackground"; }
    TNotifyEvent OnChange;
    TBitmap* Image() { return &image_; }
    void SetImage(TBitmap* b);  // copied
    TXcListboxFillMode FillMode() const { return fillMode_; }
    void SetFillMode(TXcListboxFillMode m);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // The background is drawn: visible and a picture there.
    bool DoDraw() const { return visible_ && !image_.Empty(); }
    void Assign(const TXcListBoxBackground& other);

private:
    void changed() {
        if (OnChange) OnChange(this);
    }
    TBitmap image_;
    TXcListboxFillMode fillMode_ = bfmTile;
    bool visible_ = false;
};

using TXcListBoxDataEvent = std::function<void(TObject* Sender, int Index, std::string& Text)>;
using TXcListboxChange = std::function<void(TObject* Sender, const std::string& Item)>;
using TXcScrollEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& DontScroll)>;

class TXcCustomListBox : public TXcExCustomListBox {
public:
    explicit TXcCustomListBox(TComponent* owner);
    ~TXcCustomListBox() override;
    std::string ClassName() const override { return "TXcCustomListBox"; }

    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool on);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool on);
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool on);
    TColor SelectedColor() const { return selectedColor_; }
    void SetSelectedColor(TColor c);
    TColor SelectedTextColor() const { return selectedTextColor_; }
    void SetSelectedTextColor(TColor c);
    TColor DisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(TColor c);
    TXcListBoxBackground* Background() { return &background_; }
    void SetBackground(const TXcListBoxBackground& b) { background_.Assign(b); }
    // How far the background picture is moved by the horizontal scroll.
    int BackgroundOffset() const { return backgroundOffset_; }
    // The widest item's width in pixels (the horizontal extent last set).
    int MaxWidth() const { return maxWidth_; }
    // The data consumer that takes the items from a provider instead of Items: while one is
    // set the list shows the provider's items and keeps its own strings aside.
    TXcDataConsumer* Provider() { return provider_.get(); }
    bool ProviderSelected() const { return providerSelected_; }

    TXcListBoxDataEvent OnGetText;
    TNotifyEvent OnSelectCancel;
    TXcListboxChange OnDeleteString;
    TXcListboxChange OnAddString;
    TNotifyEvent OnChange;
    TXcScrollEvent OnHorizontalScroll;
    TXcScrollEvent OnVerticalScroll;
    // Dragging re-orders the list: the form's own drag handlers, when it has them, take the
    // place of the list's.
    int DragIndex() const { return dragIndex_; }
    TDragImageList* GetDragImages() override { return dragImages_.get(); }

    virtual void DeleteSelected();
    virtual void SelectAll();
    virtual void MoveSelectedUp();
    virtual void MoveSelectedDown();
    void Loaded() override;
    void SetBounds(int l, int t, int w, int h) override;
    void Dispatch(TMessage& m) override;
    // Width and height of an item's text as drawn (limit 0: no wrapping width).
    void MeasureText(const std::string& text, int limit, int& width, int& height);
    void RecalcHorizontalExtent();

protected:
    void WndProc(TMessage& m) override;
    void MouseEnter(TControl* AControl) override;
    void MouseLeave(TControl* AControl) override;
    void FontChanged() override;
    void PeerCreated() override;
    TScrollStyle ScrollBarStyle() const override { return scrollBars_; }
    void DrawItem(int index, const TRect& r, TOwnerDrawState state) override;
    void MeasureItem(int index, int& height) override;
    void ItemChanging(TStringList::TChange what, int index) override;
    void ItemChanged(TStringList::TChange what, int index) override;
    virtual void Changed();
    virtual void DoGetText(int Index, std::string& Text);
    // The strings the items show: the consumer's while a provider is selected, else Items.
    virtual const TStrings& ItemSource();
    virtual void DefaultDrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    void DoStartDrag(TDragObject*& DragObject) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;
    // The list's own drag: the item under the press with its text as the drag image; only
    // the list itself is accepted (scrolling near its edges); the drop moves the item.
    virtual void OwnDragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void OwnStartDrag();
    virtual void OwnDragDrop(TObject* Source, int X, int Y);
    // Background picture over the client (moved by the horizontal scroll offset when asked).
    using TXcExCustomListBox::PaintBackground;
    void PaintBackground(HDC dc, bool withOffset);
    // The erase hook: the picture without the offset, where no item covers it.
    bool PaintBackground(TCanvas* Canvas, int Param) override;
    void UpdateStyle();
    bool WrapMode() const {
        return multiLine_ && (scrollBars_ == ssNone || scrollBars_ == ssVertical);
    }
    bool HasHorizontalBar() const { return scrollBars_ == ssHorizontal || scrollBars_ == ssBoth; }

private:
    void drawItemMessage(TMessage& m);
    // The item messages the list box answers itself (events, searches, a provider's texts).
    bool itemMessage(TMessage& m);
    void scrollMessage(TMessage& m, bool horizontal);
    int textFlags() const;
    bool rightToLeftReading() const;

    bool hotTrack_ = false;
    TAlignment alignment_ = taLeftJustify;
    int maxWidth_ = 0;
    TScrollStyle scrollBars_ = ssBoth;
    bool sorted_ = false;
    int dragIndex_ = -1;
    std::unique_ptr<TDragImageList> dragImages_;  // made on the first drag
    void providerChanged();
    XcRef<TXcDataConsumer> provider_;
    std::unique_ptr<TXcConsumerStrings> consumerStrings_;
    TXcListBoxStrings* itemStrings_ = nullptr;  // Items (owned by the base)
    bool providerSelected_ = false;
    std::optional<TListBoxStyle> styleBeforeProvider_;  // owner drawn while a provider shows
    bool multiLine_ = false;
    bool showFocusRect_ = true;
    TColor selectedTextColor_ = clHighlightText;
    TColor selectedColor_ = clHighlight;
    TColor disabledTextColor_ = clGrayText;
    TXcListBoxBackground background_;
    int backgroundOffset_ = 0;
    bool deletedWidest_ = false;
    std::string deletingText_;
};

class TXcListBox : public TXcCustomListBox {
public:
    explicit TXcListBox(TComponent* owner) : TXcCustomListBox(owner) {}
    std::string ClassName() const override { return "TXcListBox"; }
};

void RegisterXcListBox();
