#include <gtest/gtest.h>

#include <memory>

#include "foundation/HandOver.h"

namespace {

TEST(HandOver, BlockFieldsLieWhereBothProgramsExpectThem)
{
    // The image starts 12 bytes into its area and runs to the end of the block.
    EXPECT_EQ(offsetof(zrv::GAMEMENUSTRUCT, Image) + sizeof(zrv::GAMEDATASTRUCT), zrv::kGameMenuBlockSize);
    auto block = std::make_unique<zrv::GAMEMENUSTRUCT>();
    EXPECT_EQ(reinterpret_cast<char*>(&block->Side[7]) + sizeof(zrv::SIDESETUPSTRUCT),
              reinterpret_cast<char*>(block->ImageHeader));
}

}  // namespace
