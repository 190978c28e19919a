#include "platform/vcl/dialogs.h"

#include "platform/qt/dialogs.h"

bool TOpenDialog::Execute() {
    std::string chosen;
    if (!qtbridge::OpenFileDialog(Title, InitialDir, Filter, chosen)) return false;
    FileName = chosen;
    return true;
}
