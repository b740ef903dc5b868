// The phase steps on the fixture battle with the real unit and country rules
// behind them (nothing scripted): losses for lack of fuel, new and retired
// unit types, and a capital that moves away from an enemy massing round it.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "battle/engine/CountryOps.h"
#include "battle/engine/GameApp.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/OrderBackends.h"
#include "engine/BattleFixture.h"
#include "engine/RuleFixture.h"
#include "platform/core/Text.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

class PhaseStepsWiringTest : public BattleFixture {
protected:
    void SetUp() override
    {
        BattleFixture::SetUp();
        // A library of our own, so a test can change the unit types.
        rules = std::make_unique<zrvtest::RuleLibrary>();
        SetLib(&rules->lib);
        executor = std::make_unique<BackendOrderExecutor>(*doc);
        doc->SetOrderExecutor(executor.get());
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        BattleFixture::TearDown();
    }

    UNITSTRUCT& AddUnit(int country, int slot, int type, HEXINDEX hex, uint32_t flags)
    {
        COUNTRYSTRUCT& c = Country(country);
        UNITSTRUCT& u = c.Unit[slot];
        u = {};
        u.dwFlag = kUnitInUse | flags;
        u.nArms = type;
        u.nHex = hex;
        u.dwHexCell = doc->m_dwHexCell[hex];
        u.nStrength = 10;
        u.nFuel = 50;
        u.refSelf = MakeUnitRef(country, slot);
        u.dwCargo = MakeCargo(kNoCarrier, 0);
        ++c.nUnit;
        doc->m_dwHexUnit[hex] = u.refSelf;
        return u;
    }

    // Only the tank is of nation 1; the country develops its class (4).
    void OnlyTheTankIsOurs(COUNTRYSTRUCT& c)
    {
        c.nCountryId = 1;
        std::memset(c.dwClassList, 0xFF, sizeof c.dwClassList);
        c.dwClassMask[0] = 1u << 4;
        for (int t = 1; t < zrvtest::kRuleTypeCount; ++t) {
            if (t != zrvtest::kFixtureTank) rules->Arms(t).nNation = 9;
        }
        rules->Arms(zrvtest::kFixtureTank).nEvolution = 2;
    }

    std::unique_ptr<zrvtest::RuleLibrary> rules;
    std::unique_ptr<BackendOrderExecutor> executor;
};

TEST_F(PhaseStepsWiringTest, AnAircraftOutOfFuelIsLostAtTheEndOfThePhase)
{
    for (int country : {0, 1}) {
        SCOPED_TRACE(country);
        COUNTRYSTRUCT& c = Country(country);
        const HEXINDEX dry = MakeHex(45, 40 + 20 * country), fuelled = MakeHex(46, 40 + 20 * country);
        UNITSTRUCT& lost = AddUnit(country, 1, zrvtest::kFixtureFighter, dry, kUnitActed);
        lost.nFuel = 0;
        UNITSTRUCT& kept = AddUnit(country, 2, zrvtest::kFixtureFighter, fuelled, kUnitActed);
        const int before = c.nUnit;
        const size_t boxes = dialogs.Boxes().size();

        doc->SetCurrentCountry(country);
        doc->StepEndPhase();

        EXPECT_FALSE(lost.dwFlag & kUnitInUse);
        EXPECT_EQ(doc->m_dwHexUnit[dry], kNoUnit);
        EXPECT_EQ(c.nUnit, before - 1);
        EXPECT_TRUE(kept.dwFlag & kUnitInUse);
        EXPECT_EQ(doc->m_dwHexUnit[fuelled], kept.refSelf);
        // The infantry that stayed paid its minimum use and is ready again.
        EXPECT_TRUE(c.Unit[0].dwFlag & kUnitInUse);
        EXPECT_FALSE(c.Unit[0].dwFlag & kUnitActed);
        // Only a human player is told.
        if (country == 0) {
            ASSERT_EQ(dialogs.Boxes().size(), boxes + 1);
            EXPECT_SJIS_EQ(dialogs.Boxes().back().text, "燃料切れのため墜落します");
        } else {
            EXPECT_EQ(dialogs.Boxes().size(), boxes);
        }
    }
}

TEST_F(PhaseStepsWiringTest, AnAircraftWithoutFuelSurvivesOnlyWhereItCanTakeFuel)
{
    // Fuel is taken where the hex's resupply test passes: a base field with
    // bit 2 on a hex of the unit's own country (snow does not matter), not
    // merely where the hex would serve as a base.
    struct Case {
        const char* name;
        uint32_t baseField;  // of the airfield, base kind 3 in bits 12-15
        int owner;
        bool snow;
        bool kept;
    };
    const Case cases[] = {
        {"own airfield", 0x6200, 0, false, true},
        {"airfield of nobody", 0x6200, -1, false, false},
        {"airfield of the enemy", 0x6200, 1, false, false},
        {"own field with bit 0 in snow", 0x5200, 0, true, true},
        {"own field that only serves as a base", 0x3200, 0, false, false},
    };
    int slot = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        rules->Terrain(zrvtest::kFixtureAirfield).dwBaseField = k.baseField;
        rules->Refresh();
        doc->m_GameData.dwStateFlag =
            k.snow ? (doc->m_GameData.dwStateFlag | 0x60000000u) : (doc->m_GameData.dwStateFlag & ~0x60000000u);
        const HEXINDEX hex = MakeHex(44, 30 + slot);
        doc->m_GameData.dwHexCell[hex] = doc->m_dwHexCell[hex] =
            WithOwner(WithTerrain(0, zrvtest::kFixtureAirfield), k.owner);
        UNITSTRUCT& fighter = AddUnit(0, slot++, zrvtest::kFixtureFighter, hex, kUnitActed);
        fighter.nFuel = 0;
        doc->SetCurrentCountry(0);
        doc->StepEndPhase();
        EXPECT_EQ((fighter.dwFlag & kUnitInUse) != 0, k.kept);
    }
}

TEST_F(PhaseStepsWiringTest, OnlyASubmergedUnitWithoutEnduranceSurfacesOrSinks)
{
    // Endurance: 1 for a unit that is not a submerged submarine; else the
    // battery, plus the fuel unless the type runs on the battery alone.
    struct Case {
        const char* name;
        int type;
        uint32_t typeFlags;  // added to the type's own
        int fuel, battery;
        bool kept, stillInWater;
    };
    const Case cases[] = {
        {"amphibian afloat with fuel and no battery", zrvtest::kRuleAmphibian, 0, 50, 0, true, true},
        {"submarine that may run on fuel", zrvtest::kFixtureSubmarine, 1u << 10, 50, 0, true, true},
        {"submarine on battery alone, battery empty", zrvtest::kFixtureSubmarine, 0, 50, 0, true, false},
        {"submarine that may run on fuel, both empty", zrvtest::kFixtureSubmarine, 1u << 10, 0, 0, false, false},
    };
    int slot = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const uint32_t flags = rules->Arms(k.type).dwArmsFlag;
        rules->Arms(k.type).dwArmsFlag |= k.typeFlags;
        rules->Refresh();
        // Deep water; the last case stands on shallows, where it sinks.
        const HEXINDEX hex = MakeHex(62, 30 + slot);
        const int terrain = k.kept ? zrvtest::kFixtureSea : zrvtest::kFixtureShallows;
        doc->m_GameData.dwHexCell[hex] = doc->m_dwHexCell[hex] = WithTerrain(0, terrain);
        UNITSTRUCT& u = AddUnit(1, slot++, k.type, hex, kUnitActed | kUnitInWater);
        u.nFuel = k.fuel;
        u.nBattery = k.battery;
        doc->SetCurrentCountry(1);
        doc->StepEndPhase();
        EXPECT_EQ((u.dwFlag & kUnitInUse) != 0, k.kept);
        if (k.kept) EXPECT_EQ((u.dwFlag & kUnitInWater) != 0, k.stillInWater);
        rules->Arms(k.type).dwArmsFlag = flags;
        rules->Refresh();
    }
}

TEST_F(PhaseStepsWiringTest, TheProgramsOwnExecutorEndsAHumanPhaseInFull)
{
    // No executor of the test's: the application object's wiring gives the
    // document the one the battle program plays with.
    doc->SetOrderExecutor(nullptr);
    CZRKGameApp app;
    app.AttachDocument(*doc);
    doc->m_dwGameOption |= kOptTextRecord;
    doc->m_timePhaseStart = clock.Now();
    clock.Advance(65);
    UNITSTRUCT& lost = AddUnit(0, 1, zrvtest::kFixtureFighter, MakeHex(45, 40), kUnitActed);
    lost.nFuel = 0;
    UNITSTRUCT& kept = AddUnit(0, 2, zrvtest::kFixtureFighter, MakeHex(46, 40), kUnitActed);
    view.viewOption = 0x00050000u;
    doc->SetCurrentCountry(0);
    view.calls.clear();
    doc->StepEndPhase();

    EXPECT_FALSE(lost.dwFlag & kUnitInUse);
    EXPECT_EQ(doc->m_dwHexUnit[MakeHex(45, 40)], kNoUnit);
    EXPECT_TRUE(kept.dwFlag & kUnitInUse);
    ASSERT_FALSE(dialogs.Boxes().empty());
    EXPECT_SJIS_EQ(dialogs.Boxes().back().text, "燃料切れのため墜落します");
    // The step went on: notifications 4, 19 and 13 and the phase-time line.
    EXPECT_EQ(view.Count("ResetChildWindows()"), 1);
    EXPECT_EQ(Country(0).dwViewOption & 0x00050000u, 0x00050000u);
    EXPECT_EQ(view.Count("CloseCDAudio()"), 1);
    ASSERT_FALSE(doc->m_StubRecords.empty());
    EXPECT_SJIS_EQ(doc->m_StubRecords.back(), "     1:05 (ノルデン)\n");
    doc->SetOrderExecutor(nullptr);
}

TEST_F(PhaseStepsWiringTest, ARefusedLossDoesNotStopThePhaseButACloseRequestDoes)
{
    for (bool close : {false, true}) {
        SCOPED_TRACE(close);
        doc->SetOrderExecutor(nullptr);  // refuses every order
        view.state.closeRequested = close;
        UNITSTRUCT& fighter = AddUnit(0, 1, zrvtest::kFixtureFighter, MakeHex(45, 40), kUnitActed);
        fighter.nFuel = 0;
        doc->SetCurrentCountry(0);
        view.calls.clear();
        doc->StepEndPhase();
        EXPECT_TRUE(fighter.dwFlag & kUnitInUse) << "the refused order changed nothing";
        EXPECT_EQ(view.Count("ResetChildWindows()"), close ? 0 : 1);
        EXPECT_EQ(view.Count("CloseCDAudio()"), close ? 0 : 1);
    }
    view.state.closeRequested = false;
}

TEST_F(PhaseStepsWiringTest, ALoadPutsAUnitAfloatOnDeepWaterInTheWater)
{
    // Move types 13-15 float on deep water; the flag is not kept in the file
    // but follows from the cell.
    const HEXINDEX sea = MakeHex(60, 31), land = MakeHex(60, 33);
    doc->m_GameData.dwHexCell[sea] = doc->m_dwHexCell[sea] = WithTerrain(0, zrvtest::kFixtureSea);
    UNITSTRUCT& afloat = AddUnit(0, 1, zrvtest::kRuleAmphibian, sea, 0);
    UNITSTRUCT& ashore = AddUnit(0, 2, zrvtest::kRuleAmphibian, land, kUnitInWater);
    doc->FixUpAfterLoad();
    EXPECT_TRUE(afloat.dwFlag & kUnitInWater);
    EXPECT_EQ(afloat.dwHexCell, doc->m_dwHexCell[sea]);
    EXPECT_FALSE(ashore.dwFlag & kUnitInWater);
}

TEST_F(PhaseStepsWiringTest, AnOfferedTypeIsAdoptedWithOrWithoutPay)
{
    struct Case {
        int mode;
        int fundsAfter;  // the full unit costs 10 x 20
    };
    const Case cases[] = {{0, 800}, {1, 800}, {2, 1000}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.mode);
        COUNTRYSTRUCT& c = Country(1);  // computer-run: adopts without a dialog
        OnlyTheTankIsOurs(c);
        c.nFund = 1000;
        c.dwNewWeaponSet[0] = c.dwNewWeaponSet[1] = 0;
        c.dwArmsAvail[zrvtest::kFixtureTank] = 0;
        ARMSSTRUCT& tank = rules->Arms(zrvtest::kFixtureTank);
        tank.nEntryMode = k.mode;
        tank.dwDateFrom = PackDate(40, 12, 1);
        tank.dwDateNewEnd = PackDate(41, 6, 1);
        rules->Refresh();
        doc->SetCurrentCountry(1);

        EXPECT_EQ(doc->StepNewWeapons(), PHASE_NEWWEAPON);
        EXPECT_EQ(c.nFund, k.fundsAfter);
        EXPECT_TRUE(c.dwArmsAvail[zrvtest::kFixtureTank] & kAvailByDate);
        if (k.mode != 2) {
            EXPECT_EQ(c.dwClassList[4][2], static_cast<uint32_t>(zrvtest::kFixtureTank));
            EXPECT_EQ(c.dwClassList[4][0], static_cast<uint32_t>(zrvtest::kFixtureTank));
            EXPECT_EQ(c.dwNewWeaponSet[0], 1u << 4);
        }
        // Nothing more to offer: the step moves on.
        EXPECT_EQ(doc->StepNewWeapons(), PHASE_RETIREWEAPON);
        EXPECT_EQ(c.nFund, k.fundsAfter);
    }
}

TEST_F(PhaseStepsWiringTest, ATypeCountedInPiecesCostsItsFullStrengthToAdopt)
{
    COUNTRYSTRUCT& c = Country(1);
    OnlyTheTankIsOurs(c);
    ARMSSTRUCT& tank = rules->Arms(zrvtest::kFixtureTank);
    tank.dwArmsFlag |= 1u << 1;  // counted in pieces: 20 a piece, 10 pieces
    tank.nEntryMode = 0;
    tank.dwDateFrom = PackDate(40, 12, 1);
    tank.dwDateNewEnd = PackDate(41, 6, 1);
    rules->Refresh();
    doc->SetCurrentCountry(1);
    struct Case {
        int funds;
        bool adopted;
        int fundsAfter;
    };
    for (const Case& k : {Case{199, false, 199}, Case{200, true, 0}}) {
        SCOPED_TRACE(k.funds);
        c.nFund = k.funds;
        c.dwNewWeaponSet[0] = c.dwNewWeaponSet[1] = 0;
        EXPECT_EQ(doc->StepNewWeapons(), k.adopted ? PHASE_NEWWEAPON : PHASE_RETIREWEAPON);
        EXPECT_EQ(c.nFund, k.fundsAfter);
        EXPECT_EQ((c.dwArmsAvail[zrvtest::kFixtureTank] & kAvailByDate) != 0, k.adopted);
    }
}

TEST_F(PhaseStepsWiringTest, AHumanPlayerRejectsOrDefersAnOffer)
{
    COUNTRYSTRUCT& c = Country(0);
    OnlyTheTankIsOurs(c);
    ARMSSTRUCT& tank = rules->Arms(zrvtest::kFixtureTank);
    tank.nEntryMode = 0;
    tank.dwDateFrom = PackDate(40, 12, 1);
    tank.dwDateNewEnd = PackDate(41, 6, 1);
    rules->Refresh();
    doc->SetCurrentCountry(0);

    dialogs.QueueNewWeaponAnswer(kNewWeaponReject);
    EXPECT_EQ(doc->StepNewWeapons(), PHASE_NEWWEAPON);
    EXPECT_EQ(c.nFund, 1000);
    EXPECT_TRUE(c.dwArmsAvail[zrvtest::kFixtureTank] & kAvailDevListed);
    // A rejected type is not offered again, whatever the class bits say.
    c.dwNewWeaponSet[0] = 0;
    EXPECT_EQ(doc->StepNewWeapons(), PHASE_RETIREWEAPON);

    // Under deliberation: nothing changes, and the class waits for the next phase.
    c.dwArmsAvail[zrvtest::kFixtureTank] = 0;
    dialogs.QueueNewWeaponAnswer(kNewWeaponDeliberate);
    EXPECT_EQ(doc->StepNewWeapons(), PHASE_NEWWEAPON);
    EXPECT_EQ(c.nFund, 1000);
    EXPECT_EQ(c.dwArmsAvail[zrvtest::kFixtureTank], 0u);
    EXPECT_EQ(doc->StepNewWeapons(), PHASE_RETIREWEAPON);
}

TEST_F(PhaseStepsWiringTest, ASubmarineOutOfBatterySurfacesOnDeepWaterAndSinksElsewhere)
{
    struct Case {
        int terrain;
        bool kept;
    };
    const Case cases[] = {{zrvtest::kFixtureSea, true}, {zrvtest::kFixtureShallows, false}};
    int slot = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.terrain);
        const HEXINDEX hex = MakeHex(60, 30 + slot);
        doc->m_GameData.dwHexCell[hex] = doc->m_dwHexCell[hex] = WithTerrain(0, k.terrain);
        UNITSTRUCT& sub = AddUnit(1, slot++, zrvtest::kFixtureSubmarine, hex, kUnitActed | kUnitInWater);
        sub.nBattery = 0;
        doc->SetCurrentCountry(1);
        doc->StepEndPhase();
        EXPECT_EQ((sub.dwFlag & kUnitInUse) != 0, k.kept);
        if (k.kept) {
            EXPECT_FALSE(sub.dwFlag & kUnitInWater);
        }
    }
}

TEST_F(PhaseStepsWiringTest, ARetiredTypeLeavesTheLists)
{
    for (int country : {0, 1}) {
        SCOPED_TRACE(country);
        COUNTRYSTRUCT& c = Country(country);
        OnlyTheTankIsOurs(c);
        ARMSSTRUCT& tank = rules->Arms(zrvtest::kFixtureTank);
        tank.nDevelopKind = 1;  // leaves the lists once its new period is over
        tank.dwDateNewEnd = PackDate(40, 12, 1);
        rules->Refresh();
        c.dwArmsAvail[zrvtest::kFixtureTank] = kAvailByDate;
        c.dwClassList[4][0] = c.dwClassList[4][2] = static_cast<uint32_t>(zrvtest::kFixtureTank);
        doc->SetCurrentCountry(country);
        const size_t asked = dialogs.AskedDialogs().size();

        EXPECT_EQ(doc->StepWeaponListUpdate(), PHASE_RETIREWEAPON);
        EXPECT_EQ(c.dwClassList[4][0], kNoListEntry);
        EXPECT_EQ(c.dwClassList[4][2], static_cast<uint32_t>(zrvtest::kFixtureTank) | 0x80000000u);
        EXPECT_TRUE(c.dwArmsAvail[zrvtest::kFixtureTank] & kAvailRetired);
        // The human player is shown the type that leaves its list.
        EXPECT_EQ(dialogs.AskedDialogs().size(), asked + (country == 0 ? 1u : 0u));
        EXPECT_EQ(doc->StepWeaponListUpdate(), PHASE_REINFORCE);
    }
}

TEST_F(PhaseStepsWiringTest, ACapitalUnderThreatMovesToTheNearestCity)
{
    COUNTRYSTRUCT& c = Country(0);
    const HEXINDEX capital = c.nCapital, city = MakeHex(40, 50);
    doc->m_GameData.rcMapArea = MapRect{0, 0, 99, 99};
    for (HEXINDEX hex : {capital, city}) {
        doc->m_GameData.dwHexCell[hex] = doc->m_dwHexCell[hex] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 0);
    }
    // Twenty enemy units within 5 of the capital: the roll cannot fail.
    for (int i = 0; i < 20; ++i) AddUnit(1, 1 + i, zrvtest::kFixtureInfantry, MakeHex(37 + i % 5, 38 + i / 5), 0);
    doc->SetCurrentCountry(0);
    doc->StepEndPhase();

    EXPECT_EQ(c.nCapital, city);
    // The move is announced, with both capitals shown.
    EXPECT_EQ(view.Count("ShowHexAndFlash(" + std::to_string(capital) + ")"), 1);
    EXPECT_EQ(view.Count("ShowHexAndFlash(" + std::to_string(city) + ")"), 1);
    ASSERT_FALSE(dialogs.Boxes().empty());
    EXPECT_NE(platform::SjisToUtf8(dialogs.Boxes().back().text).find(u8"遷都しました"), std::string::npos);
}

}  // namespace
}  // namespace zrv
