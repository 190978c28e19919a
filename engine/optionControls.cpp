#include "engine/optionControls.h"

#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

bool IsOfOptionKind(const TComponent* c, TOptionKind kind) {
    switch (kind) {
        case TOptionKind::RadioButton:
            return dynamic_cast<const TRadioButton*>(c);
        case TOptionKind::CheckBox:
            return dynamic_cast<const TCheckBox*>(c);
        case TOptionKind::Edit:
            return dynamic_cast<const TEdit*>(c);
        case TOptionKind::ComboBox:
            return dynamic_cast<const TComboBox*>(c);
        case TOptionKind::GroupBox:
            return dynamic_cast<const TGroupBox*>(c);
        case TOptionKind::Form:
            return dynamic_cast<const TForm*>(c);
        case TOptionKind::Timer:
            return dynamic_cast<const TTimer*>(c);
        case TOptionKind::UpDown: {
            // The counters belong to the control layers above the engine; they answer the
            // up-down messages, and their class names say what they are.
            const auto* ctl = dynamic_cast<const TControl*>(c);
            const std::string cls = ctl ? ctl->ClassName() : "";
            return cls.size() >= 6 && cls.compare(cls.size() - 6, 6, "UpDown") == 0;
        }
    }
    return false;
}

void VerifyOptionControls(const std::function<TComponent*(const std::string&)>& find) {
    for (const auto& e : OptionControls) {
        const std::string name(e.name);
        TComponent* c = find(name);
        if (!c) throw EComponentError("Component '" + name + "' not found");
        if (!IsOfOptionKind(c, e.kind))
            throw EComponentError("Component '" + name + "' is of another kind");
    }
}
