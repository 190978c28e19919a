#include "engine/checker.h"

#include "engine/host.h"
#include "engine/util.h"
#include "platform/win/printers.h"
#include "platform/win/registry.h"
#include "platform/win/registryClass.h"

const char* const kProductAddress = "https://vexomat.example.com/";

namespace {

const char* const kPrinterName = "Generic Colour PostScript";

void Inform(const std::string& text) {
    ShowMsg(text, mkInformation, MainState() && MainState()->FBatchMode);
}

std::string CommonEnding() {
    return "\n\n这是进行转换所必须的功能。\n\n请安装或选择其他的转换功能。";
}

std::string VersionMessage(const std::string& appName) {
    if (appName == "Access")
        return "不是 Microsoft " + appName + " 2000 或更高版本在你的系统中! " + CommonEnding();
    return "不是 Microsoft " + appName + " 97 或更高版本在你的系统中! " + CommonEnding();
}

std::string ReadDefault(HKEY root, const std::string& key) {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(root);
    std::string value;
    if (reg.OpenKeyReadOnly(key)) value = reg.ReadString("");
    reg.CloseKey();
    return value;
}

std::string RegisteredOfficeValue(const std::string& appName) {
    return ReadDefault(HKEY_CLASSES_ROOT, appName + ".Application\\CurVer");
}

// The version at the end of "Word.Application.11": the last two characters, or the last
// one when a dot stands before it. Raises EConvertError when that is no number.
int VersionOf(const std::string& value) {
    std::string tail;
    if (value.size() >= 3 && value[value.size() - 2] != '.')
        tail = value.substr(value.size() - 2);
    else
        tail = value.substr(value.size() - 1);
    return int(StrToInt(tail));
}

std::string MoreInfo() { return "\n\n更多信息在 " + std::string(kProductAddress) + "."; }

}  // namespace

bool CheckOffice(const std::string& appName, bool show) {
    try {
        std::string value = RegisteredOfficeValue(appName);
        if (value.empty()) {
            if (show) Inform("不是 Microsoft " + appName + "系统! " + CommonEnding());
            return false;
        }
        int version = VersionOf(value);
        bool tooOld = appName == "Access" ? version < 9 : version < 8;
        if (tooOld) {
            if (show) Inform(VersionMessage(appName));
            return false;
        }
        return true;
    } catch (const Exception& e) {
        Log("ErrorMessage", e.Message);
        if (show) Inform(VersionMessage(appName));
        return false;
    }
}

int OfficeVersion(const std::string& appName) {
    try {
        std::string value = RegisteredOfficeValue(appName);
        if (value.empty()) return -1;
        return VersionOf(value);
    } catch (const Exception& e) {
        Log("ErrorMessage", e.Message);
        return -1;
    }
}

bool CheckGhostscript(bool show) {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    std::string dll;
    if (reg.OpenKeyReadOnly("SOFTWARE\\AFPL Ghostscript\\8.51")) dll = reg.ReadString("GS_DLL");
    reg.CloseKey();
    if (!dll.empty() && MainState() && FileExists(MainState()->FGsExe)) return true;
    if (show)
        Inform(
            "在你的系统中没有免费 \"GhostScript 8.51\" ! \n\n它是 Vexomat "
            "所必需。请下载并安装这个免费软件。 " +
            MoreInfo());
    return false;
}

bool CheckPrinter(bool show, bool checkPort) {
    TPrinter* printer = Printer();
    TStringList& names = printer->Printers();
    int found = -1;
    for (int i = 0; i < names.Count() && found < 0; ++i) {
        printer->SetPrinterIndex(i);
        if (StartsStr(kPrinterName, names[i])) found = i;
    }
    if (found < 0) {
        if (show)
            Inform(
                "在你的系统中没有免费 Postscript 驱动程序(打印机 \"Generic Colour PostScript\")! "
                "\n\n"
                "它是 Vexomat 所必需。请下载并安装这个免费软件。 " +
                MoreInfo());
        return false;
    }
    std::string device, driver, port;
    printer->GetPrinter(device, driver, port);
    if (port.empty()) {
        char buffer[260] = {0};
        GetProfileStringA("Devices", device.c_str(), "", buffer, sizeof buffer);
        std::string entry = buffer;
        size_t comma = entry.find(',');
        port = comma == std::string::npos ? "" : entry.substr(comma + 1);
    }
    // The port is compared as text ("文件:" is not 5 bytes here).
    if (checkPort && show && UpperCase(port) != "文件:")
        Inform(
            "Postscript 驱动程序的端口(打印机 \"Generic Colour PostScript\") 不是 \"文件:\"! \n\n"
            "请更改打印机属性设置 \"Generic Colour PostScript\" (在 windows 打印机列表中)。");
    return true;
}

bool CheckPdfViewer(bool show) {
    std::string value = ReadDefault(HKEY_CLASSES_ROOT, ".pdf");
    if (!value.empty()) value = ReadDefault(HKEY_CLASSES_ROOT, value + "\\shell\\open\\command");
    if (!value.empty()) return true;
    if (show)
        Inform(
            "在你的系统中没有免费 \"PDF-Viewer\"! "
            "\n\n这个程序不是必需，但推荐使用。请下载并安装这个免费软件。 " +
            MoreInfo());
    return false;
}
