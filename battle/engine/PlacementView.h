#pragma once
// What the production and deployment windows ask of the map view: its
// placement marks and unit display entries, the choice of what a click on a
// marked hex places (the type or carry-over index and the armed bit), the
// command mode, the windows it opens for them, and the place the two
// windows share on the screen. The map view implements it; a test puts a
// recording stand-in in its place. Declared beside the engine so that the
// dialogs never need the map view.

#include <cstdint>

#include "foundation/GameRecords.h"
#include "foundation/OSBView.h"

namespace zrv {

class PlacementView {
public:
    virtual ~PlacementView() = default;

    // --- marks and the unit display ---------------------------------------------
    // Clears every hex mark (with a redraw of the map when bRedraw).
    virtual void ClearHexMarks(bool bRedraw) = 0;
    // The placement mark of a map hex: 0 none, 1 candidate, 2 last placed.
    virtual uint32_t PlacementMark(HEXINDEX hex) const = 0;
    virtual void SetPlacementMark(HEXINDEX hex, uint32_t mark) = 0;
    // The hex's unit display entry is not empty.
    virtual bool HexShowsUnit(HEXINDEX hex) const = 0;
    // Empties the hex's unit display entry.
    virtual void ClearHexUnitCode(HEXINDEX hex) = 0;
    // The map is drawn again (rebuildUnits: the unit display first).
    virtual void RedrawMap(bool rebuildUnits) = 0;

    // --- what a click places ---------------------------------------------------------
    // The type (production) or carry-over index (deployment) a click places
    // and whether it may be placed now (the armed bit).
    virtual int PlaceIndex() const = 0;
    virtual bool PlaceArmed() const = 0;
    virtual void SetPlaceIndex(int index) = 0;
    virtual void SetPlaceArmed(bool armed) = 0;

    // --- command mode and commands ---------------------------------------------------
    virtual int CommandMode() const = 0;
    virtual void SetCommandMode(int mode) = 0;
    // The view's command bars are closed again.
    virtual void ReopenCommandWindows(bool keep) = 0;
    // 0 when the production (deployment) command is allowed now, else its
    // message code.
    virtual int CheckProduceCommand() = 0;
    virtual int CheckDeployCommand() = 0;
    // The command goes to the view once the current event is done.
    virtual void PostViewCommand(int id) = 0;
    virtual int OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool bReport) = 0;
    virtual int ShowEvolutionTable(int arms, UNITSTRUCT* unit, int country) = 0;

    // --- the unit list ----------------------------------------------------------------
    virtual bool IsUnitListOpen() const = 0;
    // The unit list drops unit's rows (mode 2) ...
    virtual int AddUnitListEntry(UNITSTRUCT& unit, int mode) = 0;
    // ... or shows the record as a row of its own.
    virtual void UpdateUnitListEntry(UNITSTRUCT& unit, bool bOutermost) = 0;

    // --- the windows' place --------------------------------------------------------------
    // The top-left corner both windows open at; x < 0: at the pointer.
    virtual PointI PlacementWindowPos() const = 0;
    virtual void SetPlacementWindowPos(PointI pos) = 0;
};

}  // namespace zrv
