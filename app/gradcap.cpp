#include "app/gradcap.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/gdi/iconDraw.h"
#include "platform/rtl/utf8.h"
#include "platform/user/metrics.h"
#include "platform/user/paint.h"
#include "platform/win/icons.h"
#include "platform/win/muldiv.h"

namespace {

int Channel(COLORREF c, int shift) { return int((c >> shift) & 0xFF); }

// Character height of a font (the height of its letters on a small bitmap's canvas).
int CharHeight(const TFont& f) {
    TBitmap b;
    b.SetSize(10, 10);
    b.Canvas()->Font()->Assign(f);
    return b.Canvas()->TextHeight("Wg");
}

// The text cut at a whole character and ended with "..." so that it fits Width.
std::string Ellipsize(TCanvas& c, const std::string& s, int width) {
    if (c.TextWidth(s) <= width) return s;
    std::string t = s;
    while (!t.empty()) {
        t.erase(Utf8PrevChar(t, t.size()));
        if (c.TextWidth(t + "...") <= width) break;
    }
    return t + "...";
}

}  // namespace

COLORREF GradientBandColor(COLORREF left, COLORREF right, int i, int n) {
    if (n <= 1) return left & 0xFFFFFF;
    COLORREF out = 0;
    for (int shift : {0, 8, 16}) {
        const int a = Channel(left, shift), b = Channel(right, shift);
        out |= COLORREF(std::clamp(a + MulDiv(i, b - a, n - 1), 0, 255)) << shift;
    }
    return out;
}

// ---------------------------------------------------------------- text parts

TCompanyText::TCompanyText(TGradientCaption* owner) : owner_(owner) {}

void TCompanyText::SetCaption(const std::string& s) {
    if (s == caption_) return;
    caption_ = s;
    owner_->UpdateFormCaption();
}

void TCompanyText::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    owner_->UpdateFormCaption();
}

void TCompanyText::SetFont(const TFont& f) {
    font_.Assign(f);
    if (fontKind_ == fkAutoHeight)
        ApplyFontKind();
    else
        fontKind_ = fkCustom;
}

void TCompanyText::SetFontKind(TFontKind k) {
    fontKind_ = k;
    ApplyFontKind();
}

void TCompanyText::ApplyFontKind() {
    const TFont& sys = owner_->SystemCaptionFont();
    switch (fontKind_) {
        case fkCustom:
            return;
        case fkAutoHeight: {
            // Fit the part's character height to the system caption font's, in two steps.
            const int target = CharHeight(sys);
            for (int step = 0; step < 2; ++step) {
                const int own = CharHeight(font_);
                if (step == 1 && own <= target) break;
                const int h = font_.Height();
                font_.SetHeight(h < 0 ? h + (own - target) : h - (own - target));
            }
            return;
        }
        default: {
            const TColor colour = font_.Color();
            font_.Assign(sys);
            font_.SetColor(colour);
            TFontStyles st = sys.Style();
            if (fontKind_ == fkSystemI || fontKind_ == fkSystemBI) st.insert(fsItalic);
            if (fontKind_ == fkSystemB || fontKind_ == fkSystemBI) st.insert(fsBold);
            font_.SetStyle(st);
        }
    }
}

std::string TCaptionText::Caption() const {
    TForm* f = owner_->Form();
    if (!f) return "";
    std::string s = f->Caption();
    // Each visible, non-empty part is taken off the front with its following blank. An empty
    // part is not looked for, and a part that appears later inside the caption is the
    // caption's own text, so it stays.
    for (const TCompanyText* part : {static_cast<const TCompanyText*>(&owner_->CompanyText),
                                     static_cast<const TCompanyText*>(&owner_->AppNameText)}) {
        const std::string p = part->Caption();
        if (!part->Visible() || p.empty() || s.compare(0, p.size(), p) != 0) continue;
        s.erase(0, p.size());
        if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    }
    return s;
}

// ---------------------------------------------------------------- painter

TGradientCaption::TGradientCaption(TComponent* owner)
    : TComponent(owner), form_(dynamic_cast<TForm*>(owner)) {
    if (!form_) throw EInvalidCast("Invalid class typecast");
    ReadSystemCaptionFont();
    for (TCompanyText* part :
         {static_cast<TCompanyText*>(&CompanyText), static_cast<TCompanyText*>(&AppNameText),
          static_cast<TCompanyText*>(&CaptionText)})
        part->ApplyFontKind();
    hook();
}

TGradientCaption::~TGradientCaption() {
    unhook();
    // Also while a new window was awaited: the posted message then finds nobody.
    if (appHookId_ && Application) Application->UnhookMainWindow(appHookId_);
    if (form_ && !form_->Destroying()) {
        form_->SetCaption(CaptionText.StoredCaption());
        form_->RedrawFrame();
    }
}

void TGradientCaption::Loaded() {
    TComponent::Loaded();
    hook();
}

void TGradientCaption::SetNumColors(int n) {
    if (n < 1) return;
    numColors_ = std::min(n, 256);
}

void TGradientCaption::ReadSystemCaptionFont() {
    // The stock system font, then the caption font of the non-client metrics.
    LOGFONTA lf{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    NONCLIENTMETRICSA ncm;
    ncm.cbSize = 340;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0)) lf = ncm.lfCaptionFont;
    sysFont_.SetName(lf.lfFaceName);
    if (lf.lfHeight < 1)
        sysFont_.SetHeight(lf.lfHeight);
    else
        sysFont_.SetSize(lf.lfHeight);
    TFontStyles st;
    if (lf.lfItalic) st.insert(fsItalic);
    if (lf.lfWeight > 500) st.insert(fsBold);
    sysFont_.SetStyle(st);
}

void TGradientCaption::hook() {
    if (!form_ || oldProc_) return;
    oldProc_ = form_->WindowProc;
    form_->WindowProc = [this](TMessage& m) { wndProc(m); };
    if (!recreating_ && Application)
        appHookId_ = Application->HookMainWindow([this](TMessage& m) { return appHook(m); });
    recreating_ = false;
}

void TGradientCaption::unhook() {
    if (!form_ || !oldProc_) return;
    if (!recreating_ && Application && appHookId_) {
        Application->UnhookMainWindow(appHookId_);
        appHookId_ = 0;
    }
    form_->WindowProc = oldProc_;
    oldProc_ = nullptr;
}

bool TGradientCaption::appHook(TMessage& m) {
    if (m.Msg != kRehookMessage || m.LParam != LPARAM(this)) return false;
    // The form has its new window: take it over and show its state.
    hook();
    if (form_->HandleAllocated() && GetActiveWindow() == form_->Handle()) {
        active_ = true;
        activationSeen_ = true;
    }
    RedrawFrame();
    return true;
}

void TGradientCaption::RedrawFrame() {
    if (form_) form_->RedrawFrame();
}

void TGradientCaption::UpdateFormCaption() {
    if (!form_) return;
    std::string s;
    const bool company = CompanyText.Visible(), app = AppNameText.Visible(),
               caption = CaptionText.Visible();
    if (company) s += CompanyText.Caption();
    if (company && !CompanyText.Caption().empty() && (app || caption)) s += " ";
    if (app) s += AppNameText.Caption();
    if (app && !AppNameText.Caption().empty() && caption) s += " ";
    if (caption) s += CaptionText.StoredCaption();
    form_->SetCaption(s);
}

bool TGradientCaption::Active() const {
    if (activationSeen_) return active_;
    // Until the frame has said so, the form is active as the active window, or as the main
    // form's active MDI child while the main form is the active window.
    if (!form_ || !form_->HandleAllocated()) return false;
    const HWND active = GetActiveWindow();
    if (active == form_->Handle()) return true;
    if (form_->FormStyle != fsMDIChild || !Application) return false;
    TForm* main = Application->MainForm();
    return main && main->HandleAllocated() && active == main->Handle() &&
           main->ActiveMDIChild() == form_;
}

TRect TGradientCaption::CaptionRect() const {
    if (!form_ || form_->BorderStyle() == bsNone) return Rect(0, 0, 0, 0);
    const TFormBorderStyle bs = form_->BorderStyle();
    TRect r = Rect(0, 0, form_->Width(), form_->Height());
    if (bs == bsSizeable || bs == bsSizeToolWin) {
        r.Left += GetSystemMetrics(SM_CXFRAME);
        r.Right -= GetSystemMetrics(SM_CXFRAME);
        r.Top += GetSystemMetrics(SM_CYFRAME);
    } else {
        r.Left += GetSystemMetrics(SM_CXDLGFRAME);
        r.Right -= GetSystemMetrics(SM_CXDLGFRAME);
        r.Top += GetSystemMetrics(SM_CYDLGFRAME);
    }
    const bool tool = bs == bsToolWindow || bs == bsSizeToolWin;
    r.Bottom = r.Top + GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
    return r;
}

unsigned TGradientCaption::CaptionButtons() const {
    if (!form_) return 0;
    const TFormBorderStyle bs = form_->BorderStyle();
    const TBorderIcons icons = form_->BorderIcons;
    if (bs == bsNone || !(icons & BorderIconBit(biSystemMenu))) return 0;
    if (bs == bsToolWindow || bs == bsSizeToolWin) return 1u << cbClose;
    unsigned b = 1u << cbClose;
    const bool minMax = icons & (BorderIconBit(biMinimize) | BorderIconBit(biMaximize));
    if ((icons & BorderIconBit(biHelp)) && (bs == bsDialog || !minMax)) b |= 1u << cbHelp;
    if (bs != bsDialog && minMax) b |= (1u << cbMinimize) | (1u << cbMaximize);
    return b;
}

TRect TGradientCaption::TextRect() const {
    TRect r = CaptionRect();
    if (r.Right <= r.Left) return r;
    const TFormBorderStyle bs = form_->BorderStyle();
    const int w =
        GetSystemMetrics(bs == bsToolWindow || bs == bsSizeToolWin ? SM_CXSMSIZE : SM_CXSIZE);
    const unsigned b = CaptionButtons();
    for (int k : {cbClose, cbMaximize, cbMinimize, cbHelp})
        if (b & (1u << k)) r.Right -= w + (k == cbClose || k == cbHelp ? 2 : 0);
    r.Right = std::max(r.Right, r.Left + 2);
    return r;
}

void TGradientCaption::drawIconAndButtons(TCanvas& c, const TRect& caption, TRect& text) {
    const TFormBorderStyle bs = form_->BorderStyle();
    HDC dc = c.Handle();
    if ((bs == bsSingle || bs == bsSizeable) &&
        (form_->BorderIcons & BorderIconBit(biSystemMenu))) {
        // The form's icon, else the application's, else the standard application icon, at the
        // small-icon size.
        int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
        if (cx <= 0 || cy <= 0) cx = GetSystemMetrics(SM_CXSIZE), cy = GetSystemMetrics(SM_CYSIZE);
        TIcon* own = form_->Icon();
        if (own->Empty() && Application) own = Application->Icon();
        HICON icon =
            own->Empty() ? LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_APPLICATION)) : own->Handle();
        HICON small = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, 0));
        DrawIconEx(dc, text.Left + 2, text.Top + 1, small ? small : icon, cx, cy, 0, nullptr,
                   DI_NORMAL);
        if (small) DestroyIcon(small);
        text.Left += cx + 2;
    }
    const unsigned b = CaptionButtons();
    if (!b) return;
    const bool tool = bs == bsToolWindow || bs == bsSizeToolWin;
    const int w = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    TRect area = caption;
    area.Left += 2;
    area.Top += 2;
    area.Right -= 2;
    area.Bottom -= 2;
    int right = area.Right;
    HWND hwnd = form_->Handle();
    auto button = [&](UINT state) {
        RECT r{right - w, area.Top, right, area.Bottom};
        DrawFrameControl(dc, &r, DFC_CAPTION, state);
        right -= w;
    };
    if (b & (1u << cbClose)) {
        button(DFCS_CAPTIONCLOSE);
        right -= 2;
    }
    if (b & (1u << cbMaximize))
        button((IsZoomed(hwnd) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
               ((form_->BorderIcons & BorderIconBit(biMaximize)) ? 0 : DFCS_INACTIVE));
    if (b & (1u << cbMinimize))
        button((IsIconic(hwnd) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) |
               ((form_->BorderIcons & BorderIconBit(biMinimize)) ? 0 : DFCS_INACTIVE));
    if (b & (1u << cbHelp)) button(DFCS_CAPTIONHELP);
}

bool TGradientCaption::gradientOn(bool active) const {
    switch (Enabled) {
        case geAlways:
            return true;
        case geNever:
            return false;
        case geWhenActive:
            return active;
        case geSmart: {
            HDC screen = GetDC(nullptr);
            const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
            ReleaseDC(nullptr, screen);
            return active ? bits >= 8 : bits > 8;
        }
    }
    return false;
}

int TGradientCaption::PartsThatFit(TCanvas& c, int textWidth) {
    auto width = [&c](TCompanyText& p) {
        if (!p.Visible()) return 0;
        c.Font()->Assign(*p.Font());
        return c.TextWidth(p.Caption()) + 3;
    };
    const int company = width(CompanyText), app = width(AppNameText), caption = width(CaptionText);
    if (company + app + caption <= textWidth) return 3;
    if (app + caption <= textWidth) return 2;
    return 1;
}

void TGradientCaption::PaintCaption(TCanvas& target, int, int) {
    if (!form_ || form_->BorderStyle() == bsNone) return;
    const bool active = Active();
    const TRect caption = CaptionRect();
    if (caption.Right <= caption.Left || caption.Bottom <= caption.Top) return;
    TRect text = TextRect();

    TBitmap bmp;
    bmp.SetSize(caption.Right, caption.Bottom);
    TCanvas& c = *bmp.Canvas();
    const TColor system = active ? clActiveCaption : clInactiveCaption;
    const COLORREF right = ColorToRGB(active ? ColorRightActive : ColorRightInActive);
    const COLORREF left = ColorToRGB(active ? ColorLeftActive : ColorLeftInActive);
    const bool gradient = gradientOn(active);
    c.Brush()->Style = bsSolid;
    c.Brush()->Color = gradient ? TColor(right) : system;
    c.FillRect(caption);
    if (gradient) {
        const int w = text.Width();
        for (int i = 0; i < numColors_; ++i) {
            c.Brush()->Color = TColor(GradientBandColor(left, right, i, numColors_));
            c.FillRect(Rect(text.Left + MulDiv(i, w, numColors_), text.Top,
                            text.Left + MulDiv(i + 1, w, numColors_), text.Bottom));
        }
    }
    drawIconAndButtons(c, caption, text);
    c.Font()->Assign(sysFont_);
    if (OnDrawCaption) OnDrawCaption(this, &c, text);
    CaptionText.Refresh();

    const int parts = PartsThatFit(c, text.Width());
    TCompanyText* order[] = {&CompanyText, &AppNameText, &CaptionText};
    int drawn = 0;
    for (int i = 3 - parts; i < 3; ++i)
        if (order[i]->Visible()) {
            c.Font()->Assign(*order[i]->Font());
            drawn += c.TextWidth(order[i]->Caption()) + 3;
        }
    int x = text.Left;
    if (drawn < text.Width()) {
        if (Justification == jCenter)
            x += (text.Width() - drawn) / 2;
        else if (Justification == jRight)
            x += text.Width() - drawn;
    }
    c.Brush()->Style = bsClear;
    for (int i = 3 - parts; i < 3; ++i) {
        TCompanyText& p = *order[i];
        const std::string s = p.Caption();
        if (!p.Visible() || s.empty()) continue;
        c.Font()->Assign(*p.Font());
        c.Font()->SetColor(active ? p.ColorActive() : p.ColorInactive());
        TRect r = Rect(x + 3, text.Top, text.Right, text.Bottom);
        c.DrawText(Ellipsize(c, s, r.Width()), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        x += 3 + c.TextWidth(s);
        if (x >= text.Right) break;
    }
    c.Brush()->Style = bsSolid;
    target.CopyRect(caption, &c, caption);
}

void TGradientCaption::wndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_NCPAINT:
            oldProc_(m);  // the frame and borders; the title is painted over them
            if (m.LParam) {
                auto* nc = reinterpret_cast<TNcPaint*>(m.LParam);
                PaintCaption(*nc->canvas, nc->width, nc->height);
            }
            return;
        case WM_NCACTIVATE:
            active_ = m.WParam != 0;
            activationSeen_ = true;
            // An MDI child lets its frame's client window see the message too; an MDI frame
            // tells its active child, whose caption follows the frame's state.
            if (form_->FormStyle == fsMDIChild) {
                oldProc_(m);
            } else if (form_->FormStyle == fsMDIForm) {
                if (TForm* child = form_->ActiveMDIChild())
                    SendMessageA(child->Handle(), WM_NCACTIVATE, m.WParam, m.LParam);
            }
            RedrawFrame();
            m.Result = 1;
            return;
        case WM_SETCURSOR: {
            const int hit = int(short(m.LParam & 0xFFFF));
            unsigned cursor = 0;
            if (hit == HTLEFT || hit == HTRIGHT)
                cursor = IDC_SIZEWE;
            else if (hit == HTTOP || hit == HTBOTTOM)
                cursor = IDC_SIZENS;
            else if (hit == HTTOPLEFT || hit == HTBOTTOMRIGHT)
                cursor = IDC_SIZENWSE;
            else if (hit == HTTOPRIGHT || hit == HTBOTTOMLEFT)
                cursor = IDC_SIZENESW;
            if (cursor) {
                SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(cursor)));
                m.Result = 1;
                return;
            }
            break;
        }
        case WM_SETICON:
            oldProc_(m);
            RedrawFrame();
            return;
        case WM_DESTROY:
            // The window goes but the painter stays: take over the window that replaces it.
            if (!form_->Destroying() && !Destroying() && Application) {
                recreating_ = true;
                auto old = oldProc_;
                unhook();
                PostMessageA(Application->Handle(), kRehookMessage, 0, LPARAM(this));
                old(m);
                return;
            }
            break;
        case WM_DISPLAYCHANGE:
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            oldProc_(m);
            ReadSystemCaptionFont();
            CompanyText.ApplyFontKind();
            AppNameText.ApplyFontKind();
            CaptionText.ApplyFontKind();
            RedrawFrame();
            return;
        default:
            break;
    }
    oldProc_(m);
}

// ---------------------------------------------------------------- form files

void RegisterGradientCaption() {
    auto text = [](const std::string& part) {
        auto pick = [part](TComponent* c) -> TCompanyText& {
            auto* g = static_cast<TGradientCaption*>(c);
            return part == "CompanyText"   ? g->CompanyText
                   : part == "AppNameText" ? static_cast<TCompanyText&>(g->AppNameText)
                                           : g->CaptionText;
        };
        auto prop = [&](const char* name,
                        const std::function<void(TCompanyText&, const TDfmValue&)>& set) {
            RegisterProperty("TGradientCaption", part + name,
                             [pick, set](TComponent* c, const TDfmValue& v) { set(pick(c), v); });
        };
        prop(".Caption", [](TCompanyText& t, const TDfmValue& v) { t.SetCaption(v.s); });
        prop(".Visible", [](TCompanyText& t, const TDfmValue& v) { t.SetVisible(v.AsBool()); });
        prop(".ColorActive",
             [](TCompanyText& t, const TDfmValue& v) { t.SetColorActive(v.AsInt()); });
        prop(".ColorInactive",
             [](TCompanyText& t, const TDfmValue& v) { t.SetColorInactive(v.AsInt()); });
        prop(".FontKind", [](TCompanyText& t, const TDfmValue& v) {
            static const char* const kinds[] = {"fkCustom",  "fkSystem",   "fkSystemI",
                                                "fkSystemB", "fkSystemBI", "fkAutoHeight"};
            for (int k = 0; k < 6; ++k)
                if (SameText(v.s, kinds[k])) t.SetFontKind(TFontKind(k));
        });
        prop(".Font.Name", [](TCompanyText& t, const TDfmValue& v) { t.Font()->SetName(v.s); });
        prop(".Font.Height",
             [](TCompanyText& t, const TDfmValue& v) { t.Font()->SetHeight(v.AsInt()); });
        prop(".Font.Color",
             [](TCompanyText& t, const TDfmValue& v) { t.Font()->SetColor(v.AsInt()); });
        prop(".Font.Charset", [](TCompanyText&, const TDfmValue&) {});
        prop(".Font.Style", [](TCompanyText& t, const TDfmValue& v) {
            TFontStyles st;
            if (v.s.find("fsBold") != std::string::npos) st.insert(fsBold);
            if (v.s.find("fsItalic") != std::string::npos) st.insert(fsItalic);
            t.Font()->SetStyle(st);
        });
    };
    TClassReg<TGradientCaption>("TGradientCaption", "TComponent")
        .prop("ColorLeftActive",
              [](TGradientCaption* g, const TDfmValue& v) { g->ColorLeftActive = v.AsInt(); })
        .prop("ColorLeftInActive",
              [](TGradientCaption* g, const TDfmValue& v) { g->ColorLeftInActive = v.AsInt(); })
        .prop("ColorRightActive",
              [](TGradientCaption* g, const TDfmValue& v) { g->ColorRightActive = v.AsInt(); })
        .prop("ColorRightInActive",
              [](TGradientCaption* g, const TDfmValue& v) { g->ColorRightInActive = v.AsInt(); })
        .prop("NumColors",
              [](TGradientCaption* g, const TDfmValue& v) { g->SetNumColors(v.AsInt()); })
        .prop("Enabled",
              [](TGradientCaption* g, const TDfmValue& v) {
                  g->Enabled = SameText(v.s, "geAlways")       ? geAlways
                               : SameText(v.s, "geNever")      ? geNever
                               : SameText(v.s, "geWhenActive") ? geWhenActive
                                                               : geSmart;
              })
        .prop("Justification", [](TGradientCaption* g, const TDfmValue& v) {
            g->Justification = SameText(v.s, "jLeft")     ? jLeft
                               : SameText(v.s, "jCenter") ? jCenter
                               : SameText(v.s, "jRight")  ? jRight
                                                          : jAuto;
        });
    text("CompanyText");
    text("AppNameText");
    text("CaptionText");
}
