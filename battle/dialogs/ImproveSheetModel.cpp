#include "battle/dialogs/ImproveSheetModel.h"

#include "battle/engine/UnitCommands.h"
#include "foundation/DataLibrary.h"

namespace zrv {

ImproveSheetModel::ImproveSheetModel(std::span<const int> candidates, const UNITSTRUCT& unit, int display, int funds)
    : m_unit(unit), m_nDisplay(display), m_nFunds(funds)
{
    for (int type : candidates) {
        if (type < 0 || PageCount() >= kMaxImprovePages) break;
        const ARMSSTRUCT* a = ArmsRecord(type);
        m_pages.push_back({type, a != nullptr ? TableText(Lib().MsgUnitType, a->nClass) : ""});
    }
}

int ImproveSheetModel::Cost(int page) const
{
    return page >= 0 && page < PageCount() ? GetImprovementCost(m_unit.nArms, Page(page).target) : 0;
}

void ImproveSheetModel::PageChanged(int index)
{
    if (index < 0 || index >= PageCount()) return;
    m_nSelPage = index;
    m_bImprove = Cost(index) <= m_nFunds;
}

PlacementCardLayout ImproveSheetModel::Card(int page) const
{
    return LayoutImproveCard(page >= 0 && page < PageCount() ? Page(page).target : -1, m_unit, m_nDisplay);
}

}  // namespace zrv
