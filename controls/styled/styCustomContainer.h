// A container of list items (bitmaps, image strips, string lists or waves) that tells its
// change links of every change, stores its items in a stream (with a table of where each
// record starts, so single items can be read from a file) and reads items on demand from a
// container file, a bitmap file or the program's resources.
//
// Container stream: the item count (4 bytes), with the offset table 4 bytes per item, then
// the item records. Container file: the kind's signature ("STYBML30" and so on, as a short
// text), then the container stream with the offset table.
#pragma once

#include <functional>
#include <vector>

#include "controls/styled/styChangeLink.h"
#include "controls/styled/styListItems.h"
#include "controls/styled/stySystem.h"

enum TStyContainerKind : uint8_t {
    ckImageList,
    ckBitmapList,
    ckWaveList,
    ckStringList,
    ckGlyphList,
    ckRichText,
    ckUnknown
};

// "STYIML30", "STYBML30", "STYWVL30", "STYSLL30", "STYGLL50", "STYRTL50".
const char* StyContainerSignature(TStyContainerKind kind);
// "iml", "bmp", "wav", "txt", "*", "rtf", with a leading "." when asked.
std::string StyContainerExtension(TStyContainerKind kind, bool withDot);

// Where items that are empty load from (the container's source kind).
enum TStySourceKind : uint8_t { skNone, skContainerFile, skResource, skLibrary, skBitmapFiles };

class TStyCustomContainer : public TStyBaseContainer {
public:
    using ItemFactory = std::function<TStyListItem*(TComponent* owner)>;
    TStyCustomContainer(TComponent* owner, TStyContainerKind kind, ItemFactory factory);
    ~TStyCustomContainer() override;
    std::string ClassName() const override { return "TStyCustomContainer"; }

    virtual int Count() const { return int(items_.size()); }
    virtual bool IsEmpty() const { return items_.empty(); }
    // Null outside the list.
    virtual TStyListItem* Item(int i) const;
    // Replaces all items by those of the stream (EReadError for data cut short or lying;
    // the container is then empty).
    virtual void LoadFromStream(TStream& s, bool withOffsets);
    virtual void SaveToStream(TStream& s, bool withOffsets);

    // Whether the item is of the container's item class.
    bool Accepts(const TStyListItem* item) const;
    // Appends the item (null: a new item of the container's item class) and returns it.
    TStyListItem* AddItem(TStyListItem* item = nullptr);
    void Clear();
    // Takes an item out of the list without freeing it (when it is freed elsewhere).
    void RemoveItem(TStyListItem* item);
    int IndexOf(const TStyListItem* item) const;
    virtual void Assign(const TPersistent* source);

    // Tells the links and the component's change event of a changed item.
    void ItemChanged(TStyListItem* item);

    // Container files.
    void SaveToFile(const std::string& name);
    void LoadFromFile(const std::string& name);

    TStyContainerKind Kind() const { return kind_; }
    bool DefaultCompressed = false;
    TStyPathPrefix SourcePathKind = ppProgram;
    TStySourceKind SourceKind = skNone;
    std::string SourceFileName;

private:
    TStyContainerKind kind_;
    ItemFactory factory_;
    std::vector<TStyListItem*> items_;
};

// Reads a container file's signature and item count (and the offsets, when a list is given
// and the kind is known); returns the kind, ckUnknown for an unknown signature.
TStyContainerKind ReadContainerHeader(const std::string& fileName, int& count,
                                      std::vector<int32_t>* offsets);
// Reads item `index` of a container file into `item`. Without offsets the header is read
// first and a file of another kind raises Exception naming the file.
void LoadItemFromFile(const std::string& fileName, TStyContainerKind expected,
                      const std::vector<int32_t>* offsets, TStyListItem* item, int index);
// Bitmap `index` of a bitmap-list file.
void LoadBitmapFromFile(const std::string& fileName, int index, TBitmap* bmp);
