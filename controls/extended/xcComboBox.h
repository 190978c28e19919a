// The extended combo box: a read-only mode, a grey text shown while the box is empty and
// unfocused, a choice of when owner-drawn heights are measured, and a width limit in pixels
// for the edit text.
#pragma once

#include <memory>
#include <string>

#include "controls/extended/xcDataConsumerView.h"
#include "controls/extended/xcExControls.h"
#include "controls/extended/xcItemStrings.h"
#include "platform/user/listMessages.h"

enum TXcComboBoxMeasureStyle { cmsStandard, cmsAfterCreate, cmsBeforeDraw };

// A width limit in pixels for a text, measured in the control's font or an own one.
class TXcMaxPixel : public TPersistent {
public:
    TXcMaxPixel(TControl* owner, std::function<void()> onChange);
    std::string ClassName() const override { return "TXcMaxPixel"; }
    bool UseControlFont() const { return useControlFont_; }
    void SetUseControlFont(bool on);
    int Length() const { return length_; }
    void SetLength(int px);
    TFont* Font() { return &font_; }
    void SetFont(const TFont& f) { font_.Assign(f); }
    // Cuts characters from the end until the text is at most Length pixels wide; answers
    // whether it was wider. Length 0: no limit (the text stays, the answer is true).
    bool Test(std::string& Text, TFont* ControlFont);

private:
    void changed() {
        if (onChange_) onChange_();
    }
    TControl* owner_;
    std::function<void()> onChange_;
    bool useControlFont_ = true;
    int length_ = 0;
    TFont font_;
};

class TXcCustomComboBox : public TXcExCustomComboBox {
public:
    explicit TXcCustomComboBox(TComponent* owner);
    ~TXcCustomComboBox() override;
    std::string ClassName() const override { return "TXcCustomComboBox"; }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    std::string EmptyValue() const { return emptyValue_; }
    void SetEmptyValue(const std::string& s);
    TColor EmptyFontColor() const { return emptyFontColor_; }
    void SetEmptyFontColor(TColor c) { emptyFontColor_ = c; }
    bool EmptyValueShown() const { return emptyShown_; }
    TXcComboBoxMeasureStyle MeasureStyle() const { return measureStyle_; }
    void SetMeasureStyle(TXcComboBoxMeasureStyle s);
    TXcMaxPixel* MaxPixel() { return maxPixel_.get(); }
    // The data consumer: while it has a provider the box shows the provider's items, keeps
    // its own strings aside, and a choice selects the provider's item.
    TXcDataConsumer* Provider() { return provider_.get(); }
    bool ProviderSelected() const { return providerSelected_; }
    // Empty while the empty value shows.
    std::string GetText() const override;
    void SetItemHeight(int h) override;
    void Loaded() override;
    void Dispatch(TMessage& m) override;

protected:
    void WndProc(TMessage& m) override;
    void CreateParams(TCreateParams& params) override;
    // The provider's item of a row (-1: the selected item, which the edit part shows); none
    // without a provider or outside the rows.
    TXcBaseDataItem* ProviderItem(int Index) const;
    // The next row from after the start (wrapping once) whose item's text equals the text or
    // begins with it, without regard to case; rows without a text never match.
    int FindProviderRow(const std::string& Text, int StartIndex, bool Exact) const;
    void PeerCreated() override;
    void SyncItems() override;
    void DrawItem(int index, const TRect& r, TOwnerDrawState state) override;
    void MeasureItem(int index, int& height) override;
    bool DoKeyDown(WORD& key, TShiftState shift) override;
    bool DoKeyPress(char& key) override;
    bool EditablePeer() const override { return Style == csDropDown || Style == csSimple; }
    void PeerChanged(int code) override;
    virtual std::string TextValue() const;
    virtual void SetTextValue(const std::string& s);
    virtual void HideEmptyValue();
    virtual void ShowEmptyValue();
    virtual void MeasureItemHeight(int Index, int& Height);
    virtual std::string ItemTextOf(int Index);
    // Heights of the edit part and the items, for the styles that measure them all.
    void MeasureAll();
    void MaxPixelChanged();

private:
    // Read-only: the messages that would change the choice or the text end here.
    bool refusedWhileReadOnly(TMessage& m);

    TXcComboBoxMeasureStyle measureStyle_ = cmsStandard;
    std::unique_ptr<TXcMaxPixel> maxPixel_;
    bool readOnly_ = false;
    int lastItemHeight_ = 16;
    bool fixedHeight_ = true;  // the window has one height for all items
    std::string emptyValue_;
    bool emptyShown_ = false;
    TColor emptyFontColor_ = clGrayText;
    TColor savedFontColor_ = clWindowText;
    void providerChanged();
    XcRef<TXcDataConsumer> provider_;
    std::unique_ptr<TXcConsumerStrings> consumerStrings_;
    TXcComboBoxStrings* itemStrings_ = nullptr;  // Items (owned by the base)
    bool providerSelected_ = false;
};

class TXcComboBox : public TXcCustomComboBox {
public:
    explicit TXcComboBox(TComponent* owner) : TXcCustomComboBox(owner) {}
    std::string ClassName() const override { return "TXcComboBox"; }
};

void RegisterXcComboBox();
