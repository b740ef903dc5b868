#include "battle/dialogs/ProgressModel.h"

#include <cstring>
#include <string>

#include "battle/engine/UnitRules.h"

namespace zrv {

int ProgressBarLength(const COUNTRYSTRUCT& country)
{
    int n = 0, d = 0;
    for (const UNITSTRUCT& u : country.Unit) {
        if ((u.dwFlag & kUnitInUse) == 0) continue;
        ++n;
        if (u.dwFlag & (kUnitActed | kUnitCarried)) ++d;
    }
    return d * 100 / (n + 1);
}

ProgressModel::ProgressModel(CZRKGameDoc& doc, DialogView* view) : m_pView(view), m_pCountry(doc.m_pCurCountry) {}

void ProgressModel::Update()
{
    m_nBar = m_pCountry != nullptr ? ProgressBarLength(*m_pCountry) : 0;
}

void ProgressModel::Draw(DialogCard& card, CDib* progres2) const
{
    if (!card.IsValid()) return;
    card.Copy(progres2, 0, 0, kProgressW, kProgressH, 0, 0);
    if (m_pCountry == nullptr) return;
    if (m_pView != nullptr) m_pView->DrawFlagMark(card.Picture(), m_pCountry->nIndex, 3, 3, -1, false);
    const int side = m_pCountry->nSide;
    card.Text(34, 6, std::string(m_pCountry->szName, strnlen(m_pCountry->szName, sizeof m_pCountry->szName)),
              side == 0 ? 8 : side == 1 ? 7 : 0);
    if (m_nBar != 0) card.Copy(progres2, 0, 43, m_nBar, 10, 43, 26);
}

}  // namespace zrv
