// The situation table's sheet and pages, the progress window and the
// historical-event popup without windows: what each shows of a small battle,
// and their cards painted over the generated pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "battle/dialogs/HistoryPopupModel.h"
#include "battle/dialogs/ProgressModel.h"
#include "battle/dialogs/StatusPages.h"
#include "battle/engine/Calendar.h"
#include "battle/engine/Judgement.h"
#include "engine/DocFixture.h"
#include "foundation/DibPal.h"
#include "platform/core/Paths.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

// --- the sheet ------------------------------------------------------------------------------

TEST(StatusSheet, OnlyThePageOnScreenRedrawsAndTheRestWait)
{
    std::vector<int> drawn;
    StatusSheetModel sheet([&](int page) { drawn.push_back(page); });
    struct Step {
        const char* what;
        int tab;        // -1: an update instead
        uint32_t mask;  // the update's mask
        std::vector<int> drawn;
        uint32_t pending;
    };
    const Step steps[] = {
        {"mask 0 changes nothing", -1, 0, {}, 0},
        {"page 2 shown", 2, 0, {}, 0},
        {"all pages: page 2 now, the rest wait", -1, 15, {2}, 11},
        {"page 0 shown catches up", 0, 0, {0}, 10},
        {"income again on page 0 keeps the others waiting", -1, 2, {}, 10},
        {"page 1 shown", 1, 0, {1}, 8},
        {"mask 0 again", -1, 0, {}, 8},
        {"day and night on page 1", -1, 8, {}, 8},
        {"page 3 shown", 3, 0, {3}, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        drawn.clear();
        if (s.tab >= 0)
            sheet.PageChanged(s.tab);
        else
            sheet.Update(s.mask);
        EXPECT_EQ(drawn, s.drawn);
        EXPECT_EQ(sheet.Pending(), s.pending);
    }
}

// --- a small battle ---------------------------------------------------------------------------

// Cities of the opposing side (countries 1 and 3) round the map area's top
// left corner, named and unnamed, one off the area, one of the own side, and
// a damaged owner field.
class Situation : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        doc->m_rcMapArea = {10, 10, 40, 40};
        for (HEXINDEX h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = kFixtureTerrainPlain;
        City(Hex(12, 11), 1, 80, "Bravo");
        City(Hex(15, 20), 1, 20, "alpha");
        City(Hex(30, 12), 3, 50, nullptr);
        City(Hex(5, 5), 3, 10, "Outpost");  // outside the area
        City(Hex(20, 20), 0, 99, "Home");   // own side
        doc->m_dwHexCell[Hex(21, 21)] = WithDurability(kFixtureTerrainCity | (12u << 16), 5);
        doc->m_GameData.Country[1].nCapital = Hex(15, 20);
        doc->m_GameData.Country[3].nCapital = Hex(5, 5);
        for (int i = 0; i < 4; ++i) doc->m_GameData.Country[i].nDisplay = i;
    }

    static HEXINDEX Hex(int col, int row) { return row * 128 + col; }

    void City(HEXINDEX h, int owner, int durability, const char* name)
    {
        doc->m_dwHexCell[h] = WithDurability(WithOwner(kFixtureTerrainCity, owner), durability);
        if (name == nullptr) return;
        CITYNAMESTRUCT& c = doc->m_CityName[doc->m_nCityName++];
        c.nHex = h;
        std::strncpy(c.szName, name, sizeof c.szName - 1);
    }

    void Unit(int country, int slot, HEXINDEX hex, uint32_t flags = 0)
    {
        UNITSTRUCT& u = doc->m_GameData.Country[country].Unit[slot];
        u.dwFlag = kUnitInUse | flags;
        u.nHex = hex;
    }

    std::vector<std::string> Shown(const OperationsPageModel& page, int column = 0)
    {
        std::vector<std::string> out;
        for (int r : page.Order()) out.push_back(page.Text(r, column));
        return out;
    }
};

TEST_F(Situation, OperationTargetsAreTheOpposingSidesCities)
{
    OperationsPageModel page(*doc, nullptr);
    page.Fill();
    // Sorted by owner, then by name without regard to case; an unnamed
    // city is called by the terrain's name.
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"alpha", "Bravo", "Outpost", TableText(Lib().TerrainName, 1)}));
    struct Want {
        const char* name;
        std::vector<std::string> texts;
    };
    const Want want[] = {
        {"Bravo", {"Bravo", " 3", " 2", " 80", "---"}},
        {"Outpost", {"Outpost", "--", "--", " 10", "---"}},
    };
    for (const Want& w : want) {
        SCOPED_TRACE(w.name);
        for (int r = 0; r < page.RowCount(); ++r)
            if (page.Row(r).name == w.name)
                for (int c = 0; c < kOperationsColumns; ++c) EXPECT_EQ(page.Text(r, c), w.texts[size_t(c)]) << c;
    }
    EXPECT_FALSE(page.LocateEnabled());

    page.ToggleCapitalsOnly();
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"alpha", "Outpost"}));

    // A country outside both sides has no targets.
    doc->m_pCurCountry->nSide = 2;
    OperationsPageModel neutral(*doc, nullptr);
    neutral.Fill();
    EXPECT_EQ(neutral.RowCount(), 0);
    EXPECT_FALSE(neutral.Select(0));
    EXPECT_FALSE(neutral.LocateEnabled());
}

TEST_F(Situation, TheListStopsAt512Rows)
{
    for (HEXINDEX h = 0; h < 600; ++h) doc->m_dwHexCell[h] = WithOwner(kFixtureTerrainCity, 1);
    OperationsPageModel page(*doc, nullptr);
    page.Fill();
    EXPECT_EQ(page.RowCount(), kOperationsMaxRows);
}

TEST_F(Situation, SortingByEachColumnAndItsTies)
{
    OperationsPageModel page(*doc, nullptr);
    page.Fill();
    const std::string town = TableText(Lib().TerrainName, 1);
    // No own unit: every distance is "---" and the rows stay in owner and
    // name order under the distance sort, whichever way it goes.
    page.ColumnClick(4);
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"alpha", "Bravo", "Outpost", town}));
    page.ColumnClick(4);
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"alpha", "Bravo", "Outpost", town}));

    // The off-area city sorts by its raw column; the next click reverses.
    page.ColumnClick(1);
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"Outpost", "Bravo", "alpha", town}));
    page.ColumnClick(1);
    EXPECT_EQ(Shown(page), (std::vector<std::string>{town, "alpha", "Bravo", "Outpost"}));
    // A refill sorts ascending by the last clicked column.
    page.Fill();
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"Outpost", "Bravo", "alpha", town}));

    // A city without distance sorts before every distance, whichever row is
    // compared first, and ties with another such city fall back to the owner.
    OperationsRow none{page.Row(0).hex, "none", -1}, near{page.Row(1).hex, "near", 3};
    for (uint32_t key : {4u, 4u | 0x10000u}) {
        SCOPED_TRACE(key);
        const int sign = key >> 16 ? -1 : 1;
        EXPECT_EQ(page.Compare(none, near, key), -sign);
        EXPECT_EQ(page.Compare(near, none, key), sign);
    }
    EXPECT_EQ(page.Compare(none, none, 4), 0);

    // An own unit near Bravo: the cities without distance come first either
    // way round, then by distance.
    Unit(0, 0, Hex(12, 13));
    doc->m_dwHexCell[Hex(30, 12)] = WithOwner(kFixtureTerrainCity, 3);
    page.Fill();
    page.ColumnClick(4);
    const std::vector<std::string> byDistance = Shown(page, 4);
    EXPECT_EQ(byDistance.front(), "  2");
    for (size_t i = 1; i < byDistance.size(); ++i) EXPECT_LE(byDistance[i - 1], byDistance[i]);
    page.ColumnClick(4);
    EXPECT_EQ(Shown(page, 4).back(), "  2");
}

TEST_F(Situation, HeaderAndOwnerOfTheSelectedCity)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    std::strncpy(g.Head.szName, "Fixture", sizeof g.Head.szName);
    g.Head.dwStartDate = PackDate(41, 6, 22, 8);
    g.Head.dwTurnLimit = 20;
    g.dwEndDate = PackDate(41, 7, 1, 20);
    g.nTurn = 5;
    OperationsPageModel page(*doc, nullptr);
    page.Fill();
    auto h = page.HeaderTexts();
    EXPECT_EQ(h.scenario, "Fixture");
    EXPECT_EQ(h.start, "41. 6.22  8:00");
    EXPECT_EQ(h.end, "41. 7. 1 20:00");
    EXPECT_EQ(h.turnsLeft, " 16");
    // A campaign with history has one more turn, and starts two hours later.
    doc->m_dwGameOption |= kOptionCampaign;
    g.nHistory = 1;
    ASSERT_EQ(GetLastTurn(g, doc->m_dwGameOption), 21);
    h = page.HeaderTexts();
    EXPECT_EQ(h.start, "41. 6.22 10:00");
    EXPECT_EQ(h.turnsLeft, " 17");

    // No selection: blanks. Bravo's owner: name, funds, and a defeat level
    // only from 1 up.
    auto o = page.OwnerTexts();
    EXPECT_EQ(o.name + o.funds + o.defeat, "   ");
    COUNTRYSTRUCT& owner = g.Country[1];
    owner.nFund = 1234567;
    owner.nSurrenderFund = 0;
    int bravo = -1;
    for (int r = 0; r < page.RowCount(); ++r)
        if (page.Row(r).name == "Bravo") bravo = r;
    EXPECT_TRUE(page.Select(bravo));
    EXPECT_FALSE(page.Select(bravo));
    EXPECT_TRUE(page.LocateEnabled());
    o = page.OwnerTexts();
    EXPECT_SJIS_EQ(o.name, "ズーダン");
    EXPECT_NE(o.funds.find("234"), std::string::npos);
    EXPECT_EQ(o.defeat, " ");
    owner.nSurrenderFund = 5000;
    EXPECT_NE(page.OwnerTexts().defeat.find("000"), std::string::npos);
    // The city changed hands to a damaged owner field: no owner shown.
    doc->m_dwHexCell[Hex(12, 11)] = WithDurability(kFixtureTerrainCity | (12u << 16), 5);
    EXPECT_EQ(page.OwnerTexts().name, " ");
}

// --- 収入 ---------------------------------------------------------------------------------------

TEST(IncomeBars, WidthsOfTheTwoHundredPixelBar)
{
    struct Case {
        const char* what;
        std::array<int, 4> counts;
        int total;
        std::array<int, 4> widths;
    };
    const Case cases[] = {
        {"no city at all", {0, 0, 0, 0}, 0, {0, 0, 0, 0}},
        {"one hex of 1,000 gets the minimum", {1, 0, 0, 0}, 1000, {1, 0, 0, 0}},
        {"thirds: the shortfall goes to the first largest", {1, 1, 1, 0}, 3, {68, 66, 66, 0}},
        {"a surplus from minimums comes off the first largest", {997, 1, 1, 1}, 1000, {197, 1, 1, 1}},
        {"a country's share is not corrected", {1, 1, 0, 0}, 3, {66, 66, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BarWidths(c.counts, c.total), c.widths);
    }
}

TEST_F(Situation, IncomeRowsCountTheCityClasses)
{
    // Classes by terrain: 1 (class 0), 3 (1), 4 (2), 5 (3); 9 is no class.
    MAPCELL* cells = doc->m_dwHexCell;
    for (HEXINDEX h = 0; h < kHexCount; ++h) cells[h] = kFixtureTerrainPlain;
    for (int i = 0; i < 997; ++i) cells[i] = WithOwner(1, 1);
    cells[1000] = WithOwner(3, 3);
    cells[1001] = WithOwner(4, 0);
    cells[1002] = 5 | (12u << 16);  // owner field beyond the records
    std::strncpy(doc->m_GameData.Country[4].szName, "Gone", 27);
    doc->m_GameData.Country[3].dwFlag &= ~kCountryPresent;
    IncomePageModel page(*doc, nullptr);
    page.Count();
    const CityCounts& n = page.Counts();
    EXPECT_EQ(n.total, 1000);
    EXPECT_EQ(n.byClass, (std::array<int, 4>{997, 1, 1, 1}));
    EXPECT_EQ(n.owned[0], (std::array<int, 4>{0, 0, 1, 0}));
    EXPECT_EQ(page.MapBar(), (std::array<int, 4>{197, 1, 1, 1}));

    const IncomeRow& own = page.Row(0);
    EXPECT_TRUE(own.present);
    EXPECT_EQ(own.bar, (std::array<int, 4>{0, 0, 1, 0}));
    EXPECT_NE(own.figures.find("   0.1%"), std::string::npos) << own.figures;
    EXPECT_EQ(own.colorCode, 8);
    EXPECT_EQ(page.Row(1).colorCode, 7);
    // An absent country keeps its name and bar, without flag or figures.
    const IncomeRow& gone = page.Row(3);
    EXPECT_TRUE(gone.shown);
    EXPECT_FALSE(gone.present);
    EXPECT_EQ(gone.bar, (std::array<int, 4>{0, 1, 0, 0}));
    EXPECT_EQ(gone.flag, -1);
    EXPECT_TRUE(gone.figures.empty());
    // A named slot that never took part is absent; an empty name is no row.
    EXPECT_TRUE(page.Row(4).shown);
    EXPECT_FALSE(page.Row(5).shown);

    // No city on the map: shares of 0.0 per cent, empty bars.
    for (HEXINDEX h = 0; h < kHexCount; ++h) cells[h] = kFixtureTerrainPlain;
    page.Count();
    EXPECT_NE(page.Row(0).figures.find("   0.0%"), std::string::npos);
    EXPECT_EQ(page.Row(0).bar, (std::array<int, 4>{}));
}

// --- 気象 and 昼夜 -------------------------------------------------------------------------------

TEST_F(Situation, WeatherAndLightLimits)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    DialogCard none(nullptr, kStatusPageW, kStatusPageH);
    g.dwDateTime = PackDate(41, 6, 22, 8);
    g.nWeather = 3;
    g.dwStateFlag = 0;
    WeatherPagePainter weather(g, none);
    EXPECT_EQ(weather.LimitRow(), 0) << "the weather option off shows fine weather";
    EXPECT_FALSE(weather.Redraw(true)) << "no card: nothing drawn";
    g.dwStateFlag = kStateWeather;
    const int rainy = weather.LimitRow();
    EXPECT_NE(rainy, 0);
    // The caption follows the weather of each redraw.
    g.nWeather = 0;
    EXPECT_SJIS_EQ(weather.Caption(), std::string("行動制限(") + TableText(Lib().MsgWeather, 0) + ")");
    EXPECT_EQ(weather.LimitRow(), 0);

    // Marked limits follow the effective light: none by day or without the
    // option, 0-5 at dawn and dusk and on a moonlit night, 6-15 at night.
    g.dwStateFlag = 0;
    g.nDayNight = kNight;
    g.nLight = 2;
    EXPECT_TRUE(MarkedLimits(g).empty());
    g.dwStateFlag = kStateDayNight;
    g.nDayNight = g.nLight = kDay;
    EXPECT_TRUE(MarkedLimits(g).empty());
    g.nDayNight = kNight;
    g.nLight = 1;
    ASSERT_EQ(MarkedLimits(g).size(), 6u);
    EXPECT_SJIS_EQ(MarkedLimits(g)[0].text, "視認範囲 1/2");
    g.nLight = 2;
    ASSERT_EQ(MarkedLimits(g).size(), 10u);
    EXPECT_SJIS_EQ(MarkedLimits(g)[9].text, "空対地命中率 1/4");

    // The moon picture: by night with the option, the night row (+ 9).
    DayNightPagePainter day(g, none);
    const int moon = GetMoonPhase(g.dwDateTime) & 0xFFFF;
    EXPECT_EQ(day.MoonImage(), moon + 9);
    g.nDayNight = kDay;
    EXPECT_EQ(day.MoonImage(), moon);
}

TEST_F(Situation, SunHoursOfTheMonthAndBadTables)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    DialogCard none(nullptr, kStatusPageW, kStatusPageH);
    const auto& row = Lib().SunriseSunsetData.front();
    g.dwDateTime = PackDate(41, 6, 22, 8);
    DayNightPagePainter page(g, none);
    const auto [rise, set] = page.SunHours();
    EXPECT_EQ(rise, std::abs(row[5]) - 1);
    EXPECT_EQ(set, std::abs(row[17]) - 1);
    // A month or a zone beyond the tables shows no hours.
    g.dwDateTime = PackDate(41, 13, 1, 8);
    EXPECT_EQ(DayNightPagePainter(g, none).SunHours().first, -1);
    g.dwDateTime = PackDate(41, 6, 22, 8);
    g.Head.dwArea = 99u << 16;
    EXPECT_EQ(DayNightPagePainter(g, none).SunHours().first, -1);
}

// --- progress --------------------------------------------------------------------------------------

TEST_F(Situation, ProgressBarIsTheShareOfUnitsThatActed)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    EXPECT_EQ(ProgressBarLength(c), 0) << "no units";
    for (int s = 0; s < 9; ++s) Unit(0, s, Hex(20, 20), kUnitActed);
    EXPECT_EQ(ProgressBarLength(c), 90) << "never the full bar";
    c.Unit[0].dwFlag = kUnitInUse | kUnitCarried;
    c.Unit[1].dwFlag = kUnitInUse;
    EXPECT_EQ(ProgressBarLength(c), 80);
    ProgressModel model(*doc, nullptr);
    EXPECT_EQ(model.BarLength(), 0);
    model.Update();
    EXPECT_EQ(model.BarLength(), 80);
}

// --- the event popup ---------------------------------------------------------------------------------

TEST(HistoryPopup, FontHeightsAndTypingSteps)
{
    const std::pair<int, int> heights[] = {{640, 20}, {1024, 36}, {200, 16}, {0, 16}};
    for (auto [w, big] : heights) {
        SCOPED_TRACE(w);
        EXPECT_EQ(HistoryBigFontHeight(w), big);
    }
    EXPECT_EQ(HistorySmallFontHeight(20), 15);
    // Two bytes a step, never a lead byte alone, never past the line.
    const std::string mixed = "A独BC";  // A, a double-byte character, B, C
    struct Step {
        size_t from, to;
    };
    for (Step s : {Step{0, 3}, Step{3, 5}, Step{1, 3}, Step{4, 5}, Step{5, 5}}) {
        SCOPED_TRACE(s.from);
        EXPECT_EQ(NextTypedLength(mixed, s.from), s.to);
    }
}

struct RecordingCanvas : HistoryCanvas {
    std::vector<std::string> ops;
    void Clear() override { ops.push_back("clear"); }
    void Text(int x, int y, std::string_view text, bool big) override
    {
        ops.push_back((big ? "big " : "small ") + std::to_string(x) + "," + std::to_string(y) + " " +
                      std::string(text));
    }
};

struct PopupRun {
    std::vector<int> states;  // each state entered, in order
    std::vector<int> sounds;
    int ticks = 0;
};

PopupRun RunToDone(HistoryPopupModel& p, RecordingCanvas& canvas, int limit = 2000)
{
    PopupRun run;
    run.states.push_back(p.State());
    for (; run.ticks < limit && !p.Done(); ++run.ticks) {
        if (p.State() == 11 && !p.TimerRunning()) {
            // The view's step out of the movie state.
            p.SetState(12);
            p.StepDisplay();
            run.states.push_back(12);
            break;
        }
        const int before = p.State();
        const HistoryTick t = p.Tick();
        if (t.sound) run.sounds.push_back(t.sound);
        if (t.repaint) p.Paint(canvas);
        if (p.State() != before) run.states.push_back(p.State());
    }
    return run;
}

TEST(HistoryPopup, ShortAndLongFormsStepThroughTheirStates)
{
    const char* captions[] = {"First", "", "never shown"};
    HISTORYSTRUCT e{};
    e.dwDateTime = PackDate(41, 6, 22, 8);
    std::snprintf(e.szTitle, sizeof e.szTitle, "TITLE");
    std::snprintf(e.szText, sizeof e.szText, "HEADLINE");
    std::vector<int> draws;
    std::vector<std::string> movies;
    HistoryPopupModel p(
        [&] {
            draws.push_back(0);
            return 1;  // every draw 1: first step 3 ticks, pace 3
        },
        [&](uint32_t date, int top, int lineH) {
            movies.push_back(std::to_string(date) + " " + std::to_string(top) + " " + std::to_string(lineH));
            return 0u;
        });

    RecordingCanvas canvas;
    p.Open(e, false, 640, 480);
    EXPECT_EQ(p.BigH(), 20);
    EXPECT_EQ(p.SmallH(), 15);
    EXPECT_FALSE(p.Click()) << "a click while typing is ignored";
    PopupRun run = RunToDone(p, canvas);
    EXPECT_EQ(run.states, (std::vector<int>{1, 2, 3, 4, 0}));
    EXPECT_TRUE(p.Done());
    EXPECT_TRUE(p.Click());
    EXPECT_TRUE(movies.empty());
    ASSERT_FALSE(canvas.ops.empty());
    EXPECT_EQ(canvas.ops.front(), "clear");
    // The headline, centred at half its byte count of big-font widths.
    const std::string last = canvas.ops.back();
    EXPECT_EQ(last, "big " + std::to_string((640 - 8 * 20 / 2) / 2) + ",290 HEADLINE");
    // Line 1 typed at the random pace, each character with sound 4, then 5.
    EXPECT_EQ(std::count(run.sounds.begin(), run.sounds.end(), 5), 2);
    EXPECT_GT(std::count(run.sounds.begin(), run.sounds.end(), 4), 4);

    // The long form: the movie under the headline, then the explanation
    // lines up to the first empty one, from H - 5 x small height.
    e.pCaption = captions;
    canvas.ops.clear();
    p.Open(e, true, 640, 480);
    run = RunToDone(p, canvas);
    EXPECT_EQ(run.states, (std::vector<int>{6, 7, 8, 9, 10, 11, 12}));
    EXPECT_TRUE(p.Done());
    const int headlineY = 30 + 2 * 15;
    ASSERT_EQ(movies.size(), 1u);
    EXPECT_EQ(movies[0], std::to_string(e.dwDateTime) + " " + std::to_string(headlineY + 15 / 2 + 20) + " 15");
    EXPECT_EQ(canvas.ops.back(), "small " + std::to_string((640 - 5 * 15 / 2) / 2) + "," +
                                     std::to_string(480 - 5 * 15) + " First");
}

// --- cards over the generated pictures ------------------------------------------------------------

class CardView : public DialogView {
public:
    explicit CardView(const RgbQuad* colors) : m_colors(colors) {}
    const RgbQuad* ColorTable() const override { return m_colors; }
    std::vector<HEXINDEX> cursor, flashed;
    void MoveMapCursorToHex(HEXINDEX h) override { cursor.push_back(h); }
    bool FlashHexMark(HEXINDEX h) override { return flashed.push_back(h), false; }

private:
    const RgbQuad* m_colors;
};

class SituationCards : public Situation {
protected:
    void SetUp() override
    {
        Situation::SetUp();
        platform::SetProgramFolder(VELMORATH_TEST_STAGE_DIR);
        ASSERT_TRUE(m_palette.Create(platform::ProgramFolder() + "Game2.PLB"));
        view = std::make_unique<CardView>(m_palette.GetColorTable());
    }

    // Pixels of rect of card that differ from its picture's own at (sx, sy).
    static int Differing(DialogCard& card, CDib* pic, int x, int y, int w, int h, int sx, int sy)
    {
        int n = 0;
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) n += *card.Picture()->GetPixelPtr(x + c, y + r) != *pic->GetPixelPtr(sx + c, sy + r);
        return n;
    }

    CDibPal m_palette;
    std::unique_ptr<CardView> view;
};

TEST_F(SituationCards, PagesPaintTheirPicturesWhereTheyBelong)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.dwStateFlag = kStateWeather | kStateDayNight;
    g.nDayNight = g.nLight = kTwilight;
    g.dwDateTime = PackDate(41, 6, 22, 18);

    // Weather: the frame's band for the weather row at (12, 139).
    DialogCard weatherCard(view.get(), kStatusPageW, kStatusPageH);
    ASSERT_TRUE(weatherCard.IsValid());
    auto status22 = weatherCard.LoadPicture("status22.pxs");
    ASSERT_TRUE(status22);
    WeatherPagePainter weather(g, weatherCard);
    ASSERT_TRUE(weather.Redraw(true));
    EXPECT_EQ(Differing(weatherCard, status22.get(), 12, 139, 316, 108, 0, weather.LimitRow() * 108), 0);

    // Day and night: the lower frame, and the marker under each marked limit.
    DialogCard dayCard(view.get(), kStatusPageW, kStatusPageH);
    auto status3 = dayCard.LoadPicture("status3.pxs");
    ASSERT_TRUE(status3);
    DayNightPagePainter day(g, dayCard);
    ASSERT_TRUE(day.Redraw(true));
    const auto marked = MarkedLimits(g);
    ASSERT_FALSE(marked.empty());
    const LightLimit& first = marked.front();
    // The marker's rows above its text are the picture's own.
    EXPECT_EQ(Differing(dayCard, status3.get(), first.x + 57, first.y, 128, 2, 0, 209), 0);
    EXPECT_EQ(Differing(dayCard, status3.get(), 26, 151, 292, 2, 0, 109), 0);

    // Income: the map bar of 200 pixels from the class strips at (138, 243).
    DialogCard incomeCard(view.get(), kStatusPageW, kStatusPageH);
    auto status12 = incomeCard.LoadPicture("status12.pxs");
    ASSERT_TRUE(status12);
    IncomePageModel income(*doc, view.get());
    ASSERT_TRUE(income.Redraw(incomeCard, status12.get()));
    // The fixture's only city class: terrain 9 is none, so the map bar is
    // empty and the background shows.
    EXPECT_EQ(Differing(incomeCard, status12.get(), 138, 243, 200, 10, 136, 238), 0);
    for (HEXINDEX h = 0; h < 10; ++h) doc->m_dwHexCell[h] = WithOwner(1, 0);
    ASSERT_TRUE(income.Redraw(incomeCard, status12.get()));
    EXPECT_EQ(Differing(incomeCard, status12.get(), 138, 243, 40, 10, 198, 277), 0);
    EXPECT_EQ(Differing(incomeCard, status12.get(), 138 + 160, 243, 40, 10, 198, 277), 0);
    // Country 0 holds every city: its flag (display 0) and its full bar.
    EXPECT_EQ(Differing(incomeCard, status12.get(), 139, 35 - 2, 18, 12, 0, 277), 0);
    EXPECT_EQ(Differing(incomeCard, status12.get(), 138, 35 + 12, 40, 10, 198, 277), 0);

    // Operations: the header picture at (24, 11).
    DialogCard opCard(view.get(), kStatusPageW, kStatusPageH);
    auto status02 = opCard.LoadPicture("status02.pxs");
    ASSERT_TRUE(status02);
    OperationsPageModel ops(*doc, view.get());
    ops.Fill();
    ops.DrawHeader(opCard, status02.get());
    EXPECT_EQ(Differing(opCard, status02.get(), kOpHeaderX, kOpHeaderY, kOpHeaderW, 4, 0, 0), 0);
    ASSERT_TRUE(ops.Select(0));
    ops.Locate();
    ops.Flash();
    EXPECT_EQ(view->cursor, (std::vector<HEXINDEX>{ops.Row(0).hex}));
    EXPECT_EQ(view->flashed, (std::vector<HEXINDEX>{ops.Row(0).hex}));

    // Progress: background, and the bar strip from (43, 26).
    DialogCard progCard(view.get(), kProgressW, kProgressH);
    auto progres2 = progCard.LoadPicture("progres2.pxs");
    ASSERT_TRUE(progres2);
    for (int s = 0; s < 4; ++s) Unit(0, s, Hex(20, 20), kUnitActed);
    ProgressModel prog(*doc, view.get());
    prog.Update();
    ASSERT_EQ(prog.BarLength(), 80);
    prog.Draw(progCard, progres2.get());
    EXPECT_EQ(Differing(progCard, progres2.get(), 43, 26, 80, 10, 0, 43), 0);
    EXPECT_EQ(Differing(progCard, progres2.get(), 43 + 80, 26, 20, 10, 43 + 80, 26), 0);
}

TEST_F(SituationCards, MissingPicturesDrawNothing)
{
    DialogCard card(view.get(), kStatusPageW, kStatusPageH);
    IncomePageModel income(*doc, view.get());
    EXPECT_FALSE(income.Redraw(card, nullptr));
    platform::SetProgramFolder("/nonexistent");
    WeatherPagePainter weather(doc->m_GameData, card);
    EXPECT_FALSE(weather.Redraw(true));
    DayNightPagePainter day(doc->m_GameData, card);
    EXPECT_FALSE(day.Redraw(true));
}

}  // namespace
}  // namespace zrv
