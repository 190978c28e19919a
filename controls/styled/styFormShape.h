// The shaped form: a component that gives the form it sits on the outline of its region
// (SetWindowRgn), paints the form's background with a fill object and the region's border,
// and lets the user drag the form by its background. And the lookup the control bases find
// it with.
#pragma once

#include <memory>

#include "controls/styled/styFillObject.h"
#include "controls/styled/styRegion.h"
#include "controls/styled/styWndProc.h"
#include "platform/user/paint.h"
#include "platform/vcl/forms.h"

class TStyCustomImageList;

class TStyFormShape : public TStyWndProcComponent {
public:
    explicit TStyFormShape(TComponent* owner);
    ~TStyFormShape() override;
    std::string ClassName() const override { return "TStyFormShape"; }

    TStyBorderRegion* Region() const { return region_.get(); }
    void SetRegion(const TStyRegion* r) { region_->Assign(r); }
    TStyFillObject* FillObject() const { return fill_.get(); }
    void SetFillObject(const TStyFillObject* f) { fill_->Assign(f); }
    bool ShowFormCaption = true;
    bool FormDragable = true;
    bool UseRgnBitmap = true;

    TStyCustomImageList* ImageList() const;
    // The shape hears of the list's removal wherever the list is owned. The list's image is
    // taken at once, and again whenever the list changes (none without a list).
    void SetImageList(TStyCustomImageList* list);
    // The image of the list that an sfBitmapList fill shows. A negative index or the current
    // one changes nothing; another is taken from the list at once and the form repainted.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { SetIndex(0, v); }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int v) { SetIndex(1, v); }
    // Stored unless it is one of the layer's shared lists (those are stored by name).
    bool ImageListStored() const;

    void Loaded() override;
    void Notification(TComponent* c, TOperation op) override;
    void WndProc(TMessage& m) override;
    // "Internal": the name of a shared image list.
    void DefineProperties(TStyFiler& filer) override;

    bool NeedsBackground() const;
    // Builds the form's window region from Region and sets it.
    void ApplyRegion();
    // Fills the form's client area and draws the region's border.
    void PaintBackground(HDC dc);

    // Whether the right button is down on the non-client area.
    bool NcRightDown() const { return ncRightDown_; }

private:
    TForm* Form() const { return dynamic_cast<TForm*>(Owner()); }
    void Changed(TObject* sender);
    void SetIndex(int which, int v);
    // The list's image (ListIndex, ImageIndex) into the fill object, empty when there is none.
    void LoadListImage();
    std::unique_ptr<TStyBorderRegion> region_;
    std::unique_ptr<TStyFillObject> fill_;
    std::unique_ptr<TBitmap> listBitmap_;
    std::unique_ptr<TStyChangeLink> link_;
    TStyCustomImageList* imageList_ = nullptr;
    bool ncRightDown_ = false;
    int imageIndex_ = 0;
    int listIndex_ = 0;
};

// Registers TStyFormShape for form files.
void RegisterStyFormShape();

// The index of the first component owned by the form that is a T (or descends from it);
// -1 for no form, an owner that is not a TForm, or none of that class.
template <class T>
int FindComponentIndexByClass(TComponent* form) {
    if (!dynamic_cast<TForm*>(form)) return -1;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (dynamic_cast<T*>(form->Components(i))) return i;
    return -1;
}
