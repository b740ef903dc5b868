#pragma once
// Stand-in for the hex-index basics of the game-state records until they are
// merged; removed then.
#include <cstdint>
namespace zrv {
using HEXINDEX = int32_t;
inline constexpr int kMapSize = 128;
inline constexpr int kHexCount = kMapSize * kMapSize;
constexpr HEXINDEX MakeHex(int row, int column) { return (row << 7) | column; }
constexpr int HexRow(HEXINDEX hex) { return (hex >> 7) & 0x7F; }
constexpr int HexColumn(HEXINDEX hex) { return hex & 0x7F; }
constexpr bool IsMapHex(HEXINDEX hex) { return hex >= 0 && hex < kHexCount; }
}  // namespace zrv
