#pragma once
// The new-weapon entry (新兵器エントリー / 兵器退役) without a window: the
// development chain of a type's class with the new type's place, the report,
// the choice (制式化, 審議中, 棄　却, or 確認 for a retirement), the stamp and
// the adoption animation as a state machine of 50 ms ticks. Nothing in the
// country changes here: the caller applies the choice.
//
// The card is 470 x 328; the dialog shows the chain at (9, 10), the report
// at (166, 9) or (218, 9) and the selected type's strip below the chain.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "battle/dialogs/LadderPainter.h"
#include "foundation/Dib.h"
#include "foundation/GameRecords.h"

namespace zrv {

class NewWeaponEntryModel {
public:
    static constexpr int kCardW = 470, kCardH = 328;
    static constexpr int kClientH = 328;
    static constexpr int kSoundShown = 25, kSoundStamp = 26, kSoundAdopted = 27;
    static constexpr int kChainAtX = 9, kChainAtY = 10;

    // mode: 0 a choice, 1 adoption only, 2 a retirement notice.
    NewWeaponEntryModel(const COUNTRYSTRUCT& country, int type, int mode);

    bool TwoTracks() const { return m_bTwo; }
    int Mode() const { return m_nMode; }
    int ClientW() const { return m_bTwo ? 470 : 417; }
    // The caption: "新兵器エントリー", or "兵器退役" for a retirement.
    const char* Caption() const;
    int First() const { return m_nFirst; }
    int Count() const { return m_nCount; }
    int Position() const { return m_nPosition; }
    int ShownType() const { return m_nShownType; }
    int ShownStep() const { return m_nShownStep; }
    const std::array<int, 10>& List() const { return m_list; }
    const std::array<int, 10>& List2() const { return m_list2; }
    // The chain's scroll offset and frame layout row.
    int Offset() const;
    int LayoutRow() const;

    // Buttons: 制式化, 審議中, 棄　却 / 確認.
    bool AdoptShown() const { return m_nMode != 2; }
    bool DeliberateShown() const { return m_nMode != 2; }
    bool AdoptEnabled() const { return m_nChoice < 0 && m_nMode != 2; }
    bool DeliberateEnabled() const { return m_nChoice < 0 && m_nMode == 0; }
    bool RejectEnabled() const { return m_nChoice < 0 && m_nMode != 1; }
    const char* RejectLabel() const { return m_nMode == 2 ? "確認" : "棄　却"; }

    int Choice() const { return m_nChoice; }
    bool Finished() const { return m_bFinished; }
    // The dialog's result once finished.
    int Result() const { return m_nResult; }

    // What a step asks of the window: sounds to play, whether to repaint,
    // whether to start the 50 ms timer (a timer that cannot be started
    // finishes the dialog: call TimerFailed).
    struct Step {
        std::vector<int> sounds;
        bool repaint = false;
        bool startTimer = false;
    };
    // A button: 0 制式化, 1 審議中, 2 棄　却 (確認): the stamp.
    Step Choose(int choice);
    // Esc or the close box.
    Step Cancel();
    // Enter: ends at once as 審議中 while nothing is chosen; ignored after.
    bool Enter();
    // One tick of the running timer.
    Step Tick();
    void TimerFailed();
    // A left click at dialog coordinates: true when it showed a slot.
    bool ClickAt(int x, int y);

    // The chain card (with its strip) and the report; the report shows the
    // new type's picture unless blinking hides it.
    LadderLayout Layout() const;
    // The report's texts.
    CardTexts ReportTexts() const;
    bool ReportPicture() const { return m_bPicture; }
    // The stamp's copy (w 0: none yet).
    CardCopy Stamp() const;
    void Paint(CDib& card, CDib* entry2, const platform::Font* font,
               const std::function<void(CDib& card, int x, int y, int type)>& unitPicture) const;

private:
    enum class Phase { Waiting, Stamped, Blink, Swap, Hold, Done };
    int Entry(const std::array<int, 10>& list, int e) const;
    int Cost(int type) const;
    void Finish();
    Step Stamped(int choice);

    const COUNTRYSTRUCT& m_country;
    int m_nType;
    int m_nMode;
    int m_nClass = -1;
    bool m_bTwo = false;
    std::array<int, 10> m_list{};
    std::array<int, 10> m_list2{};
    int m_nPosition = 0;   // the new type's step (+ kLadderSecondColumn in the class-3 list)
    int m_nShownType = -1;
    int m_nShownStep = 0;
    int m_nFirst = -1;
    int m_nCount = 1;
    int m_nChoice = -1;
    bool m_bChosen = false;   // a choice that ends without the animation
    bool m_bSecondPhase = false;
    bool m_bPicture = true;
    int m_nKept = -1;
    Phase m_phase = Phase::Waiting;
    int m_nTicks = 0;
    bool m_bFinished = false;
    int m_nResult = 1;
    mutable std::vector<LadderPicture> m_hits;
};

}  // namespace zrv
