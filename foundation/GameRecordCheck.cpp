#include "foundation/GameRecordCheck.h"

#include <algorithm>

#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

bool Fail(std::string* why, std::string text)
{
    if (why) *why = std::move(text);
    return false;
}

bool InRange(long long v, long long lo, long long hi)
{
    return v >= lo && v <= hi;
}

// A hex field that may also say "none" with a negative value.
bool HexOrNone(HEXINDEX hex)
{
    return hex < kHexCount;
}

bool RefOrNone(UnitRef ref)
{
    return ref == kNoUnit || IsUnitRef(ref);
}

}  // namespace

RecordLimits RecordLimits::FromLib()
{
    RecordLimits limits;
    limits.maxUnit = std::clamp(Lib().g_nMaxUnit, 0, kArmsCount);
    limits.maxScenario = std::max(Lib().g_nMaxScnr, 0);
    return limits;
}

bool IsMapRectSound(const MapRect& r)
{
    return InRange(r.left, 0, kMapSize - 1) && InRange(r.right, r.left, kMapSize - 1) &&
           InRange(r.top, 0, kMapSize - 1) && InRange(r.bottom, r.top, kMapSize - 1);
}

bool IsMapCellSound(MAPCELL cell)
{
    return CellTerrain(cell) <= kCostTerrainLimit && CellOwner(cell) < kCountryCount;
}

bool CheckScenarioHeader(const SCNRHEADSTRUCT& head, const RecordLimits& limits, std::string* why)
{
    if (limits.rainAreas >= 0 && RainArea(head.dwArea) >= limits.rainAreas) {
        return Fail(why, platform::FormatText("rain area %d", {RainArea(head.dwArea)}));
    }
    if (limits.climateAreas >= 0 && ClimateArea(head.dwArea) >= limits.climateAreas) {
        return Fail(why, platform::FormatText("climate area %d", {ClimateArea(head.dwArea)}));
    }
    return true;
}

bool CheckUnit(const UNITSTRUCT& u, const RecordLimits& limits, std::string* why)
{
    // A slot that is not in use is ignored by every loop, whatever it holds.
    if ((u.dwFlag & kUnitInUse) == 0) return true;
    if (!InRange(u.nArms, 0, limits.maxUnit - 1))
        return Fail(why, platform::FormatText("unit type %d", {u.nArms}));
    if (!HexOrNone(u.nHex)) return Fail(why, platform::FormatText("unit hex %d", {u.nHex}));
    if (!HexOrNone(u.nMarchHex)) return Fail(why, platform::FormatText("march hex %d", {u.nMarchHex}));
    if (!HexOrNone(u.nCpuTarget)) return Fail(why, platform::FormatText("target hex %d", {u.nCpuTarget}));
    if (!InRange(u.nMode, 0, 5)) return Fail(why, platform::FormatText("armament set %d", {u.nMode}));
    if (CargoCount(u.dwCargo) > kUnitSlots) {
        return Fail(why, platform::FormatText("cargo count %d", {CargoCount(u.dwCargo)}));
    }
    if (CargoCarrier(u.dwCargo) != kNoCarrier && CargoCarrier(u.dwCargo) >= kUnitSlots) {
        return Fail(why, platform::FormatText("carrier slot %d", {CargoCarrier(u.dwCargo)}));
    }
    if (!RefOrNone(u.refSelf)) return Fail(why, platform::FormatText("own reference %x", {u.refSelf}));
    if (!RefOrNone(u.refTarget)) return Fail(why, platform::FormatText("target reference %x", {u.refTarget}));
    return true;
}

bool CheckCountryScenarioPart(const COUNTRYSTRUCT& c, const RecordLimits& limits, std::string* why)
{
    // Everything in a record without the present flag is ignored.
    if ((c.dwFlag & kCountryPresent) == 0) return true;
    if (!InRange(c.nUnit, 0, kUnitSlots)) return Fail(why, platform::FormatText("unit count %d", {c.nUnit}));
    if (!InRange(c.nDisplay, 0, kDisplayCount - 1)) {
        return Fail(why, platform::FormatText("display index %d", {c.nDisplay}));
    }
    if (!InRange(c.nCountryId, 0, kCountryIdCount - 1)) {
        return Fail(why, platform::FormatText("country id %d", {c.nCountryId}));
    }
    if (!InRange(c.nCapital, -1, kHexCount - 1))
        return Fail(why, platform::FormatText("capital %d", {c.nCapital}));
    if (!InRange(c.nSide, 0, 2)) return Fail(why, platform::FormatText("side %d", {c.nSide}));
    // The new side is taken over when the change turn comes.
    if (c.nSideChange > 0 && !InRange(c.nNewSide, 0, 2)) {
        return Fail(why, platform::FormatText("new side %d", {c.nNewSide}));
    }
    for (int slot = 0; slot < kUnitSlots; ++slot) {
        std::string unitWhy;
        if (!CheckUnit(c.Unit[slot], limits, &unitWhy)) {
            return Fail(why, platform::FormatText("slot %d: %s", {slot, unitWhy}));
        }
    }
    return true;
}

bool CheckCountry(const COUNTRYSTRUCT& c, const RecordLimits& limits, std::string* why)
{
    if ((c.dwFlag & kCountryPresent) == 0) return true;
    if (!CheckCountryScenarioPart(c, limits, why)) return false;
    // Development lists hold unit types, bit 31 marking retired or listed
    // entries; -1 is an empty place.
    for (int cls = 0; cls < kClassCount; ++cls) {
        for (uint32_t w : c.dwClassList[cls]) {
            if (w != 0xFFFFFFFFu && (w & 0x7FFFFFFFu) >= static_cast<uint32_t>(limits.maxUnit)) {
                return Fail(why, platform::FormatText("class %d lists type %x", {cls, w}));
            }
        }
    }
    return true;
}

bool CheckGameData(const GAMEDATASTRUCT& d, const RecordLimits& limits, std::string* why)
{
    if (!InRange(d.nCurCountry, -1, kCountryCount - 1)) {
        return Fail(why, platform::FormatText("current country %d", {d.nCurCountry}));
    }
    if (!InRange(d.nScenario, -1, limits.maxScenario - 1)) {
        return Fail(why, platform::FormatText("scenario %d", {d.nScenario}));
    }
    if (!InRange(d.nHistory, 0, kHistoryCount))
        return Fail(why, platform::FormatText("history %d", {d.nHistory}));
    if (!CheckScenarioHeader(d.Head, limits, why)) return false;
    for (int i = 0; i < kCountryCount; ++i) {
        std::string countryWhy;
        if (!CheckCountry(d.Country[i], limits, &countryWhy)) {
            return Fail(why, platform::FormatText("country %d: %s", {i, countryWhy}));
        }
    }
    for (int i = 0; i < kCarryUnitCount; ++i) {
        std::string unitWhy;
        if (!CheckUnit(d.CarryUnit[i], limits, &unitWhy)) {
            return Fail(why, platform::FormatText("carry-over %d: %s", {i, unitWhy}));
        }
    }
    for (int hex = 0; hex < kHexCount; ++hex) {
        if (!IsMapCellSound(d.dwHexCell[hex])) {
            return Fail(why, platform::FormatText("map cell %d: %x", {hex, d.dwHexCell[hex]}));
        }
    }
    if (!IsMapRectSound(d.rcMapArea)) return Fail(why, "map area");
    return true;
}

bool CheckCampaign(const CAMPAIGNSTRUCT& r, const RecordLimits& limits, std::string* why)
{
    if (!InRange(r.nHistory, 0, kHistoryCount))
        return Fail(why, platform::FormatText("history %d", {r.nHistory}));
    if (!InRange(r.nNextScenario, -1, limits.maxScenario - 1)) {
        return Fail(why, platform::FormatText("next scenario %d", {r.nNextScenario}));
    }
    if (!InRange(r.nLastScenario, -1, limits.maxScenario - 1)) {
        return Fail(why, platform::FormatText("last scenario %d", {r.nLastScenario}));
    }
    for (uint8_t id : r.byCountryId) {
        if (id != 0xFF && id >= kCountryIdCount)
            return Fail(why, platform::FormatText("country id %d", {id}));
    }
    std::string countryWhy;
    if (!CheckCountry(r.Player, limits, &countryWhy)) return Fail(why, "player: " + countryWhy);
    for (int i = 0; i < kCarryUnitCount; ++i) {
        std::string unitWhy;
        if (!CheckUnit(r.CarryUnit[i], limits, &unitWhy)) {
            return Fail(why, platform::FormatText("carry-over %d: %s", {i, unitWhy}));
        }
    }
    return true;
}

}  // namespace zrv
