#include "controls/styled/styChangeLink.h"

#include <algorithm>

TStyChangeLink::~TStyChangeLink() {
    if (Sender) Sender->UnRegisterChanges(this);
}

void TStyChangeLink::Change() {
    if (OnChange) OnChange(Sender);
}

TStyBaseContainer::~TStyBaseContainer() {
    while (!links_.empty()) UnRegisterChanges(links_.back());
}

void TStyBaseContainer::RegisterChanges(TStyChangeLink* link) {
    if (!link) return;
    if (link->Sender && link->Sender != this) link->Sender->UnRegisterChanges(link);
    link->Sender = this;
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TStyBaseContainer::UnRegisterChanges(TStyChangeLink* link) {
    auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end()) return;
    (*it)->Sender = nullptr;
    links_.erase(it);
}

void TStyBaseContainer::Change() {
    // A locked container tells its links once, when the lock ends.
    if (Locked()) return;
    // A link's handler may unregister links; walk a copy and skip the ones gone meanwhile.
    const std::vector<TStyChangeLink*> links = links_;
    for (TStyChangeLink* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end()) l->Change();
    TStyCustomComponent::Change();
}
