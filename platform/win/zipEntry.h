// One entry of a zip archive (the container of OpenDocument and Office Open XML files),
// read from the archive's central directory and inflated.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The content of the entry called name; false when the archive has no such entry or it
// cannot be read: damaged, encrypted, compressed other than by deflate, a zip64 entry,
// or larger than limit bytes.
bool ReadZipEntry(std::string_view zip, std::string_view name, std::string& content,
                  std::size_t limit);
