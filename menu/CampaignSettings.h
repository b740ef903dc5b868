#pragma once
// The campaign settings dialog (144) without a window: twelve check boxes in
// four groups, each setting or clearing one bit of the option word that the
// battle program gets as the argument of a campaign scenario start. The word
// starts at 0 and always mirrors the boxes; bits 12-31 stay 0.

#include <array>
#include <cstdint>

namespace zrv {

struct CampaignSettingsBox {
    int id;           // control id
    int group;        // index into kCampaignSettingsGroups
    const char* text; // CP932
    uint32_t bit;
};

inline constexpr const char* kCampaignSettingsCaption = "キャンペーン設定";
inline constexpr const char* kCampaignSettingsNote =
    "セーブ以外は連合軍側の全国に適用されます。\nチェックが多いほど難易度が下がります。";
inline constexpr const char* kCampaignSettingsOk = "設定";
inline constexpr const char* kCampaignSettingsCancel = "中止";
inline constexpr std::array<const char*, 4> kCampaignSettingsGroups = {"軍事費", "初期配置禁止", "生産禁止", "その他"};
inline constexpr std::array<CampaignSettingsBox, 12> kCampaignSettingsBoxes = {{
    {1105, 0, "開始時　５０％", 0x002},
    {1106, 0, "収入　　５０％", 0x001},
    {1107, 1, "戦闘機系", 0x100},
    {1108, 1, "中戦車系", 0x080},
    {1109, 1, "主力艦艇", 0x040},
    {1110, 2, "戦闘機系", 0x020},
    {1111, 2, "中戦車系", 0x010},
    {1112, 2, "牽引砲", 0x008},
    {1113, 2, "工作車", 0x004},
    {1114, 3, "反撃なし", 0x400},
    {1115, 3, "対空防御射撃なし", 0x200},
    {1116, 3, "セーブ無制限", 0x800},
}};

class CCampaignSettingsDlg {
public:
    // A click on box id that leaves it checked or not; other ids change nothing.
    void OnBoxClicked(int id, bool checked);
    uint32_t OptionWord() const { return m_dwOption; }

private:
    uint32_t m_dwOption = 0;
};

}  // namespace zrv
