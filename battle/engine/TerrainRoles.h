#pragma once
// Terrain indexes that the rules name. What each terrain looks like and costs
// lies in the data library's tables; the rules only rely on these indexes
// holding terrains of these kinds (the shipped library is checked for it).

namespace zrv {

inline constexpr int kTerrainPlain = 7;           // what an airfield's removal leaves
inline constexpr int kTerrainDesert = 79;         // desert: takes the desert airfield
inline constexpr int kTerrainAirfield = 4;        // airfield built on any other terrain
inline constexpr int kTerrainDesertAirfield = 83; // airfield built on the desert
inline constexpr int kTerrainFortress = 35;       // fortress; aircraft on it are stranded
inline constexpr int kTerrainDesertFortress = 84; // the desert's fortress; likewise

}  // namespace zrv
