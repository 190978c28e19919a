#include "controls/styled/styBase.h"

void StyAssignError(const TPersistent* source, const TPersistent* dest) {
    throw EConvertError("Cannot assign a " + (source ? source->ClassName() : std::string("nil")) +
                        " to a " + dest->ClassName());
}

void TStyObject::Change() {
    if (!locked_ && OnChange) OnChange(this);
}

void TStyObject::SubObjectChanged(TObject*) { Change(); }

void TStyObject::Assign(const TPersistent* source) { StyAssignError(source, this); }

void TStyObject::EndUpdate(bool notify) {
    locked_ = false;
    if (notify) Change();
}

void TStyCustomComponent::Change() {
    if (!locked_ && OnChange) OnChange(this);
}

void TStyCustomComponent::SubObjectChanged(TObject*) { Change(); }

void TStyCustomComponent::EndUpdate(bool notify) {
    locked_ = false;
    if (notify) Change();
}
