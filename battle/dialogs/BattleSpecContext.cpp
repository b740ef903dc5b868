#include "battle/dialogs/BattleSpecContext.h"

#include "battle/dialogs/WeaponTablePainter.h"

namespace zrv {

bool BattleSpecContext::KeepEmptyWeaponRows() const
{
    return m_doc.m_pCurCountry != nullptr && (m_doc.m_pCurCountry->dwFlag & kCountryKeepWeaponRows) != 0;
}

}  // namespace zrv
