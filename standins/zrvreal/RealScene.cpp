#include "standins/zrvreal/RealScene.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "foundation/Dib.h"
#include "foundation/DibPal.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"

namespace {

// Largest strength or loss worth showing: damaged or foreign values are shown
// as this much, never as garbage.
constexpr int32_t kShownMax = 9999;

int32_t Shown(int32_t v)
{
    return std::clamp<int32_t>(v, 0, kShownMax);
}

// The unit type's name from the library, or its number.
std::string TypeName(int32_t type, const zrv::DataLibrary* lib)
{
    if (lib && type >= 0 && static_cast<size_t>(type) < lib->ArmsData.size()) {
        const char* name = zrv::TableText(lib->UnitNameJ, type);
        if (*name) return platform::SjisToUtf8(name);
    }
    char number[32];
    std::snprintf(number, sizeof number, "type %d", static_cast<int>(type));
    return number;
}

std::string SideLine(const zrv::REALSIDESTRUCT& s, int index, const zrv::DataLibrary* lib)
{
    int64_t shots = 0;
    for (int32_t n : s.nShots) shots += std::clamp<int32_t>(n, 0, kShownMax);
    char line[160];
    std::snprintf(line, sizeof line, "  strength %d  loss %d  shots %lld",
                  static_cast<int>(Shown(s.Unit.nStrength)),
                  static_cast<int>(std::min(Shown(s.nLoss), Shown(s.Unit.nStrength))),
                  static_cast<long long>(std::min<int64_t>(shots, kShownMax)));
    return "Side " + std::to_string(index + 1) + ": " + TypeName(s.Unit.nArms, lib) + line;
}

}  // namespace

RealSceneText DecodeRealScene(const zrv::GAMEREALSTRUCT& block, const zrv::DataLibrary* lib)
{
    RealSceneText t;
    t.side[0] = SideLine(block.Side[0], 0, lib);
    // An empty second side (a bombing of an empty hex, an action scene)
    // shows no second unit.
    static const zrv::REALSIDESTRUCT kEmpty{};
    t.side[1] = std::memcmp(&block.Side[1], &kEmpty, sizeof kEmpty) == 0 ? std::string("Side 2: -")
                                                                         : SideLine(block.Side[1], 1, lib);
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
    std::fprintf(f, "nWeather=%d\nbSnow=%d\ndwSound=%u\nnOrder=%d\n", b.nWeather, b.bSnow, b.dwSound,
                 b.nOrder);
    for (int i = 0; i < 2; ++i) {
        const zrv::REALSIDESTRUCT& s = b.Side[i];
        std::fprintf(
            f,
            "Side%d.nArms=%d\nSide%d.nStrength=%d\nSide%d.nLoss=%d\nSide%d.dwWeapons=%u\nSide%d.dwDirs=%u\n",
            i, s.Unit.nArms, i, s.Unit.nStrength, i, s.nLoss, i, s.dwWeapons, i, s.dwDirs);
    }
    std::fprintf(f, "nAttackKind=%d\nnAAFireDamage=%d\nnIceLevel=%d\nnTotals=%d,%d\nnArea=%d\nnDistance=%d\n",
                 b.nAttackKind, b.nAAFireDamage, b.nIceLevel, b.nTotals[0], b.nTotals[1], b.nArea,
                 b.nDistance);
    std::fprintf(f, "nResult=%d\ndwCell=%u\nnLightMode=%d\nraw=", b.nResult, b.dwCell, b.nLightMode);
    const auto* p = reinterpret_cast<const unsigned char*>(&b);
    for (size_t i = 0; i < sizeof b; ++i) std::fprintf(f, "%02x", p[i]);
    std::fprintf(f, "\n");
    std::fclose(f);
}

// --- pictures ----------------------------------------------------------------------------

struct RealSceneArt::Pixels {
    zrv::CDib unit;
    zrv::RgbQuad table[256];
};

RealSceneArt::RealSceneArt() = default;

RealSceneArt::~RealSceneArt()
{
    delete m_pixels;
}

bool RealSceneArt::Load(const zrv::DataLibrary& lib)
{
    delete m_pixels;
    m_pixels = nullptr;
    m_lib = &lib;
    const std::string folder = platform::ProgramFolder();
    // Missing files are normal for a stand-in: asked first, so no complaint
    // is written for them.
    if (!platform::FileExistsSjis(folder + "unit2.pxs") || !platform::FileExistsSjis(folder + "Game2.PLB"))
        return false;
    auto px = std::make_unique<Pixels>();
    if (!zrv::CDibPal::OpenPaletteFile(folder + "Game2.PLB", px->table)) return false;
    if (!px->unit.CreateFromPXS(px->table, folder + "unit2.pxs") || px->unit.GetBits() == nullptr)
        return false;
    m_pixels = px.release();
    return true;
}

bool RealSceneArt::Picture(int armsType, RealScenePicture& out) const
{
    out = {};
    if (!m_pixels || !m_lib) return false;
    if (armsType < 0 || static_cast<size_t>(armsType) >= m_lib->ArmsData.size()) return false;
    const int picture = m_lib->ArmsData[static_cast<size_t>(armsType)].nPicture;
    if (picture < 0 || static_cast<size_t>(picture) >= m_lib->UnitGraphicsOffset.size()) return false;
    // Row of the picture counted from the file's bottom, offset in the cell
    // (not needed here), height.
    const auto& e = m_lib->UnitGraphicsOffset[static_cast<size_t>(picture)];
    zrv::CDib& dib = m_pixels->unit;
    const int64_t width = std::min(dib.GetWidth(), 56);
    const int64_t height = e[2];
    const int64_t top = static_cast<int64_t>(dib.GetHeight()) - (static_cast<int64_t>(e[0]) + height);
    if (width <= 0 || height <= 0 || height > 256 || top < 0 || top + height > dib.GetHeight()) return false;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgb.reserve(static_cast<size_t>(width * height));
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row = dib.GetPixelPtr(0, static_cast<int>(top) + y);
        if (!row) {
            out = {};
            return false;
        }
        for (int x = 0; x < out.width; ++x) {
            const uint8_t i = row[x];
            const zrv::RgbQuad& q = m_pixels->table[i];
            out.rgb.push_back(i == 0 ? kRealTransparent
                                     : (uint32_t{q.rgbRed} << 16 | uint32_t{q.rgbGreen} << 8 | q.rgbBlue));
        }
    }
    return true;
}
