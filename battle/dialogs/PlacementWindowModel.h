#pragma once
// The production (生産) and deployment (配置) windows without a window: the
// sheet's pages, the page shown, the hex of the last unit placed and taking
// it back (取り消し), and the close-down. While a window is open the view is
// in placement mode 2 (production) or 3 (deployment).

#include <array>
#include <memory>
#include <vector>

#include "battle/dialogs/PlacementPages.h"

namespace zrv {

class PlacementWindowModel {
public:
    PlacementWindowModel(CZRKGameDoc& doc, PlacementView& view, bool deployment);

    bool Deployment() const { return m_bDeployment; }
    const char* Caption() const { return m_bDeployment ? "配置" : "生産"; }

    // The pages of the kinds that pass the engine's check round the capital,
    // in the order air, ground, naval; the first one is shown. 取り消し is
    // off, the view's bars close and its mode becomes 2 or 3.
    void Init();

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    PlacementPageModel& Page(int i) const { return *m_pages.at(static_cast<size_t>(i)); }
    // The page of a kind (null: that kind has no page).
    PlacementPageModel* PageOfKind(int kind) const;
    int ActivePage() const { return m_nActive; }
    PlacementPageModel* Active() const;

    // Another tab was chosen: that page is set up when it is first shown,
    // then its marks, texts and icons.
    void PageChanged(int index);
    // The view placed a unit at hex.
    void UnitPlaced(HEXINDEX hex);
    // The country's producible types changed (production only): retired
    // leaves the page of its kind, added (> 0) comes to the page of its kind.
    void TypesChanged(int retired, int added);

    bool TakeBackEnabled() const { return m_bTakeBack; }
    HEXINDEX LastHex() const { return m_nLastHex; }
    // 取り消し: the last placed unit is taken back. False when it cannot be
    // (the unit no longer stands there, or the pool is full); 取り消し is
    // then off (the pool-full case leaves it on, as nothing changed).
    bool TakeBack();

    // The window closes: the sheet's marks go (with a redraw), the armed bit
    // is cleared and the view leaves its mode when it is still this one's.
    void Closed();

private:
    int Mode() const { return m_bDeployment ? 3 : 2; }
    // The placed unit still stands at the last hex.
    UNITSTRUCT* LastUnit() const;
    void Unmark();
    bool TakeBackProduced(UNITSTRUCT& unit);
    bool TakeBackDeployed(UNITSTRUCT& unit);

    CZRKGameDoc& m_doc;
    PlacementView& m_view;
    bool m_bDeployment;
    std::array<HEXINDEX, 92> m_ring{};
    std::vector<std::unique_ptr<PlacementPageModel>> m_pages;
    int m_nActive = 0;
    HEXINDEX m_nLastHex = -1;
    // The unit placed at m_nLastHex, as the hex held it then.
    UnitRef m_lastRef = kNoUnit;
    bool m_bTakeBack = false;
};

}  // namespace zrv
