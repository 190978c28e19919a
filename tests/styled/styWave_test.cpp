// Wave data: the RIFF check, "Data" round trips, empty and damaged data, the compressed
// container form, and the sound stopped when the data go.
#include <gtest/gtest.h>

#include <cstdio>

#include "controls/styled/styFiler.h"
#include "controls/styled/styStreamIO.h"
#include "controls/styled/styWave.h"
#include "tests/styled/styStreamSupport.h"

namespace {

std::unique_ptr<TStyWave> WaveOf(const std::vector<uint8_t>& bytes) {
    auto w = std::make_unique<TStyWave>();
    TMemoryStream s;
    PutBytes(s, bytes);
    w->LoadFromStreamRest(s);
    return w;
}

TEST(StyWave, CheckReadsTheFormatAndPutsTheStreamBack) {
    TMemoryStream s;
    PutBytes(s, MakeWaveBytes(10));
    s.SetPosition(7);
    TStyWaveInfo info;
    ASSERT_TRUE(TStyWave::CheckWave(&s, &info));
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(info.RiffSize, 46u);
    EXPECT_EQ(info.SamplesPerSec, 8000u);
    EXPECT_EQ(info.Channels, 1);
    EXPECT_EQ(info.Pcm, 1);
    EXPECT_EQ(info.BlockAlign, 1);

    EXPECT_FALSE(TStyWave::CheckWave(nullptr, &info));
    TMemoryStream empty;
    EXPECT_FALSE(TStyWave::CheckWave(&empty, &info));
    std::vector<uint8_t> notRiff = MakeWaveBytes(10);
    notRiff[0] = 'X';
    PutBytes(s, notRiff);
    EXPECT_FALSE(TStyWave::CheckWave(&s, &info));
    // Cut inside the format: a read error, reported as such.
    std::vector<uint8_t> cut = MakeWaveBytes(10);
    cut.resize(26);
    PutBytes(s, cut);
    try {
        TStyWave::CheckWave(&s, &info);
        FAIL();
    } catch (const EErrorCheckingWave& e) {
        EXPECT_EQ(e.Message.rfind("GetWaveData: ", 0), 0u);
    }
    EXPECT_EQ(s.Position(), 0);
}

TEST(StyWave, DataPropertyRoundTripsAndEmptyWavesStayEmpty) {
    auto w = WaveOf(MakeWaveBytes(100, 3));
    ASSERT_EQ(w->Size(), 144);
    TStyPropertyWriter out;
    w->DefineProperties(out);
    ASSERT_NE(out.Find("Data"), nullptr);
    TStyWave back;
    StyReadStoredProperty(&back, "Data", *out.Find("Data"));
    EXPECT_EQ(back.Data()->Bytes(), w->Data()->Bytes());

    // An empty wave writes a size of 0 and nothing else, and reads back empty.
    TStyWave empty;
    TStyPropertyWriter none;
    empty.DefineProperties(none);
    EXPECT_TRUE(none.Values.empty());  // no data: not stored
    TMemoryStream s;
    empty.SaveToStream(s);
    EXPECT_EQ(BytesOf(s), (std::vector<uint8_t>{0, 0, 0, 0}));
    s.SetPosition(0);
    back.LoadFromStream(s);
    EXPECT_TRUE(back.Empty());
    TMemoryStream nothing;
    back.LoadFromStreamRest(nothing);  // an empty stream clears instead of raising
    EXPECT_TRUE(back.Empty());
}

TEST(StyWave, DamagedDataRaiseAndKeepTheOldSound) {
    auto w = WaveOf(MakeWaveBytes(20));
    const std::vector<uint8_t> before = w->Data()->Bytes();
    int changes = 0;
    w->OnChange = [&](TObject*) { ++changes; };
    std::vector<uint8_t> bad = MakeWaveBytes(20);
    bad[1] = 'X';
    TMemoryStream s;
    PutBytes(s, bad);
    try {
        w->LoadFromStreamRest(s);
        FAIL();
    } catch (const EInvalidWave& e) {
        EXPECT_EQ(e.Message.rfind("TStyWave: ", 0), 0u);
    }
    EXPECT_EQ(w->Data()->Bytes(), before);
    EXPECT_EQ(changes, 0);
    // A length beyond the stream: refused before anything is allocated.
    PutBytes(s, {0xFF, 0xFF, 0xFF, 0x7F, 'R', 'I'});
    EXPECT_THROW(w->LoadFromStream(s), EReadError);
    PutBytes(s, {0xF0, 0xFF, 0xFF, 0xFF});
    EXPECT_THROW(w->LoadFromStream(s), EReadError);
    EXPECT_EQ(w->Data()->Bytes(), before);
}

TEST(StyWave, CompressedFormFilesAndAssign) {
    auto w = WaveOf(MakeWaveBytes(5000, 0));  // silence compresses well
    TMemoryStream s;
    WriteWaveToStream(s, w.get(), true);
    EXPECT_LT(s.Size(), 500);
    s.SetPosition(0);
    TStyWave back;
    ReadWaveToStream(s, &back, true);
    EXPECT_EQ(back.Data()->Bytes(), w->Data()->Bytes());

    const std::string file = ::testing::TempDir() + "styWave.wav";
    w->SaveToFile(file);
    auto loaded = TStyWave::CreateFromFile(file);
    EXPECT_EQ(loaded->Data()->Bytes(), w->Data()->Bytes());
    std::remove(file.c_str());
    EXPECT_THROW(TStyWave::CreateFromFile(file), EFOpenError);

    TStyWave copy;
    copy.Assign(w.get());
    EXPECT_EQ(copy.Data()->Bytes(), w->Data()->Bytes());
    EXPECT_EQ(w->Data()->Position(), 0);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

}  // namespace
