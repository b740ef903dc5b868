#pragma once
// The computer player's orders: each action code selects the unit in the map
// view, shows where the order happens and runs the view's own order
// operation for it, the one a player's command runs. The engine's own codes
// (the fuel-out losses and the kept-hex bombing) come here too once the
// program hands the executor to the document.

#include <cstdint>
#include <functional>

#include "battle/cpu/CpuOrderView.h"
#include "battle/engine/CpuSeams.h"

namespace zrv {

class CZRKGameDoc;

// Computer-player order word (dwOrder) bits the executor sets or clears.
inline constexpr uint32_t kOrderCpuMovedVisible = 0x00000008u;  // bit 3
inline constexpr uint32_t kOrderCpuBit20 = 0x00100000u;         // bit 20
inline constexpr uint32_t kOrderBombingBits = 0x60000000u;      // bits 29, 30
// Computer-player word (dwSupplyFlag) bits a load clears.
inline constexpr uint32_t kCpuUnitMakeWay = 0x00008000u;   // bit 15
inline constexpr uint32_t kCpuUnitSentBack = 0x00100000u;  // bit 20
// Class attribute bit 30: a fighter that drops its tanks before air combat.
inline constexpr uint32_t kClassJettisonsForAir = 0x40000000u;
// The merge argument's amount with this bit flows from the partner.
inline constexpr uint32_t kMergeFromPartner = 0x8000u;
inline constexpr uint32_t kUnloadSearch = 0x8000u;
// CheckUnitBombing's answer that forbids the bombing of code 4.
inline constexpr int kBombingForbidden = 112;

class CpuActionExecutor final : public OrderExecutor {
public:
    CpuActionExecutor(CZRKGameDoc& doc, CpuOrderView& view) : m_doc(doc), m_view(view) {}

    int ExecuteCpuAction(int action, UNITSTRUCT& unit, int argument) override;
    int CpuMoveUnitToward(UNITSTRUCT& unit, HEXINDEX target, const CpuMoveFlags& flags) override;

    // The next cargo to unload: (cargo slot << 16) | hex, negative for none;
    // until set, an unload order unloads one cargo.
    using UnloadFinder = std::function<int32_t(UNITSTRUCT& carrier, bool search)>;
    void SetUnloadFinder(UnloadFinder finder) { m_unloadFinder = std::move(finder); }
    // The route move of the units' routines; until set, refused.
    using MoveToward = std::function<int(UNITSTRUCT&, HEXINDEX, const CpuMoveFlags&)>;
    void SetMoveToward(MoveToward move) { m_moveToward = std::move(move); }

private:
    int Run(int action, UNITSTRUCT& unit, int argument, HEXINDEX hex);
    // Flashes hex; true when a close request is pending.
    bool Flash(HEXINDEX hex);
    UNITSTRUCT* CurrentCountryUnit(int slot);
    void ShowMoveToOwnSide(UNITSTRUCT& unit);

    CZRKGameDoc& m_doc;
    CpuOrderView& m_view;
    UnloadFinder m_unloadFinder;
    MoveToward m_moveToward;
};

}  // namespace zrv
