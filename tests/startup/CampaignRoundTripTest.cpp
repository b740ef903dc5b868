// A campaign record through one whole round: the menu program's launcher
// writes it into a real shared block with a new-scenario command, the battle
// document takes it, ends the scenario and writes its result back with the
// hand-back, and a fresh menu document reads it. The menu's own bit of the
// game option word ("extra scenario reached") must come back as it went.

#include <sys/mman.h>

#include "battle/engine/Judgement.h"
#include "menu/MenuDoc.h"
#include "menu/MenuView.h"
#include "platform/core/Settings.h"
#include "platform/core/SharedBlock.h"
#include "startup/StartFixture.h"

namespace startuptest {
namespace {

constexpr uint32_t kExtraScenarioReached = 1u << 21;

// Writes the block as the menu's start-up launcher does: argument, path, the
// caller's fields, the command last.
class BlockStarter : public BattleStarter {
public:
    explicit BlockStarter(platform::SharedBlock& block) : m_block(block) {}
    bool LaunchBattle(uint32_t command, int32_t param, const std::string& path,
                      const std::function<void(platform::SharedBlock&)>& fill, const std::vector<std::string>&,
                      std::string*) override
    {
        char text[kPathLength] = {};
        std::memcpy(text, path.data(), std::min(path.size(), sizeof text - 1));
        m_block.Write(offsetof(GAMEMENUSTRUCT, nParam), &param, sizeof param);
        m_block.Write(offsetof(GAMEMENUSTRUCT, szPath), text, sizeof text);
        if (fill) fill(m_block);
        m_block.WriteU32(0, command);
        ++launches;
        return true;
    }
    int launches = 0;

private:
    platform::SharedBlock& m_block;
};

class CampaignRoundTrip : public StartFixture {
protected:
    void SetUp() override
    {
        StartFixture::SetUp();
        name = "/velmorath-roundtrip-" + std::to_string(getpid());
        shm_unlink(name.c_str());
        ASSERT_TRUE(shared.Create(name, kGameMenuBlockSize));
        shared.WriteU32(0, GMC_FIRSTSTART);
        sharedLink = std::make_unique<SharedHandOverBlock>(shared);
        doc->SetHandOver(nullptr);
        link = std::make_unique<HandOverLink>(*sharedLink, starter, "/opt/velmorath");
        doc->SetHandOver(link.get());
    }
    void TearDown() override
    {
        doc->SetHandOver(nullptr);
        shared.Close();
        shm_unlink(name.c_str());
        StartFixture::TearDown();
    }

    std::string name;
    platform::SharedBlock shared;
    std::unique_ptr<SharedHandOverBlock> sharedLink;
    platform::MemorySettingsStore settings;
};

TEST_F(CampaignRoundTrip, TheExtraScenarioBitOfTheOptionWordSurvivesABattle)
{
    // The menu side: a campaign record for the fixture scenario with the
    // extra scenario reached, launched as the next campaign scenario.
    {
        CZRKMenuView view(&settings);
        CZRKMenuDoc menu(&settings);
        BlockStarter launcher(shared);
        menu.SetBlock(&shared);
        menu.SetView(&view);
        menu.SetStarter(&launcher);
        menu.OnNewDocument();
        CAMPAIGNSTRUCT& r = *menu.m_pCampaign;
        r.nNextScenario = 0;
        std::strcpy(r.szNextFile, "FIXTURE.SC2");
        r.dwDate = kFixtureStart;
        r.dwGameOption = kOptNewCampaign | kExtraScenarioReached;
        menu.LaunchBattle(GMC_CAMPAIGNSCENARIO, 0, ScenarioFile());
        ASSERT_EQ(launcher.launches, 1);
    }

    // The battle side takes the command and plays the scenario to a win.
    ASSERT_EQ(doc->ReadStartupCommand(), static_cast<int>(GMC_CAMPAIGNSCENARIO));
    EXPECT_NE(doc->m_dwGameOption & kExtraScenarioReached, 0u);
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.Country[1].dwFlag &= ~kCountryPresent;
    g.Head.nEndState |= 1u << 1;
    const uint32_t argument = doc->WriteCampaignResult();
    ASSERT_EQ(argument & 0xFFFFu, kMenuCampaignGoesOn);
    HandBackToMenu(*doc, *link, GMC_CAMPAIGNNEXT, static_cast<int>(argument >> 16));

    // A fresh menu program takes the record with the hand-back.
    CZRKMenuView view(&settings);
    CZRKMenuDoc menu(&settings);
    menu.SetBlock(&shared);
    menu.SetView(&view);
    ASSERT_TRUE(menu.OnNewDocument());
    const uint32_t word = menu.m_pCampaign->dwGameOption;
    EXPECT_NE(word & kExtraScenarioReached, 0u) << std::hex << word;
    // What the battle does to the word on the way: running bits cleared, bit 16 set.
    EXPECT_EQ(word & kOptRunningMask, 0u);
    EXPECT_NE(word & 0x00010000u, 0u);
}

}  // namespace
}  // namespace startuptest
