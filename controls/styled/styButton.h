// The owner-drawn button of the styled layer: a real push button (focus, keys, the pressed
// state while held and the click belong to the window) whose every look is painted here: a
// glyph of up to five cells or an image of an image list, a caption with effects, one of
// fourteen frame styles, a mouse-over look and a click repeated while the button is held.
#pragma once

#include <memory>

#include "controls/styled/styChangeLink.h"
#include "controls/styled/styGlyph.h"
#include "controls/styled/styGraph.h"
#include "controls/styled/styImageLists.h"
#include "platform/user/ownerDraw.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/stdctrls.h"

using TStyNumGlyphs = uint8_t;  // 0..5

class TStyCustomButton : public TButton {
public:
    explicit TStyCustomButton(TComponent* owner);
    ~TStyCustomButton() override;
    std::string ClassName() const override { return "TStyCustomButton"; }

    void Dispatch(TMessage& m) override;
    void Click() override;
    void Loaded() override;
    void Notification(TComponent* c, TOperation op) override;
    void SetBounds(int l, int t, int w, int h) override;
    void SetVisible(bool v) override;
    // The glyph bitmap's palette.
    HPALETTE GetPalette() override { return Glyph()->Palette(); }

    TBitmap* Glyph() const { return glyph_->Glyph(); }
    // Takes a copy; an assigned image list is let go first (except while loading).
    void SetGlyph(const TBitmap* b);
    TStyNumGlyphs NumGlyphs() const { return glyph_->NumGlyphs(); }
    void SetNumGlyphs(TStyNumGlyphs n);
    TStyGlyph* GlyphObject() const { return glyph_.get(); }
    TStyUserButtonStyle ExtStyle() const { return extStyle_; }
    void SetExtStyle(TStyUserButtonStyle s);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);
    bool UseCaption() const { return useCaption_; }
    void SetUseCaption(bool v);
    // The button keeps its own layout and effects: setting copies into them (and repaints).
    TStyButtonLayout* ButtonLayout() const { return layout_.get(); }
    void SetButtonLayout(const TStyButtonLayout* v) { layout_->Assign(v); }
    TStyFxCaption* FontFX() const { return fontFX_.get(); }
    void SetFontFX(const TStyFxCaption* v) { fontFX_->Assign(v); }

    TStyCustomImageList* ImageList() const { return imageList_; }
    // Runs also for the list already assigned (the glyph is taken from it again).
    void SetImageList(TStyCustomImageList* list);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { SetIndex(0, v); }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int v) { SetIndex(1, v); }
    // The glyph from ImageList (ListIndex, ImageIndex), cleared when the list has no such image.
    void GlyphFromImageList();
    // What a form file stores: the glyph unless it comes from an image list (an arrow cell
    // is stored as well); the list unless it is one of the layer's shared lists, which go
    // by name under "Internal".
    bool GlyphStored() const;
    bool ImageListStored() const;
    // "Internal": the name of a shared list; "Style": read only, the style of older forms.
    virtual void DefineProperties(TStyFiler& filer);

    // A menu that a click opens below the button (or beside it with DropDownRight).
    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    // The button hears of the menu's removal wherever the menu is owned.
    void SetDropDownMenu(TPopupMenu* menu);
    int DropDownIndent = 0;
    bool DropDownRight = false;
    TNotifyEvent OnDropDown;
    bool Dropped() const { return dropped_; }
    // Opens the drop-down menu, the button shown pressed until the menu closes.
    void DropDown();

    bool RepeatedClick = false;
    uint16_t RepeatingDelay = 500;
    uint16_t RepeatingInterval = 100;
    bool HideHint = true;
    TNotifyEvent OnMouseExit;  // OnMouseEnter is the class library's
    std::string About;

    // What the last paint showed: 0 normal, 1 disabled, 2 mouse over, 4 pressed.
    uint8_t State() const { return state_; }
    bool MouseOver() const { return mouseOver_; }
    bool DefaultLook() const { return defaultLook_; }
    uint16_t RepeatTimerId() const { return repeatTimerId_; }
    // The frame flags of the last paint.
    uint16_t FrameFlags() const { return frameFlags_; }
    int PaintCount() const { return paintCount_; }
    // The built-in arrow cell used as glyph (0: none).
    uint8_t ArrowKind = 0;

    virtual void BoundsChanged(uint8_t /*changes*/) {}
    virtual void DrawContent(TCanvas* c, const TRect& r, UINT textFlags);
    virtual void DrawButton(const DRAWITEMSTRUCT& dis);
    virtual void RepeatClick();
    void StopRepeatTimer();

protected:
    virtual void CreateParams(TCreateParams& params);
    DWORD ButtonStyle() const override;
    void SetButtonStyle(bool isDefault) override;
    // Besides caption, state and click: the glyph shows the action's image of its list.
    void ActionChange(TObject* sender, bool checkDefaults) override;
    // A look object, the font or the glyph changed.
    void ObjectChanged(TObject* sender);

private:
    void SetIndex(int which, int v);
    void Repaint();
    void RepeatTimerTick(TObject*);

    std::unique_ptr<TStyButtonLayout> layout_;
    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<TStyFxCaption> fontFX_;
    bool defaultLook_ = false;
    bool mouseOver_ = false;
    bool multiLine_ = false;
    uint8_t state_ = 0;
    TStyUserButtonStyle extStyle_ = ubsAutoDetect;
    uint16_t repeatTimerId_ = 0;
    bool useCaption_ = true;
    TStyCustomImageList* imageList_ = nullptr;
    TPopupMenu* dropDownMenu_ = nullptr;
    bool dropped_ = false;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    std::unique_ptr<TStyChangeLink> changeLink_;
    std::unique_ptr<TStyGlyph> glyph_;
    // The glyph is the copy of an action's image: the action's next change shows its image
    // anew instead of clearing it as a glyph of the form's own.
    bool glyphFromAction_ = false;
    uint16_t frameFlags_ = 0;
    int paintCount_ = 0;
};

class TStyButton : public TStyCustomButton {
public:
    using TStyCustomButton::TStyCustomButton;
    std::string ClassName() const override { return "TStyButton"; }
};

void RegisterStyButton();
