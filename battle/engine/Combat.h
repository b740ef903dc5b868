#pragma once
// Fire between units: which weapon slots reach a target under the weather
// and light, hit percentages, expected and rolled damage, firing order, the
// answering weapon group, the scatter of shots over a hex and its
// neighbours, tallies and the experience that fighting earns; and one whole
// exchange of fire that runs without a display (the view animates through
// the hooks).
//
// All arithmetic is on 32-bit ints with each division where it stands, so
// shown values and outcomes match the tables the players know. Draws come
// from the game generator in a fixed order (slot by slot, shot by shot), so
// a seed replays a fight exactly.

#include <array>
#include <cstdint>
#include <span>

#include "battle/engine/UnitRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

// One entry of a combat result list: the unit hit, the strength it lost,
// shots fired << 16 | best hit percentage. A run ends with an entry whose
// unit is null and damage -1.
struct COMBATHITSTRUCT {
    UNITSTRUCT* pUnit;
    int32_t nDamage;
    uint32_t dwHit;
};

// A caller-owned result buffer written through a cursor; writes past its end
// are dropped (an end mark always keeps its place, see EndRun).
class CombatHitList {
public:
    explicit CombatHitList(std::span<COMBATHITSTRUCT> buffer) : m_buf(buffer) {}
    void Append(UNITSTRUCT* unit, int damage, uint32_t hit);
    void EndRun();
    std::span<const COMBATHITSTRUCT> Written() const { return m_buf.first(m_pos); }
    size_t Position() const { return m_pos; }

private:
    std::span<COMBATHITSTRUCT> m_buf;
    size_t m_pos = 0;
};

// The hexes that shots reached, one run per firing side ended by -1; writes
// past the buffer are dropped as for the result list.
class CombatHexList {
public:
    explicit CombatHexList(std::span<HEXINDEX> buffer) : m_buf(buffer) {}
    void Append(HEXINDEX hex);
    void EndRun();
    std::span<const HEXINDEX> Written() const { return m_buf.first(m_pos); }

private:
    std::span<HEXINDEX> m_buf;
    size_t m_pos = 0;
};

// Ten attack values (five target domains adjacent, five at longer range) and
// the two maximum ranges (against air, against surface), raised by the
// shooter's terrain height.
struct ReachVector {
    std::array<int, 10> value{};
    std::array<int, 2> range{};
};

// Packed value of one weapon: low 16 bits the attack value, bits 16-23 the
// shot count, bit 30 ignores cover, bit 31 double against this target.
inline constexpr uint32_t kPackIgnoresCover = 0x40000000u;
inline constexpr uint32_t kPackDouble = 0x80000000u;
constexpr int PackedValue(uint32_t p)
{
    return static_cast<int>(p & 0xFFFFu);
}
constexpr int PackedShots(uint32_t p)
{
    return static_cast<int>((p >> 16) & 0xFFu);
}

inline constexpr int kNoShotCount = -1;
inline constexpr int kMaxHitPercent = 999;

// --- small values ---------------------------------------------------------------------
int GetAirTargetEvasion(const UNITSTRUCT& shooter, const UNITSTRUCT& target);
int GetUnitTerrainHeight(const UNITSTRUCT& unit);
int GetHeightPenalty(const UNITSTRUCT& unit, const UNITSTRUCT& other, bool enabled,
                     const GAMEDATASTRUCT& game);
int GetWeaponTypeOfMask(const UNITSTRUCT& unit, uint32_t mask);
int GetWeaponShotCount(const UNITSTRUCT& shooter, uint32_t mask, bool targetIsAir);
uint32_t PackWeaponValue(const UNITSTRUCT& shooter, int slot, int value, bool targetIsAir, bool pieces,
                         int shotCount = kNoShotCount);
int GetHitPercent(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t packed);
int GetInitiativeValue(const UNITSTRUCT& unit, uint32_t mask, bool targetIsAir, bool afterMoving);

// --- reach --------------------------------------------------------------------------------
// usage 0: asked for an attack; otherwise (answering, listing) the second
// value of each forbidden usage pattern applies.
ReachVector GetSlotReach(const UNITSTRUCT& shooter, int slot, const GAMEDATASTRUCT& game, bool afterMoving,
                         int usage, bool adjacentOnly);
void AdjustReachForWeather(ReachVector& reach, const ARMSSTRUCT& shooterType, int weatherEffect);
int FindUsableWeapons(const UNITSTRUCT& shooter, const UNITSTRUCT& target, const GAMEDATASTRUCT& game,
                      bool afterMoving, int usage, std::array<int, 8>& values, bool adjacentOnly);
int CanEngageAdjacent(const GAMEDATASTRUCT& game, const UNITSTRUCT& target, const UNITSTRUCT& shooter);
// Enemy units in reach, written into out ended by null (at most out.size() - 1).
int ListTargetsInRange(const UNITSTRUCT& unit, GAMEDATASTRUCT& game, bool afterMoving, bool adjacentOnly,
                       std::span<UNITSTRUCT*> out);

// The attack test with adjacent fire only; refused while the unit has no
// attack left after unloading (flag bit 4).
int CanAttackTarget(const UNITSTRUCT& unit, GAMEDATASTRUCT& game);
// Adjacent attack test of an ambush: the engagement test and an adjacent
// value of the summed, adjusted reach for the target's domain.
int CanAmbush(const GAMEDATASTRUCT& game, const UNITSTRUCT& target, const UNITSTRUCT& shooter);

// --- damage ---------------------------------------------------------------------------------
// Flags | hit percentage of the mask's combined value (raw: the summed value).
// usedSlots null consumes nothing; otherwise a slot's first use in the
// exchange costs one round and sets its bit.
uint32_t GetGroupValue(UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                       const std::array<int, 8>& values, uint32_t* usedSlots, bool secondPass, bool raw);
int GetBestWeaponDamage(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                        const std::array<int, 8>& values);
// Expected damage in tenths of strength points; draws only with draws given.
int CalcCombatDamage(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                     const std::array<int, 8>& values, RuleDraws* draws, bool noCap);
int GetHitChance(const GAMEDATASTRUCT& game, const UNITSTRUCT& shooter, HEXINDEX targetHex, int targetExp,
                 int slot, bool targetIsAir);

struct WeaponChoice {
    bool afterMoving = false;
    bool startAtZero = false;
    bool isCpu = false;
    bool heightRule = false;
    int counterMode = 0;
    bool noCap = false;
};
// Slot mask to fire, 0 none, -1 the player chooses.
int ChooseWeaponGroup(const UNITSTRUCT& shooter, const UNITSTRUCT& target, const std::array<int, 8>& values,
                      const GAMEDATASTRUCT& game, const WeaponChoice& how);
// The country's counter mode (dwFlag bits 0-2) picks the answer of shooter
// against target; -1 asks the player.
int ChooseCounterWeapons(const GAMEDATASTRUCT& game, const UNITSTRUCT& shooter, const UNITSTRUCT& target);

// Dice-rolled fire of shooter at target with the mask; appends one entry.
// totals (optional): low half shots, high half hits before the cap.
// shotCounts (optional): per-slot shots from the scatter.
int FireAtUnit(UNITSTRUCT& shooter, UNITSTRUCT& target, uint32_t mask, const GAMEDATASTRUCT& game,
               bool afterMoving, int usage, CombatHitList& results, uint32_t* usedSlots, uint32_t* totals,
               const std::array<int, 8>* shotCounts, RuleDraws& draws);
void AddCombatTallies(UNITSTRUCT& shooter, UNITSTRUCT& target, int hits);

struct ImpactRecord {
    HEXINDEX hex = -1;
    uint32_t mask = 0;
    std::array<int, 8> count{};
    std::array<int, 8> copy{};
};
using ImpactTable = std::array<ImpactRecord, 7>;
void ScatterImpacts(const UNITSTRUCT& shooter, const UNITSTRUCT& target, uint32_t mask,
                    const GAMEDATASTRUCT& game, ImpactTable& table, bool noEvasion, RuleDraws& draws);
int GetImpactEffectKind(const UNITSTRUCT& target, int weaponType, HEXINDEX hex,
                        std::span<const MAPCELL, kHexCount> cells);

// Experience from the two runs of a result list (the first fired by first).
// The firers' strengths before the exchange divide their gains, so a firer
// destroyed by the answer still gets a sound share.
void AddCombatExperience(GAMEDATASTRUCT& game, const UNITSTRUCT* attacker, UNITSTRUCT* first,
                         int firstFormerStrength, UNITSTRUCT* second, int secondFormerStrength,
                         std::span<const COMBATHITSTRUCT> results);

// The hidden neighbour that would hurt the unit most if it stood at hex; its
// chosen group goes into its nCpuScore. Null when none. The unit is put back.
UNITSTRUCT* FindAmbushThreat(GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                             std::span<const UnitRef, kHexCount> hexUnit, UNITSTRUCT& unit, HEXINDEX hex);
struct FireThreat {
    UNITSTRUCT* unit = nullptr;
    uint32_t value = 0;  // firing order against air << 16 | slot mask
};
// Enemy units that can fire weapons whose flags meet flagMask at the unit,
// sorted ascending by value; at most out.size() (8 in the game). The count.
int ListFireClassThreats(GAMEDATASTRUCT& game, const UNITSTRUCT& unit, uint32_t flagMask,
                         std::span<FireThreat> out);

// What an exchange adds up beside its hit list, for the battle scene and the
// anti-aircraft pictures. A totals word holds the shots fired at the target
// in its low half and the hits rolled there in its high half.
struct CombatTotals {
    uint32_t attacker = 0;  // the attacker's fire at its target (without the collect flag)
    uint32_t defender = 0;
    // One word per impact record (the target's hex, then its neighbours),
    // shared by both sides; only with the collect flag.
    std::array<uint32_t, 7> picture{};
    // Where each side's scattered shots landed: the attacker's fire first,
    // whichever side fired first. Cleared by each exchange.
    std::array<ImpactTable, 2> impact{};
};

// --- a whole exchange --------------------------------------------------------------------------
// The whole of one exchange as a battle scene shows it, before any damage is
// applied: the attacker and the defender with the masks they fire with, the
// order value (negative: the defender fired first) and both runs of the hit
// list and of the firing-hex list.
struct CombatScene {
    const UNITSTRUCT& attacker;
    const UNITSTRUCT& defender;
    uint32_t attackerMask;
    uint32_t defenderMask;
    int order;
    std::span<const COMBATHITSTRUCT> hits;
    std::span<const HEXINDEX> firingHexes;
    const CombatTotals* totals = nullptr;
    // An anti-aircraft volley collects its shots into one scene of its own.
    bool collect = false;
};

// One display step of an exchange: the shooter's run of the hit list (both
// runs when the two sides fire at once), the firing-hex list from this
// step's run on, and the masks both sides fire with.
struct CombatStep {
    const UNITSTRUCT& shooter;
    const UNITSTRUCT& target;
    uint32_t shooterMask;
    uint32_t targetMask;
    int order;
    std::span<const COMBATHITSTRUCT> run;
    std::span<const HEXINDEX> firingHexes;
};

// What the view (or a test) does around an exchange. Every hook is optional.
class CombatHooks {
public:
    // Whether the exchange between the two is shown as one battle scene. With
    // a scene, ShowBattleScene takes the place of every AnimateShots call of
    // the exchange; by default there is none.
    virtual bool WantsBattleScene(const UNITSTRUCT& /*attacker*/, const UNITSTRUCT& /*defender*/)
    {
        return false;
    }
    // Hands the exchange to the battle scene and returns when it is over.
    virtual void ShowBattleScene(const CombatScene& /*scene*/) {}
    // The scene was not shown: a close request came while it was pointed
    // out. The exchange stops there.
    virtual bool SceneStopped() const { return false; }
    virtual ~CombatHooks() = default;
    // The return fire of defender when the country asks its player; 0 none.
    virtual int AskReturnFire(UNITSTRUCT& /*defender*/, UNITSTRUCT& /*attacker*/) { return 0; }
    // Shots of one side are about to be applied; false stops the exchange
    // (a close request during the animation).
    virtual bool AnimateShots(const UNITSTRUCT& /*shooter*/, std::span<const COMBATHITSTRUCT> /*run*/)
    {
        return true;
    }
    // The display of one step before its damage is applied; false stops
    // the exchange. By default the step's run goes to AnimateShots.
    virtual bool AnimateStep(const CombatStep& step) { return AnimateShots(step.shooter, step.run); }
    // A damage step was applied (last: the exchange's final one).
    virtual void AfterDamageStep(bool /*last*/) {}
    // The attacker's action ends once, after the last damage step, unless
    // the exchange keeps it.
    virtual void EndAttackerAction(UNITSTRUCT& /*attacker*/) {}
    virtual void UnitDamaged(UNITSTRUCT& /*unit*/) {}
    // The unit reached strength 0. The document removes it with its cargo
    // and its place on the map; without a document it just leaves play.
    virtual void UnitDestroyed(UNITSTRUCT& unit) { unit.dwFlag &= ~kUnitInUse; }
};

// One exchange of fire (attacker's order value minus the defender's);
// bit 31 alone when the attacker is not in use. Writes two runs. The totals,
// when given, are added to (the impact tables are replaced).
int ResolveCombat(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, UNITSTRUCT& attacker,
                  UNITSTRUCT& defender, uint32_t attackerMask, uint32_t defenderMask, bool swap, bool collect,
                  CombatHitList& results, RuleDraws& draws, CombatHexList* hexes = nullptr,
                  CombatTotals* totals = nullptr);
// Applies the runs from position `from` of results; returns the mask of the
// countries that lost a unit.
uint32_t ApplyCombatDamage(GAMEDATASTRUCT& game, std::span<const COMBATHITSTRUCT> results, bool firstRunOnly,
                           CombatHooks& hooks);

struct ExchangeOutcome {
    int order = 0;               // attacker minus defender firing order
    uint32_t lostCountries = 0;  // countries that lost a unit
    uint32_t defenderMask = 0;   // the answer that was fired
    bool stopped = false;        // the hooks stopped it
};
// The defender's answer to an attack: none from a computer-run country whose
// level forbids it or from a unit that fired anti-aircraft in this volley;
// else the country's counter mode, the player asked through the hooks when
// the mode leaves it to them.
uint32_t ChooseReturnFire(GAMEDATASTRUCT& game, UNITSTRUCT& defender, UNITSTRUCT& attacker, CombatHooks& hooks);

// How one exchange runs.
struct ExchangeArgs {
    uint32_t attackerMask = 0;
    uint32_t defenderMask = 0;  // the answer, decided by the caller
    bool reaction = false;      // the defender fires as the one answered (the resolve's swap)
    bool collect = false;       // an anti-aircraft volley: shots collected for its scene
    bool keepAction = false;    // the attacker keeps its action
    bool scene = false;         // with collect: the volley has a battle scene
    // The unit the experience is credited for (null: the attacker).
    const UNITSTRUCT* actor = nullptr;
};
// One exchange of fire: resolved, shown (one battle scene, or the shots of
// each step), damage applied in firing order (a negative order value: the
// defender first), the attacker's action ended after the last damage step
// unless kept, experience credited.
ExchangeOutcome RunCombatExchange(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                  UNITSTRUCT& attacker, UNITSTRUCT& defender, const ExchangeArgs& args,
                                  RuleDraws& draws, CombatHooks& hooks);
// The attack sequence without a display: the answer chosen as above, then
// the exchange with the attacker keeping its action.
ExchangeOutcome RunCombatExchange(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                  UNITSTRUCT& attacker, UNITSTRUCT& defender, uint32_t attackerMask,
                                  RuleDraws& draws, CombatHooks& hooks);

}  // namespace zrv
