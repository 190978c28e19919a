#include "controls/extended/xcBrowse.h"

#include "platform/qt/dialogs.h"

bool TXcBrowseForFolderDialog::Execute() {
    std::string chosen;
    if (!qtbridge::BrowseFolderDialog(Title, Folder, chosen)) return false;
    Folder = chosen;
    return true;
}

void RegisterXcBrowseDialog() {
    TClassReg<TXcBrowseForFolderDialog>("TXcBrowseForFolderDialog", "TComponent")
        .prop("Title", [](TXcBrowseForFolderDialog* d, const TDfmValue& v) { d->Title = v.s; })
        .prop("Options", [](TXcBrowseForFolderDialog*, const TDfmValue&) {});
}
