#include "battle/dialogs/PlacementPages.h"

#include <algorithm>
#include <cstdio>

#include "battle/engine/CountryOps.h"
#include "battle/engine/GameFlow.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

// The type's flag bit 1: its strength counts pieces.
constexpr uint32_t kArmsPieceCounted = 0x2u;
// Placement rings round the capital.
constexpr int kRings = 5;

std::string Printf(const char* format, int value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

int ClassOf(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a != nullptr ? a->nClass : -1;
}

const char* ClassWord(int type)
{
    return TableText(Lib().MsgUnitType, ClassOf(type));
}

int Sign(int v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

}  // namespace

int EngineKindOfPage(int pageKind)
{
    switch (pageKind) {
    case kPageAir: return 3;
    case kPageGround: return 2;
    case kPageNaval: return 1;
    default: return 0;
    }
}

int PageKindOfType(int type)
{
    if (ArmsRecord(type) == nullptr) return 0;
    if (IsNavalArmsClass(type)) return kPageNaval;
    if (IsGroundArmsClass(type)) return kPageGround;
    if (IsAirArmsClass(type)) return kPageAir;
    return 0;
}

const char* PageTitle(int pageKind)
{
    switch (pageKind) {
    case kPageAir: return "航空";
    case kPageGround: return "地上";
    case kPageNaval: return "艦艇";
    default: return "";
    }
}

std::array<HEXINDEX, 92> ListHexesInRings(const COUNTRYSTRUCT& country)
{
    std::array<HEXINDEX, 92> ring;
    ring.fill(-1);
    if (IsMapHex(country.nCapital)) GetHexesInRange(country.nCapital, kRings, ring);
    return ring;
}

int CompareNamesNoCase(const char* a, const char* b)
{
    if (a == nullptr) a = "";
    if (b == nullptr) b = "";
    bool trailA = false, trailB = false;
    for (size_t i = 0;; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        const bool foldX = !trailA, foldY = !trailB;
        trailA = !trailA && platform::IsSjisLead(x);
        trailB = !trailB && platform::IsSjisLead(y);
        if (foldX && x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (foldY && y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

// --- the shared page ----------------------------------------------------------------------------

PlacementPageModel::PlacementPageModel(CZRKGameDoc& doc, PlacementView& view, int kind)
    : m_doc(doc), m_view(view), m_nKind(kind), m_pCountry(doc.m_pCurCountry)
{
}

void PlacementPageModel::Init(std::span<const HEXINDEX> ring)
{
    m_bInitialised = true;
    m_rows.clear();
    m_hexes.clear();
    m_nSelected = -1;
    FillRows(ring);
    Sort(m_nSortColumn, false);
    SelectRow(m_rows.empty() ? -1 : 0);
    UpdateTexts();
    m_view.SetCommandMode(PlacementMode());
    MarkCandidateHexes();
}

int PlacementPageModel::FindRow(int key) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].key == key) return static_cast<int>(i);
    return -1;
}

bool PlacementPageModel::IsCandidateHex(HEXINDEX hex) const
{
    return std::find(m_hexes.begin(), m_hexes.end(), hex) != m_hexes.end();
}

void PlacementPageModel::MarkCandidateHexes()
{
    m_view.ClearHexMarks(false);
    for (HEXINDEX hex : m_hexes)
        if (!m_view.HexShowsUnit(hex)) m_view.SetPlacementMark(hex, m_view.PlacementMark(hex) | 1u);
    m_view.RedrawMap(false);
}

void PlacementPageModel::UpdateTexts()
{
    m_texts.remaining = Printf("%3d", Remaining());
    UpdateOwnTexts();
}

void PlacementPageModel::ColumnClick(int column)
{
    if (column < 0 || column >= ColumnCount()) return;
    m_nSortColumn = column;
    const size_t c = static_cast<size_t>(column);
    Sort(column, m_bSortDescending[c]);
    m_bSortDescending[c] = !m_bSortDescending[c];
}

void PlacementPageModel::OtherCommand()
{
    if (OtherCommandCode() == 0) m_view.PostViewCommand(OtherCommandId());
}

void PlacementPageModel::Sort(int column, bool descending)
{
    m_bLastDescending = descending;
    const int selectedKey = m_nSelected >= 0 ? m_rows[static_cast<size_t>(m_nSelected)].key : -1;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const PlacementRow& a, const PlacementRow& b) {
        int r = CompareKeys(a.key, b.key, column);
        if (descending) r = -r;
        if (r == 0) r = CompareTies(a.key, b.key);
        return r < 0;
    });
    // The selection stays with its row.
    m_nSelected = selectedKey >= 0 ? FindRow(selectedKey) : -1;
}

int PlacementPageModel::FreeIcon() const
{
    if (Remaining() <= 0) return kIconNoRoom;
    for (HEXINDEX hex : m_hexes)
        if (!m_view.HexShowsUnit(hex)) return kIconReady;
    return kIconNoRoom;
}

void PlacementPageModel::Arm(int index)
{
    m_view.SetPlaceIndex(index);
    m_view.SetPlaceArmed(true);
}

void PlacementPageModel::AppendRow(int key, int icon)
{
    m_rows.push_back({key, icon});
}

void PlacementPageModel::DeleteRow(int row)
{
    m_rows.erase(m_rows.begin() + row);
    if (m_nSelected == row)
        m_nSelected = -1;
    else if (m_nSelected > row)
        --m_nSelected;
}

// --- production ---------------------------------------------------------------------------------

ProductPageModel::ProductPageModel(CZRKGameDoc& doc, PlacementView& view, int kind)
    : PlacementPageModel(doc, view, kind)
{
    m_nSortColumn = 2;
}

bool ProductPageModel::FillRows(std::span<const HEXINDEX> ring)
{
    std::array<int32_t, kClassCount + 1> types;
    std::array<HEXINDEX, 92> hexes;
    m_doc.CheckProductionKind(EngineKindOfPage(m_nKind), ring, types, hexes);
    for (HEXINDEX h : hexes) {
        if (h < 0) break;
        m_hexes.push_back(h);
    }
    m_nShown = types[0] > 0 ? types[0] : -1;
    for (int32_t t : types) {
        if (t <= 0) break;
        AppendRow(t, PriceIcon(t, kIconReady));
    }
    return true;
}

int ProductPageModel::PriceIcon(int type, int fallback) const
{
    const int funds = m_pCountry != nullptr ? m_pCountry->nFund : 0;
    return GetArmsUnitPrice(type) > funds ? kIconNoFunds : fallback;
}

std::vector<std::string> ProductPageModel::RowTexts(int row) const
{
    const int type = Row(row).key;
    std::string price;
    FormatAmount(price, GetArmsUnitPrice(type), true, false);
    return {TableText(Lib().UnitNameJ, type), price, ClassWord(type)};
}

PlacementCardLayout ProductPageModel::Card() const
{
    return LayoutProductCard(m_nShown, m_pCountry != nullptr ? m_pCountry->nDisplay : 0);
}

int ProductPageModel::Remaining() const
{
    if (m_pCountry == nullptr) return 0;
    int n = m_pCountry->nUnitMax - m_pCountry->nUnit;
    if ((m_doc.m_dwGameOption & kOptionCampaign) != 0 && m_pCountry->nIndex == 0) {
        int pool = 0;
        for (const UNITSTRUCT& u : m_doc.m_GameData.CarryUnit) pool += (u.dwFlag & kUnitInUse) ? 1 : 0;
        n = std::min(n, kUnitPoolLimit - (m_pCountry->nUnit + pool));
    }
    return std::max(0, n);
}

void ProductPageModel::UpdateOwnTexts()
{
    FormatAmount(m_texts.funds, m_pCountry != nullptr ? m_pCountry->nFund : 0, false, true);
    m_texts.performance = m_texts.evolution = m_nShown > 0;
}

void ProductPageModel::RefreshRowIcons()
{
    const int fallback = FreeIcon();
    for (PlacementRow& r : m_rows) r.icon = PriceIcon(r.key, fallback);
    m_view.SetPlaceArmed(false);
    if (m_nSelected >= 0 && m_rows[static_cast<size_t>(m_nSelected)].icon == kIconReady)
        Arm(m_rows[static_cast<size_t>(m_nSelected)].key);
    m_texts.other = m_view.CheckDeployCommand() == 0;
}

void ProductPageModel::Select(int row)
{
    m_nSelected = row >= 0 && row < RowCount() ? row : -1;
    m_view.SetPlaceArmed(false);
    const int type = m_nSelected >= 0 ? m_rows[static_cast<size_t>(m_nSelected)].key : -1;
    if (type == m_nShown) return;
    m_nShown = type;
    if (m_nSelected >= 0 && PriceIcon(type, kIconReady) == kIconReady) Arm(type);
}

void ProductPageModel::OpenPerformance()
{
    if (m_nShown > 0) m_view.OpenPerformanceWindow(nullptr, m_nShown, 0, true);
}

void ProductPageModel::OpenEvolutionTable()
{
    if (m_nShown > 0) m_view.ShowEvolutionTable(m_nShown, nullptr, m_pCountry != nullptr ? m_pCountry->nIndex : -1);
}

int ProductPageModel::CompareKeys(int a, int b, int column) const
{
    switch (column) {
    case 0: return CompareNamesNoCase(TableText(Lib().UnitNameJ, a), TableText(Lib().UnitNameJ, b));
    case 1: return Sign(GetArmsUnitPrice(a) - GetArmsUnitPrice(b));
    case 2: return Sign(ClassOf(a) - ClassOf(b));
    default: return 0;
    }
}

int ProductPageModel::CompareTies(int a, int b) const
{
    return Sign(ClassOf(a) - ClassOf(b));
}

int ProductPageModel::RemoveType(int retired)
{
    // The retired type goes whatever is selected: left in the list it could
    // still be chosen and produced.
    const int row = FindRow(retired);
    if (row < 0) return 0;
    const bool wasSelected = row == m_nSelected;
    const int before = RowCount();
    DeleteRow(row);
    if (wasSelected) {
        if (before > 1) {
            Select(0);
        } else {
            // Nothing left to show or place.
            Select(-1);
        }
    }
    return 1;
}

void ProductPageModel::AddType(int type)
{
    if (type <= 0 || ArmsRecord(type) == nullptr || FindRow(type) >= 0) return;
    AppendRow(type, PriceIcon(type, kIconReady));
    Select(RowCount() - 1);
    Sort(m_nSortColumn, m_bLastDescending);
}

// --- deployment ---------------------------------------------------------------------------------

SetupPageModel::SetupPageModel(CZRKGameDoc& doc, PlacementView& view, int kind) : PlacementPageModel(doc, view, kind)
{
    m_nSortColumn = 4;
}

UNITSTRUCT* SetupPageModel::PoolUnit(int index) const
{
    if (index < 0 || index >= kCarryUnitCount) return nullptr;
    return &m_doc.m_GameData.CarryUnit[index];
}

bool SetupPageModel::FillRows(std::span<const HEXINDEX> ring)
{
    // Every record of the pool may be of this kind: room for all of them
    // and the end mark.
    std::vector<int32_t> units(kCarryUnitCount + 1, -1);
    std::array<HEXINDEX, 92> hexes;
    m_doc.CheckDeploymentKind(EngineKindOfPage(m_nKind), ring, units, hexes);
    for (HEXINDEX h : hexes) {
        if (h < 0) break;
        m_hexes.push_back(h);
    }
    m_pool.clear();
    for (int32_t i : units) {
        if (i < 0) break;
        m_pool.push_back(i);
        AppendRow(i, kIconReady);
    }
    m_nShown = m_pool.empty() ? -1 : m_pool.front();
    return true;
}

std::vector<std::string> SetupPageModel::RowTexts(int row) const
{
    const UNITSTRUCT* u = PoolUnit(Row(row).key);
    if (u == nullptr) return {"", "", "", "", ""};
    const ARMSSTRUCT* a = ArmsRecord(u->nArms);
    const char piece = a != nullptr && (a->dwArmsFlag & kArmsPieceCounted) != 0 ? 'P' : 'c';
    char strength[32];
    std::snprintf(strength, sizeof strength, "%2d%c", u->nStrength, piece);
    return {Printf("%3d", static_cast<uint16_t>(u->nSerial)), TableText(Lib().UnitNameJ, u->nArms),
            TableText(Lib().MsgLevel, u->nExp / 50), strength, ClassWord(u->nArms)};
}

PlacementCardLayout SetupPageModel::Card() const
{
    return LayoutSetupCard(PoolUnit(m_nShown), m_pCountry != nullptr ? m_pCountry->nDisplay : 0);
}

int SetupPageModel::Remaining() const
{
    return m_pCountry != nullptr ? std::max(0, m_pCountry->nUnitMax - m_pCountry->nUnit) : 0;
}

void SetupPageModel::UpdateOwnTexts()
{
    const UNITSTRUCT* u = PoolUnit(m_nShown);
    m_texts.performance = u != nullptr;
    const int cls = u != nullptr ? ClassOf(u->nArms) : -1;
    m_texts.evolution = m_pCountry != nullptr && cls >= 0 && cls < kClassCount &&
                        GetEmptyClassListCode(m_pCountry->dwClassList[cls]) == 0;
}

void SetupPageModel::RefreshRowIcons()
{
    const int icon = FreeIcon();
    for (PlacementRow& r : m_rows) r.icon = icon;
    m_view.SetPlaceArmed(false);
    if (m_nSelected >= 0 && m_rows[static_cast<size_t>(m_nSelected)].icon == kIconReady)
        Arm(m_rows[static_cast<size_t>(m_nSelected)].key);
    m_texts.other = m_view.CheckProduceCommand() == 0;
}

void SetupPageModel::Select(int row)
{
    m_nSelected = row >= 0 && row < RowCount() ? row : -1;
    m_view.SetPlaceArmed(false);
    const int index = m_nSelected >= 0 ? m_rows[static_cast<size_t>(m_nSelected)].key : -1;
    if (index == m_nShown) return;
    m_nShown = index;
    // The view's click tests the mark and the room.
    if (m_nSelected >= 0) Arm(index);
}

void SetupPageModel::OpenPerformance()
{
    if (UNITSTRUCT* u = PoolUnit(m_nShown)) m_view.OpenPerformanceWindow(u, u->nArms, 0, true);
}

void SetupPageModel::OpenEvolutionTable()
{
    if (UNITSTRUCT* u = PoolUnit(m_nShown))
        m_view.ShowEvolutionTable(u->nArms, u, m_pCountry != nullptr ? m_pCountry->nIndex : -1);
}

int SetupPageModel::CompareKeys(int a, int b, int column) const
{
    const UNITSTRUCT* x = PoolUnit(a);
    const UNITSTRUCT* y = PoolUnit(b);
    if (x == nullptr || y == nullptr) return 0;
    switch (column) {
    case 0: return Sign(static_cast<uint16_t>(x->nSerial) - static_cast<uint16_t>(y->nSerial));
    case 1: return CompareNamesNoCase(TableText(Lib().UnitNameJ, x->nArms), TableText(Lib().UnitNameJ, y->nArms));
    case 2: return Sign(x->nExp - y->nExp);
    case 3: return Sign(x->nStrength - y->nStrength);
    case 4: return Sign(ClassOf(x->nArms) - ClassOf(y->nArms));
    default: return 0;
    }
}

int SetupPageModel::CompareTies(int a, int b) const
{
    const int byClass = CompareKeys(a, b, 4);
    return byClass != 0 ? byClass : CompareKeys(a, b, 0);
}

void SetupPageModel::RemoveSelectedRow()
{
    if (m_nSelected < 0) return;
    const int row = m_nSelected;
    const int rows = RowCount();
    const int index = m_rows[static_cast<size_t>(row)].key;
    DeleteRow(row);
    // The pool list keeps its order of arrival but for the gap, which its
    // last entry fills.
    auto at = std::find(m_pool.begin(), m_pool.end(), index);
    if (at != m_pool.end()) {
        *at = m_pool.back();
        m_pool.pop_back();
    }
    if (rows > 1) {
        Select(row == rows - 1 ? std::max(0, rows - 2) : row);
    } else {
        // The last row went: nothing is shown or offered any more.
        Select(-1);
    }
}

void SetupPageModel::AddPoolUnit(int index)
{
    if (PoolUnit(index) == nullptr || FindRow(index) >= 0) return;
    AppendRow(index, kIconReady);
    m_pool.push_back(index);
    Select(RowCount() - 1);
    Sort(m_nSortColumn, m_bLastDescending);
}

}  // namespace zrv
