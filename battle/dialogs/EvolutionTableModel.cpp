#include "battle/dialogs/EvolutionTableModel.h"

#include <algorithm>

#include "battle/engine/CountryOps.h"
#include "battle/engine/UnitCommands.h"
#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

constexpr uint32_t kShowOwnUnits = 0x01000000u;  // country flag: own units in the table
constexpr int kEntries = kClassListWords;
constexpr int kPanelX = 140, kPanelY = 487, kPanelW = 150, kPanelH = 38;
constexpr int kTwoPanelY = 469, kTwoPanelW = 200, kTwoPanelH = 18;
constexpr int kPanelAtY = 268;

int Signed(uint32_t v)
{
    return static_cast<int32_t>(v);
}

int StepOf(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a != nullptr ? a->nEvolution : -1;
}

}  // namespace

EvolutionTableModel::EvolutionTableModel(GAMEDATASTRUCT* game, COUNTRYSTRUCT& country, int type,
                                         const UNITSTRUCT* unit, bool tableMode)
    : m_pGame(game), m_country(country), m_bTableMode(tableMode), m_nType(type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    m_nClass = a != nullptr ? a->nClass : -1;
    m_bTwoColumns = m_nClass == 2 || m_nClass == 3;
    const bool showOwn = (country.dwFlag & kShowOwnUnits) != 0;
    m_pUnit = tableMode && !showOwn ? nullptr : unit;

    m_nList.fill(-1);
    m_nList2.fill(-1);
    const int first = m_bTwoColumns ? 2 : m_nClass;
    if (first >= 0 && first < kClassCount)
        for (int e = 0; e < kEntries; ++e) m_nList[e] = Signed(country.dwClassList[first][e]);
    if (m_bTwoColumns)
        for (int e = 0; e < kEntries; ++e) m_nList2[e] = Signed(country.dwClassList[3][e]);

    // The own unit's type at its step of the chain.
    if (showOwn && unit != nullptr) {
        for (int e = 1; e < kEntries; ++e)
            if (m_nList[e] != -1) {
                m_nOwnEntry = e;
                break;
            }
        const int step = StepOf(unit->nArms);
        if (step >= 0 && step < kEntries) {
            if (m_nClass == 3 && m_nOwnEntry < step)
                m_nList2[step] = unit->nArms;
            else
                m_nList[step] = unit->nArms;
        }
    }
    ComputeRange();
    m_nChosenType = m_nType;
    if (!m_bTableMode && unit != nullptr) {
        // The proposal: the next step of the unit's type (none past the list).
        m_nChosenEntry = -1;
        const int next = StepOf(unit->nArms) + 1;
        if (Entry(m_nList, next) >= 1) {
            m_nChosenEntry = next;
            m_nChosenType = m_nList[next];
        } else if (m_bTwoColumns && Entry(m_nList2, next) >= 1) {
            m_nChosenEntry = next + kSecondColumn;
            m_nChosenType = m_nList2[next];
        }
    }
}

int EvolutionTableModel::Entry(const std::array<int, 10>& list, int e) const
{
    return e >= 0 && e < kEntries ? list[e] : -1;
}

void EvolutionTableModel::ComputeRange()
{
    m_nChosenEntry = -1;
    m_nFirst = -1;
    m_nScroll = 0;
    m_nCount = 0;
    for (int e = 1; e < kEntries; ++e) {
        if (m_nList[e] == m_nType)
            m_nChosenEntry = e;
        else if (m_bTwoColumns && m_nList2[e] == m_nType)
            m_nChosenEntry = e + kSecondColumn;
        const int v = m_bTwoColumns ? (m_nList[e] & m_nList2[e]) : m_nList[e];
        if (m_nFirst < 0) {
            if (v != -1) {
                m_nFirst = e;
                m_nCount = 1;
            }
        } else if (v >= 0) {
            m_nCount = e - m_nFirst + 1;
        }
    }
    if (m_nOwnEntry < 0) m_nOwnEntry = m_nFirst;
}

int EvolutionTableModel::Pattern() const
{
    if (m_nCount < 5) return std::max(0, m_nCount);
    if (m_nScroll == 0) return 5;
    return m_nScroll + 4 == m_nCount ? 7 : 6;
}

std::string EvolutionTableModel::Title() const
{
    return m_bTwoColumns ? "中戦車・重戦車" : TableText(Lib().MsgUnitTypeJ, m_nClass);
}

int EvolutionTableModel::ListClass() const
{
    return m_nClass == 3 ? 2 : m_nClass;
}

int EvolutionTableModel::ProducedType() const
{
    const int cls = ListClass();
    return cls >= 0 && cls < kClassCount ? Signed(m_country.dwClassList[cls][0]) : -1;
}

LadderLayout EvolutionTableModel::Layout() const
{
    LadderLayout l;
    m_hits.clear();
    LadderInput in;
    in.twoColumns = m_bTwoColumns;
    in.pattern = Pattern();
    in.topEntry = m_nScroll + m_nFirst + 3;
    in.scrolledOne = m_nScroll == 1;
    in.list = &m_nList;
    in.list2 = &m_nList2;
    in.badge = [this](int e) {
        // No badge below the own entry, nor on it when it holds another type
        // than the one produced now.
        const int d = e - m_nOwnEntry;
        const int there = Entry(m_nList, e);
        if (d < 0 || (d == 0 && m_nOwnEntry >= 0 && there >= 0 && there != ProducedType())) return -1;
        return d;
    };
    in.marked = [this](int entry, int type) { return entry == m_nChosenEntry || type == m_nType; };
    in.dialogX = kLadderAtX;
    in.dialogY = kLadderAtY;
    LayoutLadder(in, l, m_hits);
    if (m_bTwoColumns)
        l.copies.push_back({0, kPanelAtY, kTwoPanelW, kTwoPanelH, kPanelX, kTwoPanelY, -1});
    else
        l.copies.push_back({0, kPanelAtY, kPanelW, kPanelH, kPanelX, kPanelY, -1});

    const bool drawn = std::any_of(l.pictures.begin(), l.pictures.end(),
                                   [&](const LadderPicture& pic) { return pic.type == m_nChosenType; });
    if (m_nChosenType > 0 && drawn) {
        l.texts.push_back({3, 271, TableText(Lib().UnitNameJ, m_nChosenType)});
        const int price = Price();
        if (price >= 0) {
            std::string amount;
            FormatAmount(amount, price, true, false);
            l.texts.push_back({m_bTwoColumns ? 154 : 106, m_bTwoColumns ? 271 : 291, amount, kCardYellow});
        }
    }
    return l;
}

int EvolutionTableModel::Price() const
{
    const ARMSSTRUCT* chosen = ArmsRecord(m_nChosenType);
    if (chosen == nullptr) return -1;
    if (m_bTableMode) return chosen->nStrengthMax * chosen->nPrice;
    if (!EvolveEnabled()) return -1;
    return GetEvolutionCost(m_pUnit->nArms, m_nChosenType);
}

bool EvolutionTableModel::EvolveEnabled() const
{
    if (m_bTableMode || m_pUnit == nullptr) return false;
    const int from = StepOf(m_pUnit->nArms);
    const int to = StepOf(m_nChosenType);
    return from >= 0 && to == from + 1;
}

void EvolutionTableModel::Paint(CDib& card, CDib* entry2, const platform::Font* font,
                                const std::function<void(CDib&, int, int, int)>& unitPicture) const
{
    PaintLadder(Layout(), card, entry2, font, unitPicture);
}

bool EvolutionTableModel::ClickAt(int x, int y)
{
    if (m_hits.empty()) (void)Layout();
    const LadderPicture* h = LadderHit(m_hits, x, y);
    if (h == nullptr) return false;
    m_nChosenType = h->type;
    m_nChosenEntry = h->entry;
    return true;
}

void EvolutionTableModel::Up()
{
    if (UpEnabled()) ++m_nScroll;
}

void EvolutionTableModel::Down()
{
    if (DownEnabled()) --m_nScroll;
}

bool EvolutionTableModel::RetireEnabled() const
{
    const int cls = ListClass();
    if (!m_bTableMode || m_pGame == nullptr || cls < 0 || cls >= kClassCount) return false;
    return FindAvailableListEntry(m_pGame->dwDateTime, m_country.dwClassList[cls]) >= 0;
}

std::string EvolutionTableModel::RetireQuestion(int k) const
{
    const DataLibrary& lib = Lib();
    if (Entry(m_nList, k) >= 0)
        return platform::FormatText("%sを生産廃止にしてよろしいですか？",
                                    {TableText(lib.UnitNameJ, m_nList[0])});
    std::string level;
    FormatFullWidthNumber(k, level);
    return platform::FormatText("「%s・レベル%s」を\n生産廃止にしてよろしいですか？",
                                {TableText(lib.MsgUnitTypeJ, m_nClass), level.c_str()});
}

bool EvolutionTableModel::Retire(const EvolutionTableHost& host)
{
    if (!RetireEnabled()) return false;
    const int k = FindAvailableListEntry(m_pGame->dwDateTime, m_country.dwClassList[ListClass()]);
    if (host.ask && !host.ask(RetireQuestion(k))) return false;
    if (host.sound) host.sound(kSoundRetire);
    const int retired = RemoveTypeListEntry(*m_pGame, m_country.nIndex, m_nClass, k);
    // The copy follows; an entry past the list reads as empty and is
    // never written.
    m_nList[0] = -1;
    if (k < kEntries) m_nList[k] = -1;
    if (m_bTwoColumns && k + 1 < kEntries) m_nList2[k + 1] = -1;
    m_nList[0] = Entry(m_nList, k + 1);
    ComputeRange();
    if (host.retired) host.retired(retired, m_nList[0] >= 0 ? m_nList[0] : -1);
    return true;
}

}  // namespace zrv
