#include "battle/cpu/CpuBombing.h"

#include <algorithm>
#include <array>
#include <climits>

#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/Construction.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kArmsMarches = 1u << 4;         // ArmsData flag bit 4
constexpr int32_t kBombsCapital = 0x40000000;      // the capital-weapon value's bit 30
constexpr uint32_t kRatingSure = 1u << 28;         // the rating's own threat counts
constexpr uint32_t kThreatKindBombing = 4;

uint32_t RateForBombing(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX hex, const CpuEnemyList& enemies)
{
    const BombingTargetContext ctx{doc.m_dwHexCell, doc.m_dwHexUnit, doc.m_dwHexCpu, doc.m_dwHexSearch, enemies};
    return RateHexAsBombingTarget(doc.m_GameData, UnitCountryIndex(unit), hex, unit.refSelf, ctx, false);
}

int Bomb(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex)
{
    unit.dwWeaponMask = static_cast<uint32_t>(hex);
    if (doc.ExecuteCpuAction(kCpuActBomb, unit, 0) < 0) return -1;
    doc.m_dwHexCpu[hex] |= kClaimBombed;
    return 1;
}

}  // namespace

int32_t CpuRateMarchTarget(MAPCELL cell)
{
    return ((91 - CellTerrain(cell)) << 16) + CellDurability(cell);
}

int CpuOrderBombingMarch(CZRKGameDoc& doc, CpuTurnState& state)
{
    (void)state;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    for (UNITSTRUCT& u : c->Unit) {
        if (!CpuFit(u)) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a == nullptr || !(a->dwArmsFlag & kArmsMarches) || doc.CheckMarch(u) != 0) continue;
        // Hexes a standing march goes to already are taken.
        for (const COUNTRYSTRUCT& other : game.Country)
            for (const UNITSTRUCT& m : other.Unit)
                if ((m.dwFlag & kUnitInUse) && (m.dwOrder & kOrderBombingBits) && IsMapHex(m.nMarchHex))
                    doc.m_dwHexCpu[m.nMarchHex] |= kClaimMarchTarget;
        HEXINDEX best = kNoHex;
        int32_t bestRating = INT32_MIN;
        for (HEXINDEX h = 0; h < kHexCount; ++h) {
            if (doc.m_dwHexCpu[h] & kClaimMarchTarget) continue;
            if (CheckUnitBombing(game, doc.m_dwHexCell, u, h) != 0) continue;
            const int32_t rating = CpuRateMarchTarget(doc.m_dwHexCell[h]);
            if (rating > bestRating) {
                bestRating = rating;
                best = h;
            }
        }
        if (!IsMapHex(best)) continue;
        u.dwOrder |= kOrderBombingBits;
        u.nMarchHex = best;
        return doc.ExecuteCpuAction(kCpuActEndAction, u, 0) < 0 ? -1 : 1;
    }
    return 0;
}

HEXINDEX CpuFindBombingTargetHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (c == nullptr) return kNoHex;
    const CpuEnemyList enemies = CpuEnemies(doc, c->nIndex);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    const bool reaches = CheckUnitMove(unit, game, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount),
                                       HexWords(doc.m_dwHexMove), doc.m_MoveRules) == 0;
    if (!reaches) {
        if ((unit.dwFlag & kUnitCarried) || !IsMapHex(at)) return kNoHex;
        return RateForBombing(doc, unit, at, enemies) >= 1 ? at : kNoHex;
    }
    CpuBuildThreatMap(c->nIndex, kThreatKindBombing, game, doc.m_dwHexCpu, state);
    const int limit = unit.nStrength * 7;
    const auto threatAt = [&](HEXINDEX h) { return static_cast<int>(doc.m_dwHexCpu[h] & 0xFFFFu); };
    const auto costAt = [&](HEXINDEX h) { return h == at ? 0 : static_cast<int>(doc.m_dwHexMove[h] & kReachCostMask); };

    // The hexes it reaches this turn, its own first.
    HEXINDEX best = kNoHex;
    uint32_t bestRating = 0;
    int bestThreat = 0;
    const auto consider = [&](HEXINDEX h) {
        if (CellOwner(doc.m_dwHexCell[h]) < 0) return;
        int threat = threatAt(h);
        if (threat > limit) return;
        const uint32_t rating = RateForBombing(doc, unit, h, enemies);
        if (rating == 0) return;
        if (!(rating & kRatingSure)) threat = limit;
        bool better = best == kNoHex;
        if (!better) {
            const uint32_t cls = (rating >> 24) & 0x1F, bestCls = (bestRating >> 24) & 0x1F;
            const uint32_t worth = (rating >> 16) & 0xFF, bestWorth = (bestRating >> 16) & 0xFF;
            if (cls != bestCls) better = cls > bestCls;
            else if (threat != bestThreat) better = threat < bestThreat;
            else if (worth != bestWorth) better = worth < bestWorth;
            else better = costAt(h) < costAt(best);
        }
        if (better) {
            best = h;
            bestRating = rating;
            bestThreat = threat;
        }
    };
    if (IsMapHex(at)) consider(at);
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        if (h == at || (doc.m_dwHexMove[h] & kReachNotDestination) || IsUnitRef(doc.m_dwHexUnit[h])) continue;
        consider(h);
    }
    if (best != kNoHex) return best;

    // Anywhere its route reaches: the lowest threat, then the better rating.
    const MAPCELL blocked = GetSideCellMask(*c);
    int lowest = INT_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = doc.m_dwHexMove[h];
        const MAPCELL cell = doc.m_dwHexCell[h];
        if ((cell & blocked) || (w & kReachNotReached) || (w & kReachCostMask) == 0) continue;
        if (CellOwner(cell) < 0 || (doc.m_dwHexCpu[h] & kClaimBombed)) continue;
        if (const UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[h]))
            if (UnitCountryIndex(*holder) != c->nIndex && UnitSideSlot(game, *holder) == UnitSideSlot(game, unit))
                continue;
        const uint32_t rating = RateForBombing(doc, unit, h, enemies);
        if (rating == 0) continue;
        const int threat = threatAt(h);
        bool better = threat < lowest || (threat == lowest && rating > bestRating);
        if (!better && threat == lowest && rating == bestRating) better = (doc.Random().Rand() & 1) != 0;
        if (better) {
            best = h;
            lowest = threat;
            bestRating = rating;
        }
    }
    return best;
}

int CpuBombTargets(CZRKGameDoc& doc, CpuTurnState& state)
{
    doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateBombers, true, false, false, list) == 0) return 0;
    const CpuEnemyList enemies = CpuEnemies(doc, c->nIndex);
    int result = 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = doc.GetUnit(ref);
        if (u == nullptr || !CpuFit(*u)) continue;
        if (!(GetFlag20WeaponDistanceToCapital(game, *u) & kBombsCapital)) continue;
        const bool air = IsAirDomainUnit(*u);
        HEXINDEX target = kNoHex;
        if (air) {
            target = CpuFindBombingTargetHex(doc, state, *u);
        } else {
            target = FindBestBombTargetHex(game, doc.m_dwHexCell, *u, doc.m_rcMapArea, false, false,
                                           [&](HEXINDEX h) { return static_cast<int>(RateForBombing(doc, *u, h, enemies) & 0x7FFFFFFF); });
        }
        if (!IsMapHex(target)) continue;
        u->dwWeaponMask = static_cast<uint32_t>(target);
        if (air && target != u->nHex) {
            CpuMoveFlags flags;
            flags.nEnd = 1;
            flags.bIncludeTarget = true;
            const int r = CpuMoveUnitToward(doc, state, *u, target, flags);
            if (r < 0) return -1;
            if (r == kCpuMoveDone) {
                result = 1;
                break;
            }
            if (r != kCpuMoveMoved) continue;
            u = doc.GetUnit(ref);
            if (u == nullptr || !CpuFit(*u)) {
                result = 1;
                break;
            }
            const HEXINDEX at = u->nHex;
            if (CheckUnitBombing(game, doc.m_dwHexCell, *u, at) == 0 && RateForBombing(doc, *u, at, enemies) > 0) {
                result = Bomb(doc, *u, at);
                break;
            }
            int attack = CpuAttackTarget(doc, state, *u, kPolicyBomberOwnHex, at);
            if (attack == 0) attack = CpuAttackTarget(doc, state, *u, kPolicyCautious, kNoHex);
            if (attack < 0) return -1;
            if (attack == 0 && doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0) return -1;
            result = 1;
            break;
        }
        if (CheckUnitBombing(game, doc.m_dwHexCell, *u, target) != 0) continue;
        result = Bomb(doc, *u, target);
        break;
    }
    if (result > 0 && CpuFollowBaseLeft(doc, state) < 0) return -1;
    return result;
}

}  // namespace zrv
