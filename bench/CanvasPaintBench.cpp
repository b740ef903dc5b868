// Putting a full 1136 x 880 frame of the 8-bit map buffer on a window under a
// display (the virtual one in CI): the canvas converts the frame through its
// colour table into its kept 32-bit image and paints it, run to the end of
// the paint with Update(). Beside it, the way frames went before (an RGB
// image per blit, a bitmap from it drawn into a backing bitmap, the whole
// backing bitmap painted), and a plain copy of the same 32-bit bytes. The
// figures need a display: without one each case is skipped.
//   xvfb-run -a build/bench/bench_CanvasPaintBench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#ifdef VELMORATH_BENCH_WX
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "platform/wx/SurfaceCanvas.h"
#endif
#include "platform/gfx/Surface8.h"

namespace {

constexpr int kW = 1136, kH = 880;

platform::Surface8& Frame()
{
    static platform::Surface8 s = [] {
        platform::Surface8 f(kW, kH);
        for (int i = 0; i < 256; ++i) (*f.Table())[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
        for (int y = 0; y < kH; ++y) {
            uint8_t* row = f.Row(y);
            for (int x = 0; x < kW; ++x) row[x] = uint8_t((x / 7 + y / 5) * 13);
        }
        return f;
    }();
    return s;
}

void BM_PlainCopyOf32BitFrame(benchmark::State& state)
{
    std::vector<uint32_t> a(size_t(kW) * kH, 0x00336699u), b(a.size());
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopyOf32BitFrame)->Unit(benchmark::kMillisecond);

#ifdef VELMORATH_BENCH_WX
bool HaveDisplay()
{
    static const bool ok = [] {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return false;
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp);
        return wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    }();
    return ok;
}

void Settle()
{
    for (int i = 0; i < 20; ++i) wxTheApp->Yield(true);
}

void BM_CanvasFullFrame(benchmark::State& state)
{
    if (!HaveDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench");
    auto* canvas = new platform::SurfaceCanvas(frame, wxID_ANY, 0);
    frame->SetClientSize(kW, kH);
    frame->Show();
    Settle();
    const platform::Rect all{0, 0, kW, kH};
    for (auto _ : state) {
        canvas->Blit(Frame(), all, 0, 0);
        canvas->Update();
    }
    frame->Destroy();
    Settle();
}
BENCHMARK(BM_CanvasFullFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The frame the way it went before: kept for the comparison only.
class OldCanvas : public wxWindow {
public:
    explicit OldCanvas(wxWindow* parent) : wxWindow(parent, wxID_ANY)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(this);
            if (m_backing.IsOk()) dc.DrawBitmap(m_backing, 0, 0);
        });
    }
    void Blit(const platform::Surface8& src)
    {
        if (!m_backing.IsOk()) m_backing = wxBitmap(kW, kH, 24);
        wxBitmap piece(platform::SurfaceToImage(src, 0, 0, kW, kH), 24);
        {
            wxMemoryDC dc(m_backing);
            dc.DrawBitmap(piece, 0, 0);
        }
        RefreshRect(wxRect(0, 0, kW, kH), false);
    }

private:
    wxBitmap m_backing;
};

void BM_BaselineImagePerFrame(benchmark::State& state)
{
    if (!HaveDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench");
    auto* canvas = new OldCanvas(frame);
    frame->SetClientSize(kW, kH);
    frame->Show();
    Settle();
    for (auto _ : state) {
        canvas->Blit(Frame());
        canvas->Update();
    }
    frame->Destroy();
    Settle();
}
BENCHMARK(BM_BaselineImagePerFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
