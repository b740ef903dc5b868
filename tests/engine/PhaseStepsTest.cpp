// The steps of a country's phase, each run on its own against the two-country
// battle: reinforcements, new and retired unit types, the country start
// (income, side change, surrender), the end of a phase (fuel losses, capital
// relocation, records), history and the multi-play hand-over.

#include <gtest/gtest.h>

#include <vector>

#include "battle/engine/GameStart.h"
#include "battle/engine/HexGeometry.h"
#include "engine/BattleFixture.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

using PhaseStepsTest = BattleFixture;

int Find(const std::vector<std::string>& calls, const std::string& call)
{
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == call) return static_cast<int>(i);
    }
    return -1;
}

// --- reinforcements ------------------------------------------------------------------

class ReinforcementTest : public BattleFixture {
protected:
    void SetUp() override
    {
        BattleFixture::SetUp();
        lib = zrvtest::FixtureLibrary();
        scenarios.assign(lib.ScenarioData.begin(), lib.ScenarioData.end());
        scenarios[0].pReinforce = schedule.data();
        lib.ScenarioData = scenarios;
        SetLib(&lib);
        doc->m_dwGameOption |= kOptionCampaign;
        doc->SetCurrentCountry(0);
    }

    DataLibrary lib;
    std::vector<SCNRBASESTRUCT> scenarios;
    // Turn 3: a tank at full strength, experience 7; turn 3: an unknown type;
    // turn 5: an infantry of strength 4.
    std::vector<int32_t> schedule = {3, zrvtest::kFixtureTank << 16 | 0 << 8 | 7,     3,  99 << 16,
                                     5, zrvtest::kFixtureInfantry << 16 | 4 << 8 | 1, -1, 0};
};

TEST_F(ReinforcementTest, AnEntryArrivesInTheTurnAfterItsTurn)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.nTurn = 3;
    EXPECT_EQ(doc->StepReinforcements(), PHASE_MARCH);
    EXPECT_EQ(g.nReinforceIndex, 0);

    g.nTurn = 4;
    EXPECT_EQ(doc->StepReinforcements(), PHASE_REINFORCE);
    EXPECT_EQ(g.nReinforceIndex, 2);
    const UNITSTRUCT& tank = g.CarryUnit[0];
    EXPECT_EQ(tank.dwFlag, 0x80400000u);
    EXPECT_EQ(tank.nArms, zrvtest::kFixtureTank);
    EXPECT_EQ(tank.nHex, kNoHex);
    EXPECT_EQ(tank.dwBirthDate, g.dwDateTime);
    EXPECT_EQ(tank.nStrength, 10);  // strength byte 0: the type's full strength
    EXPECT_EQ(tank.nExp, 7);
    EXPECT_NE(Country(0).dwArmsAvail[zrvtest::kFixtureTank], 0u);  // seen
    ASSERT_EQ(dialogs.AskedDialogs().size(), 1u);
    EXPECT_EQ(dialogs.AskedDialogs()[0].kind, ScriptedDialogService::DialogKind::NewDeployment);
    EXPECT_EQ(dialogs.AskedDialogs()[0].armsType, zrvtest::kFixtureTank);

    // The unknown type is passed over; the turn-5 entry is not due yet.
    EXPECT_EQ(doc->StepReinforcements(), PHASE_REINFORCE);
    EXPECT_EQ(g.nReinforceIndex, 4);
    EXPECT_EQ(g.CarryUnit[1].dwFlag, 0u);
    EXPECT_EQ(doc->StepReinforcements(), PHASE_MARCH);

    g.nTurn = 6;
    EXPECT_EQ(doc->StepReinforcements(), PHASE_REINFORCE);
    EXPECT_EQ(g.CarryUnit[1].nStrength, 4);
    EXPECT_EQ(g.CarryUnit[1].nExp, 1);
    // The terminator ends the schedule for good.
    EXPECT_EQ(doc->StepReinforcements(), PHASE_MARCH);
    EXPECT_EQ(g.nReinforceIndex, 6);
}

TEST_F(ReinforcementTest, AFullPoolKeepsTheEntryDue)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.nTurn = 4;
    struct Case {
        const char* name;
        int pool, units;
        int expected;
    } cases[] = {
        {"pool of 250", 250, 0, PHASE_MARCH},
        {"pool and units make 250", 240, 10, PHASE_MARCH},
        {"one place left", 240, 9, PHASE_REINFORCE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < kCarryUnitCount; ++i) g.CarryUnit[i].dwFlag = i < c.pool ? kUnitInUse : 0;
        Country(0).nUnit = c.units;
        g.nReinforceIndex = 0;
        EXPECT_EQ(doc->StepReinforcements(), c.expected);
        EXPECT_EQ(g.nReinforceIndex, c.expected == PHASE_MARCH ? 0 : 2);
    }
}

TEST_F(ReinforcementTest, OnlyAHumanCountryOfACampaignScenarioGetsThem)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.nTurn = 4;
    struct Case {
        const char* name;
        uint32_t option;
        int scenario, country, index;
    } cases[] = {
        {"not a campaign", 0, 0, 0, 0},
        {"no scenario", kOptionCampaign, -1, 0, 0},
        {"computer-run", kOptionCampaign, 0, 1, 0},
        {"unknown scenario", kOptionCampaign, 5, 0, 0},
        {"odd index", kOptionCampaign, 0, 0, 1},
        {"index past the end", kOptionCampaign, 0, 0, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc->m_dwGameOption = c.option;
        g.nScenario = c.scenario;
        g.nReinforceIndex = c.index;
        doc->SetCurrentCountry(c.country);
        EXPECT_EQ(doc->StepReinforcements(), PHASE_MARCH);
        EXPECT_EQ(g.nReinforceIndex, c.index);
    }
    EXPECT_EQ(g.CarryUnit[0].dwFlag, 0u);
}

// --- new and retired unit types ------------------------------------------------------------

class NewWeaponTest : public BattleFixture {
protected:
    void SetUp() override
    {
        BattleFixture::SetUp();
        lib = zrvtest::FixtureLibrary();
        arms.assign(lib.ArmsData.begin(), lib.ArmsData.end());
        lib.ArmsData = arms;
        SetLib(&lib);
    }
    DataLibrary lib;
    std::vector<ARMSSTRUCT> arms;
};

TEST_F(NewWeaponTest, ModesByControllerSideAndAnswer)
{
    // Tank: class 4. Expected: dialog mode (-1 none), paid and free adoptions, rejections.
    struct Case {
        int mode;
        bool human;
        int side;
        int answer;
        int dialog, paid, free, rejected;
    } cases[] = {
        {0, true, 0, kNewWeaponAdopt, kNewWeaponChoice, 1, 0, 0},
        {0, true, 0, kNewWeaponDeliberate, kNewWeaponChoice, 0, 0, 0},
        {0, true, 0, kNewWeaponReject, kNewWeaponChoice, 0, 0, 1},
        {0, false, 0, kNewWeaponReject, -1, 1, 0, 0},
        {0, false, 1, kNewWeaponReject, -1, 1, 0, 0},
        {0, false, 2, kNewWeaponAdopt, -1, 0, 0, 0},
        {1, true, 0, kNewWeaponReject, kNewWeaponAnnounce, 1, 0, 0},
        {1, true, 2, kNewWeaponDeliberate, kNewWeaponAnnounce, 1, 0, 0},
        {1, false, 2, kNewWeaponReject, -1, 1, 0, 0},
        {2, true, 0, kNewWeaponReject, -1, 0, 1, 0},
        {2, false, 2, kNewWeaponReject, -1, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.human ? " human" : " computer") << " side "
                                        << c.side << " answer " << c.answer);
        dialogs.Clear();
        const int paid = doc->StubCalls(DocStub::AdoptWeaponPaid),
                  free = doc->StubCalls(DocStub::AdoptWeaponFree),
                  rejected = doc->StubCalls(DocStub::RejectWeapon);
        arms[zrvtest::kFixtureTank].nEntryMode = c.mode;
        COUNTRYSTRUCT& country = Country(0);
        country.dwFlag = kCountryPresent | (c.human ? 0 : kCountryCpu);
        country.nSide = c.side;
        doc->SetCurrentCountry(0);
        doc->SetStubResult(DocStub::NextNewWeapon, zrvtest::kFixtureTank);
        dialogs.QueueNewWeaponAnswer(c.answer);
        EXPECT_EQ(doc->StepNewWeapons(), PHASE_NEWWEAPON);
        if (c.dialog < 0) {
            EXPECT_TRUE(dialogs.AskedDialogs().empty());
        } else {
            ASSERT_EQ(dialogs.AskedDialogs().size(), 1u);
            EXPECT_EQ(dialogs.AskedDialogs()[0].mode, c.dialog);
            EXPECT_EQ(dialogs.AskedDialogs()[0].armsType, zrvtest::kFixtureTank);
        }
        EXPECT_EQ(doc->StubCalls(DocStub::AdoptWeaponPaid) - paid, c.paid);
        EXPECT_EQ(doc->StubCalls(DocStub::AdoptWeaponFree) - free, c.free);
        EXPECT_EQ(doc->StubCalls(DocStub::RejectWeapon) - rejected, c.rejected);
        EXPECT_EQ(country.dwNewWeaponSet[0], c.mode == 2 ? 0u : 1u << 4);
        // None left: on to the development lists.
        doc->SetStubResult(DocStub::NextNewWeapon, 0);
        EXPECT_EQ(doc->StepNewWeapons(), PHASE_RETIREWEAPON);
        country.dwNewWeaponSet[0] = 0;
    }
}

TEST_F(NewWeaponTest, ARetiredTypeIsAnnouncedOnlyWhenListedForAHuman)
{
    COUNTRYSTRUCT& country = Country(0);
    doc->SetCurrentCountry(0);
    doc->SetStubResult(DocStub::NextRetiredWeapon, zrvtest::kFixtureTank);
    EXPECT_EQ(doc->StepWeaponListUpdate(), PHASE_RETIREWEAPON);
    EXPECT_TRUE(dialogs.AskedDialogs().empty());
    country.dwClassList[4][9] = zrvtest::kFixtureTank;
    EXPECT_EQ(doc->StepWeaponListUpdate(), PHASE_RETIREWEAPON);
    ASSERT_EQ(dialogs.AskedDialogs().size(), 1u);
    EXPECT_EQ(dialogs.AskedDialogs()[0].mode, kNewWeaponRetire);
    EXPECT_EQ(doc->StubCalls(DocStub::RetireWeapon), 2);
    doc->SetStubResult(DocStub::NextRetiredWeapon, 0);
    EXPECT_EQ(doc->StepWeaponListUpdate(), PHASE_REINFORCE);
}

TEST_F(NewWeaponTest, TheComputerDropsListEntriesThatANewerTypeFollows)
{
    COUNTRYSTRUCT& country = Country(1);
    doc->SetCurrentCountry(1);
    // Classes 3 (never trimmed), 4, 5 and 6 developed; 7 not. Every list holds
    // a type in every entry, except that class 5 has none after the entry
    // the date makes available.
    country.dwClassMask[0] = 1u << 3 | 1u << 4 | 1u << 5 | 1u << 6;
    struct Case {
        int entry;
        bool trimmed;
    } cases[] = {{2, true}, {8, true}, {0, false}, {9, false}, {-1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        for (int cls = 2; cls <= 7; ++cls) {
            for (int e = 0; e < kClassListWords; ++e) country.dwClassList[cls][e] = zrvtest::kFixtureInfantry;
        }
        if (c.entry >= 0 && c.entry < 9) country.dwClassList[5][c.entry + 1] = 0xFFFFFFFFu;
        doc->SetStubResult(DocStub::FindAvailableListEntry, c.entry);
        EXPECT_EQ(doc->StepWeaponListUpdate(), PHASE_REINFORCE);
        for (int cls = 2; cls <= 7; ++cls) {
            SCOPED_TRACE(cls);
            const bool expected = c.trimmed && (cls == 4 || cls == 6);
            EXPECT_EQ(country.dwClassList[cls][std::clamp(c.entry, 0, 9)] == 0xFFFFFFFFu, expected);
        }
    }
    // A human keeps his lists.
    doc->SetCurrentCountry(0);
    Country(0).dwClassMask[0] = country.dwClassMask[0];
    doc->SetStubResult(DocStub::FindAvailableListEntry, 2);
    int before = doc->StubCalls(DocStub::FindAvailableListEntry);
    EXPECT_EQ(doc->StepWeaponListUpdate(), PHASE_REINFORCE);
    EXPECT_EQ(doc->StubCalls(DocStub::FindAvailableListEntry), before);
}

// --- country start ---------------------------------------------------------------------

TEST_F(PhaseStepsTest, IncomeIsCappedAndLowFundsSurrender)
{
    struct Case {
        const char* name;
        int fund, income, threshold, surrenderEnds;
        int result, fundAfter;
    } cases[] = {
        {"capped", 9999990, 100, 0, 0, PHASE_NEWWEAPON, 9999999},
        {"threshold 0 never surrenders", -500, 0, 0, 0, PHASE_NEWWEAPON, -500},
        {"funds equal to the threshold", 400, 100, 500, 0, PHASE_ENDPHASE, 500},
        {"a surrender that ends the game", 400, 100, 500, 1, PHASE_JUDGE, 500},
        {"one above the threshold", 401, 100, 500, 0, PHASE_NEWWEAPON, 501},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.Clear();
        Country(0).nFund = c.fund;
        Country(0).nSurrenderFund = c.threshold;
        doc->SetStubResult(DocStub::GetCountryIncome, c.income);
        doc->SetStubResult(DocStub::SurrenderCountry, c.surrenderEnds);
        doc->SetCurrentCountry(0);
        EXPECT_EQ(doc->StepCountryStart(), c.result);
        EXPECT_EQ(Country(0).nFund, c.fundAfter);
        ASSERT_EQ(dialogs.Boxes().size(), c.result == PHASE_NEWWEAPON ? 0u : 1u);
        if (c.result != PHASE_NEWWEAPON) {
            EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "ノルデンは軍事費不足により降伏します");
        }
    }
}

TEST_F(PhaseStepsTest, ASideChangeComesOneTurnLaterInACampaign)
{
    struct Case {
        bool campaign;
        int turn, judgement;
        int changes, result;
    } cases[] = {
        {false, 4, 0, 0, PHASE_NEWWEAPON}, {false, 5, 0, 1, PHASE_NEWWEAPON},
        {true, 5, 0, 0, PHASE_NEWWEAPON},  {true, 6, 0, 1, PHASE_NEWWEAPON},
        {false, 5, 1, 1, PHASE_JUDGE},     {false, 5, 2, 1, PHASE_JUDGE},
        {false, 5, 3, 1, PHASE_NEWWEAPON}, {false, 5, 4, 1, PHASE_JUDGE},
        {false, 5, 5, 1, PHASE_JUDGE},     {false, 5, 6, 1, PHASE_NEWWEAPON},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.campaign ? "campaign" : "single") << " turn " << c.turn
                                        << " code " << c.judgement);
        doc->m_dwGameOption = c.campaign ? kOptionCampaign : 0;
        doc->m_GameData.nTurn = c.turn;
        Country(1).nSideChange = 5;
        doc->SetStubResult(DocStub::JudgeGame, c.judgement);
        doc->SetCurrentCountry(1);
        int before = doc->StubCalls(DocStub::ChangeCountrySide);
        EXPECT_EQ(doc->StepCountryStart(), c.result);
        EXPECT_EQ(doc->StubCalls(DocStub::ChangeCountrySide) - before, c.changes);
    }
}

TEST_F(PhaseStepsTest, CountryStartReadiesUnitsAndTheCampaignPool)
{
    doc->m_dwGameOption |= kOptionCampaign;
    UNITSTRUCT& u = Country(0).Unit[0];
    u.nMoved = 3;
    u.dwOrder = kOrderJettisonPending | kOrderMarch;
    doc->m_GameData.CarryUnit[7].dwFlag = kUnitInUse | kUnitOffMap;
    Country(0).dwNewWeaponSet[1] = 5;
    clock.Set(1700001234);
    doc->SetCurrentCountry(0);
    EXPECT_EQ(doc->StepCountryStart(), PHASE_NEWWEAPON);
    EXPECT_EQ(u.nMoved, 0);
    EXPECT_EQ(u.dwOrder, kOrderMarch);
    EXPECT_EQ(doc->m_GameData.CarryUnit[7].dwFlag, kUnitInUse);
    EXPECT_EQ(Country(0).dwNewWeaponSet[1], 0u);
    EXPECT_EQ(doc->m_timePhaseStart, 1700001234);
    EXPECT_EQ(view.curIndex, 0);
    EXPECT_FALSE(view.state.phaseCommands);
}

// --- end of a phase ------------------------------------------------------------------------

TEST_F(PhaseStepsTest, EndOfPhaseUseUpFuelAndDiving)
{
    COUNTRYSTRUCT& c = Country(0);
    struct UnitSetup {
        uint32_t flag;
        int arms, fuel, battery;
    } units[] = {
        {kUnitInUse, zrvtest::kFixtureInfantry, 0, 0},              // not acted: ends its action
        {kUnitInUse | kUnitActed, zrvtest::kFixtureFighter, 0, 0},  // out of fuel: lost
        {kUnitInUse | kUnitActed, zrvtest::kFixtureFighter, 3, 0},  // fuelled
        {kUnitInUse | kUnitActed | kUnitInWater, zrvtest::kFixtureSubmarine, 5, 0},  // surfaces or sinks
        {kUnitInUse | kUnitActed | kUnitInWater, zrvtest::kFixtureSubmarine, 5, 2},
        {kUnitInUse | kUnitActed | kUnitCarried, zrvtest::kFixtureFighter, 0, 0},  // aboard: left alone
    };
    for (int i = 0; i < 6; ++i) {
        UNITSTRUCT& u = c.Unit[i];
        u = {};
        u.dwFlag = units[i].flag | 0x1FFFu;
        u.nArms = units[i].arms;
        u.nFuel = units[i].fuel;
        u.nBattery = units[i].battery;
        u.nHex = MakeHex(50, 40 + i);
        u.dwSupplyFlag = 0xFFu;
    }
    c.nCapital = kNoHex;
    // Which units the step hands to which rule; the rules themselves are
    // tested with the back-ends.
    doc->SetStubResult(DocStub::EndUnitAction, 0);
    doc->SetStubResult(DocStub::LoseUnitForFuel, 0);
    doc->SetStubResult(DocStub::SurfaceOrSink, 0);
    doc->SetCurrentCountry(0);
    doc->StepEndPhase();
    EXPECT_EQ(doc->StubCalls(DocStub::EndUnitAction), 1);
    EXPECT_EQ(doc->StubCalls(DocStub::LoseUnitForFuel), 1);
    EXPECT_EQ(doc->StubCalls(DocStub::SurfaceOrSink), 1);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.Unit[i].dwFlag & kUnitPhaseBits, 0u);
        EXPECT_EQ(c.Unit[i].dwSupplyFlag, 0xFu);
    }
    // An airfield of its own country under it saves the aircraft: the hex's
    // resupply test passes there.
    c.Unit[1].dwFlag |= kUnitActed;
    c.Unit[1].refSelf = MakeUnitRef(0, 1);
    c.Unit[1].dwHexCell = doc->m_dwHexCell[c.Unit[1].nHex] =
        WithOwner(WithTerrain(0, zrvtest::kFixtureAirfield), 0);
    doc->StepEndPhase();
    EXPECT_EQ(doc->StubCalls(DocStub::LoseUnitForFuel), 1);
}

TEST_F(PhaseStepsTest, AnEndOfPhaseCutShortStillReadiesEveryUnit)
{
    COUNTRYSTRUCT& c = Country(0);
    for (int i = 0; i < 3; ++i) {
        c.Unit[i].dwFlag = kUnitInUse | (i == 0 ? 0 : kUnitActed);
        c.Unit[i].nArms = zrvtest::kFixtureFighter;
        c.Unit[i].nFuel = 0;
        c.Unit[i].nHex = MakeHex(50, 40 + i);
    }
    doc->m_dwGameOption |= kOptTextRecord;
    doc->SetStubResult(DocStub::EndUnitAction, -1);  // a close request during the first unit's order
    view.state.closeRequested = true;
    doc->SetCurrentCountry(0);
    view.calls.clear();
    doc->StepEndPhase();
    EXPECT_EQ(doc->StubCalls(DocStub::LoseUnitForFuel), 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c.Unit[i].dwFlag & kUnitActed, 0u) << i;
    EXPECT_EQ(view.Count("ResetChildWindows()"), 0);  // notification 4 and what follows were skipped
    EXPECT_TRUE(doc->m_StubRecords.empty());
}

TEST_F(PhaseStepsTest, EndOfPhaseNotifiesInOrderAndRecordsTheWholeTime)
{
    doc->m_dwGameOption |= kOptTextRecord;
    doc->m_timePhaseStart = clock.Now();
    clock.Advance(3725);  // an hour, two minutes and five seconds
    view.viewOption = 0xABCD0003u;
    doc->SetCurrentCountry(0);
    view.calls.clear();
    doc->StepEndPhase();
    int unit = Find(view.calls, "SetHexUnitDisplay(" + std::to_string(Country(0).Unit[0].nHex) + ")");
    int reset = Find(view.calls, "ResetChildWindows()");
    int music = Find(view.calls, "CloseCDAudio()");
    EXPECT_TRUE(unit >= 0 && reset > unit && music > reset) << testing::PrintToString(view.calls);
    EXPECT_EQ(Country(0).dwViewOption, 0xABCD0003u);  // notification 19
    ASSERT_EQ(doc->m_StubRecords.size(), 1u);
    EXPECT_SJIS_EQ(doc->m_StubRecords[0], "    62:05 (ノルデン)\n");
    EXPECT_EQ(view.curIndex, -1);
}

TEST_F(PhaseStepsTest, EnemiesNearTheCapitalDecideTheRelocationChance)
{
    EXPECT_EQ(CapitalRelocationChance(5), 0);
    EXPECT_EQ(CapitalRelocationChance(6), 10);
    EXPECT_EQ(CapitalRelocationChance(8), 30);
    EXPECT_LT(CapitalRelocationChance(0), 0);

    // Country 0's capital at (40,40); enemy units of country 1 at distances 0..7.
    COUNTRYSTRUCT& enemy = Country(1);
    const HEXINDEX capital = Country(0).nCapital;
    int placed = 0;
    for (int col = 0; col < 12 && placed < 8; ++col) {
        HEXINDEX hex = MakeHex(40, 40 + col);
        UNITSTRUCT& u = enemy.Unit[placed++];
        u.dwFlag = kUnitInUse;
        u.nHex = hex;
    }
    enemy.Unit[10].dwFlag = kUnitInUse;  // in the pool, off the map
    enemy.Unit[10].nHex = kNoHex;
    int near = 0;
    for (int i = 0; i < 8; ++i) near += GetHexDistance(enemy.Unit[i].nHex, capital) < 6;
    EXPECT_EQ(doc->CountEnemyUnitsNearCapital(Country(0)), near);
    EXPECT_EQ(near, 6);
    // A country's own side never counts, nor does an absent country.
    EXPECT_EQ(doc->CountEnemyUnitsNearCapital(Country(1)), 0);
    enemy.dwFlag &= ~kCountryPresent;
    EXPECT_EQ(doc->CountEnemyUnitsNearCapital(Country(0)), 0);
}

// The first seed whose first percent draw is the one wanted.
uint32_t SeedDrawing(int percent)
{
    for (uint32_t seed = 1;; ++seed) {
        GameRandom r(seed);
        if (r.Rand() % 100 == percent) return seed;
    }
}

TEST_F(PhaseStepsTest, SixEnemiesMoveTheCapitalOnADrawOfNineButNotTen)
{
    COUNTRYSTRUCT& enemy = Country(1);
    for (int i = 0; i < 6; ++i) {
        enemy.Unit[i].dwFlag = kUnitInUse;
        enemy.Unit[i].nHex = MakeHex(41, 38 + i);
    }
    doc->m_nStubCapitalHex = MakeHex(50, 50);
    doc->SetStubResult(DocStub::CapitalSearch, 1);
    struct Case {
        int draw;
        uint32_t option;
        int history, side, turn;
        HEXINDEX capital;
        bool moves;
        uint64_t draws;
    } cases[] = {
        {9, 0, 0, 0, 1, MakeHex(40, 40), true, 1},
        {10, 0, 0, 0, 1, MakeHex(40, 40), false, 1},
        {9, kOptionCampaign, 1, 0, 1, MakeHex(40, 40), false, 0},  // a campaign's opening turn
        {9, kOptionCampaign, 1, 0, 2, MakeHex(40, 40), true, 1},
        {9, 0, 0, 2, 1, MakeHex(40, 40), false, 0},  // neutral
        {9, 0, 0, 0, 1, kNoHex, false, 0},           // no capital: nothing to measure from
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "draw " << c.draw << " turn " << c.turn << " side " << c.side);
        dialogs.Clear();
        doc->m_dwGameOption = c.option;
        doc->m_GameData.nHistory = c.history;
        doc->m_GameData.nTurn = c.turn;
        Country(0).nSide = c.side;
        Country(0).nCapital = c.capital;
        doc->Random().Seed(SeedDrawing(c.draw));
        doc->SetCurrentCountry(0);
        doc->StepEndPhase();
        EXPECT_EQ(Country(0).nCapital, c.moves ? MakeHex(50, 50) : c.capital);
        EXPECT_EQ(doc->Random().Draws(), c.draws);
        EXPECT_EQ(dialogs.Boxes().size(), c.moves ? 1u : 0u);
    }
}

// --- opening, history and hand-over -----------------------------------------------------------

TEST_F(PhaseStepsTest, HistoryIsPresentedToAHumanOfACampaignOnItsDate)
{
    // The fixture's event is dated 40/1/2 08:00.
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.dwDateTime = PackDate(40, 1, 2, 8);
    g.nTurn = 3;
    struct Case {
        uint32_t option;
        int country;
        uint32_t date;
        int shown;
    } cases[] = {
        {kOptionCampaign | kOptHistoryEvents, 0, PackDate(40, 1, 2, 8), 1},
        {kOptionCampaign, 0, PackDate(40, 1, 2, 8), 0},
        {kOptHistoryEvents, 0, PackDate(40, 1, 2, 8), 0},
        {kOptionCampaign | kOptHistoryEvents, 1, PackDate(40, 1, 2, 8), 0},
        {kOptionCampaign | kOptHistoryEvents, 0, PackDate(40, 1, 2, 10), 0},
    };
    for (const Case& c : cases) {
        view.calls.clear();
        doc->m_dwGameOption = c.option;
        g.dwDateTime = c.date;
        doc->SetCurrentCountry(c.country);
        EXPECT_EQ(doc->StepHistory(), PHASE_HANDOVER);
        EXPECT_EQ(view.Count("PresentHistoryEvent(0,0)"), c.shown);
    }
    g.nTurn = 1;
    doc->SetCurrentCountry(0);
    EXPECT_EQ(doc->StepHistory(), PHASE_CLOSETURN);
    doc->SetCurrentCountry(1);
    EXPECT_EQ(doc->StepHistory(), PHASE_HANDOVER);
}

TEST_F(PhaseStepsTest, MultiPlayWithOneHumanAsksOnceAndPlaysOn)
{
    doc->m_dwGameOption |= kOptMultiPlay;
    doc->SetCurrentCountry(0);
    dialogs.QueueAnswer(kAnswerCancel);
    EXPECT_EQ(doc->StepHandOverSave(), 0);
    EXPECT_NE(doc->m_dwGameOption & kOptNoReturnToTitle, 0u);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "他にプレイヤーがいませんが、データを保存しますか？");
    // A computer-run country or a single game never hands over.
    doc->SetCurrentCountry(1);
    EXPECT_EQ(doc->StepHandOverSave(), 0);
    doc->m_dwGameOption &= ~kOptMultiPlay;
    doc->SetCurrentCountry(0);
    EXPECT_EQ(doc->StepHandOverSave(), 0);
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
}

TEST_F(PhaseStepsTest, AHandOverThatCannotSaveTellsTheNextPlayerToRestart)
{
    Country(1).dwFlag &= ~kCountryCpu;
    doc->m_dwGameOption |= kOptMultiPlay;
    doc->SetCurrentCountry(1);
    // Cancelled choice, Retry, chosen; then the file is written.
    dialogs.QueueSaveFile(kAnswerCancel);
    dialogs.QueueAnswer(kAnswerRetry);
    dialogs.QueueSaveFile(kAnswerOk, platform::DataPath("Next"));
    EXPECT_EQ(doc->StepHandOverSave(), 1);
    EXPECT_TRUE(std::filesystem::exists(root / "Data" / "Next.DM2"));
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_NE(dialogs.Boxes()[1].text.find("Next.DM2"), std::string::npos);
    ASSERT_GE(dialogs.AskedDialogs().size(), 1u);
    // The proposed name carries the date without the hour.
    EXPECT_EQ(dialogs.AskedDialogs()[0].text, "Mp410110.DM2");

    // Cancel at the retry question: nothing is written.
    dialogs.Clear();
    dialogs.QueueSaveFile(kAnswerCancel);
    dialogs.QueueAnswer(kAnswerCancel);
    EXPECT_EQ(doc->StepHandOverSave(), 1);
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[1].text, "このデータを最初からやり直してください");
}

TEST_F(PhaseStepsTest, AnUnattendedHandOverGivesUpOnAFileThatCannotBeWritten)
{
    Country(1).dwFlag &= ~kCountryCpu;
    doc->m_dwGameOption |= kOptMultiPlay;
    doc->SetCurrentCountry(1);
    // No answer queued for the Retry/Cancel question: it is not retried.
    dialogs.QueueSaveFile(kAnswerOk, platform::DataPath("Missing\\Next.DM2"));
    EXPECT_EQ(doc->StepHandOverSave(), 1);
    ASSERT_FALSE(dialogs.Boxes().empty());
    EXPECT_SJIS_EQ(dialogs.Boxes().back().text, "このデータを最初からやり直してください");
    EXPECT_EQ(DefaultAnswer(kBoxRetryCancel), kAnswerCancel);
}

TEST_F(PhaseStepsTest, AComputerPhaseOpensWithItsViewAndNoWait)
{
    doc->m_nNextFlowState = PHASE_COUNTRYSTART;
    Country(1).nSide = 2;
    Country(1).dwViewOption = 0x42000001u;
    doc->SetCurrentCountry(1);
    view.calls.clear();
    EXPECT_EQ(doc->StepPhaseOpening(), PHASE_COUNTRYSTART);
    EXPECT_EQ(Country(1).dwViewOption, 0xA8000001u);
    EXPECT_EQ(view.Count("PlayCDTrack(4)"), 0);  // a neutral country plays no music
    EXPECT_EQ(doc->StubCalls(DocStub::UpdateViewingCountry), 1);
}

TEST_F(PhaseStepsTest, AutomaticSavesByControllerAndOptions)
{
    struct Case {
        const char* name;
        int country;
        uint32_t option, savedOption;
        int result;
        std::vector<std::string> files;
    } cases[] = {
        {"human", 0, 0, 0, PHASE_HUMAN, {u8"自動セーブ.DG2"}},
        {"human in multi-play", 0, 0, kOptMultiPlay, PHASE_HUMAN, {}},
        {"computer", 1, 0, 0, PHASE_CPU, {}},
        {"computer with its saves", 1, kOptAutoSaveCpu, 0, PHASE_CPU, {"AutoSavC.DG2"}},
        {"every phase", 1, kOptAutoSaveEach, 0, PHASE_CPU, {"AutoX032.DG2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(root / "Data");
        std::filesystem::create_directories(root / "Data");
        doc->m_dwGameOption = c.option;
        doc->m_GameData.dwGameOption = c.savedOption;
        doc->m_GameData.nTurn = 3;
        doc->m_nCpuStep = 4;
        Country(c.country).nSaveCost = 800;
        doc->SetCurrentCountry(c.country);
        EXPECT_EQ(doc->AutoSave(), c.result);
        EXPECT_EQ(Country(c.country).nSaveCost, 0);
        if (c.result == PHASE_CPU) {
            EXPECT_EQ(doc->m_nCpuStep, 0);
        }
        std::vector<std::string> files;
        for (const auto& e : std::filesystem::directory_iterator(root / "Data")) {
            files.push_back(e.path().filename().string());
        }
        EXPECT_EQ(files, c.files);
    }
}

}  // namespace
}  // namespace zrv
