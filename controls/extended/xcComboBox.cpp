#include "controls/extended/xcComboBox.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"
#include "platform/vcl/forms.h"

namespace {

constexpr WORD kF4 = 115, kLeft = 37, kUp = 38, kDown = 40;

bool IsArrow(WPARAM key) { return key >= kLeft && key <= kDown; }

}  // namespace

// ---------------------------------------------------------------- pixel limit

TXcMaxPixel::TXcMaxPixel(TControl* owner, std::function<void()> onChange)
    : owner_(owner), onChange_(std::move(onChange)) {
    font_.OnChange = [this] { changed(); };
}

void TXcMaxPixel::SetUseControlFont(bool on) {
    if (on == useControlFont_) return;
    useControlFont_ = on;
    changed();
}

void TXcMaxPixel::SetLength(int px) {
    if (px == length_) return;
    length_ = px;
    changed();
}

bool TXcMaxPixel::Test(std::string& Text, TFont* ControlFont) {
    if (length_ == 0) return true;
    TCanvas c;
    c.Font()->Assign(useControlFont_ && ControlFont ? *ControlFont : font_);
    const bool wider = c.TextWidth(Text) > length_;
    while (!Text.empty() && c.TextWidth(Text) > length_) {
        // Whole characters: a UTF-8 sequence goes at once.
        Text.erase(Utf8PrevChar(Text, Text.size()));
    }
    (void)owner_;
    return wider;
}

// ---------------------------------------------------------------- combo box

TXcCustomComboBox::TXcCustomComboBox(TComponent* owner) : TXcExCustomComboBox(owner) {
    maxPixel_ = std::make_unique<TXcMaxPixel>(this, [this] { MaxPixelChanged(); });
    provider_ = XcRef<TXcDataConsumer>(XcCreate<TXcDataConsumer>(this));
    auto* view =
        provider_->AddImplementer(std::make_unique<TXcDataConsumerViewList>(provider_.get()));
    view->RevealNew = true;
    view->SetLevelIndent(-1);
    provider_->AddImplementer(std::make_unique<TXcDataConsumerItemSelect>(provider_.get()));
    consumerStrings_ = std::make_unique<TXcConsumerStrings>(provider_.get());
    provider_->OnAfterChange = [this](TXcConsumerChange) { providerChanged(); };
    auto strings = std::make_unique<TXcComboBoxStrings>(this);
    strings->ClearProvider = [this] {
        if (providerSelected_) provider_->SetProvider(nullptr);
    };
    strings->ReadText = [this] { return TextValue(); };
    strings->WriteText = [this](const std::string& text) { SetTextValue(text); };
    itemStrings_ = strings.get();
    SetItemsObject(std::move(strings));
}

TXcCustomComboBox::~TXcCustomComboBox() {
    provider_->OnAfterChange = nullptr;
    provider_->SetProvider(nullptr);
}

void TXcCustomComboBox::providerChanged() {
    if (Destroying()) return;
    const bool selected = provider_->Provider() != nullptr;
    if (selected) {
        // The own strings go aside; the window, owner drawn now, shows the provider's rows.
        const bool fresh = !providerSelected_;
        if (fresh) itemStrings_->MoveToInternal();
        providerSelected_ = true;
        const int keep = itemIndex_;
        if (fresh) RecreateWnd();
        items_.Assign(*consumerStrings_);
        if (keep < items_.Count()) SetItemIndex(keep);
        if (fresh && HandleAllocated()) Perform(WM_INITDIALOG);
    } else if (providerSelected_) {
        // And come back.
        providerSelected_ = false;
        items_.Clear();
        RecreateWnd();
        if (itemStrings_->UsesInternal()) itemStrings_->MoveBack();
        if (HandleAllocated()) Perform(WM_INITDIALOG);
    }
    Invalidate();
}

void TXcCustomComboBox::CreateParams(TCreateParams& params) {
    TXcExCustomComboBox::CreateParams(params);
    if (providerSelected_) {
        // The provider's renderers draw the rows, in the provider's order.
        params.Style &= ~(CBS_SORT | CBS_HASSTRINGS);
        if (!(params.Style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)))
            params.Style |= CBS_OWNERDRAWFIXED;
    }
    fixedHeight_ = !(params.Style & CBS_OWNERDRAWVARIABLE);
}

TXcBaseDataItem* TXcCustomComboBox::ProviderItem(int Index) const {
    if (!providerSelected_) return nullptr;
    if (Index < 0) {
        auto* select = provider_->GetInterface<TXcDataConsumerItemSelect>();
        return select ? select->SelectedItem() : nullptr;
    }
    auto* view = provider_->GetInterface<TXcDataConsumerViewList>();
    return view && Index < view->RowCount() ? view->RowItem(Index) : nullptr;
}

int TXcCustomComboBox::FindProviderRow(const std::string& Text, int StartIndex, bool Exact) const {
    auto* view = provider_->GetInterface<TXcDataConsumerViewList>();
    const int n = view ? view->RowCount() : 0;
    if (n == 0) return -1;
    if (StartIndex < -1 || StartIndex >= n - 1) StartIndex = -1;
    const std::string wanted = AnsiUpperCase(Text);
    for (int k = 1; k <= n; ++k) {
        const int i = (StartIndex + k) % n;
        TXcBaseDataItem* item = view->RowItem(i);
        // A row without a text matches nothing, not even an empty text.
        auto* text = item ? item->GetInterface<IXcDataItemText>() : nullptr;
        if (!text) continue;
        const std::string caption = AnsiUpperCase(text->Caption());
        if (Exact ? caption == wanted : caption.compare(0, wanted.size(), wanted) == 0) return i;
    }
    return -1;
}

void TXcCustomComboBox::PeerChanged(int code) {
    TXcExCustomComboBox::PeerChanged(code);
    if (code != ws::pnSelChange || !providerSelected_) return;
    // The consumer's selected item follows the choice.
    auto* view = provider_->GetInterface<TXcDataConsumerViewList>();
    auto* select = provider_->GetInterface<TXcDataConsumerItemSelect>();
    if (view && select) select->SelectItem(view->RowItem(itemIndex_));
}

std::string TXcCustomComboBox::TextValue() const {
    return emptyShown_ ? std::string() : TXcExCustomComboBox::GetText();
}

void TXcCustomComboBox::SetTextValue(const std::string& s) { SetText(s); }

std::string TXcCustomComboBox::GetText() const { return TextValue(); }

void TXcCustomComboBox::SetReadOnly(bool on) {
    readOnly_ = on;
    Perform(EM_SETREADONLY, WPARAM(on), 0);
}

void TXcCustomComboBox::SetEmptyValue(const std::string& s) {
    // The old empty value leaves the box before the new one may show.
    if (emptyShown_) HideEmptyValue();
    emptyValue_ = s;
    if (!HandleAllocated()) return;
    if (Focused())
        HideEmptyValue();
    else
        ShowEmptyValue();
}

void TXcCustomComboBox::ShowEmptyValue() {
    if (emptyValue_.empty() || emptyShown_ || !TXcExCustomComboBox::GetText().empty()) return;
    emptyShown_ = true;
    SetText(emptyValue_);
    savedFontColor_ = font_.Color();
    font_.SetColor(emptyFontColor_);
}

void TXcCustomComboBox::HideEmptyValue() {
    if (emptyValue_.empty() || !emptyShown_) return;
    SetText("");
    emptyShown_ = false;
    font_.SetColor(savedFontColor_);
}

void TXcCustomComboBox::SetMeasureStyle(TXcComboBoxMeasureStyle s) {
    measureStyle_ = s;
    RecreateWnd();
    if (HandleAllocated()) Perform(WM_INITDIALOG);
}

void TXcCustomComboBox::SetItemHeight(int h) {
    lastItemHeight_ = h;
    TXcExCustomComboBox::SetItemHeight(h);
}

void TXcCustomComboBox::Loaded() {
    TXcExCustomComboBox::Loaded();
    provider_->Loaded();
    if (HandleAllocated()) {
        Perform(EM_SETREADONLY, WPARAM(readOnly_), 0);
        Perform(WM_INITDIALOG);
    }
}

void TXcCustomComboBox::PeerCreated() {
    TXcExCustomComboBox::PeerCreated();
    Perform(EM_SETREADONLY, WPARAM(readOnly_), 0);
    if (Focused())
        HideEmptyValue();
    else
        ShowEmptyValue();
    // The new window's heights are measured when the measure style asks it.
    Perform(WM_INITDIALOG);
}

void TXcCustomComboBox::SyncItems() {
    // Emptying the items keeps what the edit part shows.
    const bool keep = peer_ && !emptyShown_ && itemIndex_ < 0;
    const std::string text = keep ? peer_->text() : std::string();
    TXcExCustomComboBox::SyncItems();
    if (keep && !text.empty()) peer_->setText(text);
}

void TXcCustomComboBox::MeasureItemHeight(int Index, int& Height) {
    if (OnMeasureItem && IsOwnerDrawn()) {
        OnMeasureItem(this, Index, Height);
        return;
    }
    // The item's renderer measures it (the edit part shows the selected item); the row is
    // never lower than the height asked.
    TXcBaseDataItem* item = ProviderItem(Index);
    if (!item) return;
    TCanvas* c = Canvas();
    c->Font()->Assign(font_);
    Height = std::max(Height, int(XcMeasureDataItem(*c, item).cy));
}

void TXcCustomComboBox::MeasureItem(int index, int& height) {
    if (Loading()) return;
    if (measureStyle_ == cmsStandard || providerSelected_) MeasureItemHeight(index, height);
}

void TXcCustomComboBox::MeasureAll() {
    const int last = fixedHeight_ ? 0 : items_.Count() - 1;
    for (int i = -1; i <= last; ++i) {
        int h = lastItemHeight_;
        MeasureItemHeight(i, h);
        Perform(CB_SETITEMHEIGHT, WPARAM(i), LPARAM(h));
    }
}

std::string TXcCustomComboBox::ItemTextOf(int Index) {
    if (!providerSelected_) return Items()->Get(Index);
    auto* view = provider_->GetInterface<TXcDataConsumerViewList>();
    if (!view || Index < 0 || Index >= view->RowCount())
        throw EListError(Format("列表索引超过了最大值(%d)", Index));
    // A row without a text shows the framework's words for it.
    return TXcCustomDataItemsTextRenderer::TextOf(view->RowItem(Index));
}

void TXcCustomComboBox::DrawItem(int index, const TRect& r, TOwnerDrawState state) {
    if (Destroying()) return;
    if (measureStyle_ == cmsBeforeDraw && !fixedHeight_) {
        int h = lastItemHeight_;
        MeasureItemHeight((state & ODS_COMBOBOXEDIT) ? -1 : index, h);
        Perform(CB_SETITEMHEIGHT, WPARAM((state & ODS_COMBOBOXEDIT) ? -1 : index), LPARAM(h));
    }
    if (OnDrawItem && IsOwnerDrawn()) {
        OnDrawItem(this, index, r, state);
        return;
    }
    if (!Enabled()) state |= ODS_GRAYED | ODS_DISABLED;
    TCanvas* c = Canvas();
    auto* view = providerSelected_ ? provider_->GetInterface<TXcDataConsumerViewList>() : nullptr;
    if (TXcBaseDataItem* item =
            view && index >= 0 && index < view->RowCount() ? view->RowItem(index) : nullptr) {
        // The item's renderer draws it, indented by its level.
        const bool selected = (state & ODS_SELECTED) != 0;
        c->Brush()->Color = selected ? clHighlight : Color();
        c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
        c->FillRect(r);
        TRect ir = r;
        ir.Left += 2 + std::max(0, view->LevelIndent()) * view->RowLevel(index);
        XcDrawDataItem(*c, item, ir, state);
        return;
    }
    c->FillRect(r);
    if (index >= 0 && index < items_.Count()) c->TextOut(r.Left + 2, r.Top, ItemTextOf(index));
}

bool TXcCustomComboBox::refusedWhileReadOnly(TMessage& m) {
    if (!readOnly_) return false;
    switch (m.Msg) {
        case CN_KEYDOWN:
            if (m.WParam != kF4) return false;
            m.Result = 1;
            return true;
        case CN_SYSKEYDOWN:
            if (m.WParam != kUp && m.WParam != kDown) return false;
            m.Result = 1;
            return true;
        case WM_KEYDOWN:
            if (!IsArrow(m.WParam) && m.WParam != kF4) return false;
            m.Result = 0;
            return true;
        case WM_SYSKEYDOWN:
            if (m.WParam != kUp && m.WParam != kDown) return false;
            m.Result = 0;
            return true;
        case WM_CHAR:
            m.Result = 0;
            return true;
        case WM_COMMAND:
            if ((m.WParam >> 16) != 1) return false;
            m.Result = 0;
            return true;
        case WM_LBUTTONDOWN:
            // Only the focus: the list does not drop down.
            SetFocus();
            return true;
        case WM_LBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

void TXcCustomComboBox::WndProc(TMessage& m) {
    if (refusedWhileReadOnly(m)) return;
    switch (m.Msg) {
        case CM_ENTER:
            HideEmptyValue();
            break;
        case CM_EXIT:
            ShowEmptyValue();
            break;
        default:
            break;
    }
    TXcExCustomComboBox::WndProc(m);
}

bool TXcCustomComboBox::DoKeyDown(WORD& key, TShiftState shift) {
    TMessage m{UINT((shift & ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN), key, 0, 0};
    if (refusedWhileReadOnly(m)) return true;
    return TXcExCustomComboBox::DoKeyDown(key, shift);
}

bool TXcCustomComboBox::DoKeyPress(char& key) {
    TMessage m{WM_CHAR, WPARAM(static_cast<unsigned char>(key)), 0, 0};
    if (refusedWhileReadOnly(m)) return true;
    return TXcExCustomComboBox::DoKeyPress(key);
}

void TXcCustomComboBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CB_FINDSTRING:
        case CB_FINDSTRINGEXACT:
        case CB_SELECTSTRING: {
            // Without a provider the class library searches its items.
            if (!providerSelected_) break;
            const std::string text = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
            const int found = FindProviderRow(text, int(m.WParam), m.Msg == CB_FINDSTRINGEXACT);
            if (found >= 0 && m.Msg == CB_SELECTSTRING) Perform(CB_SETCURSEL, WPARAM(found));
            m.Result = found;
            return;
        }
        case CN_MEASUREITEM: {
            TXcExCustomComboBox::Dispatch(m);
            // The class library asks only variable heights; a provider's renderer measures
            // the one height of the other styles too.
            if (Style == csOwnerDrawVariable || !providerSelected_) return;
            auto& mis = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            int h = int(mis.itemHeight);
            MeasureItem(int(mis.itemID), h);
            mis.itemHeight = UINT(h);
            return;
        }
        case WM_INITDIALOG:
            TXcExCustomComboBox::Dispatch(m);
            if (measureStyle_ == cmsAfterCreate ||
                (providerSelected_ && !(measureStyle_ == cmsBeforeDraw && !fixedHeight_)))
                MeasureAll();
            return;
        default:
            break;
    }
    TXcExCustomComboBox::Dispatch(m);
}

void TXcCustomComboBox::MaxPixelChanged() {
    if (Style == csDropDownList || emptyShown_) return;
    std::string text = TextValue();
    const std::string before = text;
    maxPixel_->Test(text, &font_);
    if (text != before) SetTextValue(text);
    // The caret goes after the last character (-1 as both ends), whether or not anything was
    // cut.
    Perform(CB_SETEDITSEL, 0, LPARAM(0xFFFFFFFF));
}

void RegisterXcComboBox() {
    TClassReg<TXcComboBox>("TXcComboBox", "TXcExCustomComboBox")
        .prop("ReadOnly", [](TXcComboBox* c, const TDfmValue& v) { c->SetReadOnly(v.AsBool()); })
        .prop("EmptyValue", [](TXcComboBox* c, const TDfmValue& v) { c->SetEmptyValue(v.s); })
        .prop("EmptyFontColor",
              [](TXcComboBox* c, const TDfmValue& v) { c->SetEmptyFontColor(TColor(v.AsInt())); });
}
