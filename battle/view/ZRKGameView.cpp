#include "battle/view/ZRKGameView.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "battle/engine/GameFlow.h"
#include "battle/engine/HandOverDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MovieFiles.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/Movie.h"
#include "foundation/Music.h"
#include "foundation/Utility.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

constexpr int kCellW = 56;
constexpr int kRowH = 42;

// Commands of the frame that toggle the command bars, by the state bit of
// the open bar.
constexpr struct {
    uint32_t bit;
    int command;
} kBarCommands[] = {{0x800, 32820}, {0x400, 32821}, {0x1000, 32822}, {0x200, 32835}, {0x100, 32842}};

// The frame's commands that open the main command bar for a unit and that
// hand the open bar another unit.
constexpr int kCmdViewCommandWindow1 = 32820;
constexpr int kCmdCatchCommandWindow1 = 32823;

constexpr const char* kHqCapturedBanner = "司令部は占領され、全軍降伏した";

// The effect played when the view goes to a capital.
constexpr int kCapitalEffect = 41;

}  // namespace

uint32_t MakeUnitDisplayCode(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* arms = ArmsRecord(unit.nArms);
    int picture = arms != nullptr ? arms->nPicture : 0;
    // The fields must never overlap: a picture beyond 12 bits or a strength
    // beyond 7 would spill into the colour set and the flag bits.
    if (picture < 0 || picture > static_cast<int>(kCodePictureMask)) picture = 0;
    const uint32_t strength = static_cast<uint32_t>(std::clamp(unit.nStrength, 0, 0x7F));
    uint32_t code = (unit.dwFlag & 0xF0000000u) | strength << 20 | ((unit.dwFlag >> 24) & 0xFu) << 16 |
                    static_cast<uint32_t>(picture);
    if (unit.dwFlag & 0x00200000u) code |= kCodeDithered;  // submerged
    return code;
}

CZRKGameView::CZRKGameView()
    : COSBView(ProgramVariant::Battle), m_sound(m_dwDispOption, m_dwState, ViewSound::Kind::Battle)
{
    m_nMergeHex.fill(-1);
    m_nRoute.fill(-1);
    m_nCandidateHex.fill(-1);
    m_RouteChoice.fill({-1, 0});
    m_rcMapClient = m_rcDrawnMap;
    RegisterDisplayCommands();
    RegisterUnitCommands();
    RegisterMapCommands();
    RegisterOverviewCommand();
    RegisterToolCommands();
}

CZRKGameView::~CZRKGameView()
{
    SaveViewSettings();
    // A hub that outlives the view must not report to it.
    if (m_pHub->Host() == this) m_pHub->SetHost(nullptr);
}

std::string CZRKGameView::ProgramFile(const char* name) const
{
    return platform::ProgramFolder() + name;
}

TerrainContext CZRKGameView::Context() const
{
    TerrainContext ctx;
    if (m_pDoc != nullptr) {
        ctx.live = std::span<const MAPCELL>(m_pDoc->m_dwHexCell, kHexCount);
        ctx.saved = std::span<const MAPCELL>(m_pDoc->m_GameData.dwHexCell, kHexCount);
    }
    ctx.dispOption = m_dwDispOption;
    ctx.currentSide = m_pCurCountry != nullptr ? (m_pCurCountry->nSide & 1) : -1;
    if (m_roadCovered) {
        ctx.user = &m_roadCovered;
        ctx.washedOut = [](const void* user, HEXINDEX hex) {
            return (*static_cast<const std::function<bool(HEXINDEX)>*>(user))(hex);
        };
    } else if (m_pDoc != nullptr) {
        // The weather's own test: a road of kind 0 closed by mud.
        ctx.user = m_pDoc;
        ctx.washedOut = [](const void* user, HEXINDEX hex) {
            const auto* doc = static_cast<const CZRKGameDoc*>(user);
            return IsRoadWashedOut(doc->m_GameData, doc->m_dwHexCell[hex]) != 0;
        };
    }
    return ctx;
}

SizeI CZRKGameView::MapPixelSize() const
{
    return {m_rcMapHexes.Columns() * kCellW + 28, m_rcMapHexes.Rows() * kRowH + 14};
}

// --- creation ------------------------------------------------------------------

void CZRKGameView::PreCreateWindow()
{
    if (m_pSettings == nullptr) return;
    const platform::SettingsStore& s = *m_pSettings;
    auto readInt = [&](const char* key, int def) {
        auto v = s.ReadInt(kProfileSection, key);
        return v ? static_cast<int>(*v) : def;
    };
    m_nSMapX = std::max(0, readInt("SMapDlgX", 0));
    m_nSMapY = std::max(0, readInt("SMapDlgY", 0));
    m_nProgX = readInt("ProgDlgX", 0x7FFF);
    m_nProgY = readInt("ProgDlgY", 0);
    // The unit list's layout counts only when both texts are complete.
    if (auto rect = s.ReadString(kProfileSection, "UListDlgRect")) {
        std::array<int, 4> r{};
        if (ParseNumberList(rect->c_str(), r.data(), 4) == 4) {
            m_rcUList = r;
            if (auto cols = s.ReadString(kProfileSection, "UListDlgColumn")) {
                std::array<int, 10> c{};
                if (ParseNumberList(cols->c_str(), c.data(), 10) == 10) {
                    m_nUListColumn = c;
                    m_bUListLayout = 1;
                }
            }
        }
    }
}

void CZRKGameView::SaveViewSettings()
{
    // The windows still open store their places in the view as they go.
    CloseSmallMap();
    m_pHub->DestroyAllWindows();
    for (ToolWindow w : kAllToolWindows) m_dwDispOption &= ~ToolWindowBit(w);
    m_SpecWnd.fill({});
    for (auto* p :
         {&m_pWorkDib, &m_pFlagDib, &m_pFlagsDib, &m_pUnitDib, &m_pSpecDib, &m_pWeaponDib, &m_pExplDib,
          &m_pTerrainDib, &m_pUnitMarkDib, &m_pMiniHexDib, &m_pWallDib, &m_pStartTileDib})
        p->reset();
    m_sound.FreeAllSoundEffects();
    m_sound.ReleaseDirectSound();
    m_sound.CloseCDAudio();
    if (m_pSettings == nullptr) return;
    platform::SettingsStore& s = *m_pSettings;
    s.WriteInt(kProfileSection, "SMapDlgX", m_nSMapX);
    s.WriteInt(kProfileSection, "SMapDlgY", m_nSMapY);
    s.WriteInt(kProfileSection, "ProgDlgX", m_nProgX);
    s.WriteInt(kProfileSection, "ProgDlgY", m_nProgY);
    if (m_bUListLayout == 1) {
        std::string text;
        JoinNumberList(4, m_rcUList.data(), text);
        s.WriteString(kProfileSection, "UListDlgRect", text);
        JoinNumberList(10, m_nUListColumn.data(), text);
        s.WriteString(kProfileSection, "UListDlgColumn", text);
    }
    s.Flush();
}

void CZRKGameView::OnInitialUpdate()
{
    SaveViewSettings();
    CreateOSB(ProgramFile("Game2.PLB"));
    const RgbQuad* table = GetPalette() != nullptr ? GetPalette()->GetColorTable() : nullptr;

    m_pWorkDib = std::make_unique<CDib>();
    m_pWorkDib->Create(64, 64, table);
    // "terrain0.pxs" is the lower part that a season's set replaces; its
    // height is what LoadTerrainSet must find again in every season file.
    m_pTerrainDib = std::make_unique<CDib>();
    m_nTerrain0Height = 0;
    if (m_pTerrainDib->CreateFromTwoPXS(table, ProgramFile("terrain0.pxs"), ProgramFile("terrain.pxs"))) {
        std::vector<uint8_t> head;
        if (platform::ReadWholeFile(ProgramFile("terrain0.pxs"), head) && head.size() >= 8) {
            uint32_t h = 0;
            std::memcpy(&h, head.data() + 4, 4);
            m_nTerrain0Height = static_cast<int>(h);
        }
    }
    m_nTerrainSet = 0;
    auto load = [&](std::unique_ptr<CDib>& dib, const char* name) {
        dib = std::make_unique<CDib>();
        dib->CreateFromPXS(table, ProgramFile(name));
    };
    load(m_pFlagsDib, "flags.pxs");
    load(m_pUnitMarkDib, "unitmark.pxs");
    load(m_pUnitDib, "unit2.pxs");
    load(m_pMiniHexDib, "minihex.pxs");
    load(m_pWallDib, "wall.pxs");
    load(m_pStartTileDib, "starttn.pxs");
    load(m_pSpecDib, "spec2.pxs");
    load(m_pWeaponDib, "weapon.pxs");
    load(m_pExplDib, "ExplHex.pxs");

    BuildFlagPicture(0);
    m_ptMapOrigin = {m_rcMapHexes.firstColumn * kCellW, m_rcMapHexes.firstRow * kRowH};
    m_szBanner.clear();
    RecalcViewLayout(1);

    m_sound.InitDirectSound(true);
    m_sound.OpenCDAudio(true);
    CreateBattleSceneLink();

    // The battle starts only once the event loop runs.
    if (m_pWindow != nullptr) m_pWindow->Post([this] { OnStartupCommand(); });
}

void CZRKGameView::OnStartupCommand()
{
    if (m_startupCommand) m_startupCommand();
    if (m_pDoc == nullptr) return;
    // The map area is kept as first column, first row, last column, last row.
    const MapRect& a = m_pDoc->m_rcMapArea;
    SetMapBounds(a.left, a.top, a.right, a.bottom, 0);
    // The start centred the view on the current country's capital before
    // the view knew the map area; it is done again inside it.
    if (m_pDoc->m_pCurCountry != nullptr) CenterOnHex(m_pDoc->m_pCurCountry->nCapital);
}

void CZRKGameView::BuildFlagPicture(int flagArg)
{
    (void)flagArg;
    m_pFlagDib.reset();
    CDib* flags = m_pFlagsDib.get();
    if (flags == nullptr || flags->GetBits() == nullptr) return;
    const int bandH = flags->GetHeight() / 42;
    const int width = flags->GetWidth();
    if (bandH <= 0) return;
    auto dib = std::make_unique<CDib>();
    if (!dib->Create(width, bandH * 16, flags->GetColorTable())) return;
    // Bands 0-7: the plain marks of the display numbers. Bands 8-15: the
    // national flag of each country of the battle (flag 8 + its id).
    for (int band = 0; band < 8; ++band)
        flags->CopyRect(dib.get(), 0, band * bandH, width, bandH, 0, band * bandH, -1);
    if (m_pDoc != nullptr) {
        for (int c = 0; c < kCountryCount; ++c) {
            const int id = m_pDoc->m_GameData.Country[c].nCountryId;
            if (id < 0 || 8 + id >= 42) continue;
            flags->CopyRect(dib.get(), 0, (8 + c) * bandH, width, bandH, 0, (8 + id) * bandH, -1);
        }
    }
    m_pFlagDib = std::move(dib);
}

// --- painting and window messages ---------------------------------------------

void CZRKGameView::ApplyPendingScroll()
{
    m_dwState &= ~kViewPendingScroll;
    PointI target = m_ptPendingScroll;
    // On an axis where the map is centred the scroll stays where it is.
    const PointI now = GetScrollPosition();
    if (m_rcMapClient.left != 0) target.x = now.x;
    if (m_rcMapClient.top != 0) target.y = now.y;
    RenderMap(target.x, target.y);
    UpdateScrollBars();
    if ((m_dwDispOption & kDispHqMap) == 0) m_ptViewMapScroll = GetScrollPosition();
}

void CZRKGameView::OnPaint(const platform::Rect* clip)
{
    if (m_dwDispOption & kDispMapShown) {
        if (m_dwState & kViewPendingScroll) {
            ApplyPendingScroll();
            // The whole window moved: everything is shown again.
            clip = nullptr;
        } else {
            RenderMap(-1, -1);
        }
    }
    BlitOSB(clip);
}

void CZRKGameView::OnSize(int cx, int cy)
{
    SetClientSize(cx, cy);
    // The render walks one cell beyond the window on every side; a window
    // larger than the screen the buffer was made for needs a larger buffer.
    // The new one is blank, which the layout change below redraws.
    if (FitOSB(cx, cy) && !(m_dwDispOption & kDispMapShown)) RecalcViewLayout(0);
    m_dwState |= kViewLayoutChanged;
    SetHexScrollSizes(0, 0, GetBlitMode());
    if (m_dwDispOption & kDispMapShown) {
        // The scroll position stays inside the new range.
        const SizeI total = GetVirtualSize();
        PointI p = GetScrollPosition();
        p.x = std::clamp(p.x, 0, std::max(0, total.cx - cx));
        p.y = std::clamp(p.y, 0, std::max(0, total.cy - cy));
        SetScrollPosition(p.x, p.y);
    }
    UpdateScrollBars();
    UpdateMapClientRect();
}

void CZRKGameView::UpdateScrollBars()
{
    if (m_pWindow == nullptr) return;
    if (m_dwDispOption & kDispMapShown)
        m_pWindow->SetScrollBars(GetVirtualSize(), GetPageSize(), GetLineSize(), GetScrollPosition());
    else
        m_pWindow->SetScrollBars({0, 0}, {0, 0}, {0, 0}, {0, 0});
}

int CZRKGameView::ScrollLimit(int bar) const
{
    const SizeI total = GetVirtualSize(), client = GetClientSize();
    return bar == 0 ? total.cx - client.cx : total.cy - client.cy;
}

bool CZRKGameView::ScrollByClamped(int bar, int pos)
{
    // Only an axis with a scroll range scrolls.
    const int limit = ScrollLimit(bar);
    if (limit <= 0) return false;
    pos = std::clamp(pos, 0, limit);
    const PointI now = GetScrollPosition();
    if (pos == (bar == 0 ? now.x : now.y)) return false;
    RenderMap(bar == 0 ? pos : -1, bar == 1 ? pos : -1);
    if (bar == 0)
        SetScrollPosition(pos, now.y);
    else
        SetScrollPosition(now.x, pos);
    if (m_pWindow != nullptr) {
        m_pWindow->Invalidate(nullptr);
        UpdateScrollBars();
        m_pWindow->UpdateNow();
    }
    return true;
}

void CZRKGameView::OnScroll(int bar, ScrollCode code, int thumb)
{
    if (m_dwState & kViewBusy) return;
    const PointI now = GetScrollPosition();
    const int cur = bar == 0 ? now.x : now.y;
    const int line = bar == 0 ? GetLineSize().cx : GetLineSize().cy;
    const int page = bar == 0 ? GetPageSize().cx : GetPageSize().cy;
    int pos = cur;
    switch (code) {
        case ScrollCode::LineUp:
            pos = cur - line;
            break;
        case ScrollCode::LineDown:
            pos = cur + line;
            break;
        case ScrollCode::PageUp:
            pos = cur - page;
            break;
        case ScrollCode::PageDown:
            pos = cur + page;
            break;
        case ScrollCode::ThumbTrack:
            pos = thumb;
            break;
        case ScrollCode::Top:
            pos = 0;
            break;
        case ScrollCode::Bottom:
            pos = INT32_MAX;
            break;
        case ScrollCode::ThumbPosition:
        case ScrollCode::EndScroll:
            return;
    }
    ScrollByClamped(bar, pos);
}

int CZRKGameView::OnMciNotify(uint32_t device)
{
    if (device != 0 && device == m_nMovieDevice)
        OnMovieNotify(device);
    else
        m_sound.OnMCINotify(device);
    return 1;
}

bool CZRKGameView::OnDisplayChange()
{
    if (!ResizeOSB()) return false;
    if (m_dwDispOption & kDispMapShown) {
        RecalcMapExtent(true);
    } else {
        if (m_pDoc != nullptr) m_szBanner = FormatTurnInfoText(m_pDoc->m_GameData, m_pDoc->m_pCurCountry);
        RecalcViewLayout(0);
    }
    return true;
}

void CZRKGameView::InvalidateCell()
{
    if (m_pWindow == nullptr) return;
    platform::Rect r{m_ptCell.x - kMarginX, m_ptCell.y - kMarginY, m_ptCell.x - kMarginX + 56,
                     m_ptCell.y - kMarginY + 56};
    m_pWindow->Invalidate(&r);
}

// --- layout -----------------------------------------------------------------

void CZRKGameView::SetMapBounds(int firstColumn, int firstRow, int lastColumn, int lastRow, int flagArg)
{
    auto clampHex = [](int v) { return std::clamp(v, 0, kMapSize - 1); };
    m_rcMapHexes = {clampHex(firstRow), clampHex(firstColumn), clampHex(lastRow), clampHex(lastColumn)};
    if (m_rcMapHexes.lastRow < m_rcMapHexes.firstRow) m_rcMapHexes.lastRow = m_rcMapHexes.firstRow;
    if (m_rcMapHexes.lastColumn < m_rcMapHexes.firstColumn)
        m_rcMapHexes.lastColumn = m_rcMapHexes.firstColumn;
    // The overview shows the old area: it closes.
    CloseSmallMap();
    ClearHexMarks(false);
    BuildFlagPicture(flagArg);
    RebuildUnitDisplayMap();
    RecalcMapExtent(true);
}

void CZRKGameView::RecalcMapExtent(bool bRedraw)
{
    m_dwState |= kViewLayoutChanged;
    const bool hq = (m_dwDispOption & kDispHqMap) != 0;
    SizeI size;
    if (hq) {
        size = HQMapSize();
        m_ptMapOrigin = {m_rcMapHexes.firstColumn * kHqCell, m_rcMapHexes.firstRow * kHqRow};
    } else {
        size = MapPixelSize();
        m_ptMapOrigin = {m_rcMapHexes.firstColumn * kCellW, m_rcMapHexes.firstRow * kRowH};
    }
    SetHexScrollSizes(size.cx, size.cy, hq ? 1 : 0);
    if (hq) SetBlitOrigin(1, {0, 0});
    const SizeI client = GetClientSize();
    PointI p = GetScrollPosition();
    p.x = std::clamp(p.x, 0, std::max(0, size.cx - client.cx));
    p.y = std::clamp(p.y, 0, std::max(0, size.cy - client.cy));
    SetScrollPosition(p.x, p.y);
    UpdateScrollBars();
    // The paint applies a pending scroll by the new layout's client rectangle.
    UpdateMapClientRect();
    if (bRedraw && m_pWindow != nullptr) {
        m_pWindow->Invalidate(nullptr);
        m_pWindow->UpdateNow();
    }
}

void CZRKGameView::UpdateMapClientRect()
{
    const SizeI client = GetClientSize();
    // The size of the map shown, at either scale.
    const SizeI map = (m_dwDispOption & kDispHqMap) ? GetVirtualSize() : MapPixelSize();
    m_rcMapClient = {0, 0, client.cx, client.cy};
    if (map.cx < client.cx) {
        m_rcMapClient.left = (client.cx - map.cx) / 2;
        m_rcMapClient.right = m_rcMapClient.left + map.cx;
    }
    if (map.cy < client.cy) {
        m_rcMapClient.top = (client.cy - map.cy) / 2;
        m_rcMapClient.bottom = m_rcMapClient.top + map.cy;
    }
}

void CZRKGameView::RecalcViewLayout(int flag)
{
    (void)flag;
    m_dwDispOption &= ~kDispMapShown;
    SetBlitOrigin(1, {0, 0});
    SetScrollPosition(0, 0);
    UpdateScrollBars();
    if (m_pDib) m_pDib->ClearBits(0);
    if (m_pDoc != nullptr && m_pDoc->m_pCurCountry != nullptr && !m_szBanner.empty()) {
        DrawInfoScreenTiles(*m_pDoc->m_pCurCountry);
        // Outline first, then the face over it.
        DrawTextBlock(m_szBanner, 24, 0);
        DrawTextBlock(m_szBanner, 24, 1);
    }
    if (m_pWindow != nullptr) {
        m_pWindow->Invalidate(nullptr);
        m_pWindow->UpdateNow();
    }
    UpdateMapClientRect();
}

void CZRKGameView::DrawInfoScreenTiles(const COUNTRYSTRUCT& country)
{
    const auto table = Lib().StartWallPositionTable;
    if (country.nCountryId < 0 || static_cast<size_t>(country.nCountryId) >= table.size()) return;
    const auto& e = table[static_cast<size_t>(country.nCountryId)];  // source x, y, width, height
    const int tw = e[2], th = e[3];
    if (tw <= 0 || th <= 0) return;
    const SizeI client = GetClientSize();
    for (int y = 0; y < client.cy; y += th)
        for (int x = 0; x < client.cx; x += tw)
            CopyPixels(m_pStartTileDib.get(), e[0], e[1], std::min(tw, client.cx - x),
                       std::min(th, client.cy - y), x, y, 2, 0);
}

void CZRKGameView::ShowHqCaptured()
{
    m_dwDispOption &= 0x000FFFFFu;
    m_szBanner = kHqCapturedBanner;
    RecalcViewLayout(0);
}

bool CZRKGameView::LoadTerrainSet(int index)
{
    if (index < 0 || index > 3 || !m_pTerrainDib || m_nTerrain0Height <= 0) return false;
    const std::string name = "terrain" + std::to_string(index) + ".pxs";
    // The season's file replaces exactly the part "terrain0.pxs" filled: a
    // file of another width or height is refused and the set stays.
    if (!m_pTerrainDib->LoadBits(ProgramFile(name.c_str()), -1, m_nTerrain0Height)) return false;
    m_nTerrainSet = index;
    return true;
}

void CZRKGameView::SelectTerrainPalette(const GAMEDATASTRUCT& game)
{
    int k =
        (game.dwStateFlag & (kStateWeather | kStateSnowSeason)) == (kStateWeather | kStateSnowSeason) ? 4 : 0;
    if (game.dwStateFlag & kStateDayNight) {
        // A time of day outside 0..2 in a damaged file counts as day, so
        // that the set stays inside the eight the table has.
        const int dayNight = (game.nDayNight >= 0 && game.nDayNight <= 2) ? game.nDayNight : 0;
        k += dayNight;
        if (dayNight == 2 && game.nLight == 1) k += 1;
    }
    const auto table = Lib().TerrainColorData;
    if (static_cast<size_t>(k) >= table.size() || GetPalette() == nullptr) return;
    RgbQuad colours[82];
    std::memcpy(colours, table[static_cast<size_t>(k)].data(), sizeof colours);
    GetPalette()->SetColors(98, 82, colours);
    GetPalette()->ApplyColorTable(GetDib());
    if (m_pWindow != nullptr) m_pWindow->Invalidate(nullptr);
    if (m_dwDispOption & kDispOverviewOpen) m_pSMapWnd->RefreshColors();
}

bool CZRKGameView::ComputeDrawOrigin(PointI& origin, int x, int y)
{
    const PointI scroll = GetScrollPosition();
    origin = scroll;
    if (x >= 0) origin.x = x;
    if (y >= 0) origin.y = y;
    const bool changed = (m_dwState & kViewLayoutChanged) != 0 || origin != scroll;
    m_dwState &= ~kViewLayoutChanged;
    return changed;
}

// --- position of a hex --------------------------------------------------------

bool CZRKGameView::IsHexOnViewMap(HEXINDEX hex) const
{
    if ((m_dwDispOption & kDispHqMap) || !IsMapHex(hex)) return false;
    const int r = HexRow(hex), c = HexColumn(hex);
    return c >= m_rcMapHexes.firstColumn && c <= m_rcMapHexes.lastColumn && r >= m_rcMapHexes.firstRow &&
           r <= m_rcMapHexes.lastRow;
}

bool CZRKGameView::HexToCell(HEXINDEX hex, bool bPartial)
{
    if ((m_dwDispOption & kDispHqMap) || !IsMapHex(hex)) return false;
    const PointI scroll = GetScrollPosition();
    const SizeI client = GetClientSize(), map = MapPixelSize();
    const int cx = map.cx < client.cx ? (client.cx - map.cx) / 2 : 0;
    const int cy = map.cy < client.cy ? (client.cy - map.cy) / 2 : 0;
    PointI off;
    const HEXINDEX first = PixelToCell(scroll.x, scroll.y, &off);
    int row = first >> 7, col = first - (row << 7);
    int startX = kMarginX - off.x, y = kMarginY - off.y + cy;
    const int tr = HexRow(hex), tc = HexColumn(hex);
    if (tr < row) return false;
    // Down row by row as the render walks, then east cell by cell.
    while (row < tr) {
        StepToNextRow(row, startX, col);
        ++row;
        y += kRowH;
    }
    if (tc < col) return false;
    m_ptCell = {startX + cx + (tc - col) * kCellW, y};
    if (bPartial) return m_ptCell.x < client.cx + kMarginX && m_ptCell.y < client.cy + kMarginY;
    return m_ptCell.x >= kMarginX && m_ptCell.y >= kMarginY && m_ptCell.x <= client.cx &&
           m_ptCell.y <= client.cy;
}

bool CZRKGameView::EnsureHexVisible(HEXINDEX hex)
{
    if (!IsHexOnViewMap(hex)) return false;
    if (!HexToCell(hex, false)) {
        CenterOnHex(hex);
        HexToCell(hex, false);
    }
    return true;
}

int CZRKGameView::RedrawHexIfVisible(HEXINDEX hex, bool bUnit)
{
    if ((m_dwState & kViewCloseRequested) || !EnsureHexVisible(hex)) return 0;
    RedrawHex(hex, bUnit, true);
    return 1;
}

int CZRKGameView::RedrawUnitAtHex(HEXINDEX hex, const UNITSTRUCT& unit)
{
    if (!IsMapHex(hex) || !HexToCell(hex, false)) return 0;
    m_dwHexUnitCode[static_cast<size_t>(hex)] = MakeUnitDisplayCode(unit);
    RedrawHex(hex, true, true);
    return 1;
}

// --- marks ----------------------------------------------------------------------

void CZRKGameView::ClearHexMarks(bool bRedraw)
{
    m_dwHexMarkView.fill(0);
    if (bRedraw) RedrawMap(false);
}

void CZRKGameView::MarkSourceAndTarget(HEXINDEX source, HEXINDEX target)
{
    ClearHexMarks(false);
    if (IsMapHex(source)) m_dwHexMarkView[static_cast<size_t>(source)] = 1;
    if (IsMapHex(target)) m_dwHexMarkView[static_cast<size_t>(target)] = 2;
    RedrawMap(false);
}

void CZRKGameView::MarkHex4(HEXINDEX hex)
{
    ClearHexMarks(false);
    if (IsMapHex(hex)) m_dwHexMarkView[static_cast<size_t>(hex)] = 4;
    RedrawMap(false);
}

void CZRKGameView::MarkMergeHexes()
{
    ClearHexMarks(false);
    for (int h : m_nMergeHex) {
        if (h < 0) break;
        if (IsMapHex(h)) m_dwHexMarkView[static_cast<size_t>(h)] = 1;
    }
    RedrawMap(false);
}

void CZRKGameView::MarkHexList(uint32_t mask, bool bKeep)
{
    if (!bKeep) m_dwHexMarkView.fill(0);
    for (int h : m_nCandidateHex) {
        if (h < 0) break;
        if (IsMapHex(h)) m_dwHexMarkView[static_cast<size_t>(h)] |= mask;
    }
    RedrawMap(false);
}

void CZRKGameView::MarkRouteChoice(uint32_t mask)
{
    m_dwHexMarkView.fill(0);
    for (const RouteChoice& rc : m_RouteChoice) {
        if (rc.hex < 0) break;
        if (IsMapHex(rc.hex)) m_dwHexMarkView[static_cast<size_t>(rc.hex)] |= mask;
    }
    RedrawMap(false);
}

void CZRKGameView::MarkMoveRange()
{
    m_dwHexMarkView.fill(0);
    if (m_pDoc != nullptr) {
        for (int h = 0; h < kHexCount; ++h) {
            const uint32_t reach = m_pDoc->m_dwHexMove[h];
            if ((reach & 0xC0000000u) == 0)
                m_dwHexMarkView[static_cast<size_t>(h)] = (reach & 0x08000000u) ? 2 : 1;
            else if (m_pDoc->m_dwHexWork1[h] & 0x00020000u)
                m_dwHexMarkView[static_cast<size_t>(h)] = 4;
        }
    }
    if (m_pSelUnit != nullptr && IsMapHex(m_pSelUnit->nHex))
        m_dwHexMarkView[static_cast<size_t>(m_pSelUnit->nHex)] = 1;
    RedrawMap(false);
}

void CZRKGameView::MarkBombingRange()
{
    m_dwHexMarkView.fill(0);
    if (m_pDoc != nullptr) {
        std::fill(std::begin(m_pDoc->m_dwHexMark), std::end(m_pDoc->m_dwHexMark), 0u);
        const HEXINDEX from = m_pSelUnit != nullptr ? GetUnitMapHex(m_pDoc->m_GameData, *m_pSelUnit) : -1;
        // Minimum range in the high half, maximum in the low.
        const uint32_t range = m_pSelUnit != nullptr ? GetBombingRange(*m_pSelUnit) : 0;
        const int minRange = static_cast<int>(range >> 16), maxRange = static_cast<int>(range & 0xFFFF);
        if (range != 0 && IsMapHex(from)) {
            const std::span<const MAPCELL, kHexCount> cells(m_pDoc->m_dwHexCell);
            for (int row = m_rcMapHexes.firstRow; row <= m_rcMapHexes.lastRow; ++row) {
                for (int col = m_rcMapHexes.firstColumn; col <= m_rcMapHexes.lastColumn; ++col) {
                    const HEXINDEX hex = MakeHex(row, col);
                    const int d = GetHexDistance(from, hex);
                    if (d < minRange || d > maxRange) continue;
                    if (CheckUnitBombing(m_pDoc->m_GameData, cells, *m_pSelUnit, hex, true) != 0) continue;
                    m_dwHexMarkView[static_cast<size_t>(hex)] = 1;
                    m_pDoc->m_dwHexMark[hex] |= 0x00200000u;
                }
            }
        }
    }
    RedrawMap(false);
}

void CZRKGameView::MarkReachableHexes()
{
    m_dwHexMarkView.fill(0);
    if (m_pDoc != nullptr && m_pSelUnit != nullptr) {
        const std::span<const MAPCELL, kHexCount> cells(m_pDoc->m_dwHexCell);
        for (int h = 0; h < kHexCount; ++h) {
            uint32_t& reach = m_pDoc->m_dwHexMove[h];
            if ((reach & 0xC0000000u) != 0) continue;
            if (CheckUnitBombing(m_pDoc->m_GameData, cells, *m_pSelUnit, h, true) != 0) continue;
            reach |= 0x00200000u;
            m_dwHexMarkView[static_cast<size_t>(h)] = (reach & 0x08000000u) ? 2 : 1;
        }
    }
    RedrawMap(false);
}

void CZRKGameView::BeginMoveMode(UNITSTRUCT* unit)
{
    m_nCmdMode = 4;
    m_pSelUnit = unit;
    CloseCommandBars(false);
    // Closing the bars clears the order-entry bit; the move is entered now.
    m_dwState |= kViewOrderEntry;
    MarkMoveRange();
}

void CZRKGameView::BeginCmdWindowSelect(UNITSTRUCT* unit)
{
    if (unit == nullptr) return;
    if (m_pDoc != nullptr) m_pDoc->ClearUnitFlag4();
    if ((m_dwState & kViewMainCommandBar) == 0) {
        m_pCmdUnit = unit;
        if (m_pFrame != nullptr) m_pFrame->SendCommand(kCmdViewCommandWindow1);
    } else {
        if (m_pCmdUnit != nullptr && m_pDoc != nullptr) {
            const HEXINDEX previous = GetUnitMapHex(m_pDoc->m_GameData, *m_pCmdUnit);
            if (IsMapHex(previous)) m_dwHexMarkView[static_cast<size_t>(previous)] = 0;
        }
        m_pCmdUnit = unit;
        if (m_pFrame != nullptr) m_pFrame->SendCommand(kCmdCatchCommandWindow1);
    }
    m_nCmdMode = 1;
    MarkSourceAndTarget(m_pDoc != nullptr ? GetUnitMapHex(m_pDoc->m_GameData, *unit) : unit->nHex, -1);
}

// --- units changed by an order ---------------------------------------------------

void CZRKGameView::RefreshChangedUnits(UNITSTRUCT* a, UNITSTRUCT* b)
{
    for (UNITSTRUCT* u : {a, b}) {
        if (u == nullptr || (u->dwFlag & kUnitInUse) == 0) continue;
        if (u->nStrength <= 0) {
            RemoveUnitFromPlay(*u);
            continue;
        }
        SetUnitCode(*u);
        RefreshUnitWindows(*u, 0);
        if (m_pDoc != nullptr)
            for (int side = 0; side < 3; ++side)
                UpdateUnitDetection(*u, side, std::span<const uint32_t, kHexCount>(m_pDoc->m_dwHexSearch));
    }
    // The acting side has just dealt with a: it is no mere contact to it.
    if (a != nullptr && m_pDoc != nullptr && m_pCurCountry != nullptr && m_pDoc->m_pViewCountry != nullptr &&
        m_pCurCountry->nSide == m_pDoc->m_pViewCountry->nSide) {
        const int side = m_pCurCountry->nSide;
        if (side >= 0 && side < 3) a->dwFlag &= ~(0x00010000u << side);
    }
    ClearHexMarks(true);
}

int CZRKGameView::SearchAroundUnit(UNITSTRUCT& unit)
{
    if (m_pDoc == nullptr) return 0;
    const HEXINDEX hex[] = {GetUnitMapHex(m_pDoc->m_GameData, unit), -1};
    const int result = m_pDoc->SearchFromUnit(unit, hex);
    // Uncovered ground changes fog cells anywhere in the sensors' reach.
    if (result < 0) RedrawMap(false);
    return result;
}

void CZRKGameView::OnCommandBarClosed(uint32_t barBit)
{
    m_dwState &= ~barBit;
    const bool pending = m_nTargetHex >= 0;
    if (barBit != kViewConstructionBar) {
        if (!pending)
            ClearHexMarks(true);
        else
            ShowPendingMove();
    } else if (m_dwState & kViewBarClosedQuietly) {
        m_dwState &= ~kViewBarClosedQuietly;
    } else if (!pending) {
        if (m_pSelUnit != nullptr) CancelCurrentCommand();
    } else {
        if ((m_dwState & kViewMoveUndoable) && m_pSelUnit != nullptr && m_pDoc != nullptr)
            (void)UndoUnitMove(*m_pDoc, *m_pSelUnit, m_SavedUnit);
        m_dwState &= ~kViewMoveUndoable;
        CancelCurrentCommand();
    }
    m_pCmdUnit = nullptr;
}

// --- geometry helpers -----------------------------------------------------------

int CZRKGameView::CenterOnHex(HEXINDEX hex)
{
    if (!IsMapHex(hex)) return 0;
    const int row = HexRow(hex), col = HexColumn(hex);
    if (col < m_rcMapHexes.firstColumn || col > m_rcMapHexes.lastColumn || row < m_rcMapHexes.firstRow ||
        row > m_rcMapHexes.lastRow)
        return 0;
    const SizeI client = GetClientSize(), map = MapPixelSize();
    // The middle of the cell in the middle of the window; the half cell of
    // odd rows is left out.
    PointI p;
    if (m_rcMapClient.left == 0) {
        p.x = (col - m_rcMapHexes.firstColumn) * kCellW + kCellW / 2 - client.cx / 2;
        p.x = std::max(0, std::min(p.x, map.cx - client.cx));
    }
    if (m_rcMapClient.top == 0) {
        p.y = (row - m_rcMapHexes.firstRow) * kRowH + kCellW / 2 - client.cy / 2;
        p.y = std::max(0, std::min(p.y, map.cy - client.cy));
    }
    m_ptPendingScroll = p;
    m_dwState |= kViewPendingScroll;
    RedrawMap(false);
    return 1;
}

int CZRKGameView::MoveCursorToHex(HEXINDEX hex)
{
    if (!CenterOnHex(hex)) return 0;
    const int row = HexRow(hex), col = HexColumn(hex);
    const PointI scroll = GetScrollPosition();
    PointI at{(col - m_rcMapHexes.firstColumn) * kCellW + kCellW / 2 - scroll.x + m_rcMapClient.left,
              (row - m_rcMapHexes.firstRow) * kRowH + kCellW / 2 - scroll.y + m_rcMapClient.top};
    if (row & 1) at.x += kCellW / 2;
    return (m_pWindow != nullptr && m_pWindow->WarpPointer(at)) ? 1 : 0;
}

HEXINDEX CZRKGameView::CenterOnUnit(const UNITSTRUCT& unit)
{
    const UNITSTRUCT* u = &unit;
    // The outermost carrier; a chain longer than the slots of a country
    // can only come from a damaged record and ends the walk.
    if (m_pDoc != nullptr) {
        const int country = RefCountry(unit.refSelf);
        for (int depth = 0; depth < kUnitSlots && country < kCountryCount; ++depth) {
            const int carrier = CargoCarrier(u->dwCargo);
            if ((u->dwFlag & kUnitCarried) == 0 || carrier == kNoCarrier || carrier >= kUnitSlots) break;
            u = &m_pDoc->m_GameData.Country[country].Unit[carrier];
        }
    }
    if (u->dwFlag & 0x00400000u) return -1;  // in the carry-over pool
    if (!CenterOnHex(u->nHex)) return -1;
    return u->nHex;
}

int CZRKGameView::GoToCapital(const COUNTRYSTRUCT* country)
{
    if (country == nullptr && m_pDoc != nullptr) country = m_pDoc->m_pCurCountry;
    if (country == nullptr) return 0;
    PlaySE(kCapitalEffect);
    return MoveCursorToHex(country->nCapital);
}

void CZRKGameView::CloseCommandBars(bool bKeep)
{
    if (m_pFrame != nullptr) {
        if (!bKeep) m_dwState |= kViewClosingBars;
        for (const auto& bar : kBarCommands)
            if (m_dwState & bar.bit) m_pFrame->SendCommand(bar.command);
    }
    m_dwState &= ~(kViewClosingBars | kViewOrderEntry);
}

void CZRKGameView::MakeHexOwnerEnemy(HEXINDEX hex)
{
    if (m_pDoc == nullptr || m_pCurCountry == nullptr || !IsMapHex(hex)) return;
    // An unowned hex has no country to move (owner bits 0 would name -1).
    const int owner = CellOwner(m_pDoc->m_dwHexCell[hex]);
    if (owner < 0 || owner >= kCountryCount) return;
    m_pDoc->ChangeCountrySide(owner, (m_pCurCountry->nSide & 1) ^ 1, false);
    RedrawMap(true);
}

// --- unit display codes ---------------------------------------------------------

void CZRKGameView::SetUnitCode(const UNITSTRUCT& unit)
{
    if (IsMapHex(unit.nHex)) m_dwHexUnitCode[static_cast<size_t>(unit.nHex)] = MakeUnitDisplayCode(unit);
}

void CZRKGameView::RebuildUnitDisplayMap()
{
    m_dwHexUnitCode.fill(0);
    if (m_pDoc == nullptr) return;
    for (const COUNTRYSTRUCT& c : m_pDoc->m_GameData.Country) {
        if ((c.dwFlag & kCountryPresent) == 0) continue;
        for (const UNITSTRUCT& u : c.Unit) {
            // A carried unit shares its carrier's hex and shows as the carrier.
            if ((u.dwFlag & kUnitInUse) == 0 || (u.dwFlag & kUnitCarried) != 0) continue;
            SetUnitCode(u);
        }
    }
    if (m_pSelUnit != nullptr && IsMapHex(m_nTargetHex))
        m_dwHexUnitCode[static_cast<size_t>(m_nTargetHex)] = MakeUnitDisplayCode(*m_pSelUnit);
}

void CZRKGameView::ClearHexUnitDisplay(HEXINDEX hex)
{
    if (IsMapHex(hex)) m_dwHexUnitCode[static_cast<size_t>(hex)] = 0;
}

// --- document notifications ----------------------------------------------------

void CZRKGameView::RedrawMap(bool rebuildUnits)
{
    if (rebuildUnits) RebuildUnitDisplayMap();
    // The fast HQ map of a computer phase is drawn once the phase is over.
    if ((m_dwDispOption & (kDispHqMap | kDispHqMapFast)) == (kDispHqMap | kDispHqMapFast) &&
        m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & kCountryCpu) != 0)
        return;
    m_dwState |= kViewLayoutChanged;
    // Rendered here rather than at the next paint, so that the cell of a hex
    // computed right after a centring is that of the new position.
    if (m_dwDispOption & kDispMapShown) {
        if (m_dwState & kViewPendingScroll)
            ApplyPendingScroll();
        else
            RenderMap(-1, -1);
    }
    if (m_pWindow != nullptr) {
        m_pWindow->Invalidate(nullptr);
        m_pWindow->UpdateNow();
    }
}

void CZRKGameView::SelectTerrainColours()
{
    if (m_pDoc != nullptr) SelectTerrainPalette(m_pDoc->m_GameData);
}

void CZRKGameView::ApplyViewOptions(uint32_t option, uint32_t mask)
{
    m_dwDispOption = (m_dwDispOption & ~mask) | (option & mask);
    if ((mask & kDispMapShown) == 0) {
        // The map or the information screen stays as it is.
        m_dwState |= kViewLayoutChanged;
        if (m_pWindow != nullptr) m_pWindow->Invalidate(nullptr);
        return;
    }
    RefreshStatusStrip(-1, true, nullptr, true);
    if (option & kDispMapShown) {
        RecalcMapExtent(true);
        return;
    }
    // The information screen with the turn's text.
    m_szBanner =
        m_pDoc != nullptr ? FormatTurnInfoText(m_pDoc->m_GameData, m_pDoc->m_pCurCountry) : std::string();
    RecalcViewLayout(0);
    SetMarkColour(static_cast<int>((option >> 20) & 7), 0);
}

void CZRKGameView::StopAllSound()
{
    // Before another program takes over: the music device is closed (a
    // stopped track would otherwise start again on its end notice) and the
    // sound device is let go with every effect.
    m_sound.CloseCDAudio();
    m_sound.ReleaseDirectSound();
}

void CZRKGameView::SetCurrentCountry(int index, COUNTRYSTRUCT* country)
{
    m_nCurArmy = country != nullptr ? index : -1;
    m_pCurCountry = country;
}

void CZRKGameView::SetPhaseCommandsEnabled(bool enabled)
{
    // A human phase takes orders: the first click chooses a unit. Its end
    // takes that choice back, so no click selects a unit outside it.
    if (enabled) {
        m_dwState |= kViewHumanPhase;
        if (m_nCmdMode == kModeNone) m_nCmdMode = kModeChooseUnit;
    } else {
        m_dwState &= ~kViewHumanPhase;
        if (m_nCmdMode == kModeChooseUnit && m_pSelUnit == nullptr) m_nCmdMode = kModeNone;
    }
}

ViewState CZRKGameView::GetViewState() const
{
    ViewState s;
    s.busy = (m_dwState & kViewBusy) != 0;
    s.phaseCommands = (m_dwState & kViewHumanPhase) != 0;
    s.childWindowOpen = HasOpenChildWindow() != 0;
    s.closeRequested = (m_dwState & kViewCloseRequested) != 0;
    s.closeNow = (m_dwState & kViewCloseNow) != 0;
    return s;
}

// --- movies --------------------------------------------------------------------------------

int CZRKGameView::MovieFromDisc() const
{
    const HandOverLink* link = m_pDoc ? m_pDoc->HandOver() : nullptr;
    return link ? link->MovieFromDisc() : 0;
}

void CZRKGameView::CloseMovieDevice(bool wait)
{
    // Every backend's close returns once the device has closed, so there is
    // nothing further to wait for.
    (void)wait;
    const uint32_t device = m_nMovieDevice;
    m_nMovieDevice = 0;
    m_dwState &= ~kViewMoviePlaying;
    if (device == 0) return;
    Movies().Close(device);
    if (m_bMovieTookSound) {
        // Quietly: a device that cannot be had again was reported when the
        // view started. The effects load again when they are next played.
        m_bMovieTookSound = false;
        m_sound.InitDirectSound(false);
    }
}

CZRKGameView::MovieCloser::~MovieCloser()
{
    if (*device != 0) Movies().Close(*device);
    *device = 0;
}

uint32_t PlayHistoryMovie(uint32_t packedDate, CZRKGameView& view, int top, int lineHeight)
{
    std::string path;
    if (!GetHistoryMoviePath(path, packedDate, view.MovieFromDisc() != 0)) return 0;
    MovieBackend& movies = Movies();
    // The sound is given up only for a movie that can play: a missing one,
    // or one the player cannot read, leaves everything as it was.
    if (!platform::FileExistsSjis(path) || !movies.CanOpen(path)) return 0;
    if (view.m_nMovieDevice != 0) view.CloseMovieDevice(true);  // one movie at a time

    view.Sound().FreeAllSoundEffects();
    view.m_bMovieTookSound = view.Sound().SoundReady();
    view.Sound().ReleaseDirectSound();
    int error = 0;
    const uint32_t device = movies.Open(view.MovieParent(), path, error);
    if (device == 0) {
        if (view.m_bMovieTookSound) view.Sound().InitDirectSound(false);
        view.m_bMovieTookSound = false;
        ShowMCIError(error);
        return static_cast<uint32_t>(error);
    }
    view.m_nMovieDevice = device;
    view.m_dwState |= kViewMoviePlaying;
    const bool fullScreen = (view.m_dwDispOption & kDispMovieStandardSize) == 0;
    if (!fullScreen) {
        int w = 0, h = 0;
        movies.SourceSize(device, w, h);
        const SizeI client = view.GetClientSize();
        ScreenSize area;
        if (client.cx > 0 && client.cy > 0) area = {client.cx, client.cy};
        movies.Place(device, PlaceBattleMovie(w, h, false, top, lineHeight, area));
    }
    const int played = movies.Play(device, view.MovieNotifier(), fullScreen, false);
    if (played != 0) {
        view.CloseMovieDevice(false);
        ShowMCIError(played);
        return static_cast<uint32_t>(played);
    }
    return device << 16;
}

}  // namespace zrv
