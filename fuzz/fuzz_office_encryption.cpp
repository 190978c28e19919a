// The office password check over arbitrary bytes: as a compound file (sector chains,
// FAT, DIFAT, directory and mini stream from the file's own tables) and as a zip archive
// (central directory and an inflated entry).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/automation/officeEncryption.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CompoundFileIsEncrypted(bytes);
    OpenDocumentIsEncrypted(bytes);
    return 0;
}
