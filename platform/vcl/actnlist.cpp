#include "platform/vcl/actnlist.h"

#include <algorithm>

// ---------------------------------------------------------------- TBasicActionLink

TBasicActionLink::TBasicActionLink(TObject*) {}

TBasicActionLink::~TBasicActionLink() {
    if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* a) {
    if (a == action_) return;
    if (action_) action_->UnRegisterChanges(this);
    action_ = a;
    if (a) a->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
    if (!action_) return false;
    action_->ActionComponent = component;
    // The action may go while it executes; only a live one is given back its component.
    struct Reset {
        TBasicActionLink* link;
        ~Reset() {
            if (link->action_) link->action_->ActionComponent = nullptr;
        }
    } reset{this};
    return action_->Execute();
}

bool TBasicActionLink::Update() { return action_ && action_->Update(); }

void TBasicActionLink::Change() {
    if (OnChange) OnChange(action_);
}

// ---------------------------------------------------------------- TBasicAction

TBasicAction::~TBasicAction() {
    while (!clients_.empty()) UnRegisterChanges(clients_.back());
}

bool TBasicAction::Execute() {
    if (!onExecute_) return false;
    onExecute_(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::SetOnExecute(TNotifyEvent e) {
    for (TBasicActionLink* l : std::vector<TBasicActionLink*>(clients_)) l->SetOnExecute(e);
    onExecute_ = std::move(e);
    Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
    link->action_ = this;
    clients_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) {
    auto it = std::find(clients_.begin(), clients_.end(), link);
    if (it == clients_.end()) return;
    clients_.erase(it);
    link->action_ = nullptr;
}

void TBasicAction::Change() {
    if (OnChange) OnChange(this);
    // A client may let the action go while it is told.
    for (TBasicActionLink* l : std::vector<TBasicActionLink*>(clients_))
        if (std::find(clients_.begin(), clients_.end(), l) != clients_.end()) l->Change();
}

// ---------------------------------------------------------------- TContainedAction

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* list) {
    if (list == actionList_) return;
    if (actionList_) {
        auto& v = actionList_->actions_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    actionList_ = list;
    if (list) list->actions_.push_back(this);
}

bool TContainedAction::Execute() {
    return (actionList_ && actionList_->ExecuteAction(this)) || TBasicAction::Execute();
}

bool TContainedAction::Update() {
    return (actionList_ && actionList_->UpdateAction(this)) || TBasicAction::Update();
}

// ---------------------------------------------------------------- TCustomActionList

TCustomActionList::~TCustomActionList() {
    destroying_ = true;
    while (!actions_.empty()) delete actions_.back();  // each takes itself off the list
}

void TCustomActionList::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    ReferTo(images_, images);  // a list of another form may go first
    Change();
}

void TCustomActionList::Change() {
    for (TContainedAction* a : std::vector<TContainedAction*>(actions_)) a->Change();
}

bool TCustomActionList::ExecuteAction(TBasicAction* a) {
    bool handled = false;
    if (OnExecute) OnExecute(a, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* a) {
    bool handled = false;
    if (OnUpdate) OnUpdate(a, handled);
    return handled;
}

void TCustomActionList::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove && c && c == images_) SetImages(nullptr);
}

// ---------------------------------------------------------------- TActionLink

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(action_); }
bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }

// ---------------------------------------------------------------- TCustomAction

// The links are told before the value changes, so they can compare the client with the
// old value.
template <class F>
void TCustomAction::EachLink(F f) {
    for (TBasicActionLink* l : std::vector<TBasicActionLink*>(clients_))
        if (auto* link = dynamic_cast<TActionLink*>(l)) f(link);
}

bool TCustomAction::Execute() {
    Update();
    return enabled_ && TContainedAction::Execute();
}

void TCustomAction::SetCaption(const std::string& v) {
    if (v == caption_) return;
    EachLink([&](TActionLink* l) {
        if (l->IsCaptionLinked()) l->SetCaption(v);
    });
    caption_ = v;
    Change();
}

void TCustomAction::SetEnabled(bool v) {
    if (v == enabled_) return;
    EachLink([&](TActionLink* l) {
        if (l->IsEnabledLinked()) l->SetEnabled(v);
    });
    enabled_ = v;
    Change();
}

void TCustomAction::SetHint(const std::string& v) {
    if (v == hint_) return;
    EachLink([&](TActionLink* l) {
        if (l->IsHintLinked()) l->SetHint(v);
    });
    hint_ = v;
    Change();
}

void TCustomAction::SetVisible(bool v) {
    if (v == visible_) return;
    EachLink([&](TActionLink* l) {
        if (l->IsVisibleLinked()) l->SetVisible(v);
    });
    visible_ = v;
    Change();
}

void TCustomAction::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    Change();
}

// ---------------------------------------------------------------- TControlActionLink

void TControlActionLink::AssignClient(TObject* client) {
    client_ = dynamic_cast<TControl*>(client);
}

bool TControlActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && client_ &&
           client_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && client_ &&
           client_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && client_ && client_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && client_ &&
           client_->Visible() == CustomAction()->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() {
    return client_ && IsActionExecuteEvent(client_->OnClick, action_);
}

void TControlActionLink::SetCaption(const std::string& v) { client_->SetCaption(v); }
void TControlActionLink::SetEnabled(bool v) { client_->SetEnabled(v); }
void TControlActionLink::SetHint(const std::string& v) { client_->SetHint(v); }
void TControlActionLink::SetVisible(bool v) { client_->SetVisible(v); }

void TControlActionLink::SetOnExecute(const TNotifyEvent& e) {
    if (IsOnExecuteLinked()) client_->OnClick = TActionExecuteHandler{action_, e};
}

// ---------------------------------------------------------------- handlers

TNotifyEvent ActionExecuteEvent(const TBasicAction* a) {
    return TActionExecuteHandler{a, a ? a->OnExecute() : TNotifyEvent()};
}

bool IsActionExecuteEvent(const TNotifyEvent& e, const TBasicAction* a) {
    const auto* h = e.target<TActionExecuteHandler>();
    return a && h && h->action == a;
}
