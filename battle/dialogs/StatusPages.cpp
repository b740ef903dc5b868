#include "battle/dialogs/StatusPages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <span>

#include "battle/dialogs/PlacementPages.h"
#include "battle/engine/Calendar.h"
#include "battle/engine/CountryOps.h"
#include "battle/engine/GameFlow.h"
#include "battle/engine/Judgement.h"
#include "battle/engine/PhaseSteps.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"

namespace zrv {

namespace {

// Owner fields are 4 bits, but only 8 countries have records.
constexpr int kOwnerCountries = 8;

std::string Printf(const char* format, int a)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, format, a);
    return buf;
}

std::string DateText(uint32_t date)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2d.%2d.%2d %2d:00", static_cast<int>((date >> 16) & 0xFF),
                  static_cast<int>((date >> 8) & 0xFF), static_cast<int>(date & 0xFF),
                  static_cast<int>((date >> 24) & 0xFF));
    return buf;
}

std::string FixedName(const char* text, size_t size)
{
    return std::string(text, strnlen(text, size));
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// The colour of a country's name: its side's.
int SideColorCode(int side)
{
    return side == 0 ? 8 : side == 1 ? 7 : 0;
}

bool Inside(CDib* dib, int x, int y, int w, int h)
{
    return dib != nullptr && x >= 0 && y >= 0 && x + w <= dib->GetWidth() && y + h <= dib->GetHeight();
}

}  // namespace

const char* StatusPageTitle(int page)
{
    static const char* const titles[kStatusPageCount] = {"作戦", "収入", "気象", "昼夜"};
    return page >= 0 && page < kStatusPageCount ? titles[page] : "";
}

// --- the sheet ----------------------------------------------------------------------------

void StatusSheetModel::Update(uint32_t mask)
{
    if (mask == 0) return;
    // Pages missed earlier are kept: a later update naming other pages must
    // not make them lose their turn.
    m_dwPending |= mask & kStatusAllPages;
    const uint32_t bit = 1u << m_nActive;
    if (mask & bit) {
        m_dwPending &= ~bit;
        if (m_redraw) m_redraw(m_nActive);
    }
}

void StatusSheetModel::PageChanged(int page)
{
    if (page < 0 || page >= kStatusPageCount) return;
    m_nActive = page;
    if (m_dwPending != 0) Update(m_dwPending);
}

// --- 作戦 ---------------------------------------------------------------------------------

OperationsPageModel::OperationsPageModel(CZRKGameDoc& doc, DialogView* view)
    : m_doc(doc), m_pView(view), m_pCountry(doc.m_pCurCountry)
{
}

int OperationsPageModel::OwnerField(HEXINDEX hex) const
{
    if (hex < 0 || hex >= kHexCount) return 0;
    return static_cast<int>((m_doc.m_dwHexCell[hex] & kCellOwnerMask) >> 16);
}

void OperationsPageModel::Fill()
{
    m_rows.clear();
    m_order.clear();
    m_nSelected = -1;
    m_bLocate = false;
    if (m_pCountry == nullptr || m_pCountry->nSide == 2) return;
    const int target = m_pCountry->nSide ^ 1;
    const int names = std::clamp(m_doc.m_nCityName, 0, kCityNameCount);
    const std::span<const CITYNAMESTRUCT> cityNames(m_doc.m_CityName, static_cast<size_t>(names));
    for (HEXINDEX h = 0; h < kHexCount && static_cast<int>(m_rows.size()) < kOperationsMaxRows; ++h) {
        const MAPCELL cell = m_doc.m_dwHexCell[h];
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (t == nullptr || !IsCityHex(*t)) continue;
        const int owner = CellOwner(cell);
        // An owner field beyond the country records names no country.
        if (owner < 0 || owner >= kOwnerCountries) continue;
        const COUNTRYSTRUCT& c = m_doc.m_GameData.Country[owner];
        if (c.nSide != target) continue;
        if (m_bCapitalsOnly && c.nCapital != h) continue;
        OperationsRow row;
        row.hex = h;
        const int found = FindRecordById(cityNames, h);
        row.name = found >= 0 ? FixedName(cityNames[static_cast<size_t>(found)].szName, sizeof cityNames[0].szName)
                              : std::string(TableText(Lib().TerrainName, 1));
        row.distance = GetNearestOwnUnitDistance(*m_pCountry, h);
        m_rows.push_back(std::move(row));
    }
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    Sort(static_cast<uint32_t>(m_nSortColumn));
}

std::string OperationsPageModel::Text(int row, int column) const
{
    const OperationsRow& r = Row(row);
    const MapRect& a = m_doc.m_rcMapArea;
    const int x = (r.hex & 127) - a.left + 1, y = (r.hex >> 7) - a.top + 1;
    const bool outside = x < 1 || x > a.right - a.left + 1 || y < 1 || y > a.bottom - a.top + 1;
    switch (column) {
    case 0: return r.name;
    case 1: return outside ? "--" : Printf("%2d", x);
    case 2: return outside ? "--" : Printf("%2d", y);
    case 3: return Printf("%3d", CellDurability(m_doc.m_dwHexCell[r.hex]));
    case 4: return r.distance < 0 ? "---" : Printf("%3d", r.distance);
    default: return "";
    }
}

int OperationsPageModel::Image(int row) const
{
    const int owner = OwnerField(Row(row).hex) - 1;
    if (owner < 0 || owner >= kOwnerCountries) return -1;
    const bool flags = m_pView != nullptr && m_pView->FlagPictureSet().flagMarking;
    return GetCountryDisplayIndex(m_doc.m_GameData.Country[owner], flags);
}

int OperationsPageModel::Compare(const OperationsRow& a, const OperationsRow& b, uint32_t key) const
{
    const int column = static_cast<int>(key & 0xFFFF);
    const int ownerDiff = OwnerField(a.hex) - OwnerField(b.hex);
    int r = 0;
    switch (column) {
    case 0: r = ownerDiff != 0 ? ownerDiff : CompareNamesNoCase(a.name.c_str(), b.name.c_str()); break;
    case 1: r = (a.hex & 127) - (b.hex & 127); break;
    case 2: r = (a.hex >> 7) - (b.hex >> 7); break;
    case 3: r = CellDurability(m_doc.m_dwHexCell[a.hex]) - CellDurability(m_doc.m_dwHexCell[b.hex]); break;
    // No distance (-1) sorts as a number before every distance, so the
    // order is the same whichever row comes first.
    case 4: r = a.distance - b.distance; break;
    default: break;
    }
    if (key >> 16) r = -r;
    if (r == 0 && column != 0) r = ownerDiff != 0 ? ownerDiff : CompareNamesNoCase(a.name.c_str(), b.name.c_str());
    return Sign(r);
}

void OperationsPageModel::Sort(uint32_t key)
{
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return Compare(m_rows[static_cast<size_t>(a)], m_rows[static_cast<size_t>(b)], key) < 0;
    });
}

void OperationsPageModel::ColumnClick(int column)
{
    if (column < 0 || column >= kOperationsColumns) return;
    m_nSortColumn = column;
    const uint32_t key = static_cast<uint32_t>(column) | (m_bDescending[static_cast<size_t>(column)] ? 0x10000u : 0);
    m_bDescending[static_cast<size_t>(column)] = !m_bDescending[static_cast<size_t>(column)];
    Sort(key);
}

bool OperationsPageModel::Select(int row)
{
    if (row < -1 || row >= RowCount()) row = -1;
    if (row == m_nSelected) return false;
    m_bLocate = row >= 0;
    m_nSelected = row;
    return true;
}

void OperationsPageModel::Locate()
{
    if (m_nSelected >= 0 && m_pView != nullptr) m_pView->MoveMapCursorToHex(Row(m_nSelected).hex);
}

void OperationsPageModel::Flash()
{
    if (m_nSelected >= 0 && m_pView != nullptr) m_pView->FlashHexMark(Row(m_nSelected).hex);
}

void OperationsPageModel::ToggleCapitalsOnly()
{
    m_bCapitalsOnly = !m_bCapitalsOnly;
    Fill();
}

OperationsPageModel::Header OperationsPageModel::HeaderTexts() const
{
    const GAMEDATASTRUCT& g = m_doc.m_GameData;
    const int last = GetLastTurn(g, m_doc.m_dwGameOption);
    Header h;
    h.scenario = FixedName(g.Head.szName, sizeof g.Head.szName);
    uint32_t start = g.Head.dwStartDate;
    if (last != LastTurn(g.Head.dwTurnLimit)) start = AddTwoHours(start);
    h.start = DateText(start);
    h.end = DateText(g.dwEndDate);
    const int left = IsCampaignOpeningTurn(g, m_doc.m_dwGameOption) ? last - g.nTurn : last - g.nTurn + 1;
    h.turnsLeft = Printf("%3d", left);
    return h;
}

OperationsPageModel::Owner OperationsPageModel::OwnerTexts() const
{
    Owner o;
    if (m_nSelected < 0) return o;
    const int owner = OwnerField(Row(m_nSelected).hex) - 1;
    if (owner < 0 || owner >= kOwnerCountries) return o;
    const COUNTRYSTRUCT& c = m_doc.m_GameData.Country[owner];
    o.name = FixedName(c.szName, sizeof c.szName);
    FormatAmount(o.funds, c.nFund, false, true);
    if (c.nSurrenderFund >= 1) FormatAmount(o.defeat, c.nSurrenderFund, false, false);
    return o;
}

void OperationsPageModel::DrawHeader(DialogCard& card, CDib* status02) const
{
    if (!card.IsValid() || status02 == nullptr) return;
    const Header h = HeaderTexts();
    card.Copy(status02, 0, 0, kOpHeaderW, kOpHeaderH, kOpHeaderX, kOpHeaderY);
    card.Dc().TextOut(kOpHeaderX + 47, kOpHeaderY + 8, h.scenario);
    card.Dc().TextOut(kOpHeaderX + 58, kOpHeaderY + 28, h.start);
    card.Dc().TextOut(kOpHeaderX + 201, kOpHeaderY + 28, h.end);
    card.Dc().TextOut(kOpHeaderX + 263, kOpHeaderY + 8, h.turnsLeft);
}

// --- 収入 ---------------------------------------------------------------------------------

int CityClassOfTerrain(int terrain)
{
    switch (terrain) {
    case 1: case 2: case 68: case 80: case 81: case 85: return 0;
    case 3: case 69: case 82: case 86: return 1;
    case 4: case 70: case 83: case 87: return 2;
    case 5: case 67: case 71: case 75: return 3;
    default: return -1;
    }
}

CityCounts CountCityClasses(const MAPCELL* cells)
{
    CityCounts n;
    for (int h = 0; h < kHexCount; ++h) {
        const int k = CityClassOfTerrain(CellTerrain(cells[h]));
        if (k < 0) continue;
        ++n.total;
        ++n.byClass[static_cast<size_t>(k)];
        // Owner fields 9-15 name no country record: counted in the totals only.
        const int owner = CellOwner(cells[h]);
        if (owner >= 0 && owner < kOwnerCountries) ++n.owned[static_cast<size_t>(owner)][static_cast<size_t>(k)];
    }
    return n;
}

std::array<int, 4> BarWidths(const std::array<int, 4>& counts, int total)
{
    constexpr int kBar = 200;
    std::array<int, 4> w{};
    if (total <= 0) return w;
    int sum = 0, all = 0;
    for (size_t k = 0; k < 4; ++k) {
        w[k] = static_cast<int>(static_cast<int64_t>(counts[k]) * kBar / total);
        if (counts[k] != 0 && w[k] == 0) w[k] = 1;
        sum += w[k];
        all += counts[k];
    }
    // Only a bar of every counted hex is made to fill the 200 pixels exactly.
    if (all != total) return w;
    while (sum != kBar) {
        const size_t k = static_cast<size_t>(std::max_element(w.begin(), w.end()) - w.begin());
        const int step = sum < kBar ? 1 : -1;
        w[k] += step;
        sum += step;
    }
    return w;
}

IncomePageModel::IncomePageModel(CZRKGameDoc& doc, DialogView* view) : m_doc(doc), m_pView(view)
{
    CreateGothicFont(&m_figureFont, 10, 700, nullptr);
}

void IncomePageModel::Count()
{
    m_counts = CountCityClasses(m_doc.m_dwHexCell);
    const bool flags = m_pView != nullptr && m_pView->FlagPictureSet().flagMarking;
    const int n = m_counts.total;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        COUNTRYSTRUCT& c = m_doc.m_GameData.Country[i];
        IncomeRow& r = m_rows[i];
        r = IncomeRow{};
        r.name = FixedName(c.szName, sizeof c.szName);
        r.shown = !r.name.empty();
        if (!r.shown) continue;
        r.present = (c.dwFlag & kCountryPresent) != 0;
        r.colorCode = SideColorCode(c.nSide);
        r.bar = BarWidths(m_counts.owned[i], n);
        if (!r.present) continue;
        int f = GetCountryDisplayIndex(c, flags);
        if (f < 8) f = c.nDisplay;
        r.flag = f;
        const auto& owned = m_counts.owned[i];
        const int s = owned[0] + owned[1] + owned[2] + owned[3];
        const int whole = n > 0 ? s * 100 / n : 0, tenth = n > 0 ? (s * 1000 / n) % 10 : 0;
        FormatAmount(r.figures, m_doc.GetCountryIncome(c), true, true);
        char share[24];
        std::snprintf(share, sizeof share, " %3d.%01d%%", whole, tenth);
        r.figures += share;
    }
}

void IncomePageModel::DrawBar(DialogCard& card, CDib* status12, const std::array<int, 4>& widths, int x,
                              int y) const
{
    static constexpr int kSource[4][2] = {{198, 277}, {198, 287}, {238, 277}, {238, 287}};
    for (size_t k = 0; k < 4; ++k)
        for (int left = widths[k]; left > 0;) {
            const int w = std::min(left, 40);
            card.Copy(status12, kSource[k][0], kSource[k][1], w, 10, x, y);
            x += w;
            left -= w;
        }
}

bool IncomePageModel::Redraw(DialogCard& card, CDib* status12)
{
    Count();
    if (!card.IsValid() || status12 == nullptr) return false;
    card.Copy(status12, 0, 0, 336, 251, 2, 5);
    DrawBar(card, status12, MapBar(), 138, 243);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const IncomeRow& r = m_rows[i];
        if (!r.shown) continue;
        const int y = 35 + 26 * static_cast<int>(i);
        if (!r.present && Inside(status12, 0, 251, 336, 26))
            status12->CopyRect(card.Picture(), 2, y - 3, 336, 26, 0, 251, 0);
        DrawBar(card, status12, r.bar, 138, y + 12);
        card.Text(7, y + 3, r.name, r.colorCode);
        if (!r.present) continue;
        // A flag beyond the picture's 42 is left out.
        if (r.flag >= 0 && Inside(status12, (r.flag % 11) * 18, (r.flag / 11) * 12 + 277, 18, 12))
            card.Copy(status12, (r.flag % 11) * 18, (r.flag / 11) * 12 + 277, 18, 12, 139, y - 2);
        const platform::Font* old = card.Dc().SelectFont(m_figureFont ? m_figureFont.get() : card.Font());
        card.Dc().TextOut(159, y - 2, r.figures);
        card.Dc().SelectFont(old);
    }
    return true;
}

// --- 気象 and 昼夜 -------------------------------------------------------------------------

int ClimateZone(const GAMEDATASTRUCT& game)
{
    return ClimateArea(game.Head.dwArea);
}

std::vector<LightLimit> MarkedLimits(const GAMEDATASTRUCT& game)
{
    static const LightLimit kLimits[16] = {
        {"視認範囲 1/2", 0, 153},          {"空対地攻撃力 2/3", 131, 153}, {"空対地命中率 1/2", 131, 170},
        {"爆撃力 1/2", 0, 187},            {"空対地攻撃力 2/3", 131, 215}, {"空対地命中率 1/2", 131, 233},
        {"視認範囲１", 0, 153},            {"空対地攻撃不可", 131, 153},   {"攻撃力 1/3", 0, 170},
        {"命中率 1/2", 131, 170},          {"爆撃力 1/4", 0, 187},         {"地上速度・占領力 1/2", 131, 187},
        {"視認範囲 1/2", 0, 215},          {"空対地攻撃力 2/3", 131, 215}, {"爆撃力 1/2", 0, 233},
        {"空対地命中率 1/4", 131, 233},
    };
    if ((game.dwStateFlag & kStateDayNight) == 0) return {};
    switch (WeatherLight(GetWeatherEffect(game))) {
    case 1: return {kLimits, kLimits + 6};
    case 2: return {kLimits + 6, kLimits + 16};
    default: return {};
    }
}

namespace {

// The band of zone in a zone picture (a zone beyond the picture: none).
std::unique_ptr<CDib> LoadZoneBand(const DialogCard& card, const char* name, int zone)
{
    std::unique_ptr<CDib> all = card.LoadPicture(name);
    if (!all || zone < 0 || !Inside(all.get(), 0, zone * kZoneBandRows, 124, kZoneBandRows)) return nullptr;
    return all;
}

std::string LimitCaption(TextTable table, int index)
{
    std::string s = "行動制限(";
    s += TableText(table, index);
    s += ")";
    return s;
}

}  // namespace

WeatherPagePainter::WeatherPagePainter(const GAMEDATASTRUCT& game, DialogCard& card)
    : m_game(game), m_card(card), m_nZone(ClimateZone(game))
{
    m_frame = card.LoadPicture("status22.pxs");
    m_zone = LoadZoneBand(card, "statuswt.pxs", m_nZone);
}

int WeatherPagePainter::LimitRow() const
{
    const int r = WeatherClass(GetWeatherEffect(m_game));
    return r >= 0 && r <= 5 ? r : 0;
}

std::string WeatherPagePainter::Caption() const
{
    return LimitCaption(Lib().MsgWeather, m_game.nWeather);
}

bool WeatherPagePainter::Redraw(bool full)
{
    if (!m_card.IsValid() || !m_frame) return false;
    if (full) {
        m_card.Copy(m_frame.get(), 0, 648, 232, 104, 54, 12);
        if (m_zone) m_card.Copy(m_zone.get(), 0, m_nZone * kZoneBandRows, 124, 60, 79, 39);
        const char* name = TableText(Lib().MsgZone, m_nZone);
        const int len = static_cast<int>(std::strlen(name));
        m_card.Dc().TextOut((16 - len) * 7 / 2 + 92, 19, name);
    }
    m_card.Copy(m_frame.get(), 0, LimitRow() * 108, 316, 108, 12, 139);
    return true;
}

DayNightPagePainter::DayNightPagePainter(const GAMEDATASTRUCT& game, DialogCard& card)
    : m_game(game), m_card(card), m_nZone(ClimateZone(game))
{
    m_frame = card.LoadPicture("status3.pxs");
    m_zone = LoadZoneBand(card, "statussn.pxs", m_nZone);
    m_moon = card.LoadPicture("SWndMoon.PXS");
}

std::pair<int, int> DayNightPagePainter::SunHours() const
{
    const int m = static_cast<int>((m_game.dwDateTime >> 8) & 0xFF);
    const auto table = Lib().SunriseSunsetData;
    if (m < 1 || m > 12 || m_nZone < 0 || static_cast<size_t>(m_nZone) >= table.size()) return {-1, -1};
    const auto& row = table[static_cast<size_t>(m_nZone)];
    return {std::abs(static_cast<int>(row[static_cast<size_t>(m - 1)])) - 1,
            std::abs(static_cast<int>(row[static_cast<size_t>(12 + m - 1)])) - 1};
}

int DayNightPagePainter::MoonImage() const
{
    int p = GetMoonPhase(m_game.dwDateTime) & 0xFFFF;
    if ((m_game.dwStateFlag & kStateDayNight) != 0 && m_game.nDayNight == kNight) p += 9;
    return p;
}

std::string DayNightPagePainter::Caption() const
{
    return LimitCaption(Lib().MsgSunEffectName, WeatherLight(GetWeatherEffect(m_game)));
}

bool DayNightPagePainter::Redraw(bool full)
{
    if (!m_card.IsValid() || !m_frame) return false;
    if (full) {
        m_card.Copy(m_frame.get(), 0, 0, 232, 109, 54, 12);
        if (m_zone) m_card.Copy(m_zone.get(), 0, m_nZone * kZoneBandRows, 124, 60, 77, 44);
        const auto [rise, set] = SunHours();
        if (rise >= 0) {
            m_card.Dc().TextOut(132, 19, Printf("%2d:00", rise));
            m_card.Dc().TextOut(222, 19, Printf("%2d:00", set));
        }
        const int p = MoonImage();
        if (Inside(m_moon.get(), 0, p * 50, 62, 50)) m_card.Copy(m_moon.get(), 0, p * 50, 62, 50, 213, 45);
    }
    m_card.Copy(m_frame.get(), 0, 109, 292, 100, 26, 151);
    for (const LightLimit& l : MarkedLimits(m_game)) {
        m_card.Copy(m_frame.get(), 0, 209, 128, 16, l.x + 57, l.y);
        m_card.Dc().TextOut(l.x + 61, l.y + 2, l.text);
    }
    return true;
}

}  // namespace zrv
