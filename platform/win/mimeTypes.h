// The desktop's MIME data (shared-mime-info): the type of a file name from the glob
// tables, a type's description and its icon names. Read from the "mime" folders of
// $XDG_DATA_HOME and $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
#pragma once

#include <string>
#include <vector>

// "application/pdf" for "a.PDF"; "" when no glob matches or there is no MIME data.
std::string MimeTypeOfName(const std::string& fileName);
// The type's description in Simplified Chinese when the data have it, else in English;
// "" when unknown.
std::string MimeTypeComment(const std::string& mimeType);
// Icon names to try for the type, most specific first ("application-pdf",
// "x-office-document", ...).
std::vector<std::string> MimeIconNames(const std::string& mimeType);
// Drops what was read so the next call reads the folders again (tests change them).
void ResetMimeData();
