// Reading wave bytes and the life of sound buffers on a recording device.
#include <gtest/gtest.h>

#include "FakeAudio.h"
#include "WaveBytes.h"
#include "foundation/DirectSound.h"

using testaudio::FakeAudio;
using testaudio::WaveBytes;
using zrv::CDirectSound;
using zrv::CDSBuffer;

namespace {

std::vector<uint8_t> Samples(size_t n)
{
    std::vector<uint8_t> s(n);
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<uint8_t>(i * 7);
    return s;
}

// Resources must outlive their use: kept for the whole run.
const std::vector<uint8_t>& PingWave()
{
    static const auto w = WaveBytes().Format(1, 11025, 8).Data(Samples(100)).Bytes();
    return w;
}

const std::vector<uint8_t>& BrokenWave()
{
    static const auto w = WaveBytes().Format(1, 11025, 8).Chunk("data", Samples(10), 900).Bytes();
    return w;
}

struct ParseCase {
    const char* name;
    std::vector<uint8_t> bytes;
    bool ok;
    size_t dataSize = 0;
};

TEST(ParseWave, AcceptsWhatFitsAndRefusesEveryBadLength)
{
    const auto s10 = Samples(10);
    std::vector<ParseCase> cases = {
        {"plain 8-bit mono", WaveBytes().Format(1, 22050, 8).Data(s10).Bytes(), true, 10},
        {"16-bit stereo, 18-byte fmt", WaveBytes().Format(2, 44100, 16, 18).Data(Samples(8)).Bytes(), true, 8},
        // Odd size 5: skipped as 8 + 6 bytes.
        {"leading LIST of odd size", WaveBytes().Chunk("LIST", Samples(5)).Format(1, 11025, 8).Data(s10).Bytes(),
         true, 10},
        {"unknown chunk after data", WaveBytes().Format(1, 22050, 8).Data(s10).Chunk("cue ", Samples(4)).Bytes(),
         true, 10},
        {"RIFF size past the file end", WaveBytes().Format(1, 22050, 8).Data(s10).Bytes(100000), true, 10},
        {"not RIFF", [] { auto b = WaveBytes().Format(1, 22050, 8).Data(Samples(4)).Bytes(); b[0] = 'X'; return b; }(),
         false},
        {"not WAVE", [] { auto b = WaveBytes().Format(1, 22050, 8).Data(Samples(4)).Bytes(); b[8] = 'X'; return b; }(),
         false},
        {"too short for a head", {'R', 'I', 'F', 'F', 4, 0, 0, 0}, false},
        {"fmt of 12 bytes", WaveBytes().Format(1, 22050, 8, 12).Data(s10).Bytes(), false},
        {"PCM fmt of 14 bytes", WaveBytes().Format(1, 22050, 8, 14).Data(s10).Bytes(), false},
        {"no data chunk", WaveBytes().Format(1, 22050, 8).Bytes(), false},
        {"no fmt chunk", WaveBytes().Data(s10).Bytes(), false},
        {"data beyond the file", WaveBytes().Format(1, 22050, 8).Chunk("data", s10, 5000).Bytes(), false},
        {"data size near 2^32", WaveBytes().Format(1, 22050, 8).Chunk("data", s10, 0xFFFFFFFF).Bytes(), false},
        {"chunk head cut off", [&] { auto b = WaveBytes().Format(1, 22050, 8).Data(s10).Bytes(); b.insert(b.end(), {'d', 'a', 't'}); b[4] = static_cast<uint8_t>(b.size() - 8); return b; }(),
         false},
        // The RIFF size ends the walk before "data", which is then missing.
        {"data after the RIFF end", WaveBytes().Format(1, 22050, 8).Data(s10).Bytes(4 + 24), false},
        {"zero channels", WaveBytes().Format(0, 22050, 8).Data(s10).Bytes(), false},
        {"24-bit samples", WaveBytes().Format(1, 22050, 24).Data(Samples(9)).Bytes(), false},
        {"compressed format", WaveBytes().Format(1, 22050, 8, 20, 2).Data(s10).Bytes(), false},
        {"zero rate", WaveBytes().Format(1, 0, 8).Data(s10).Bytes(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::WaveFormat format;
        std::span<const uint8_t> data;
        bool ok = CDSBuffer::ParseWave(c.bytes, format, data);
        EXPECT_EQ(ok, c.ok);
        if (ok) {
            EXPECT_EQ(data.size(), c.dataSize);
            // The data lies inside the bytes given.
            EXPECT_GE(data.data(), c.bytes.data());
            EXPECT_LE(data.data() + data.size(), c.bytes.data() + c.bytes.size());
        }
    }
}

TEST(ParseWave, ReadsTheFormatAndTheSamplesAfterASkippedChunk)
{
    auto bytes = WaveBytes().Chunk("LIST", Samples(5)).Format(2, 11025, 16).Data(Samples(12)).Bytes();
    platform::WaveFormat f;
    std::span<const uint8_t> data;
    ASSERT_TRUE(CDSBuffer::ParseWave(bytes, f, data));
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.samplesPerSec, 11025u);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.blockAlign, 4);
    // RIFF head 12 + LIST 8 + 6 + fmt 8 + 16 + data head 8.
    EXPECT_EQ(data.data() - bytes.data(), 12 + 14 + 24 + 8);
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.end()), Samples(12));
}

class BufferTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetAudio(&fake); }
    void TearDown() override { platform::SetAudio(nullptr); }
    FakeAudio fake;
};

TEST_F(BufferTest, DeviceDeletedFirstLeavesItsBuffersSafeToDelete)
{
    auto device = std::make_unique<CDirectSound>();
    ASSERT_TRUE(device->Create());
    auto a = std::make_unique<CDSBuffer>();
    auto b = std::make_unique<CDSBuffer>();
    ASSERT_TRUE(a->CreateEmpty(device.get(), 22050, 8, 100, 1, 0));
    ASSERT_TRUE(b->Duplicate(device.get(), *a));
    EXPECT_EQ(device->Buffers().size(), 2u);

    device.reset();
    EXPECT_TRUE(fake.sounds.empty());  // the sounds ended with their device
    EXPECT_EQ(a->GetOwner(), nullptr);
    EXPECT_EQ(a->GetBuffer(), 0u);
    EXPECT_EQ(a->GetId(), -1);
    EXPECT_EQ(a->GetFrequency(), 22050u);
    fake.log.clear();
    a.reset();
    b.reset();
    EXPECT_TRUE(fake.log.empty()) << "a buffer of a deleted device touched the device";
}

TEST_F(BufferTest, BufferDeletedFirstLeavesTheDeviceList)
{
    CDirectSound device;
    ASSERT_TRUE(device.Create());
    auto a = std::make_unique<CDSBuffer>();
    ASSERT_TRUE(a->CreateEmpty(&device, 22050, 8, 100, 1, 0));
    uint32_t sound = a->GetBuffer();
    a.reset();
    EXPECT_TRUE(device.Buffers().empty());
    EXPECT_EQ(fake.sounds.count(sound), 0u);
}

TEST_F(BufferTest, DuplicateKeepsIdAndFrequencyAndBothLive)
{
    CDirectSound device;
    ASSERT_TRUE(device.Create());
    CDSBuffer source;
    ASSERT_TRUE(source.LoadResource(&device, "none", 7, 0) == false);
    zrv::RegisterWaveResource("ping", PingWave());
    ASSERT_TRUE(source.LoadResource(&device, "PING", 7, 0));
    EXPECT_EQ(source.GetFrequency(), 11025u);

    CDSBuffer copy;
    ASSERT_TRUE(copy.Duplicate(&device, source));
    EXPECT_EQ(copy.GetId(), 7);
    EXPECT_EQ(copy.GetFrequency(), 11025u);
    EXPECT_NE(copy.GetBuffer(), source.GetBuffer());
    EXPECT_EQ(fake.sounds.at(copy.GetBuffer()).data, fake.sounds.at(source.GetBuffer()).data);
    EXPECT_EQ(device.Buffers().size(), 2u);

    // They play on their own.
    EXPECT_TRUE(copy.Play(0));
    uint32_t status = 0;
    source.GetStatus(status);
    EXPECT_EQ(status & zrv::DSBSTATUS_PLAYING, 0u);
}

TEST_F(BufferTest, DetachHandsTheSoundOverAndAttachTakesItBack)
{
    CDirectSound device;
    ASSERT_TRUE(device.Create());
    auto a = std::make_unique<CDSBuffer>();
    ASSERT_TRUE(a->CreateEmpty(&device, 22050, 8, 10, 1, 0));
    uint32_t sound = a->Detach();
    EXPECT_TRUE(device.Buffers().empty());
    a.reset();
    EXPECT_EQ(fake.sounds.count(sound), 1u) << "a detached sound was released";

    CDSBuffer b;
    ASSERT_TRUE(b.Attach(&device, sound));
    ASSERT_TRUE(b.Attach(&device, sound));  // again: still held, once
    EXPECT_EQ(device.Buffers().size(), 1u);
    EXPECT_EQ(fake.sounds.count(sound), 1u);
}

TEST_F(BufferTest, CreateEmptySizesTheBufferFromRateBitsChannelsAndTime)
{
    CDirectSound device;
    ASSERT_TRUE(device.Create());
    CDSBuffer b;
    ASSERT_TRUE(b.CreateEmpty(&device, 22050, 8, 500, 1, 0));
    EXPECT_EQ(fake.sounds.at(b.GetBuffer()).data->size(), 11025u);
    EXPECT_EQ(b.GetId(), -1);
    CDSBuffer s;
    ASSERT_TRUE(s.CreateEmpty(&device, 44100, 16, 250, 2, 0));
    EXPECT_EQ(fake.sounds.at(s.GetBuffer()).data->size(), 44100u);
}

TEST_F(BufferTest, ALostBufferIsRestoredOnceAndThenGivenUp)
{
    CDirectSound device;
    ASSERT_TRUE(device.Create());
    CDSBuffer b;
    ASSERT_TRUE(b.CreateEmpty(&device, 22050, 8, 10, 1, 0));
    const std::vector<uint8_t> bytes{1, 2, 3};
    fake.loseWrites = 1;
    EXPECT_TRUE(b.Write(4, bytes, 0));
    EXPECT_EQ((*fake.sounds.at(b.GetBuffer()).data)[5], 2);
    fake.loseWrites = 2;
    EXPECT_FALSE(b.Write(0, bytes, 0));
    // A write past the end is refused, not clipped.
    EXPECT_FALSE(b.Write(219, bytes, 0));
}

TEST_F(BufferTest, AFailedLoadLeavesTheBufferAsItWas)
{
    CDirectSound device;
    ASSERT_TRUE(device.Create());
    CDSBuffer b;
    ASSERT_TRUE(b.CreateEmpty(&device, 22050, 8, 10, 1, 0));
    uint32_t before = b.GetBuffer();
    zrv::RegisterWaveResource("broken", BrokenWave());
    zrv::RegisterWaveResource("ping", PingWave());
    EXPECT_FALSE(b.LoadResource(&device, "broken", 3, 0));
    fake.loseWrites = 2;
    EXPECT_FALSE(b.LoadResource(&device, "ping", 3, 0));
    EXPECT_EQ(b.GetBuffer(), before);
    EXPECT_EQ(b.GetId(), -1);
    EXPECT_EQ(fake.sounds.size(), 1u) << "the sound of a failed load was kept";
}

}  // namespace
