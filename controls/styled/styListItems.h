// The items of the styled layer's containers: a bitmap, an image strip, a string list or a
// wave, each with a description, a 16-bit ident and whether it is stored compressed. An
// item record in a stream is a flags byte, then what the flags announce:
//
//   flags: 1 compressed, 2 description (short text), 4 ident (4 bytes), 8 payload,
//          16 / 32 / 64 the bitmap is stored with 1 / 4 / 8 bits per pixel.
#pragma once

#include <memory>

#include "controls/styled/styBase.h"
#include "controls/styled/styWave.h"
#include "platform/vcl/graphics.h"

class TStyCustomContainer;

enum TStySavePixelFormat : uint8_t { spfDefault, spfMono, spf4bit, spf8bit };

enum : uint8_t {
    sifCompressed = 1,
    sifDescription = 2,
    sifIdent = 4,
    sifPayload = 8,
    sifMono = 16,
    sif4bit = 32,
    sif8bit = 64
};

// The colour depth a pixel format is stored with, and the flag bits that announce it.
int StyDepthOf(TStySavePixelFormat pf);
uint8_t StyPixelFormatFlags(TStySavePixelFormat pf);
TStySavePixelFormat StyPixelFormatOfFlags(uint8_t flags);

class TStyListItem : public TStyCustomComponent {
public:
    explicit TStyListItem(TComponent* owner) : TStyCustomComponent(owner) {}
    std::string ClassName() const override { return "TStyListItem"; }

    const std::string& Description() const { return description_; }
    void SetDescription(const std::string& d);
    uint16_t Ident() const { return ident_; }
    void SetIdent(uint16_t id);
    bool Compressed() const { return compressed_; }
    void SetCompressed(bool c);

    virtual void ClearContent() {}
    virtual bool IsEmpty() const { return false; }
    // The item record (see above); raise EReadError for data cut short or lying.
    virtual void ReadData(TStream& s);
    virtual void WriteData(TStream& s);
    virtual uint8_t GetFlags() const;
    virtual void Assign(const TPersistent* source);

    // The container holding the item, null when none.
    TStyCustomContainer* Container() const;
    // Read from a form file inside a container, the item joins it.
    void SetParentComponent(TComponent* parent) override;
    // Tells the container that the item changed.
    void Change() override;
    // "Internal": the item record.
    void DefineProperties(TStyFiler& filer) override;

protected:
    // The common fields after the flags byte.
    void ReadCommon(TStream& s, uint8_t flags);
    // Reads a stored record as one update: the change is told only when the whole record read.
    void ReadStoredRecord(TStream& s);

private:
    std::string description_;
    uint16_t ident_ = 0;
    bool compressed_ = false;
};

class TStyBitmapListItem : public TStyListItem {
public:
    explicit TStyBitmapListItem(TComponent* owner);
    std::string ClassName() const override { return "TStyBitmapListItem"; }

    // The bitmap, loaded on demand from the container's source when it is empty.
    TBitmap* Bitmap();
    // The bitmap as it is, without loading.
    TBitmap* StoredBitmap() const { return bitmap_.get(); }
    void SetBitmap(const TBitmap* b);
    TStySavePixelFormat PixelFormat = spfDefault;

    void ClearContent() override;
    bool IsEmpty() const override { return bitmap_->Empty(); }
    void ReadData(TStream& s) override;
    void WriteData(TStream& s) override;
    uint8_t GetFlags() const override;
    void Assign(const TPersistent* source) override;

private:
    void LoadFromSource();
    std::unique_ptr<TBitmap> bitmap_;
    bool loading_ = false;
};

class TStyStringListItem : public TStyListItem {
public:
    explicit TStyStringListItem(TComponent* owner);
    std::string ClassName() const override { return "TStyStringListItem"; }
    TStringList* Items() const { return items_.get(); }
    void SetItems(const TStringList& items) { items_->Assign(items); }

    void ClearContent() override { items_->Clear(); }
    bool IsEmpty() const override { return items_->Count() == 0; }
    void ReadData(TStream& s) override;
    void WriteData(TStream& s) override;
    uint8_t GetFlags() const override;
    void Assign(const TPersistent* source) override;

private:
    std::unique_ptr<TStringList> items_;
};

class TStyWaveListItem : public TStyListItem {
public:
    explicit TStyWaveListItem(TComponent* owner);
    std::string ClassName() const override { return "TStyWaveListItem"; }
    TStyWave* Wave() const { return wave_.get(); }
    void SetWave(const TStyWave* w) { wave_->Assign(w); }

    void ClearContent() override { wave_->Clear(); }
    bool IsEmpty() const override { return wave_->Empty(); }
    void ReadData(TStream& s) override;
    void WriteData(TStream& s) override;
    uint8_t GetFlags() const override;
    void Assign(const TPersistent* source) override;

private:
    std::unique_ptr<TStyWave> wave_;
};
