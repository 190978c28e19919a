// Change links: a control that shows images of a container registers a link with it and
// hears of every change of the container's items. A link unregisters itself when it is
// freed; a container freed first unregisters its remaining links.
#pragma once

#include <vector>

#include "controls/styled/styBase.h"

class TStyBaseContainer;

class TStyChangeLink : public TObject {
public:
    TStyChangeLink() = default;
    ~TStyChangeLink() override;
    TStyChangeLink(const TStyChangeLink&) = delete;
    TStyChangeLink& operator=(const TStyChangeLink&) = delete;
    std::string ClassName() const override { return "TStyChangeLink"; }

    // The container the link is registered with, null when none.
    TStyBaseContainer* Sender = nullptr;
    TNotifyEvent OnChange;
    virtual void Change();
};

class TStyBaseContainer : public TStyCustomComponent {
public:
    explicit TStyBaseContainer(TComponent* owner) : TStyCustomComponent(owner) {}
    ~TStyBaseContainer() override;
    std::string ClassName() const override { return "TStyBaseContainer"; }

    void RegisterChanges(TStyChangeLink* link);
    void UnRegisterChanges(TStyChangeLink* link);
    // Every link in registration order, then the component's own notification.
    void Change() override;
    int LinkCount() const { return int(links_.size()); }

private:
    std::vector<TStyChangeLink*> links_;
};
