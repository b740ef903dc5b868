#pragma once
// Stand-in for the library tables this work reads until they are merged;
// removed then.
#include <cstdint>
#include <span>
namespace zrv {
struct TRRNSTRUCT {
    uint32_t dwTrrnFlag;
    uint32_t dwBaseField;
    int32_t nDurableMax;
    int32_t nDurableRate;
    int32_t nCover;
    int32_t nBuiltForm;
    int32_t nRuinForm;
    int32_t nRainLimit;
    int32_t rest[6];
};
struct LibShimTables {
    std::span<const TRRNSTRUCT> TerrainBase;
    std::span<const TRRNSTRUCT> RoadBase;
    std::span<const char* const> MsgWeatherNext;
};
inline LibShimTables& LibShim()
{
    static LibShimTables t;
    return t;
}
}  // namespace zrv
