#include "battle/dialogs/ArmsChangeModel.h"

#include <algorithm>

#include "battle/engine/UnitCommands.h"
#include "foundation/Utility.h"

namespace zrv {

ArmsChangeModel::ArmsChangeModel(UNITSTRUCT& unit, int funds)
    : m_unit(unit), m_nFunds(funds), m_nArmsSet(unit.nMode), m_sheet(unit.nArms, &unit, true)
{
    m_sheet.AddPages();
    m_line = CostLine(m_nArmsSet);
    // Only a real tab (never a negative index) changes the line.
    m_sheet.SetPageReport([this](int page) {
        if (page < 0) return;
        m_line = CostLine(page);
        if (m_changed) m_changed(m_line);
    });
}

int ArmsChangeModel::Remainder(int k) const
{
    return std::max(0, m_nFunds - GetArmsChangeCost(m_unit, k));
}

std::string ArmsChangeModel::CostLine(int k) const
{
    std::string funds, rest;
    FormatAmount(funds, m_nFunds, true, false);
    FormatAmount(rest, Remainder(k), true, false);
    return "軍事費  " + funds + " → " + rest;
}

}  // namespace zrv
