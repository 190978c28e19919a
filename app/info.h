// The about window and the links it shares with the FAQ window.
#pragma once

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

extern const char* const kSupportMail;

// The three links of the about and FAQ windows; each closes its window after handing the
// address to the desktop.
class TLinkWindow : public TForm {
public:
    explicit TLinkWindow(TComponent* owner);
    TImage* imageLogo = nullptr;
    TLabel* Label_email = nullptr;
    TLabel* Label_web = nullptr;
    TImage* Image_quenor = nullptr;
    TSpeedButton* SpeedButton_close = nullptr;

    void Label_emailClick(TObject* Sender);
    void Label_webClick(TObject* Sender);
    void Image_quenorClick(TObject* Sender);
    void SpeedButton_closeClick(TObject* Sender);

protected:
    // Borderless with a 1-pixel border.
    void CreateParams(TCreateParams& params) override;
};

class TForm_info : public TLinkWindow {
public:
    explicit TForm_info(TComponent* owner) : TLinkWindow(owner) {}
    std::string ClassName() const override { return "TForm_info"; }
};

extern TForm_info* Form_info;
void RegisterInfoClasses();
