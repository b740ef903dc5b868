#pragma once
// The construction choice dialogs without a window: the durability increase
// (耐久力増加), strength points on a track bar with the durability they buy,
// and the road and railway choice (道路･鉄道設置 / 道路･鉄道撤去), one button
// per choice of the hex.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/GameRecords.h"

namespace zrv {

class DurabilityModel {
public:
    // The unit on its own hex (the cell kept in its record) with at most
    // maxSteps strength points to put in; the range ends early where the hex
    // would pass 249.
    DurabilityModel(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, int maxSteps);

    int MaxSteps() const { return m_nMaxSteps; }
    int Durability() const { return m_nDurability; }
    // Durability that p strength points add.
    int Gain(int p) const;
    // The scale ends ("%3d"): the durability now and at the range's end.
    std::string LowText() const;
    std::string HighText() const;
    // The two lines at position p.
    std::string CostText(int p) const;
    std::string DurabilityText(int p) const;
    // "実行" at position p.
    bool ExecuteEnabled(int p) const { return Gain(p) != 0; }

private:
    const GAMEDATASTRUCT& m_game;
    const UNITSTRUCT& m_unit;
    int m_nMaxSteps;
    int m_nDurability;
};

class RouteBuildModel {
public:
    struct Choice {
        std::string text;  // CP932, "%s$%3d"
        uint32_t code;
    };
    static constexpr int kMaxChoices = 3;

    // choices: the hex's choice word; laying false: removal. Bits with no name
    // in the tables are left out; at most three buttons.
    RouteBuildModel(uint32_t choices, bool laying);

    const char* Caption() const { return m_bLaying ? "道路･鉄道設置" : "道路･鉄道撤去"; }
    const std::vector<Choice>& Choices() const { return m_choices; }
    // Top of button k, of "中止" (the row under the last button) and the
    // client height.
    static int ButtonY(int k) { return 3 + 26 * k; }
    int CancelY() const { return ButtonY(static_cast<int>(m_choices.size())); }
    int ClientHeight() const { return CancelY() + 25; }

private:
    bool m_bLaying;
    std::vector<Choice> m_choices;
};

}  // namespace zrv
