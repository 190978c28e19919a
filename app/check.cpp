#include "app/check.h"

#include "engine/checker.h"

TForm_check* Form_check = nullptr;

TForm_check::TForm_check(TComponent* owner) : TForm(owner) {
    BindField("Label1", Label1);
    BindField("SpeedButton_close", SpeedButton_close);
    BindField("Timer_start", Timer_start);
    const char* rows[] = {"gs", "printer", "word", "excel", "powerpoint", "access"};
    TPanel** panels[] = {&Panel_gs,    &Panel_printer,    &Panel_word,
                         &Panel_excel, &Panel_powerpoint, &Panel_access};
    TLabel** labels[] = {&Label_gs,    &Label_printer,    &Label_word,
                         &Label_excel, &Label_powerpoint, &Label_access};
    TXcLED** leds[] = {&XcLED_gs,    &XcLED_printer,    &XcLED_word,
                       &XcLED_excel, &XcLED_powerpoint, &XcLED_access};
    for (int i = 0; i < 6; ++i) {
        BindField(std::string("Panel_") + rows[i], *panels[i]);
        BindField(std::string("Label_") + rows[i], *labels[i]);
        BindField(std::string("XcLED_") + rows[i], *leds[i]);
    }
    BindMethod<TNotifyEvent>("FormShow", this, &TForm_check::FormShow);
    BindMethod<TNotifyEvent>("Timer_startTimer", this, &TForm_check::Timer_startTimer);
    BindMethod<TNotifyEvent>("SpeedButton_closeClick", this, &TForm_check::SpeedButton_closeClick);
}

void TForm_check::FormShow(TObject*) { Timer_start->SetEnabled(true); }

void TForm_check::Timer_startTimer(TObject*) {
    Timer_start->SetEnabled(false);
    RunChecks();
}

void TForm_check::RunChecks() {
    Screen->SetCursor(crHourGlass);
    SetRow(XcLED_gs, 0);
    SetRow(XcLED_gs, CheckGhostscript(false) ? 1 : -1);
    SetRow(XcLED_printer, 0);
    SetRow(XcLED_printer, CheckPrinter(false, true) ? 1 : -1);
    struct Office {
        const char* app;
        TXcLED* led;
    } office[] = {{"Word", XcLED_word},
                  {"Excel", XcLED_excel},
                  {"PowerPoint", XcLED_powerpoint},
                  {"Access", XcLED_access}};
    for (const auto& o : office) {
        SetRow(o.led, 0);
        SetRow(o.led, CheckOffice(o.app, false) ? 1 : -2);
    }
    Screen->SetCursor(crDefault);
}

void TForm_check::SetRow(TXcLED* Led, int State) {
    std::string hint;
    switch (State) {
        case 1:
            Led->SetColorOn(TColor(65280));
            hint = "软件已经安装。";
            break;
        case -1:
            Led->SetColorOn(TColor(255));
            hint =
                "软件没有安装。\n请安装这个免费软件。\n更多信息在 " + std::string(kProductAddress);
            break;
        case -2:
            Led->SetColorOn(TColor(128));
            hint = "可选软件没有安装。\n很可能这个软件不是必需。";
            break;
        default:
            Led->SetColorOn(TColor(65535));
            hint = "软件的状态未知。";
            break;
    }
    Led->SetHint(hint);
    // The row's label and panel explain the lamp the same way.
    struct Row {
        TXcLED* led;
        TLabel* label;
        TPanel* panel;
    } rows[] = {{XcLED_gs, Label_gs, Panel_gs},
                {XcLED_printer, Label_printer, Panel_printer},
                {XcLED_word, Label_word, Panel_word},
                {XcLED_excel, Label_excel, Panel_excel},
                {XcLED_powerpoint, Label_powerpoint, Panel_powerpoint},
                {XcLED_access, Label_access, Panel_access}};
    for (const auto& r : rows) {
        if (r.led != Led) continue;
        r.label->SetHint(hint);
        r.panel->SetHint(hint);
    }
    Application->ProcessMessages();
}

void TForm_check::SpeedButton_closeClick(TObject*) { Close(); }

void RegisterCheckClasses() {
    RegisterXcLED();
    TClassReg<TForm_check>("TForm_check", "TForm", false);
}
