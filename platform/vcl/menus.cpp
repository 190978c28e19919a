#include "platform/vcl/menus.h"

#include "platform/vcl/windowSystem.h"

TPopupMenu::~TPopupMenu() {
    for (TMenuItem* i : items_) delete i;
}

TMenuItem* TPopupMenu::Add(const std::string& caption) {
    auto* item = new TMenuItem(nullptr);
    item->Caption = caption;
    items_.push_back(item);
    return item;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    std::vector<ws::PopupMenuItem> shown;
    for (TMenuItem* i : items_) shown.push_back({i->Caption, i->Enabled, i->Checked});
    const int chosen = ws::PopupMenu(shown, x, y);
    if (chosen >= 0 && chosen < int(items_.size()) && items_[size_t(chosen)]->Enabled)
        items_[size_t(chosen)]->Click();
}
