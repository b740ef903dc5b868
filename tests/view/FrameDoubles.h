#pragma once
// A frame for a view without a display: it keeps the five command bars open
// or closed as the real frame does (a toggle opens a closed bar and closes
// an open one, telling the view inside the hide), and records every command
// it was sent.
#include <string>
#include <vector>

#include "battle/view/ZRKGameView.h"

namespace viewtest {

class BarFrame : public zrv::ViewFrameSink {
public:
    explicit BarFrame(zrv::CZRKGameView& view) : m_view(view) {}

    void SendCommand(int id) override
    {
        commands.push_back(id);
        const uint32_t bit = BarBit(id);
        if (bit == 0) return;
        if (m_view.m_dwState & bit) {
            // The closed notice of a hidden main bar drops the selection when
            // no order is being entered.
            if ((m_view.m_dwState & zrv::kViewOrderEntry) == 0 &&
                (m_view.m_dwState & zrv::kViewMainCommandBar))
                m_view.m_pSelUnit = nullptr;
            m_view.OnCommandBarClosed(bit);
        } else {
            m_view.m_dwState |= bit;
        }
    }

    static uint32_t BarBit(int id)
    {
        switch (id) {
            case 32820:
                return 0x800;
            case 32821:
                return 0x400;
            case 32822:
                return 0x1000;
            case 32835:
                return 0x200;
            case 32842:
                return 0x100;
            default:
                return 0;
        }
    }

    void ShowContextMenu(zrv::PointI at, const std::vector<int>& greyed) override
    {
        menus.push_back({at, greyed});
    }
    void EnableViewAndFrame(bool enable) override { enabled.push_back(enable); }
    void SetCaption(const std::string& text) override { caption = text; }
    void RemoveMenuCommand(int id) override { removed.push_back(id); }

    struct Menu {
        zrv::PointI at;
        std::vector<int> greyed;
    };
    std::vector<int> commands;
    std::vector<Menu> menus;
    std::vector<bool> enabled;
    std::vector<int> removed;
    std::string caption;

private:
    zrv::CZRKGameView& m_view;
};

}  // namespace viewtest

namespace viewtest {

// Records what the view shows in the status strip.
struct RecordingStrip : zrv::StatusStrip {
    struct Call {
        zrv::HEXINDEX hex;
        bool redraw;
        zrv::UNITSTRUCT* unit;
        bool findUnit;
    };
    std::vector<Call> calls;
    void RefreshStatus(zrv::HEXINDEX hex, bool redraw, zrv::UNITSTRUCT* unit, bool findUnit) override
    {
        calls.push_back({hex, redraw, unit, findUnit});
    }
};

}  // namespace viewtest
