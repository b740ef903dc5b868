#pragma once
// The map view as the computer player's order view: each call goes to the
// view's own selection, flash and order operation, the ones a player's
// clicks run.

#include "battle/cpu/CpuOrderView.h"
#include "battle/view/ZRKGameView.h"

namespace zrv {

class ViewCpuOrders final : public CpuOrderView {
public:
    explicit ViewCpuOrders(CZRKGameView& view) : m_view(view) {}

    void SetSelectedUnit(UNITSTRUCT* unit) override { m_view.m_pSelUnit = unit; }
    void EndSelection(bool bFinish) override { m_view.EndSelection(bFinish); }
    void SetCommandMode(int mode) override { m_view.SetCommandMode(mode); }
    int GetViewingSide() const override;
    int FlashHexMark(HEXINDEX hex, bool seenOnly, bool mark4) override
    {
        return m_view.FlashHexMark(hex, seenOnly, mark4);
    }
    int RedrawHexIfVisible(HEXINDEX hex, bool bUnit) override { return m_view.RedrawHexIfVisible(hex, bUnit); }
    int RunAutoSupply() override { return m_view.RunAutoSupply(); }
    int ExecuteAttack(UNITSTRUCT& attacker, UNITSTRUCT& target, uint32_t mask) override
    {
        return m_view.ExecuteAttack(attacker, target, mask);
    }
    int ExecuteOccupation(UNITSTRUCT& unit, HEXINDEX hex) override { return m_view.ExecuteOccupation(unit, hex, 0); }
    int ExecuteBombing(UNITSTRUCT& unit, HEXINDEX hex) override { return m_view.ExecuteBombing(unit, hex); }
    int ExecuteCpuMove() override { return m_view.ExecuteCpuMove(); }
    void CompleteUnitMove() override { m_view.CompleteUnitMove(); }
    UNITSTRUCT* ExecutePlaceUnit(int type, HEXINDEX hex) override { return m_view.ExecutePlaceUnit(type, hex); }
    int ExecuteConstruction(UNITSTRUCT& unit, int kind, uint32_t amount, HEXINDEX hex) override
    {
        m_view.ExecuteConstruction(unit, kind, amount, hex);
        return 0;
    }
    int ExecuteDispose(int kind) override
    {
        m_view.ExecuteDispose(kind);
        return 0;
    }
    int ExecuteMerge(UNITSTRUCT& partner, int amount) override { return m_view.ExecuteMerge(partner, amount); }
    int ExecuteLoad(UNITSTRUCT& unit, HEXINDEX carrierHex) override
    {
        m_view.ExecuteLoad(unit, carrierHex);
        return 0;
    }
    int ExecuteUnload(UNITSTRUCT& carrier, UNITSTRUCT& cargo, HEXINDEX hex) override
    {
        return m_view.ExecuteUnload(carrier, cargo, hex);
    }
    int ExecuteEvolve(int type) override { return m_view.ExecuteEvolve(type); }
    int ExecuteImprove(int type) override { return m_view.ExecuteImprove(type); }
    int ExecuteDive(UNITSTRUCT& unit) override
    {
        m_view.ExecuteDive(unit);
        return 0;
    }
    int ExecuteSurface(UNITSTRUCT& unit, int kind) override
    {
        m_view.ExecuteSurface(unit, kind);
        return 0;
    }
    int ExecuteEndAction(UNITSTRUCT& unit) override
    {
        m_view.ExecuteEndAction(unit);
        return 0;
    }

private:
    CZRKGameView& m_view;
};

}  // namespace zrv
