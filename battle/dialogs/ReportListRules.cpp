#include "battle/dialogs/ReportListRules.h"

#include "platform/core/Text.h"

namespace zrv {

ListSortState::ListSortState(int columns, int first) : m_column(first), m_toggle(static_cast<size_t>(columns), 1)
{
    if (first >= 0 && first < columns) m_toggle[static_cast<size_t>(first)] = 0;
}

bool ListSortState::Click(int column)
{
    if (column < 0 || column >= static_cast<int>(m_toggle.size())) return Descending();
    m_column = column;
    int& t = m_toggle[static_cast<size_t>(column)];
    t = t != 0 ? 0 : 1;
    return t != 0;
}

int CompareIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    auto fold = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c; };
    size_t i = 0;
    bool trailA = false, trailB = false;
    for (; i < a.size() && i < b.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        const unsigned char fa = trailA ? ca : fold(ca);
        const unsigned char fb = trailB ? cb : fold(cb);
        if (fa != fb) return fa < fb ? -1 : 1;
        trailA = !trailA && platform::IsSjisLead(ca);
        trailB = !trailB && platform::IsSjisLead(cb);
    }
    return KeyOrder(static_cast<int64_t>(a.size()), static_cast<int64_t>(b.size()));
}

ClientSize ListOpeningSize(const RowRect& firstRow, int shown, int rows, const ListMetrics& metrics)
{
    ClientSize s;
    s.width = firstRow.right + 2 * metrics.cxEdge + 4;
    s.height = shown * firstRow.bottom - (shown - 1) * firstRow.top + shown;
    if (rows > shown) s.width += metrics.cxVScroll;
    if (rows > shown - 1) s.height -= metrics.cyHScroll - 1;
    return s;
}

}  // namespace zrv
