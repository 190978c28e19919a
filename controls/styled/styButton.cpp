#include "controls/styled/styButton.h"

#include "controls/styled/styApplication.h"
#include "controls/styled/styConsts.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/styPublished.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/scopeExit.h"
#include "platform/user/capture.h"
#include "platform/vcl/actnlist.h"
#include "platform/vcl/forms.h"

TStyCustomButton::TStyCustomButton(TComponent* owner)
    : TButton(owner),
      layout_(std::make_unique<TStyButtonLayout>()),
      canvas_(std::make_unique<TCanvas>()),
      fontFX_(std::make_unique<TStyFxCaption>()),
      changeLink_(std::make_unique<TStyChangeLink>()),
      glyph_(std::make_unique<TStyGlyph>()) {
    glyph_->OnChange = [this](TObject* s) { ObjectChanged(s); };
    layout_->OnChange = [this](TObject* s) { ObjectChanged(s); };
    fontFX_->OnChange = [this](TObject* s) { ObjectChanged(s); };
    changeLink_->OnChange = [this](TObject*) { GlyphFromImageList(); };
    width_ = 75;
    height_ = 25;
}

TStyCustomButton::~TStyCustomButton() {
    StopRepeatTimer();
    glyph_->OnChange = nullptr;
    layout_->OnChange = nullptr;
    fontFX_->OnChange = nullptr;
    changeLink_->OnChange = nullptr;  // the link unregisters itself when it goes
}

void TStyCustomButton::CreateParams(TCreateParams& params) { params.Style |= BS_OWNERDRAW; }

DWORD TStyCustomButton::ButtonStyle() const {
    TCreateParams p;
    const_cast<TStyCustomButton*>(this)->CreateParams(p);
    return p.Style;
}

void TStyCustomButton::Repaint() { Invalidate(); }

// ---------------------------------------------------------------- properties

void TStyCustomButton::SetGlyph(const TBitmap* b) {
    if (imageList_ && !Loading()) SetImageList(nullptr);
    glyphFromAction_ = false;
    glyph_->SetGlyph(b);
    Repaint();
}

void TStyCustomButton::SetNumGlyphs(TStyNumGlyphs n) {
    glyph_->SetNumGlyphs(n);
    Repaint();
}

void TStyCustomButton::SetExtStyle(TStyUserButtonStyle s) {
    glyph_->SetGreyMode(s >= ubsFlatUnColored && s <= ubsExplorer ? 1 : 0);
    if (s == extStyle_) return;
    extStyle_ = s;
    Repaint();
}

void TStyCustomButton::SetMultiLine(bool v) {
    if (v == multiLine_) return;
    multiLine_ = v;
    ObjectChanged(nullptr);
}

void TStyCustomButton::SetUseCaption(bool v) {
    if (v == useCaption_) return;
    useCaption_ = v;
    ObjectChanged(nullptr);
}

void TStyCustomButton::SetImageList(TStyCustomImageList* list) {
    // A list that is going has already let its links go.
    if (imageList_ && changeLink_->Sender == imageList_)
        imageList_->UnRegisterChanges(changeLink_.get());
    ReferTo(imageList_, list);
    if (list) list->RegisterChanges(changeLink_.get());
    GlyphFromImageList();
}

void TStyCustomButton::SetDropDownMenu(TPopupMenu* menu) { ReferTo(dropDownMenu_, menu); }

bool TStyCustomButton::GlyphStored() const { return !imageList_ || ArrowKind != 0; }

bool TStyCustomButton::ImageListStored() const {
    return imageList_ && !StyIsSharedList(imageList_);
}

void TStyCustomButton::DefineProperties(TStyFiler& filer) {
    StyDefineSharedListReference(
        filer, [this] { return ImageList(); },
        [this](TStyCustomImageList* list) { SetImageList(list); });
    filer.DefineProperty(
        "Style",
        [this](const TDfmValue& v) {
            if (SameText(v.s, "nbsAutoDetect"))
                SetExtStyle(ubsAutoDetect);
            else if (SameText(v.s, "nbsWin31"))
                SetExtStyle(ubsWin31);
            else if (SameText(v.s, "nbsWin40"))
                SetExtStyle(ubsWin40);
        },
        nullptr, false);
}

void TStyCustomButton::SetIndex(int which, int v) {
    int& field = which == 0 ? imageIndex_ : listIndex_;  // each index compares with itself
    if (v < 0 || v == field) return;
    field = v;
    if (imageList_) GlyphFromImageList();
}

void TStyCustomButton::GlyphFromImageList() {
    if (ArrowKind != 0) return;
    glyphFromAction_ = false;
    if (imageList_ && imageList_->HasImage(listIndex_, imageIndex_)) {
        TBitmap bmp;
        if (imageList_->GetBitmap(listIndex_, imageIndex_, &bmp)) glyph_->SetGlyph(&bmp);
    } else {
        glyph_->SetGlyph(nullptr);
    }
    Repaint();
}

void TStyCustomButton::SetVisible(bool v) {
    if (!v) {
        mouseOver_ = false;
        StopRepeatTimer();
    }
    TButton::SetVisible(v);
}

void TStyCustomButton::SetBounds(int l, int t, int w, int h) {
    const int ol = left_, ot = top_, ow = width_, oh = height_;
    TButton::SetBounds(l, t, w, h);
    uint8_t changes = 0;
    if (w != ow || h != oh) changes |= 1;
    if (l != ol || t != ot) changes |= 2;
    if (changes && !Loading()) BoundsChanged(changes);
}

void TStyCustomButton::SetButtonStyle(bool isDefault) {
    if (isDefault == defaultLook_) return;
    defaultLook_ = isDefault;
    Repaint();
}

void TStyCustomButton::Loaded() { TButton::Loaded(); }

void TStyCustomButton::ActionChange(TObject* sender, bool checkDefaults) {
    TButton::ActionChange(sender, checkDefaults);
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (ArrowKind != 0 || !action) return;
    TCustomImageList* images = action->ActionList() ? action->ActionList()->Images() : nullptr;
    const int index = action->ImageIndex();
    // Only an empty glyph takes the action's image; any other is cleared by the action. A
    // glyph the action gave before counts as empty, or every other change would clear it.
    if (images && index >= 0 && index < images->Count() && (Glyph()->Empty() || glyphFromAction_)) {
        TBitmap image;
        image.SetSize(images->Width(), images->Height());
        image.Canvas()->Brush()->Color = clFuchsia;
        image.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
        images->Draw(image.Canvas(), 0, 0, index);
        image.TransparentColor = clFuchsia;  // also where the picture reaches the corner
        image.TransparentMode = tmFixed;
        glyph_->SetGlyph(&image);
        glyph_->SetNumGlyphs(1);  // one picture, whatever its shape
        glyphFromAction_ = true;
        Repaint();
    } else if (!Loading()) {
        SetGlyph(nullptr);
    }
}

// The component going may be half destroyed already: it is only compared, never used.
void TStyCustomButton::Notification(TComponent* c, TOperation op) {
    TButton::Notification(c, op);
    if (op != opRemove || !c) return;
    if (c == dropDownMenu_) ReferTo(dropDownMenu_, nullptr);
    if (c == static_cast<TComponent*>(imageList_)) {
        // A list that goes lets its links go first.
        if (changeLink_->Sender == imageList_) imageList_->UnRegisterChanges(changeLink_.get());
        ReferTo(imageList_, nullptr);
        if (!Destroying()) GlyphFromImageList();
    }
}

void TStyCustomButton::ObjectChanged(TObject* sender) {
    if (Loading()) return;
    const bool fromFont = sender == static_cast<TObject*>(Font());
    const bool fromFx = sender == fontFX_.get();
    if (fromFont || fromFx) {
        ParentFont = false;
        if (fontFX_->Angle() != 0 && !IsTrueTypeFont(Font())) {
            // Only outline fonts turn: the font or the angle gives way.
            if (fromFx) {
                Font()->SetName("Arial");
                return;
            }
            fontFX_->SetAngle(0);
            return;
        }
    }
    Repaint();
}

// ---------------------------------------------------------------- messages

void TStyCustomButton::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CN_DRAWITEM: {
            if (ArrowKind != 0 && Glyph()->Empty()) {
                glyph_->SetNumGlyphs(1);
                TBitmap arrow;
                LoadArrowGlyph(&arrow, ArrowKind);
                SetGlyph(&arrow);
                return;
            }
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
            m.Result = 1;
            return;
        }
        case CN_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            mis->itemWidth = UINT(Width());
            mis->itemHeight = UINT(Height());
            return;
        }
        case CM_MOUSEENTER:
            MouseInside = true;
            if (state_ == 0 && OnMouseEnter) OnMouseEnter(this);
            if (!mouseOver_) {
                mouseOver_ = true;
                Repaint();
            }
            return;
        case CM_MOUSELEAVE:
            MouseInside = false;
            if (OnMouseExit) OnMouseExit(this);
            if (mouseOver_) {
                mouseOver_ = false;
                state_ = 0;
                Repaint();
            }
            if (HideHint && Application) Application->CancelHint();
            return;
        case CM_ENABLEDCHANGED:
            TButton::Dispatch(m);
            Repaint();
            return;
        case CM_FONTCHANGED:
            TButton::Dispatch(m);
            ObjectChanged(Font());
            return;
        case CM_STYTHEMECHANGED:
            Repaint();
            return;
        case WM_LBUTTONDBLCLK:
            // A fast second press is a press.
            Perform(WM_LBUTTONDOWN, m.WParam, m.LParam);
            return;
        case WM_LBUTTONDOWN:
            TButton::Dispatch(m);
            if (RepeatedClick && repeatTimerId_ == 0 && StyApp) {
                const uint16_t id =
                    StyApp->AddTimer(RepeatingDelay, [this](TObject* s) { RepeatTimerTick(s); });
                if (id == 0) throw EOutOfResources(SStyNoTimers);
                repeatTimerId_ = id;
                if (TStyTimerItem* item = StyApp->GetTimerItem(id)) item->SetEnabled(true);
            }
            return;
        case WM_LBUTTONUP:
            TButton::Dispatch(m);
            if (RepeatedClick) StopRepeatTimer();
            return;
        default:
            TButton::Dispatch(m);
    }
}

void TStyCustomButton::Click() {
    if (dropDownMenu_ && !dropped_) {
        if (OnClick) OnClick(this);
        DropDown();
        return;
    }
    TButton::Click();
}

void TStyCustomButton::DropDown() {
    if (!dropDownMenu_ || dropped_) return;
    if (!defaultLook_ && CanFocus()) SetFocus();
    Perform(BM_SETSTATE, 1, 0);
    Repaint();
    dropped_ = true;
    if (OnDropDown) OnDropDown(this);
    const TPoint origin = ClientOrigin();
    try {
        if (DropDownRight)
            dropDownMenu_->Popup(origin.X + Width(), origin.Y + DropDownIndent);
        else
            dropDownMenu_->Popup(origin.X + DropDownIndent, origin.Y + Height());
    } catch (...) {
        dropped_ = false;
        Perform(BM_SETSTATE, 0, 0);
        throw;
    }
    // The press that closed the menu must not press the button again.
    if (HandleAllocated()) {
        MSG msg;
        while (PeekMessageA(&msg, Handle(), WM_MOUSEMOVE, WM_MOUSEWHEEL, PM_REMOVE)) {}
    }
    // A window that took the mouse while the menu was open leaves that mode.
    if (const HWND holder = GetCapture()) SendMessageA(holder, WM_CANCELMODE, 0, 0);
    dropped_ = false;
    state_ = 0;
    Perform(BM_SETSTATE, 0, 0);
}

// ---------------------------------------------------------------- repeated click

void TStyCustomButton::RepeatTimerTick(TObject*) {
    if (mouseOver_) RepeatClick();
}

void TStyCustomButton::RepeatClick() {
    if (repeatTimerId_ != 0 && StyApp)
        if (TStyTimerItem* item = StyApp->GetTimerItem(repeatTimerId_))
            item->SetInterval(RepeatingInterval);
    Click();
}

void TStyCustomButton::StopRepeatTimer() {
    if (repeatTimerId_ == 0 || !StyApp) return;
    TStyTimerItem* item = StyApp->GetTimerItem(repeatTimerId_);
    const uint16_t id = repeatTimerId_;
    repeatTimerId_ = 0;
    if (!item) return;
    item->OnTimer = nullptr;
    item->SetEnabled(false);
    StyApp->RemoveTimer(id);
}

// ---------------------------------------------------------------- painting

void TStyCustomButton::DrawButton(const DRAWITEMSTRUCT& dis) {
    canvas_->SetHandle(dis.hDC);
    ScopeExit release([&] { canvas_->SetHandle(nullptr); });
    TRect r = ClientRect();
    if (!Enabled())
        state_ = 1;
    else if (dis.itemState & ODS_SELECTED)
        state_ = 4;
    else if (mouseOver_)
        state_ = 2;
    else
        state_ = 0;
    // The focus and default flags each say what they are named for.
    uint16_t flags = bfRoundCorners;
    if (dis.itemState & ODS_FOCUS) flags |= bfFocused;
    if (defaultLook_) flags |= bfDefault;
    if (mouseOver_) flags |= bfHot;
    frameFlags_ = flags;
    switch (extStyle_) {
        case ubsExplorer:
        case ubsExplorerColored:
        case ubsWinXP:
        case ubsWinXPCombo:
        case ubsWinXPTool:
            canvas_->Brush()->Style = bsSolid;
            canvas_->Brush()->Color = Color();
            canvas_->FillRect(r);
            break;
        default:
            break;
    }
    DrawButtonFrame(this, canvas_.get(), mouseOver_, r, extStyle_, state_, flags, Color());
    if (!(extStyle_ == ubsWinXPCombo && StyApp && StyApp->UseThemes())) {
        canvas_->Font()->Assign(*Font());
        DrawContent(canvas_.get(), r, 0);
    }
    ++paintCount_;
}

void TStyCustomButton::DrawContent(TCanvas* c, const TRect& r, UINT textFlags) {
    const std::string caption = useCaption_ ? Caption() : std::string();
    const UINT options = Enabled() ? 6 : 5;
    glyph_->Draw(c, caption, fontFX_.get(), r, state_, layout_.get(), options, multiLine_,
                 textFlags);
}

// ---------------------------------------------------------------- streaming

void RegisterStyButton() {
    RegisterStyLookObjects();
    using B = TStyCustomButton;
    TClassReg<B>("TStyCustomButton", "TButton", false)
        .prop("About", [](B* b, const TDfmValue& v) { b->About = v.AsString(); })
        // Glyph bitmaps are kept among the compiled resources and named here.
        .prop("Glyph.Resource",
              [](B* b, const TDfmValue& v) {
                  TBitmap bmp;
                  bmp.LoadFromData(LoadResourceText(v.AsString()));
                  b->SetGlyph(&bmp);
              })
        .prop(
            "NumGlyphs",
            [](B* b, const TDfmValue& v) { b->SetNumGlyphs(TStyNumGlyphs(v.AsInt())); }, "1")
        .prop(
            "ExtStyle",
            [](B* b, const TDfmValue& v) {
                b->SetExtStyle(IdentOf<TStyUserButtonStyle>(
                    v, {"ubsAutoDetect", "ubsWin31", "ubsWin40", "ubsDelphi", "ubsDelphiFlat",
                        "ubsFlat", "ubsFlatUnColored", "ubsNavigator", "ubsExplorer",
                        "ubsExplorerColored", "ubsIntegrated", "ubsWinXP", "ubsWinXPCombo",
                        "ubsWinXPTool"}));
            },
            "ubsAutoDetect")
        .prop("Style", [](B* b, const TDfmValue& v) { StyReadStoredProperty(b, "Style", v); })
        .prop(
            "HideHint", [](B* b, const TDfmValue& v) { b->HideHint = v.AsBool(); }, "True")
        .prop(
            "UseCaption", [](B* b, const TDfmValue& v) { b->SetUseCaption(v.AsBool()); }, "True")
        .prop(
            "MultiLine", [](B* b, const TDfmValue& v) { b->SetMultiLine(v.AsBool()); }, "False")
        .prop(
            "RepeatedClick", [](B* b, const TDfmValue& v) { b->RepeatedClick = v.AsBool(); },
            "False")
        .prop(
            "RepeatingDelay",
            [](B* b, const TDfmValue& v) { b->RepeatingDelay = uint16_t(v.AsInt()); }, "500")
        .prop(
            "RepeatingInterval",
            [](B* b, const TDfmValue& v) { b->RepeatingInterval = uint16_t(v.AsInt()); }, "100")
        .prop(
            "ImageIndex", [](B* b, const TDfmValue& v) { b->SetImageIndex(v.AsInt()); }, "0")
        .prop(
            "ListIndex", [](B* b, const TDfmValue& v) { b->SetListIndex(v.AsInt()); }, "0")
        .stored("Internal",
                [](B* b, const TDfmValue& v) { StyReadStoredProperty(b, "Internal", v); })
        // A glyph kept in the form itself goes through the glyph's setter, which takes the
        // number of cells from the bitmap's shape.
        .stored("Glyph.Data",
                [](B* b, const TDfmValue& v) {
                    TBitmap bmp;
                    TPersistent* target = &bmp;
                    FindPropertyPath(target, "Data")->set(target, v);
                    b->SetGlyph(&bmp);
                })
        .object<TStyButtonLayout>("ButtonLayout", &B::ButtonLayout)
        .object<TStyFxCaption>("FontFX", &B::FontFX)
        .reference<TStyCustomImageList>("ImageList",
                                        [](B* b, TStyCustomImageList* l) { b->SetImageList(l); })
        .event<TNotifyEvent>("OnMouseExit",
                             [](B* b, TNotifyEvent e) { b->OnMouseExit = std::move(e); });
    TClassReg<TStyButton>("TStyButton", "TStyCustomButton")
        .prop(
            "DropDownIndent",
            [](TStyButton* b, const TDfmValue& v) { b->DropDownIndent = v.AsInt(); }, "0")
        .prop(
            "DropDownRight",
            [](TStyButton* b, const TDfmValue& v) { b->DropDownRight = v.AsBool(); }, "False")
        .reference<TPopupMenu>("DropDownMenu",
                               [](TStyButton* b, TPopupMenu* m) { b->SetDropDownMenu(m); })
        .event<TNotifyEvent>("OnDropDown",
                             [](TStyButton* b, TNotifyEvent e) { b->OnDropDown = std::move(e); });
}
