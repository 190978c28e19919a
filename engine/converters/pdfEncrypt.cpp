#include "engine/converters/pdfEncrypt.h"

#include "engine/checker.h"
#include "engine/constants.h"
#include "engine/converters/gsOptions.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "platform/rtl/sysutils.h"

int TPdfEncrypt::Permissions() {
    int value = -4;
    if (!CheckBoxChecked("CheckBox_encryption_allowsP")) value -= 4;
    if (!CheckBoxChecked("CheckBox_encryption_allowsM")) value -= 8;
    if (!CheckBoxChecked("CheckBox_encryption_allowsC")) value -= 16;
    if (!CheckBoxChecked("CheckBox_encryption_allowsA")) value -= 32;
    return value;
}

std::string TPdfEncrypt::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    if (GroupVisible("GroupBox_encryption") && !EditText("Edit_encryption_password").empty()) {
        // The password goes into the parameter line quoted with the console program's
        // escapes, so blanks, quotes and backslashes reach Ghostscript as typed.
        const std::string pw = EditText("Edit_encryption_password");
        // An unattended run that names no encryption type has no selection: it gets the
        // first preset, as a function's options do before anything was saved.
        const int item = ComboIndex("ComboBox_encryption_type");
        const auto& row =
            EncryptionTypes[item >= 0 && item < EncryptionTypeCount ? size_t(item) : 0];
        p.Quoted("-sOwnerPassword=", pw);
        p.Quoted("-sUserPassword=", pw);
        p += "-dCompatibilityLevel=" + row[1];
        p += "-dEncryptionR=" + row[2];
        p += "-dKeyLength=" + row[3];
        p += "-dPermissions=" + IntToStr(Permissions());
        p += "-dEncryptionR=" + row[2];
        p += "-dKeyLength=" + row[3];
    }
    p += "-dDownsampleMonoImages=false -dDownsampleGrayImages=false -dDownsampleColorImages=false "
         "-r300 -sDEVICE=pdfwrite";
    p += GsOut(dst);
    p += "-c .setpdfwrite";
    p += GsSource(src);
    return p.Line();
}

bool TPdfEncrypt::Encrypt(const std::string& src, const std::string& dst) {
    return RunGsJob("pdfEncrypt", [&] { return Parameters(src, dst); });
}

bool RunPdfEncrypt(TRun& run) {
    if (!CheckGhostscript(true)) return false;
    run.Target = run.MovedWithSuffix("_ENCRYPTED");
    const std::string encrypted = run.InTemp(".pdf");
    if (!run.Clean([&] { return TPdfEncrypt().Encrypt(run.Source(), encrypted); }) ||
        !ResultMade(encrypted, run.Source()))
        return false;
    // The result opens with the password it was given (none without the option group).
    const std::string password =
        GroupVisible("GroupBox_encryption") ? EditText("Edit_encryption_password") : "";
    return PagesAsExpected(ExpectedPdfPages(run.Source()), ResultFilePages(encrypted, password),
                           {run.Source()}) &&
           MoveFileReplacing(encrypted, run.Target);
}
