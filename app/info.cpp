#include "app/info.h"

#include "app/main.h"
#include "engine/checker.h"
#include "platform/user/metrics.h"
#include "platform/win/shell.h"

TForm_info* Form_info = nullptr;
const char* const kSupportMail = "support@vexomat.example.com";

TLinkWindow::TLinkWindow(TComponent* owner) : TForm(owner) {
    BindField("imageLogo", imageLogo);
    BindField("Label_email", Label_email);
    BindField("Label_web", Label_web);
    BindField("Image_quenor", Image_quenor);
    BindField("SpeedButton_close", SpeedButton_close);
    BindMethod<TNotifyEvent>("Label_emailClick", this, &TLinkWindow::Label_emailClick);
    BindMethod<TNotifyEvent>("Label_webClick", this, &TLinkWindow::Label_webClick);
    BindMethod<TNotifyEvent>("Image_quenorClick", this, &TLinkWindow::Image_quenorClick);
    BindMethod<TNotifyEvent>("SpeedButton_closeClick", this, &TLinkWindow::SpeedButton_closeClick);
}

void TLinkWindow::Label_emailClick(TObject*) {
    std::string mail = "mailto:" + std::string(kSupportMail) + "?subject=Support-Question";
    ShellExecuteA(nullptr, nullptr, mail.c_str(), nullptr, nullptr, 1);
    Close();
}

void TLinkWindow::Label_webClick(TObject*) {
    ShellExecuteA(Handle(), "open", kProductAddress, nullptr, nullptr, 10);
    Close();
}

void TLinkWindow::Image_quenorClick(TObject*) {
    ShellExecuteA(Handle(), "open", kMakerAddress, nullptr, nullptr, 10);
    Close();
}

void TLinkWindow::SpeedButton_closeClick(TObject*) { Close(); }

void TLinkWindow::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    params.Style |= WS_BORDER;
}

void RegisterInfoClasses() { TClassReg<TForm_info>("TForm_info", "TForm", false); }
