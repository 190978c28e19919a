// Popup menus of the class library: items with a caption, an enabled and a checked flag and a
// click event, shown at a screen point until the menu closes.
#pragma once

#include <string>
#include <vector>

#include "platform/vcl/controls.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TMenuItem"; }
    std::string Caption;  // "-" is a separator
    bool Enabled = true;
    bool Checked = false;
    TNotifyEvent OnClick;
    virtual void Click() {
        if (OnClick) OnClick(this);
    }
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
    ~TPopupMenu() override;
    std::string ClassName() const override { return "TPopupMenu"; }
    // The items, owned by the menu.
    TMenuItem* Add(const std::string& caption);
    int Count() const { return int(items_.size()); }
    TMenuItem* Items(int i) const { return items_.at(size_t(i)); }
    TNotifyEvent OnPopup;
    // Shows the menu at the screen point; returns when it closes, after the chosen item's click.
    virtual void Popup(int x, int y);

private:
    std::vector<TMenuItem*> items_;
};
