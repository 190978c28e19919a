// Actions and the controls linked to them: which properties follow the action, what a click
// runs, the update before executing, the list's handlers first, and actions or controls
// that go away first.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/actnlist.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct Rig {
    Rig() : form(new TForm(nullptr)) {
        form->SetBounds(0, 0, 200, 100);
        button = new TButton(form.get());
        button->Name = "Button1";
        button->SetParent(form.get());
        list = new TActionList(form.get());
        action = new TAction(form.get());
        action->SetActionList(list);
        action->SetCaption("Run");
        action->SetHint("Runs it");
        action->SetOnExecute([this](TObject* s) {
            ++executed;
            sender = s;
            component = action ? action->ActionComponent : nullptr;
        });
    }
    std::unique_ptr<TForm> form;
    TButton* button;
    TActionList* list;
    TAction* action;
    int executed = 0;
    TObject* sender = nullptr;
    TComponent* component = nullptr;
};

}  // namespace

TEST(Actions, AssignedActionGivesItsPropertiesAndEachChangeGivesThemAgain) {
    Rig r;
    r.button->SetCaption("Mine");
    r.button->SetAction(r.action);  // not being read: everything is taken
    EXPECT_EQ(r.button->Caption(), "Run");
    EXPECT_EQ(r.button->Hint(), "Runs it");
    EXPECT_TRUE(r.button->Enabled());
    EXPECT_EQ(r.button->Action(), r.action);

    r.action->SetCaption("Go");
    r.action->SetEnabled(false);
    r.action->SetVisible(false);
    EXPECT_EQ(r.button->Caption(), "Go");
    EXPECT_FALSE(r.button->Enabled());
    EXPECT_FALSE(r.button->Visible());

    // Every change of the action gives all of its properties again, a caption the control
    // was given meanwhile too.
    r.button->SetCaption("Own");
    r.action->SetEnabled(true);
    EXPECT_EQ(r.button->Caption(), "Go");
    EXPECT_TRUE(r.button->Enabled());
    EXPECT_FALSE(r.button->Visible());
}

TEST(Actions, ActionBeingReadOnlyFillsPropertiesStillAtTheirDefaults) {
    Rig r;
    auto* other = new TButton(r.form.get());
    other->Name = "Button2";
    other->SetCaption("Button2");  // the name as caption counts as unset
    r.button->SetCaption("Mine");
    r.button->SetHint("My hint");
    r.action->SetEnabled(false);
    r.action->SetLoading(true);
    r.button->SetAction(r.action);
    other->SetAction(r.action);
    r.action->SetLoading(false);
    EXPECT_EQ(r.button->Caption(), "Mine");
    EXPECT_EQ(r.button->Hint(), "My hint");
    EXPECT_FALSE(r.button->Enabled());  // still at the default: taken
    EXPECT_EQ(other->Caption(), "Run");
    EXPECT_EQ(other->Hint(), "Runs it");
}

TEST(Actions, ClickRunsTheOwnHandlerOrExecutesTheAction) {
    Rig r;
    r.button->SetAction(r.action);
    r.button->Click();
    EXPECT_EQ(r.executed, 1);
    EXPECT_EQ(r.sender, r.action);  // executed by the action
    EXPECT_EQ(r.component, r.button);
    EXPECT_EQ(r.action->ActionComponent, nullptr);

    // A new handler of the action reaches the control whose click was the action's.
    int second = 0;
    r.action->SetOnExecute([&](TObject*) { ++second; });
    r.button->Click();
    EXPECT_EQ(second, 1);
    EXPECT_EQ(r.executed, 1);

    // A handler of the control's own runs instead, with the control as sender, until the
    // action changes and gives its own again.
    TObject* own = nullptr;
    r.button->OnClick = [&](TObject* s) { own = s; };
    r.button->Click();
    EXPECT_EQ(own, r.button);
    EXPECT_EQ(second, 1);
    r.action->SetHint("Changed");
    own = nullptr;
    r.button->Click();
    EXPECT_EQ(own, nullptr);
    EXPECT_EQ(second, 2);
}

TEST(Actions, ExecuteUpdatesFirstAndADisabledActionDoesNothing) {
    Rig r;
    r.button->SetAction(r.action);
    bool allow = false;
    int updates = 0;
    r.action->OnUpdate = [&](TObject*) {
        ++updates;
        r.action->SetEnabled(allow);
    };
    r.button->Click();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(r.executed, 0);
    EXPECT_FALSE(r.button->Enabled());  // the update reached the control
    allow = true;
    r.form->UpdateActions();  // the idle update
    EXPECT_TRUE(r.button->Enabled());
    r.button->Click();
    EXPECT_EQ(r.executed, 1);
}

TEST(Actions, TheListHandlesItsActionsFirst) {
    Rig r;
    r.button->SetAction(r.action);
    bool handle = true;
    TBasicAction* seen = nullptr;
    r.list->OnExecute = [&](TBasicAction* a, bool& handled) {
        seen = a;
        handled = handle;
    };
    r.button->Click();
    EXPECT_EQ(seen, r.action);
    EXPECT_EQ(r.executed, 0);
    handle = false;
    r.button->Click();
    EXPECT_EQ(r.executed, 1);
}

TEST(Actions, AHiddenControlIsUpdatedSoItsActionCanShowItAgain) {
    Rig r;
    r.form->Show();
    r.button->SetAction(r.action);
    bool show = false;
    r.action->OnUpdate = [&](TObject*) { r.action->SetVisible(show); };
    r.form->UpdateActions();
    EXPECT_FALSE(r.button->Visible());
    show = true;
    r.form->UpdateActions();
    EXPECT_TRUE(r.button->Visible());
}

TEST(Actions, ActionsOrControlsThatGoFirstLeaveNothingBehind) {
    {
        Rig r;
        r.button->SetAction(r.action);
        delete r.action;  // owned by the form: the control hears of it
        r.action = nullptr;
        EXPECT_EQ(r.button->Action(), nullptr);
        r.button->Click();  // the handler it was given still runs
        EXPECT_EQ(r.executed, 1);
    }
    {
        Rig r;
        r.button->SetAction(r.action);
        delete r.list;  // frees its actions
        EXPECT_EQ(r.button->Action(), nullptr);
    }
    {
        Rig r;
        auto* free = new TButton(nullptr);  // owned by nobody: told by the link alone
        free->SetAction(r.action);
        auto* gone = new TButton(nullptr);
        gone->SetAction(r.action);
        delete gone;
        r.action->SetCaption("After");  // reaches only the live control
        EXPECT_EQ(free->Caption(), "After");
        delete r.action;
        EXPECT_EQ(free->Action(), nullptr);
        delete free;
    }
    {
        Rig r;
        r.button->SetAction(r.action);
        r.button->SetAction(nullptr);
        r.action->SetCaption("Later");
        EXPECT_EQ(r.button->Caption(), "Run");
    }
}
