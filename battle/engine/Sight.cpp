#include "battle/engine/Sight.h"

#include <algorithm>
#include <vector>

#include "battle/engine/HexGeometry.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

// A filled-radius hex list sized for the radius asked, not for a fixed
// largest range: ranges come from library data.
class RangeList {
public:
    std::span<const HEXINDEX> Around(HEXINDEX center, int radius)
    {
        radius = std::clamp(radius, 0, kMaxSensorRange);
        m_hexes.resize(static_cast<size_t>(GetHexCountInRadius(radius)) + 1);
        int n = GetHexesInRange(center, radius, m_hexes);
        return std::span<const HEXINDEX>(m_hexes.data(), static_cast<size_t>(n));
    }

private:
    std::vector<HEXINDEX> m_hexes;
};

int SensorRange(int value)
{
    return std::clamp(value, 0, kMaxSensorRange);
}

bool IsPresent(const COUNTRYSTRUCT& c)
{
    return (c.dwFlag & kCountryPresent) != 0;
}

bool IsOnMapUnit(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) && !(u.dwFlag & kUnitCarried) && IsMapHex(u.nHex);
}

// Does country c feed side s's sensors? Side 2 sees with everybody's eyes.
bool Contributes(const COUNTRYSTRUCT& c, int s)
{
    return IsPresent(c) && (s > 1 || c.nSide > 1 || c.nSide == s);
}

bool HasFog(const COUNTRYSTRUCT& c)
{
    return (c.dwFlag & 0x00010000u) != 0;
}

}  // namespace

int GetSightRange(const UNITSTRUCT& unit, int weatherEffect)
{
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    if (!a) return 0;
    int range = SensorRange(a->nSight);
    bool halve = false;
    const int cls = WeatherClass(weatherEffect);
    if (cls != 0) {
        const bool inWater = (unit.dwFlag & kUnitInWater) != 0;
        const bool naval = a->nDomain == kDomainShip || a->nDomain == kDomainSubmarine;
        if (a->nDomain == kDomainAir) {
            range = 1;
        } else if (cls == 3) {
            if (inWater || naval)
                range = 1;
            else
                halve = true;
        } else if (cls == 5 || cls == 4) {
            // A sandstorm blinds ground and other units alike.
            range = 1;
        }
    }
    const int light = WeatherLight(weatherEffect);
    if (light != 0) {
        if (!IsNightCapable(*a)) {
            if (light == 2)
                range = 1;
            else if (light == 1)
                halve = true;
        } else if (light == 2) {
            halve = true;
        }
    }
    // Storm and dusk together still halve only once.
    return halve ? (range + 1) / 2 : range;
}

void BuildSideCoverage(int side, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                       HexWords coverage)
{
    const int s = SideSlot(side);
    const uint32_t all = CoverAllBits(s);
    for (uint32_t& w : coverage) w |= all;

    const int effect = GetWeatherEffect(state);
    const int cls = WeatherClass(effect);
    RangeList list;
    for (int c = 0; c < kCountryCount; ++c) {
        const COUNTRYSTRUCT& country = state.Country[c];
        if (!Contributes(country, s)) continue;
        for (const UNITSTRUCT& u : country.Unit) {
            if (!IsOnMapUnit(u)) continue;
            const ARMSSTRUCT* a = ArmsRecord(u.nArms);
            if (!a) continue;
            const HEXINDEX p = u.nHex;
            for (HEXINDEX h : list.Around(p, GetSightRange(u, effect))) {
                coverage[h] &= ~CoverSightBit(s);
                if (GetHexDistance(h, p) <= 1) coverage[h] &= ~CoverCloseBit(s);
            }
            if (cls != 4 && a->wRadar > 0) {
                for (HEXINDEX h : list.Around(p, a->wRadar)) coverage[h] &= ~CoverRadarBit(s);
            }
            if (cls != 3 && a->wSonar > 0) {
                for (HEXINDEX h : list.Around(p, a->wSonar)) coverage[h] &= ~CoverSonarBit(s);
            }
        }
    }

    // Own territory: the owner sees its hexes and their neighbours.
    bool owners[16] = {};
    for (int c = 0; c < kCountryCount; ++c) owners[c] = Contributes(state.Country[c], s);
    const uint32_t clear = CoverSightBit(s) | CoverCloseBit(s);
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const MAPCELL cell = cells[h];
        if (cell & kCellClosedAll) continue;
        const int owner = CellOwner(cell);
        if (owner < 0 || !owners[owner]) continue;
        coverage[h] &= ~clear;
        for (HEXINDEX n : GetNeighbourSlots(h)) {
            if (n != kNoHex) coverage[n] &= ~clear;
        }
    }
}

void UpdateUnitDetection(UNITSTRUCT& unit, int side, ConstHexWords coverage)
{
    if (!IsMapHex(unit.nHex)) return;
    const int s = SideSlot(side);
    const uint32_t w = coverage[unit.nHex];
    const bool sight = !(w & CoverSightBit(s));
    const bool radar = !(w & CoverRadarBit(s));
    const bool sonar = !(w & CoverSonarBit(s));
    const bool close = !(w & CoverCloseBit(s));
    const bool inWater = (unit.dwFlag & kUnitInWater) != 0;
    const int domain = GetUnitDomain(unit);

    unit.dwFlag &= ~(HiddenFromSideBit(s) | SensedBySideBit(s));
    if (!sight && !radar && !sonar) {
        unit.dwFlag |= HiddenFromSideBit(s);
    } else if (sight) {
        if (inWater && !close) unit.dwFlag |= sonar ? SensedBySideBit(s) : HiddenFromSideBit(s);
    } else {
        bool sensed = (domain == kDomainAir && radar) || (domain == kDomainShip && (radar || sonar)) ||
                      (inWater && sonar);
        unit.dwFlag |= sensed ? SensedBySideBit(s) : HiddenFromSideBit(s);
    }
}

void MarkFogCells(int viewCountry, const GAMEDATASTRUCT& state, HexCells cells, ConstHexWords coverage)
{
    uint32_t fogMask = 0;
    if (viewCountry >= 0 && viewCountry < kCountryCount && HasFog(state.Country[viewCountry])) {
        const COUNTRYSTRUCT& c = state.Country[viewCountry];
        const int s = SideSlot(c.nSide);
        switch (c.nSearchMode) {
            case 1:
                fogMask = CoverSightBit(s) | CoverRadarBit(s);
                break;
            case 2:
                fogMask = CoverSightBit(s) | CoverSonarBit(s);
                break;
            default:
                fogMask = CoverSightBit(s);
                break;
        }
    }
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        // Mode 1 and 2: fogged only where none of the chosen sensors reach.
        const bool fog = fogMask != 0 && (coverage[h] & fogMask) == fogMask;
        cells[h] = WithFog(cells[h], fog);
    }
}

void RecomputeCoverage(int viewCountry, GAMEDATASTRUCT& state, HexCells cells, HexWords coverage)
{
    std::fill(coverage.begin(), coverage.end(), 0u);
    const bool fog = viewCountry >= 0 && viewCountry < kCountryCount && HasFog(state.Country[viewCountry]);
    if (fog) {
        for (int s = 0; s < 3; ++s) {
            BuildSideCoverage(s, state, cells, coverage);
            for (COUNTRYSTRUCT& c : state.Country) {
                if (!IsPresent(c)) continue;
                const bool ownSide = SideSlot(c.nSide) == s;
                for (UNITSTRUCT& u : c.Unit) {
                    if (!(u.dwFlag & kUnitInUse)) continue;
                    if (ownSide)
                        u.dwFlag &= ~(HiddenFromSideBit(s) | SensedBySideBit(s));
                    else if (!(u.dwFlag & kUnitCarried))
                        UpdateUnitDetection(u, s, coverage);
                }
            }
        }
    } else {
        for (COUNTRYSTRUCT& c : state.Country) {
            if (!IsPresent(c)) continue;
            for (UNITSTRUCT& u : c.Unit) u.dwFlag &= ~kUnitMarkMask;
        }
    }
    MarkFogCells(viewCountry, state, cells, coverage);
}

uint32_t SearchFromUnitPath(UNITSTRUCT& unit, GAMEDATASTRUCT& state, HexCells cells, HexUnits unitMap,
                            HexWords coverage, std::span<const HEXINDEX> path, bool bUpdateCells)
{
    size_t pathLength = 0;
    while (pathLength < path.size() && path[pathLength] != kNoHex) ++pathLength;
    path = path.first(pathLength);

    const int country = UnitCountryIndex(unit);
    const bool fog = country >= 0 && HasFog(state.Country[country]);
    if (!fog && path.empty()) return 0;

    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    const int s = UnitSideSlot(state, unit);
    const int mode = country >= 0 ? state.Country[country].nSearchMode : 0;
    const int effect = GetWeatherEffect(state);
    const int cls = WeatherClass(effect);
    const int sight = GetSightRange(unit, effect);
    const int radar = (a && cls != 4) ? SensorRange(a->wRadar) : 0;
    const int sonar = (a && cls != 3) ? SensorRange(a->wSonar) : 0;
    uint32_t result = 0;

    if (unit.dwOrder & kOrderClearOwnFog) {
        unit.dwOrder &= ~kOrderClearOwnFog;
        if (IsMapHex(unit.nHex)) cells[unit.nHex] = WithFog(cells[unit.nHex], false);
    }

    auto unitOn = [&](HEXINDEX h) -> UNITSTRUCT* { return UnitAt(state, unitMap[h]); };

    RangeList list;
    for (HEXINDEX p : path) {
        if (!IsMapHex(p)) continue;
        for (HEXINDEX h : list.Around(p, sight)) {
            if (coverage[h] & CoverSightBit(s)) {
                result |= kSearchFoundGround;
                coverage[h] &= ~CoverSightBit(s);
                if (bUpdateCells) cells[h] = WithFog(cells[h], false);
            }
            if (GetHexDistance(h, p) <= 1) coverage[h] &= ~CoverCloseBit(s);
            UNITSTRUCT* other = unitOn(h);
            if (!other || !(other->dwFlag & (HiddenFromSideBit(s) | SensedBySideBit(s)))) continue;
            // A unit under water shows itself only at close range.
            if ((other->dwFlag & kUnitInWater) && (coverage[h] & CoverCloseBit(s))) continue;
            other->dwFlag &= ~(HiddenFromSideBit(s) | SensedBySideBit(s));
            result |= kSearchFoundUnit;
        }
    }

    if (radar > 0) {
        for (HEXINDEX p : path) {
            if (!IsMapHex(p)) continue;
            for (HEXINDEX h : list.Around(p, radar)) {
                const uint32_t w = coverage[h];
                if ((w & CoverSightBit(s)) && (w & CoverRadarBit(s))) result |= kSearchFoundGround;
                if (!(w & CoverRadarBit(s))) continue;
                coverage[h] &= ~CoverRadarBit(s);
                if (mode == 1 && bUpdateCells) cells[h] = WithFog(cells[h], false);
                UNITSTRUCT* other = unitOn(h);
                if (!other || !(other->dwFlag & HiddenFromSideBit(s)) || (other->dwFlag & kUnitInWater)) continue;
                const int d = GetUnitDomain(*other);
                if (d != kDomainAir && d != kDomainShip) continue;
                other->dwFlag = (other->dwFlag & ~HiddenFromSideBit(s)) | SensedBySideBit(s);
                result |= kSearchFoundUnit;
            }
        }
    }

    if (sonar > 0) {
        for (HEXINDEX p : path) {
            if (!IsMapHex(p)) continue;
            for (HEXINDEX h : list.Around(p, sonar)) {
                const uint32_t w = coverage[h];
                if ((w & CoverSightBit(s)) && (w & CoverSonarBit(s))) result |= kSearchFoundGround;
                if (!(w & CoverSonarBit(s))) continue;
                coverage[h] &= ~CoverSonarBit(s);
                if (mode == 2 && bUpdateCells) cells[h] = WithFog(cells[h], false);
                UNITSTRUCT* other = unitOn(h);
                if (!other || !(other->dwFlag & HiddenFromSideBit(s))) continue;
                const int d = GetUnitDomain(*other);
                if (d != kDomainShip && d != kDomainSubmarine) continue;
                other->dwFlag = (other->dwFlag & ~HiddenFromSideBit(s)) | SensedBySideBit(s);
                result |= kSearchFoundUnit;
            }
        }
    }

    for (int side = 0; side < 3; ++side) UpdateUnitDetection(unit, side, coverage);
    return result;
}

int IsUnitPerceived(const UNITSTRUCT& unit, uint32_t w, int side)
{
    const int s = SideSlot(side);
    const bool sight = !(w & CoverSightBit(s));
    const bool radar = !(w & CoverRadarBit(s));
    const bool sonar = !(w & CoverSonarBit(s));
    const bool close = !(w & CoverCloseBit(s));
    const bool inWater = (unit.dwFlag & kUnitInWater) != 0;
    if (!sight && !radar && !sonar) return 0;
    if (!sight) {
        const int d = GetUnitDomain(unit);
        if (IsGroundDomain(d)) return 0;
        if (d == kDomainShip || inWater) return (radar || sonar) ? 1 : 0;
        return (d == kDomainAir && radar) ? 1 : 0;
    }
    if (!inWater) return 1;
    return (close && sonar) ? 1 : 0;
}

int CountVisibleEnemies(HEXINDEX hex, int range, int country, const GAMEDATASTRUCT& state)
{
    if (country < 0 || country >= kCountryCount || !IsMapHex(hex)) return 0;
    const COUNTRYSTRUCT& own = state.Country[country];
    const int enemySide = own.nSide ^ 1;
    const int s = SideSlot(own.nSide);
    int count = 0;
    for (const COUNTRYSTRUCT& c : state.Country) {
        if (!IsPresent(c) || c.nSide != enemySide) continue;
        for (const UNITSTRUCT& u : c.Unit) {
            if (!IsOnMapUnit(u) || (u.dwFlag & HiddenFromSideBit(s))) continue;
            if (GetHexDistance(u.nHex, hex) <= range) ++count;
        }
    }
    return count;
}

}  // namespace zrv
