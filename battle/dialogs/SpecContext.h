#pragma once
// What the unit data sheet and the performance card read besides the
// unit: the view whose pictures and colours they are drawn with, the viewing
// country and the game-state block. The battle program answers from its
// document and map view; the menu program (no game in progress) from its own.

#include "battle/engine/DialogView.h"
#include "foundation/GameRecords.h"

namespace zrv {

class SpecContext {
public:
    virtual ~SpecContext() = default;
    // The pictures ("spec2.pxs", "weapon.pxs", unit pictures and army marks)
    // and the colours; null: the cards stay blank.
    virtual const DialogView* View() const = 0;
    // The document's current country and its game-state block (null: none).
    virtual COUNTRYSTRUCT* CurrentCountry() const = 0;
    virtual const GAMEDATASTRUCT* Game() const = 0;
    // The menu program's weapon table (no height bonus, no country).
    virtual bool MenuMode() const { return false; }
    // The weapon table keeps the row of a weapon without rounds empty.
    virtual bool KeepEmptyWeaponRows() const = 0;
};

}  // namespace zrv
