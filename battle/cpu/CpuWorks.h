#pragma once
// The computer's builders: the hex where a unit raises defences or repairs,
// the hex a unit makes room to, and the construction routine itself.

#include <cstdint>
#include <span>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Computer-player word bit 12: asked to make room, the unit stays put.
inline constexpr uint32_t kCpuUnitKeepsSite = 0x00001000u;
// Claim map bit 29: no work site, or a site a builder heads for.
inline constexpr uint32_t kClaimWorkSite = 0x20000000u;
// Work site values.
inline constexpr uint32_t kSiteRoad = 0x1000u;
inline constexpr uint32_t kSiteFortress = 0x2000u;
inline constexpr uint32_t kSiteFarRoad = 0x4000u;
inline constexpr uint32_t kSiteFarFortress = 0x8000u;
inline constexpr int32_t kSiteHeldByOwnUnit = INT32_MIN;  // bit 31 of the answer

// The site in the unit's reach (its reach map in the document) where it
// builds durability or repairs, the lowest valued first: the route cost,
// beyond the movement points 2048 + a distance. With take, the site (bit 31
// when an own unit still free to act holds it); without, the capital when
// there is no site and it is 4 or more hexes off; -1 otherwise.
int32_t CpuFindWorkSite(CZRKGameDoc& doc, const UNITSTRUCT& unit, bool take, int limit, bool road,
                        bool noFortress);
// Among the hexes the unit reaches this turn off the objective area, the
// one nearest the nearest enemy capital (the unit's own hex without one),
// the cheaper on a tie; -1 when it reaches nothing.
HEXINDEX CpuFindRelocationHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit);
// The unit makes room: it moves to its relocation hex, or a ground unit on
// city or fortress terrain that cannot is disbanded. 1, 0 or -1.
int CpuSwapOut(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit);
// Builders raise durability or repair where they stand, wait for money,
// or go to a work site (pass 0 or 1). 1 after an order, 0 none, -1 refused.
int CpuBuildWorks(CZRKGameDoc& doc, CpuTurnState& state, int pass);

}  // namespace zrv
