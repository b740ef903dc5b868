#pragma once
// The traits word of each unit class (the library's ArmsData class, 0..62):
// bits 0-3 a weight that sorts cargo, bit 26 classes that stay put, bit 30
// classes that need no ammunition (their air units count as surface targets
// for the weapon choice); bits 10-12 mark the classes a harder campaign level
// takes away; the other bits serve the computer player.

#include <array>
#include <cstdint>

#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr std::array<uint32_t, kClassCount> kClassTraits = {
    0x8,        0x9,        0x1090C,    0x1090F,    0x1090C,    0x1090C,    0x1090C,   0x1090C,     // 0-7
    0x1090C,    0x1090C,    0x7,        0x1090D,    0x1000A,    0x10007,    0xA,       0x2000006,   // 8-15
    0x2000006,  0x2000005,  0x1000007,  0x1000007,  0x24440000, 0x24440000, 0x10082,   0x2000082,   // 16-23
    0x2000081,  0x3000083,  0x2440005,  0x2440040,  0x14440000, 0x0,        0x2480000, 0x2440000,   // 24-31
    0x0,        0x40049200, 0x40040000, 0x40049200, 0x840000,   0x940000,   0x840000,  0x14C40000,  // 32-39
    0x20840000, 0x14C40000, 0x844000,   0x40049200, 0x40040000, 0x940000,   0x840000,  0x40049200,  // 40-47
    0x840000,   0x40041200, 0x840000,   0x20840000, 0x14C40000, 0x844000,   0x0,       0x1226000,   // 48-55
    0x1322400,  0x1322400,  0x1022000,  0x220000,   0xC400000,  0xC400000,  0x400000,               // 56-62
};

// The traits of a class; 0 for a class outside the table.
constexpr uint32_t ClassTraits(int cls)
{
    return cls >= 0 && cls < kClassCount ? kClassTraits[static_cast<size_t>(cls)] : 0;
}

static_assert(kClassTraits[62] == 0x400000, "one word per class, in class order");

}  // namespace zrv
