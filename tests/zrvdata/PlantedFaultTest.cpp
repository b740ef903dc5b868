// The consistency checks catch a broken entry: each row plants one fault in
// a copy of the shipped library and expects the checker to name it.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ShippedContent.h"

namespace zrvtest {
namespace {

using zrv::DataLibrary;

// Writable copies of the tables a plant may change; the library's spans are
// pointed at them.
struct Copy {
    DataLibrary lib;
    std::vector<zrv::ARMSSTRUCT> arms;
    std::vector<zrv::WEAPONSTRUCT> weapons;
    std::vector<zrv::TRRNSTRUCT> terrain;
    std::vector<zrv::CostRow> costs;
    std::vector<zrv::SCNRBASESTRUCT> scenarios;
    std::vector<zrv::HISTORYSTRUCT> history;
    std::vector<std::array<int32_t, 13>> newMoon;
    std::vector<const char*> errors;
    std::vector<const char*> common;
    std::vector<int32_t> reinforce;

    explicit Copy(const DataLibrary& from) : lib(from)
    {
        arms.assign(from.ArmsData.begin(), from.ArmsData.end());
        weapons.assign(from.WeaponData.begin(), from.WeaponData.end());
        terrain.assign(from.TerrainBase.begin(), from.TerrainBase.end());
        costs.assign(from.TerrainCostTable.begin(), from.TerrainCostTable.end());
        scenarios.assign(from.ScenarioData.begin(), from.ScenarioData.end());
        history.assign(from.HistoryData.begin(), from.HistoryData.end());
        newMoon.assign(from.TblNewMoon.begin(), from.TblNewMoon.end());
        errors.assign(from.ErrorMessage.begin(), from.ErrorMessage.end());
        common.assign(from.MsgCommon.begin(), from.MsgCommon.end());
        Point();
    }
    void Point()
    {
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainBase = terrain;
        lib.TerrainCostTable = costs;
        lib.ScenarioData = scenarios;
        lib.HistoryData = history;
        lib.TblNewMoon = newMoon;
        lib.ErrorMessage = errors;
        lib.MsgCommon = common;
    }
};

struct Plant {
    const char* name;
    const char* fault;  // part of the line the checker must write
    std::function<void(Copy&)> plant;
};

TEST(PlantedFault, EachBrokenEntryIsReported)
{
    ASSERT_TRUE(ShippedLibrary().IsOpen());
    const DataLibrary& shipped = ShippedLibrary().Tables();
    const auto formats = DeclaredFormats();
    ASSERT_TRUE(CheckLibrary(shipped, formats).empty()) << "the shipped library must be clean first";

    const Plant plants[] = {
        {"picture beyond UnitGraphicsOffset", "nPicture", [](Copy& c) { c.arms[1].nPicture = 10000; }},
        {"picture of a domain sprite", "nPicture", [](Copy& c) { c.arms[1].nPicture = 2; }},
        {"nation beyond the 34 ids", "nNation", [](Copy& c) { c.arms[2].nNation = 34; }},
        {"improvement to no type", "wImprove", [](Copy& c) { c.arms[2].wImprove[0] = 5000; }},
        {"set id beyond MsgEPackType's sets", "nSetId", [](Copy& c) { c.arms[1].Arm[0].nSetId = 19; }},
        {"weapon number beyond WeaponName", "nWeaponNo", [](Copy& c) { c.weapons[8 + 0].nWeaponNo = 999; }},
        {"weapon after an empty slot", "follows an empty slot",
         [](Copy& c) { c.weapons[8 + 7] = c.weapons[8]; }},
        {"weapon type beyond the icon sheet", "byType", [](Copy& c) { c.weapons[8].byType = 37; }},
        {"built form without a cost column", "nBuiltForm", [](Copy& c) { c.terrain[7].nBuiltForm = 91; }},
        {"next scenario beyond the table", "nNext", [](Copy& c) { c.scenarios[0].Branch[1].nNext = 5; }},
        {"ending beyond EndingDirectTable", "ending", [](Copy& c) { c.scenarios[1].Branch[0].nNext = -9; }},
        {"reinforcement of no type", "reinforcement type",
         [](Copy& c) {
             c.reinforce = {3, 4000 << 16, -1, 0};
             c.scenarios[0].pReinforce = c.reinforce.data();
         }},
        {"reinforcements out of turn order", "do not ascend",
         [](Copy& c) {
             c.reinforce = {6, 1 << 16, 3, 1 << 16, -1, 0};
             c.scenarios[0].pReinforce = c.reinforce.data();
         }},
        {"history without its end record", "0x7FFFFFFF", [](Copy& c) { c.history.pop_back(); }},
        {"history out of order", "earlier than",
         [](Copy& c) { std::swap(c.history.front(), c.history.back()); }},
        {"new moons out of order", "does not ascend",
         [](Copy& c) { std::swap(c.newMoon[3][0], c.newMoon[3][1]); }},
        {"full-width zero replaced", "full-width zero", [](Copy& c) { c.common[10] = "0"; }},
        {"conversion in a plain message", "ErrorMessage[50]", [](Copy& c) { c.errors[50] = "%s"; }},
        {"number where a text is passed", "ErrorMessage[14]", [](Copy& c) { c.errors[14] = "%d"; }},
        {"missing argument", "ErrorMessage[42]", [](Copy& c) { c.errors[42] = "LIMIT"; }},
        {"text that is not CP932", "ErrorMessage[60]", [](Copy& c) { c.errors[60] = "\x81"; }},
        {"unit version too long", "g_szUnitVersion", [](Copy& c) { c.lib.g_szUnitVersion = "12345678"; }},
        {"funds bias 0", "funds bias", [](Copy& c) { c.lib.g_nFundsBiasWin = 0; }},
        {"land unit is a ship", "g_nLandUnit", [](Copy& c) { c.lib.g_nLandUnit = 7; }},
        {"short word table", "MsgWeather", [](Copy& c) { c.lib.MsgWeather = c.lib.MsgWeather.first(7); }},
        {"world cities beyond 240", "g_nMaxIWCity", [](Copy& c) { c.lib.g_nMaxIWCity = 241; }},
    };
    for (const auto& p : plants) {
        SCOPED_TRACE(p.name);
        Copy copy(shipped);
        p.plant(copy);
        copy.Point();
        const auto faults = CheckLibrary(copy.lib, formats);
        bool named = false;
        for (const auto& f : faults) named |= f.find(p.fault) != std::string::npos;
        EXPECT_TRUE(named) << faults.size() << " faults, none about " << p.fault;
    }
}

// The kinds of the terrains the rules name: each row moves a terrain the
// way the old numbering had it (sea, shallow water and forest on the city,
// port and industrial indexes) or breaks one link that construction relies on.
TEST(PlantedFault, EachTerrainOffItsKindIsReported)
{
    ASSERT_TRUE(ShippedLibrary().IsOpen());
    const DataLibrary& shipped = ShippedLibrary().Tables();
    ASSERT_TRUE(CheckTerrainRoles(shipped).empty()) << "the shipped terrains must be clean first";

    const Plant plants[] = {
        {"sea on the city index", "TerrainBase[2]: the rules take it for a city",
         [](Copy& c) { c.terrain[2] = c.terrain[11]; }},
        {"shallow water on the port index", "TerrainBase[3]: the rules take it for a port",
         [](Copy& c) { c.terrain[3] = c.terrain[15]; }},
        {"forest on the industrial index", "TerrainBase[5]: the rules take it for an industrial site",
         [](Copy& c) { c.terrain[5] = c.terrain[16]; }},
        {"plain on a capital index", "TerrainBase[80]: the rules take it for a capital-type city",
         [](Copy& c) { c.terrain[80] = c.terrain[7]; }},
        {"airfield that takes no aircraft",
         "TerrainBase[87]: the rules take it for an airfield, but it is no base",
         [](Copy& c) { c.terrain[87].dwBaseField = 0; }},
        {"port that takes no ships", "TerrainBase[69]: the rules take it for a port, but it is no base",
         [](Copy& c) { c.terrain[69].dwBaseField = 0x0600; }},
        {"fortress removed into the sea",
         "TerrainBase[35]: the rules take it for the fortress, but it has the built form",
         [](Copy& c) { c.terrain[35].nBuiltForm = 9; }},
        {"desert that builds the plain's fortress",
         "TerrainBase[79]: the rules take it for the desert, but it has the built form",
         [](Copy& c) { c.terrain[79].nBuiltForm = 35; }},
        {"plain the land unit cannot enter",
         "TerrainBase[7]: the rules take it for the plain, but it cannot be entered",
         [](Copy& c) {
             c.costs[static_cast<size_t>(c.arms[static_cast<size_t>(c.lib.g_nLandUnit)].nMoveType)][7] = 0;
         }},
        {"occupiable plain", "TerrainBase[7]: the rules take it for the plain, but it is occupiable",
         [](Copy& c) { c.terrain[7].dwTrrnFlag |= 1u << 31; }},
        {"city flag on the river", "TerrainBase[12] has the city flag",
         [](Copy& c) { c.terrain[12].dwTrrnFlag |= 1u << 11; }},
        {"airfield as a capital", "TerrainBase[4] has the city flag",
         [](Copy& c) { c.terrain[4].dwTrrnFlag |= 1u << 11; }},
        {"short terrain table", "TerrainBase: 127 entries", [](Copy& c) { c.terrain.pop_back(); }},
    };
    for (const auto& p : plants) {
        SCOPED_TRACE(p.name);
        Copy copy(shipped);
        p.plant(copy);
        copy.Point();
        const auto faults = CheckTerrainRoles(copy.lib);
        bool named = false;
        for (const auto& f : faults) named |= f.find(p.fault) != std::string::npos;
        EXPECT_TRUE(named) << faults.size() << " faults, none about " << p.fault
                           << (faults.empty() ? "" : "; first: " + faults.front());
    }
}

}  // namespace
}  // namespace zrvtest
