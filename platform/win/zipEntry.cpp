#include "platform/win/zipEntry.h"

#include <zlib.h>

#include <cstdint>

#include "platform/win/byteOrder.h"

namespace {

constexpr std::string_view kEndOfDirectory = "PK\x05\x06";
constexpr std::string_view kDirectoryEntry = "PK\x01\x02";
constexpr std::string_view kLocalHeader = "PK\x03\x04";
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kEncryptedFlag = 1;

bool Has(std::string_view d, std::size_t at, std::size_t n) {
    return at <= d.size() && n <= d.size() - at;
}

// The end record: the last signature that leaves room for its record and comment.
bool FindEndRecord(std::string_view zip, std::size_t& at) {
    if (zip.size() < kEndRecordSize) return false;
    const std::size_t last = zip.size() - kEndRecordSize;
    const std::size_t first = last > kLongestComment ? last - kLongestComment : 0;
    for (std::size_t i = last + 1; i-- > first;) {
        if (zip.compare(i, 4, kEndOfDirectory) == 0) {
            at = i;
            return true;
        }
    }
    return false;
}

bool Inflate(std::string_view packed, std::size_t size, std::string& out) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
    out.assign(size, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = uInt(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int r = inflate(&z, Z_FINISH);
    const bool whole = r == Z_STREAM_END && z.total_out == size;
    inflateEnd(&z);
    return whole;
}

}  // namespace

bool ReadZipEntry(std::string_view zip, std::string_view name, std::string& content,
                  std::size_t limit) {
    std::size_t end = 0;
    if (!FindEndRecord(zip, end)) return false;
    const uint16_t entries = Get16(zip, end + 10);
    std::size_t at = Get32(zip, end + 16);
    for (uint16_t i = 0; i < entries; ++i) {
        if (!Has(zip, at, 46) || zip.compare(at, 4, kDirectoryEntry) != 0) return false;
        const uint16_t flags = Get16(zip, at + 8);
        const uint16_t method = Get16(zip, at + 10);
        const uint32_t packedSize = Get32(zip, at + 20);
        const uint32_t size = Get32(zip, at + 24);
        const uint16_t nameLength = Get16(zip, at + 28);
        const std::size_t skip =
            std::size_t(nameLength) + Get16(zip, at + 30) + Get16(zip, at + 32);
        const uint32_t local = Get32(zip, at + 42);
        if (!Has(zip, at + 46, nameLength)) return false;
        if (zip.substr(at + 46, nameLength) != name) {
            at += 46 + skip;
            continue;
        }
        if ((flags & kEncryptedFlag) || size > limit || packedSize == 0xFFFFFFFF ||
            !Has(zip, local, 30) || zip.compare(local, 4, kLocalHeader) != 0)
            return false;
        const std::size_t data =
            local + 30 + std::size_t(Get16(zip, local + 26)) + Get16(zip, local + 28);
        if (!Has(zip, data, packedSize)) return false;
        const std::string_view packed = zip.substr(data, packedSize);
        if (method == kStored && packedSize == size) {
            content.assign(packed);
            return true;
        }
        return method == kDeflated && Inflate(packed, size, content);
    }
    return false;
}
