#include "platform/automation/servers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/automation/printPrompt.h"
#include "platform/win/printers.h"

namespace office {

bool ServerInstalled(const std::string& app) {
    if (app == "Word") return ModuleInstalled("writer");
    if (app == "Excel") return ModuleInstalled("calc");
    if (app == "PowerPoint") return ModuleInstalled("impress");
    if (app == "Access") {
        if (!ModuleInstalled("writer")) return false;
        for (const char* tool : {"mdb-ver", "mdb-tables", "mdb-queries", "mdb-export", "mdb-sql"})
            if (MdbTool(tool).empty()) return false;
        return true;
    }
    return false;
}

std::shared_ptr<TAutoObject> CreateServer(const std::string& app) {
    if (app == "Word") return CreateWordServer();
    if (app == "Excel") return CreateExcelServer();
    if (app == "PowerPoint") return CreatePowerPointServer();
    if (app == "Access") return CreateAccessServer();
    throw EOleError("无效的类字符串: " + app);
}

std::string AskPrintFileName(const std::string& program, std::chrono::milliseconds bound) {
    const std::string answer = PrintPromptFile(long(getpid()), program);
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        std::ifstream in(answer, std::ios::binary);
        if (in) {
            std::ostringstream ss;
            ss << in.rdbuf();
            in.close();
            std::error_code ec;
            std::filesystem::remove(answer, ec);
            // The answers' folder goes once it is empty.
            std::filesystem::remove(PrintPromptFolder(), ec);
            std::string name = ss.str();
            while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
            if (!name.empty()) return name;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            throw EOleError("打印到文件: 在 " + std::to_string(bound.count() / 1000) +
                            " 秒内没有得到输出文件名");
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string DefaultPrinterName() {
    char buf[512];
    DWORD size = sizeof buf;
    if (!GetDefaultPrinterA(buf, &size)) return "";
    return buf;
}

std::string OfficePageRange(const std::string& pages) {
    std::string out;
    std::string item;
    auto flush = [&](bool last) {
        // one item: n, n-m or n-
        if (item.empty()) {
            if (!last || out.empty()) throw EOleError("页码范围无效: " + pages);
            return;
        }
        size_t dash = item.find('-');
        std::string a = item.substr(0, dash);
        std::string b = dash == std::string::npos ? "" : item.substr(dash + 1);
        auto digits = [](const std::string& s) {
            return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
        };
        if (!digits(a) || (dash != std::string::npos && !b.empty() && !digits(b)) ||
            (dash != std::string::npos && b.find('-') != std::string::npos))
            throw EOleError("页码范围无效: " + pages);
        if (std::stoll(a.substr(0, 9)) < 1 ||
            (digits(b) && std::stoll(b.substr(0, 9)) < std::stoll(a.substr(0, 9))))
            throw EOleError("页码范围无效: " + pages);
        if (!out.empty()) out += ",";
        out += item;
        item.clear();
    };
    for (char c : pages) {
        if (c == ' ' || c == '\t') continue;
        if (c == ',' || c == ';')
            flush(false);
        else
            item += c;
    }
    flush(true);
    return out;
}

void BitmapInfo(const std::string& file, int& width, int& height, double& dpiX, double& dpiY) {
    std::ifstream in(file, std::ios::binary);
    unsigned char h[54];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M')
        throw EOleError("无法读取图片: " + file);
    auto u32 = [&](int o) {
        return uint32_t(h[o]) | uint32_t(h[o + 1]) << 8 | uint32_t(h[o + 2]) << 16 |
               uint32_t(h[o + 3]) << 24;
    };
    uint32_t headerSize = u32(14);
    if (headerSize == 12) {
        width = h[18] | h[19] << 8;
        height = h[20] | h[21] << 8;
        dpiX = dpiY = 96;
        return;
    }
    width = int32_t(u32(18));
    int32_t hh = int32_t(u32(22));
    height = hh < 0 ? -hh : hh;
    uint32_t ppmX = u32(38), ppmY = u32(42);
    dpiX = ppmX > 0 ? ppmX * 0.0254 : 96;
    dpiY = ppmY > 0 ? ppmY * 0.0254 : 96;
    if (width <= 0 || height <= 0) throw EOleError("无法读取图片: " + file);
}

}  // namespace office
