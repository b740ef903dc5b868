#pragma once
// Where the pictures of the coast-like connect modes (7 and 10) lie within
// their terrain's block: row k is the direction of the single neighbour of the
// second kind, column s the shape of the neighbours of the first kind; -1
// where the pair cannot occur. The map view picks pictures by it and the art
// generator draws them by it, so the two always agree. Standard library only.

#include <cstdint>

namespace zrv {

inline constexpr int kCoastShapes = 18;

// The six direction bits of the 18 shapes a mode 4, 7 or 10 terrain knows;
// the first six are the single directions.
inline constexpr uint8_t kShapes[kCoastShapes] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x03, 0x06, 0x0C,
                                                  0x18, 0x30, 0x21, 0x07, 0x0E, 0x1C, 0x38, 0x31, 0x23};

inline constexpr int8_t kCoastPictureOffset[6][kCoastShapes] = {
    {-1, 9, 13, 17, 21, 25, -1, 37, 40, 43, 46, -1, -1, 59, 61, 63, -1, -1},
    {0, -1, 14, 18, 22, 26, -1, -1, 41, 44, 47, 50, -1, -1, 62, 64, 66, -1},
    {1, 5, -1, 19, 23, 27, 30, -1, -1, 45, 48, 51, -1, -1, -1, 65, 67, 69},
    {2, 6, 10, -1, 24, 28, 31, 34, -1, -1, 49, 52, 54, -1, -1, -1, 68, 70},
    {3, 7, 11, 15, -1, 29, 32, 35, 38, -1, -1, 53, 55, 57, -1, -1, -1, 71},
    {4, 8, 12, 16, 20, -1, 33, 36, 39, 42, -1, -1, 56, 58, 60, -1, -1, -1},
};

}  // namespace zrv
