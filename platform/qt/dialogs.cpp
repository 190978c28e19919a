#include "platform/qt/dialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "platform/qt/qtapp.h"

namespace qtbridge {

bool OpenFileDialog(const std::string& title, const std::string& dir, const std::string& filter, std::string& chosen) {
    EnsureGui();
    // "Text|mask|Text|mask" becomes "Text (mask);;Text (mask)" with ";"-separated masks as blanks.
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(';', ' ');
        filters << parts[i].section('(', 0, 0).trimmed() + " (" + masks + ")";
    }
    QString f = QFileDialog::getOpenFileName(nullptr, QString::fromStdString(title), QString::fromStdString(dir),
                                             filters.join(";;"), nullptr, QFileDialog::DontUseNativeDialog);
    if (f.isEmpty()) return false;
    chosen = f.toStdString();
    return true;
}

bool BrowseFolderDialog(const std::string& title, const std::string& dir, std::string& chosen) {
    EnsureGui();
    QString f = QFileDialog::getExistingDirectory(nullptr, QString::fromStdString(title), QString::fromStdString(dir),
                                                  QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (f.isEmpty()) return false;
    chosen = f.toStdString();
    return true;
}

}  // namespace qtbridge
