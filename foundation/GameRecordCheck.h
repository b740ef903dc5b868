#pragma once
// The check every game-state body gets after it has been read from a file or
// taken from the shared block: each count, index and hex that later code uses
// to reach into an array must lie inside it. The rules trust these records
// everywhere, so a body that fails is refused whole rather than repaired.

#include <string>

#include "foundation/GameRecords.h"

namespace zrv {

// The bounds that depend on the data library.
struct RecordLimits {
    int maxUnit = 0;      // unit types 0 .. maxUnit - 1 (at most kArmsCount)
    int maxScenario = 0;  // scenarios 0 .. maxScenario - 1
    // Climate and rain areas of the scenario header's area word; -1 leaves
    // that half unchecked (the library gives no count for it).
    int climateAreas = -1;
    int rainAreas = -1;

    // The bounds of the data library in use (Lib()).
    static RecordLimits FromLib();
};

// Each returns true when the record is sound; otherwise false, with a short
// reason in *why when given.
bool CheckScenarioHeader(const SCNRHEADSTRUCT& head, const RecordLimits& limits, std::string* why = nullptr);
// The part of a country record that a scenario file supplies (units included).
bool CheckCountryScenarioPart(const COUNTRYSTRUCT& country, const RecordLimits& limits,
                              std::string* why = nullptr);
// The whole record: the scenario part and the development lists.
bool CheckCountry(const COUNTRYSTRUCT& country, const RecordLimits& limits, std::string* why = nullptr);
bool CheckUnit(const UNITSTRUCT& unit, const RecordLimits& limits, std::string* why = nullptr);
bool CheckGameData(const GAMEDATASTRUCT& data, const RecordLimits& limits, std::string* why = nullptr);
bool CheckCampaign(const CAMPAIGNSTRUCT& record, const RecordLimits& limits, std::string* why = nullptr);
// 0 <= left <= right <= 127 and 0 <= top <= bottom <= 127.
bool IsMapRectSound(const MapRect& rect);
// Terrain inside the cost tables, owner a country or none.
bool IsMapCellSound(MAPCELL cell);

}  // namespace zrv
