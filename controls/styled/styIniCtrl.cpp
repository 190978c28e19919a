#include "controls/styled/styIniCtrl.h"

#include "platform/rtl/sysutils.h"

namespace {
constexpr uint8_t MaxAlphaEntries = 26;
}

void TStyIniCtrl::SetNetUser(bool v) {
    if (v == netUser_) return;
    netUser_ = v;
    if (v) User = GetUserLogonName();
}

void TStyIniCtrl::SetIniFile(const std::string& name) {
    iniFile_ = ExtractFileExt(name).size() > 1 ? name : ChangeFileExt(name, ".INI");
}

void TStyIniCtrl::SetAlphaCounter(bool v) {
    if (v == alphaCounter_) return;
    alphaCounter_ = v;
    if (v && maxEntries_ > MaxAlphaEntries) maxEntries_ = MaxAlphaEntries;
}

void TStyIniCtrl::SetMaxEntries(uint8_t v) {
    if (v == maxEntries_) return;
    if (alphaCounter_ && v > MaxAlphaEntries) return;
    maxEntries_ = v;
}

void TStyIniCtrl::SetTarget(TStyIniTarget t) {
    target_ = t;
    effectiveTarget_ = t == itAuto ? itRegistry : t;
}
