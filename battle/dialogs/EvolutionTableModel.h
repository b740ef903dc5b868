#pragma once
// The evolution table (進化表) without a window: a country's development list
// of one unit class as a ladder of unit pictures, four rows at a time. Classes
// 2 and 3 share one ladder of two columns. In table mode the type produced
// now may be retired (廃止); in chooser mode the next step of a unit is
// picked for its evolution.
//
// The ladder is drawn onto a 200 x 306 card from "entry2.pxs"; the dialog
// shows the ladder at (8, 22) and the bottom panel below it. Click
// rectangles are kept in dialog coordinates.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "battle/dialogs/CardText.h"
#include "battle/dialogs/LadderPainter.h"
#include "foundation/Dib.h"
#include "foundation/GameRecords.h"

namespace zrv {

// What the table asks of the program around it.
struct EvolutionTableHost {
    // The retire question; true for OK.
    std::function<bool(const std::string& question)> ask;
    std::function<void(int effect)> sound;
    // A type was retired from the class list: the development table and the
    // production window follow (added -1: none).
    std::function<void(int retired, int added)> retired;
};

class EvolutionTableModel {
public:
    static constexpr int kCardW = 200, kCardH = 306;
    static constexpr int kSecondColumn = kLadderSecondColumn;
    // Where the card's ladder shows in the dialog.
    static constexpr int kLadderAtX = 8, kLadderAtY = 22;
    static constexpr int kSoundRetire = 21;

    // country: the lists shown (its own lists change on a retirement, through
    // game); type: the type the table opens for; unit: the unit concerned
    // (may be null); tableMode false: the chooser of the unit's next step.
    EvolutionTableModel(GAMEDATASTRUCT* game, COUNTRYSTRUCT& country, int type, const UNITSTRUCT* unit,
                        bool tableMode);

    bool TwoColumns() const { return m_bTwoColumns; }
    bool TableMode() const { return m_bTableMode; }
    int Class() const { return m_nClass; }
    int First() const { return m_nFirst; }
    int Count() const { return m_nCount; }
    int Scroll() const { return m_nScroll; }
    int OwnEntry() const { return m_nOwnEntry; }
    int ChosenEntry() const { return m_nChosenEntry; }
    int ChosenType() const { return m_nChosenType; }
    const std::array<int, 10>& List() const { return m_nList; }
    const std::array<int, 10>& List2() const { return m_nList2; }
    // The row graphics pattern of the four rows shown (0-7).
    int Pattern() const;

    // Client size and the class title (one column: the class's long name;
    // two columns keep the template's title).
    int ClientW() const { return m_bTwoColumns ? 212 : 160; }
    static constexpr int kClientH = 382;
    std::string Title() const;

    LadderLayout Layout() const;
    // Paints the card from entry2 (may be null: nothing but the pictures);
    // unitPicture draws a type's picture without digits in the country's
    // colours.
    void Paint(CDib& card, CDib* entry2, const platform::Font* font,
               const std::function<void(CDib& card, int x, int y, int type)>& unitPicture) const;

    // A left click at dialog coordinates: true when it chose a picture.
    bool ClickAt(int x, int y);
    bool UpEnabled() const { return m_nCount > 4 && m_nScroll + 4 < m_nCount; }
    bool DownEnabled() const { return m_nCount > 4 && m_nScroll != 0; }
    void Up();
    void Down();

    // Chooser: "進化" only for exactly the next step of the unit's type.
    bool EvolveEnabled() const;
    // Table: "廃止" when the list has an entry to retire.
    bool RetireEnabled() const;
    // "廃止": asks, retires, follows in the copy and tells the host; true
    // when the type was retired.
    bool Retire(const EvolutionTableHost& host);
    // The retire question for entry k.
    std::string RetireQuestion(int k) const;

private:
    void ComputeRange();
    int Entry(const std::array<int, 10>& list, int e) const;
    int Price() const;
    int ProducedType() const;
    // The list holding the produced type (classes 2 and 3 share list 2).
    int ListClass() const;

    GAMEDATASTRUCT* m_pGame;
    COUNTRYSTRUCT& m_country;
    bool m_bTwoColumns = false;
    bool m_bTableMode = true;
    int m_nType = -1;
    int m_nClass = -1;
    const UNITSTRUCT* m_pUnit = nullptr;
    std::array<int, 10> m_nList{};
    std::array<int, 10> m_nList2{};
    int m_nScroll = 0;
    int m_nFirst = -1;
    int m_nCount = 0;
    int m_nChosenEntry = -1;
    int m_nChosenType = -1;
    int m_nOwnEntry = -1;
    // The pictures drawn by the last layout, in dialog coordinates.
    mutable std::vector<LadderPicture> m_hits;
};

}  // namespace zrv
