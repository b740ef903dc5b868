#pragma once
// The arms change (武装) without a window: the unit's armament sets shown as
// the unit data sheet's tabs, and below them what fitting the set of the
// active tab leaves of the country's war funds. The change itself is the
// document's; the dialog only answers the chosen set.

#include <functional>
#include <string>

#include "battle/dialogs/SpecSheetModel.h"
#include "foundation/GameRecords.h"

namespace zrv {

class ArmsChangeModel {
public:
    // unit: the unit to re-arm; funds: the current country's war funds.
    ArmsChangeModel(UNITSTRUCT& unit, int funds);

    SpecSheetModel& Sheet() { return m_sheet; }
    UNITSTRUCT& Unit() { return m_unit; }
    // The set the dialog opens on and, after 決定, the one chosen.
    int ArmsSet() const { return m_nArmsSet; }

    // The funds left after fitting set k, never below 0.
    int Remainder(int k) const;
    // "軍事費  $funds → $remainder" for set k.
    std::string CostLine(int k) const;
    // The line shown now (the last tab reported; the fitted set at first).
    const std::string& Line() const { return m_line; }
    // Told of each new line.
    void SetLineChanged(std::function<void(const std::string&)> changed) { m_changed = std::move(changed); }

    // 決定 with tab index active: the answer's set.
    void Choose(int active) { m_nArmsSet = active; }

private:
    UNITSTRUCT& m_unit;
    int m_nFunds;
    int m_nArmsSet;
    SpecSheetModel m_sheet;
    std::string m_line;
    std::function<void(const std::string&)> m_changed;
};

}  // namespace zrv
