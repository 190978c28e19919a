#include "engine/pdfPageTree.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/pdfSyntax.h"

void QuietPdfParser(QPDF& pdf) {
    auto quiet = QPDFLogger::create();
    quiet->setInfo(quiet->discard());
    quiet->setWarn(quiet->discard());
    quiet->setError(quiet->discard());
    pdf.setLogger(quiet);
    pdf.setSuppressWarnings(true);
}

namespace {

uint64_t Id(const QPDFObjGen& og) {
    return (uint64_t(uint32_t(og.getObj())) << 32) | uint32_t(og.getGen());
}

// Whether a kid is a node of the tree rather than a page: its type says so, and a kid
// without a type is a node when it has kids (as qpdf's own page list takes it).
bool IsNode(QPDFObjectHandle& kid) {
    QPDFObjectHandle type = kid.getKey("/Type");
    if (type.isNameAndEquals("/Pages")) return true;
    if (type.isNameAndEquals("/Page")) return false;
    return kid.hasKey("/Kids");
}

// What a kid is, read from the file by the offset in the cross-reference table without
// the parser building the object: a page tree of a million pages is a million objects,
// each costing the parser far more memory than its text. Whatever this reading is not
// sure of (an object elsewhere than its entry says, in an object stream, a type written
// indirectly or with escapes, a key given twice) is left to the parser.
enum class TKind { page, node };

using pdfsyntax::IsWhite;
using pdfsyntax::Number;
using pdfsyntax::SkipValue;
using pdfsyntax::SkipWhite;

// Blanks, then the regular token after them.
std::string_view Token(std::string_view t, size_t& i) {
    SkipWhite(t, i);
    return pdfsyntax::RegularToken(t, i);
}

struct TKidFacts {
    TKind kind = TKind::page;
    bool typed = false;            // its /Type names its kind
    bool plainKids = false;        // /Kids is an array of references only ...
    std::vector<QPDFObjGen> kids;  // ... these
};

class TKidReader {
public:
    explicit TKidReader(const std::string& fileName) : in_(fileName, std::ios::binary) {}
    TKidReader(const TKidReader&) = delete;
    TKidReader& operator=(const TKidReader&) = delete;

    // False when the reading is not sure: the parser is asked then.
    // Whether a section of the cross-reference read so far names a stream of it too.
    bool Hybrid() const { return hybrid_; }

    bool Read(QPDF& pdf, const QPDFObjGen& og, TKidFacts& facts) {
        if (!in_.is_open()) return false;
        if (!indexed_) Index(pdf);
        const auto n = size_t(og.getObj());
        if (og.getObj() <= 0 || n >= offsets_.size() || offsets_[n].gen != unsigned(og.getGen()) ||
            offsets_[n].offset == 0)
            return false;
        for (size_t want = kSmall; want <= kLargest; want *= 8) {
            const std::string_view text = At(qpdf_offset_t(offsets_[n].offset), want);
            if (Classify(text, og, facts)) return true;
            if (text.size() < want) return false;
        }
        return false;
    }

private:
    static constexpr size_t kWindow = size_t(1) << 20;
    static constexpr size_t kSmall = size_t(1) << 9;
    static constexpr size_t kStep = size_t(1) << 12;
    static constexpr size_t kLargest = size_t(1) << 21;

    // Eight bytes an object, for files of millions of them.
    struct TEntry {
        uint64_t offset : 46;  // 0: not an object written by itself in the file
        uint64_t gen : 16;
        uint64_t known : 1;  // a newer section has said where the object is
    };
    static_assert(sizeof(TEntry) == 8);

    // The entries of objects written by themselves, by object number: read from the
    // cross-reference tables when every section is one (not the parser's copy of its
    // table, which costs as much memory again as the parser's own).
    void Index(QPDF& pdf) {
        indexed_ = true;
        in_.seekg(0, std::ios::end);
        const std::streamoff fileSize = in_.tellg();
        if (!in_ || fileSize <= 0) return;
        // Object numbers far beyond what the file could hold are left to the parser, so
        // the list stays below half the file's size.
        maxObjects_ = size_t(fileSize) / 16 + 1024;
        if (ReadTables(qpdf_offset_t(fileSize))) return;
        offsets_.clear();
        const std::map<QPDFObjGen, QPDFXRefEntry> table = pdf.getXRefTable();
        int last = 0;
        for (const auto& entry : table) last = std::max(last, entry.first.getObj());
        if (size_t(last) >= maxObjects_) return;
        offsets_.resize(size_t(last) + 1, TEntry{0, 0, 0});
        for (const auto& [og, entry] : table)
            if (og.getObj() > 0 && entry.getType() == 1 && entry.getOffset() > 0 &&
                entry.getOffset() < (qpdf_offset_t(1) << 46))
                offsets_[size_t(og.getObj())] = {uint64_t(entry.getOffset()), uint64_t(og.getGen()),
                                                 1};
    }

    // The sections from startxref back through /Prev, the newest saying where an object is;
    // false for anything else (a cross-reference stream, a hybrid file, a loop, damage).
    bool ReadTables(qpdf_offset_t size) {
        const qpdf_offset_t tailAt = std::max<qpdf_offset_t>(0, size - 1024);
        const std::string_view tail = At(tailAt, size_t(size - tailAt));
        const size_t mark = tail.rfind("startxref");
        if (mark == std::string_view::npos) return false;
        size_t i = mark + 9;
        long long at = Number(tail, i);
        std::set<long long> sections;
        while (at >= 0) {
            if (at >= size || !sections.insert(at).second) return false;
            qpdf_offset_t pos = at;
            std::string_view t = At(pos, 64);
            i = 0;
            SkipWhite(t, i);
            if (t.substr(i, 4) != "xref") return false;
            pos += qpdf_offset_t(i + 4);
            for (;;) {
                t = At(pos, 64);
                i = 0;
                SkipWhite(t, i);
                if (t.substr(i, 7) == "trailer") {
                    pos += qpdf_offset_t(i + 7);
                    break;
                }
                const long long first = Number(t, i), count = Number(t, i);
                if (first < 0 || count < 0 || size_t(first + count) > maxObjects_) return false;
                pos += qpdf_offset_t(i);
                if (offsets_.size() < size_t(first + count))
                    offsets_.resize(size_t(first + count), TEntry{0, 0, 0});
                for (long long k = 0; k < count; ++k) {
                    t = At(pos, 64);
                    i = 0;
                    const long long offset = Number(t, i), gen = Number(t, i);
                    SkipWhite(t, i);
                    if (offset < 0 || gen < 0 || gen > 65535 || i >= t.size() ||
                        (t[i] != 'n' && t[i] != 'f'))
                        return false;
                    TEntry& entry = offsets_[size_t(first + k)];
                    if (!entry.known)
                        entry = {t[i] == 'n' ? uint64_t(offset) : 0, uint64_t(gen), 1};
                    pos += qpdf_offset_t(i + 1);
                }
            }
            // The trailer: where the section before is, and no cross-reference stream.
            t = At(pos, 4096);
            i = 0;
            SkipWhite(t, i);
            if (t.substr(i, 2) != "<<") return false;
            i += 2;
            at = -1;
            for (;;) {
                SkipWhite(t, i);
                if (i >= t.size()) return false;
                if (t.substr(i, 2) == ">>") break;
                if (t[i] != '/') {
                    if (!SkipValue(t, i)) return false;
                    continue;
                }
                ++i;
                const std::string_view key = Token(t, i);
                if (key == "XRefStm") {
                    hybrid_ = true;
                    return false;
                }
                if (key == "Prev") {
                    at = Number(t, i);
                    if (at < 0) return false;
                } else if (!SkipValue(t, i)) {
                    return false;
                }
            }
        }
        return true;
    }

    // At least want bytes from offset (fewer at the end of the file), read in windows so
    // that objects written one after another, forwards or backwards, cost one read per
    // window; a jump far from the last window reads little, so kids in no order of the
    // file cost a small read each rather than a window each.
    std::string_view At(qpdf_offset_t offset, size_t want) {
        if (offset < start_ || size_t(offset - start_) + want > length_) {
            // Just past either end of the last window: reading on in one direction.
            const auto end = start_ + qpdf_offset_t(length_), step = qpdf_offset_t(kStep);
            const bool near =
                length_ > 0 && ((offset >= end - qpdf_offset_t(want) && offset <= end + step) ||
                                (offset < start_ && offset + step >= start_));
            const size_t size = std::max(want, near ? kWindow : kSmall);
            const bool backwards = near && offset < start_;
            start_ = backwards ? std::max<qpdf_offset_t>(
                                     0, offset + qpdf_offset_t(want) - qpdf_offset_t(size))
                               : offset;
            buffer_.resize(std::max(buffer_.size(), size));
            in_.clear();
            in_.seekg(std::streamoff(start_));
            in_.read(buffer_.data(), std::streamsize(size));
            length_ = size_t(std::max<std::streamsize>(0, in_.gcount()));
        }
        if (offset < start_ || size_t(offset - start_) > length_) return {};
        const size_t from = size_t(offset - start_);
        return std::string_view(buffer_.data() + from, std::min(want, length_ - from));
    }

    // "[ n g R ... ]" at i, read into kids; false (i where it was) for anything else.
    static bool References(std::string_view t, size_t& i, std::vector<QPDFObjGen>& kids) {
        const size_t from = i;
        kids.clear();
        ++i;  // "["
        for (;;) {
            SkipWhite(t, i);
            if (i < t.size() && t[i] == ']') {
                ++i;
                return true;
            }
            const long long n = Number(t, i), g = Number(t, i);
            if (n <= 0 || n > INT32_MAX || g < 0 || g > 65535 || Token(t, i) != "R") {
                i = from;
                kids.clear();
                return false;
            }
            kids.emplace_back(int(n), int(g));
        }
    }

    // "n g obj << ... >>" at the start of text: the kind its own keys tell; false when
    // not sure.
    static bool Classify(std::string_view t, const QPDFObjGen& og, TKidFacts& facts) {
        size_t i = 0;
        if (Number(t, i) != og.getObj() || Number(t, i) != og.getGen() || Token(t, i) != "obj")
            return false;
        SkipWhite(t, i);
        if (t.substr(i, 2) != "<<") return false;
        i += 2;
        std::string_view type;
        int types = 0, kids = 0;
        facts.plainKids = false;
        facts.kids.clear();
        for (;;) {
            SkipWhite(t, i);
            if (i >= t.size()) return false;
            if (t.substr(i, 2) == ">>") break;
            if (t[i] != '/') {  // the rest of a value: "0 R" of a reference
                if (!SkipValue(t, i)) return false;
                continue;
            }
            if (i + 1 >= t.size() || IsWhite(t[i + 1])) return false;
            ++i;
            const std::string_view key = Token(t, i);
            if (key.find('#') != std::string_view::npos) return false;
            SkipWhite(t, i);
            if (key == "Type") {
                ++types;
                if (i + 1 >= t.size() || t[i] != '/' || IsWhite(t[i + 1])) return false;
                ++i;
                type = Token(t, i);
                if (type.find('#') != std::string_view::npos) return false;
                continue;
            }
            if (key == "Kids") {
                ++kids;
                if (i >= t.size() || t[i] != '[') return false;
                if (References(t, i, facts.kids)) {
                    facts.plainKids = true;
                    continue;
                }
            }
            if (!SkipValue(t, i)) return false;
        }
        if (types > 1 || kids > 1) return false;
        facts.kind = type == "Pages"  ? TKind::node
                     : type == "Page" ? TKind::page
                     : kids           ? TKind::node
                                      : TKind::page;
        facts.typed = type == "Pages" || type == "Page";
        return true;
    }

    std::ifstream in_;
    bool indexed_ = false;
    bool hybrid_ = false;
    size_t maxObjects_ = 0;
    std::vector<TEntry> offsets_;
    std::vector<char> buffer_;
    qpdf_offset_t start_ = 0;
    size_t length_ = 0;
};

// The pages met, to tell one listed twice: a bit an object for the usual object numbers,
// a list sorted at the end for the others.
class TPageSet {
public:
    // False when the page was met before.
    bool Add(const QPDFObjGen& og) {
        if (og.getGen() != 0 || og.getObj() <= 0 || og.getObj() >= kBits) {
            others_.push_back(Id(og));
            return true;
        }
        const auto n = size_t(og.getObj());
        if (bits_.size() <= n) bits_.resize(std::max(n + 1, bits_.size() * 2));
        if (bits_[n]) return false;
        bits_[n] = true;
        return true;
    }
    bool OthersRepeat() {
        std::sort(others_.begin(), others_.end());
        return std::adjacent_find(others_.begin(), others_.end()) != others_.end();
    }

private:
    static constexpr int kBits = 1 << 27;
    std::vector<bool> bits_;
    std::vector<uint64_t> others_;
};

struct TWalk {
    long long pages = 0;
    bool repeated = false;
    long long missingKid = 0;
    bool strangeKid = false;
    bool untypedPage = false;
    bool kidlessNode = false;
};

// What a walk does besides counting: every listing of a page after its first replaced by
// a copy of the page (apart), and besides that the tree put as readers take it (mend).
enum class TWalkMode { count, apart, mend };

// A page that is not typed as one.
bool Untyped(QPDFObjectHandle& page) { return !page.getKey("/Type").isNameAndEquals("/Page"); }

// The counts of the nodes as the pages below them, from the last node walked to the
// first: a node's kids that are nodes were walked after it.
void CountNodes(std::vector<QPDFObjectHandle>& nodes) {
    for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) {
        QPDFObjectHandle kids = node->getKey("/Kids");
        long long count = 0;
        for (int i = 0, n = kids.isArray() ? kids.getArrayNItems() : 0; i < n; ++i) {
            QPDFObjectHandle kid = kids.getArrayItem(i);
            if (!kid.isDictionary()) continue;
            QPDFObjectHandle below = kid.getKey("/Count");
            count += IsNode(kid) ? (below.isInteger() ? below.getIntValue() : 0) : 1;
        }
        node->replaceKey("/Count", QPDFObjectHandle::newInteger(count));
    }
}

// The pages below the root node, walked with a list of its own instead of recursion, so no
// depth of tree exhausts the stack; a node reached twice (a loop) raises. With a reader,
// kids are read from the file where it is sure of them (with another mode than count, no
// reader is given).
TWalk WalkPages(QPDF& pdf, const QPDFObjectHandle& root, TWalkMode mode, TKidReader* reader) {
    const bool apart = mode != TWalkMode::count, mend = mode == TWalkMode::mend;
    std::vector<QPDFObjectHandle> walked;  // the nodes, to count them again when mending
    TWalk walk;
    std::set<QPDFObjGen> nodes;
    TPageSet listed;                    // the pages, to find repeats
    std::unordered_set<uint64_t> seen;  // ... and those copied apart
    struct TOpen {
        QPDFObjectHandle node;  // as the parser read it; or, when not initialised,
        QPDFObjGen og;          // the node to read from the file
    };
    std::vector<TOpen> open;
    open.push_back({root, root.getObjGen()});
    TKidFacts facts;
    // A kid the reader is sure of.
    auto read = [&](const QPDFObjGen& og) {
        if (facts.kind == TKind::page) {
            if (!facts.typed) walk.untypedPage = true;
            ++walk.pages;
            if (!listed.Add(og)) walk.repeated = true;
        } else if (facts.plainKids) {
            open.push_back({QPDFObjectHandle(), og});  // its kids are read when it is walked
        } else {
            open.push_back({pdf.getObject(og), og});
        }
    };
    for (bool atRoot = true; !open.empty(); atRoot = false) {
        TOpen node = std::move(open.back());
        open.pop_back();
        if (!node.node.isInitialized()) {
            if (!reader->Read(pdf, node.og, facts) || !facts.plainKids) {
                open.push_back({pdf.getObject(node.og), node.og});
                continue;
            }
            if (!nodes.insert(node.og).second)
                throw std::runtime_error("a page tree node is reached twice");
            const std::vector<QPDFObjGen> kids = std::move(facts.kids);
            for (const QPDFObjGen& og : kids) {
                if (reader->Read(pdf, og, facts)) {
                    read(og);
                    continue;
                }
                QPDFObjectHandle kid = pdf.getObject(og);
                if (!kid.isDictionary()) {  // qpdf drops such a kid too
                    if (!kid.isNull())
                        walk.strangeKid = true;
                    else if (!walk.missingKid)
                        walk.missingKid = og.getObj();
                    continue;
                }
                if (IsNode(kid)) {
                    open.push_back({kid, og});
                } else {
                    if (Untyped(kid)) walk.untypedPage = true;
                    ++walk.pages;
                    if (!listed.Add(og)) walk.repeated = true;
                }
            }
            continue;
        }
        if (!node.node.isDictionary())
            throw std::runtime_error("a page tree node is no dictionary");
        if (node.node.isIndirect() && !nodes.insert(node.node.getObjGen()).second)
            throw std::runtime_error("a page tree node is reached twice");
        QPDFObjectHandle kids = node.node.getKey("/Kids");
        if (!kids.isArray()) {
            if (atRoot) throw std::runtime_error("the page tree's root has no /Kids");
            walk.kidlessNode = true;
            continue;  // a node without kids holds no page
        }
        if (mend) {
            if (!node.node.getKey("/Type").isNameAndEquals("/Pages"))
                node.node.replaceKey("/Type", QPDFObjectHandle::newName("/Pages"));
            walked.push_back(node.node);
        }
        for (int i = 0, n = kids.getArrayNItems(); i < n; ++i) {
            QPDFObjectHandle kid = kids.getArrayItem(i);
            if (reader && kid.isIndirect() && reader->Read(pdf, kid.getObjGen(), facts)) {
                read(kid.getObjGen());
                continue;
            }
            if (!kid.isDictionary()) {  // qpdf drops such a kid too
                if (!kid.isNull() || !kid.isIndirect())
                    walk.strangeKid = true;
                else if (!walk.missingKid)
                    walk.missingKid = kid.getObjectID();
                if (mend) {
                    kids.eraseItem(i--);
                    --n;
                }
                continue;
            }
            if (IsNode(kid)) {
                open.push_back({kid, kid.getObjGen()});
                continue;
            }
            if (Untyped(kid)) {
                walk.untypedPage = true;
                if (mend) kid.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
            }
            ++walk.pages;
            if (!kid.isIndirect()) continue;
            if (!apart) {
                if (!listed.Add(kid.getObjGen())) walk.repeated = true;
            } else if (!seen.insert(Id(kid.getObjGen())).second) {
                walk.repeated = true;
                kids.setArrayItem(i, pdf.makeIndirectObject(kid.shallowCopy()));
            }
        }
    }
    if (listed.OthersRepeat()) walk.repeated = true;
    CountNodes(walked);
    return walk;
}

TPdfPageTree Read(const std::string& fileName, bool repair, const std::string& password) {
    TPdfPageTree tree;
    std::pair<bool, bool> catalog{false, false};  // read, and a portfolio
    try {
        QPDF pdf;
        QuietPdfParser(pdf);
        pdf.setAttemptRecovery(repair);
        pdf.processFile(fileName.c_str(), password.c_str());
        // Ghostscript draws the embedded files of any catalog with a /Collection instead of
        // its pages, as readers show them.
        const bool portfolio = pdf.getRoot().hasKey("/Collection");
        catalog = {true, portfolio};
        QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
        QPDFObjectHandle count = root.getKey("/Count");
        if (count.isInteger()) {
            tree.rootCounted = true;
            tree.rootCount = count.getIntValue();
        }
        TKidReader reader(fileName);
        const TWalk walk = WalkPages(pdf, root, TWalkMode::count, repair ? nullptr : &reader);
        tree.pages = walk.pages;
        tree.repeated = walk.repeated;
        tree.missingKid = walk.missingKid;
        tree.strangeKid = walk.strangeKid;
        tree.untypedPage = walk.untypedPage;
        tree.kidlessNode = walk.kidlessNode;
        tree.hybrid = reader.Hybrid();
        // Objects are read as the walk reaches them: a warning on the way means the parser
        // made do with something (a null for an object not where the table says), and a
        // count taken over it is no count.
        if (!repair && pdf.anyWarnings()) {
            const std::vector<QPDFExc> warnings = pdf.getWarnings();
            throw std::runtime_error(warnings.empty() ? "the parser warned"
                                                      : warnings.front().what());
        }
        tree.opened = true;
    } catch (const std::exception& e) {
        tree = TPdfPageTree();
        tree.why = e.what();
    }
    tree.catalogRead = catalog.first;
    tree.portfolio = catalog.second;
    return tree;
}

bool WriteCopy(const std::string& src, const std::string& dst, TWalkMode mode, std::string& why) {
    try {
        QPDF pdf;
        QuietPdfParser(pdf);
        pdf.processFile(src.c_str(), "");
        WalkPages(pdf, pdf.getRoot().getKey("/Pages"), mode, nullptr);
        QPDFWriter writer(pdf, dst.c_str());
        writer.write();
        return true;
    } catch (const std::exception& e) {
        why = e.what();
        return false;
    }
}

}  // namespace

TPdfPageTree ReadPdfPageTree(const std::string& fileName, const std::string& password) {
    return Read(fileName, false, password);
}

TPdfPageTree RepairPdfPageTree(const std::string& fileName) { return Read(fileName, true, ""); }

bool WritePdfPagesApart(const std::string& src, const std::string& dst, std::string& why) {
    return WriteCopy(src, dst, TWalkMode::apart, why);
}

bool WritePdfAsReadersTakeIt(const std::string& src, const std::string& dst, std::string& why) {
    return WriteCopy(src, dst, TWalkMode::mend, why);
}
