#include "battle/dialogs/ConstructionModels.h"

#include <algorithm>

#include "battle/engine/Construction.h"
#include "platform/core/Format.h"

namespace zrv {

DurabilityModel::DurabilityModel(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, int maxSteps)
    : m_game(game), m_unit(unit), m_nMaxSteps(std::max(0, maxSteps)), m_nDurability(CellDurability(unit.dwHexCell))
{
    // The first step that lifts the hex above 249 ends the range; none when
    // the hex is above 249 already (step 0 does it).
    for (int s = 0; s < m_nMaxSteps; ++s) {
        if (m_nDurability + Gain(s) > kMaxDurability - 1) {
            if (s != 0) m_nMaxSteps = s;
            break;
        }
    }
}

int DurabilityModel::Gain(int p) const
{
    return CalcDurabilityGain(m_game, m_unit, CellTerrain(m_unit.dwHexCell), p);
}

std::string DurabilityModel::LowText() const
{
    return platform::FormatText("%3d", {m_nDurability});
}

std::string DurabilityModel::HighText() const
{
    return platform::FormatText("%3d", {m_nDurability + Gain(m_nMaxSteps)});
}

std::string DurabilityModel::CostText(int p) const
{
    return platform::FormatText("消費軍事費  $%3d", {p * kCostDurabilityStep});
}

std::string DurabilityModel::DurabilityText(int p) const
{
    return platform::FormatText("耐久力  %3d", {m_nDurability + Gain(p)});
}

namespace {

struct NamedRoute {
    const char* name;
    int cost;
};

// Removal of the road kinds of cell bits 24..28.
constexpr NamedRoute kRemoval[] = {
    {"通常道路撤去       ", 200}, {"舗装道路撤去       ", 300}, {"アウトバーン撤去   ", 500},
    {"標準軌鉄道撤去     ", 100}, {"広軌鉄道撤去       ", 100},
};
constexpr int kRemovalFirstBit = 24;
// Laying choices of the low half, and the bit that makes the railway a
// broad-gauge one.
constexpr uint32_t kBroadGaugeRailway = 1u << 28;

std::string ChoiceText(const NamedRoute& r)
{
    return platform::FormatText("%s$%3d", {r.name, r.cost});
}

}  // namespace

RouteBuildModel::RouteBuildModel(uint32_t choices, bool laying) : m_bLaying(laying)
{
    auto add = [&](const NamedRoute& r, uint32_t code) {
        if (m_choices.size() < kMaxChoices) m_choices.push_back({ChoiceText(r), code});
    };
    if (!laying) {
        for (int k = 0; k < static_cast<int>(std::size(kRemoval)); ++k) {
            const uint32_t bit = 1u << (kRemovalFirstBit + k);
            if (choices & bit) add(kRemoval[k], bit);
        }
        return;
    }
    const uint32_t high = choices & 0xFFFF0000u;
    if (choices & kLayRoad) add({"通常道路設置       ", kCostRoad}, high | kLayRoad);
    if (choices & kLayRailway) {
        const char* name = (choices & kBroadGaugeRailway) ? "広軌鉄道設置       " : "標準軌鉄道設置     ";
        add({name, kCostRailway}, high | kLayRailway);
    }
    if (choices & kLayConversion) add({"設置済み鉄道変更   ", kCostConversion}, high | kLayConversion);
}

}  // namespace zrv
