// The graphics framework's errors, shared by every picture class.
#pragma once

#include "platform/rtl/sysutils.h"

// Picture data that no picture class can read (or a bitmap that is not valid).
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};
// An operation a picture cannot do, or a picture that cannot be read or written.
class EInvalidGraphicOperation : public Exception {
    using Exception::Exception;
};
