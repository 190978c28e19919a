// Whether an office document is encrypted. An office opens such a file only with its
// password and says no more than that it could not open it, so the file is looked at
// when an open fails: a compound file (.doc, .xls, .ppt, and encrypted Office Open XML)
// with an encryption stream or the encryption flag of its Word or Excel stream, or an
// OpenDocument file whose manifest lists encryption data (under whatever extension).
#pragma once

#include <string>
#include <string_view>

bool OfficeFileIsEncrypted(const std::string& path);

// The two containers, from the file's bytes. Each walks at most as many sectors or
// entries as the file holds, once each, whatever its tables say.
bool CompoundFileIsEncrypted(std::string_view data);
bool OpenDocumentIsEncrypted(std::string_view data);

// The bridge's failure to open a document, said more exactly when the file tells why:
// "the document cannot be opened: <file> (password required)"; other errors as they are.
std::string WhyDocumentDidNotOpen(const std::string& error);
