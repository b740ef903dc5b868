// Small operations of the view that other parts share: the window's
// rectangle in the settings, the unit on a hex, the status strip and the
// redraw with their guard for the fast HQ map, the caption, and the
// multi-play password.
#include "battle/engine/GameDoc.h"
#include "battle/view/MainFrameLogic.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"

namespace zrv {
bool CZRKGameView::SaveWindowRect(const char* valueName, const InclusiveRect& rc)
{
    if (m_pSettings == nullptr) return false;
    // Width and height count the last pixel, so a window stored and placed
    // again keeps its size.
    const int values[4] = {rc.left, rc.top, rc.right - rc.left + 1, rc.bottom - rc.top + 1};
    std::string text;
    JoinNumberList(4, values, text);
    m_pSettings->WriteString(kProfileSection, valueName, text);
    return m_pSettings->Flush();
}

UNITSTRUCT* CZRKGameView::GetUnitOnHex(HEXINDEX hex) const
{
    if (m_pDoc == nullptr || !IsMapHex(hex)) return nullptr;
    const UnitRef ref = m_pDoc->m_dwHexUnit[hex];
    if (static_cast<int32_t>(ref) < 0) return nullptr;
    return m_pDoc->GetUnit(ref);
}

int CZRKGameView::HasCommandUnit() const
{
    return m_nCmdMode == kModeChooseUnit && m_pCmdUnit != nullptr ? 1 : 0;
}

// The fast HQ map of a computer phase skips the strip and the redraws.
static bool SkipsScreenWork(uint32_t dispOption, const COUNTRYSTRUCT* current)
{
    return (dispOption & (kDispHqMap | kDispHqMapFast)) == (kDispHqMap | kDispHqMapFast) &&
           current != nullptr && (current->dwFlag & kCountryCpu) != 0;
}

void CZRKGameView::SetStatusHex(HEXINDEX hex, bool bBlink)
{
    if (bBlink)
        m_pStrip->m_dwBlink |= 0x80000000u;
    else
        m_pStrip->m_dwBlink = 0;
    if (hex >= 0 && SkipsScreenWork(m_dwDispOption, m_pCurCountry)) return;
    m_pStrip->RefreshStatus(hex, true, nullptr, true);
}

void CZRKGameView::RefreshStatusStrip(HEXINDEX hex, bool bRedraw, UNITSTRUCT* unit, bool bFindUnit)
{
    if (SkipsScreenWork(m_dwDispOption, m_pCurCountry)) return;
    m_pStrip->RefreshStatus(hex, bRedraw, unit, bFindUnit);
}

void CZRKGameView::RedrawMapAndStatus(UNITSTRUCT* unit, bool bStatus)
{
    RedrawMap(false);
    if (bStatus) RefreshStatusStrip(-1, true, unit, true);
}

void CZRKGameView::EnableViewAndFrame(bool enable)
{
    if (m_pFrame != nullptr) m_pFrame->EnableViewAndFrame(enable);
}

void CZRKGameView::RemoveMenuCommand(int id)
{
    if (m_pFrame != nullptr) m_pFrame->RemoveMenuCommand(id);
}

void CZRKGameView::UpdateWindowTitle()
{
    if (m_pFrame == nullptr) return;
    const std::string_view name =
        m_pDoc != nullptr ? FieldText(m_pDoc->m_GameData.Head.szName) : std::string_view();
    m_pFrame->SetCaption(MakeWindowTitle(name));
}

int CZRKGameView::CheckSidePassword(COUNTRYSTRUCT& country, int turn)
{
    const bool registering = turn == 1;
    if (registering)
        Dialogs().MessageBox(
            "マルチプレイはパスワードが必要です。\n最初にパスワードを半角７文字以内で入力してください。",
            kBoxOk | kBoxIconInformation);
    // Cancel asks again; nobody to ask, or the window closing, refuses.
    const auto text = AskPassword({}, FieldText(country.szName), false,
                                  [this] { return (m_dwState & kViewCloseRequested) == 0; });
    if (!text) return 0;
    if (registering) {
        RegisterPassword(country, *text);
        return 1;
    }
    if (*text != FieldText(country.szPassword)) {
        Dialogs().MessageBox("パスワードが違います！", kBoxOk | kBoxIconExclamation);
        return 0;
    }
    return 1;
}

}  // namespace zrv
