#pragma once
// The library's exported objects, as the builder fills them. Every table has
// room for more than the shipped content needs; its count export says how
// much of it is in use.

#include <cstdint>

#include "foundation/LibraryRecords.h"

namespace zrvdata {

inline constexpr int kCapUnits = 256;
inline constexpr int kCapWeaponNames = 128;
inline constexpr int kCapPictures = 256;
inline constexpr int kCapScenarios = 32;
inline constexpr int kCapHistory = 64;
inline constexpr int kCapClimate = 16;
inline constexpr int kCapErrors = 256;
inline constexpr int kCapWords = 128;
inline constexpr int kCapCredits = 128;
inline constexpr int kCapMoon = 32;
inline constexpr int kCapEndings = 8;
inline constexpr int kCapNumbers = 64;

}  // namespace zrvdata
