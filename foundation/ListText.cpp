#include "foundation/ListText.h"

#include <algorithm>

namespace zrv {

SortState::SortState(Convention convention, int columns, int initialColumn)
    : m_convention(convention),
      m_toggle(static_cast<size_t>(std::max(columns, 1)), convention == Convention::FlipThenCheck ? 1 : 0),
      m_key(static_cast<uint32_t>(initialColumn))
{
    if (convention == Convention::FlipThenCheck && initialColumn >= 0 && initialColumn < columns)
        m_toggle[static_cast<size_t>(initialColumn)] = 0;
}

uint32_t SortState::Click(int column)
{
    if (column < 0 || column >= static_cast<int>(m_toggle.size())) return m_key;
    int& t = m_toggle[static_cast<size_t>(column)];
    if (m_convention == Convention::FlipThenCheck) t ^= 1;
    m_key = static_cast<uint32_t>(column) | (t ? kDescending : 0u);
    if (m_convention == Convention::CheckThenFlip) t ^= 1;
    return m_key;
}

}  // namespace zrv
