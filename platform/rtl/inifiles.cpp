#include "platform/rtl/inifiles.h"

#include <vector>

namespace {

std::vector<std::string> ReadLines(const std::string& file) {
    std::vector<std::string> lines;
    if (!FileExists(file)) return lines;
    std::string text;
    try {
        text = ReadFileText(file);
    } catch (const Exception&) {
        return lines;
    }
    TStringList l;
    l.SetText(text);
    return l.ToVector();
}

// "[name]" → name, else empty with ok = false.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t e = t.find(']');
    if (e == std::string::npos) return false;
    name = Trim(t.substr(1, e - 1));
    return true;
}

bool KeyValue(const std::string& line, std::string& key, std::string& value) {
    std::string t = TrimLeft(line);
    if (t.empty() || t[0] == ';') return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Index range [begin, end) of the section's body lines, or begin = -1 when missing.
void SectionRange(const std::vector<std::string>& lines, const std::string& section, int& begin,
                  int& end) {
    begin = -1;
    end = int(lines.size());
    for (int i = 0; i < int(lines.size()); ++i) {
        std::string name;
        if (!SectionName(lines[size_t(i)], name)) continue;
        if (begin >= 0) {
            end = i;
            return;
        }
        if (SameText(name, section)) begin = i + 1;
    }
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    return text;
}

}  // namespace

bool TIniFile::find(const std::string& section, const std::string& ident,
                    std::string& value) const {
    auto lines = ReadLines(FileName);
    int b, e;
    SectionRange(lines, section, b, e);
    if (b < 0) return false;
    for (int i = b; i < e; ++i) {
        std::string k, v;
        if (KeyValue(lines[size_t(i)], k, v) && SameText(k, ident)) {
            value = Unquote(v);
            return true;
        }
    }
    return false;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) const {
    std::string v;
    return find(section, ident, v) ? v : def;
}

long long TIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                long long def) const {
    std::string v;
    if (!find(section, ident, v) || v.empty()) return def;
    long long r;
    return TryStrToInt(v, r) ? r : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::store(const std::string& text) {
    try {
        WriteFileText(FileName, text);
    } catch (const Exception& e) {
        EIniFileException failure(e.Message);  // the file and the cause
        failure.SystemText = e.SystemText;
        throw failure;
    }
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
    auto lines = ReadLines(FileName);
    int b, e;
    SectionRange(lines, section, b, e);
    std::string line = ident + "=" + value;
    if (b < 0) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
        lines.push_back("[" + section + "]");
        lines.push_back(line);
    } else {
        bool done = false;
        for (int i = b; i < e && !done; ++i) {
            std::string k, v;
            if (KeyValue(lines[size_t(i)], k, v) && SameText(k, ident)) {
                lines[size_t(i)] = line;
                done = true;
            }
        }
        if (!done) {
            int at = e;
            while (at > b && Trim(lines[size_t(at - 1)]).empty())
                --at;  // keep the blank line before the next section
            lines.insert(lines.begin() + at, line);
        }
    }
    store(Join(lines));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, long long value) {
    WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const {
    auto lines = ReadLines(FileName);
    int b, e;
    SectionRange(lines, section, b, e);
    return b >= 0;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    std::string v;
    return find(section, ident, v);
}

void TIniFile::ReadSection(const std::string& section, TStringList& idents) const {
    idents.Clear();
    auto lines = ReadLines(FileName);
    int b, e;
    SectionRange(lines, section, b, e);
    if (b < 0) return;
    for (int i = b; i < e; ++i) {
        std::string k, v;
        if (KeyValue(lines[size_t(i)], k, v)) idents.Add(k);
    }
}

void TIniFile::EraseSection(const std::string& section) {
    auto lines = ReadLines(FileName);
    int b, e;
    SectionRange(lines, section, b, e);
    if (b < 0) return;
    lines.erase(lines.begin() + (b - 1), lines.begin() + e);
    store(Join(lines));
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    auto lines = ReadLines(FileName);
    int b, e;
    SectionRange(lines, section, b, e);
    if (b < 0) return;
    for (int i = b; i < e; ++i) {
        std::string k, v;
        if (KeyValue(lines[size_t(i)], k, v) && SameText(k, ident)) {
            lines.erase(lines.begin() + i);
            store(Join(lines));
            return;
        }
    }
}
