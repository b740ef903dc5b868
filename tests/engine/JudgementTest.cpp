#include <gtest/gtest.h>

#include <vector>

#include "battle/engine/GameStart.h"
#include "battle/engine/Judgement.h"
#include "engine/DocFixture.h"

namespace zrv {
namespace {

class JudgementTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        // Mid-operation: the last date lies ahead.
        G().dwDateTime = 900;
        G().dwEndDate = 1000;
    }
    GAMEDATASTRUCT& G() { return doc->m_GameData; }
    COUNTRYSTRUCT& Country(int i) { return G().Country[i]; }
    // Countries 0 and 2 human on side 0, 1 and 3 computer-run on side 1.
    void Remove(int i) { Country(i).dwFlag &= ~kCountryPresent; }
};

TEST_F(JudgementTest, JudgeGameStateTable)
{
    struct Case {
        const char* what;
        uint32_t option;
        bool campaign;
        int turn, campaignBonus;
        std::vector<int> removed;
        std::vector<int> capitalLost;
        bool endDate;
        int want;
    } cases[] = {
        {"both sides present", 0, false, 1, 0, {}, {}, false, kJudgePlayOn},
        {"side 1 gone", 0, false, 1, 0, {1, 3}, {}, false, kJudgeSide0Won},
        {"side 1 gone, campaign, before deadline", 0, true, 5, 0, {1, 3}, {}, false, kJudgeGreatVictory},
        {"side 1 gone, campaign, after deadline", 0, true, 11, 0, {1, 3}, {}, false, kJudgeVictory},
        {"side 1 gone, campaign, bonus granted", 0, true, 5, 1, {1, 3}, {}, false, kJudgeVictory},
        {"side 0 gone", 0, false, 1, 0, {0, 2}, {}, false, kJudgeSide1Won},
        {"everybody gone", 0, false, 1, 0, {0, 1, 2, 3}, {}, false, kJudgeDraw},
        {"only computers", 0, false, 1, 0, {0, 2}, {}, false, kJudgeSide1Won},
        {"capital lost does not count", 0, false, 1, 0, {1}, {3}, false, kJudgeSide0Won},
        {"end date", 0, false, 1, 0, {}, {}, true, kJudgeDraw},
        {"player surrendered", kOptPlayerSurrendered, true, 1, 0, {}, {}, false, kJudgeDefeat},
        {"won by surrender", kOptWonBySurrender, true, 1, 0, {}, {}, false, kJudgeGreatVictory},
        {"won by surrender late", kOptWonBySurrender, true, 20, 0, {}, {}, false, kJudgeVictory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        G().Head.dwTurnLimit = (10u << 16) | 30u;
        G().nTurn = c.turn;
        G().nCampaign = c.campaignBonus;
        G().dwGameOption = c.campaign ? kOptionCampaign : 0;
        G().dwEndDate = 1000;
        G().dwDateTime = c.endDate ? 1000 : 900;
        for (int i : c.removed) Remove(i);
        for (int i : c.capitalLost) Country(i).dwFlag |= kCountryCapitalLost;
        EXPECT_EQ(JudgeGameState(G(), c.option | G().dwGameOption), c.want);
    }
}

TEST_F(JudgementTest, OnlyComputersLeftGivesSixUnlessTheyMayPlayAlone)
{
    // Humans 0 and 2 lose their capitals; computer countries 1 and 3 stay on
    // side 1 and a computer-run side-0 country keeps the war going.
    Country(0).dwFlag |= kCountryCapitalLost;
    Country(2).nControl = 1;
    Country(2).dwFlag |= kCountryCpu;
    EXPECT_EQ(JudgeGameState(G(), 0), kJudgeNoHumanLeft);
    EXPECT_EQ(JudgeGameState(G(), kOptCpuMayPlayAlone), kJudgePlayOn);
    G().dwDateTime = G().dwEndDate = 77;
    EXPECT_EQ(JudgeGameState(G(), kOptCpuMayPlayAlone), kJudgeDraw);
}

TEST_F(JudgementTest, StepJudgementAnnouncesAndRecords)
{
    struct Case {
        uint32_t option;
        std::vector<int> removed;
        int wantResult;
        const char* wantBox;  // nullptr: no box
    } cases[] = {
        {0, {}, 1, nullptr},
        {kOptTextRecord, {1, 3}, 0, "枢軸軍側が勝利を収めました"},
        {kOptTextRecord | kOptionCampaign | kOptPlayerSurrendered, {}, 0, nullptr},  // no box in a campaign
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        SetUp();
        const size_t boxes = dialogs.Boxes().size();
        doc->m_dwGameOption = c.option;
        for (int i : c.removed) Remove(i);
        EXPECT_EQ(doc->StepJudgement(), c.wantResult);
        if (c.wantBox) {
            ASSERT_EQ(dialogs.Boxes().size(), boxes + 1);
            EXPECT_EQ(dialogs.Boxes().back().text, c.wantBox);
        } else {
            EXPECT_EQ(dialogs.Boxes().size(), boxes);
        }
        if (c.wantResult == 0) {
            ASSERT_FALSE(doc->m_StubRecords.empty());
            const std::string want =
                std::string("*** ") + std::string(JudgementMessage(JudgeGameState(G(), c.option))) + " ***\n";
            EXPECT_EQ(doc->m_StubRecords.back(), want);
        }
    }
}

TEST_F(JudgementTest, CampaignPlayerSurrenderIsADefeat)
{
    doc->m_dwGameOption = kOptionCampaign | kOptTextRecord;
    EXPECT_EQ(doc->SurrenderCountry(0), 1);
    EXPECT_TRUE(doc->m_dwGameOption & kOptPlayerSurrendered);
    EXPECT_EQ(G().Head.nEndState & 1u, 1u);
    // Returned before the country is taken out of play.
    EXPECT_EQ(doc->StubCalls(DocStub::RemoveCountryFromPlay), 0);
    EXPECT_EQ(doc->StepJudgement(), 0);
    ASSERT_GE(doc->m_StubRecords.size(), 2u);
    EXPECT_EQ(doc->m_StubRecords.back(), "*** 敗北したのでゲームを中断します ***\n");
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(JudgementTest, LastHumanSurrenderAsksWhetherToGoOn)
{
    for (int answer : {kAnswerNo, kAnswerYes}) {
        SCOPED_TRACE(answer);
        SetUp();
        // Country 2 is run by the computer: country 0 is the last human.
        Country(2).nControl = 1;
        Country(2).dwFlag |= kCountryCpu;
        const size_t boxes = dialogs.Boxes().size();
        dialogs.QueueAnswer(answer);
        doc->m_nCpuStep = 9;
        const int ended = doc->SurrenderCountry(0);
        ASSERT_EQ(dialogs.Boxes().size(), boxes + 1);
        EXPECT_EQ(dialogs.Boxes().back().text, "このままゲームを続行しますか");
        EXPECT_EQ(doc->StubCalls(DocStub::RemoveCountryFromPlay), 1);
        if (answer == kAnswerNo) {
            EXPECT_EQ(ended, 1);
            EXPECT_TRUE(doc->m_dwGameOption & kOptPlayerStopped);
            EXPECT_EQ(doc->StepJudgement(), 0);
        } else {
            EXPECT_EQ(ended, 0);
            EXPECT_EQ(doc->m_nCpuStep, 0);
            EXPECT_EQ(doc->StepJudgement(), 1);  // the computers play on
            G().dwDateTime = G().dwEndDate = 55;
            EXPECT_EQ(doc->StepJudgement(), 0);  // until the last date: a draw
            EXPECT_EQ(dialogs.Boxes().back().text, "引き分けました");
        }
    }
}

TEST_F(JudgementTest, SurrenderOfTheLastEnemyWinsTheCampaign)
{
    doc->m_dwGameOption = kOptionCampaign;
    G().dwGameOption = kOptionCampaign;
    Remove(3);
    EXPECT_EQ(doc->SurrenderCountry(1), 1);
    EXPECT_TRUE(doc->m_dwGameOption & kOptWonBySurrender);
    EXPECT_EQ(G().Head.nEndState, 2u);
}

TEST_F(JudgementTest, CountriesWithoutUnitsSurrender)
{
    doc->m_dwGameOption = kOptionCampaign;
    G().dwGameOption = kOptionCampaign;
    Country(1).Unit[4].dwFlag = kUnitInUse;  // country 1 still has a unit; 3 has none
    const uint32_t result = doc->SurrenderUnitlessCountries(0x0Au);
    EXPECT_EQ(result & 0xFFu, 0x08u);
    EXPECT_EQ(result & 0x80000000u, 0u);  // side 1 still stands
    EXPECT_EQ(G().Head.nEndState, 0x08u);
    Country(1).Unit[4].dwFlag = 0;
    EXPECT_EQ(doc->SurrenderUnitlessCountries(0x02u), 0x80000002u);  // the last enemy: the campaign is won
}

}  // namespace
}  // namespace zrv
