#include "battle/dialogs/MarchModel.h"

#include "battle/engine/Calendar.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {

namespace {

// The two top bits of a reach word: the hex was not reached.
constexpr uint32_t kReachNone = 0xC0000000u;

}  // namespace

std::string MarchArrivalText(uint32_t reachWord, int movePoints, uint32_t now, bool bombing)
{
    if ((reachWord & kReachNone) != 0 || movePoints <= 0) return "到達できません";
    const int cost = static_cast<int>(reachWord & 0xFFFFu);
    int turns = (cost - 1) / movePoints + (bombing ? 1 : 0);
    uint32_t date = now;
    for (; turns > 0; --turns) date = AddTwoHours(date);
    return platform::FormatText("最短到達日 %2d.%2d.%2d %2d:00",
                                {static_cast<int>((date >> 16) & 0xFF), static_cast<int>((date >> 8) & 0xFF),
                                 static_cast<int>(date & 0xFF), static_cast<int>(date >> 24)});
}

MarchModel::MarchModel(CZRKGameDoc& doc, UNITSTRUCT& unit, bool march, DialogView* view)
    : m_doc(doc), m_unit(unit), m_bMarch(march), m_pView(view)
{
    Refresh();
}

void MarchModel::Refresh()
{
    m_distance.clear();
    m_arrival.clear();
    const HEXINDEX target = m_unit.nMarchHex;
    // A target hex that is no hex of the map (a damaged record) is shown as
    // none; it can still be cleared.
    const bool set = (m_unit.dwOrder & kTargetSet) != 0;
    if (!set || !IsMapHex(target)) {
        m_target = "目標：指定されていません";
        m_bClear = set;
        m_bConfirm = false;
        return;
    }
    const MapRect& area = m_doc.m_rcMapArea;
    m_target = platform::FormatText("目標：座標(%2d,%2d)",
                                    {HexColumn(target) - area.left + 1, HexRow(target) - area.top + 1});
    const HEXINDEX own = GetUnitMapHex(m_doc.m_GameData, m_unit);
    m_distance = platform::FormatText("距離：%3d", {IsMapHex(own) ? GetHexDistance(own, target) : 0});
    m_arrival = MarchArrivalText(m_doc.m_dwHexMove[target], m_unit.nMove, m_doc.m_GameData.dwDateTime, !m_bMarch);
    m_bClear = m_bConfirm = true;
}

bool MarchModel::Clear()
{
    const COUNTRYSTRUCT* country = m_doc.m_pCurCountry;
    if (country != nullptr && (country->dwFlag & kCountryConfirmWindow) != 0 &&
        Dialogs().MessageBox("目標を消去しますか", kBoxYesNo | kBoxIconQuestion) != kAnswerYes)
        return false;
    if (m_pView != nullptr) m_pView->PlayDialogSound(kSoundClear);
    m_unit.dwOrder &= ~(kTargetSet | kTargetBombing);
    Refresh();
    if (m_pView != nullptr) m_pView->MarkSourceAndTarget(GetUnitMapHex(m_doc.m_GameData, m_unit), -1);
    return true;
}

bool MarchModel::Confirm()
{
    const HEXINDEX target = m_unit.nMarchHex;
    if (!m_bConfirm || !IsMapHex(target)) return false;
    if (m_pView == nullptr) return true;
    m_pView->PlayDialogSound(kSoundConfirm);
    if (m_pView->FlashHexMark(target)) return false;
    m_pView->MarkSourceAndTarget(GetUnitMapHex(m_doc.m_GameData, m_unit), target);
    return true;
}

}  // namespace zrv
