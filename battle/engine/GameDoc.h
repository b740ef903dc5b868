#pragma once
// The battle document: the whole game state of a battle and the live per-hex
// arrays the rules and the view work on, the option words the menus toggle,
// the computer player's work areas, the game's random generator, and the
// notifications to the map view.
//
// It is a plain object on the heap (about 780 KB: the arrays are embedded),
// passed by reference to whoever works on it; no global pointer reaches it.
// It never draws, plays or opens a window: it talks to the view through
// GameDocView, asks questions through the dialog service, and has the
// computer player's orders carried out through the order executor.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "battle/engine/CpuSeams.h"
#include "battle/engine/GameTime.h"
#include "battle/engine/GameView.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRules.h"
#include "foundation/GameRecords.h"
#include "platform/core/Text.h"

namespace zrv {

class HandOverLink;
class RecentFileList;
struct FireThreat;

// --- option and flag bits ---------------------------------------------------

// Game option word (m_dwGameOption).
inline constexpr uint32_t kOptSearchLevelMask = 0x0C000000u;
inline constexpr uint32_t kOptCurrentFog = 0x02000000u;  // the current country plays with fog of war
inline constexpr uint32_t kOptMultiPlay = 0x00100000u;
inline constexpr uint32_t kOptNoCapitalBoxes = 0x00080000u;
inline constexpr uint32_t kOptNoReturnToTitle = 0x00040000u;
inline constexpr uint32_t kOptHistoryEvents = 0x00000080u;
inline constexpr uint32_t kOptWeatherRecord = 0x00000040u;   // weather lines in the weather record
inline constexpr uint32_t kOptForceJudgement = 0x00010000u;  // judge after the current phase
inline constexpr uint32_t kOptAutoSaveEach = 0x00400000u;    // an automatic save per country and turn
inline constexpr uint32_t kOptAutoSaveCpu = 0x00800000u;     // automatic saves of computer phases
inline constexpr uint32_t kOptFullAutoRunning = 0x00000010u;

// Search (fog-of-war) levels, stored in option bits 26-27: bit 27 fogs the
// computer-run countries, bit 26 the human ones.
inline constexpr uint32_t kSearchLevelEasy = 0x00000000u;    // 初級: nobody fogged
inline constexpr uint32_t kSearchLevelNormal = 0x0C000000u;  // 中級: everybody
inline constexpr uint32_t kSearchLevelHard = 0x04000000u;    // 上級: humans only

// State flag word (GAMEDATASTRUCT::dwStateFlag).
inline constexpr uint32_t kStateWeather = 0x40000000u;
inline constexpr uint32_t kStateSnowSeason = 0x20000000u;
inline constexpr uint32_t kStateDayNight = 0x10000000u;
inline constexpr uint32_t kStateFlagAtStart = kStateWeather | kStateDayNight;

// Country flag word (COUNTRYSTRUCT::dwFlag).
inline constexpr uint32_t kCountryCpu = 0x40000000u;
inline constexpr uint32_t kCountryConfirmWindow = 0x08000000u;
inline constexpr uint32_t kCountryFog = 0x00010000u;
inline constexpr uint32_t kCountryHideReserve = 0x00000008u;
inline constexpr uint32_t kCountryCounterModeMask = 0x00000007u;

// Computer-turn flags (m_dwCpuFlags) the engine sets.
inline constexpr uint32_t kCpuFlagSearchFound = 0x02000000u;
inline constexpr uint32_t kCpuFlagBaseLeft = 0x01000000u;
inline constexpr uint32_t kCpuFlagRestartTurn = 0x00800000u;

// Initial playable area of a new document (columns and rows, inclusive).
inline constexpr MapRect kDefaultMapArea = {35, 35, 96, 96};

// --- computer player's work areas --------------------------------------------

// Lists of the computer player; every list ends with -1. The engine fills
// the enemy-country list; the computer player owns the rest.
struct CpuWorkLists {
    int32_t nEnemy[8];           // present countries of the other side
    int32_t nHexList[6][92];     // candidate hex lists (91 hexes within 5 rings + end)
    int32_t nUnitList[2][65];    // unit lists (64 slots + end)
    int32_t nClassList[63];      // one entry per unit class
    uint8_t byCommandArea[512];  // used by the command and mouse code
};

// --- free functions of the document's rules ----------------------------------

// Writes the indexes of the present countries on the side opposite to
// country's (side xor 1) into out, ended by -1; returns how many. Never writes
// more than out.size() - 1 indexes.
int ListEnemyCountries(const GAMEDATASTRUCT& game, int country, std::span<int32_t> out);

// The base form of a weather value: the heavier forms 4 and 5 fold to 2 and 3.
constexpr int FoldWeather(int weather)
{
    return weather == 4 ? 2 : weather == 5 ? 3 : weather;
}

// The turn by which a great victory must be won: the header's deadline, one
// later once a campaign has history.
int GetBigVictoryDeadline(const GAMEDATASTRUCT& game);

// --- rules that land with later work ----------------------------------------
// Members below forward to rules that are built elsewhere; until they are,
// each returns the code scripted for it (0 unless set) and counts its calls,
// so the commands and their tests can already run.
enum class DocStub : int {
    CheckRecall,
    CheckDive,
    CheckSurface,
    GetWaterMoveSound,
    GetDurabilityIncreaseLimit,
    IsUnitUnseenByEnemy,
    SearchFromUnit,
    CheckConstruction,
    CheckMarch,
    CheckUnloadHex,
    CheckBombing,
    ChooseCounterWeapons,
    CheckAttackFromHex,
    CheckOccupy,
    CheckMerge,
    CheckJettison,
    CheckArmsChange,
    CheckEvolution,
    CheckMove,
    CheckResupply,
    CheckHexSupply,
    CheckReplenish,
    CheckImprovement,
    TestHexWeatherThreshold,  // counted only: the weather rules answer
    CapitalSearch,  // the capital search of RelocateCapital
    SurrenderCountry,
    RemoveCountryFromPlay,
    ApplyWeather,     // counted only: the terrain weather is re-applied after 天候 / 昼夜
    RefreshGameFlow,  // the game-flow services' recomputation after 天候 / 昼夜
    RecomputeSight,
    RunMenuProgram,
    // Game-flow services, judgement and scenario end.
    StepJudgement,
    WriteCampaignResult,
    CheckUnitPositions,
    GetCountryIncome,
    ChangeCountrySide,
    JudgeGame,
    PlayCountrySideSound,
    UpdateViewingCountry,
    // Unit rules and the order back-ends the phase steps use.
    EndUnitAction,
    LoseUnitForFuel,
    SurfaceOrSink,
    LoseUnit,
    // Development offers and retirements: the type found (0: none).
    NextNewWeapon,
    NextRetiredWeapon,
    AdoptWeaponPaid,
    AdoptWeaponFree,
    RejectWeapon,
    RetireWeapon,
    FindAvailableListEntry,
    Count
};

// --- command model ------------------------------------------------------------

// Command ids of the document's menu.
enum DocCommand : int {
    ID_GAME_WEATHER = 32789,
    ID_OPT_CONFIRM_WINDOW = 32799,
    ID_OPT_ERROR_MESSAGES = 32824,
    ID_OPT_SPEC_ARMS_FULL = 32831,
    ID_OPT_EVOLUTION_OWN = 32832,
    ID_OPT_AA_FIRE_CHOICE = 32834,
    ID_SEARCH_EASY = 32843,
    ID_SEARCH_NORMAL = 32844,
    ID_SEARCH_HARD = 32845,
    ID_OPT_NEXT_UNIT_POINTER = 32856,
    ID_COUNTER_AUTO = 32873,
    ID_COUNTER_STRENGTH = 32874,
    ID_COUNTER_PRIORITY = 32875,
    ID_COUNTER_MANUAL = 32876,
    ID_COUNTER_NONE = 32877,
    ID_SHOW_RESERVE_UNITS = 32878,
    ID_COUNTRY_CONTROL = 32892,
    ID_SURRENDER = 32895,
    ID_RETURN_TO_TITLE = 32901,
    ID_NO_RETURN_TO_TITLE = 32908,
    ID_CHANGE_PASSWORD = 32909,
    ID_GAME_DAYNIGHT = 32922,
    ID_BIG_VICTORY_TURNS = 32935,
    ID_WEATHER_FORECAST = 32937,
    ID_HISTORY_EVENTS = 32938,
    ID_CAMPAIGN_RESUME = 32862,
    ID_FILE_NEW_SCENARIO = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57604,
};

// What a menu shows for a command.
struct CommandState {
    bool enabled = false;
    bool checked = false;
    bool radio = false;  // the check is a radio mark
};

class CZRKGameDoc {
public:
    // Seeds the game generator from the clock (the owner may seed it again);
    // a null clock is the system clock.
    explicit CZRKGameDoc(const GameClock* clock = nullptr);
    ~CZRKGameDoc();
    CZRKGameDoc(const CZRKGameDoc&) = delete;
    CZRKGameDoc& operator=(const CZRKGameDoc&) = delete;

    // --- seams (none owned; null goes back to the built-in stand-in) --------
    void SetView(GameDocView* view);
    GameDocView& View() const { return *m_pView; }
    void SetOrderExecutor(OrderExecutor* executor);
    void SetCpuTurnStep(CpuTurnStep* step);
    // The application's copy of the turn state, kept in step with nFlowState.
    void SetFlowStateMirror(std::function<void(int)> mirror) { m_flowMirror = std::move(mirror); }
    GameRandom& Random() { return m_Random; }
    const GameClock& Clock() const { return *m_pClock; }

    // --- state --------------------------------------------------------------
    MapRect m_rcMapArea;
    int32_t m_nNextFlowState;
    int64_t m_timePhaseStart = 0;  // seconds since the epoch
    uint32_t m_dwGameOption;
    uint32_t m_dwLaunchOption;
    uint32_t m_dwCpuFlags = 0;
    int32_t m_nCpuStep = 0;
    int32_t m_nCpuCounter[3] = {};
    COUNTRYSTRUCT* m_pCurCountry;
    COUNTRYSTRUCT* m_pViewCountry;
    std::string m_strGameFile;  // CP932 path, empty for a new game
    // Whether the game has changed since it was last written or loaded: set
    // when a game starts, a turn advances, a unit order runs or a document
    // command changes the state; cleared by a whole save and by a load.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
    bool m_bModified = false;
    // Orders whose back-end went through since the document was made; the
    // computer player tells a pass that ordered something from one that did
    // not by it.
    uint32_t OrdersDone() const { return m_nOrdersDone; }
    void CountOrderDone()
    {
        ++m_nOrdersDone;
        SetModifiedFlag();
    }
    uint32_t m_nOrdersDone = 0;

    MAPCELL m_dwHexCell[kHexCount];
    UnitRef m_dwHexUnit[kHexCount];
    uint32_t m_dwHexSearch[kHexCount];
    uint32_t m_dwHexMove[kHexCount];
    uint32_t m_dwHexWork1[kHexCount];
    uint32_t m_dwHexMark[kHexCount];
    uint32_t m_dwHexCpu[kHexCount];
    CpuWorkLists m_CpuWork;
    // Set by each computer turn's set-up for the routines of that turn, by
    // country index: the capture score (5 per city the country could still
    // take, capped by its unit limit; half of it bounds the class-30
    // strength the computer keeps) and the distance from its capital to the
    // nearest ground unit of its side (32767 none). Not part of a saved game.
    int32_t m_nCpuCaptureScore[kCountryCount] = {};
    int32_t m_nCpuCapitalGuard[kCountryCount] = {};

    GAMEDATASTRUCT m_GameData;
    int32_t m_nCityName;
    CITYNAMESTRUCT m_CityName[kCityNameCount];

    // --- notifications ------------------------------------------------------
    // Codes 0-20 with a number (codes 3, 8 and 9 take a unit: use the other
    // overload). Returns 0, or -1 for code 6 when the view could not show the
    // hex. Codes outside 0..20 do nothing.
    int NotifyView(int code, int param = 0);
    // Codes 3, 8 and 9 for a unit; other codes do nothing.
    int NotifyView(int code, UNITSTRUCT* unit);

    // --- turn state ---------------------------------------------------------
    // nFlowState and the application's copy := m_nNextFlowState.
    void CommitTurnState();
    // nFlowState and the application's copy := state.
    void SetFlowState(int state);
    // The country whose phase it is; a negative or unknown index means none.
    void SetCurrentCountry(int index);
    // Ends the current country's phase (state 5); with confirm it asks first
    // and returns 0 on Cancel. Returns 1 when the phase ended.
    int EndActionPhase(bool confirm);
    int GetWeatherIfEnabled() const;
    int IsSnowSeason() const;
    int TestHexWeatherThreshold(MAPCELL cell);

    // --- map and cities -----------------------------------------------------
    const CITYNAMESTRUCT* FindCityName(HEXINDEX hex) const;
    // The saved cell keeps its terrain (bits 0-6) and takes the rest from the
    // live cell. A hex off the map is ignored.
    void StoreHexCell(HEXINDEX hex);
    // -1 when the unit's hex is off the map; else the live cell of its hex,
    // also copied into the unit.
    int64_t RefreshUnitHexCell(UNITSTRUCT& unit);
    // 1 when hex lies in columns left - 1 .. right and rows top - 1 .. bottom
    // of the playable area.
    int IsHexInMapArea(HEXINDEX hex) const;
    // A unit of a country by reference, or null when the reference names no
    // unit slot.
    UNITSTRUCT* GetUnit(UnitRef ref);

    // --- view and phase -----------------------------------------------------
    void SetPhaseCommandState(bool enable, bool human);
    void RefreshStatusStrip();

    // --- countries ------------------------------------------------------------
    void AnnounceCapitalMove(const COUNTRYSTRUCT& country, HEXINDEX oldHex);
    void UnitLeftHex(UNITSTRUCT& unit);
    int RelocateCapital(COUNTRYSTRUCT& country, HEXINDEX lostHex);
    void ApplyCampaignLevel(COUNTRYSTRUCT& country);
    // Sets a search level: clears the coverage map, stores the level and sets
    // each present country's fog flag from it, then rebuilds the sight.
    // Refused in a multi-play game.
    void SetSearchLevel(uint32_t level);
    UNITSTRUCT* FindFirstReserveUnit();
    // 1 when the surrender ends the game (Judgement.cpp).
    int SurrenderCountry(int country);
    // Every country of mask without a unit left surrenders; returns their
    // mask, with bit 31 when one of the surrenders ends the game.
    uint32_t SurrenderUnitlessCountries(uint32_t mask);
    // Takes a surrendered country's units off the map.
    void RemoveCountryFromPlay(int country);

    // --- computer player ----------------------------------------------------
    int ExecuteCpuAction(int action, UNITSTRUCT& unit, int argument);
    int CpuMoveUnitToward(UNITSTRUCT& unit, HEXINDEX target, const CpuMoveFlags& flags = kPlainMoveFlags);
    void RunCpuTurnStep();
    // Clears unit flag bit 2 of every in-use unit of the 8 countries.
    void ClearUnitFlag4();
    // Forgets the per-country values of the last computer turn (a new or
    // loaded game starts without them).
    void ResetCpuTurnScores();

    // --- forwarding members (stubs until their rules land) ------------------
    int CheckRecall(UNITSTRUCT& unit);
    int CheckDive(UNITSTRUCT& unit);
    int CheckSurface(UNITSTRUCT& unit);
    int GetWaterMoveSound(UNITSTRUCT& unit, HEXINDEX from, HEXINDEX to);
    int GetDurabilityIncreaseLimit(UNITSTRUCT& unit);
    int IsUnitUnseenByEnemy(UNITSTRUCT& unit);
    int SearchFromUnit(UNITSTRUCT& unit, std::span<const HEXINDEX> hexes);
    int CheckConstruction(UNITSTRUCT& unit, int kind);
    int CheckMarch(UNITSTRUCT& unit);
    int CheckUnloadHex(UNITSTRUCT& unit, HEXINDEX hex);
    int CheckBombing(UNITSTRUCT& unit, HEXINDEX hex, bool airRequired);
    int ChooseCounterWeapons(UNITSTRUCT& shooter, UNITSTRUCT& target);
    int CheckAttackFromHex(UNITSTRUCT& unit, HEXINDEX hex);
    int CheckOccupy(UNITSTRUCT& unit);
    int CheckMerge(UNITSTRUCT& unit);
    int CheckJettison(UNITSTRUCT& unit);
    int CheckArmsChange(UNITSTRUCT& unit);
    int CheckEvolution(UNITSTRUCT& unit);
    int CheckMove(UNITSTRUCT& unit);
    int CheckResupply(UNITSTRUCT& unit);
    int CheckHexSupply(UNITSTRUCT& unit);
    int CheckReplenish(UNITSTRUCT& unit);
    int CheckImprovement(UNITSTRUCT& unit);
    // Things the commands start that land with later work.
    void ApplyWeather();
    void RefreshGameFlow();
    void RecomputeSight(HEXINDEX centre, bool redraw);
    void RunMenuProgram(int command, int param);

    // The decisions of other rule files that the move area and the route walk
    // use (close fire, boarding, hex supply, occupation); tests may replace
    // them, and an empty decision answers no.
    MoveRules m_MoveRules = StandardMoveRules();

    // Scripted results and call counts of the stubs above.
    // A scripted result replaces the rule of a member that has one.
    void SetStubResult(DocStub stub, int result)
    {
        m_nStubResult[static_cast<int>(stub)] = result;
        m_bStubScripted[static_cast<int>(stub)] = true;
    }
    bool IsStubScripted(DocStub stub) const { return m_bStubScripted[static_cast<int>(stub)]; }
    int StubCalls(DocStub stub) const { return m_nStubCalls[static_cast<int>(stub)]; }
    // The hex the capital search moves the capital to when it succeeds
    // (kNoHex: the capital stays where it is).
    HEXINDEX m_nStubCapitalHex = kNoHex;
    // What the hand-back stub was last asked: command and argument.
    int m_nStubMenuCommand = -1;
    int m_nStubMenuParam = -1;
    // Text-record lines appended this session, in order.
    std::vector<std::string> m_StubRecords;

    // --- game-flow services (stubs until their rules land) ------------------
    int StepJudgement();
    // Scenario end: the campaign record for the menu program (Judgement.cpp).
    uint32_t WriteCampaignResult();
    // Moves the player's marked units into the carry-over pool, resupplied
    // for the time until the next scenario; returns that scenario's start.
    uint32_t CarryOverPlayerUnits(int player, int next, std::string& nameOut);
    int GetVictoryFunds(int country, int outcome);
    int CheckUnitPositions();
    // Production and deployment for the current country (GameFlow.cpp): 0
    // or the error code. Output lists (empty: not wanted) end with -1.
    int CheckProductionPossible(COUNTRYSTRUCT& country);
    int CheckProductionKind(int kind, std::span<const HEXINDEX> hexes, std::span<int32_t> typesOut,
                            std::span<HEXINDEX> hexesOut);
    int CheckDeploymentPossible();
    int CheckDeploymentKind(int kind, std::span<const HEXINDEX> hexes, std::span<int32_t> unitsOut,
                            std::span<HEXINDEX> hexesOut);
    int FilterPlacementHexes(int kind, std::span<const HEXINDEX> hexes, std::span<HEXINDEX> out);
    // The units the full-automatic commands act on, in slot order (supply:
    // by its key, largest first), ended by null; 1 when any. An empty out
    // only asks whether there is one.
    int ListAutoMoveUnits(std::span<UNITSTRUCT*> out);
    int ListAutoConstructionUnits(std::span<UNITSTRUCT*> out);
    int ListAutoCaptureUnits(std::span<UNITSTRUCT*> out);
    int ListAutoSupplyUnits(std::span<UNITSTRUCT*> out);
    int ListAutoUnits(uint32_t countryBit, std::span<UNITSTRUCT*> out,
                      const std::function<bool(UNITSTRUCT&)>& qualifies);
    // The hidden neighbour that would hurt unit most if it stood at hex (its
    // chosen weapon group in its nCpuScore), or null.
    UNITSTRUCT* FindDefensiveFireUnit(UNITSTRUCT& unit, HEXINDEX hex);
    // Enemy units that can fire weapons of the flag class at target (at most
    // 8, by firing order); none while the enemy cannot see the target.
    int ListSupportFireUnits(UNITSTRUCT& target, uint32_t weaponFlags, std::span<FireThreat> out);
    int GetCountryIncome(COUNTRYSTRUCT& country);
    void ChangeCountrySide(int country, int side, bool message);
    int JudgeGame();
    void PlayCountrySideSound(COUNTRYSTRUCT& country);
    // Chooses the viewing country (keep: the one chosen stays) and the
    // blanking of the map during a computer phase.
    void UpdateViewingCountry(bool redraw, bool keep = false);
    // Text record and weather record of play (GameFlow.cpp): each text is
    // appended to its file in the data folder as given, and kept in
    // m_StubRecords for the tests.
    void AppendGameRecord(std::string_view text);
    void AppendWeatherRecord(std::string_view text, bool suffix = false);
    // The weather line of the current step, to the weather record.
    void AppendWeatherLine(bool suffix);
    // "*** scenario ***  time" to the weather record.
    void WriteWeatherHeading(bool suffix);
    // "*** title (Turn n) ***  time" at the start or load of a game.
    void WriteRecordHeading(std::string_view title, bool withTurn);

    // --- unit rules and back-ends the steps use (stubs) ---------------------
    int EndUnitAction(UNITSTRUCT& unit);
    int LoseUnitForFuel(UNITSTRUCT& unit);
    int SurfaceOrSink(UNITSTRUCT& unit);
    int LoseUnit(UNITSTRUCT& unit);
    int NextNewWeapon(COUNTRYSTRUCT& country);
    int NextRetiredWeapon(COUNTRYSTRUCT& country);
    void AdoptWeapon(COUNTRYSTRUCT& country, int type, bool pay);
    void RejectWeapon(COUNTRYSTRUCT& country, int type);
    void RetireWeapon(COUNTRYSTRUCT& country, int type);
    int FindAvailableListEntry(COUNTRYSTRUCT& country, int cls);

    // --- calendar and weather (Weather.cpp) ---------------------------------
    void StepNewTurn();
    // 1 when the snow season began or ended.
    int UpdateSnowSeason();
    // 1 when the map (or the terrain picture set) changed.
    int ApplyTerrainWeather(bool allowFlooding);
    void SyncSavedMap();
    void DrownUnits();

    // --- country phase steps (PhaseSteps.cpp) -------------------------------
    int StepPhaseOpening();
    int StepCountryStart();
    int StepNewWeapons();
    int StepWeaponListUpdate();
    int StepReinforcements();
    int StepMarchOrders();
    void StepEndPhase();
    int StepHistory();
    int StepHandOverSave();
    void ShowCurrentCountryView();
    int AutoSave();
    // Writes the game to path (CP932; empty: asks for one) with the option
    // word in it and takes the save cost; false (the writer has said why,
    // nothing was charged) when it could not (GameFileCommands.cpp).
    bool SaveGame(std::string_view path);
    // Writes a campaign record to a .DC2 (empty path: asks for one); no cost.
    bool WriteCampaignFile(std::string_view path, const CAMPAIGNSTRUCT& record);
    // The file commands that choose a file and start from it.
    void RunNewScenarioCommand();
    void RunLoadCommand();
    void RunCampaignResumeCommand();
    // The recent-file list that game files opened and saved go into (not
    // owned; null: none), and the command that opens its entry index: an
    // entry whose file is gone is said so and leaves the list.
    void SetRecentFiles(RecentFileList* list) { m_pRecentFiles = list; }
    RecentFileList* RecentFiles() const { return m_pRecentFiles; }
    void RunRecentFileCommand(int index);
    // The save command: refused with a box when the funds do not cover the cost.
    void RunSaveCommand();
    // The multi-play save dialog with its proposed name; false when cancelled.
    bool ChooseMultiSaveFile(std::string& path);
    // The first present country after index (-1: from country 0), or -1.
    int FindNextCountry(int index) const;
    // Whether the capital roll of the end of a phase moves country's capital.
    bool RollCapitalRelocation(const COUNTRYSTRUCT& country);
    // Units of the other side's present countries within reach of country's
    // capital (nearer than 6 hexes).
    int CountEnemyUnitsNearCapital(const COUNTRYSTRUCT& country) const;
    // Whether the hex under the unit is a base it can take fuel at.
    bool CanRefuelWhereItStands(const UNITSTRUCT& unit) const;

    // --- starting a game (GameStart.cpp, HandOverDoc.cpp) ---------------------
    // The hand-over with the menu program (not owned; null: none, and
    // RunMenuProgram only counts its calls).
    void SetHandOver(HandOverLink* link) { m_pHandOver = link; }
    HandOverLink* HandOver() const { return m_pHandOver; }
    // Takes the start command from the hand-over block; returns the command.
    int ReadStartupCommand();
    // Each returns 1 when the new game stands, 0 when the running one was kept.
    int StartNewScenario(std::string_view path, bool fromMenu);
    int StartNewCampaign(std::string_view path);
    int StartCampaignScenario(std::string_view path, const CAMPAIGNSTRUCT* record, int level);
    // image: the block's image area (its 12-byte header, then the state).
    int LoadGameFile(std::string_view path, std::span<const uint8_t> image = {});
    int BuildScenario(std::string_view path, const CAMPAIGNSTRUCT* record, bool fromMenu);
    int LoadGameState(std::string_view path, std::span<const uint8_t> image = {});
    int FixUpAfterLoad();
    int EnterStartPhase();
    void RebuildUnitMap();

    // --- commands -----------------------------------------------------------
    // Every command id of the document.
    static std::span<const int> CommandIds();
    // Whether the document has the command at all.
    static bool HasCommand(int id);
    CommandState GetCommandState(int id) const;
    // Runs the command when it is enabled; false when it is not (or unknown).
    bool RunCommand(int id);

private:
    struct CommandEntry;
    static std::span<const CommandEntry> CommandTable();
    static const CommandEntry* FindCommand(int id);

    int Stub(DocStub stub);
    bool IsHumanCur() const;
    bool RefuseInMultiPlay();
    void ToggleWeatherFlag(uint32_t bit, bool rebuildUnits);
    void ToggleCountryFlag(uint32_t bit);
    void SetCounterMode(int mode);
    void RunCountryControl();
    void RunSurrender();
    void RunReturnToTitle();
    void RunChangePassword();
    void ShowBigVictoryTurns();
    void ShowWeatherForecast();
    void ToggleReserveUnits();

    const GameClock* m_pClock;
    std::unique_ptr<GameClock> m_ownClock;
    GameRandom m_Random;
    GameDocView* m_pView;
    OrderExecutor* m_pExecutor;
    CpuTurnStep* m_pCpuStep;
    RecentFileList* m_pRecentFiles = nullptr;
    std::function<void(int)> m_flowMirror;
    HandOverLink* m_pHandOver = nullptr;
    std::array<int, static_cast<int>(DocStub::Count)> m_nStubResult{};
    std::array<int, static_cast<int>(DocStub::Count)> m_nStubCalls{};
    std::array<bool, static_cast<int>(DocStub::Count)> m_bStubScripted{};
};

// Text of a fixed-size CP932 field of a record, up to its first zero byte or
// its end (a damaged record may fill the field without a terminator).
template <size_t N>
std::string_view FieldText(const char (&field)[N])
{
    size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    return std::string_view(field, n);
}

using platform::CountSjisChars;
using platform::CutSjisText;

// A multi-play password from the password dialog, asked again (with the
// last entry) while the entry is shorter than 3 characters once cut to the
// record's 7 bytes. Cancel ends the question when cancelEnds, else it counts
// as an empty entry; a service that cannot ask ends it, and so does
// mayAsk, asked before each dialog. Nothing when it ended without a password.
std::optional<std::string> AskPassword(std::string_view preset, std::string_view countryName, bool cancelEnds,
                                       const std::function<bool()>& mayAsk = {});
// Tells the player password is registered and keeps it in the country.
void RegisterPassword(COUNTRYSTRUCT& country, std::string_view password);

}  // namespace zrv
