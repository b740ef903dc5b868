// The view's layout, marks, geometry helpers, scrolling, profile values and
// terrain sets.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "view/ViewFixture.h"

namespace viewtest {
namespace {

// A window that records what the view asks of it.
struct FakeWindow : ViewWindow {
    std::vector<std::function<void()>> posted;
    std::vector<PointI> warps;
    int invalidated = 0;
    void Invalidate(const platform::Rect*) override { ++invalidated; }
    bool WarpPointer(PointI p) override
    {
        warps.push_back(p);
        return true;
    }
    void Post(std::function<void()> f) override { posted.push_back(std::move(f)); }
};

struct FakeFrame : ViewFrameSink {
    std::vector<int> commands;
    void SendCommand(int id) override { commands.push_back(id); }
};

using ViewStateTest = ViewTest;

TEST_F(ViewStateTest, TerrainPaletteBySnowAndTimeOfDay)
{
    struct Case {
        const char* name;
        uint32_t flags;
        int dayNight, light, k;
    };
    const uint32_t snow = kStateWeather | kStateSnowSeason;
    const Case cases[] = {
        {"plain day", 0, 0, 0, 0},
        {"day/night off ignores the night", kStateWeather, 2, 1, 0},
        {"snow without day/night", snow, 2, 1, 4},
        {"snow season without weather", kStateSnowSeason, 0, 0, 0},
        {"dusk", kStateDayNight, 1, 0, 1},
        {"dark night", kStateDayNight, 2, 0, 2},
        {"moonlit night", kStateDayNight, 2, 1, 3},
        {"snow and moonlit night", snow | kStateDayNight, 2, 1, 7},
        {"moon by day changes nothing", snow | kStateDayNight, 0, 1, 4},
        {"damaged time of day counts as day", snow | kStateDayNight, 9, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GAMEDATASTRUCT& g = doc->m_GameData;
        g.dwStateFlag = c.flags;
        g.nDayNight = c.dayNight;
        g.nLight = c.light;
        view->SelectTerrainColours();
        const RgbQuad* pal = view->GetPalette()->GetColorTable();
        const RgbQuad* buf = view->GetDib()->GetColorTable();
        for (int e : {98, 140, 179}) {
            EXPECT_EQ(pal[e].rgbRed, c.k + 1) << e;
            EXPECT_EQ(buf[e].rgbGreen, c.k + 1) << e;
        }
        EXPECT_NE(pal[97].rgbRed, c.k + 1);
    }
}

class TerrainSetTest : public ViewTest {
protected:
    void SetUp() override
    {
        // A program folder of its own: the stage's pictures and a season
        // file of the wrong size.
        dir = std::filesystem::temp_directory_path() / ("velmorath-view-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        for (auto& e : std::filesystem::directory_iterator(StageFolder()))
            if (e.path().extension() == ".pxs" || e.path().extension() == ".PLB")
                std::filesystem::create_symlink(e.path(), dir / e.path().filename());
        std::filesystem::remove(dir / "terrain3.pxs");
        std::ifstream in(StageFolder() + "/terrain0.pxs", std::ios::binary);
        std::vector<char> data((std::istreambuf_iterator<char>(in)), {});
        uint32_t h = 0;
        std::memcpy(&h, data.data() + 4, 4);
        h += 42;
        std::memcpy(data.data() + 4, &h, 4);
        data.resize(data.size() + 56 * 42, 7);
        std::ofstream(dir / "terrain3.pxs", std::ios::binary)
            .write(data.data(), std::streamsize(data.size()));
        ViewTest::SetUp();
        platform::SetProgramFolder(dir.string());
    }
    void TearDown() override
    {
        ViewTest::TearDown();
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
};

TEST_F(TerrainSetTest, SeasonSetReplacesTheLowerPartOnlyWhenItHasItsSize)
{
    ASSERT_GT(view->TerrainPartHeight(), 0);
    CDib* store = view->m_pTerrainDib.get();
    const int bottom = store->GetHeight() - 1;
    std::vector<uint8_t> before(store->GetBits(), store->GetBits() + store->GetStride() * store->GetHeight());

    EXPECT_TRUE(view->LoadTerrainSet(1));
    EXPECT_EQ(view->m_nTerrainSet, 1);
    // The upper part ("terrain.pxs") is untouched.
    EXPECT_EQ(store->Surface().GetPixel(10, 10), before[size_t(bottom - 10) * store->GetStride() + 10]);

    std::vector<uint8_t> set1(store->GetBits(), store->GetBits() + store->GetStride() * store->GetHeight());
    dialogs.Clear();
    EXPECT_FALSE(view->LoadTerrainSet(3));
    EXPECT_EQ(view->m_nTerrainSet, 1);
    EXPECT_FALSE(dialogs.Boxes().empty());
    EXPECT_TRUE(std::equal(set1.begin(), set1.end(), store->GetBits()));
    EXPECT_FALSE(view->LoadTerrainSet(4));
    EXPECT_TRUE(view->LoadTerrainSet(0));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), store->GetBits()));
}

TEST_F(ViewStateTest, PixelToCellShiftsOddRowsHalfACell)
{
    view->m_rcMapHexes = {35, 40, 96, 96};  // odd first row
    PointI off;
    EXPECT_EQ(view->PixelToCell(0, 0, &off), MakeHex(35, 39));
    EXPECT_EQ(off, (PointI{28, 0}));
    EXPECT_EQ(view->PixelToCell(30, 5, &off), MakeHex(35, 40));
    EXPECT_EQ(off, (PointI{2, 5}));
    EXPECT_EQ(view->PixelToCell(30, 45, &off), MakeHex(36, 40));  // even row below
    EXPECT_EQ(off, (PointI{30, 3}));
}

TEST_F(ViewStateTest, CentringClampsAndKeepsANarrowMapAtZero)
{
    ShowMap(560, 420, {0, 0}, {36, 35, 96, 96});
    const MapHexRect& m = view->m_rcMapHexes;
    const int maxX = m.Columns() * 56 + 28 - 560, maxY = m.Rows() * 42 + 14 - 420;
    struct Case {
        const char* name;
        HEXINDEX hex;
        int result;
        PointI scroll;
    };
    const Case cases[] = {
        {"first hex", MakeHex(36, 35), 1, {0, 0}},
        {"last hex", MakeHex(96, 96), 1, {maxX, maxY}},
        {"middle", MakeHex(50, 50), 1, {(50 - 35) * 56 + 28 - 280, (50 - 36) * 42 + 28 - 210}},
        {"outside the rectangle", MakeHex(30, 50), 0, {(50 - 35) * 56 + 28 - 280, (50 - 36) * 42 + 28 - 210}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(view->CenterOnHex(c.hex), c.result);
        EXPECT_EQ(view->GetScrollPosition(), c.scroll);
        EXPECT_FALSE(view->m_dwState & kViewPendingScroll);
    }
    // A map narrower than the window keeps x at 0.
    ShowMap(560, 420, {0, 0}, {36, 35, 96, 40});
    EXPECT_EQ(view->CenterOnHex(MakeHex(80, 40)), 1);
    EXPECT_EQ(view->GetScrollPosition().x, 0);
    EXPECT_GT(view->GetScrollPosition().y, 0);
}

TEST_F(ViewStateTest, HexToCellFindsVisibleCellsOnly)
{
    ShowMap(560, 420, {56 * 5, 42 * 5}, {36, 35, 96, 96});
    const HEXINDEX first = MakeHex(41, 40);
    ASSERT_TRUE(view->HexToCell(first, false));
    EXPECT_EQ(view->m_ptCell, ExpectedCell(first));
    // The half hex west of it starts the row: partly visible.
    EXPECT_FALSE(view->HexToCell(MakeHex(41, 39), false));
    EXPECT_TRUE(view->HexToCell(MakeHex(41, 39), true));
    // Left of a row's first cell: never reached, even when close.
    EXPECT_FALSE(view->HexToCell(MakeHex(42, 39), true));
    EXPECT_FALSE(view->HexToCell(MakeHex(40, 41), true));  // above
    // Partly outside on the right: only with bPartial.
    const HEXINDEX right = MakeHex(41, 49);
    EXPECT_FALSE(view->HexToCell(right, false));
    EXPECT_TRUE(view->HexToCell(right, true));
    EXPECT_EQ(view->m_ptCell, ExpectedCell(right));
    EXPECT_FALSE(view->HexToCell(MakeHex(41, 50), true));
    EXPECT_TRUE(view->HexToCell(MakeHex(42, 49), false));
}

TEST_F(ViewStateTest, RedrawIfVisibleCentresAndRefusesAfterACloseRequest)
{
    ShowMap(560, 420, {0, 0}, {36, 35, 96, 96});
    EXPECT_EQ(view->RedrawHexIfVisible(MakeHex(70, 70), true), 1);
    EXPECT_EQ(view->m_ptCell, ExpectedCell(MakeHex(70, 70)));
    EXPECT_NE(view->GetScrollPosition(), (PointI{0, 0}));
    EXPECT_EQ(view->RedrawHexIfVisible(MakeHex(20, 20), true), 0);
    view->m_dwState |= kViewCloseRequested;
    EXPECT_EQ(view->RedrawHexIfVisible(MakeHex(70, 70), true), 0);
}

TEST_F(ViewStateTest, MarksKeepAndRanges)
{
    const HEXINDEX a = MakeHex(40, 40), b = MakeHex(41, 41), c = MakeHex(42, 42);
    view->MarkSourceAndTarget(a, b);
    EXPECT_EQ(view->m_dwHexMarkView[a], 1u);
    EXPECT_EQ(view->m_dwHexMarkView[b], 2u);
    view->m_nCandidateHex[0] = a;
    view->m_nCandidateHex[1] = c;
    view->m_nCandidateHex[2] = -1;
    view->MarkHexList(4, true);
    EXPECT_EQ(view->m_dwHexMarkView[a], 5u);
    EXPECT_EQ(view->m_dwHexMarkView[b], 2u);
    EXPECT_EQ(view->m_dwHexMarkView[c], 4u);
    view->MarkHexList(4, false);
    EXPECT_EQ(view->m_dwHexMarkView[a], 4u);
    EXPECT_EQ(view->m_dwHexMarkView[b], 0u);

    for (auto& v : doc->m_dwHexMove) v = 0xC0000000u;
    doc->m_dwHexMove[a] = 0;
    doc->m_dwHexMove[b] = 0x08000000u;
    doc->m_dwHexWork1[c] = 0x00020000u;
    UNITSTRUCT unit{};
    unit.nHex = MakeHex(50, 50);
    view->m_pSelUnit = &unit;
    view->MarkMoveRange();
    EXPECT_EQ(view->m_dwHexMarkView[a], 1u);
    EXPECT_EQ(view->m_dwHexMarkView[b], 2u);
    EXPECT_EQ(view->m_dwHexMarkView[c], 4u);
    EXPECT_EQ(view->m_dwHexMarkView[unit.nHex], 1u);
    EXPECT_EQ(view->m_dwHexMarkView[MakeHex(60, 60)], 0u);
    view->ClearHexMarks(false);
    EXPECT_EQ(view->m_dwHexMarkView[a], 0u);
}

TEST_F(ViewStateTest, MoveModeMarksTheRangeAndOwnersTurnEnemyOnlyWhenThereIsOne)
{
    for (auto& v : doc->m_dwHexMove) v = 0xC0000000u;
    UNITSTRUCT unit{};
    unit.nHex = MakeHex(50, 50);
    view->m_dwState = 0x800;
    view->BeginMoveMode(&unit);
    EXPECT_EQ(view->m_nCmdMode, 4);
    EXPECT_EQ(view->m_pSelUnit, &unit);
    EXPECT_TRUE(view->m_dwState & kViewOrderEntry);
    EXPECT_EQ(view->m_dwHexMarkView[unit.nHex], 1u);

    COUNTRYSTRUCT& cur = doc->m_GameData.Country[0];
    cur.nSide = 0;
    const HEXINDEX hex = MakeHex(45, 45);
    doc->m_dwHexCell[hex] = kCity;  // no owner
    view->MakeHexOwnerEnemy(hex);
    EXPECT_EQ(doc->StubCalls(DocStub::ChangeCountrySide), 0);  // no current country
    view->SetCurrentCountry(0, &cur);
    view->MakeHexOwnerEnemy(hex);
    EXPECT_EQ(doc->StubCalls(DocStub::ChangeCountrySide), 0);  // unowned
    doc->m_dwHexCell[hex] = WithOwner(kCity, 2);
    view->MakeHexOwnerEnemy(hex);
    EXPECT_EQ(doc->StubCalls(DocStub::ChangeCountrySide), 1);
}

TEST_F(ViewStateTest, CentreOnUnitGoesToTheOutermostCarrier)
{
    ShowMap(560, 420, {0, 0}, {36, 35, 96, 96});
    COUNTRYSTRUCT& c = doc->m_GameData.Country[2];
    UNITSTRUCT& ship = c.Unit[3];
    ship.dwFlag = kUnitInUse;
    ship.nHex = MakeHex(70, 60);
    ship.dwCargo = MakeCargo(kNoCarrier, 1);
    UNITSTRUCT& plane = c.Unit[9];
    plane.dwFlag = kUnitInUse | kUnitCarried;
    plane.refSelf = MakeUnitRef(2, 9);
    plane.nHex = MakeHex(40, 40);  // stale: the carrier's hex counts
    plane.dwCargo = MakeCargo(3, 0);
    EXPECT_EQ(view->CenterOnUnit(plane), ship.nHex);
    plane.dwFlag |= 0x00400000u;  // the carry-over pool is not on the map
    plane.dwFlag &= ~kUnitCarried;
    EXPECT_EQ(view->CenterOnUnit(plane), -1);
}

TEST_F(ViewStateTest, CapitalAndCommandBars)
{
    FakeWindow window;
    view->SetWindow(&window);
    ShowMap(560, 420, {0, 0}, {36, 35, 96, 96});
    EXPECT_EQ(view->GoToCapital(nullptr), 0);  // no current country
    EXPECT_TRUE(window.warps.empty());
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    c.dwFlag = kCountryPresent;
    c.nCapital = MakeHex(61, 60);
    doc->SetCurrentCountry(0);
    EXPECT_EQ(view->GoToCapital(nullptr), 1);
    ASSERT_EQ(window.warps.size(), 1u);
    const PointI s = view->GetScrollPosition();
    EXPECT_EQ(window.warps[0], (PointI{(60 - 35) * 56 + 28 - s.x + 28, (61 - 36) * 42 + 28 - s.y}));

    FakeFrame frame;
    view->SetFrameSink(&frame);
    view->m_dwState = kViewClosingBars | kViewOrderEntry | kViewHumanPhase;
    view->CloseCommandBars(false);
    EXPECT_TRUE(frame.commands.empty());
    EXPECT_EQ(view->m_dwState, kViewHumanPhase);
    view->m_dwState = 0x800 | 0x100 | 0x200;
    view->CloseCommandBars(true);
    EXPECT_EQ(frame.commands, (std::vector<int>{32820, 32835, 32842}));
    view->SetWindow(nullptr);
}

TEST_F(ViewStateTest, ScrollingByLinesPagesAndNotWhileBusy)
{
    ShowMap(560, 420, {0, 0}, {36, 35, 96, 96});
    view->OnScroll(0, ScrollCode::LineDown);
    view->OnScroll(1, ScrollCode::LineDown);
    EXPECT_EQ(view->GetScrollPosition(), (PointI{56, 42}));
    view->OnScroll(0, ScrollCode::PageDown);
    view->OnScroll(1, ScrollCode::PageDown);
    EXPECT_EQ(view->GetScrollPosition(), (PointI{56 + 560, 42 + 420}));
    view->OnScroll(0, ScrollCode::LineUp);
    EXPECT_EQ(view->GetScrollPosition().x, 560);
    view->OnScroll(0, ScrollCode::Top);
    view->OnScroll(1, ScrollCode::Bottom);
    const MapHexRect& m = view->m_rcMapHexes;
    EXPECT_EQ(view->GetScrollPosition(), (PointI{0, m.Rows() * 42 + 14 - 420}));
    view->OnScroll(1, ScrollCode::ThumbTrack, 100);
    EXPECT_EQ(view->GetScrollPosition().y, 100);
    view->m_dwState |= kViewBusy;
    view->OnScroll(1, ScrollCode::LineDown);
    EXPECT_EQ(view->GetScrollPosition().y, 100);
    // An axis without a range does not move.
    view->m_dwState &= ~kViewBusy;
    ShowMap(560, 420, {0, 0}, {36, 35, 96, 40});
    view->OnScroll(0, ScrollCode::LineDown);
    EXPECT_EQ(view->GetScrollPosition().x, 0);
    // The render follows the scroll: the buffer shows the new position.
    EXPECT_EQ(view->OnMciNotify(0x1234), 1);
}

TEST_F(ViewStateTest, StartCommandRunsOnceAfterTheLoopStarts)
{
    FakeWindow window;
    int runs = 0;
    view->SetWindow(&window);
    view->SetStartupCommand([&] { ++runs; });
    view->OnInitialUpdate();
    EXPECT_EQ(runs, 0);
    ASSERT_EQ(window.posted.size(), 1u);
    window.posted[0]();
    EXPECT_EQ(runs, 1);
    view->SetWindow(nullptr);
}

TEST_F(ViewStateTest, StartShowsTheMapAreaAndAClickInTheWaitingPhaseShowsTheMap)
{
    doc->m_rcMapArea = {20, 30, 60, 70};  // first column, first row, last column, last row
    view->OnStartupCommand();
    EXPECT_EQ(view->m_rcMapHexes.firstColumn, 20);
    EXPECT_EQ(view->m_rcMapHexes.firstRow, 30);
    EXPECT_EQ(view->m_rcMapHexes.lastColumn, 60);
    EXPECT_EQ(view->m_rcMapHexes.lastRow, 70);
    EXPECT_EQ(view->GetVirtualSize(), (SizeI{41 * 56 + 28, 41 * 42 + 14}));
    EXPECT_FALSE(view->m_dwDispOption & kDispMapShown);
    // With a current country the view goes to its capital.
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    c.dwFlag = kCountryPresent;
    c.nCapital = MakeHex(50, 40);
    doc->SetCurrentCountry(0);
    view->OnStartupCommand();
    EXPECT_TRUE(view->m_dwState & kViewPendingScroll);
    EXPECT_EQ(view->m_ptPendingScroll, (PointI{(40 - 20) * 56 + 28 - 280, (50 - 30) * 42 + 28 - 210}));

    doc->SetFlowState(PHASE_HUMAN);
    EXPECT_FALSE(view->OnInfoScreenClick());
    doc->SetFlowState(PHASE_WAITCLICK);
    doc->m_dwGameOption |= kOptMultiPlay;
    EXPECT_FALSE(view->OnInfoScreenClick());
    doc->m_dwGameOption &= ~kOptMultiPlay;
    doc->m_nNextFlowState = PHASE_HUMAN;
    EXPECT_TRUE(view->OnInfoScreenClick());
    EXPECT_TRUE(view->m_dwDispOption & kDispMapShown);
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_HUMAN);
    EXPECT_EQ(view->GetBlitMode(), 0);
    EXPECT_FALSE(view->OnInfoScreenClick());
}

TEST_F(ViewStateTest, ProfileValuesReadWithDefaultsAndWrittenBack)
{
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> stored;
        int smapX, progX, layout;
    };
    const Case cases[] = {
        {"nothing stored", {}, 0, 0x7FFF, 0},
        {"negative overview position", {{"SMapDlgX", "-5"}, {"ProgDlgX", "-7"}}, 0, -7, 0},
        {"complete unit list",
         {{"UListDlgRect", "1 2 3 4"}, {"UListDlgColumn", "1 2 3 4 5 6 7 8 9 10"}},
         0,
         0x7FFF,
         1},
        {"rectangle of 3",
         {{"UListDlgRect", "1 2 3"}, {"UListDlgColumn", "1 2 3 4 5 6 7 8 9 10"}},
         0,
         0x7FFF,
         0},
        {"rectangle of 5",
         {{"UListDlgRect", "1 2 3 4 5"}, {"UListDlgColumn", "1 2 3 4 5 6 7 8 9 10"}},
         0,
         0x7FFF,
         0},
        {"columns of 9",
         {{"UListDlgRect", "1 2 3 4"}, {"UListDlgColumn", "1 2 3 4 5 6 7 8 9"}},
         0,
         0x7FFF,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::MemorySettingsStore store;
        for (auto [k, v] : c.stored) store.WriteString(kProfileSection, k, v);
        CZRKGameView v;
        v.SetSettings(&store);
        v.PreCreateWindow();
        EXPECT_EQ(v.m_nSMapX, c.smapX);
        EXPECT_EQ(v.m_nProgX, c.progX);
        EXPECT_EQ(v.m_bUListLayout, c.layout);
        v.m_nSMapY = 33;
        v.SaveViewSettings();
        EXPECT_EQ(store.ReadInt(kProfileSection, "SMapDlgY"), 33);
        EXPECT_EQ(store.ReadInt(kProfileSection, "ProgDlgX"), c.progX);
        if (c.layout == 0) {
            // The unit list's texts stay as they were until the list has
            // been closed once.
            const bool had = !c.stored.empty() && std::string(c.stored[0].first) == "UListDlgRect";
            EXPECT_EQ(store.Has(kProfileSection, "UListDlgRect"), had);
            v.m_bUListLayout = 1;
            v.m_rcUList = {5, 6, 7, 8};
            v.SaveViewSettings();
            EXPECT_EQ(store.ReadString(kProfileSection, "UListDlgRect"), "5 6 7 8");
        } else {
            EXPECT_EQ(store.ReadString(kProfileSection, "UListDlgColumn"), "1 2 3 4 5 6 7 8 9 10");
        }
        v.SetSettings(nullptr);
    }
}

TEST_F(ViewStateTest, UnitDisplayCodeKeepsItsFieldsApart)
{
    UNITSTRUCT u{};
    u.dwFlag = kUnitInUse | 0x40000000u | 0x05000000u | 0x00200000u;  // acted, display 5, submerged
    u.nArms = zrvtest::kFixtureDestroyer;
    u.nStrength = 300;
    const uint32_t code = MakeUnitDisplayCode(u);
    EXPECT_EQ(CodePicture(code), ArmsRecord(u.nArms)->nPicture);
    EXPECT_EQ(CodeColourSet(code), 5);
    EXPECT_EQ(CodeStrength(code), 0x7F);
    EXPECT_EQ(code & 0xF8000000u, kCodeDrawn | kCodeActed | kCodeDithered);

    COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
    c.dwFlag = kCountryPresent;
    u.nHex = MakeHex(50, 50);
    u.nStrength = 8;
    c.Unit[0] = u;
    c.Unit[1] = u;
    c.Unit[1].nHex = MakeHex(51, 50);
    c.Unit[1].dwFlag |= kUnitCarried;
    view->RebuildUnitDisplayMap();
    EXPECT_EQ(CodeStrength(view->m_dwHexUnitCode[u.nHex]), 8);
    EXPECT_EQ(view->m_dwHexUnitCode[MakeHex(51, 50)], 0u);
}

}  // namespace
}  // namespace viewtest
