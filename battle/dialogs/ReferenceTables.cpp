#include "battle/dialogs/ReferenceTables.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

using platform::ColumnAlign;
using platform::FormatText;

constexpr int W(int chars)
{
    return chars * kListCharWidth;
}

}  // namespace

// --- force table ---------------------------------------------------------------------------

const std::array<ReportColumn, kForceColumns>& ForceTableColumns()
{
    static const std::array<ReportColumn, kForceColumns> columns{{
        {"国名", ColumnAlign::Left, W(26)},     {"総兵力", ColumnAlign::Right, W(8)},
        {"戦闘機", ColumnAlign::Right, W(8)},   {"攻撃機", ColumnAlign::Right, W(8)},
        {"輸送機", ColumnAlign::Right, W(8)},   {"爆撃機", ColumnAlign::Right, W(8)},
        {"哨戒機", ColumnAlign::Right, W(8)},   {"戦　車", ColumnAlign::Right, W(8)},
        {"自走砲", ColumnAlign::Right, W(8)},   {"対空砲", ColumnAlign::Right, W(8)},
        {"輸送車", ColumnAlign::Right, W(8)},   {"牽引砲", ColumnAlign::Right, W(8)},
        {"要　塞", ColumnAlign::Right, W(8)},   {"歩　兵", ColumnAlign::Right, W(8)},
        {"列　車", ColumnAlign::Right, W(8)},   {"艦　艇", ColumnAlign::Right, W(8)},
        {"潜水艦", ColumnAlign::Right, W(8)},
    }};
    return columns;
}

int ForceKindColumn(int unitClass)
{
    // Column of each class 0..62.
    static const std::array<int8_t, kClassCount> kKind = [] {
        std::array<int8_t, kClassCount> k{};
        auto set = [&k](std::initializer_list<int> classes, int column) {
            for (int c : classes) k[static_cast<size_t>(c)] = static_cast<int8_t>(column);
        };
        auto range = [&k](int from, int to, int column) {
            for (int c = from; c <= to; ++c) k[static_cast<size_t>(c)] = static_cast<int8_t>(column);
        };
        set({33, 34, 35, 43, 44, 47, 49}, 2);
        set({36, 37, 38, 45, 46, 48, 50}, 3);
        set({39, 41, 52}, 4);
        set({31, 40, 51, 54}, 5);
        set({42, 53}, 6);
        range(0, 14, 7);
        range(15, 17, 8);
        set({18, 19}, 9);
        set({20, 21, 26, 27}, 10);
        range(22, 25, 11);
        set({32}, 12);
        set({30}, 13);
        set({28, 29}, 14);
        range(55, 58, 15);
        range(60, 62, 15);
        set({59}, 16);
        return k;
    }();
    if (unitClass < 0 || unitClass >= kClassCount) return -1;
    return kKind[static_cast<size_t>(unitClass)];
}

ForceRecord ForceTableModel::Tally(const COUNTRYSTRUCT& country, int index)
{
    ForceRecord r{};
    r[0] = index;
    for (const UNITSTRUCT& u : country.Unit) {
        if ((u.dwFlag & kUnitInUse) == 0) continue;
        const ARMSSTRUCT* a = ArmsRecord(u.nArms);
        const int column = a != nullptr ? ForceKindColumn(a->nClass) : -1;
        if (column < 0) continue;
        r[1] += u.nStrength;
        r[static_cast<size_t>(column)] += u.nStrength;
    }
    return r;
}

ForceTableModel::ForceTableModel(const GAMEDATASTRUCT& game) : m_game(game), m_sort(kForceColumns, 0)
{
    for (int i = 0; i < kCountryCount; ++i) {
        const COUNTRYSTRUCT& c = game.Country[static_cast<size_t>(i)];
        if ((c.dwFlag & kCountryPresent) == 0) continue;
        m_records[static_cast<size_t>(i)] = Tally(c, i);
        m_rows.push_back(i);
    }
    Sort();
}

std::string ForceTableModel::CellText(int row, int column) const
{
    const ForceRecord& r = Row(row);
    if (column == 0) {
        const char* name = m_game.Country[static_cast<size_t>(r[0])].szName;
        return std::string(name, strnlen(name, sizeof(m_game.Country[0].szName)));
    }
    if (column < 0 || column >= kForceColumns) return {};
    return FormatText("%3d", {r[static_cast<size_t>(column)]});
}

int ForceTableModel::Compare(const ForceRecord& a, const ForceRecord& b, int column, bool descending)
{
    if (column < 0 || column >= kForceColumns) column = 0;
    int order = KeyOrder(a[static_cast<size_t>(column)], b[static_cast<size_t>(column)]);
    if (order == 0) order = KeyOrder(a[0], b[0]);
    return descending ? -order : order;
}

void ForceTableModel::Sort()
{
    const int column = m_sort.Column();
    const bool descending = m_sort.Descending();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](int a, int b) {
        return Compare(m_records[static_cast<size_t>(a)], m_records[static_cast<size_t>(b)], column, descending) < 0;
    });
}

void ForceTableModel::ClickColumn(int column)
{
    if (column < 0 || column >= kForceColumns) return;
    m_sort.Click(column);
    Sort();
}

// --- weapon table --------------------------------------------------------------------------

const std::array<ReportColumn, kWeaponColumns>& WeaponTableColumns()
{
    static const std::array<ReportColumn, kWeaponColumns> columns{{
        {"番号", ColumnAlign::Right, W(6)},
        {"兵器名", ColumnAlign::Left, W(26)},
        {"タイプ", ColumnAlign::Left, W(16)},
        {"生産国籍", ColumnAlign::Left, W(22)},
        {"費用", ColumnAlign::Right, W(8)},
        {"確認日付", ColumnAlign::Left, W(10)},
    }};
    return columns;
}

namespace {

int64_t FullCost(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a != nullptr ? static_cast<int64_t>(a->nStrengthMax) * a->nPrice : 0;
}

}  // namespace

WeaponTableModel::WeaponTableModel(const COUNTRYSTRUCT& country) : m_country(country), m_sort(kWeaponColumns, 0)
{
    const int last = std::min(Lib().g_nMaxUnit, kArmsCount);
    for (int t = 0; t < last; ++t)
        if (country.dwArmsAvail[static_cast<size_t>(t)] & kArmsSeen) m_rows.push_back(t);
    Sort();
}

std::string WeaponTableModel::CellText(int row, int column) const
{
    const int type = RowType(row);
    const ARMSSTRUCT* a = ArmsRecord(type);
    switch (column) {
    case 0:
        return FormatText("%4d", {type});
    case 1:
        return TableText(Lib().UnitNameJ, type);
    case 2:
        return a != nullptr ? TableText(Lib().MsgUnitTypeJ, a->nClass) : "";
    case 3:
        return a != nullptr ? TableText(Lib().NationNameJ, a->nNation) : "";
    case 4: {
        const int64_t cost = std::clamp<int64_t>(FullCost(type), std::numeric_limits<int>::min(),
                                                 std::numeric_limits<int>::max());
        std::string text;
        FormatAmount(text, static_cast<int>(cost), false, false);
        return text;
    }
    case 5: {
        const uint32_t w = m_country.dwArmsAvail[static_cast<size_t>(type)];
        return FormatText("%2d.%2d.%2d", {static_cast<int>((w >> 16) & 0xFF), static_cast<int>((w >> 8) & 0xFF),
                                          static_cast<int>(w & 0xFF)});
    }
    default:
        return {};
    }
}

std::string WeaponTableModel::Caption() const
{
    return FormatText("兵器表 (%d)", {RowCount()});
}

int64_t WeaponTableModel::SortKey(int type, int column) const
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    switch (column) {
    case 2:
        return a != nullptr ? a->nClass : -1;
    case 3:
        return a != nullptr ? a->nNation : -1;
    case 4:
        return FullCost(type);
    case 5:
        return m_country.dwArmsAvail[static_cast<size_t>(type)] & kDateMask;
    default:
        return type;
    }
}

int WeaponTableModel::Compare(int typeA, int typeB, int column, bool descending) const
{
    int order = column == 1 ? CompareIgnoringAsciiCase(TableText(Lib().UnitName, typeA), TableText(Lib().UnitName, typeB))
                            : KeyOrder(SortKey(typeA, column), SortKey(typeB, column));
    if (descending) order = -order;
    if (order == 0) order = KeyOrder(typeA, typeB);
    return order;
}

void WeaponTableModel::Sort()
{
    const int column = m_sort.Column();
    const bool descending = m_sort.Descending();
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [&](int a, int b) { return Compare(a, b, column, descending) < 0; });
}

void WeaponTableModel::ClickColumn(int column)
{
    if (column < 0 || column >= kWeaponColumns) return;
    m_sort.Click(column);
    Sort();
}

WeaponTableModel::PerformanceRequest WeaponTableModel::RightClick(int row) const
{
    if (row < 0 || row >= RowCount()) return {};
    const int type = RowType(row);
    const ARMSSTRUCT* a = ArmsRecord(type);
    if (a == nullptr) return {};
    return {type, a->nNation == 0 ? 0 : -1};
}

// --- terrain table -------------------------------------------------------------------------

namespace {

// TerrainBase flag byte 1 bit 7: the terrain is left out of the table.
constexpr uint32_t kTerrainNotListed = 0x00008000u;
// Flag word bit 26: work on roads is possible.
constexpr uint32_t kTerrainRoadWork = 0x04000000u;
constexpr uint32_t kTerrainProductMask = 0x78000000u;

const TRRNSTRUCT* RowRecord(int terrain)
{
    return terrain < kCostTerrainColumns ? TerrainRecord(terrain) : RoadRecord(terrain - kCostTerrainColumns);
}

// Bit position of the supply fields of columns 3..6.
constexpr int kSupplyShift[4] = {0, 4, 8, 16};

}  // namespace

const std::array<ReportColumn, kTerrainColumns>& TerrainTableColumns()
{
    static const std::array<ReportColumn, kTerrainColumns> columns{{
        {"地形名", ColumnAlign::Left, W(22)},
        {"地形効果", ColumnAlign::Right, W(10)},
        {"生産", ColumnAlign::Center, W(6)},
        {"航空", ColumnAlign::Center, W(6)},
        {"地上", ColumnAlign::Center, W(6)},
        {"艦艇", ColumnAlign::Center, W(6)},
        {"車艇", ColumnAlign::Center, W(6)},
        {"道路", ColumnAlign::Center, W(6)},
        {"通常", ColumnAlign::Right, W(6)},
        {"積雪", ColumnAlign::Right, W(6)},
    }};
    return columns;
}

int TerrainProductEntry(uint32_t flags)
{
    if (flags & 0x40000000u) return 1;
    if (flags & 0x20000000u) return 2;
    if (flags & 0x10000000u) return 3;
    if (flags & 0x08000000u) return 4;
    return 0;
}

int TerrainSupplyEntry(int field)
{
    switch (field) {
    case 6:
        return 1;
    case 2:
        return 2;
    case 3:
        return 3;
    default:
        return 0;
    }
}

TerrainTableLayout TerrainTableLayoutFor(int v)
{
    return {494 + v, 296, 286 + v, 9, 74, 14, 364 + v, 5, 125, 15, 5, 31, 484 + v, 260};
}

std::vector<TerrainTableModel::MoveTypeEntry> TerrainTableModel::MoveTypeEntries()
{
    std::vector<MoveTypeEntry> entries;
    for (int m = 0; m < kMoveTypes; ++m) {
        std::string text = TableText(Lib().MsgMoveTypeJ, m);
        if (!entries.empty() && entries.back().text == text) continue;
        entries.push_back({m, std::move(text)});
    }
    return entries;
}

TerrainTableModel::TerrainTableModel() : m_sort(kTerrainColumns, 0)
{
    FillRows();
}

void TerrainTableModel::FillRows()
{
    m_rows.clear();
    for (int t = 0; t < kCostTerrainColumns; ++t) {
        const TRRNSTRUCT* r = TerrainRecord(t);
        if (r != nullptr && (r->dwTrrnFlag & kTerrainNotListed) == 0) m_rows.push_back(t);
    }
    for (int k = 0; k < kRouteKinds; ++k) m_rows.push_back(kCostTerrainColumns + k);
}

int TerrainTableModel::Cost(int terrain, int moveType, bool snow)
{
    const auto& table = snow ? Lib().TerrainCostTableSnow : Lib().TerrainCostTable;
    if (moveType < 0 || moveType >= kMoveTypes || static_cast<size_t>(moveType) >= table.size()) return -1;
    if (terrain < 0 || terrain >= kCostColumns) return -1;
    return table[static_cast<size_t>(moveType)][static_cast<size_t>(terrain)];
}

std::string TerrainTableModel::TerrainText(int terrain, int column) const
{
    const TRRNSTRUCT* r = RowRecord(terrain);
    const bool road = terrain >= kCostTerrainColumns;
    switch (column) {
    case 0:
        return road ? TableText(Lib().RoadName, terrain - kCostTerrainColumns) : TableText(Lib().TerrainName, terrain);
    case 1:
        if (road) return "-";
        return r != nullptr ? FormatText("%3d", {r->nCover}) : "";
    case 2:
        return r != nullptr ? TableText(Lib().MsgTerrainProduct, TerrainProductEntry(r->dwTrrnFlag)) : "";
    case 3:
    case 4:
    case 5:
    case 6:
        if (r == nullptr) return {};
        return TableText(Lib().MsgTerrainSupply,
                         TerrainSupplyEntry(static_cast<int>((r->dwBaseField >> kSupplyShift[column - 3]) & 7)));
    case 7:
        return r != nullptr ? TableText(Lib().MsgTerrainWork, (r->dwTrrnFlag & kTerrainRoadWork) ? 0 : 1) : "";
    case 8:
    case 9: {
        const int cost = Cost(terrain, m_nMoveType, column == 9);
        return cost > 0 ? FormatText("%2d", {cost}) : "-";
    }
    default:
        return {};
    }
}

std::string TerrainTableModel::CellText(int row, int column) const
{
    return TerrainText(RowTerrain(row), column);
}

int64_t TerrainTableModel::SortKey(int terrain, int column, int moveType)
{
    const TRRNSTRUCT* r = RowRecord(terrain);
    switch (column) {
    case 0:
        return terrain;
    case 1:
        return r != nullptr ? r->nCover : 0;
    case 2:
        return r != nullptr ? (r->dwTrrnFlag & kTerrainProductMask) : 0;
    case 3:
    case 4:
    case 5:
    case 6:
        return r != nullptr ? ((r->dwBaseField >> kSupplyShift[column - 3]) & 7) : 0;
    case 7:
        return r != nullptr ? (r->dwTrrnFlag & kTerrainRoadWork) != 0 : 0;
    case 8:
    case 9: {
        if (moveType == kNoMoveType) return 0;
        const int cost = Cost(terrain, moveType, column == 9);
        return cost > 0 ? cost : kImpassableKey;
    }
    default:
        return 0;
    }
}

uint32_t TerrainTableModel::SortParameter() const
{
    const uint32_t move = m_nMoveType == kNoMoveType ? 0x7FFFu : static_cast<uint32_t>(m_nMoveType) & 0x7FFFu;
    return static_cast<uint32_t>(m_sort.Column()) | (move << 16) | (m_sort.Descending() ? 0x80000000u : 0u);
}

int TerrainTableModel::Compare(int terrainA, int terrainB, uint32_t parameter) const
{
    const int column = static_cast<int>(parameter & 0xFFFFu);
    const int move = static_cast<int>((parameter >> 16) & 0x7FFFu);
    const int moveType = move == 0x7FFF ? kNoMoveType : move;
    int order = KeyOrder(SortKey(terrainA, column, moveType), SortKey(terrainB, column, moveType));
    if (parameter & 0x80000000u) order = -order;
    // Every terrain, 0 included, falls back to its number.
    if (order == 0) order = KeyOrder(terrainA, terrainB);
    return order;
}

void TerrainTableModel::Sort()
{
    const uint32_t parameter = SortParameter();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](int a, int b) { return Compare(a, b, parameter) < 0; });
}

void TerrainTableModel::ClickColumn(int column)
{
    if (column < 0 || column >= kTerrainColumns) return;
    m_sort.Click(column);
    Sort();
}

void TerrainTableModel::ChooseMoveType(int moveType)
{
    m_nMoveType = (moveType >= 0 && moveType < kMoveTypes) ? moveType : kNoMoveType;
    FillRows();
}

}  // namespace zrv
