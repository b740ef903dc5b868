// The status strip's panels. Every refresh draws all of them again from the
// document over a fresh copy of the background; the strip keeps no game
// state of its own but the blink phase of the durability figure.
#include "battle/view/SWndView.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "battle/engine/Calendar.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {

namespace {

CSWndView* g_pStrip = nullptr;

// Widths of the bitmap font's characters 32..126; 551 pixels in all.
constexpr std::array<uint8_t, 95> kGlyphWidths = {
    6, 3, 6, 7, 7, 6, 7, 3, 5, 5, 7, 7, 3, 6, 3, 6,                             // space to '/'
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6,                                               // digits
    3, 3, 6, 6, 6, 7, 7,                                                        // ':' to '@'
    7, 6, 6, 6, 6, 6, 6, 6, 3, 6, 6, 6, 7, 6, 6, 6, 6, 6, 6, 7, 6, 7, 7, 7, 7, 6,  // A-Z
    5, 7, 5, 6, 7, 4,                                                           // '[' to '`'
    6, 6, 6, 6, 6, 6, 6, 6, 3, 5, 6, 3, 7, 6, 6, 6, 6, 5, 6, 6, 6, 7, 7, 7, 7, 6,  // a-z
    5, 3, 5, 6};                                                                // '{' to '~'

constexpr int SumWidths()
{
    int sum = 0;
    for (uint8_t w : kGlyphWidths) sum += w;
    return sum;
}
static_assert(SumWidths() == 551);

// Cell bit 20: the hex is fogged for the viewing country.
constexpr uint32_t kCellFogged = 0x00100000u;
// Terrain flag bit 25: the terrain's routes are its own (no icons).
constexpr uint32_t kTerrainOwnRoutes = 0x02000000u;
// Game option bit 30: types a country has not seen keep their values hidden.
constexpr uint32_t kOptHideUnseenTypes = 0x40000000u;
// Availability word bit 29: the country has seen the type.
constexpr uint32_t kArmsSeen = 0x20000000u;
// Unit flag bit 16 + side: the type is not identified by that side.
constexpr uint32_t kUnitUnidentifiedForSide0 = 0x00010000u;
// Type flag bit 8: the type sees at night (its sight is drawn blue).
constexpr uint32_t kArmsNightSight = 0x00000100u;
// Weapon flag bit 4: the weapon is dropped by a jettison.
constexpr uint32_t kWeaponDroppable = 0x00000010u;

// Palette indexes of the experience bar, bottom to top.
constexpr uint8_t kExpRunA[10] = {22, 22, 22, 14, 22, 14, 14, 10, 14, 10};
constexpr uint8_t kExpRunB[10] = {22, 22, 22, 22, 14, 14, 14, 14, 10, 10};

std::string Num(const char* format, int value)
{
    return platform::FormatText(format, {value});
}

}  // namespace

CSWndView::CSWndView(CZRKGameView& mapView) : m_view(mapView)
{
    g_pStrip = this;
}

CSWndView::~CSWndView()
{
    if (g_pStrip == this) g_pStrip = nullptr;
}

CSWndView* CSWndView::Current()
{
    return g_pStrip;
}

int CSWndView::GlyphWidth(unsigned char c)
{
    return c >= 32 && c <= 126 ? kGlyphWidths[c - 32] : 0;
}

int CSWndView::GlyphX(unsigned char c)
{
    int x = 0;
    for (int i = 32; i < c && i <= 126; ++i) x += kGlyphWidths[static_cast<size_t>(i - 32)];
    return x;
}

uint8_t CSWndView::Colour(uint8_t r, uint8_t g, uint8_t b) const
{
    const RgbQuad* table = m_view.ColorTable();
    if (table == nullptr) return 0;
    // Entries 0-9 and 246-255 belong to the system; pictures never draw with them.
    int best = 10, bestDist = 1 << 30;
    for (int i = 10; i <= 245; ++i) {
        const RgbQuad& q = table[i];
        const int dr = q.rgbRed - r, dg = q.rgbGreen - g, db = q.rgbBlue - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) bestDist = d, best = i;
    }
    return static_cast<uint8_t>(best);
}

void CSWndView::OnInitialUpdate(int screenWidth)
{
    const RgbQuad* table = m_view.ColorTable();
    const std::string folder = platform::ProgramFolder();
    // A picture that does not load stays empty: its pieces draw nothing.
    m_base.CreateFromPXS(table, folder + "SWndBas2.PXS");
    m_moon.CreateFromPXS(table, folder + "SWndMoon.PXS");
    m_weather.CreateFromPXS(table, folder + "SWndWea2.PXS");
    m_unitPanel.CreateFromPXS(table, folder + "SWndUni2.PXS");
    m_font.CreateFromPXS(table, folder + "swndasc.pxs");
    const int width = std::max(screenWidth, m_base.GetWidth());
    if (width <= 0 || !m_strip.Create(width, kHeight, table)) {
        m_strip.Free();
        return;
    }
    m_base.CopyRect(&m_strip, 0, 0, m_base.GetWidth(), kHeight, 0, 0, -1);
    if (width > kLayoutWidth && m_base.GetWidth() >= kTileLeft + kTileWidth) {
        for (int x = kLayoutWidth; x < width; x += kTileWidth)
            m_base.CopyRect(&m_strip, x, 0, std::min(kTileWidth, width - x), kHeight, kTileLeft, 0, -1);
    }
    m_black = Colour(0, 0, 0);
    m_red = Colour(255, 0, 0);
    m_blue = Colour(0, 0, 255);
    m_yellow = Colour(255, 255, 0);
    m_white = Colour(255, 255, 255);
    m_pText = platform::Font::Create(-12, 400, "ＭＳ ゴシック");
}

void CSWndView::OnDraw()
{
    if (m_pSink == nullptr || m_strip.GetWidth() <= 0) return;
    const platform::Surface8 s = m_strip.Surface();
    m_pSink->Blit(s, {0, 0, s.Width(), s.Height()}, 0, 0);
}

void CSWndView::Copy(CDib& from, int dx, int dy, int w, int h, int sx, int sy, int key)
{
    if (from.GetWidth() <= 0) return;
    from.CopyRect(&m_strip, dx, dy, w, h, sx, sy, key);
}

void CSWndView::DrawText(int x, int y, std::string_view sjis, uint8_t colour)
{
    if (m_pText == nullptr || sjis.empty()) return;
    platform::Surface8 s = m_strip.Surface();
    m_pText->DrawText(s, x, y, sjis, colour);
}

void CSWndView::DrawFontText(std::string_view text, int x, int y, bool bAlt)
{
    if (m_font.GetWidth() <= 0 || m_strip.GetWidth() <= 0) return;
    const int sy = bAlt ? m_font.GetHeight() / 2 : 0;
    for (unsigned char c : text) {
        const int w = GlyphWidth(c);
        if (w == 0) continue;  // no glyph: a name from a file may hold anything
        m_font.CopyRect(&m_strip, x, y, w, kGlyphHeight, GlyphX(c), sy, 0);
        x += w;
    }
}

std::string CSWndView::FormatFunds(int value)
{
    if (value < 1000) return platform::FormatText("%9d", {value});
    if (value < 1000000) return platform::FormatText("%5d,%03d", {value / 1000, value % 1000});
    return platform::FormatText("%d,%03d,%03d", {value / 1000000, value / 1000 % 1000, value % 1000});
}

void CSWndView::DrawFlag(int country, int x, int y)
{
    CDib* flags = m_view.m_pFlagDib.get();
    if (flags == nullptr || country < 0 || country >= kCountryCount) return;
    const int h = flags->GetHeight() / 16;
    if (h <= 0) return;
    flags->CopyRect(&m_strip, x, y, 21, h, 0, (country + 8) * h, 0);
}

// --- the refresh --------------------------------------------------------------------------

void CSWndView::RefreshStatus(HEXINDEX hex, bool bRedraw, UNITSTRUCT* unit, bool bFindUnit)
{
    if (m_strip.GetWidth() <= 0) return;
    Copy(m_base, 0, 0, kLayoutWidth, kHeight, 0, 0);
    CZRKGameDoc* doc = m_view.GetDocument();
    if (doc != nullptr) {
        DrawCountryPanel();
        DrawDatePanel();
        if (hex >= 0) DrawHexPanel(hex);
        if (unit == nullptr && bFindUnit && (m_view.m_dwDispOption & kDispUnits) && IsMapHex(hex) &&
            m_view.m_dwHexUnitCode[static_cast<size_t>(hex)] != 0 && IsUnitRef(doc->m_dwHexUnit[hex]))
            unit = doc->GetUnit(doc->m_dwHexUnit[hex]);
        if (unit != nullptr && (IsUnitHidden(*unit, hex) || (unit->dwFlag & kUnitInUse) == 0)) unit = nullptr;
        if (unit != nullptr) DrawUnitPanel(*unit);
    }
    m_nLastHex = hex;
    m_pLastUnit = unit;
    if (bRedraw && m_pSink != nullptr) {
        const platform::Surface8 s = m_strip.Surface();
        m_pSink->Blit(s, {0, 0, std::min(kLayoutWidth, s.Width()), kHeight}, 0, 0);
    }
}

bool CSWndView::IsUnitHidden(const UNITSTRUCT& unit, HEXINDEX hex) const
{
    const CZRKGameDoc* doc = m_view.GetDocument();
    const COUNTRYSTRUCT* cur = m_view.m_pCurCountry;
    if (cur == nullptr || (cur->dwFlag & kCountryFog) == 0) {
        // A unit handed in without a hex is judged on its own map hex.
        if (!IsMapHex(hex)) hex = GetUnitMapHex(doc->m_GameData, unit);
        return IsMapHex(hex) && (doc->m_dwHexCell[hex] & kCellFogged) != 0;
    }
    const int side = cur->nSide;
    return side >= 0 && side < 3 && (unit.dwFlag & HiddenFromSideBit(side)) != 0;
}

void CSWndView::DrawCountryPanel()
{
    const CZRKGameDoc* doc = m_view.GetDocument();
    const COUNTRYSTRUCT* c = doc->m_pCurCountry;
    if (c == nullptr || doc->m_GameData.nCurCountry < 0) return;
    DrawFlag(doc->m_GameData.nCurCountry, 4, 4);
    DrawText(25, 6, FieldText(c->szName), m_black);
    DrawText(165, 6, FormatFunds(c->nFund), m_black);
    if (c->nSurrenderFund != 0) DrawText(824, 6, FormatFunds(c->nSurrenderFund), m_red);
}

void CSWndView::DrawDatePanel()
{
    const GAMEDATASTRUCT& g = m_view.GetDocument()->m_GameData;
    const bool weather = (g.dwStateFlag & 0x40000000u) != 0;
    const bool snow = (g.dwStateFlag & 0x20000000u) != 0;
    const bool dayNight = (g.dwStateFlag & 0x10000000u) != 0;
    int icon = 0;
    if (weather) icon = g.nWeather & 0xFFFF;
    if (weather && snow) {
        icon += 24;
        Copy(m_weather, 6, 62, 17, 17, 45, 0);
    }
    if (dayNight) icon += 8 * g.nDayNight;
    // An index from a damaged record that leaves the picture draws nothing.
    const int iconTop = 28 + 30 * icon;
    if (icon >= 0 && iconTop + 30 <= m_weather.GetHeight()) Copy(m_weather, 9, 29, 66, 30, 0, iconTop);

    const int t = g.nWeatherValue;
    DrawFontText(platform::FormatText("%c%2d.%01d", {t < 0 ? '-' : ' ', std::abs(t) / 10, std::abs(t) % 10}), 36,
                 29, false);

    const int moon = GetMoonPhase(g.dwDateTime);
    int image = moon & 0xFFFF;
    if (dayNight && g.nDayNight == 2) image += 9;
    if (image >= 0 && 50 * (image + 1) <= m_moon.GetHeight()) Copy(m_moon, 943, 27, 62, 50, 0, 50 * image);
    DrawFontText(Num("%2d", moon >> 16), 990, 27, false);

    const uint32_t d = g.dwDateTime;
    DrawText(240, 6, platform::FormatText("%2d.%2d.%2d", {DateYear(d), DateMonth(d), DateDay(d)}), m_black);
    DrawText(311, 6, Num("%2d:00", DateHour(d)), m_black);
    DrawText(25, 65, Num("%2d", g.nRainLevel), m_black);
    DrawText(63, 65, Num("%2d", g.nIceLevel), m_black);
    const uint32_t e = g.dwEndDate;
    DrawText(915, 6,
             platform::FormatText("%2d.%2d.%2d %2d:00", {DateYear(e), DateMonth(e), DateDay(e), DateHour(e)}),
             m_red);
}

void CSWndView::DrawHexPanel(HEXINDEX hex)
{
    if (!IsMapHex(hex)) return;
    const CZRKGameDoc* doc = m_view.GetDocument();
    const MAPCELL cell = doc->m_dwHexCell[hex];
    const int terrain = CellTerrain(cell);
    const TRRNSTRUCT* rec = TerrainRecord(terrain);

    if (m_view.IsHexOnViewMap(hex)) {
        const MapHexRect& r = m_view.m_rcMapHexes;
        DrawText(704, 6,
                 platform::FormatText("(%2d,%2d)", {HexColumn(hex) - r.firstColumn + 1, HexRow(hex) - r.firstRow + 1}),
                 m_black);
    } else {
        DrawText(704, 6, "( ?, ?)", m_black);
    }

    uint8_t durability = m_black;
    if (m_dwBlink != 0) {
        durability = (m_dwBlink & 1u) ? m_blue : m_red;
        m_dwBlink ^= 1u;
    }
    DrawText(601, 6, Num("%3d", static_cast<int>((cell >> 8) & 0xFF)), durability);
    if (rec != nullptr) {
        DrawText(647, 6, Num("%2d%%", rec->nCover), m_black);
        DrawText(560, 6, Num("%2d", rec->nHeight), m_black);
    }

    if (rec == nullptr || (rec->dwTrrnFlag & kTerrainOwnRoutes) == 0) {
        bool first = true;
        for (int k = 0; k < 5; ++k) {
            if ((cell & (0x01000000u << k)) == 0) continue;
            Copy(m_weather, first ? 669 : 685, 5, 15, 14, (k % 3) * 15, (k / 3) * 14);
            first = false;
        }
    }

    const int owner = static_cast<int>((cell >> 16) & 0xF);
    if (owner != 0) DrawFlag(owner - 1, 349, 4);

    if ((cell & 0x80u) == 0) {
        DrawText(370, 6, TableText(Lib().TerrainName, terrain), m_black);
    } else if (const CITYNAMESTRUCT* city = doc->FindCityName(hex); city != nullptr) {
        DrawText(370, 6, FieldText(city->szName), m_black);
    }
}

void CSWndView::DrawUnitPanel(UNITSTRUCT& u)
{
    CZRKGameDoc* doc = m_view.GetDocument();
    const GAMEDATASTRUCT& g = doc->m_GameData;
    const int country = static_cast<int>(u.refSelf & 0xFFFF);
    const ARMSSTRUCT* a = ArmsRecord(u.nArms);
    const COUNTRYSTRUCT* v = doc->m_pViewCountry;

    Copy(m_unitPanel, 84, 26, 181, 56, 0, 0);
    Copy(m_unitPanel, 268, 25, 364, 56, 181, 0);
    Copy(m_unitPanel, 640, 25, 151, 56, 545, 0);
    Copy(m_unitPanel, 810, 25, 130, 56, 696, 0);

    const int effect = GetWeatherEffect(g);
    const bool naval = a != nullptr && (a->nDomain == 3 || a->nDomain == 4);
    const bool submerged = IsSubmergedSubmarine(u);
    if (naval) {
        if (submerged) Copy(m_unitPanel, 87, 48, 18, 9, 826, 0);
        if (submerged && IsOnBatteryOnly(u, effect))
            Copy(m_unitPanel, 178, 48, 15, 9, 826, 9);
        else
            Copy(m_unitPanel, 178, 48, 7, 9, 826, 18);
    }

    // Without a viewing country everything counts as known.
    const int vSide = v != nullptr ? v->nSide : -1;
    const bool unidentified = v != nullptr && (v->dwFlag & kCountryFog) && vSide >= 0 && vSide < 3 &&
                              (u.dwFlag & (kUnitUnidentifiedForSide0 << vSide));
    const bool seen = v == nullptr || (u.nArms >= 0 && u.nArms < kArmsCount && (v->dwArmsAvail[u.nArms] & kArmsSeen));
    const bool hidden = unidentified || ((doc->m_dwGameOption & kOptHideUnseenTypes) && !seen);

    DrawFlag(country, 85, 27);

    // The figures as they will stand once the pending move and a pending
    // jettison are carried out.
    UNITSTRUCT copy = u;
    if (&u == m_view.m_pSelUnit && m_view.m_nTargetHex >= 0 && IsMapHex(m_view.m_nTargetHex) &&
        (u.dwFlag & kUnitMayUndo) == 0)
        ConsumeMoveFuel(copy, static_cast<int>(doc->m_dwHexMove[m_view.m_nTargetHex] & 0xFFFFu),
                        IsOnBatteryOnly(u, effect));
    if (u.dwOrder & kOrderJettisonPending) JettisonStores(copy, GetMinimumFuelUse(copy, g, doc->m_MoveRules));

    if (!hidden) {
        for (int i = 0; i < kAmmoSlots; ++i) {
            const WEAPONSTRUCT* w = WeaponRecord(u.nArms, i);
            if (w == nullptr || w->nWeaponNo == 0) break;
            const int y = 27 + 13 * (i % 4);
            const int column = i / 4;
            const bool empty = copy.nAmmo[i] == 0 ||
                               ((copy.dwOrder & kOrderJettisonPending) && (w->dwWeaponFlag & kWeaponDroppable));
            DrawFontText(TableText(Lib().WeaponName, w->nWeaponNo), column ? 451 : 270, y, empty);
            DrawFontText(Num("x%2d", w->nPieces), column ? 595 : 414, y, empty);
            DrawFontText(Num("%2d", empty ? 0 : copy.nAmmo[i]), column ? 616 : 435, y, empty);
        }
        if ((u.dwFlag & kUnitCarries) && country >= 0 && country < kCountryCount) {
            const COUNTRYSTRUCT& c = g.Country[country];
            const bool enemy = v != nullptr && (c.nSide ^ 1) == v->nSide;
            const int count = CargoCount(u.dwCargo);
            const int slot = RefSlot(u.refSelf);
            int listed = 0;
            for (const UNITSTRUCT& cu : c.Unit) {
                if (listed >= count || listed >= 4) break;
                if ((cu.dwFlag & kUnitInUse) == 0 || (cu.dwFlag & kUnitCarried) == 0) continue;
                if (CargoCarrier(cu.dwCargo) != slot) continue;
                DrawFontText(enemy ? "?" : TableText(Lib().UnitName, cu.nArms), 642, 27 + 13 * listed, false);
                ++listed;
            }
        }
        const int columns = std::max(0, u.nExp) * 100 / 250;
        platform::Surface8 s = m_strip.Surface();
        for (int i = 0; i < columns; ++i) {
            const uint8_t* run = (i % 2) == 0 ? kExpRunA : kExpRunB;
            for (int k = 0; k < 10; ++k) s.SetPixel(152 + i, 74 - k, run[k]);
        }
    }

    DrawText(108, 29, hidden ? std::string_view("?") : std::string_view(TableText(Lib().UnitNameJ, u.nArms)),
             m_black);
    const std::string word = unidentified || a == nullptr ? "?" : TableText(Lib().MsgUnitType, a->nClass);
    DrawText(92 + 3 * (4 - static_cast<int>(word.size())), 64, word, m_black);

    auto value = [&](const char* format, int v2) {
        return hidden ? std::string(format[1] == '3' ? "  ?" : " ?") : Num(format, v2);
    };
    const uint8_t moveColour = a != nullptr && u.nMove != a->nMovePoint && !hidden ? m_red : m_black;
    DrawText(103, 46, value("%3d", u.nMove), moveColour);
    DrawText(199, 46, value("%3d", naval ? copy.nBattery : (a != nullptr ? a->nWeight : 0)), m_black);
    const int levels = GetUnitConditionLevels(copy);
    const int fuelLevel = levels >> 16, strengthLevel = levels & 0xFFFF;
    const uint8_t fuelColour =
        hidden ? m_black : fuelLevel == 1 ? m_yellow : fuelLevel == 2 ? m_red : fuelLevel == 3 ? m_blue : m_black;
    DrawText(151, 46, value("%3d", static_cast<int>(GetUnitFuelTotal(copy) & 0xFFFFu)), fuelColour);
    const uint8_t strengthColour = hidden ? m_black : strengthLevel == 1 ? m_yellow : strengthLevel == 2 ? m_red : m_black;
    DrawText(241, 46, value("%3d", u.nStrength), strengthColour);
    DrawText(193, 64, value("%3d", u.nExp), m_white);

    // The right block.
    int height = 0;
    if (u.dwFlag & kUnitInWater)
        height = -1;
    else if (a != nullptr && a->nDomain == 0)
        height = a->nHeight;
    else if (const TRRNSTRUCT* t = TerrainRecord(CellTerrain(u.dwHexCell)); t != nullptr)
        height = t->nHeight;
    DrawText(863, 28, value("%2d", height), m_black);
    int kind = a != nullptr ? a->nDomain : -1;
    if (u.dwFlag & kUnitInWater)
        kind = 4;
    else if (kind == 4)
        kind = 3;
    const std::string kindWord = TableText(Lib().SWndDefTypeName, kind);
    DrawText(827 + 3 * (6 - static_cast<int>(kindWord.size())), 46, kindWord, m_black);
    if (a != nullptr) {
        DrawText(830, 64, value("%2d", a->nDefenceAir), m_black);
        DrawText(865, 64, value("%2d", a->nDefenceSurface), m_black);
        const bool night = (a->dwArmsFlag & kArmsNightSight) != 0;
        DrawText(921, 28, value("%2d", GetSightRange(u, effect)), night && !hidden ? m_blue : m_black);
        const auto dashIfZero = [&](int v2) { return !hidden && v2 == 0 ? std::string("--") : value("%2d", v2); };
        DrawText(921, 46, dashIfZero(a->wRadar), m_black);
        DrawText(921, 64, dashIfZero(a->wSonar), m_black);
    }
}

}  // namespace zrv
