#pragma once
// The unit list (部隊表) without a window: the rows of the current country's
// units (and, in a campaign, of the carry-over pool), their texts, sort keys
// and state icons, the rows a unit and its cargo bring and take along, the
// caption's counts and what a click on a row does. The window shows the rows
// in this order and passes the player's clicks here.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "battle/dialogs/ReportListRules.h"
#include "battle/engine/ViewToolHub.h"
#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr int kUnitListColumns = 10;
inline constexpr int kUnitListShownRows = 20;
// The icon in front of column 0 widens it by this much.
inline constexpr int kUnitListIconWidth = 12;
inline constexpr int kUnitListIcons = 13;

// The columns: 番号, ﾀｲﾌﾟ, Lv, ユニット名, 機数, 燃料, 状態, X, Y, 輸送.
const std::array<ReportColumn, kUnitListColumns>& UnitListColumns();

// The state icon of a unit (0..12): its fuel and strength levels (fuel level
// 3 counting as 0), overridden by acted 11, carried 10, carry-over pool 9 and
// flag bit 19 12, the last that applies winning.
int UnitStateIcon(const UNITSTRUCT& unit);
// The same from GetUnitConditionLevels' word and the unit's flag word.
int StateIconOf(int levels, uint32_t flags);

// The transport sort key: 0 for a unit neither carried nor carrying, else its
// carrier slot + units aboard x 65536 + 1.
int64_t TransportKey(const UNITSTRUCT& unit);

class UnitListModel {
public:
    // game: the battle; host: the view (its current country, map area,
    // clicks); campaign: the document runs a campaign game.
    UnitListModel(GAMEDATASTRUCT& game, ToolWindowHost& host, bool campaign);

    // The rows of the current country's units in use, and in a campaign when
    // that country is the first and shows its reserve, of the used pool
    // records; sorted by class, ascending.
    void Fill();

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    UNITSTRUCT* RowUnit(int row) const;
    // Row of unit, -1 when it has none.
    int FindRow(const UNITSTRUCT& unit) const;
    std::string CellText(int row, int column) const;
    std::string UnitText(const UNITSTRUCT& unit, int column) const;
    int RowIcon(int row) const;

    // --- sorting ---------------------------------------------------------------
    // A column's title clicked: that column sorts, reversed when clicked again.
    void ClickColumn(int column);
    void Sort();
    const ListSortState& SortState() const { return m_sort; }
    // a before b (negative), after (positive) or level (0) in column,
    // ascending or not; level keys fall back to the class, then the type.
    int Compare(const UNITSTRUCT& a, const UNITSTRUCT& b, int column, bool descending) const;
    int64_t SortKey(const UNITSTRUCT& unit, int column) const;

    // --- what the view tells the list --------------------------------------------
    // Appends the unit's row, with withCargo also the rows of everything it
    // carries (depth first), then sorts again. A unit with a row keeps it.
    void AppendRows(UNITSTRUCT& unit, bool withCargo);
    // Deletes the unit's row and, with withCargo for a carrier, its cargo's
    // rows; false (nothing changes) when the unit has no row.
    bool RemoveRows(UNITSTRUCT& unit, bool withCargo);

    // "部隊表 (%d/%d/%d)" in a campaign for the first country showing its
    // reserve, else "部隊表 (%d/%d)": rows that may still act, rows not in the
    // pool (and pool rows).
    std::string Caption() const;

    // --- the player --------------------------------------------------------------
    // A click on row: the unit is found on the map and selected, or only
    // found, or offered for disposal (see the window's description).
    void ClickRow(int row);
    // A right click: the unit's performance window.
    void RightClickRow(int row);

    // --- placement ---------------------------------------------------------------
    // The default column widths (the title table's).
    static std::array<int, kUnitListColumns> DefaultWidths();
    // The client size of the first opening from the first row's rectangle
    // (null: the list has none).
    ClientSize OpeningSize(const RowRect* firstRow, const ListMetrics& metrics) const;

    COUNTRYSTRUCT* Country() const { return m_pCountry; }
    bool ShowsPool() const;

private:
    // Calls f for every unit carried by carrier and by its cargo, depth first,
    // each record at most once (seen marks them); with carriersOnly only
    // units with the carrying flag are walked into.
    template <class F>
    void WalkCargo(std::span<UNITSTRUCT> units, const UNITSTRUCT& carrier, std::vector<bool>& seen,
                   bool carriersOnly, F&& f);
    std::string TransportText(const UNITSTRUCT& unit) const;
    bool OnMap(const UNITSTRUCT& unit) const;

    GAMEDATASTRUCT& m_game;
    ToolWindowHost& m_host;
    bool m_bCampaign;
    COUNTRYSTRUCT* m_pCountry = nullptr;
    std::vector<UNITSTRUCT*> m_rows;
    ListSortState m_sort;
};

}  // namespace zrv
