#pragma once
// An overview window maker for tests: windows with a fixed frame around the
// client, a screen of a chosen size, and a record of what was made, placed,
// invalidated and destroyed.
#include <memory>
#include <string>

#include "battle/view/OverviewMap.h"

namespace viewtest {

using namespace zrv;

class RecordingOverviewMaker : public OverviewWindowMaker {
public:
    std::string calls;
    SizeI screen{1280, 1024};
    // The frame adds this much to the client each way.
    SizeI border{10, 30};
    PointI placedAt{-1, -1};
    SizeI placedSize;
    int invalidations = 0;
    int lastClient = 0;
    // Where the player has dragged the window to (none: where it was put).
    PointI movedTo{-1, -1};
    bool refuse = false;

    class Window : public OverviewWindow {
    public:
        explicit Window(RecordingOverviewMaker& m) : m_maker(m) {}
        SizeI FrameSize(SizeI client) const override
        {
            return {client.cx + m_maker.border.cx, client.cy + m_maker.border.cy};
        }
        void Place(PointI topLeft, SizeI size) override
        {
            m_maker.placedAt = topLeft;
            m_maker.placedSize = size;
        }
        void ShowWithoutActivating() override { m_maker.calls += "show "; }
        PointI TopLeft() const override { return m_maker.movedTo.x >= 0 ? m_maker.movedTo : m_maker.placedAt; }
        void Invalidate() override { ++m_maker.invalidations; }
        void Destroy() override { m_maker.calls += "close "; }

    private:
        RecordingOverviewMaker& m_maker;
    };

    std::unique_ptr<OverviewWindow> Make(CSMapDlg&, int client) override
    {
        lastClient = client;
        if (refuse) return nullptr;
        calls += "open ";
        return std::make_unique<Window>(*this);
    }
    SizeI ScreenSize() const override { return screen; }
};

}  // namespace viewtest
