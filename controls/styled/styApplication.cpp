#include "controls/styled/styApplication.h"

#include <functional>

#include "controls/styled/styConsts.h"
#include "controls/styled/styImageLists.h"
#include "controls/styled/styPathStrings.h"
#include "controls/styled/styThemeLoader.h"
#include "controls/styled/styWndProc.h"
#include "platform/gdi/iconDraw.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/handles.h"
#include "platform/win/icons.h"
#include "platform/win/module.h"
#include "platform/win/mutex.h"
#include "platform/win/version.h"

TStyApplication* StyApp = nullptr;

namespace {
// The theme manager the layer keeps without an owner: it hooks no window by itself.
TStyXPThemeManager* g_themeManager = nullptr;
}  // namespace

namespace {

constexpr uint16_t PoolPeriod = 50;
constexpr DWORD STAP_ALLOW_NONCLIENT_AND_CONTROLS = 3;

void SendThemeChangedToWindows(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!w) continue;
        if (w->HandleAllocated()) SendMessageA(w->Handle(), WM_THEMECHANGED, 0, 0);
        SendThemeChangedToWindows(w);
    }
}

// The class library's broadcast: each child control in turn until one answers.
void Broadcast(TWinControl* parent, UINT msg) {
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i)->Perform(msg, 0, 0) != 0) return;
}

}  // namespace

TStyApplication::TStyApplication() : TComponent(nullptr) {
    iniCtrl_ = new TStyIniCtrl(this);
    timerPool_ = new TStyTimerPool(this, PoolPeriod);
    QueryPerformanceFrequency(&frequency_);
    // The mutex is named by the program file's name, so copies of one program see each other.
    std::string name = ExtractFileName(UpperCase(ModuleFileName()));
    mutex_ = CreateMutexA(nullptr, 0, name.c_str());
    if (mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) secondInstance_ = true;
    // One cell of the system's check-box images: four columns, three rows.
    if (HBITMAP boxes = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES))) {
        BITMAP bm{};
        if (GetObjectA(boxes, sizeof bm, &bm)) {
            checkWidth_ = bm.bmWidth / 4;
            checkHeight_ = bm.bmHeight / 3;
        }
        DeleteObject(boxes);
    }
    SetLogFileName("");
}

TStyApplication::~TStyApplication() {
    timerPool_->Clear();
    if (mutex_) CloseHandle(mutex_);
}

uint16_t TStyApplication::AddTimer(uint16_t interval, TNotifyEvent event) {
    int slot = 0;
    while (slot < TimerSlots && slotUsed_[size_t(slot)]) ++slot;
    if (slot == TimerSlots) return 0;
    uint16_t id = uint16_t(FirstTimerId + slot);
    if (timerPool_->AddItem(id, interval, std::move(event)) == -1) return 0;
    slotUsed_[size_t(slot)] = true;
    return id;
}

void TStyApplication::RemoveTimer(uint16_t id) {
    if (id < FirstTimerId) return;
    timerPool_->RemoveItem(id);
    if (id - FirstTimerId < TimerSlots) slotUsed_[size_t(id - FirstTimerId)] = false;
}

bool TStyApplication::UseThemes() const { return themeMode_ && StyThemesActive(); }

void TStyApplication::RefreshThemeFlag() { themeMode_ = StyThemesActive(); }

void TStyApplication::SetThemeMode(bool on) {
    if (on == themeMode_) return;
    if (on && !StyThemesActive()) return;
    themeMode_ = on;
    if (!ThemeLibraryLoaded) return;
    // The application's window first, then the theme properties and the forms.
    if (Application) SendMessageA(Application->Handle(), WM_THEMECHANGED, 0, 0);
    if (on)
        StySetThemeAppProperties(STAP_ALLOW_NONCLIENT_AND_CONTROLS);
    else if (!NoThemeReset)
        StySetThemeAppProperties(0);
    BroadcastThemeChange();
}

void TStyApplication::BroadcastThemeChange() {
    if (!Screen) return;
    std::vector<TForm*> forms = Screen->Forms;  // a handler may open or close forms
    for (TForm* form : forms) {
        if (!form->Visible()) continue;
        Broadcast(form, CM_STYTHEMECHANGED);
        SendThemeChangedToWindows(form);
        if (!NoThemeReset && form->HandleAllocated())
            SendMessageA(form->Handle(), WM_THEMECHANGED, 0, 0);
    }
}

TBitmap* TStyApplication::GetPatternBitmap(TColor color) {
    if (patternBitmap_ && color == patternColor_) return patternBitmap_.get();
    if (!patternBitmap_) {
        patternBitmap_ = std::make_unique<TBitmap>();
        patternBitmap_->SetSize(8, 8);
        patternBitmap_->Canvas()->Brush()->Color = clWhite;
        patternBitmap_->Canvas()->Brush()->Style = bsSolid;
        patternBitmap_->Canvas()->FillRect(Rect(0, 0, 8, 8));
    }
    TCanvas* c = patternBitmap_->Canvas();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x + y) % 2 == 1) c->SetPixel(x, y, color);
    patternColor_ = color;
    return patternBitmap_.get();
}

void TStyApplication::SetLogFileName(const std::string& name) {
    std::string n = name;
    if (IsBlank(n))
        n = ChangeFileExt(ModuleFileName(), ".LOG");
    else if (ExtractFileExt(n).empty())
        n += ".LOG";
    logFile_ = LogPrefix == ppFixed ? n : GetPathPrefix(LogPrefix, true) + ExtractFileName(n);
}

void StyLayerInitialize() {
    if (StyApp) return;
    LoadThemeLibrary();
    StyInitSystemFlags();
    StyApp = new TStyApplication;
    g_themeManager = new TStyXPThemeManager(nullptr);
}

void StyLayerFinalize() {
    StyFreeGlobalContainer();
    delete g_themeManager;
    g_themeManager = nullptr;
    delete StyApp;
    StyApp = nullptr;
    FreeThemeLibrary();
}

void RaiseOneInstError(int kind, const std::string& name) {
    if (kind == 0) throw StyEOneInstError(name + ":\r" + SStyInvalidOwner);
    throw StyEOneInstError(name + ":\r" + "Already one " + name + " control in this project!");
}
