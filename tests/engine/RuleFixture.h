#pragma once
// The fixture library with a few more unit types for the unit, combat and
// command rules, and a small game: two countries on opposite sides in a plain
// 24 x 24 area of the map. Each test owns its copy, so it may change any type,
// weapon or terrain through the named setters without touching other tests.

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

#include "battle/engine/GameTime.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "support/FixtureLibrary.h"

namespace zrvtest {

enum RuleType : int {
    kRuleTransport = zrvtest::kFixtureTypeCount,  // ship with room and a carry-space slot
    kRuleBomber,                                  // aircraft with bombs and a drop tank
    kRuleAmphibian,                               // ground unit of move type 13 (class 14)
    kRuleGuns,                                    // ground type counted in pieces
    kRuleSupplyTruck,                             // ground unit with a supply stock and construction gear
    kRuleFlatTop,                                 // air class 58: the carrier class
    kRuleTypeCount,
};

class RuleLibrary {
public:
    RuleLibrary()
    {
        const zrv::DataLibrary& base = FixtureLibrary();
        lib = base;
        arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        weapons.assign(base.WeaponData.begin(), base.WeaponData.end());
        terrain.assign(base.TerrainBase.begin(), base.TerrainBase.end());
        roads.assign(base.RoadBase.begin(), base.RoadBase.end());
        supply.assign(base.SupplyTable.begin(), base.SupplyTable.end());
        cost.assign(base.TerrainCostTable.begin(), base.TerrainCostTable.end());
        costSnow.assign(base.TerrainCostTableSnow.begin(), base.TerrainCostTableSnow.end());
        arms.resize(kRuleTypeCount, arms[kFixtureTank]);
        weapons.resize(static_cast<size_t>(kRuleTypeCount) * zrv::kWeaponSlots);
        for (int t = kFixtureTypeCount; t < kRuleTypeCount; ++t) {
            Arms(t).nArmsNo = t;
            for (int s = 0; s < zrv::kWeaponSlots; ++s) Weapon(t, s) = zrv::WEAPONSTRUCT{};
            for (auto& set : Arms(t).Arm) set = zrv::ARMSET{};
            Arms(t).Arm[0].nSetId = 1;
        }

        auto& tr = Arms(kRuleTransport);
        tr = arms[kFixtureDestroyer];
        tr.nArmsNo = kRuleTransport;
        tr.nClass = 60;
        tr.nCarry[1] = 2;
        tr.nCarry[2] = 1;
        tr.dwArmsFlag = 0;
        for (auto& set : tr.Arm) set = zrv::ARMSET{};
        tr.Arm[0].nSetId = 1;
        SetSlot(kRuleTransport, 0, Gun(4, 16, {2, 6, 4, 8, 0}, {1, 2, 1, 2}), 20);
        SetSlot(kRuleTransport, 1, Plain(7, zrv::kWeaponTypeCarrySpace), 2);

        auto& bo = Arms(kRuleBomber);
        bo = arms[kFixtureFighter];
        bo.nArmsNo = kRuleBomber;
        bo.nClass = 40;
        bo.nHeight = 8;
        bo.nCarryClass = 0;
        for (auto& set : bo.Arm) set = zrv::ARMSET{};
        bo.Arm[0].nSetId = 1;
        zrv::WEAPONSTRUCT bomb = Gun(8, 20, {0, 30, 30, 20, 0}, {0, 0, 0, 2});
        bomb.dwWeaponFlag = 1u << 5 | 1u << 4;
        SetSlot(kRuleBomber, 0, bomb, 4);
        SetSlot(kRuleBomber, 1, Plain(9, zrv::kWeaponTypeDropTank), 10);

        auto& am = Arms(kRuleAmphibian);
        am.nArmsNo = kRuleAmphibian;
        am.nClass = 14;
        am.nMoveType = 13;
        am.nDomain = 1;
        am.nCarryClass = 2;
        SetSlot(kRuleAmphibian, 0, Gun(10, 1, {1, 6, 1, 0, 0}, {1, 1, 1, 1}), 10);

        auto& gu = Arms(kRuleGuns);
        gu.nArmsNo = kRuleGuns;
        gu.nClass = 22;
        gu.dwArmsFlag = 1u << 1;
        gu.nCarryClass = 1;
        SetSlot(kRuleGuns, 0, Gun(11, 5, {0, 10, 10, 5, 0}, {0, 0, 1, 3}), 8);

        auto& su = Arms(kRuleSupplyTruck);
        su.nArmsNo = kRuleSupplyTruck;
        su.nClass = 26;
        su.nCarryClass = 1;
        SetSlot(kRuleSupplyTruck, 0, Plain(12, zrv::kWeaponTypeSupplyStock), 5);
        SetSlot(kRuleSupplyTruck, 1, Plain(13, zrv::kWeaponTypeConstruction), 3);

        auto& ft = Arms(kRuleFlatTop);
        ft = arms[kFixtureFighter];
        ft.nArmsNo = kRuleFlatTop;
        ft.nClass = 58;
        ft.nCarry[0] = 2;
        for (auto& set : ft.Arm) set = zrv::ARMSET{};
        ft.Arm[0].nSetId = 1;

        Refresh();
    }

    zrv::ARMSSTRUCT& Arms(int t) { return arms.at(static_cast<size_t>(t)); }
    zrv::WEAPONSTRUCT& Weapon(int t, int s)
    {
        return weapons.at(static_cast<size_t>(t * zrv::kWeaponSlots + s));
    }
    zrv::TRRNSTRUCT& Terrain(int i) { return terrain.at(static_cast<size_t>(i)); }
    zrv::TRRNSTRUCT& Road(int k) { return roads.at(static_cast<size_t>(k)); }
    uint8_t& Supply(int unitId, int ownerId)
    {
        return supply.at(static_cast<size_t>(unitId * zrv::kCountryIds + ownerId));
    }
    int& Cost(int moveType, int column)
    {
        return cost.at(static_cast<size_t>(moveType)).at(static_cast<size_t>(column));
    }
    int& CostSnow(int moveType, int column)
    {
        return costSnow.at(static_cast<size_t>(moveType)).at(static_cast<size_t>(column));
    }
    void SetSlot(int type, int s, const zrv::WEAPONSTRUCT& w, int rounds)
    {
        Weapon(type, s) = w;
        Arms(type).Arm[0].nCount[s] = rounds;
    }
    static zrv::WEAPONSTRUCT Gun(int no, int type, std::array<int, 5> attack, std::array<int, 4> range)
    {
        zrv::WEAPONSTRUCT w{};
        w.nWeaponNo = no;
        w.nPosition = 1;
        w.nPieces = 1;
        w.byType = static_cast<uint8_t>(type);
        for (int k = 0; k < 5; ++k) w.nAttack[k] = attack[static_cast<size_t>(k)];
        for (int k = 0; k < 4; ++k) w.nRange[k] = range[static_cast<size_t>(k)];
        w.nAccuracy = 50;
        w.nInitiative[0] = 4;
        w.nInitiative[2] = 5;
        w.nInitiative[3] = 3;
        w.nRoundPrice = 2;
        w.nLoad = 1;
        return w;
    }
    static zrv::WEAPONSTRUCT Plain(int no, int type)
    {
        zrv::WEAPONSTRUCT w{};
        w.nWeaponNo = no;
        w.nPieces = 1;
        w.byType = static_cast<uint8_t>(type);
        w.nRoundPrice = 1;
        return w;
    }

    void Refresh()
    {
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainBase = terrain;
        lib.RoadBase = roads;
        lib.SupplyTable = supply;
        lib.TerrainCostTable = cost;
        lib.TerrainCostTableSnow = costSnow;
        lib.g_nMaxUnit = static_cast<int>(arms.size());
    }

    std::vector<zrv::ARMSSTRUCT> arms;
    std::vector<zrv::WEAPONSTRUCT> weapons;
    std::vector<zrv::TRRNSTRUCT> terrain;
    std::vector<zrv::TRRNSTRUCT> roads;
    std::vector<uint8_t> supply;
    std::vector<zrv::CostRow> cost;
    std::vector<zrv::CostRow> costSnow;
    zrv::DataLibrary lib;
};

// A game of two present countries (0 on side 0, human; 1 on side 1, computer)
// on a plain map, weather and day/night off.
class RuleTest : public testing::Test {
protected:
    void SetUp() override
    {
        rules = std::make_unique<RuleLibrary>();
        zrv::SetLib(&rules->lib);
        game = std::make_unique<zrv::GAMEDATASTRUCT>();
        for (auto& cell : game->dwHexCell) cell = zrv::WithTerrain(0, kFixturePlain);
        hexUnit = std::make_unique<std::array<zrv::UnitRef, zrv::kHexCount>>();
        hexUnit->fill(zrv::kNoUnit);
        sensor = std::make_unique<std::array<uint32_t, zrv::kHexCount>>();
        sensor->fill(3u);
        for (int i = 0; i < 2; ++i) {
            zrv::COUNTRYSTRUCT& c = game->Country[i];
            c.dwFlag = zrv::kCountryPresent | (i == 1 ? 0x40000000u : 0u);
            c.nIndex = i;
            c.nSide = i;
            c.nControl = i;
            c.nCountryId = i + 1;
            c.nDisplay = i + 2;
            c.nFund = 10000;
            c.nNextSerial = 1;
            c.nCapital = zrv::MakeHex(40 + 10 * i, 40);
        }
    }
    void TearDown() override { zrv::SetLib(nullptr); }

    // A new unit of a country at a slot and hex (not yet acted, placed on the map).
    zrv::UNITSTRUCT& Place(int country, int slot, int type, zrv::HEXINDEX hex)
    {
        zrv::COUNTRYSTRUCT& c = game->Country[country];
        zrv::UNITSTRUCT& u = c.Unit[slot];
        zrv::InitUnitRecord(&c, u, slot, hex, type, 0, game.get(), game->CarryUnit);
        u.dwFlag &= ~zrv::kUnitActed;
        if (zrv::IsMapHex(hex)) {
            (*hexUnit)[static_cast<size_t>(hex)] = u.refSelf;
            u.dwHexCell = game->dwHexCell[hex];
        }
        return u;
    }
    // Puts cargo aboard carrier (same country).
    void Board(zrv::UNITSTRUCT& cargo, zrv::UNITSTRUCT& carrier)
    {
        if (zrv::IsMapHex(cargo.nHex)) (*hexUnit)[static_cast<size_t>(cargo.nHex)] = zrv::kNoUnit;
        cargo.dwFlag |= zrv::kUnitCarried;
        cargo.nHex = -1;
        cargo.dwCargo = zrv::MakeCargo(zrv::RefSlot(carrier.refSelf), zrv::CargoCount(cargo.dwCargo));
        carrier.dwFlag |= zrv::kUnitCarries;
        carrier.dwCargo =
            zrv::MakeCargo(zrv::CargoCarrier(carrier.dwCargo), zrv::CargoCount(carrier.dwCargo) + 1);
    }

    std::unique_ptr<RuleLibrary> rules;
    std::unique_ptr<zrv::GAMEDATASTRUCT> game;
    std::unique_ptr<std::array<zrv::UnitRef, zrv::kHexCount>> hexUnit;
    std::unique_ptr<std::array<uint32_t, zrv::kHexCount>> sensor;
};

// A generator stand-in that answers from a queue and counts what was asked.
class ScriptedDraws : public zrv::RuleDraws {
public:
    explicit ScriptedDraws(std::initializer_list<int> values) : m_values(values) {}
    int Rand() override
    {
        ++m_asked;
        if (m_values.empty()) {
            ADD_FAILURE() << "more draws than scripted";
            return 0;
        }
        int v = m_values.front();
        m_values.pop_front();
        return v;
    }
    bool UsedUp() const { return m_values.empty(); }
    int Asked() const { return m_asked; }

private:
    std::deque<int> m_values;
    int m_asked = 0;
};

}  // namespace zrvtest
