#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "engine/DocFixture.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

// --- construction and small members -----------------------------------------

TEST(GameDocConstruction, StartsEmpty)
{
    FixedClock clock(1000);
    auto doc = std::make_unique<CZRKGameDoc>(&clock);
    for (int h = 0; h < kHexCount; ++h) {
        ASSERT_EQ(doc->m_dwHexUnit[h], kNoUnit) << h;
        ASSERT_EQ(doc->m_dwHexCell[h], 0u) << h;
    }
    EXPECT_EQ(doc->m_GameData.dwStateFlag, 0x50000000u);
    EXPECT_EQ(doc->m_nNextFlowState, -1);
    EXPECT_EQ(doc->m_GameData.nCurCountry, -1);
    EXPECT_EQ(doc->m_pCurCountry, nullptr);
    EXPECT_EQ(doc->m_pViewCountry, nullptr);
    EXPECT_EQ(doc->m_rcMapArea.left, 35);
    EXPECT_EQ(doc->m_rcMapArea.top, 35);
    EXPECT_EQ(doc->m_rcMapArea.right, 96);
    EXPECT_EQ(doc->m_rcMapArea.bottom, 96);
    EXPECT_EQ(doc->m_dwGameOption, 0u);
    EXPECT_EQ(doc->m_dwLaunchOption, 0u);
    EXPECT_EQ(doc->m_nCityName, 0);
    EXPECT_TRUE(doc->m_strGameFile.empty());
    EXPECT_EQ(doc->m_GameData.Country[3].dwFlag, 0u);
}

TEST(GameDocConstruction, GeneratorSeededFromTheClockAndByTheOwner)
{
    FixedClock clock(123456);
    auto a = std::make_unique<CZRKGameDoc>(&clock);
    auto b = std::make_unique<CZRKGameDoc>(&clock);
    clock.Set(123457);
    auto c = std::make_unique<CZRKGameDoc>(&clock);
    std::vector<int> da, db, dc;
    for (int i = 0; i < 20; ++i) {
        da.push_back(a->Random().Rand());
        db.push_back(b->Random().Rand());
        dc.push_back(c->Random().Rand());
    }
    EXPECT_EQ(da, db);
    EXPECT_NE(da, dc);
    for (int v : da) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 32767);
    }
    // The owner's seed replays a game whatever the clock said.
    a->Random().Seed(7);
    c->Random().Seed(7);
    EXPECT_EQ(a->Random().Rand(), c->Random().Rand());
    EXPECT_EQ(a->Random().Draws(), 1u);
}

TEST_F(DocFixture, StoreHexCellKeepsTheSavedTerrain)
{
    HEXINDEX hex = MakeHex(40, 40);
    doc->m_GameData.dwHexCell[hex] = 0xFFFFFF85u;  // terrain 5 plus junk above
    doc->m_dwHexCell[hex] = 0x1203467Fu;           // terrain 127 and the rest
    doc->StoreHexCell(hex);
    EXPECT_EQ(doc->m_GameData.dwHexCell[hex], 0x12034605u);
    // Off the map: ignored, nothing written anywhere.
    GAMEDATASTRUCT before = doc->m_GameData;
    doc->StoreHexCell(-1);
    doc->StoreHexCell(kHexCount);
    EXPECT_EQ(std::memcmp(&before, &doc->m_GameData, sizeof before), 0);
}

TEST_F(DocFixture, RefreshUnitHexCell)
{
    UNITSTRUCT& u = doc->m_GameData.Country[0].Unit[0];
    u.nHex = MakeHex(41, 41);
    doc->m_dwHexCell[u.nHex] = 0x00020305u;
    EXPECT_EQ(doc->RefreshUnitHexCell(u), 0x00020305);
    EXPECT_EQ(u.dwHexCell, 0x00020305u);
    u.nHex = -5;
    u.dwHexCell = 9;
    EXPECT_EQ(doc->RefreshUnitHexCell(u), -1);
    EXPECT_EQ(u.dwHexCell, 9u);
}

TEST_F(DocFixture, ApplyCampaignLevel)
{
    doc->m_GameData.nCampaign = 3;
    for (bool campaign : {false, true}) {
        for (bool cpu : {false, true}) {
            for (int side : {0, 1, 2}) {
                SCOPED_TRACE(testing::Message()
                             << "campaign " << campaign << " cpu " << cpu << " side " << side);
                doc->m_dwGameOption = campaign ? kOptionCampaign : 0;
                COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
                c.dwFlag = kCountryPresent | (cpu ? kCountryCpu : 0);
                c.nSide = side;
                c.nLevel = 99;
                doc->ApplyCampaignLevel(c);
                EXPECT_EQ(c.nLevel, campaign && cpu && side == 1 ? 3 : 0);
            }
        }
    }
}

TEST_F(DocFixture, IsHexInMapAreaWidensLeftAndTop)
{
    struct Case {
        int row, column, in;
    };
    const Case cases[] = {{35, 35, 1}, {34, 34, 1}, {33, 40, 0}, {40, 33, 0}, {96, 96, 1},
                          {97, 40, 0}, {40, 97, 0}, {60, 60, 1}, {34, 96, 1}};
    for (const Case& k : cases) {
        EXPECT_EQ(doc->IsHexInMapArea(MakeHex(k.row, k.column)), k.in) << k.row << "," << k.column;
    }
    EXPECT_EQ(doc->IsHexInMapArea(-1), 0);
}

TEST_F(DocFixture, FindCityNameAndReserveUnits)
{
    doc->m_nCityName = 2;
    doc->m_CityName[0] = {MakeHex(40, 40), "アルファ"};
    doc->m_CityName[1] = {MakeHex(41, 41), "ベータ"};
    doc->m_CityName[2] = {MakeHex(42, 42), "ガンマ"};
    ASSERT_NE(doc->FindCityName(MakeHex(41, 41)), nullptr);
    EXPECT_SJIS_EQ(doc->m_CityName[1].szName, doc->FindCityName(MakeHex(41, 41))->szName);
    EXPECT_EQ(doc->FindCityName(MakeHex(42, 42)), nullptr);  // beyond the count
    // A damaged count reads no further than the table.
    doc->m_nCityName = 100000;
    EXPECT_EQ(doc->FindCityName(MakeHex(99, 99)), nullptr);

    EXPECT_EQ(doc->FindFirstReserveUnit(), &doc->m_GameData.CarryUnit[0]);
    doc->m_GameData.CarryUnit[0].dwFlag = kUnitInUse;
    EXPECT_EQ(doc->FindFirstReserveUnit(), &doc->m_GameData.CarryUnit[1]);
    for (UNITSTRUCT& u : doc->m_GameData.CarryUnit) u.dwFlag = kUnitInUse;
    EXPECT_EQ(doc->FindFirstReserveUnit(), nullptr);
}

// --- notifications ------------------------------------------------------------

TEST_F(DocFixture, NotificationsRedrawTheWholeMapOnlyWhereTheyShould)
{
    struct Case {
        int code;
        std::vector<std::string> calls;
    };
    const std::string redraw = "RedrawMap(0)";
    const Case cases[] = {
        {0, {redraw}},
        {1, {redraw, "SelectTerrainColours()"}},
        {2, {"RebuildUnitDisplayMap()", redraw}},
        {4, {"ResetChildWindows()", redraw}},
        {5, {"NotifySituationTable(15)"}},
        {6, {"ShowHexAndFlash(5000)"}},
        {7, {"RedrawHexIfVisible(5000)"}},
        {10, {"CentreOnHex(5000)"}},
        {11, {"ApplyViewOptions(00001388,FFF30000)", redraw}},
        {12, {"PlayCDTrack(5000)"}},
        {13, {"CloseCDAudio()"}},
        {14, {"OpenProgressWindow()", redraw}},
        {15, {"CloseProgressWindow()", redraw}},
        {16, {"UpdateProgressWindow(5000)"}},
        {17, {"PlaySE(5000)"}},
        {18, {"StopAllSound()"}},
        {19, {redraw}},
        {20, {"ReleaseSoundEffects()"}},
        // Unit codes without a unit, and codes that are no notification.
        {3, {}},
        {8, {}},
        {9, {}},
        {-1, {}},
        {21, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.code);
        view.calls.clear();
        EXPECT_EQ(doc->NotifyView(k.code, 5000), 0);
        EXPECT_EQ(view.calls, k.calls);
    }
}

TEST_F(DocFixture, NotificationsWithAUnit)
{
    UNITSTRUCT& u = doc->m_GameData.Country[0].Unit[2];
    u.nHex = 4242;
    for (int code : {3, 8, 9}) doc->NotifyView(code, &u);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"SetHexUnitDisplay(4242)", "AfterUnitLeftPlay(4242)",
                                                    "RefreshUnitWindows(4242)"}));
    // A unit off the map has no display entry to set; other codes ignore units.
    view.calls.clear();
    u.nHex = -1;
    doc->NotifyView(3, &u);
    doc->NotifyView(2, &u);
    doc->NotifyView(9, static_cast<UNITSTRUCT*>(nullptr));
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(DocFixture, ShowHexThatTheViewCannotShow)
{
    view.canShowHex = false;
    EXPECT_EQ(doc->NotifyView(6, 5000), -1);
    EXPECT_EQ(view.Count("RedrawMap(0)"), 0);
    // A hex off the map never reaches the view.
    view.calls.clear();
    view.canShowHex = true;
    EXPECT_EQ(doc->NotifyView(6, kHexCount), -1);
    doc->NotifyView(7, -3);
    doc->NotifyView(10, 99999);
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(DocFixture, ViewOptionMaskFollowsTheCurrentCountry)
{
    doc->NotifyView(11, 0x7);
    EXPECT_EQ(view.calls.front(), "ApplyViewOptions(00000007,FFF30000)");  // human current country
    view.calls.clear();
    doc->m_pCurCountry->dwFlag |= kCountryCpu;
    doc->NotifyView(11, 0x7);
    EXPECT_EQ(view.calls.front(), "ApplyViewOptions(00000007,FFF00000)");
    view.calls.clear();
    doc->SetCurrentCountry(-1);
    doc->NotifyView(11, 0x7);
    EXPECT_EQ(view.calls.front(), "ApplyViewOptions(00000007,FFF00000)");
}

TEST_F(DocFixture, ViewOptionStoredInTheCurrentCountry)
{
    view.viewOption = 0x12345678u;
    doc->NotifyView(19);
    EXPECT_EQ(doc->m_pCurCountry->dwViewOption, 0x12340008u);
    doc->SetCurrentCountry(-1);
    EXPECT_EQ(doc->NotifyView(19), 0);  // nothing to store it in
}

TEST_F(DocFixture, PhaseCommandState)
{
    struct Case {
        bool enable, human, cpuCountry, hasCur;
        int index;
        bool phase;
    };
    const Case cases[] = {
        {true, true, false, true, 0, true},    {true, false, false, true, 0, false},
        {true, true, true, true, 0, false},    {false, true, false, true, -1, false},
        {true, true, false, false, -1, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.enable << k.human << k.cpuCountry << k.hasCur);
        doc->SetCurrentCountry(k.hasCur ? 0 : -1);
        doc->m_GameData.Country[0].dwFlag = kCountryPresent | (k.cpuCountry ? kCountryCpu : 0);
        view.state.phaseCommands = true;
        doc->SetPhaseCommandState(k.enable, k.human);
        EXPECT_EQ(view.curIndex, k.index);
        EXPECT_EQ(view.curCountry, k.index >= 0 ? doc->m_pCurCountry : nullptr);
        EXPECT_EQ(view.state.phaseCommands, k.phase);
    }
}

// --- units, capitals and computer turns ------------------------------------------

TEST_F(DocFixture, UnitLeavingABaseFlagsTheComputerTurn)
{
    enum Owner { None, Enemy, NotListed };
    HEXINDEX hex = MakeHex(50, 50);
    for (bool humanUnit : {true, false}) {
        for (Owner owner : {None, Enemy, NotListed}) {
            SCOPED_TRACE(testing::Message() << "human " << humanUnit << " owner " << owner);
            int country = humanUnit ? 0 : 1;
            doc->m_GameData.Country[country].dwFlag = kCountryPresent | (humanUnit ? 0 : kCountryCpu);
            // The computer's own list, as its turn set-up left it; a human
            // unit rebuilds it from the countries (a stale list is there).
            int32_t stale[] = {humanUnit ? 2 : 0, -1};
            std::memcpy(doc->m_CpuWork.nEnemy, stale, sizeof stale);
            int enemy = humanUnit ? 1 : 0;
            int friendOf = humanUnit ? 2 : 3;  // same side as the unit's country
            MAPCELL cell = WithTerrain(0, kFixtureTerrainCity);
            if (owner == Enemy) cell = WithOwner(cell, enemy);
            if (owner == NotListed) cell = WithOwner(cell, friendOf);
            doc->m_dwHexCell[hex] = cell;
            UNITSTRUCT& u = doc->m_GameData.Country[country].Unit[0];
            u.refSelf = MakeUnitRef(country, 0);
            u.nHex = hex;
            doc->m_dwHexUnit[hex] = u.refSelf;
            doc->m_dwCpuFlags = 0;
            view.calls.clear();

            doc->UnitLeftHex(u);
            EXPECT_EQ(doc->m_dwHexUnit[hex], kNoUnit);
            EXPECT_EQ(view.calls,
                      std::vector<std::string>{"ClearHexUnitDisplay(" + std::to_string(hex) + ")"});
            EXPECT_EQ((doc->m_dwCpuFlags & kCpuFlagBaseLeft) != 0, owner != NotListed);
            if (humanUnit) {
                EXPECT_EQ(doc->m_CpuWork.nEnemy[0], 1);
                EXPECT_EQ(doc->m_CpuWork.nEnemy[1], 3);
                EXPECT_EQ(doc->m_CpuWork.nEnemy[2], -1);
            }
        }
    }
}

TEST_F(DocFixture, UnitLeavingOtherHexes)
{
    UNITSTRUCT& u = doc->m_GameData.Country[0].Unit[0];
    u.refSelf = MakeUnitRef(0, 0);
    struct Case {
        HEXINDEX hex;
        MAPCELL cell;
        const char* what;
    };
    const Case cases[] = {
        {MakeHex(50, 50), WithTerrain(0, kFixtureTerrainPlain), "terrain without owners"},
        {MakeHex(50, 50), WithTerrain(0, kFixtureTerrainCity), "terrain index beyond the library's table"},
        {-1, 0, "unit off the map"},
    };
    // A library that knows fewer terrains than a map cell can name.
    DataLibrary shortLib = zrvtest::FixtureLibrary();
    shortLib.TerrainBase = shortLib.TerrainBase.first(kFixtureTerrainCity);
    for (const Case& k : cases) {
        SetLib(k.cell == WithTerrain(0, kFixtureTerrainCity) ? &shortLib : &zrvtest::FixtureLibrary());
        SCOPED_TRACE(k.what);
        u.nHex = k.hex;
        if (IsMapHex(k.hex)) doc->m_dwHexCell[k.hex] = k.cell;
        doc->m_dwCpuFlags = 0;
        doc->UnitLeftHex(u);
        EXPECT_EQ(doc->m_dwCpuFlags, 0u);
    }
}

TEST_F(DocFixture, CampaignCapitalNeverLeavesThePlayableArea)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    HEXINDEX lost = MakeHex(50, 50);
    struct Case {
        bool campaign;
        int index;
        HEXINDEX newHex;
        int searchResult, result;
        HEXINDEX capital;
    };
    const HEXINDEX outside = MakeHex(10, 10), inside = MakeHex(60, 60);
    const Case cases[] = {
        {true, 0, outside, 1, 0, lost},      // the guard: capital restored, 0
        {true, 0, inside, 1, 1, inside},     // inside: the search's choice stands
        {true, 1, outside, 1, 1, outside},   // not the campaign's first country
        {false, 0, outside, 1, 1, outside},  // not a campaign
        {true, 0, kNoHex, 0, 0, outside},    // no city left: the search's 0
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.campaign << " " << k.index << " " << k.newHex);
        doc->m_dwGameOption = k.campaign ? kOptionCampaign : 0;
        c.nIndex = k.index;
        c.nCapital = outside;
        doc->SetStubResult(DocStub::CapitalSearch, k.searchResult);
        doc->m_nStubCapitalHex = k.newHex;
        EXPECT_EQ(doc->RelocateCapital(c, lost), k.result);
        EXPECT_EQ(c.nCapital, k.capital);
    }
}

TEST_F(DocFixture, CapitalMoveAnnouncement)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    doc->m_nCityName = 1;
    doc->m_CityName[0] = {MakeHex(60, 60), "ベータ"};
    c.nCapital = MakeHex(60, 60);
    doc->AnnounceCapitalMove(c, MakeHex(10, 10));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "ノルデンはマップ外にある今までの首都からベータへ遷都しました");
    EXPECT_EQ(view.Count("PlaySE(47)"), 1);

    doc->m_dwGameOption |= kOptNoCapitalBoxes;
    doc->AnnounceCapitalMove(c, MakeHex(10, 10));
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(view.Count("PlaySE(47)"), 2);
}

TEST_F(DocFixture, ComputerTurnStandInEndsThePhase)
{
    doc->SetFlowState(PHASE_CPU);
    doc->RunCpuTurnStep();
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_ENDPHASE);
    EXPECT_EQ(mirror, PHASE_ENDPHASE);
    EXPECT_EQ(view.Count("CloseProgressWindow()"), 1);
    EXPECT_TRUE(dialogs.Boxes().empty());
    // With no map view to carry them out, the computer's orders are refused.
    UNITSTRUCT& u = doc->m_GameData.Country[1].Unit[0];
    EXPECT_LT(doc->ExecuteCpuAction(kCpuActAttack, u, 0), 0);
    EXPECT_LT(doc->CpuMoveUnitToward(u, MakeHex(40, 40)), 0);
}

// The computer player's orders and steps reach whatever the owner installs.
TEST_F(DocFixture, ComputerSeamsReachTheInstalledParts)
{
    struct Executor : OrderExecutor {
        std::vector<std::string> orders;
        int ExecuteCpuAction(int action, UNITSTRUCT& u, int arg) override
        {
            orders.push_back("act " + std::to_string(action) + " " + std::to_string(u.nHex) + " " +
                             std::to_string(arg));
            return 5;
        }
        int CpuMoveUnitToward(UNITSTRUCT& u, HEXINDEX target, const CpuMoveFlags& flags) override
        {
            orders.push_back("move " + std::to_string(u.nHex) + " " + std::to_string(target) + " " +
                             std::to_string(flags.nEnd));
            return 2;
        }
    } executor;
    struct Step : CpuTurnStep {
        int runs = 0;
        void RunCpuTurnStep(CZRKGameDoc& d) override
        {
            ++runs;
            ++d.m_nCpuStep;
        }
    } step;
    doc->SetOrderExecutor(&executor);
    doc->SetCpuTurnStep(&step);
    UNITSTRUCT& u = doc->m_GameData.Country[1].Unit[3];
    u.nHex = 777;
    EXPECT_EQ(doc->ExecuteCpuAction(kCpuActPlaceProduction, u, (4 << 16) | 900), 5);
    EXPECT_EQ(doc->CpuMoveUnitToward(u, 800), 2);
    doc->RunCpuTurnStep();
    EXPECT_EQ(executor.orders, (std::vector<std::string>{"act 7 777 263044", "move 777 800 1"}));
    EXPECT_EQ(step.runs, 1);
    EXPECT_EQ(doc->m_nCpuStep, 1);
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_HUMAN);  // the installed step decides

    doc->SetOrderExecutor(nullptr);
    doc->SetCpuTurnStep(nullptr);
    EXPECT_LT(doc->ExecuteCpuAction(kCpuActAttack, u, 0), 0);
    doc->RunCpuTurnStep();
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_ENDPHASE);
}

TEST_F(DocFixture, TurnStateCommitAndPhaseEnd)
{
    doc->m_nNextFlowState = PHASE_HISTORY;
    doc->CommitTurnState();
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_HISTORY);
    EXPECT_EQ(mirror, PHASE_HISTORY);

    dialogs.QueueAnswer(kAnswerCancel);
    EXPECT_EQ(doc->EndActionPhase(true), 0);
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_HISTORY);
    EXPECT_SJIS_EQ(dialogs.Boxes().back().text, "ノルデンの行動フェイズを終了します\nよろしいですか？");
    dialogs.QueueAnswer(kAnswerOk);
    EXPECT_EQ(doc->EndActionPhase(true), 1);
    EXPECT_EQ(mirror, PHASE_ENDPHASE);
}

TEST_F(DocFixture, WeatherQueries)
{
    struct Case {
        uint32_t state;
        int weather, snow;
    };
    const Case cases[] = {{0x40000000u, 3, 0}, {0x60000000u, 3, 1}, {0x20000000u, 0, 0}, {0, 0, 0}};
    doc->m_GameData.nWeather = 3;
    for (const Case& k : cases) {
        doc->m_GameData.dwStateFlag = k.state;
        EXPECT_EQ(doc->GetWeatherIfEnabled(), k.weather) << std::hex << k.state;
        EXPECT_EQ(doc->IsSnowSeason(), k.snow) << std::hex << k.state;
    }
}

TEST_F(DocFixture, ForwardersReturnTheirScriptedCodes)
{
    UNITSTRUCT& u = doc->m_GameData.Country[0].Unit[0];
    EXPECT_EQ(doc->GetWaterMoveSound(u, 1, 2), 0);
    doc->SetStubResult(DocStub::GetWaterMoveSound, 82);
    EXPECT_EQ(doc->GetWaterMoveSound(u, 1, 2), 82);
    EXPECT_EQ(doc->StubCalls(DocStub::GetWaterMoveSound), 2);
    // Never less than 1, whatever the rule finds.
    doc->SetStubResult(DocStub::GetDurabilityIncreaseLimit, 0);
    EXPECT_EQ(doc->GetDurabilityIncreaseLimit(u), 1);
    doc->SetStubResult(DocStub::GetDurabilityIncreaseLimit, 7);
    EXPECT_EQ(doc->GetDurabilityIncreaseLimit(u), 7);
}

TEST_F(DocFixture, WaterMoveSoundForAGroundUnitWadingWithoutRoads)
{
    const HEXINDEX land = MakeHex(40, 40), sea = MakeHex(41, 40);
    const MAPCELL road = (1u << 24) | (50u << 8);  // a route with durability
    struct Case {
        int arms;
        MAPCELL from, to;
        int sound;
        const char* what;
    } cases[] = {
        {zrvtest::kFixtureInfantry, kFixtureTerrainPlain, zrvtest::kFixtureSea, 31, "into the water"},
        {zrvtest::kFixtureInfantry, zrvtest::kFixtureSea, zrvtest::kFixtureSea, 31, "still wading"},
        {zrvtest::kFixtureInfantry, zrvtest::kFixtureSea, kFixtureTerrainPlain, 0, "ashore again"},
        {zrvtest::kFixtureInfantry, kFixtureTerrainPlain | road, zrvtest::kFixtureSea | road, 0, "roads at both ends"},
        {zrvtest::kFixtureInfantry, kFixtureTerrainPlain, zrvtest::kFixtureSea | road, 31, "a road at one end only"},
        {zrvtest::kFixtureDestroyer, zrvtest::kFixtureSea, zrvtest::kFixtureSea, 0, "a ship does not wade"},
        {zrvtest::kFixtureTank, kFixtureTerrainPlain, zrvtest::kFixtureSea, 0, "its move type has no sound"},
    };
    UNITSTRUCT& u = doc->m_GameData.Country[0].Unit[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        u.dwFlag = kUnitInUse;
        u.nArms = c.arms;
        doc->m_dwHexCell[land] = c.from;
        doc->m_dwHexCell[sea] = c.to;
        EXPECT_EQ(doc->GetWaterMoveSound(u, land, sea), c.sound);
    }
    EXPECT_EQ(doc->GetWaterMoveSound(u, sea, -1), 0) << "off the map";
}

TEST_F(DocFixture, DurabilityIncreaseLimitFollowsTheFunds)
{
    UNITSTRUCT& u = doc->m_GameData.Country[0].Unit[0];
    u.dwFlag = kUnitInUse;
    u.nArms = zrvtest::kFixtureInfantry;
    u.nHex = MakeHex(40, 40);
    u.nStrength = 10;
    doc->m_dwHexCell[u.nHex] = kFixtureTerrainPlain | (100u << 8);
    doc->RefreshUnitHexCell(u);
    doc->m_GameData.Country[0].nFund = 45;  // three steps leave 15
    EXPECT_EQ(doc->GetDurabilityIncreaseLimit(u), 3);
    doc->m_GameData.Country[0].nFund = 5;
    EXPECT_EQ(doc->GetDurabilityIncreaseLimit(u), 1) << "never less than one";
}

// A unit of country c on hex h of the document.
UNITSTRUCT& PlaceDocUnit(CZRKGameDoc& doc, int c, int slot, int type, HEXINDEX h)
{
    UNITSTRUCT& u = doc.m_GameData.Country[c].Unit[slot];
    u = UNITSTRUCT{};
    u.dwFlag = kUnitInUse;
    u.nArms = type;
    u.nHex = h;
    u.refSelf = MakeUnitRef(c, slot);
    u.dwCargo = MakeCargo(kNoCarrier, 0);
    u.nFuel = 50;
    u.nMove = 6;
    u.dwHexCell = doc.m_dwHexCell[h];
    doc.m_dwHexUnit[h] = u.refSelf;
    return u;
}

TEST_F(DocFixture, MoveAndMarchChecksFillTheReachMap)
{
    std::fill(std::begin(doc->m_dwHexCell), std::end(doc->m_dwHexCell), static_cast<MAPCELL>(zrvtest::kFixturePlain));
    UNITSTRUCT& u = PlaceDocUnit(*doc, 0, 0, zrvtest::kFixtureInfantry, MakeHex(50, 50));
    const HEXINDEX far = MakeHex(50, 55);  // cost 10: beyond a turn, within the fuel
    EXPECT_EQ(doc->CheckMove(u), 0);
    EXPECT_EQ(doc->m_dwHexMove[MakeHex(50, 51)] & 0xC000FFFFu, 2u);
    EXPECT_EQ(doc->m_dwHexMove[far] & 0xC000FFFFu, 0x4000000Au);
    EXPECT_EQ(doc->m_dwHexWork1[MakeHex(50, 51)] & 0xFFFFu, 2u);
    EXPECT_EQ(doc->CheckMarch(u), 0);
    EXPECT_EQ(doc->m_dwHexMove[far] & 0xC000FFFFu, 10u) << "a march has no per-turn cap";
    u.nFuel = 1;
    EXPECT_EQ(doc->CheckMove(u), 82);
    EXPECT_EQ(doc->CheckMarch(u), 82);
    u.dwFlag |= 0x1000u;  // moved this turn
    EXPECT_EQ(doc->CheckMove(u), 80);
}

TEST_F(DocFixture, SearchPassFlagsTheComputerTurn)
{
    // Country 1 (side 1, computer-run) searches; country 0's unit hides 5 hexes east.
    doc->m_GameData.Country[1].dwFlag |= kCountryFog;
    UNITSTRUCT& u = PlaceDocUnit(*doc, 1, 0, zrvtest::kFixtureInfantry, MakeHex(40, 40));
    UNITSTRUCT& enemy = PlaceDocUnit(*doc, 0, 0, zrvtest::kFixtureInfantry, MakeHex(40, 45));
    const HEXINDEX stay[] = {MakeHex(40, 40), kNoHex};
    const HEXINDEX east[] = {MakeHex(40, 41), MakeHex(40, 42), kNoHex};
    struct Case {
        bool found;
        uint32_t supplyFlag, flags;
    };
    const Case cases[] = {{false, 0, 0},
                          {true, 0, kCpuFlagSearchFound},
                          {false, 0x04000000u, kCpuFlagBaseLeft},
                          {true, 0x04000000u, kCpuFlagSearchFound | kCpuFlagBaseLeft}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.found << " " << std::hex << k.supplyFlag);
        std::fill(std::begin(doc->m_dwHexSearch), std::end(doc->m_dwHexSearch), 0xFFFFFFFFu);
        enemy.dwFlag |= 0x4000u;  // hidden from side 1
        doc->m_dwCpuFlags = 0;
        u.dwSupplyFlag = k.supplyFlag;
        const int result = doc->SearchFromUnit(u, k.found ? std::span<const HEXINDEX>(east) : stay);
        EXPECT_EQ(result & 1, k.found ? 1 : 0);
        EXPECT_EQ(doc->m_dwCpuFlags, k.flags);
        EXPECT_EQ((enemy.dwFlag & 0x4000u) == 0, k.found);
    }
}

TEST_F(DocFixture, SearchUpdatesFogCellsOnlyForTheViewingSide)
{
    doc->m_GameData.Country[1].dwFlag |= kCountryFog;
    UNITSTRUCT& u = PlaceDocUnit(*doc, 1, 0, zrvtest::kFixtureInfantry, MakeHex(40, 40));
    const HEXINDEX path[] = {MakeHex(40, 41), kNoHex};
    for (int view : {0, 3}) {
        SCOPED_TRACE(view);
        std::fill(std::begin(doc->m_dwHexSearch), std::end(doc->m_dwHexSearch), 0xFFFFFFFFu);
        doc->m_dwHexCell[MakeHex(40, 43)] = kCellFog;
        doc->SetCurrentCountry(1);
        doc->m_pViewCountry = &doc->m_GameData.Country[view];
        (void)doc->SearchFromUnit(u, path);
        EXPECT_EQ(CellInFog(doc->m_dwHexCell[MakeHex(40, 43)]), view == 0);
    }
}

TEST_F(DocFixture, UnitUnseenByEnemy)
{
    UNITSTRUCT& u = PlaceDocUnit(*doc, 0, 0, zrvtest::kFixtureInfantry, MakeHex(40, 40));
    doc->m_dwHexSearch[MakeHex(40, 40)] = 0x2u;  // side 1 has no sight there
    EXPECT_EQ(doc->IsUnitUnseenByEnemy(u), 0) << "without fog of war everything is seen";
    doc->m_dwGameOption |= kOptCurrentFog;
    EXPECT_EQ(doc->IsUnitUnseenByEnemy(u), 1);
    doc->m_dwHexSearch[MakeHex(40, 40)] = 0x1u;  // only side 0 lacks sight
    EXPECT_EQ(doc->IsUnitUnseenByEnemy(u), 0);
}

TEST(GameDocRules, EnemyCountryListIsBounded)
{
    auto game = std::make_unique<GAMEDATASTRUCT>();
    std::memset(game.get(), 0, sizeof *game);
    for (int i = 0; i < kCountryCount; ++i) {
        game->Country[i].dwFlag = kCountryPresent;
        game->Country[i].nSide = i == 0 ? 0 : 1;
    }
    game->Country[5].dwFlag = 0;  // absent
    game->Country[6].nSide = 2;   // neither side
    int32_t out[8];
    EXPECT_EQ(ListEnemyCountries(*game, 0, out), 5);
    EXPECT_EQ(std::vector<int32_t>(out, out + 6), (std::vector<int32_t>{1, 2, 3, 4, 7, -1}));
    int32_t small[3];
    EXPECT_EQ(ListEnemyCountries(*game, 0, small), 2);
    EXPECT_EQ(small[2], -1);
    EXPECT_EQ(ListEnemyCountries(*game, 9, out), 0);
    EXPECT_EQ(out[0], -1);
}

TEST(GameDocRules, SjisTextCutting)
{
    EXPECT_EQ(CutSjisText("abcdefgh", 7), "abcdefg");
    EXPECT_EQ(CutSjisText("あいうえ", 7), "あいう");
    EXPECT_EQ(CutSjisText("aあいうえ", 7), "aあいう");
    EXPECT_EQ(CutSjisText("ab\x82", 7), "ab");  // a lead byte cut off at the end
    EXPECT_EQ(CountSjisChars("aあい"), 3);
    EXPECT_EQ(CountSjisChars(""), 0);
}

}  // namespace
}  // namespace zrv
