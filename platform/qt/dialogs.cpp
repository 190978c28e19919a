#include "platform/qt/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QTreeView>

#include "platform/qt/qtapp.h"

namespace qtbridge {

namespace {

// "Text|mask|Text|mask" becomes "Text (mask);;Text (mask)" with ";"-separated masks as blanks.
QString nameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(';', ' ');
        filters << parts[i].section('(', 0, 0).trimmed() + " (" + masks + ")";
    }
    return filters.join(";;");
}

// The file list's size, type and date columns take the width of their content ("43.5 KiB"
// whole); the name column keeps the rest.
void fitColumns(QFileDialog& dialog) {
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setMinimumSectionSize(60);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

void makeOpenDialog(QFileDialog& dialog, const std::string& title, const std::string& dir,
                    const std::string& filter) {
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setDirectory(QString::fromStdString(dir));
    dialog.setNameFilters(nameFilters(filter).split(";;", Qt::SkipEmptyParts));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(640, 400);
    fitColumns(dialog);
}

}  // namespace

bool BrowseFolderDialog(const std::string& title, const std::string& dir, std::string& chosen) {
    EnsureGui();
    QString f = QFileDialog::getExistingDirectory(
        nullptr, QString::fromStdString(title), QString::fromStdString(dir),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (f.isEmpty()) return false;
    chosen = f.toStdString();
    return true;
}

}  // namespace qtbridge

namespace ws {

using qtbridge::makeOpenDialog;

bool OpenFileDialog(const std::string& title, const std::string& dir, const std::string& filter,
                    std::string& chosen) {
    EnsureGui();
    QFileDialog dialog;
    makeOpenDialog(dialog, title, dir, filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().first().toStdString();
    return true;
}

OpenFileDialogLook ProbeOpenFileDialog(const std::string& title, const std::string& dir,
                                       const std::string& filter, const std::string& picture) {
    EnsureGui();
    QFileDialog dialog;
    makeOpenDialog(dialog, title, dir, filter);
    dialog.show();
    // The folder is read in the background; the list is looked at once it holds its rows.
    for (int i = 0; i < 200; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        bool filled = false;
        for (QTreeView* view : dialog.findChildren<QTreeView*>())
            filled = filled || (view->model() && view->model()->rowCount(view->rootIndex()) > 0);
        if (filled && i > 10) break;
    }
    OpenFileDialogLook look;
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->isVisible() && !b->text().isEmpty()) look.texts.push_back(b->text().toStdString());
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->isVisible() && !l->text().isEmpty()) look.texts.push_back(l->text().toStdString());
    look.columnsFit = true;
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
        if (!view->isVisible() || !view->model()) continue;
        const QModelIndex root = view->rootIndex();
        for (int column = 1; column < view->header()->count(); ++column) {
            if (view->header()->isSectionHidden(column)) continue;
            for (int row = 0; row < view->model()->rowCount(root); ++row) {
                const QString text = view->model()->index(row, column, root).data().toString();
                const int needed = view->fontMetrics().horizontalAdvance(text) +
                                   2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin);
                if (view->columnWidth(column) < needed) look.columnsFit = false;
            }
        }
    }
    if (!picture.empty()) dialog.grab().save(QString::fromStdString(picture), "PNG");
    dialog.hide();
    return look;
}

}  // namespace ws
