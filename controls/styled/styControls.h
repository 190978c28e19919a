// The bases of the styled layer's windowless controls, each adding one concern:
// TStyControl (mouse enter and exit, bounds changes, the update counter, the per-control
// theme switch), TStyBaseControl (the parent-background message), TStyBaseGraphicControl
// (opaque or transparent repaint, the filled-parent test) and TStyGraphicControl (the bevel
// painted as the control's frame).
#pragma once

#include <functional>
#include <memory>

#include "controls/styled/styBevel.h"
#include "controls/styled/styChangeLink.h"
#include "controls/styled/styEffects.h"
#include "controls/styled/styImageLists.h"
#include "platform/vcl/controls.h"

// Component messages of the styled layer.
constexpr UINT CM_STYREPAINT = 45261;          // B0CD: repaint request
constexpr UINT CM_STYPARENTBKCHANGED = 45262;  // B0CE: the parent's background changed
constexpr UINT CM_STYBEVELCHANGED = 45265;     // B0D1: the bevel was assigned

enum TStyBoundsChange : uint8_t { bcSize, bcPosition };
// A set of TStyBoundsChange: bit 0 size, bit 1 position.
using TStyBoundsChanges = uint8_t;
constexpr TStyBoundsChanges bcsSize = 1, bcsPosition = 2;
using TStyBoundsChangeEvent = std::function<void(TObject* sender, TStyBoundsChanges changes)>;

class TStyControl : public TGraphicControl {
public:
    explicit TStyControl(TComponent* owner) : TGraphicControl(owner) {}
    std::string ClassName() const override { return "TStyControl"; }

    void SetBounds(int l, int t, int w, int h) override;
    void Dispatch(TMessage& m) override;

    bool CtlXP() const { return ctlXP_; }
    void SetCtlXP(bool v);
    bool IsThemed() const;
    bool IsUpdating() const { return updateCount_ > 0; }
    // Repaints requested by owned look objects are held back between these two.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void DrawDesignFrame();

    std::string About;
    TNotifyEvent OnMouseExit;  // OnMouseEnter is the class library's
    TStyBoundsChangeEvent OnBoundsChange;

    virtual void ThemeChanged();
    virtual bool SupportsThemes() const { return false; }
    virtual void BoundsChanged(TStyBoundsChanges changes);
    virtual void MouseEnter();
    virtual void MouseExit();
    // What owned look objects call when they change.
    virtual void GetChange(TObject* sender);
    virtual bool DesignFrameWanted() const { return true; }

    // This platform has no form designer.
    bool Designing() const { return false; }

protected:
    int updateCount_ = 0;

private:
    bool ctlXP_ = false;
};

class TStyBaseControl : public TStyControl {
public:
    explicit TStyBaseControl(TComponent* owner);
    ~TStyBaseControl() override;
    std::string ClassName() const override { return "TStyBaseControl"; }
    void Dispatch(TMessage& m) override;
    void Notification(TComponent* c, TOperation op) override;

    virtual bool HasFilledParent() const { return false; }
    virtual void ImageListChanged(TObject* sender) { GetChange(sender); }

    TStyCustomImageList* ImageList() const { return imageList_; }
    void SetImageList(TStyCustomImageList* list);
    TStyBitmapEffectObject* Effects() const { return effects_.get(); }
    // "Internal": the name of a shared list ("STYBML30", "STYIML30"); any other name
    // read back unlinks the list.
    virtual void DefineProperties(TStyFiler& filer);

private:
    TStyCustomImageList* imageList_ = nullptr;
    std::unique_ptr<TStyChangeLink> imageListLink_;
    std::unique_ptr<TStyBitmapEffectObject> effects_;
};

class TStyBaseGraphicControl : public TStyBaseControl {
public:
    explicit TStyBaseGraphicControl(TComponent* owner);
    std::string ClassName() const override { return "TStyBaseGraphicControl"; }
    void Dispatch(TMessage& m) override;
    void Paint() override;

    // Invalidates a transparent control; paints an opaque one at once.
    void Redraw();
    void GetChange(TObject* sender) override;
    bool HasFilledParent() const override;
    bool Transparent() const { return transparent_; }

protected:
    // Painted whole at once from now on; the parent paints no background under it.
    void SetOpaque() {
        transparent_ = false;
        ControlStyle = ControlStyle + csOpaque;
    }
    bool transparent_ = true;
    bool painting_ = false;
};

class TStyGraphicControl : public TStyBaseGraphicControl {
public:
    explicit TStyGraphicControl(TComponent* owner);
    ~TStyGraphicControl() override;
    std::string ClassName() const override { return "TStyGraphicControl"; }
    void Paint() override;

    TStyBevel* Bevel() const { return bevel_.get(); }
    // Copies the settings of `b` into the owned bevel.
    void SetBevel(const TStyBevel* b);
    int GetBevelExtent() const { return bevel_->Extent(); }
    int GetDoubleBevelExtent() const { return 2 * bevel_->Extent(); }

private:
    std::unique_ptr<TStyBevel> bevel_;
};

// Registers the bevel's properties ("Bevel.StyleOuter" and so on) for a class with a bevel.
void RegisterStyBevelProps(const std::string& className);
// The same properties on the bevel's own class, reached through any owner's "Bevel".
void RegisterStyBevelObjectProps(const std::string& className);
// Reads the control bases' "Internal" (the name of a shared list) from form files.
void RegisterStyImageListProps(const std::string& className);
// A border style read from a form (its identifier or its number).
int StyBorderStyleIdent(const TDfmValue& v);
