#include "battle/dialogs/HistoryPopupModel.h"

#include <algorithm>
#include <cstring>

#include "foundation/Utility.h"
#include "platform/core/Text.h"

namespace zrv {

namespace {

constexpr int kWaitTicks = 10;
constexpr int kFixedPace = 5;
constexpr int kLine1Y = 30;

}  // namespace

int HistoryBigFontHeight(int screenW)
{
    return std::max(16, ((screenW - 100) / 24) & ~3);
}

int HistorySmallFontHeight(int bigH)
{
    return bigH / 4 * 3;
}

size_t NextTypedLength(std::string_view line, size_t shown)
{
    // Walked from the start so that a trail byte is never taken for a lead.
    const size_t want = shown + 2;
    size_t pos = 0;
    while (pos < want && pos < line.size())
        pos += platform::IsSjisLead(static_cast<unsigned char>(line[pos])) ? 2 : 1;
    return std::min(pos, line.size());
}

HistoryPopupModel::HistoryPopupModel(Random random, PlayMovie movie)
    : m_random(std::move(random)), m_movie(std::move(movie))
{
}

void HistoryPopupModel::Open(const HISTORYSTRUCT& event, bool longForm, int screenW, int screenH)
{
    m_event = event;
    m_bLong = longForm;
    m_nW = screenW;
    m_nH = screenH;
    m_nBigH = HistoryBigFontHeight(screenW);
    m_nSmallH = HistorySmallFontHeight(m_nBigH);
    m_bClear = true;
    m_nShown = 0;
    m_bDone = m_bTyping = m_bExplain = false;
    m_strLine.clear();
    m_nState = longForm ? 6 : 1;
    Wait(kWaitTicks);
}

int HistoryPopupModel::TextX(size_t bytes, int height) const
{
    return (m_nW - static_cast<int>(bytes) * height / 2) / 2;
}

void HistoryPopupModel::Wait(int ticks)
{
    m_nTimer = kWaitTimer;
    m_nTicks = ticks;
}

void HistoryPopupModel::Type(std::string line, bool big, int x, int y, int firstTicks)
{
    m_strLine = std::move(line);
    m_bBigFont = big;
    m_nLineX = x;
    m_nLineY = y;
    m_bTyping = true;
    m_nTimer = kTypingTimer;
    m_nTicks = firstTicks;
}

void HistoryPopupModel::Enter()
{
    m_nShown = 0;
    switch (m_nState) {
    case 2:
    case 7: {
        std::string line;
        FormatDateText(m_event.dwDateTime, line, true, false);
        line += "    ";
        line.append(m_event.szTitle, strnlen(m_event.szTitle, sizeof m_event.szTitle));
        m_bRandomPace = true;
        const int x = TextX(line.size(), m_nSmallH);
        Type(std::move(line), false, x, kLine1Y, m_random() % 2 + 2);
        break;
    }
    case 3:
    case 8:
    case 10: Wait(kWaitTicks); break;
    case 4:
    case 9: {
        std::string line(m_event.szText, strnlen(m_event.szText, sizeof m_event.szText));
        m_bRandomPace = false;
        const int y = m_nState == 4 ? m_nH / 2 + 50 : m_nLineY + 2 * m_nSmallH;
        const int x = TextX(line.size(), m_nBigH);
        Type(std::move(line), true, x, y, kFixedPace);
        break;
    }
    case 11:
        // The movie plays below the headline; the view steps the popup on
        // once it has ended (or never started).
        if (m_movie) m_movie(m_event.dwDateTime, m_nLineY + m_nSmallH / 2 + m_nBigH, m_nSmallH);
        m_bExplain = true;
        m_bTyping = false;
        break;
    case 5:
    case 12:
        m_bDone = true;
        m_nState = 0;
        break;
    default: break;
    }
}

HistoryTick HistoryPopupModel::Tick()
{
    HistoryTick t;
    if (m_nTimer == kNoTimer) return t;
    if (--m_nTicks > 0) return t;
    if (m_nTimer == kTypingTimer) {
        if (m_nShown >= m_strLine.size()) {
            m_bTyping = false;
            t.sound = 5;
        } else {
            m_nTicks = m_bRandomPace ? m_random() % 3 + 2 : kFixedPace;
            m_nShown = NextTypedLength(m_strLine, m_nShown);
            t.sound = 4;
            t.repaint = true;
            return t;
        }
    }
    m_nTimer = kNoTimer;
    ++m_nState;
    Enter();
    if (m_bExplain) t.repaint = true;
    return t;
}

void HistoryPopupModel::Paint(HistoryCanvas& canvas)
{
    if (m_bClear) {
        m_bClear = false;
        canvas.Clear();
        return;
    }
    if (m_bTyping) canvas.Text(m_nLineX, m_nLineY, std::string_view(m_strLine).substr(0, m_nShown), m_bBigFont);
    if (m_bExplain) {
        m_bExplain = false;
        if (m_event.pCaption == nullptr) return;
        int y = m_nH - 5 * m_nSmallH;
        for (int i = 0; i < 3; ++i) {
            const char* line = m_event.pCaption[i];
            if (line == nullptr || *line == '\0') break;
            const size_t len = std::strlen(line);
            canvas.Text(TextX(len, m_nSmallH), y, line, false);
            y += 3 * (m_nSmallH / 2);
        }
    }
}

}  // namespace zrv
