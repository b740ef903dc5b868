#include "view/ViewFixture.h"

#include <cstdlib>
#include <cstring>

namespace viewtest {
namespace {

TRRNSTRUCT Shape(uint32_t flags, int picture, int mode)
{
    TRRNSTRUCT t{};
    t.dwTrrnFlag = flags;
    t.nPicture = picture;
    t.nConnectMode = mode;
    return t;
}

struct Library {
    DataLibrary lib;
    std::vector<TRRNSTRUCT> terrain;
    std::vector<std::array<int32_t, 3>> pictures;
    std::vector<TerrainColorSet> colours;
    std::vector<std::array<int32_t, 4>> wall;
    std::vector<TRRNSTRUCT> roads;

    Library()
    {
        lib = zrvtest::FixtureLibrary();
        terrain.assign(lib.TerrainBase.begin(), lib.TerrainBase.end());
        for (auto& t : terrain) t.nPicture = 241;  // everything unnamed is plain grass
        terrain[kSea].nPicture = 369;
        terrain[kCity].nPicture = 385;
        terrain[kGrass] = Shape(0, 241, 1);
        terrain[kRiver] = Shape(0, 401, 3);
        terrain[kHill] = Shape(0, 449, 4);
        terrain[kCoast] = Shape(0, 473, 7);
        terrain[kPier] = Shape(0, 665, 9);
        terrain[kShoal] = Shape(0, 545, 10);
        terrain[kFlag04] = Shape(0x04, 241, 0);
        terrain[kFlag02] = Shape(0x02, 241, 0);
        terrain[kFlag0C] = Shape(0x0C, 241, 0);
        terrain[kFlag100] = Shape(0x100, 241, 0);
        terrain[kFlag40] = Shape(0x40, 241, 0);
        terrain[kFlagC0] = Shape(0xC0, 241, 0);
        terrain[kForest] = Shape(0, 257, 0);
        terrain[kDesertPic] = Shape(1u << 25, 289, 0);
        lib.TerrainBase = terrain;
        // Roads (kind 0) turn to mud from rain level 3.
        roads.assign(lib.RoadBase.begin(), lib.RoadBase.end());
        roads[0].nRainLimit = 3;
        lib.RoadBase = roads;

        // "unit2.pxs": picture p in rows 42p.. from the top.
        for (int p = 0; p < 96; ++p) pictures.push_back({(95 - p) * 42, 0, 42});
        lib.UnitGraphicsOffset = pictures;

        // Colour set k holds grey k in every entry, so a test reads k back.
        colours.resize(kTerrainColorSets);
        for (int k = 0; k < kTerrainColorSets; ++k)
            for (int e = 0; e < 82; ++e) {
                colours[k][static_cast<size_t>(e * 4 + 0)] = static_cast<uint8_t>(k + 1);
                colours[k][static_cast<size_t>(e * 4 + 1)] = static_cast<uint8_t>(k + 1);
                colours[k][static_cast<size_t>(e * 4 + 2)] = static_cast<uint8_t>(k + 1);
            }
        lib.TerrainColorData = colours;

        for (int i = 0; i < kCountryIds; ++i) wall.push_back({(i % 8) * 64, (i / 8) * 64, 64, 64});
        lib.StartWallPositionTable = wall;
    }
};

}  // namespace

const DataLibrary& ViewLibrary()
{
    static Library l;
    return l.lib;
}

std::string StageFolder()
{
    return VELMORATH_VIEW_STAGE_DIR;
}

StagePictures::StagePictures()
{
    auto path = [](const char* name) { return platform::FromNativePath(StageFolder() + "/" + name); };
    EXPECT_TRUE(m_upper.CreateFromPXS(nullptr, path("terrain.pxs")));
    EXPECT_TRUE(m_lower.CreateFromPXS(nullptr, path("terrain0.pxs")));
    EXPECT_TRUE(unit.CreateFromPXS(nullptr, path("unit2.pxs")));
    EXPECT_TRUE(mark.CreateFromPXS(nullptr, path("unitmark.pxs")));
    EXPECT_TRUE(wall.CreateFromPXS(nullptr, path("wall.pxs")));
    EXPECT_TRUE(start.CreateFromPXS(nullptr, path("starttn.pxs")));
    EXPECT_TRUE(flags.CreateFromPXS(nullptr, path("flags.pxs")));
}

int StagePictures::Terrain(int n, int x, int y)
{
    // Pictures 1-240 are "terrain.pxs", the rest "terrain0.pxs".
    const int upperCount = m_upper.GetHeight() / 42;
    if (n <= upperCount) return m_upper.Surface().GetPixel(x, (n - 1) * 42 + y);
    return m_lower.Surface().GetPixel(x, (n - 1 - upperCount) * 42 + y);
}

int HexPixelOf(StagePictures& pics, int upper, int lower, int x, int y)
{
    if (y < 14) {
        const bool own = x < 28 ? x >= 27 - 2 * y : x <= 28 + 2 * y;
        return own ? pics.Terrain(upper, x, y) : -1;
    }
    if (y < 28) return pics.Terrain(upper, x, y);
    if (y < 42) return pics.Terrain(lower, x, y);
    const int r = y - 42;
    if (x < 28) return x >= 2 * r + 1 ? pics.Terrain(lower, x + 28, r) : -1;
    return x - 28 <= 26 - 2 * r ? pics.Terrain(lower, x - 28, r) : -1;
}

void ViewTest::SetUp()
{
    SetLib(&ViewLibrary());
    SetDialogs(&dialogs);
    SetProgramVariant(ProgramVariant::Battle);
    platform::SetProgramFolder(StageFolder());
    doc = std::make_unique<CZRKGameDoc>();
    for (int h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = kPlain;
    view = std::make_unique<CZRKGameView>();
    view->SetDocument(doc.get());
    doc->SetView(view.get());
    view->SetClientSize(560, 420);
    view->OnInitialUpdate();
    pics = std::make_unique<StagePictures>();
}

void ViewTest::TearDown()
{
    doc->SetView(nullptr);
    view.reset();
    doc.reset();
    SetDialogs(nullptr);
    SetLib(nullptr);
}

void ViewTest::ShowMap(int w, int h, PointI scroll, MapHexRect rect)
{
    view->m_rcMapHexes = rect;
    view->OnSize(w, h);
    view->m_dwDispOption |= kDispMapShown;
    view->RecalcMapExtent(false);
    view->SetScrollPosition(scroll.x, scroll.y);
    view->m_dwState |= kViewLayoutChanged;
    view->RenderMap(-1, -1);
}

PointI ViewTest::ExpectedCell(HEXINDEX hex) const
{
    // Full-size plane: hex (r, c) at (c x 56 + 28 (odd r), r x 42); the map
    // plane puts (first column x 56, first row x 42) at (0, 0).
    const MapHexRect& m = view->m_rcMapHexes;
    const int r = HexRow(hex), c = HexColumn(hex);
    const PointI s = view->GetScrollPosition();
    const SizeI client = view->GetClientSize();
    const int mapW = m.Columns() * 56 + 28, mapH = m.Rows() * 42 + 14;
    const int cx = mapW < client.cx ? (client.cx - mapW) / 2 : 0;
    const int cy = mapH < client.cy ? (client.cy - mapH) / 2 : 0;
    return {c * 56 + (r & 1) * 28 - m.firstColumn * 56 - s.x + 56 + cx,
            (r - m.firstRow) * 42 - s.y + 42 + cy};
}

void ViewTest::ExpectHex(HEXINDEX hex, int upper, int lower)
{
    const PointI at = ExpectedCell(hex);
    const SizeI client = view->GetClientSize();
    int checked = 0;
    for (int y = 0; y < 56; ++y)
        for (int x = 0; x < 56; ++x) {
            const int bx = at.x + x, by = at.y + y;
            if (bx < 56 || by < 42 || bx >= client.cx + 56 || by >= client.cy + 42) continue;
            const int want = HexPixelOf(*pics, upper, lower, x, y);
            if (want < 0) continue;
            ++checked;
            if (Buffer(bx, by) != want) {
                ADD_FAILURE() << "hex " << HexRow(hex) << "," << HexColumn(hex) << " pixel " << x << "," << y
                              << ": " << Buffer(bx, by) << " != " << want;
                return;
            }
        }
    EXPECT_GT(checked, 0) << "hex " << HexRow(hex) << "," << HexColumn(hex) << " not in the window";
}

}  // namespace viewtest
