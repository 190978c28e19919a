// Browse-for-folder dialog: lets the user pick a folder; Folder holds the choice.
#pragma once

#include "platform/vcl/component.h"

class TXcBrowseForFolderDialog : public TComponent {
public:
    explicit TXcBrowseForFolderDialog(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TXcBrowseForFolderDialog"; }
    std::string Title;
    std::string Folder;  // start folder before Execute, the chosen one after
    bool Execute();
};

void RegisterXcBrowseDialog();
