// The view's tool windows as the orders and the document see them: the four
// performance windows with what each shows, the unit list's rows, the tables
// and closing them all. Each call does nothing while its window is closed;
// the hub makes, tells and destroys the windows.
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"

namespace zrv {
namespace {

constexpr int kSoundPerformanceWindow = 35;
// ErrorMessage entry: every performance window is in use.
constexpr int kErrNoPerformanceWindow = 26;

// Change bits of a unit's order word: its record (0) and its armament (2)
// for the performance window, its row (1) for the unit list.
constexpr uint32_t kOrderRecordChanged = 0x1u;
constexpr uint32_t kOrderListChanged = 0x2u;
constexpr uint32_t kOrderArmsChanged = 0x4u;

bool IsSlot(int slot)
{
    return slot >= 0 && slot < kPerformanceSlots;
}

}  // namespace

// --- performance windows -------------------------------------------------------------------

int CZRKGameView::FindSpecWndSlot(const UNITSTRUCT* unit, int arms) const
{
    for (int slot = 0; slot < kPerformanceSlots; ++slot) {
        const SpecSlot& s = m_SpecWnd[static_cast<size_t>(slot)];
        if (s.arms >= 0 && s.arms == arms && s.unit == unit) return -(slot + 2);
    }
    for (int slot = 0; slot < kPerformanceSlots; ++slot)
        if (m_SpecWnd[static_cast<size_t>(slot)].arms < 0) return slot;
    return -1;
}

int CZRKGameView::HasOpenChildWindow() const
{
    for (const SpecSlot& s : m_SpecWnd)
        if (s.arms >= 0) return 1;
    return 0;
}

int CZRKGameView::OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool bReport)
{
    // A type outside the table has no sheet to show (a damaged record).
    if (ArmsRecord(arms) == nullptr) return 0;
    const int slot = FindSpecWndSlot(unit, arms);
    if (slot <= -2) {
        m_pHub->FocusPerformanceWindow(-(slot + 2));
        return 1;
    }
    if (slot < 0) {
        if (bReport) Dialogs().MessageBox(ErrorText(kErrNoPerformanceWindow), kBoxOk | kBoxIconExclamation);
        return 0;
    }
    PlaySE(kSoundPerformanceWindow);
    // A window that could not be made leaves its slot free.
    if (m_pHub->ShowPerformanceWindow(slot, arms, unit, country, 0))
        m_SpecWnd[static_cast<size_t>(slot)] = {unit, arms};
    return 1;
}

void CZRKGameView::RefreshPerformanceWindow(UNITSTRUCT& unit, bool bAll)
{
    if (bAll) unit.dwOrder |= kOrderRecordChanged | kOrderArmsChanged;
    for (int slot = 0; slot < kPerformanceSlots; ++slot) {
        const SpecSlot& s = m_SpecWnd[static_cast<size_t>(slot)];
        if (s.arms < 0 || s.unit != &unit) continue;
        if (unit.dwOrder & kOrderRecordChanged) m_pHub->PerformanceUnitChanged(slot);
        if (unit.dwOrder & kOrderArmsChanged) m_pHub->PerformanceArmsChanged(slot);
        break;
    }
    unit.dwOrder &= ~(kOrderRecordChanged | kOrderArmsChanged);
}

void CZRKGameView::CloseSpecWndOfUnit(const UNITSTRUCT* unit, int arms)
{
    const int found = FindSpecWndSlot(unit, arms);
    if (found <= -2) ClosePerformanceSlot(-(found + 2));
}

void CZRKGameView::ClosePerformanceSlot(int slot)
{
    // The slot is freed first: a window destroyed here may ask again.
    if (!IsSlot(slot) || m_SpecWnd[static_cast<size_t>(slot)].arms < 0) return;
    m_SpecWnd[static_cast<size_t>(slot)] = {};
    m_pHub->DestroyPerformanceWindow(slot);
}

// --- the unit list -----------------------------------------------------------------------------

int CZRKGameView::AddUnitListEntry(UNITSTRUCT& unit, int mode)
{
    if (!IsToolWindowOpen(ToolWindow::UnitList)) return 0;
    UNITSTRUCT* entry = &unit;
    int flag = 0;
    if (mode == 0 || mode == 1) {
        UNITSTRUCT* outer = &unit;
        if (mode == 0 && m_pDoc != nullptr) {
            // A looping carrier chain (a damaged file) keeps the unit itself.
            if (UNITSTRUCT* o = GetOutermostCarrier(m_pDoc->m_GameData, unit)) outer = o;
        }
        if (outer != &unit || (unit.dwFlag & kUnitCarries) != 0) {
            entry = outer;
            flag = 1;
        }
    }
    m_pHub->RemoveUnitListRows(*entry, flag != 0);
    m_pHub->UpdateUnitListTitle();
    return flag;
}

void CZRKGameView::UpdateUnitListEntry(UNITSTRUCT& unit, bool bOutermost)
{
    if (!IsToolWindowOpen(ToolWindow::UnitList)) return;
    UNITSTRUCT* entry = &unit;
    if (bOutermost && m_pDoc != nullptr)
        if (UNITSTRUCT* o = GetOutermostCarrier(m_pDoc->m_GameData, unit)) entry = o;
    m_pHub->AppendUnitListRows(*entry, bOutermost);
}

void CZRKGameView::RefreshUnitListUnit(UNITSTRUCT& unit, int mode, bool bForce)
{
    if (m_pCurCountry == nullptr || RefCountry(unit.refSelf) != m_pCurCountry->nIndex) return;
    if (!bForce && (unit.dwOrder & kOrderListChanged) == 0) return;
    unit.dwOrder &= ~kOrderListChanged;
    if (!IsToolWindowOpen(ToolWindow::UnitList)) return;
    const int flag = AddUnitListEntry(unit, mode);
    UNITSTRUCT* update = &unit;
    if (flag != 0 && mode == 0 && m_pDoc != nullptr)
        if (UNITSTRUCT* o = GetOutermostCarrier(m_pDoc->m_GameData, unit)) update = o;
    UpdateUnitListEntry(*update, flag != 0);
    m_pHub->UpdateUnitListTitle();
}

void CZRKGameView::AddUnitsToUnitList(std::span<UNITSTRUCT> units)
{
    if (!IsToolWindowOpen(ToolWindow::UnitList)) return;
    for (UNITSTRUCT& u : units)
        if (u.dwFlag & kUnitInUse) AddUnitListEntry(u, 2);
    m_pHub->UpdateUnitListTitle();
}

void CZRKGameView::UpdateUnitsInUnitList(std::span<UNITSTRUCT> units)
{
    if (!IsToolWindowOpen(ToolWindow::UnitList)) return;
    for (UNITSTRUCT& u : units)
        if (u.dwFlag & kUnitInUse) UpdateUnitListEntry(u, false);
    m_pHub->UpdateUnitListTitle();
}

void CZRKGameView::SelectUnitListRow(const UNITSTRUCT* unit)
{
    if (unit != nullptr && IsToolWindowOpen(ToolWindow::UnitList)) m_pHub->SelectUnitListRow(*unit);
}

void CZRKGameView::RefreshUnitWindows(UNITSTRUCT& unit, int listMode)
{
    RefreshUnitListUnit(unit, listMode, true);
    RefreshPerformanceWindow(unit, true);
}

// --- tables and all of them --------------------------------------------------------------------

void CZRKGameView::RefreshDevelopmentTable()
{
    if (IsToolWindowOpen(ToolWindow::DevelopmentTable)) m_pHub->RefreshDevelopmentTable();
}

void CZRKGameView::ClosePlacementWindows()
{
    if (m_pHub->IsProductionWindowOpen()) m_pHub->CloseProductionWindow();
    if (m_pHub->IsDeploymentWindowOpen()) m_pHub->CloseDeploymentWindow();
}

void CZRKGameView::NotifyProductionWindow(int retired, int added)
{
    if (m_nCmdMode == kModeProduction) m_pHub->ProducibleTypesChanged(retired, added);
}

void CZRKGameView::CloseChildWindows()
{
    ClosePlacementWindows();
    for (ToolWindow w : {ToolWindow::UnitList, ToolWindow::DevelopmentTable, ToolWindow::TerrainTable,
                         ToolWindow::SituationTable})
        CloseToolWindow(w);
    for (int slot = 0; slot < kPerformanceSlots; ++slot) ClosePerformanceSlot(slot);
}

void CZRKGameView::ResetChildWindows()
{
    CloseChildWindows();
    CloseCommandBars(true);
}

}  // namespace zrv
