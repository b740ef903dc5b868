#pragma once
// The menu's scene scripts: arrays of 32-bit words, an opcode followed by its
// arguments, that play the result of a campaign scenario, the briefing of
// the next one and the endings on the world map. SceneEngine runs one script
// as a state machine: Pump executes opcodes until one starts a wait, the
// view's timer ticks (OnTimer) and clicks (OnClick) end waits, and a close
// request (OnClose) ends the script with 1. What the opcodes draw is the
// SceneStage's; timers, sounds, fades and the menus are the SceneHost's.
// Nothing here waits: the window side's nested loop feeds the events.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "foundation/GameRecords.h"
#include "foundation/LibraryRecords.h"

namespace zrv {

// Timer ids of the scenes and their steps.
enum SceneTimer : int {
    kTimerCredits = 10,
    kTimerScroll = 11,
    kTimerWait = 12,
    kTimerFadeDown = 13,
    kTimerFadeUp = 14,
    kTimerFlags = 15,
    kTimerFrame = 16,
    kTimerFadeDownSlow = 17,
    kTimerFadeUpSlow = 18,
    kTimerOutcomeText = 19,
    kTimerBriefingText = 21,
    kTimerDot = 22,
    kTimerLogoIn = 26,
    kTimerLogoOut = 27,
    kTimerLogoHold = 28,
    kTimerEndingText = 29,
    kTimerSummaryText = 30,
};

// Timer periods in milliseconds.
inline constexpr int kSceneTickMs = 50;
inline constexpr int kScrollTickMs = 100;

// What the scenes ask of the program: timers (one pending at a time), sound
// effects, the fade of colours 10-245 from a saved base, the menus, and a
// cosmetic random number generator of their own.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    virtual bool StartTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;
    virtual void PlayEffect(int effect) = 0;
    // The current palette becomes the base the fades work from.
    virtual void SaveFadeBase() = 0;
    // Colours 10-245 at level 0..256 of the base towards black, applied.
    virtual void ApplyFadeLevel(int level) = 0;
    // Greys (or enables) the five top-level menus and sets the frame's lock.
    virtual void LockMenus(bool locked) = 0;
    // A cosmetic random number in lo..hi.
    virtual int Random(int lo, int hi) = 0;
};

// The drawing side of the opcodes: the world map, its frame and flags, the
// text writers and the scene pictures. The defaults draw nothing, so a stage
// without pictures still plays every script through.
class SceneStage {
public:
    virtual ~SceneStage() = default;
    // Paints the map (skip: every animation completes) and shows it; true
    // while a flag still moves.
    virtual bool Redraw(bool skip)
    {
        (void)skip;
        return false;
    }
    virtual void CentreOn(int x, int y) { (void)x, (void)y; }
    // Smooth scroll towards a map point: false when already there.
    virtual bool StartScroll(int x, int y)
    {
        (void)x, (void)y;
        return false;
    }
    // One scroll tick (10 px); true once arrived. skip: arrive at once.
    virtual bool ScrollStep(bool skip)
    {
        (void)skip;
        return true;
    }
    // The frame on rect (null: the one shown last), drawn from the live map.
    virtual void ShowFrame(const int32_t* rect) { (void)rect; }
    virtual void HideFrame() {}
    // A closing frame onto rect (null: the last), after prerender when asked;
    // false when there is no gap to close.
    virtual bool StartClosingFrame(const int32_t* rect, int step, bool prerender)
    {
        (void)rect, (void)step, (void)prerender;
        return false;
    }
    // One step of the closing frame; true when it is done.
    virtual bool FrameStep(bool skip)
    {
        (void)skip;
        return true;
    }
    // Flag slots 0..31.
    virtual void StandFlag(int slot, int x, int y, int flag) { (void)slot, (void)x, (void)y, (void)flag; }
    virtual void ClearSlot(int slot) { (void)slot; }
    virtual void RaiseFlag(int slot, int x, int y, int flag) { (void)slot, (void)x, (void)y, (void)flag; }
    virtual void SinkFlag(int slot) { (void)slot; }
    // Live map with the cities in depth order, every slot emptied.
    virtual void ShowLiveMap() {}
    virtual void Prerender() {}
    // A scenario marker of a result at a map point (into the prerendered map).
    virtual void MarkScenario(int x, int y, int result) { (void)x, (void)y, (void)result; }
    // The travelling dot: start (false when there is nothing to travel) and one tick.
    virtual bool StartDot(int fromX, int fromY, int toX, int toY)
    {
        (void)fromX, (void)fromY, (void)toX, (void)toY;
        return false;
    }
    virtual bool DotStep(bool skip)
    {
        (void)skip;
        return true;
    }
    // A scene picture with its palette (names may be empty); the palette
    // becomes the fade base, blackened.
    virtual void ShowPicture(const char* picture, const char* palette) { (void)picture, (void)palette; }
    // Back to the map after the ending pictures (clear, "Menu.PLB", blackened).
    virtual void BackToMap() {}
    // A glyph of the text writers: one character (1 or 2 CP932 bytes) at a
    // view point, in the bold gothic font of that height.
    virtual void DrawGlyph(int x, int y, std::string_view ch, int height) { (void)x, (void)y, (void)ch, (void)height; }
    // The view's client size.
    virtual int ClientWidth() const { return 640; }
    virtual int ClientHeight() const { return 480; }
    // The view's vertical scroll position on the map.
    virtual int ScrollY() const { return 0; }
    // The page of text shown so far is taken away (the map redrawn under it).
    virtual void ClearText() {}
};

// A text written character by character: segments of text, each at its own
// origin with its own cell, pitch, font height and line width.
class SceneText {
public:
    struct Segment {
        std::string text;  // CP932
        int x = 0, y = 0;
        int cell = 20, pitch = 30, height = 20;
        int width = 0;      // cells per line; 0: no limit
        int lastLine = -1;  // the page ends after this line; -1: no limit
    };
    enum class Step { Char, Break, PageEnd, Done };

    void Start(std::vector<Segment> segments);
    void Clear() { Start({}); }
    // One character (drawn through stage) or one line break.
    Step Next(SceneStage& stage);
    // A new page: line and column back to 0 in the current segment.
    void NewPage();
    bool Remaining() const;

    // Whether ch (at the front of rest) may stand one cell past the width.
    static bool MayHang(std::string_view rest);
    // Bytes of the character at the front of text (a lead byte takes two).
    static size_t CharLength(std::string_view text);

private:
    std::vector<Segment> m_segments;
    size_t m_segment = 0;
    size_t m_pos = 0;
    int m_line = 0, m_col = 0;
};

class SceneEngine {
public:
    // Flag bits of the engine.
    static constexpr uint32_t kRunning = 0x800;

    SceneEngine(SceneHost& host, SceneStage& stage) : m_host(host), m_stage(stage) {}

    // What the scripts read: the campaign record (its city and nation values
    // change through opcode 34), the scenario the scene is about and the
    // outcome branch of the finished one (0..2; -1 none).
    void SetCampaign(CAMPAIGNSTRUCT* record) { m_pRecord = record; }
    void SetScenario(int scenario) { m_nScenario = scenario; }
    void SetOutcome(int outcome) { m_nOutcome = outcome; }
    // The ending pictures the picture opcodes show, in order.
    void SetPictures(std::span<const ENDINGPICTURE> pictures) { m_pictures = pictures; }
    int PictureCounter() const { return m_nPicture; }

    // Starts a script; false (result 0) for one that is empty.
    bool Begin(std::span<const int32_t> script);
    // Executes opcodes while no wait is pending.
    void Pump();
    void OnTimer(int id);
    void OnClick();
    // A close request: the script ends with 1, the close is not carried out.
    void OnClose();

    bool Running() const { return (m_dwFlags & kRunning) != 0; }
    bool WaitPending() const { return m_bWaitPending; }
    bool ClickWait() const { return m_bClickWait; }
    int PendingTimer() const { return m_nTimer; }
    int Result() const { return m_nResult; }
    int FadeLevel() const { return m_nLevel; }
    size_t Position() const { return m_pos; }

    // The length of a script up to and including its ending opcode 0,
    // following the argument counts (jumps are not followed).
    static size_t ScriptLength(std::span<const int32_t> words);
    // The words of a script given by its first word only, up to its ending 0.
    static std::vector<int32_t> ScriptFrom(const int32_t* first);
    // The number of words opcode op takes at words[pos] (the opcode included).
    static size_t OpLength(std::span<const int32_t> words, size_t pos);

private:
    void Exec();
    void End(int result);
    bool Wait(int id, int periodMs);
    void TimerStep(bool skip);
    void FadeTo(int from, int to, int step, int id);
    void StartWriter(int id);
    void Ending();
    void LoadOutcomeText();
    void StartBriefingText();
    void StartEndingText();
    void PlaceSummary();
    void ApplyChanges();
    const SCNRBASESTRUCT* Scenario(int index) const;
    bool CountryActs(uint32_t word, int country) const;
    void RiseAtStart(int country, int flag);

    SceneHost& m_host;
    SceneStage& m_stage;
    CAMPAIGNSTRUCT* m_pRecord = nullptr;
    int m_nScenario = -1;
    int m_nOutcome = -1;
    std::span<const ENDINGPICTURE> m_pictures;

    std::vector<int32_t> m_script;
    size_t m_pos = 0;
    uint32_t m_dwFlags = 0;
    int m_nResult = 0;
    bool m_bSkip = false;
    bool m_bClickWait = false;
    bool m_bWaitPending = false;
    bool m_bNoClickSkip = false;
    int m_nTimer = 0;
    int m_nCounter = 0;

    // Fades: the level now (256 = the colours themselves), target and step.
    int m_nLevel = 256;
    int m_nFadeTarget = 0;
    int m_nFadeStep = 0;

    int m_nRemembered = -1;  // the country opcode 24 started an animation for
    // The scenario loop.
    bool m_bLoop = false;
    int m_nLoopCount = 0;
    int m_nLoopCurrent = -1, m_nLoopPrevious = -1;
    int m_nLoopResult = 0;

    SceneText m_text;
    int m_nTextStage = 0;
    int m_nPicture = 0;
};

// The constant scripts of the menu program.
std::span<const int32_t> ResultScript();
std::span<const int32_t> BriefingScript();

}  // namespace zrv
