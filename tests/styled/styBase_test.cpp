// Look-object notification, path texts, the ini store settings and the geometry helpers.
#include <gtest/gtest.h>

#include "controls/styled/styBase.h"
#include "controls/styled/styIniCtrl.h"
#include "controls/styled/styPathStrings.h"
#include "controls/styled/stySystem.h"

namespace {

class TLook : public TStyObject {
public:
    void SetA(int v) { SetProp(a, v); }
    void SetB(int v) { SetProp(b, v); }
    void SetC(int v) { SetProp(c, v); }
    int a = 0, b = 0, c = 0;
};

TEST(StyObject, UpdateLockFiresOnceOrNotAtAll) {
    TLook look;
    int fired = 0;
    TObject* sender = nullptr;
    look.OnChange = [&](TObject* s) {
        ++fired;
        sender = s;
    };

    look.SetA(1);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(sender, &look);
    look.SetA(1);  // unchanged: nothing
    EXPECT_EQ(fired, 1);

    look.BeginUpdate();
    look.BeginUpdate();  // no nesting count: one EndUpdate ends both
    look.SetA(2);
    look.SetB(3);
    look.SetC(4);
    EXPECT_EQ(fired, 1);
    look.EndUpdate(true);
    EXPECT_EQ(fired, 2);
    EXPECT_FALSE(look.Locked());

    look.BeginUpdate();
    look.SetA(5);
    look.EndUpdate(false);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(look.a, 5);

    look.SubObjectChanged(nullptr);
    EXPECT_EQ(fired, 3);
    EXPECT_THROW(look.Assign(nullptr), EConvertError);
}

TEST(StyCustomComponent, SameLockAsLookObjects) {
    TStyCustomComponent comp(nullptr);
    int fired = 0;
    comp.OnChange = [&](TObject*) { ++fired; };
    comp.BeginUpdate();
    comp.Change();
    comp.EndUpdate(true);
    EXPECT_EQ(fired, 1);
}

TEST(StyPathStrings, BlankAndTrailingSeparator) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("  "));
    EXPECT_FALSE(IsBlank("\t"));  // tabs are text
    EXPECT_EQ(AddBackslash(""), "/");
    EXPECT_EQ(AddBackslash("  "), "  /");
    EXPECT_EQ(AddBackslash("/a/"), "/a/");
    EXPECT_EQ(AddBackslash("/a"), "/a/");
    EXPECT_EQ(RemoveBackslash("/a//"), "/a/");
    EXPECT_EQ(RemoveBackslash("/a"), "/a");
    EXPECT_EQ(RemoveBackslash(" "), " ");
}

TEST(StyIniCtrl, SettingsFollowTheirRules) {
    TStyIniCtrl ini(nullptr);
    EXPECT_TRUE(ini.Common);
    EXPECT_EQ(ini.MaxEntries(), 16);
    EXPECT_EQ(ini.Target(), itAuto);
    EXPECT_EQ(ini.EffectiveTarget(), itRegistry);
    EXPECT_EQ(ini.IniPrefix, ppWindows);

    ini.SetIniFile("settings");
    EXPECT_EQ(ini.IniFile(), "settings.INI");
    ini.SetIniFile("settings.");
    EXPECT_EQ(ini.IniFile(), "settings.INI");
    ini.SetIniFile("store.dat");
    EXPECT_EQ(ini.IniFile(), "store.dat");

    ini.SetMaxEntries(40);
    ini.SetAlphaCounter(true);
    EXPECT_EQ(ini.MaxEntries(), 26);
    ini.SetMaxEntries(30);
    EXPECT_EQ(ini.MaxEntries(), 26);
    ini.SetMaxEntries(20);
    EXPECT_EQ(ini.MaxEntries(), 20);

    ini.SetTarget(itIniFile);
    EXPECT_EQ(ini.EffectiveTarget(), itIniFile);
    ini.SetTarget(itAuto);
    EXPECT_EQ(ini.EffectiveTarget(), itRegistry);

    ini.SetNetUser(true);
    EXPECT_FALSE(ini.User.empty());
    EXPECT_EQ(ini.User, GetUserLogonName());
}

TEST(StyGeometry, FitRotateAndExtremes) {
    TRect fit = FitRect(Rect(0, 0, 100, 50), Rect(10, 20, 70, 80));
    EXPECT_EQ(fit.Left, 10);
    EXPECT_EQ(fit.Top, 20);
    EXPECT_EQ(fit.Right, 70);
    EXPECT_EQ(fit.Bottom, 50);
    // An empty source has no scale: an empty rectangle instead of a division by zero.
    TRect none = FitRect(Rect(0, 0, 0, 50), Rect(10, 20, 70, 80));
    EXPECT_EQ(none.Right - none.Left, 0);

    TRect r90 = RotatedBounds(Rect(5, 5, 105, 55), 90);
    EXPECT_EQ(r90.Left, 0);
    EXPECT_EQ(r90.Top, 0);
    EXPECT_EQ(r90.Right, 50);
    EXPECT_EQ(r90.Bottom, 100);
    TRect r0 = RotatedBounds(Rect(5, 5, 105, 55), 0);
    EXPECT_EQ(r0.Left, 5);
    TRect r45 = RotatedBounds(Rect(0, 0, 100, 0), 45);
    EXPECT_EQ(r45.Right, 71);  // 70.7
    EXPECT_EQ(r45.Bottom, 71);
    // Odd sizes keep their pixel: 41 x 15 turned a quarter is 15 x 41.
    TRect odd = RotatedBounds(Rect(0, 0, 41, 15), 90);
    EXPECT_EQ(odd.Right, 15);
    EXPECT_EQ(odd.Bottom, 41);
    TRect odd270 = RotatedBounds(Rect(0, 0, 41, 15), -90);
    EXPECT_EQ(odd270.Bottom, 41);

    EXPECT_EQ(RectSize(Rect(1, 2, 11, 22)).X, 10);
    EXPECT_EQ(RectSize(Rect(1, 2, 11, 22)).Y, 20);
    std::vector<int> v{4, 9, -3, 7};
    EXPECT_EQ(MaxOfArray(v, 3), 9);
    EXPECT_EQ(MinOfArray(v, 3), -3);
    EXPECT_EQ(MaxOfArray(v, 0), 4);
    EXPECT_EQ(MinOfArray(v, 1), 4);
    EXPECT_EQ(MaxOfArray({}, 3), 0);
    EXPECT_EQ(MinOfFloats({2.5L, -1.5L}, 1), -1.5L);
    EXPECT_EQ(StyRound(2.5), 2);
    EXPECT_EQ(StyRound(3.5), 4);
}

TEST(StySystem, FoldersAndPrefixes) {
    EXPECT_EQ(GetPathPrefix(ppFixed, true), "");
    EXPECT_EQ(GetPathPrefix(ppFixed, false), "");
    std::string program = GetPathPrefix(ppProgram, true);
    EXPECT_EQ(program.back(), '/');
    EXPECT_EQ(GetPathPrefix(ppProgram, false) + "/", program);
    EXPECT_EQ(GetWindowsFolder().back(), '/');
    EXPECT_EQ(GetSystemFolder(), "/usr/lib/");
    EXPECT_FALSE(IsWinNT || IsWin9x);  // this platform is of neither family
    EXPECT_GT(GetMajorVersion(), 0u);
    EXPECT_EQ(GetColorDepth(), 32);
}

}  // namespace
