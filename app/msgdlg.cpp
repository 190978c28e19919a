#include "app/msgdlg.h"

#include "controls/extended/xcGif.h"
#include "engine/util.h"

TForm_MsgDlg* Form_MsgDlg = nullptr;
unsigned TForm_MsgDlg::AutoCloseHoldMs = 11000;

TForm_MsgDlg::TForm_MsgDlg(TComponent* owner) : TForm(owner) {
    BindField("ImageWarning", ImageWarning);
    BindField("ImageError", ImageError);
    BindField("ImageConfirmation", ImageConfirmation);
    BindField("ImageInformation", ImageInformation);
    BindField("SpeedButtonOK", SpeedButtonOK);
    BindField("SpeedButtonCancel", SpeedButtonCancel);
    BindField("ScrollBox_msg", ScrollBox_msg);
    BindField("LabelMsgDlg", LabelMsgDlg);
    BindField("GradientCaptionMsgDlg", GradientCaptionMsgDlg);
    BindField("Timer_autoClose", Timer_autoClose);
    BindMethod<TNotifyEvent>("SpeedButtonOKClick", this, &TForm_MsgDlg::SpeedButtonOKClick);
    BindMethod<TNotifyEvent>("SpeedButtonCancelClick", this, &TForm_MsgDlg::SpeedButtonCancelClick);
    BindMethod<TKeyEvent>("FormKeyDown", this, &TForm_MsgDlg::FormKeyDown);
    BindMethod<TNotifyEvent>("Timer_autoCloseTimer", this, &TForm_MsgDlg::Timer_autoCloseTimer);
}

std::string TForm_MsgDlg::RemoveAll(std::string S, const std::string& Sub) {
    if (Sub.empty()) return S;
    for (size_t p; (p = S.find(Sub)) != std::string::npos;) S.erase(p, Sub.size());
    return S;
}

int TForm_MsgDlg::ShowMsg(const std::string& Text, TMsgKind Kind, bool AutoClose) {
    std::string text = Text;
    if (AutoClose) text = "*** 此对话框将在 " + IntToStr(10) + " 秒后自动关闭! ***\n\n" + text;
    Timer_autoClose->SetInterval(10000);
    Timer_autoClose->SetEnabled(AutoClose);

    // Let the label take the height of the text wrapped at 291 pixels.
    LabelMsgDlg->SetCaption(text);
    LabelMsgDlg->SetLeft(16);
    LabelMsgDlg->SetAutoSize(true);
    LabelMsgDlg->SetWidth(291);
    LabelMsgDlg->AdjustSize();
    LabelMsgDlg->SetAutoSize(false);
    LabelMsgDlg->SetLeft(8);
    if (LabelMsgDlg->Height() > 94) {
        ScrollBox_msg->SetHeight(LabelMsgDlg->Height() + 16);
        SetHeight(ScrollBox_msg->Height() + 90);
        SpeedButtonOK->SetTop(Height() - 60);
        SpeedButtonCancel->SetTop(Height() - 60);
    }

    static const char* const captions[] = {" 警 告 ", " 错 误 ", " 信 息 ", " 确 认 "};
    if (Kind > mkConfirmation) return 2;
    SetCaption(captions[Kind]);
    SpeedButtonOK->SetVisible(true);
    if (Kind == mkConfirmation) {
        SpeedButtonOK->SetCaption("» &Yes  ");
        SpeedButtonCancel->SetCaption("» &No  ");
        SpeedButtonCancel->SetVisible(true);
    } else {
        SpeedButtonOK->SetCaption("» &OK  ");
        SpeedButtonCancel->SetCaption("» &Cancel  ");
        SpeedButtonCancel->SetVisible(false);
    }
    ImageWarning->SetVisible(Kind == mkWarning);
    ImageError->SetVisible(Kind == mkError);
    ImageInformation->SetVisible(Kind == mkInformation);
    ImageConfirmation->SetVisible(Kind == mkConfirmation);
    RedrawFrame();

    std::string title = RemoveAll(Trim(Caption()), " ");
    Log("Message", title + ": " + RemoveAll(text, "\n"));

    if (AutoClose) {
        // Nobody answers an unattended message: show it, hold, and go on as Cancel; the
        // armed timer ends the process at the next message processing.
        Show();
        Application->ProcessMessages();
        Sleep(AutoCloseHoldMs);
        return 2;
    }
    // A box still standing from an unattended message is taken down before it turns modal.
    if (Visible() && !IsModal()) Hide();
    int result = ShowModal();
    return result;
}

void TForm_MsgDlg::SpeedButtonOKClick(TObject*) { ModalResult = mrOk; }
void TForm_MsgDlg::SpeedButtonCancelClick(TObject*) { ModalResult = mrCancel; }

void TForm_MsgDlg::FormKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key == 13 && SpeedButtonOK->Visible()) SpeedButtonOK->Click();
}

void TForm_MsgDlg::Timer_autoCloseTimer(TObject*) {
    Timer_autoClose->SetEnabled(false);
    Halt(1);
}

void RegisterMsgDlgClasses() {
    RegisterGradientCaption();
    RegisterGIFFormat();
    RegisterAniFormat();
    TClassReg<TForm_MsgDlg>("TForm_MsgDlg", "TForm", false);
}
