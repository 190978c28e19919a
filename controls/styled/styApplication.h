// The one process-wide object of the styled layer: the timer pool, the theme state and its
// broadcast, the shared 8x8 pattern bitmap, the check-box cell size, the log-file name, the
// ini store settings, and the instance mutex that tells whether the program runs twice.
#pragma once

#include <array>
#include <memory>

#include "controls/styled/styIniCtrl.h"
#include "controls/styled/styTimerPool.h"
#include "platform/vcl/forms.h"

// Component message broadcast to every control when the visual theme changed.
constexpr UINT CM_STYTHEMECHANGED = 45270;  // B0D6

class TStyApplication : public TComponent {
public:
    TStyApplication();
    ~TStyApplication() override;
    std::string ClassName() const override { return "TStyApplication"; }

    // Software timers: ids 64769..65018, 0 when all 250 are in use. The pool's exceptions
    // (an interval that is no multiple of 50 ms) pass to the caller.
    static constexpr uint16_t FirstTimerId = 0xFD01;
    static constexpr int TimerSlots = 250;
    uint16_t AddTimer(uint16_t interval, TNotifyEvent event);
    void RemoveTimer(uint16_t id);
    TStyTimerItem* GetTimerItem(uint16_t id) const { return timerPool_->ItemById(id); }
    TStyTimerPool* TimerPool() const { return timerPool_; }

    // Themes are wanted and in use.
    bool UseThemes() const;
    bool ThemeMode() const { return themeMode_; }
    void RefreshThemeFlag();
    // Switching on is refused while the system has no active theme.
    void SetThemeMode(bool on);
    // Tells the controls of every visible form that the theme changed.
    void BroadcastThemeChange();
    bool NoThemeReset = false;

    // An 8x8 bitmap with the colour on every pixel whose x and y differ in parity, white
    // elsewhere; cached for the last colour and owned by this object.
    TBitmap* GetPatternBitmap(TColor color);

    void SetLogFileName(const std::string& name);
    const std::string& LogFile() const { return logFile_; }
    TStyPathPrefix LogPrefix = ppProgram;

    TStyIniCtrl* IniCtrl() const { return iniCtrl_; }
    // Bit 0: no palettes on displays of 8 bits or less.
    uint8_t PaletteOption = 1;
    int CheckWidth() const { return checkWidth_; }
    int CheckHeight() const { return checkHeight_; }
    bool SecondInstance() const { return secondInstance_; }
    HANDLE Mutex() const { return mutex_; }
    int64_t PerformanceFrequency() const { return frequency_; }

private:
    TStyIniCtrl* iniCtrl_;
    std::unique_ptr<TBitmap> patternBitmap_;
    TColor patternColor_ = clNone;
    TStyTimerPool* timerPool_;
    std::string logFile_;
    int64_t frequency_ = 0;
    HANDLE mutex_ = nullptr;
    bool secondInstance_ = false;
    int checkWidth_ = 13;  // measured from the system bitmap when there is one
    int checkHeight_ = 13;
    bool themeMode_ = true;
    std::array<bool, TimerSlots> slotUsed_{};
};

extern TStyApplication* StyApp;

// Start-up and end of the layer, once per program, around every window: loads the theme
// library, sets the platform flags, creates StyApp; the end frees it again.
void StyLayerInitialize();
void StyLayerFinalize();

// Raised when a component that may exist once per form is placed a second time.
class StyEOneInstError : public Exception {
    using Exception::Exception;
};

// True when a component of class T may not be created in `owner`: no form, or more than
// one of T among its components (the new one included).
template <class T>
bool StyCheckOwnerInstance(TComponent* owner) {
    if (!dynamic_cast<TForm*>(owner)) return true;
    int n = 0;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (dynamic_cast<T*>(owner->Components(i))) ++n;
    return n > 1;
}
// Kind 0: invalid owner or second instance in a form; kind 1: one per project.
[[noreturn]] void RaiseOneInstError(int kind, const std::string& name);
