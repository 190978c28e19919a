// Printers. The list is our own: the PostScript printer "Generic Colour PostScript" on
// the file port "文件:" is always installed (it is this platform's own driver layer);
// more can be added, for tests too. The default printer is remembered in process.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/win/wintypes.h"

constexpr const char* kPostScriptPrinter = "Generic Colour PostScript";
constexpr const char* kFilePort = "文件:";

constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x00000004;
constexpr DWORD PRINTER_ATTRIBUTE_LOCAL = 0x00000040;
constexpr DWORD PRINTER_CONTROL_SET_STATUS = 4;

struct PrinterEntry {
    std::string name;
    std::string port;
    std::string driver;
    std::string comment;
};

// The installed printers, in list order.
std::vector<PrinterEntry> InstalledPrinters();
// Adds or replaces (by name, case-insensitively) a printer.
void InstallPrinter(const PrinterEntry& printer);
// Removes it; a removed default printer passes the default on to the first printer left.
bool UninstallPrinter(const std::string& name);
// Back to the single PostScript printer, which is the default (for tests).
void ResetPrinters();

struct PRINTER_INFO_2A {
    char* pServerName;
    char* pPrinterName;
    char* pShareName;
    char* pPortName;
    char* pDriverName;
    char* pComment;
    char* pLocation;
    void* pDevMode;
    char* pSepFile;
    char* pPrintProcessor;
    char* pDatatype;
    char* pParameters;
    void* pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};

// FALSE with ERROR_INVALID_PRINTER_NAME for an unknown printer.
BOOL OpenPrinterA(const char* name, HANDLE* printer, void* defaults);
BOOL ClosePrinter(HANDLE printer);
// Level 2 only. A buffer too small (a size query with 0) gives FALSE,
// ERROR_INSUFFICIENT_BUFFER and the size in *needed.
BOOL GetPrinterA(HANDLE printer, DWORD level, BYTE* buffer, DWORD bufSize, DWORD* needed);
// Level 2: the default flag in Attributes makes the printer the default.
BOOL SetPrinterA(HANDLE printer, DWORD level, BYTE* info, DWORD command);
// null or "" keeps the current default.
BOOL SetDefaultPrinterA(const char* name);
// *size counts the NUL; too small gives FALSE, ERROR_INSUFFICIENT_BUFFER and the size.
// FALSE with ERROR_FILE_NOT_FOUND when there is no printer at all.
BOOL GetDefaultPrinterA(char* buffer, DWORD* size);
// Section "Devices" of the profile: "<driver>,<port>" per printer. Others give def.
DWORD GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                        DWORD size);

class EPrinter : public Exception {
    using Exception::Exception;
};

// The class library's printer object.
class TPrinter : public TObject {
public:
    std::string ClassName() const override { return "TPrinter"; }
    // Printer names as the class library lists them (the printer names themselves).
    TStringList& Printers();
    // The current printer's index; -1 is never returned while a printer is installed.
    int PrinterIndex();
    // -1 selects the default printer; an index outside the list raises EPrinter.
    void SetPrinterIndex(int index);
    // Device (the printer's name), driver and port of the current printer.
    void GetPrinter(std::string& device, std::string& driver, std::string& port);
    // Makes the named printer current (the class library's SetPrinter).
    void SetPrinter(const std::string& device, const std::string& driver, const std::string& port);
    void Refresh();

private:
    void sync();
    TStringList printers_;
    std::vector<PrinterEntry> entries_;
    unsigned generation_ = ~0u;
    int index_ = -1;
};

// The one printer object of the program.
TPrinter* Printer();
