#include "controls/styled/styControls.h"

#include "controls/styled/styApplication.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/styFormShape.h"
#include "platform/vcl/forms.h"

// ---------------------------------------------------------------- TStyControl

void TStyControl::SetBounds(int l, int t, int w, int h) {
    const int ol = left_, ot = top_, ow = width_, oh = height_;
    TGraphicControl::SetBounds(l, t, w, h);
    TStyBoundsChanges changes = 0;
    if (l != ol || t != ot) changes |= bcsPosition;
    if (w != ow || h != oh) changes |= bcsSize;
    if (changes && !Loading()) BoundsChanged(changes);
}

void TStyControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_MOUSEENTER:
            MouseInside = true;
            if (!Designing()) MouseEnter();
            return;
        case CM_MOUSELEAVE:
            MouseInside = false;
            if (!Designing()) MouseExit();
            return;
        case CM_STYTHEMECHANGED:
            ThemeChanged();
            return;
        default:
            TGraphicControl::Dispatch(m);
    }
}

void TStyControl::SetCtlXP(bool v) {
    if (ctlXP_ == v) return;
    ctlXP_ = v;
    ThemeChanged();
}

bool TStyControl::IsThemed() const {
    return SupportsThemes() && StyApp && StyApp->UseThemes() && ctlXP_;
}

void TStyControl::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
}

void TStyControl::DrawDesignFrame() {
    TCanvas* c = Canvas();
    c->Pen()->Color = clBlack;
    c->Pen()->Width = 1;
    c->Pen()->Style = psDash;
    c->Brush()->Style = bsClear;
    c->Rectangle(0, 0, Width(), Height());
}

void TStyControl::ThemeChanged() {
    if (SupportsThemes()) Invalidate();
}

void TStyControl::BoundsChanged(TStyBoundsChanges changes) {
    if (OnBoundsChange) OnBoundsChange(this, changes);
}

void TStyControl::MouseEnter() {
    if (Enabled() && OnMouseEnter) OnMouseEnter(this);
}

void TStyControl::MouseExit() {
    if (Enabled() && OnMouseExit) OnMouseExit(this);
}

void TStyControl::GetChange(TObject*) {
    if (updateCount_ < 1 && !Loading()) Invalidate();
}

// ---------------------------------------------------------------- TStyBaseControl

TStyBaseControl::TStyBaseControl(TComponent* owner)
    : TStyControl(owner),
      imageListLink_(std::make_unique<TStyChangeLink>()),
      effects_(std::make_unique<TStyBitmapEffectObject>()) {
    imageListLink_->OnChange = [this](TObject* s) { ImageListChanged(s); };
    effects_->OnChange = [this](TObject* s) { GetChange(s); };
}

TStyBaseControl::~TStyBaseControl() {
    // No change reaches a control half gone.
    imageListLink_->OnChange = nullptr;
    effects_->OnChange = nullptr;
}

void TStyBaseControl::SetImageList(TStyCustomImageList* list) {
    // A list that is going has already let its links go.
    if (imageList_ && imageListLink_->Sender == imageList_)
        imageList_->UnRegisterChanges(imageListLink_.get());
    ReferTo(imageList_, list);
    if (list) list->RegisterChanges(imageListLink_.get());
    ImageListChanged(nullptr);
}

void TStyBaseControl::Notification(TComponent* c, TOperation op) {
    TStyControl::Notification(c, op);
    if (op != opRemove || !c) return;
    // The component going may be half destroyed already: it is only compared, never used.
    if (c == static_cast<TComponent*>(imageList_)) {
        // A list that goes lets its links go first.
        if (imageListLink_->Sender == imageList_)
            imageList_->UnRegisterChanges(imageListLink_.get());
        ReferTo(imageList_, nullptr);
        if (!Destroying()) ImageListChanged(nullptr);
    }
    if (!Destroying() && c == static_cast<TComponent*>(effects_->AlphaBlend()->ImageList()))
        effects_->AlphaBlend()->SetImageList(nullptr);
}

void TStyBaseControl::DefineProperties(TStyFiler& filer) {
    StyDefineSharedListReference(
        filer, [this] { return ImageList(); },
        [this](TStyCustomImageList* list) { SetImageList(list); }, TStyUnknownListName::Unlinks);
}

void TStyBaseControl::Dispatch(TMessage& m) {
    if (m.Msg == CM_STYPARENTBKCHANGED) {
        if (Visible()) {
            if (!Loading() && HasFilledParent()) GetChange(nullptr);
            effects_->SetValid(false);  // the buffered image shows the old background
        }
        return;
    }
    TStyControl::Dispatch(m);
}

// ---------------------------------------------------------------- TStyBaseGraphicControl

TStyBaseGraphicControl::TStyBaseGraphicControl(TComponent* owner) : TStyBaseControl(owner) {
    ControlStyle = ControlStyle - csOpaque + csReplicatable;
    width_ = 30;
    height_ = 30;
}

void TStyBaseGraphicControl::Redraw() {
    if (IsUpdating()) return;
    if (transparent_) {
        Invalidate();
        return;
    }
    // Opaque: painted at once, without waiting for the window's next paint.
    if (!DrawOnSurface([this] { Paint(); })) Invalidate();
}

void TStyBaseGraphicControl::GetChange(TObject*) { Redraw(); }

void TStyBaseGraphicControl::Paint() {
    if (Designing()) DrawDesignFrame();
}

bool TStyBaseGraphicControl::HasFilledParent() const {
    if (!transparent_) return false;
    auto* form = dynamic_cast<TForm*>(Parent());
    if (!form) return false;
    // The form that owns the control (the one it is placed on) and its shape component.
    const int i = FindComponentIndexByClass<TStyFormShape>(Owner());
    if (i == -1 || !form->HandleAllocated()) return false;
    return static_cast<TStyFormShape*>(Owner()->Components(i))->NeedsBackground();
}

void TStyBaseGraphicControl::Dispatch(TMessage& m) {
    if (m.Msg == CM_STYREPAINT) {
        if (Visible()) Redraw();
        return;
    }
    TStyBaseControl::Dispatch(m);
}

// ---------------------------------------------------------------- TStyGraphicControl

TStyGraphicControl::TStyGraphicControl(TComponent* owner)
    : TStyBaseGraphicControl(owner), bevel_(std::make_unique<TStyBevel>()) {
    bevel_->OnChange = [this](TObject* s) { GetChange(s); };
}

TStyGraphicControl::~TStyGraphicControl() { bevel_->OnChange = nullptr; }

void TStyGraphicControl::SetBevel(const TStyBevel* b) {
    bevel_->Assign(b);
    Perform(CM_STYBEVELCHANGED, 0, 0);
}

void TStyGraphicControl::Paint() {
    if (Loading()) return;
    if (DesignFrameWanted() && bevel_->Extent() == 0) {
        TStyBaseGraphicControl::Paint();
        return;
    }
    bevel_->PaintBevel(Canvas(), Rect(0, 0, Width(), Height()), transparent_);
}

// ---------------------------------------------------------------- streaming

namespace {

int Ident(const TDfmValue& v, std::initializer_list<const char*> names) {
    if (v.kind != TDfmValue::vIdent) return v.AsInt();
    int i = 0;
    for (const char* n : names) {
        if (SameText(v.s, n)) return i;
        ++i;
    }
    throw EReadError("Invalid property value: " + v.s);
}

int BevelStyle(const TDfmValue& v) {
    return Ident(v, {"bvNone", "bvLowered", "bvRaised", "bvFrameLowered", "bvFrameRaised",
                     "bvNormal", "bvShadow"});
}

}  // namespace

void RegisterStyImageListProps(const std::string& cls) {
    RegisterProperty(cls, "Internal", [](TComponent* c, const TDfmValue& v) {
        StyReadStoredProperty(static_cast<TStyBaseControl*>(c), "Internal", v);
    });
}

int StyBorderStyleIdent(const TDfmValue& v) {
    return Ident(v,
                 {"lsNone", "lsSingle", "lsLowered", "lsRaised", "lsRaisedspb", "lsLoweredspb",
                  "lsRaisedExt", "lsLoweredExt", "lsFrameInset", "lsFrameOffset", "lsWindowBorder",
                  "lsSingleRaised", "lsSingleLowered", "lsDoubleRaised", "lsDoubleLowered"});
}

namespace {

struct TBevelProp {
    const char* name;
    std::function<void(TStyBevel*, const TDfmValue&)> set;
    const char* def;
};

// The bevel's published properties in their stream order.
std::vector<TBevelProp> BevelProps() {
    std::vector<TBevelProp> props;
    auto reg = [&](const char* name, const std::function<void(TStyBevel*, const TDfmValue&)>& f,
                   const char* def) {
        props.push_back({name, f, def});
    };
    reg(
        "StyleInner",
        [](TStyBevel* b, const TDfmValue& v) { b->SetStyleInner(TStyBevelStyle(BevelStyle(v))); },
        "bvNone");
    reg(
        "StyleOuter",
        [](TStyBevel* b, const TDfmValue& v) { b->SetStyleOuter(TStyBevelStyle(BevelStyle(v))); },
        "bvNone");
    reg(
        "WidthInner",
        [](TStyBevel* b, const TDfmValue& v) { b->SetWidthInner(uint8_t(v.AsInt())); }, "1");
    reg(
        "WidthOuter",
        [](TStyBevel* b, const TDfmValue& v) { b->SetWidthOuter(uint8_t(v.AsInt())); }, "1");
    reg(
        "BorderColor", [](TStyBevel* b, const TDfmValue& v) { b->SetBorderColor(v.AsInt()); },
        "clBtnFace");
    reg(
        "BorderSides",
        [](TStyBevel* b, const TDfmValue& v) {
            TStyFrameSides s = 0;
            for (const auto& n : v.set) {
                TDfmValue side;
                side.kind = TDfmValue::vIdent;
                side.s = n;
                s |= TStyFrameSides(1 << Ident(side, {"fsBottom", "fsLeft", "fsRight", "fsTop"}));
            }
            b->SetBorderSides(s);
        },
        "[fsBottom, fsLeft, fsRight, fsTop]");
    reg(
        "BorderWidth",
        [](TStyBevel* b, const TDfmValue& v) { b->SetBorderWidth(uint8_t(v.AsInt())); }, "0");
    reg(
        "BorderInnerWidth",
        [](TStyBevel* b, const TDfmValue& v) { b->SetBorderInnerWidth(uint8_t(v.AsInt())); }, "0");
    reg(
        "EdgeStyle",
        [](TStyBevel* b, const TDfmValue& v) {
            b->SetEdgeStyle(TStyEdgeStyle(
                Ident(v, {"etRaisedInner", "etRaisedOuter", "etSunkenInner", "etSunkenOuter",
                          "etBump", "etEtched", "etRaised", "etSunken"})));
        },
        "etEtched");
    reg(
        "LightColor", [](TStyBevel* b, const TDfmValue& v) { b->SetLightColor(v.AsInt()); },
        "clBtnHighlight");
    reg(
        "Mode",
        [](TStyBevel* b, const TDfmValue& v) {
            b->SetMode(TStyBevelMode(Ident(v, {"bmCustom", "bmStandard", "bmEdge", "bmWindows"})));
        },
        "");
    reg(
        "ShadowColor", [](TStyBevel* b, const TDfmValue& v) { b->SetShadowColor(v.AsInt()); },
        "clBtnShadow");
    reg(
        "StandardStyle",
        [](TStyBevel* b, const TDfmValue& v) {
            b->SetStandardStyle(TStyBorderStyle(StyBorderStyleIdent(v)));
        },
        "lsSingleLowered");
    return props;
}

}  // namespace

void RegisterStyBevelProps(const std::string& cls) {
    for (const TBevelProp& p : BevelProps()) {
        auto set = p.set;
        RegisterProperty(
            cls, std::string("Bevel.") + p.name,
            [set](TComponent* c, const TDfmValue& v) {
                set(static_cast<TStyGraphicControl*>(c)->Bevel(), v);
            },
            p.def);
    }
    RegisterSubObject(cls, "Bevel", [](TPersistent* c) -> TPersistent* {
        return static_cast<TStyGraphicControl*>(static_cast<TComponent*>(c))->Bevel();
    });
}

void RegisterStyBevelObjectProps(const std::string& cls) {
    for (const TBevelProp& p : BevelProps()) {
        auto set = p.set;
        RegisterPublished(
            cls, p.name,
            [set](TPersistent* b, const TDfmValue& v) { set(static_cast<TStyBevel*>(b), v); },
            p.def);
    }
}
