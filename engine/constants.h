// Fixed option tables: paper sizes and PDF security presets.
#pragma once

#include <array>
#include <string>

// Columns: name shown in the paper combo box, Ghostscript's paper name (-sPAPERSIZE=),
// inches, millimetres and points, each "width/height". The paper combo box holds two
// entries before the table (default, user-defined), so its entry k >= 2 is row k - 2.
constexpr int PaperSizeCount = 34;
extern const std::array<std::array<std::string, 5>, PaperSizeCount> PaperSizes;

// Columns: preset name, PDF compatibility level, security-handler revision, key length in
// bits. The row is the item index of the encryption-type combo box.
constexpr int EncryptionTypeCount = 2;
extern const std::array<std::array<std::string, 4>, EncryptionTypeCount> EncryptionTypes;
