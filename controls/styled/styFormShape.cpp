#include "controls/styled/styFormShape.h"

#include "controls/styled/styFiler.h"
#include "controls/styled/styImageLists.h"
#include "controls/styled/styPublished.h"
#include "platform/user/messages.h"
#include "platform/user/metrics.h"
#include "platform/user/paint.h"

namespace {

// Hit-test answers of WM_NCHITTEST.
constexpr LRESULT kHitClient = 1, kHitCaption = 2;
constexpr UINT kCaptureChanged = 0x0215, kNcRButtonDown = 0x00A4, kNcRButtonUp = 0x00A5;

// A visible child control of the form at a client point.
bool ChildAt(TForm* form, int x, int y) {
    for (int i = 0; i < form->ControlCount(); ++i) {
        TControl* c = form->Controls(i);
        if (c->Visible() && x >= c->Left() && y >= c->Top() && x < c->Left() + c->Width() &&
            y < c->Top() + c->Height())
            return true;
    }
    return false;
}

}  // namespace

TStyFormShape::TStyFormShape(TComponent* owner)
    : TStyWndProcComponent(owner),
      region_(std::make_unique<TStyBorderRegion>()),
      fill_(std::make_unique<TStyFillObject>()),
      listBitmap_(std::make_unique<TBitmap>()),
      link_(std::make_unique<TStyChangeLink>()) {
    region_->OwnerComponent = owner;
    region_->OnChange = [this](TObject* s) { Changed(s); };
    fill_->OnChange = [this](TObject* s) { Changed(s); };
    // A changed list is looked at again at once, as the button does with its glyph.
    link_->OnChange = [this](TObject* s) {
        LoadListImage();
        Changed(s);
    };
}

TStyFormShape::~TStyFormShape() {
    if (link_->Sender) link_->Sender->UnRegisterChanges(link_.get());
    UnhookWindow();
}

void TStyFormShape::Changed(TObject* sender) {
    SubObjectChanged(sender);
    // A shown form takes the new shape and look at once.
    if (Hooked() && !WindowDestroyed() && !Loading()) {
        ApplyRegion();
        if (HWND h = HookedWindow()) InvalidateRect(h, nullptr, true);
    }
}

TStyCustomImageList* TStyFormShape::ImageList() const {
    return link_->Sender ? imageList_ : nullptr;
}

void TStyFormShape::SetImageList(TStyCustomImageList* list) {
    if (link_->Sender) link_->Sender->UnRegisterChanges(link_.get());
    ReferTo(imageList_, list);
    if (list) list->RegisterChanges(link_.get());
    LoadListImage();
    Changed(this);
}

void TStyFormShape::SetIndex(int which, int v) {
    int& field = which == 0 ? imageIndex_ : listIndex_;
    if (v < 0 || v == field) return;
    field = v;
    if (!ImageList()) return;
    LoadListImage();
    Changed(this);
}

void TStyFormShape::LoadListImage() {
    listBitmap_->SetSize(0, 0);
    if (ImageList() && ImageList()->HasImage(listIndex_, imageIndex_))
        ImageList()->GetBitmap(listIndex_, imageIndex_, listBitmap_.get());
    fill_->BeginUpdate();
    fill_->SetListBitmap(listBitmap_.get());
    fill_->EndUpdate(false);
}

bool TStyFormShape::ImageListStored() const { return ImageList() && !StyIsSharedList(ImageList()); }

void TStyFormShape::Loaded() {
    TStyWndProcComponent::Loaded();
    if (Enabled()) ApplyRegion();
}

void TStyFormShape::Notification(TComponent* c, TOperation op) {
    TStyWndProcComponent::Notification(c, op);
    // The list going may be half destroyed already: a freed one has let the link go, and the
    // pointer is only compared. Otherwise as the setter does with nil: the image goes too.
    if (op != opRemove || !c || c != static_cast<TComponent*>(imageList_)) return;
    if (link_->Sender == imageList_) imageList_->UnRegisterChanges(link_.get());
    ReferTo(imageList_, nullptr);
    if (Destroying()) return;
    LoadListImage();
    Changed(this);
}

void TStyFormShape::DefineProperties(TStyFiler& filer) {
    StyDefineSharedListReference(
        filer, [this] { return ImageList(); },
        [this](TStyCustomImageList* list) { SetImageList(list); });
}

bool TStyFormShape::NeedsBackground() const {
    return (UseRgnBitmap && region_->Shape() == rsBitmap) ||
           (fill_->Style() != sfNone && !Designing());
}

void TStyFormShape::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_NCHITTEST: {
            TStyWndProcComponent::WndProc(m);
            TForm* form = Form();
            if (!FormDragable || !form || m.Result != kHitClient || ncRightDown_) return;
            const TPoint origin = form->ClientOrigin();
            const int x = GET_X_LPARAM(m.LParam) - origin.X, y = GET_Y_LPARAM(m.LParam) - origin.Y;
            // The background drags the form; the controls on it keep their clicks.
            if (!ChildAt(form, x, y)) m.Result = kHitCaption;
            return;
        }
        case kNcRButtonDown:
            TStyWndProcComponent::WndProc(m);
            ncRightDown_ = true;
            return;
        case kNcRButtonUp:
        case kCaptureChanged:
            TStyWndProcComponent::WndProc(m);
            ncRightDown_ = false;
            return;
        case WM_SIZE:
            ApplyRegion();
            TStyWndProcComponent::WndProc(m);
            if (HWND h = HookedWindow(); h && !WindowDestroyed()) InvalidateRect(h, nullptr, true);
            return;
        case WM_ERASEBKGND:
            if (fill_->Style() == sfNone && region_->Shape() != rsBitmap)
                TStyWndProcComponent::WndProc(m);
            PaintBackground(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        default:
            TStyWndProcComponent::WndProc(m);
    }
}

void TStyFormShape::ApplyRegion() {
    TForm* form = Form();
    if (!form || !form->HandleAllocated() || form->Destroying() || IsIconic(form->Handle())) return;
    // The frame and caption the window system gives the form's border style.
    int fw = 0, fh = 0, caption = 0;
    switch (form->BorderStyle()) {
        case bsNone:
            break;
        case bsSizeable:
        case bsSizeToolWin:
            fw = GetSystemMetrics(SM_CXFRAME);
            fh = GetSystemMetrics(SM_CYFRAME);
            break;
        default:
            fw = GetSystemMetrics(SM_CXDLGFRAME);
            fh = GetSystemMetrics(SM_CYDLGFRAME);
            break;
    }
    if (form->BorderStyle() != bsNone)
        caption = GetSystemMetrics(form->BorderStyle() == bsToolWindow ||
                                           form->BorderStyle() == bsSizeToolWin
                                       ? SM_CYSMCAPTION
                                       : SM_CYCAPTION);
    const int depth = region_->Shadow()->Style() != hssNone ? region_->Shadow()->Depth() : 0;
    if (region_->Shape() == rsBitmap && !region_->Mask()->BorderBmp()->Empty()) {
        TBitmap* b = region_->Mask()->BorderBmp();
        const int w = b->Width() + 2 * fw + depth;
        const int h = b->Height() + caption + 2 * fh + depth;
        if (w != form->Width() || h != form->Height())
            form->SetBounds(form->Left(), form->Top(), w, h);
    }
    region_->CreateRegion(form->ClientRect());
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (region_->Region())
        CombineRgn(rgn, region_->Region(), nullptr, RGN_COPY);
    else
        SetRectRgn(rgn, 0, 0, form->ClientWidth(), form->ClientHeight());
    if (depth > 0) {
        HRGN shade = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(shade, rgn, nullptr, RGN_COPY);
        OffsetRgn(shade, depth, depth);
        CombineRgn(rgn, rgn, shade, RGN_OR);
        DeleteObject(shade);
    }
    OffsetRgn(rgn, fw, fh + caption);
    if (ShowFormCaption && (caption > 0 || fh > 0)) {
        HRGN title = CreateRectRgn(0, 0, form->Width(), fh + caption);
        CombineRgn(rgn, rgn, title, RGN_OR);
        DeleteObject(title);
    }
    SetWindowRgn(form->Handle(), rgn, true);  // the window owns the region now
}

void TStyFormShape::PaintBackground(HDC dc) {
    TForm* form = Form();
    if (!form || !dc) return;
    const TRect client = form->ClientRect();
    if (RectEmpty(client)) return;
    // Composed off screen on a copy of what is there, then put back in one blit.
    TBitmap buffer;
    buffer.SetSize(client.Right, client.Bottom);
    TCanvas* canvas = buffer.Canvas();
    BitBlt(canvas->Handle(), 0, 0, client.Right, client.Bottom, dc, 0, 0, SRCCOPY);
    if (UseRgnBitmap && region_->Shape() == rsBitmap) {
        // The bitmap shape paints itself.
        if (!region_->Mask()->BorderBmp()->Empty())
            canvas->Draw(0, 0, region_->Mask()->BorderBmp());
    } else if (fill_->Style() != sfNone) {
        if (fill_->Style() == sfBitmapList && ImageList()) LoadListImage();
        fill_->Fill(canvas, client, TColor(0xFFFFFF));
        if (!Designing()) {
            const TStyRegionShape shape = region_->Shape();
            if ((shape == rsUserRegion || shape == rsBitmap) &&
                region_->Border()->Style() != rbNone && region_->Region()) {
                // Shapes without a painter of their own get a framed region.
                HBRUSH b = CreateSolidBrush(ColorToRGB(region_->Border()->SingleColor()));
                FrameRgn(canvas->Handle(), region_->Region(), b, 1, 1);
                DeleteObject(b);
            } else {
                region_->DrawBorder(canvas, client);
            }
        }
    }
    BitBlt(dc, 0, 0, client.Right, client.Bottom, canvas->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- form files

void RegisterStyFormShape() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterStyLookObjects();
    using S = TStyFormShape;
    auto stored = [](const char* name) {
        return [name](S* c, const TDfmValue& v) { StyReadStoredProperty(c, name, v); };
    };
    TClassReg<S>("TStyFormShape", "TStyWndProcComponent")
        .prop(
            "ShowFormCaption", [](S* c, const TDfmValue& v) { c->ShowFormCaption = v.AsBool(); },
            "True")
        .prop(
            "FormDragable", [](S* c, const TDfmValue& v) { c->FormDragable = v.AsBool(); }, "True")
        .prop(
            "UseRgnBitmap", [](S* c, const TDfmValue& v) { c->UseRgnBitmap = v.AsBool(); }, "True")
        .prop(
            "ListIndex", [](S* c, const TDfmValue& v) { c->SetListIndex(v.AsInt()); }, "0")
        .prop(
            "ImageIndex", [](S* c, const TDfmValue& v) { c->SetImageIndex(v.AsInt()); }, "0")
        .stored("Internal", stored("Internal"))
        .object<TStyBorderRegion>("Region", &S::Region)
        .object<TStyFillObject>("FillObject", &S::FillObject)
        .reference<TStyCustomImageList>("ImageList",
                                        [](S* c, TStyCustomImageList* l) { c->SetImageList(l); });
}
