// Building a game from a scenario file, with the menu's settings, from a
// campaign record, and from a saved game; and keeping the running game when
// any part of a start fails.

#include "foundation/DataFile.h"
#include "foundation/RecentFiles.h"
#include "platform/core/Format.h"
#include "platform/core/Settings.h"
#include "startup/StartFixture.h"

namespace startuptest {
namespace {

using GameStart = StartFixture;

TEST_F(GameStart, NewScenarioBuildsTheWholeGameAndEntersTheStartPhase)
{
    ASSERT_EQ(doc->StartNewScenario(ScenarioFile(), false), 1);
    const GAMEDATASTRUCT& g = doc->m_GameData;
    EXPECT_TRUE(dialogs.Boxes().empty());
    EXPECT_EQ(g.nFlowState, PHASE_START);
    EXPECT_EQ(doc->m_dwGameOption, kOptScenarioStart | kSearchLevelNormal);
    EXPECT_STREQ(g.szMB2File, "FIXTURE.MB2");
    EXPECT_EQ(g.nScenario, 0);
    EXPECT_EQ(g.nVersion, kGameDataVersion);
    EXPECT_EQ(g.nCurCountry, -1);
    EXPECT_EQ(doc->m_pCurCountry, nullptr);
    // 30 turns of two hours: the last one starts 58 hours after the first.
    EXPECT_EQ(g.dwDateTime, kFixtureStart);
    EXPECT_EQ(g.dwEndDate, PackDate(41, 7, 1, 16));

    // Units numbered from the scenario's serial base, on the unit map, with
    // their hex's cell.
    const UNITSTRUCT& tank = g.Country[0].Unit[1];
    EXPECT_EQ(tank.nSerial, 2);
    EXPECT_EQ(g.Country[0].nNextSerial, 3);
    EXPECT_EQ(tank.dwBirthDate, kFixtureStart);
    EXPECT_EQ(doc->m_dwHexUnit[tank.nHex], MakeUnitRef(0, 1));
    EXPECT_EQ(tank.dwHexCell, doc->m_dwHexCell[tank.nHex]);
    EXPECT_EQ((tank.dwFlag >> kCountryDisplayShift) & 0xF, 0u);
    EXPECT_EQ((g.Country[2].Unit[0].dwFlag >> kCountryDisplayShift) & 0xF, 2u);

    // The map: area, cities, live map = saved map.
    EXPECT_EQ(doc->m_rcMapArea.left, kFixtureArea.left);
    EXPECT_EQ(doc->m_rcMapArea.bottom, kFixtureArea.bottom);
    EXPECT_EQ(doc->m_nCityName, 2);
    EXPECT_NE(doc->FindCityName(kCapital0), nullptr);
    EXPECT_EQ(std::memcmp(doc->m_dwHexCell, g.dwHexCell, sizeof doc->m_dwHexCell), 0);

    // Computer-run and human countries; the humans get the full-automatic bits.
    EXPECT_TRUE(g.Country[1].dwFlag & kCountryCpu);
    EXPECT_EQ(g.Country[0].dwFlag & kCountryFullAutoAll, kCountryFullAutoAll);
    EXPECT_EQ(g.Country[1].dwFlag & kCountryFullAutoAll, 0u);
    EXPECT_EQ(g.Country[0].dwViewOption, kNewCountryViewOption);

    // A single scenario: every type counts as seen by every country.
    for (int c = 0; c < 3; ++c) {
        for (int type = 1; type < zrvtest::kFixtureTypeCount; ++type) {
            SCOPED_TRACE(testing::Message() << "country " << c << " type " << type);
            EXPECT_TRUE(g.Country[c].dwArmsAvail[type] & kAvailSeen);
        }
    }
}

TEST_F(GameStart, AFailedStartShowsTheMessageAndLeavesTheRunningGameByteForByte)
{
    // A running game to keep.
    ASSERT_EQ(doc->StartNewScenario(ScenarioFile(), false), 1);
    doc->m_dwGameOption |= 0x00000200u;
    const std::vector<uint8_t> before = Snapshot();

    struct Case {
        const char* name;
        std::function<void()> damage;
        std::string message;  // the first box
    };
    const std::string mapPath = platform::ScenarioPath("FIXTURE.MB2");
    auto noTurns = std::make_unique<GAMEDATASTRUCT>(*scenario);
    noTurns->Head.dwTurnLimit = 20u << 16;
    std::vector<uint8_t> badMap = BuildMapFile(kFixtureArea, MapCells(), Cities(), true);
    badMap[40] ^= 0x5A;
    const Case cases[] = {
        {"missing scenario", [&] { std::filesystem::remove(folder / "Scenario" / "FIXTURE.SC2"); },
         platform::FormatText(ErrorText(kFileCannotOpen), {ScenarioFile()})},
        {"damaged scenario",
         [&] {
             std::vector<uint8_t> bytes = BuildScenarioFile(*scenario);
             bytes[100] ^= 0x5A;
             WriteBytes(folder / "Scenario" / "FIXTURE.SC2", bytes);
         },
         platform::FormatText(ErrorText(kFileBadCheck), {ScenarioFile()})},
        {"missing map", [&] { std::filesystem::remove(folder / "Scenario" / "FIXTURE.MB2"); }, ""},
        {"damaged map", [&] { WriteMap(badMap); }, platform::FormatText(ErrorText(kFileBadCheck), {mapPath})},
        {"last turn 0", [&] { WriteScenario(*noTurns); },
         platform::FormatText(ErrorText(kFileBadCheck), {ScenarioFile()})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteScenario(*scenario);
        WriteMap(BuildMapFile(kFixtureArea, MapCells(), Cities(), true));
        c.damage();
        dialogs.Clear();
        EXPECT_EQ(doc->StartNewScenario(ScenarioFile(), false), 0);
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        if (!c.message.empty()) {
            EXPECT_EQ(dialogs.Boxes()[0].text, c.message);
        }
        EXPECT_TRUE(Snapshot() == before);
    }
}

TEST_F(GameStart, MenuSettingsRenameHandOverAndRemoveCountries)
{
    GAMEMENUSTRUCT& b = block->Record();
    b.Campaign.dwGameOption = kOptScenarioStart | 0x04000000u;
    b.Campaign.dwStateFlag = 0x40000000u;
    std::strncpy(b.Campaign.szTitle, "演習", sizeof b.Campaign.szTitle);
    b.Campaign.dwDate = (5u << 16) | 12u;  // the menu's turn limits
    std::strncpy(b.Side[0].szName, "ミナト", sizeof b.Side[0].szName);
    b.Side[0] = {{}, 777, 12, 1};
    std::strncpy(b.Side[0].szName, "ミナト", sizeof b.Side[0].szName);
    b.Side[2] = {{'X'}, 5, 5, 2};  // absent
    // Side[1] has no name: country 1 stays as the scenario has it.

    ASSERT_EQ(doc->StartNewScenario(ScenarioFile(), true), 1);
    const GAMEDATASTRUCT& g = doc->m_GameData;
    EXPECT_EQ(doc->m_dwGameOption, kOptScenarioStart | 0x04000000u);
    EXPECT_STREQ(g.Head.szName, "演習");
    EXPECT_EQ(LastTurn(g.Head.dwTurnLimit), 12);
    EXPECT_EQ(g.dwStateFlag, 0x40000000u);

    EXPECT_STREQ(g.Country[0].szName, "ミナト");
    EXPECT_EQ(g.Country[0].nFund, 777);
    EXPECT_EQ(g.Country[0].nUnitMax, 12);
    EXPECT_TRUE(g.Country[0].dwFlag & kCountryCpu);

    EXPECT_STREQ(g.Country[1].szName, "ズーダン");
    EXPECT_EQ(g.Country[1].nFund, 1000);
    EXPECT_EQ(g.Country[1].nControl, 1);

    EXPECT_EQ(g.Country[2].dwFlag, 0u);
    EXPECT_EQ(g.Country[2].szName[0], '\0');
    EXPECT_EQ(doc->m_dwHexUnit[MakeHex(50, 43)], kNoUnit);
    for (int h = 0; h < kHexCount; ++h) ASSERT_NE(CellOwner(doc->m_dwHexCell[h]), 2) << h;
    EXPECT_EQ(CellOwner(doc->m_dwHexCell[MakeHex(45, 45)]), 0);
}

TEST_F(GameStart, CampaignScenarioCarriesThePlayerAndItsSerialsAndClampsTheHistory)
{
    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    std::memset(record.get(), 0, sizeof *record);
    record->nNextScenario = 0;
    record->dwDate = PackDate(41, 7, 10, 6);
    record->nFundBonus = 250;
    record->dwGameOption = kOptScenarioStart | kOptionCampaign;
    record->dwViewOption = 0x00130000u;
    record->nHistory = 300;  // damaged: more than the table holds
    record->Player.nNextSerial = 0x00000040;
    record->Player.dwFlag = kCountryPresent | 0x00000123u;
    record->Player.dwArmsAvail[3] = kAvailListed | kAvailSeen | 0x123;
    record->CarryUnit[0].dwFlag = kUnitInUse;
    record->CarryUnit[0].nArms = zrvtest::kFixtureTank;

    ASSERT_EQ(doc->StartCampaignScenario("", record.get(), 2), 1);
    const GAMEDATASTRUCT& g = doc->m_GameData;
    EXPECT_EQ(g.nCampaign, 2);
    EXPECT_EQ(g.nHistory, kHistoryCount);
    EXPECT_EQ(g.Head.dwStartDate, PackDate(41, 7, 10, 6));
    // After the first scenario of a campaign the last turn comes one later.
    EXPECT_EQ(g.dwEndDate, AdvanceGameDate(PackDate(41, 7, 10, 6), 30));

    const COUNTRYSTRUCT& player = g.Country[0];
    EXPECT_EQ(player.nUnit, 0);
    EXPECT_EQ(player.Unit[0].dwFlag, 0u);
    EXPECT_EQ(player.nFund, 1000 + 250);
    EXPECT_EQ(player.dwFlag & 0x0FFFFFFFu, 0x00000123u);
    EXPECT_EQ(player.dwArmsAvail[3] & 0xFFF, 0x123u);
    EXPECT_EQ(player.nNextSerial, 0x40);  // no units of its own: the count runs on
    EXPECT_EQ(g.Country[2].Unit[0].nSerial, 1);
    EXPECT_EQ(g.CarryUnit[0].nArms, zrvtest::kFixtureTank);
    // Other countries take the record's carried view bits.
    EXPECT_EQ(g.Country[1].dwViewOption, (kNewCountryViewOption & ~kCampaignViewOptionCarry) | 0x00130000u);
    // A campaign counts nothing as fielded: only what production passes on
    // is seen.
    EXPECT_FALSE(g.Country[1].dwArmsAvail[zrvtest::kFixtureFighter] & kAvailSeen);
}

TEST_F(GameStart, AHarderCampaignLevelTakesAwayTheComputersUnitsOfMarkedClassesWithTheirCargo)
{
    // Country 1 (computer, side 1): a destroyer (class 57) carrying a tank.
    AddUnit(scenario->Country[1], 1, zrvtest::kFixtureTank, kSeaHex);
    scenario->Country[1].Unit[1].dwFlag |= kUnitCarried;
    scenario->Country[1].Unit[1].dwCargo = MakeCargo(0, 0);
    scenario->Country[1].Unit[0].dwCargo = MakeCargo(kNoCarrier, 1);
    WriteScenario(*scenario);
    struct Case {
        int level;
        bool destroyer;  // still there afterwards
        bool tank;
        int fund;
    };
    // 0x40 drops classes with traits bit 10 (the destroyer's: its cargo goes
    // with it), 0x80 those with bit 11 (the tank's); 0x100 (bit 12) neither;
    // bit 1 halves the funds.
    for (Case c : {Case{0x40, false, false, 1000}, Case{0x80, true, false, 1000}, Case{0x100, true, true, 1000},
                   Case{2, true, true, 500}}) {
        SCOPED_TRACE(c.level);
        auto record = std::make_unique<CAMPAIGNSTRUCT>();
        std::memset(record.get(), 0, sizeof *record);
        record->dwDate = kFixtureStart;
        record->dwGameOption = kOptScenarioStart | kOptionCampaign;
        ASSERT_EQ(doc->StartCampaignScenario("", record.get(), c.level), 1);
        const COUNTRYSTRUCT& cpu = doc->m_GameData.Country[1];
        EXPECT_EQ(cpu.nLevel, c.level);
        EXPECT_EQ(cpu.nUnit, int(c.destroyer) + int(c.tank));
        EXPECT_EQ((cpu.Unit[0].dwFlag & kUnitInUse) != 0, c.destroyer);
        EXPECT_EQ((cpu.Unit[1].dwFlag & kUnitInUse) != 0, c.tank);
        if (c.destroyer) {
            EXPECT_EQ(CargoCount(cpu.Unit[0].dwCargo), int(c.tank));
        }
        EXPECT_EQ(cpu.nFund, c.fund);
        // The human countries play at level 0 whatever the campaign's level.
        EXPECT_EQ(doc->m_GameData.Country[2].nLevel, 0);
    }
}

TEST_F(GameStart, ADroppedCarrierTakesItsCargoAndTheCargosCargoAlong)
{
    // Country 1's destroyer (class 57, dropped at level 0x40) carries a tank
    // that carries an infantry unit; a second infantry stands apart.
    COUNTRYSTRUCT& c = scenario->Country[1];
    AddUnit(c, 1, zrvtest::kFixtureTank, kSeaHex);
    AddUnit(c, 2, zrvtest::kFixtureInfantry, kSeaHex);
    AddUnit(c, 3, zrvtest::kFixtureInfantry, MakeHex(55, 45));
    c.Unit[1].dwFlag |= kUnitCarried | kUnitCarries;
    c.Unit[1].dwCargo = MakeCargo(0, 1);
    c.Unit[2].dwFlag |= kUnitCarried;
    c.Unit[2].dwCargo = MakeCargo(1, 0);
    c.Unit[0].dwFlag |= kUnitCarries;
    c.Unit[0].dwCargo = MakeCargo(kNoCarrier, 1);
    WriteScenario(*scenario);
    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    std::memset(record.get(), 0, sizeof *record);
    record->dwDate = kFixtureStart;
    record->dwGameOption = kOptScenarioStart | kOptionCampaign;
    ASSERT_EQ(doc->StartCampaignScenario("", record.get(), 0x40), 1);
    const COUNTRYSTRUCT& cpu = doc->m_GameData.Country[1];
    for (int slot = 0; slot < 3; ++slot) EXPECT_FALSE(cpu.Unit[slot].dwFlag & kUnitInUse) << slot;
    EXPECT_TRUE(cpu.Unit[3].dwFlag & kUnitInUse);
    EXPECT_EQ(cpu.nUnit, 1);
    // The kept unit is numbered as the first of the country.
    EXPECT_EQ(cpu.Unit[3].nSerial, (doc->m_GameData.nScenario << 16) | 1);
}

TEST_F(GameStart, AScenarioWhoseNameEndsInA5CByteFindsItsMap)
{
    // 表 is 0x95 0x5C in CP932: its second byte is no folder separator.
    std::vector<uint8_t> sc2 = BuildScenarioFile(*scenario);
    WriteBytes(folder / "Scenario" / std::filesystem::path(u8"表.SC2"), sc2);
    std::filesystem::copy_file(folder / "Scenario" / "FIXTURE.MB2",
                               folder / "Scenario" / std::filesystem::path(u8"表.MB2"));
    ASSERT_EQ(doc->StartNewScenario(ScenarioFile("表.SC2"), false), 1);
    EXPECT_STREQ(doc->m_GameData.szMB2File, "表.MB2");
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(GameStart, TheTextRecordOpensWithTheKindOfStart)
{
    auto starts = [&](const char* heading) {
        ASSERT_FALSE(doc->m_StubRecords.empty());
        EXPECT_EQ(doc->m_StubRecords.front().rfind(heading, 0), 0u) << doc->m_StubRecords.front();
        doc->m_StubRecords.clear();
    };
    doc->m_dwGameOption = kOptTextRecord;
    ASSERT_EQ(doc->BuildScenario(ScenarioFile(), nullptr, false), 1);
    starts("\n*** Start New Scenario ! ***  ");

    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    std::memset(record.get(), 0, sizeof *record);
    record->dwDate = kFixtureStart;
    record->dwGameOption = kOptScenarioStart | kOptionCampaign | kOptTextRecord;
    ASSERT_EQ(doc->StartCampaignScenario("", record.get(), 0), 1);
    starts("\n*** Start New Campaign ! ***  ");

    // A loaded game names its turn; the record setting is the running one.
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.nTurn = 3;
    g.dwGameOption = 0xC0000000u;
    const std::string save = (folder / "TURN3.DG2").string();
    WriteBytes(save, BuildGameFile(g));
    doc->m_dwGameOption |= kOptTextRecord;
    doc->m_StubRecords.clear();
    ASSERT_EQ(doc->LoadGameFile(save), 1);
    starts("\n*** Load Game Data ! (Turn 3) ***  ");
    // Without the setting nothing is written.
    doc->m_dwGameOption &= ~kOptTextRecord;
    ASSERT_EQ(doc->LoadGameFile(save), 1);
    EXPECT_TRUE(doc->m_StubRecords.empty());
}

TEST_F(GameStart, SavedAndLoadedGamesGoIntoTheRecentFilesAndAGoneOneLeavesThem)
{
    platform::MemorySettingsStore store;
    RecentFileList recent(&store);
    doc->SetRecentFiles(&recent);
    ASSERT_EQ(doc->StartNewScenario(ScenarioFile(), false), 1);
    doc->SetCurrentCountry(0);
    doc->m_GameData.Country[0].nSaveCost = 0;
    doc->m_dwGameOption |= kOptionCampaign;  // the mark of a valid save
    const std::string one = platform::ScenarioPath("One.DG2"), two = platform::ScenarioPath("Two.DG2");
    ASSERT_TRUE(doc->SaveGame(one));
    ASSERT_TRUE(doc->SaveGame(two));
    EXPECT_EQ(recent.Entries(), (std::vector<std::string>{two, one}));
    // A save that fails changes nothing in the list.
    std::filesystem::create_directories(folder / "Scenario" / "Busy.DG2" / "x");
    EXPECT_FALSE(doc->SaveGame(platform::ScenarioPath("Busy.DG2")));
    EXPECT_EQ(recent.Entries().size(), 2u);

    // Opening an entry loads its game and puts it on top.
    doc->RunRecentFileCommand(1);
    EXPECT_EQ(doc->m_strGameFile, one);
    EXPECT_EQ(recent.Entries(), (std::vector<std::string>{one, two}));

    // A file that is gone: a clear message, the entry leaves, nothing loads.
    std::filesystem::remove(folder / "Scenario" / "Two.DG2");
    dialogs.Clear();
    doc->RunRecentFileCommand(1);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_NE(dialogs.Boxes()[0].text.find(two), std::string::npos);
    EXPECT_EQ(recent.Entries(), std::vector<std::string>{one});
    EXPECT_EQ(doc->m_strGameFile, one);
    // No such entry: nothing happens.
    doc->RunRecentFileCommand(3);
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
    doc->SetRecentFiles(nullptr);
}

TEST_F(GameStart, ACampaignWithNoHumanCountryGivesTheRecordToCountryZero)
{
    scenario->Country[0].nControl = 1;
    scenario->Country[2].nControl = 1;
    WriteScenario(*scenario);
    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    std::memset(record.get(), 0, sizeof *record);
    record->dwDate = kFixtureStart;
    record->dwGameOption = kOptScenarioStart | kOptionCampaign;
    record->nFundBonus = 5;
    ASSERT_EQ(doc->StartCampaignScenario("", record.get(), 0), 1);
    EXPECT_EQ(doc->m_GameData.Country[0].nFund, 1005);
    EXPECT_EQ(doc->m_GameData.Country[0].nUnit, 0);
}

TEST_F(GameStart, LoadingKeepsTheRunningDisplayBitsAndRefusesAnUnsoundState)
{
    ASSERT_EQ(doc->StartNewScenario(ScenarioFile(), false), 1);
    doc->SetCurrentCountry(1);
    // Bit 30 marks a valid save.
    doc->m_GameData.dwGameOption = 0xC0000000u | 0x0000FFFFu;
    const std::string save = (folder / "SAVE.DG2").string();
    WriteBytes(save, BuildGameFile(doc->m_GameData));
    auto bad = std::make_unique<GAMEDATASTRUCT>(doc->m_GameData);
    bad->nCurCountry = 4;  // absent
    const std::string badSave = (folder / "BAD.DG2").string();
    WriteBytes(badSave, BuildGameFile(*bad));

    doc->m_dwGameOption = 0x00005540u;
    doc->SetCurrentCountry(-1);
    ASSERT_EQ(doc->LoadGameFile(save), 1);
    // The sight rebuild of the load copies the current country's fog bit in.
    const uint32_t fog = (doc->m_GameData.Country[1].dwFlag & kCountryFog) ? kOptCurrentFog : 0u;
    EXPECT_EQ(doc->m_dwGameOption, 0xC0000000u | 0x5540u | 0x3Fu | fog);
    EXPECT_EQ(doc->m_pCurCountry, &doc->m_GameData.Country[1]);
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_CLOSETURN);
    EXPECT_EQ(doc->m_nNextFlowState, PHASE_CPU);  // a computer-run current country
    EXPECT_EQ(doc->m_dwHexUnit[kSeaHex], MakeUnitRef(1, 0));

    const std::vector<uint8_t> before = Snapshot();
    dialogs.Clear();
    EXPECT_EQ(doc->LoadGameFile(badSave), 0);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, platform::FormatText(ErrorText(kFileBadCheck), {badSave}));
    EXPECT_TRUE(Snapshot() == before);
}

TEST_F(GameStart, ALoadedGameMovesByItsOwnWeatherAndIsNotModified)
{
    ASSERT_EQ(doc->StartNewScenario(ScenarioFile(), false), 1);
    EXPECT_TRUE(doc->IsModified()) << "a new game is on no disk yet";
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.dwStateFlag |= kStateWeather;
    g.nWeather = 7;  // fog: ground units and ships at half their points
    doc->SetCurrentCountry(0);
    // The file holds turn values of other weather; the load must not trust them.
    for (COUNTRYSTRUCT& c : g.Country)
        for (UNITSTRUCT& u : c.Unit) u.nMove = 1;
    g.dwGameOption = 0xC0000000u;
    const std::string save = (folder / "FOG.DG2").string();
    WriteBytes(save, BuildGameFile(g));

    ASSERT_EQ(doc->LoadGameFile(save), 1);
    EXPECT_FALSE(doc->IsModified());
    int checked = 0;
    for (COUNTRYSTRUCT& c : doc->m_GameData.Country) {
        if (!(c.dwFlag & kCountryPresent)) continue;
        for (UNITSTRUCT& u : c.Unit) {
            if (!(u.dwFlag & kUnitInUse)) continue;
            UNITSTRUCT want = u;
            CalcUnitMovePoints(want, &doc->m_GameData);
            EXPECT_EQ(u.nMove, want.nMove) << "type " << u.nArms;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 4);
    EXPECT_EQ(doc->m_GameData.Country[0].Unit[0].nMove, 3);  // infantry, 6 halved
    EXPECT_EQ(doc->m_GameData.Country[1].Unit[0].nMove, 6);  // destroyer, 12 halved
    EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[0]);
    // The view serves the loaded human country and takes its orders.
    EXPECT_EQ(view.curIndex, 0);
    EXPECT_TRUE(view.state.phaseCommands);
}

TEST_F(GameStart, CapitalLostFollowsTheCapitalsTerrainAndANoCapitalCountryKeepsItsFlag)
{
    ASSERT_EQ(doc->StartNewScenario(ScenarioFile(), false), 1);
    COUNTRYSTRUCT& c0 = doc->m_GameData.Country[0];
    COUNTRYSTRUCT& c2 = doc->m_GameData.Country[2];
    EXPECT_FALSE(c0.dwFlag & kCountryCapitalLost);
    doc->m_dwHexCell[kCapital0] = WithTerrain(doc->m_dwHexCell[kCapital0], zrvtest::kFixturePlain);
    c2.nCapital = -1;
    c2.dwFlag |= kCountryCapitalLost;
    doc->FixUpAfterLoad();
    EXPECT_TRUE(c0.dwFlag & kCountryCapitalLost);
    EXPECT_TRUE(c2.dwFlag & kCountryCapitalLost);
}

TEST(GameStartRules, ClassListsLeaveOutTypesWhoseClassOrStepLiesOutsideTheLists)
{
    // A library whose tank claims class 70 and whose fighter step 12.
    DataLibrary lib = zrvtest::FixtureLibrary();
    std::vector<ARMSSTRUCT> arms(lib.ArmsData.begin(), lib.ArmsData.end());
    arms[zrvtest::kFixtureTank].nClass = 70;
    arms[zrvtest::kFixtureFighter].nEvolution = 12;
    lib.ArmsData = arms;
    SetLib(&lib);
    auto game = std::make_unique<GAMEDATASTRUCT>();
    std::memset(game.get(), 0, sizeof *game);
    game->dwDateTime = PackDate(41, 6, 1);
    COUNTRYSTRUCT& c = game->Country[0];
    c.dwFlag = kCountryPresent;
    c.nCountryId = 1;
    c.dwClassMask[0] = c.dwClassMask[1] = 0xFFFFFFFFu;
    BuildArmsAvailability(*game, c);
    BuildClassLists(*game, 0);
    for (const auto& row : c.dwClassList) {
        for (uint32_t w : row) {
            EXPECT_NE(w & 0x7FFFFFFFu, static_cast<uint32_t>(zrvtest::kFixtureTank));
            EXPECT_NE(w & 0x7FFFFFFFu, static_cast<uint32_t>(zrvtest::kFixtureFighter));
        }
    }
    SetLib(nullptr);
}

TEST(GameStartRules, DatesAdvanceAcrossMonthsYearsAndLeapDays)
{
    struct Case {
        uint32_t from;
        int steps;
        uint32_t to;
    };
    const Case cases[] = {
        {PackDate(41, 6, 30, 22), 1, PackDate(41, 7, 1, 0)},
        {PackDate(41, 12, 31, 22), 1, PackDate(42, 1, 1, 0)},
        {PackDate(40, 2, 28, 22), 1, PackDate(40, 2, 29, 0)},
        {PackDate(41, 2, 28, 22), 1, PackDate(41, 3, 1, 0)},
        {PackDate(41, 6, 21, 6), 108, PackDate(41, 6, 30, 6)},
        {PackDate(41, 6, 21, 6), 0, PackDate(41, 6, 21, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.from << " + " << std::dec << c.steps);
        EXPECT_EQ(AdvanceGameDate(c.from, c.steps), c.to);
    }
}

}  // namespace
}  // namespace startuptest
