#include "battle/view/ViewCpuOrders.h"

#include "battle/engine/GameDoc.h"

namespace zrv {

int ViewCpuOrders::GetViewingSide() const
{
    const CZRKGameDoc* doc = m_view.GetDocument();
    return doc && doc->m_pViewCountry ? doc->m_pViewCountry->nSide : -1;
}

}  // namespace zrv
