#pragma once

// A grey text stamped diagonally across every page. WriteStamp writes a PostScript
// prologue that installs a page-end procedure in the output device; Apply lets
// Ghostscript read it and then the PDF, so the procedure paints the stamp once on every
// page, along that page's own diagonal.

#include <string>

class TPdfWatermark {
public:
    // Writes the stamp from the watermark options (text, font size, opacity), replacing
    // an older file. False (logged and listed) when it cannot be written.
    bool WriteStamp(const std::string& stampFile);
    // Runs the job; False when Ghostscript cannot start.
    bool Apply(const std::string& src, const std::string& dst, const std::string& stampFile);
    std::string ApplyParameters(const std::string& src, const std::string& dst,
                                const std::string& stampFile);

    // Whether the text needs the Chinese font (it holds characters outside ASCII).
    static bool NeedsCjkFont(const std::string& text);
    // The stamp text for given values.
    static std::string StampText(const std::string& text, int fontSize, int opacity);
    // The text as the inside of a PostScript string: "(", ")" and "\" escaped, control
    // characters as octal escapes; every other byte as it is.
    static std::string PsStringBody(const std::string& text);
    // 1 - opacity / 100 in the shortest decimal form (30 -> 0.7, 0 -> 1, 100 -> 0).
    static std::string Gray(int opacity);
};

class TRun;
// The function pdfWatermark: the stamped copy, named with "_WATERMARKED", in the destination.
// Named by its row of the function table.
bool RunPdfWatermark(TRun& run);
