#pragma once
// The weapon table of one page of the unit data sheet: a 599 x 129
// card over the top of "spec2.pxs", one row per weapon slot of the type with
// its mounting, icon, name, figures, ranges, firing order, rounds, price and
// weight. The layout is plain data (the texts and the rows' icons), so it
// can be checked without pixels; painting draws the layout.

#include <array>
#include <string>
#include <vector>

#include "battle/dialogs/CardText.h"
#include "battle/dialogs/SpecSheetModel.h"
#include "foundation/Dib.h"
#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr int kWeaponCardW = 599;
inline constexpr int kWeaponCardH = 129;
inline constexpr int kWeaponFirstRowY = 30;
inline constexpr int kWeaponRowH = 12;

// The viewing country's flag bit that keeps the row of a weapon without
// rounds empty instead of closing the rows up.
inline constexpr uint32_t kCountryKeepWeaponRows = 0x02000000u;

// Weapon flag bits of the table: the range highlight (bit 11 on; bits 8-10
// the alternative, long-range and second-pair marks it must match).
inline constexpr uint32_t kWeaponRangeHighlight = 0x800u;
inline constexpr uint32_t kWeaponRangeMarks = 0x700u;

struct WeaponTableInput {
    int armsType = -1;
    const UNITSTRUCT* unit = nullptr;  // null: the type alone
    int set = 0;                       // kSpecPageCurrent, kSpecPageAllWeapons or 0..5
    const ARMSET* setRecord = nullptr; // the set's record on a set page
    // Battle: the current country (the temporary record of a bare type and
    // its bit 25) and the game-state block. The menu program has neither.
    COUNTRYSTRUCT* country = nullptr;
    const GAMEDATASTRUCT* game = nullptr;
    // The menu program's table: no country or game for the temporary
    // record, no height bonus, and keepEmptyRows from its own option.
    bool menuMode = false;
    bool keepEmptyRows = false;
};

struct WeaponTableRow {
    int slot = 0;
    int y = 0;
    int iconRow = 0;      // effect id: the icon at (0, iconRow x 12) of "weapon.pxs"
    int iconShift = 0;    // colour variant x 9
    bool droppable = false;
};

struct WeaponTableLayout {
    std::vector<WeaponTableRow> rows;
    CardTexts texts;
    std::array<int, 2> load{};  // weapon loads against air (0) and surface (1) targets
    int heightBonus = 0;
};

// True when range value v of pair p takes the highlight of bAlt (red) or
// not (yellow) under the weapon's flags.
bool IsRangeHighlighted(int v, int p, bool bAlt, uint32_t flags);

WeaponTableLayout LayoutWeaponTable(const WeaponTableInput& in);

// Paints the table into card (599 x 129): background from spec (may be
// null), icons from weapons (may be null), texts in font. False without a card.
bool DrawWeaponTable(const WeaponTableInput& in, CDib* card, CDib* spec, CDib* weapons,
                     const platform::Font* font);

}  // namespace zrv
