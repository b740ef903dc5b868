#pragma once
// A battle for the production and deployment windows: country 0's capital
// at (60, 60) with its first ring of own cities (ground hexes), two own
// airfields and two own shallows further out (air and naval hexes), every
// kind of the fixture produced at prices around the funds, a campaign pool,
// and a view that records what the windows ask of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "battle/dialogs/PlacementWindowModel.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "engine/DocFixture.h"

namespace placetest {

using namespace zrv;

// The fixture's types with prices of their own (a unit's price is per
// strength point x 10, or per piece for the ships), and a second ground
// type. Names in mixed case sort differently with and without folding.
enum PlaceType : int {
    kInfantry = zrvtest::kFixtureInfantry,  // ground, class 0, 300
    kTank = zrvtest::kFixtureTank,          // ground, class 4, 800
    kFighter = zrvtest::kFixtureFighter,    // air, class 33, 1200
    kDestroyer = zrvtest::kFixtureDestroyer,  // naval, class 57, 2000, pieces
    kSubmarine = zrvtest::kFixtureSubmarine,  // naval, class 59, 1500, pieces
    kRetired = zrvtest::kFixtureRetired,      // ground, class 1, 250
    kArmor = zrvtest::kFixtureTypeCount,      // ground, class 2, 500
    kPlaceTypeCount,
};

struct PlaceLibrary {
    std::deque<std::string> texts;
    std::vector<ARMSSTRUCT> arms;
    std::vector<WEAPONSTRUCT> weapons;
    std::vector<const char*> unitNameJ;
    DataLibrary lib;

    PlaceLibrary()
    {
        const DataLibrary& base = zrvtest::FixtureLibrary();
        lib = base;
        arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        ARMSSTRUCT armor = arms[kTank];
        armor.nArmsNo = kArmor;
        armor.nClass = 2;
        arms.push_back(armor);
        const struct {
            int type, price, cls;
            const char* name;
        } set[] = {{kInfantry, 30, 0, "infantry"}, {kTank, 80, 4, "Tank"},        {kFighter, 120, 33, "FIGHTER"},
                   {kDestroyer, 2000, 57, "destroyer"}, {kSubmarine, 1500, 59, "Sub"}, {kRetired, 25, 1, "old"},
                   {kArmor, 50, 2, "armor"}};
        unitNameJ.assign(base.UnitNameJ.begin(), base.UnitNameJ.end());
        unitNameJ.resize(kPlaceTypeCount, "");
        for (const auto& s : set) {
            arms[static_cast<size_t>(s.type)].nPrice = s.price;
            arms[static_cast<size_t>(s.type)].nClass = s.cls;
            texts.emplace_back(s.name);
            unitNameJ[static_cast<size_t>(s.type)] = texts.back().c_str();
        }
        weapons.assign(base.WeaponData.begin(), base.WeaponData.end());
        weapons.resize(arms.size() * kWeaponSlots);
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.UnitNameJ = unitNameJ;
    }
};

inline PlaceLibrary& Library()
{
    static PlaceLibrary l;
    return l;
}

// What the windows ask of the map view, written down.
class PlacementViewDouble : public PlacementView {
public:
    PlacementViewDouble() : marks(kHexCount, 0u) {}

    void ClearHexMarks(bool bRedraw) override
    {
        std::fill(marks.begin(), marks.end(), 0u);
        if (bRedraw) ++redraws;
    }
    uint32_t PlacementMark(HEXINDEX hex) const override { return IsMapHex(hex) ? marks[size_t(hex)] : 0u; }
    void SetPlacementMark(HEXINDEX hex, uint32_t mark) override
    {
        if (IsMapHex(hex)) marks[size_t(hex)] = mark;
    }
    // The display follows the document's hex entries.
    bool HexShowsUnit(HEXINDEX hex) const override { return IsMapHex(hex) && doc != nullptr && doc->m_dwHexUnit[hex] != kNoUnit; }
    void ClearHexUnitCode(HEXINDEX hex) override { calls.push_back("clear display " + std::to_string(hex)); }
    void RedrawMap(bool) override { ++redraws; }
    int PlaceIndex() const override { return index; }
    bool PlaceArmed() const override { return armed; }
    void SetPlaceIndex(int i) override { index = i; }
    void SetPlaceArmed(bool a) override { armed = a; }
    int CommandMode() const override { return mode; }
    void SetCommandMode(int m) override { mode = m; }
    void ReopenCommandWindows(bool keep) override { calls.push_back(keep ? "reopen bars 1" : "reopen bars 0"); }
    int CheckProduceCommand() override { return produceCode; }
    int CheckDeployCommand() override { return deployCode; }
    void PostViewCommand(int id) override { calls.push_back("post " + std::to_string(id)); }
    int OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool report) override
    {
        calls.push_back("performance " + std::to_string(arms) + (unit != nullptr ? " unit" : " type") + " " +
                        std::to_string(country) + (report ? " report" : ""));
        return 1;
    }
    int ShowEvolutionTable(int arms, UNITSTRUCT* unit, int country) override
    {
        calls.push_back("evolution " + std::to_string(arms) + (unit != nullptr ? " unit" : " type") + " " +
                        std::to_string(country));
        return 0;
    }
    bool IsUnitListOpen() const override { return listOpen; }
    int AddUnitListEntry(UNITSTRUCT& unit, int mode) override
    {
        calls.push_back("list gone " + std::to_string(unit.nArms) + " mode " + std::to_string(mode));
        return 1;
    }
    void UpdateUnitListEntry(UNITSTRUCT& unit, bool) override
    {
        calls.push_back("list record " + std::to_string(unit.nArms));
    }
    PointI PlacementWindowPos() const override { return pos; }
    void SetPlacementWindowPos(PointI p) override { pos = p; }

    // Hexes with mark m.
    std::vector<HEXINDEX> Marked(uint32_t m) const
    {
        std::vector<HEXINDEX> out;
        for (HEXINDEX h = 0; h < kHexCount; ++h)
            if (marks[size_t(h)] == m) out.push_back(h);
        return out;
    }

    CZRKGameDoc* doc = nullptr;
    std::vector<uint32_t> marks;
    int index = -1;
    bool armed = false;
    int mode = 1;
    PointI pos{-1, 0};
    int produceCode = 0, deployCode = 0;
    bool listOpen = false;
    int redraws = 0;
    std::vector<std::string> calls;
};

class PlacementFixture : public DocFixture {
public:
    void SetUp() override
    {
        DocFixture::SetUp();
        SetLib(&Library().lib);
        placeView = PlacementViewDouble();
        placeView.doc = doc.get();
        std::fill(std::begin(doc->m_dwHexUnit), std::end(doc->m_dwHexUnit), kNoUnit);
        COUNTRYSTRUCT& c = Cur();
        c.nCapital = kCapital;
        c.nUnitMax = 64;
        c.nFund = 5000;
        c.nDisplay = 2;
        c.nNextSerial = 10;
        for (auto& list : c.dwClassList) std::fill(std::begin(list), std::end(list), 0xFFFFFFFFu);
        for (int t : {kInfantry, kTank, kFighter, kDestroyer, kSubmarine, kArmor})
            c.dwClassList[ArmsRecord(t)->nClass][0] = static_cast<uint32_t>(t);
        std::array<HEXINDEX, 8> near{};
        const int n = GetHexesInRange(kCapital, 1, near);
        for (int i = 0; i < n; ++i) ground.push_back(near[size_t(i)]);
        for (HEXINDEX h : ground) SetCell(h, kFixtureTerrainCity);
        for (HEXINDEX h : airfields) SetCell(h, zrvtest::kFixtureAirfield);
        for (HEXINDEX h : shallows) SetCell(h, zrvtest::kFixtureShallows);
    }

    void TearDown() override
    {
        models.clear();
        DocFixture::TearDown();
    }

    void SetCell(HEXINDEX hex, int terrain) { doc->m_dwHexCell[hex] = WithOwner(WithTerrain(0, terrain), 0); }
    COUNTRYSTRUCT& Cur() { return doc->m_GameData.Country[0]; }

    // A unit of another country standing at hex (the hex is taken).
    void Occupy(HEXINDEX hex) { doc->m_dwHexUnit[hex] = MakeUnitRef(1, 0); }

    // A carry-over record of type at index.
    UNITSTRUCT& Pool(int index, int type, int serial, int exp, int strength)
    {
        UNITSTRUCT& u = doc->m_GameData.CarryUnit[index];
        u = UNITSTRUCT{};
        u.dwFlag = kUnitInUse | kUnitInPool;
        u.nArms = type;
        u.nHex = -1;
        u.nSerial = serial;
        u.nExp = exp;
        u.nStrength = strength;
        return u;
    }

    PlacementWindowModel& Window(bool deployment)
    {
        models.push_back(std::make_unique<PlacementWindowModel>(*doc, placeView, deployment));
        models.back()->Init();
        return *models.back();
    }

    static std::vector<std::string> Titles(const PlacementWindowModel& w)
    {
        std::vector<std::string> out;
        for (int i = 0; i < w.PageCount(); ++i) out.push_back(w.Page(i).Title());
        return out;
    }
    static std::vector<int> Keys(const PlacementPageModel& p)
    {
        std::vector<int> out;
        for (int i = 0; i < p.RowCount(); ++i) out.push_back(p.Row(i).key);
        return out;
    }
    static std::vector<int> Icons(const PlacementPageModel& p)
    {
        std::vector<int> out;
        for (int i = 0; i < p.RowCount(); ++i) out.push_back(p.Row(i).icon);
        return out;
    }

    static constexpr HEXINDEX kCapital = MakeHex(60, 60);
    std::vector<HEXINDEX> ground;
    std::vector<HEXINDEX> airfields{MakeHex(60, 62), MakeHex(62, 60)};
    std::vector<HEXINDEX> shallows{MakeHex(60, 63), MakeHex(57, 60)};
    PlacementViewDouble placeView;
    std::vector<std::unique_ptr<PlacementWindowModel>> models;
};

}  // namespace placetest
