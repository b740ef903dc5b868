#include "battle/engine/Combat.h"

#include <algorithm>

#include "battle/engine/HexGeometry.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

constexpr uint32_t kCountryFogBit = 0x00010000u;
constexpr uint32_t kCountryCpuBit = 0x40000000u;
constexpr int32_t kLevelNoReturnFire = 1 << 10;  // COUNTRYSTRUCT::nLevel
constexpr uint32_t kArmsSeen = 0x20000000u;      // dwArmsAvail: seen, low 24 bits the date
constexpr int kMaxTally = 9999;
constexpr int kMaxShipTally = 999;
constexpr int kMaxLossTally = 999;

bool InUse(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) != 0;
}

bool IsAirTarget(const UNITSTRUCT& u)
{
    return GetUnitDomain(u) == 0;
}

int LowestSlot(uint32_t mask)
{
    for (int s = 0; s < kWeaponSlots; ++s) {
        if (mask & (1u << s)) return s;
    }
    return -1;
}

// Initiative of a weapon against a target kind (0 air, 1 surface).
int Initiative(const WEAPONSTRUCT& w, int kind, bool afterMoving)
{
    return w.nInitiative[kind * 2 + (afterMoving ? 1 : 0)];
}

// The cell under a unit's outermost carrier, else its own copy.
MAPCELL UnitCell(const UNITSTRUCT& unit)
{
    return unit.dwHexCell;
}

HEXINDEX MapHexOf(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    HEXINDEX h = GetUnitMapHex(game, unit);
    if (h < 0 && !(unit.dwFlag & kUnitCarried)) h = unit.nHex;
    return h;
}

int Distance(const GAMEDATASTRUCT& game, const UNITSTRUCT& a, const UNITSTRUCT& b)
{
    HEXINDEX ha = MapHexOf(game, a);
    HEXINDEX hb = MapHexOf(game, b);
    if (!IsMapHex(ha) || !IsMapHex(hb)) return 1;
    return std::max(1, GetHexDistance(ha, hb));
}

int CeilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

int StrengthUnitsAt(const UNITSTRUCT& unit, int strength)
{
    UNITSTRUCT copy = unit;
    copy.nStrength = strength;
    return std::max(1, GetStrengthUnits(copy, 0));
}

}  // namespace

// --- result list -----------------------------------------------------------------------------

void CombatHitList::Append(UNITSTRUCT* unit, int damage, uint32_t hit)
{
    // Keep one place for the run's end mark.
    if (m_pos + 1 >= m_buf.size()) return;
    m_buf[m_pos++] = {unit, damage, hit};
}

void CombatHitList::EndRun()
{
    if (m_buf.empty()) return;
    if (m_pos >= m_buf.size()) m_pos = m_buf.size() - 1;
    m_buf[m_pos++] = {nullptr, -1, 0};
}

void CombatHexList::Append(HEXINDEX hex)
{
    if (m_pos + 1 >= m_buf.size()) return;
    m_buf[m_pos++] = hex;
}

void CombatHexList::EndRun()
{
    if (m_buf.empty()) return;
    if (m_pos >= m_buf.size()) m_pos = m_buf.size() - 1;
    m_buf[m_pos++] = -1;
}

// --- small values --------------------------------------------------------------------------

int GetAirTargetEvasion(const UNITSTRUCT& shooter, const UNITSTRUCT& target)
{
    if (IsAirTarget(shooter) || !IsAirTarget(target)) return 0;
    const ARMSSTRUCT* a = UnitArms(target);
    return a ? std::max(0, 2 * a->nHeight - 10) : 0;
}

int GetUnitTerrainHeight(const UNITSTRUCT& unit)
{
    if (IsAirDomainUnit(unit)) return 0;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(UnitCell(unit)));
    return t ? t->nHeight : 0;
}

int GetHeightPenalty(const UNITSTRUCT& unit, const UNITSTRUCT& other, bool enabled,
                     const GAMEDATASTRUCT& game)
{
    if (!enabled || Distance(game, unit, other) != 1) return 0;
    auto height = [](const UNITSTRUCT& u) {
        const ARMSSTRUCT* a = UnitArms(u);
        if (a && IsAirDomainArms(*a)) return a->nHeight;
        return GetUnitTerrainHeight(u);
    };
    return height(other) > height(unit) ? -1 : 0;
}

int GetWeaponTypeOfMask(const UNITSTRUCT& unit, uint32_t mask)
{
    const WEAPONSTRUCT* w = UnitWeapon(unit, LowestSlot(mask));
    return w ? w->byType : 0;
}

int GetWeaponShotCount(const UNITSTRUCT& shooter, uint32_t mask, bool targetIsAir)
{
    const ARMSSTRUCT* a = UnitArms(shooter);
    const WEAPONSTRUCT* w = UnitWeapon(shooter, LowestSlot(mask));
    if (!a || !w) return 0;
    int n = 0;
    if (CountedInPieces(*a)) {
        n = shooter.nStrength * w->nPieces * 10 / std::max(1, a->nStrengthMax);
        if (shooter.nStrength < a->nStrengthMax) n += 5;
        n = std::max(1, n / 10);
    } else {
        n = shooter.nStrength;
    }
    return (IsDoubleWeapon(*w) && !targetIsAir) ? 2 * n : n;
}

uint32_t PackWeaponValue(const UNITSTRUCT& shooter, int slot, int value, bool targetIsAir, bool pieces,
                         int shotCount)
{
    const ARMSSTRUCT* a = UnitArms(shooter);
    const WEAPONSTRUCT* w = UnitWeapon(shooter, slot);
    if (!a || !w) return 0;
    int count = shotCount != kNoShotCount ? shotCount : w->nPieces;
    int v = pieces ? value : value * count;
    int shots = 1;
    if (CountedInPieces(*a)) {
        shots = std::max(1, (shooter.nStrength * w->nPieces * 10 / std::max(1, a->nStrengthMax) + 5) / 10);
    } else if (pieces) {
        shots = w->nPieces;
    }
    uint32_t packed = (static_cast<uint32_t>(v) & 0xFFFFu) | ((static_cast<uint32_t>(shots) & 0xFFu) << 16);
    if (w->byType == kWeaponTypeIgnoresCover) packed |= kPackIgnoresCover;
    if (IsDoubleWeapon(*w) && !targetIsAir) packed |= kPackDouble;
    return packed;
}

int GetHitPercent(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t packed)
{
    const ARMSSTRUCT* sa = UnitArms(shooter);
    const ARMSSTRUCT* ta = UnitArms(target);
    if (!sa || !ta) return 0;
    int e = (shooter.nExp - target.nExp / 2) / 10;
    int base = std::max(1, e + PackedValue(packed)) * 10;
    base = base * (100 - (IsAirDomainArms(*sa) ? ta->nDefenceAir : ta->nDefenceSurface)) / 100;
    if (!IsAirTarget(target) && !(packed & kPackIgnoresCover)) {
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(target.dwHexCell));
        base = base * (100 - (t ? t->nCover : 0)) / 100;
    }
    return std::min(kMaxHitPercent, (base + 5) / 10);
}

int GetInitiativeValue(const UNITSTRUCT& unit, uint32_t mask, bool targetIsAir, bool afterMoving)
{
    if ((mask & 0xFFu) == 0) return 0;
    int load = SumUnitWeaponValue(unit, targetIsAir ? 0 : 1, -1);
    int kind = targetIsAir ? 0 : 1;
    int best = 0x7FFFFFFF;
    for (int s = 0; s < kWeaponSlots; ++s) {
        if (!(mask & (1u << s))) continue;
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        int v = (w ? Initiative(*w, kind, afterMoving) : 0) - load;
        if (v < 1) return 1;
        best = std::min(best, v);
    }
    return best == 0x7FFFFFFF ? 0 : best;
}

// --- reach -------------------------------------------------------------------------------------

ReachVector GetSlotReach(const UNITSTRUCT& shooter, int slot, const GAMEDATASTRUCT& game, bool afterMoving,
                         int usage, bool adjacentOnly)
{
    ReachVector r;
    const WEAPONSTRUCT* w = UnitWeapon(shooter, slot);
    if (!w) return r;
    int cls = WeatherClass(GetWeatherEffect(game));
    bool submerged = (shooter.dwFlag & kUnitInWater) != 0;
    if (submerged && w->byType != kWeaponTypeTorpedo) return r;
    if (cls == 3 && (w->byType == kWeaponTypeTorpedo || w->byType == kWeaponTypeDepthCharge)) return r;
    if (w->byType == kWeaponTypeTorpedo) {
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(shooter.dwHexCell));
        if (!t || !AllowsTorpedoFire(*t)) return r;
    }
    const int height = GetUnitTerrainHeight(shooter);
    const bool attack = usage == 0;
    const uint32_t pattern = w->dwWeaponFlag & 0x700u;
    auto forbidden = [&](uint32_t forAttack, uint32_t otherwise) {
        return UsagePatternApplies(*w) && pattern == (attack ? forAttack : otherwise);
    };
    for (int kind = 0; kind < 2; ++kind) {
        int minRange = w->nRange[kind * 2];
        int maxRange = w->nRange[kind * 2 + 1];
        bool ready = Initiative(*w, kind, afterMoving) != 0;
        bool longer = maxRange > 1 && ready;
        bool adjacent = (minRange == 1 || adjacentOnly) && ready;
        if (kind == 0) {
            adjacent = adjacent && !forbidden(0x000, 0x100);
            longer = longer && !forbidden(0x200, 0x300);
        } else {
            adjacent = adjacent && !forbidden(0x400, 0x500);
            longer = longer && !forbidden(0x600, 0x700);
        }
        int first = kind == 0 ? 0 : 1;
        int last = kind == 0 ? 0 : 4;
        for (int d = first; d <= last; ++d) {
            if (adjacent) r.value[static_cast<size_t>(d)] = w->nAttack[d];
            if (longer) r.value[static_cast<size_t>(5 + d)] = w->nAttack[d];
        }
        if (adjacent || longer) r.range[static_cast<size_t>(kind)] = maxRange + height;
    }
    return r;
}

void AdjustReachForWeather(ReachVector& reach, const ARMSSTRUCT& type, int weatherEffect)
{
    const int cls = WeatherClass(weatherEffect);
    const int light = WeatherLight(weatherEffect);
    if ((cls == 3 && IsNavalDomainArms(type)) || (cls == 4 && IsGroundDomainArms(type))) {
        reach = ReachVector{};
        return;
    }
    const bool air = IsAirDomainArms(type);
    auto each = [&](bool surface, auto fn) {
        for (int i = 0; i < 10; ++i) {
            bool isSurface = (i % 5) != 0;
            if (isSurface == surface)
                reach.value[static_cast<size_t>(i)] = fn(reach.value[static_cast<size_t>(i)]);
        }
    };
    if (cls >= 1) each(air, [](int) { return 0; });
    if (air && light == 1) each(true, [](int v) { return v - v / 3; });
    if (light == 2) {
        if (air) each(true, [&](int v) { return IsNightCapable(type) ? (v + 2) / 3 : 0; });
        if (!IsNightCapable(type)) {
            for (int& v : reach.value) v = (v + 2) / 3;
        }
    }
}

int FindUsableWeapons(const UNITSTRUCT& shooter, const UNITSTRUCT& target, const GAMEDATASTRUCT& game,
                      bool afterMoving, int usage, std::array<int, 8>& values, bool adjacentOnly)
{
    values.fill(0);
    const ARMSSTRUCT* a = UnitArms(shooter);
    int domain = GetUnitDomain(target);
    if (!a || domain < 0 || domain > 4) return 0;
    int d = adjacentOnly ? 1 : Distance(game, shooter, target);
    int kind = domain == 0 ? 0 : 1;
    int effect = GetWeatherEffect(game);
    int any = 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(shooter, s);
        if (!w || shooter.nAmmo[s] <= 0 || w->nAttack[domain] == 0) continue;
        ReachVector r = GetSlotReach(shooter, s, game, afterMoving, usage, adjacentOnly);
        AdjustReachForWeather(r, *a, effect);
        if (d > 1 && d > r.range[static_cast<size_t>(kind)]) continue;
        int v = r.value[static_cast<size_t>(d > 1 ? 5 + domain : domain)];
        values[static_cast<size_t>(s)] = v;
        if (v > 0) any = 1;
    }
    return any;
}

int CanEngageAdjacent(const GAMEDATASTRUCT& game, const UNITSTRUCT& target, const UNITSTRUCT& shooter)
{
    const ARMSSTRUCT* sa = UnitArms(shooter);
    const ARMSSTRUCT* ta = UnitArms(target);
    if (!sa || !ta) return 0;
    const int effect = GetWeatherEffect(game);
    const int cls = WeatherClass(effect);
    const bool airShooter = IsAirDomainArms(*sa);
    const bool airTarget = IsAirTarget(target);
    const bool airOnGround = airShooter && !airTarget;
    if ((cls == 1 || cls == 2 || cls == 5) && airOnGround) return 0;
    if (cls == 3 && (IsNavalDomainArms(*sa) || airOnGround)) return 0;
    if (cls == 4 && (IsGroundDomainArms(*sa) || airOnGround)) return 0;
    if (WeatherLight(effect) == 2 && airOnGround && !IsNightCapable(*sa)) return 0;
    if (airTarget && (!airShooter || sa->nHeight < ta->nHeight)) return 0;
    int domain = GetUnitDomain(target);
    int kind = airTarget ? 0 : 1;
    bool submerged = (shooter.dwFlag & kUnitInWater) != 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(shooter, s);
        if (!w || shooter.nAmmo[s] <= 0 || domain < 0 || w->nAttack[domain] <= 0) continue;
        if (submerged && w->byType != kWeaponTypeTorpedo) continue;
        if (cls == 3 && (w->byType == kWeaponTypeTorpedo || w->byType == kWeaponTypeDepthCharge)) continue;
        if (w->nRange[kind * 2] == 1 || w->nRange[kind * 2 + 1] == 1) return 1;
    }
    return 0;
}

int ListTargetsInRange(const UNITSTRUCT& unit, GAMEDATASTRUCT& game, bool afterMoving, bool adjacentOnly,
                       std::span<UNITSTRUCT*> out)
{
    size_t n = 0;
    const ARMSSTRUCT* a = UnitArms(unit);
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    HEXINDEX from = MapHexOf(game, unit);
    if (a && own && IsMapHex(from)) {
        ReachVector sum;
        for (int s = 0; s < kWeaponSlots; ++s) {
            if (unit.nAmmo[s] <= 0) continue;
            ReachVector r = GetSlotReach(unit, s, game, afterMoving, 1, adjacentOnly);
            for (size_t i = 0; i < sum.value.size(); ++i) sum.value[i] += r.value[i];
            for (size_t k = 0; k < 2; ++k) sum.range[k] = std::max(sum.range[k], r.range[k]);
        }
        AdjustReachForWeather(sum, *a, GetWeatherEffect(game));
        const int side = own->nSide;
        const bool fog = (own->dwFlag & kCountryFogBit) != 0;
        for (COUNTRYSTRUCT& c : game.Country) {
            if (!(c.dwFlag & kCountryPresent) || c.nSide != (side ^ 1)) continue;
            for (UNITSTRUCT& t : c.Unit) {
                if (!InUse(t) || (t.dwFlag & kUnitCarried) || !IsMapHex(t.nHex)) continue;
                if (fog && (t.dwFlag & HiddenFromSideBit(side))) continue;
                int domain = GetUnitDomain(t);
                if (domain < 0) continue;
                int d = GetHexDistance(from, t.nHex);
                bool hit = false;
                if (d <= 1)
                    hit = sum.value[static_cast<size_t>(domain)] > 0;
                else if (!adjacentOnly)
                    hit =
                        d <= sum.range[domain == 0 ? 0 : 1] && sum.value[static_cast<size_t>(5 + domain)] > 0;
                if (!hit) continue;
                if (n + 1 < out.size()) out[n] = &t;
                ++n;
            }
        }
    }
    if (!out.empty()) out[std::min(n, out.size() - 1)] = nullptr;
    return static_cast<int>(n);
}

int CanAttackTarget(const UNITSTRUCT& unit, GAMEDATASTRUCT& game)
{
    if (unit.dwFlag & kUnitNoAttackAfterUnload) return 0;
    std::array<UNITSTRUCT*, 2> one{};
    return ListTargetsInRange(unit, game, (unit.dwFlag & kUnitMoved) != 0, true, one) > 0 ? 1 : 0;
}

int CanAmbush(const GAMEDATASTRUCT& game, const UNITSTRUCT& target, const UNITSTRUCT& shooter)
{
    if (!CanEngageAdjacent(game, target, shooter)) return 0;
    const ARMSSTRUCT* a = UnitArms(shooter);
    int domain = GetUnitDomain(target);
    if (!a || domain < 0) return 0;
    ReachVector sum;
    for (int s = 0; s < kWeaponSlots; ++s) {
        if (shooter.nAmmo[s] <= 0) continue;
        ReachVector r = GetSlotReach(shooter, s, game, false, 1, true);
        for (size_t i = 0; i < sum.value.size(); ++i) sum.value[i] += r.value[i];
    }
    AdjustReachForWeather(sum, *a, GetWeatherEffect(game));
    return sum.value[static_cast<size_t>(domain)] > 0 ? 1 : 0;
}

// --- damage ----------------------------------------------------------------------------------------

uint32_t GetGroupValue(UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                       const std::array<int, 8>& values, uint32_t* usedSlots, bool secondPass, bool raw)
{
    const bool air = IsAirTarget(target);
    int sum = 0;
    uint32_t flags = 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const uint32_t bit = 1u << s;
        if (!(mask & bit)) continue;
        if (usedSlots && !(*usedSlots & bit)) {
            if (shooter.nAmmo[s] > 0) --shooter.nAmmo[s];
            *usedSlots |= bit;
        }
        int v = values[static_cast<size_t>(s)];
        if (v <= 0) continue;
        uint32_t packed = PackWeaponValue(shooter, s, v, air, false);
        if (secondPass && !(packed & kPackDouble)) continue;
        sum += PackedValue(packed);
        flags |= packed & 0xFFFF0000u;
    }
    flags &= kPackIgnoresCover | kPackDouble;
    if (raw) return flags | (static_cast<uint32_t>(sum) & 0xFFFFu);
    // The combined value goes through the hit percentage like one weapon.
    uint32_t combined = flags | (static_cast<uint32_t>(sum) & 0xFFFFu);
    return flags | static_cast<uint32_t>(GetHitPercent(shooter, target, combined));
}

int GetBestWeaponDamage(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                        const std::array<int, 8>& values)
{
    const ARMSSTRUCT* a = UnitArms(shooter);
    if (!a) return 0;
    const bool air = IsAirTarget(target);
    if (CountedInPieces(*a)) {
        int best = 0;
        for (int s = 0; s < kWeaponSlots; ++s) {
            int v = values[static_cast<size_t>(s)];
            if (!(mask & (1u << s)) || v <= 0) continue;
            best = std::max(best, GetHitPercent(shooter, target, PackWeaponValue(shooter, s, v, air, true)));
        }
        return best;
    }
    UNITSTRUCT copy = shooter;  // the first pass, consuming nothing
    return static_cast<int>(GetGroupValue(copy, target, mask, values, nullptr, false, false) & 0xFFFFu);
}

int CalcCombatDamage(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                     const std::array<int, 8>& values, RuleDraws* draws, bool noCap)
{
    const ARMSSTRUCT* a = UnitArms(shooter);
    if (!a) return 0;
    const bool air = IsAirTarget(target);
    int damage = 0;
    if (CountedInPieces(*a)) {
        int sum = 0;
        int allShots = 0;
        for (int s = 0; s < kWeaponSlots; ++s) {
            int v = values[static_cast<size_t>(s)];
            if (!(mask & (1u << s)) || v <= 0) continue;
            uint32_t packed = PackWeaponValue(shooter, s, v, air, true);
            int p = GetHitPercent(shooter, target, packed);
            int n = PackedShots(packed) * ((packed & kPackDouble) ? 2 : 1);
            allShots += n;
            if (draws) {
                for (int k = 0; k < (n + 1) / 2; ++k) {
                    if (draws->Rand() % 100 < p) sum += 100;
                }
                sum += (n / 2) * p;
            } else {
                sum += n * p;
            }
        }
        damage = sum / 10;
        if (!noCap) damage = std::min(damage, 10 * allShots);
    } else {
        UNITSTRUCT copy = shooter;
        uint32_t first = GetGroupValue(copy, target, mask, values, nullptr, false, false);
        int p = static_cast<int>(first & 0xFFFFu);
        if (first & kPackDouble)
            p += static_cast<int>(GetGroupValue(copy, target, mask, values, nullptr, true, false) & 0xFFFFu);
        int n = shooter.nStrength;
        if (draws) {
            for (int k = 0; k < (n + 1) / 2; ++k) {
                if (draws->Rand() % 100 < p) damage += 10;
            }
            damage += (n / 2) * p / 10;
        } else {
            damage = n * p / 10;
        }
        damage = std::min(damage, 10 * GetWeaponShotCount(shooter, mask, air));
    }
    if (!noCap) damage = std::min(damage, 10 * target.nStrength);
    return damage;
}

int GetHitChance(const GAMEDATASTRUCT& game, const UNITSTRUCT& shooter, HEXINDEX targetHex, int targetExp,
                 int slot, bool targetIsAir)
{
    const WEAPONSTRUCT* w = UnitWeapon(shooter, slot);
    const ARMSSTRUCT* a = UnitArms(shooter);
    if (!w || !a) return 1;
    HEXINDEX from = MapHexOf(game, shooter);
    int d = (IsMapHex(from) && IsMapHex(targetHex)) ? GetHexDistance(from, targetHex) : 1;
    int v = w->nAccuracy + (shooter.nExp - targetExp / 2) / 10 - 5 * (d - 2);
    const int effect = GetWeatherEffect(game);
    const int cls = WeatherClass(effect);
    const int light = WeatherLight(effect);
    if (cls == 3 || cls == 4) v -= 20;
    if (light != 0 && v >= 1) {
        if (IsAirDomainArms(*a) && !targetIsAir) {
            v = light == 1 ? (v + 1) / 2 : (v + 3) / 4;
            return std::clamp(v, 1, 100);
        }
        if (light == 2 && !IsNightCapable(*a)) v = (v + 1) / 2;
    }
    return std::clamp(v, 1, 100);
}

int ChooseWeaponGroup(const UNITSTRUCT& shooter, const UNITSTRUCT& target, const std::array<int, 8>& values,
                      const GAMEDATASTRUCT& game, const WeaponChoice& how)
{
    if (!how.isCpu) {
        if (how.counterMode == 3) return -1;
        if (how.counterMode == 4) return 0;
    }
    std::array<uint32_t, 8> groups{};
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(shooter, s);
        if (!w || values[static_cast<size_t>(s)] <= 0) continue;
        groups[w->byGroup & 7u] |= 1u << s;
    }
    const bool air = IsAirTarget(target);
    const int start = (how.startAtZero && !how.isCpu) ? 0 : -1;
    int bestDamage = start;
    int bestOrder = 0;
    bool strong = false;
    const int threshold = target.nStrength * 20;
    uint32_t chosen = 0;
    for (uint32_t mask : groups) {
        if (!mask) continue;
        int order = GetInitiativeValue(shooter, mask, air, how.afterMoving) +
                    (how.heightRule ? GetHeightPenalty(shooter, target, true, game) : 0);
        int damage = CalcCombatDamage(shooter, target, mask, values, nullptr, how.noCap);
        bool take = false;
        if (how.counterMode == 0) {
            if (order > bestOrder && damage >= threshold) {
                take = true;
                strong = true;
            } else if (!strong && damage > bestDamage) {
                take = true;
            }
        } else if (how.counterMode == 2) {
            take = order > bestOrder && damage > start;
        } else {
            take = damage > bestDamage;
        }
        if (take) {
            chosen = mask;
            bestDamage = damage;
            bestOrder = order;
        }
    }
    return static_cast<int>(chosen);
}

int ChooseCounterWeapons(const GAMEDATASTRUCT& game, const UNITSTRUCT& shooter, const UNITSTRUCT& target)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, shooter);
    if (!c) return 0;
    std::array<int, 8> values{};
    // An answer only with weapons that reach the attacker where it stands.
    if (!FindUsableWeapons(shooter, target, game, false, 1, values, false)) return 0;
    WeaponChoice how;
    how.isCpu = (c->dwFlag & kCountryCpuBit) != 0;
    how.counterMode = static_cast<int>(c->dwFlag & 7u);
    return ChooseWeaponGroup(shooter, target, values, game, how);
}

void AddCombatTallies(UNITSTRUCT& shooter, UNITSTRUCT& target, int hits)
{
    if (hits <= 0) return;
    const ARMSSTRUCT* ta = UnitArms(target);
    if (ta) {
        if (IsAirDomainArms(*ta)) {
            shooter.dwTally0 =
                (static_cast<uint32_t>(std::min(kMaxTally, HighHalf(shooter.dwTally0) + hits)) << 16) |
                (shooter.dwTally0 & 0xFFFFu);
        } else if (IsGroundDomainArms(*ta)) {
            shooter.dwTally0 = (shooter.dwTally0 & 0xFFFF0000u) |
                               static_cast<uint32_t>(std::min(kMaxTally, LowHalf(shooter.dwTally0) + hits));
        } else if (hits >= target.nStrength) {
            shooter.dwTally1 =
                (static_cast<uint32_t>(std::min(kMaxShipTally, HighHalf(shooter.dwTally1) + 1)) << 16) |
                (shooter.dwTally1 & 0xFFFFu);
        }
    }
    target.dwTally1 = (target.dwTally1 & 0xFFFF0000u) |
                      static_cast<uint32_t>(std::min(kMaxLossTally, LowHalf(target.dwTally1) + hits));
}

int FireAtUnit(UNITSTRUCT& shooter, UNITSTRUCT& target, uint32_t mask, const GAMEDATASTRUCT& game,
               bool afterMoving, int usage, CombatHitList& results, uint32_t* usedSlots, uint32_t* totals,
               const std::array<int, 8>* shotCounts, RuleDraws& draws)
{
    const ARMSSTRUCT* a = UnitArms(shooter);
    if (!a || !InUse(shooter)) return 0;
    std::array<int, 8> values{};
    FindUsableWeapons(shooter, target, game, afterMoving, usage, values, true);
    const bool air = IsAirTarget(target);
    int hits = 0;
    int shots = 0;
    int best = 0;
    if (CountedInPieces(*a)) {
        for (int s = 0; s < kWeaponSlots; ++s) {
            const uint32_t bit = 1u << s;
            if (!(mask & bit)) continue;
            if (usedSlots && !(*usedSlots & bit)) {
                if (shooter.nAmmo[s] > 0) --shooter.nAmmo[s];
                *usedSlots |= bit;
            }
            int v = values[static_cast<size_t>(s)];
            if (v <= 0) continue;
            uint32_t packed = PackWeaponValue(shooter, s, v, air, true);
            int p = GetHitPercent(shooter, target, packed);
            best = std::max(best, p);
            int n = shotCounts ? (*shotCounts)[static_cast<size_t>(s)] : PackedShots(packed);
            if (packed & kPackDouble) n *= 2;
            for (int k = 0; k < n; ++k) {
                if (draws.Rand() % 100 < p) ++hits;
            }
            shots += n;
        }
    } else {
        // Scattered shots reach a unit only from the slots that landed there.
        uint32_t fired = mask;
        if (shotCounts) {
            fired = 0;
            for (int s = 0; s < kWeaponSlots; ++s) {
                if ((*shotCounts)[static_cast<size_t>(s)] > 0) fired |= mask & (1u << s);
            }
        }
        uint32_t first = GetGroupValue(shooter, target, fired, values, usedSlots, false, false);
        int p = static_cast<int>(first & 0xFFFFu);
        best = p;
        int n = fired ? std::max(0, shooter.nStrength) : 0;
        for (int k = 0; k < n; ++k) {
            if (draws.Rand() % 100 < p) ++hits;
        }
        shots += n;
        if (fired && (first & kPackDouble)) {
            int p2 = static_cast<int>(GetGroupValue(shooter, target, fired, values, nullptr, true, false) &
                                      0xFFFFu);
            for (int k = 0; k < n; ++k) {
                if (draws.Rand() % 100 < p2) ++hits;
            }
            shots += n;
        }
    }
    const int rolled = hits;
    hits = std::min(hits, std::max(0, target.nStrength));
    AddCombatTallies(shooter, target, hits);
    if (totals) {
        uint32_t low = (*totals & 0xFFFFu) + static_cast<uint32_t>(shots);
        *totals = (*totals & 0xFFFF0000u) + (low & 0xFFFFu) + static_cast<uint32_t>(rolled) * 0x10000u;
    }
    results.Append(&target, hits,
                   (static_cast<uint32_t>(shots) << 16) | (static_cast<uint32_t>(best) & 0xFFFFu));
    return hits;
}

void ScatterImpacts(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                    const GAMEDATASTRUCT& game, ImpactTable& table, bool noEvasion, RuleDraws& draws)
{
    table = ImpactTable{};
    HEXINDEX hex = MapHexOf(game, target);
    table[0].hex = hex;
    HexNeighbours nb = IsMapHex(hex) ? GetNeighbourSlots(hex) : HexNeighbours{-1, -1, -1, -1, -1, -1};
    for (int d = 0; d < kHexDirections; ++d)
        table[static_cast<size_t>(d + 1)].hex = nb[static_cast<size_t>(d)];
    const bool air = IsAirTarget(target);
    const int evasion = noEvasion ? 0 : GetAirTargetEvasion(shooter, target);
    for (int s = 0; s < kWeaponSlots; ++s) {
        if (!(mask & (1u << s)) || !UnitWeapon(shooter, s)) continue;
        int p = GetHitChance(game, shooter, hex, target.nExp, s, air) - evasion;
        // Evasion may push the chance below 0; a chance of exactly 0 stays 0.
        if (p < 0) p = 1;
        int shots = PackedShots(PackWeaponValue(shooter, s, 1, air, true));
        for (int k = 0; k < shots; ++k) {
            size_t record = 0;
            if (draws.Rand() % 100 >= p) record = static_cast<size_t>(draws.Rand() % 6 + 1);
            table[record].mask |= 1u << s;
            ++table[record].count[static_cast<size_t>(s)];
        }
    }
}

int GetImpactEffectKind(const UNITSTRUCT& target, int weaponType, HEXINDEX hex,
                        std::span<const MAPCELL, kHexCount> cells)
{
    if (weaponType >= 0 && weaponType <= 9) return 0;
    if (weaponType == kWeaponTypeIgnoresCover) return 3;
    if (target.dwFlag & kUnitInWater) return 2;
    const ARMSSTRUCT* a = UnitArms(target);
    if (!a) return 0;
    if (IsAirDomainArms(*a)) return 1;
    if (IsMapHex(hex) && hex != target.nHex) {
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cells[static_cast<size_t>(hex)]));
        return (t && IsNoAirBase(*t)) ? 2 : 4;
    }
    return IsGroundDomainArms(*a) ? 4 : 2;
}

void AddCombatExperience(GAMEDATASTRUCT& game, const UNITSTRUCT* attacker, UNITSTRUCT* first,
                         int firstFormerStrength, UNITSTRUCT* second, int secondFormerStrength,
                         std::span<const COMBATHITSTRUCT> results)
{
    (void)game;
    int gain[2] = {0, 0};
    UNITSTRUCT* fighter[2] = {first, second};
    const int former[2] = {firstFormerStrength, secondFormerStrength};
    size_t pos = 0;
    for (int run = 0; run < 2 && pos < results.size(); ++run) {
        UNITSTRUCT* firer = fighter[run];
        for (; pos < results.size(); ++pos) {
            const COMBATHITSTRUCT& e = results[pos];
            if (!e.pUnit) {
                ++pos;
                break;
            }
            UNITSTRUCT& hit = *e.pUnit;
            const int hits = std::max(0, e.nDamage);
            if (firer && hits > 0) {
                int units = StrengthUnitsAt(*firer, std::max(1, former[run]));
                gain[run] += std::max(1, CeilDiv(hits * std::max(10, hit.nExp), 2 * units));
            }
            if (!InUse(hit) || (hit.dwFlag & kUnitUnderDefensiveFire)) continue;
            int pct = std::min(100, static_cast<int>(e.dwHit & 0xFFFFu));
            int shots = std::min(10, static_cast<int>(e.dwHit >> 16));
            int units = std::max(1, GetStrengthUnits(hit, hits));
            int g = CeilDiv(pct * shots, 2 * units);
            if (&hit == fighter[0])
                gain[0] += g;
            else if (&hit == fighter[1])
                gain[1] += g;
            else if (!IsNavalDomainUnit(hit))
                AddUnitExperience(hit, g);
        }
    }
    for (int k = 0; k < 2; ++k) {
        if (!fighter[k] || !InUse(*fighter[k])) continue;
        int g = gain[k];
        if (fighter[k] == attacker) g = (11 * g + 9) / 10;
        AddUnitExperience(*fighter[k], g);
    }
}

UNITSTRUCT* FindAmbushThreat(GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                             std::span<const UnitRef, kHexCount> hexUnit, UNITSTRUCT& unit, HEXINDEX hex)
{
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    if (!own || !IsMapHex(hex)) return nullptr;
    const HEXINDEX oldHex = unit.nHex;
    const MAPCELL oldCell = unit.dwHexCell;
    const uint32_t oldFlag = unit.dwFlag;
    unit.nHex = hex;
    unit.dwHexCell = cells[static_cast<size_t>(hex)];
    unit.dwFlag &= ~kUnitCarried;
    UNITSTRUCT* best = nullptr;
    int bestDamage = -1;
    uint32_t bestMask = 0;
    for (HEXINDEX nb : GetNeighbourSlots(hex)) {
        if (nb == kNoHex) continue;
        UnitRef ref = hexUnit[static_cast<size_t>(nb)];
        if (!IsUnitRef(ref)) continue;
        UNITSTRUCT& u = game.Country[RefCountry(ref)].Unit[RefSlot(ref)];
        if (!InUse(u) || &u == &unit || !(u.dwFlag & HiddenFromSideBit(own->nSide))) continue;
        if (!CanAmbush(game, unit, u)) continue;
        std::array<int, 8> values{};
        FindUsableWeapons(u, unit, game, false, 1, values, true);
        WeaponChoice how;
        how.isCpu = true;
        int mask = ChooseWeaponGroup(u, unit, values, game, how);
        if (mask <= 0) continue;
        int damage = CalcCombatDamage(u, unit, static_cast<uint32_t>(mask), values, nullptr, false);
        if (damage > bestDamage) {
            bestDamage = damage;
            best = &u;
            bestMask = static_cast<uint32_t>(mask);
        }
    }
    unit.nHex = oldHex;
    unit.dwHexCell = oldCell;
    unit.dwFlag = oldFlag;
    if (best) best->nCpuScore = static_cast<int32_t>(bestMask);
    return best;
}

int ListFireClassThreats(GAMEDATASTRUCT& game, const UNITSTRUCT& unit, uint32_t flagMask,
                         std::span<FireThreat> out)
{
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    if (!own) return 0;
    size_t n = 0;
    for (COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent) || !IsHostileSide(own->nSide, c.nSide)) continue;
        for (UNITSTRUCT& u : c.Unit) {
            if (n >= out.size()) break;
            if (!InUse(u) || (u.dwFlag & kUnitCarried)) continue;
            std::array<int, 8> values{};
            FindUsableWeapons(u, unit, game, false, 1, values, false);
            uint32_t mask = 0;
            for (int s = 0; s < kWeaponSlots; ++s) {
                const WEAPONSTRUCT* w = UnitWeapon(u, s);
                if (w && (w->dwWeaponFlag & flagMask) && values[static_cast<size_t>(s)] > 0) mask |= 1u << s;
            }
            if (!mask) continue;
            uint32_t order = static_cast<uint32_t>(GetInitiativeValue(u, mask, true, false));
            out[n++] = {&u, order << 16 | mask};
        }
    }
    std::stable_sort(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n),
                     [](const FireThreat& a, const FireThreat& b) { return a.value < b.value; });
    return static_cast<int>(n);
}

// --- a whole exchange --------------------------------------------------------------------------

namespace {

UNITSTRUCT* UnitAt(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, HEXINDEX hex)
{
    if (!IsMapHex(hex)) return nullptr;
    UnitRef ref = hexUnit[static_cast<size_t>(hex)];
    if (!IsUnitRef(ref)) return nullptr;
    UNITSTRUCT& u = game.Country[RefCountry(ref)].Unit[RefSlot(ref)];
    return InUse(u) ? &u : nullptr;
}

// One side's fire; returns the damage dealt on the target's own hex.
// Where one side's fire adds up: its own totals word, the shared picture
// words and its impact table. Any may be absent.
struct SideTotals {
    uint32_t* fire = nullptr;
    std::array<uint32_t, 7>* picture = nullptr;
    ImpactTable* impact = nullptr;
};

int FireSide(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, UNITSTRUCT& shooter,
             UNITSTRUCT& target, uint32_t mask, bool afterMoving, int usage, bool collect,
             CombatHitList& results, RuleDraws& draws, CombatHexList* hexes, const SideTotals& sums)
{
    if (!InUse(shooter) || mask == 0) return 0;
    uint32_t used = 0;
    if (Distance(game, shooter, target) <= 1 && !collect) {
        if (hexes) hexes->Append(MapHexOf(game, target));
        uint32_t word = 0;
        const int hits = FireAtUnit(shooter, target, mask, game, afterMoving, usage, results, &used, &word,
                                    nullptr, draws);
        if (sums.fire) *sums.fire += word;
        return hits;
    }
    ImpactTable localTable;
    ImpactTable& table = sums.impact ? *sums.impact : localTable;
    ScatterImpacts(shooter, target, mask, game, table, collect, draws);
    int onTarget = 0;
    bool anyUnit = false;
    const bool airTarget = IsAirTarget(target);
    for (size_t r = 0; r < table.size(); ++r) {
        ImpactRecord& rec = table[r];
        rec.copy = rec.count;
        if (!rec.mask) continue;
        if (hexes) hexes->Append(rec.hex);
        // A picture word takes the fire's totals on the target's hex when
        // there were any, else the heaviest slot's count as it landed.
        auto addPicture = [&](uint32_t fireWord) {
            if (!collect || !sums.picture) return;
            const int heaviest = *std::max_element(rec.copy.begin(), rec.copy.end());
            (*sums.picture)[r] += (r == 0 && fireWord != 0) ? fireWord : static_cast<uint32_t>(std::max(0, heaviest));
        };
        UNITSTRUCT* u = (r == 0) ? &target : UnitAt(game, hexUnit, rec.hex);
        if (!u) {
            addPicture(0);
            continue;
        }
        anyUnit = true;
        if ((r > 0 && IsNavalDomainUnit(*u)) || (airTarget && !IsAirTarget(*u))) rec.count.fill(0);
        // A round is spent once per side's fire, not once per hex: a slot
        // emptied by an earlier hex fires here too and ends at 0 again.
        for (int s = 0; s < kWeaponSlots; ++s) {
            uint32_t bit = 1u << s;
            if ((used & bit) && shooter.nAmmo[s] == 0) {
                shooter.nAmmo[s] = 1;
                used &= ~bit;
            }
        }
        uint32_t word = 0;
        int hits = FireAtUnit(shooter, *u, rec.mask, game, afterMoving, usage, results, &used, &word,
                              &rec.count, draws);
        addPicture(word);
        if (r == 0) {
            onTarget = hits;
            if (!collect && sums.fire) *sums.fire += word;
        }
    }
    if (!anyUnit) {
        for (int s = 0; s < kWeaponSlots; ++s) {
            if ((mask & (1u << s)) && shooter.nAmmo[s] > 0) --shooter.nAmmo[s];
        }
    }
    return onTarget;
}

}  // namespace

int ResolveCombat(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, UNITSTRUCT& attacker,
                  UNITSTRUCT& defender, uint32_t attackerMask, uint32_t defenderMask, bool swap, bool collect,
                  CombatHitList& results, RuleDraws& draws, CombatHexList* hexes, CombatTotals* totals)
{
    if (!InUse(attacker)) return static_cast<int>(0x80000000u);
    SideTotals attackerSums, defenderSums;
    if (totals) {
        totals->impact = {};
        attackerSums = {&totals->attacker, &totals->picture, &totals->impact[0]};
        defenderSums = {&totals->defender, &totals->picture, &totals->impact[1]};
    }
    const bool moved = (attacker.dwFlag & kUnitMoved) != 0;
    const bool attackerAfter = swap ? false : moved;
    const bool defenderAfter = swap ? moved : false;
    const int attackerUsage = swap ? 1 : 0;
    const int defenderUsage = swap ? 0 : 1;
    const int a = GetInitiativeValue(attacker, attackerMask, IsAirTarget(defender), attackerAfter) +
                  GetHeightPenalty(attacker, defender, true, game);
    const int b = GetInitiativeValue(defender, defenderMask, IsAirTarget(attacker), defenderAfter);
    const int d = a - b;
    auto endRun = [&] {
        results.EndRun();
        if (hexes) hexes->EndRun();
    };
    auto fireWeakened = [&](UNITSTRUCT& shooter, UNITSTRUCT& target, uint32_t mask, bool after, int usage,
                            int taken, const SideTotals& sums) {
        if (mask == 0 || shooter.nStrength <= taken) return 0;
        const int strength = shooter.nStrength;
        shooter.nStrength -= taken;  // fires with what is left, restored after
        int dealt =
            FireSide(game, hexUnit, shooter, target, mask, after, usage, collect, results, draws, hexes, sums);
        shooter.nStrength = strength;
        return dealt;
    };
    if (d == 0) {
        FireSide(game, hexUnit, attacker, defender, attackerMask, attackerAfter, attackerUsage, collect,
                 results, draws, hexes, attackerSums);
        endRun();
        if (defenderMask)
            FireSide(game, hexUnit, defender, attacker, defenderMask, defenderAfter, defenderUsage, collect,
                     results, draws, hexes, defenderSums);
        endRun();
    } else if (d > 0) {
        int taken = FireSide(game, hexUnit, attacker, defender, attackerMask, attackerAfter, attackerUsage,
                             collect, results, draws, hexes, attackerSums);
        endRun();
        fireWeakened(defender, attacker, defenderMask, defenderAfter, defenderUsage, taken, defenderSums);
        endRun();
    } else {
        int taken = defenderMask ? FireSide(game, hexUnit, defender, attacker, defenderMask, defenderAfter,
                                            defenderUsage, collect, results, draws, hexes, defenderSums)
                                 : 0;
        endRun();
        fireWeakened(attacker, defender, attackerMask, attackerAfter, attackerUsage, taken, attackerSums);
        endRun();
    }
    return d;
}

uint32_t ApplyCombatDamage(GAMEDATASTRUCT& game, std::span<const COMBATHITSTRUCT> results, bool firstRunOnly,
                           CombatHooks& hooks)
{
    uint32_t lost = 0;
    int runs = 0;
    for (size_t pos = 0; pos < results.size(); ++pos) {
        const COMBATHITSTRUCT& e = results[pos];
        if (!e.pUnit) {
            if (++runs == (firstRunOnly ? 1 : 2)) break;
            continue;
        }
        UNITSTRUCT& u = *e.pUnit;
        if (!InUse(u)) continue;
        u.nStrength -= e.nDamage;
        if (u.nStrength > 0) {
            if (e.nDamage > 0) {
                // Cargo cannot be stronger than what is left of its carrier.
                std::span<UNITSTRUCT> units = UnitArrayOf(game, u);
                std::array<UNITSTRUCT*, kUnitSlots + 1> list{};
                int n = ListUnitAndCargo(units, u, list);
                for (int k = 1; k < n; ++k) {
                    UNITSTRUCT& cargo = *list[static_cast<size_t>(k)];
                    const UNITSTRUCT* carrier = GetCarrier(std::span<const UNITSTRUCT>(units), cargo);
                    const ARMSSTRUCT* ca = carrier ? UnitArms(*carrier) : nullptr;
                    const ARMSSTRUCT* oa = UnitArms(cargo);
                    if (!carrier || !ca || !oa) continue;
                    int limit = CountedInPieces(*ca) ? std::max(1, oa->nStrengthMax * carrier->nStrength /
                                                                       std::max(1, ca->nStrengthMax))
                                                     : carrier->nStrength;
                    if (cargo.nStrength > limit) {
                        int cut = cargo.nStrength - limit;
                        cargo.nStrength = limit;
                        cargo.dwTally1 =
                            (cargo.dwTally1 & 0xFFFF0000u) |
                            static_cast<uint32_t>(std::min(kMaxLossTally, LowHalf(cargo.dwTally1) + cut));
                        hooks.UnitDamaged(cargo);
                    }
                }
            }
            hooks.UnitDamaged(u);
        } else {
            lost |= 1u << (RefCountry(u.refSelf) & 7);
            hooks.UnitDestroyed(u);
        }
    }
    return lost;
}

uint32_t ChooseReturnFire(GAMEDATASTRUCT& game, UNITSTRUCT& defender, UNITSTRUCT& attacker, CombatHooks& hooks)
{
    // A computer-run country whose level forbids it never answers.
    const COUNTRYSTRUCT* dc = UnitCountry(game, defender);
    if (dc && (dc->dwFlag & kCountryCpuBit) && (dc->nLevel & kLevelNoReturnFire)) return 0;
    int answer = ChooseCounterWeapons(game, defender, attacker);
    if (defender.dwFlag & kUnitFiredAa) answer = 0;
    if (answer < 0) answer = hooks.AskReturnFire(defender, attacker);
    return static_cast<uint32_t>(std::max(0, answer));
}

ExchangeOutcome RunCombatExchange(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                  UNITSTRUCT& attacker, UNITSTRUCT& defender, const ExchangeArgs& args,
                                  RuleDraws& draws, CombatHooks& hooks)
{
    ExchangeOutcome out;
    if (!InUse(attacker) || !InUse(defender)) return out;
    // Each side now knows the other's type.
    const uint32_t date = DateOnly(game.dwDateTime);
    for (auto [seer, seen] : {std::pair{&attacker, &defender}, std::pair{&defender, &attacker}}) {
        COUNTRYSTRUCT* c = const_cast<COUNTRYSTRUCT*>(UnitCountry(game, *seer));
        if (c && seen->nArms > 0 && seen->nArms < kArmsCount) {
            uint32_t& w = c->dwArmsAvail[seen->nArms];
            if (!(w & kArmsSeen)) w = (w & 0xFF000000u) | kArmsSeen | date;
        }
    }
    out.defenderMask = args.defenderMask;

    std::array<COMBATHITSTRUCT, 2 * 8> buffer{};
    CombatHitList results(buffer);
    // Each side names its target's hex and the seven impact records: at most
    // eight hexes and the end mark a run.
    std::array<HEXINDEX, 2 * 9> hexBuffer{};
    CombatHexList hexes(hexBuffer);
    const int formerAttacker = attacker.nStrength;
    const int formerDefender = defender.nStrength;
    CombatTotals totals;
    out.order = ResolveCombat(game, hexUnit, attacker, defender, args.attackerMask, args.defenderMask,
                              args.reaction, args.collect, results, draws, &hexes, &totals);
    std::span<const COMBATHITSTRUCT> runs = results.Written();
    std::span<const HEXINDEX> firing = hexes.Written();
    // A scene shows the whole exchange at once; the damage steps then run
    // without their own animation.
    const bool scene = args.collect ? args.scene : hooks.WantsBattleScene(attacker, defender);
    if (scene) {
        CombatScene whole{attacker, defender, args.attackerMask, args.defenderMask, out.order, runs, firing,
                          &totals};
        whole.collect = args.collect;
        hooks.ShowBattleScene(whole);
        if (hooks.SceneStopped()) {
            out.stopped = true;
            return out;
        }
    }
    // A negative order value: the defender fired first, and the roles swap
    // for the display and the damage.
    const bool swapped = out.order < 0;
    UNITSTRUCT* first = swapped ? &defender : &attacker;
    UNITSTRUCT* second = swapped ? &attacker : &defender;
    const uint32_t firstMask = swapped ? args.defenderMask : args.attackerMask;
    const uint32_t secondMask = swapped ? args.attackerMask : args.defenderMask;
    const int firstFormer = swapped ? formerDefender : formerAttacker;
    const int secondFormer = swapped ? formerAttacker : formerDefender;
    size_t split = 0;
    while (split < runs.size() && runs[split].pUnit) ++split;
    std::span<const COMBATHITSTRUCT> firstRun = runs.first(std::min(runs.size(), split + 1));
    std::span<const COMBATHITSTRUCT> secondRun = runs.subspan(firstRun.size());
    size_t hexSplit = 0;
    while (hexSplit < firing.size() && firing[hexSplit] >= 0) ++hexSplit;
    std::span<const HEXINDEX> secondHexes = firing.subspan(std::min(firing.size(), hexSplit + 1));
    auto animate = [&](const CombatStep& step) { return scene || hooks.AnimateStep(step); };
    auto endAction = [&] {
        if (!args.keepAction && InUse(attacker)) hooks.EndAttackerAction(attacker);
    };
    if (out.order == 0) {
        if (!animate({*first, *second, firstMask, secondMask, 0, runs, firing})) {
            out.stopped = true;
            return out;
        }
        out.lostCountries = ApplyCombatDamage(game, runs, false, hooks);
        endAction();
        hooks.AfterDamageStep(true);
    } else {
        if (!animate({*first, *second, firstMask, secondMask, out.order, firstRun, firing})) {
            out.stopped = true;
            return out;
        }
        out.lostCountries = ApplyCombatDamage(game, firstRun, true, hooks);
        hooks.AfterDamageStep(false);
        if (!animate({*second, *first, secondMask, firstMask, out.order, secondRun, secondHexes})) {
            out.stopped = true;
            return out;
        }
        out.lostCountries |= ApplyCombatDamage(game, secondRun, true, hooks);
        endAction();
        hooks.AfterDamageStep(true);
    }
    AddCombatExperience(game, args.actor ? args.actor : &attacker, first, firstFormer, second, secondFormer,
                        runs);
    return out;
}

ExchangeOutcome RunCombatExchange(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                  UNITSTRUCT& attacker, UNITSTRUCT& defender, uint32_t attackerMask,
                                  RuleDraws& draws, CombatHooks& hooks)
{
    if (!InUse(attacker) || !InUse(defender)) return {};
    ExchangeArgs args;
    args.attackerMask = attackerMask;
    args.defenderMask = ChooseReturnFire(game, defender, attacker, hooks);
    args.keepAction = true;
    return RunCombatExchange(game, hexUnit, attacker, defender, args, draws, hooks);
}

}  // namespace zrv
