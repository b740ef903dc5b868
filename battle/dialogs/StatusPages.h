#pragma once
// The situation table (状況表) without a window: the sheet's pending pages and
// its four pages, 作戦 (operation targets), 収入 (income by country), 気象
// (limits of the weather) and 昼夜 (day, night and the moon). Each page draws
// into a 341 x 262 card in page coordinates; the window shows the card's
// painted rectangles and the operations list.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "battle/dialogs/DialogCard.h"
#include "battle/engine/GameDoc.h"

namespace zrv {

inline constexpr int kStatusPageW = 341, kStatusPageH = 262;
inline constexpr int kStatusPageCount = 4;
// Page bits of an update mask.
inline constexpr uint32_t kStatusOperations = 1, kStatusIncome = 2, kStatusWeather = 4, kStatusDayNight = 8;
inline constexpr uint32_t kStatusAllPages = 15;

// The page titles in sheet order (CP932).
const char* StatusPageTitle(int page);

// Which pages are waiting for a redraw. Only the page on screen is drawn at
// once; the others wait until their tab is shown.
class StatusSheetModel {
public:
    // redraw(page) draws page again (0-3).
    explicit StatusSheetModel(std::function<void(int page)> redraw) : m_redraw(std::move(redraw)) {}

    int ActivePage() const { return m_nActive; }
    uint32_t Pending() const { return m_dwPending; }

    // The pages of mask changed: the active one is drawn now, the rest wait.
    // A page still waiting from an earlier update keeps waiting.
    void Update(uint32_t mask);
    // Another tab is shown: it catches up when it was waiting.
    void PageChanged(int page);

private:
    std::function<void(int)> m_redraw;
    int m_nActive = 0;
    uint32_t m_dwPending = 0;
};

// --- 作戦 ---------------------------------------------------------------------------------

struct OperationsRow {
    HEXINDEX hex = -1;
    std::string name;  // CP932
    int distance = -1; // to the nearest own unit, -1 none
};

inline constexpr int kOperationsMaxRows = 512;
inline constexpr int kOperationsColumns = 5;
// Places on the page.
inline constexpr int kOpHeaderX = 24, kOpHeaderY = 11, kOpHeaderW = 292, kOpHeaderH = 46;

class OperationsPageModel {
public:
    // view may be null (no map to show a hex on, no flag option).
    OperationsPageModel(CZRKGameDoc& doc, DialogView* view);

    // Empties the list and fills it again with the cities of the opposing
    // side, sorted ascending by the sort column; nothing is selected.
    void Fill();
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const OperationsRow& Row(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    // Row indexes in the order the list shows them.
    const std::vector<int>& Order() const { return m_order; }
    // Column texts (CP932) and the flag image of a row.
    std::string Text(int row, int column) const;
    int Image(int row) const;

    // The first click on a column sorts ascending, each further one reverses.
    void ColumnClick(int column);
    int SortColumn() const { return m_nSortColumn; }
    // A row is chosen (-1: none); true when the selection changed.
    bool Select(int row);
    int Selected() const { return m_nSelected; }
    bool LocateEnabled() const { return m_bLocate; }
    // 位置確認 and the double click: the map shows the selected city.
    void Locate();
    void Flash();
    // 生産首都のみ表示.
    void ToggleCapitalsOnly();
    bool CapitalsOnly() const { return m_bCapitalsOnly; }

    struct Header {
        std::string scenario, start, end, turnsLeft;
    };
    Header HeaderTexts() const;
    // Owner of the selected row: name, funds, defeat level (" " when none).
    struct Owner {
        std::string name = " ", funds = " ", defeat = " ";
    };
    Owner OwnerTexts() const;
    // The header into the page card: "status02.pxs" and its texts.
    void DrawHeader(DialogCard& card, CDib* status02) const;

    // < 0, 0, > 0: a before b under key (column, high half set = descending).
    int Compare(const OperationsRow& a, const OperationsRow& b, uint32_t key) const;

private:
    void Sort(uint32_t key);
    int OwnerField(HEXINDEX hex) const;

    CZRKGameDoc& m_doc;
    DialogView* m_pView;
    COUNTRYSTRUCT* m_pCountry;
    std::vector<OperationsRow> m_rows;
    std::vector<int> m_order;
    int m_nSelected = -1;
    bool m_bLocate = false;
    bool m_bCapitalsOnly = false;
    int m_nSortColumn = 0;
    std::array<bool, kOperationsColumns> m_bDescending{};
};

// --- 収入 ---------------------------------------------------------------------------------

// The city class of a terrain (0-3), -1 for a terrain that is not counted.
int CityClassOfTerrain(int terrain);

struct CityCounts {
    int total = 0;                               // N: city hexes of every class
    std::array<int, 4> byClass{};                // T
    std::array<std::array<int, 4>, 8> owned{};   // C[country][class]
};
CityCounts CountCityClasses(const MAPCELL* cells);

// Widths of a 200-pixel bar from counts of a total (0 total: empty bar).
std::array<int, 4> BarWidths(const std::array<int, 4>& counts, int total);

// One country's row as the page shows it.
struct IncomeRow {
    bool shown = false;    // a named slot
    bool present = false;  // in the battle (else dimmed, no flag or figures)
    std::string name;
    int colorCode = 0;
    int flag = -1;
    std::string figures;  // income and share
    std::array<int, 4> bar{};
};

class IncomePageModel {
public:
    IncomePageModel(CZRKGameDoc& doc, DialogView* view);
    // Counts the map again and makes the rows.
    void Count();
    const CityCounts& Counts() const { return m_counts; }
    const IncomeRow& Row(int i) const { return m_rows.at(static_cast<size_t>(i)); }
    std::array<int, 4> MapBar() const { return BarWidths(m_counts.byClass, m_counts.total); }
    // Counts and draws the page into card with "status12.pxs"; false when
    // either is missing (nothing drawn).
    bool Redraw(DialogCard& card, CDib* status12);

private:
    void DrawBar(DialogCard& card, CDib* status12, const std::array<int, 4>& widths, int x, int y) const;

    CZRKGameDoc& m_doc;
    DialogView* m_pView;
    CityCounts m_counts;
    std::array<IncomeRow, 8> m_rows;
    std::unique_ptr<platform::Font> m_figureFont;
};

// --- 気象 and 昼夜 -------------------------------------------------------------------------

// The climate zone of the battle (high half of the scenario's area word).
int ClimateZone(const GAMEDATASTRUCT& game);
inline constexpr int kZoneBandRows = 60;

// One marked limit of the day/night page.
struct LightLimit {
    const char* text;
    int x, y;
};
// The limits in force under the effective light (1 dawn and dusk, 2 night;
// none by day or without the day/night option).
std::vector<LightLimit> MarkedLimits(const GAMEDATASTRUCT& game);

class WeatherPagePainter {
public:
    WeatherPagePainter(const GAMEDATASTRUCT& game, DialogCard& card);
    // The weather row shown (0-5).
    int LimitRow() const;
    // "行動制限(...)" of the weather now.
    std::string Caption() const;
    // full also draws the static upper part; false when a picture is missing.
    bool Redraw(bool full);

private:
    const GAMEDATASTRUCT& m_game;
    DialogCard& m_card;
    int m_nZone;
    std::unique_ptr<CDib> m_frame, m_zone;
};

class DayNightPagePainter {
public:
    DayNightPagePainter(const GAMEDATASTRUCT& game, DialogCard& card);
    // Sunrise and sunset of the month (-1 when the tables have none).
    std::pair<int, int> SunHours() const;
    // Row of the moon picture (-1 when the date has no moon image).
    int MoonImage() const;
    std::string Caption() const;
    bool Redraw(bool full);

private:
    const GAMEDATASTRUCT& m_game;
    DialogCard& m_card;
    int m_nZone;
    std::unique_ptr<CDib> m_frame, m_zone, m_moon;
};

}  // namespace zrv
