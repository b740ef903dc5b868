#pragma once
// The force, weapon and terrain tables (戦力表, 兵器表, 地形表) without a
// window: their columns, rows, texts and the order of their column sorts.
// The windows show the rows in this order and pass the column clicks here.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "battle/dialogs/ReportListRules.h"
#include "foundation/GameRecords.h"
#include "foundation/LibraryRecords.h"

namespace zrv {

// --- force table ---------------------------------------------------------------------------

inline constexpr int kForceColumns = 17;
inline constexpr int kForceShownRows = 8;

// 国名, 総兵力 and the fifteen kinds.
const std::array<ReportColumn, kForceColumns>& ForceTableColumns();
// The column (2..16) of a unit class's kind; -1 for a class outside 0..62.
int ForceKindColumn(int unitClass);

// One country's record: [0] its index, [1] the total strength, [2..16] the
// strength of each kind in column order.
using ForceRecord = std::array<int32_t, kForceColumns>;

class ForceTableModel {
public:
    // One row per present country, sorted ascending by column 0.
    explicit ForceTableModel(const GAMEDATASTRUCT& game);
    // The record of one country: every used unit adds its strength to the
    // total and to the kind of its type's class (a type outside the library
    // has no kind and counts in neither, so the total stays the kinds' sum).
    static ForceRecord Tally(const COUNTRYSTRUCT& country, int index);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const ForceRecord& Row(int row) const { return m_records[static_cast<size_t>(m_rows.at(static_cast<size_t>(row)))]; }
    std::string CellText(int row, int column) const;
    void ClickColumn(int column);
    // Key difference of the column, ties by country index, then negated
    // when descending.
    static int Compare(const ForceRecord& a, const ForceRecord& b, int column, bool descending);
    const ListSortState& SortState() const { return m_sort; }

private:
    void Sort();
    const GAMEDATASTRUCT& m_game;
    std::array<ForceRecord, kCountryCount> m_records{};
    std::vector<int> m_rows;  // indexes into m_records
    ListSortState m_sort;
};

// --- weapon table --------------------------------------------------------------------------

inline constexpr int kWeaponColumns = 6;
inline constexpr int kWeaponShownRows = 20;
// Availability word bit 29: the country has seen the type.
inline constexpr uint32_t kArmsSeen = 0x20000000u;

const std::array<ReportColumn, kWeaponColumns>& WeaponTableColumns();

class WeaponTableModel {
public:
    // The types 0 .. g_nMaxUnit - 1 that country has seen, sorted by type number.
    explicit WeaponTableModel(const COUNTRYSTRUCT& country);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int RowType(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    std::string CellText(int row, int column) const;
    // "兵器表 (%d)" with the number of rows.
    std::string Caption() const;
    void ClickColumn(int column);
    int Compare(int typeA, int typeB, int column, bool descending) const;
    int64_t SortKey(int type, int column) const;
    const ListSortState& SortState() const { return m_sort; }

    // What a right click on row opens: the bare type's performance window,
    // with army 0 when the type's nation number is 0, else -1.
    struct PerformanceRequest {
        int arms = -1;
        int country = -1;
    };
    PerformanceRequest RightClick(int row) const;

private:
    void Sort();
    const COUNTRYSTRUCT& m_country;
    std::vector<int> m_rows;
    ListSortState m_sort;
};

// --- terrain table -------------------------------------------------------------------------

inline constexpr int kTerrainColumns = 10;
// No move type chosen.
inline constexpr int kNoMoveType = -1;
// The cost key of an impassable terrain.
inline constexpr int kImpassableKey = 32767;

const std::array<ReportColumn, kTerrainColumns>& TerrainTableColumns();

// MsgTerrainProduct entry of a terrain's flag word: 1..4 by bits 30..27, else 0.
int TerrainProductEntry(uint32_t flags);
// MsgTerrainSupply entry of a three-bit supply field: 1 for 6, 2 for 2, 3 for 3, else 0.
int TerrainSupplyEntry(int field);

// The terrain table's layout in client pixels; v is the vertical scroll
// bar's width.
struct TerrainTableLayout {
    int clientWidth, clientHeight;
    int labelX, labelY, labelW, labelH;
    int comboX, comboY, comboW, comboH;
    int listX, listY, listW, listH;
};
TerrainTableLayout TerrainTableLayoutFor(int v);

class TerrainTableModel {
public:
    struct MoveTypeEntry {
        int moveType;
        std::string text;  // CP932
    };
    // The combo's entries: MsgMoveTypeJ 0..33, a run of equal texts giving
    // one entry for the run's first move type.
    static std::vector<MoveTypeEntry> MoveTypeEntries();

    // Terrains 0..90 shown in the table, then the roads; no move type.
    TerrainTableModel();

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int RowTerrain(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    std::string CellText(int row, int column) const;
    std::string TerrainText(int terrain, int column) const;
    int MoveType() const { return m_nMoveType; }
    // The combo chose a move type (kNoMoveType: none): the rows come again
    // in terrain order.
    void ChooseMoveType(int moveType);
    void ClickColumn(int column);
    // The sort parameter: column, bit 31 descending, move type (0x7FFF for
    // none) in bits 16-30.
    uint32_t SortParameter() const;
    int Compare(int terrainA, int terrainB, uint32_t parameter) const;
    // Key of column for a terrain (0..95) with a move type (kNoMoveType: the
    // cost columns have no key).
    static int64_t SortKey(int terrain, int column, int moveType);
    // The movement cost, 0 when impassable, -1 when unknown (no move type or
    // outside the tables).
    static int Cost(int terrain, int moveType, bool snow);
    const ListSortState& SortState() const { return m_sort; }

private:
    void FillRows();
    void Sort();
    std::vector<int> m_rows;
    int m_nMoveType = kNoMoveType;
    ListSortState m_sort;
};

}  // namespace zrv
