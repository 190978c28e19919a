// The one message box of the program: every message is shown and logged here, and in
// unattended runs it closes itself and ends the process.
#pragma once

#include "app/gradcap.h"
#include "engine/host.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm_MsgDlg : public TForm {
public:
    explicit TForm_MsgDlg(TComponent* owner);
    std::string ClassName() const override { return "TForm_MsgDlg"; }

    TImage* ImageWarning = nullptr;
    TImage* ImageError = nullptr;
    TImage* ImageConfirmation = nullptr;
    TImage* ImageInformation = nullptr;
    TSpeedButton* SpeedButtonOK = nullptr;
    TSpeedButton* SpeedButtonCancel = nullptr;
    TScrollBox* ScrollBox_msg = nullptr;
    TLabel* LabelMsgDlg = nullptr;
    TGradientCaption* GradientCaptionMsgDlg = nullptr;
    TTimer* Timer_autoClose = nullptr;

    // 1 for OK or Yes, 2 for Cancel or No; always 2 when AutoClose or for an unknown kind.
    int ShowMsg(const std::string& Text, TMsgKind Kind, bool AutoClose);

    void SpeedButtonOKClick(TObject* Sender);
    void SpeedButtonCancelClick(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Timer_autoCloseTimer(TObject* Sender);

    static std::string RemoveAll(std::string S, const std::string& Sub);
    // How long the unattended form holds the program (ms); tests shorten it.
    static unsigned AutoCloseHoldMs;
};

extern TForm_MsgDlg* Form_MsgDlg;

void RegisterMsgDlgClasses();
