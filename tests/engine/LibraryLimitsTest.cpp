#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/DataLibraryLoader.h"
#include "support/FixtureLibrary.h"

namespace zrv {
namespace {

// Sensor ranges size the sight searches and move costs must stay below the
// reach flags: a library that breaks either is refused when it loads.
TEST(LibraryLimits, SensorRangesAndMoveCostsAreBounded)
{
    const DataLibrary& fixture = zrvtest::FixtureLibrary();
    ASSERT_TRUE(CheckLibraryLimits(fixture));
    struct Case {
        const char* what;
        void (*plant)(std::vector<ARMSSTRUCT>&, std::vector<CostRow>&);
        bool ok;
    };
    const Case cases[] = {
        {"sight 127", [](std::vector<ARMSSTRUCT>& a, std::vector<CostRow>&) { a[1].nSight = 127; }, true},
        {"sight 128", [](std::vector<ARMSSTRUCT>& a, std::vector<CostRow>&) { a[1].nSight = 128; }, false},
        {"sight -1", [](std::vector<ARMSSTRUCT>& a, std::vector<CostRow>&) { a[1].nSight = -1; }, false},
        {"radar 200", [](std::vector<ARMSSTRUCT>& a, std::vector<CostRow>&) { a[2].wRadar = 200; }, false},
        {"sonar -3", [](std::vector<ARMSSTRUCT>& a, std::vector<CostRow>&) { a[5].wSonar = -3; }, false},
        {"cost 0x7FFE", [](std::vector<ARMSSTRUCT>&, std::vector<CostRow>& c) { c[0][7] = 0x7FFE; }, true},
        {"cost 0x7FFF", [](std::vector<ARMSSTRUCT>&, std::vector<CostRow>& c) { c[0][7] = 0x7FFF; }, false},
        {"route cost -1", [](std::vector<ARMSSTRUCT>&, std::vector<CostRow>& c) { c[3][93] = -1; }, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        std::vector<ARMSSTRUCT> arms(fixture.ArmsData.begin(), fixture.ArmsData.end());
        std::vector<CostRow> cost(fixture.TerrainCostTable.begin(), fixture.TerrainCostTable.end());
        k.plant(arms, cost);
        DataLibrary copy = fixture;
        copy.ArmsData = arms;
        copy.TerrainCostTableSnow = cost;
        std::string why;
        EXPECT_EQ(CheckLibraryLimits(copy, &why), k.ok) << why;
    }
}

}  // namespace
}  // namespace zrv
