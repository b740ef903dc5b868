#pragma once
// The game file commands' small rules: the rising save cost, the names the
// save dialogs propose, and the extension a chosen name gets.

#include <cstdint>
#include <string>

namespace zrv {

// Game option bits of saving.
inline constexpr uint32_t kOptClearAvailOnSave = 0x00020000u;  // availability tables cleared before a save
// GAMEDATASTRUCT::nCampaign bit 11: saves are free.
inline constexpr int32_t kCampaignFreeSaves = 0x800;

// Costs of successive paid saves: 0, 100, 200, 400 ... 25,600, then 50,000 for good.
inline constexpr int kFirstSaveCost = 100;
inline constexpr int kMaxSaveCost = 50000;

// The cost of the save after one that cost cost.
constexpr int NextSaveCost(int cost, bool freeSaves)
{
    if (freeSaves) return 0;
    if (cost <= 0) return kFirstSaveCost;
    return cost >= kMaxSaveCost / 2 ? kMaxSaveCost : cost * 2;
}

// "C" or "S", year, month, day, 'A' + hour / 2, ".DG2" (or ext).
std::string DefaultSaveName(uint32_t date, bool campaign, const char* ext = ".DG2");

// Appends ext when the path's last element has no '.' (a dotted folder
// before it does not count).
void AppendExtensionIfNone(std::string& path, const char* ext);

}  // namespace zrv
