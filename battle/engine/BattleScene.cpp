#include "battle/engine/BattleScene.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "platform/core/Paths.h"
#include "platform/core/Process.h"
#include "platform/core/Runtime.h"

namespace zrv {

bool IsBattleSceneWanted(uint32_t viewOption, bool minimised, int viewCountry, const UNITSTRUCT& attacker,
                         const UNITSTRUCT* defender, MAPCELL cell)
{
    if (!(viewOption & kViewBattleScenes) || minimised) return false;
    if (viewOption & kViewEveryBattle) return true;
    if (viewCountry < 0) return false;
    if (RefCountry(attacker.refSelf) == viewCountry) return true;
    if (defender && RefCountry(defender->refSelf) == viewCountry) return true;
    return cell != 0 && CellOwner(cell) == viewCountry;
}

namespace {

// Damage of the entries naming unit over both runs of the hit list; a list
// cut short (no end marks) just ends.
int SumLoss(std::span<const COMBATHITSTRUCT> hits, const UNITSTRUCT* unit)
{
    int64_t loss = 0;
    int runs = 0;
    for (const COMBATHITSTRUCT& h : hits) {
        if (h.nDamage < 0) {
            if (++runs == 2) break;
            continue;
        }
        if (h.pUnit == unit) loss += h.nDamage;
    }
    const int64_t cap = std::max<int32_t>(0, unit->nStrength);
    return static_cast<int>(std::clamp<int64_t>(loss, 0, cap));
}

void FillShots(const ImpactTable* table, int32_t (&shots)[7])
{
    for (int i = 0; i < 7; ++i) {
        int64_t sum = 0;
        if (table)
            for (int c : (*table)[i].count) sum += c;
        shots[i] = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
    }
}

}  // namespace

GAMEREALSTRUCT FillGameRealBlock(const GAMEDATASTRUCT& game, const BattleSceneInput& in)
{
    GAMEREALSTRUCT b{};
    const uint32_t state = game.dwStateFlag;
    b.rcMap = in.rcMap;
    b.nWeather = (state & kStateWeather) ? game.nWeather : 0;
    b.bSnow = (state & (kStateWeather | kStateSnowSeason)) == (kStateWeather | kStateSnowSeason) ? 1 : 0;
    b.dwSound = in.viewOption & kViewSoundEffects;
    b.nOrder = in.order;
    b.nAttackKind = in.attackKind;
    b.nAAFireDamage = in.aaFireDamage;
    b.dwAAFireDirs = in.aaFireDirs;
    b.nIceLevel = game.nIceLevel;
    b.nTotals[0] = in.totals[0];
    b.nTotals[1] = in.totals[1];
    std::copy(in.pictureTotals.begin(), in.pictureTotals.end(), b.nPictureTotals);
    b.nArea = ClimateArea(game.Head.dwArea);
    b.nResult = in.result;
    b.dwCell = in.cell;
    if (state & kStateDayNight) b.nLightMode = (game.nDayNight == 2 && game.nLight == 1) ? 3 : game.nDayNight;

    REALSIDESTRUCT& s1 = b.Side[0];
    REALSIDESTRUCT& s2 = b.Side[1];
    if (in.side1) s1.Unit = *in.side1;
    s1.dwWeapons = in.weapons1;
    s2.dwWeapons = in.weapons2;
    if (in.side2) {
        s2.Unit = *in.side2;
        if (in.side1) {
            s1.nLoss = SumLoss(in.hits, in.side1);
            s2.nLoss = SumLoss(in.hits, in.side2);
            HEXINDEX h1 = in.side2->nHex;
            HEXINDEX h2 = in.side1->nHex;
            if (in.order < 0) std::swap(h1, h2);
            b.nDistance = (IsMapHex(h1) && IsMapHex(h2)) ? GetHexDistance(h1, h2) : 0;
            // Each call consumes one run of the firing-hex list.
            std::span<const HEXINDEX> cursor = in.firingHexes;
            s1.dwDirs = IsMapHex(h1) ? GetDirectionMask(h1, cursor) : 0;
            s2.dwDirs = IsMapHex(h2) ? GetDirectionMask(h2, cursor) : 0;
        }
    } else if (in.attackKind != 0 && in.attackTarget) {
        s2.Unit = *in.attackTarget;
    }
    if (in.attackKind != 0) {
        const int64_t raised = static_cast<int64_t>(s1.Unit.nStrength) + in.aaFireDamage;
        s1.Unit.nStrength = static_cast<int32_t>(std::clamp<int64_t>(raised, INT32_MIN, INT32_MAX));
    }
    FillShots(in.impact1, s1.nShots);
    FillShots(in.impact2, s2.nShots);

    // The animation always shows the current country's unit as side 1.
    if (in.side2 && in.side1 && RefCountry(in.side1->refSelf) != in.currentCountry) {
        std::swap(b.Side[0], b.Side[1]);
        std::swap(b.nTotals[0], b.nTotals[1]);
        b.nOrder = -b.nOrder;
    }
    return b;
}

bool RunProgramAndWait(const std::string& nativePath, std::chrono::milliseconds limit)
{
    // Waited on by the child's end (waitpid), not by its exit value: any value
    // the program exits with is an end. The screen is not kept alive meanwhile,
    // so a program that never ends is ended once the limit has passed.
    const int status = platform::SpawnAndWait(nativePath, std::chrono::milliseconds(1000), nullptr, limit);
    if (status == platform::kSpawnTimedOut) {
        std::fprintf(stderr, "ZRVGame: %s did not end within %lld s and was ended; the battle goes on\n",
                     nativePath.c_str(), static_cast<long long>(limit.count() / 1000));
        return false;
    }
    return status != -1;
}

bool BattleSceneLink::Create()
{
    const std::string name = platform::SharedBlockName(kGameRealBlockBase);
    if (!m_block.Create(name, kGameRealBlockSize)) {
        // A block left by a battle program that ended may still carry the
        // name: take it over when nobody holds it.
        if (m_block.OpenExisting(name, kGameRealBlockSize, false) != platform::SharedBlock::OpenResult::Ok)
            return false;
        return true;
    }
    return m_block.Hold();
}

bool BattleSceneLink::ShowBattleScene(const GAMEREALSTRUCT& block)
{
    if (!m_block.IsOpen()) return false;
    if (!m_block.Write(0, &block, sizeof block)) return false;
    return RunProgramAndWait(platform::ToNativePath(platform::ProgramFolder() + "ZRVReal"), m_waitLimit);
}

}  // namespace zrv
