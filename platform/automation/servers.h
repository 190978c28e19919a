// The four office servers behind CreateOleObject, and what they share.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/officeSession.h"
#include "platform/automation/olevariant.h"

namespace office {

// "Word", "Excel", "PowerPoint", "Access": whether what the server runs on is installed.
bool ServerInstalled(const std::string& app);
std::shared_ptr<TAutoObject> CreateServer(const std::string& app);

std::shared_ptr<TAutoObject> CreateWordServer();
std::shared_ptr<TAutoObject> CreateExcelServer();
std::shared_ptr<TAutoObject> CreatePowerPointServer();
std::shared_ptr<TAutoObject> CreateAccessServer();

// Waits (window messages handled) for the file name a print to the file port asks for,
// as the helper answers it for this process and program; raises EOleError when no answer
// comes within the bound.
std::string AskPrintFileName(const std::string& program,
                             std::chrono::milliseconds bound = std::chrono::seconds(30));

// The printer the applications print to when none is named: the default printer.
std::string DefaultPrinterName();

// Member dispatch helpers.
inline bool Is(const std::string& member, const char* name) { return SameText(member, name); }

// An automation object with a simple list of members.
class TServerObject : public TAutoObject {
public:
    explicit TServerObject(std::string typeName) : typeName_(std::move(typeName)) {}
    std::string TypeName() const override { return typeName_; }

protected:
    template <class T>
    static OleVariant Obj(std::shared_ptr<T> p) {
        return OleVariant(std::shared_ptr<TAutoObject>(std::move(p)));
    }
    // Raises when a property put is given no value.
    static const OleVariant& PutValue(const std::vector<OleVariant>& args) {
        if (args.empty()) throw EOleError("缺少属性值");
        return args.back();
    }

private:
    std::string typeName_;
};

// The page range syntax of the word processor ("2, 6-10") as the office reads it
// ("2,6-10"); raises EOleError for text that is no page range.
std::string OfficePageRange(const std::string& pages);

// Width and height in pixels and the resolution (dots per inch; 96 when the file gives
// none) of a BMP file; raises EOleError when the file is no readable BMP.
void BitmapInfo(const std::string& file, int& width, int& height, double& dpiX, double& dpiY);

}  // namespace office
