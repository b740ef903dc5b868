#pragma once
// Small pieces the computer player's routines and searches share: which
// units may still be ordered, the reach of a unit this turn, the country's
// objective and enemies, the hex-list tests and the rounds of a routine run
// until it orders nothing more.

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "battle/cpu/CpuTurnState.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitRules.h"

namespace zrv {

// In use, not acted, not carried.
inline bool CpuFit(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) && !(u.dwFlag & (kUnitActed | kUnitCarried));
}

// The unit named by ref while it can still be ordered.
inline UNITSTRUCT* CpuStillFit(CZRKGameDoc& doc, UnitRef ref)
{
    UNITSTRUCT* u = doc.GetUnit(ref);
    return u != nullptr && CpuFit(*u) ? u : nullptr;
}

// The unit's reach this turn in the document's reach map (destinations
// marked); false when it may not move.
inline bool CpuReach(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    return CheckUnitMove(unit, doc.m_GameData, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount),
                         HexWords(doc.m_dwHexMove), doc.m_MoveRules) == 0;
}

// The country's objective hex, -1 without one.
inline HEXINDEX CpuObjective(const COUNTRYSTRUCT& c)
{
    const HEXINDEX h = static_cast<HEXINDEX>(c.dwCpuTarget & 0xFFFF);
    return c.dwCpuTarget != 0 && IsMapHex(h) ? h : kNoHex;
}

using CpuEnemyList = std::array<int32_t, kCountryCount + 1>;
inline CpuEnemyList CpuEnemies(const CZRKGameDoc& doc, int country)
{
    CpuEnemyList e;
    e.fill(-1);
    ListEnemyCountries(doc.m_GameData, country, e);
    return e;
}

// hex on a list that ends with -1 or with the span.
inline bool CpuOnList(std::span<const HEXINDEX> list, HEXINDEX hex)
{
    for (HEXINDEX h : list) {
        if (h < 0) break;
        if (h == hex) return true;
    }
    return false;
}

// Runs a routine until a round orders nothing, at most 64 rounds; -1 when
// an order was refused, else whether any round ordered something.
template <typename Fn>
int CpuUntilDone(CZRKGameDoc& doc, Fn fn)
{
    int any = 0;
    for (int round = 0; round < 64; ++round) {
        const uint32_t before = doc.OrdersDone();
        const int r = fn();
        if (r < 0) return -1;
        if (r == 0 || doc.OrdersDone() == before) break;
        any = 1;
    }
    return any;
}

}  // namespace zrv
