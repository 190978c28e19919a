#include "platform/win/mimeTypes.h"

#include "platform/win/desktopAssoc.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace {

struct MimeData {
    std::vector<std::string> dirs;
    std::map<std::string, std::string> genericIcons, customIcons;
};

void ReadPairs(const std::string& file, std::map<std::string, std::string>& into) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        size_t c = line.find(':');
        if (c != std::string::npos && line[0] != '#')
            into.emplace(line.substr(0, c), line.substr(c + 1));
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
    for (const std::string& x : XdgDataDirs()) d->dirs.push_back(x + "/mime");
    for (const std::string& dir : d->dirs) {
        ReadPairs(dir + "/generic-icons", d->genericIcons);
        ReadPairs(dir + "/icons", d->customIcons);
    }
    return *d;
}

std::string XmlText(std::string s) {
    const std::pair<const char*, const char*> ents[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (auto [from, to] : ents)
        for (size_t p; (p = s.find(from)) != std::string::npos;)
            s.replace(p, std::string(from).size(), to);
    return s;
}

}  // namespace

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
            std::string attrs = xml.substr(p, close - p),
                        body = XmlText(xml.substr(close + 1, end - close - 1));
            if (attrs.find("xml:lang") == std::string::npos)
                english = body;
            else if (attrs.find("\"zh_CN\"") != std::string::npos)
                chinese = body;
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
    if (auto it = d.genericIcons.find(type); it != d.genericIcons.end())
        names.push_back(it->second);
    else
        names.push_back(type.substr(0, type.find('/')) + "-x-generic");
    return names;
}

void ResetMimeData() { Cache().reset(); }
