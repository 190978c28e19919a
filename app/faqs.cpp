#include "app/faqs.h"

#include "app/main.h"

TForm_faqs* Form_faqs = nullptr;

TForm_faqs::TForm_faqs(TComponent* owner) : TLinkWindow(owner) {
    BindField("RichEdit_faqs", RichEdit_faqs);
    BindMethod<TNotifyEvent>("FormShow", this, &TForm_faqs::FormShow);
}

void TForm_faqs::FormShow(TObject*) {
    RichEdit_faqs->Lines()->LoadFromFile(Form_main->FState.FAppPath + "faqs.rtf");
}

void RegisterFaqsClasses() { TClassReg<TForm_faqs>("TForm_faqs", "TForm", false); }
