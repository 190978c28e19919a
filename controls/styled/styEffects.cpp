#include "controls/styled/styEffects.h"

#include <cmath>

#include "controls/styled/styFiler.h"
#include "controls/styled/styImageLists.h"

// ---------------------------------------------------------------- alpha object

TStyAlphaObject::TStyAlphaObject()
    : fill_(std::make_unique<TStyFillObject>()), link_(std::make_unique<TStyChangeLink>()) {
    fill_->OnChange = [this](TObject* s) { SubObjectChanged(s); };
    link_->OnChange = [this](TObject*) { LoadListImage(); };
}

// The link's sender is cleared when the list is freed first, so it is what we unregister from.
TStyAlphaObject::~TStyAlphaObject() {
    if (link_->Sender) link_->Sender->UnRegisterChanges(link_.get());
}

TStyCustomImageList* TStyAlphaObject::ImageList() const {
    return link_->Sender ? imageList_ : nullptr;
}

void TStyAlphaObject::SetImageList(TStyCustomImageList* list) {
    if (link_->Sender) link_->Sender->UnRegisterChanges(link_.get());
    imageList_ = list;
    if (imageList_) imageList_->RegisterChanges(link_.get());
    LoadListImage();
}

void TStyAlphaObject::SetIndex(int index, int value) {
    (index == 0 ? imageIndex_ : listIndex_) = value;
    LoadListImage();
}

void TStyAlphaObject::LoadListImage() {
    // A list freed before us has unregistered our link.
    if (!link_->Sender) imageList_ = nullptr;
    if (imageList_ && imageList_->HasImage(listIndex_, imageIndex_)) {
        TBitmap image;
        imageList_->GetBitmap(listIndex_, imageIndex_, &image);
        fill_->BeginUpdate();
        fill_->SetListBitmap(&image);
        fill_->EndUpdate(false);
    } else {
        fill_->BeginUpdate();
        fill_->SetListBitmap(nullptr);
        fill_->EndUpdate(false);
    }
    SubObjectChanged(fill_.get());
}

void TStyAlphaObject::SetStrength(float s) {
    if (s == strength_) return;
    strength_ = s;
    SubObjectChanged(this);
}

bool TStyAlphaObject::ImageListStored() const {
    return ImageList() && !StyIsSharedList(ImageList());
}

bool TStyAlphaObject::StrengthStored() const {
    return std::lround(double(strength_) * 1000000) != 600000;
}

void TStyAlphaObject::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyAlphaObject*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    BeginUpdate();
    fill_->Assign(other->fill_.get());
    flag_ = other->flag_;
    strength_ = other->strength_;
    imageIndex_ = other->imageIndex_;
    listIndex_ = other->listIndex_;
    SetImageList(other->ImageList());
    EndUpdate(true);
}

std::string TStyAlphaObject::GetDescription() const {
    if (fill_->Style() == sfNone) return "{Disabled}";
    std::string kind;
    switch (fill_->Style()) {
        case sfBrush:
            kind = "brush";
            break;
        case sfBitmap:
        case sfBitmapList:
            kind = "bmp";
            break;
        case sfGradient:
            kind = "grad";
            break;
        default:
            break;
    }
    return "{Enabled (" + kind + "), strength: " + Format("%.3f", double(strength_)) + "}";
}

void TStyAlphaObject::DefineProperties(TStyFiler& filer) {
    StyDefineSharedListReference(
        filer, [this] { return ImageList(); },
        [this](TStyCustomImageList* list) { SetImageList(list); });
}

// ---------------------------------------------------------------- bitmap-effect object

TStyBitmapEffectObject::TStyBitmapEffectObject() : alpha_(std::make_unique<TStyAlphaObject>()) {
    alpha_->OnChange = [this](TObject* s) { SubObjectChanged(s); };
}

void TStyBitmapEffectObject::SetEffect(int index, bool value) {
    if (index < 0 || index > beSpare || flags_[index] == value) return;
    flags_[index] = value;
    if (index == beBuffered) {
        valid_ = false;
        if (value)
            buffer_ = std::make_unique<TBitmap>();
        else
            buffer_.reset();
    }
    SubObjectChanged(this);
}

void TStyBitmapEffectObject::SetBrightness(int16_t b) {
    if (b == brightness_) return;
    brightness_ = b;
    SubObjectChanged(this);
}

void TStyBitmapEffectObject::SubObjectChanged(TObject* sender) {
    TStyObject::SubObjectChanged(sender);
    valid_ = false;
}

void TStyBitmapEffectObject::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyBitmapEffectObject*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    BeginUpdate();
    for (int i = 0; i <= beSpare; ++i) SetEffect(i, other->flags_[i]);
    brightness_ = other->brightness_;
    alpha_->Assign(other->alpha_.get());
    EndUpdate(true);
}

std::string TStyBitmapEffectObject::GetDescription() const {
    std::vector<std::string> names;
    if (alpha_->FillObject()->Style() != sfNone) names.push_back("alpha");
    if (FlipVertical()) names.push_back("FV");
    if (FlipHorizontal()) names.push_back("FH");
    if (GrayScale()) names.push_back("GS");
    if (Invert()) names.push_back("INV");
    if (brightness_ != 0) names.push_back("B");
    std::string s;
    for (const std::string& n : names) s += (s.empty() ? "" : ",") + n;
    return "{" + (s.empty() ? std::string("Disabled") : s) + "}";
}

// ---------------------------------------------------------------- shadow

void TStyShadow::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyShadow*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    BeginUpdate();
    style_ = other->style_;
    color_ = other->color_;
    depth_ = other->depth_;
    EndUpdate(true);
}

std::string TStyShadow::GetDescription() const {
    if (style_ == hssNone) return "{Disabled}";
    return std::string("{") + (style_ == hssSolid ? "solid" : "tracing") + ", " + IntToStr(depth_) +
           "}";
}
