#include "battle/cpu/CpuWorks.h"

#include <algorithm>
#include <climits>

#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/engine/Construction.h"
#include "battle/engine/ConstructionFunds.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kCpuUnitCouldNotMove = 0x00400000u;  // computer-player word bit 22
// TerrainBase: byte 1 bit 3, byte 2 bit 1, byte 3 bits 4 and 6.
constexpr uint32_t kTerrainAlwaysBuild = 1u << 11;
constexpr uint32_t kTerrainSecondWork = 1u << 17;
constexpr uint32_t kTerrainCityOrFort = (1u << 28) | (1u << 30);
constexpr uint32_t kTerrainFortressSite = 1u << 17;
constexpr int kNoFundsCode = 134;
constexpr int kTestFunds = 10000;
constexpr int kRichFunds = 12500;
constexpr int kLargeIncome = 4000;

const TRRNSTRUCT* TerrainAt(const CZRKGameDoc& doc, HEXINDEX h)
{
    return IsMapHex(h) ? TerrainRecord(CellTerrain(doc.m_dwHexCell[h])) : nullptr;
}

}  // namespace

int32_t CpuFindWorkSite(CZRKGameDoc& doc, const UNITSTRUCT& unit, bool take, int limit, bool road, bool noFortress)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (c == nullptr) return -1;
    const MAPCELL blocked = GetSideCellMask(*c);
    const HEXINDEX objective = CpuObjective(*c);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    const bool toObjective = (unit.dwOrder & (1u << 26)) != 0 && IsMapHex(objective);
    const int toCapital = IsMapHex(c->nCapital) && IsMapHex(at) ? GetHexDistance(at, c->nCapital) : 0;
    int32_t best = -1;
    uint32_t bestValue = UINT32_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = doc.m_dwHexMove[h];
        if ((w & kReachNotReached) || (w & kReachCostMask) == 0) continue;
        const MAPCELL cell = doc.m_dwHexCell[h];
        if ((cell & blocked) || (doc.m_dwHexCpu[h] & kClaimWorkSite)) continue;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        const bool own = TestHexTerrainFlags(c->nIndex, cell, limit) != 0;
        const bool repair = !own && t != nullptr && t->nBuiltForm != 0 && CellDurability(cell) == 0;
        if (!own && !repair) {
            doc.m_dwHexCpu[h] |= kClaimWorkSite;
            continue;
        }
        if (const UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[h])) {
            if (UnitCountryIndex(*holder) != c->nIndex || (holder->dwFlag & kUnitActed) ||
                FindConstructionSlot(*holder) >= 0)
                continue;
        }
        if (GetNearestEnemyDistanceFromHex(game, c->nIndex, h) <= 1) continue;
        uint32_t value = w & kReachCostMask;
        if (road && !repair) value += kSiteRoad;
        if (own && !noFortress && t != nullptr && (t->dwTrrnFlag & kTerrainFortressSite)) value += kSiteFortress;
        if (static_cast<uint32_t>(unit.nMove) < (value & 0xFFFu)) {
            const uint32_t flags = ((value & kSiteRoad) ? kSiteFarRoad : 0u) | ((value & kSiteFortress) ? kSiteFarFortress : 0u);
            if (repair && toObjective)
                value = 2048u + static_cast<uint32_t>(GetHexDistance(h, objective)) + (value & 0xFFFu);
            else
                value = 2048u + static_cast<uint32_t>(toCapital);
            value |= flags;
        }
        if (value < bestValue) {
            bestValue = value;
            best = h;
        }
    }
    if (take) {
        if (best >= 0) {
            const UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[best]);
            if (holder != nullptr && UnitCountryIndex(*holder) == c->nIndex &&
                !(holder->dwFlag & kUnitActed) && !(holder->dwSupplyFlag & kCpuUnitStay))
                best |= kSiteHeldByOwnUnit;
        }
        return best;
    }
    if (best >= 0) return best;
    const HEXINDEX capital = c->nCapital;
    if (IsMapHex(capital) && !(doc.m_dwHexMove[capital] & kReachNotReached) &&
        (doc.m_dwHexMove[capital] & kReachCostMask) != 0 && GetHexDistance(at, capital) >= 4)
        return capital;
    return -1;
}

HEXINDEX CpuFindRelocationHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    if (!CpuReach(doc, state, unit)) return kNoHex;
    CapitalSearch how{doc.m_dwHexMove};
    how.any = true;
    how.blocked = [&](int country) { return IsCapitalBlocked(game, doc.m_dwHexUnit, country) != 0; };
    const int32_t capital = FindNearestEnemyCapital(game, unit, how);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    const HEXINDEX toward = capital >= 0 ? static_cast<HEXINDEX>(capital & 0xFFFF) : at;
    HEXINDEX best = kNoHex;
    int bestDistance = INT_MAX, bestCost = INT_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = doc.m_dwHexMove[h];
        if (h == at || (w & kReachNotDestination) || IsUnitRef(doc.m_dwHexUnit[h])) continue;
        if (CpuOnList(state.objectiveArea, h)) continue;
        const int d = GetHexDistance(h, toward);
        const int cost = static_cast<int>(w & kReachCostMask);
        if (d < bestDistance || (d == bestDistance && cost < bestCost)) {
            best = h;
            bestDistance = d;
            bestCost = cost;
        }
    }
    return best;
}

int CpuSwapOut(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    const UnitRef ref = unit.refSelf;
    const HEXINDEX hex = CpuFindRelocationHex(doc, state, unit);
    if (IsMapHex(hex)) {
        CpuMoveFlags flags;
        flags.nEnd = 1;
        flags.bIncludeTarget = true;
        const int r = CpuMoveUnitToward(doc, state, unit, hex, flags);
        if (r < 0) return -1;
        if (r == kCpuMoveDone) return 1;
        if (r == kCpuMoveMoved) {
            UNITSTRUCT* u = doc.GetUnit(ref);
            if (u == nullptr || !CpuFit(*u)) return 1;
            const int attack = CpuAttackTarget(doc, state, *u, CpuAdvancePolicy(doc, *u), kNoHex);
            if (attack != 0) return attack;
            return doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0 ? -1 : 1;
        }
    }
    const TRRNSTRUCT* t = TerrainAt(doc, unit.nHex);
    if (IsGroundDomainUnit(unit) && t != nullptr && (t->dwTrrnFlag & kTerrainCityOrFort))
        return doc.ExecuteCpuAction(kCpuActDispose, unit, 0) < 0 ? -1 : 1;
    return 0;
}

int CpuBuildWorks(CZRKGameDoc& doc, CpuTurnState& state, int pass)
{
    doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const bool rich = c->nFund >= kRichFunds && IsMapHex(c->nCapital) &&
                      GetNearestEnemyDistanceFromHex(game, c->nIndex, c->nCapital) > 6;
    const bool largeIncome = doc.GetCountryIncome(*c) >= kLargeIncome;
    int result = 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!CpuFit(u) || (u.dwSupplyFlag & (kCpuUnitStay | kCpuUnitCouldNotMove))) continue;
        if (CheckUnitConstruction(u) != 0) continue;
        // Looked at once a pass.
        u.dwSupplyFlag |= kCpuUnitCouldNotMove;
        const TRRNSTRUCT* here = TerrainAt(doc, u.nHex);
        if (here == nullptr) continue;
        const MAPCELL cell = doc.m_dwHexCell[u.nHex];
        const int durability =
            CheckDurabilityIncrease(game, doc.m_dwHexCell, doc.m_dwHexUnit, u, false);
        int amount = 0;
        if (durability == 0 && TestHexTerrainFlags(c->nIndex, cell, kMaxDurability)) {
            amount = GetDurabilityIncreaseLimit(game, doc.m_dwHexCell, u);
            if (!rich || largeIncome || !(here->dwTrrnFlag & kTerrainSecondWork) ||
                (here->dwTrrnFlag & kTerrainAlwaysBuild)) {
                result = doc.ExecuteCpuAction(kCpuActConstruct, u, amount) < 0 ? -1 : 1;
                break;
            }
        }
        const int repair = CheckTerrainRepair(game, doc.m_dwHexCell, doc.m_dwHexUnit, u, false);
        if (repair == 0) {
            result = doc.ExecuteCpuAction(kCpuActConstructOther, u, 0) < 0 ? -1 : 1;
            break;
        }
        if (durability == kNoFundsCode || repair == kNoFundsCode) {
            // Would a richer country build? The check is told the funds; the
            // country's own are never touched.
            const bool wouldBuild =
                CheckConstructionKindWithFunds(game, doc.m_dwHexCell, doc.m_dwHexUnit, u, kBuildDurability, false,
                                               kTestFunds) == 0 ||
                CheckConstructionKindWithFunds(game, doc.m_dwHexCell, doc.m_dwHexUnit, u, kBuildRepair, false,
                                               kTestFunds) == 0;
            if (wouldBuild) {
                u.dwSupplyFlag |= kCpuUnitStay;
                continue;
            }
        }
        if (!CpuReach(doc, state, u)) continue;
        const int32_t found = CpuFindWorkSite(doc, u, true, kMaxDurability, false, false);
        const HEXINDEX site = found >= 0 || found == -1 ? found : static_cast<HEXINDEX>(found & 0xFFFF);
        const bool buildHere =
            pass == 0 ? amount > 0 && !(here->dwTrrnFlag & kTerrainSecondWork)
                      : amount > 0 && (!IsMapHex(site) ||
                                       (TestHexTerrainFlags(c->nIndex, doc.m_dwHexCell[site], kMaxDurability) &&
                                        TerrainAt(doc, site) != nullptr &&
                                        (TerrainAt(doc, site)->dwTrrnFlag & kTerrainSecondWork)));
        if (pass == 0 && IsMapHex(site) && CellDurability(doc.m_dwHexCell[site]) == 0) continue;
        if (buildHere) {
            result = doc.ExecuteCpuAction(kCpuActConstruct, u, amount) < 0 ? -1 : 1;
            break;
        }
        if (!IsMapHex(site)) continue;
        UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[site]);
        CpuMarkEnemyReach(u, game, doc.m_dwHexMove);
        const uint32_t w = doc.m_dwHexMove[site];
        if (holder != nullptr && holder != &u && UnitCountryIndex(*holder) == c->nIndex &&
            static_cast<int>(w & kReachCostMask) <= u.nMove && !(w & (1u << 23))) {
            if (holder->dwFlag & kUnitActed) {
                holder->dwSupplyFlag |= kCpuUnitKeepsSite;
                continue;
            }
            const int r = CpuSwapOut(doc, state, *holder);
            if (r < 0) return -1;
            if (r > 0) {
                result = 1;
                break;
            }
            continue;
        }
        const int r = CpuMoveUnitToward(doc, state, u, site, CpuMoveFlags{.bIncludeTarget = true});
        if (r < 0) return -1;
        if (u.dwFlag & kUnitActed) doc.m_dwHexCpu[site] |= kClaimWorkSite;
        if (r == kCpuMoveMoved || r == kCpuMoveDone) {
            result = 1;
            break;
        }
    }
    if (result > 0 && CpuFollowBaseLeft(doc, state) < 0) return -1;
    return result;
}

}  // namespace zrv
