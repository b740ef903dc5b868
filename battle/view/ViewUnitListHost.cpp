// What the unit list and the unit data editor ask of the view: a row's
// click acted out on the map, the disposal of a unit off the map, the list's
// kept placement, the carrier a move measures from, and the editor's key.
#include "battle/engine/UnitRules.h"
#include "battle/view/BattleMenu.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"

namespace zrv {

void CZRKGameView::PointAndClickHex(HEXINDEX hex, UNITSTRUCT& unit)
{
    MoveCursorToHex(hex);
    ClickHex(hex, &unit);
}

void CZRKGameView::DisposeUnit(UNITSTRUCT& unit)
{
    m_pSelUnit = &unit;
    ExecuteDispose(0);
}

bool CZRKGameView::UnitListLayout(std::array<int, 4>& rect, std::array<int, 10>& widths) const
{
    if (m_bUListLayout != 1) return false;
    rect = m_rcUList;
    widths = m_nUListColumn;
    return true;
}

void CZRKGameView::KeepUnitListLayout(const std::array<int, 4>& rect, const std::array<int, 10>& widths)
{
    m_rcUList = rect;
    m_nUListColumn = widths;
    m_bUListLayout = 1;
}

UNITSTRUCT* CZRKGameView::GetOutermostCarrierForMove(UNITSTRUCT& unit)
{
    if (m_pDoc == nullptr) return &unit;
    UNITSTRUCT* from = &unit;
    if ((unit.dwFlag & kUnitDetached) != 0 && m_pDetachedCarrier != nullptr) from = m_pDetachedCarrier;
    UNITSTRUCT* outer = GetOutermostCarrier(m_pDoc->m_GameData, *from);
    return outer != nullptr ? outer : from;
}

void CZRKGameView::RegisterToolCommands()
{
    m_commands.Add(kCmdUnitDataEdit, {nullptr, nullptr, [this] { EditSelectedUnitData(); }});
}

void CZRKGameView::EditSelectedUnitData()
{
    if (m_pSettings == nullptr || m_pDoc == nullptr) return;
    const auto on = m_pSettings->ReadInt(kProfileSection, "UnitDataEdit");
    if (!on || *on != 1) return;
    UNITSTRUCT* unit = CommandTargetUnit();
    if (unit == nullptr || (unit->dwFlag & kUnitInUse) == 0) return;
    const int country = RefCountry(unit->refSelf);
    if (country < 0 || country >= kCountryCount) return;
    Dialogs().UnitDataEditDialog(*unit, m_pDoc->m_GameData.Country[static_cast<size_t>(country)], m_pCurCountry);
}

}  // namespace zrv
