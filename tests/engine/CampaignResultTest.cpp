#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "battle/engine/Calendar.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HandOverDoc.h"
#include "battle/engine/Judgement.h"
#include "battle/engine/UnitRules.h"
#include "engine/DocFixture.h"
#include "foundation/GameFiles.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

TEST(VictoryFunds, Table)
{
    const DataLibrary& lib = Lib();  // the default library: biases 1
    (void)lib;
    struct Case {
        int income, funds, turnsLeft, outcome, want;
    } cases[] = {
        {100, 50, 0, 1, 100},                   // last turn: the funds, at least the income
        {100, 500, 0, 0, 500},
        {100, 500, -3, 0, 500},                 // past the last turn counts as none left
        {10, 5, 4, 0, 45},
        {10, 5, 4, 2, 10},                      // draw: the income
        {10, 5, 4, -1, 0},
        {4000000, 2000000000, 30000, 0, INT32_MAX},  // wider than 32 bits: kept at the top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.income << " " << c.turnsLeft << " " << c.outcome);
        EXPECT_EQ(VictoryFunds(c.income, c.funds, c.turnsLeft, c.outcome), c.want);
    }
}

class NoStarter : public ProgramStarter {
public:
    Result Start(const std::string&) override { return {}; }
};

class CampaignResultTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        root = fs::temp_directory_path() / ("velmorath-campaign-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "Scenario");
        platform::SetProgramFolder(root.string());
        link = std::make_unique<HandOverLink>(block, starter, root.string());
        doc->SetHandOver(link.get());
        GAMEDATASTRUCT& g = doc->m_GameData;
        g.nVersion = 0x120;
        g.nScenario = 0;
        g.dwGameOption = kOptionCampaign;
        doc->m_dwGameOption = kOptionCampaign | 0x3Fu;
        g.dwDateTime = PackDate(41, 6, 1, 10);
        g.dwEndDate = PackDate(42, 1, 1, 0);
        g.Head.dwStartDate = PackDate(41, 1, 1, 0);
        g.Head.dwTurnLimit = (20u << 16) | 40u;
        g.nTurn = 5;
        std::strcpy(g.Head.szName, "First");
        for (int i = 0; i < 4; ++i) g.Country[i].nCountryId = 10 + i;
        // Side 1 has surrendered: a great victory.
        for (int i : {1, 3}) {
            g.Country[i].dwFlag &= ~kCountryPresent;
            g.Head.nEndState |= 1u << i;
        }
        UNITSTRUCT& u = g.Country[0].Unit[2];
        u.dwFlag = kUnitInUse | kUnitSide1;
        u.nArms = 1;
        u.nHex = 500;
        u.nStrength = 3;
        g.Country[0].nUnit = 1;
    }
    void TearDown() override
    {
        doc->SetHandOver(nullptr);
        std::error_code ec;
        fs::remove_all(root, ec);
        DocFixture::TearDown();
    }
    const CAMPAIGNSTRUCT& R() { return block.Record().Campaign; }

    fs::path root;
    HeapHandOverBlock block;
    NoStarter starter;
    std::unique_ptr<HandOverLink> link;
};

TEST_F(CampaignResultTest, RecordForTheMenuProgram)
{
    block.Record().Campaign.nLevel = 3;  // the menu's own field stays
    EXPECT_EQ(doc->WriteCampaignResult(), (0u << 16) | kMenuCampaignGoesOn);
    const CAMPAIGNSTRUCT& r = R();
    EXPECT_EQ(r.nVersion, 0x120);
    EXPECT_EQ(r.nNextScenario, -1);
    EXPECT_STREQ(r.szTitle, "");
    EXPECT_STREQ(r.szNextFile, "");  // no next scenario: no file either
    // One step on from the current date, then one step back.
    EXPECT_EQ(r.dwDate, GetPrevDateStep(PackDate(41, 6, 1, 10)));
    EXPECT_EQ(r.dwGameOption, kOptionCampaign | 0x00010000u);
    EXPECT_EQ(r.nLastScenario, 0);
    EXPECT_EQ(r.nLevel, 3);
    const uint8_t wantIds[8] = {11, 13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(r.byCountryId, wantIds, 8), 0);
    EXPECT_EQ(r.nHistory, 1);
    EXPECT_EQ(r.History[0].dwScenario, 0u);
    EXPECT_EQ(r.History[0].dwEndDate, PackDate(41, 6, 1, 10));
    EXPECT_STREQ(r.History[0].szName, "First");
    // The player's unit went into the pool; its record is emptied.
    EXPECT_EQ(r.Player.nUnit, 0);
    EXPECT_EQ(r.Player.nIndex, -1);
    EXPECT_EQ(r.Player.dwCpuTarget, 0xAu);
    EXPECT_EQ(r.Player.Unit[2].dwFlag, 0u);
    const UNITSTRUCT& carried = r.CarryUnit[0];
    EXPECT_EQ(carried.dwFlag & (kUnitInUse | kUnitInPool | kUnitSide1), kUnitInUse | kUnitInPool | kUnitSide1);
    EXPECT_EQ(carried.nHex, kNoHex);
    EXPECT_EQ(carried.dwCargo, 0xFFFF0000u);
}

TEST_F(CampaignResultTest, OutsideACampaignOrAfterADefeatOnlyTheOutcomeGoesBack)
{
    doc->m_dwGameOption = 0;
    doc->m_GameData.dwGameOption = 0;
    EXPECT_EQ(doc->WriteCampaignResult(), static_cast<uint32_t>(CampaignOutcome(kJudgeSide0Won)) << 16);
    doc->m_dwGameOption = kOptionCampaign | kOptPlayerSurrendered;
    EXPECT_EQ(doc->WriteCampaignResult(), 0xFFFF0000u);
    EXPECT_EQ(R().nVersion, 0);  // nothing written
}

TEST_F(CampaignResultTest, FullHistoryKeepsTheNewest)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.nHistory = 500;  // from a damaged file
    for (int i = 0; i < kHistoryCount; ++i) g.History[i].dwStartDate = static_cast<uint32_t>(i);
    doc->WriteCampaignResult();
    EXPECT_EQ(R().nHistory, kHistoryCount);
    EXPECT_EQ(R().History[0].dwStartDate, 1u);
    EXPECT_EQ(R().History[126].dwStartDate, 127u);
    EXPECT_STREQ(R().History[127].szName, "First");
}

TEST_F(CampaignResultTest, AFullPoolDropsTheRest)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    for (int i = 0; i < kCarryUnitCount - 1; ++i) g.CarryUnit[i].dwFlag = kUnitInUse | kUnitInPool;
    UNITSTRUCT& second = g.Country[0].Unit[5];
    second = g.Country[0].Unit[2];
    g.Country[0].nUnit = 2;
    doc->WriteCampaignResult();
    int inPool = 0;
    for (const UNITSTRUCT& u : R().CarryUnit) inPool += (u.dwFlag & kUnitInUse) ? 1 : 0;
    EXPECT_EQ(inPool, kCarryUnitCount);
    EXPECT_EQ(R().CarryUnit[kCarryUnitCount - 1].nHex, kNoHex);
}

TEST_F(CampaignResultTest, NextScenarioDatesAndOddStartHours)
{
    // A library whose scenario 0 leads to itself, with its file on disc.
    static DataLibrary lib = zrvtest::FixtureLibrary();
    static std::vector<SCNRBASESTRUCT> scenarios(lib.ScenarioData.begin(), lib.ScenarioData.end());
    for (auto& b : scenarios[0].Branch) b.nNext = 0;
    lib.ScenarioData = scenarios;
    SetLib(&lib);
    auto file = std::make_unique<GAMEDATASTRUCT>();
    std::strcpy(file->Head.szName, "A rather long next scenario name");
    struct Case {
        uint32_t start;
        uint32_t wantDate;
    } cases[] = {
        {PackDate(41, 9, 1, 6), GetPrevDateStep(PackDate(41, 9, 1, 6))},
        // Earlier than now: the next time of day with the start's hour.
        {PackDate(40, 1, 1, 4), GetPrevDateStep(PackDate(41, 6, 2, 4))},
        // An hour no step reaches: given up after a day's steps.
        {PackDate(40, 1, 1, 5), GetPrevDateStep(AdvanceGameDate(PackDate(41, 6, 1, 10), 12))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        file->Head.dwStartDate = c.start;
        ASSERT_TRUE(WriteScenarioFile(platform::ProgramFolder() + "Scenario\\FIXTURE.SC2", *file));
        block.Record().Campaign = CAMPAIGNSTRUCT{};
        doc->WriteCampaignResult();
        EXPECT_EQ(R().nNextScenario, 0);
        EXPECT_STREQ(R().szNextFile, "FIXTURE.SC2");
        EXPECT_EQ(std::strlen(R().szTitle), 31u);
        EXPECT_EQ(R().dwDate, c.wantDate);
    }
}

}  // namespace
}  // namespace zrv
