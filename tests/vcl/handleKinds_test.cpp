// One table for every kind of handle: a handle given to a call made for another kind fails
// there as it would for a closed handle, and leaves the handle's own object alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/window.h"
#include "platform/win/globalMemory.h"
#include "platform/win/handleTable.h"
#include "platform/win/handles.h"
#include "platform/win/icons.h"
#include "platform/win/imageList.h"
#include "platform/win/theme.h"

namespace {

struct Kind {
    const char* name;
    std::function<HANDLE()> make;
    // A call meant for this kind: true when it refuses the handle as it should.
    std::function<bool(HANDLE)> refuses;
    std::function<void(HANDLE)> release;
};

HANDLE AsHandle(const void* p) { return const_cast<void*>(p); }

const BYTE kIconAnd[4 * 32] = {};
const BYTE kIconXor[4 * 32] = {};

std::vector<Kind> Kinds() {
    auto invalid = [] { return GetLastError() == ERROR_INVALID_HANDLE; };
    return {
        {"kernel", [] { return AddHandle(std::make_shared<KernelObject>()); },
         [=](HANDLE h) {
             SetLastError(0);
             return CloseHandle(h) == FALSE_ && invalid() &&
                    WaitForSingleObject(h, 0) == WAIT_FAILED;
         },
         [](HANDLE h) { CloseHandle(h); }},
        {"GDI", [] { return AsHandle(CreateSolidBrush(RGB(1, 2, 3))); },
         [](HANDLE h) {
             return GetObjectType(static_cast<HGDIOBJ>(h)) == 0 &&
                    DeleteObject(static_cast<HGDIOBJ>(h)) == FALSE_;
         },
         [](HANDLE h) { DeleteObject(static_cast<HGDIOBJ>(h)); }},
        {"window",
         [] { return AsHandle(CreateWindowObject("HandleKindsTest", nullptr, nullptr, nullptr)); },
         [](HANDLE h) { return IsWindow(static_cast<HWND>(h)) == FALSE_; },
         [](HANDLE h) { DestroyWindow(static_cast<HWND>(h)); }},
        {"icon", [] { return AsHandle(CreateIcon(nullptr, 32, 32, 1, 1, kIconAnd, kIconXor)); },
         [=](HANDLE h) {
             SetLastError(0);
             return DestroyIcon(static_cast<HICON>(h)) == FALSE_ && invalid();
         },
         [](HANDLE h) { DestroyIcon(static_cast<HICON>(h)); }},
        {"image list", [] { return AsHandle(ImageList_Create(16, 16, ILC_COLOR32, 1, 1)); },
         [=](HANDLE h) {
             SetLastError(0);
             return ImageList_Destroy(static_cast<HIMAGELIST>(h)) == FALSE_ && invalid();
         },
         [](HANDLE h) { ImageList_Destroy(static_cast<HIMAGELIST>(h)); }},
        {"theme",
         [] {
             setenv("VEXOMAT_THEMES", "1", 1);
             HTHEME t = OpenThemeData(nullptr, L"BUTTON");
             unsetenv("VEXOMAT_THEMES");
             return AsHandle(t);
         },
         [](HANDLE h) { return CloseThemeData(static_cast<HTHEME>(h)) == E_HANDLE; },
         [](HANDLE h) { CloseThemeData(static_cast<HTHEME>(h)); }},
        {"global memory", [] { return AsHandle(GlobalAlloc(GMEM_MOVEABLE, 8)); },
         [=](HANDLE h) {
             SetLastError(0);
             return GlobalLock(static_cast<HGLOBAL>(h)) == nullptr && invalid() &&
                    GlobalFree(static_cast<HGLOBAL>(h)) == h;
         },
         [](HANDLE h) { GlobalFree(static_cast<HGLOBAL>(h)); }},
    };
}

TEST(HandleKinds, EveryCallRefusesAHandleOfEveryOtherKind) {
    const std::vector<Kind> kinds = Kinds();
    std::vector<HANDLE> live;
    for (const Kind& k : kinds) {
        live.push_back(k.make());
        ASSERT_NE(live.back(), nullptr) << k.name;
    }
    for (size_t call = 0; call < kinds.size(); ++call)
        for (size_t given = 0; given < kinds.size(); ++given) {
            if (call == given) continue;
            EXPECT_TRUE(kinds[call].refuses(live[given]))
                << "a " << kinds[given].name << " handle given to a " << kinds[call].name
                << " call";
        }
    // Every handle survived the calls of the other kinds: its own call still takes it.
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_FALSE(kinds[i].refuses(live[i])) << kinds[i].name << " handle was lost";
        kinds[i].release(live[i]);
    }
}

TEST(HandleKinds, ClosedHandlesAreRefusedAndIdsAreNeverGivenAgain) {
    const std::vector<Kind> kinds = Kinds();
    std::set<uintptr_t> seen;
    for (int round = 0; round < 3; ++round)
        for (const Kind& k : kinds) {
            HANDLE h = k.make();
            ASSERT_TRUE(seen.insert(reinterpret_cast<uintptr_t>(h)).second)
                << k.name << " id given twice";
            k.release(h);
            EXPECT_TRUE(k.refuses(h)) << "a closed " << k.name << " handle";
        }
}

TEST(HandleKinds, IdsCarryTheirKindAndStayClearOfSmallValues) {
    HBRUSH brush = CreateSolidBrush(0);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 1);
    const auto b = reinterpret_cast<uintptr_t>(brush), m = reinterpret_cast<uintptr_t>(mem);
    EXPECT_EQ(handles::KindOf(b), HandleKind::Gdi);
    EXPECT_EQ(handles::KindOf(m), HandleKind::GlobalMemory);
    EXPECT_GE(b, 0x10000u);  // FillRect takes 1..31 as system colours; no handle is that small
    EXPECT_EQ(b % 4, 0u);
    EXPECT_EQ(handles::Find(b, HandleKind::GlobalMemory), nullptr);
    EXPECT_FALSE(handles::Remove(b, HandleKind::Icon));
    DeleteObject(brush);
    GlobalFree(mem);
    EXPECT_EQ(handles::KindOf(b), HandleKind::None);
}

}  // namespace
