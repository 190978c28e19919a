// Container files of the styled layer (bitmap, image-strip, string and wave lists): any file
// is read whole, item by item through its offsets, or refused with an exception; never an
// overrun or an allocation the file cannot justify.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "controls/styled/styImageLists.h"

namespace {

// The container is read from a file, as users hand them over; one file per process,
// removed when the fuzzer ends.
struct ScratchFile {
    std::string name = "/tmp/fuzz_sty_container." + std::to_string(getpid()) + ".bin";
    ~ScratchFile() { std::remove(name.c_str()); }
};

const std::string& FileName() {
    static const ScratchFile file;
    return file.name;
}

template <class List>
void ReadWhole(const std::string& file) {
    List list(nullptr);
    try {
        list.LoadFromFile(file);
        // What was read can be written again.
        TMemoryStream again;
        list.SaveToStream(again, true);
    } catch (const Exception&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& file = FileName();
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    int count = 0;
    std::vector<int32_t> offsets;
    TStyContainerKind kind = ckUnknown;
    try {
        kind = ReadContainerHeader(file, count, &offsets);
    } catch (const Exception&) {
        return 0;
    }
    switch (kind) {
        case ckBitmapList:
            ReadWhole<TStyBitmapList>(file);
            break;
        case ckImageList:
            ReadWhole<TStyImageList>(file);
            break;
        case ckStringList:
            ReadWhole<TStyStringList>(file);
            break;
        case ckWaveList:
            ReadWhole<TStyWaveList>(file);
            break;
        default:
            return 0;
    }
    // Single items by their offsets.
    for (int i = 0; i < count && i < 4; ++i) {
        try {
            if (kind == ckBitmapList) {
                TStyBitmapListItem item(nullptr);
                LoadItemFromFile(file, kind, &offsets, &item, i);
            } else if (kind == ckStringList) {
                TStyStringListItem item(nullptr);
                LoadItemFromFile(file, kind, &offsets, &item, i);
            }
        } catch (const Exception&) {}
    }
    return 0;
}
