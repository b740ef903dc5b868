#include "battle/cpu/CpuMerge.h"

#include <algorithm>
#include <array>

#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

// The merge rule for a unit that may still move to its partner: no partner
// next to it yet (96) is no refusal.
bool MergeRefused(CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    const int code = CheckMergeUnitState(doc.m_GameData, doc.m_dwHexUnit, unit);
    return code != 0 && code != 96;
}

bool OwnerServes(const GAMEDATASTRUCT& game, const UNITSTRUCT& u)
{
    return CheckOwnerSupply(game, u, u.dwHexCell) == 0;
}

// The unit's own hex, then every free hex it may end on this turn, into
// state.hexes (ended by -1); false when the merge rule refuses it.
std::span<const HEXINDEX> OwnHexAndReach(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    std::vector<int32_t>& out = state.hexes;
    size_t n = 0;
    out[n++] = unit.nHex;
    if (CheckUnitMove(unit, doc.m_GameData, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount),
                      HexWords(doc.m_dwHexMove), doc.m_MoveRules) == 0) {
        for (HEXINDEX h = 0; h < kHexCount && n + 1 < out.size(); ++h) {
            if (h == unit.nHex || (doc.m_dwHexMove[h] & kReachNotDestination) || IsUnitRef(doc.m_dwHexUnit[h]))
                continue;
            out[n++] = h;
        }
    }
    out[n] = kNoHex;
    return {out.data(), n};
}

}  // namespace

int32_t CpuSearchPartner(CZRKGameDoc& doc, int kind, std::span<const HEXINDEX> hexes, UNITSTRUCT& unit,
                         std::span<const HEXINDEX> hexList, bool actedOnly)
{
    if (unit.dwFlag & kUnitCarries) return -1;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    const ARMSSTRUCT* a = UnitArms(unit);
    if (c == nullptr || a == nullptr) return -1;
    for (UNITSTRUCT& u : game.Country[static_cast<size_t>(c->nIndex)].Unit) u.dwSupplyFlag &= ~kCpuUnitPartnerFit;
    const int full = a->nStrengthMax;
    const int need = full - unit.nStrength;
    const bool cannotProduce = CannotProduce(*c);

    int32_t result = -1;
    int bestStrength = 0;
    int bestScore = INT32_MIN;
    int bestTerrain = INT32_MIN;
    for (HEXINDEX h : hexes) {
        if (h < 0) break;
        if (!IsMapHex(h)) continue;
        const MAPCELL cell = doc.m_dwHexCell[h];
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        const int terrain = (t ? t->nCover : 0) + (CheckOwnerSupply(game, unit, cell) == 0 ? 250 : 0);
        const bool ownHex = h == unit.nHex;
        for (int dir = 0; dir < kHexDirections; ++dir) {
            const HEXINDEX ph = GetNeighbour(h, dir);
            if (!IsMapHex(ph)) continue;
            UNITSTRUCT* p = UnitAt(game, doc.m_dwHexUnit[ph]);
            if (p == nullptr || p == &unit || UnitCountryIndex(*p) != c->nIndex || p->nArms != unit.nArms) continue;
            if (p->dwFlag & kUnitCarries) continue;
            if (actedOnly && !(p->dwFlag & kUnitActed) && !(p->dwSupplyFlag & kCpuUnitStay)) continue;
            bool ordinary = false;
            bool byStrength = false;
            bool withScore = false;
            int strength = p->nStrength;
            int score = 0;
            switch (kind) {
            case kPartnerUnserved:
                if (OwnerServes(game, *p)) continue;
                ordinary = true;
                break;
            case kPartnerOrdinary:
            case kPartnerOrdinary2:
                ordinary = true;
                break;
            case kPartnerOwnHex:
                if (!ownHex) continue;
                byStrength = true;
                break;
            case kPartnerOwnHexNear:
                if (!ownHex) continue;
                if ((CpuOnList(hexList, ph) && unit.nStrength + p->nStrength > full) || cannotProduce) continue;
                byStrength = withScore = true;
                break;
            case kPartnerOnList:
                if (!CpuOnList(hexList, ph) || p->nStrength >= full) continue;
                byStrength = withScore = true;
                break;
            default:
                continue;
            }
            if (withScore) {
                score = GetHexNeighbourhoodScore(game, doc.m_dwHexUnit, ph);
                if (kind == kPartnerOnList && ph == c->nCapital) strength = score = 100;
            }
            bool take = false;
            if (ordinary) {
                bool fit = (p->dwSupplyFlag & kCpuUnitPartnerFit) != 0;
                if (!fit && strength <= need && strength > bestStrength) {
                    p->dwSupplyFlag |= kCpuUnitPartnerFit;
                    fit = true;
                }
                take = fit && terrain >= bestTerrain;
                if (take) bestTerrain = terrain;
            } else if (byStrength) {
                take = strength > bestStrength || (strength == bestStrength && withScore && score > bestScore);
                if (take) bestScore = score;
            }
            if (!take) continue;
            bestStrength = strength;
            result = static_cast<int32_t>(RefSlot(p->refSelf)) << 16 | h;
        }
    }
    return result;
}

int32_t CpuFindMergeHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, std::span<const HEXINDEX> hexList)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    if (MergeRefused(doc, unit)) return -1;
    if (CpuOnList(hexList, unit.nHex)) {
        const ARMSSTRUCT* a = UnitArms(unit);
        if (a == nullptr || unit.nStrength >= a->nStrengthMax) return -1;
        const COUNTRYSTRUCT* c = UnitCountry(game, unit);
        const int kind = c != nullptr && unit.nHex == c->nCapital ? kPartnerOwnHex : kPartnerOwnHexNear;
        const HEXINDEX own[2] = {unit.nHex, kNoHex};
        return CpuSearchPartner(doc, kind, own, unit, hexList, false);
    }
    return CpuSearchPartner(doc, kPartnerOnList, OwnHexAndReach(doc, state, unit), unit, hexList, false);
}

int32_t CpuFindJoinHex(CZRKGameDoc& doc, CpuTurnState& state, int kind, UNITSTRUCT& unit,
                       std::span<const HEXINDEX> hexList, bool actedOnly)
{
    if (MergeRefused(doc, unit)) return -1;
    return CpuSearchPartner(doc, kind, OwnHexAndReach(doc, state, unit), unit, hexList, actedOnly);
}

int CpuMoveAndJoin(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, int32_t packed)
{
    if (packed < 0) return 0;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const int slot = packed >> 16;
    const HEXINDEX hex = static_cast<HEXINDEX>(packed & 0xFFFF);
    if (slot < 0 || slot >= kUnitSlots) return 0;
    UNITSTRUCT& partner = c->Unit[static_cast<size_t>(slot)];
    const UnitRef ref = unit.refSelf;
    bool moved = false;
    if (unit.nHex != hex) {
        CpuMoveFlags flags;
        flags.nEnd = 1;
        flags.bIncludeTarget = true;
        const int r = CpuMoveUnitToward(doc, state, unit, hex, flags);
        if (r < 0) return -1;
        if (r == kCpuMoveDone) return 1;
        if (r != kCpuMoveMoved) return 0;
        moved = true;
    }
    UNITSTRUCT* u = CpuStillFit(doc, ref);
    if (u == nullptr) return 1;
    if (!(partner.dwFlag & kUnitInUse) || !IsMapHex(partner.nHex) || GetHexDistance(u->nHex, partner.nHex) != 1) {
        if (!moved) return 0;
        return doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0 ? -1 : 1;
    }
    // The strength gathers in the better placed of the two.
    std::array<int32_t, kCountryCount + 1> enemies;
    enemies.fill(-1);
    ListEnemyCountries(game, c->nIndex, enemies);
    bool intoUnit = false;
    const int fortU = IsClass22to25OnTerrain35or84(*u), fortP = IsClass22to25OnTerrain35or84(partner);
    const bool servedU = OwnerServes(game, *u), servedP = OwnerServes(game, partner);
    if (fortU != fortP) intoUnit = fortU != 0;
    else if (servedU != servedP) intoUnit = servedU;
    else intoUnit = GetUnitHexTerrainScore(*u, enemies) > GetUnitHexTerrainScore(partner, enemies);
    const ARMSSTRUCT* a = UnitArms(*u);
    const int full = a ? a->nStrengthMax : 0;
    const UNITSTRUCT& receiver = intoUnit ? *u : partner;
    const UNITSTRUCT& giver = intoUnit ? partner : *u;
    // No more than the receiver has room for.
    const int amount = std::min(giver.nStrength, full - receiver.nStrength);
    if (amount <= 0) {
        if (!moved) return 0;
        return doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0 ? -1 : 1;
    }
    const int argument = slot << 16 | (intoUnit ? amount : (amount & 0xFF) | 0x8000);
    return doc.ExecuteCpuAction(kCpuActMerge, *u, argument) < 0 ? -1 : 1;
}

int CpuJoinUnits(CZRKGameDoc& doc, CpuTurnState& state, int list)
{
    std::array<UnitRef, kUnitSlots + 1> units;
    int count = 0;
    if (list == 0) count = ListUnitsNeedingFuel(doc, units);
    else if (list == 1) count = ListUnitsNeedingStrength(doc, true, units);
    else count = BuildCandidateList(doc, 0, false, false, false, units);
    if (count == 0) return 0;
    int result = 0;
    for (UnitRef ref : units) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr) continue;
        const int32_t packed = CpuFindJoinHex(doc, state, list, *u, state.hexList[2], false);
        if (packed < 0) continue;
        const int r = CpuMoveAndJoin(doc, state, *u, packed);
        if (r < 0) return -1;
        if (r > 0) {
            result = 1;
            break;
        }
    }
    if (result > 0 && CpuFollowBaseLeft(doc, state) < 0) return -1;
    return result;
}

int CpuJoinUntilDone(CZRKGameDoc& doc, CpuTurnState& state)
{
    return CpuUntilDone(doc, [&] { return CpuJoinUnits(doc, state, 1); });
}

int CpuMergeUnits(CZRKGameDoc& doc, CpuTurnState& state)
{
    std::array<UnitRef, kUnitSlots + 1> units;
    if (BuildCandidateList(doc, kCandidateByCapital, true, false, false, units) == 0) return 0;
    int result = 0;
    for (UnitRef ref : units) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr) continue;
        const int32_t packed = CpuFindMergeHex(doc, state, *u, state.hexList[2]);
        if (packed < 0) continue;
        const int slot = packed >> 16;
        const HEXINDEX hex = static_cast<HEXINDEX>(packed & 0xFFFF);
        UNITSTRUCT& partner = doc.m_pCurCountry->Unit[static_cast<size_t>(slot)];
        if (u->nHex != hex) {
            CpuMoveFlags flags;
            flags.nEnd = 1;
            flags.bIncludeTarget = true;
            const int r = CpuMoveUnitToward(doc, state, *u, hex, flags);
            if (r < 0) return -1;
            if (r == kCpuMoveDone) {
                result = 1;
                break;
            }
            if (r != kCpuMoveMoved) continue;
            u = CpuStillFit(doc, ref);
            if (u == nullptr) {
                result = 1;
                break;
            }
        }
        if (IsMapHex(partner.nHex) && GetHexDistance(u->nHex, partner.nHex) == 1 &&
            GetMergeTransferAmount(*u, partner) != 0) {
            if (CpuMergeInto(doc, *u, partner) < 0) return -1;
        } else if (doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0) {
            return -1;
        }
        result = 1;
        break;
    }
    if (result > 0 && CpuJoinUntilDone(doc, state) < 0) return -1;
    return result;
}

}  // namespace zrv
