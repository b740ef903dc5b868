// The orders with fire in them: anti-aircraft fire at an aircraft before it
// acts, the defender's answer, one exchange of fire with its shots or its
// battle scene, and the countries that surrender for it; then attack,
// covering fire, bombing and unloading built on them. The exchange is the
// engine's, run with the view's display around it.
#include <array>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/Judgement.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {

namespace {

constexpr int kSoundUnload = 32;
// Country flag bits of the anti-aircraft question.
constexpr uint32_t kCountryAskAaFire = 0x00800000u;
constexpr uint32_t kCountryAskedAaFire = 0x00000010u;
// The computer's level word: bit 9 no anti-aircraft fire.
constexpr int32_t kLevelNoAaFire = 1 << 9;
// Bombing classes with a display of their own.
constexpr int kClassNoBombingScene = 31;
constexpr int kClassBombingSceneOnHit = 54;

bool InUse(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) != 0;
}

bool IsCpu(const COUNTRYSTRUCT* c)
{
    return c != nullptr && (c->dwFlag & kCountryCpu) != 0;
}

int ArmsClass(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a != nullptr ? a->nClass : -1;
}

}  // namespace

// The view around one exchange: the shots of each step, the anti-aircraft
// volley's share of its scene, and the map redrawn after the damage.
class ViewExchangeHooks final : public CombatHooks {
public:
    ViewExchangeHooks(CZRKGameView& view, bool collect, UNITSTRUCT& target)
        : m_view(view), m_collect(collect), m_target(target)
    {
    }
    bool WantsBattleScene(const UNITSTRUCT& attacker, const UNITSTRUCT& defender) override
    {
        return m_view.BattleSceneHooks().WantsBattleScene(attacker, defender);
    }
    void ShowBattleScene(const CombatScene& scene) override
    {
        m_scene = true;
        if (!scene.collect) {
            m_view.BattleSceneHooks().ShowBattleScene(scene);
            return;
        }
        CollectVolley(scene);
    }
    bool SceneStopped() const override { return m_view.BattleSceneHooks().SceneStopped(); }
    bool AnimateStep(const CombatStep& step) override
    {
        std::span<const HEXINDEX> cursor = step.firingHexes;
        return m_view.AnimateShots(step.order, cursor, step.shooter, step.target, step.shooterMask,
                                   step.targetMask) == 0;
    }
    void AfterDamageStep(bool last) override
    {
        const bool redraw = !m_scene || (last && (!m_collect || m_aircraftDestroyed));
        if (!redraw) return;
        m_view.RedrawMap(true);
        m_redrawn = true;
    }
    bool Redrawn() const { return m_redrawn; }

private:
    // An anti-aircraft unit's shots at the aircraft add to the volley's
    // summary; an aircraft brought down gets its scene at once.
    void CollectVolley(const CombatScene& scene)
    {
        for (const COMBATHITSTRUCT& e : scene.hits) {
            if (e.pUnit == nullptr) break;
            if (e.pUnit == &m_target && e.nDamage > 0) m_view.m_nAAFireDamage += e.nDamage;
        }
        if (m_view.m_nAAFireDamage >= m_target.nStrength) {
            m_view.m_nAAFireDamage = m_target.nStrength;
            m_aircraftDestroyed = true;
        }
        const HEXINDEX at = m_target.nHex;
        if (IsMapHex(at)) {
            std::span<const HEXINDEX> cursor = scene.firingHexes;
            m_view.m_dwAAFireDirs |= GetDirectionMask(at, cursor) & ~kDirMaskNotNeighbour;
        }
        if (m_aircraftDestroyed) {
            const int strength = m_target.nStrength;
            m_target.nStrength = 0;
            m_view.ShowActionScene(m_target, 0, 0, 0, true);
            m_target.nStrength = strength;
        }
    }

    CZRKGameView& m_view;
    bool m_collect;
    UNITSTRUCT& m_target;
    bool m_scene = false;
    bool m_redrawn = false;
    bool m_aircraftDestroyed = false;
};

// --- the dialog of the attack decision ----------------------------------------------------------

int CZRKGameView::AskAttackDecision(UNITSTRUCT& shooter, UNITSTRUCT& target, bool ownAttack, bool movedFirst,
                                    bool counterFire, uint32_t& mask)
{
    mask = 0;
    unsigned flags = 0;
    if (ownAttack) flags |= kAttackOwn;
    if (movedFirst) flags |= kAttackMovedFirst;
    if (counterFire) flags |= kAttackCounterFire;
    const int answer = Dialogs().AttackDecisionDialog(shooter, target, flags, mask);
    if (answer != kAnswerOk) mask = 0;
    return answer;
}

uint32_t CZRKGameView::DecideReturnFire(UNITSTRUCT& attacker, UNITSTRUCT& defender)
{
    if (m_pDoc == nullptr) return 0;
    // The player of a country that decides its answers itself is asked
    // only when the defender has something to answer with.
    class Ask final : public CombatHooks {
    public:
        explicit Ask(CZRKGameView& view) : m_view(view) {}
        int AskReturnFire(UNITSTRUCT& defender, UNITSTRUCT& attacker) override
        {
            std::array<int, 8> values{};
            if (FindUsableWeapons(defender, attacker, m_view.GetDocument()->m_GameData, false, 1, values,
                                  false) <= 0)
                return 0;
            uint32_t mask = 0;
            return m_view.AskAttackDecision(defender, attacker, false, false, true, mask) == kAnswerOk
                       ? static_cast<int>(mask)
                       : 0;
        }

    private:
        CZRKGameView& m_view;
    } ask(*this);
    return ChooseReturnFire(m_pDoc->m_GameData, defender, attacker, ask);
}

// --- one exchange -----------------------------------------------------------------------------------

int CZRKGameView::RunCombatExchange(UNITSTRUCT& attacker, UNITSTRUCT& defender, uint32_t attackerWeapons,
                                    uint32_t defenderWeapons, bool reaction, bool collect, bool keepAction,
                                    bool scene)
{
    m_bExchangeStopped = false;
    if (m_pDoc == nullptr || !InUse(attacker) || !InUse(defender)) return 0;
    m_CombatOut.hits = {};
    ViewExchangeHooks view(*this, collect, defender);
    DocCombatHooks hooks(*m_pDoc, &view);
    GameDraws draws(m_pDoc->Random());
    ExchangeArgs args;
    args.attackerMask = attackerWeapons;
    args.defenderMask = defenderWeapons;
    args.reaction = reaction;
    args.collect = collect;
    args.keepAction = keepAction;
    args.scene = scene;
    args.actor = m_pSelUnit;
    const ExchangeOutcome out = zrv::RunCombatExchange(m_pDoc->m_GameData, m_pDoc->m_dwHexUnit, attacker,
                                                       defender, args, draws, hooks);
    if (out.stopped) {
        m_bExchangeStopped = true;
        return 1;
    }
    if (view.Redrawn()) m_nAttackKind = 0;
    if (InUse(attacker)) RefreshUnitWindows(attacker, 0);
    return AnnounceSurrenders(out.lostCountries);
}

int CZRKGameView::AnnounceSurrenders(uint32_t lostCountries)
{
    if (m_pDoc == nullptr || lostCountries == 0) return 0;
    const uint32_t report = m_pDoc->SurrenderUnitlessCountries(lostCountries);
    if (report == 0) return 0;
    for (int i = 0; i < kCountryCount; ++i) {
        if ((report & (1u << i)) == 0) continue;
        COUNTRYSTRUCT& country = m_pDoc->m_GameData.Country[i];
        m_pDoc->PlayCountrySideSound(country);
        if ((m_pDoc->m_dwGameOption & kOptNoSurrenderBoxes) == 0)
            Dialogs().MessageBox(platform::FormatText("「%s」は降伏しました", {FieldText(country.szName)}),
                                 kBoxOk);
    }
    int result = 0;
    if (report & 0x80000000u) {
        m_pDoc->EndActionPhase(false);
        m_pDoc->SetFlowState(PHASE_JUDGE);
        result = 1;
    }
    RedrawMap(true);
    return result;
}

// --- anti-aircraft fire ------------------------------------------------------------------------------

int CZRKGameView::RunAntiAircraftFire(UNITSTRUCT& aircraft, UNITSTRUCT* excluded, int mode)
{
    if (m_pDoc == nullptr) return 0;
    GAMEDATASTRUCT& game = m_pDoc->m_GameData;
    for (COUNTRYSTRUCT& c : game.Country) {
        c.dwFlag &= ~kCountryAskedAaFire;
        for (UNITSTRUCT& u : c.Unit) u.dwFlag &= ~kUnitFiredAa;
    }
    std::array<FireThreat, 8> list{};
    const int n = std::min<int>(m_pDoc->ListSupportFireUnits(aircraft, static_cast<uint32_t>(mode), list), 8);
    m_dwAAFireDirs = 0;
    m_nAAFireDamage = 0;
    m_CombatOut.result = {};
    // One scene for the whole volley, decided once.
    UNITSTRUCT& sel = m_pSelUnit != nullptr ? *m_pSelUnit : aircraft;
    bool scene = false;
    if (ArmsClass(sel) != kClassBombingSceneOnHit) {
        if (mode == 4) {
            scene = IsBattleSceneWanted(sel, nullptr, sel.dwHexCell);
        } else {
            const UNITSTRUCT* target = m_pDoc->GetUnit(sel.refTarget);
            if (target != nullptr) scene = IsBattleSceneWanted(sel, target, 0);
        }
    }
    if (n <= 0) return 0;
    const HEXINDEX aircraftHex = GetUnitMapHex(game, aircraft);
    for (int i = 0; i < n && InUse(aircraft); ++i) {
        UNITSTRUCT* u = list[static_cast<size_t>(i)].unit;
        if (u == nullptr || !InUse(*u)) continue;
        COUNTRYSTRUCT* country = const_cast<COUNTRYSTRUCT*>(UnitCountry(game, *u));
        const bool cpu = IsCpu(country);
        const HEXINDEX hex = GetUnitMapHex(game, *u);
        // The attack's own target does not shoot at an aircraft right above it.
        if (u == excluded && !IsNavalDomainUnit(*u) && cpu && GetHexDistance(hex, aircraftHex) == 1) continue;
        if (cpu && (country->nLevel & kLevelNoAaFire)) continue;
        if (FlashHexMark(hex, false, false)) return -1;
        if (country != nullptr && !cpu && (country->dwFlag & kCountryAskAaFire) &&
            (country->dwFlag & kCountryAskedAaFire) == 0) {
            country->dwFlag |= kCountryAskedAaFire;
            if (Dialogs().MessageBox("対空防御射撃を実行しますか", kBoxYesNo | kBoxIconQuestion) == kAnswerNo)
                return 0;
        }
        u->dwFlag &= ~kUnitMoved;
        const uint32_t mask = list[static_cast<size_t>(i)].value & 0xFFFFu;
        if (RunCombatExchange(*u, aircraft, mask, 0, true, true, false, scene)) return -1;
        u->dwFlag |= kUnitFiredAa;
    }
    return 0;
}

// --- attack ----------------------------------------------------------------------------------------

int CZRKGameView::ExecuteAttack(UNITSTRUCT& attacker, UNITSTRUCT& target, uint32_t weapons)
{
    if (m_pDoc == nullptr) return 0;
    if (m_nTargetHex < 0) RefreshStatusStrip(-1, true, &attacker, false);
    target.dwFlag &= ~kUnitFiredAa;
    m_nAttackKind = 0;
    if (IsAirDomainUnit(attacker) && !IsAirDomainUnit(target)) {
        m_nAttackKind = 1;
        m_pAttackTarget = &target;
        if (RunAntiAircraftFire(attacker, &target, 2) < 0) return -1;
    }
    if (InUse(attacker)) {
        const uint32_t answer =
            m_pDoc->IsUnitUnseenByEnemy(attacker) ? 0 : DecideReturnFire(attacker, target);
        if (RunCombatExchange(attacker, target, weapons, answer, false, false, false, false)) return -1;
    }
    ClearHexMarks(true);
    RefreshChangedUnits(m_pSelUnit, nullptr);
    EndSelection(true);
    m_nAttackKind = 0;
    m_pAttackTarget = nullptr;
    return 0;
}

int CZRKGameView::ExecuteAttackBeforeUnload(UNITSTRUCT& carrier, UNITSTRUCT& target, uint32_t weapons)
{
    if (m_pDoc == nullptr) return 0;
    if (IsAirDomainUnit(carrier) && !IsAirDomainUnit(target) && (carrier.dwFlag & kUnitAaVolleyDone) == 0) {
        m_nAttackKind = 1;
        m_pAttackTarget = &target;
        if (RunAntiAircraftFire(carrier, nullptr, 2) < 0) return -1;
    } else {
        m_nAttackKind = 0;
        m_pAttackTarget = nullptr;
    }
    const uint32_t answer = DecideReturnFire(carrier, target);
    if (RunCombatExchange(carrier, target, weapons, answer, false, false, true, false)) return -1;
    // The unload that follows provokes no second volley.
    carrier.dwFlag |= kUnitAaVolleyDone | kUnitNoAttackAfterUnload;
    ClearHexMarks(true);
    m_nAttackKind = 0;
    m_pAttackTarget = nullptr;
    return 0;
}

// --- bombing -----------------------------------------------------------------------------------------

int CZRKGameView::ExecuteBombing(UNITSTRUCT& unit, HEXINDEX hex)
{
    if (m_pDoc == nullptr || !IsMapHex(hex)) return 0;
    ClearHexMarks(true);
    GAMEDATASTRUCT& game = m_pDoc->m_GameData;
    if (IsAirDomainUnit(unit)) {
        // The aircraft flies over its target before anyone fires at it.
        if (GetUnitMapHex(game, unit) != hex) (void)MoveUnitTo(*m_pDoc, unit, hex, nullptr);
        m_nAttackKind = 3;
        m_pAttackTarget = nullptr;
        if (RunAntiAircraftFire(unit, nullptr, 4) < 0) return -1;
    }
    if (InUse(unit)) {
        MAPCELL& cell = m_pDoc->m_dwHexCell[hex];
        const MAPCELL saved = cell;
        GameDraws draws(m_pDoc->Random());
        const OrderResult r = zrv::ExecuteBombing(*m_pDoc, unit, hex, draws);
        const int damage = r.Done() ? (r.value & 0x7FFF) : 0;
        int shown = 0;
        const int cls = ArmsClass(unit);
        if (cls == kClassBombingSceneOnHit) {
            if (m_dwAAFireDirs != 0) {
                unit.dwHexCell = saved;
                shown = ShowActionScene(unit, 0, 0, saved, false);
                unit.dwHexCell = cell;
            }
        } else if (cls != kClassNoBombingScene) {
            shown = ShowActionScene(unit, unit.dwWeaponMask, r.value, saved, false);
        }
        if (shown < 0) return -1;
        if (shown == 0 && damage > 0) AnimateHexDamage(hex, saved, damage, false);
        SetUnitCode(unit);
        RedrawMap(false);
        RefreshUnitWindows(unit, 2);
        NotifySituationTable(3);
    }
    EndSelection(true);
    m_nAttackKind = 0;
    return 0;
}

// --- unloading ---------------------------------------------------------------------------------------

int CZRKGameView::ExecuteUnload(UNITSTRUCT& carrier, UNITSTRUCT& unit, HEXINDEX hex)
{
    if (m_pDoc == nullptr) return 0;
    ClearHexMarks(true);
    GAMEDATASTRUCT& game = m_pDoc->m_GameData;
    if (IsAirDomainUnit(carrier) && (carrier.dwFlag & kUnitAaVolleyDone) == 0) {
        m_nAttackKind = 2;
        m_pAttackTarget = nullptr;
        if (RunAntiAircraftFire(carrier, nullptr, 2) < 0) return -1;
        if (m_dwAAFireDirs != 0 && ShowActionScene(carrier, 0, 0, 0, false) < 0) return -1;
    }
    int result = 0;
    if (InUse(carrier)) {
        const OrderResult r = UnloadUnit(*m_pDoc, carrier, unit, hex);
        result = r.Done() ? r.value : 0;
        PlaySE(kSoundUnload);
        if (m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & kCountryFog)) {
            RedrawUnitAtHex(hex, unit);
            if (UNITSTRUCT* enemy = m_pDoc->FindDefensiveFireUnit(unit, hex); enemy != nullptr) {
                if (FlashHexMark(GetUnitMapHex(game, *enemy), true, false)) return -1;
                unit.dwFlag |= kUnitUnderDefensiveFire;
                m_nAttackKind = 0;
                if (RunCombatExchange(*enemy, unit, static_cast<uint32_t>(enemy->nCpuScore), 0, false, false,
                                      false, false))
                    return -1;
                unit.dwFlag &= ~kUnitUnderDefensiveFire;
            }
            if (InUse(unit) && SearchAroundUnit(unit) != 0) RefreshStatusStrip(-1, true, &unit, false);
        }
    }
    RefreshChangedUnits(&carrier, &unit);
    carrier.dwFlag |= kUnitAaVolleyDone;
    m_nAttackKind = 0;
    return result;
}

}  // namespace zrv
