#pragma once
// The modal table dialogs of the battle program: the force table (戦力表),
// the weapon table (兵器表) and the unit data editor (ユニットデータ編集).

#include "battle/engine/ViewToolHub.h"
#include "foundation/GameRecords.h"

class wxWindow;

namespace zrv {

// The strength of every present country by kind.
int RunForceTableDialog(wxWindow* parent, const GAMEDATASTRUCT& game);
// The types country has seen; a right click on a row opens the type's
// performance window through host (may be null: nothing opens).
int RunWeaponTableDialog(wxWindow* parent, const COUNTRYSTRUCT& country, ToolWindowHost* host);
// The editor over unit and country; current is the country the view serves.
int RunUnitDataEditDialog(wxWindow* parent, UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current);

}  // namespace zrv
