// Globally unique identifiers of interfaces and classes.
#pragma once

#include "platform/win/wintypes.h"

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;

inline BOOL IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return FALSE_;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return FALSE_;
    return TRUE_;
}
