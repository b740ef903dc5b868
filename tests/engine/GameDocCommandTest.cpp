#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "engine/DocFixture.h"
#include "platform/core/Text.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

using Commands = DocFixture;

// Everything a refused command must leave alone.
struct Snapshot {
    explicit Snapshot(const CZRKGameDoc& d)
        : game(std::make_unique<GAMEDATASTRUCT>(d.m_GameData)),
          cells(d.m_dwHexCell, d.m_dwHexCell + kHexCount),
          units(d.m_dwHexUnit, d.m_dwHexUnit + kHexCount),
          search(d.m_dwHexSearch, d.m_dwHexSearch + kHexCount),
          move(d.m_dwHexMove, d.m_dwHexMove + kHexCount),
          work(d.m_dwHexWork1, d.m_dwHexWork1 + kHexCount),
          mark(d.m_dwHexMark, d.m_dwHexMark + kHexCount),
          cpu(d.m_dwHexCpu, d.m_dwHexCpu + kHexCount),
          option(d.m_dwGameOption),
          launch(d.m_dwLaunchOption)
    {
    }
    bool Same(const CZRKGameDoc& d) const
    {
        return std::memcmp(game.get(), &d.m_GameData, sizeof *game) == 0 &&
               std::equal(cells.begin(), cells.end(), d.m_dwHexCell) &&
               std::equal(units.begin(), units.end(), d.m_dwHexUnit) &&
               std::equal(search.begin(), search.end(), d.m_dwHexSearch) &&
               std::equal(move.begin(), move.end(), d.m_dwHexMove) &&
               std::equal(work.begin(), work.end(), d.m_dwHexWork1) &&
               std::equal(mark.begin(), mark.end(), d.m_dwHexMark) &&
               std::equal(cpu.begin(), cpu.end(), d.m_dwHexCpu) && option == d.m_dwGameOption &&
               launch == d.m_dwLaunchOption;
    }
    std::unique_ptr<GAMEDATASTRUCT> game;
    std::vector<MAPCELL> cells;
    std::vector<UnitRef> units;
    std::vector<uint32_t> search, move, work, mark, cpu;
    uint32_t option, launch;
};

TEST_F(Commands, MultiPlayRefusesAndChangesNothing)
{
    const int ids[] = {ID_GAME_WEATHER,       ID_GAME_DAYNIGHT,    ID_COUNTRY_CONTROL, ID_COUNTER_AUTO,
                       ID_COUNTER_STRENGTH,   ID_COUNTER_PRIORITY, ID_COUNTER_MANUAL,  ID_COUNTER_NONE,
                       ID_OPT_AA_FIRE_CHOICE, ID_SEARCH_EASY,      ID_SEARCH_NORMAL,   ID_SEARCH_HARD};
    doc->m_dwGameOption = kOptMultiPlay | kSearchLevelHard;
    doc->m_pCurCountry->dwFlag |= 2;  // counter-attack mode 2, so every mode would change it
    for (int h = 0; h < kHexCount; h += 97) {
        doc->m_dwHexCell[h] = 0x01020304u + h;
        doc->m_dwHexSearch[h] = 0x55u;
    }
    dialogs.QueueCountryControl(kAnswerOk, {});
    for (int id : ids) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(doc->GetCommandState(id).enabled);
        Snapshot before(*doc);
        dialogs.Clear();
        EXPECT_TRUE(doc->RunCommand(id));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_EQ(dialogs.Boxes()[0].text, ErrorText(23));
        EXPECT_TRUE(dialogs.AskedDialogs().empty());
        EXPECT_TRUE(before.Same(*doc));
        EXPECT_EQ(doc->StubCalls(DocStub::RecomputeSight), 0);
    }
}

TEST_F(Commands, SearchLevelsSetFogByController)
{
    struct Level {
        int id;
        uint32_t bits;
        bool fogHuman, fogCpu;
    };
    const Level levels[] = {
        {ID_SEARCH_EASY, kSearchLevelEasy, false, false},
        {ID_SEARCH_NORMAL, kSearchLevelNormal, true, true},
        {ID_SEARCH_HARD, kSearchLevelHard, true, false},
    };
    COUNTRYSTRUCT& human = doc->m_GameData.Country[0];
    COUNTRYSTRUCT& cpu = doc->m_GameData.Country[1];
    COUNTRYSTRUCT& absent = doc->m_GameData.Country[5];
    for (const Level& k : levels) {
        for (bool startFogged : {false, true}) {
            SCOPED_TRACE(testing::Message() << k.id << " from fogged " << startFogged);
            for (COUNTRYSTRUCT* c : {&human, &cpu}) {
                c->dwFlag = startFogged ? (c->dwFlag | kCountryFog) : (c->dwFlag & ~kCountryFog);
            }
            absent.dwFlag = 0;
            doc->m_dwGameOption = 0x00000001u;  // an unrelated bit stays
            EXPECT_TRUE(doc->RunCommand(k.id));
            // The sight rebuild copies the current (human) country's fog bit in.
            EXPECT_EQ(doc->m_dwGameOption, k.bits | 0x00000001u | (k.fogHuman ? kOptCurrentFog : 0u));
            EXPECT_EQ((human.dwFlag & kCountryFog) != 0, k.fogHuman);
            EXPECT_EQ((cpu.dwFlag & kCountryFog) != 0, k.fogCpu);
            EXPECT_EQ(absent.dwFlag, 0u);
            for (int id : {ID_SEARCH_EASY, ID_SEARCH_NORMAL, ID_SEARCH_HARD}) {
                CommandState s = doc->GetCommandState(id);
                EXPECT_TRUE(s.radio);
                EXPECT_EQ(s.checked, id == k.id) << id;
            }
        }
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(Commands, SameSearchLevelTwiceStillRebuildsTheSight)
{
    EXPECT_TRUE(doc->RunCommand(ID_SEARCH_NORMAL));
    int rebuilds = doc->StubCalls(DocStub::RecomputeSight);
    EXPECT_EQ(rebuilds, 1);
    for (int h = 0; h < kHexCount; h += 13) doc->m_dwHexSearch[h] = 0xABCDu;
    EXPECT_TRUE(doc->RunCommand(ID_SEARCH_NORMAL));
    // Cleared and built again: none of the old words is left.
    for (int h = 0; h < kHexCount; h += 13) ASSERT_NE(doc->m_dwHexSearch[h], 0xABCDu) << h;
    EXPECT_EQ(doc->StubCalls(DocStub::RecomputeSight), 2);
}

TEST_F(Commands, SearchLevelEnabledOnlyForAHumanAtRest)
{
    struct Case {
        bool cpuCur, busy, phase, fullAuto, noCur, enabled;
    };
    const Case cases[] = {
        {false, false, true, false, false, true}, {true, false, true, false, false, false},
        {false, true, true, false, false, false}, {false, false, false, false, false, false},
        {false, false, true, true, false, false}, {false, false, true, false, true, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.cpuCur << k.busy << k.phase << k.fullAuto << k.noCur);
        doc->SetCurrentCountry(k.noCur ? -1 : 0);
        doc->m_GameData.Country[0].dwFlag = kCountryPresent | (k.cpuCur ? kCountryCpu : 0);
        view.state.busy = k.busy;
        view.state.phaseCommands = k.phase;
        doc->m_dwGameOption = k.fullAuto ? kOptFullAutoRunning : 0;
        for (int id : {ID_SEARCH_EASY, ID_SEARCH_NORMAL, ID_SEARCH_HARD}) {
            EXPECT_EQ(doc->GetCommandState(id).enabled, k.enabled) << id;
            EXPECT_EQ(doc->RunCommand(id), k.enabled) << id;
        }
    }
}

TEST_F(Commands, PasswordChange)
{
    struct Case {
        const char* what;
        std::vector<ScriptedDialogService::PasswordAnswer> answers;
        const char* stored;  // null: unchanged
        int tooShortBoxes;
    };
    const Case cases[] = {
        {"too short, then long enough", {{kAnswerOk, "ab"}, {kAnswerOk, "abc"}}, "abc", 1},
        {"too short, then cancel", {{kAnswerOk, "ab"}, {kAnswerCancel, ""}}, nullptr, 1},
        {"cancel at once", {{kAnswerCancel, "zzz"}}, nullptr, 0},
        {"empty, then cancel", {{kAnswerOk, ""}, {kAnswerCancel, ""}}, nullptr, 1},
        {"eight characters keep seven", {{kAnswerOk, "abcdefgh"}}, "abcdefg", 0},
        {"full width keeps whole characters", {{kAnswerOk, "あいうえお"}}, "あいう", 0},
        {"mixed widths never split a character", {{kAnswerOk, "aあいうえ"}}, "aあいう", 0},
        {"two full-width characters are too few", {{kAnswerOk, "あい"}, {kAnswerOk, "あいう"}}, "あいう", 1},
    };
    doc->m_dwGameOption = kOptMultiPlay;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        std::strcpy(doc->m_pCurCountry->szPassword, "old");
        dialogs.Clear();
        for (const auto& a : k.answers) dialogs.QueuePassword(a.answer, a.text);
        ASSERT_TRUE(doc->RunCommand(ID_CHANGE_PASSWORD));
        ASSERT_EQ(dialogs.AskedDialogs().size(), k.answers.size());
        EXPECT_EQ(dialogs.AskedDialogs()[0].text, "old");  // preset with the stored password
        EXPECT_SJIS_EQ(dialogs.AskedDialogs()[0].countryName, "ノルデン");
        int shortBoxes = 0;
        for (const auto& b : dialogs.Boxes())
            shortBoxes += b.text == "パスワードは最低３文字入力してください";
        EXPECT_EQ(shortBoxes, k.tooShortBoxes);
        const char* expect = k.stored ? k.stored : "old";
        EXPECT_SJIS_EQ(doc->m_pCurCountry->szPassword, expect);
        EXPECT_EQ(doc->m_pCurCountry->szPassword[7], '\0');
        if (k.stored) {
            ASSERT_FALSE(dialogs.Boxes().empty());
            EXPECT_NE(dialogs.Boxes().back().text.find(std::string("パスワードは ") + k.stored + " で登録"),
                      std::string::npos);
        }
    }
}

TEST_F(Commands, PasswordOnlyInMultiPlay)
{
    EXPECT_FALSE(doc->GetCommandState(ID_CHANGE_PASSWORD).enabled);
    EXPECT_FALSE(doc->GetCommandState(ID_NO_RETURN_TO_TITLE).enabled);
    doc->m_dwGameOption = kOptMultiPlay;
    EXPECT_TRUE(doc->GetCommandState(ID_CHANGE_PASSWORD).enabled);
    EXPECT_TRUE(doc->RunCommand(ID_NO_RETURN_TO_TITLE));
    EXPECT_TRUE(doc->GetCommandState(ID_NO_RETURN_TO_TITLE).checked);
    doc->SetCurrentCountry(-1);
    EXPECT_FALSE(doc->GetCommandState(ID_CHANGE_PASSWORD).enabled);
}

TEST_F(Commands, CountryControlWritesControllerAndFlag)
{
    CountryControlRows chosen;
    chosen.nRows = 3;
    chosen.rows[0] = {0, 1};  // the current country goes to the computer
    chosen.rows[1] = {1, 0};  // country 1 to a human
    chosen.rows[2] = {9, 1};  // a damaged row: ignored
    dialogs.QueueCountryControl(kAnswerOk, chosen);
    ASSERT_TRUE(doc->RunCommand(ID_COUNTRY_CONTROL));
    ASSERT_EQ(dialogs.AskedDialogs().size(), 1u);
    const CountryControlRows& given = dialogs.AskedDialogs()[0].rows;
    ASSERT_EQ(given.nRows, 4);  // the present countries with their controllers
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(given.rows[r].nCountry, r);
        EXPECT_EQ(given.rows[r].nControl, r % 2);
    }
    COUNTRYSTRUCT* c = doc->m_GameData.Country;
    EXPECT_EQ(c[0].nControl, 1);
    EXPECT_NE(c[0].dwFlag & kCountryCpu, 0u);
    EXPECT_EQ(c[1].nControl, 0);
    EXPECT_EQ(c[1].dwFlag & kCountryCpu, 0u);
    EXPECT_EQ(view.Count("CloseProgressWindow()"), 0);

    // The current country comes back to a human: the progress window closes.
    chosen.nRows = 1;
    chosen.rows[0] = {0, 0};
    dialogs.QueueCountryControl(kAnswerOk, chosen);
    ASSERT_TRUE(doc->RunCommand(ID_COUNTRY_CONTROL));
    EXPECT_EQ(c[0].dwFlag & kCountryCpu, 0u);
    EXPECT_EQ(view.Count("CloseProgressWindow()"), 1);

    // Cancel changes nothing, and neither does a dialog nobody answers.
    Snapshot before(*doc);
    dialogs.QueueCountryControl(kAnswerCancel);
    ASSERT_TRUE(doc->RunCommand(ID_COUNTRY_CONTROL));
    ASSERT_TRUE(doc->RunCommand(ID_COUNTRY_CONTROL));
    EXPECT_TRUE(before.Same(*doc));
    EXPECT_EQ(dialogs.AskedDialogs().size(), 4u);
}

TEST_F(Commands, Surrender)
{
    struct Case {
        int answer, surrenderResult, state;
    };
    const Case cases[] = {
        {kAnswerCancel, 1, PHASE_HUMAN}, {kAnswerOk, 0, PHASE_ENDPHASE}, {kAnswerOk, 1, PHASE_JUDGE}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.answer << " " << k.surrenderResult);
        doc->SetFlowState(PHASE_HUMAN);
        dialogs.Clear();
        view.calls.clear();
        dialogs.QueueAnswer(k.answer);
        doc->SetStubResult(DocStub::SurrenderCountry, k.surrenderResult);
        ASSERT_TRUE(doc->RunCommand(ID_SURRENDER));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "「ノルデン」は降伏します。\nよろしいですか？");
        EXPECT_EQ(dialogs.Boxes()[0].style & 0xF0F, unsigned(kBoxOkCancel | kBoxDefButton2));
        EXPECT_EQ(doc->m_GameData.nFlowState, k.state);
        EXPECT_EQ(mirror, k.state);
        bool surrendered = k.answer == kAnswerOk;
        EXPECT_EQ(view.Count("PlaySE(46)"), surrendered ? 1 : 0);
        EXPECT_EQ(view.Count("RebuildUnitDisplayMap()"), surrendered ? 1 : 0);
    }
    doc->SetFlowState(PHASE_CPU);
    EXPECT_FALSE(doc->GetCommandState(ID_SURRENDER).enabled);
}

TEST_F(Commands, ReturnToTitle)
{
    EXPECT_TRUE(doc->RunCommand(ID_RETURN_TO_TITLE));  // no confirmation option: no question
    EXPECT_TRUE(dialogs.Boxes().empty());
    EXPECT_EQ(doc->StubCalls(DocStub::RunMenuProgram), 1);

    doc->m_pCurCountry->dwFlag |= kCountryConfirmWindow;
    dialogs.QueueAnswer(kAnswerCancel);
    EXPECT_TRUE(doc->RunCommand(ID_RETURN_TO_TITLE));
    EXPECT_EQ(doc->StubCalls(DocStub::RunMenuProgram), 1);
    dialogs.QueueAnswer(kAnswerOk);
    EXPECT_TRUE(doc->RunCommand(ID_RETURN_TO_TITLE));
    EXPECT_EQ(doc->StubCalls(DocStub::RunMenuProgram), 2);
    EXPECT_SJIS_EQ(dialogs.Boxes().back().text, "本当にメニュー画面に戻りますか？");

    doc->SetFlowState(PHASE_NEWWEAPON);
    EXPECT_FALSE(doc->GetCommandState(ID_RETURN_TO_TITLE).enabled);
    doc->SetFlowState(PHASE_CPU);
    view.state.busy = true;
    EXPECT_FALSE(doc->GetCommandState(ID_RETURN_TO_TITLE).enabled);
}

TEST_F(Commands, WeatherAndDayNightToggles)
{
    ASSERT_TRUE(doc->GetCommandState(ID_GAME_WEATHER).checked);
    EXPECT_TRUE(doc->RunCommand(ID_GAME_WEATHER));
    EXPECT_EQ(doc->m_GameData.dwStateFlag, 0x10000000u);
    EXPECT_FALSE(doc->GetCommandState(ID_GAME_WEATHER).checked);
    EXPECT_EQ(doc->StubCalls(DocStub::ApplyWeather), 1);
    EXPECT_EQ(doc->StubCalls(DocStub::RecomputeSight), 1);
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"RedrawMap(0)",  // the sight rebuild's redraw
                                        "NotifySituationTable(15)", "RebuildUnitDisplayMap()", "RedrawMap(0)",
                                        "RedrawMap(0)", "SelectTerrainColours()", "RefreshStatusStrip()"}));
    view.calls.clear();
    EXPECT_TRUE(doc->RunCommand(ID_GAME_DAYNIGHT));
    EXPECT_EQ(doc->m_GameData.dwStateFlag, 0u);
    EXPECT_EQ(view.Count("RebuildUnitDisplayMap()"), 0);
    EXPECT_EQ(view.Count("SelectTerrainColours()"), 1);

    view.state.phaseCommands = false;
    EXPECT_FALSE(doc->RunCommand(ID_GAME_WEATHER));
    EXPECT_EQ(doc->m_GameData.dwStateFlag, 0u);
}

TEST_F(Commands, CountryOptionTogglesAndCounterModes)
{
    struct Case {
        int id;
        uint32_t bit;
        bool checkedWhenSet;
    };
    const Case cases[] = {
        {ID_OPT_CONFIRM_WINDOW, 0x08000000u, true}, {ID_OPT_ERROR_MESSAGES, 0x04000000u, true},
        {ID_OPT_SPEC_ARMS_FULL, 0x02000000u, true}, {ID_OPT_EVOLUTION_OWN, 0x01000000u, true},
        {ID_OPT_AA_FIRE_CHOICE, 0x00800000u, true}, {ID_OPT_NEXT_UNIT_POINTER, 0x00400000u, false},
    };
    uint32_t& flag = doc->m_pCurCountry->dwFlag;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.id);
        uint32_t before = flag;
        EXPECT_TRUE(doc->RunCommand(k.id));
        EXPECT_EQ(flag, before ^ k.bit);
        EXPECT_EQ(doc->GetCommandState(k.id).checked, ((flag & k.bit) != 0) == k.checkedWhenSet);
    }
    view.state.childWindowOpen = true;
    EXPECT_FALSE(doc->GetCommandState(ID_OPT_SPEC_ARMS_FULL).enabled);
    EXPECT_TRUE(doc->GetCommandState(ID_OPT_EVOLUTION_OWN).enabled);

    for (int mode = 0; mode < 5; ++mode) {
        EXPECT_TRUE(doc->RunCommand(ID_COUNTER_AUTO + mode));
        EXPECT_EQ(int(flag & 7), mode);
        for (int other = 0; other < 5; ++other) {
            EXPECT_EQ(doc->GetCommandState(ID_COUNTER_AUTO + other).checked, other == mode);
        }
    }
    doc->SetCurrentCountry(-1);
    for (int id : CZRKGameDoc::CommandIds()) {
        if (id == ID_RETURN_TO_TITLE || id == ID_HISTORY_EVENTS || id == ID_GAME_WEATHER ||
            id == ID_GAME_DAYNIGHT || id == ID_FILE_NEW_SCENARIO || id == ID_FILE_OPEN || id == ID_CAMPAIGN_RESUME) {
            continue;
        }
        EXPECT_FALSE(doc->GetCommandState(id).enabled) << "needs a current country: " << id;
    }
}

TEST_F(Commands, ReserveUnitsInTheUnitList)
{
    EXPECT_FALSE(doc->GetCommandState(ID_SHOW_RESERVE_UNITS).enabled);  // not a campaign
    doc->m_dwGameOption = kOptionCampaign;
    ASSERT_TRUE(doc->GetCommandState(ID_SHOW_RESERVE_UNITS).checked);
    EXPECT_TRUE(doc->RunCommand(ID_SHOW_RESERVE_UNITS));
    EXPECT_FALSE(doc->GetCommandState(ID_SHOW_RESERVE_UNITS).checked);
    EXPECT_TRUE(doc->RunCommand(ID_SHOW_RESERVE_UNITS));
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"AddUnitsToUnitList(250)", "UpdateUnitsInUnitList(250)"}));
}

TEST_F(Commands, BigVictoryTurnsLeft)
{
    doc->m_dwGameOption = kOptionCampaign;
    struct Case {
        int deadline, history, turn;
        const char* text;
    };
    const Case cases[] = {
        {10, 0, 4, "大勝利期限まであと 6ターン"},
        {10, 0, 10, "大勝利期限まであと 0ターン"},
        {10, 0, 13, "大勝利はもう無理です (3ターン経過)"},
        {10, 2, 11, "大勝利期限まであと 0ターン"},  // a campaign with history gets one turn more
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        doc->m_GameData.Head.dwTurnLimit = (uint32_t(k.deadline) << 16) | 30u;
        doc->m_GameData.nHistory = k.history;
        doc->m_GameData.nTurn = k.turn;
        dialogs.Clear();
        EXPECT_TRUE(doc->RunCommand(ID_BIG_VICTORY_TURNS));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, k.text);
    }
}

TEST_F(Commands, WeatherForecast)
{
    struct Case {
        int now, next;
        const char* text;
    };
    const Case cases[] = {
        {1, 1, "NEXT0"}, {1, 2, "NEXT1"}, {2, 1, "NEXT2"}, {4, 2, "NEXT0"},
        {5, 2, "NEXT2"}, {6, 0, "NEXT3"}, {6, 6, "NEXT3"}, {3, 5, "NEXT1"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.now << " -> " << k.next);
        doc->m_GameData.nWeather = k.now;
        doc->m_GameData.nWeatherNext = k.next;
        dialogs.Clear();
        EXPECT_TRUE(doc->RunCommand(ID_WEATHER_FORECAST));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, k.text);
    }
}

TEST_F(Commands, UnknownCommands)
{
    EXPECT_FALSE(CZRKGameDoc::HasCommand(57602));  // between the file commands, none itself
    EXPECT_FALSE(doc->RunCommand(57602));
    EXPECT_FALSE(doc->GetCommandState(12345).enabled);
    for (int id : CZRKGameDoc::CommandIds()) EXPECT_TRUE(CZRKGameDoc::HasCommand(id)) << id;
    EXPECT_TRUE(doc->RunCommand(ID_HISTORY_EVENTS));
    EXPECT_TRUE(doc->GetCommandState(ID_HISTORY_EVENTS).checked);
}

}  // namespace
}  // namespace zrv
