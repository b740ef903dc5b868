#pragma once
// The progress window (進行状況) without a window: the flag and name of the
// country playing its phase and a bar of the share of its units that have
// finished acting, drawn into a 162 x 43 card. The window keeps its place in
// the view between openings.

#include "battle/dialogs/DialogCard.h"
#include "battle/engine/GameDoc.h"

namespace zrv {

inline constexpr int kProgressW = 162, kProgressH = 43;
// The part of the window a progress update repaints.
inline constexpr platform::Rect kProgressBarRect{43, 26, 143, 36};
// A stored x of this value means no place is stored.
inline constexpr int kNoStoredPlace = 32767;

// Bar length of a country: units that cannot act any more (or ride a
// carrier) x 100 / (present units + 1), so never the full 100.
int ProgressBarLength(const COUNTRYSTRUCT& country);

class ProgressModel {
public:
    // The country is the document's current one.
    ProgressModel(CZRKGameDoc& doc, DialogView* view);

    const COUNTRYSTRUCT* Country() const { return m_pCountry; }
    int BarLength() const { return m_nBar; }
    // The units acted: the bar is measured again.
    void Update();
    // Background, flag, name and bar into card ("progres2.pxs" may be null:
    // then nothing but the flag and name).
    void Draw(DialogCard& card, CDib* progres2) const;

private:
    DialogView* m_pView;
    COUNTRYSTRUCT* m_pCountry;
    int m_nBar = 0;
};

}  // namespace zrv
