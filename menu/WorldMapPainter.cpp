#include "menu/WorldMapPainter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr int kNoOwner = 58;
constexpr int kStep = 10;  // pixels per scroll or dot tick

int Clamp(int v, int lo, int hi)
{
    return std::max(lo, std::min(v, hi));
}

int CityCount()
{
    return std::clamp<int>(Lib().g_nMaxIWCity, 0, static_cast<int>(Lib().IWCityData.size()));
}

}  // namespace

int WorldMapPainter::CityAt(int x, int y)
{
    for (int i = 0; i < CityCount(); ++i) {
        const IWCITYSTRUCT& c = Lib().IWCityData[static_cast<size_t>(i)];
        if (std::abs(c.x - x) <= 2 && std::abs(c.y - y) <= 2) return i;
    }
    return -1;
}

void WorldMapPainter::DrawFlag(CDib* flags, CDib* dst, int x, int y, int flag)
{
    if (flags == nullptr || dst == nullptr) return;
    const int sy = (flag + 8) * 16;
    // Rows beyond the sheet are not copied.
    if (sy < 0 || sy + 16 > flags->GetHeight()) return;
    flags->CopyRect(dst, x, y, 21, 16, 0, sy, 0);
}

void WorldMapPainter::Shade(CDib* dst, int left, int top, int right, int bottom) const
{
    if (dst == nullptr || m_sheet == nullptr) return;
    for (int y = top; y < bottom;) {
        const int py = ((y % 16) + 16) % 16;
        const int h = std::min(16 - py, bottom - y);
        for (int x = left; x < right;) {
            const int px = ((x % 16) + 16) % 16;
            const int w = std::min(16 - px, right - x);
            m_sheet->CopyRect(dst, x, y, w, h, 4 + px, 16 + py, 0);
            x += w;
        }
        y += h;
    }
}

void WorldMapPainter::ShadeOutside(CDib* dst, const std::array<int32_t, 4>& r)
{
    if (dst == nullptr) return;
    const int w = dst->GetWidth(), h = dst->GetHeight();
    if (r[0] < 0) {
        Shade(dst, 0, 0, w, h);
        return;
    }
    const int l = Clamp(r[0], 0, w), t = Clamp(r[1], 0, h), rr = Clamp(r[2], 0, w), b = Clamp(r[3], 0, h);
    Shade(dst, 0, 0, w, t);
    Shade(dst, 0, b, w, h);
    Shade(dst, 0, t, l, b);
    Shade(dst, rr, t, w, b);
}

void WorldMapPainter::DrawPole(CDib* dst, int x, int y, int clipRows, int lowered)
{
    if (m_sheet == nullptr || clipRows <= 0) return;
    m_sheet->CopyRect(dst, x - 2, std::max(0, y - 31 + lowered), 4, std::min(32, clipRows), 0,
                      std::max(0, -(y - 31 + lowered)), 0);
}

void WorldMapPainter::DrawSlotFlag(CDib* dst, int x, int y, int flag, int lowered, int rows)
{
    if (m_sheet == nullptr || flag < 0 || flag >= kNoOwner || rows <= 0) return;
    const int sy = 32 + 17 * flag;
    if (sy + 17 > m_sheet->GetHeight()) return;
    const int top = y - 30 + lowered;
    // Clipped at the top of the map.
    const int cut = std::max(0, -top);
    const int n = std::min(17, rows) - cut;
    if (n <= 0) return;
    m_sheet->CopyRect(dst, x + 1, top + cut, 20, n, 0, sy + cut, 0);
}

void WorldMapPainter::DrawCities()
{
    struct Entry {
        int64_t key;
        int city;
    };
    std::vector<Entry> list;
    for (int i = 0; i < CityCount(); ++i) {
        const IWCITYSTRUCT& c = Lib().IWCityData[static_cast<size_t>(i)];
        list.push_back({static_cast<int64_t>(c.y) * 65536 + (32767 - c.x), i});
    }
    const bool flags = (m_dwFlags & kSceneCityFlags) != 0;
    if (flags) std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    uint64_t hidden = 0;
    if (m_pRecord != nullptr) std::memcpy(&hidden, m_pRecord->byReserved4C, sizeof hidden);
    for (const Entry& e : list) {
        const IWCITYSTRUCT& c = Lib().IWCityData[static_cast<size_t>(e.city)];
        const uint32_t owner = m_pRecord != nullptr && e.city < kWorldCityCount
                                   ? m_pRecord->dwWorldCity[e.city]
                                   : static_cast<uint32_t>(c.nValue);
        if (owner >= static_cast<uint32_t>(kNoOwner)) continue;
        if (flags && (hidden & (uint64_t{1} << owner)) == 0) {
            DrawPole(m_target, c.x, c.y, 32, 0);
            DrawSlotFlag(m_target, c.x, c.y, static_cast<int>(owner), 0, 17);
        }
        const uint32_t value = m_pRecord != nullptr ? m_pRecord->dwWorldNation[owner] : 0;
        if (value < 2 && m_sheet != nullptr)
            m_sheet->CopyRect(m_target, c.x, c.y, 4, 4, m_sheet->GetWidth() - 4,
                              static_cast<int>(4 * value) + 8 * c.nKind, 0);
    }
}

bool WorldMapPainter::Paint(bool skip)
{
    if (m_target == nullptr) return false;
    bool shaded = false;
    if ((m_dwFlags & kScenePrerendered) == 0 || m_work == nullptr) {
        if (m_map != nullptr) m_map->CopyRect(m_target, 0, 0, m_map->GetWidth(), m_map->GetHeight(), 0, 0, -1);
        DrawCities();
    } else {
        if (m_bFrame && !m_bLoop && m_frame[0] >= 0) {
            // The ring the frame closed over in this step stays shaded.
            const int w = m_work->GetWidth(), h = m_work->GetHeight();
            const int l = Clamp(m_frame[0] - m_nStep, 0, w), t = Clamp(m_frame[1] - m_nStep, 0, h);
            const int r = Clamp(m_frame[2] + m_nStep, 0, w), b = Clamp(m_frame[3] + m_nStep, 0, h);
            const int fl = Clamp(m_frame[0], 0, w), ft = Clamp(m_frame[1], 0, h);
            const int fr = Clamp(m_frame[2], 0, w), fb = Clamp(m_frame[3], 0, h);
            Shade(m_work, l, t, r, ft);
            Shade(m_work, l, fb, r, b);
            Shade(m_work, l, ft, fl, fb);
            Shade(m_work, fr, ft, r, fb);
            shaded = true;
        }
        m_work->CopyRect(m_target, 0, 0, m_work->GetWidth(), m_work->GetHeight(), 0, 0, -1);
    }
    if (m_bFrame && !shaded) ShadeOutside(m_target, m_frame);

    struct Entry {
        int key;
        int slot;
    };
    std::vector<Entry> list;
    for (int i = 0; i < kSlots; ++i) {
        const Slot& s = m_slots[static_cast<size_t>(i)];
        if (s.kind == kEmpty) continue;
        list.push_back({s.y + (s.kind == kStanding ? 0 : 16384), i});
    }
    std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    bool animating = false;
    for (const Entry& e : list) {
        Slot& s = m_slots[static_cast<size_t>(e.slot)];
        if (skip) {
            if (s.kind == kRising) s.kind = kStanding;
            if (s.kind == kSinking) s.kind = kEmpty;
            s.step = 0;
        }
        if (s.kind == kStanding) {
            DrawPole(m_target, s.x, s.y, 32, 0);
            DrawSlotFlag(m_target, s.x, s.y, s.flag, 0, 17);
        } else if (s.kind == kRising || s.kind == kSinking) {
            DrawPole(m_target, s.x, s.y, 29 - s.step, s.step);
            DrawSlotFlag(m_target, s.x, s.y, s.flag, s.step, 28 - s.step);
            animating = true;
            if (s.kind == kRising) {
                if (--s.step <= 0) {
                    s.step = 0;
                    s.kind = kStanding;
                }
            } else if (++s.step > 27) {
                s = Slot{};
            }
        }
    }
    return animating;
}

void WorldMapPainter::Show()
{
    if (m_view.update) m_view.update();
}

bool WorldMapPainter::Redraw(bool skip)
{
    const bool animating = Paint(skip);
    Show();
    return animating;
}

void WorldMapPainter::Prerender()
{
    if (m_target == nullptr || m_work == nullptr) return;
    m_target->CopyRect(m_work, 0, 0, m_target->GetWidth(), m_target->GetHeight(), 0, 0, -1);
    m_dwFlags |= kScenePrerendered;
}

void WorldMapPainter::SetupForScenario(int scenario)
{
    m_bFrame = false;
    m_slots.fill(Slot{});
    m_dwFlags &= ~kScenePrerendered;
    m_nStep = 0;
    const bool known = scenario >= 0 && scenario < Lib().g_nMaxScnr &&
                       static_cast<size_t>(scenario) < Lib().ScenarioData.size();
    if (known) {
        const SCNRBASESTRUCT& s = Lib().ScenarioData[static_cast<size_t>(scenario)];
        std::copy(std::begin(s.rcMap), std::end(s.rcMap), m_frame.begin());
        m_target4 = m_frame;
        m_bFrame = true;
        Paint(false);
        Prerender();
        for (int c = 0; c < 8; ++c)
            if (s.Start[c].nValue >= 0) m_slots[static_cast<size_t>(c)] = {kStanding, s.Start[c].x, s.Start[c].y,
                                                                            s.Start[c].nValue, 0};
    }
    Redraw(false);
}

void WorldMapPainter::Centre(int x, int y, bool convert)
{
    const SizeI c = m_view.client ? m_view.client() : SizeI{640, 480};
    const int w = m_map != nullptr ? m_map->GetWidth() : c.cx, h = m_map != nullptr ? m_map->GetHeight() : c.cy;
    int sx = convert ? x - c.cx / 2 : x, sy = convert ? y - c.cy / 2 : y;
    sx = Clamp(sx, 0, std::max(0, w - c.cx));
    sy = Clamp(sy, 0, std::max(0, h - c.cy));
    if (m_view.setScroll) m_view.setScroll(sx, sy);
    Redraw(false);
}

bool WorldMapPainter::MoveStep(double& x, double& y, double tx, double ty)
{
    const double dx = tx - x, dy = ty - y;
    const double angle = std::atan2(std::fabs(dy), std::fabs(dx));
    const double mx = kStep * std::cos(angle), my = kStep * std::sin(angle);
    x += dx > 0 ? mx : -mx;
    y += dy > 0 ? my : -my;
    if ((dx >= 0 && x >= tx) || (dx <= 0 && x <= tx)) x = tx;
    if ((dy >= 0 && y >= ty) || (dy <= 0 && y <= ty)) y = ty;
    return x == tx && y == ty;
}

bool WorldMapPainter::StartScroll(int x, int y)
{
    const SizeI c = m_view.client ? m_view.client() : SizeI{640, 480};
    const int w = m_map != nullptr ? m_map->GetWidth() : c.cx, h = m_map != nullptr ? m_map->GetHeight() : c.cy;
    const PointI now = m_view.scroll ? m_view.scroll() : PointI{0, 0};
    m_tx = Clamp(x - c.cx / 2, 0, std::max(0, w - c.cx));
    m_ty = Clamp(y - c.cy / 2, 0, std::max(0, h - c.cy));
    m_sx = now.x;
    m_sy = now.y;
    return !(m_sx == m_tx && m_sy == m_ty);
}

bool WorldMapPainter::ScrollStep(bool skip)
{
    bool done = true;
    if (skip) {
        m_sx = m_tx, m_sy = m_ty;
    } else {
        done = MoveStep(m_sx, m_sy, m_tx, m_ty);
    }
    if (m_view.setScroll) m_view.setScroll(static_cast<int>(std::lround(m_sx)), static_cast<int>(std::lround(m_sy)));
    Show();
    return done;
}

void WorldMapPainter::ShowFrame(const int32_t* rect)
{
    if (rect != nullptr) std::copy(rect, rect + 4, m_frame.begin());
    m_bFrame = true;
    // From the live map.
    m_dwFlags &= ~kScenePrerendered;
}

void WorldMapPainter::HideFrame()
{
    m_bFrame = false;
    m_dwFlags &= ~kScenePrerendered;
}

bool WorldMapPainter::StartClosingFrame(const int32_t* rect, int step, bool prerender)
{
    if (rect != nullptr) std::copy(rect, rect + 4, m_target4.begin());
    if (prerender) {
        m_bFrame = false;
        m_dwFlags &= ~kScenePrerendered;
        Paint(false);
        Prerender();
    }
    const PointI s = m_view.scroll ? m_view.scroll() : PointI{0, 0};
    const SizeI c = m_view.client ? m_view.client() : SizeI{640, 480};
    const int gap = std::max({m_target4[0] - s.x, m_target4[1] - s.y, s.x + c.cx - m_target4[2],
                              s.y + c.cy - m_target4[3]});
    m_bFrame = true;
    m_nStep = std::max(0, step);
    if (gap <= 0 || m_target4[0] < 0) {
        m_frame = m_target4;
        m_nDistance = 0;
        Redraw(false);
        return false;
    }
    m_nDistance = gap;
    return true;
}

bool WorldMapPainter::FrameStep(bool skip)
{
    const int w = m_map != nullptr ? m_map->GetWidth() : 2144, h = m_map != nullptr ? m_map->GetHeight() : 1032;
    if (skip) {
        // The ring still to close is shaded in one go.
        m_frame = m_target4;
        m_nStep += m_nDistance;
        m_nDistance = 0;
        Redraw(false);
        return true;
    }
    const int d = m_nDistance;
    m_frame = {Clamp(m_target4[0] - d, 0, w), Clamp(m_target4[1] - d, 0, h), Clamp(m_target4[2] + d, 0, w),
               Clamp(m_target4[3] + d, 0, h)};
    Redraw(false);
    m_nDistance = std::max(0, d - m_nStep);
    return d < 1;
}

void WorldMapPainter::StandFlag(int slot, int x, int y, int flag)
{
    if (slot >= 0 && slot < kSlots) m_slots[static_cast<size_t>(slot)] = {kStanding, x, y, flag, 0};
}

void WorldMapPainter::ClearSlot(int slot)
{
    if (slot >= 0 && slot < kSlots) m_slots[static_cast<size_t>(slot)] = Slot{};
}

void WorldMapPainter::RaiseFlag(int slot, int x, int y, int flag)
{
    if (slot >= 0 && slot < kSlots) m_slots[static_cast<size_t>(slot)] = {kRising, x, y, flag, kRiseSteps};
}

void WorldMapPainter::SinkFlag(int slot)
{
    if (slot < 0 || slot >= kSlots) return;
    Slot& s = m_slots[static_cast<size_t>(slot)];
    if (s.kind == kEmpty) return;
    s.kind = kSinking;
    s.step = 1;
}

void WorldMapPainter::ShowLiveMap()
{
    m_bFrame = false;
    m_dwFlags = (m_dwFlags & ~kScenePrerendered) | kSceneCityFlags;
    m_slots.fill(Slot{});
}

void WorldMapPainter::MarkScenario(int x, int y, int result)
{
    static constexpr int kMarker[3][2] = {{4, 0}, {10, 0}, {4, 6}};
    if (m_sheet == nullptr || m_work == nullptr || result < 0 || result > 2) return;
    m_sheet->CopyRect(m_work, x - 3, y - 3, 6, 6, kMarker[result][0], kMarker[result][1], 0);
}

bool WorldMapPainter::StartDot(int fromX, int fromY, int toX, int toY)
{
    m_dx = fromX, m_dy = fromY, m_dtx = toX, m_dty = toY;
    return !(fromX == toX && fromY == toY);
}

bool WorldMapPainter::DotStep(bool skip)
{
    bool done = true;
    do {
        done = MoveStep(m_dx, m_dy, m_dtx, m_dty);
        const int x = static_cast<int>(std::lround(m_dx)) - 1, y = static_cast<int>(std::lround(m_dy)) - 1;
        if (m_sheet != nullptr) {
            if (m_work != nullptr) m_sheet->CopyRect(m_work, x, y, 3, 3, 10, 6, 0);
            if (m_target != nullptr) m_sheet->CopyRect(m_target, x, y, 3, 3, 10, 6, 0);
        }
    } while (skip && !done);
    Show();
    return done;
}

void WorldMapPainter::ShowPicture(const char* picture, const char* palette)
{
    if (m_target == nullptr) return;
    if (m_view.scroll) m_keptScroll = m_view.scroll();
    if (m_view.setScreenState) m_view.setScreenState(4);
    m_target->ClearBits(0);
    if (m_view.setScroll) m_view.setScroll(0, 0);
    if (picture != nullptr && picture[0] != '\0') {
        if (m_view.loadPalette) m_view.loadPalette(palette, true);
        if (m_view.loadPicture) {
            if (std::unique_ptr<CDib> p = m_view.loadPicture(picture)) {
                const SizeI c = m_view.client ? m_view.client() : SizeI{640, 480};
                const int x = std::max(0, (c.cx - p->GetWidth()) / 2), y = std::max(0, (c.cy - p->GetHeight()) / 2);
                p->CopyRect(m_target, x, y, p->GetWidth(), p->GetHeight(), 0, 0, -1);
            }
        }
    }
    Show();
}

void WorldMapPainter::BackToMap()
{
    if (m_target != nullptr) m_target->ClearBits(0);
    if (m_view.setScreenState) m_view.setScreenState(3);
    if (m_view.setScroll) m_view.setScroll(m_keptScroll.x, m_keptScroll.y);
    m_bFrame = false;
    m_dwFlags &= ~kScenePrerendered;
    Paint(false);
    if (m_view.loadPalette) m_view.loadPalette("Menu.PLB", true);
    Show();
}

void WorldMapPainter::DrawGlyph(int x, int y, std::string_view ch, int height)
{
    const PointI s = m_view.scroll ? m_view.scroll() : PointI{0, 0};
    if (m_view.drawGlyph) m_view.drawGlyph(s.x + x, s.y + y, ch, height);
}

int WorldMapPainter::ClientWidth() const
{
    return m_view.client ? m_view.client().cx : 640;
}

int WorldMapPainter::ClientHeight() const
{
    return m_view.client ? m_view.client().cy : 480;
}

int WorldMapPainter::ScrollY() const
{
    return m_view.scroll ? m_view.scroll().y : 0;
}

}  // namespace zrv
