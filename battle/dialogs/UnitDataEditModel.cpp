#include "battle/dialogs/UnitDataEditModel.h"

#include <algorithm>
#include <limits>

#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

using platform::FormatText;

// Type flag bit 1: strength counted in pieces (its label reads "Endur.").
constexpr uint32_t kArmsPieces = 0x00000002u;

int High(uint32_t w)
{
    return static_cast<int>(w >> 16);
}
int Low(uint32_t w)
{
    return static_cast<int>(w & 0xFFFFu);
}
void SetHigh(uint32_t& w, int v)
{
    w = (w & 0x0000FFFFu) | (static_cast<uint32_t>(v & 0xFFFF) << 16);
}
void SetLow(uint32_t& w, int v)
{
    w = (w & 0xFFFF0000u) | static_cast<uint32_t>(v & 0xFFFF);
}

std::string Hex8(uint32_t v)
{
    return FormatText("%08x", {v});
}

}  // namespace

UnitDataEditModel::UnitDataEditModel(UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current)
    : m_unit(unit), m_country(country), m_pArms(ArmsRecord(unit.nArms))
{
    const int strengthMax = m_pArms != nullptr ? std::max(0, m_pArms->nStrengthMax) : 0;
    const int fuelMax = m_pArms != nullptr ? std::max(0, m_pArms->nFuelMax) : 0;
    const int battery = m_pArms != nullptr ? m_pArms->wBattery : 0;
    m_bBattery = battery != 0;
    m_sliders.push_back({kEditStrength, kEditStrengthLabel, strengthMax, 1, 1});
    m_sliders.push_back({kEditExperience, kEditExperienceLabel, 250, 10, 10});
    m_sliders.push_back({kEditFuel, kEditFuelLabel, fuelMax, 5, 5});
    // A negative capacity read as a signed half gives the slider no room.
    if (m_bBattery) m_sliders.push_back({kEditBattery, kEditBatteryLabel, std::max(0, battery), 1, 1});
    m_sliders.push_back({kEditAirKills, kEditAirLabel, 9999, 1, 1000});
    m_sliders.push_back({kEditGroundKills, kEditGroundLabel, 9999, 1, 1000});
    m_sliders.push_back({kEditShipKills, kEditShipLabel, 999, 1, 100});
    m_sliders.push_back({kEditLosses, kEditLossesLabel, 999, 1, 100});

    m_panel = {
        {kEditMarchTop, Hex8(static_cast<uint32_t>(unit.nMarchHex))},
        {1125, Hex8(static_cast<uint32_t>(unit.nArms))},
        {1126, Hex8(unit.refSelf)},
        {1127, Hex8(static_cast<uint32_t>(unit.nHex))},
        {1128, Hex8(unit.dwFlag)},
        {1129, Hex8(unit.dwOrder)},
        {1130, Hex8(static_cast<uint32_t>(unit.nMarchHex))},
        {1131, Hex8(unit.dwHexCell)},
        {1139, Hex8(unit.refTarget)},
    };
    m_bActAgain = current == &country;
}

std::string UnitDataEditModel::UnitName() const
{
    return TableText(Lib().UnitNameJ, m_unit.nArms);
}

const EditSlider* UnitDataEditModel::Slider(int id) const
{
    auto it = std::find_if(m_sliders.begin(), m_sliders.end(), [id](const EditSlider& s) { return s.id == id; });
    return it == m_sliders.end() ? nullptr : &*it;
}

int UnitDataEditModel::Position(int id) const
{
    switch (id) {
    case kEditStrength:
        return m_unit.nStrength;
    case kEditExperience:
        return m_unit.nExp;
    case kEditFuel:
        return m_unit.nFuel;
    case kEditBattery:
        return m_unit.nBattery;
    case kEditAirKills:
        return High(m_unit.dwTally0);
    case kEditGroundKills:
        return Low(m_unit.dwTally0);
    case kEditShipKills:
        return High(m_unit.dwTally1);
    case kEditLosses:
        return Low(m_unit.dwTally1);
    default:
        return 0;
    }
}

std::string UnitDataEditModel::Label(int id) const
{
    const char* format = "";
    switch (id) {
    case kEditStrength:
        format = (m_pArms != nullptr && (m_pArms->dwArmsFlag & kArmsPieces)) ? "Endur.    %4d" : "Remain    %4d";
        break;
    case kEditExperience:
        format = "Exp.      %4d";
        break;
    case kEditFuel:
        format = "Fuel      %4d";
        break;
    case kEditBattery:
        format = "Battery   %4d";
        break;
    case kEditAirKills:
        format = "X AirF    %4d";
        break;
    case kEditGroundKills:
        format = "X Army    %4d";
        break;
    case kEditShipKills:
        format = "X Navy    %4d";
        break;
    case kEditLosses:
        format = "Damage    %4d";
        break;
    default:
        return {};
    }
    return FormatText(format, {Position(id)});
}

std::string UnitDataEditModel::Move(int id, int pos)
{
    const EditSlider* s = Slider(id);
    if (s == nullptr) return {};
    pos = std::clamp(pos, 0, s->max);
    switch (id) {
    case kEditStrength:
        m_unit.nStrength = pos;
        break;
    case kEditExperience:
        m_unit.nExp = pos;
        break;
    case kEditFuel:
        m_unit.nFuel = pos;
        break;
    case kEditBattery:
        m_unit.nBattery = pos;
        break;
    case kEditAirKills:
        SetHigh(m_unit.dwTally0, pos);
        break;
    case kEditGroundKills:
        SetLow(m_unit.dwTally0, pos);
        break;
    case kEditShipKills:
        SetHigh(m_unit.dwTally1, pos);
        break;
    case kEditLosses:
        SetLow(m_unit.dwTally1, pos);
        break;
    default:
        break;
    }
    return Label(id);
}

void UnitDataEditModel::AddFunds()
{
    // The funds word stops at its largest value instead of wrapping round
    // to a debt.
    const int64_t funds = static_cast<int64_t>(m_country.nFund) + kEditFundsStep;
    m_country.nFund = static_cast<int32_t>(std::min<int64_t>(funds, std::numeric_limits<int32_t>::max()));
}

void UnitDataEditModel::ZeroFunds()
{
    m_country.nFund = 0;
}

void UnitDataEditModel::ActAgain()
{
    if (!m_bActAgain) return;
    m_unit.dwFlag &= kEditActAgainMask;
    m_bActAgain = false;
}

void UnitDataEditModel::EmptyAmmunition()
{
    if (!m_bEmptyAmmo) return;
    for (int32_t& a : m_unit.nAmmo) a = 0;
    m_bEmptyAmmo = false;
}

}  // namespace zrv
