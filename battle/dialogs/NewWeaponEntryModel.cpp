#include "battle/dialogs/NewWeaponEntryModel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "battle/dialogs/NewDeploymentCard.h"
#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

constexpr int kEntries = kClassListWords;
constexpr int kStampTicks = 15, kBlinkTicks = 9, kSwapTicks = 9, kHoldTicks = 20;
constexpr int kReportX = 215, kReportY = 6, kReportW = 242, kReportH = 269;
constexpr int kStampAtX = 279, kStampAtY = 102;

int Signed(uint32_t v)
{
    return static_cast<int32_t>(v);
}

std::string Amount(int value, bool wide)
{
    std::string s;
    FormatAmount(s, value, true, wide);
    return s;
}

}  // namespace

NewWeaponEntryModel::NewWeaponEntryModel(const COUNTRYSTRUCT& country, int type, int mode)
    : m_country(country), m_nType(type), m_nMode(mode)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    m_nClass = a != nullptr ? a->nClass : -1;
    m_bTwo = m_nClass == 2 || m_nClass == 3;
    m_list.fill(-1);
    m_list2.fill(-1);
    const int first = m_bTwo ? 2 : m_nClass;
    if (first >= 0 && first < kClassCount)
        for (int e = 0; e < kEntries; ++e) m_list[e] = Signed(country.dwClassList[first][e]);
    if (m_bTwo)
        for (int e = 0; e < kEntries; ++e) m_list2[e] = Signed(country.dwClassList[3][e]);
    const int step = a != nullptr ? a->nEvolution & 0xFFFF : 0;
    m_nPosition = step + (m_nClass == 3 ? kLadderSecondColumn : 0);
    m_nShownType = Entry(m_nClass == 3 ? m_list2 : m_list, step);
    m_nShownStep = m_nPosition;

    // The used range, reaching the new type's step.
    m_nFirst = -1;
    m_nCount = 1;
    for (int k = 1; k < kEntries; ++k) {
        const int e = m_bTwo ? (m_list[k] & m_list2[k]) : m_list[k];
        if (e == -1) continue;
        if (m_nFirst < 0)
            m_nFirst = k;
        else if (e > 0)
            m_nCount = k - m_nFirst + 1;
    }
    if (m_nFirst < 0) m_nFirst = step;
    if (m_nFirst + m_nCount - 1 < step) m_nCount = step - m_nFirst + 1;
}

int NewWeaponEntryModel::Entry(const std::array<int, 10>& list, int e) const
{
    return e >= 0 && e < kEntries ? list[static_cast<size_t>(e)] : -1;
}

const char* NewWeaponEntryModel::Caption() const
{
    return m_nMode == 2 ? "兵器退役" : "新兵器エントリー";
}

int NewWeaponEntryModel::Offset() const
{
    const int d = (m_nShownStep & 0xFFFF) - m_nFirst;
    if (m_nCount <= 4 || d + 1 <= 3) return 0;
    int offset = d - 2;
    if (m_nCount <= d + 2 && m_nCount == d + 1) --offset;
    return offset;
}

int NewWeaponEntryModel::LayoutRow() const
{
    if (m_nCount <= 4) return std::max(0, m_nCount);
    const int d = (m_nShownStep & 0xFFFF) - m_nFirst;
    if (d + 1 <= 3) return 5;
    return m_nCount <= d + 2 ? 7 : 6;
}

int NewWeaponEntryModel::Cost(int type) const
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a != nullptr ? a->nPrice * a->nStrengthMax : -1;
}

LadderLayout NewWeaponEntryModel::Layout() const
{
    LadderLayout l;
    m_hits.clear();
    LadderInput in;
    in.twoColumns = m_bTwo;
    in.pattern = LayoutRow();
    const int offset = Offset();
    in.topEntry = offset + m_nFirst + 3;
    in.scrolledOne = offset == 1;
    in.list = &m_list;
    in.list2 = &m_list2;
    in.badge = [this](int s) { return s - m_nFirst; };
    in.marked = [this](int entry, int) { return entry == m_nShownStep || entry == m_nPosition; };
    in.dialogX = kChainAtX;
    in.dialogY = kChainAtY;
    LayoutLadder(in, l, m_hits);

    // The selected type's strip.
    if (m_bTwo)
        l.copies.push_back({4, 292, 200, 18, 140, 469, -1});
    else
        l.copies.push_back({5, 284, 150, 38, 140, 487, -1});
    const int shown = m_bSecondPhase ? m_nType : m_nShownType;
    if (shown > 0) {
        l.texts.push_back({m_bTwo ? 7 : 8, m_bTwo ? 295 : 287, TableText(Lib().UnitNameJ, shown)});
        const int cost = Cost(shown);
        if (cost >= 0) l.texts.push_back({m_bTwo ? 158 : 111, m_bTwo ? 295 : 307, Amount(cost, false)});
    }

    // The report.
    l.copies.push_back({kReportX, kReportY, kReportW, kReportH, 340, 0, -1});
    for (CardText& t : ReportTexts()) l.texts.push_back(std::move(t));
    if (m_bPicture && ArmsRecord(m_nType) != nullptr) l.pictures.push_back({307, 75, m_nType, -1});
    return l;
}

CardTexts NewWeaponEntryModel::ReportTexts() const
{
    const DataLibrary& lib = Lib();
    CardTexts t;
    const std::string title = platform::FormatText("%s開発報告", {TableText(lib.MsgUnitTypeJ, m_nClass)});
    t.push_back({(28 - static_cast<int>(title.size())) * 3 + 251, 51, title});
    static const char* const kMessages[3] = {"　｢%s｣が開発されました。", "　｢%s｣が制式採用されました。",
                                             "　｢%s｣が退役しました。"};
    const char* name = TableText(lib.UnitNameJ, m_nType);
    const std::string message = platform::FormatText(kMessages[m_nMode >= 0 && m_nMode < 3 ? m_nMode : 0], {name});
    int y = 119;
    for (const std::string& line : SplitReportSentence(message, static_cast<int>(std::strlen(name)))) {
        t.push_back({251, y, line});
        y += 17;
    }
    if (m_nMode == 0) t.push_back({251, y, "　制式化しますか？"});
    if (m_nMode == 0 || m_nMode == 1) {
        t.push_back({281, 187, "開発費　" + Amount(Cost(m_nType), true)});
        t.push_back({281, 204, "軍事費　" + Amount(m_country.nFund, true)});
    }
    return t;
}

CardCopy NewWeaponEntryModel::Stamp() const
{
    switch (m_nChoice) {
        case 0:
            return {kStampAtX, kStampAtY, 115, 115, 340, 269, 0};
        case 1:
            return {kStampAtX, kStampAtY, 102, 102, 340, 384, 0};
        case 2:
            return {kStampAtX, kStampAtY, 115, 115, 455, 269, 0};
        default:
            return {};
    }
}

void NewWeaponEntryModel::Paint(CDib& card, CDib* entry2, const platform::Font* font,
                                const std::function<void(CDib&, int, int, int)>& unitPicture) const
{
    PaintLadder(Layout(), card, entry2, font, unitPicture);
    // The stamp stays on the report while the dialog runs to its end.
    const CardCopy s = Stamp();
    if (entry2 != nullptr && s.w > 0) entry2->CopyRect(&card, s.dx, s.dy, s.w, s.h, s.sx, s.sy, s.key);
}

NewWeaponEntryModel::Step NewWeaponEntryModel::Stamped(int choice)
{
    m_nChoice = choice;
    m_phase = Phase::Stamped;
    m_nTicks = kStampTicks;
    Step s;
    s.sounds.push_back(kSoundStamp);
    s.repaint = true;
    s.startTimer = true;
    return s;
}

NewWeaponEntryModel::Step NewWeaponEntryModel::Choose(int choice)
{
    if (m_nChoice >= 0 || m_bFinished || choice < 0 || choice > 2) return {};
    const bool allowed = choice == 0 ? AdoptEnabled() : choice == 1 ? DeliberateEnabled() : RejectEnabled();
    if (!allowed) return {};
    // Only an adoption runs on into the animation.
    m_bChosen = choice != 0;
    return Stamped(choice);
}

NewWeaponEntryModel::Step NewWeaponEntryModel::Cancel()
{
    if (m_nMode == 1 || m_nChoice >= 0 || m_bFinished) return {};
    m_bChosen = true;
    return Stamped(m_nMode == 2 ? 2 : 1);
}

bool NewWeaponEntryModel::Enter()
{
    // Once a choice runs its stamp, Enter would only cut it short.
    if (m_nChoice >= 0 || m_bFinished) return false;
    m_nChoice = 1;
    Finish();
    return true;
}

void NewWeaponEntryModel::TimerFailed()
{
    Finish();
}

void NewWeaponEntryModel::Finish()
{
    m_phase = Phase::Done;
    m_bFinished = true;
    m_nResult = m_nChoice >= 0 ? m_nChoice : 1;
}

NewWeaponEntryModel::Step NewWeaponEntryModel::Tick()
{
    Step s;
    switch (m_phase) {
        case Phase::Stamped:
        case Phase::Hold:
            if (--m_nTicks > 0) break;
            if (!m_bChosen) {
                s.sounds.push_back(kSoundAdopted);
                m_phase = Phase::Blink;
                m_nTicks = kBlinkTicks;
                s.startTimer = true;
            } else {
                Finish();
            }
            break;
        case Phase::Blink:
            if (--m_nTicks > 0) {
                m_bPicture = m_nTicks % 2 == 0;
                s.repaint = true;
                break;
            }
            m_bSecondPhase = true;
            m_bChosen = true;
            {
                // The new type takes its entry; the entry it replaced is kept.
                std::array<int, 10>& list = m_nClass == 3 ? m_list2 : m_list;
                const int e = m_nPosition & 0xFFFF;
                if (e >= 0 && e < kEntries) {
                    m_nKept = list[static_cast<size_t>(e)];
                    list[static_cast<size_t>(e)] = m_nType;
                }
            }
            m_phase = Phase::Swap;
            m_nTicks = kSwapTicks;
            s.startTimer = true;
            s.repaint = true;
            break;
        case Phase::Swap:
            if (--m_nTicks > 0) {
                std::array<int, 10>& list = m_nClass == 3 ? m_list2 : m_list;
                const int e = m_nPosition & 0xFFFF;
                if (e >= 0 && e < kEntries) std::swap(list[static_cast<size_t>(e)], m_nKept);
                s.repaint = true;
                break;
            }
            m_phase = Phase::Hold;
            m_nTicks = kHoldTicks;
            s.startTimer = true;
            break;
        case Phase::Waiting:
        case Phase::Done:
            break;
    }
    return s;
}

bool NewWeaponEntryModel::ClickAt(int x, int y)
{
    if (m_hits.empty()) (void)Layout();
    const LadderPicture* h = LadderHit(m_hits, x, y);
    if (h == nullptr) return false;
    m_nShownType = h->type;
    m_nShownStep = h->entry;
    return true;
}

}  // namespace zrv
