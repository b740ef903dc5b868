#pragma once
// The historical-event popup without a window: a teleprinter on a black
// screen. Line 1 (date and title) is typed in the small font at a random
// pace, then the headline in the big font; the long form then starts the
// event's movie below the headline and shows the explanation lines at the
// bottom. Each 50 ms tick of the window's timer steps it; when everything
// has appeared a click ends the presentation.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/LibraryRecords.h"

namespace zrv {

// Where the popup draws: the window's back buffer (nothing is ever erased
// but by Clear).
class HistoryCanvas {
public:
    virtual ~HistoryCanvas() = default;
    virtual void Clear() = 0;
    // White text (CP932) with the top of its cell at (x, y).
    virtual void Text(int x, int y, std::string_view text, bool big) = 0;
};

// Font heights for a screen width: the big one a twenty-fourth of the width
// less 100, a multiple of 4 and at least 16; the small one three quarters.
int HistoryBigFontHeight(int screenW);
int HistorySmallFontHeight(int bigH);

// The byte count shown after one typing step from shown: two bytes further,
// to the end of the character that the cut would split, never past the line.
size_t NextTypedLength(std::string_view line, size_t shown);

// What a tick asks of the window.
struct HistoryTick {
    int sound = 0;        // effect to play (4 a character, 5 a finished line), 0 none
    bool repaint = false; // paint now
};

class HistoryPopupModel {
public:
    // The cosmetic generator's draws (0..32767).
    using Random = std::function<int()>;
    // Starts the event's movie (date, top of the movie, line height): the
    // device in the high half, 0 when none.
    using PlayMovie = std::function<uint32_t(uint32_t date, int top, int lineHeight)>;

    HistoryPopupModel(Random random, PlayMovie movie);

    // Opens the presentation of event on a screenW x screenH screen in the
    // long form (movie and explanation) or the short one: state 6 or 1, the
    // opening wait of 10 ticks running, the screen to be cleared.
    void Open(const HISTORYSTRUCT& event, bool longForm, int screenW, int screenH);

    int State() const { return m_nState; }
    void SetState(int state) { m_nState = state; }
    bool Done() const { return m_bDone; }
    bool Typing() const { return m_bTyping; }
    bool LongForm() const { return m_bLong; }
    int BigH() const { return m_nBigH; }
    int SmallH() const { return m_nSmallH; }
    const std::string& Line() const { return m_strLine; }
    size_t Shown() const { return m_nShown; }
    int LineX() const { return m_nLineX; }
    int LineY() const { return m_nLineY; }
    // Whether a timer runs (typing or waiting).
    bool TimerRunning() const { return m_nTimer != 0; }

    // One 50 ms tick of the running timer.
    HistoryTick Tick();
    // Enters the state the view set (its step out of the movie state).
    void StepDisplay() { Enter(); }
    // Draws what the last step made visible.
    void Paint(HistoryCanvas& canvas);
    // A click: ignored before the end; true when it ends the presentation.
    bool Click() const { return m_bDone; }
    // The screen is cleared at the next paint.
    void ClearScreen() { m_bClear = true; }

private:
    enum Timer : int { kNoTimer = 0, kTypingTimer = 4, kWaitTimer = 5 };
    void Enter();
    void Wait(int ticks);
    void Type(std::string line, bool big, int x, int y, int firstTicks);
    int TextX(size_t bytes, int height) const;

    Random m_random;
    PlayMovie m_movie;
    HISTORYSTRUCT m_event{};
    bool m_bLong = false;
    int m_nState = 0;
    bool m_bBigFont = false;
    std::string m_strLine;
    int m_nLineX = 0, m_nLineY = 0;
    size_t m_nShown = 0;
    bool m_bClear = true;
    int m_nW = 640, m_nH = 480;
    int m_nBigH = 16, m_nSmallH = 12;
    bool m_bDone = false, m_bTyping = false, m_bExplain = false, m_bRandomPace = false;
    int m_nTimer = kNoTimer;
    int m_nTicks = 0;
};

}  // namespace zrv
