// The menu view's side of the movies: what the title dialog and the movie
// routines ask of the view, and the view's openers of the title dialog.
#include "battle/engine/MovieFiles.h"
#include "menu/MenuView.h"
#include "platform/core/Paths.h"

namespace zrv {

namespace {

// The menu program looks for its movies on the game disc, which may be the
// program's own folder.
constexpr bool kMoviesFromDisc = true;

}  // namespace

void CZRKMenuView::SetMovieSeams(std::unique_ptr<TitleWindow> window, EventPump* pump,
                                 std::function<void(bool)> cursor)
{
    // A dialog made on the former window goes with it.
    m_pTitleDlg.reset();
    m_pMovies.reset();
    m_pTitleWindow = std::move(window);
    m_pMoviePump = pump != nullptr ? pump : &m_noPump;
    m_showCursor = std::move(cursor);
}

void CZRKMenuView::MakeTitleDialog()
{
    if (m_pTitleDlg || !m_pTitleWindow) return;
    m_pMovies = std::make_unique<CMenuMovies>(*this, *m_pMoviePump);
    m_pTitleDlg = std::make_unique<CTitleDlg>(*m_pMovies, *m_pTitleWindow);
    m_pTitleWindow->SetDialog(m_pTitleDlg.get());
    m_pMovies->SetTitleDialog(m_pTitleDlg.get());
}

void CZRKMenuView::RunTitleSequence(int endMode)
{
    if (m_pMovies) m_pMovies->RunTitleSequence(endMode);
}

void CZRKMenuView::PlayMovieOverBackdrop(std::string_view name)
{
    if (m_pMovies) m_pMovies->PlayMovieOverBackdrop(name);
}

void CZRKMenuView::PlayTitleDialogModal(int endMode)
{
    if (m_pMovies) m_pMovies->PlayTitleDialogModal(endMode);
}

void CZRKMenuView::StopCDAudio()
{
    m_sound.StopCDAudio(0);
}

void CZRKMenuView::PlayCurrentCDTrack()
{
    m_sound.PlayCDTrack(m_sound.CDTrack(), true);
}

void CZRKMenuView::FreeAllSoundEffects()
{
    m_sound.FreeAllSoundEffects();
}

void CZRKMenuView::ReleaseDirectSound()
{
    m_sound.ReleaseDirectSound();
}

bool CZRKMenuView::SoundEnabled()
{
    return m_sound.SoundReady();
}

void CZRKMenuView::InitDirectSound()
{
    m_sound.InitDirectSound(false);
}

ScreenSize CZRKMenuView::Screen()
{
    const SizeI s = FullScreen();
    return {s.cx, s.cy};
}

void CZRKMenuView::ShowCursor(bool shown)
{
    if (m_showCursor) m_showCursor(shown);
}

bool CZRKMenuView::LocateMovie(std::string_view name, std::string& path)
{
    if (GetMovieFilePath(path, name, kMoviesFromDisc) == 0) return false;
    return platform::FileExistsSjis(path);
}

}  // namespace zrv
