// The installation check: one lamp per outside program, lit by the checks.
#pragma once

#include "controls/extended/xcLed.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm_check : public TForm {
public:
    explicit TForm_check(TComponent* owner);
    std::string ClassName() const override { return "TForm_check"; }

    TLabel* Label1 = nullptr;
    TSpeedButton* SpeedButton_close = nullptr;
    TTimer* Timer_start = nullptr;
    TPanel *Panel_gs = nullptr, *Panel_printer = nullptr, *Panel_word = nullptr,
           *Panel_excel = nullptr, *Panel_powerpoint = nullptr, *Panel_access = nullptr;
    TLabel *Label_gs = nullptr, *Label_printer = nullptr, *Label_word = nullptr,
           *Label_excel = nullptr, *Label_powerpoint = nullptr, *Label_access = nullptr;
    TXcLED *XcLED_gs = nullptr, *XcLED_printer = nullptr, *XcLED_word = nullptr,
           *XcLED_excel = nullptr, *XcLED_powerpoint = nullptr, *XcLED_access = nullptr;

    void FormShow(TObject* Sender);
    void Timer_startTimer(TObject* Sender);
    void RunChecks();
    void SetRow(TXcLED* Led, int State);
    void SpeedButton_closeClick(TObject* Sender);
};

extern TForm_check* Form_check;
void RegisterCheckClasses();
