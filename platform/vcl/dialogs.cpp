#include "platform/vcl/dialogs.h"

#include "platform/vcl/windowSystem.h"

bool TOpenDialog::Execute() {
    std::string chosen;
    if (!ws::OpenFileDialog(Title, InitialDir, Filter, chosen)) return false;
    FileName = chosen;
    return true;
}
