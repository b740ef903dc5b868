// The 16 effect slots of a view on a recording device.
#include <gtest/gtest.h>

#include "FakeAudio.h"
#include "SoundFixture.h"
#include "foundation/Sound.h"

using zrv::ViewSound;

namespace {

class EffectSlots : public ::testing::Test {
protected:
    EffectSlots() : folder("slots")
    {
        folder.WriteAllEffects(2000);
        platform::SetAudio(&fake);
    }
    ~EffectSlots() override { platform::SetAudio(nullptr); }

    void Ready()
    {
        sound.InitDirectSound(true);
        ASSERT_TRUE(sound.SoundReady());
    }
    int SlotCount() const
    {
        int n = 0;
        for (int i = 0; i < zrv::kEffectSlots; ++i) n += sound.EffectSlot(i) ? 1 : 0;
        return n;
    }
    bool SlotPlaying(int slot)
    {
        const zrv::CDSBuffer* b = sound.EffectSlot(slot);
        return b && fake.IsSoundPlaying(b->GetBuffer());
    }

    testaudio::SoundFolder folder;
    testaudio::FakeAudio fake;
    uint32_t option = zrv::kOptionSoundEffects | zrv::kOptionMusic;
    uint32_t state = 0;
    ViewSound sound{option, state};
};

TEST_F(EffectSlots, EffectsOffPlaysAndLoadsNothing)
{
    Ready();
    option &= ~zrv::kOptionSoundEffects;
    EXPECT_EQ(sound.PlaySE(32, -1, 0), -1);
    EXPECT_EQ(sound.LoadSoundEffect(32, 0), -1);
    EXPECT_EQ(fake.creates, 0);
    EXPECT_EQ(SlotCount(), 0);
    EXPECT_TRUE(folder.dialogs.Boxes().empty());
}

TEST_F(EffectSlots, SameEffectTwiceSharesOneLoad)
{
    Ready();
    EXPECT_EQ(sound.PlaySE(32, -1, 0), 0);
    // The file is gone: the second request must not need it.
    std::filesystem::remove(folder.root / "SE32.WAV");
    EXPECT_EQ(sound.PlaySE(32, -1, 0), 1);
    EXPECT_EQ(fake.creates, 1);
    EXPECT_EQ(fake.duplicates, 1);
    EXPECT_EQ(sound.EffectSlot(1)->GetId(), 32);
    EXPECT_TRUE(SlotPlaying(0));
    EXPECT_TRUE(SlotPlaying(1));
}

TEST_F(EffectSlots, AGivenSlotIsStoppedAndFreedBeforeItsNewSound)
{
    Ready();
    ASSERT_EQ(sound.PlaySE(5, 3, 1), 3);
    uint32_t old = sound.EffectSlot(3)->GetBuffer();
    fake.log.clear();
    ASSERT_EQ(sound.PlaySE(6, 3, 0), 3);
    const std::vector<std::string> want{"stop " + std::to_string(old), "release " + std::to_string(old)};
    ASSERT_GE(fake.log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(fake.log.begin(), fake.log.begin() + 2), want);
    EXPECT_EQ(fake.log[2].rfind("create ", 0), 0u);
    EXPECT_EQ(sound.EffectSlot(3)->GetId(), 6);
}

TEST_F(EffectSlots, SlotZeroCutsOffTheLastEffectAndReadsTheFileAgain)
{
    Ready();
    ASSERT_EQ(sound.PlaySE(32, 0, 0), 0);
    ASSERT_EQ(sound.PlaySE(32, 0, 0), 0);
    EXPECT_EQ(fake.creates, 2);
    EXPECT_EQ(fake.duplicates, 0);
    EXPECT_EQ(fake.PlayingSounds(), 1);
}

TEST_F(EffectSlots, AllSixteenSlotsPlayReplayAndStop)
{
    Ready();
    for (int i = 0; i < zrv::kEffectSlots; ++i) EXPECT_EQ(sound.PlaySE(i, -1, 0), i);
    EXPECT_EQ(fake.PlayingSounds(), 16);
    EXPECT_EQ(sound.PlaySE(20, -1, 0), -1) << "a 17th sound found a slot";
    EXPECT_TRUE(folder.dialogs.Boxes().empty());

    // A sound still playing is not restarted.
    int sets = fake.positionSets;
    sound.PlayEffectSlot(4, 0);
    EXPECT_EQ(fake.positionSets, sets);
    // One that has ended starts again from the top.
    fake.sounds.at(sound.EffectSlot(4)->GetBuffer()).playing = false;
    fake.sounds.at(sound.EffectSlot(4)->GetBuffer()).position = 77;
    sound.PlayEffectSlot(4, 1);
    EXPECT_TRUE(SlotPlaying(4));
    EXPECT_EQ(fake.sounds.at(sound.EffectSlot(4)->GetBuffer()).position, 0u);
    EXPECT_TRUE(fake.sounds.at(sound.EffectSlot(4)->GetBuffer()).loop);

    sound.FreeSoundEffect(4);
    EXPECT_EQ(sound.EffectSlot(4), nullptr);
    EXPECT_EQ(sound.PlaySE(40, -1, 0), 4) << "the freed slot is the lowest free one";
    sound.FreeAllSoundEffects();
    EXPECT_EQ(SlotCount(), 0);
    EXPECT_TRUE(fake.sounds.empty());
}

TEST_F(EffectSlots, AFileThatCannotBeLoadedIsReportedAndLeavesTheSlotFree)
{
    Ready();
    std::filesystem::remove(folder.root / "SE10.WAV");
    folder.Write("SE11.WAV", testaudio::WaveBytes().Format(0, 22050, 8).Data({1, 2}).Bytes());
    for (int effect : {10, 11}) {
        SCOPED_TRACE(effect);
        folder.dialogs.Clear();
        EXPECT_EQ(sound.PlaySE(effect, 2, 0), -1);
        ASSERT_EQ(folder.dialogs.Boxes().size(), 1u);
        EXPECT_EQ(folder.dialogs.Boxes()[0].text, "Can't load Weve file !");
        EXPECT_EQ(sound.EffectSlot(2), nullptr);
    }
}

TEST_F(EffectSlots, IndexesAndSlotsOutsideTheirRangesAreRefusedQuietly)
{
    Ready();
    ASSERT_EQ(sound.PlaySE(1, 5, 0), 5);
    struct Case {
        int effect, slot;
    } cases[] = {{48, -1}, {1000, 0}, {-1, 0}, {1, 16}, {1, -2}, {1, 1 << 20}};
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "effect " << c.effect << " slot " << c.slot);
        EXPECT_EQ(sound.PlaySE(c.effect, c.slot, 0), -1);
    }
    EXPECT_EQ(fake.creates, 1);
    EXPECT_TRUE(SlotPlaying(5)) << "a refused request touched a slot";
    EXPECT_TRUE(folder.dialogs.Boxes().empty());
    // Slot calls with a bad slot do nothing.
    sound.PlayEffectSlot(99, 0);
    sound.FreeSoundEffect(-7);
}

TEST_F(EffectSlots, NoDeviceMeansSilenceAndOneMessageOnlyWhenAsked)
{
    fake.failEffects = true;
    sound.InitDirectSound(false);
    EXPECT_TRUE(folder.dialogs.Boxes().empty());
    sound.InitDirectSound(true);
    ASSERT_EQ(folder.dialogs.Boxes().size(), 1u);
    EXPECT_EQ(folder.dialogs.Boxes()[0].text, "no sound device");
    EXPECT_FALSE(sound.SoundReady());
    EXPECT_EQ(sound.DirectSound(), nullptr) << "the failed device was kept";
    EXPECT_EQ(sound.PlaySE(3, 0, 0), -1);
    sound.ReleaseDirectSound();
}

TEST_F(EffectSlots, ReleaseAndInitAroundAMovieFreeTheSlotsAndReopenTheDevice)
{
    Ready();
    sound.PlaySE(1, -1, 1);
    sound.PlaySE(2, -1, 1);
    sound.ReleaseDirectSound();
    EXPECT_EQ(SlotCount(), 0);
    EXPECT_TRUE(fake.effectDevices.empty());
    EXPECT_TRUE(fake.sounds.empty());
    EXPECT_EQ(sound.PlaySE(1, -1, 0), -1);

    sound.InitDirectSound(false);
    EXPECT_EQ(fake.opens, 2);
    EXPECT_EQ(sound.PlaySE(1, -1, 0), 0);
    // A second init without a release closes the first device.
    sound.InitDirectSound(false);
    EXPECT_EQ(fake.effectDevices.size(), 1u);
    EXPECT_EQ(SlotCount(), 0);
}

TEST(NoAudioDevice, EveryRequestIsSilentAndNothingFails)
{
    // The null backend: what a machine without a sound device gets.
    testaudio::SoundFolder folder("nodevice");
    folder.WriteAllEffects(100);
    uint32_t option = zrv::kOptionSoundEffects | zrv::kOptionMusic;
    uint32_t state = 0;
    ViewSound sound(option, state);
    sound.InitDirectSound(false);
    sound.OpenCDAudio(false);
    EXPECT_EQ(sound.PlaySE(1, 0, 0), -1);
    EXPECT_EQ(sound.PlayCDTrack(1, false), 0);
    EXPECT_FALSE(sound.CDOpen());
    EXPECT_EQ(state, 0u);
    EXPECT_TRUE(folder.dialogs.Boxes().empty());
}

}  // namespace
