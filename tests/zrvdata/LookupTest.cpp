// Lookups into the library by values that come from files and records.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "LibraryChecks.h"
#include "support/FixtureLibrary.h"

namespace zrvtest {
namespace {

zrv::SCNRBASESTRUCT Named(const char* name)
{
    zrv::SCNRBASESTRUCT s{};
    std::strncpy(s.szName, name, sizeof s.szName - 1);
    return s;
}

TEST(FindScenarioByName, MatchesAsciiWithoutCaseAndDoubleByteExactly)
{
    // ツ is 0x83 0x63 and ウ is 0x83 0x43: upper-casing every byte would turn
    // the trail byte 'c' into 'C' and make the two names equal.
    std::vector<zrv::SCNRBASESTRUCT> table{Named("ALPHA.SC2"), Named("\x83\x43.SC2"), Named("alpha.sc2"),
                                           Named("Beta.SC2")};
    zrv::DataLibrary lib = FixtureLibrary();
    lib.ScenarioData = table;
    lib.g_nMaxScnr = static_cast<int>(table.size());
    zrv::SetLib(&lib);
    struct Case {
        const char* name;
        int want;
    };
    const Case cases[] = {
        {"ALPHA.SC2", 0}, {"alpha.sc2", 0},  // the first match wins
        {"bEtA.sC2", 3},  {"\x83\x43.SC2", 1}, {"\x83\x43.sc2", 1}, {"\x83\x63.SC2", -1}, {"GAMMA.SC2", -1},
        {"", -1},         {"ALPHA.SC", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(zrv::FindScenarioByName(c.name), c.want);
    }
    zrv::SetLib(nullptr);
}

TEST(FindHistoryEvent, FindsOnlyTheExactDateAndNeverWalksPastTheTable)
{
    ScopedFixtureLibrary fixture;
    const uint32_t event = zrv::PackDate(40, 1, 2, 8);
    EXPECT_EQ(zrv::FindHistoryEvent(event), 0);
    EXPECT_EQ(zrv::FindHistoryEvent(zrv::PackDate(40, 1, 2, 10)), -1);  // same day, other hour
    EXPECT_EQ(zrv::FindHistoryEvent(zrv::PackDate(39, 12, 31)), -1);
    EXPECT_EQ(zrv::FindHistoryEvent(zrv::PackDate(99, 12, 31, 22)), -1);

    // A table that lacks its end record is still walked only to its count.
    zrv::DataLibrary lib = FixtureLibrary();
    lib.HistoryData = lib.HistoryData.first(1);
    zrv::SetLib(&lib);
    EXPECT_EQ(zrv::FindHistoryEvent(zrv::PackDate(99, 12, 31)), -1);
    EXPECT_EQ(zrv::FindHistoryEvent(event), 0);
}

TEST(BoundedLookups, IndexesOutsideATableFindNothing)
{
    ScopedFixtureLibrary fixture;
    EXPECT_NE(zrv::ArmsRecord(kFixtureTank), nullptr);
    EXPECT_EQ(zrv::ArmsRecord(kFixtureTypeCount), nullptr);
    EXPECT_EQ(zrv::ArmsRecord(-1), nullptr);
    EXPECT_EQ(zrv::WeaponRecord(kFixtureTank, 0)->nWeaponNo, 2);
    EXPECT_EQ(zrv::WeaponRecord(kFixtureTank, 8), nullptr);
    EXPECT_EQ(zrv::WeaponRecord(kFixtureTypeCount, 0), nullptr);
    EXPECT_NE(zrv::TerrainRecord(127), nullptr);
    EXPECT_EQ(zrv::TerrainRecord(128), nullptr);
    EXPECT_EQ(zrv::RoadRecord(5), nullptr);
    EXPECT_NE(zrv::WaveFile(47), nullptr);
    EXPECT_EQ(zrv::WaveFile(48), nullptr);
    EXPECT_STREQ(zrv::TableText(zrv::Lib().MsgWeather, 8), "");
    EXPECT_EQ(zrv::ErrorText(157), "Error 157");
}

// Rule tests rely on the fixture being a sound library in its own right.
TEST(FixtureLibrary, IsConsistent)
{
    const std::vector<TextFormat> formats{{"ErrorMessage", 2, "s"},          {"ErrorMessage", 14, "s"},
                                          {"ErrorMessage", 42, "d"},         {"MsgCommon", 13, "s"},
                                          {"MsgSpecWord", 1, "ssss"},        {"MsgNoMatchDLL2Conv", -1, "ss"},
                                          {"MsgNoMatchData2Conv", -1, "sss"}};
    for (const auto& fault : CheckLibrary(FixtureLibrary(), formats)) ADD_FAILURE() << fault;
    const auto& l = FixtureLibrary();
    EXPECT_TRUE(zrv::CanOccupy(l.ArmsData[kFixtureInfantry]));
    EXPECT_TRUE(zrv::IsDeepWater(l.TerrainBase[kFixtureSea]));
    EXPECT_TRUE(zrv::IsCityHex(l.TerrainBase[kFixtureCity]));
    EXPECT_EQ(l.TerrainBase[kFixturePlain].nBuiltForm, kFixtureFort);
    EXPECT_LT(l.ArmsData[kFixtureRetired].dwDateRetire, l.ArmsData[kFixtureTank].dwDateFrom + 0x10000u);
}

}  // namespace
}  // namespace zrvtest
