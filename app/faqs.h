// The FAQ window: the questions and answers of faqs.rtf beside the program, with the links.
#pragma once

#include "app/info.h"
#include "platform/vcl/richedit.h"

class TForm_faqs : public TLinkWindow {
public:
    explicit TForm_faqs(TComponent* owner);
    std::string ClassName() const override { return "TForm_faqs"; }
    TRichEdit* RichEdit_faqs = nullptr;
    void FormShow(TObject* Sender);
};

extern TForm_faqs* Form_faqs;
void RegisterFaqsClasses();
