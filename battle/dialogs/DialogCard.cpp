#include "battle/dialogs/DialogCard.h"

#include "platform/core/Paths.h"

namespace zrv {

DialogCard::DialogCard(const DialogView* view, int width, int height, int fontHeight, int fontWeight)
    : m_pView(view)
{
    if (view != nullptr) view->CreatePictureDC(width, height, &m_picture, &m_dc);
    if (!m_picture) return;
    if (CreateGothicFont(&m_font, fontHeight, fontWeight, nullptr)) m_dc.SelectFont(m_font.get());
}

std::unique_ptr<CDib> DialogCard::LoadPicture(std::string_view name) const
{
    if (!m_picture) return nullptr;
    auto dib = std::make_unique<CDib>();
    if (!dib->CreateFromPXS(m_picture->GetColorTable(), platform::ProgramFolder() + std::string(name)))
        return nullptr;
    return dib;
}

void DialogCard::Copy(CDib* src, int sx, int sy, int w, int h, int dx, int dy)
{
    if (!m_picture || src == nullptr || src->GetBits() == nullptr) return;
    src->CopyRect(m_picture.get(), dx, dy, w, h, sx, sy, -1);
}

void DialogCard::Fill(int x, int y, int w, int h, uint8_t index)
{
    if (!m_picture) return;
    platform::Surface8 s = m_picture->Surface();
    for (int r = y; r < y + h; ++r)
        for (int c = x; c < x + w; ++c) s.SetPixel(c, r, index);
}

void DialogCard::Text(int x, int y, std::string_view text, int colorCode)
{
    if (!m_picture) return;
    DrawColorText(&m_dc, x, y, text, colorCode);
}

}  // namespace zrv
