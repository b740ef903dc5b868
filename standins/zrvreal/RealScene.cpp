#include "standins/zrvreal/RealScene.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Largest strength or loss worth showing: damaged or foreign values are shown
// as this much, never as garbage.
constexpr int32_t kShownMax = 9999;

int32_t Shown(int32_t v)
{
    return std::clamp<int32_t>(v, 0, kShownMax);
}

std::string SideLine(const zrv::REALSIDESTRUCT& s, int index)
{
    int64_t shots = 0;
    for (int32_t n : s.nShots) shots += std::clamp<int32_t>(n, 0, kShownMax);
    char line[160];
    std::snprintf(line, sizeof line, "Side %d: type %d  strength %d  loss %d  shots %lld", index + 1,
                  static_cast<int>(s.Unit.nArms), static_cast<int>(Shown(s.Unit.nStrength)),
                  static_cast<int>(std::min(Shown(s.nLoss), Shown(s.Unit.nStrength))),
                  static_cast<long long>(std::min<int64_t>(shots, kShownMax)));
    return line;
}

}  // namespace

RealSceneText DecodeRealScene(const zrv::GAMEREALSTRUCT& block)
{
    RealSceneText t;
    t.side[0] = SideLine(block.Side[0], 0);
    // An empty second side (a bombing of an empty hex, an action scene)
    // shows no second unit.
    static const zrv::REALSIDESTRUCT kEmpty{};
    t.side[1] = std::memcmp(&block.Side[1], &kEmpty, sizeof kEmpty) == 0 ? std::string("Side 2: -")
                                                                          : SideLine(block.Side[1], 1);
    char cap[96];
    std::snprintf(cap, sizeof cap, "Battle  (order %d, distance %d)", static_cast<int>(block.nOrder),
                  static_cast<int>(std::clamp<int32_t>(block.nDistance, 0, kShownMax)));
    t.caption = cap;
    return t;
}

void WriteRealSceneDump(const char* path, const zrv::GAMEREALSTRUCT& b)
{
    std::FILE* f = std::fopen(path, "w");
    if (!f) return;
    std::fprintf(f, "rcMap=%d,%d,%d,%d\n", b.rcMap.left, b.rcMap.top, b.rcMap.right, b.rcMap.bottom);
    std::fprintf(f, "nWeather=%d\nbSnow=%d\ndwSound=%u\nnOrder=%d\n", b.nWeather, b.bSnow, b.dwSound, b.nOrder);
    for (int i = 0; i < 2; ++i) {
        const zrv::REALSIDESTRUCT& s = b.Side[i];
        std::fprintf(f, "Side%d.nArms=%d\nSide%d.nStrength=%d\nSide%d.nLoss=%d\nSide%d.dwWeapons=%u\nSide%d.dwDirs=%u\n",
                     i, s.Unit.nArms, i, s.Unit.nStrength, i, s.nLoss, i, s.dwWeapons, i, s.dwDirs);
    }
    std::fprintf(f, "nAttackKind=%d\nnAAFireDamage=%d\nnIceLevel=%d\nnTotals=%d,%d\nnArea=%d\nnDistance=%d\n",
                 b.nAttackKind, b.nAAFireDamage, b.nIceLevel, b.nTotals[0], b.nTotals[1], b.nArea, b.nDistance);
    std::fprintf(f, "nResult=%d\ndwCell=%u\nnLightMode=%d\nraw=", b.nResult, b.dwCell, b.nLightMode);
    const auto* p = reinterpret_cast<const unsigned char*>(&b);
    for (size_t i = 0; i < sizeof b; ++i) std::fprintf(f, "%02x", p[i]);
    std::fprintf(f, "\n");
    std::fclose(f);
}
