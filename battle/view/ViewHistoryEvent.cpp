// The historical events as the view presents them: the event popup shows the
// event (from its movie when the event has one) and the view waits in a
// nested message loop until the popup is done with it.
#include "battle/engine/GameDoc.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/Movie.h"

namespace zrv {

namespace {

// The popup's display states around its movie.
constexpr int kPopupMovieState = 11;
constexpr int kPopupAfterMovieState = 12;

}  // namespace

void CZRKGameView::PlayHistoryEvent(int event, COUNTRYSTRUCT* country)
{
    const auto table = Lib().HistoryData;
    // An event number from a damaged file names no record.
    if (event < 0 || static_cast<size_t>(event) >= table.size()) return;
    const bool movie = table[static_cast<size_t>(event)].pCaption != nullptr;

    // The movie is shown as the event's country sees it.
    COUNTRYSTRUCT* const saved = m_pCurCountry;
    if (movie) m_pCurCountry = country;

    m_dwState &= ~kViewHistoryShowing;
    if (m_pHub->ShowHistoryEvent(event, movie)) m_dwState |= kViewHistoryShowing;
    for (;;) {
        const bool more = m_pump ? m_pump() : false;
        if (movie && m_pHub->HistoryDisplayState() == kPopupMovieState && (m_dwState & kViewMoviePlaying) == 0) {
            m_pHub->SetHistoryDisplayState(kPopupAfterMovieState);
            m_pHub->StepHistoryDisplay();
        }
        if ((m_dwState & kViewHistoryShowing) == 0) break;
        // A popup closed without its click (Enter, Esc) or the end of the
        // program would leave the bit set for ever.
        if (!more || (m_dwState & kViewCloseRequested) != 0 || !m_pHub->HasHistoryWindow()) break;
    }
    m_dwState &= ~kViewHistoryShowing;
    if (m_pHub->HasHistoryWindow()) {
        m_pHub->HideHistoryPopup();
        m_pHub->DestroyHistoryPopup();
    }
    if (movie) m_pCurCountry = saved;
}

uint32_t CZRKGameView::PlayEventMovie(uint32_t packedDate, int top, int lineHeight)
{
    return PlayHistoryMovie(packedDate, *this, top, lineHeight);
}

void CZRKGameView::OnMovieNotify(uint32_t device)
{
    // A late notice of a movie already closed must not touch the next one.
    if (device == 0 || device != m_nMovieDevice) return;
    if (m_dwState & kViewMovieRepeat) {
        MovieBackend& movies = Movies();
        movies.Rewind(device);
        if (movies.Play(device, MovieNotifier(), (m_dwDispOption & kDispMovieStandardSize) == 0, false) != 0)
            CloseMovieDevice(false);
        return;
    }
    m_pHub->RaiseHistoryPopup();
    CloseMovieDevice(false);
}

MovieNotify CZRKGameView::MovieNotifier()
{
    // The player sends its notice on the event loop, as the music device
    // does; one still queued when the view has gone is dropped.
    std::weak_ptr<int> alive = m_movieAlive;
    return [alive, this](uint32_t d) {
        if (!alive.expired()) OnMovieNotify(d);
    };
}

}  // namespace zrv
