#include <QAction>
#include <QMenu>

#include "platform/qt/dialogs.h"
#include "platform/qt/qtapp.h"

namespace ws {

namespace {
PopupMenuDriver& Driver() {
    static PopupMenuDriver driver;
    return driver;
}
}  // namespace

void SetPopupMenuDriver(PopupMenuDriver driver) { Driver() = std::move(driver); }

int PopupMenu(const std::vector<PopupMenuItem>& items, int x, int y) {
    if (Driver()) return Driver()(items, x, y);
    qtbridge::EnsureGui();
    QMenu menu;
    std::vector<QAction*> actions;
    for (const PopupMenuItem& it : items) {
        if (it.caption == "-") {
            actions.push_back(menu.addSeparator());
            continue;
        }
        QAction* a = menu.addAction(QString::fromStdString(it.caption));
        a->setEnabled(it.enabled);
        a->setCheckable(it.checked);
        a->setChecked(it.checked);
        actions.push_back(a);
    }
    QAction* chosen = menu.exec(QPoint(x, y));
    for (size_t i = 0; i < actions.size(); ++i)
        if (actions[i] == chosen) return int(i);
    return -1;
}

}  // namespace ws
