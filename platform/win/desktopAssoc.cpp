#include "platform/win/desktopAssoc.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_map>

#include "platform/rtl/sysutils.h"
#include "platform/win/process.h"

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::vector<std::string> splitList(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i <= s.size()) {
        size_t j = s.find(sep, i);
        if (j == std::string::npos) j = s.size();
        if (j > i) out.push_back(s.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

std::string home() { return env("HOME"); }

std::string dataHome() {
    std::string d = env("XDG_DATA_HOME");
    return d.empty() ? home() + "/.local/share" : d;
}
std::vector<std::string> dataDirs() {
    std::string d = env("XDG_DATA_DIRS");
    return splitList(d.empty() ? "/usr/local/share:/usr/share" : d, ':');
}
std::string configHome() {
    std::string d = env("XDG_CONFIG_HOME");
    return d.empty() ? home() + "/.config" : d;
}
std::vector<std::string> configDirs() {
    std::string d = env("XDG_CONFIG_DIRS");
    return splitList(d.empty() ? "/etc/xdg" : d, ':');
}
// Data folders in order of precedence.
std::vector<std::string> allDataDirs() {
    std::vector<std::string> v{dataHome()};
    for (auto& d : dataDirs()) v.push_back(d);
    return v;
}

bool readLines(const std::string& file, std::vector<std::string>& lines) {
    std::ifstream in(file);
    if (!in) return false;
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return true;
}

// [section] -> key -> value
using IniData = std::map<std::string, std::map<std::string, std::string>>;

IniData readIni(const std::string& file) {
    IniData d;
    std::vector<std::string> lines;
    if (!readLines(file, lines)) return d;
    std::string section;
    for (auto& raw : lines) {
        std::string l = Trim(raw);
        if (l.empty() || l[0] == '#') continue;
        if (l[0] == '[') {
            section = l.substr(1, l.find(']') - 1);
            continue;
        }
        size_t eq = l.find('=');
        if (eq == std::string::npos) continue;
        std::string key = Trim(l.substr(0, eq));
        if (!d[section].count(key)) d[section][key] = Trim(l.substr(eq + 1));
    }
    return d;
}

// ---------------------------------------------------------------- MIME types

struct Glob {
    int weight;
    std::string mime;
    std::string pattern;  // "*.pdf" or a literal name
    bool caseSensitive;
    enum Form { kSuffix, kLiteral, kOther } form = kOther;  // worked out once, when read
};

Glob::Form formOf(const std::string& p) {
    if (p.size() > 1 && p[0] == '*' && p.find_first_of("*?[", 1) == std::string::npos)
        return Glob::kSuffix;
    if (p.find_first_of("*?[") == std::string::npos) return Glob::kLiteral;
    return Glob::kOther;
}

// The non-empty fields of a line of globs2, as splitList gives them, without copies.
std::vector<std::string_view> globFields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i <= line.size()) {
        size_t j = line.find(':', i);
        if (j == std::string_view::npos) j = line.size();
        if (j > i) out.push_back(line.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

std::vector<Glob> loadGlobs() {
    std::vector<Glob> globs;
    for (auto& d : allDataDirs()) {
        std::ifstream in(d + "/mime/globs2", std::ios::binary);
        if (!in) continue;
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string_view l(text.data() + at, end - at);
            at = end + 1;
            if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
            if (l.empty() || l[0] == '#') continue;
            const std::vector<std::string_view> f = globFields(l);
            if (f.size() < 3) continue;
            const std::string pattern(f[2]);
            globs.push_back(Glob{int(StrToIntDef(std::string(f[0]), 50)), std::string(f[1]),
                                 pattern, f.size() > 3 && f[3].find("cs") != std::string_view::npos,
                                 formOf(pattern)});
        }
    }
    return globs;
}

// Whether a and b are equal, letters compared without case when `fold` (ASCII, as SameText).
bool sameChars(std::string_view a, std::string_view b, bool fold) {
    if (a.size() != b.size()) return false;
    if (!fold) return a == b;
    auto folded = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (folded(a[i]) != folded(b[i])) return false;
    return true;
}

// Asked for every file a list shows, against every pattern of the database (over a
// thousand): compared in place, without copies.
bool globMatches(const Glob& g, std::string_view name) {
    const std::string_view p = g.pattern;
    if (g.form == Glob::kSuffix) {
        const std::string_view suffix = p.substr(1);
        if (name.size() < suffix.size()) return false;
        return sameChars(name.substr(name.size() - suffix.size()), suffix, !g.caseSensitive);
    }
    if (g.form == Glob::kLiteral) return sameChars(name, p, !g.caseSensitive);
    return false;  // other glob forms are rare; not needed for documents
}

std::string folded(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

// The patterns with an index of which of them a name can match at all: a suffix holding a
// dot only names whose last extension is the suffix's, a literal only names equal to it
// without case. The few other suffixes ("*~") are asked for every name.
struct GlobIndex {
    std::vector<Glob> globs;
    std::unordered_map<std::string, std::vector<size_t>> byExtension, byName;
    std::vector<size_t> everyName;

    explicit GlobIndex(std::vector<Glob> all) : globs(std::move(all)) {
        for (size_t i = 0; i < globs.size(); ++i) {
            const std::string& p = globs[i].pattern;
            if (globs[i].form == Glob::kLiteral) {
                byName[folded(p)].push_back(i);
            } else if (globs[i].form == Glob::kSuffix) {
                const size_t dot = p.find_last_of('.');
                if (dot == std::string::npos)
                    everyName.push_back(i);
                else
                    byExtension[folded(std::string_view(p).substr(dot + 1))].push_back(i);
            }
        }
    }

    // The patterns `name` may match, in the order of the database.
    std::vector<size_t> candidates(std::string_view name) const {
        std::vector<size_t> c = everyName;
        auto add = [&](const auto& map, const std::string& key) {
            auto it = map.find(key);
            if (it != map.end()) c.insert(c.end(), it->second.begin(), it->second.end());
        };
        const size_t dot = name.find_last_of('.');
        if (dot != std::string_view::npos) add(byExtension, folded(name.substr(dot + 1)));
        add(byName, folded(name));
        std::sort(c.begin(), c.end());
        return c;
    }
};

const std::map<std::string, std::string>& builtinTypes() {
    static const std::map<std::string, std::string> t = {{".pdf", "application/pdf"},
                                                         {".ps", "application/postscript"},
                                                         {".eps", "image/x-eps"},
                                                         {".jpg", "image/jpeg"},
                                                         {".jpeg", "image/jpeg"},
                                                         {".bmp", "image/bmp"},
                                                         {".tif", "image/tiff"},
                                                         {".tiff", "image/tiff"},
                                                         {".png", "image/png"},
                                                         {".gif", "image/gif"},
                                                         {".htm", "text/html"},
                                                         {".html", "text/html"},
                                                         {".txt", "text/plain"},
                                                         {".log", "text/x-log"},
                                                         {".rtf", "application/rtf"},
                                                         {".doc", "application/msword"},
                                                         {".xls", "application/vnd.ms-excel"},
                                                         {".ppt", "application/vnd.ms-powerpoint"},
                                                         {".mdb", "application/vnd.ms-access"}};
    return t;
}

// ---------------------------------------------------------------- desktop entries

// The desktop-entry string escapes (\s \n \t \r \\).
std::string unescapeValue(const std::string& v) {
    std::string r;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            char c = v[++i];
            r += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
        } else {
            r += v[i];
        }
    }
    return r;
}

// Exec arguments: blanks separate, double quotes group with \" \` \$ \\ escapes.
std::vector<std::string> splitExec(const std::string& s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        if (i >= s.size()) break;
        std::string a;
        bool quoted = false;
        while (i < s.size() && (quoted || s[i] != ' ')) {
            char c = s[i];
            if (c == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (quoted && c == '\\' && i + 1 < s.size()) {
                a += s[i + 1];
                i += 2;
                continue;
            }
            a += c;
            ++i;
        }
        out.push_back(a);
    }
    return out;
}

std::optional<DesktopApp> loadDesktopFile(const std::string& id, const std::string& file) {
    IniData ini = readIni(file);
    auto it = ini.find("Desktop Entry");
    if (it == ini.end()) return std::nullopt;
    auto& e = it->second;
    auto get = [&](const char* k) {
        auto f = e.find(k);
        return f == e.end() ? std::string() : unescapeValue(f->second);
    };
    if (get("Type") != "Application" || SameText(get("Hidden"), "true")) return std::nullopt;
    std::string tryExec = get("TryExec");
    if (!tryExec.empty() && SearchProgram(tryExec).empty()) return std::nullopt;
    DesktopApp app;
    app.id = id;
    app.exec = splitExec(get("Exec"));
    if (app.exec.empty()) return std::nullopt;
    app.program = SearchProgram(app.exec[0]);
    if (app.program.empty()) return std::nullopt;
    return app;
}

std::optional<DesktopApp> findInstalled(const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos) return std::nullopt;
    for (auto& d : allDataDirs()) {
        std::string f = d + "/applications/" + id;
        struct stat s;
        if (::stat(f.c_str(), &s) == 0 && S_ISREG(s.st_mode)) return loadDesktopFile(id, f);
    }
    return std::nullopt;
}

std::vector<std::string> mimeappsFiles() {
    std::vector<std::string> desktops;
    for (auto& d : splitList(env("XDG_CURRENT_DESKTOP"), ':')) desktops.push_back(LowerCase(d));
    std::vector<std::string> dirs{configHome()};
    for (auto& d : configDirs()) dirs.push_back(d);
    dirs.push_back(dataHome() + "/applications");
    for (auto& d : dataDirs()) dirs.push_back(d + "/applications");
    std::vector<std::string> files;
    for (auto& d : dirs) {
        for (auto& desk : desktops) files.push_back(d + "/" + desk + "-mimeapps.list");
        files.push_back(d + "/mimeapps.list");
    }
    return files;
}

std::vector<std::string> idsOf(const IniData& ini, const char* section, const std::string& mime) {
    auto s = ini.find(section);
    if (s == ini.end()) return {};
    auto k = s->second.find(mime);
    if (k == s->second.end()) return {};
    return splitList(k->second, ';');
}

}  // namespace

std::string UrlScheme(const std::string& s) {
    size_t colon = s.find(':');
    // Two letters at least, so "C:" is never taken for a scheme.
    if (colon == std::string::npos || colon < 2) return "";
    if (!std::isalpha(static_cast<unsigned char>(s[0]))) return "";
    for (size_t i = 1; i < colon; ++i) {
        char c = s[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return "";
    }
    return LowerCase(s.substr(0, colon));
}

std::string MimeTypeOfFile(const std::string& path) {
    if (DirectoryExists(path)) return "inode/directory";
    return MimeTypeOfName(ExtractFileName(ExcludeTrailingPathDelimiter(path)));
}

std::optional<DesktopApp> FindDesktopApplication(const std::string& id) {
    return findInstalled(id);
}

std::vector<std::string> XdgDataDirs() { return allDataDirs(); }

std::string MimeTypeOfName(const std::string& name) {
    const Glob* best = nullptr;
    static thread_local std::unique_ptr<GlobIndex> index;
    static thread_local std::string globsKey;
    std::string key;
    for (auto& d : allDataDirs()) key += d + ":";
    if (!index || key != globsKey) {
        index = std::make_unique<GlobIndex>(loadGlobs());
        globsKey = key;
    }
    for (size_t i : index->candidates(name)) {
        const Glob& g = index->globs[i];
        if (!globMatches(g, name)) continue;
        if (!best || g.weight > best->weight ||
            (g.weight == best->weight && g.pattern.size() > best->pattern.size()))
            best = &g;
    }
    if (best) return best->mime;
    auto& t = builtinTypes();
    auto it = t.find(LowerCase(ExtractFileExt(name)));
    return it == t.end() ? "" : it->second;
}

std::optional<DesktopApp> DefaultApplicationFor(const std::string& mime) {
    if (mime.empty()) return std::nullopt;
    std::vector<IniData> lists;
    for (auto& f : mimeappsFiles()) lists.push_back(readIni(f));
    // A removal in a file hides the association only in files of lower precedence.
    for (const char* section : {"Default Applications", "Added Associations"}) {
        std::set<std::string> removed;
        for (auto& ini : lists) {
            for (auto& id : idsOf(ini, section, mime))
                if (!removed.count(id))
                    if (auto app = findInstalled(id)) return app;
            for (auto& id : idsOf(ini, "Removed Associations", mime)) removed.insert(id);
        }
    }
    std::set<std::string> removed;
    for (auto& ini : lists)
        for (auto& id : idsOf(ini, "Removed Associations", mime)) removed.insert(id);
    // Last resort: any installed application that declares the type.
    for (auto& d : allDataDirs()) {
        std::string dir = d + "/applications";
        DIR* dp = ::opendir(dir.c_str());
        if (!dp) continue;
        std::vector<std::string> names;
        while (dirent* e = ::readdir(dp)) {
            std::string n = e->d_name;
            if (EndsStr(".desktop", n)) names.push_back(n);
        }
        ::closedir(dp);
        std::sort(names.begin(), names.end());
        for (auto& n : names) {
            if (removed.count(n)) continue;
            IniData ini = readIni(dir + "/" + n);
            auto types = splitList(ini["Desktop Entry"]["MimeType"], ';');
            if (std::find(types.begin(), types.end(), mime) == types.end()) continue;
            if (auto app = findInstalled(n)) return app;
        }
    }
    return std::nullopt;
}

std::vector<std::string> ExpandExecLine(const DesktopApp& app, const std::string& target) {
    std::vector<std::string> argv{app.program};
    bool placed = false;
    for (size_t i = 1; i < app.exec.size(); ++i) {
        const std::string& a = app.exec[i];
        if (a == "%f" || a == "%F" || a == "%u" || a == "%U") {
            if (!placed) argv.push_back(target);
            placed = true;
            continue;
        }
        if (a == "%i" || a == "%c" || a == "%k") continue;
        std::string r;
        for (size_t j = 0; j < a.size(); ++j) {
            if (a[j] == '%' && j + 1 < a.size()) {
                char c = a[++j];
                if (c == '%')
                    r += '%';
                else if (c == 'f' || c == 'u' || c == 'F' || c == 'U') {
                    r += target;
                    placed = true;
                }
                // other field codes are dropped
            } else {
                r += a[j];
            }
        }
        argv.push_back(r);
    }
    if (!placed) argv.push_back(target);
    return argv;
}

std::string OpenCommandLine(const DesktopApp& app) {
    std::string line;
    for (auto& a : ExpandExecLine(app, "%1")) {
        if (!line.empty()) line += ' ';
        line += '"' + a + '"';
    }
    return line;
}
