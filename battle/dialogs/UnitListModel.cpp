#include "battle/dialogs/UnitListModel.h"

#include <algorithm>

#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

using platform::ColumnAlign;
using platform::FormatText;

// Unit flag bit 19 has an icon of its own.
constexpr uint32_t kUnitIconBit19 = 0x00080000u;
// Country flag bit 22: a click on a row only finds the unit.
constexpr uint32_t kCountryListFindOnly = 0x00400000u;
// Type flag bit 1: strength counted in pieces.
constexpr uint32_t kArmsPieces = 0x00000002u;
// Sort key of X and Y for a unit off the map.
constexpr int64_t kOffMapKey = 129;

enum Icon : int { kIconPool = 9, kIconCarried = 10, kIconActed = 11, kIconBit19 = 12 };

int ClassOf(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a != nullptr ? a->nClass : -1;
}

int TypeNumber(const UNITSTRUCT& unit)
{
    return unit.nArms & 0xFFFF;
}

bool CanStillAct(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) != 0 && (u.dwFlag & (kUnitCarried | kUnitActed)) == 0;
}

}  // namespace

const std::array<ReportColumn, kUnitListColumns>& UnitListColumns()
{
    static const std::array<ReportColumn, kUnitListColumns> columns{{
        {"番号", ColumnAlign::Right, 4 * kListCharWidth + kUnitListIconWidth},
        {"ﾀｲﾌﾟ", ColumnAlign::Left, 6 * kListCharWidth},
        {"Lv", ColumnAlign::Center, 4 * kListCharWidth},
        {"ユニット名", ColumnAlign::Left, 26 * kListCharWidth},
        {"機数", ColumnAlign::Right, 6 * kListCharWidth},
        {"燃料", ColumnAlign::Right, 6 * kListCharWidth},
        {"状態", ColumnAlign::Center, 6 * kListCharWidth},
        {" X", ColumnAlign::Right, 4 * kListCharWidth},
        {" Y", ColumnAlign::Right, 4 * kListCharWidth},
        {"輸送", ColumnAlign::Left, 17 * kListCharWidth},
    }};
    return columns;
}

int StateIconOf(int levels, uint32_t flags)
{
    int fuel = (levels >> 16) & 0xFFFF;
    const int strength = levels & 0xFFFF;
    if (fuel == 3) fuel = 0;
    int icon = fuel + 3 * strength;
    if (icon < 0 || icon > 8) icon = 0;
    if (flags & kUnitActed) icon = kIconActed;
    if (flags & kUnitCarried) icon = kIconCarried;
    if (flags & kUnitInPool) icon = kIconPool;
    if (flags & kUnitIconBit19) icon = kIconBit19;
    return icon;
}

int UnitStateIcon(const UNITSTRUCT& unit)
{
    return StateIconOf(GetUnitConditionLevels(unit), unit.dwFlag);
}

int64_t TransportKey(const UNITSTRUCT& unit)
{
    if (unit.dwCargo == MakeCargo(kNoCarrier, 0)) return 0;
    return static_cast<int64_t>(CargoCarrier(unit.dwCargo)) + static_cast<int64_t>(CargoCount(unit.dwCargo)) * 65536 + 1;
}

UnitListModel::UnitListModel(GAMEDATASTRUCT& game, ToolWindowHost& host, bool campaign)
    : m_game(game), m_host(host), m_bCampaign(campaign), m_sort(kUnitListColumns, 1)
{
}

bool UnitListModel::ShowsPool() const
{
    return m_bCampaign && m_pCountry != nullptr && m_pCountry->nIndex == 0 &&
           (m_pCountry->dwFlag & kCountryHideReserve) == 0;
}

void UnitListModel::Fill()
{
    m_rows.clear();
    m_pCountry = m_host.ListCountry();
    if (m_pCountry == nullptr) return;
    for (UNITSTRUCT& u : m_pCountry->Unit)
        if (u.dwFlag & kUnitInUse) m_rows.push_back(&u);
    if (ShowsPool())
        for (UNITSTRUCT& u : m_game.CarryUnit)
            if (u.dwFlag & kUnitInUse) m_rows.push_back(&u);
    m_sort = ListSortState(kUnitListColumns, 1);
    Sort();
}

UNITSTRUCT* UnitListModel::RowUnit(int row) const
{
    return row >= 0 && row < RowCount() ? m_rows[static_cast<size_t>(row)] : nullptr;
}

int UnitListModel::FindRow(const UNITSTRUCT& unit) const
{
    auto it = std::find(m_rows.begin(), m_rows.end(), &unit);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

bool UnitListModel::OnMap(const UNITSTRUCT& unit) const
{
    // A pool record's hex is a leftover of its last battle.
    return unit.nHex >= 0 && (unit.dwFlag & kUnitInPool) == 0 && m_host.IsUnitInMapArea(unit);
}

std::string UnitListModel::TransportText(const UNITSTRUCT& unit) const
{
    std::string text;
    if (unit.dwCargo == MakeCargo(kNoCarrier, 0) || m_pCountry == nullptr) return text;
    if (unit.dwFlag & kUnitCarried) {
        const int slot = CargoCarrier(unit.dwCargo);
        if (slot >= 0 && slot < kUnitSlots)
            text += FormatText("%d ", {m_pCountry->Unit[static_cast<size_t>(slot)].nSerial});
    }
    if (unit.dwFlag & kUnitCarries) {
        const int own = RefSlot(unit.refSelf);
        for (const UNITSTRUCT& c : m_pCountry->Unit) {
            if ((c.dwFlag & kUnitInUse) == 0 || (c.dwFlag & kUnitCarried) == 0 || CargoCarrier(c.dwCargo) != own)
                continue;
            text += TableText(Lib().MsgUnitType, ClassOf(c));
            text += ' ';
        }
        // The blank after the last word goes; a carrier with no cargo found
        // keeps what it has.
        if (!text.empty() && text.back() == ' ') text.pop_back();
    }
    return text;
}

std::string UnitListModel::UnitText(const UNITSTRUCT& unit, int column) const
{
    const ARMSSTRUCT* arms = UnitArms(unit);
    switch (column) {
    case 0:
        return FormatText("%3d", {unit.nSerial & 0xFFFF});
    case 1:
        return TableText(Lib().MsgUnitType, ClassOf(unit));
    case 2:
        return TableText(Lib().MsgLevel, unit.nExp >= 0 ? unit.nExp / 50 : -1);
    case 3:
        return TableText(Lib().UnitNameJ, unit.nArms);
    case 4:
        return FormatText("%2d%c", {unit.nStrength, (arms != nullptr && (arms->dwArmsFlag & kArmsPieces)) ? 'P' : 'c'});
    case 5:
        return FormatText("%3d", {static_cast<int>(GetUnitFuelTotal(unit) & 0xFFFFu) + unit.nBattery});
    case 6:
        return TableText(Lib().MsgStatus, GetUnitListState(unit));
    case 7:
        if (!OnMap(unit)) return {};
        return FormatText("%2d", {HexColumn(unit.nHex) - m_game.rcMapArea.left + 1});
    case 8:
        if (!OnMap(unit)) return {};
        return FormatText("%2d", {HexRow(unit.nHex) - m_game.rcMapArea.top + 1});
    case 9:
        return TransportText(unit);
    default:
        return {};
    }
}

std::string UnitListModel::CellText(int row, int column) const
{
    const UNITSTRUCT* u = RowUnit(row);
    return u != nullptr ? UnitText(*u, column) : std::string();
}

int UnitListModel::RowIcon(int row) const
{
    const UNITSTRUCT* u = RowUnit(row);
    return u != nullptr ? UnitStateIcon(*u) : -1;
}

int64_t UnitListModel::SortKey(const UNITSTRUCT& unit, int column) const
{
    const bool offMap = unit.nHex < 0 || (unit.dwFlag & kUnitInPool) != 0;
    switch (column) {
    case 0:
        return unit.nSerial & 0xFFFF;
    case 1:
        return ClassOf(unit);
    case 2:
        return unit.nExp;
    case 4:
        return unit.nStrength;
    case 5:
        return unit.nFuel;
    case 6:
        return GetUnitListState(unit);
    case 7:
        return offMap ? kOffMapKey : HexColumn(unit.nHex);
    case 8:
        return offMap ? kOffMapKey : HexRow(unit.nHex);
    case 9:
        return TransportKey(unit);
    default:
        return 0;
    }
}

int UnitListModel::Compare(const UNITSTRUCT& a, const UNITSTRUCT& b, int column, bool descending) const
{
    int order = column == 3 ? CompareIgnoringAsciiCase(TableText(Lib().UnitNameJ, a.nArms),
                                                       TableText(Lib().UnitNameJ, b.nArms))
                            : KeyOrder(SortKey(a, column), SortKey(b, column));
    if (descending) order = -order;
    if (order == 0) order = KeyOrder(ClassOf(a), ClassOf(b));
    if (order == 0) order = KeyOrder(TypeNumber(a), TypeNumber(b));
    return order;
}

void UnitListModel::Sort()
{
    const int column = m_sort.Column();
    const bool descending = m_sort.Descending();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const UNITSTRUCT* a, const UNITSTRUCT* b) {
        return Compare(*a, *b, column, descending) < 0;
    });
}

void UnitListModel::ClickColumn(int column)
{
    if (column < 0 || column >= kUnitListColumns) return;
    m_sort.Click(column);
    Sort();
}

template <class F>
void UnitListModel::WalkCargo(std::span<UNITSTRUCT> units, const UNITSTRUCT& carrier, std::vector<bool>& seen,
                              bool carriersOnly, F&& f)
{
    if (carriersOnly && (carrier.dwFlag & kUnitCarries) == 0) return;
    const int own = RefSlot(carrier.refSelf);
    for (size_t i = 0; i < units.size(); ++i) {
        UNITSTRUCT& u = units[i];
        if (seen[i] || (u.dwFlag & kUnitInUse) == 0 || (u.dwFlag & kUnitCarried) == 0 ||
            CargoCarrier(u.dwCargo) != own)
            continue;
        seen[i] = true;
        f(u);
        WalkCargo(units, u, seen, carriersOnly, f);
    }
}

namespace {

// Marks the unit's own record as seen, so that a chain looping back to it ends.
std::vector<bool> SeenFrom(std::span<UNITSTRUCT> units, const UNITSTRUCT& unit)
{
    std::vector<bool> seen(units.size(), false);
    if (!units.empty() && &unit >= units.data() && &unit < units.data() + units.size())
        seen[static_cast<size_t>(&unit - units.data())] = true;
    return seen;
}

}  // namespace

void UnitListModel::AppendRows(UNITSTRUCT& unit, bool withCargo)
{
    auto add = [this](UNITSTRUCT& u) {
        if (FindRow(u) < 0) m_rows.push_back(&u);
    };
    add(unit);
    if (withCargo) {
        std::span<UNITSTRUCT> units = UnitArrayOf(m_game, unit);
        std::vector<bool> seen = SeenFrom(units, unit);
        WalkCargo(units, unit, seen, false, add);
    }
    Sort();
}

bool UnitListModel::RemoveRows(UNITSTRUCT& unit, bool withCargo)
{
    const int row = FindRow(unit);
    if (row < 0) return false;
    m_rows.erase(m_rows.begin() + row);
    if (withCargo) {
        std::span<UNITSTRUCT> units = UnitArrayOf(m_game, unit);
        std::vector<bool> seen = SeenFrom(units, unit);
        WalkCargo(units, unit, seen, true, [this](UNITSTRUCT& u) {
            const int r = FindRow(u);
            if (r >= 0) m_rows.erase(m_rows.begin() + r);
        });
    }
    return true;
}

std::string UnitListModel::Caption() const
{
    int canAct = 0, notPool = 0, pool = 0;
    for (const UNITSTRUCT* u : m_rows) {
        if (CanStillAct(*u)) ++canAct;
        if (u->dwFlag & kUnitInPool)
            ++pool;
        else
            ++notPool;
    }
    if (ShowsPool()) return FormatText("部隊表 (%d/%d/%d)", {canAct, notPool, pool});
    return FormatText("部隊表 (%d/%d)", {canAct, notPool});
}

void UnitListModel::ClickRow(int row)
{
    UNITSTRUCT* unit = RowUnit(row);
    if (unit == nullptr) return;
    const int state = GetUnitListState(*unit);
    bool dispose = state == 4;
    if (state >= 0 && state <= 3) {
        const HEXINDEX hex = m_host.CentreOnUnit(*unit);
        m_host.ShowStatusOf(hex, unit);
        if (hex >= 0 && m_host.FlashUnitHex(hex)) return;
        if (state >= 2) return;
        if (!m_host.IsUnitInMapArea(*unit)) {
            dispose = true;
        } else {
            if (m_pCountry != nullptr && (m_pCountry->dwFlag & kCountryListFindOnly)) return;
            m_host.PointAndClickHex(hex, *unit);
            return;
        }
    }
    if (!dispose) return;
    if (m_host.IsDeploymentOpen()) {
        Dialogs().MessageBox("配置ウィンドウを一旦閉じてください", kBoxOk | kBoxIconExclamation);
        return;
    }
    if (Dialogs().MessageBox("処分してもよろしいですか？", kBoxOkCancel | kBoxIconQuestion) == kAnswerOk)
        m_host.DisposeUnit(*unit);
}

void UnitListModel::RightClickRow(int row)
{
    if (UNITSTRUCT* unit = RowUnit(row)) m_host.OpenPerformanceWindow(unit, unit->nArms, 0, true);
}

std::array<int, kUnitListColumns> UnitListModel::DefaultWidths()
{
    std::array<int, kUnitListColumns> w{};
    for (size_t i = 0; i < w.size(); ++i) w[i] = UnitListColumns()[i].width;
    return w;
}

ClientSize UnitListModel::OpeningSize(const RowRect* firstRow, const ListMetrics& metrics) const
{
    return ListOpeningSize(firstRow != nullptr ? *firstRow : kUnitListEmptyRow, kUnitListShownRows, RowCount(),
                           metrics);
}

}  // namespace zrv
