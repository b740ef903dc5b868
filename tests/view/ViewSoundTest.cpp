// The sound the document asks of the map view: its effects share slot 0, its
// music plays without an error box, and the stop before another program
// takes over lets both devices go.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ViewFixture.h"
#include "audio/FakeAudio.h"
#include "foundation/Sound.h"

namespace viewtest {
namespace {

class ViewSoundTest : public ViewTest {
protected:
    void SetUp() override
    {
        platform::SetAudio(&fake);
        ViewTest::SetUp();
        // The stage's effect files are "SE00.WAV" to "SE47.WAV".
        lib = ViewLibrary();
        for (int i = 0; i < 48; ++i) {
            names[static_cast<size_t>(i)] = (i < 10 ? "SE0" : "SE") + std::to_string(i);
            waves[static_cast<size_t>(i)] = {names[static_cast<size_t>(i)].c_str(), "effect"};
        }
        lib.WaveFileList = waves;
        SetLib(&lib);
        view->m_dwDispOption |= kOptionSoundEffects | kOptionMusic;
    }
    void TearDown() override
    {
        ViewTest::TearDown();
        platform::SetAudio(nullptr);
    }
    int SlotsInUse() const
    {
        int n = 0;
        for (int s = 0; s < kEffectSlots; ++s) n += view->Sound().EffectSlot(s) ? 1 : 0;
        return n;
    }

    testaudio::FakeAudio fake;
    DataLibrary lib;
    std::array<std::string, 48> names;
    std::array<NamePair, 48> waves;
};

TEST_F(ViewSoundTest, TheDocumentsEffectsReplaceEachOtherInSlotZero)
{
    ASSERT_TRUE(view->Sound().SoundReady());
    for (int i = 0; i < 20; ++i) doc->NotifyView(17, 2 + i % 5);
    EXPECT_TRUE(dialogs.Boxes().empty());
    EXPECT_EQ(SlotsInUse(), 1) << "every effect went into a slot of its own";
    const CDSBuffer* slot = view->Sound().EffectSlot(0);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->GetId(), 2 + 19 % 5);
    EXPECT_TRUE(fake.IsSoundPlaying(slot->GetBuffer())) << "the twentieth effect is heard";
}

TEST_F(ViewSoundTest, MusicPlaysWithoutABoxAndStopsForGoodBeforeTheHandOver)
{
    // A track the device cannot play: silence, and no box.
    fake.failPlayError = platform::kMediaBadDevice;
    doc->NotifyView(12, 3);
    EXPECT_TRUE(dialogs.Boxes().empty());
    fake.failPlayError = 0;
    doc->NotifyView(12, 3);
    ASSERT_EQ(fake.tracksPlayed, std::vector<int>{3});

    doc->NotifyView(18);
    fake.DeliverPending();
    EXPECT_FALSE(view->Sound().CDOpen());
    EXPECT_TRUE(fake.musicDevices.empty());
    EXPECT_FALSE(fake.MusicPlaying());
    EXPECT_EQ(fake.tracksPlayed, std::vector<int>{3}) << "the stopped track started again";
    EXPECT_FALSE(view->Sound().SoundReady());
    EXPECT_EQ(SlotsInUse(), 0);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

}  // namespace
}  // namespace viewtest
