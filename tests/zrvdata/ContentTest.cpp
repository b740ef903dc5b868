// The shipped content, checked as the programs will read it.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ShippedContent.h"
#include "platform/core/Text.h"
#include "support/Sjis.h"

namespace zrvtest {
namespace {

const zrv::DataLibrary& Shipped()
{
    EXPECT_TRUE(ShippedLibrary().IsOpen());
    return ShippedLibrary().Tables();
}

TEST(ShippedContent, BuildsWithoutFaults)
{
    ASSERT_TRUE(ShippedLibrary().IsOpen());
    EXPECT_EQ(ShippedContentFaults(), 0) << "see the ZRVData lines on stderr";
}

TEST(ShippedContent, PassesEveryConsistencyCheck)
{
    ASSERT_TRUE(ShippedLibrary().IsOpen());
    for (const auto& fault : CheckLibrary(Shipped(), DeclaredFormats())) ADD_FAILURE() << fault;
}

// The rules name cities, ports, airfields, industrial sites, fortresses, the
// plain and the desert by terrain index.
TEST(ShippedContent, TerrainsTheRulesNameCarryTheirKind)
{
    ASSERT_TRUE(ShippedLibrary().IsOpen());
    for (const auto& fault : CheckTerrainRoles(Shipped())) ADD_FAILURE() << fault;
}

// The world must be playable: two countries, each with the land, air and naval
// types the rules and the computer player look for.
TEST(ShippedContent, EachNationHasEveryRole)
{
    const auto& l = Shipped();
    ASSERT_GE(l.ArmsData.size(), 2u);
    struct Role {
        const char* name;
        bool (*fits)(const zrv::DataLibrary&, size_t);
    };
    const Role roles[] = {
        {"occupying infantry",
         [](const zrv::DataLibrary& lib, size_t t) {
             return zrv::IsGroundClass(lib.ArmsData[t]) && zrv::CanOccupy(lib.ArmsData[t]);
         }},
        {"engineer",
         [](const zrv::DataLibrary& lib, size_t t) {
             for (int s = 0; s < zrv::kWeaponSlots; ++s) {
                 if (lib.WeaponData[t * 8 + static_cast<size_t>(s)].byType == zrv::kWeaponTypeConstruction)
                     return true;
             }
             return false;
         }},
        {"armour", [](const zrv::DataLibrary& lib, size_t t) { return lib.ArmsData[t].nDomain == 2; }},
        {"artillery",
         [](const zrv::DataLibrary& lib, size_t t) {
             // Fires over a hex: a minimum surface range of 2 or more.
             for (int s = 0; s < zrv::kWeaponSlots; ++s) {
                 if (lib.WeaponData[t * 8 + static_cast<size_t>(s)].nRange[2] >= 2 &&
                     lib.ArmsData[t].nDomain == 1) {
                     return true;
                 }
             }
             return false;
         }},
        {"warship",
         [](const zrv::DataLibrary& lib, size_t t) {
             for (int s = 0; s < zrv::kWeaponSlots; ++s) {
                 if (lib.ArmsData[t].nDomain == 3 &&
                     lib.WeaponData[t * 8 + static_cast<size_t>(s)].nAttack[3] > 0) {
                     return true;
                 }
             }
             return false;
         }},
        {"fighter",
         [](const zrv::DataLibrary& lib, size_t t) {
             return zrv::IsAirClass(lib.ArmsData[t]) && zrv::RefuelsAtBases(lib.ArmsData[t]);
         }},
        {"bomber",
         [](const zrv::DataLibrary& lib, size_t t) {
             for (int s = 0; s < zrv::kWeaponSlots; ++s) {
                 if (zrv::IsBombingWeapon(lib.WeaponData[t * 8 + static_cast<size_t>(s)])) return true;
             }
             return false;
         }},
        {"transport ship",
         [](const zrv::DataLibrary& lib, size_t t) {
             const auto& a = lib.ArmsData[t];
             return a.nDomain == 3 &&
                    a.nCarry[lib.ArmsData[static_cast<size_t>(lib.g_nLandUnit)].nCarryClass] > 0;
         }},
        {"submarine",
         [](const zrv::DataLibrary& lib, size_t t) {
             return lib.ArmsData[t].nMoveType == zrv::kMoveTypeSubmarine && lib.ArmsData[t].wBattery > 0;
         }},
        {"transport aircraft",
         [](const zrv::DataLibrary& lib, size_t t) {
             const auto& a = lib.ArmsData[t];
             return a.nDomain == 0 && (a.nCarry[0] | a.nCarry[1] | a.nCarry[2] | a.nCarry[3]) != 0;
         }},
        {"type developed during the campaign",
         [](const zrv::DataLibrary& lib, size_t t) {
             return lib.ArmsData[t].dwDateFrom > lib.ArmsData[1].dwDateFrom;
         }},
    };
    for (int nation : {1, 2}) {
        for (const auto& role : roles) {
            SCOPED_TRACE(std::string(role.name) + " of nation " + std::to_string(nation));
            bool found = false;
            for (size_t t = 1; t < l.ArmsData.size(); ++t) {
                if (l.ArmsData[t].nNation == nation && role.fits(l, t)) found = true;
            }
            EXPECT_TRUE(found);
        }
    }
}

TEST(ShippedContent, CampaignRunsFromScenarioZeroToAnEnding)
{
    const auto& l = Shipped();
    ASSERT_EQ(l.g_nMaxScnr, 2);
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(l.ScenarioData[0].Branch[b].nNext, 1);
        EXPECT_EQ(l.ScenarioData[1].Branch[b].nNext, -1);  // ending 0
    }
    EXPECT_EQ(zrv::TableText(l.MsgCommon, 10), std::string("\x82\x4F"));
    EXPECT_SJIS_EQ(zrv::TableText(l.ErrorMessage, 16), "データ(ZRVData.DLL)がロードできないので終了します");
}

// The terrain colours are the same table the battle palette is made from, as
// RGBQUADs (blue, green, red, 0) for palette entries 98..179.
TEST(ShippedContent, TerrainColoursAreTheSharedTableInRgbQuadOrder)
{
    std::ifstream in(std::string(ZRV_SOURCE_DIR) + "/standins/zrvdata/content/terrain_colors.csv");
    ASSERT_TRUE(in);
    const auto& sets = Shipped().TerrainColorData;
    ASSERT_EQ(sets.size(), 8u);
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        int k = 0, entry = 0, r = 0, g = 0, b = 0;
        if (std::sscanf(line.c_str(), "%d,%d,%d,%d,%d", &k, &entry, &r, &g, &b) != 5) continue;
        SCOPED_TRACE(line);
        const uint8_t* q = &sets[static_cast<size_t>(k)][static_cast<size_t>((entry - 98) * 4)];
        EXPECT_EQ(q[0], b);
        EXPECT_EQ(q[1], g);
        EXPECT_EQ(q[2], r);
        EXPECT_EQ(q[3], 0);
        ++rows;
    }
    EXPECT_EQ(rows, 8 * 82);
}

// The scenario files come from the data-file writers; once they are staged
// every scenario of the table must name one of them.
TEST(ShippedContent, ScenarioNamesAreStagedFiles)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(StageDir()) / "Scenario";
    bool any = false;
    if (fs::is_directory(folder)) {
        for (const auto& e : fs::directory_iterator(folder)) any |= e.path().extension() == ".SC2";
    }
    if (!any) GTEST_SKIP() << "no .SC2 files staged yet";
    for (const auto& s : Shipped().ScenarioData) {
        SCOPED_TRACE(s.szName);
        EXPECT_TRUE(fs::exists(folder / s.szName));
    }
}

}  // namespace
}  // namespace zrvtest
