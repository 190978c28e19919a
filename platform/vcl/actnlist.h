// Actions: a component that holds what a command shows (caption, enabled, hint, visible, an
// image of its action list) and what it does (OnExecute), and the links through which the
// controls that use it follow its changes and execute it.
#pragma once

#include <vector>

#include "platform/vcl/controls.h"
#include "platform/vcl/imgList.h"

class TBasicAction;
class TCustomAction;
class TCustomActionList;

// A client's view of an action: told of the action's changes through OnChange.
class TBasicActionLink : public TObject {
public:
    explicit TBasicActionLink(TObject* client);
    ~TBasicActionLink() override;
    std::string ClassName() const override { return "TBasicActionLink"; }

    TBasicAction* Action() const { return action_; }
    virtual void SetAction(TBasicAction* a);
    // Executes the action on behalf of `component` (its ActionComponent meanwhile).
    virtual bool Execute(TComponent* component = nullptr);
    virtual bool Update();
    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    virtual void AssignClient(TObject*) {}
    virtual void Change();
    virtual bool IsOnExecuteLinked() { return true; }
    virtual void SetOnExecute(const TNotifyEvent&) {}
    TBasicAction* action_ = nullptr;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    ~TBasicAction() override;
    std::string ClassName() const override { return "TBasicAction"; }

    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    // Runs OnUpdate; false when there is none.
    virtual bool Update();
    const TNotifyEvent& OnExecute() const { return onExecute_; }
    // Linked clients whose click is this action's handler take the new one too.
    void SetOnExecute(TNotifyEvent e);
    TNotifyEvent OnUpdate;
    // The component the action is executed for, while it executes.
    TComponent* ActionComponent = nullptr;
    void RegisterChanges(TBasicActionLink* link);
    void UnRegisterChanges(TBasicActionLink* link);

protected:
    // Tells OnChange and every linked client.
    virtual void Change();
    std::vector<TBasicActionLink*> clients_;
    TNotifyEvent OnChange;

private:
    TNotifyEvent onExecute_;
};

// An action that belongs to an action list.
class TContainedAction : public TBasicAction {
public:
    using TBasicAction::TBasicAction;
    ~TContainedAction() override;
    std::string ClassName() const override { return "TContainedAction"; }
    TCustomActionList* ActionList() const { return actionList_; }
    void SetActionList(TCustomActionList* list);
    // The list's OnExecute (OnUpdate) may handle the action first.
    bool Execute() override;
    bool Update() override;
    std::string Category;

private:
    friend class TCustomActionList;
    TCustomActionList* actionList_ = nullptr;
};

using TActionEvent = std::function<void(TBasicAction*, bool& handled)>;

class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* owner) : TComponent(owner) {}
    ~TCustomActionList() override;  // frees its actions
    std::string ClassName() const override { return "TCustomActionList"; }
    int ActionCount() const { return int(actions_.size()); }
    TContainedAction* Actions(int i) const { return actions_.at(size_t(i)); }
    // The images of the actions (their ImageIndex); a change is told to every action's clients.
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    bool ExecuteAction(TBasicAction* a);
    bool UpdateAction(TBasicAction* a);
    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    void Notification(TComponent* c, TOperation op) override;

private:
    friend class TContainedAction;
    void Change();
    std::vector<TContainedAction*> actions_;
    TCustomImageList* images_ = nullptr;
};

class TActionList : public TCustomActionList {
public:
    using TCustomActionList::TCustomActionList;
    std::string ClassName() const override { return "TActionList"; }
};

// A link that passes the properties of a TCustomAction on to its client.
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;
    std::string ClassName() const override { return "TActionLink"; }

protected:
    friend class TCustomAction;
    // Whether the client still shows what the action shows, so it follows the change.
    virtual bool IsCaptionLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsHintLinked();
    virtual bool IsVisibleLinked();
    virtual void SetCaption(const std::string&) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetVisible(bool) {}
    TCustomAction* CustomAction() const;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}
    std::string ClassName() const override { return "TCustomAction"; }

    // Updates first; a disabled action executes nothing.
    bool Execute() override;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // The image of the action list's Images; -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);

private:
    template <class F>
    void EachLink(F f);
    std::string caption_;
    bool enabled_ = true;
    std::string hint_;
    bool visible_ = true;
    int imageIndex_ = -1;
};

class TAction : public TCustomAction {
public:
    using TCustomAction::TCustomAction;
    std::string ClassName() const override { return "TAction"; }
};

// The link of a control: the control follows the action's caption, enabled state, hint,
// visibility and execute handler while it still shows the action's.
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TObject* client) : TActionLink(client) { AssignClient(client); }
    std::string ClassName() const override { return "TControlActionLink"; }

protected:
    void AssignClient(TObject* client) override;
    bool IsCaptionLinked() override;
    bool IsEnabledLinked() override;
    bool IsHintLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;
    void SetCaption(const std::string& v) override;
    void SetEnabled(bool v) override;
    void SetHint(const std::string& v) override;
    void SetVisible(bool v) override;
    void SetOnExecute(const TNotifyEvent& e) override;
    TControl* client_ = nullptr;
};

// A click handler taken from an action: it remembers its action, so a control can tell its
// own OnClick from the one the action gave it.
struct TActionExecuteHandler {
    const TBasicAction* action;
    TNotifyEvent handler;
    void operator()(TObject* sender) const {
        if (handler) handler(sender);
    }
};
// The action's execute handler, as a control's click handler.
TNotifyEvent ActionExecuteEvent(const TBasicAction* a);
// Whether the handler is the one `a` gave (an unassigned one never is).
bool IsActionExecuteEvent(const TNotifyEvent& e, const TBasicAction* a);
