#pragma once
// A map view with no display: the generated pictures of the stage folder, a
// battle document filled directly, and a data library that is the fixture
// library with picture numbers and unit pictures that match the generated
// art. Every expected pixel is cut from the generated pictures themselves, so
// a test names the picture that must land in a cell rather than a colour.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"
#include "support/FixtureLibrary.h"

namespace viewtest {

using namespace zrv;

// Terrains of the view's library (on top of the fixture's).
enum ViewTerrain : int {
    kSea = zrvtest::kFixtureSea,      // picture 369, mode 0
    kPlain = zrvtest::kFixturePlain,  // picture 241, mode 0
    kCity = zrvtest::kFixtureCity,    // picture 385, mode 0, occupiable
    kGrass = 10,                      // mode 1 from 241
    kRiver = 11,                      // mode 3 from 401
    kHill = 12,                       // mode 4 from 449
    kCoast = 13,                      // mode 7 from 473
    kPier = 14,                       // mode 9 from 665
    kShoal = 15,                      // mode 10 from 545
    kFlag04 = 20,                     // shape flags of neighbours
    kFlag02 = 21,
    kFlag0C = 22,
    kFlag100 = 23,
    kFlag40 = 24,
    kFlagC0 = 25,
    kForest = 26,     // picture 257, mode 0
    kDesertPic = 27,  // picture 289, mode 0, routes belong to the terrain
};

// The fixture library with picture numbers, unit pictures, terrain colours
// and start tiles that agree with the generated art.
const DataLibrary& ViewLibrary();

// Where the generated pictures are.
std::string StageFolder();

// One picture of the stage as the test reads it, independently of the view.
class StagePictures {
public:
    StagePictures();
    // Pixel (x, y) of terrain picture n (numbered from 1 at the top of
    // "terrain.pxs" over "terrain0.pxs"), x 0-55, y 0-41.
    int Terrain(int n, int x, int y);
    CDib unit, mark, wall, start, flags;

private:
    CDib m_upper, m_lower;
};

// The buffer pixel a hex picture puts at hex pixel (x 0-55, y 0-55), or -1
// where that pixel is not the hex's own (another hex's triangle).
int HexPixelOf(StagePictures& pics, int upper, int lower, int x, int y);

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The view shows the map with its top-left window pixel at map-plane
    // point scroll, in a client of w x h.
    void ShowMap(int w, int h, PointI scroll, MapHexRect rect = {});
    // Buffer position of hex's cell for the current scroll, computed from
    // the full-size plane independently of the view.
    PointI ExpectedCell(HEXINDEX hex) const;
    int Buffer(int x, int y) { return view->GetDib()->Surface().GetPixel(x, y); }
    // Checks every pixel of hex's own area that lies inside the window.
    void ExpectHex(HEXINDEX hex, int upper, int lower);
    void SetTerrain(HEXINDEX hex, int terrain)
    {
        doc->m_dwHexCell[hex] = WithTerrain(doc->m_dwHexCell[hex], terrain);
    }

    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc;
    std::unique_ptr<CZRKGameView> view;
    std::unique_ptr<StagePictures> pics;
};

}  // namespace viewtest
