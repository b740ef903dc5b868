// The map view's side of battle scenes: whether one is wanted, the block
// filled from the view's own state (hex rectangle, options, the action being
// carried out) and the wait for the animation program. The UI is not pumped
// while the program runs: the scene has the screen.

#include "battle/engine/HexGeometry.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"

namespace zrv {

namespace {

// The block could not be made: the game goes on, without scenes.
constexpr const char* kNoSceneBlockText =
    "戦闘シーンを表示する準備ができませんでした。\n戦闘シーンなしで続けます。";

bool IsCpuCountry(const COUNTRYSTRUCT* c)
{
    return c != nullptr && (c->dwFlag & kCountryCpu) != 0;
}

}  // namespace

void CZRKGameView::CreateBattleSceneLink()
{
    if (m_realLink.IsOpen()) return;
    // A second try covers a block of the same name that a program ending at
    // this very moment removed between our create and our open.
    if (m_realLink.Create() || m_realLink.Create()) return;
    Dialogs().MessageBox(kNoSceneBlockText, kBoxOk | kBoxIconExclamation);
}

bool CZRKGameView::IsBattleSceneWanted(const UNITSTRUCT& attacker, const UNITSTRUCT* defender,
                                       MAPCELL cell) const
{
    int viewer = -1;
    if (m_pDoc != nullptr && m_pDoc->m_pViewCountry != nullptr)
        viewer = static_cast<int>(m_pDoc->m_pViewCountry - m_pDoc->m_GameData.Country);
    const bool minimised = m_pWindow != nullptr && m_pWindow->IsMinimised();
    return zrv::IsBattleSceneWanted(m_dwDispOption, minimised, viewer, attacker, defender, cell);
}

void CZRKGameView::ShowBattleScene(const UNITSTRUCT& side1, const UNITSTRUCT* side2, uint32_t weapons1,
                                   uint32_t weapons2, int order, int result, MAPCELL cell,
                                   std::span<const COMBATHITSTRUCT> hits,
                                   std::span<const HEXINDEX> firingHexes, const CombatTotals* totals)
{
    if (!m_realLink.IsOpen() || m_pDoc == nullptr) return;
    // The overview map would stay drawn over the scene: it is closed for the
    // scene's length.
    const bool overview = (m_dwDispOption & kDispOverviewOpen) != 0;
    if (overview) CloseSmallMap();
    if (m_pWindow != nullptr) m_pWindow->UpdateNow();

    BattleSceneInput in;
    in.side1 = &side1;
    in.side2 = side2;
    in.weapons1 = weapons1;
    in.weapons2 = weapons2;
    in.order = order;
    in.result = result;
    in.cell = cell;
    in.hits = hits;
    in.firingHexes = firingHexes;
    if (totals != nullptr) {
        // The block keeps signed words; the packed shot and hit halves pass
        // through unchanged.
        in.totals = {static_cast<int32_t>(totals->attacker), static_cast<int32_t>(totals->defender)};
        for (size_t i = 0; i < in.pictureTotals.size(); ++i)
            in.pictureTotals[i] = static_cast<int32_t>(totals->picture[i]);
        in.impact1 = &totals->impact[0];
        in.impact2 = &totals->impact[1];
    }
    in.rcMap = {m_rcMapHexes.firstColumn, m_rcMapHexes.firstRow, m_rcMapHexes.lastColumn,
                m_rcMapHexes.lastRow};
    in.viewOption = m_dwDispOption;
    in.attackKind = m_nAttackKind;
    in.attackTarget = m_pAttackTarget;
    in.aaFireDamage = m_nAAFireDamage;
    in.aaFireDirs = m_dwAAFireDirs;
    in.currentCountry = m_nCurArmy;
    m_realLink.ShowBattleScene(FillGameRealBlock(m_pDoc->m_GameData, in));

    if (overview) OpenSmallMap();
}

int CZRKGameView::ShowActionScene(UNITSTRUCT& unit, uint32_t weapons, int result, MAPCELL cell, bool force)
{
    if (!force && !IsBattleSceneWanted(unit, nullptr, cell)) return 0;
    const HEXINDEX hex = m_pDoc != nullptr ? GetUnitMapHex(m_pDoc->m_GameData, unit) : unit.nHex;
    if (m_pDoc != nullptr && IsCpuCountry(m_pCurCountry) && IsMapHex(hex)) {
        // The hex shows the cell of the action (a bombed bridge still
        // standing) while it is pointed out.
        MAPCELL& hexCell = m_pDoc->m_dwHexCell[static_cast<size_t>(hex)];
        const MAPCELL saved = hexCell;
        if (cell != 0) hexCell = cell;
        const int stopped = FlashHexMark(hex, false, true);
        hexCell = saved;
        // A close request ends the action's order there.
        if (stopped) return -1;
    }
    ShowBattleScene(unit, nullptr, weapons, 0, 0, result, cell, {}, {});
    RedrawMap(true);
    return 1;
}

bool CZRKGameView::SceneHooks::WantsBattleScene(const UNITSTRUCT& attacker, const UNITSTRUCT& defender)
{
    return m_view.IsBattleSceneWanted(attacker, &defender, 0);
}

void CZRKGameView::SceneHooks::ShowBattleScene(const CombatScene& scene)
{
    m_stopped = false;
    // A computer's attack is pointed out before the scene takes the screen.
    if (IsCpuCountry(m_view.m_pCurCountry) && IsMapHex(scene.defender.nHex) &&
        m_view.FlashHexMark(scene.defender.nHex, false, true)) {
        m_stopped = true;
        return;
    }
    m_view.ShowBattleScene(scene.attacker, &scene.defender, scene.attackerMask, scene.defenderMask,
                           scene.order, 0, 0, scene.hits, scene.firingHexes, scene.totals);
    // The exchange ends with a redraw; the action's attack kind is spent.
    m_view.m_nAttackKind = 0;
}

}  // namespace zrv
