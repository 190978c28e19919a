#include "platform/win/printers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/win/handles.h"

namespace {

std::recursive_mutex g_mutex;
std::vector<PrinterEntry> g_printers;
std::string g_default;
unsigned g_generation = 0;
bool g_initialised = false;

PrinterEntry ownPrinter() {
    return {kPostScriptPrinter, kFilePort, kPostScriptPrinter, "PostScript to file"};
}

void init() {
    if (g_initialised) return;
    g_initialised = true;
    g_printers = {ownPrinter()};
    g_default = kPostScriptPrinter;
}

int findLocked(const std::string& name) {
    for (size_t i = 0; i < g_printers.size(); ++i)
        if (SameText(g_printers[i].name, name)) return int(i);
    return -1;
}

class PrinterObject : public KernelObject {
public:
    explicit PrinterObject(std::string n) : name(std::move(n)) {}
    std::string name;
};

BOOL fail(DWORD err) {
    SetLastError(err);
    errno = err == ERROR_INSUFFICIENT_BUFFER ? ENOBUFS : ENOENT;  // RaiseLastOSError reads errno
    return FALSE_;
}

}  // namespace

std::vector<PrinterEntry> InstalledPrinters() {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    init();
    return g_printers;
}

void InstallPrinter(const PrinterEntry& p) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    init();
    int i = findLocked(p.name);
    if (i >= 0)
        g_printers[size_t(i)] = p;
    else
        g_printers.push_back(p);
    if (g_default.empty()) g_default = p.name;
    ++g_generation;
}

bool UninstallPrinter(const std::string& name) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    init();
    int i = findLocked(name);
    if (i < 0) return false;
    g_printers.erase(g_printers.begin() + i);
    if (SameText(g_default, name)) g_default = g_printers.empty() ? "" : g_printers[0].name;
    ++g_generation;
    return true;
}

void ResetPrinters() {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    g_initialised = false;
    init();
    ++g_generation;
}

BOOL OpenPrinterA(const char* name, HANDLE* printer, void*) {
    if (!printer) return fail(ERROR_INVALID_PARAMETER);
    *printer = nullptr;
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    init();
    int i = name ? findLocked(name) : -1;
    if (i < 0) return fail(ERROR_INVALID_PRINTER_NAME);
    *printer = AddHandle(std::make_shared<PrinterObject>(g_printers[size_t(i)].name));
    return TRUE_;
}

BOOL ClosePrinter(HANDLE printer) {
    if (!LookupHandleAs<PrinterObject>(printer)) return fail(ERROR_INVALID_HANDLE);
    return CloseHandle(printer);
}

BOOL GetPrinterA(HANDLE printer, DWORD level, BYTE* buffer, DWORD bufSize, DWORD* needed) {
    auto obj = LookupHandleAs<PrinterObject>(printer);
    if (!obj) return fail(ERROR_INVALID_HANDLE);
    if (level != 2) return fail(ERROR_INVALID_LEVEL);
    PrinterEntry p;
    bool isDefault;
    {
        std::lock_guard<std::recursive_mutex> lock(g_mutex);
        int i = findLocked(obj->name);
        if (i < 0) return fail(ERROR_INVALID_PRINTER_NAME);  // removed meanwhile
        p = g_printers[size_t(i)];
        isDefault = SameText(g_default, p.name);
    }
    const std::string* strings[] = {&p.name, &p.port, &p.driver, &p.comment};
    size_t need = sizeof(PRINTER_INFO_2A);
    for (auto* s : strings) need += s->size() + 1;
    if (needed) *needed = DWORD(need);
    if (!buffer || bufSize < need) return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memset(buffer, 0, need);
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer);
    char* out = reinterpret_cast<char*>(buffer) + sizeof(PRINTER_INFO_2A);
    char* placed[4];
    for (int k = 0; k < 4; ++k) {
        placed[k] = out;
        std::memcpy(out, strings[k]->c_str(), strings[k]->size() + 1);
        out += strings[k]->size() + 1;
    }
    info->pPrinterName = placed[0];
    info->pPortName = placed[1];
    info->pDriverName = placed[2];
    info->pComment = placed[3];
    info->Attributes = PRINTER_ATTRIBUTE_LOCAL | (isDefault ? PRINTER_ATTRIBUTE_DEFAULT : 0);
    info->Priority = 1;
    info->DefaultPriority = 1;
    return TRUE_;
}

BOOL SetPrinterA(HANDLE printer, DWORD level, BYTE* info, DWORD) {
    auto obj = LookupHandleAs<PrinterObject>(printer);
    if (!obj) return fail(ERROR_INVALID_HANDLE);
    if (level == 0) return TRUE_;  // a command only; no queue to act on
    if (level != 2) return fail(ERROR_INVALID_LEVEL);
    if (!info) return fail(ERROR_INVALID_PARAMETER);
    auto* pi = reinterpret_cast<PRINTER_INFO_2A*>(info);
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    if (findLocked(obj->name) < 0) return fail(ERROR_INVALID_PRINTER_NAME);
    if (pi->Attributes & PRINTER_ATTRIBUTE_DEFAULT) g_default = obj->name;
    return TRUE_;
}

BOOL SetDefaultPrinterA(const char* name) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    init();
    if (!name || !*name) {
        if (g_default.empty() && !g_printers.empty()) g_default = g_printers[0].name;
        return TRUE_;
    }
    int i = findLocked(name);
    if (i < 0) return fail(ERROR_INVALID_PRINTER_NAME);
    g_default = g_printers[size_t(i)].name;
    return TRUE_;
}

BOOL GetDefaultPrinterA(char* buffer, DWORD* size) {
    if (!size) return fail(ERROR_INVALID_PARAMETER);
    std::string d;
    {
        std::lock_guard<std::recursive_mutex> lock(g_mutex);
        init();
        d = g_default;
    }
    if (d.empty()) return fail(ERROR_FILE_NOT_FOUND);
    DWORD need = DWORD(d.size() + 1);
    if (!buffer || *size < need) {
        *size = need;
        return fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, d.c_str(), need);
    *size = need;
    return TRUE_;
}

DWORD GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                        DWORD size) {
    if (!buffer || size == 0) return 0;
    std::string value = def ? def : "";
    if (section && key && SameText(section, "Devices")) {
        std::lock_guard<std::recursive_mutex> lock(g_mutex);
        init();
        int i = findLocked(key);
        if (i >= 0) value = "winspool," + g_printers[size_t(i)].port;
    }
    size_t n = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = 0;
    return DWORD(n);
}

// ---------------------------------------------------------------- TPrinter

void TPrinter::sync() {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    init();
    if (generation_ == g_generation) return;
    std::string current =
        index_ >= 0 && size_t(index_) < entries_.size() ? entries_[size_t(index_)].name : "";
    entries_ = g_printers;
    generation_ = g_generation;
    printers_.Clear();
    for (auto& e : entries_) printers_.Add(e.name);
    // Keep the same printer current when it is still there.
    index_ = -1;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (SameText(entries_[i].name, current)) index_ = int(i);
}

void TPrinter::Refresh() {
    generation_ = ~0u;
    sync();
}

TStringList& TPrinter::Printers() {
    sync();
    return printers_;
}

int TPrinter::PrinterIndex() {
    sync();
    if (index_ < 0) SetPrinterIndex(-1);
    return index_;
}

void TPrinter::SetPrinterIndex(int index) {
    sync();
    if (index == -1) {
        std::string d;
        {
            std::lock_guard<std::recursive_mutex> lock(g_mutex);
            d = g_default;
        }
        index_ = -1;
        for (size_t i = 0; i < entries_.size(); ++i)
            if (SameText(entries_[i].name, d)) index_ = int(i);
        if (index_ < 0 && !entries_.empty()) index_ = 0;
        if (index_ < 0) throw EPrinter("There is no default printer currently selected");
        return;
    }
    if (index < 0 || size_t(index) >= entries_.size())
        throw EPrinter("Printer selected is not valid");
    index_ = index;
}

void TPrinter::GetPrinter(std::string& device, std::string& driver, std::string& port) {
    int i = PrinterIndex();
    const PrinterEntry& e = entries_[size_t(i)];
    device = e.name;
    driver = "winspool";
    port = e.port;
}

void TPrinter::SetPrinter(const std::string& device, const std::string&, const std::string&) {
    sync();
    for (size_t i = 0; i < entries_.size(); ++i)
        if (SameText(entries_[i].name, device)) {
            index_ = int(i);
            return;
        }
    throw EPrinter("Printer selected is not valid");
}

TPrinter* Printer() {
    static TPrinter printer;
    return &printer;
}
