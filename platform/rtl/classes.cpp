#include "platform/rtl/classes.h"

#include "platform/rtl/osErrors.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/rtl/scopeExit.h"
#include "platform/rtl/utf8.h"

// ---------------------------------------------------------------- string lists

int TStringList::Add(const std::string& s, TObject* o) {
    if (Sorted) {
        auto it = std::lower_bound(
            items_.begin(), items_.end(), s,
            [](const Item& a, const std::string& b) { return CompareText(a.s, b) < 0; });
        int at = int(it - items_.begin());
        items_.insert(it, Item{s, o});
        Changed(lcInsert, at);
        return at;
    }
    items_.push_back(Item{s, o});
    Changed(lcInsert, Count() - 1);
    return Count() - 1;
}

void TStringList::Insert(int i, const std::string& s, TObject* o) {
    if (i < 0 || i > Count()) throw EListError("List index out of bounds (" + IntToStr(i) + ")");
    items_.insert(items_.begin() + i, Item{s, o});
    Changed(lcInsert, i);
}

void TStringList::Delete(int i) {
    check(i);
    if (OnItemChanging) OnItemChanging(lcDelete, i);
    items_.erase(items_.begin() + i);
    Changed(lcDelete, i);
}

void TStringList::Clear() {
    if (items_.empty()) return;
    if (OnItemChanging) OnItemChanging(lcReset, -1);
    items_.clear();
    Changed();
}

void TStringList::Exchange(int a, int b) {
    check(a);
    check(b);
    std::swap(items_[size_t(a)], items_[size_t(b)]);
    Changed();
}

int TStringList::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(items_[size_t(i)].s, s)) return i;
    return -1;
}

void TStringList::Assign(const TStrings& other) {
    if (&other == this) return;
    if (const auto* list = dynamic_cast<const TStringList*>(&other)) {
        items_ = list->items_;
    } else {
        std::vector<Item> copy;
        copy.reserve(size_t(other.Count()));
        for (int i = 0; i < other.Count(); ++i)
            copy.push_back(Item{other.Get(i), other.Objects(i)});
        items_ = std::move(copy);
    }
    Changed();
}

void TStringList::AddStrings(const TStrings& other) {
    std::vector<Item> added;
    added.reserve(size_t(other.Count()));
    for (int i = 0; i < other.Count(); ++i) added.push_back(Item{other.Get(i), other.Objects(i)});
    items_.insert(items_.end(), added.begin(), added.end());
    Changed();
}

void TStringList::SetText(const std::string& text) {
    items_.clear();
    for (std::string& line : SplitLines(text)) items_.push_back(Item{std::move(line), nullptr});
    Changed();
}

void TStringList::LoadFromFile(const std::string& name) { SetText(ReadFileText(name)); }
void TStringList::SaveToFile(const std::string& name) const { WriteFileText(name, Text()); }

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return CompareText(a.s, b.s) < 0; });
    Changed();
}

// ---------------------------------------------------------------- TStrings

void TStrings::SetString(int i, const std::string& s) {
    TObject* o = Objects(i);
    Delete(i);
    Insert(i, s, o);
}

int TStrings::Add(const std::string& s, TObject* o) {
    const int at = Count();
    Insert(at, s, o);
    return at;
}

void TStrings::Exchange(int a, int b) {
    BeginUpdate();
    ScopeExit done([this] { EndUpdate(); });
    const std::string sa = Get(a);
    TObject* oa = Objects(a);
    SetString(a, Get(b));
    SetObject(a, Objects(b));
    SetString(b, sa);
    SetObject(b, oa);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Get(i), s)) return i;
    return -1;
}

void TStrings::Assign(const TStrings& other) {
    if (&other == this) return;
    BeginUpdate();
    ScopeExit done([this] { EndUpdate(); });
    Clear();
    AddStrings(other);
}

void TStrings::AddStrings(const TStrings& other) {
    // A copy first: the other list may be this one.
    std::vector<std::pair<std::string, TObject*>> items;
    for (int i = 0; i < other.Count(); ++i) items.emplace_back(other.Get(i), other.Objects(i));
    BeginUpdate();
    ScopeExit done([this] { EndUpdate(); });
    for (auto& [s, o] : items) Add(s, o);
}

std::string TStrings::Text() const {
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        r += Get(i);
        r += '\n';
    }
    return r;
}

std::vector<std::string> TStrings::SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        size_t e = text.find_first_of("\r\n", i);
        if (e == std::string::npos) {
            lines.push_back(text.substr(i));
            break;
        }
        lines.push_back(text.substr(i, e - i));
        if (text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ++e;
        i = e + 1;
    }
    return lines;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
    ScopeExit done([this] { EndUpdate(); });
    Clear();
    for (const std::string& line : SplitLines(text)) Add(line);
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> r;
    r.reserve(size_t(Count()));
    for (int i = 0; i < Count(); ++i) r.push_back(Get(i));
    return r;
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

// ---------------------------------------------------------------- streams

int64_t TStream::Size() {
    int64_t here = Seek(0, soCurrent);
    int64_t end = Seek(0, soEnd);
    Seek(here, soBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    int64_t done = 0;
    std::vector<char> buf(65536);
    while (done < count) {
        int64_t n = std::min<int64_t>(count - done, int64_t(buf.size()));
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        done += n;
    }
    return done;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || pos_ >= int64_t(data_.size())) return 0;
    int64_t n = std::min<int64_t>(count, int64_t(data_.size()) - pos_);
    std::copy_n(data_.data() + pos_, n, static_cast<uint8_t*>(buffer));
    pos_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (pos_ + count > int64_t(data_.size())) data_.resize(size_t(pos_ + count));
    std::copy_n(static_cast<const uint8_t*>(buffer), count, data_.data() + pos_);
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos_ : int64_t(data_.size());
    pos_ = std::max<int64_t>(0, base + offset);
    return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(size_t(std::max<int64_t>(0, size)));
    if (pos_ > size) pos_ = size;
}

void TMemoryStream::LoadFromFile(const std::string& name) {
    std::string s = ReadFileText(name);
    data_.assign(s.begin(), s.end());
    pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& name) {
    WriteFileText(name, std::string(data_.begin(), data_.end()));
}

TFileStream::TFileStream(const std::string& name, unsigned mode) {
    if (mode == fmCreate) {
        fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) RaiseFileCreateError(name, errno);
    } else {
        int flags = (mode & 3) == fmOpenWrite       ? O_WRONLY
                    : (mode & 3) == fmOpenReadWrite ? O_RDWR
                                                    : O_RDONLY;
        fd_ = ::open(name.c_str(), flags | O_CLOEXEC);
        if (fd_ < 0) RaiseFileOpenError(name, errno);
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, size_t(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, size_t(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    return int64_t(::lseek(fd_, off_t(offset), whence));
}

void TFileStream::SetSize(int64_t size) {
    if (::ftruncate(fd_, off_t(size)) != 0) throw EStreamError("Cannot set the file size");
}

// ---------------------------------------------------------------- file search

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

bool Match(const char* n, const char* ne, const char* m, const char* me) {
    // Iterative matcher with one backtrack point for the last "*".
    const char* starM = nullptr;
    const char* starN = nullptr;
    while (n < ne) {
        if (m < me && *m == '*') {
            starM = ++m;
            starN = n;
            continue;
        }
        if (m < me && *m == '?') {
            n = Utf8CharEnd(n, ne);
            ++m;
            continue;
        }
        if (m < me && FoldAscii(*m) == FoldAscii(*n)) {
            ++m;
            ++n;
            continue;
        }
        if (!starM) return false;
        m = starM;
        starN = Utf8CharEnd(starN, ne);
        n = starN;
    }
    while (m < me && *m == '*') ++m;
    return m == me;
}

// The folder's names, read at the first call and handed out in NTFS order.
struct FindState {
    std::vector<std::string> names;
    size_t next = 0;
    std::string folder;
    std::string mask;
};

// One name as the UTF-16 code units that NTFS compares, each letter in upper case. Stray
// bytes stand for themselves.
std::u16string NtfsKey(const std::string& name) {
    std::u16string key;
    key.reserve(name.size());
    for (size_t i = 0; i < name.size();) {
        char32_t cp = static_cast<unsigned char>(name[i]);
        const size_t len = Utf8Decode(name, i, cp);
        i += len ? len : 1;
        Utf16Append(key, UpperCaseLetter(cp));
    }
    return key;
}

int Advance(TSearchRec& rec) {
    auto* st = static_cast<FindState*>(rec.FindHandle.get());
    if (!st) return 18;  // no more files
    while (st->next < st->names.size()) {
        const std::string& name = st->names[st->next++];
        if (!MatchesFileMask(name, st->mask)) continue;
        std::string full = st->folder + name;
        struct stat s;
        if (stat(full.c_str(), &s) != 0 && lstat(full.c_str(), &s) != 0) continue;
        int attr = 0;
        if (S_ISDIR(s.st_mode)) attr |= faDirectory;
        if (name[0] == '.') attr |= faHidden;
        if (access(full.c_str(), W_OK) != 0) attr |= faReadOnly;
        if ((attr & rec.ExcludeAttr) != 0) continue;
        rec.Name = name;
        rec.Size = S_ISDIR(s.st_mode) ? 0 : int64_t(s.st_size);
        rec.Attr = attr;
        rec.Time = UnixToDateTime(s.st_mtim.tv_sec, int(s.st_mtim.tv_nsec));
        return 0;
    }
    return 18;
}

}  // namespace

char32_t UpperCaseLetter(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F))
        return c - 32;  // Latin-1, Greek and Cyrillic small letters
    if (c == 0xFF) return 0x178;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    if (c >= 0x100 && c <= 0x17F && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Latin Extended-A pairs: even upper, odd lower, with the run 0x139-0x148 and
        // 0x179-0x17E the other way round
        bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if ((c % 2 == 1) != shifted) return c - 1;
    }
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 32;  // full-width Latin letters
    return c;
}

void SortFileNames(std::vector<std::string>& names) {
    std::vector<std::pair<std::u16string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& n : names) keyed.emplace_back(NtfsKey(n), std::move(n));
    std::sort(keyed.begin(), keyed.end());
    for (size_t i = 0; i < keyed.size(); ++i) names[i] = std::move(keyed[i].second);
}

bool MatchesFileMask(const std::string& name, const std::string& mask) {
    if (mask == "*.*" || mask == "*") return true;
    return Match(name.data(), name.data() + name.size(), mask.data(), mask.data() + mask.size());
}

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
    auto st = std::make_shared<FindState>();
    st->folder = ExtractFilePath(path);
    st->mask = ExtractFileName(path);
    if (st->mask.empty()) st->mask = "*";
    DIR* dir = opendir(st->folder.empty() ? "." : st->folder.c_str());
    if (!dir) {
        // The folder searched is the path: missing, it is "path not found".
        const uint32_t code = Win32ErrorOfPath(errno, IncludeTrailingPathDelimiter(st->folder));
        return code == ERROR_PATH_NOT_FOUND ? int(code) : int(ERROR_ACCESS_DENIED);
    }
    while (dirent* e = readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            st->names.emplace_back(e->d_name);
    closedir(dir);
    SortFileNames(st->names);
    // The search yields plain files always; hidden, read-only-free and folders on request.
    rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    rec.FindHandle = st;
    int r = Advance(rec);
    if (r != 0) FindClose(rec);
    return r == 18 ? 2 : r;
}

int FindNext(TSearchRec& rec) { return Advance(rec); }

void FindClose(TSearchRec& rec) { rec.FindHandle.reset(); }

// ---------------------------------------------------------------- random numbers

uint32_t RandSeed = 0;

void Randomize() {
    using namespace std::chrono;
    RandSeed = uint32_t(duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
}

int Random(int range) {
    RandSeed = RandSeed * 134775813u + 1u;
    return int((uint64_t(RandSeed) * uint64_t(uint32_t(range))) >> 32);
}
