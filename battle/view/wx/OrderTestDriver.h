#pragma once
// The order test switch of the battle program (VELMORATH_ORDER_TEST=<folder>):
// once the map stands in a human phase, real pointer events select the own
// unit nearest the enemy, move it next to an enemy it can reach and attack
// the first marked target; the attack decision answers with the attacker's
// first usable weapon group. Effects, states and outcomes are written to
// "orders.log" in the folder, with pictures of the window mid-slide, during
// a burst and after the attack; then the program closes.
namespace zrv {

class CMainFrame;
class CZRKGameDoc;

// Starts the driver for frame when the switch is set; nothing otherwise.
void StartOrderTestDriver(CMainFrame& frame, CZRKGameDoc& doc);

}  // namespace zrv
