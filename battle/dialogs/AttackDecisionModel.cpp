#include "battle/dialogs/AttackDecisionModel.h"

#include <algorithm>
#include <bit>

#include "battle/engine/Combat.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

// Seen bit of a country's availability word, fog bit of its flag word.
constexpr uint32_t kArmsSeen = 1u << 29;
constexpr uint32_t kOptionCounterDamage = 1u << 8;

// Text colour codes of the card.
constexpr int kRed = 2, kBlue = 3, kWhite = 5, kGrey = 6, kCurrent = 0;

// Source rectangles of "attack2.pxs".
constexpr int kBackW = 272, kBackH = 241;
constexpr int kBandW = 244, kBandH = 16;
constexpr int kSelectedBandY = 241, kUnusableBandY = 257;
constexpr int kUnusableMarkX = 244, kUnusableMarkY = 241, kMarkSize = 16;
constexpr int kBarY = 273, kStrengthBarX = 100, kDamageBarX = 0, kBarW = 100, kBarH = 10;
// "weapon.pxs": 12 x 12 cells stacked downward; cell 37 the droppable mark.
constexpr int kIcon = 12, kDroppableCell = 37;

std::string Fmt(const char* format, int v)
{
    return platform::FormatText(format, {v});
}

// A bar of value x 100 / full pixels, none when the full value is 0.
int BarWidth(int value, int full)
{
    if (full <= 0) return 0;
    return std::clamp(value * kBarW / full, 0, kBarW);
}

}  // namespace

AttackDecisionModel::AttackDecisionModel(CZRKGameDoc& doc, UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags)
    : m_doc(doc),
      m_unit(unit),
      m_target(target),
      m_bOwnAttack((flags & kAttackOwn) != 0),
      m_bMovedFirst((flags & kAttackMovedFirst) != 0),
      m_bCounterFire((flags & kAttackCounterFire) != 0)
{
    // What the viewing country knows of the target's type.
    // The current country's records tell whether the type was seen; the
    // viewing country's fog may hide the unit itself.
    const COUNTRYSTRUCT* current = doc.m_pCurCountry;
    const COUNTRYSTRUCT* viewer = doc.m_pViewCountry != nullptr ? doc.m_pViewCountry : current;
    if (current != nullptr && target.nArms >= 0 && target.nArms < kArmsCount) {
        m_bTargetKnown = (current->dwArmsAvail[target.nArms] & kArmsSeen) != 0;
        if ((viewer->dwFlag & kCountryFog) && viewer->nSide >= 0 && viewer->nSide < 16 &&
            (target.dwFlag & (1u << (16 + viewer->nSide))))
            m_bTargetKnown = false;
    }
    m_bShowCounterDamage = (doc.m_dwGameOption & kOptionCounterDamage) != 0;
    m_bStoresGone = (unit.dwOrder & kOrderJettisonPending) != 0;
    std::copy(std::begin(unit.nAmmo), std::end(unit.nAmmo), m_nSavedAmmo.begin());
    m_nSavedMoved = unit.nMoved;
    if (m_bStoresGone) {
        for (int s = 0; s < kWeaponSlots; ++s)
            if (const WEAPONSTRUCT* w = UnitWeapon(unit, s); w && IsDroppable(*w)) unit.nAmmo[s] = 0;
    }
    const COUNTRYSTRUCT* own = UnitCountry(doc.m_GameData, unit);
    m_bCpu = own != nullptr && (own->dwFlag & kCountryCpu) != 0;
    Propose();
    m_bJettisonEnabled = CheckUnitJettison(unit) == 0 && !m_bStoresGone && m_bOwnAttack;
}

void AttackDecisionModel::Propose()
{
    const GAMEDATASTRUCT& game = m_doc.m_GameData;
    FindUsableWeapons(m_unit, m_target, game, m_bMovedFirst, 0, m_nUsable, false);
    m_bTargetIsAir = IsAirDomainUnit(m_target);
    WeaponChoice how;
    how.afterMoving = m_bMovedFirst;
    how.startAtZero = m_bCounterFire;
    how.isCpu = m_bCpu;
    how.heightRule = true;
    m_dwWeaponMask = static_cast<uint32_t>(std::max(0, ChooseWeaponGroup(m_unit, m_target, m_nUsable, game, how)));

    FindUsableWeapons(m_target, m_unit, game, false, 1, m_nTargetUsable, false);
    m_bUnitIsAir = IsAirDomainUnit(m_unit);
    WeaponChoice answer;
    answer.startAtZero = !m_bCounterFire;
    // The firing unit's country decides here too, as it always has.
    answer.isCpu = m_bCpu;
    m_dwTargetMask =
        static_cast<uint32_t>(std::max(0, ChooseWeaponGroup(m_target, m_unit, m_nTargetUsable, game, answer)));
    ComputeExpected();
}

void AttackDecisionModel::ComputeExpected()
{
    const GAMEDATASTRUCT& game = m_doc.m_GameData;
    FindUsableWeapons(m_unit, m_target, game, m_bMovedFirst, m_bCounterFire ? 1 : 0, m_nUsable, false);
    m_nDamage = CalcCombatDamage(m_unit, m_target, m_dwWeaponMask, m_nUsable, nullptr, false) / 10;
    FindUsableWeapons(m_target, m_unit, game, false, m_bCounterFire ? 0 : 1, m_nTargetUsable, false);
    m_nCounterDamage = CalcCombatDamage(m_target, m_unit, m_dwTargetMask, m_nTargetUsable, nullptr, false) / 10;
}

int AttackDecisionModel::RowGroup(int slot) const
{
    const WEAPONSTRUCT* w = UnitWeapon(m_unit, slot);
    return w != nullptr ? w->byGroup : -1;
}

std::string AttackDecisionModel::HitText(int slot) const
{
    const WEAPONSTRUCT* w = UnitWeapon(m_unit, slot);
    if (w == nullptr || w->nWeaponNo <= 0 || w->nAccuracy == 0) return {};
    // Against an adjacent target no row shows one; an unusable row shows 0.
    if (GetHexDistance(m_unit.nHex, m_target.nHex) == 1) return {};
    const int usable = m_nUsable[static_cast<size_t>(slot)];
    if (usable == 0) return Fmt("%3d%%", 0);
    int chance = GetHitChance(m_doc.m_GameData, m_unit, m_target.nHex, m_target.nExp, slot, m_bTargetIsAir) -
                 GetAirTargetEvasion(m_unit, m_target);
    return Fmt("%3d%%", std::max(1, chance));
}

bool AttackDecisionModel::ClickAt(int, int y)
{
    if (y < kFirstRowY) return false;
    const int row = (y - kFirstRowY) / kRowH;
    if (row < 0 || row >= kWeaponSlots || m_nUsable[static_cast<size_t>(row)] <= 0) return false;
    // The group of the selection: all selected rows are of one group.
    const int current = m_dwWeaponMask != 0 ? RowGroup(std::countr_zero(m_dwWeaponMask)) : -1;
    const int group = RowGroup(row);
    const uint32_t bit = 1u << row;
    if (group == current) {
        // The last selected row stays.
        if (std::popcount(m_dwWeaponMask) < 2 && (m_dwWeaponMask & bit)) return false;
        m_dwWeaponMask ^= bit;
    } else {
        m_dwWeaponMask = 0;
        for (int s = 0; s < kWeaponSlots; ++s)
            if (m_nUsable[static_cast<size_t>(s)] != 0 && RowGroup(s) == group) m_dwWeaponMask |= 1u << s;
    }
    ComputeExpected();
    return true;
}

void AttackDecisionModel::Jettison()
{
    if (!m_bJettisonEnabled) return;
    // After a move the jettison pays the fuel the move has still to burn.
    (void)JettisonUnitStores(m_doc, m_unit, m_bMovedFirst);
    Propose();
    m_bFireEnabled = m_dwWeaponMask != 0;
    m_bJettisonEnabled = false;
}

void AttackDecisionModel::Cancel()
{
    std::copy(m_nSavedAmmo.begin(), m_nSavedAmmo.end(), std::begin(m_unit.nAmmo));
    m_unit.nMoved = m_nSavedMoved;
}

void AttackDecisionModel::Paint(CDib& canvas, CDib* back, CDib* icons, const platform::Font* font) const
{
    DrawContext dc;
    dc.surface = canvas.Surface();
    dc.font = font;
    if (back != nullptr) back->CopyRect(&canvas, 4, 6, kBackW, kBackH, 0, 0, -1);

    const DataLibrary& lib = Lib();
    DrawColorText(&dc, 90, 12, m_bTargetKnown ? TableText(lib.UnitNameJ, m_target.nArms) : "？", kCurrent);

    const ARMSSTRUCT* targetType = UnitArms(m_target);
    const int full = targetType != nullptr ? targetType->nStrengthMax : 0;
    if (back != nullptr) {
        if (int w = BarWidth(m_target.nStrength, full); w > 0)
            back->CopyRect(&canvas, 84, 35, w, kBarH, kStrengthBarX, kBarY, -1);
        if (m_bTargetKnown && m_nDamage > 0)
            if (int w = BarWidth(m_nDamage, full); w > 0) back->CopyRect(&canvas, 84, 35, w, kBarH, kDamageBarX, kBarY, -1);
    }
    DrawColorText(&dc, 128, 34, m_bTargetKnown ? Fmt("%2d", m_nDamage) : std::string(" ?"), kWhite);
    if (m_bTargetKnown && m_bShowCounterDamage) DrawColorText(&dc, 228, 34, Fmt("%2d", m_nCounterDamage), kRed);

    if (m_dwWeaponMask != 0) {
        const int best = GetBestWeaponDamage(m_unit, m_target, m_dwWeaponMask, m_nUsable);
        DrawColorText(&dc, 70, 58, m_bTargetKnown ? Fmt("%3d", best) : std::string("  ?"), kCurrent);
        DrawColorText(&dc, 167, 58, Fmt("%2d", GetWeaponShotCount(m_unit, m_dwWeaponMask, m_bTargetIsAir)), kCurrent);
        const int order = GetInitiativeValue(m_unit, m_dwWeaponMask, m_bTargetIsAir, m_bMovedFirst) +
                          GetHeightPenalty(m_unit, m_target, true, m_doc.m_GameData);
        const bool loaded = SumUnitWeaponValue(m_unit, m_bTargetIsAir ? 0 : 1, -1) != 0;
        DrawColorText(&dc, 236, 58, Fmt("%2d", order), loaded ? kRed : kCurrent);
    }

    for (int i = 0; i < kWeaponSlots; ++i) {
        const int y = kFirstRowY + kRowH * i;
        const int usable = m_nUsable[static_cast<size_t>(i)];
        int colour = kCurrent;
        if (usable == 0) {
            colour = kGrey;
            if (back != nullptr) {
                back->CopyRect(&canvas, 27, y, kBandW, kBandH, 0, kUnusableBandY, -1);
                back->CopyRect(&canvas, 9, y - 1, kMarkSize, kMarkSize, kUnusableMarkX, kUnusableMarkY, -1);
            }
        } else if (m_dwWeaponMask & (1u << i)) {
            colour = kWhite;
            if (back != nullptr) back->CopyRect(&canvas, 27, y, kBandW, kBandH, 0, kSelectedBandY, -1);
        }
        const WEAPONSTRUCT* w = UnitWeapon(m_unit, i);
        if (w == nullptr || w->nWeaponNo <= 0) continue;
        if (icons != nullptr) {
            icons->CopyRectIndexOffset(&canvas, 11, y + 1, kIcon, kIcon, 0, kIcon * w->byType, w->byGroup * 9);
            if (IsDroppable(*w)) icons->CopyRect(&canvas, 11, y + 1, kIcon, kIcon, 0, kIcon * kDroppableCell, 0);
        }
        DrawColorText(&dc, 29, y + 2, TableText(lib.WeaponName, w->nWeaponNo), colour);
        DrawColorText(&dc, 179, y + 2, Fmt("%2d", w->nPieces), (w->dwWeaponFlag & 1u) ? kBlue : colour);
        DrawColorText(&dc, 203, y + 2, Fmt("%3d", usable), colour);
        DrawColorText(&dc, 226, y + 2, HitText(i), colour);
        DrawColorText(&dc, 257, y + 2, Fmt("%2d", m_unit.nAmmo[i]), colour);
    }
}

}  // namespace zrv
