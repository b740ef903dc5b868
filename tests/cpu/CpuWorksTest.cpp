// The computer's builders and bombers: where a builder works (on its hex,
// waiting for money, or at a work site) and which hex a standing bombing
// march goes to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle/cpu/CpuBombing.h"
#include "battle/cpu/CpuWorks.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "cpu/ArmsFixture.h"
#include "cpu/CpuOrderFixture.h"

namespace zrv {
namespace {

constexpr int kBuilder = zrvtest::kArmsTypeCount;  // class 27 with a construction slot
constexpr int kMarcher = kBuilder + 1;             // a bomber that marches
constexpr HEXINDEX kHome = MakeHex(40, 40);

// The arms fixture with a builder and a marching bomber; its airfield is
// terrain of the second work flag and a plain hex is no repair site.
class WorksLibrary {
public:
    WorksLibrary()
    {
        const DataLibrary& base = m_arms.Library();
        m_lib = base;
        m_types.assign(base.ArmsData.begin(), base.ArmsData.end());
        m_weapons.assign(base.WeaponData.begin(), base.WeaponData.end());
        m_terrain.assign(base.TerrainBase.begin(), base.TerrainBase.end());
        ARMSSTRUCT builder = m_types[zrvtest::kFixtureInfantry];
        builder.nArmsNo = kBuilder;
        builder.nClass = 27;
        builder.dwArmsFlag = 0;
        m_types.push_back(builder);
        ARMSSTRUCT marcher = m_types[zrvtest::kArmsBomber];
        marcher.nArmsNo = kMarcher;
        marcher.dwArmsFlag |= 1u << 4;
        m_types.push_back(marcher);
        m_weapons.resize(m_types.size() * kWeaponSlots);
        WEAPONSTRUCT tool = m_weapons[zrvtest::kFixtureInfantry * kWeaponSlots];
        tool.byType = kWeaponTypeConstruction;
        m_weapons[static_cast<size_t>(kBuilder * kWeaponSlots)] = tool;
        m_weapons[static_cast<size_t>(kMarcher * kWeaponSlots)] =
            m_weapons[static_cast<size_t>(zrvtest::kArmsBomber * kWeaponSlots)];
        m_terrain[zrvtest::kFixtureAirfield].dwTrrnFlag |= 1u << 17;
        // Plain hexes are no repair sites here.
        m_terrain[zrvtest::kFixturePlain].nBuiltForm = 0;
        m_lib.ArmsData = m_types;
        m_lib.WeaponData = m_weapons;
        m_lib.TerrainBase = m_terrain;
    }
    const DataLibrary& Library() const { return m_lib; }

private:
    zrvtest::ArmsFixture m_arms;
    std::vector<ARMSSTRUCT> m_types;
    std::vector<WEAPONSTRUCT> m_weapons;
    std::vector<TRRNSTRUCT> m_terrain;
    DataLibrary m_lib;
};

class CpuWorksTest : public CpuOrderFixture {
protected:
    void SetUp() override
    {
        CpuOrderFixture::SetUp();
        SetLib(&library.Library());
    }
    UNITSTRUCT& Builder(int slot, HEXINDEX h)
    {
        UNITSTRUCT& u = Own(slot, h, 10, kBuilder);
        u.nAmmo[0] = 5;
        return u;
    }
    void Place(HEXINDEX h, int terrain, int owner, int durability)
    {
        MAPCELL cell = WithTerrain(0, terrain);
        if (owner >= 0) cell = WithOwner(cell, owner);
        doc->m_dwHexCell[h] = WithDurability(cell, durability);
    }
    int Constructions() const
    {
        int n = 0;
        for (const std::string& c : view.calls)
            if (c.rfind("ExecuteConstruction", 0) == 0) ++n;
        return n;
    }

    WorksLibrary library;
};

TEST_F(CpuWorksTest, ABuilderRaisesItsOwnHexOrWaitsForMoney)
{
    struct Row {
        int terrain, funds;
        bool builds, waits;
        const char* why;
    } rows[] = {
        {zrvtest::kFixtureCity, 5000, true, false, "an own city is raised"},
        {zrvtest::kFixtureCity, 0, false, true, "short of money: it waits, the funds untouched"},
        {zrvtest::kFixtureAirfield, 5000, true, false, "second work terrain while not rich"},
        {zrvtest::kFixtureAirfield, 12500, false, false, "a rich country far from the enemy leaves it"},
        {zrvtest::kFixtureCity, 12500, true, false, "terrain of byte 1 bit 3 is raised even so"},
    };
    for (const Row& r : rows) {
        view.calls.clear();
        Place(kHome, r.terrain, 1, 40);
        doc->m_GameData.Country[1].nFund = r.funds;
        UNITSTRUCT& u = Builder(0, kHome);
        EXPECT_EQ(CpuBuildWorks(*doc, cpu.State(), 0), r.builds ? 1 : 0) << r.why;
        EXPECT_EQ(Constructions(), r.builds ? 1 : 0) << r.why;
        EXPECT_EQ((u.dwSupplyFlag & kCpuUnitStay) != 0, r.waits) << r.why;
        EXPECT_EQ(doc->m_GameData.Country[1].nFund, r.funds) << r.why;
        // Looked at once a pass.
        EXPECT_EQ(CpuBuildWorks(*doc, cpu.State(), 0), 0) << r.why;
    }
}

TEST_F(CpuWorksTest, TheWorkSiteIsTheCheapestAndFarSitesCountByDistance)
{
    doc->m_GameData.Country[1].nFund = 5000;
    UNITSTRUCT& u = Builder(0, kHome);
    const HEXINDEX near = MakeHex(40, 42), far = MakeHex(40, 46);
    Place(near, zrvtest::kFixtureCity, 1, 100);
    Place(far, zrvtest::kFixtureCity, 1, 100);
    ASSERT_EQ(CheckUnitMove(u, doc->m_GameData, doc->m_dwHexCell, HexWords(cpu.State().grid.data(), kHexCount),
                            HexWords(doc->m_dwHexMove), doc->m_MoveRules),
              0);
    EXPECT_EQ(CpuFindWorkSite(*doc, u, true, 250, false, false), near);
    // Hexes that are no site are claimed as such.
    EXPECT_TRUE(doc->m_dwHexCpu[MakeHex(40, 41)] & kClaimWorkSite);
    // An own unit free to act on the site: bit 31 tells the caller.
    Own(1, near);
    EXPECT_EQ(CpuFindWorkSite(*doc, u, true, 250, false, false), near | kSiteHeldByOwnUnit);
    // One that has acted holds it for good: the far site (beyond the
    // movement points) is left.
    doc->m_GameData.Country[1].Unit[1].dwFlag |= kUnitActed;
    EXPECT_EQ(CpuFindWorkSite(*doc, u, true, 250, false, false), far);
    // Without the take flag and without a site: the capital, 4 or more
    // hexes off and reached.
    Place(far, zrvtest::kFixturePlain, -1, 0);
    const HEXINDEX capital = MakeHex(40, 45);
    doc->m_GameData.Country[1].nCapital = capital;
    EXPECT_EQ(CpuFindWorkSite(*doc, u, false, 250, false, false), capital);
    EXPECT_EQ(CpuFindWorkSite(*doc, u, true, 250, false, false), -1);
}

TEST_F(CpuWorksTest, TheBombingMarchTakesTheBestRatedFreeHex)
{
    EXPECT_EQ(CpuRateMarchTarget(WithDurability(WithTerrain(0, zrvtest::kFixtureCity), 50)), (82 << 16) + 50);
    const HEXINDEX a = MakeHex(44, 44), b = MakeHex(44, 46), c = MakeHex(44, 48);
    struct Row {
        int durabilityA, durabilityB;
        bool bClaimed;
        HEXINDEX want;
        const char* why;
    } rows[] = {
        {50, 80, false, b, "the higher durability on equal terrain"},
        {50, 50, false, a, "a full tie: the lower hex index"},
        {50, 80, true, a, "a hex a standing march goes to is taken"},
    };
    for (const Row& r : rows) {
        std::fill(std::begin(doc->m_dwHexCpu), std::end(doc->m_dwHexCpu), 0u);
        std::fill(std::begin(doc->m_dwHexCell), std::end(doc->m_dwHexCell),
                  static_cast<MAPCELL>(zrvtest::kFixturePlain));
        Place(a, zrvtest::kFixtureCity, 0, r.durabilityA);
        Place(b, zrvtest::kFixtureCity, 0, r.durabilityB);
        Place(c, zrvtest::kFixtureCity, 1, 90);  // own: no target
        UNITSTRUCT& m = Own(0, kHome, 10, kMarcher);
        m.nAmmo[0] = 4;
        UNITSTRUCT& other = Own(1, MakeHex(30, 30), 10, kMarcher);
        other.dwFlag |= kUnitActed;
        if (r.bClaimed) {
            other.dwOrder |= 0x60000000u;
            other.nMarchHex = b;
        }
        view.calls.clear();
        EXPECT_EQ(CpuOrderBombingMarch(*doc, cpu.State()), 1) << r.why;
        EXPECT_EQ(m.nMarchHex, r.want) << r.why;
        EXPECT_EQ(m.dwOrder & 0x60000000u, 0x60000000u) << r.why;
        EXPECT_NE(view.Joined().find("ExecuteEndAction"), std::string::npos) << r.why;
    }
}

}  // namespace
}  // namespace zrv
