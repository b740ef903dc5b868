#pragma once
// The unit data sheet without a window: which pages it has, their
// titles, which page is active, and when the current-armament page has to be
// painted again. The performance window shows the full sheet (the unit's
// current armament, every armament set, all weapons); the arms change shows
// only the armament sets and is told of every page change.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/GameRecords.h"
#include "foundation/LibraryRecords.h"

namespace zrv {

// What a page shows besides an armament set 0..5.
inline constexpr int kSpecPageCurrent = -2;     // the unit's current armament
inline constexpr int kSpecPageAllWeapons = -1;  // every weapon of the type

inline constexpr int kSpecMaxPages = 8;
inline constexpr int kSpecMaxSets = 6;

// The sheet's flag word.
inline constexpr uint32_t kSheetHasCurrentPage = 0x80000000u;  // page 0 is the current armament
inline constexpr uint32_t kSheetRepaintCurrent = 0x20000000u;  // page 0 waits to be painted again

// MsgEPackType entries of the pages that are no armament set; a set page
// uses its set id. The fitted set's page takes its entry + 20.
inline constexpr int kEPackAllWeapons = 19;
inline constexpr int kEPackCurrent = 20;
inline constexpr int kEPackFittedOffset = 20;

struct SpecPage {
    int set = 0;                          // kSpecPageCurrent, kSpecPageAllWeapons or 0..5
    const ARMSET* setRecord = nullptr;    // null on the current and all-weapons pages
    int titleIndex = 0;                   // MsgEPackType entry
    std::string title;                    // CP932; "" when the entry is not in the table
};

class SpecSheetModel {
public:
    // armsType: the unit type shown; unit: the unit (null: the type alone);
    // setsOnly: only the armament-set pages (the arms change).
    SpecSheetModel(int armsType, UNITSTRUCT* unit, bool setsOnly);

    void AddPages();

    int ArmsType() const { return m_nArms; }
    UNITSTRUCT* Unit() const { return m_pUnit; }
    bool SetsOnly() const { return m_bSetsOnly; }
    uint32_t Flags() const { return m_dwFlag; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    const SpecPage& Page(int i) const { return m_pages.at(static_cast<size_t>(i)); }
    int ActivePage() const { return m_nActive; }

    // The host is told of each page change (only the arms change asks).
    void SetPageReport(std::function<void(int page)> report) { m_report = std::move(report); }

    // The sheet stands with page first shown; from now on page changes count.
    void LaidOut(int first);
    // The shown page became index: the host is told; true when page 0 must
    // be painted again now (it was refreshed while hidden).
    bool PageChanged(int index);

    // The unit's armament changed: page 0 is painted now when it is shown,
    // else when it is shown next. Nothing without a current-armament page.
    enum class Refresh { None, Later, Now };
    Refresh RefreshCurrentPage();

private:
    void AddPage(int set, const ARMSET* record, bool markFitted);

    int m_nArms;
    UNITSTRUCT* m_pUnit;
    bool m_bSetsOnly;
    uint32_t m_dwFlag = 0;
    int m_nActive = 0;
    bool m_bLaidOut = false;
    std::vector<SpecPage> m_pages;
    std::function<void(int)> m_report;
};

}  // namespace zrv
