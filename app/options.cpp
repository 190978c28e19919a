#include "app/options.h"

#include "app/main.h"
#include "engine/definitions.h"

TForm_main* TOptionPanel::Main() { return static_cast<TForm_main*>(this); }

void TOptionPanel::BindOptionPanel(TComponent* form) {
    form->BindField("Panel_options", Panel_options);
    form->BindMethod<TNotifyEvent>("ComboBoxEx_functionChange", this, &TOptionPanel::ComboBoxEx_functionChange);
}

void TOptionPanel::ComboBoxEx_functionChange(TObject*) {
    TForm_main* f = Main();
    const TConverter& row = f->SelectedFunction();
    f->ComboBoxEx_function->SetHint(row.Description);
    f->CheckBox_rightFormatClick(nullptr);
}

void TOptionPanel::LoadOptions() {}
void TOptionPanel::SaveOptions() {}
