#include "battle/dialogs/SpecSheetModel.h"

#include "foundation/DataLibrary.h"

namespace zrv {

SpecSheetModel::SpecSheetModel(int armsType, UNITSTRUCT* unit, bool setsOnly)
    : m_nArms(armsType), m_pUnit(unit), m_bSetsOnly(setsOnly)
{
}

void SpecSheetModel::AddPages()
{
    m_pages.clear();
    m_dwFlag &= ~kSheetHasCurrentPage;
    const ARMSSTRUCT* a = ArmsRecord(m_nArms);
    if (a == nullptr) return;
    bool markFitted = false;
    if (!m_bSetsOnly && a->Arm[0].nSetId != 0 && m_pUnit != nullptr) {
        m_dwFlag |= kSheetHasCurrentPage;
        AddPage(kSpecPageCurrent, nullptr, false);
        markFitted = true;
    }
    int sets = 0;
    for (int s = 0; s < kSpecMaxSets; ++s) {
        if (s > 0 && a->Arm[s].nSetId == 0) break;
        AddPage(s, &a->Arm[s], markFitted);
        ++sets;
    }
    if (!m_bSetsOnly && sets > 1) AddPage(kSpecPageAllWeapons, nullptr, false);
}

void SpecSheetModel::AddPage(int set, const ARMSET* record, bool markFitted)
{
    SpecPage p;
    p.set = set;
    p.setRecord = record;
    p.titleIndex = set == kSpecPageCurrent ? kEPackCurrent
                   : set == kSpecPageAllWeapons ? kEPackAllWeapons
                   : record != nullptr          ? record->nSetId
                                                : 0;
    if (markFitted && m_pUnit != nullptr && m_pUnit->nMode == set) p.titleIndex += kEPackFittedOffset;
    // A set id from the library past the end of the titles shows no title.
    p.title = TableText(Lib().MsgEPackType, p.titleIndex);
    m_pages.push_back(std::move(p));
}

void SpecSheetModel::LaidOut(int first)
{
    m_nActive = first;
    m_bLaidOut = true;
}

bool SpecSheetModel::PageChanged(int index)
{
    if (!m_bLaidOut) return false;
    m_nActive = index;
    if (m_report) m_report(index);
    if ((m_dwFlag & kSheetRepaintCurrent) && index == 0) {
        m_dwFlag &= ~kSheetRepaintCurrent;
        return true;
    }
    return false;
}

SpecSheetModel::Refresh SpecSheetModel::RefreshCurrentPage()
{
    if ((m_dwFlag & kSheetHasCurrentPage) == 0) return Refresh::None;
    if (m_nActive != 0) {
        m_dwFlag |= kSheetRepaintCurrent;
        return Refresh::Later;
    }
    return Refresh::Now;
}

}  // namespace zrv
