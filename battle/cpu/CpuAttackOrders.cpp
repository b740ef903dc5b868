#include "battle/cpu/CpuAttackOrders.h"

#include <algorithm>
#include <array>

#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuMerge.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitRules.h"

namespace zrv {

namespace {

constexpr int kDetectionStep = 22;
constexpr uint32_t kThreatKindAntiAir = 1;

bool OnList(const std::vector<HEXINDEX>& list, HEXINDEX hex)
{
    return std::find(list.begin(), list.end(), hex) != list.end();
}

// The unit named by ref while it can still be ordered.
UNITSTRUCT* StillFit(CZRKGameDoc& doc, UnitRef ref)
{
    UNITSTRUCT* u = doc.GetUnit(ref);
    return u != nullptr && (u->dwFlag & kUnitInUse) && !(u->dwFlag & kUnitActed) ? u : nullptr;
}

// The unit's reach this turn in the document's reach map, for the position
// search; false when it may not move.
bool ComputeReach(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    return CheckUnitMove(unit, doc.m_GameData, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount),
                         HexWords(doc.m_dwHexMove), doc.m_MoveRules) == 0;
}

// Evaluates unit with policy and keeps it as best when it beats the kept
// one; the search runs over the hexes it reaches unless noSearch.
void Consider(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, uint32_t policy, bool noSearch,
              UNITSTRUCT*& best)
{
    const bool canMove = !noSearch && ComputeReach(doc, state, unit);
    const CpuAttackWorld world = MakeAttackWorld(doc, state);
    if (!CpuEvaluateUnitAttack(unit, world, policy, !canMove, 0)) return;
    UNITSTRUCT* target = doc.GetUnit(unit.refTarget);
    if (target == nullptr) return;
    const uint32_t score = static_cast<uint32_t>(unit.nCpuScore);
    const HEXINDEX hex = static_cast<HEXINDEX>(unit.nCpuTarget & 0xFFFF);
    if (best == nullptr) {
        best = &unit;
        return;
    }
    const uint32_t bestScore = static_cast<uint32_t>(best->nCpuScore);
    const HEXINDEX bestHex = static_cast<HEXINDEX>(best->nCpuTarget & 0xFFFF);
    if (IsBetterAttack(unit, *target, bestScore, bestHex, best, score, hex, world, kAttackModeAttackers, 0, 0))
        best = &unit;
}

void ClearNotATargetMarks(GAMEDATASTRUCT& game)
{
    for (COUNTRYSTRUCT& c : game.Country)
        for (UNITSTRUCT& u : c.Unit) u.dwSupplyFlag &= ~kCpuNotATarget;
}

// The best attacker fires: at its firing hex at once, otherwise after
// moving there, evaluated again, or it ends its move. 1, 0 or -1.
int CarryOut(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, uint32_t policy)
{
    const UnitRef ref = unit.refSelf;
    const HEXINDEX firing = static_cast<HEXINDEX>(unit.nCpuTarget & 0xFFFF);
    int r = 0;
    if (!IsMapHex(firing) || firing == GetUnitMapHex(doc.m_GameData, unit)) {
        r = doc.ExecuteCpuAction(kCpuActAttack, unit, 0) < 0 ? -1 : 1;
    } else {
        unit.nCpuTarget = firing;
        if (doc.ExecuteCpuAction(kCpuActMove, unit, 0) < 0) {
            r = -1;
        } else if (UNITSTRUCT* u = StillFit(doc, ref)) {
            r = CpuAttackTarget(doc, state, *u, policy, kNoHex);
            if (r == 0) r = doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0 ? -1 : 1;
        } else {
            r = 1;
        }
    }
    ClearNotATargetMarks(doc.m_GameData);
    return r;
}

}  // namespace

int CpuAttackUnits(CZRKGameDoc& doc, CpuTurnState& state, bool skipBusy)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    std::array<UnitRef, 65> list;
    if (BuildCandidateList(doc, 0, false, true, skipBusy, list) == 0) return 0;
    for (UNITSTRUCT& u : c->Unit) u.dwSupplyFlag &= ~kCpuPrefersTargetList;
    CpuBuildThreatMap(c->nIndex, kThreatKindAntiAir, doc.m_GameData, doc.m_dwHexCpu, state);

    UNITSTRUCT* best = nullptr;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = StillFit(doc, ref);
        if (u == nullptr || (skipBusy && IsUnitBusyForAttack(*u))) continue;
        Consider(doc, state, *u, CpuAdvancePolicy(doc, *u), (u->dwSupplyFlag & kCpuUnitStay) != 0, best);
    }
    if (best == nullptr) return 0;
    // After new detections only an attack that fits the target's domain or
    // strikes at the capital is worth it.
    if (doc.m_nCpuStep == kDetectionStep &&
        !(static_cast<uint32_t>(best->nCpuScore) & (kScoreDomainFit | kScoreOnCapital)))
        return 0;
    const int r = CarryOut(doc, state, *best, CpuAdvancePolicy(doc, *best));
    if (r <= 0) return r;
    // Weak units gather, those in need go for supply, and the units that
    // took part go on toward what they should take.
    if (CpuJoinUntilDone(doc, state) < 0 || CpuMoveToSupply(doc, state) < 0) return -1;
    if (CpuActUnits(doc, state, 9, true, false) < 0) return -1;
    return 1;
}

int CpuAttackBestUnit(CZRKGameDoc& doc, CpuTurnState& state, int kind)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UnitRef, 65> list;
    if (BuildCandidateList(doc, 0, false, true, false, list) == 0) return 0;
    for (UNITSTRUCT& u : c->Unit) u.dwSupplyFlag &= ~kCpuPrefersTargetList;
    CpuBuildThreatMap(c->nIndex, kThreatKindAntiAir, game, doc.m_dwHexCpu, state);

    UNITSTRUCT* best = nullptr;
    uint32_t bestPolicy = 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = StillFit(doc, ref);
        if (u == nullptr) continue;
        const bool nearCapital = OnList(state.hexList[2], GetUnitMapHex(game, *u));
        uint32_t policy = 0;
        if (kind == 1) {
            if (u->dwSupplyFlag & kCpuNeedsSupply) continue;
            if (nearCapital && !IsEnemyOnAdjacentCapital(game, doc.m_dwHexUnit, *u)) continue;
            policy = !nearCapital || HasSameTypeNeighbour(game, doc.m_dwHexUnit, *u, {}) ? kPolicyBestFirstWide
                                                                                          : kPolicyBestFirstList;
        } else {
            const ARMSSTRUCT* a = UnitArms(*u);
            const bool strong = a != nullptr && 2 * u->nStrength > a->nStrengthMax;
            policy = !nearCapital ? kPolicyBestSecondOff : strong ? kPolicyBestSecondStrong : kPolicyCautious;
        }
        UNITSTRUCT* before = best;
        Consider(doc, state, *u, policy, (u->dwSupplyFlag & kCpuUnitStay) != 0, best);
        if (best != before) bestPolicy = policy;
    }
    if (best == nullptr) return 0;
    return CarryOut(doc, state, *best, bestPolicy);
}

}  // namespace zrv
