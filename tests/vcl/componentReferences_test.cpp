// References into another form: a control's PopupMenu, a label's FocusControl and an action
// list's Images hear of their target's removal, whether the target goes alone or with its
// form, set in code or read from a form that names "Form.Component".
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/actnlist.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/stdctrls.h"

namespace {

struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// Makes the target on `there` and the component naming it on `here`; answers what the
// reference holds now.
using Link = std::function<std::function<TComponent*()>(TForm& here, TForm& there)>;

}  // namespace

TEST(ComponentReferences, AReferenceIntoAnotherFormIsClearedWhenItsTargetGoes) {
    struct Row {
        const char* name;
        Link link;
    };
    const std::vector<Row> rows = {
        {"PopupMenu",
         [](TForm& here, TForm& there) {
             auto* menu = new TPopupMenu(&there);
             auto* button = new TButton(&here);
             button->SetPopupMenu(menu);
             return [button]() -> TComponent* { return button->PopupMenu(); };
         }},
        {"PopupMenu read from a form",
         [](TForm& here, TForm& there) {
             there.SetName("MenuForm");
             new TPopupMenu(&there);
             there.Components(0)->SetName("Shared");
             ReadForm(&here,
                      "object ButtonForm: TForm\n"
                      "  object Button: TButton\n"
                      "    PopupMenu = MenuForm.Shared\n"
                      "  end\n"
                      "end\n");
             auto* button = dynamic_cast<TButton*>(here.FindComponent("Button"));
             return [button]() -> TComponent* { return button->PopupMenu(); };
         }},
        {"FocusControl",
         [](TForm& here, TForm& there) {
             auto* edit = new TEdit(&there);
             auto* label = new TLabel(&here);
             label->SetFocusControl(edit);
             return [label]() -> TComponent* { return label->FocusControl(); };
         }},
        {"Images",
         [](TForm& here, TForm& there) {
             auto* images = new TImageList(&there);
             auto* actions = new TActionList(&here);
             actions->SetImages(images);
             return [actions]() -> TComponent* { return actions->Images(); };
         }},
    };
    for (const Row& row : rows)
        for (const bool wholeForm : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (wholeForm ? ", its form freed" : ", freed"));
            auto here = std::make_unique<TForm>(nullptr);
            auto there = std::make_unique<TForm>(nullptr);
            const std::function<TComponent*()> held = row.link(*here, *there);
            TComponent* target = held();
            ASSERT_NE(target, nullptr);
            if (wholeForm)
                there.reset();
            else
                delete target;
            EXPECT_EQ(held(), nullptr);
        }
}
