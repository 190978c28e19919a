// File-open dialog of the class library.
#pragma once

#include "platform/vcl/component.h"

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TOpenDialog"; }
    // "Description (*.pdf)|*.pdf|All (*.*)|*.*"
    std::string Filter;
    std::string InitialDir;
    std::string FileName;
    std::string Title;
    bool Execute();
};
