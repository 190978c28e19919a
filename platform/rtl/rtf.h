// A small rich-text (RTF) reader: paragraphs, bold, italic, underline, font sizes, colours,
// alignment, tabs and line breaks, Unicode (\uN) and hexadecimal (\'hh) characters. Font
// tables, style sheets, document information and unknown destinations are skipped.
#pragma once

#include <string>

// Converts RTF to HTML for display. Raises EConvertError when the text is not RTF.
std::string RtfToHtml(const std::string& rtf);
// The plain text of the document, paragraphs separated by "\n".
std::string RtfToText(const std::string& rtf);
