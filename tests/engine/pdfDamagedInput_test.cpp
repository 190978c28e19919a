// Damaged numbers in a PDF a user hands over: a page count or a page box far beyond any
// real document is refused as a conversion error instead of wrapping or overflowing.
#include <gtest/gtest.h>

#include "engine/converters/pdfAutoCrop.h"
#include "engine/pdfHelper.h"
#include "platform/rtl/sysutils.h"

TEST(DamagedPdfNumbers, APageCountBeyondTheIntegerRangeIsRefused) {
    const auto text = [](const std::string& count) {
        return "1 0 obj << /Type /Pages /Kids [2 0 R] /Count " + count + " >> endobj\n";
    };
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText(text("2147483647")), 2147483647);
    for (const char* count : {"2147483648", "66666666666", "99999999999999999999999999"})
        EXPECT_THROW(TPdfChopToSingles::CountPagesInText(text(count)), EConvertError) << count;
}

TEST(DamagedPdfNumbers, APageBoxFarBeyondAnyPageIsRefused) {
    TCropFractions half;
    half.left = 0.5;
    auto crop = [&](const std::string& box) {
        TCropManager m = TCropManager::FromText("1 0 obj << /MediaBox [" + box + "] >> endobj\n");
        m.ParseBoxes();
        return m.CroppedText(half, 0);
    };
    EXPECT_NE(crop("0 0 612 792").find("/MediaBox [306 0 612 792]"), std::string::npos);
    EXPECT_THROW(crop("0 0 595 842333333333333333333333"), EConvertError);
    EXPECT_THROW(crop("0 0 1e300 792"), EConvertError);
}
