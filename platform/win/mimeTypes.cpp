#include "platform/win/mimeTypes.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace {

struct Glob {
    int weight = 50;
    std::string type;
    std::string pattern;
    bool caseSensitive = false;
};

struct MimeData {
    std::vector<std::string> dirs;
    std::vector<Glob> globs;
    std::map<std::string, std::string> genericIcons, customIcons;
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::vector<std::string> DataDirs() {
    std::vector<std::string> dirs;
    const char* home = std::getenv("XDG_DATA_HOME");
    const char* h = std::getenv("HOME");
    if (home && *home) dirs.push_back(home);
    else if (h && *h) dirs.push_back(std::string(h) + "/.local/share");
    const char* sys = std::getenv("XDG_DATA_DIRS");
    std::stringstream list(sys && *sys ? sys : "/usr/local/share:/usr/share");
    std::string d;
    while (std::getline(list, d, ':'))
        if (!d.empty()) dirs.push_back(d);
    for (std::string& x : dirs) x += "/mime";
    return dirs;
}

void ReadPairs(const std::string& file, std::map<std::string, std::string>& into) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        size_t c = line.find(':');
        if (c != std::string::npos && line[0] != '#') into.emplace(line.substr(0, c), line.substr(c + 1));
    }
}

std::unique_ptr<MimeData>& Cache() {
    static std::unique_ptr<MimeData> data;
    return data;
}

const MimeData& Data() {
    auto& d = Cache();
    if (d) return *d;
    d = std::make_unique<MimeData>();
    d->dirs = DataDirs();
    for (const std::string& dir : d->dirs) {
        std::ifstream in(dir + "/globs2");
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            std::stringstream f(line);
            std::string w, type, pattern, flags;
            if (!std::getline(f, w, ':') || !std::getline(f, type, ':') || !std::getline(f, pattern, ':')) continue;
            std::getline(f, flags);
            Glob g{std::atoi(w.c_str()), type, pattern, flags.find("cs") != std::string::npos};
            if (!g.caseSensitive) g.pattern = Lower(g.pattern);
            d->globs.push_back(g);
        }
        ReadPairs(dir + "/generic-icons", d->genericIcons);
        ReadPairs(dir + "/icons", d->customIcons);
    }
    return *d;
}

std::string XmlText(std::string s) {
    const std::pair<const char*, const char*> ents[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (auto [from, to] : ents)
        for (size_t p; (p = s.find(from)) != std::string::npos;) s.replace(p, std::string(from).size(), to);
    return s;
}

}  // namespace

std::string MimeTypeOfName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    if (name.empty()) return "";
    std::string lower = Lower(name);
    const Glob* best = nullptr;
    for (const Glob& g : Data().globs) {
        const std::string& subject = g.caseSensitive ? name : lower;
        if (fnmatch(g.pattern.c_str(), subject.c_str(), 0) != 0) continue;
        // Higher weight wins; among equal weights the longer (more specific) pattern.
        if (!best || g.weight > best->weight || (g.weight == best->weight && g.pattern.size() > best->pattern.size()))
            best = &g;
    }
    return best ? best->type : "";
}

std::string MimeTypeComment(const std::string& type) {
    if (type.empty() || type.find("..") != std::string::npos) return "";
    for (const std::string& dir : Data().dirs) {
        std::ifstream in(dir + "/" + type + ".xml");
        if (!in) continue;
        std::stringstream text;
        text << in.rdbuf();
        std::string xml = text.str(), english, chinese;
        for (size_t p = 0; (p = xml.find("<comment", p)) != std::string::npos;) {
            size_t close = xml.find('>', p), end = xml.find("</comment>", p);
            if (close == std::string::npos || end == std::string::npos || end < close) break;
            std::string attrs = xml.substr(p, close - p), body = XmlText(xml.substr(close + 1, end - close - 1));
            if (attrs.find("xml:lang") == std::string::npos) english = body;
            else if (attrs.find("\"zh_CN\"") != std::string::npos) chinese = body;
            p = end;
        }
        if (!chinese.empty()) return chinese;
        if (!english.empty()) return english;
    }
    return "";
}

std::vector<std::string> MimeIconNames(const std::string& type) {
    std::vector<std::string> names;
    if (type.empty()) return names;
    const MimeData& d = Data();
    if (auto it = d.customIcons.find(type); it != d.customIcons.end()) names.push_back(it->second);
    std::string dashed = type;
    std::replace(dashed.begin(), dashed.end(), '/', '-');
    names.push_back(dashed);
    if (auto it = d.genericIcons.find(type); it != d.genericIcons.end()) names.push_back(it->second);
    else names.push_back(type.substr(0, type.find('/')) + "-x-generic");
    return names;
}

void ResetMimeData() { Cache().reset(); }
