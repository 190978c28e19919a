// The shaped form: a component that gives the form it sits on the outline of its region
// (SetWindowRgn), paints the form's background with a fill object and lets the user drag
// the form by its background. And the lookup the control bases find it with.
#pragma once

#include "platform/vcl/forms.h"

// The index of the first component owned by the form that is a T (or descends from it);
// -1 for no form, an owner that is not a TForm, or none of that class.
template <class T>
int FindComponentIndexByClass(TComponent* form) {
    if (!dynamic_cast<TForm*>(form)) return -1;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (dynamic_cast<T*>(form->Components(i))) return i;
    return -1;
}
