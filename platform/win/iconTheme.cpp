#include "platform/win/iconTheme.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/win/icons.h"

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool IsDir(const std::string& p) {
    struct stat st {};
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string GtkTheme() {
    std::ifstream in(Env("HOME") + "/.config/gtk-3.0/settings.ini");
    std::string line;
    const std::string key = "gtk-icon-theme-name";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string v = line.substr(eq + 1);
        v.erase(0, v.find_first_not_of(" \t\""));
        v.erase(v.find_last_not_of(" \t\"\r") + 1);
        return v;
    }
    return "";
}

std::vector<std::string> ThemeDirs() {
    std::string chosen = Env("VEXOMAT_ICON_THEME");
    if (chosen.empty()) chosen = GtkTheme();
    std::vector<std::string> bases = {Env("HOME") + "/.local/share/icons", Env("HOME") + "/.icons",
                                      "/usr/local/share/icons", "/usr/share/icons"};
    std::vector<std::string> dirs;
    for (const std::string& theme : {chosen, std::string("Adwaita"), std::string("hicolor")}) {
        if (theme.empty() || theme.find('/') != std::string::npos || theme == "." || theme == "..")
            continue;
        for (const std::string& b : bases)
            if (IsDir(b + "/" + theme)) dirs.push_back(b + "/" + theme);
    }
    return dirs;
}

bool ReadPng(const std::string& file, IconImage& out) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    if (!DecodePng(bytes, w, h, px)) return false;
    out = IconImage{};
    out.Resize(w, h);
    out.pixels = std::move(px);
    for (size_t i = 0; i < out.pixels.size(); ++i) out.mask[i] = (out.pixels[i] >> 24) < 0x80;
    out.bitCount = 32;
    out.hasAlpha = true;
    return true;
}

}  // namespace

bool IconThemeEnabled() { return Env("VEXOMAT_ICON_THEME") != "builtin"; }

bool LoadThemeIcon(const std::vector<std::string>& names, int size, IconImage& out,
                   std::string* file) {
    if (!IconThemeEnabled()) return false;
    static std::map<std::string, std::string> found;  // name@size -> file ("" = none)
    static const char* contexts[] = {"mimetypes", "places", "devices", "apps", "status", "legacy"};
    const std::vector<int> sizes = {size, size == 16 ? 22 : 48, size == 16 ? 24 : 64, 32, 48, 256};
    for (const std::string& name : names) {
        if (name.empty() || name.find('/') != std::string::npos) continue;
        std::string key = name + "@" + std::to_string(size), hit;
        auto c = found.find(key);
        if (c != found.end()) {
            hit = c->second;
        } else {
            for (const std::string& theme : ThemeDirs()) {
                for (int s : sizes) {
                    std::string sz = std::to_string(s);
                    for (const char* ctx : contexts)
                        for (const std::string& cand :
                             {theme + "/" + sz + "x" + sz + "/" + ctx + "/" + name + ".png",
                              theme + "/" + ctx + "/" + sz + "/" + name + ".png"}) {
                            struct stat st {};
                            if (hit.empty() && stat(cand.c_str(), &st) == 0) hit = cand;
                        }
                    if (!hit.empty()) break;
                }
                if (!hit.empty()) break;
            }
            found[key] = hit;
        }
        IconImage img;
        if (!hit.empty() && ReadPng(hit, img)) {
            out = ScaleIconImage(img, size, size);
            if (file) *file = hit;
            return true;
        }
    }
    return false;
}
