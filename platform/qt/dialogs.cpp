#include "platform/qt/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLocale>
#include <QStringList>
#include <QTreeView>

#include "platform/qt/qtapp.h"

namespace qtbridge {

namespace {

// "Text|mask|Text|mask" becomes "Text (mask);;Text (mask)": the toolkit takes the patterns
// from the last parentheses, blank-separated. The text is shown as given, as Windows shows it
// ("Files (*.a;*.b)"), with the toolkit's patterns hidden (HideNameFilterDetails).
QString nameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(';', ' ');
        filters << parts[i].trimmed() + " (" + masks.simplified() + ")";
    }
    return filters.join(";;");
}

// The file list's columns as a Chinese Windows shows them: sizes in whole KB ("1,206 KB",
// rounded up), types named in Chinese ("文件夹", "PDF 文件"), dates in the Chinese short
// form ("2026/12/7 15:59"). The toolkit would show "43.50 KiB", "Folder" and "7 Dec 2026":
// its file list formats in the system's own locale, and its Chinese translations predate
// the names it looks up now.
class ChineseFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    enum Column { kName, kSize, kType, kDate };

    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files || role != Qt::DisplayRole || index.column() == kName)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        switch (index.column()) {
            case kSize:
                if (info.isDir()) return QString();
                return chinese.toString((info.size() + 1023) / 1024) + QStringLiteral(" KB");
            case kType:
                if (info.isDir()) return QStringLiteral("文件夹");
                if (info.suffix().isEmpty()) return QStringLiteral("文件");
                return info.suffix().toUpper() + QStringLiteral(" 文件");
            case kDate:
                return chinese.toString(info.lastModified(), QStringLiteral("yyyy/M/d H:mm"));
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const names[] = {"名称", "大小", "类型", "修改日期"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
            return QString::fromUtf8(names[section]);
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

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
    // Without a title of its own the dialog is called what Windows calls it.
    dialog.setWindowTitle(title.empty() ? QStringLiteral("打开") : QString::fromStdString(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ChineseFileColumns(&dialog));
    dialog.setDirectory(QString::fromStdString(dir));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters(filter).split(";;", Qt::SkipEmptyParts));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
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

namespace {
OpenFileDialogDriver& FileDialogDriver() {
    static OpenFileDialogDriver driver;
    return driver;
}
}  // namespace

void SetOpenFileDialogDriver(OpenFileDialogDriver driver) {
    FileDialogDriver() = std::move(driver);
}

bool OpenFileDialog(const std::string& title, const std::string& dir, const std::string& filter,
                    std::string& chosen) {
    if (FileDialogDriver()) return FileDialogDriver()(title, dir, filter, chosen);
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
    look.title = dialog.windowTitle().toStdString();
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->isVisible() && !b->text().isEmpty()) look.texts.push_back(b->text().toStdString());
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->isVisible() && !l->text().isEmpty()) look.texts.push_back(l->text().toStdString());
    for (QComboBox* types : dialog.findChildren<QComboBox*>("fileTypeCombo"))
        for (int i = 0; i < types->count(); ++i)
            look.filters.push_back(types->itemText(i).toStdString());
    look.columnsFit = true;
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
        if (!view->isVisible() || !view->model()) continue;
        const QModelIndex root = view->rootIndex();
        for (int column = 0; column < view->header()->count(); ++column) {
            look.cells.push_back(
                view->model()->headerData(column, Qt::Horizontal).toString().toStdString());
            for (int row = 0; row < view->model()->rowCount(root); ++row)
                look.cells.push_back(
                    view->model()->index(row, column, root).data().toString().toStdString());
        }
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
