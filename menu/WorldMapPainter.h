#pragma once
// The world map of the menu's scenes as a plain object: the map picture with
// a flag over every world-situation city, a frame that shades everything
// outside one scenario's area (closing onto it step by step), 32 flag slots
// whose flags stand, rise and sink, scenario markers, a travelling dot,
// smooth scrolling and the scene pictures. It paints into the view's
// off-screen picture (the map's size) and is the scene engine's stage; the
// view gives it its scroll position, client size and screen updates.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/Dib.h"
#include "foundation/GameRecords.h"
#include "foundation/OSBView.h"
#include "menu/SceneEngine.h"

namespace zrv {

// Scene flag bits of the view.
inline constexpr uint32_t kSceneCityFlags = 0x80;   // cities with their flags
inline constexpr uint32_t kScenePrerendered = 0x100; // the work picture holds the map

class WorldMapPainter : public SceneStage {
public:
    // What the painter needs of the view.
    struct ViewLink {
        std::function<PointI()> scroll;
        std::function<void(int x, int y)> setScroll;
        std::function<SizeI()> client;
        // The off-screen picture changed: show it.
        std::function<void()> update;
        // A picture of the program folder, mapped to the view's colours.
        std::function<std::unique_ptr<CDib>(const char* name)> loadPicture;
        // Loads a palette file into colours 10-245 and applies it; the fade
        // base is saved and blackened (level 0) when darken.
        std::function<bool(const char* name, bool darken)> loadPalette;
        std::function<void(int x, int y, std::string_view ch, int height)> drawGlyph;
        // The view's screen state (3 the world map, 4 a scene picture).
        std::function<void(int state)> setScreenState;
    };

    enum SlotKind : int { kEmpty = 0, kStanding = 1, kRising = 2, kSinking = 3 };
    struct Slot {
        int kind = kEmpty;
        int x = 0, y = 0, flag = 0, step = 0;
    };
    static constexpr int kSlots = 32;
    static constexpr int kRiseSteps = 28;

    void SetPictures(CDib* target, CDib* map, CDib* work, CDib* sheet)
    {
        m_target = target, m_map = map, m_work = work, m_sheet = sheet;
    }
    void SetView(ViewLink link) { m_view = std::move(link); }
    void SetCampaign(const CAMPAIGNSTRUCT* record) { m_pRecord = record; }

    uint32_t Flags() const { return m_dwFlags; }
    void SetFlags(uint32_t flags) { m_dwFlags = flags; }
    const Slot& SlotAt(int i) const { return m_slots[static_cast<size_t>(i)]; }
    bool FrameShown() const { return m_bFrame; }
    const std::array<int32_t, 4>& Frame() const { return m_frame; }
    void SetLoopRunning(bool running) { m_bLoop = running; }

    // Paints the map into the target; true while a slot animates.
    bool Paint(bool skip);
    // The map set up for a scenario (-1: none): slots, frame and flags.
    void SetupForScenario(int scenario);
    // Centres the view on a map point (convert false: already a scroll position).
    void Centre(int x, int y, bool convert);
    // The first city within 2 pixels of a map point, or -1.
    static int CityAt(int x, int y);
    // Shades rect of dst with the shade tile, in phase with the map's 16-pixel grid.
    void Shade(CDib* dst, int left, int top, int right, int bottom) const;
    // A flag of the flag sheet "flags.pxs" (21 x 16) into dst.
    static void DrawFlag(CDib* flags, CDib* dst, int x, int y, int flag);

    // SceneStage.
    bool Redraw(bool skip) override;
    void CentreOn(int x, int y) override { Centre(x, y, true); }
    bool StartScroll(int x, int y) override;
    bool ScrollStep(bool skip) override;
    void ShowFrame(const int32_t* rect) override;
    void HideFrame() override;
    bool StartClosingFrame(const int32_t* rect, int step, bool prerender) override;
    bool FrameStep(bool skip) override;
    void StandFlag(int slot, int x, int y, int flag) override;
    void ClearSlot(int slot) override;
    void RaiseFlag(int slot, int x, int y, int flag) override;
    void SinkFlag(int slot) override;
    void ShowLiveMap() override;
    void Prerender() override;
    void MarkScenario(int x, int y, int result) override;
    bool StartDot(int fromX, int fromY, int toX, int toY) override;
    bool DotStep(bool skip) override;
    void ShowPicture(const char* picture, const char* palette) override;
    void BackToMap() override;
    void DrawGlyph(int x, int y, std::string_view ch, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    int ScrollY() const override;
    void ClearText() override {}

private:
    void DrawCities();
    void DrawPole(CDib* dst, int x, int y, int clipRows, int lowered);
    void DrawSlotFlag(CDib* dst, int x, int y, int flag, int lowered, int rows);
    void ShadeOutside(CDib* dst, const std::array<int32_t, 4>& r);
    void Show();
    // One step of a move of 10 pixels along the angle towards (tx, ty).
    static bool MoveStep(double& x, double& y, double tx, double ty);

    CDib* m_target = nullptr;
    CDib* m_map = nullptr;
    CDib* m_work = nullptr;
    CDib* m_sheet = nullptr;
    ViewLink m_view;
    const CAMPAIGNSTRUCT* m_pRecord = nullptr;

    uint32_t m_dwFlags = kSceneCityFlags;
    std::array<Slot, kSlots> m_slots{};
    bool m_bFrame = false;
    bool m_bLoop = false;
    std::array<int32_t, 4> m_frame{-1, 0, 0, 0};
    std::array<int32_t, 4> m_target4{-1, 0, 0, 0};
    int m_nDistance = 0;
    int m_nStep = 0;
    // Smooth scroll and the travelling dot.
    double m_sx = 0, m_sy = 0, m_tx = 0, m_ty = 0;
    double m_dx = 0, m_dy = 0, m_dtx = 0, m_dty = 0;
    // The map's scroll position while a scene picture stands.
    PointI m_keptScroll{0, 0};
};

}  // namespace zrv
