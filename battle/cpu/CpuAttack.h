#pragma once
// The computer player's choice of what a unit attacks: the anti-air threat
// over the map, the score of an attack (damage against loss, and the
// target's priority), whether the attack is worth its loss, which of two
// attacks is better, and the search over the hexes a unit could fire from.
// Free functions over the game state and the maps handed in; every draw
// comes from the game generator in the order the rules take them.

#include <cstdint>
#include <span>

#include "battle/engine/GameTime.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;
struct CpuTurnState;

// --- attack policy: minimum damage + 2048 in bits 0-11, largest loss in 12-19
constexpr int PolicyMinDamage(uint32_t policy)
{
    return static_cast<int>(policy & 0xFFFu) - 2048;
}
constexpr int PolicyMaxLoss(uint32_t policy)
{
    return static_cast<int>((policy >> 12) & 0xFFu);
}
constexpr uint32_t MakeAttackPolicy(int minDamage, int maxLoss)
{
    return static_cast<uint32_t>(minDamage + 2048) | static_cast<uint32_t>(maxLoss) << 12;
}
inline constexpr uint32_t kPolicyHoldBeforeMove = 0x1801;    // retreating, needing supply, holding a city
inline constexpr uint32_t kPolicyEngaged = 0xA801;           // already next to the enemy
inline constexpr uint32_t kPolicyKeyAdvance = 0x081E;        // key kind while garrisons are short
inline constexpr uint32_t kPolicyAdvance = 0x19805;          // any other advancing unit
inline constexpr uint32_t kPolicyBomberOwnHex = 0x14801;     // a bomber after its move, its own hex
inline constexpr uint32_t kPolicyBestFirstWide = 0x1E805;    // best unit, first kind
inline constexpr uint32_t kPolicyBestFirstList = 0xF80A;     // best unit, first kind, on hex list 2
inline constexpr uint32_t kPolicyBestSecondStrong = 0xA805;  // best unit, second kind, strong
inline constexpr uint32_t kPolicyCautious = 0x0801;          // best unit second kind; a bomber's any target
inline constexpr uint32_t kPolicyBestSecondOff = 0xF805;     // best unit, second kind, off hex list 2

// --- attack score --------------------------------------------------------------------------
inline constexpr uint32_t kScoreDamageMask = 0x00000FFFu;  // damage + 2048
inline constexpr uint32_t kScoreLossMask = 0x000FF000u;    // loss, at most 255
inline constexpr uint32_t kScoreNoAnswer = 1u << 20;
inline constexpr uint32_t kScoreDestroys = 1u << 21;
inline constexpr uint32_t kScoreRanged = 1u << 22;
inline constexpr uint32_t kScoreOwnGroundNext = 1u << 23;
inline constexpr uint32_t kScorePriorityMask = 0x0F000000u;
inline constexpr uint32_t kScoreClearSky = 1u << 28;
inline constexpr uint32_t kScoreDomainFit = 1u << 29;
inline constexpr uint32_t kScoreOnCapital = 1u << 30;
inline constexpr int kScoreBias = 2048;
constexpr int ScoreDamage(uint32_t score)
{
    return static_cast<int>(score & kScoreDamageMask) - kScoreBias;
}
constexpr int ScoreLoss(uint32_t score)
{
    return static_cast<int>((score & kScoreLossMask) >> 12);
}
constexpr int ScorePriority(uint32_t score)
{
    return static_cast<int>((score & kScorePriorityMask) >> 24);
}
// What two scores are compared by: the score without its loss.
constexpr uint32_t ScoreValue(uint32_t score)
{
    return score & ~kScoreLossMask;
}

// --- computer-player word (dwSupplyFlag) bits of the evaluation ------------------------------
inline constexpr uint32_t kCpuNotATarget = 1u << 0;
inline constexpr uint32_t kCpuScoredThisTurn = 1u << 1;
inline constexpr uint32_t kCpuTossUsed = 1u << 2;
inline constexpr uint32_t kCpuChoiceBits = 0xFu;  // bits 0-3
inline constexpr uint32_t kCpuOnTrialHex = 1u << 20;
inline constexpr uint32_t kCpuOwnSide = 1u << 21;
inline constexpr uint32_t kCpuPrefersTargetList = 1u << 25;
inline constexpr uint32_t kCpuThreatSource = 1u << 27;
inline constexpr uint32_t kCpuNeedsSupply = (1u << 17) | (1u << 18);

// --- class attribute bits (ClassTraits) the evaluation reads -------------------------------------
inline constexpr uint32_t kClassHitsAir = 1u << 15;
inline constexpr uint32_t kClassHitsGround = 1u << 16;
inline constexpr uint32_t kClassKeepsCapital = 1u << 18;
inline constexpr uint32_t kClassTakesCities = 1u << 20;
inline constexpr uint32_t kClassFightsShips = 1u << 21;
inline constexpr uint32_t kClassNotGarrison = 1u << 22;
inline constexpr uint32_t kClassAvoidsAirLoss = 1u << 23;
inline constexpr uint32_t kClassHuntsCarriers = 1u << 24;
inline constexpr uint32_t kClassBusy28 = 1u << 28;
inline constexpr uint32_t kClassBusy29 = 1u << 29;
inline constexpr uint32_t kClassShunsFlak = 1u << 30;

// The threat's weapon kind mask: anti-air.
inline constexpr uint32_t kThreatAntiAir = 2;
// Threat values saturate here, below the heading count in bits 16-19.
inline constexpr uint32_t kThreatMax = 0xFFFFu;

// Comparison modes.
inline constexpr int kAttackModeDomainFilter = 1;  // sets 3/12 and 4/13 only against their domain
inline constexpr int kAttackModeAttackers = 2;     // comparing attackers of one target

// What the evaluation reads and writes beside the units.
struct CpuAttackWorld {
    GAMEDATASTRUCT& game;
    std::span<const MAPCELL, kHexCount> cells;
    std::span<UnitRef, kHexCount> hexUnit;
    // Claim map: the low halves hold the threat (see CpuTurnState's note).
    std::span<uint32_t, kHexCount> claim;
    // The reach map of the unit being placed (bits 30, 31: not reachable).
    std::span<const uint32_t, kHexCount> moveMap;
    // Coverage map: bit side set where that side is blind.
    std::span<const uint32_t, kHexCount> coverage;
    std::span<const HEXINDEX> objectiveArea;
    std::span<const HEXINDEX> targetList;
    GameRandom& random;
    // Route costs for the attacker-comparing tie (empty: none).
    std::span<const uint32_t> costMap = {};
};
CpuAttackWorld MakeAttackWorld(CZRKGameDoc& doc, const CpuTurnState& state);

// --- the pieces ------------------------------------------------------------------------------
void CpuResetAttackChoice(UNITSTRUCT& unit, GAMEDATASTRUCT& game);
// Adds the unit's fire of the weapon kinds in mask to the low halves of map.
void CpuAddUnitThreat(UNITSTRUCT& unit, uint32_t kindMask, const GAMEDATASTRUCT& game,
                      std::span<uint32_t, kHexCount> map);
// The threat against country's side for kind (0: cleared only); noted in
// state so that a later reader knows what the low halves hold.
void CpuBuildThreatMap(int country, int kind, GAMEDATASTRUCT& game, std::span<uint32_t, kHexCount> map,
                       CpuTurnState& state);
// 1, 0 or -1 (see the score's priority rows).
int CpuTargetCaptureValue(const UNITSTRUCT& attacker, const UNITSTRUCT& target, const CpuAttackWorld& world);
bool HasOwnGroundNeighbour(const UNITSTRUCT& attacker, const UNITSTRUCT& target, const CpuAttackWorld& world);
bool TargetHasRangedWeapons(const UNITSTRUCT& attacker, const UNITSTRUCT& target);
// The score word, stored in the target (nCpuScore, bit 1); 0 when an
// attacker or target without strength leaves nothing to score.
uint32_t CpuComposeAttackScore(const UNITSTRUCT& attacker, UNITSTRUCT& target, HEXINDEX capitalHex, int damage,
                               int loss, int initiative, const CpuAttackWorld& world, int threat,
                               bool unidentified);
int IsAttackAcceptable(const UNITSTRUCT& attacker, const UNITSTRUCT& target, uint32_t score, int maxLoss,
                       GameRandom& random);
int IsBetterAttack(UNITSTRUCT& unit, UNITSTRUCT& target, uint32_t bestScore, HEXINDEX bestHex,
                   const UNITSTRUCT* other, uint32_t score, HEXINDEX hex, const CpuAttackWorld& world, int mode,
                   int positionCount, int bestPositionCount);
int CpuEvaluateAttackFromHex(UNITSTRUCT& unit, const CpuAttackWorld& world, bool moved, uint32_t policy,
                             bool stopAtFirst, HEXINDEX onlyHex, int positionCount, int mode);

// The unit stands at hex for the time of an evaluation: unit map and hex
// changed, a carried unit counted as unloaded, bit 20 of its computer-player
// word set. Everything goes back when the scope ends.
class TrialPlacement {
public:
    TrialPlacement(UNITSTRUCT& unit, HEXINDEX hex, std::span<UnitRef, kHexCount> hexUnit);
    ~TrialPlacement();
    TrialPlacement(const TrialPlacement&) = delete;
    TrialPlacement& operator=(const TrialPlacement&) = delete;

private:
    UNITSTRUCT& m_unit;
    std::span<UnitRef, kHexCount> m_hexUnit;
    UNITSTRUCT m_saved;
    HEXINDEX m_hex;
    UnitRef m_savedAtHex;
    UnitRef m_savedAtHome = kNoUnit;
};
// Hexes the unit can reach this turn with no unit on them, ended by -1.
int ListReachableHexes(const CpuAttackWorld& world, std::span<HEXINDEX> out);
int CpuSearchFiringPositions(UNITSTRUCT& unit, const CpuAttackWorld& world, uint32_t policy, int mode);
int IsUnitHoldingCapital(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game);
int IsUnitBusyForAttack(const UNITSTRUCT& unit);
int CpuEvaluateUnitAttack(UNITSTRUCT& unit, const CpuAttackWorld& world, uint32_t policy, bool noSearch, int mode);

// The policy of an advancing unit, its loss capped at 3 x strength.
uint32_t CpuAdvancePolicy(const CZRKGameDoc& doc, const UNITSTRUCT& unit);
// Attack from where the unit stands (with a hex: only a unit there within
// distance 1): 1 ordered, 0 nothing to attack, -1 the order failed.
int CpuAttackTarget(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, uint32_t policy, HEXINDEX hex);

// Marks (map bit 22) the neighbours of every seen enemy of the unit's side
// and (bit 23) the hexes their weapons reach against the unit's domain; 1
// when one such hex lacks bit 30.
int CpuMarkEnemyReach(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game, std::span<uint32_t, kHexCount> map);
int CpuMarkUnitReach(const UNITSTRUCT& enemy, int domain, const GAMEDATASTRUCT& game,
                     std::span<uint32_t, kHexCount> map);

}  // namespace zrv
