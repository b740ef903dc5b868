#include "battle/cpu/CpuAttack.h"

#include <algorithm>
#include <array>

#include "battle/cpu/CpuTurnState.h"
#include "battle/engine/Combat.h"
#include "battle/engine/CpuSeams.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRules.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kReachClosed = 0xC0000000u;  // move-map bits 30, 31
constexpr uint32_t kMarkNextToEnemy = 1u << 22;
constexpr uint32_t kMarkInEnemyReach = 1u << 23;
constexpr uint32_t kMarkSafe = 1u << 30;
constexpr uint32_t kTerrainOccupiable = 1u << 31;
constexpr int kClassCarrier = 58;
constexpr int kClassSubmarine = 59;
constexpr int kClassGarrison = 32;

bool InUse(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) != 0;
}

bool OnMapUncarried(const UNITSTRUCT& u)
{
    return InUse(u) && !(u.dwFlag & kUnitCarried) && IsMapHex(u.nHex);
}

int ClassOfUnit(const UNITSTRUCT& u)
{
    const ARMSSTRUCT* a = UnitArms(u);
    return a ? a->nClass : -1;
}

uint32_t TraitsOf(const UNITSTRUCT& u)
{
    return GetClassTraits(ClassOfUnit(u));
}

int SetKindOf(const UNITSTRUCT& u)
{
    const ARMSET* set = UnitArmSet(u);
    return set ? set->nSetId : 0;
}

bool IsKeyKind(const UNITSTRUCT& u)
{
    const ARMSSTRUCT* a = UnitArms(u);
    return a && CanOccupy(*a);
}

int SideOfUnit(const GAMEDATASTRUCT& game, const UNITSTRUCT& u)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, u);
    return c ? c->nSide : -1;
}

bool IsNavalDomain(int domain)
{
    return domain == 3 || domain == 4;
}

bool OnList(std::span<const HEXINDEX> list, HEXINDEX hex)
{
    for (HEXINDEX h : list) {
        if (h < 0) break;
        if (h == hex) return true;
    }
    return false;
}

bool IsCityCell(MAPCELL cell)
{
    const auto terrain = Lib().TerrainBase;
    const auto t = static_cast<size_t>(CellTerrain(cell));
    return t < terrain.size() && (terrain[t].dwTrrnFlag & kTerrainOccupiable) != 0;
}

int TerrainCover(MAPCELL cell)
{
    const auto terrain = Lib().TerrainBase;
    const auto t = static_cast<size_t>(CellTerrain(cell));
    return t < terrain.size() ? terrain[t].nCover : 0;
}

int OwnerSide(const GAMEDATASTRUCT& game, MAPCELL cell)
{
    const int owner = CellOwner(cell);
    return owner >= 0 && owner < kCountryCount ? game.Country[owner].nSide : -1;
}

// Whether a weapon set kind suits a target domain.
bool SetSuitsDomain(int kind, int domain)
{
    switch (kind) {
    case 1: case 10: return domain == 0;
    case 2: case 5: case 11: case 14: return IsGroundDomain(domain);
    case 3: case 12: return domain == 3;
    case 4: case 13: return domain == 4;
    case 6: case 15: return domain == 2;
    default: return false;
    }
}

bool IsShipSet(int kind)
{
    return kind == 3 || kind == 4 || kind == 12 || kind == 13;
}

int BlindNeighbours(HEXINDEX hex, int side, std::span<const uint32_t, kHexCount> coverage)
{
    int n = 0;
    if (side < 0 || side > 2) return 0;
    ForEachNeighbourInline(hex, [&](HEXINDEX h) { n += (coverage[static_cast<size_t>(h)] >> side) & 1u; });
    return n;
}

}  // namespace

CpuAttackWorld MakeAttackWorld(CZRKGameDoc& doc, const CpuTurnState& state)
{
    return CpuAttackWorld{doc.m_GameData, doc.m_dwHexCell, doc.m_dwHexUnit, doc.m_dwHexCpu, doc.m_dwHexMove,
                          doc.m_dwHexSearch, state.objectiveArea, state.TargetList(), doc.Random()};
}

// --- choice and threat ------------------------------------------------------------------------

void CpuResetAttackChoice(UNITSTRUCT& unit, GAMEDATASTRUCT& game)
{
    const int side = SideOfUnit(game, unit);
    for (COUNTRYSTRUCT& c : game.Country) {
        const bool enemy = side >= 0 && c.nSide == (side ^ 1);
        for (UNITSTRUCT& u : c.Unit) {
            if (enemy) u.dwSupplyFlag &= ~kCpuChoiceBits;
            else u.dwSupplyFlag |= kCpuOwnSide;
        }
    }
    unit.refTarget = kNoUnit;
}

void CpuAddUnitThreat(UNITSTRUCT& unit, uint32_t kindMask, const GAMEDATASTRUCT& game,
                      std::span<uint32_t, kHexCount> map)
{
    if (IsSubmergedSubmarine(unit) || !IsMapHex(unit.nHex)) return;
    int power = 0, minRange = 0x7FFFFFFF, maxRange = -1, bestSlot = -1, bestAccuracy = -1;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || !(w->dwWeaponFlag & kindMask) || unit.nAmmo[s] <= 0) continue;
        power += w->nAttack[0];
        minRange = std::min(minRange, w->nRange[0]);
        maxRange = std::max(maxRange, w->nRange[1]);
        if (w->nAccuracy > bestAccuracy) bestAccuracy = w->nAccuracy, bestSlot = s;
    }
    if (bestSlot < 0 || power <= 0) return;
    if (maxRange > 1) maxRange += GetUnitTerrainHeight(unit);
    minRange = std::max(minRange, 0);
    HEXINDEX ring[GetHexCountInRadius(12) + 1];
    const int n = GetHexesInRange(unit.nHex, std::min(maxRange, 12), ring);
    for (int i = 0; i < n; ++i) {
        const HEXINDEX h = ring[i];
        const int d = GetHexDistance(unit.nHex, h);
        if (d < minRange) continue;
        const int chance = d <= 1 ? 100 : GetHitChance(game, unit, h, 0, bestSlot, true);
        uint32_t& word = map[static_cast<size_t>(h)];
        const uint32_t sum = std::min<uint32_t>((word & 0xFFFFu) + static_cast<uint32_t>(power * chance / 100),
                                                kThreatMax);
        word = (word & ~0xFFFFu) | sum;
    }
    unit.dwSupplyFlag |= kCpuThreatSource;
}

void CpuBuildThreatMap(int country, int kind, GAMEDATASTRUCT& game, std::span<uint32_t, kHexCount> map,
                       CpuTurnState& state)
{
    for (uint32_t& w : map) w &= 0xFFFF0000u;
    for (COUNTRYSTRUCT& c : game.Country)
        for (UNITSTRUCT& u : c.Unit) u.dwSupplyFlag &= ~kCpuThreatSource;
    state.threatCountry = country;
    state.threatKind = kind;
    if (kind == 0 || country < 0 || country >= kCountryCount) return;
    if (WeatherClass(GetWeatherEffect(game)) != 0) return;
    const int side = game.Country[country].nSide;
    for (COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent) || c.nSide != (side ^ 1)) continue;
        for (UNITSTRUCT& u : c.Unit) {
            if (!OnMapUncarried(u) || (u.dwFlag & HiddenFromSideBit(side))) continue;
            CpuAddUnitThreat(u, kThreatAntiAir, game, map);
        }
    }
}

// --- the score ----------------------------------------------------------------------------------

int CpuTargetCaptureValue(const UNITSTRUCT& attacker, const UNITSTRUCT& target, const CpuAttackWorld& world)
{
    if (!IsMapHex(target.nHex)) return -1;
    if (OnList(world.objectiveArea, target.nHex)) return 1;
    const MAPCELL cell = world.cells[static_cast<size_t>(target.nHex)];
    if (!IsCityCell(cell)) return -1;
    const int side = SideOfUnit(world.game, attacker);
    if (OwnerSide(world.game, cell) == (side ^ 1)) {
        const int country = RefCountry(attacker.refSelf);
        bool next = false;
        ForEachNeighbourInline(target.nHex, [&](HEXINDEX h) {
            const UnitRef ref = world.hexUnit[static_cast<size_t>(h)];
            if (!IsUnitRef(ref) || RefCountry(ref) != country) return;
            const UNITSTRUCT& u = world.game.Country[country].Unit[RefSlot(ref)];
            if (InUse(u) && IsGroundDomain(GetUnitDomain(u)) &&
                ((u.dwFlag & kUnitActed) || u.nStrength >= attacker.nStrength))
                next = true;
        });
        return next ? 1 : -1;
    }
    return 0;
}

bool HasOwnGroundNeighbour(const UNITSTRUCT& attacker, const UNITSTRUCT& target, const CpuAttackWorld& world)
{
    if (GetUnitDomain(attacker) != 0 || GetUnitDomain(target) == 0 || !IsMapHex(target.nHex)) return false;
    const int country = RefCountry(attacker.refSelf);
    bool found = false;
    ForEachNeighbourInline(target.nHex, [&](HEXINDEX h) {
        const UnitRef ref = world.hexUnit[static_cast<size_t>(h)];
        if (!IsUnitRef(ref) || RefCountry(ref) != country) return;
        const UNITSTRUCT& u = world.game.Country[country].Unit[RefSlot(ref)];
        found = found || (InUse(u) && IsGroundDomain(GetUnitDomain(u)));
    });
    return found;
}

bool TargetHasRangedWeapons(const UNITSTRUCT& attacker, const UNITSTRUCT& target)
{
    if (IsGroundDomain(GetUnitDomain(attacker)) && IsMapHex(attacker.nHex) && IsMapHex(target.nHex) &&
        GetHexDistance(attacker.nHex, target.nHex) <= 1)
        return false;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(target, s);
        if (w && target.nAmmo[s] > 0 && std::max(w->nRange[1], w->nRange[3]) > 1) return true;
    }
    return false;
}

uint32_t CpuComposeAttackScore(const UNITSTRUCT& attacker, UNITSTRUCT& target, HEXINDEX capitalHex, int damage,
                               int loss, int initiative, const CpuAttackWorld& world, int threat,
                               bool unidentified)
{
    // A unit without strength has nothing to weigh: no attack.
    if (attacker.nStrength <= 0 || target.nStrength <= 0) return 0;
    const int attackerDomain = GetUnitDomain(attacker), targetDomain = GetUnitDomain(target);
    if (initiative > 0) {
        const int full = target.nStrength * 10;
        loss = std::max(0, loss * (full - damage) / full);
    } else if (initiative < 0) {
        const int c = attackerDomain == 0 && IsNavalDomain(targetDomain) ? loss / 2 + 1 : loss;
        const int full = attacker.nStrength * 10;
        damage = std::max(0, damage * (full - c) / full);
    }
    const uint32_t traits = TraitsOf(attacker);
    uint32_t bits = loss == 0 ? kScoreNoAnswer : 0;
    if ((traits & kClassAvoidsAirLoss) && targetDomain == 0 && loss != 0) loss = 32767;
    const uint32_t lossField = static_cast<uint32_t>(std::clamp(loss, 0, 255)) << 12;

    if (target.dwSupplyFlag & kCpuScoredThisTurn) {
        // Scored this turn: the stored damage and priority stay; only the
        // loss is this attacker's.
        const uint32_t kept = static_cast<uint32_t>(target.nCpuScore) & ~(kScoreLossMask | kScoreNoAnswer);
        const uint32_t score = kept | lossField | bits;
        target.nCpuScore = static_cast<int32_t>(score);
        return score;
    }

    const int setKind = SetKindOf(attacker);
    if (!unidentified && damage >= target.nStrength * 10) bits |= kScoreDestroys;
    if (setKind >= 1 && setKind <= 15 && SetSuitsDomain(setKind, targetDomain)) bits |= kScoreDomainFit;
    else bits &= ~kScoreDestroys;

    const int capture = CpuTargetCaptureValue(attacker, target, world);
    const bool key = IsKeyKind(target);
    const COUNTRYSTRUCT* own = UnitCountry(world.game, attacker);
    const bool objective = RefCountry(target.refSelf) != 0 && own && (own->dwCpuTarget & 0x7FFF0000u) != 0;
    int priority = 0;
    if (key && target.nHex == capitalHex) {
        priority = 15;
        bits |= kScoreOnCapital;
    } else if (key && capture == 1) {
        priority = 14;
    } else if (key && capture == 0) {
        priority = 13;
    } else if (!unidentified && CargoCount(target.dwCargo) > 0 &&
               (targetDomain != 0 || (traits & (kClassHuntsCarriers | kClassShunsFlak)))) {
        priority = 12;
    } else if (!unidentified && (traits & (kClassHuntsCarriers | kClassShunsFlak)) && GetBombLoadState(target) > 0) {
        priority = 11;
    } else if (!unidentified && GetSupplyStock(target) != 0 &&
               (!IsGroundDomain(targetDomain) || IsGroundDomain(attackerDomain))) {
        priority = 10;
    } else if (capture == 1) {
        priority = 9;
    } else if (capture == 0) {
        priority = 8;
    } else {
        const int fort = (traits & kClassTakesCities) ? TestUnitWeaponsOnTerrain35or84(target) : 2;
        if (fort == 1) priority = 7;
        else if (fort == -1) priority = 6;
        else if (fort == 0 && ClassOfUnit(target) == kClassGarrison && objective) priority = 5;
        else if (objective && key && own) {
            // A key-kind target within 4 hexes of a hex the attacker's country owns.
            HEXINDEX ring[GetHexCountInRadius(4) + 1];
            const int n = GetHexesInRange(target.nHex, 4, ring);
            const int country = RefCountry(attacker.refSelf);
            for (int i = 0; i < n && priority == 0; ++i)
                if (CellOwner(world.cells[static_cast<size_t>(ring[i])]) == country) priority = 4;
        }
        if (priority == 0 && objective && !(GetClassTraits(ClassOfUnit(target)) & kClassNotGarrison)) priority = 3;
    }

    if (HasOwnGroundNeighbour(attacker, target, world)) bits |= kScoreOwnGroundNext;
    else if (!unidentified && TargetHasRangedWeapons(attacker, target)) bits |= kScoreRanged;
    if (attackerDomain == 0 && threat == 0 && targetDomain != 0) bits |= kScoreClearSky;
    if (!IsGroundDomain(attackerDomain)) damage = std::min(damage, target.nStrength * 20);
    // Damage + 2048 keeps to its 12 bits.
    const uint32_t damageField = static_cast<uint32_t>(std::clamp(damage + kScoreBias, 0, 0xFFF));
    const uint32_t score = static_cast<uint32_t>(priority) << 24 | bits | damageField | lossField;
    target.nCpuScore = static_cast<int32_t>(score);
    target.dwSupplyFlag |= kCpuScoredThisTurn;
    return score;
}

int IsAttackAcceptable(const UNITSTRUCT& attacker, const UNITSTRUCT& target, uint32_t score, int maxLoss,
                       GameRandom& random)
{
    const int loss = ScoreLoss(score);
    if ((score & kScoreOnCapital) || loss <= maxLoss) return 1;
    const ARMSSTRUCT* a = UnitArms(attacker);
    const int full = a ? a->nStrengthMax : attacker.nStrength;
    const uint32_t traits = TraitsOf(attacker);
    const int targetDomain = GetUnitDomain(target);
    if (IsNavalDomain(targetDomain) && ClassOfUnit(target) != kClassCarrier) {
        if (traits & kClassFightsShips) {
            if (loss > 254 || loss >= 5 * attacker.nStrength) return 0;
            if (loss <= 5 * full) return 1;
        }
        const int kind = SetKindOf(attacker);
        if (GetUnitDomain(attacker) == 0 && (kind == 3 || kind == 12)) return 1;
    }
    if (random.Rand() % 3 + full / 2 >= attacker.nStrength) return 0;
    if (!((traits & kClassHitsAir) && targetDomain == 0)) {
        if (!(traits & kClassHitsGround) || !IsGroundDomain(targetDomain)) return 0;
    }
    // The damage byte saturates rather than wrapping.
    const int damageByte = std::clamp(ScoreDamage(score), 0, 255);
    return loss - damageByte <= maxLoss ? 1 : 0;
}

int IsBetterAttack(UNITSTRUCT& unit, UNITSTRUCT& target, uint32_t bestScore, HEXINDEX bestHex,
                   const UNITSTRUCT* other, uint32_t score, HEXINDEX hex, const CpuAttackWorld& world, int mode,
                   int positionCount, int bestPositionCount)
{
    const uint32_t value = ScoreValue(score), best = ScoreValue(bestScore);
    const bool onList = OnList(world.targetList, target.nHex);
    const int damageValue = ScoreDamage(score);
    if (mode & kAttackModeAttackers) {
        if (other && IsGroundDomain(GetUnitDomain(unit)) && IsGroundDomain(GetUnitDomain(*other))) {
            const bool mine = (score & kScoreNoAnswer) != 0, theirs = (bestScore & kScoreNoAnswer) != 0;
            if (mine != theirs) return mine ? 1 : 0;
        }
    } else {
        if (unit.dwSupplyFlag & kCpuPrefersTargetList) {
            if (!onList && damageValue >= 30 && value > 2 * best) return 1;
        } else if (onList && value > best / 2) {
            unit.dwSupplyFlag |= kCpuPrefersTargetList;
            return 1;
        }
    }
    int better = 0;
    if (value > best) {
        better = 1;
    } else if (value == best) {
        if (!world.costMap.empty() && hex != bestHex && IsMapHex(hex) && IsMapHex(bestHex) &&
            world.costMap[static_cast<size_t>(hex)] < world.costMap[static_cast<size_t>(bestHex)]) {
            better = 1;
        } else if (!(mode & kAttackModeAttackers) && IsMapHex(hex) && IsMapHex(bestHex)) {
            int mine = 0, kept = 0;
            if (GetUnitDomain(unit) == 0) {
                mine = -positionCount, kept = -bestPositionCount;
                if (mine == kept) {
                    mine = -static_cast<int>(world.claim[static_cast<size_t>(hex)] & 0xFFFFu);
                    kept = -static_cast<int>(world.claim[static_cast<size_t>(bestHex)] & 0xFFFFu);
                }
            } else {
                mine = TerrainCover(world.cells[static_cast<size_t>(hex)]);
                kept = TerrainCover(world.cells[static_cast<size_t>(bestHex)]);
            }
            if (mine != kept) better = mine > kept ? 1 : 0;
            else if (!(target.dwSupplyFlag & kCpuTossUsed)) {
                target.dwSupplyFlag |= kCpuTossUsed;
                better = world.random.Rand() & 1;
            }
        }
    }
    if (better && onList) unit.dwSupplyFlag |= kCpuPrefersTargetList;
    return better;
}

// --- evaluation -----------------------------------------------------------------------------------

int CpuEvaluateAttackFromHex(UNITSTRUCT& unit, const CpuAttackWorld& world, bool moved, uint32_t policy,
                             bool stopAtFirst, HEXINDEX onlyHex, int positionCount, int mode)
{
    const int setKind = SetKindOf(unit);
    if (CargoCount(unit.dwCargo) > 0 || (unit.dwFlag & kUnitCarries)) return 0;
    if ((setKind >= 7 && setKind <= 9) || (setKind >= 16 && setKind <= 18)) return 0;
    if (unit.nStrength <= 0) return 0;
    std::array<UNITSTRUCT*, kCountryCount * kUnitSlots + 1> targets;
    if (ListTargetsInRange(unit, world.game, moved, false, targets) == 0) return 0;

    const int minDamage = PolicyMinDamage(policy), maxLoss = PolicyMaxLoss(policy);
    int result = 0;
    uint32_t best = static_cast<uint32_t>(minDamage + kScoreBias);
    HEXINDEX bestHex = unit.nHex;
    int bestCount = 0;
    if (IsUnitRef(unit.refTarget)) {
        best = static_cast<uint32_t>(unit.nCpuScore);
        bestHex = static_cast<HEXINDEX>(unit.nCpuTarget & 0xFFFF);
        bestCount = static_cast<int>(static_cast<uint32_t>(unit.nCpuTarget) >> 16);
        result = 1;
    }
    const int attackerDomain = GetUnitDomain(unit);
    const int side = SideOfUnit(world.game, unit);
    int threat = 0;
    if (attackerDomain == 0 && IsMapHex(unit.nHex)) {
        const ARMSSTRUCT* a = UnitArms(unit);
        const int protection = a ? a->nDefenceAir : 0;
        threat = static_cast<int>(world.claim[static_cast<size_t>(unit.nHex)] & 0xFFFFu) * (100 - protection) / 100;
        threat = std::max(threat, 0);
    }
    const COUNTRYSTRUCT* own = UnitCountry(world.game, unit);
    const HEXINDEX capital = own ? own->nCapital : kNoHex;
    const uint32_t traits = TraitsOf(unit);

    for (UNITSTRUCT* const* p = targets.data(); *p; ++p) {
        UNITSTRUCT& target = **p;
        if (target.dwSupplyFlag & kCpuNotATarget) continue;
        if (onlyHex >= 0 && target.nHex != onlyHex) continue;
        const int targetDomain = GetUnitDomain(target);
        if (mode & kAttackModeDomainFilter) {
            if ((setKind == 3 || setKind == 12) && !IsNavalDomain(attackerDomain) && targetDomain != 3) continue;
            if ((setKind == 4 || setKind == 13) && targetDomain != 4) continue;
        }
        const bool unidentified = side >= 0 && side <= 2 && (target.dwFlag & (1u << (16 + side)));
        int damage = minDamage, loss = maxLoss / 2, initiative = 0;
        uint32_t mask = 0;
        if (!unidentified) {
            std::array<int, 8> values{};
            FindUsableWeapons(unit, target, world.game, moved, 0, values, false);
            WeaponChoice how;
            how.afterMoving = moved;
            how.isCpu = true;
            const int group = ChooseWeaponGroup(unit, target, values, world.game, how);
            if (group <= 0) continue;
            mask = static_cast<uint32_t>(group);
            damage = CalcCombatDamage(unit, target, mask, values, nullptr, false);
            std::array<int, 8> answer{};
            FindUsableWeapons(target, unit, world.game, false, 1, answer, false);
            WeaponChoice back;
            back.isCpu = true;
            const int answerGroup = ChooseWeaponGroup(target, unit, answer, world.game, back);
            loss = 0;
            if (answerGroup > 0 && !(attackerDomain == 0 && (target.dwSupplyFlag & kCpuThreatSource)))
                loss = CalcCombatDamage(target, unit, static_cast<uint32_t>(answerGroup), answer, nullptr, false);
            initiative = GetInitiativeValue(unit, mask, targetDomain == 0, moved) -
                         (answerGroup > 0 ? GetInitiativeValue(target, static_cast<uint32_t>(answerGroup),
                                                               attackerDomain == 0, false)
                                          : 0) +
                         GetHeightPenalty(unit, target, true, world.game);
        } else {
            mask = unit.dwWeaponMask;
        }
        if (damage < minDamage) continue;
        const int threatHere = targetDomain != 0 ? threat : 0;
        uint32_t score = CpuComposeAttackScore(unit, target, capital, damage, loss, initiative, world, threatHere,
                                               unidentified);
        if (score == 0 || !IsAttackAcceptable(unit, target, score, maxLoss, world.random)) continue;

        int value = ScoreDamage(score);
        if (threatHere > 0) score &= ~kScoreNoAnswer;
        if (IsNavalDomain(targetDomain)) {
            const bool wasStrong = value >= 30;
            value -= ScoreLoss(score) + threatHere;
            if (value < 0) {
                value = 0;
                if (!IsShipSet(setKind)) continue;
            }
            if (wasStrong && value < 30) value = 30;
        } else {
            value = std::max(0, value - threatHere);
            if ((traits & kClassShunsFlak) && (threatHere >= 20 || value < 10)) continue;
            if (IsShipSet(setKind) && threatHere > 0 && value < 10) continue;
        }
        score = (score & ~kScoreDamageMask) | static_cast<uint32_t>(std::min(value + kScoreBias, 0xFFF));
        if (ClassOfUnit(unit) == kClassSubmarine && targetDomain != 3 && value < 20) continue;

        if (IsBetterAttack(unit, target, best, bestHex, nullptr, score, unit.nHex, world, mode, positionCount,
                           bestCount)) {
            unit.refTarget = target.refSelf;
            unit.dwWeaponMask = mask;
            unit.nCpuScore = static_cast<int32_t>(score);
            unit.nCpuTarget = static_cast<HEXINDEX>((unit.nHex & 0xFFFF) | positionCount << 16);
            best = score;
            bestHex = unit.nHex;
            bestCount = positionCount;
            result = 1;
            if (stopAtFirst) break;
        }
    }
    return result;
}

// --- firing positions ---------------------------------------------------------------------------------

TrialPlacement::TrialPlacement(UNITSTRUCT& unit, HEXINDEX hex, std::span<UnitRef, kHexCount> hexUnit)
    : m_unit(unit), m_hexUnit(hexUnit), m_saved(unit), m_hex(hex), m_savedAtHex(hexUnit[static_cast<size_t>(hex)])
{
    if (IsMapHex(unit.nHex) && hexUnit[static_cast<size_t>(unit.nHex)] == unit.refSelf) {
        m_savedAtHome = unit.refSelf;
        hexUnit[static_cast<size_t>(unit.nHex)] = kNoUnit;
    }
    unit.dwFlag &= ~kUnitCarried;
    unit.nHex = hex;
    unit.dwSupplyFlag |= kCpuOnTrialHex;
    hexUnit[static_cast<size_t>(hex)] = unit.refSelf;
}

TrialPlacement::~TrialPlacement()
{
    m_hexUnit[static_cast<size_t>(m_hex)] = m_savedAtHex;
    // What the evaluation chose stays; where the unit stands goes back.
    const HEXINDEX target = m_unit.nCpuTarget;
    const UnitRef ref = m_unit.refTarget;
    const int32_t score = m_unit.nCpuScore;
    const uint32_t mask = m_unit.dwWeaponMask;
    const uint32_t prefers = m_unit.dwSupplyFlag & kCpuPrefersTargetList;
    m_unit = m_saved;
    m_unit.nCpuTarget = target, m_unit.refTarget = ref, m_unit.nCpuScore = score, m_unit.dwWeaponMask = mask;
    m_unit.dwSupplyFlag |= prefers;
    if (m_savedAtHome != kNoUnit) m_hexUnit[static_cast<size_t>(m_unit.nHex)] = m_savedAtHome;
}

int ListReachableHexes(const CpuAttackWorld& world, std::span<HEXINDEX> out)
{
    size_t n = 0;
    for (HEXINDEX h = 0; h < kHexCount && n + 1 < out.size(); ++h) {
        if (world.moveMap[static_cast<size_t>(h)] & kReachClosed) continue;
        if (world.hexUnit[static_cast<size_t>(h)] != kNoUnit) continue;
        out[n++] = h;
    }
    if (!out.empty()) out[n] = kNoHex;
    return static_cast<int>(n);
}

int CpuSearchFiringPositions(UNITSTRUCT& unit, const CpuAttackWorld& world, uint32_t policy, int mode)
{
    const HEXINDEX present = GetUnitMapHex(world.game, unit);
    static thread_local std::array<HEXINDEX, kHexCount + 1> hexes;
    const int n = ListReachableHexes(world, hexes);
    const bool listOnly = IsGroundDomain(GetUnitDomain(unit)) && OnList(world.targetList, present);
    const int side = SideOfUnit(world.game, unit);
    for (int i = 0; i < n; ++i) {
        const HEXINDEX h = hexes[static_cast<size_t>(i)];
        if (listOnly && !OnList(world.targetList, h)) continue;
        const int blind = BlindNeighbours(h, side, world.coverage);
        TrialPlacement trial(unit, h, world.hexUnit);
        CpuEvaluateAttackFromHex(unit, world, true, policy, false, -1, blind, mode);
    }
    if (!IsUnitRef(unit.refTarget)) return 0;
    return static_cast<HEXINDEX>(unit.nCpuTarget & 0xFFFF) != present ? 1 : 0;
}

int IsUnitHoldingCapital(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (!c || !IsMapHex(c->nCapital) || unit.nHex != c->nCapital || (unit.dwFlag & kUnitCarried)) return 0;
    if (TraitsOf(unit) & kClassKeepsCapital) return 0;
    if (c->nUnit == c->nUnitMax) return 1;
    for (const COUNTRYSTRUCT& e : game.Country) {
        if (!(e.dwFlag & kCountryPresent) || e.nSide != (c->nSide ^ 1)) continue;
        for (const UNITSTRUCT& u : e.Unit) {
            if (OnMapUncarried(u) && !(u.dwFlag & HiddenFromSideBit(c->nSide)) &&
                GetHexDistance(u.nHex, c->nCapital) <= 10)
                return 1;
        }
    }
    return 0;
}

int IsUnitBusyForAttack(const UNITSTRUCT& unit)
{
    if (CargoCount(unit.dwCargo) > 0 || (unit.dwSupplyFlag & kCpuNeedsSupply)) return 1;
    return (TraitsOf(unit) & (kClassBusy28 | kClassBusy29)) ? 1 : 0;
}

int CpuEvaluateUnitAttack(UNITSTRUCT& unit, const CpuAttackWorld& world, uint32_t policy, bool noSearch, int mode)
{
    CpuResetAttackChoice(unit, world.game);
    if (!(unit.dwFlag & kUnitCarried)) CpuEvaluateAttackFromHex(unit, world, false, policy, false, -1, 0, mode);
    if (!IsUnitHoldingCapital(unit, world.game) && !noSearch) CpuSearchFiringPositions(unit, world, policy, mode);
    return IsUnitRef(unit.refTarget) ? 1 : 0;
}

uint32_t CpuAdvancePolicy(const CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    uint32_t policy = kPolicyAdvance;
    const int country = RefCountry(unit.refSelf);
    if (IsKeyKind(unit) && country < kCountryCount) {
        // The class-30 allowance: half the turn's capture score.
        int strength = 0;
        for (const UNITSTRUCT& u : doc.m_GameData.Country[country].Unit)
            if (InUse(u) && ClassOfUnit(u) == 30) strength += u.nStrength;
        if (strength <= doc.m_nCpuCaptureScore[country] / 2 + 10) policy = kPolicyKeyAdvance;
    }
    const int loss = std::min(PolicyMaxLoss(policy), std::max(0, 3 * unit.nStrength));
    return (policy & ~kScoreLossMask) | static_cast<uint32_t>(loss) << 12;
}

int CpuAttackTarget(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, uint32_t policy, HEXINDEX hex)
{
    if (hex >= 0) {
        const UNITSTRUCT* there = IsMapHex(hex) ? doc.GetUnit(doc.m_dwHexUnit[hex]) : nullptr;
        if (!there || !InUse(*there) || !IsMapHex(unit.nHex) || GetHexDistance(unit.nHex, hex) > 1) return 0;
    }
    CpuResetAttackChoice(unit, doc.m_GameData);
    const int country = RefCountry(unit.refSelf);
    const int kind = GetUnitDomain(unit) == 0 ? 1 : 0;
    if (!state.ThreatBuiltFor(country, kind) || kind == 0)
        CpuBuildThreatMap(country, kind, doc.m_GameData, doc.m_dwHexCpu, state);
    const CpuAttackWorld world = MakeAttackWorld(doc, state);
    if (!CpuEvaluateAttackFromHex(unit, world, (unit.dwFlag & kUnitMoved) != 0, policy, false, hex, 0, 0)) return 0;
    return doc.ExecuteCpuAction(kCpuActAttack, unit, 0) < 0 ? -1 : 1;
}

// --- enemy reach marks ------------------------------------------------------------------------------

int CpuMarkUnitReach(const UNITSTRUCT& enemy, int domain, const GAMEDATASTRUCT& game,
                     std::span<uint32_t, kHexCount> map)
{
    if (!OnMapUncarried(enemy)) return 0;
    int found = 0;
    ForEachNeighbourInline(enemy.nHex, [&](HEXINDEX h) { map[static_cast<size_t>(h)] |= kMarkNextToEnemy; });
    int range = 0;
    const bool air = domain == 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        if (enemy.nAmmo[s] <= 0) continue;
        const ReachVector r = GetSlotReach(enemy, s, game, false, 1, false);
        const int k = std::clamp(domain, 0, 4);
        if (r.value[static_cast<size_t>(k)] > 0) range = std::max(range, 1);
        if (r.value[static_cast<size_t>(5 + k)] > 0) range = std::max(range, r.range[air ? 0 : 1]);
    }
    range = std::min(range, 12);
    HEXINDEX ring[GetHexCountInRadius(12) + 1];
    const int n = GetHexesInRange(enemy.nHex, range, ring);
    for (int i = 0; i < n; ++i) {
        uint32_t& w = map[static_cast<size_t>(ring[i])];
        if (range == 0) break;
        w |= kMarkInEnemyReach;
        if (!(w & kMarkSafe)) found = 1;
    }
    return found;
}

int CpuMarkEnemyReach(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game, std::span<uint32_t, kHexCount> map)
{
    const int side = SideOfUnit(game, unit);
    if (side < 0) return 0;
    const int domain = GetUnitDomain(unit);
    const int cls = WeatherClass(GetWeatherEffect(game));
    int found = 0;
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent) || c.nSide != (side ^ 1)) continue;
        for (const UNITSTRUCT& u : c.Unit) {
            if (!OnMapUncarried(u) || (u.dwFlag & HiddenFromSideBit(side))) continue;
            // Weather that keeps the enemy from acting keeps it out.
            const int d = GetUnitDomain(u);
            const ARMSSTRUCT* a = UnitArms(u);
            if (d == 0 && a && !IsMarchType(*a) && (cls == 2 || cls == 3)) continue;
            if (IsNavalDomain(d) && cls == 3) {
                bool heavy = false;
                for (int s = 0; s < kWeaponSlots; ++s) {
                    const WEAPONSTRUCT* w = UnitWeapon(u, s);
                    heavy = heavy || (w && (w->byType == 31 || w->byType == 32));
                }
                if (!heavy) continue;
            }
            if (IsGroundDomain(d) && cls == 4) continue;
            found |= CpuMarkUnitReach(u, domain, game, map);
        }
    }
    return found;
}

}  // namespace zrv
