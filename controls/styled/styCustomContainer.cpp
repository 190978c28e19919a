#include "controls/styled/styCustomContainer.h"

#include <algorithm>
#include <memory>

#include "controls/styled/styStreamIO.h"

namespace {

const char* const kSignatures[] = {"STYIML30", "STYBML30", "STYWVL30",
                                   "STYSLL30", "STYGLL50", "STYRTL50"};
const char* const kExtensions[] = {"iml", "bmp", "wav", "txt", "*", "rtf"};

[[noreturn]] void Damaged(const std::string& what) {
    throw EReadError("Stream read error: " + what);
}

// Every item record takes at least its flags byte; the offset table 4 bytes per item.
int32_t ReadItemCount(TStream& s, bool withOffsets) {
    const int32_t count = ReadLongInt(s);
    const int64_t least = int64_t(count) * (withOffsets ? 5 : 1);
    if (count < 0 || least > StyBytesLeft(s)) Damaged("container item count beyond its stream");
    return count;
}

std::string WrongKindMessage(const std::string& file, TStyContainerKind kind) {
    return Format("%s: %s", file, "不是 " + std::string(kSignatures[kind]) + " 容器文件");
}

}  // namespace

const char* StyContainerSignature(TStyContainerKind kind) {
    return kind < ckUnknown ? kSignatures[kind] : "";
}

std::string StyContainerExtension(TStyContainerKind kind, bool withDot) {
    if (kind >= ckUnknown) return "";
    return (withDot ? "." : "") + std::string(kExtensions[kind]);
}

TStyCustomContainer::TStyCustomContainer(TComponent* owner, TStyContainerKind kind,
                                         ItemFactory factory)
    : TStyBaseContainer(owner), kind_(kind), factory_(std::move(factory)) {}

TStyCustomContainer::~TStyCustomContainer() {
    BeginUpdate();
    Clear();
}

TStyListItem* TStyCustomContainer::Item(int i) const {
    return i >= 0 && i < Count() ? items_[size_t(i)] : nullptr;
}

int TStyCustomContainer::IndexOf(const TStyListItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

bool TStyCustomContainer::Accepts(const TStyListItem* item) const {
    if (!item) return false;
    std::unique_ptr<TStyListItem> sample(factory_(nullptr));
    return sample && sample->ClassName() == item->ClassName();
}

TStyListItem* TStyCustomContainer::AddItem(TStyListItem* item) {
    if (!item) item = factory_(this);
    if (IndexOf(item) < 0) {
        if (item->Owner() != this) {
            if (item->Owner()) item->Owner()->RemoveComponent(item);
            InsertComponent(item);
        }
        items_.push_back(item);
    }
    Change();
    return item;
}

void TStyCustomContainer::RemoveItem(TStyListItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    if (item->Owner() == this) RemoveComponent(item);
    Change();
}

void TStyCustomContainer::Clear() {
    std::vector<TStyListItem*> items;
    items.swap(items_);
    for (auto it = items.rbegin(); it != items.rend(); ++it) delete *it;
    Change();
}

// The links hear of a changed item too: a control showing its image must redraw it.
void TStyCustomContainer::ItemChanged(TStyListItem*) { Change(); }

void TStyCustomContainer::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyCustomContainer*>(source);
    if (!other || other->kind_ != kind_) StyAssignError(source, this);
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        DefaultCompressed = other->DefaultCompressed;
        for (TStyListItem* from : other->items_) AddItem()->Assign(from);
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TStyCustomContainer::LoadFromStream(TStream& s, bool withOffsets) {
    BeginUpdate();
    try {
        Clear();
        const int32_t count = ReadItemCount(s, withOffsets);
        if (withOffsets) s.Seek(int64_t(count) * 4, soCurrent);
        for (int32_t i = 0; i < count; ++i) AddItem()->ReadData(s);
    } catch (...) {
        // What was read of a damaged stream is not kept half-way.
        Clear();
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TStyCustomContainer::SaveToStream(TStream& s, bool withOffsets) {
    WriteLongInt(s, Count());
    if (!withOffsets) {
        for (TStyListItem* item : items_) item->WriteData(s);
        return;
    }
    const int64_t table = s.Position();
    for (int i = 0; i < Count(); ++i) WriteLongInt(s, 0);
    std::vector<int32_t> starts;
    for (TStyListItem* item : items_) {
        starts.push_back(int32_t(s.Position()));
        item->WriteData(s);
    }
    const int64_t end = s.Position();
    s.SetPosition(table);
    for (int32_t p : starts) WriteLongInt(s, p);
    s.SetPosition(end);
}

void TStyCustomContainer::SaveToFile(const std::string& name) {
    TMemoryStream m;
    WriteShortText(m, StyContainerSignature(kind_));
    SaveToStream(m, true);
    m.SaveToFile(name);
}

void TStyCustomContainer::LoadFromFile(const std::string& name) {
    TFileStream f(name, fmOpenRead);
    const std::string signature = ReadShortText(f);
    if (signature != StyContainerSignature(kind_)) throw Exception(WrongKindMessage(name, kind_));
    // Offsets in the file count from its start, signature included.
    LoadFromStream(f, true);
}

// ---------------------------------------------------------------- container files

TStyContainerKind ReadContainerHeader(const std::string& fileName, int& count,
                                      std::vector<int32_t>* offsets) {
    TFileStream f(fileName, fmOpenRead);
    count = 0;
    const std::string signature = ReadShortText(f);
    TStyContainerKind kind = ckUnknown;
    for (int k = 0; k < ckUnknown; ++k)
        if (signature == kSignatures[k]) kind = TStyContainerKind(k);
    if (kind == ckUnknown) return kind;
    count = ReadItemCount(f, true);
    if (offsets) {
        offsets->assign(size_t(count), 0);
        for (int i = 0; i < count; ++i) (*offsets)[size_t(i)] = ReadLongInt(f);
    }
    return kind;
}

void LoadItemFromFile(const std::string& fileName, TStyContainerKind expected,
                      const std::vector<int32_t>* offsets, TStyListItem* item, int index) {
    std::vector<int32_t> own;
    if (!offsets) {
        int count = 0;
        const TStyContainerKind kind = ReadContainerHeader(fileName, count, &own);
        if (kind != expected) throw Exception(WrongKindMessage(fileName, expected));
        offsets = &own;
    }
    if (index < 0 || size_t(index) >= offsets->size())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    TFileStream f(fileName, fmOpenRead);
    const int32_t at = (*offsets)[size_t(index)];
    if (at < 0 || at >= f.Size()) Damaged("item offset beyond the file");
    f.SetPosition(at);
    item->ReadData(f);
}

void LoadBitmapFromFile(const std::string& fileName, int index, TBitmap* bmp) {
    TStyBitmapListItem item(nullptr);
    LoadItemFromFile(fileName, ckBitmapList, nullptr, &item, index);
    bmp->Assign(*item.StoredBitmap());
}
