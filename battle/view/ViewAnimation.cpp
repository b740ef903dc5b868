// The map shows orders happening: shots bursting on hexes, a hex flashing to
// draw the eye, units sliding along their route with their move sound, and a
// hex's durability counting down. Every animation runs inside its order,
// paced by the view's timed wait, and stops at once on a close request.
#include <algorithm>
#include <memory>
#include <vector>

#include "battle/engine/Sight.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr unsigned kShotTickMs = 75;
constexpr unsigned kFlashTickMs = 50;
constexpr unsigned kMoveTickMs = 50;
constexpr int kExplosionSize = 48;
constexpr int kExplosionFrames = 10;
// Where in the hex's cell an explosion frame lies.
constexpr int kExplosionDx = 4;
constexpr int kExplosionDy = 0;
constexpr int kBombingSound = 16;
constexpr int kOccupationSound = 17;
// The seen marker of a unit (its supply word): it has been shown moving.
constexpr uint32_t kSupplySeenMarker = 0x00000200u;

// Entry index of a library sound table, or -1 when the index lies outside it.
int TableSound(std::span<const int32_t> table, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= table.size()) return -1;
    return table[static_cast<size_t>(index)];
}

}  // namespace

// --- the viewing side ----------------------------------------------------------------

namespace {

struct Viewer {
    bool fog = false;
    int side = 0;
};

Viewer ViewerOf(const CZRKGameDoc* doc)
{
    Viewer v;
    const COUNTRYSTRUCT* c = doc != nullptr ? doc->m_pViewCountry : nullptr;
    if (c == nullptr) return v;
    v.fog = (c->dwFlag & kCountryFog) != 0;
    v.side = std::clamp(c->nSide, 0, 2);
    return v;
}

// The viewing side sees unit standing on hex (always without fog).
bool SeenAt(const CZRKGameDoc* doc, const UNITSTRUCT& unit, HEXINDEX hex)
{
    const Viewer v = ViewerOf(doc);
    if (!v.fog) return true;
    if (!IsMapHex(hex)) return false;
    return IsUnitPerceived(unit, doc->m_dwHexSearch[hex], v.side) != 0;
}

}  // namespace

// --- flash ------------------------------------------------------------------------------

int CZRKGameView::FlashHexMark(HEXINDEX hex, bool bSeenOnly, bool bMark4)
{
    if (!IsHexOnViewMap(hex)) return 0;
    m_dwState &= ~kViewCloseRequested;
    bool hidden = false;
    const Viewer v = ViewerOf(m_pDoc);
    if (v.fog && m_pDoc != nullptr) {
        const uint32_t blind = CoverSightBit(v.side) | CoverRadarBit(v.side) | CoverSonarBit(v.side);
        hidden = (m_pDoc->m_dwHexSearch[hex] & blind) == blind;
    }
    if (m_bEnemyTurn && hidden) return 0;
    LogEffect("flash", hex, bMark4 ? 4 : 2);
    const size_t at = static_cast<size_t>(hex);
    m_dwState |= kViewBusy;
    StartWaitTimer(1, kFlashTickMs);
    if (WaitPump()) return 1;
    static constexpr uint32_t kSteps[4] = {2, 1, 2, 1};
    for (uint32_t mark : kSteps) {
        m_dwHexMarkView[at] = bMark4 ? 4u : mark;
        if (RedrawHexIfVisible(hex, !(hidden && !bSeenOnly)) != 0) {
            StartWaitTimer(1, kFlashTickMs);
            if (WaitPump()) {
                m_dwHexMarkView[at] = 0;
                return 1;
            }
        }
        if (m_dwState & kViewCloseRequested) {
            KillViewTimers();
            m_dwState &= ~(kViewCloseRequested | kViewBusy);
            m_dwHexMarkView[at] = 0;
            return 1;
        }
    }
    m_dwHexMarkView[at] = 0;
    m_dwState &= ~kViewBusy;
    RedrawMap(false);
    return 0;
}

bool CZRKGameView::ShowHexAndFlash(HEXINDEX hex)
{
    if (!EnsureHexVisible(hex)) return false;
    return FlashHexMark(hex, false, false) == 0;
}

// --- explosions ---------------------------------------------------------------------------

void CZRKGameView::DrawExplosionFrame(int frame, int x, int y, CDib* background, bool bUpdate)
{
    CDib* expl = m_pExplDib.get();
    if (expl == nullptr || frame < 0) return;
    const int sx = (frame % 10) * kExplosionSize, sy = (frame / 10) * kExplosionSize;
    // A kind beyond the picture draws nothing rather than whatever lies there.
    if (sx + kExplosionSize > expl->GetWidth() || sy + kExplosionSize > expl->GetHeight()) return;
    DrawOverlayAtCell(expl, x, y, kExplosionSize, kExplosionSize, sx, sy, background, bUpdate);
}

namespace {

// The 48 x 48 box of the current cell where explosions lie, copied out of
// the buffer into the top-left corner of into.
void SaveExplosionBackground(CDib& buffer, PointI cell, CDib& into)
{
    platform::Surface8 from = buffer.Surface();
    platform::Surface8 to = into.Surface();
    for (int y = 0; y < kExplosionSize; ++y)
        for (int x = 0; x < kExplosionSize; ++x)
            to.SetPixel(x, y, from.GetPixel(cell.x + kExplosionDx + x, cell.y - kExplosionDy + y));
}

}  // namespace

int CZRKGameView::AnimateShot(HEXINDEX hex, int kind)
{
    if (!IsHexOnViewMap(hex)) return 0;
    m_dwState &= ~kViewCloseRequested;
    m_bShotShown = 1;
    const int savedMode = m_nCmdMode;
    m_nCmdMode = kModeNone;
    if (!StartWaitTimer(1, kShotTickMs)) {
        RedrawMap(false);
        m_nCmdMode = savedMode;
        return 0;
    }
    m_dwState |= kViewBusy;
    LogEffect("explosion", hex, kind);
    const int sound = TableSound(Lib().WaveShotedTable, kind);
    if (sound >= 0) StartEffect(sound, -1, 0);
    auto stopped = [&] {
        m_nCmdMode = savedMode;
        return 1;
    };
    if (WaitPump()) return stopped();
    EnsureHexVisible(hex);
    HexToCell(hex, true);
    if (m_pDib && m_pWorkDib) SaveExplosionBackground(*m_pDib, m_ptCell, *m_pWorkDib);
    for (int s = 0; s < kExplosionFrames; ++s) {
        DrawExplosionFrame(kind * 10 + s, kExplosionDx, kExplosionDy, nullptr, true);
        StartWaitTimer(1, kShotTickMs);
        if (WaitPump()) return stopped();
    }
    m_dwState &= ~kViewBusy;
    RedrawMap(false);
    m_nCmdMode = savedMode;
    return 0;
}

int CZRKGameView::AnimateImpacts(std::span<const Impact> impacts)
{
    bool any = false;
    HEXINDEX centre = -1;
    for (const Impact& i : impacts) {
        if (i.hex < 0) break;
        if (!IsHexOnViewMap(i.hex)) continue;
        any = true;
        m_bShotShown = 1;
        if (!HexToCell(i.hex, false)) centre = i.hex;
    }
    if (!any) return 0;
    m_dwState &= ~kViewCloseRequested;
    if (centre >= 0) CenterOnHex(centre);
    struct Shown {
        HEXINDEX hex;
        int kind;
        std::unique_ptr<CDib> background;
    };
    std::vector<Shown> shown;
    const RgbQuad* table = GetPalette() != nullptr ? GetPalette()->GetColorTable() : nullptr;
    for (const Impact& i : impacts) {
        if (i.hex < 0) break;
        if (!IsHexOnViewMap(i.hex) || !HexToCell(i.hex, true) || !m_pDib) continue;
        auto dib = std::make_unique<CDib>();
        if (!dib->Create(kExplosionSize, kExplosionSize, table)) continue;
        SaveExplosionBackground(*m_pDib, m_ptCell, *dib);
        shown.push_back({i.hex, i.kind, std::move(dib)});
    }
    const int savedMode = m_nCmdMode;
    m_nCmdMode = kModeNone;
    if (!StartWaitTimer(1, kShotTickMs)) {
        m_nCmdMode = savedMode;
        return 0;
    }
    m_dwState |= kViewBusy;
    for (const Shown& s : shown) LogEffect("explosion", s.hex, s.kind);
    for (const Shown& s : shown) {
        const int sound = TableSound(Lib().WaveShotedTable, s.kind);
        if (sound >= 0) StartEffect(sound, -1, 0);
    }
    for (int f = 0; f < kExplosionFrames; ++f) {
        for (const Shown& s : shown) {
            if (!HexToCell(s.hex, true)) continue;
            DrawExplosionFrame(s.kind * 10 + f, kExplosionDx, kExplosionDy, s.background.get(), false);
        }
        if (m_pWindow != nullptr) m_pWindow->UpdateNow();
        if (WaitPump()) {
            m_nCmdMode = savedMode;
            return 1;
        }
        if (f + 1 < kExplosionFrames) StartWaitTimer(1, kShotTickMs);
    }
    m_dwState &= ~kViewBusy;
    RedrawMap(false);
    m_nCmdMode = savedMode;
    return 0;
}

int CZRKGameView::AnimateShots(int order, std::span<const HEXINDEX>& cursor, const UNITSTRUCT& shooter,
                               const UNITSTRUCT& target, uint32_t shooterWeapons, uint32_t targetWeapons)
{
    m_bShotShown = 0;
    auto runLength = [](std::span<const HEXINDEX> c) {
        size_t n = 0;
        while (n < c.size() && c[n] >= 0) ++n;
        return n;
    };
    auto skipRun = [&](std::span<const HEXINDEX>& c) {
        const size_t n = runLength(c);
        c = c.subspan(std::min(c.size(), n + 1));
    };
    const size_t n = runLength(cursor);
    if (n == 0) {
        skipRun(cursor);
        return 0;
    }
    if (m_pDoc == nullptr) {
        skipRun(cursor);
        return 0;
    }
    const std::span<const MAPCELL, kHexCount> cells(m_pDoc->m_dwHexCell);
    const int shooterType = GetWeaponTypeOfMask(shooter, shooterWeapons);
    int result = 0;
    if (order == 0 || n > 1) {
        std::vector<Impact> list;
        for (size_t i = 0; i < n; ++i)
            list.push_back({cursor[i], GetImpactEffectKind(target, shooterType, cursor[i], cells)});
        if (order == 0) {
            // Both sides fired at once: the answer bursts in the same display.
            std::span<const HEXINDEX> second = cursor.subspan(std::min(cursor.size(), n + 1));
            const int targetType = GetWeaponTypeOfMask(target, targetWeapons);
            for (size_t i = 0; i < second.size() && second[i] >= 0; ++i)
                list.push_back({second[i], GetImpactEffectKind(shooter, targetType, second[i], cells)});
            skipRun(cursor);
        }
        list.push_back({-1, 0});
        result = AnimateImpacts(list);
    } else {
        result = AnimateShot(cursor[0], GetImpactEffectKind(target, shooterType, cursor[0], cells));
    }
    skipRun(cursor);
    if (result == 0) ReleaseSoundEffects();
    return result;
}

// --- unit movement --------------------------------------------------------------------------

int CZRKGameView::AnimateUnitMove(UNITSTRUCT& unit, HEXINDEX hex)
{
    m_nCmdMode = kModeNone;
    if (m_pDoc == nullptr) return 0;
    m_dwState &= ~kViewCloseRequested;
    GAMEDATASTRUCT& game = m_pDoc->m_GameData;
    const HEXINDEX start = GetUnitMapHex(game, unit);
    const Viewer viewer = ViewerOf(m_pDoc);
    const bool carried = (unit.dwFlag & kUnitCarried) != 0;
    // The code the unit shows on hex: its cell field holds that hex's cell
    // for the drawing, and a mere contact shows its domain's picture.
    const ARMSSTRUCT* arms = UnitArms(unit);
    auto codeAt = [&](HEXINDEX h, bool contact) {
        const MAPCELL savedCell = unit.dwHexCell;
        SetUnitHexCell(unit, m_pDoc->m_dwHexCell[h]);
        uint32_t code = MakeUnitDisplayCode(unit);
        unit.dwHexCell = savedCell;
        if (contact && arms != nullptr &&
            CodePicture(code) == (arms->nPicture & static_cast<int>(kCodePictureMask)))
            code = (code & ~kCodePictureMask) | static_cast<uint32_t>(std::clamp(GetUnitDomain(unit), 0, 4));
        return code;
    };
    auto finish = [&] {
        if (!m_bEnemyTurn) {
            for (int h : m_nRoute) {
                if (h < 0) break;
                if (IsMapHex(h)) m_dwHexMarkView[static_cast<size_t>(h)] = 1;
            }
            if (IsMapHex(start)) m_dwHexMarkView[static_cast<size_t>(start)] = 1;
        }
        RedrawMap(false);
        RefreshStatusStrip(hex, true, &unit, false);
    };
    const bool skip = (m_dwDispOption & kDispHqMap) != 0 ||
                      (!IsHexOnViewMap(start) && !IsHexOnViewMap(hex)) ||
                      (viewer.fog && !SeenAt(m_pDoc, unit, start) && !SeenAt(m_pDoc, unit, hex));
    if (skip || !StartWaitTimer(1, kMoveTickMs)) {
        if (!carried) ClearHexUnitDisplay(start);
        LogEffect("jump", start, hex);
        if (IsMapHex(hex) && !(m_bEnemyTurn && !SeenAt(m_pDoc, unit, hex)))
            m_dwHexUnitCode[static_cast<size_t>(hex)] = codeAt(hex, false);
        KillViewTimers();
        m_dwState &= ~0x8u;
        finish();
        return 0;
    }
    unit.dwSupplyFlag |= kSupplySeenMarker;
    const bool contact = (unit.dwFlag & (0x00010000u << viewer.side)) != 0 || !SeenAt(m_pDoc, unit, start);
    const bool onViewerSide = m_pCurCountry != nullptr && m_pDoc->m_pViewCountry != nullptr &&
                              m_pCurCountry->nSide == m_pDoc->m_pViewCountry->nSide;
    m_dwState |= kViewBusy;
    LogEffect("slide", start, hex);
    if (WaitPump()) return 1;
    const int moveType = arms != nullptr ? arms->nMoveType : -1;
    const int moveSound =
        TableSound(m_pDoc->IsSnowSeason() ? Lib().WaveMoveTableSnow : Lib().WaveMoveTableNormal, moveType);
    int slot = moveSound >= 0 ? StartEffect(moveSound, -1, 1) : -1;
    int playing = moveSound;
    const uint32_t aboard = unit.dwFlag & kUnitCarried;
    unit.dwFlag &= ~kUnitCarried;
    auto stop = [&] {
        if (slot >= 0) StopEffect(slot);
        unit.dwFlag |= aboard;
    };
    HEXINDEX previous = start;
    bool first = true;
    for (int h : m_nRoute) {
        if (h < 0) break;
        if (m_dwState & kViewCloseRequested) {
            KillViewTimers();
            m_dwState &= ~(kViewCloseRequested | kViewBusy | 0x8u);
            stop();
            return 1;
        }
        if (!IsMapHex(h)) continue;
        // Deep water has a sound of its own while the unit wades through it.
        const int water = m_pDoc->GetWaterMoveSound(unit, previous, h);
        const int wanted = water > 0 ? water : moveSound;
        if (wanted != playing) {
            if (slot >= 0) StopEffect(slot);
            slot = wanted >= 0 ? StartEffect(wanted, -1, 1) : -1;
            playing = wanted;
        }
        if (first) {
            if (!carried) ClearHexUnitDisplay(previous);
            first = false;
        } else if (IsMapHex(previous)) {
            const UNITSTRUCT* there = m_pDoc->GetUnit(m_pDoc->m_dwHexUnit[previous]);
            m_dwHexUnitCode[static_cast<size_t>(previous)] =
                there != nullptr && (there->dwFlag & kUnitInUse) && there != &unit
                    ? MakeUnitDisplayCode(*there)
                    : 0;
        }
        const bool hiddenThere = viewer.fog && !onViewerSide && !SeenAt(m_pDoc, unit, h);
        if (!hiddenThere) m_dwHexUnitCode[static_cast<size_t>(h)] = codeAt(h, contact);
        if (IsMapHex(previous) && HexToCell(previous, false)) RedrawHex(previous, true, true);
        if (IsHexOnViewMap(h)) {
            if (HexToCell(h, false))
                RedrawHex(h, true, true);
            else
                CenterOnHex(h);
        }
        if (m_pWindow != nullptr) m_pWindow->UpdateNow();
        StartWaitTimer(1, kMoveTickMs);
        if (WaitPump()) {
            stop();
            return 1;
        }
        previous = h;
    }
    stop();
    m_dwState &= ~kViewBusy;
    finish();
    return 0;
}

// --- durability count-down ------------------------------------------------------------------

int CZRKGameView::AnimateHexDamage(HEXINDEX hex, MAPCELL former, int amount, bool bOccupation)
{
    if ((m_dwDispOption & kDispHqMap) != 0 || m_pDoc == nullptr || !IsMapHex(hex)) return 0;
    m_dwState &= ~kViewCloseRequested;
    MAPCELL& cell = m_pDoc->m_dwHexCell[hex];
    const MAPCELL saved = cell;
    UNITSTRUCT* sel = m_pSelUnit;
    const int savedFuel = sel != nullptr ? sel->nFuel : 0;
    if (sel != nullptr && IsMapHex(m_nTargetHex))
        sel->nFuel += static_cast<int>(m_pDoc->m_dwHexMove[m_nTargetHex] & 0xFFFFu);
    const int sound = bOccupation ? kOccupationSound : kBombingSound;
    int nextSound = 1;
    for (int step = 1; step <= amount; ++step) {
        // Durability lies in bits 8-15: one less each step.
        cell = former - static_cast<MAPCELL>(256u * static_cast<unsigned>(step));
        RefreshStatusStrip(hex, true, nullptr, true);
        if (step == nextSound) {
            PlaySE(sound);
            nextSound = step + 15 + m_cosmetic.Rand() % 10 + 1;
        }
    }
    ReleaseSoundEffects();
    cell = saved;
    if (sel != nullptr) sel->nFuel = savedFuel;
    return 0;
}

}  // namespace zrv
