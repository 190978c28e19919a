#pragma once

// A PDF rewritten with a password and permissions: the encryption group's password
// serves as owner and user password; the encryption type selects a row of
// EncryptionTypes; the four permission boxes clear bits 3 to 6 of the permission value.
// Without a visible group or with an empty password the result is an unprotected copy.

#include <string>

class TPdfEncrypt {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Encrypt(const std::string& src, const std::string& dst);
    std::string Parameters(const std::string& src, const std::string& dst);
    // The permission value from the four check boxes: -4 with all allowed, -64 with none.
    static int Permissions();
};

class TRun;
// The function pdfEncrypt: the encrypted copy, named with "_ENCRYPTED", in the destination.
// Named by its row of the function table.
bool RunPdfEncrypt(TRun& run);
