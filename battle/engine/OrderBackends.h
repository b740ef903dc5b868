#pragma once
// The game-state side of every unit order. The map view's order handlers and
// the computer player's action executor both end here; nothing else changes
// the state for an order. Each back-end first checks what it needs (the
// rules themselves were checked by the caller) and changes records only when
// it goes ahead; it keeps the hex-to-unit array and the units' cell copies in
// step, writes the order's text-record line when that option is on, and
// tells the view what to redraw.

#include <cstdint>
#include <span>

#include "battle/engine/Combat.h"
#include "battle/engine/CpuSeams.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// What an order did: code 0 when it went ahead, else the message code of the
// refusal (kOrderBadRecord for a record or hex that names nothing); value is
// the order's own result.
struct [[nodiscard]] OrderResult {
    int code = 0;
    int value = 0;
    bool Done() const { return code == 0; }
};
inline constexpr int kOrderBadRecord = -1;
// The carry-over pool has no room for the unit and its cargo.
inline constexpr int kOrderPoolFull = -3;
// A view that could not show the hex stopped the order.
inline constexpr int kOrderViewRefused = -2;

// The three order lines of the text record.
enum class RecordVerb { Repair, Bombing, Occupy };
// Appends the line for hex when the text record is on; the place is the
// hex's city name, else the name of placeCell's terrain.
void WriteOrderRecordLine(CZRKGameDoc& doc, RecordVerb verb, HEXINDEX hex, MAPCELL placeCell);

// --- moves ------------------------------------------------------------------------------------
// Moves the unit onto hex paying the reach cost (m_dwHexMove); with save the
// record as it was is kept there for UndoUnitMove. Refused for a unit that
// moved already this turn.
OrderResult MoveUnitTo(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, UNITSTRUCT* save);
OrderResult UndoUnitMove(CZRKGameDoc& doc, UNITSTRUCT& unit, const UNITSTRUCT& saved);
OrderResult MoveUnitAndEndAction(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex);
// Charges the turn's minimum fuel use still owed by a unit that has not acted.
OrderResult EndUnitAction(CZRKGameDoc& doc, UNITSTRUCT& unit, bool acted);

// Builds the route to target from the reach arrays into route (ended by -1)
// and, for a country playing with fog of war, walks it against hidden
// enemies, which may cut it short. value: the walk's result (WalkResult);
// a stopped move is announced to a human player.
OrderResult MoveUnitAlongRoute(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX target, std::span<HEXINDEX> route);

// --- units leaving ------------------------------------------------------------------------------
// With refund the country gets the unit's price per point x strength back.
OrderResult DeleteUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, bool refund);
// DeleteUnit without refund, then the view's unit list is told.
OrderResult LoseUnit(CZRKGameDoc& doc, UNITSTRUCT& unit);
// A ship or aircraft out of fuel is lost through the order executor; value
// 0, code kOrderViewRefused when the view could not show it, or the
// executor's refusal.
OrderResult LoseShipOutOfFuel(CZRKGameDoc& doc, UNITSTRUCT& unit);
OrderResult LoseAircraftOutOfFuel(CZRKGameDoc& doc, UNITSTRUCT& unit);

// --- map orders -----------------------------------------------------------------------------------
// value: the damage (low 15 bits when the hex was ruined).
OrderResult ExecuteBombing(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, RuleDraws& draws);
// value: the occupation effect's result (bit 31 when the hex was taken).
OrderResult OccupyHex(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, RuleDraws& draws);
// Flags of the follow-up of a taken hex.
inline constexpr uint32_t kOccupyCountryFalls = 0x40000000u;  // | owner << 16
inline constexpr uint32_t kOccupyGameEnds = 0x20000000u;
inline constexpr uint32_t kOccupyCapitalMoved = 0x10000000u;
// value: flags with what followed (the old owner's capital moved or lost).
OrderResult CompleteOccupation(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, MAPCELL oldCell,
                               uint32_t flags);
OrderResult ExecuteConstruction(CZRKGameDoc& doc, UNITSTRUCT& unit, int kind, uint32_t value, HEXINDEX hex);

// --- unit orders ------------------------------------------------------------------------------------
OrderResult DiveUnit(CZRKGameDoc& doc, UNITSTRUCT& unit);
OrderResult SurfaceUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, bool free);
OrderResult JettisonUnitStores(CZRKGameDoc& doc, UNITSTRUCT& unit, bool settleFuel);
// value 0 when the set is already fitted.
OrderResult ChangeUnitArms(CZRKGameDoc& doc, UNITSTRUCT& unit, int newSet, RuleDraws& draws);
OrderResult EvolveUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, int newType, RuleDraws& draws);
OrderResult ImproveUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, int newType, RuleDraws& draws);

// Supplies the unit from the current country's funds, the hex and the
// supply units next to it; fundsRefused: the caller already found the funds
// path closed. value 1 when anything was supplied.
OrderResult SupplyUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, bool fundsRefused, RuleDraws& draws);
// value: the carrier's slot.
OrderResult LoadUnitOnCarrier(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX carrierHex);
// value: 1 when the carrier may unload again.
OrderResult UnloadUnit(CZRKGameDoc& doc, UNITSTRUCT& carrier, UNITSTRUCT& cargo, HEXINDEX hex);
// Writes both merge buffers back; value 0 when amount is 0 and nothing was written.
OrderResult CommitMerge(CZRKGameDoc& doc, UNITSTRUCT& a, UNITSTRUCT& b, const MergeBuffer& bufferA,
                        const MergeBuffer& bufferB, int amount);
// The unit and its cargo go into free carry-over records; value: how many went.
OrderResult RecallUnitsToReserve(CZRKGameDoc& doc, UNITSTRUCT& unit);

// --- new units --------------------------------------------------------------------------------------
// value: the new unit's slot in the current country (-1 none free).
OrderResult PlaceReserveUnit(CZRKGameDoc& doc, HEXINDEX hex, int poolIndex);
OrderResult ProduceUnitAtHex(CZRKGameDoc& doc, HEXINDEX hex, int type);

// The document's side of an exchange of fire: a damaged unit is redrawn
// (notification 9), a destroyed one is lost with its cargo and its place on
// the map (LoseUnit). Every call also goes to the next hooks (the view's
// animation), when given.
class DocCombatHooks final : public CombatHooks {
public:
    explicit DocCombatHooks(CZRKGameDoc& doc, CombatHooks* next = nullptr) : m_doc(doc), m_next(next) {}
    int AskReturnFire(UNITSTRUCT& defender, UNITSTRUCT& attacker) override;
    bool AnimateShots(const UNITSTRUCT& shooter, std::span<const COMBATHITSTRUCT> run) override;
    bool AnimateStep(const CombatStep& step) override;
    void AfterDamageStep(bool last) override;
    // The current country's attacker has acted.
    void EndAttackerAction(UNITSTRUCT& attacker) override;
    bool WantsBattleScene(const UNITSTRUCT& attacker, const UNITSTRUCT& defender) override;
    void ShowBattleScene(const CombatScene& scene) override;
    bool SceneStopped() const override { return m_next != nullptr && m_next->SceneStopped(); }
    void UnitDamaged(UNITSTRUCT& unit) override;
    void UnitDestroyed(UNITSTRUCT& unit) override;

private:
    CZRKGameDoc& m_doc;
    CombatHooks* m_next;
};

// Carries out the computer player's fuel-out actions straight on the
// back-ends (4 bomb the hex given, 19 and 20 lose the unit, 21 surface) and
// refuses every other code: the executor of a game without a map view.
class BackendOrderExecutor final : public OrderExecutor {
public:
    explicit BackendOrderExecutor(CZRKGameDoc& doc) : m_doc(doc) {}
    int ExecuteCpuAction(int action, UNITSTRUCT& unit, int argument) override;
    int CpuMoveUnitToward(UNITSTRUCT&, HEXINDEX, const CpuMoveFlags&) override { return -1; }

private:
    CZRKGameDoc& m_doc;
};

}  // namespace zrv
