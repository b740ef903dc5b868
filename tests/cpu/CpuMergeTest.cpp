// How the computer's units gather strength: the partner search of each
// kind, the unit that receives the strength, and the join walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMerge.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/engine/HexGeometry.h"
#include "cpu/CpuOrderFixture.h"

namespace zrv {
namespace {

constexpr HEXINDEX kHome = MakeHex(40, 40);

class CpuMergeTest : public CpuOrderFixture {
protected:
    void SetUp() override
    {
        CpuOrderFixture::SetUp();
        view.results["ExecuteMerge"] = 1;
    }
    static int32_t Packed(int slot, HEXINDEX h) { return slot << 16 | h; }
};

TEST_F(CpuMergeTest, EachKindTakesItsOwnPartner)
{
    // The unit (4 of 10: it needs 6) and three partners round its hex.
    UNITSTRUCT& u = Own(0, kHome, 4);
    const HEXINDEX h1 = GetNeighbour(kHome, 0), h2 = GetNeighbour(kHome, 1), h3 = GetNeighbour(kHome, 2);
    Own(1, h1, 5);
    Own(2, h2, 3);
    Own(3, h3, 8);
    OwnCity(h1);  // partner 1's owner serves it where it stands
    const HEXINDEX own[] = {kHome, kNoHex};
    struct Row {
        int kind;
        HEXINDEX listed[3];
        int32_t want;
        const char* why;
    } rows[] = {
        {0, {kNoHex}, Packed(2, kHome), "partner 1 is served where it stands; 8 is more than the need"},
        {1, {kNoHex}, Packed(1, kHome), "the strongest within the need"},
        {2, {kNoHex}, Packed(1, kHome), "as kind 1"},
        {3, {kNoHex}, Packed(3, kHome), "the strongest of all"},
        {4, {kNoHex}, Packed(3, kHome), "the strongest round its own hex"},
        {4, {h3, kNoHex}, Packed(1, kHome), "not one that would overfill on the list"},
        {5, {h2, kNoHex}, Packed(2, kHome), "only a partner on the list"},
        {5, {h2, h3, kNoHex}, Packed(3, kHome), "the stronger on the list"},
        {6, {kNoHex}, -1, "no such kind"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CpuSearchPartner(*doc, r.kind, own, u, r.listed, false), r.want) << "kind " << r.kind << ": "
                                                                                   << r.why;
    }
    // Kind 4 takes none while the country cannot produce.
    doc->m_GameData.Country[1].nUnitMax = 4;
    EXPECT_EQ(CpuSearchPartner(*doc, 4, own, u, {}, false), -1);
    // Kind 5: a partner on the capital counts strength 100.
    doc->m_GameData.Country[1].nCapital = h2;
    const HEXINDEX both[] = {h2, h3, kNoHex};
    EXPECT_EQ(CpuSearchPartner(*doc, 5, own, u, both, false), Packed(2, kHome));
    // Only partners that acted (or stay), when asked.
    EXPECT_EQ(CpuSearchPartner(*doc, 1, own, u, {}, true), -1);
    doc->m_GameData.Country[1].Unit[2].dwFlag |= kUnitActed;
    EXPECT_EQ(CpuSearchPartner(*doc, 1, own, u, {}, true), Packed(2, kHome));
    // A unit that carries others has no partner.
    u.dwFlag |= kUnitCarries;
    EXPECT_EQ(CpuSearchPartner(*doc, 3, own, u, {}, false), -1);
}

TEST_F(CpuMergeTest, OrdinaryPartnersAreMarkedAndTheLastTakenWins)
{
    // Partners of 3 and 5 next to the unit's hex; the second hex of the
    // search touches partner 1 again with terrain as good.
    UNITSTRUCT& u = Own(0, kHome, 4);
    const HEXINDEX h1 = GetNeighbour(kHome, 0), h2 = GetNeighbour(kHome, 3);
    Own(1, h2, 3);
    Own(2, h1, 5);
    const HEXINDEX other = GetNeighbour(h1, 0);
    const HEXINDEX hexes[] = {kHome, other, kNoHex};
    EXPECT_EQ(CpuSearchPartner(*doc, 1, hexes, u, {}, false), Packed(2, other));
    // Partner 2 (5) came first and took the mark; partner 1 (3) was no
    // stronger than the best, so it qualified for nothing.
    EXPECT_TRUE(doc->m_GameData.Country[1].Unit[2].dwSupplyFlag & kCpuUnitPartnerFit);
    EXPECT_FALSE(doc->m_GameData.Country[1].Unit[1].dwSupplyFlag & kCpuUnitPartnerFit);
    // Every partner that qualifies on its way up is marked, and a marked
    // one is taken again at a later hex.
    Own(2, h1, 2);
    EXPECT_EQ(CpuSearchPartner(*doc, 1, hexes, u, {}, false), Packed(2, other));
    EXPECT_TRUE(doc->m_GameData.Country[1].Unit[2].dwSupplyFlag & kCpuUnitPartnerFit);
    EXPECT_TRUE(doc->m_GameData.Country[1].Unit[1].dwSupplyFlag & kCpuUnitPartnerFit);
}

TEST_F(CpuMergeTest, StrengthGathersInTheBetterPlacedUnit)
{
    struct Row {
        bool unitOnCity, partnerOnCity;
        int amount;
    } rows[] = {
        {false, true, -4},   // into the partner: the unit's 4
        {true, false, 3},    // into the unit: the partner's 3
        {false, false, -4},  // a tie goes to the partner
    };
    const HEXINDEX next = GetNeighbour(kHome, 0);
    const std::string merge = "ExecuteMerge(" + std::to_string(next) + ",";
    for (const Row& r : rows) {
        std::fill(std::begin(doc->m_dwHexCell), std::end(doc->m_dwHexCell),
                  static_cast<MAPCELL>(zrvtest::kFixturePlain));
        view.calls.clear();
        UNITSTRUCT& u = Own(0, kHome, 4);
        Own(1, next, 3);
        if (r.unitOnCity) OwnCity(kHome);
        if (r.partnerOnCity) OwnCity(next);
        EXPECT_EQ(CpuMoveAndJoin(*doc, cpu.State(), u, Packed(1, kHome)), 1);
        const std::string calls = view.Joined();
        EXPECT_NE(calls.find(merge + std::to_string(r.amount) + ")"), std::string::npos) << calls;
    }
}

TEST_F(CpuMergeTest, AUnitShortOfStrengthJoinsAPartnerAfterAMove)
{
    // The partner stands four hexes off: the unit goes next to it and merges.
    UNITSTRUCT& u = Own(0, kHome, 4);
    u.dwSupplyFlag |= kCpuUnitNeedsStrength;
    const HEXINDEX partnerHex = MakeHex(40, 44);
    Own(1, partnerHex, 5);
    EXPECT_EQ(CpuJoinUnits(*doc, cpu.State(), 1), 1);
    EXPECT_EQ(GetHexDistance(u.nHex, partnerHex), 1);
    const std::string calls = view.Joined();
    EXPECT_NE(calls.find("ExecuteCpuMove"), std::string::npos) << calls;
    EXPECT_NE(calls.find("ExecuteMerge"), std::string::npos) << calls;
    // Nobody else is short of strength: nothing more to join.
    u.dwFlag |= kUnitActed;
    EXPECT_EQ(CpuJoinUnits(*doc, cpu.State(), 1), 0);
}

}  // namespace
}  // namespace zrv
