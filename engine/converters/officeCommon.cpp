#include "engine/converters/officeCommon.h"

#include "platform/vcl/forms.h"

void OfficeProcessMessages() {
    if (Application) Application->ProcessMessages();
}
