#include <gtest/gtest.h>

#include "platform/win/printers.h"

namespace {

class Printers : public ::testing::Test {
protected:
    void SetUp() override { ResetPrinters(); }
    void TearDown() override { ResetPrinters(); }
    static std::string defaultPrinter() {
        char buf[128];
        DWORD n = sizeof buf;
        return GetDefaultPrinterA(buf, &n) ? std::string(buf) : std::string("<none>");
    }
};

}  // namespace

TEST_F(Printers, OurPostScriptPrinterIsInstalledOnTheFilePort) {
    TStringList& names = Printer()->Printers();
    ASSERT_EQ(names.Count(), 1);
    EXPECT_TRUE(StartsStr("Generic Colour PostScript", names[0]));
    Printer()->SetPrinterIndex(0);
    std::string device, driver, port;
    Printer()->GetPrinter(device, driver, port);
    EXPECT_EQ(device, "Generic Colour PostScript");
    EXPECT_EQ(port, "文件:");
    EXPECT_EQ(port.size(), 7u);  // UTF-8 here; the check compares the text, not its length
    EXPECT_EQ(defaultPrinter(), "Generic Colour PostScript");
}

TEST_F(Printers, TheListFollowsInstallationsAndKeepsTheCurrentPrinter) {
    InstallPrinter({"Office Laser", "LPT1:", "PCL", ""});
    TPrinter* p = Printer();
    EXPECT_EQ(p->Printers().Count(), 2);
    p->SetPrinterIndex(1);
    EXPECT_EQ(p->Printers()[p->PrinterIndex()], "Office Laser");
    InstallPrinter({"Another", "COM1:", "PCL", ""});
    EXPECT_EQ(p->Printers()[p->PrinterIndex()], "Office Laser");
    EXPECT_TRUE(UninstallPrinter("office laser"));
    EXPECT_EQ(p->Printers().Count(), 2);
    EXPECT_THROW(p->SetPrinterIndex(5), EPrinter);
    p->SetPrinterIndex(-1);  // the default printer
    EXPECT_EQ(p->Printers()[p->PrinterIndex()], "Generic Colour PostScript");
}

TEST_F(Printers, DefaultSwitchingByName) {
    InstallPrinter({"Office Laser", "LPT1:", "PCL", ""});
    EXPECT_TRUE(SetDefaultPrinterA("Office Laser"));
    EXPECT_EQ(defaultPrinter(), "Office Laser");
    EXPECT_FALSE(SetDefaultPrinterA("No Such Printer"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(defaultPrinter(), "Office Laser");
    EXPECT_TRUE(SetDefaultPrinterA(nullptr));  // keeps the default
    EXPECT_EQ(defaultPrinter(), "Office Laser");
    // The class library's default selection sees the switch.
    Printer()->SetPrinterIndex(-1);
    EXPECT_EQ(Printer()->Printers()[Printer()->PrinterIndex()], "Office Laser");
    EXPECT_TRUE(SetDefaultPrinterA("Generic Colour PostScript"));
    EXPECT_EQ(defaultPrinter(), "Generic Colour PostScript");
}

TEST_F(Printers, DefaultNameSizeQuery) {
    DWORD n = 0;
    EXPECT_FALSE(GetDefaultPrinterA(nullptr, &n));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(n, std::string("Generic Colour PostScript").size() + 1);
    char small[4];
    DWORD m = sizeof small;
    EXPECT_FALSE(GetDefaultPrinterA(small, &m));
    EXPECT_EQ(m, n);
}

TEST_F(Printers, RemovingTheDefaultPassesItOnOrLeavesNone) {
    InstallPrinter({"Office Laser", "LPT1:", "PCL", ""});
    EXPECT_TRUE(UninstallPrinter("Generic Colour PostScript"));
    EXPECT_EQ(defaultPrinter(), "Office Laser");
    EXPECT_TRUE(UninstallPrinter("Office Laser"));
    EXPECT_EQ(defaultPrinter(), "<none>");
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Printer()->Printers().Count(), 0);
    EXPECT_THROW(Printer()->PrinterIndex(), EPrinter);
}

TEST_F(Printers, LevelTwoInformationWithSizeQueryAndDefaultFlag) {
    InstallPrinter({"Office Laser", "LPT1:", "PCL", "2nd floor"});
    HANDLE h = nullptr;
    ASSERT_TRUE(OpenPrinterA("Office Laser", &h, nullptr));
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterA(h, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);  // the size query ends like this
    ASSERT_GT(needed, sizeof(PRINTER_INFO_2A));
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(GetPrinterA(h, 2, buf.data(), needed, &needed));
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buf.data());
    EXPECT_STREQ(info->pPrinterName, "Office Laser");
    EXPECT_STREQ(info->pPortName, "LPT1:");
    EXPECT_STREQ(info->pComment, "2nd floor");
    EXPECT_EQ(info->Attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    info->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    EXPECT_TRUE(SetPrinterA(h, 2, buf.data(), PRINTER_CONTROL_SET_STATUS));
    EXPECT_EQ(defaultPrinter(), "Office Laser");
    EXPECT_FALSE(GetPrinterA(h, 1, buf.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_TRUE(ClosePrinter(h));
    EXPECT_FALSE(ClosePrinter(h));
}

TEST_F(Printers, UnknownPrinterCannotBeOpened) {
    HANDLE h = reinterpret_cast<HANDLE>(1);
    EXPECT_FALSE(OpenPrinterA("Nope", &h, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(h, nullptr);
}

TEST_F(Printers, DevicesProfileNamesThePort) {
    char buf[260];
    GetProfileStringA("Devices", "Generic Colour PostScript", "", buf, sizeof buf);
    std::string entry = buf;
    EXPECT_EQ(entry.substr(entry.find(',') + 1), "文件:");
    GetProfileStringA("Devices", "Nope", "dflt", buf, sizeof buf);
    EXPECT_STREQ(buf, "dflt");
    char tiny[3];
    EXPECT_EQ(GetProfileStringA("Devices", "Generic Colour PostScript", "", tiny, sizeof tiny), 2u);
    EXPECT_EQ(tiny[2], 0);
}
