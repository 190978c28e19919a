// Icon, cursor, image-list, theme and global-memory handles: typed views of the one handle
// table (handleTable.h), so a stale, destroyed or foreign handle is recognised.
#pragma once

#include "platform/win/handleTable.h"

template <class T>
using ObjectTable = TypedHandles<T>;
