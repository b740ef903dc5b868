// The document's forwarders to the unit, combat, construction and command
// rules: each passes the unit with the state block, the live map and the
// unit map to its rule and returns the rule's message code.

#include "battle/engine/Combat.h"
#include "battle/engine/Construction.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"

namespace zrv {
namespace {

// Puts a unit on a hex for a test and back afterwards.
class TrialPlacement {
public:
    TrialPlacement(UNITSTRUCT& unit, HEXINDEX hex, std::span<const MAPCELL, kHexCount> cells)
        : m_unit(unit), m_hex(unit.nHex), m_cell(unit.dwHexCell)
    {
        if (IsMapHex(hex)) {
            unit.nHex = hex;
            unit.dwHexCell = cells[static_cast<size_t>(hex)];
        }
    }
    ~TrialPlacement()
    {
        m_unit.nHex = m_hex;
        m_unit.dwHexCell = m_cell;
    }
    TrialPlacement(const TrialPlacement&) = delete;
    TrialPlacement& operator=(const TrialPlacement&) = delete;

private:
    UNITSTRUCT& m_unit;
    HEXINDEX m_hex;
    MAPCELL m_cell;
};

}  // namespace

int CZRKGameDoc::CheckRecall(UNITSTRUCT& unit)
{
    return zrv::CheckRecall(m_GameData, m_dwHexCell, m_dwHexUnit, unit);
}

int CZRKGameDoc::CheckDive(UNITSTRUCT& unit)
{
    return zrv::CheckDive(m_GameData, unit);
}

int CZRKGameDoc::CheckSurface(UNITSTRUCT& unit)
{
    return zrv::CheckSurface(unit);
}

int CZRKGameDoc::CheckConstruction(UNITSTRUCT& unit, int kind)
{
    return CheckConstructionKind(m_GameData, m_dwHexCell, m_dwHexUnit, unit, kind,
                                 (unit.dwFlag & kUnitActed) != 0);
}

int CZRKGameDoc::CheckUnloadHex(UNITSTRUCT& unit, HEXINDEX hex)
{
    TrialPlacement trial(unit, hex, m_dwHexCell);
    return CheckUnloadTargetHex(m_GameData, m_dwHexCell, m_dwHexUnit, m_dwHexSearch, unit, true);
}

int CZRKGameDoc::CheckBombing(UNITSTRUCT& unit, HEXINDEX hex, bool airRequired)
{
    return CheckBombingQuery(m_GameData, m_dwHexCell, unit, hex, airRequired, m_rcMapArea);
}

int CZRKGameDoc::ChooseCounterWeapons(UNITSTRUCT& shooter, UNITSTRUCT& target)
{
    return zrv::ChooseCounterWeapons(m_GameData, shooter, target);
}

int CZRKGameDoc::CheckAttackFromHex(UNITSTRUCT& unit, HEXINDEX hex)
{
    TrialPlacement trial(unit, hex, m_dwHexCell);
    return CheckUnitAttack(m_GameData, unit);
}

int CZRKGameDoc::CheckOccupy(UNITSTRUCT& unit)
{
    return zrv::CheckOccupy(m_GameData, m_dwHexCell, unit, unit.nHex);
}

int CZRKGameDoc::CheckMerge(UNITSTRUCT& unit)
{
    return CheckMergeUnitState(m_GameData, m_dwHexUnit, unit);
}

int CZRKGameDoc::CheckJettison(UNITSTRUCT& unit)
{
    return CheckUnitJettison(unit);
}

int CZRKGameDoc::CheckArmsChange(UNITSTRUCT& unit)
{
    return CheckUnitArmsChange(m_GameData, unit);
}

int CZRKGameDoc::CheckEvolution(UNITSTRUCT& unit)
{
    return zrv::CheckEvolution(m_GameData, unit, true, unit.nHex);
}

int CZRKGameDoc::CheckResupply(UNITSTRUCT& unit)
{
    // 55 (fuel only) still lets the unit be supplied.
    int code = CheckSupplyAtHex(m_GameData, unit, unit.dwHexCell, SupplyMode::Resupply);
    if (code != 0 && code != 55) return code;
    return CheckSupplyFromOwner(m_GameData, unit);
}

int CZRKGameDoc::CheckHexSupply(UNITSTRUCT& unit)
{
    int code = CheckSupplyAtHex(m_GameData, unit, unit.dwHexCell, SupplyMode::Resupply);
    unit.dwFlag &= ~kUnitSupplyAtHex;
    if (code == 0 || code == 55) unit.dwFlag |= kUnitSupplyAtHex;
    return code;
}

int CZRKGameDoc::CheckReplenish(UNITSTRUCT& unit)
{
    return zrv::CheckReplenish(m_GameData, unit);
}

int CZRKGameDoc::CheckImprovement(UNITSTRUCT& unit)
{
    return zrv::CheckImprovement(m_GameData, unit);
}

}  // namespace zrv
