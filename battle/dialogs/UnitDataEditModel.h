#pragma once
// The unit data editor (ユニットデータ編集) without a window: a debugging
// tool that writes straight into one unit record and one country record.
// Eight sliders set the strength, experience, fuel, battery and the four
// tallies; four buttons let the unit act again, empty its ammunition and
// raise or clear the country's war funds. Every change is made at once and
// stays when the editor closes. The data panel shows nine words of the
// record as they were when the editor opened.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/GameRecords.h"
#include "foundation/LibraryRecords.h"

namespace zrv {

// Control ids of the editor.
enum UnitEditControl : int {
    kEditStrength = 1069,
    kEditFuel = 1070,
    kEditExperience = 1071,
    kEditBattery = 1207,
    kEditAirKills = 1080,
    kEditGroundKills = 1081,
    kEditShipKills = 1082,
    kEditLosses = 1083,
    kEditStrengthLabel = 1076,
    kEditFuelLabel = 1077,
    kEditExperienceLabel = 1078,
    kEditBatteryLabel = 1079,
    kEditAirLabel = 1084,
    kEditGroundLabel = 1085,
    kEditShipLabel = 1086,
    kEditLossesLabel = 1087,
    kEditUnitName = 1075,
    kEditAddFunds = 1073,
    kEditActAgain = 1074,
    kEditEmptyAmmo = 1072,
    kEditZeroFunds = 1089,
    kEditMarchTop = 1193,
};

// What each press of "軍資金 +$1000" adds.
inline constexpr int kEditFundsStep = 10000;
// "再行動" keeps only these bits of the flag word.
inline constexpr uint32_t kEditActAgainMask = 0xBFFFE000u;

struct EditSlider {
    int id;     // the slider
    int label;  // its label
    int max;    // range 0..max
    int page;   // page step
    int tick;   // tick spacing
};

class UnitDataEditModel {
public:
    // unit and country must be live records; current: the country the map
    // view serves (null: none).
    UnitDataEditModel(UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current);

    // The type's name for the top field.
    std::string UnitName() const;
    // The sliders that are set up, in the order they are: strength,
    // experience, fuel, battery (only for a battery capacity other than 0),
    // air kills, ground kills, ship kills, losses.
    const std::vector<EditSlider>& Sliders() const { return m_sliders; }
    bool BatteryShown() const { return m_bBattery; }
    const EditSlider* Slider(int id) const;
    // The slider's position as the record stands now (a tally its 16-bit half).
    int Position(int id) const;
    // The label of a slider as the record stands now.
    std::string Label(int id) const;
    // The slider moved to pos (kept inside its range): its field is written
    // (a tally only its half); returns the new label. A hidden slider writes
    // nothing.
    std::string Move(int id, int pos);

    // The buttons.
    void AddFunds();
    void ZeroFunds();
    void ActAgain();
    void EmptyAmmunition();
    bool ActAgainEnabled() const { return m_bActAgain; }
    bool EmptyAmmunitionEnabled() const { return m_bEmptyAmmo; }

    // The data panel: control id and "%08x" text, written once.
    const std::vector<std::pair<int, std::string>>& DataPanel() const { return m_panel; }

    UNITSTRUCT& Unit() const { return m_unit; }
    COUNTRYSTRUCT& Country() const { return m_country; }

private:
    UNITSTRUCT& m_unit;
    COUNTRYSTRUCT& m_country;
    const ARMSSTRUCT* m_pArms;
    std::vector<EditSlider> m_sliders;
    std::vector<std::pair<int, std::string>> m_panel;
    bool m_bBattery = false;
    bool m_bActAgain = false;
    bool m_bEmptyAmmo = true;
};

}  // namespace zrv
