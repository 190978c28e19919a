// The bytes of one RIFF wave sound held in memory: checked to be a wave when loaded,
// stored in forms as the property "Data" (a 4-byte length and the bytes) and in the wave
// container compressed. Replacing or freeing the data stops the sound that may be playing
// from them.
#pragma once

#include <memory>

#include "controls/styled/styBase.h"
#include "platform/rtl/classes.h"

class EInvalidWave : public Exception {
    using Exception::Exception;
};
class EErrorCheckingWave : public Exception {
    using Exception::Exception;
};

struct TStyWaveInfo {
    uint32_t RiffSize = 0;
    uint32_t SamplesPerSec = 0;
    uint8_t Channels = 0;  // 1 mono, 2 stereo, 0 any other count
    uint8_t Pcm = 0;       // 1 when the format tag is PCM
    uint16_t BlockAlign = 0;
};

class TStyWave : public TStyObject {
public:
    TStyWave() = default;
    ~TStyWave() override;
    static std::unique_ptr<TStyWave> CreateFromFile(const std::string& name);
    std::string ClassName() const override { return "TStyWave"; }

    bool Empty() const { return !data_ || data_->Size() == 0; }
    int64_t Size() const { return data_ ? data_->Size() : 0; }
    // The bytes, null when there are none.
    TMemoryStream* Data() const { return data_.get(); }
    // Takes the stream (null clears), moves it to position 0, notifies.
    void SetData(std::unique_ptr<TMemoryStream> data);
    void Clear() { SetData(nullptr); }

    // Reads `count` bytes from the stream's position; they must be a wave (EInvalidWave
    // otherwise, the data staying as they were). A count of 0 or an empty stream clears.
    // A count beyond the stream's end raises EReadError before anything is allocated.
    void LoadFromCount(int64_t count, TStream& s);
    virtual void LoadFromStream(TStream& s);  // 4-byte length, then the bytes
    virtual void SaveToStream(TStream& s);
    virtual void LoadFromFile(const std::string& name);
    virtual void LoadFromStreamRest(TStream& s);
    virtual void SaveToFile(const std::string& name);
    virtual void SaveData(TStream& s);  // the bytes without length

    // The wave container's form: the bytes as one compressed item.
    void WriteCompressed(TStream& s);
    void ReadCompressed(TStream& s);

    void Assign(const TPersistent* source) override;
    void DefineProperties(TStyFiler& filer) override;

    // False for a missing or empty stream or one that is not a RIFF wave whose first chunk
    // is "fmt "; a read error raises EErrorCheckingWave. The stream is put back to 0.
    static bool CheckWave(TStream* s, TStyWaveInfo* info);

private:
    void StopSound();
    std::unique_ptr<TMemoryStream> data_;
};
