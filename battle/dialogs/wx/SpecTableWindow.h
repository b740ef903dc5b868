#pragma once
// One performance window (性能表): the 624 x 274 performance card of a unit
// or a bare unit type, shown from (6, 7), with the unit data sheet below
// it. Esc (and the close box) ask the view to close the slot; Enter does
// nothing; a click on the picture of an own unit opens its evolution table.

#include <memory>

#include "battle/dialogs/BattleSpecContext.h"
#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/SpecSheetModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/engine/ViewToolHub.h"

namespace zrv {

class SpecSheetWindow;

class SpecTableWindow : public PaintedDialog {
public:
    // country: the unit's own country with a unit, else the current one;
    // null when the opener gave a negative army.
    SpecTableWindow(wxWindow* owner, const BattleSpecContext& context, ToolWindowHost* host, int slot, int armsType,
                    UNITSTRUCT* unit, COUNTRYSTRUCT* country);
    ~SpecTableWindow() override;

    int Slot() const { return m_nSlot; }
    int ArmsType() const { return m_nArms; }
    UNITSTRUCT* Unit() const { return m_pUnit; }
    bool OwnUnit() const { return m_bOwnUnit; }
    // The card shows the unit's record again.
    void UnitChanged();
    // The unit's armament changed.
    void ArmsChanged();

private:
    bool DrawTable();
    void AskToClose();
    void Clicked(int x, int y);

    const BattleSpecContext& m_context;
    ToolWindowHost* m_host;
    int m_nSlot;
    int m_nArms;
    UNITSTRUCT* m_pUnit;
    COUNTRYSTRUCT* m_pCountry;
    int m_nSide;
    bool m_bOwnUnit = false;
    SpecSheetModel m_model;
    DialogCard m_card;  // 624 x 274; blank when it could not be made
    SpecSheetWindow* m_pSheet = nullptr;
    platform::CardPanel* m_panel = nullptr;
    bool m_closing = false;
};

}  // namespace zrv
