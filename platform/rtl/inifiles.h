// Ini files with the semantics of the Windows profile routines: every read looks at the
// file as it is now, every write goes to the file at once; section and key names are
// compared without regard to ASCII case; Booleans are "1"/"0"; integers accept "0x" hex;
// missing or malformed values give the caller's default.
#pragma once

#include <string>

#include "platform/rtl/classes.h"

class TIniFile : public TObject {
public:
    explicit TIniFile(std::string fileName) : FileName(std::move(fileName)) {}
    std::string ClassName() const override { return "TIniFile"; }

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const;
    long long ReadInteger(const std::string& section, const std::string& ident,
                          long long def) const;
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
    // Writes raise EIniFileException when the file cannot be written.
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, long long value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;
    void ReadSection(const std::string& section, TStringList& idents) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& ident);

    const std::string FileName;

private:
    bool find(const std::string& section, const std::string& ident, std::string& value) const;
    void store(const std::string& text);
};
