#include "battle/cpu/CpuWithdrawal.h"

#include <algorithm>
#include <array>

#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuTransport.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/ClassTraits.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kCpuUnitCouldNotMove = 1u << 22;
constexpr uint32_t kCpuUnitSentBackMark = 1u << 20;
constexpr uint32_t kCpuUnitHasBase = 1u << 11;
constexpr uint32_t kOrderNoSupplyRun = 1u << 25;
constexpr uint32_t kClassStaysPut = 1u << 26;
constexpr uint32_t kClaimHomeArea = 1u << 27;
constexpr uint32_t kTerrainHeld = 1u << 11;  // TerrainBase byte 1 bit 3

int ClassOf(const UNITSTRUCT& u)
{
    const ARMSSTRUCT* a = UnitArms(u);
    return a ? a->nClass : -1;
}

bool ObjectiveHeld(const CZRKGameDoc& doc, const COUNTRYSTRUCT& c)
{
    const HEXINDEX h = CpuObjective(c);
    const TRRNSTRUCT* t = IsMapHex(h) ? TerrainRecord(CellTerrain(doc.m_dwHexCell[h])) : nullptr;
    return t != nullptr && (t->dwTrrnFlag & kTerrainHeld);
}

}  // namespace

int HasNoLoadedWeapon(const UNITSTRUCT& unit)
{
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (w == nullptr || unit.nAmmo[s] <= 0) continue;
        for (int d = 0; d < 5; ++d)
            if (w->nAttack[d] > 0) return 0;
    }
    return 1;
}

int CpuIsHexListed(const CpuTurnState& state, HEXINDEX hex, int mask)
{
    if (hex < 0) return 0;
    for (int i = 0; i < 4; ++i) {
        if (!(mask & (1 << i))) continue;
        const std::vector<HEXINDEX>& list = state.hexList[i];
        if (std::find(list.begin(), list.end(), hex) != list.end()) return 1;
    }
    return 0;
}

int CpuMarkWithdrawals(CZRKGameDoc& doc, CpuTurnState& state)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    c->nLevel &= ~kLevelWithdrawNoReach;
    for (UNITSTRUCT& u : c->Unit) u.dwSupplyFlag &= ~kCpuUnitWithdraws;
    const BaseSearchMaps maps{doc.m_dwHexCell, HexWords(state.approachGrid.data(), kHexCount),
                              HexWords(state.approach.data(), kHexCount), doc.m_MoveRules};
    const bool held = ObjectiveHeld(doc, *c);
    int marked = 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!CpuFit(u) || IsAirDomainUnit(u)) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a == nullptr || a->nCarryClass < 0 || (u.dwSupplyFlag & kCpuNeedsSupply)) continue;
        if (u.dwOrder & kOrderNoSupplyRun) continue;
        if (a->nClass != 27 && (u.dwSupplyFlag & (kCpuUnitStay | kCpuUnitCouldNotMove))) continue;
        const bool reach = held || (IsMapHex(u.nHex) && (doc.m_dwHexCpu[u.nHex] & kClaimHomeArea));
        if (RateUnitForWithdrawal(game, u, maps, reach) >= 0) {
            u.dwSupplyFlag |= kCpuUnitWithdraws;
            ++marked;
        }
    }
    if (!held || !IsMapHex(c->nCapital)) return marked;
    // Transports waiting by the capital take the ground units that reach them.
    std::array<HEXINDEX, kUnitSlots> transports;
    size_t n = 0;
    for (const UNITSTRUCT& t : c->Unit)
        if ((t.dwFlag & kUnitInUse) && !(t.dwFlag & kUnitCarried) && ClassOf(t) == 28 && IsMapHex(t.nHex) &&
            GetHexDistance(t.nHex, c->nCapital) <= 5)
            transports[n++] = t.nHex;
    if (n == 0) return marked;
    for (UNITSTRUCT& u : c->Unit) {
        if (!CpuFit(u) || !IsGroundDomainUnit(u) || (u.dwSupplyFlag & kCpuUnitWithdraws) || ClassOf(u) == 28) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a == nullptr || a->nCarryClass <= 0) continue;
        if (ComputeMoveArea(u, game, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount),
                            HexWords(doc.m_dwHexMove), {}, doc.m_MoveRules) != 0)
            continue;
        bool reaches = false;
        for (size_t i = 0; i < n && !reaches; ++i) {
            const uint32_t w = doc.m_dwHexMove[transports[i]];
            reaches = !(w & kReachNotReached) && static_cast<int>(w & kReachCostMask) <= u.nMove;
        }
        if (!reaches) continue;
        if (RateUnitForWithdrawal(game, u, maps, false) >= 0) {
            u.dwSupplyFlag |= kCpuUnitWithdraws;
            ++marked;
        }
        c->nLevel |= kLevelWithdrawNoReach;
    }
    return marked;
}

int CpuReturnToBase(CZRKGameDoc& doc, CpuTurnState& state)
{
    doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildActionList(doc, state, 6, false, list) == 0) return 0;
    const bool noObjective = !IsMapHex(CpuObjective(*c));
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = doc.GetUnit(ref);
        if (u == nullptr || !CpuFit(*u) || !CpuReach(doc, state, *u)) continue;
        const bool home = noObjective && IsMapHex(u->nHex) && (doc.m_dwHexCpu[u->nHex] & kClaimHomeArea);
        UNITSTRUCT* base = FindOwnUnitByHexCost(game, *u, doc.m_dwHexMove, home);
        if (base == nullptr || !IsMapHex(base->nHex)) continue;
        if (IsNavalDomainUnit(*base)) {
            if (u->dwSupplyFlag & kCpuUnitHasBase) continue;
            if (IsGroundDomainUnit(*u)) {
                CapitalSearch how{doc.m_dwHexMove};
                if (FindNearestEnemyCapital(game, *u, how) >= 0) continue;
            }
        }
        const uint32_t w = doc.m_dwHexMove[base->nHex];
        if ((w & kReachNotReached) || static_cast<int>(w & kReachCostMask) > u->nMove) continue;
        const HEXINDEX hex = base->nHex;
        u->nCpuTarget = hex;
        const int r = doc.ExecuteCpuAction(kCpuActMove, *u, 0);
        if (r < 0) return -1;
        u = doc.GetUnit(ref);
        if (u == nullptr || !(u->dwFlag & kUnitInUse)) return 1;
        if (r == 5) return doc.ExecuteCpuAction(kCpuActLoad, *u, hex) < 0 ? -1 : 1;
        if (!(u->dwFlag & kUnitActed) && doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0) return -1;
        return 1;
    }
    return 0;
}

int CpuDisbandReturnedUnits(CZRKGameDoc& doc, CpuTurnState& state)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    for (UNITSTRUCT& u : c->Unit) {
        if (!CpuFit(u) || (u.dwFlag & kUnitCarries)) continue;
        if (!(ClassTraits(ClassOf(u)) & kClassStaysPut)) continue;
        const bool near = IsMapHex(c->nCapital) && IsMapHex(u.nHex) && GetHexDistance(u.nHex, c->nCapital) <= 6;
        if (CheckUnitDisband(u) != 0 || !IsUnitDisposable(u, *c) || !near) {
            u.dwSupplyFlag |= kCpuUnitStay;
            continue;
        }
        if (!(u.dwOrder & kOrderCpuBit20)) {
            u.dwSupplyFlag |= kCpuUnitStay | kCpuUnitSentBackMark;
            continue;
        }
        if (c->nFund <= 2000) continue;
        // A ship with a full one of its class close by is kept.
        if (IsNavalDomainUnit(u) && GetNearestFullSameClassDistance(u, *c) <= 6) {
            u.dwOrder &= ~kOrderCpuBit20;
            continue;
        }
        if (doc.ExecuteCpuAction(kCpuActDispose, u, 0) < 0) return -1;
        if (CpuActUnits(doc, state, 9, true, false) < 0) return -1;
        return 1;
    }
    ResetClass26UnitFlags(game, c->nIndex);
    return 0;
}

int CpuWithdrawAndMerge(CZRKGameDoc& doc, CpuTurnState& state)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const CpuEnemyList enemies = CpuEnemies(doc, c->nIndex);
    for (UNITSTRUCT& u : c->Unit) {
        if (!CpuFit(u)) continue;
        if (u.dwFlag & kUnitCarries) {
            const ARMSSTRUCT* a = UnitArms(u);
            if (a == nullptr || a->nClass == 58) continue;
            const int r = CpuTransportUnit(doc, state, u, false);
            if (r != 0) return r;
            continue;
        }
        const UnitRef ref = u.refSelf;
        if (HasNoLoadedWeapon(u) && IsMapHex(u.nHex) &&
            SumAdjacentEnemyStrength(game, doc.m_dwHexUnit, u.nHex, c->nIndex) > 0 && CpuReach(doc, state, u) &&
            !IsUnitHoldingCapital(u, game)) {
            HEXINDEX hex = CpuFindWithdrawalHex(doc, state, u, doc.m_dwHexMove, {}, 0);
            if (!IsMapHex(hex)) hex = c->nCapital;
            if (!IsMapHex(hex) || hex == u.nHex) continue;
            CpuMoveFlags flags;
            flags.nEnd = 1;
            flags.bIncludeTarget = true;
            const int r = CpuMoveUnitToward(doc, state, u, hex, flags);
            if (r < 0) return -1;
            if (r == kCpuMoveDone) return 1;
            if (r != kCpuMoveMoved) continue;
            UNITSTRUCT* w = doc.GetUnit(ref);
            if (w == nullptr || !CpuFit(*w)) return 1;
            if (UNITSTRUCT* partner = FindMergePartner(game, doc.m_dwHexUnit, *w, w->nHex, enemies, false))
                if (GetMergeTransferAmount(*w, *partner) != 0) return CpuMergeInto(doc, *w, *partner) < 0 ? -1 : 1;
            return doc.ExecuteCpuAction(kCpuActMoveDone, *w, 0) < 0 ? -1 : 1;
        }
        if (!IsMapHex(u.nHex)) continue;
        if (UNITSTRUCT* partner = FindMergePartner(game, doc.m_dwHexUnit, u, u.nHex, enemies, false)) {
            if (GetMergeTransferAmount(u, *partner) == 0) continue;
            const int r = CpuMergeInto(doc, u, *partner);
            if (r < 0) return -1;
            if (r > 0) return 1;
        }
    }
    return 0;
}

int CpuDisbandClassSurplus(CZRKGameDoc& doc, CpuTurnState& state)
{
    (void)state;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateKeyKind, true, false, false, list) == 0) return 0;
    const int limit = CountCapturableCityScore(game, c->nIndex, doc.m_dwHexCell) / 2;
    const auto classStrength = [&] {
        int sum = 0;
        for (const UNITSTRUCT& u : c->Unit)
            if ((u.dwFlag & kUnitInUse) && ClassOf(u) == 30) sum += u.nStrength;
        return sum;
    };
    int result = 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit || classStrength() <= limit) break;
        UNITSTRUCT* u = doc.GetUnit(ref);
        if (u == nullptr || !(u->dwFlag & kUnitInUse)) continue;
        const int chance = (2 * GetNearestEnemyDistance(game, *u) - 4) * 15;
        if (doc.Random().Rand() % 100 >= chance || !IsUnitDisposable(*u, *c)) continue;
        if (doc.ExecuteCpuAction(kCpuActDispose, *u, 0) < 0) return -1;
        result = 1;
    }
    return result;
}

}  // namespace zrv
