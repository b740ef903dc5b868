#pragma once
// A fixture library for the unit data sheet and the performance card:
// the rule fixture plus types with one, three and six armament sets whose
// weapons carry every flag the tables show, a type without a full strength,
// terrains with heights, and a game block with a current country.

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"
#include "support/FixtureLibrary.h"

namespace spectest {

using namespace zrv;

enum SpecType : int {
    kOneSet = zrvtest::kFixtureTypeCount,  // 7
    kThreeSets,                            // 8
    kSixSets,                              // 9
    kNoStrength,                           // 10
    kSpecTypeCount,
};

// Terrains with a height.
inline constexpr int kHill = 12;       // height 3
inline constexpr int kHillHeight = 3;

// Weapon flags.
inline constexpr uint32_t kWBluePieces = 1u << 0, kWBlueAttack = 1u << 1, kWGreenAttack = 1u << 2,
                          kWSurfaceLoad = 1u << 3, kWDroppable = 1u << 4;

struct SpecLibrary {
    std::deque<std::string> texts;
    std::vector<ARMSSTRUCT> arms;
    std::vector<WEAPONSTRUCT> weapons;
    std::vector<TRRNSTRUCT> terrain;
    std::vector<const char*> unitName, unitNameJ, weaponName, positionName, epack;
    DataLibrary lib;

    const char* Own(std::string s)
    {
        texts.push_back(std::move(s));
        return texts.back().c_str();
    }

    static WEAPONSTRUCT W(int no, uint32_t flags, int type, int group, std::array<int, 4> range,
                          std::array<int, 4> order, int accuracy, int load)
    {
        WEAPONSTRUCT w{};
        w.nWeaponNo = no;
        w.nPosition = no % 4;
        w.dwWeaponFlag = flags;
        w.nPieces = no;
        w.byType = static_cast<uint8_t>(type);
        w.byGroup = static_cast<uint8_t>(group);
        for (int i = 0; i < 5; ++i) w.nAttack[i] = no * 10 + i;
        for (int i = 0; i < 4; ++i) w.nRange[i] = range[static_cast<size_t>(i)];
        w.nAccuracy = accuracy;
        for (int i = 0; i < 4; ++i) w.nInitiative[i] = order[static_cast<size_t>(i)];
        w.nRoundPrice = 100 + no;
        w.nLoad = load;
        return w;
    }

    SpecLibrary()
    {
        const DataLibrary& base = zrvtest::FixtureLibrary();
        lib = base;
        arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        weapons.assign(base.WeaponData.begin(), base.WeaponData.end());
        terrain.assign(base.TerrainBase.begin(), base.TerrainBase.end());
        terrain[kHill].nHeight = kHillHeight;

        ARMSSTRUCT t = arms[zrvtest::kFixtureTank];
        t.nStrengthMax = 7;
        for (auto& s : t.Arm) s = {};
        // One set.
        ARMSSTRUCT one = t;
        one.Arm[0] = {4, {5, 3}};
        // Three sets; the fourth id is 0.
        ARMSSTRUCT three = t;
        three.nDefenceAir = 12;
        three.nDefenceSurface = 34;
        three.wSonar = 5;
        three.Arm[0] = {3, {4, 0, 6}};
        three.Arm[1] = {5, {2, 8, 0}};
        three.Arm[2] = {7, {0, 0, 9}};
        three.Arm[4] = {9, {1, 1, 1}};  // after the end: never shown
        // Six sets, the last with an id past the titles.
        ARMSSTRUCT six = t;
        for (int s = 0; s < 6; ++s) six.Arm[s] = {s + 1, {s + 1, 1, 1}};
        six.Arm[5].nSetId = 99;
        ARMSSTRUCT none = t;
        none.nStrengthMax = 0;
        none.Arm[0] = {1, {1}};
        arms.push_back(one);
        arms.push_back(three);
        arms.push_back(six);
        arms.push_back(none);

        weapons.resize(arms.size() * kWeaponSlots);
        auto slot = [&](int type, int s, WEAPONSTRUCT w) { weapons[static_cast<size_t>(type * kWeaponSlots + s)] = w; };
        slot(kOneSet, 0, W(1, 0, 1, 0, {1, 1, 0, 0}, {3, 0, 0, 0}, 50, 0));
        slot(kOneSet, 1, W(2, kWSurfaceLoad, 2, 1, {0, 0, 1, 2}, {0, 0, 4, 2}, 0, 5));
        // Three sets: slot 0 blue, air load 2; slot 1 green and droppable,
        // surface load 4; slot 2 without weight; slot 3 ends the list.
        slot(kThreeSets, 0, W(1, kWBluePieces | kWBlueAttack, 2, 1, {0, 0, 1, 3}, {4, 0, 6, 2}, 0, 2));
        slot(kThreeSets, 1, W(2, kWGreenAttack | kWSurfaceLoad | kWDroppable, 3, 2, {2, 2, 1, 4}, {5, 9, 3, 1}, 75, 4));
        slot(kThreeSets, 2, W(3, 0, 40, 0, {1, 2, 0, 0}, {0, 0, 0, 0}, 10, 0));
        slot(kThreeSets, 4, W(5, 0, 1, 0, {1, 1, 1, 1}, {1, 1, 1, 1}, 10, 1));
        for (int s = 0; s < 3; ++s) slot(kSixSets, s, W(s + 1, 0, s, 0, {1, 1, 1, 1}, {2, 2, 2, 2}, 10, 1));
        slot(kNoStrength, 0, W(1, 0, 1, 0, {1, 1, 1, 1}, {1, 1, 1, 1}, 10, 1));

        for (int i = 0; i < kSpecTypeCount; ++i) {
            unitName.push_back(Own(platform::FormatText("UNIT%d", {i})));
            unitNameJ.push_back(Own(platform::FormatText("UNITJ%d", {i})));
        }
        for (int i = 0; i < 8; ++i) weaponName.push_back(Own(platform::FormatText("WEAPON%d", {i})));
        for (int i = 0; i < 4; ++i) positionName.push_back(Own(platform::FormatText("POS%d", {i})));
        for (int i = 0; i < 41; ++i) epack.push_back(Own(platform::FormatText("PACK%d", {i})));

        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainBase = terrain;
        lib.UnitName = unitName;
        lib.UnitNameJ = unitNameJ;
        lib.WeaponName = weaponName;
        lib.WeaponPositionName = positionName;
        lib.MsgEPackType = epack;
    }
};

inline SpecLibrary& Library()
{
    static SpecLibrary l;
    return l;
}

class ScopedSpecLibrary {
public:
    ScopedSpecLibrary() { SetLib(&Library().lib); }
    ~ScopedSpecLibrary() { SetLib(nullptr); }
};

// A game block with country 0 (side 0, current) and country 1 (side 1).
struct SpecGame {
    std::unique_ptr<GAMEDATASTRUCT> game = std::make_unique<GAMEDATASTRUCT>();
    SpecGame()
    {
        game->dwDateTime = PackDate(41, 6, 22);
        for (int c = 0; c < 2; ++c) {
            COUNTRYSTRUCT& k = game->Country[c];
            k.nIndex = c;
            k.nSide = c;
            k.nDisplay = c + 2;
            std::snprintf(k.szName, sizeof k.szName, "LAND%d", c);
        }
    }
    COUNTRYSTRUCT& Country(int c) { return game->Country[c]; }
    // A unit in use of type at slot of country c, fully armed with set 0.
    UNITSTRUCT& Unit(int c, int slot, int type)
    {
        UNITSTRUCT& u = game->Country[c].Unit[slot];
        InitUnitRecord(&game->Country[c], u, -1, 100, type, PackDate(40, 3, 9), game.get(), {});
        u.refSelf = MakeUnitRef(c, slot);
        u.nSerial = 17;
        return u;
    }
};

}  // namespace spectest
