#include "battle/dialogs/PlacementWindowModel.h"

#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"

namespace zrv {

PlacementWindowModel::PlacementWindowModel(CZRKGameDoc& doc, PlacementView& view, bool deployment)
    : m_doc(doc), m_view(view), m_bDeployment(deployment)
{
    m_ring.fill(-1);
}

void PlacementWindowModel::Init()
{
    m_pages.clear();
    if (m_doc.m_pCurCountry != nullptr) m_ring = ListHexesInRings(*m_doc.m_pCurCountry);
    for (int kind : kPageKinds) {
        const int engineKind = EngineKindOfPage(kind);
        const int code = m_bDeployment ? m_doc.CheckDeploymentKind(engineKind, m_ring, {}, {})
                                       : m_doc.CheckProductionKind(engineKind, m_ring, {}, {});
        if (code != 0) continue;
        if (m_bDeployment)
            m_pages.push_back(std::make_unique<SetupPageModel>(m_doc, m_view, kind));
        else
            m_pages.push_back(std::make_unique<ProductPageModel>(m_doc, m_view, kind));
    }
    m_nActive = 0;
    // The first page is made active as any other: its icons are set and the
    // view is armed with its selected row, so that a click on a marked hex
    // places at once.
    if (!m_pages.empty()) PageChanged(0);
    m_bTakeBack = false;
    m_nLastHex = -1;
    m_lastRef = kNoUnit;
    m_view.ReopenCommandWindows(true);
    m_view.SetCommandMode(Mode());
}

PlacementPageModel* PlacementWindowModel::PageOfKind(int kind) const
{
    for (const auto& p : m_pages)
        if (p->Kind() == kind) return p.get();
    return nullptr;
}

PlacementPageModel* PlacementWindowModel::Active() const
{
    return m_nActive >= 0 && m_nActive < PageCount() ? m_pages[static_cast<size_t>(m_nActive)].get() : nullptr;
}

void PlacementWindowModel::PageChanged(int index)
{
    if (index < 0 || index >= PageCount()) return;
    m_nActive = index;
    PlacementPageModel& page = Page(index);
    if (!page.Initialised()) page.Init(m_ring);
    page.MarkCandidateHexes();
    page.UpdateTexts();
    page.RefreshRowIcons();
}

void PlacementWindowModel::UnitPlaced(HEXINDEX hex)
{
    if (PlacementPageModel* page = Active()) {
        if (m_bDeployment) static_cast<SetupPageModel*>(page)->RemoveSelectedRow();
        page->UpdateTexts();
        page->RefreshRowIcons();
    }
    if (IsMapHex(m_nLastHex)) m_view.SetPlacementMark(m_nLastHex, 0);
    if (IsMapHex(hex)) {
        m_view.SetPlacementMark(hex, 2);
        m_nLastHex = hex;
        m_lastRef = m_doc.m_dwHexUnit[hex];
        m_bTakeBack = true;
    } else {
        m_nLastHex = -1;
        m_lastRef = kNoUnit;
        m_bTakeBack = false;
    }
    m_view.RedrawMap(false);
}

void PlacementWindowModel::TypesChanged(int retired, int added)
{
    if (m_bDeployment) return;
    // Each type goes to the page of its own kind, which need not be the one
    // shown (the evolution table may be opened from elsewhere). A page not
    // shown leaves the view's choice as the shown page set it.
    auto onPageOf = [this](int type, auto&& change) {
        auto* page = static_cast<ProductPageModel*>(PageOfKind(PageKindOfType(type)));
        if (page == nullptr || !page->Initialised()) return;
        const int savedIndex = m_view.PlaceIndex();
        const bool savedArmed = m_view.PlaceArmed();
        change(*page);
        if (page != Active()) {
            m_view.SetPlaceIndex(savedIndex);
            m_view.SetPlaceArmed(savedArmed);
        }
    };
    onPageOf(retired, [retired](ProductPageModel& p) { p.RemoveType(retired); });
    if (added >= 1) onPageOf(added, [added](ProductPageModel& p) { p.AddType(added); });
}

UNITSTRUCT* PlacementWindowModel::LastUnit() const
{
    if (!IsMapHex(m_nLastHex) || m_doc.m_pCurCountry == nullptr) return nullptr;
    const UnitRef ref = m_doc.m_dwHexUnit[m_nLastHex];
    if (ref != m_lastRef || !IsUnitRef(ref) || RefCountry(ref) != m_doc.m_pCurCountry->nIndex) return nullptr;
    UNITSTRUCT& unit = m_doc.m_pCurCountry->Unit[RefSlot(ref)];
    if ((unit.dwFlag & kUnitInUse) == 0 || unit.nHex != m_nLastHex) return nullptr;
    return &unit;
}

void PlacementWindowModel::Unmark()
{
    if (IsMapHex(m_nLastHex)) {
        const PlacementPageModel* page = Active();
        m_view.SetPlacementMark(m_nLastHex, page != nullptr && page->IsCandidateHex(m_nLastHex) ? 1u : 0u);
    }
    m_nLastHex = -1;
    m_lastRef = kNoUnit;
    m_bTakeBack = false;
}

bool PlacementWindowModel::TakeBack()
{
    if (!m_bTakeBack) return false;
    UNITSTRUCT* unit = LastUnit();
    if (unit == nullptr) {
        // The unit left its hex (or is gone): nothing to take back.
        Unmark();
        m_view.RedrawMap(false);
        return false;
    }
    return m_bDeployment ? TakeBackDeployed(*unit) : TakeBackProduced(*unit);
}

bool PlacementWindowModel::TakeBackProduced(UNITSTRUCT& unit)
{
    if (!DeleteUnit(m_doc, unit, true).Done()) return false;
    --m_doc.m_pCurCountry->nNextSerial;
    if (PlacementPageModel* page = Active()) {
        page->UpdateTexts();
        page->RefreshRowIcons();
    }
    Unmark();
    m_view.AddUnitListEntry(unit, 2);
    m_view.RedrawMap(false);
    return true;
}

bool PlacementWindowModel::TakeBackDeployed(UNITSTRUCT& unit)
{
    // With every pool record in use the unit stays where it is.
    UNITSTRUCT* pool = m_doc.FindFirstReserveUnit();
    if (pool == nullptr) return false;
    const bool listOpen = m_view.IsUnitListOpen();
    if (listOpen) m_view.AddUnitListEntry(unit, 2);
    *pool = unit;
    unit.dwFlag &= ~kUnitInUse;
    pool->dwFlag = (pool->dwFlag & ~kUnitActed) | kUnitInPool;
    pool->nHex = -1;
    const HEXINDEX hex = unit.nHex;
    if (IsMapHex(hex)) {
        m_doc.m_dwHexUnit[hex] = kNoUnit;
        m_view.ClearHexUnitCode(hex);
    }
    --m_doc.m_pCurCountry->nUnit;
    if (listOpen) m_view.UpdateUnitListEntry(*pool, false);

    const int index = static_cast<int>(pool - m_doc.m_GameData.CarryUnit);
    if (auto* page = static_cast<SetupPageModel*>(PageOfKind(PageKindOfType(pool->nArms)))) {
        // A page not shown must not leave its choice with the view: the
        // view keeps placing what the shown page offers.
        const int savedIndex = m_view.PlaceIndex();
        const bool savedArmed = m_view.PlaceArmed();
        if (page->Initialised()) {
            page->AddPoolUnit(index);
            page->UpdateTexts();
            page->RefreshRowIcons();
        }
        if (page != Active()) {
            m_view.SetPlaceIndex(savedIndex);
            m_view.SetPlaceArmed(savedArmed);
        }
    }
    Unmark();
    m_view.RedrawMap(false);
    return true;
}

void PlacementWindowModel::Closed()
{
    m_view.ClearHexMarks(true);
    m_view.SetPlaceArmed(false);
    if (m_view.CommandMode() == Mode()) m_view.SetCommandMode(1);
}

}  // namespace zrv
