// The SDL2_mixer device under the dummy driver, driven through the view's
// sound logic as the programs drive it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <thread>

#include "SoundFixture.h"
#include "foundation/Sound.h"
#include "platform/audio/SdlAudio.h"

using zrv::ViewSound;

namespace {

class SdlAudio : public ::testing::Test {
protected:
    SdlAudio() : folder("sdl")
    {
        // Run by hand too, it must not need (or disturb) a real sound card.
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        // Two seconds each: long enough to be still playing when looked at.
        folder.WriteAllEffects(44100);
        backend = platform::CreateSdlAudioBackend();
        backend->SetWakeHook([this] { ++wakes; });
        platform::SetAudio(backend.get());
    }
    ~SdlAudio() override
    {
        platform::SetAudio(nullptr);
        backend.reset();
    }

    bool SlotPlaying(int slot)
    {
        const zrv::CDSBuffer* b = sound.EffectSlot(slot);
        uint32_t status = 0;
        return b && b->GetStatus(status) && (status & zrv::DSBSTATUS_PLAYING) != 0;
    }

    // Delivers notifications until want have arrived in total, for at most
    // ten seconds of real time (the dummy driver plays in real time).
    void DeliverUntil(const int& count, int want)
    {
        for (int i = 0; i < 2000 && count < want; ++i) {
            backend->DeliverPending();
            ::usleep(5000);
        }
    }

    testaudio::SoundFolder folder;
    std::unique_ptr<platform::AudioBackend> backend;
    std::atomic<int> wakes{0};
    uint32_t option = zrv::kOptionSoundEffects | zrv::kOptionMusic;
    uint32_t state = 0;
    ViewSound sound{option, state};
};

TEST_F(SdlAudio, SixteenSlotsPlayReplayAndStop)
{
    sound.InitDirectSound(true);
    ASSERT_TRUE(sound.SoundReady()) << "no dummy audio device";
    // Half new sounds, half duplicates sharing their data.
    for (int i = 0; i < zrv::kEffectSlots; ++i) ASSERT_EQ(sound.PlaySE(i % 8, -1, 0), i);
    for (int i = 0; i < zrv::kEffectSlots; ++i) EXPECT_TRUE(SlotPlaying(i)) << "slot " << i;
    EXPECT_EQ(sound.PlaySE(9, -1, 0), -1);

    sound.PlayEffectSlot(3, 0);  // still playing: goes on
    EXPECT_TRUE(SlotPlaying(3));
    // A sound replayed in slot 0 over and over; the last one plays.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(sound.PlaySE(20, 0, 1), 0);
    EXPECT_TRUE(SlotPlaying(0));

    const_cast<zrv::CDSBuffer*>(sound.EffectSlot(5))->Stop();
    EXPECT_FALSE(SlotPlaying(5));
    EXPECT_TRUE(SlotPlaying(13)) << "stopping one sound stopped its duplicate";
    sound.PlayEffectSlot(5, 0);
    EXPECT_TRUE(SlotPlaying(5));

    // Levels in hundredths of a decibel and balance, each in its range.
    uint32_t playing = sound.EffectSlot(6)->GetBuffer();
    EXPECT_TRUE(backend->SetSoundVolume(playing, -600));
    EXPECT_TRUE(backend->SetSoundPan(playing, 10000));
    EXPECT_FALSE(backend->SetSoundVolume(playing, 1));
    EXPECT_FALSE(backend->SetSoundPan(playing, -10001));
    EXPECT_TRUE(SlotPlaying(6));

    sound.FreeAllSoundEffects();
    for (int i = 0; i < zrv::kEffectSlots; ++i) EXPECT_EQ(sound.EffectSlot(i), nullptr);
    EXPECT_TRUE(folder.dialogs.Boxes().empty());
}

TEST_F(SdlAudio, DamagedWavesAreRefusedCleanly)
{
    sound.InitDirectSound(true);
    ASSERT_TRUE(sound.SoundReady());
    using testaudio::WaveBytes;
    folder.Write("SE01.WAV", WaveBytes().Format(1, 22050, 8).Chunk("data", {1, 2, 3, 4}, 1 << 20).Bytes());
    folder.Write("SE02.WAV", WaveBytes().Format(0, 22050, 8).Data({1, 2, 3, 4}).Bytes());
    folder.Write("SE03.WAV", {'R', 'I', 'F', 'F'});
    for (int effect : {1, 2, 3}) {
        SCOPED_TRACE(effect);
        folder.dialogs.Clear();
        EXPECT_EQ(sound.PlaySE(effect, -1, 0), -1);
        EXPECT_EQ(folder.dialogs.Boxes().size(), 1u);
    }
    EXPECT_EQ(sound.PlaySE(4, -1, 0), 0) << "a good file after bad ones";
}

TEST_F(SdlAudio, ReleaseAndInitReopenTheDevice)
{
    sound.InitDirectSound(true);
    ASSERT_EQ(sound.PlaySE(1, -1, 1), 0);
    sound.ReleaseDirectSound();
    EXPECT_EQ(sound.EffectSlot(0), nullptr);
    sound.InitDirectSound(true);
    ASSERT_TRUE(sound.SoundReady());
    ASSERT_EQ(sound.PlaySE(1, -1, 0), 0);
    EXPECT_TRUE(SlotPlaying(0));
}

TEST_F(SdlAudio, EveryStartedPlayEndsOnceOnTheDrainingThread)
{
    // Track 2 runs 5 seconds (cut short here), track 3 a twentieth of one.
    folder.Write("Music/Track02.wav", testaudio::SimpleWave(5 * 22050));
    folder.Write("Music/Track03.wav", testaudio::SimpleWave(1100));
    int error = 0;
    uint32_t device = backend->OpenMusic(error);
    ASSERT_NE(device, 0u) << error;
    int ends = 0;
    std::vector<uint32_t> devices;
    const auto mainThread = std::this_thread::get_id();
    auto note = [&](uint32_t d) {
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
        devices.push_back(d);
        ++ends;
    };

    // The same track twice: the first play is superseded.
    ASSERT_EQ(backend->PlayMusicTrack(device, 2, note), 0);
    ASSERT_EQ(backend->PlayMusicTrack(device, 2, note), 0);
    // Stopped: ends once, and a second stop adds nothing.
    EXPECT_EQ(backend->StopMusic(device), 0);
    EXPECT_EQ(backend->StopMusic(device), 0);
    EXPECT_EQ(ends, 0) << "ran outside the drain";
    backend->DeliverPending();
    EXPECT_EQ(ends, 2);
    EXPECT_GE(wakes.load(), 2);

    // Played to its natural end.
    ASSERT_EQ(backend->PlayMusicTrack(device, 3, note), 0);
    DeliverUntil(ends, 3);
    EXPECT_EQ(ends, 3);
    EXPECT_EQ(devices, (std::vector<uint32_t>(3, device)));

    EXPECT_EQ(backend->PlayMusicTrack(device, 9, note), platform::kMediaNoTrackFile);
    backend->CloseMusic(device);
    EXPECT_EQ(backend->PlayMusicTrack(device, 2, note), platform::kMediaBadDevice);
    uint32_t next = backend->OpenMusic(error);
    EXPECT_NE(next, device) << "a device id came back";
    backend->CloseMusic(next);
    backend->DeliverPending();
    EXPECT_EQ(ends, 3);
}

TEST_F(SdlAudio, TheViewRepeatsATrackAndForgetsAClosedOne)
{
    folder.Write("Music/Track01.wav", testaudio::SimpleWave(1100));
    ASSERT_EQ(sound.PlayCDTrack(1, true), 0);
    uint32_t device = sound.CDDevice();
    // Every natural end wakes the UI thread once; after three, the view has
    // started the track again at least twice.
    for (int i = 0; i < 2000 && wakes.load() < 3; ++i) {
        backend->DeliverPending();
        ::usleep(5000);
    }
    backend->DeliverPending();
    int plays = wakes.load();
    EXPECT_GE(plays, 2) << "the track did not come round again";
    EXPECT_EQ(sound.CDDevice(), device);
    EXPECT_TRUE(sound.CDOpen());
    EXPECT_EQ(sound.CDPlayCount(), 1);

    sound.CloseCDAudio();
    backend->DeliverPending();
    EXPECT_FALSE(sound.CDOpen());
    EXPECT_EQ(state & zrv::kStateCDPlaying, 0u);
    EXPECT_TRUE(folder.dialogs.Boxes().empty());
}

}  // namespace
