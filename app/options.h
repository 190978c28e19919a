// The option panel of the main window: the option controls of every function, which
// group boxes a function shows, and each function's saved options in config.ini.
#pragma once

#include <string>

#include "platform/vcl/stdctrls.h"

class TForm_main;

class TOptionPanel {
public:
    virtual ~TOptionPanel() = default;

    TPanel* Panel_options = nullptr;

    // Binds the option controls' fields and handlers by name when the window is read.
    void BindOptionPanel(TComponent* form);
    // Shows the function's group boxes and lays them out; loads its options interactively.
    void ComboBoxEx_functionChange(TObject* Sender);
    void LoadOptions();
    void SaveOptions();

protected:
    TForm_main* Main();
};
