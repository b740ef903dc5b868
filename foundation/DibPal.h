#pragma once
// CDibPal: the palette of a screen, a table of 256 colours. Entries 0-9 and
// 246-255 hold the static colours of the program, 10-245 come from a .PLB
// file: 944 bytes, 236 x (blue, green, red, ignored) for indexes 10-245.
// There is no palette device: showing the table means copying it into the
// off-screen picture and asking the window to paint again.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "foundation/Dib.h"
#include "foundation/GfxSettings.h"

namespace zrv {

class CDibPal {
public:
    CDibPal() = default;
    CDibPal(const CDibPal&) = delete;
    CDibPal& operator=(const CDibPal&) = delete;

    // From a .PLB file with the program's static colours.
    bool Create(std::string_view path);
    // From a full table, copied as it stands.
    bool Create(const RgbQuad* table);
    // Builds a 256-entry table from the static colours and a .PLB file.
    static bool OpenPaletteFile(std::string_view path, RgbQuad* out);

    // Copies the table into target's colours (the off-screen picture) and asks
    // for the screen to be painted again.
    void ApplyColorTable(CDib* target);
    // Copies count entries from first on; the range is cut to the table.
    void SetColors(int first, int count, const RgbQuad* src);
    // First index whose colour equals c; -1 when none.
    int FindColorIndex(COLORREF c) const;
    // Entries of the palette: 256 once created, 0 (with a box) before.
    int GetNumColors() const;
    // Entries 10-245 from src at a level 0-256 (256 = src, 0 = black/src).
    void FadeFromBlack(const RgbQuad* src, int level);
    void FadeToWhite(const RgbQuad* src, int level);
    // Entries 10-245 black with flag 0.
    void ClearColors();
    // There is no palette device to take over: a box and false.
    bool SetSystemPalette();

    RgbQuad* GetColorTable() { return m_table ? m_table.get() : nullptr; }
    const RgbQuad* GetColorTable() const { return m_table ? m_table.get() : nullptr; }

    // Called after ApplyColorTable so the owner can repaint the window.
    void SetAppliedHandler(std::function<void()> handler) { m_applied = std::move(handler); }

private:
    bool AllocTable();
    std::unique_ptr<RgbQuad[]> m_table;
    std::function<void()> m_applied;
};

// The static entries 0-9 and 246-255 of a program's palettes.
void StaticColors(ProgramVariant variant, RgbQuad* table);

}  // namespace zrv
