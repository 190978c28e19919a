#include "controls/styled/styWave.h"

#include <cstring>

#include "controls/styled/styFiler.h"
#include "controls/styled/styStreamIO.h"
#include "platform/win/sound.h"

TStyWave::~TStyWave() {
    if (data_) StopSound();
}

std::unique_ptr<TStyWave> TStyWave::CreateFromFile(const std::string& name) {
    auto w = std::make_unique<TStyWave>();
    w->LoadFromFile(name);
    return w;
}

// The sound that plays may be playing from our bytes.
void TStyWave::StopSound() { sndPlaySoundA(nullptr, SND_MEMORY); }

void TStyWave::SetData(std::unique_ptr<TMemoryStream> data) {
    if (data_) StopSound();
    data_ = std::move(data);
    if (data_) data_->SetPosition(0);
    Change();
}

void TStyWave::LoadFromCount(int64_t count, TStream& s) {
    if (s.Size() == 0 || count == 0) {
        Clear();
        return;
    }
    if (count < 0 || count > StyBytesLeft(s))
        throw EReadError("Stream read error: wave data larger than their stream");
    auto data = std::make_unique<TMemoryStream>();
    data->SetSize(count);
    s.ReadBuffer(data->Memory(), count);
    TStyWaveInfo info;
    if (!CheckWave(data.get(), &info))
        throw EInvalidWave(ClassName() + ": the data are not a RIFF wave sound");
    SetData(std::move(data));
}

void TStyWave::LoadFromStream(TStream& s) { LoadFromCount(ReadLongInt(s), s); }

void TStyWave::LoadFromStreamRest(TStream& s) { LoadFromCount(StyBytesLeft(s), s); }

void TStyWave::LoadFromFile(const std::string& name) {
    TFileStream f(name, fmOpenRead);
    LoadFromCount(f.Size(), f);
}

void TStyWave::SaveToStream(TStream& s) {
    if (!data_) data_ = std::make_unique<TMemoryStream>();
    WriteLongInt(s, int32_t(data_->Size()));
    SaveData(s);
}

void TStyWave::SaveData(TStream& s) {
    if (data_ && data_->Size() > 0) s.WriteBuffer(data_->Memory(), data_->Size());
}

void TStyWave::SaveToFile(const std::string& name) {
    TFileStream f(name, fmCreate);
    SaveData(f);
}

void TStyWave::WriteCompressed(TStream& s) {
    TMemoryStream tmp;
    SaveData(tmp);
    tmp.SetPosition(0);
    WriteCompressedStream(tmp, s, tmp.Size());
}

void TStyWave::ReadCompressed(TStream& s) {
    TMemoryStream tmp;
    ReadCompressedStream(s, tmp);
    tmp.SetPosition(0);
    LoadFromStreamRest(tmp);
}

void TStyWave::Assign(const TPersistent* source) {
    if (!source) {
        Clear();
        return;
    }
    const auto* other = dynamic_cast<const TStyWave*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    if (other == this) return;
    if (data_) StopSound();
    data_.reset();
    if (other->data_) {
        data_ = std::make_unique<TMemoryStream>();
        if (other->data_->Size() > 0)
            data_->WriteBuffer(other->data_->Bytes().data(), other->data_->Size());
        data_->SetPosition(0);
    }
    Change();
}

void TStyWave::DefineProperties(TStyFiler& filer) {
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { LoadFromStream(s); }, [this](TStream& s) { SaveToStream(s); },
        data_ != nullptr);
}

bool TStyWave::CheckWave(TStream* s, TStyWaveInfo* info) {
    if (!s || s->Size() == 0) return false;
    bool ok = false;
    try {
        s->SetPosition(0);
        auto tag = [&](const char* want) {
            char t[4];
            s->ReadBuffer(t, 4);
            return std::memcmp(t, want, 4) == 0;
        };
        auto u16 = [&] {
            uint8_t b[2];
            s->ReadBuffer(b, 2);
            return uint16_t(b[0] | b[1] << 8);
        };
        TStyWaveInfo w;
        if (tag("RIFF")) {
            w.RiffSize = uint32_t(ReadLongInt(*s));
            if (tag("WAVE") && tag("fmt ")) {
                ReadLongInt(*s);  // the format chunk's size
                const uint16_t formatTag = u16();
                const uint16_t channels = u16();
                w.SamplesPerSec = uint32_t(ReadLongInt(*s));
                ReadLongInt(*s);  // average bytes per second
                w.BlockAlign = u16();
                w.Channels = channels == 1 || channels == 2 ? uint8_t(channels) : 0;
                w.Pcm = formatTag == 1;
                ok = true;
            }
        }
        if (ok && info) *info = w;
    } catch (const Exception& e) {
        s->SetPosition(0);
        throw EErrorCheckingWave("GetWaveData: " + e.Message);
    }
    s->SetPosition(0);
    return ok;
}
