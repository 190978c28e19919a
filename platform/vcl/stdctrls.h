// The standard controls: labels, static texts, edits, check and radio buttons, buttons,
// combo and list boxes, group boxes, panels, scroll boxes, images, speed buttons,
// progress bars, up-down counters and timers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/user/listMessages.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/peerKinds.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    std::string ClassName() const override { return "TLabel"; }
    void Paint() override;
    TAlignment Alignment = taLeftJustify;
    TTextLayout Layout = tlTop;
    bool WordWrap = false;
    bool Transparent = false;
    bool ShowAccelChar = true;
    // The control that its accelerator focuses (of any form: its removal clears it).
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* c) { ReferTo(focusControl_, c); }
    void Notification(TComponent* c, TOperation op) override;
    void Dispatch(TMessage& m) override;
    void SetAutoSize(bool on);
    void SetWordWrap(bool on) {
        ResolveSize();  // lines wrap at the width it has so far
        WordWrap = on;
        AdjustSize();
        Invalidate();
    }
    void AdjustSize() override;
    void Loaded() override;

private:
    TWinControl* focusControl_ = nullptr;
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent* owner);
    std::string ClassName() const override { return "TStaticText"; }
    TAlignment Alignment = taLeftJustify;
    TStaticBorderStyle BorderStyle = sbsNone;
    bool Transparent = false;
    void AdjustSize() override;
    void Loaded() override;

protected:
    void PaintWindow(gdi::Painter& p, const TRect& r) override;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    std::string ClassName() const override { return "TEdit"; }
    // The text is bytes: what was set is read back byte for byte (a password or name
    // that is not UTF-8 included) until the user edits it.
    std::string GetText() const override;
    void SetText(const std::string& s) override;
    void SetReadOnly(bool r) {
        readOnly_ = r;
        if (peer_) peer()->setReadOnly(r);
    }
    bool ReadOnly() const { return readOnly_; }
    void SetMaxLength(int n) {
        maxLength_ = n;
        if (peer_) peer()->setMaxLength(n);
    }
    int MaxLength() const { return maxLength_; }
    void SetPasswordChar(char c) {
        passwordChar_ = c;
        if (peer_) peer()->setPasswordChar(c);
    }
    TNotifyEvent OnChange;

protected:
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        return ws::NewEditPeer(parent, this);
    }
    ws::EditPeer* peer() const { return PeerAs<ws::EditPeer>(); }
    void PeerCreated() override;
    void PeerChanged(int code) override;
    void Dispatch(TMessage& m) override;  // EN_CHANGE reflected from the parent

private:
    bool readOnly_ = false;
    int maxLength_ = 0;
    char passwordChar_ = 0;
    std::string typed_;  // the bytes last set from code
    std::string shown_;  // what the window showed for them
};

// Check box: changing Checked from code runs the click handler, as a click would.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    std::string ClassName() const override { return "TCheckBox"; }
    void Dispatch(TMessage& m) override;
    bool Checked() const { return checked_; }
    void SetChecked(bool c);
    TAlignment Alignment = taRightJustify;

protected:
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        return ws::NewButtonPeer(ws::ButtonKind::Check, parent, this);
    }
    ws::ButtonPeer* peer() const { return PeerAs<ws::ButtonPeer>(); }
    void PeerCreated() override;
    void PeerChanged(int code) override;

private:
    bool checked_ = false;
};

// Radio button: setting Checked to true turns the siblings off and runs the click handler;
// setting it to false runs nothing.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    std::string ClassName() const override { return "TRadioButton"; }
    void Dispatch(TMessage& m) override;
    bool Checked() const { return checked_; }
    void SetChecked(bool c);

protected:
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        return ws::NewButtonPeer(ws::ButtonKind::Radio, parent, this);
    }
    ws::ButtonPeer* peer() const { return PeerAs<ws::ButtonPeer>(); }
    void PeerCreated() override;
    void PeerChanged(int code) override;
    // The arrow keys move to the previous or next button of the group and check it.
    bool DoKeyDown(WORD& key, TShiftState shift) override;

private:
    bool checked_ = false;
};

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    std::string ClassName() const override { return "TButton"; }
    int ModalResult = 0;
    bool Default = false;
    bool Cancel = false;
    void Click() override;
    void Dispatch(TMessage& m) override;

protected:
    // Told whether the button draws as the default button now: while it has the focus, and
    // while it is the Default button and has none.
    virtual void SetButtonStyle(bool /*isDefault*/) {}
    void peerFocus(bool in) override;
    // The button kind of its window style (BS_OWNERDRAW: the control draws every look).
    virtual DWORD ButtonStyle() const { return 0; }
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        const bool ownerDraw = (ButtonStyle() & 0xF) == 0xB;
        return ws::NewButtonPeer(ownerDraw ? ws::ButtonKind::OwnerDraw : ws::ButtonKind::Push,
                                 parent, this);
    }
    ws::ButtonPeer* peer() const { return PeerAs<ws::ButtonPeer>(); }
    void PeerChanged(int code) override;
};

// Items of a list or combo box: a string list that keeps the widget in step.
class TListControlItems : public TStringList {};

// Owner drawing of list and combo boxes: the state is the ODS_ bits of the item.
using TOwnerDrawState = unsigned;
using TDrawItemEvent = std::function<void(TWinControl*, int, const TRect&, TOwnerDrawState)>;
using TMeasureItemEvent = std::function<void(TWinControl*, int, int&)>;
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    std::string ClassName() const override { return "TComboBox"; }
    // The items as the Items property gives them: the window's own list, or the object a
    // descendant puts in its place (which reaches the window through its messages).
    TStrings* Items() { return itemsObject_ ? itemsObject_.get() : &items_; }
    int ItemIndex() const;
    void SetItemIndex(int i);
    std::string GetText() const override;
    TComboBoxStyle Style = csDropDown;
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int n);
    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    // Owner-drawn styles draw through these (and the canvas, bound while an item draws).
    void SetStyle(TComboBoxStyle s);
    int ItemHeight() const { return itemHeight_; }
    virtual void SetItemHeight(int h);
    TCanvas* Canvas() { return &itemCanvas_; }
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    void Dispatch(TMessage& m) override;  // CN_DRAWITEM, CN_MEASUREITEM, CB_ messages
    // The items kept in alphabetical order (without regard to case).
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    // Typing selects the first item that begins with what was typed; a box with an edit part
    // completes the text with the rest of the item, selected, so typing on replaces it.
    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool on) { autoComplete_ = on; }
    // Typing opens the list.
    bool AutoDropDown() const { return autoDropDown_; }
    void SetAutoDropDown(bool on) { autoDropDown_ = on; }
    // The style the window was made with (CBS_ bits).
    DWORD WindowStyle() const { return windowStyle_; }

protected:
    // The window style of the box: its kind, owner drawing and sorting.
    virtual void CreateParams(TCreateParams& params);
    // The window takes the style CreateParams gives anew, as a re-created window would.
    void RecreateWnd();
    bool OwnerDrawnWindow() const {
        return (windowStyle_ & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
    }
    bool DoKeyPress(char& key) override;
    // Selects the first item that begins with the text (CB_FINDSTRING); a box with an edit
    // part shows the text completed by the rest of the item, that rest selected. False when
    // no item begins with it.
    virtual bool SelectItem(const std::string& prefix);
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        return ws::NewComboPeer(parent, this);
    }
    ws::ComboPeer* peer() const { return PeerAs<ws::ComboPeer>(); }
    void PeerCreated() override;
    void PeerChanged(int code) override;
    UINT OwnerDrawType() const override { return OwnerDrawnWindow() ? 3 /* ODT_COMBOBOX */ : 0; }
    bool IsOwnerDrawn() const { return Style == csOwnerDrawFixed || Style == csOwnerDrawVariable; }
    // Whether the widget has an edit part (the class library's own boxes choose only).
    virtual bool EditablePeer() const { return false; }
    virtual void DrawItem(int index, const TRect& r, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    // CN_MEASUREITEM: the box's item height, and MeasureItem for variable heights.
    void measureMessage(TMessage& m);
    // The edit part's text while the list is closed.
    virtual std::string ItemText(int index) const {
        return index >= 0 && index < items_.Count() ? items_[index] : "";
    }
    TCanvas itemCanvas_;
    int itemHeight_ = 16;
    virtual void SyncItems();
    virtual int IndentOf(int) const { return 0; }
    void SetItemsObject(std::unique_ptr<TStrings> items) { itemsObject_ = std::move(items); }
    TStringList items_;  // what the window holds
    std::unique_ptr<TStrings> itemsObject_;
    int itemIndex_ = -1;
    int dropDownCount_ = 8;
    int droppedWidth_ = 0;  // the list's least width (CB_SETDROPPEDWIDTH); 0: the box's

private:
    // Asks the heights of owner-drawn items (CN_MEASUREITEM): one for all, or each item's.
    void measureItems();
    int measuredHeight(int index);
    bool typeAhead(char key);
    bool appended_ = false;  // the change under way adds the last item and nothing else
    int widgetItems_ = 0;    // the items the widget holds, as the list last gave them to it
    DWORD windowStyle_ = CBS_DROPDOWN;
    bool sorted_ = false;
    bool autoComplete_ = true;
    bool autoDropDown_ = false;
    std::string typed_;       // what a box without an edit part was typed lately
    uint32_t lastTyped_ = 0;  // when (tick count)
};

// Extended combo box: items with indent and image indexes.
struct TComboExItem {
    std::string Caption;
    int Indent = 0;
    int ImageIndex = -1;
    int SelectedImageIndex = -1;
    int OverlayImageIndex = -1;
    void* Data = nullptr;
};
class TComboBoxEx : public TComboBox {
public:
    explicit TComboBoxEx(TComponent* owner);
    std::string ClassName() const override { return "TComboBoxEx"; }
    // Adds an item with its caption, indent and images, like ItemsEx.AddItem.
    void AddItem(const std::string& caption, int imageIndex, int selectedImageIndex,
                 int overlayImageIndex, int indent, void* data);
    const TComboExItem& ItemEx(int i) const { return itemsEx_.at(size_t(i)); }
    int ItemExCount() const { return int(itemsEx_.size()); }
    void ClearItems();

protected:
    int IndentOf(int i) const override {
        return i < int(itemsEx_.size()) ? itemsEx_[size_t(i)].Indent : 0;
    }

private:
    std::vector<TComboExItem> itemsEx_;
};

enum TListBoxStyle {
    lbStandard,
    lbOwnerDrawFixed,
    lbOwnerDrawVariable,
    lbVirtual,
    lbVirtualOwnerDraw
};
// The virtual styles' callbacks: an item's text, its object, and the index of an item with
// the text (-1 for none).
using TLBGetDataEvent = std::function<void(TWinControl* Control, int Index, std::string& Data)>;
using TLBGetDataObjectEvent =
    std::function<void(TWinControl* Control, int Index, TObject*& DataObject)>;
using TLBFindDataEvent = std::function<int(TWinControl* Control, const std::string& FindString)>;

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    std::string ClassName() const override { return "TListBox"; }
    TListBoxStyle Style() const { return style_; }
    virtual void SetStyle(TListBoxStyle s);
    int ItemHeight() const { return itemHeight_; }
    virtual void SetItemHeight(int h);
    TCanvas* Canvas() { return &itemCanvas_; }
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    // The virtual styles keep no strings: the window has Count rows, and their texts, objects
    // and searches come from these callbacks (the window's item messages answer from them).
    TLBGetDataEvent OnData;
    TLBGetDataObjectEvent OnDataObject;
    TLBFindDataEvent OnDataFind;
    bool IsVirtual() const { return style_ == lbVirtual || style_ == lbVirtualOwnerDraw; }
    int Count() const { return items_.Count(); }
    // Only a virtual list's count is set; any other raises EListError.
    void SetCount(int n);
    virtual std::string DoGetData(int Index);
    virtual TObject* DoGetDataObject(int Index);
    virtual int DoFindData(const std::string& Data);
    int TopIndex() const { return peer_ ? peer()->topIndex() : 0; }
    void SetTopIndex(int i) {
        if (peer_) peer()->setTopIndex(i);
    }
    // The item at a client point: -1 when none, or with `existing` false the nearest.
    int ItemAtPos(const TPoint& p, bool existing) const;
    TRect ItemRect(int i) const;
    int HorizontalExtent() const { return extent_; }
    void Dispatch(TMessage& m) override;  // CN_DRAWITEM, CN_MEASUREITEM, LB_ messages
    // A press on a list that drags by itself selects first, then starts the drag.
    void WndProc(TMessage& m) override;
    // The items as the Items property gives them: the window's own list, or the object a
    // descendant puts in its place (which reaches the window through its messages).
    TStrings* Items() { return itemsObject_ ? itemsObject_.get() : &items_; }
    int ItemIndex() const;
    void SetItemIndex(int i);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool m);
    // With several selected: whether a click selects one item (Shift and Ctrl widening
    // the selection) rather than toggling the one clicked. On by default.
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool e);
    bool Selected(int i) const;
    void SetSelected(int i, bool s);
    int SelCount() const;
    void Clear() { Items()->Clear(); }
    // The sunken three-dimensional border (the default) or a flat one.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on) {
        ctl3D_ = on;
        if (peer_) peer()->setCtl3D(on);
    }

protected:
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        return ws::NewListPeer(parent, this);
    }
    ws::ListPeer* peer() const { return PeerAs<ws::ListPeer>(); }
    void PeerCreated() override;
    void PeerChanged(int code) override;
    UINT OwnerDrawType() const override { return IsOwnerDrawn() ? 2 /* ODT_LISTBOX */ : 0; }
    // A virtual list keeps no strings for the window to draw: its rows are drawn from the data.
    bool IsOwnerDrawn() const { return style_ != lbStandard; }
    virtual void DrawItem(int index, const TRect& r, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    // The text row `index` shows: from the data callbacks in a virtual list (whose rows hold
    // none), else from Items.
    std::string RowText(int index);
    // Scroll bars the window shows (both by default).
    virtual TScrollStyle ScrollBarStyle() const { return ssBoth; }
    void ApplyScrollBars() {
        if (peer_)
            peer()->setScrollBars(ScrollBarStyle() == ssHorizontal || ScrollBarStyle() == ssBoth,
                                  ScrollBarStyle() == ssVertical || ScrollBarStyle() == ssBoth);
    }
    void SyncItems();
    // Mouse messages: the window's own handling, the mouse events, and the automatic drag.
    void listMouse(TMessage& m);
    virtual void ItemChanged(TStringList::TChange what, int index);
    virtual void ItemChanging(TStringList::TChange /*what*/, int /*index*/) {}
    void applyOwnerDraw();
    // Variable heights: asks the item's height (CN_MEASUREITEM) and sets it.
    void measureItemAt(int index);
    bool virtualItemMessage(TMessage& m);
    TCanvas itemCanvas_;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    bool itemHeightGiven_ = false;  // a plain list's rows take it only when the form gives it
    int extent_ = 0;
    std::vector<int> heights_;
    void SetItemsObject(std::unique_ptr<TStrings> items) { itemsObject_ = std::move(items); }
    TStringList items_;  // what the window holds
    std::unique_ptr<TStrings> itemsObject_;
    int itemIndex_ = -1;
    std::vector<bool> selected_;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    bool ctl3D_ = true;
    bool nativePressed_ = false;  // the window saw the left press (and hears its release)
};

// The class library's bases of its combo and list boxes.
using TCustomComboBox = TComboBox;
using TCustomListBox = TListBox;

class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* owner);
    std::string ClassName() const override { return "TGroupBox"; }
    void Paint() override;
};

// Scoped: the styled layer's bevel styles share the first three names.
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);
    std::string ClassName() const override { return "TPanel"; }
    void Paint() override;
    TBevelCut BevelInner = TBevelCut::bvNone;
    TBevelCut BevelOuter = TBevelCut::bvRaised;
    int BevelWidth = 1;
    TAlignment Alignment = taCenter;
    bool ParentBackground = false;
};

enum TBorderStyle { bsNoBorder, bsSingleBorder };
class TScrollBox : public TCustomControl {
public:
    explicit TScrollBox(TComponent* owner);
    std::string ClassName() const override { return "TScrollBox"; }
    void Paint() override;
    TBorderStyle BorderStyle = bsSingleBorder;
    bool HorzScrollBarVisible = true;
    bool VertScrollBarVisible = true;
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    std::string ClassName() const override { return "TImage"; }
    TPicture* Picture() { return &picture_; }
    void Paint() override;
    bool Stretch = false;
    bool Center = false;
    bool Transparent = false;
    bool Proportional = false;

private:
    TPicture picture_;
};

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    std::string ClassName() const override { return "TSpeedButton"; }
    void Paint() override;
    void Dispatch(TMessage& m) override;
    bool Flat = false;
    bool Transparent = true;
    bool Down = false;
    int GroupIndex = 0;
    bool AllowAllUp = false;
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
    TBitmap* Glyph() { return &glyph_; }
    int NumGlyphs = 1;

private:
    TBitmap glyph_;
    bool pressed_ = false;
};

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);
    std::string ClassName() const override { return "TProgressBar"; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetMin(int v) {
        min_ = v;
        sync();
    }
    void SetMax(int v) {
        max_ = v;
        sync();
    }
    void SetPosition(int v);
    int Step = 10;
    void StepIt() { SetPosition(position_ + Step); }

protected:
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        return ws::NewRangePeer(parent, this);
    }
    ws::RangePeer* peer() const { return PeerAs<ws::RangePeer>(); }
    void PeerCreated() override { sync(); }

private:
    void sync();
    int min_ = 0, max_ = 100, position_ = 0;
};

// A non-visual component whose OnTimer runs every Interval ms while Enabled.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    std::string ClassName() const override { return "TTimer"; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    TNotifyEvent OnTimer;
    void Loaded() override;

private:
    void update();
    bool enabled_ = true;
    unsigned interval_ = 1000;
    HWND window_ = nullptr;
};
