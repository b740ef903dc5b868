// The historical events as the view presents them: a scripted popup walks
// its display states in a pump the test drives, and the view's wait ends
// with the popup's click, with the popup gone, with the end of the program,
// or after one message when no popup could be made. The movie's end notice
// rewinds a repeating movie or brings the popup forward and closes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Movie.h"
#include "view/ViewFixture.h"

namespace viewtest {
namespace {

// Record 0 a plain event, record 1 a movie event (it has captions).
const char* const kCaptions[] = {"LINE", "", ""};
struct HistoryLibrary {
    DataLibrary lib = ViewLibrary();
    std::vector<HISTORYSTRUCT> history = std::vector<HISTORYSTRUCT>(3);
    HistoryLibrary()
    {
        history[0].dwDateTime = PackDate(41, 6, 22);
        history[1].dwDateTime = PackDate(41, 12, 8);
        history[1].pCaption = kCaptions;
        history[2].dwDateTime = 0x7FFFFFFFu;
        lib.HistoryData = history;
    }
};
const DataLibrary& HistoryLib()
{
    static HistoryLibrary l;
    return l.lib;
}

// The event popup as the view sees it through the hub: it opens in state 0
// (11 with the movie), and is clicked after a number of messages.
class ScriptedPopup : public ViewToolHub {
public:
    bool canCreate = true;
    int clickAfter = 3;  // messages; -1 never
    bool exists = false;
    int state = -1;
    int messages = 0;
    std::vector<std::string> calls;

    bool ShowHistoryEvent(int event, bool movie) override
    {
        calls.push_back(std::string("show ") + std::to_string(event) + (movie ? " movie" : ""));
        if (!canCreate) return false;
        exists = true;
        state = movie ? 11 : 0;
        return true;
    }
    void StepHistoryDisplay() override { calls.push_back("step " + std::to_string(state)); }
    int HistoryDisplayState() const override { return exists ? state : -1; }
    void SetHistoryDisplayState(int s) override { state = s; }
    bool HasHistoryWindow() const override { return exists; }
    void HideHistoryPopup() override { calls.push_back("hide"); }
    void DestroyHistoryPopup() override
    {
        calls.push_back("destroy");
        exists = false;
    }
    void RaiseHistoryPopup() override { calls.push_back("raise"); }
    // One message reaches the popup.
    void Message()
    {
        ++messages;
        if (exists && clickAfter >= 0 && messages >= clickAfter && Host() != nullptr) Host()->HistoryEventDone();
    }
};

class HistoryEventTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        SetLib(&HistoryLib());
        view->SetToolHub(&popup);
        view->SetCurrentCountry(0, &doc->m_GameData.Country[0]);
    }
    void TearDown() override
    {
        view->SetMessagePump(nullptr);
        view->SetToolHub(nullptr);
        ViewTest::TearDown();
    }
    // A pump that hands each message to the popup and writes down what the
    // view shows meanwhile; it gives up after limit messages.
    void Pump(int limit = 50, std::function<void(int)> each = nullptr)
    {
        view->SetMessagePump([this, limit, each] {
            popup.Message();
            countries.push_back(view->m_pCurCountry);
            if (each) each(popup.messages);
            return popup.messages < limit;
        });
    }

    ScriptedPopup popup;
    std::vector<COUNTRYSTRUCT*> countries;
};

TEST_F(HistoryEventTest, APlainEventWaitsForTheClickAndLeavesTheCountryAlone)
{
    COUNTRYSTRUCT* const own = view->m_pCurCountry;
    Pump();
    view->PresentHistoryEvent(0, doc->m_GameData.Country[3]);
    EXPECT_EQ(popup.messages, 3) << "until the click";
    EXPECT_EQ(popup.calls, (std::vector<std::string>{"show 0", "hide", "destroy"}));
    for (COUNTRYSTRUCT* c : countries) EXPECT_EQ(c, own);
    EXPECT_EQ(view->m_pCurCountry, own);
    EXPECT_EQ(view->m_dwState & kViewHistoryShowing, 0u);
}

TEST_F(HistoryEventTest, AMovieEventShowsTheEventsCountryAndStepsOnOnlyOnceTheMovieHasClosed)
{
    COUNTRYSTRUCT* const own = view->m_pCurCountry;
    COUNTRYSTRUCT* const eventCountry = &doc->m_GameData.Country[3];
    popup.clickAfter = 6;
    // The movie plays through the first three messages.
    view->m_dwState |= kViewMoviePlaying;
    std::vector<int> states;
    Pump(50, [&](int n) {
        states.push_back(popup.state);
        if (n == 3) view->m_dwState &= ~kViewMoviePlaying;
    });
    view->PresentHistoryEvent(1, *eventCountry);
    // Read before the view's own step of each turn.
    EXPECT_EQ(states, (std::vector<int>{11, 11, 11, 12, 12, 12}));
    EXPECT_EQ(popup.calls, (std::vector<std::string>{"show 1 movie", "step 12", "hide", "destroy"}));
    for (COUNTRYSTRUCT* c : countries) EXPECT_EQ(c, eventCountry);
    EXPECT_EQ(view->m_pCurCountry, own) << "given back";
}

TEST_F(HistoryEventTest, TheWaitEndsWithoutTheClickWhenNothingCanEndItOtherwise)
{
    const struct {
        const char* name;
        bool canCreate;
        int limit;                      // the pump gives up (the program ends)
        int gone;                       // the popup closes itself after n messages; 0 never
        bool close;                     // a close request comes with the second message
        int messages;
    } cases[] = {
        {"no popup: one message", false, 50, 0, false, 1},
        {"popup closed by Esc", true, 50, 2, false, 2},
        {"the program ends", true, 4, 0, false, 4},
        {"a close request", true, 50, 0, true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        popup = ScriptedPopup();
        popup.canCreate = c.canCreate;
        popup.clickAfter = -1;
        view->m_dwState &= ~kViewCloseRequested;
        Pump(c.limit, [&](int n) {
            if (c.gone == n) popup.exists = false;
            if (c.close && n == 2) view->m_dwState |= kViewCloseRequested;
        });
        view->PresentHistoryEvent(0, doc->m_GameData.Country[0]);
        EXPECT_EQ(popup.messages, c.messages);
        EXPECT_EQ(view->m_dwState & kViewHistoryShowing, 0u);
        EXPECT_FALSE(popup.exists);
    }
    view->m_dwState &= ~kViewCloseRequested;
    // An event number that names no record shows nothing.
    popup = ScriptedPopup();
    view->PresentHistoryEvent(7, doc->m_GameData.Country[0]);
    view->PresentHistoryEvent(-1, doc->m_GameData.Country[0]);
    EXPECT_TRUE(popup.calls.empty());
}

// A movie device that records what is asked of it.
class RecordingMovies : public MovieBackend {
public:
    std::vector<std::string> calls;
    int playError = 0;
    bool CanOpen(std::string_view) override { return true; }
    uint32_t Open(void*, std::string_view, int&) override { return 9; }
    int SourceSize(uint32_t, int& w, int& h) override { return w = 320, h = 240, 0; }
    int Place(uint32_t, const MovieRect&) override { return 0; }
    int Play(uint32_t d, MovieNotify, bool, bool) override
    {
        calls.push_back("play " + std::to_string(d));
        return playError;
    }
    int Rewind(uint32_t d) override
    {
        calls.push_back("rewind " + std::to_string(d));
        return 0;
    }
    void Close(uint32_t d) override { calls.push_back("close " + std::to_string(d)); }
};

TEST_F(HistoryEventTest, TheMoviesEndRewindsARepeatingMovieOrClosesItBehindThePopup)
{
    RecordingMovies movies;
    SetMovies(&movies);
    const struct {
        const char* name;
        uint32_t device;  // the notice's device
        bool repeat;
        std::vector<std::string> movie, popupCalls;
        bool open;  // the device stays open
    } cases[] = {
        {"repeating", 9, true, {"rewind 9", "play 9"}, {}, true},
        {"ended", 9, false, {"close 9"}, {"raise"}, false},
        {"another device", 4, false, {}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        movies.calls.clear();
        popup.calls.clear();
        view->m_nMovieDevice = 9;
        view->m_dwState = kViewMoviePlaying | (c.repeat ? kViewMovieRepeat : 0u);
        EXPECT_EQ(view->OnMciNotify(c.device), 1);
        EXPECT_EQ(movies.calls, c.movie);
        EXPECT_EQ(popup.calls, c.popupCalls);
        EXPECT_EQ(view->m_nMovieDevice != 0, c.open);
        EXPECT_EQ((view->m_dwState & kViewMoviePlaying) != 0, c.open);
    }
    view->m_nMovieDevice = 0;
    SetMovies(nullptr);
}

}  // namespace
}  // namespace viewtest
