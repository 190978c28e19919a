// The folder browser's window: a folder tree over the file system with the shell's icons,
// the caller's title, an optional status line and edit box, and the dialog's buttons.
#include <QAbstractFileIconProvider>
#include <QDialog>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <map>
#include <set>
#include <string>

#include "platform/qt/qtapp.h"
#include "platform/user/browseFolder.h"
#include "platform/user/window.h"
#include "platform/win/drives.h"
#include "platform/win/shellInfo.h"

namespace {

QIcon ShellIcon(const QString& path, bool open) {
    SHFILEINFOA fi;
    std::string p = path.toStdString();
    if (!SHGetFileInfoA(p.c_str(), 0, &fi, sizeof fi,
                        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0)))
        return {};
    IconImage img;
    if (!ImageListGetImage(SystemImageList(true), fi.iIcon, img)) return {};
    QImage q(img.width, img.height, QImage::Format_ARGB32);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            size_t i = size_t(y) * size_t(img.width) + size_t(x);
            q.setPixel(x, y, img.mask[i] && !img.hasAlpha ? 0u : img.pixels[i]);
        }
    return QIcon(QPixmap::fromImage(q));
}

// The tree shows the same icons as the program's other folder lists.
class ShellIconProvider : public QAbstractFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override {
        return ShellIcon(info.absoluteFilePath(), false);
    }
    QIcon icon(IconType) const override { return ShellIcon("/", false); }
};

// The tree lists of each folder what the dialog says (its enumeration flags and filter),
// and below a root only the root itself.
class ListedEntries : public QSortFilterProxyModel {
public:
    ListedEntries(BrowseFolderDialog& d, QFileSystemModel* model, QObject* parent)
        : QSortFilterProxyModel(parent), d_(d), model_(model) {
        setSourceModel(model);
        setRecursiveFilteringEnabled(false);
    }
    void Refilter() { invalidateFilter(); }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!parent.isValid()) return true;  // the file system's top
        const QModelIndex i = model_->index(row, 0, parent);
        const QFileInfo info = model_->fileInfo(i);
        const std::string path = info.absoluteFilePath().toStdString(), root = d_.Root();
        if (!root.empty() && root != "/") {
            // The root and the folders above it stand as they are; beside them nothing.
            if (path == root || root.compare(0, path.size() + 1, path + "/") == 0) return true;
            if (path.compare(0, root.size() + 1, root + "/") != 0) return false;
        }
        const std::string folder = model_->filePath(parent).toStdString();
        return d_.Lists(folder, info.fileName().toStdString(), info.isDir(),
                        info.fileName().startsWith('.'));
    }

private:
    BrowseFolderDialog& d_;
    QFileSystemModel* model_;
};

class BrowseWindow : public QDialog {
public:
    explicit BrowseWindow(BrowseFolderDialog& d) : d_(d) {
        setWindowTitle(QString::fromUtf8("浏览文件夹"));
        setWindowModality(Qt::ApplicationModal);
        resize(330, 420);
        // The old-style dialog has a fixed size; the new style can be resized.
        if (!(d.Flags() & BIF_NEWDIALOGSTYLE)) setFixedSize(330, 420);
        auto* layout = new QVBoxLayout(this);
        QString title = QString::fromStdString(d.Title());
        title.replace('\r', '\n');
        auto* titleLabel = new QLabel(title, this);
        titleLabel->setWordWrap(true);
        layout->addWidget(titleLabel);
        if (d.HasStatusLine()) {
            status_ = new QLabel(this);
            layout->addWidget(status_);
        }
        model_ = new QFileSystemModel(this);
        model_->setIconProvider(&icons_);
        model_->setReadOnly(true);
        // Every entry comes to the tree's filter, which lists what the dialog says.
        model_->setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        listed_ = new ListedEntries(d, model_, this);
        QString root = QString::fromStdString(d.Root().empty() ? "/" : d.Root());
        model_->setRootPath(root);
        tree_ = new QTreeView(this);
        tree_->setModel(listed_);
        tree_->setRootIndex(listed_->mapFromSource(model_->index(root).parent()));
        for (int c = 1; c < listed_->columnCount(); ++c) tree_->hideColumn(c);
        tree_->header()->hide();
        layout->addWidget(tree_, 1);
        if (d.HasEditBox()) {
            auto* row = new QHBoxLayout;
            auto* label = new QLabel(QString::fromUtf8("文件夹(&F):"), this);
            edit_ = new QLineEdit(this);
            label->setBuddy(edit_);
            row->addWidget(label);
            row->addWidget(edit_, 1);
            layout->addLayout(row);
            connect(edit_, &QLineEdit::textEdited, this,
                    [this](const QString& t) { d_.SetEditText(t.toStdString()); });
        }
        // The bottom row's buttons are the dialog's child windows, placed where they say.
        layout->addSpacing(12 + 23);
        PlaceButtons();
        connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& i) {
                    if (!updating_ && i.isValid())
                        d_.Select(model_->filePath(listed_->mapToSource(i)).toStdString());
                });
        d.OnStateChanged = [this] { Update(); };
        d.OnFilterChanged = [this] { listed_->Refilter(); };
        // The folders of the way down to the selection arrive in the background: each one
        // that arrives brings the selection nearer, so the view follows until it shows it.
        connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
            loaded_.insert(folder.toStdString());
            const std::string f = folder.toStdString(), sel = d_.Selection();
            if (sel == f || sel.compare(0, f.size() + 1, f == "/" ? f : f + "/") == 0) Reveal();
        });
        d.SelectionInView = [this] {
            // Only once every folder on the way down has been read do the rows stand still.
            const std::string root = d_.Root().empty() ? "/" : d_.Root();
            for (std::string f = d_.Selection(); f.size() > root.size();) {
                const size_t cut = f.find_last_of('/');
                f.resize(cut == 0 || cut == std::string::npos ? 1 : cut);  // "/" for a top folder
                if (!loaded_.count(f)) return false;
            }
            const QModelIndex i = Row(d_.Selection());
            return i.isValid() && tree_->viewport()->rect().contains(tree_->visualRect(i));
        };
        d.SaveScreenshot = [this](const std::string& png) {
            return grab().save(QString::fromStdString(png), "PNG");
        };
    }
    ~BrowseWindow() override {
        d_.OnStateChanged = nullptr;
        d_.OnFilterChanged = nullptr;
        d_.SelectionInView = nullptr;
        d_.SaveScreenshot = nullptr;
    }

    // Selects the chosen folder's row and scrolls it to the middle of the view.
    // The tree's row of a folder (invalid when it is not listed).
    QModelIndex Row(const std::string& folder) const {
        return listed_->mapFromSource(model_->index(QString::fromStdString(folder)));
    }

    void Reveal() {
        const QModelIndex i = Row(d_.Selection());
        if (!i.isValid()) return;
        const bool was = updating_;
        updating_ = true;
        if (tree_->currentIndex() != i) tree_->setCurrentIndex(i);
        tree_->scrollTo(i, QAbstractItemView::PositionAtCenter);
        updating_ = was;
    }

    // A button per child window of class BUTTON (the dialog's own and those the program
    // added), where the child window lies; a click is the dialog's WM_COMMAND.
    void PlaceButtons() {
        const HWND dialog = d_.Window();
        for (HWND c = FindWindowExA(dialog, nullptr, "BUTTON", nullptr); c;
             c = FindWindowExA(dialog, c, "BUTTON", nullptr)) {
            const WindowObject* o = WindowFromHandle(c);
            if (!o || !(o->style & WS_VISIBLE)) continue;
            QPushButton*& b = buttons_[c];
            if (!b) {
                b = new QPushButton(QString::fromStdString(o->text), this);
                const int id = o->controlId;
                connect(b, &QPushButton::clicked, this, [this, c, id] {
                    SendMessageA(d_.Window(), WM_COMMAND, WPARAM(id & 0xFFFF), LPARAM(c));
                });
                if (id == IDOK) ok_ = b, b->setDefault(true);
                b->show();
            }
            b->setGeometry(o->left, o->top, o->width, o->height);
        }
    }

    void Update() {
        updating_ = true;
        PlaceButtons();
        QModelIndex i = Row(d_.Selection());
        if (i.isValid() && tree_->currentIndex() != i) Reveal();
        if (status_)
            status_->setText(fontMetrics().elidedText(QString::fromStdString(d_.StatusText()),
                                                      Qt::ElideMiddle, width() - 30));
        if (edit_ && edit_->text().toStdString() != d_.EditText())
            edit_->setText(QString::fromStdString(d_.EditText()));
        if (ok_) ok_->setEnabled(d_.OkEnabled());
        if (d_.Done()) hide();
        updating_ = false;
    }

protected:
    void reject() override { d_.Cancel(); }
    void resizeEvent(QResizeEvent* e) override {
        QDialog::resizeEvent(e);
        d_.Resize(width(), height());
        PlaceButtons();
    }

private:
    BrowseFolderDialog& d_;
    ShellIconProvider icons_;
    QFileSystemModel* model_ = nullptr;
    ListedEntries* listed_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLabel* status_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool updating_ = false;
    std::map<HWND, QPushButton*> buttons_;
    std::set<std::string> loaded_;  // folders the model has read
};

}  // namespace

namespace qtbridge {

// Runs the window until the user (or a message) ends the dialog.
void RunBrowseFolderWindow(::BrowseFolderDialog& d) {
    EnsureGui();
    BrowseWindow w(d);
    w.show();
    if (WindowObject* o = WindowFromHandle(d.Window())) {
        const QRect frame = w.frameGeometry();
        o->left = frame.left(), o->top = frame.top(), o->width = frame.width(),
        o->height = frame.height();
        o->clientWidth = w.width(), o->clientHeight = w.height();
    }
    w.PlaceButtons();
    d.Start();
    // The callback may have placed the window.
    if (WindowObject* o = WindowFromHandle(d.Window());
        o && QPoint(o->left, o->top) != w.frameGeometry().topLeft())
        w.move(o->left, o->top);
    w.Update();
    bool probed = false;
    while (!d.Done()) {
        if (!probed && BrowseFolderWindowProbe()) probed = BrowseFolderWindowProbe()(d);
        if (d.Done()) break;
        MSG m;
        if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                PostQuitMessage(int(m.wParam));  // for the program's own loop
                d.Cancel();
                break;
            }
            DispatchMessageA(&m);
        } else {
            WaitMessage();
        }
    }
}

}  // namespace qtbridge
