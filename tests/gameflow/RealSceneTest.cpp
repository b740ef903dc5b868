// The stand-in animation's reading of a block without a display: texts clamped
// and named only from inside the library's tables, and a unit picture taken
// only where the library's picture table points inside the picture file.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

#include "foundation/LibraryRecords.h"
#include "platform/core/Paths.h"
#include "standins/zrvreal/RealScene.h"

namespace zrv {
namespace {

// A library with three unit types (pictures 0, 1 and 2) and a picture table
// whose entries a test can damage.
struct SmallLibrary {
    SmallLibrary()
    {
        for (int i = 0; i < 3; ++i) arms[static_cast<size_t>(i)].nPicture = i;
        // unit2.pxs: 96 pictures of 42 rows, the sprite in rows 3-38 of its box.
        for (int p = 0; p < 3; ++p) offsets[static_cast<size_t>(p)] = {(95 - p) * 42 + 3, 0, 36};
        lib.ArmsData = arms;
        lib.UnitGraphicsOffset = offsets;
        lib.UnitNameJ = names;
    }
    std::array<ARMSSTRUCT, 3> arms{};
    std::array<std::array<int32_t, 3>, 3> offsets{};
    std::array<const char*, 3> names{"歩兵", "", "戦車"};
    DataLibrary lib;
};

TEST(RealScene, TextsAreClampedAndNamedOnlyFromInsideTheTables)
{
    SmallLibrary small;
    GAMEREALSTRUCT b{};
    b.Side[0].Unit.nArms = 2;
    b.Side[0].Unit.nStrength = 2000000000;
    b.Side[0].nLoss = -4;
    b.Side[0].nShots[0] = INT32_MAX;
    b.Side[0].nShots[1] = INT32_MAX;
    b.Side[1].Unit.nArms = 3;  // one past the table
    b.Side[1].Unit.nStrength = 5;
    b.Side[1].nLoss = 9;
    const RealSceneText t = DecodeRealScene(b, &small.lib);
    EXPECT_EQ(t.side[0], u8"Side 1: 戦車  strength 9999  loss 0  shots 9999");
    EXPECT_EQ(t.side[1], "Side 2: type 3  strength 5  loss 5  shots 0") << "a loss is at most the strength";
    b.Side[1].Unit.nArms = 1;  // an empty name: the number stands in
    EXPECT_EQ(DecodeRealScene(b, &small.lib).side[1].rfind("Side 2: type 1 ", 0), 0u);
    EXPECT_EQ(DecodeRealScene(b).side[0].rfind("Side 1: type 2 ", 0), 0u) << "without a library";
    const GAMEREALSTRUCT empty{};
    EXPECT_EQ(DecodeRealScene(empty, &small.lib).side[1], "Side 2: -");
}

TEST(RealScene, APictureIsTakenOnlyWhereTheTablesPointInsideTheFile)
{
    platform::SetProgramFolder(STAGE_DIR);
    const struct {
        const char* name;
        int type;
        std::array<int32_t, 3> offset;  // given to picture 1
        int picture;                    // type 1's picture number
        bool taken;
    } cases[] = {
        {"a sound entry", 1, {94 * 42 + 3, 0, 36}, 1, true},
        {"type past the unit types", 3, {94 * 42 + 3, 0, 36}, 1, false},
        {"negative type", -1, {94 * 42 + 3, 0, 36}, 1, false},
        {"picture number past the table", 1, {94 * 42 + 3, 0, 36}, 3, false},
        {"negative picture number", 1, {94 * 42 + 3, 0, 36}, -2, false},
        {"rows below the file", 1, {-10, 0, 36}, 1, false},
        {"rows above the file", 1, {96 * 42 - 20, 0, 36}, 1, false},
        {"no height", 1, {94 * 42 + 3, 0, 0}, 1, false},
        {"a height that would overflow", 1, {INT32_MAX, 0, INT32_MAX}, 1, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        SmallLibrary small;
        small.offsets[1] = k.offset;
        small.arms[1].nPicture = k.picture;
        RealSceneArt art;
        ASSERT_TRUE(art.Load(small.lib));
        RealScenePicture p;
        EXPECT_EQ(art.Picture(k.type, p), k.taken);
        if (!k.taken) {
            EXPECT_TRUE(p.rgb.empty());
            continue;
        }
        ASSERT_EQ(p.width, 56);
        ASSERT_EQ(p.height, 36);
        ASSERT_EQ(p.rgb.size(), 56u * 36u);
        int opaque = 0;
        for (uint32_t c : p.rgb) opaque += c != kRealTransparent;
        EXPECT_GT(opaque, 0) << "the sprite is there";
        EXPECT_LT(opaque, 56 * 36) << "and stands on the transparent colour";
    }
}

TEST(RealScene, WithoutThePictureFilesThereAreNoPictures)
{
    platform::SetProgramFolder(testing::TempDir());
    SmallLibrary small;
    RealSceneArt art;
    EXPECT_FALSE(art.Load(small.lib));
    RealScenePicture p;
    EXPECT_FALSE(art.Picture(0, p));
}

}  // namespace
}  // namespace zrv
