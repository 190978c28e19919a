#include "platform/automation/officeEncryption.h"

#include <cstdint>
#include <map>
#include <vector>

#include "platform/rtl/mappedFile.h"
#include "platform/win/byteOrder.h"
#include "platform/win/zipEntry.h"

namespace {

constexpr std::string_view kCompoundSignature = "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1";
constexpr std::string_view kZipSignature = "PK\x03\x04";
constexpr uint32_t kLastSectorId = 0xFFFFFFFA;  // above: end of chain, free, FAT, DIFAT
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kDirectoryEntrySize = 128;
constexpr std::size_t kManifestLimit = 16 * 1024 * 1024;
// Of a Word stream, the FIB's flags; of an Excel stream, the records looked at.
constexpr uint16_t kWordEncryptedFlag = 0x0100;
constexpr uint16_t kExcelFilePass = 0x002F;
constexpr uint16_t kExcelEof = 0x000A;
constexpr std::size_t kExcelRecordsLooked = 65536;

// A compound file read as its tables say, each chain walked once: a sector seen before
// ends it, and no chain is longer than the file has sectors.
class Compound {
public:
    explicit Compound(std::string_view data) : data_(data) {
        const uint16_t sectorShift = Get16(data, 30), miniShift = Get16(data, 32);
        if (sectorShift < 7 || sectorShift > 16 || miniShift > sectorShift) return;
        ssz_ = std::size_t(1) << sectorShift;
        mssz_ = std::size_t(1) << miniShift;
        sectors_ = data.size() > ssz_ ? (data.size() - 1) / ssz_ : 0;
        cutoff_ = Get32(data, 56);
        readFat();
        const std::string directory = Chain(Get32(data, 48));
        for (std::size_t at = 0; at + kDirectoryEntrySize <= directory.size();
             at += kDirectoryEntrySize)
            addEntry(std::string_view(directory).substr(at, kDirectoryEntrySize));
        if (const auto root = entries_.find("Root Entry"); root != entries_.end())
            ministream_ = Chain(root->second.start);
        // No more mini FAT entries than the mini stream has sectors.
        const std::string minifat = Chain(Get32(data, 60));
        const std::size_t miniSectors = ministream_.size() / mssz_;
        for (std::size_t at = 0; at + 4 <= minifat.size() && minifat_.size() < miniSectors; at += 4)
            minifat_.push_back(Get32(minifat, at));
    }

    bool Has(const std::string& name) const { return entries_.count(name) != 0; }

    std::string Stream(const std::string& name) const {
        const auto e = entries_.find(name);
        if (e == entries_.end()) return "";
        std::string s;
        if (e->second.size >= cutoff_) {
            s = Chain(e->second.start);
        } else {
            for (uint32_t m : Follow(e->second.start, minifat_, ministream_.size() / mssz_))
                if (std::size_t(m) * mssz_ < ministream_.size())
                    s.append(std::string_view(ministream_).substr(std::size_t(m) * mssz_, mssz_));
        }
        if (s.size() > e->second.size) s.resize(e->second.size);
        return s;
    }

private:
    struct Entry {
        uint32_t start = 0;
        uint32_t size = 0;
    };

    std::string_view Sector(uint32_t i) const {
        const std::size_t at = (std::size_t(i) + 1) * ssz_;
        return at < data_.size() ? data_.substr(at, ssz_) : std::string_view();
    }

    // The sectors of a chain, in order.
    static std::vector<uint32_t> Follow(uint32_t start, const std::vector<uint32_t>& table,
                                        std::size_t most) {
        std::vector<uint32_t> chain;
        std::vector<bool> seen(table.size(), false);
        for (uint32_t s = start;
             s < kLastSectorId && s < table.size() && !seen[s] && chain.size() < most;
             s = table[s]) {
            seen[s] = true;
            chain.push_back(s);
        }
        return chain;
    }

    std::string Chain(uint32_t start) const {
        std::string s;
        for (uint32_t i : Follow(start, fat_, sectors_)) s.append(Sector(i));
        return s;
    }

    // The FAT's sectors: the first 109 named in the header, the others in the DIFAT's
    // own chain of sectors, whose last entry names the next one. Each sector is read once
    // (a table that names one again, as FAT or DIFAT, ends there), and the FAT holds no
    // more entries than the file has sectors, whatever count the header gives.
    void readFat() {
        const std::size_t fatSectors = Get32(data_, 44);
        std::vector<bool> read(sectors_, false);
        std::size_t listed = 0;
        bool repeated = false;
        auto full = [&] { return repeated || listed >= fatSectors || fat_.size() >= sectors_; };
        auto readFatSector = [&](uint32_t s) {
            ++listed;
            if (s >= sectors_) return;
            if (read[s]) {
                repeated = true;
                return;
            }
            read[s] = true;
            const std::string_view sector = Sector(s);
            for (std::size_t at = 0; at + 4 <= sector.size() && fat_.size() < sectors_; at += 4)
                fat_.push_back(Get32(sector, at));
        };
        for (std::size_t i = 0; i < kHeaderDifatEntries && !full(); ++i)
            readFatSector(Get32(data_, 76 + 4 * i));
        const std::size_t perSector = ssz_ / 4 - 1;
        for (uint32_t d = Get32(data_, 68); d < sectors_ && !read[d] && !full();
             d = Get32(Sector(d), perSector * 4)) {
            read[d] = true;
            for (std::size_t i = 0; i < perSector && !full(); ++i)
                readFatSector(Get32(Sector(d), 4 * i));
        }
    }

    void addEntry(std::string_view e) {
        // The name's length in bytes counts its closing NUL.
        const std::size_t bytes = std::min<std::size_t>(Get16(e, 64), 64);
        std::string name;
        for (std::size_t i = 0; i + 1 < bytes / 2; ++i) {
            const uint16_t c = Get16(e, 2 * i);
            name += c < 0x80 ? char(c) : '?';
        }
        entries_[name] = {Get32(e, 116), Get32(e, 120)};
    }

    std::string_view data_;
    std::size_t ssz_ = 512, mssz_ = 64, sectors_ = 0;
    uint32_t cutoff_ = 4096;
    std::vector<uint32_t> fat_, minifat_;
    std::map<std::string, Entry> entries_;
    std::string ministream_;
};

}  // namespace

bool CompoundFileIsEncrypted(std::string_view data) {
    if (data.substr(0, kCompoundSignature.size()) != kCompoundSignature) return false;
    const Compound file(data);
    if (file.Has("EncryptionInfo") || file.Has("EncryptedPackage") || file.Has("EncryptedSummary"))
        return true;
    if (file.Has("WordDocument")) {
        const std::string fib = file.Stream("WordDocument");
        return fib.size() > 12 && (Get16(fib, 10) & kWordEncryptedFlag) != 0;
    }
    for (const char* book : {"Workbook", "Book"}) {
        if (!file.Has(book)) continue;
        const std::string b = file.Stream(book);
        for (std::size_t at = 0; at + 4 <= b.size() && at < kExcelRecordsLooked;
             at += 4 + Get16(b, at + 2)) {
            if (Get16(b, at) == kExcelFilePass) return true;
            if (Get16(b, at) == kExcelEof) return false;
        }
    }
    return false;
}

bool OpenDocumentIsEncrypted(std::string_view data) {
    if (data.substr(0, kZipSignature.size()) != kZipSignature) return false;
    std::string manifest;
    return ReadZipEntry(data, "META-INF/manifest.xml", manifest, kManifestLimit) &&
           manifest.find("encryption-data") != std::string::npos;
}

bool OfficeFileIsEncrypted(const std::string& path) {
    try {
        const TMappedFile file(path);
        return CompoundFileIsEncrypted(file.Data()) || OpenDocumentIsEncrypted(file.Data());
    } catch (const std::exception&) {
        return false;  // a file that cannot be read is not known to be encrypted
    }
}

std::string WhyDocumentDidNotOpen(const std::string& error) {
    static const std::string kCannotOpen = "the document cannot be opened: ";
    if (error.rfind(kCannotOpen, 0) != 0) return error;
    std::string file = error.substr(kCannotOpen.size());
    const std::size_t detail = file.rfind(" (");
    if (detail != std::string::npos && !file.empty() && file.back() == ')') {
        const std::string why = file.substr(detail + 2, file.size() - detail - 3);
        // What the bridge knew before the office was asked stands.
        if (why == "the file is empty" || why == "permission denied") return error;
        file.erase(detail);
    }
    return OfficeFileIsEncrypted(file) ? kCannotOpen + file + " (password required)" : error;
}
