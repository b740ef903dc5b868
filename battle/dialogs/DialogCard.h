#pragma once
// A painted dialog's card without a window: the off-screen picture in the
// view's colours (DialogView::CreatePictureDC), a drawing context on it with
// the dialog's gothic font selected, and the pictures of the program folder
// it is composed from. When the card cannot be made (no colours yet) every
// drawing call does nothing and Surface() is invalid, so the window shows
// nothing there while its controls keep working.

#include <memory>
#include <string_view>

#include "battle/engine/DialogView.h"
#include "foundation/Dib.h"
#include "foundation/DrawHelpers.h"
#include "platform/gfx/Font8.h"
#include "platform/gfx/Surface8.h"

namespace zrv {

class DialogCard {
public:
    // A card of width x height for view (may be null: no card) with the
    // gothic font of fontHeight and fontWeight (0: normal).
    DialogCard(const DialogView* view, int width, int height, int fontHeight = 12, int fontWeight = 0);

    bool IsValid() const { return m_picture != nullptr; }
    CDib* Picture() const { return m_picture.get(); }
    // The drawing context (font selected; null font when none could be made).
    DrawContext& Dc() { return m_dc; }
    const platform::Font* Font() const { return m_font.get(); }
    const DialogView* View() const { return m_pView; }

    // A picture of the program folder loaded with the card's colours; null
    // when there is no card or the file cannot be read.
    std::unique_ptr<CDib> LoadPicture(std::string_view name) const;
    // Copies w x h from (sx, sy) of src (may be null or empty) to (dx, dy)
    // of the card, every pixel.
    void Copy(CDib* src, int sx, int sy, int w, int h, int dx, int dy);
    // Fills a rectangle with one index.
    void Fill(int x, int y, int w, int h, uint8_t index);
    // Text in the colour of code 1-8 (DrawColorText), transparent.
    void Text(int x, int y, std::string_view text, int colorCode);

    // The pixels for the window (invalid without a card).
    platform::Surface8 Surface() const { return m_picture ? m_picture->Surface() : platform::Surface8{}; }

private:
    const DialogView* m_pView;
    std::unique_ptr<CDib> m_picture;
    std::unique_ptr<platform::Font> m_font;
    DrawContext m_dc;
};

}  // namespace zrv
