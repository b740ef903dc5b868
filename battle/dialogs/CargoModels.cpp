#include "battle/dialogs/CargoModels.h"

#include <array>

#include "battle/engine/Combat.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

// Flag bit 3: the unit has fired this turn.
constexpr uint32_t kUnitHasFired = 1u << 3;

std::span<const UnitRef, kHexCount> HexUnits(const CZRKGameDoc& doc)
{
    return std::span<const UnitRef, kHexCount>(doc.m_dwHexUnit, kHexCount);
}

}  // namespace

std::string CargoLine(const UNITSTRUCT& unit)
{
    return platform::FormatText(" %-30s%2d", {TableText(Lib().UnitNameJ, unit.nArms), unit.nStrength});
}

UnloadModel::UnloadModel(CZRKGameDoc& doc, UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo,
                         DialogView* view)
    : m_doc(doc), m_carrier(carrier), m_cargo(cargo.begin(), cargo.end()), m_pView(view)
{
    if (m_cargo.size() > static_cast<size_t>(kMaxCargoListed)) m_cargo.resize(kMaxCargoListed);
    const GAMEDATASTRUCT& game = doc.m_GameData;
    m_bCarrySlot = HasUsableCarrySlot(carrier, &game) != 0;
    for (size_t i = 0; i < m_cargo.size(); ++i) {
        const UNITSTRUCT* u = m_cargo[i];
        if (u == nullptr) continue;
        // A line only for a unit that can get off next to the carrier.
        const UNITSTRUCT* one[] = {u};
        if (!CanUnloadToAnyHex(game, doc.m_dwHexCell, HexUnits(doc), doc.m_dwHexSearch, carrier, carrier.nHex, one))
            continue;
        m_lines.push_back(CargoLine(*u));
        m_lineCargo.push_back(static_cast<int>(i));
    }
    std::array<UNITSTRUCT*, 64> targets{};
    const bool moveFirst = view != nullptr && view->MoveFirst();
    m_bCoveringFire = CheckUnitAttack(doc.m_GameData, carrier) == 0 &&
                      ListTargetsInRange(carrier, doc.m_GameData, moveFirst, false, targets) > 0;
}

bool UnloadModel::CarrierHasFired() const
{
    return (m_carrier.dwFlag & kUnitHasFired) != 0;
}

void UnloadModel::Select(int line)
{
    m_nSelected = line >= 0 && line < static_cast<int>(m_lines.size()) ? line : -1;
    if (m_nSelected >= 0 && m_pView) m_pView->ShowUnitInStatus(*m_cargo[static_cast<size_t>(m_lineCargo[static_cast<size_t>(m_nSelected)])]);
}

int UnloadModel::Unload()
{
    if (m_nSelected < 0) return 0;
    const int index = m_lineCargo[static_cast<size_t>(m_nSelected)];
    UNITSTRUCT& unit = *m_cargo[static_cast<size_t>(index)];
    COUNTRYSTRUCT* country = m_doc.m_GameData.Country + 0;
    if (const COUNTRYSTRUCT* c = UnitCountry(m_doc.m_GameData, m_carrier)) country = const_cast<COUNTRYSTRUCT*>(c);
    // With a carry-space slot the units left behind must still fit.
    if (m_bCarrySlot && m_cargo.size() > 1 && !HasCarrierRoom(country->Unit, m_carrier, &unit)) {
        Dialogs().MessageBox(TableText(Lib().ErrorMessage, kErrorNoRoom), kBoxOk | kBoxIconExclamation);
        return 0;
    }
    std::array<HEXINDEX, 8> hexes{};
    NeighbourSearch how;
    how.byClass = true;
    how.byLanding = true;
    const int n = ListEnterableNeighbourHexes(m_carrier.nHex, unit, m_doc.m_GameData, m_doc.m_dwHexCell,
                                              HexUnits(m_doc), m_doc.m_dwHexSearch, how, hexes);
    (void)n;
    size_t count = 0;
    while (count < hexes.size() && hexes[count] >= 0) ++count;
    if (m_pView) {
        m_pView->SetTargetHexes(std::span<const HEXINDEX>(hexes.data(), count));
        m_pView->SetCurrentCargoUnit(&unit);
    }
    return index + 1;
}

int UnloadModel::CoveringFire()
{
    std::array<UNITSTRUCT*, 64> targets{};
    const bool moveFirst = m_pView != nullptr && m_pView->MoveFirst();
    const int n = ListTargetsInRange(m_carrier, m_doc.m_GameData, moveFirst, false, targets);
    std::vector<HEXINDEX> hexes;
    for (int i = 0; i < n && targets[static_cast<size_t>(i)] != nullptr; ++i) hexes.push_back(targets[static_cast<size_t>(i)]->nHex);
    if (m_pView) m_pView->SetTargetHexes(hexes);
    return kUnloadCoveringFire;
}

LaunchModel::LaunchModel(CZRKGameDoc&, UNITSTRUCT&, std::span<UNITSTRUCT* const> cargo, DialogView* view)
    : m_cargo(cargo.begin(), cargo.end()), m_pView(view)
{
    if (m_cargo.size() > static_cast<size_t>(kMaxCargoListed)) m_cargo.resize(kMaxCargoListed);
    for (size_t i = 0; i < m_cargo.size(); ++i) {
        const UNITSTRUCT* u = m_cargo[i];
        // Aircraft that may still act this turn.
        if (u == nullptr || !IsAirDomainUnit(*u) || (u->dwFlag & kUnitActed)) continue;
        m_lines.push_back(CargoLine(*u));
        m_lineCargo.push_back(static_cast<int>(i));
    }
}

void LaunchModel::Select(int line)
{
    m_nSelected = line >= 0 && line < static_cast<int>(m_lines.size()) ? line : -1;
    if (m_nSelected >= 0 && m_pView) m_pView->ShowUnitInStatus(*m_cargo[static_cast<size_t>(m_lineCargo[static_cast<size_t>(m_nSelected)])]);
}

}  // namespace zrv
