#pragma once
// The improvement sheet (改良) without a window: one page per candidate
// type, each titled with the candidate's class word and showing the
// candidate over the unit's present type with the cost; the page last chosen
// names the candidate the unit is improved to, and "改良" is allowed on a
// page only while its cost fits the funds.

#include <span>
#include <string>
#include <vector>

#include "battle/dialogs/PlacementCards.h"
#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr int kMaxImprovePages = 5;

struct ImprovePage {
    int target = -1;    // the candidate type
    std::string title;  // its class word (CP932)
};

class ImproveSheetModel {
public:
    // candidates up to the first negative entry (at most five pages); funds:
    // the current country's war funds; display: the colour set of the
    // pictures.
    ImproveSheetModel(std::span<const int> candidates, const UNITSTRUCT& unit, int display, int funds);

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    const ImprovePage& Page(int i) const { return m_pages.at(static_cast<size_t>(i)); }
    // The page whose candidate "改良" chooses (0 until a tab changes).
    int SelectedPage() const { return m_nSelPage; }
    bool ImproveEnabled() const { return m_bImprove; }
    int Cost(int page) const;

    // The tab became index.
    void PageChanged(int index);

    PlacementCardLayout Card(int page) const;

private:
    const UNITSTRUCT& m_unit;
    int m_nDisplay;
    int m_nFunds;
    std::vector<ImprovePage> m_pages;
    int m_nSelPage = 0;
    bool m_bImprove = true;
};

}  // namespace zrv
