#pragma once
// The menu's scenes behind the view's scene seam: the start-up logos, the
// staff credits, the result and briefing scenes and the endings on the world
// map. It drives the scene engine and the map painter on the view's pictures
// and answers the engine's host calls (timers, sounds, fades, menus); the
// window side gives it timers and a nested event loop. Without a loop (no
// window) scripts are not played and the scenes answer 0 at once.

#include <functional>
#include <memory>
#include <random>

#include "menu/MenuSeams.h"
#include "menu/SceneEngine.h"
#include "menu/WorldMapPainter.h"

namespace platform {
class Font;
}

namespace zrv {

class CZRKMenuView;

// Where the staff credits' first line stands at a scroll offset: the index
// of the first line and its y (Part of the credits' layout).
struct CreditLine {
    int index;
    int y;
};
CreditLine FirstCreditLine(int offset, int areaY, int areaHeight, int gap, int fontSize);

class MenuSceneDirector : public MenuScenes, public SceneHost {
public:
    struct WindowLink {
        std::function<bool(int id, int periodMs)> startTimer;
        std::function<void(int id)> killTimer;
        // Greys the menus and locks the frame (true), or the reverse.
        std::function<void(bool locked)> lockMenus;
        // Dispatches the window's events until done() is true; true when a
        // close request arrived meanwhile (it is not carried out).
        std::function<bool(const std::function<bool()>& done)> runLoop;
    };

    explicit MenuSceneDirector(CZRKMenuView& view);
    ~MenuSceneDirector() override;

    void SetWindow(WindowLink link) { m_window = std::move(link); }
    // The campaign record the scenes read and change (the document's),
    // asked for at the start of every scene.
    void SetCampaignSource(std::function<CAMPAIGNSTRUCT*()> source) { m_campaign = std::move(source); }
    // A seeded generator for the cosmetic pauses (tests).
    void Seed(unsigned seed) { m_random.seed(seed); }

    // MenuScenes.
    bool StartLogos() override;
    bool StartCredits() override;
    void EndCredits() override;
    int RunResultScene() override;
    int StartBriefing(int kind) override;
    void StartEnding(const CAMPAIGNSTRUCT& record) override;
    void ShowWorldMap(int scenario) override;
    void OnSceneClick() override;
    void OnTimer(int id) override;

    // SceneHost.
    bool StartTimer(int id, int periodMs) override;
    void KillTimer(int id) override;
    void PlayEffect(int effect) override;
    void SaveFadeBase() override;
    void ApplyFadeLevel(int level) override;
    void LockMenus(bool locked) override;
    int Random(int lo, int hi) override;

    SceneEngine& Engine() { return m_engine; }
    WorldMapPainter& Painter() { return m_painter; }
    int LogoIndex() const { return m_nLogo; }
    int CreditOffset() const { return m_nCreditOffset; }

private:
    void WirePainter();
    void TakeCampaign();
    int RunScript(std::span<const int32_t> script);
    void ShowLogo();
    void LogoTick(int id);
    void CreditTick();
    void DrawGlyph(int x, int y, std::string_view ch, int height);

    CZRKMenuView& m_view;
    WindowLink m_window;
    WorldMapPainter m_painter;
    SceneEngine m_engine{*this, m_painter};
    CAMPAIGNSTRUCT* m_pRecord = nullptr;
    std::function<CAMPAIGNSTRUCT*()> m_campaign;
    std::mt19937 m_random{12345};
    std::vector<RgbQuad> m_fadeBase;

    // Logos.
    int m_nLogo = -1;
    int m_nLogoLevel = 0;
    int m_nLogoHold = 0;
    std::unique_ptr<CDib> m_pLogo;
    // Credits.
    int m_nCreditOffset = 0;
    std::unique_ptr<platform::Font> m_pCreditFont;
    bool m_bCredits = false;
};

}  // namespace zrv
