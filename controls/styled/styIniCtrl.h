// Settings of the ini-file or registry store that the application object owns. Only the
// settings exist: nothing in the program reads or writes through the store.
#pragma once

#include <string>

#include "controls/styled/styBase.h"
#include "controls/styled/stySystem.h"

enum TStyRegRootKey : uint8_t {
    rpClassesRoot,
    rpCurrentUser,
    rpLocalMachine,
    rpUsers,
    rpCurrentConfig,
    rpDynData
};
enum TStyIniTarget : uint8_t { itIniFile, itRegistry, itAuto };

class TStyIniCtrl : public TStyCustomComponent {
public:
    explicit TStyIniCtrl(TComponent* owner) : TStyCustomComponent(owner) {}
    std::string ClassName() const override { return "TStyIniCtrl"; }

    bool Common = true;
    std::string User;
    TStyPathPrefix IniPrefix = ppWindows;
    TStyRegRootKey RegRoot = rpCurrentUser;
    std::string RegPath;
    uint16_t EncKey = 0;
    bool Encoded = false;

    bool NetUser() const { return netUser_; }
    // Switching it on fills User with the login name.
    void SetNetUser(bool v);
    const std::string& IniFile() const { return iniFile_; }
    // A name without extension gets ".INI".
    void SetIniFile(const std::string& name);
    bool AlphaCounter() const { return alphaCounter_; }
    // Letters count the entries: at most 26.
    void SetAlphaCounter(bool v);
    uint8_t MaxEntries() const { return maxEntries_; }
    void SetMaxEntries(uint8_t v);
    TStyIniTarget Target() const { return target_; }
    void SetTarget(TStyIniTarget t);
    // The target in use: itAuto means the registry.
    TStyIniTarget EffectiveTarget() const { return effectiveTarget_; }

private:
    bool netUser_ = false;
    std::string iniFile_;
    bool alphaCounter_ = false;
    uint8_t maxEntries_ = 16;
    TStyIniTarget effectiveTarget_ = itRegistry;
    TStyIniTarget target_ = itAuto;
};
