#pragma once
// The map view as the production and deployment windows see it: its
// placement marks, unit display entries, the choice a placement click
// places, its command mode and the windows it opens for them.

#include "battle/engine/PlacementView.h"

namespace zrv {

class CZRKGameView;

class ViewPlacement final : public PlacementView {
public:
    explicit ViewPlacement(CZRKGameView& view) : m_view(view) {}

    void ClearHexMarks(bool bRedraw) override;
    uint32_t PlacementMark(HEXINDEX hex) const override;
    void SetPlacementMark(HEXINDEX hex, uint32_t mark) override;
    bool HexShowsUnit(HEXINDEX hex) const override;
    void ClearHexUnitCode(HEXINDEX hex) override;
    void RedrawMap(bool rebuildUnits) override;
    int PlaceIndex() const override;
    bool PlaceArmed() const override;
    void SetPlaceIndex(int index) override;
    void SetPlaceArmed(bool armed) override;
    int CommandMode() const override;
    void SetCommandMode(int mode) override;
    void ReopenCommandWindows(bool keep) override;
    int CheckProduceCommand() override;
    int CheckDeployCommand() override;
    void PostViewCommand(int id) override;
    int OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool bReport) override;
    int ShowEvolutionTable(int arms, UNITSTRUCT* unit, int country) override;
    bool IsUnitListOpen() const override;
    int AddUnitListEntry(UNITSTRUCT& unit, int mode) override;
    void UpdateUnitListEntry(UNITSTRUCT& unit, bool bOutermost) override;
    PointI PlacementWindowPos() const override;
    void SetPlacementWindowPos(PointI pos) override;

private:
    CZRKGameView& m_view;
};

}  // namespace zrv
