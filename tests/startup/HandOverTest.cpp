// The start command the battle program takes from the block, the return
// command it writes back, and the application's idle pass and pump guard.

#include <algorithm>
#include <cstdio>

#include "battle/engine/GameApp.h"
#include "startup/StartFixture.h"

namespace startuptest {
namespace {

using HandOver = StartFixture;

constexpr uint32_t kOptExtendedMap = 1u << 14;

TEST_F(HandOver, EveryStartCommandStartsItsKindOfGameAndIsTakenWithCodeZero)
{
    // A saved game for commands 3 and 8, made by another document.
    CZRKGameDoc maker(&clock);
    const std::string save = SaveFixtureGame(maker);
    maker.m_GameData.nTurn = 7;

    struct Case {
        uint32_t command;
        const char* path;
        // What tells the start apart: flow state and option bits afterwards.
        int flowState;
        uint32_t optionBits;
    };
    const std::string scenarioPath = ScenarioFile();
    const Case cases[] = {
        {0, "", 0, 0},
        {1, "", 0, 0},
        {2, scenarioPath.c_str(), PHASE_START, kOptScenarioStart},
        {3, save.c_str(), PHASE_CLOSETURN, kOptScenarioStart},
        {4, scenarioPath.c_str(), PHASE_START, kOptNewCampaign},
        {5, scenarioPath.c_str(), PHASE_START, kOptionCampaign},
        {6, scenarioPath.c_str(), 0, 0},
        {7, scenarioPath.c_str(), 0, 0},
        {8, "NOT-READ.DG2", PHASE_CLOSETURN, kOptScenarioStart},
        {99, scenarioPath.c_str(), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command);
        doc = std::make_unique<CZRKGameDoc>(&clock);
        doc->SetView(&view);
        doc->SetHandOver(link.get());
        dialogs.Clear();
        GAMEMENUSTRUCT& b = block->Record();
        std::memset(&b, 0, sizeof b);
        b.nCommand = c.command;
        std::strncpy(b.szPath, c.path, sizeof b.szPath - 1);
        // Command 2 takes its option word and turn limit from the menu's
        // settings, command 5 its option word and start date from the record.
        b.Campaign.dwGameOption = c.command == 5 ? (kOptScenarioStart | kOptionCampaign) : kOptScenarioStart;
        b.Campaign.dwDate = c.command == 2 ? 10 : kFixtureStart;
        if (c.command == 8) std::memcpy(&b.Image, &maker.m_GameData, sizeof b.Image);

        EXPECT_EQ(doc->ReadStartupCommand(), static_cast<int>(c.command));
        EXPECT_EQ(block->Record().nCommand, static_cast<uint32_t>(GMC_GAMERUNNING));
        EXPECT_TRUE(dialogs.Boxes().empty()) << (dialogs.Boxes().empty() ? "" : dialogs.Boxes()[0].text);
        EXPECT_EQ(doc->m_GameData.nFlowState, c.flowState);
        EXPECT_EQ(doc->m_dwGameOption & c.optionBits, c.optionBits);
        if (c.command == 8) {
            EXPECT_EQ(doc->m_GameData.nTurn, 7);
        }
        if (c.command == 2) {
            EXPECT_EQ(LastTurn(doc->m_GameData.Head.dwTurnLimit), 10);
        }
        if (c.flowState == 0) {
            EXPECT_EQ(doc->m_GameData.Head.szName[0], '\0');
        }
    }
}

TEST_F(HandOver, CampaignScenarioTakesLevelAndViewBitsFromTheRecord)
{
    GAMEMENUSTRUCT& b = block->Record();
    b.nCommand = GMC_CAMPAIGNSCENARIO;
    b.nParam = 2;
    b.dwViewOption = 0x00FF0001u;
    b.Campaign.dwViewOption = 0x00020002u;
    b.Campaign.dwDate = kFixtureStart;
    b.Campaign.dwGameOption = kOptScenarioStart | kOptionCampaign;
    view.calls.clear();
    ASSERT_EQ(doc->ReadStartupCommand(), 5);
    EXPECT_EQ(doc->m_GameData.nCampaign, 2);
    // Bits 0-1 and 16-17 from the record, the rest from the block; the view
    // takes bits 18-23 and 0-1.
    const uint32_t expected = (0x00FF0001u & ~0x00030003u) | 0x00020002u;
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "ApplyViewOptions(%08X,%08X)", expected, 0x00FC0003u);
    EXPECT_NE(std::find(view.calls.begin(), view.calls.end(), wanted), view.calls.end());
}

TEST_F(HandOver, StartFlagsSetTheirOptionsAndTrimTheMenu)
{
    struct Case {
        int bit;
        bool campaign;
        uint32_t set;      // option bits that must be set afterwards
        uint32_t cleared;  // option bits that must be clear
        bool country0Bit21;
        bool keepsMenuItem;
    };
    const Case cases[] = {
        {-1, false, 0, 0, false, false},       {0, false, kOptExtendedMap, 0, false, false},
        {1, false, 1u << 11, 0, false, false}, {4, false, 1u << 10, 0, false, false},
        {6, false, 1u << 8, 0, false, false},  {7, false, 0, kOptHistoryEvents, false, false},
        {2, false, 0, 0, false, false},        {2, true, 0, 0, true, false},
        {8, false, 0, 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bit " << c.bit << (c.campaign ? " in a campaign" : ""));
        doc = std::make_unique<CZRKGameDoc>(&clock);
        doc->SetView(&view);
        doc->SetHandOver(link.get());
        doc->m_dwGameOption = kOptHistoryEvents | (c.campaign ? kOptionCampaign : 0);
        GAMEMENUSTRUCT& b = block->Record();
        std::memset(&b, 0, sizeof b);
        b.nCommand = GMC_FIRSTSTART;  // starts nothing: only the flags act
        b.dwStartFlag = c.bit < 0 ? 0 : 1u << c.bit;
        view.calls.clear();
        doc->ReadStartupCommand();
        EXPECT_EQ(doc->m_dwGameOption & c.set, c.set);
        EXPECT_EQ(doc->m_dwGameOption & c.cleared, 0u);
        EXPECT_EQ((doc->m_GameData.Country[0].dwFlag & kCountryNewWeaponsDayOne) != 0, c.country0Bit21);
        bool removed =
            std::find(view.calls.begin(), view.calls.end(),
                      "RemoveMenuCommand(" + std::to_string(ID_BIG_VICTORY_TURNS) + ")") != view.calls.end();
        EXPECT_EQ(removed, !c.keepsMenuItem);
        // Nothing else changes: the option word holds only what was set.
        uint32_t base = kOptHistoryEvents | (c.campaign ? kOptionCampaign : 0);
        EXPECT_EQ(doc->m_dwGameOption & ~(c.set | base), 0u);
    }
}

// A block that writes down the order of the fields written.
class OrderedBlock : public HeapHandOverBlock {
public:
    bool Write(size_t offset, const void* data, size_t length) override
    {
        writes.push_back(offset);
        return HeapHandOverBlock::Write(offset, data, length);
    }
    std::vector<size_t> writes;
};

TEST_F(HandOver, HandingBackWritesTheCommandLastStopsSoundAndStartsTheMenuProgram)
{
    struct Case {
        int command;
        int param;
    };
    for (Case c : {Case{6, 0}, Case{7, 2}}) {
        SCOPED_TRACE(c.command);
        OrderedBlock ordered;
        ordered.Record().dwViewOption = 0x11111111u;
        RecordingStarter rec;
        HandOverLink l(ordered, rec, "/opt/velmorath/");
        doc->SetHandOver(&l);
        view.calls.clear();
        size_t callsWhenStarted = 0;
        rec.onStart = [&] { callsWhenStarted = view.calls.size(); };

        doc->RunMenuProgram(c.command, c.param);
        ASSERT_FALSE(ordered.writes.empty());
        EXPECT_EQ(ordered.writes.back(), offsetof(GAMEMENUSTRUCT, nCommand));
        EXPECT_EQ(ordered.Record().nCommand, static_cast<uint32_t>(c.command));
        EXPECT_EQ(ordered.Record().nParam, c.param);
        EXPECT_EQ(ordered.Record().dwViewOption, c.command == 6 ? view.GetViewOption() : 0x11111111u);
        ASSERT_EQ(rec.started.size(), 1u);
        EXPECT_EQ(rec.started[0], "/opt/velmorath/ZRVMenu");
        // The sound stopped before the menu program started.
        ASSERT_GE(callsWhenStarted, 1u);
        EXPECT_NE(std::find(view.calls.begin(), view.calls.begin() + static_cast<long>(callsWhenStarted),
                            "StopAllSound()"),
                  view.calls.begin() + static_cast<long>(callsWhenStarted));
        EXPECT_TRUE(l.HandedBack());
        EXPECT_TRUE(dialogs.Boxes().empty());
        doc->SetHandOver(link.get());
    }
}

TEST_F(HandOver, TheIdlePassStopsSteppingOnceTheGameIsHandedBackEvenWhenTheMenuCannotStart)
{
    for (bool menuStarts : {true, false}) {
        SCOPED_TRACE(menuStarts ? "menu started" : "menu failed");
        HeapHandOverBlock b;
        RecordingStarter rec;
        rec.succeed = menuStarts;
        HandOverLink l(b, rec, "/opt/velmorath");
        doc->SetHandOver(&l);
        dialogs.Clear();
        CZRKGameApp app;
        app.WatchDocument(*doc);
        int steps = 0;
        app.SetStep([&steps] {
            ++steps;
            return true;
        });
        EXPECT_TRUE(app.RunIdlePass());
        doc->RunMenuProgram(7, 1);
        EXPECT_FALSE(app.RunIdlePass());
        EXPECT_EQ(steps, 1);
        // The code stays for whichever menu program comes next.
        EXPECT_EQ(b.Record().nCommand, 7u);
        EXPECT_EQ(l.MenuStarted(), menuStarts);
        if (menuStarts) {
            EXPECT_TRUE(dialogs.Boxes().empty());
        } else {
            ASSERT_EQ(dialogs.Boxes().size(), 1u);
            EXPECT_NE(dialogs.Boxes()[0].text.find("/opt/velmorath/ZRVMenu"), std::string::npos);
        }
        doc->SetHandOver(link.get());
    }
}

TEST_F(HandOver, ADamagedImageIsRefusedAndTheCommandStillTaken)
{
    CZRKGameDoc maker(&clock);
    SaveFixtureGame(maker);
    struct Case {
        const char* name;
        std::function<void(GAMEDATASTRUCT&)> damage;
    };
    const Case cases[] = {
        {"capital off the map", [](GAMEDATASTRUCT& g) { g.Country[0].nCapital = 20000; }},
        {"current country absent", [](GAMEDATASTRUCT& g) { g.nCurCountry = 5; }},
        {"current country out of range", [](GAMEDATASTRUCT& g) { g.nCurCountry = 8; }},
        {"side 3", [](GAMEDATASTRUCT& g) { g.Country[1].nSide = 3; }},
        {"history 129", [](GAMEDATASTRUCT& g) { g.nHistory = 129; }},
        {"unit of type 0", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nArms = 0; }},
        {"unit type past the library", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nArms = 7; }},
        {"carrier slot 70", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].dwCargo = MakeCargo(70, 0); }},
        {"unit hex off the map", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nHex = 16384; }},
        {"not a valid save", [](GAMEDATASTRUCT& g) { g.dwGameOption &= ~kOptionCampaign; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GAMEMENUSTRUCT& b = block->Record();
        std::memset(&b, 0, sizeof b);
        b.nCommand = GMC_SCENARIOIMAGE;
        std::memcpy(&b.Image, &maker.m_GameData, sizeof b.Image);
        c.damage(b.Image);
        dialogs.Clear();
        const std::vector<uint8_t> before = Snapshot();
        EXPECT_EQ(doc->ReadStartupCommand(), GMC_SCENARIOIMAGE);
        EXPECT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_EQ(block->Record().nCommand, static_cast<uint32_t>(GMC_GAMERUNNING));
        EXPECT_TRUE(Snapshot() == before);
    }
}

TEST_F(HandOver, APathThatFillsItsFieldIsReadNoFurther)
{
    GAMEMENUSTRUCT& b = block->Record();
    std::memset(b.szPath, 'A', sizeof b.szPath);
    b.Campaign.nVersion = 0x41414141;  // what an unbounded read would run into
    EXPECT_EQ(BlockPath(b).size(), kPathLength);
}

TEST(PumpGuard, DropsOnlyCloseAndExitRequestsWhileBusyAndNotMinimised)
{
    const PumpMessage messages[] = {PumpMessage::Other,    PumpMessage::Close,     PumpMessage::Quit,
                                    PumpMessage::SysClose, PumpMessage::FileClose, PumpMessage::AppExit};
    for (PumpMessage m : messages) {
        for (bool busy : {false, true}) {
            for (bool minimised : {false, true}) {
                SCOPED_TRACE(testing::Message() << "message " << static_cast<int>(m) << " busy " << busy
                                                << " minimised " << minimised);
                EXPECT_EQ(ShouldDropWhileBusy(m, busy, minimised),
                          m != PumpMessage::Other && busy && !minimised);
            }
        }
    }
}

}  // namespace
}  // namespace startuptest
