#pragma once
// The title movie dialog (a black full-screen backdrop that plays the opening
// movie, then waits for a click or a time-out) and the menu view's movie
// routines around it. No wx here: the dialog's window, the view's side and
// the event loop come in through the seams below, so the steps run in tests
// with fakes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/Movie.h"

namespace zrv {

// Scene flags of the menu view that the movies use.
inline constexpr uint32_t kSceneMovieOpen = 0x10000;
inline constexpr uint32_t kSceneMovieLoops = 0x20000;
inline constexpr uint32_t kSceneMovieList = 0x40000;
inline constexpr uint32_t kSceneCDPlaying = 0x80000;
inline constexpr uint32_t kSceneCDRepeat = 0x100000;

// What the movie routines need of the menu view.
class MenuMovieView {
public:
    virtual ~MenuMovieView() = default;
    virtual uint32_t& SceneFlags() = 0;
    virtual uint32_t& MovieDevice() = 0;
    // CD music: stop it (no count-down), and play the current track again
    // with error boxes.
    virtual void StopCDAudio() = 0;
    virtual void PlayCurrentCDTrack() = 0;
    // The effects device: free every effect and let the device go for a
    // movie, and make it again (quietly) afterwards.
    virtual void FreeAllSoundEffects() = 0;
    virtual void ReleaseDirectSound() = 0;
    virtual bool SoundEnabled() = 0;
    virtual void InitDirectSound() = 0;
    // The movie's parent window (opaque) and the screen.
    virtual void* MovieParent() = 0;
    virtual ScreenSize Screen() = 0;
    virtual void ShowCursor(bool shown) = 0;
    // The movie file locator: the path, true when the file can be read.
    virtual bool LocateMovie(std::string_view name, std::string& path) = 0;
};

class CTitleDlg;

// The dialog's window.
class TitleWindow {
public:
    virtual ~TitleWindow() = default;
    // The dialog its events go to.
    virtual void SetDialog(CTitleDlg* /*dialog*/) {}
    // Makes the window (captionless, hidden); false when it cannot.
    virtual bool Create() = 0;
    virtual bool Exists() const = 0;
    virtual void Show() = 0;
    virtual void Maximize() = 0;
    virtual void Hide() = 0;
    virtual void Destroy() = 0;
    // Marks it for painting; with now, paints at once.
    virtual void Invalidate(bool now) = 0;
    // A 50 ms timer whose ticks come back as CTitleDlg::OnTimer(id).
    virtual bool StartTimer(int id) = 0;
    virtual void KillTimer(int id) = 0;
    // The width of a full-screen window's client area.
    virtual int FullScreenWidth() const = 0;
    // Whether the window takes the mouse (the hit test answers "nowhere"
    // otherwise).
    virtual void SetClickable(bool clickable) = 0;
};

// The UI thread's event loop: runs until at least one event was handled.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void RunOnce() = 0;
};

class CMenuMovies;

// The title movie dialog.
class CTitleDlg {
public:
    // Entry of an entry list (both openers pass none).
    struct Entry {
        int32_t date = -1;  // negative ends the list
        std::string title;
    };

    CTitleDlg(CMenuMovies& movies, TitleWindow& window);
    ~CTitleDlg();

    // Makes and shows the window and starts the sequence; false when the
    // window cannot be made.
    bool Create(int kind, const Entry* entries, int startSwitch, int endMode);
    void NextStep();
    bool StartStepTimer(int id, int ticks);
    void Finish();
    // 1 when no entry is left.
    int NextEntry();

    // The window's events.
    void OnTimer(int id);
    void OnLButtonDown();
    // True when the paint fills the client area black (the flag is cleared).
    bool OnPaint();
    void OnDestroy();
    // Hides and destroys the window when it exists (OnDestroy follows).
    void DestroyWindow();

    int Step() const { return m_nStep; }
    void SetStep(int step) { m_nStep = step; }
    bool Clickable() const { return m_bClickable != 0; }
    bool Finished() const { return m_bFinished != 0; }
    bool CDStopped() const { return m_bCDStopped != 0; }
    int EndMode() const { return m_nEndMode; }
    int BigHeight() const { return m_nBigHeight; }
    int SmallHeight() const { return m_nSmallHeight; }
    int TimerId() const { return m_nTimerId; }
    int Ticks() const { return m_nTicks; }
    TitleWindow& Window() { return m_window; }

    // Font heights for a screen width: big (W - 100) / 24 with its two low
    // bits cleared, at least 16; small three quarters of it.
    static void FontHeights(int width, int& big, int& small);

private:
    void OnInitDialog();

    CMenuMovies& m_movies;
    TitleWindow& m_window;
    int m_nStartSwitch = 0;
    int m_nEndMode = 0;
    int m_nStep = 0;
    int m_bRepaint = 1;
    const Entry* m_pEntries = nullptr;
    int m_nBigHeight = 0;
    int m_nSmallHeight = 0;
    int m_bClickable = 0;
    int m_bFinished = 0;
    int m_nTimerId = 0;
    int m_nTicks = 0;
    int m_bCDStopped = 0;
    int m_nKind = -1;
};

// The menu view's movie routines; the view owns one and forwards to it.
class CMenuMovies {
public:
    CMenuMovies(MenuMovieView& view, EventPump& pump);

    // The title dialog the view made at its first update.
    void SetTitleDialog(CTitleDlg* dialog) { m_pTitle = dialog; }
    CTitleDlg* TitleDialog() { return m_pTitle; }

    void RunTitleSequence(int endMode);
    void PlayMovieOverBackdrop(std::string_view name);
    uint32_t PlayTitleMovie(std::string_view path);
    void CloseMovieDevice(bool wait);
    // Opens, places and plays a movie with wait: device id x 65,536, or the
    // device's error (shown in a box).
    uint32_t OpenAndPlayMCIMovie(std::string_view path);
    // The movie branch of the view's end notification.
    void OnMovieNotify(uint32_t device);
    // The carried operation: waits on the dialog's own sequence.
    void PlayTitleDialogModal(int endMode);

    MenuMovieView& View() { return m_view; }
    // True while a movie plays with wait (the dialog's ticks stand still).
    bool InWaitPlay() const { return m_inWaitPlay; }

private:
    // The loop of the openers: one event at a time while the movie list
    // runs, moving a dialog left at step 7 on.
    void RunSequenceLoop();
    void CloseDialog();

    MenuMovieView& m_view;
    EventPump& m_pump;
    CTitleDlg* m_pTitle = nullptr;
    bool m_inWaitPlay = false;
    // Notices still queued when the routines have gone find this expired.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

}  // namespace zrv
