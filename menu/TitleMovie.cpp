#include "menu/TitleMovie.h"

#include <algorithm>

namespace zrv {
namespace {

constexpr int kStepTimer = 2;
constexpr int kOpeningWaitTicks = 10;
constexpr int kEndTicks = 300;
constexpr const char* kOpeningMovie = "OPENING.MPG";

}  // namespace

// --- the dialog ----------------------------------------------------------------------------

CTitleDlg::CTitleDlg(CMenuMovies& movies, TitleWindow& window) : m_movies(movies), m_window(window) {}

CTitleDlg::~CTitleDlg()
{
    if (m_window.Exists()) {
        m_window.Destroy();
        OnDestroy();
    }
}

void CTitleDlg::FontHeights(int width, int& big, int& small)
{
    big = std::max(16, ((width - 100) / 24) & ~3);
    small = big / 4 * 3;
}

bool CTitleDlg::Create(int kind, const Entry* entries, int startSwitch, int endMode)
{
    if (!m_window.Create()) return false;
    OnInitDialog();
    m_window.Show();
    m_nKind = kind;
    m_pEntries = entries;
    m_nStartSwitch = startSwitch;
    m_nEndMode = endMode;
    m_nStep = startSwitch != 0 ? 6 : 1;
    uint32_t& flags = m_movies.View().SceneFlags();
    if (flags & kSceneCDPlaying) {
        flags &= ~kSceneCDRepeat;
        m_movies.View().StopCDAudio();
        m_bCDStopped = 1;
    } else {
        m_bCDStopped = 0;
    }
    return true;
}

void CTitleDlg::OnInitDialog()
{
    FontHeights(m_window.FullScreenWidth(), m_nBigHeight, m_nSmallHeight);
    m_bRepaint = 1;
    m_bClickable = 0;
    m_bFinished = 0;
    m_window.SetClickable(false);
    m_window.Maximize();
    StartStepTimer(kStepTimer, kOpeningWaitTicks);
}

bool CTitleDlg::StartStepTimer(int id, int ticks)
{
    m_nTicks = ticks;
    m_nTimerId = m_window.StartTimer(id) ? id : 0;
    return m_nTimerId != 0;
}

void CTitleDlg::OnTimer(int id)
{
    if (id != m_nTimerId || m_nTimerId == 0) return;
    // A play with wait holds the thread: no tick counts meanwhile.
    if (m_movies.InWaitPlay()) return;
    if (--m_nTicks > 0) return;
    m_window.KillTimer(m_nTimerId);
    m_nTimerId = 0;
    m_nStep = m_nStep == 0 ? 9 : m_nStep + 1;
    NextStep();
}

void CTitleDlg::NextStep()
{
    MenuMovieView& view = m_movies.View();
    switch (m_nStep) {
        case 7: {
            bool played = false;
            std::string path;
            if (view.LocateMovie(kOpeningMovie, path)) {
                const uint32_t result = m_movies.PlayTitleMovie(path);
                const uint32_t device = result >> 16;
                if (device != 0) {
                    view.SceneFlags() |= kSceneMovieOpen;
                    if (m_nEndMode != -1) view.SceneFlags() |= kSceneMovieLoops;
                    view.MovieDevice() = device;
                    played = true;
                } else {
                    view.SceneFlags() &= ~kSceneMovieList;
                }
            }
            m_window.Invalidate(false);
            m_nStep = 8;
            NextStep();
            // With end mode -1 nothing else would ever end a sequence whose
            // movie did not play: no click is taken and no timer runs.
            if (!played && m_nEndMode == -1 && !m_bFinished) Finish();
            break;
        }
        case 8:
            if (m_nEndMode != -1) {
                m_bClickable = 1;
                m_window.SetClickable(true);
            }
            if (m_nEndMode == 1) StartStepTimer(kStepTimer, kEndTicks);
            m_nStep = 0;
            break;
        case 9:
            Finish();
            break;
        default:
            break;
    }
}

void CTitleDlg::Finish()
{
    MenuMovieView& view = m_movies.View();
    if (view.MovieDevice() != 0 && (view.SceneFlags() & kSceneMovieOpen)) {
        m_movies.CloseMovieDevice(true);
        m_bRepaint = 1;
        m_window.Invalidate(true);
    }
    if (m_bCDStopped) {
        m_bCDStopped = 0;
        view.PlayCurrentCDTrack();
    }
    // The loop flag goes with the sequence, so a later one starts clean.
    view.SceneFlags() &= ~(kSceneMovieList | kSceneMovieLoops);
    m_bFinished = 1;
}

int CTitleDlg::NextEntry()
{
    if (m_pEntries != nullptr) ++m_pEntries;
    if (m_pEntries == nullptr || m_pEntries->date < 0) {
        m_movies.View().SceneFlags() &= ~kSceneMovieList;
        return 1;
    }
    m_bRepaint = 1;
    m_window.Invalidate(true);
    m_nStep = 7;
    return 0;
}

void CTitleDlg::OnLButtonDown()
{
    if (m_bClickable) Finish();
}

bool CTitleDlg::OnPaint()
{
    if (!m_bRepaint) return false;
    m_bRepaint = 0;
    return true;
}

void CTitleDlg::OnDestroy()
{
    if (m_nTimerId != 0) {
        m_window.KillTimer(m_nTimerId);
        m_nTimerId = 0;
    }
    MenuMovieView& view = m_movies.View();
    if (!view.SoundEnabled()) view.InitDirectSound();
    if (!m_bFinished) Finish();
}

void CTitleDlg::DestroyWindow()
{
    if (!m_window.Exists()) return;
    m_window.Hide();
    m_window.Destroy();
    OnDestroy();
}

// --- the view's routines -------------------------------------------------------------------

CMenuMovies::CMenuMovies(MenuMovieView& view, EventPump& pump) : m_view(view), m_pump(pump) {}

void CMenuMovies::RunTitleSequence(int endMode)
{
    if (m_pTitle == nullptr) return;
    uint32_t& flags = m_view.SceneFlags();
    flags &= ~kSceneMovieList;
    if (m_pTitle->Create(1, nullptr, 1, endMode)) flags |= kSceneMovieList;
    RunSequenceLoop();
    m_pTitle->DestroyWindow();
}

void CMenuMovies::PlayTitleDialogModal(int endMode)
{
    // The carried operation is the same wait on the dialog's own sequence.
    RunTitleSequence(endMode);
}

void CMenuMovies::RunSequenceLoop()
{
    do {
        m_pump.RunOnce();
        if (m_pTitle->Window().Exists() && m_pTitle->TimerId() == 0 && m_pTitle->Step() == 6) {
            // The opening wait could not be timed: the movie step comes now.
            m_pTitle->SetStep(7);
            m_pTitle->NextStep();
        }
        if (m_pTitle->Step() == 7 && !(m_view.SceneFlags() & kSceneMovieOpen)) {
            m_pTitle->SetStep(8);
            m_pTitle->NextStep();
        }
    } while (m_view.SceneFlags() & kSceneMovieList);
}

void CMenuMovies::PlayMovieOverBackdrop(std::string_view name)
{
    std::string path;
    if (!m_view.LocateMovie(name, path)) return;
    m_view.FreeAllSoundEffects();
    m_view.ReleaseDirectSound();
    if (m_pTitle) m_pTitle->Create(0, nullptr, 1, 0);
    const uint32_t result = OpenAndPlayMCIMovie(path);
    if ((result & 0xFFFF) == 0) {
        m_view.SceneFlags() |= kSceneMovieOpen;
        m_view.MovieDevice() = result >> 16;
        do {
            m_pump.RunOnce();
        } while (m_view.SceneFlags() & kSceneMovieOpen);
    }
    if (m_pTitle) m_pTitle->DestroyWindow();
    if (!m_view.SoundEnabled()) m_view.InitDirectSound();
}

uint32_t CMenuMovies::PlayTitleMovie(std::string_view path)
{
    m_view.FreeAllSoundEffects();
    m_view.ReleaseDirectSound();
    return OpenAndPlayMCIMovie(path);
}

uint32_t CMenuMovies::OpenAndPlayMCIMovie(std::string_view path)
{
    std::weak_ptr<int> alive = m_alive;
    auto notify = [alive, this](uint32_t device) {
        if (!alive.expired()) OnMovieNotify(device);
    };
    m_inWaitPlay = true;
    // The placement is the menu's middle three quarters of the screen.
    const uint32_t result = PlayMCIMovie(m_view.MovieParent(), path, 0, m_view.Screen(), notify,
                                         [this](bool shown) { m_view.ShowCursor(shown); });
    m_inWaitPlay = false;
    return result;
}

void CMenuMovies::CloseMovieDevice(bool wait)
{
    // Every close returns once the device has closed.
    (void)wait;
    const uint32_t device = m_view.MovieDevice();
    m_view.MovieDevice() = 0;
    m_view.SceneFlags() &= ~kSceneMovieOpen;
    if (device != 0) Movies().Close(device);
}

void CMenuMovies::OnMovieNotify(uint32_t device)
{
    // A late notice of a movie closed meanwhile belongs to nobody.
    if (device == 0 || device != m_view.MovieDevice()) return;
    uint32_t& flags = m_view.SceneFlags();
    if (flags & kSceneMovieLoops) {
        // Replayed without waiting: its next end comes as a notice again,
        // and clicks and timers get through in between.
        std::weak_ptr<int> alive = m_alive;
        RewindAndPlayMCI(
            [alive, this](uint32_t d) {
                if (!alive.expired()) OnMovieNotify(d);
            },
            device);
        return;
    }
    CloseMovieDevice(false);
    if ((flags & kSceneMovieList) && m_pTitle != nullptr) {
        if (m_pTitle->NextEntry() == 0) m_pTitle->NextStep();
    }
}

}  // namespace zrv
