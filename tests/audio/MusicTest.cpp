// The music track state machine of a view on a recording device, and the
// status text of a track.
#include <gtest/gtest.h>

#include "FakeAudio.h"
#include "SoundFixture.h"
#include "foundation/Music.h"
#include "foundation/Sound.h"

using zrv::ViewSound;

namespace {

class Music : public ::testing::Test {
protected:
    Music() : folder("music") { platform::SetAudio(&fake); }
    ~Music() override { platform::SetAudio(nullptr); }

    void Deliver() { fake.DeliverPending(); }
    bool Playing() const { return (state & zrv::kStateCDPlaying) != 0; }

    testaudio::SoundFolder folder;
    testaudio::FakeAudio fake;
    uint32_t option = zrv::kOptionSoundEffects | zrv::kOptionMusic;
    uint32_t state = 0;
    ViewSound sound{option, state};
};

TEST_F(Music, TrackTwoPlaysMusicFileTwoAndRepeats)
{
    EXPECT_EQ(sound.PlayCDTrack(2, true), 0);
    ASSERT_EQ(fake.tracksPlayed, std::vector<int>{2});
    EXPECT_TRUE(sound.CDOpen());
    EXPECT_EQ(sound.CDTrack(), 2);
    EXPECT_EQ(sound.CDPlayCount(), 1);
    EXPECT_EQ(state & (zrv::kStateCDPlaying | zrv::kStateCDRepeat), zrv::kStateCDPlaying | zrv::kStateCDRepeat);

    fake.EndTrack();
    EXPECT_EQ(sound.CDPlayCount(), 1) << "an end ran before the UI thread drained it";
    Deliver();
    EXPECT_EQ(fake.tracksPlayed, (std::vector<int>{2, 2}));
    EXPECT_EQ(sound.CDPlayCount(), 1);
    EXPECT_TRUE(Playing());
}

TEST_F(Music, NothingHappensWithMusicOffOrNoTrack)
{
    for (int track : {0, -3}) {
        SCOPED_TRACE(track);
        EXPECT_EQ(sound.PlayCDTrack(track, true), 0);
    }
    option &= ~zrv::kOptionMusic;
    EXPECT_EQ(sound.PlayCDTrack(4, true), 0);
    EXPECT_TRUE(fake.musicDevices.empty());
    EXPECT_TRUE(fake.tracksPlayed.empty());
    EXPECT_EQ(sound.CDTrack(), 0);
    EXPECT_EQ(state, 0u);
}

TEST_F(Music, ASupersededPlayIsAbsorbedByTheCount)
{
    sound.PlayCDTrack(4, true);
    sound.PlayCDTrack(5, true);
    EXPECT_EQ(sound.CDPlayCount(), 2);
    Deliver();  // the end of the cut-off track 4
    EXPECT_EQ(sound.CDPlayCount(), 1);
    EXPECT_EQ(fake.tracksPlayed, (std::vector<int>{4, 5}));
    EXPECT_TRUE(fake.MusicPlaying());

    fake.EndTrack();
    Deliver();
    EXPECT_EQ(fake.tracksPlayed, (std::vector<int>{4, 5, 5}));
    EXPECT_EQ(sound.CDPlayCount(), 1);
    EXPECT_TRUE(Playing());
}

TEST_F(Music, WithoutRepeatTheEndClosesTheDevice)
{
    sound.PlayCDTrack(3, true);
    state &= ~zrv::kStateCDRepeat;
    fake.EndTrack();
    Deliver();
    EXPECT_FALSE(sound.CDOpen());
    EXPECT_FALSE(Playing());
    EXPECT_EQ(sound.CDTrack(), 0);
    EXPECT_TRUE(fake.musicDevices.empty());
}

TEST_F(Music, AStoppedAndClosedTrackLeavesNothingBehind)
{
    sound.PlayCDTrack(3, true);
    uint32_t oldDevice = sound.CDDevice();
    sound.CloseCDAudio();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(sound.CDDevice(), 0u);
    // The stop's own end arrives late, for the old device: ignored.
    Deliver();
    EXPECT_EQ(fake.tracksPlayed, std::vector<int>{3});
    EXPECT_FALSE(sound.CDOpen());

    // A new open gets a new id, so an old end cannot be taken for its own.
    sound.PlayCDTrack(3, true);
    EXPECT_NE(sound.CDDevice(), oldDevice);
    sound.OnMCINotify(oldDevice);
    EXPECT_EQ(sound.CDPlayCount(), 1);
}

TEST_F(Music, TheTitleDialogStopsTheMusicForGood)
{
    // It clears the repeat bit and stops without counting down; the stopped
    // play's end then closes the device.
    sound.PlayCDTrack(1, true);
    state &= ~zrv::kStateCDRepeat;
    EXPECT_EQ(sound.StopCDAudio(0), 0);
    EXPECT_TRUE(sound.CDOpen());
    Deliver();
    EXPECT_FALSE(sound.CDOpen());
    EXPECT_EQ(fake.tracksPlayed, std::vector<int>{1});
    // With count-down the stop is final at once.
    sound.PlayCDTrack(1, true);
    EXPECT_EQ(sound.StopCDAudio(1), 1);
    EXPECT_FALSE(Playing());
}

TEST_F(Music, AFailedPlayClosesTheDeviceAndSpeaksOnlyWhenAsked)
{
    sound.PlayCDTrack(2, true);
    fake.failPlayError = platform::kMediaNoTrackFile;
    for (bool ask : {false, true}) {
        SCOPED_TRACE(ask);
        folder.dialogs.Clear();
        EXPECT_EQ(sound.PlayCDTrack(7, ask), platform::kMediaNoTrackFile);
        EXPECT_FALSE(sound.CDOpen());
        EXPECT_FALSE(Playing());
        EXPECT_EQ(sound.CDTrack(), 0);
        EXPECT_TRUE(fake.musicDevices.empty());
        ASSERT_EQ(folder.dialogs.Boxes().size(), ask ? 1u : 0u);
        if (ask) {
            EXPECT_STREQ(folder.dialogs.Boxes()[0].text.c_str(), platform::MediaErrorText(platform::kMediaNoTrackFile));
        }
    }
    Deliver();  // the end of track 2, cut off by the failed play's close
    EXPECT_FALSE(sound.CDOpen());
}

TEST_F(Music, NoDeviceReportsOnlyWhenAsked)
{
    fake.failMusic = true;
    sound.OpenCDAudio(false);
    EXPECT_TRUE(folder.dialogs.Boxes().empty());
    sound.OpenCDAudio(true);
    EXPECT_EQ(folder.dialogs.Boxes().size(), 1u);
    EXPECT_EQ(sound.PlayCDTrack(2, true), 0) << "a play without a device is no error";
    EXPECT_EQ(folder.dialogs.Boxes().size(), 1u);
}

TEST_F(Music, TheMenuRemembersTheTrackEvenWithMusicOff)
{
    ViewSound menu(option, state, ViewSound::Kind::Menu);
    option &= ~zrv::kOptionMusic;
    EXPECT_EQ(menu.PlayCDTrack(2, false), 0);
    EXPECT_EQ(menu.CDTrack(), 2);
    EXPECT_TRUE(fake.tracksPlayed.empty());
    EXPECT_EQ(sound.PlayCDTrack(2, false), 0);
    EXPECT_EQ(sound.CDTrack(), 0);
}

TEST_F(Music, AnEndQueuedForAViewThatIsGoneIsDropped)
{
    auto view = std::make_unique<ViewSound>(option, state);
    view->PlayCDTrack(1, false);
    fake.EndTrack();
    view.reset();
    Deliver();  // must not reach the deleted view
    EXPECT_EQ(fake.tracksPlayed, std::vector<int>{1});
}

TEST(MusicEndQueue, EachPlayEndsOnceWhateverEndsIt)
{
    platform::MusicEndQueue q;
    int wakes = 0;
    q.SetWakeHook([&] { ++wakes; });
    std::vector<uint32_t> ended;
    auto note = [&](uint32_t d) { ended.push_back(d); };
    uint64_t a = q.Start(7, note);
    uint64_t b = q.Start(8, note);
    uint64_t c = q.Start(9, note);
    EXPECT_TRUE(q.End(a));
    EXPECT_FALSE(q.End(a));  // stopped, then SDL's own hook for the same play
    EXPECT_TRUE(q.End(b));
    q.Cancel(c);  // never started
    EXPECT_FALSE(q.End(c));
    EXPECT_EQ(wakes, 2);
    EXPECT_TRUE(ended.empty()) << "ran before the drain";
    EXPECT_EQ(q.Deliver(), 2u);
    EXPECT_EQ(ended, (std::vector<uint32_t>{7, 8}));
    EXPECT_EQ(q.Deliver(), 0u);
}

class FixedTracks : public zrv::CDTrackInfo {
public:
    int count = 12;
    int error = 0;
    int NumberOfTracks(int& n) const override
    {
        n = count;
        return error;
    }
    int TrackStart(int track, int& m, int& s) const override
    {
        // Track t starts at t + 1 minutes and t + 2 seconds.
        m = track + 1;
        s = track + 2;
        return error;
    }
};

TEST(FormatCDAudioStatus, TrackCountAndStart)
{
    FixedTracks info;
    std::string text;
    EXPECT_EQ(zrv::FormatCDAudioStatus(3, text, info), 0);
    EXPECT_EQ(text, " 3/12 - 04:05");
    info.count = 15;
    EXPECT_EQ(zrv::FormatCDAudioStatus(12, text, info), 0);
    EXPECT_EQ(text, "12/15 - 13:14");
    info.error = platform::kMediaNoDevice;
    EXPECT_EQ(zrv::FormatCDAudioStatus(3, text, info), platform::kMediaNoDevice);
    EXPECT_EQ(text, "");
}

}  // namespace
