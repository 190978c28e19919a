// The one table of the main window's option controls: the start-up check names what is
// missing or of another kind, and the engine's stand-in panel agrees with the table.
#include <gtest/gtest.h>

#include "engine/optionControls.h"
#include "tests/engine/fixture.h"

using namespace vxtest;

TEST(OptionControls, TheCheckNamesAMissingControlOrOneOfAnotherKind) {
    TestMainState state;
    auto& panel = state.Options();
    (void)panel;
    std::map<std::string, TComponent*> found = state.Components;
    TComponent owner(nullptr);
    // Everything the table names, made of the right kind where the stand-in panel has none.
    for (const auto& e : OptionControls) {
        const std::string name(e.name);
        if (found.count(name)) continue;
        TComponent* c = nullptr;
        switch (e.kind) {
            case TOptionKind::RadioButton:
                c = new TRadioButton(&owner);
                break;
            case TOptionKind::CheckBox:
                c = new TCheckBox(&owner);
                break;
            case TOptionKind::Edit:
                c = new TEdit(&owner);
                break;
            case TOptionKind::ComboBox:
                c = new TComboBox(&owner);
                break;
            case TOptionKind::GroupBox:
                c = new TGroupBox(&owner);
                break;
            case TOptionKind::UpDown:
                c = new TestUpDown(&owner);
                break;
            case TOptionKind::Form:
                c = new TForm(&owner);
                break;
            case TOptionKind::Timer:
                c = new TTimer(&owner);
                break;
        }
        found[name] = c;
    }
    auto find = [&](const std::string& n) -> TComponent* {
        auto it = found.find(n);
        return it == found.end() ? nullptr : it->second;
    };
    EXPECT_NO_THROW(VerifyOptionControls(find));

    auto message = [&]() -> std::string {
        try {
            VerifyOptionControls(find);
        } catch (const EComponentError& e) {
            return e.Message;
        }
        return "";
    };
    TComponent* saved = found["Edit_watermark_text"];
    found.erase("Edit_watermark_text");
    EXPECT_EQ(message(), "Component 'Edit_watermark_text' not found");
    found["Edit_watermark_text"] = found["CheckBox_html_border"];
    EXPECT_EQ(message(), "Component 'Edit_watermark_text' is of another kind");
    found["Edit_watermark_text"] = saved;
    EXPECT_EQ(message(), "");
}
