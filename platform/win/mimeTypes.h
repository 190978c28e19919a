// The desktop's MIME data (shared-mime-info) beyond the type of a file (desktopAssoc.h): a
// type's description and its icon names, from the "mime" folders of the XDG data folders.
#pragma once

#include <string>
#include <vector>

// The type's description in Simplified Chinese when the data have it, else in English;
// "" when unknown.
std::string MimeTypeComment(const std::string& mimeType);
// Icon names to try for the type, most specific first ("application-pdf",
// "x-office-document", ...).
std::vector<std::string> MimeIconNames(const std::string& mimeType);
// Drops what was read so the next call reads the folders again (tests change them).
void ResetMimeData();
