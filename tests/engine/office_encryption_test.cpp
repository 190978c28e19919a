// Encrypted office documents told from their bytes: compound files by their encryption
// streams and flags, OpenDocument files by their manifest, and hostile compound files
// whose sector chains are long or loop, which are walked once.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation/officeEncryption.h"

namespace {

using Streams = std::vector<std::pair<std::string, std::string>>;

void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& s, size_t at, uint16_t v) {
    s[at] = char(v & 0xFF);
    s[at + 1] = char(v >> 8);
}

constexpr uint32_t kEnd = 0xFFFFFFFE, kFatSector = 0xFFFFFFFD, kFree = 0xFFFFFFFF;

// A compound file of 512-byte sectors (or 2^shift), every stream read through the FAT
// (cut-off 0): the FAT's sectors, the directory's, then each stream's. loopDirectory makes
// the directory's last sector lead back to its first.
std::string CompoundFile(const Streams& streams, bool loopDirectory = false, uint16_t shift = 9) {
    const size_t ssz = size_t(1) << shift, perFat = ssz / 4, perDir = ssz / 128;
    const size_t entries = streams.size() + 1;
    const size_t dirSectors = (entries + perDir - 1) / perDir;
    size_t dataSectors = 0;
    for (const auto& s : streams) dataSectors += (s.second.size() + ssz - 1) / ssz;
    size_t fatSectors = 1;
    while (fatSectors * perFat < fatSectors + dirSectors + dataSectors) ++fatSectors;
    const size_t total = fatSectors + dirSectors + dataSectors;
    std::string file(ssz * (total + 1), '\0');
    file.replace(0, 8, "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1");
    Put16(file, 30, shift);
    Put16(file, 32, 6);
    Put32(file, 44, uint32_t(fatSectors));
    Put32(file, 48, uint32_t(fatSectors));
    Put32(file, 56, 0);
    Put32(file, 60, kEnd);
    Put32(file, 68, kEnd);
    for (size_t i = 0; i < 109; ++i) Put32(file, 76 + 4 * i, i < fatSectors ? uint32_t(i) : kFree);
    std::vector<uint32_t> fat(fatSectors * perFat, kFree);
    for (size_t i = 0; i < fatSectors; ++i) fat[i] = kFatSector;
    for (size_t i = 0; i < dirSectors; ++i)
        fat[fatSectors + i] = i + 1 < dirSectors ? uint32_t(fatSectors + i + 1)
                              : loopDirectory    ? uint32_t(fatSectors)
                                                 : kEnd;
    auto sectorAt = [ssz](size_t i) { return ssz * (i + 1); };
    auto putEntry = [&](size_t index, const std::string& name, uint32_t start, uint32_t size) {
        const size_t at = sectorAt(fatSectors + index / perDir) + 128 * (index % perDir);
        for (size_t k = 0; k < name.size(); ++k) Put16(file, at + 2 * k, uint16_t(name[k]));
        Put16(file, at + 64, uint16_t(2 * (name.size() + 1)));
        Put32(file, at + 116, start);
        Put32(file, at + 120, size);
    };
    putEntry(0, "Root Entry", kEnd, 0);
    size_t next = fatSectors + dirSectors;
    for (size_t i = 0; i < streams.size(); ++i) {
        const std::string& data = streams[i].second;
        const size_t count = (data.size() + ssz - 1) / ssz;
        putEntry(i + 1, streams[i].first, count ? uint32_t(next) : kEnd, uint32_t(data.size()));
        for (size_t k = 0; k < count; ++k) {
            fat[next + k] = k + 1 < count ? uint32_t(next + k + 1) : kEnd;
            file.replace(sectorAt(next + k), std::min(ssz, data.size() - ssz * k),
                         data.substr(ssz * k, ssz));
        }
        next += count;
    }
    for (size_t i = 0; i < fat.size(); ++i)
        Put32(file, sectorAt(i / perFat) + 4 * (i % perFat), fat[i]);
    return file;
}

std::string WordStream(bool encrypted) {
    std::string fib(64, '\0');
    Put16(fib, 0, 0xA5EC);
    Put16(fib, 10, encrypted ? 0x0100 : 0x0000);
    return fib;
}

std::string ExcelStream(bool encrypted) {
    std::string b;
    auto record = [&](uint16_t type, uint16_t length) {
        std::string r(4 + length, '\0');
        Put16(r, 0, type);
        Put16(r, 2, length);
        b += r;
    };
    record(0x0809, 16);  // BOF
    if (encrypted) record(0x002F, 6);
    record(0x000A, 0);  // EOF
    return b;
}

// A zip archive of one entry, stored or given already deflated.
std::string Zip(const std::string& name, const std::string& packed, size_t size, uint16_t method) {
    std::string local(30, '\0');
    local.replace(0, 4, "PK\x03\x04");
    Put16(local, 8, method);
    Put32(local, 18, uint32_t(packed.size()));
    Put32(local, 22, uint32_t(size));
    Put16(local, 26, uint16_t(name.size()));
    std::string central(46, '\0');
    central.replace(0, 4, "PK\x01\x02");
    Put16(central, 10, method);
    Put32(central, 20, uint32_t(packed.size()));
    Put32(central, 24, uint32_t(size));
    Put16(central, 28, uint16_t(name.size()));
    Put32(central, 42, 0);
    const std::string body = local + name + packed;
    std::string end(22, '\0');
    end.replace(0, 4, "PK\x05\x06");
    Put16(end, 8, 1);
    Put16(end, 10, 1);
    Put32(end, 12, uint32_t(central.size() + name.size()));
    Put32(end, 16, uint32_t(body.size()));
    return body + central + name + end;
}

const std::string kManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest:manifest "
    "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\"><manifest:file-entry "
    "manifest:full-path=\"content.xml\"><manifest:encryption-data "
    "manifest:checksum-type=\"SHA1/1K\"/></manifest:file-entry></manifest:manifest>";
// kManifest deflated (raw, as a zip holds it).
const std::string kManifestDeflated(
    "\x6d\x4e\x4b\x0e\xc2\x20\x10\xdd\x7b\x0a\xc2\x9e\xd6\xee\x0c\x29\x18\x37\xc6\xc4\xa5\x7a"
    "\x00\x42\xa7\x96\x58\x06\xc2\xc7\xd8\xdb\x8b\x8b\xda\x9a\xb8\x7b\xf3\xe6\xfd\xda\xfd\xcb"
    "\x8e\xe4\x09\x21\x1a\x87\x82\x36\xd5\x96\x12\x40\xed\x3a\x83\x77\x41\x6f\xd7\x23\xdb\xd1"
    "\xbd\xdc\xb4\x56\xa1\xe9\x21\x26\x3e\x03\x52\x7c\x18\xbf\xa7\xa0\x39\x20\x77\x2a\x9a\xc8"
    "\x51\x59\x88\x3c\x69\xee\x3c\x60\xe7\x74\xb6\x80\x89\xff\xea\xf9\xa7\x49\x2e\xb1\xbd\x19"
    "\x81\x15\x59\x98\xc8\xc2\xe5\x71\x64\x5e\xa5\x41\x50\xed\x30\x95\x6f\x55\x42\xd6\xae\xb2"
    "\x34\x4c\x3e\x95\xe9\xac\x53\x49\x2d\x56\x3d\x80\x7e\xc4\x6c\x59\x9a\x3c\x08\x7a\x39\x1d"
    "\x9a\xba\x39\xd3\x5a\xb6\xf5\x9f\xca\x35\x3b\x03\xf9\x06",
    168);

// A directory of thousands of entries spread over a chain of every sector of an 830 KB
// file, the telling entry last.
Streams LongDirectory(const std::string& last) {
    Streams s(6640, {"Filler", ""});
    s.push_back({last, ""});
    return s;
}

// A Word file of 64 KiB sectors whose tables name the FAT's one sector again and again:
// every free entry of the header's list and of a DIFAT chain through three sectors of
// zeros, under a header that counts four billion FAT sectors. Read as listed, the FAT
// would grow by 64 KiB for each of some 49,000 listings.
std::string RepeatedFatSectors() {
    std::string file = CompoundFile(
        {{"WordDocument", WordStream(true)}, {"Filler", std::string(3 << 16, '\0')}}, false, 16);
    Put32(file, 44, 0xFFFFFFFF);
    for (size_t i = 1; i < 109; ++i) Put32(file, 76 + 4 * i, 0);
    Put32(file, 68, 3);  // the filler's sectors 3, 4 and 5, each naming the next
    for (uint32_t d = 3; d <= 5; ++d)
        Put32(file, ((size_t(d) + 2) << 16) - 4, d < 5 ? d + 1 : kEnd);  // its last entry
    return file;
}

// Whether the check finds the file encrypted, asked in a child process whose address space
// may grow by no more than room: -1 when it could not answer within that.
[[maybe_unused]] int EncryptedWithin(const std::string& file, size_t room) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::ifstream status("/proc/self/status");
        size_t kb = 0;
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0) kb = std::stoul(line.substr(7));
        const rlimit limit{kb * 1024 + room, kb * 1024 + room};
        if (kb == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
        try {
            ::_exit(CompoundFileIsEncrypted(file) ? 1 : 0);
        } catch (...) {
            ::_exit(2);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(OfficeEncryption, CompoundFiles) {
    struct Row {
        const char* what;
        std::string file;
        bool encrypted;
    } rows[] = {
        {"encrypted Office Open XML",
         CompoundFile({{"EncryptionInfo", std::string(40, 'i')},
                       {"EncryptedPackage", std::string(900, 'p')}}),
         true},
        {"Word, encrypted", CompoundFile({{"WordDocument", WordStream(true)}}), true},
        {"Word, plain", CompoundFile({{"WordDocument", WordStream(false)}}), false},
        {"Excel, encrypted", CompoundFile({{"Workbook", ExcelStream(true)}}), true},
        {"Excel 5, encrypted", CompoundFile({{"Book", ExcelStream(true)}}), true},
        {"Excel, plain", CompoundFile({{"Workbook", ExcelStream(false)}}), false},
        {"no compound file", "not a compound file at all", false},
        {"header only", CompoundFile({}).substr(0, 512), false},
        {"long directory chain", CompoundFile(LongDirectory("EncryptionInfo")), true},
        {"long directory chain, nothing encrypted", CompoundFile(LongDirectory("Other")), false},
        {"directory chain that loops", CompoundFile(LongDirectory("EncryptionInfo"), true), true},
    };
    for (const Row& r : rows) EXPECT_EQ(CompoundFileIsEncrypted(r.file), r.encrypted) << r.what;
}

TEST(OfficeEncryption, HostileTablesEndTheWalk) {
    // A FAT that claims four billion sectors with a DIFAT chain that leads to itself, and
    // chains that point past the file's end: read as far as the file goes.
    std::string file = CompoundFile({{"WordDocument", WordStream(true)}});
    Put32(file, 44, 0xFFFFFFFF);
    Put32(file, 68, 0);  // the DIFAT's first sector is the FAT's, whose last entry is free
    EXPECT_TRUE(CompoundFileIsEncrypted(file));
    std::string beyond = CompoundFile({{"WordDocument", WordStream(true)}});
    Put32(beyond, 48, 0x7FFFFFFF);  // the directory far past the end
    EXPECT_FALSE(CompoundFileIsEncrypted(beyond));
    std::string shifted = CompoundFile({{"WordDocument", WordStream(true)}});
    Put16(shifted, 30, 40);  // a sector size no file has
    EXPECT_FALSE(CompoundFileIsEncrypted(shifted));
}

TEST(OfficeEncryption, TablesThatNameASectorAgainTakeNoMoreMemoryThanTheFile) {
    const std::string file = RepeatedFatSectors();
#if !defined(__SANITIZE_ADDRESS__)  // whose run-time reserves terabytes of address space
    // 448 KB of file; room for the file several times over, not for 3 GB of table.
    EXPECT_EQ(EncryptedWithin(file, 64u << 20), 1);
#endif
    EXPECT_TRUE(CompoundFileIsEncrypted(file));
}

TEST(OfficeEncryption, OpenDocumentManifests) {
    const std::string plain = "<manifest:manifest><manifest:file-entry/></manifest:manifest>";
    struct Row {
        const char* what;
        std::string file;
        bool encrypted;
    } rows[] = {
        {"deflated manifest with encryption data",
         Zip("META-INF/manifest.xml", kManifestDeflated, kManifest.size(), 8), true},
        {"stored manifest with encryption data",
         Zip("META-INF/manifest.xml", kManifest, kManifest.size(), 0), true},
        {"plain manifest", Zip("META-INF/manifest.xml", plain, plain.size(), 0), false},
        {"the encryption text in another entry", Zip("content.xml", kManifest, kManifest.size(), 0),
         false},
        {"deflated data that is cut short",
         Zip("META-INF/manifest.xml", kManifestDeflated.substr(0, 80), kManifest.size(), 8), false},
        {"central directory cut off",
         Zip("META-INF/manifest.xml", kManifest, kManifest.size(), 0).substr(0, 300), false},
        {"no zip", "PK but nothing more", false},
    };
    for (const Row& r : rows) EXPECT_EQ(OpenDocumentIsEncrypted(r.file), r.encrypted) << r.what;
}

TEST(OfficeEncryption, AFailedOpenSaysAPasswordIsNeededWhenTheFileIsEncrypted) {
    const std::string dir = ::testing::TempDir();
    const std::string odf = dir + "locked odf saved as.doc";
    const std::string word = dir + "plain word.doc";
    std::ofstream(odf, std::ios::binary)
        << Zip("META-INF/manifest.xml", kManifestDeflated, kManifest.size(), 8);
    std::ofstream(word, std::ios::binary) << CompoundFile({{"WordDocument", WordStream(false)}});
    const std::string head = "the document cannot be opened: ";
    struct Row {
        std::string error, said;
    } rows[] = {
        {head + odf + " (general input/output error)", head + odf + " (password required)"},
        {head + odf, head + odf + " (password required)"},
        {head + word + " (general input/output error)",
         head + word + " (general input/output error)"},
        {head + odf + " (the file is empty)", head + odf + " (the file is empty)"},
        {head + odf + " (permission denied)", head + odf + " (permission denied)"},
        {head + dir + "missing.doc (x)", head + dir + "missing.doc (x)"},
        {"no such document", "no such document"},
    };
    for (const Row& r : rows) EXPECT_EQ(WhyDocumentDidNotOpen(r.error), r.said) << r.error;
    std::remove(odf.c_str());
    std::remove(word.c_str());
}
