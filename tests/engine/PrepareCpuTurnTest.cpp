#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/OccupyTargets.h"
#include "engine/DocFixture.h"

namespace zrv {
namespace {

// Country 1 (side 1) prepares its turn; 0 and 2 are its enemies, 3 its ally.
class PrepareCpuTurnTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        std::fill(std::begin(doc->m_dwHexCell), std::end(doc->m_dwHexCell),
                  static_cast<MAPCELL>(zrvtest::kFixturePlain));
        doc->SetCurrentCountry(1);
        rules.capitalSearch = [this](const UNITSTRUCT* probe, int mode) {
            searches.push_back({probe != nullptr, mode});
            return mode == 0 ? firstSearch : secondSearch;
        };
        rules.filterCandidateHexes = [this](int, int kind, std::span<const HEXINDEX> ring, std::span<HEXINDEX> out) {
            kinds.push_back(kind);
            // Every ring hex qualifies for every kind.
            int n = 0;
            for (HEXINDEX h : ring) {
                if (h == kNoHex || n + 1 >= static_cast<int>(out.size())) break;
                out[static_cast<size_t>(n++)] = h;
            }
            out[static_cast<size_t>(n)] = kNoHex;
            return n;
        };
    }
    UNITSTRUCT& Unit(int c, int slot, HEXINDEX h)
    {
        UNITSTRUCT& u = doc->m_GameData.Country[c].Unit[slot];
        u.dwFlag = kUnitInUse;
        u.nArms = zrvtest::kFixtureInfantry;
        u.nHex = h;
        u.refSelf = MakeUnitRef(c, slot);
        u.dwCargo = MakeCargo(kNoCarrier, 0);
        doc->m_dwHexUnit[h] = u.refSelf;
        return u;
    }
    CpuTurnSetupRules rules;
    struct Search {
        bool withProbe;
        int mode;
    };
    std::vector<Search> searches;
    std::vector<int> kinds;
    int32_t firstSearch = -1, secondSearch = -1;
};

TEST_F(PrepareCpuTurnTest, MarksListsAndUnitFlags)
{
    COUNTRYSTRUCT& own = doc->m_GameData.Country[1];
    own.nCapital = MakeHex(60, 60);
    firstSearch = 2 << 16 | MakeHex(40, 40);
    doc->m_dwHexCpu[5] = 7;
    doc->m_dwHexCell[9] |= kCellCpuMark;
    UNITSTRUCT& ally = Unit(3, 0, MakeHex(70, 70));
    ally.dwOrder = 0x08000000u;
    ally.nMarchHex = MakeHex(71, 71);
    UNITSTRUCT& mine = Unit(1, 0, MakeHex(61, 61));
    mine.dwOrder = 0x08000001u;
    mine.nMarchHex = MakeHex(1, 1);
    doc->m_dwHexCell[MakeHex(61, 61)] = zrvtest::kFixtureCity;  // occupiable, unowned
    UNITSTRUCT& other = Unit(1, 1, MakeHex(62, 62));
    doc->m_dwHexCell[MakeHex(62, 62)] = WithOwner(zrvtest::kFixtureCity, 0);  // an enemy's city

    const CpuTurnAreas areas = PrepareCpuTurn(*doc, rules);
    EXPECT_EQ(doc->m_dwHexCpu[5], 0u);
    EXPECT_FALSE(CellCpuMarked(doc->m_dwHexCell[9]));
    EXPECT_TRUE(CellCpuMarked(doc->m_dwHexCell[MakeHex(71, 71)]));
    EXPECT_EQ(std::vector<int32_t>(doc->m_CpuWork.nEnemy, doc->m_CpuWork.nEnemy + 3),
              (std::vector<int32_t>{0, 2, -1}));
    EXPECT_EQ(mine.dwOrder, 1u);
    EXPECT_EQ(mine.nMarchHex, kNoHex);
    EXPECT_TRUE(mine.dwSupplyFlag & 0x04000000u);
    EXPECT_FALSE(other.dwSupplyFlag & 0x04000000u);
    EXPECT_EQ(own.dwCpuTarget, static_cast<uint32_t>(firstSearch));
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_TRUE(searches[0].withProbe);
    EXPECT_EQ(kinds, (std::vector<int>{0, 1, 3, 0, 2, 1, 3}));
    EXPECT_EQ(areas.objectiveByKind[0].front(), MakeHex(40, 40));
    EXPECT_TRUE(areas.objectiveByKind[2].empty());
    EXPECT_EQ(areas.capitalByKind[2].front(), MakeHex(60, 60));
    // Overlapping kinds: the appended list holds them all; the document's
    // fixed list is cut to its capacity.
    EXPECT_EQ(areas.objectiveList.size(), 3u * 91u);
    EXPECT_EQ(areas.capitalList.size(), 4u * 91u);
    EXPECT_EQ(doc->m_CpuWork.nHexList[0][90], areas.objectiveList[90]);
    EXPECT_EQ(doc->m_CpuWork.nHexList[0][91], -1);
    EXPECT_EQ(doc->m_CpuWork.nHexList[1][91], -1);
    // The reach map is the probe's, from the capital.
    EXPECT_EQ(doc->m_dwHexMove[MakeHex(60, 61)] & 0xFFFFu, 2u);
}

TEST_F(PrepareCpuTurnTest, ObjectiveFromTheProbeThenTheSecondSearch)
{
    COUNTRYSTRUCT& own = doc->m_GameData.Country[1];
    own.nCapital = MakeHex(60, 60);
    doc->m_dwHexCell[MakeHex(60, 66)] = WithOwner(zrvtest::kFixturePlain, 2);
    doc->m_dwHexCell[MakeHex(60, 63)] = WithOwner(zrvtest::kFixturePlain, 0);
    doc->m_dwHexCell[MakeHex(60, 62)] = WithOwner(zrvtest::kFixturePlain, 3);  // an ally's
    (void)PrepareCpuTurn(*doc, rules);
    EXPECT_EQ(own.dwCpuTarget, static_cast<uint32_t>(0 << 16 | MakeHex(60, 63)));

    // Nothing owned by an enemy in reach: the second search, marked.
    doc->m_dwHexCell[MakeHex(60, 66)] = zrvtest::kFixturePlain;
    doc->m_dwHexCell[MakeHex(60, 63)] = zrvtest::kFixturePlain;
    secondSearch = 2 << 16 | MakeHex(30, 30);
    searches.clear();
    (void)PrepareCpuTurn(*doc, rules);
    EXPECT_EQ(own.dwCpuTarget, 0x80000000u | static_cast<uint32_t>(secondSearch));
    ASSERT_EQ(searches.size(), 2u);
    EXPECT_EQ(searches[1].mode, 1);
}

TEST_F(PrepareCpuTurnTest, WithoutACapitalNoProbeAndNoCapitalLists)
{
    COUNTRYSTRUCT& own = doc->m_GameData.Country[1];
    own.nCapital = -1;
    secondSearch = 0 << 16 | MakeHex(20, 20);
    std::fill(std::begin(doc->m_dwHexMove), std::end(doc->m_dwHexMove), 0x1234u);
    const CpuTurnAreas areas = PrepareCpuTurn(*doc, rules);
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_FALSE(searches[0].withProbe);
    EXPECT_EQ(own.dwCpuTarget, 0x80000000u | static_cast<uint32_t>(secondSearch));
    EXPECT_EQ(doc->m_dwHexMove[0], 0x1234u) << "no probe area at hex -1";
    EXPECT_TRUE(areas.capitalList.empty());
    EXPECT_EQ(kinds, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(doc->m_CpuWork.nHexList[1][0], -1);

    // No objective at all: no lists, and the objective word says none.
    secondSearch = -1;
    kinds.clear();
    (void)PrepareCpuTurn(*doc, rules);
    EXPECT_TRUE(kinds.empty());
    EXPECT_TRUE(own.dwCpuTarget & 0x80000000u);
    EXPECT_EQ(doc->m_CpuWork.nHexList[0][0], -1);
}

TEST_F(PrepareCpuTurnTest, DocumentClearsUnitFlag4)
{
    UNITSTRUCT& u = Unit(6, 9, MakeHex(5, 5));
    u.dwFlag |= kUnitFiredAa | kUnitMoved;
    doc->ClearUnitFlag4();
    EXPECT_EQ(u.dwFlag, kUnitInUse | kUnitMoved);
}

}  // namespace
}  // namespace zrv
