#include "battle/view/wx/OrderTestDriver.h"

#include <wx/timer.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "battle/engine/Combat.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/wx/MainFrame.h"
#include "foundation/DialogService.h"
#include "platform/wx/Screenshot.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv {

namespace {

constexpr int kTickMs = 15;
constexpr int kGiveUpTicks = 60000 / kTickMs;

// The program's dialog service with the attack decision answered by the
// driver.
class DecidingDialogs final : public DialogService {
public:
    int MessageBox(std::string_view text, unsigned style) override
    {
        return boxes->MessageBox(text, style);
    }
    int AttackDecisionDialog(UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags, uint32_t& mask) override
    {
        return decide ? decide(unit, target, flags, mask) : kAnswerCancel;
    }
    DialogService* boxes = &Dialogs();  // the service installed before
    std::function<int(UNITSTRUCT&, UNITSTRUCT&, unsigned, uint32_t&)> decide;
};

class OrderTestDriver final : public wxTimer {
public:
    OrderTestDriver(CMainFrame& frame, CZRKGameDoc& doc, std::string folder)
        : m_frame(frame), m_view(frame.View()), m_doc(doc), m_folder(std::move(folder))
    {
        m_log = std::fopen((m_folder + "/orders.log").c_str(), "w");
        m_view.m_effectLog = [this](const char* what, int a, int b) {
            Log("effect %s %d %d", what, a, b);
            // Pictures of what the player sees while it happens.
            // A little after the start: the first slide step, the second
            // or third explosion frame.
            if (m_wantShot.empty() && std::string(what) == "slide") Want("slide", 80);
            if (m_wantShot.empty() && std::string(what) == "explosion" && !m_burstShown) {
                Want("burst", 200);
                m_burstShown = true;
            }
        };
        // The attack decision is answered here, through the dialog service
        // as the program asks it; boxes still go to the program's service.
        m_decisions.decide = [this](UNITSTRUCT& shooter, UNITSTRUCT& target, unsigned flags, uint32_t& mask) {
            const bool own = (flags & kAttackOwn) != 0, moved = (flags & kAttackMovedFirst) != 0,
                       counter = (flags & kAttackCounterFire) != 0;
            std::array<int, 8> values{};
            FindUsableWeapons(shooter, target, m_doc.m_GameData, moved, counter ? 1 : 0, values, false);
            mask = 0;
            for (int s = 0; s < 8 && mask == 0; ++s)
                if (values[static_cast<size_t>(s)] > 0) mask = 1u << s;
            Log("decision own=%d moved=%d counter=%d mask=%u", own, moved, counter, mask);
            return mask != 0 ? kAnswerOk : kAnswerCancel;
        };
        SetDialogs(&m_decisions);
        Start(kTickMs);
    }
    ~OrderTestDriver() override
    {
        Stop();
        if (m_log) std::fclose(m_log);
    }
    void Detach()
    {
        m_view.m_effectLog = nullptr;
        if (&Dialogs() == &m_decisions) SetDialogs(m_decisions.boxes);
    }

    void Notify() override
    {
        ++m_clock;
        if (!m_wantShot.empty() && m_clock >= m_shotAt) {
            Shot(m_wantShot);
            m_wantShot.clear();
        }
        if (m_inside) return;  // a click is still being handled
        m_inside = true;
        Step();
        m_inside = false;
    }

private:
    template <typename... A>
    void Log(const char* format, A... args)
    {
        if (!m_log) return;
        std::fprintf(m_log, format, args...);
        std::fputc('\n', m_log);
        std::fflush(m_log);
    }

    void Want(const char* name, int afterMs)
    {
        m_wantShot = name;
        m_shotAt = m_clock + afterMs / kTickMs;
    }

    void Shot(const std::string& name)
    {
        platform::SurfaceCanvas& c = m_frame.Canvas();
        if (!c.Backing().IsOk()) return;
        const wxSize size = c.GetClientSize();
        wxRect shown(0, 0, std::min(size.x, c.Backing().GetWidth()),
                     std::min(size.y, c.Backing().GetHeight()));
        if (shown.IsEmpty()) return;
        platform::SaveScreenshot(c.Backing().GetSubBitmap(shown), m_folder + "/" + name + ".png");
        Log("picture %s", name.c_str());
    }

    // A real click at a client point of the map canvas.
    void ClickAt(wxPoint client)
    {
        wxUIActionSimulator sim;
        sim.MouseMove(m_frame.Canvas().ClientToScreen(client));
        sim.MouseClick();
    }

    // The middle of hex's area on the canvas, found by asking the view which
    // hex each point shows; false when the hex is not shown.
    bool PointOf(HEXINDEX hex, wxPoint& at)
    {
        const wxSize size = m_frame.Canvas().GetClientSize();
        long sx = 0, sy = 0, n = 0;
        for (int y = 0; y < size.y; y += 3)
            for (int x = 0; x < size.x; x += 3)
                if (m_view.ClientPointToHex(x, y) == hex) sx += x, sy += y, ++n;
        if (n == 0) return false;
        at = wxPoint(static_cast<int>(sx / n), static_cast<int>(sy / n));
        return true;
    }

    bool ClickHex(HEXINDEX hex)
    {
        wxPoint at;
        if (!PointOf(hex, at)) {
            m_view.CenterOnHex(hex);
            m_frame.Canvas().Update();
            if (!PointOf(hex, at)) return false;
        }
        ClickAt(at);
        return true;
    }

    bool IsEnemy(const UNITSTRUCT& u) const
    {
        const COUNTRYSTRUCT* mine = m_doc.m_pCurCountry;
        const COUNTRYSTRUCT* theirs = UnitCountry(m_doc.m_GameData, u);
        return mine && theirs && IsHostileSide(mine->nSide, theirs->nSide);
    }
    template <typename F>
    void ForEachUnit(F f)
    {
        for (COUNTRYSTRUCT& c : m_doc.m_GameData.Country) {
            if (!(c.dwFlag & kCountryPresent)) continue;
            for (UNITSTRUCT& u : c.Unit)
                if ((u.dwFlag & kUnitInUse) && !(u.dwFlag & kUnitCarried) && IsMapHex(u.nHex)) f(u);
        }
    }
    int EnemyDistance(HEXINDEX hex)
    {
        int best = 9999;
        ForEachUnit([&](UNITSTRUCT& u) {
            if (IsEnemy(u)) best = std::min(best, GetHexDistance(hex, u.nHex));
        });
        return best;
    }

    void Step()
    {
        if (++m_ticks > kGiveUpTicks) {
            Log("gave up in stage %d", m_stage);
            Finish();
            return;
        }
        const bool shown = (m_view.m_dwDispOption & kDispMapShown) != 0;
        const bool busy = (m_view.m_dwState & kViewBusy) != 0;
        if (busy) return;
        switch (m_stage) {
            case 0:  // the information screen waits for its click
                if (m_ticks % 200 == 0)
                    Log("waiting: shown %d flow %d state %x mode %d", shown, m_doc.m_GameData.nFlowState,
                        m_view.m_dwState, m_view.m_nCmdMode);
                if (shown && (m_view.m_dwState & kViewHumanPhase) && m_view.m_nCmdMode <= kModeChooseUnit) {
                    m_stage = 1;
                } else if (!shown && m_doc.m_GameData.nFlowState == PHASE_WAITCLICK && m_ticks % 60 == 0) {
                    const wxSize size = m_frame.Canvas().GetClientSize();
                    ClickAt(wxPoint(size.x / 2, size.y / 2));
                }
                break;
            case 1: {  // the own unit nearest the enemy
                UNITSTRUCT* best = nullptr;
                int bestDistance = 9999;
                ForEachUnit([&](UNITSTRUCT& u) {
                    if (UnitCountry(m_doc.m_GameData, u) != m_doc.m_pCurCountry || (u.dwFlag & kUnitActed))
                        return;
                    if (m_doc.CheckMove(u) != 0) return;
                    const int d = EnemyDistance(u.nHex);
                    if (d < bestDistance) best = &u, bestDistance = d;
                });
                if (best == nullptr) {
                    Log("no own unit can move");
                    Finish();
                    return;
                }
                m_unit = best;
                Log("select %d at %d,%d enemy distance %d", best->nArms, HexColumn(best->nHex),
                    HexRow(best->nHex), bestDistance);
                ClickHex(best->nHex);
                m_stage = 2;
                m_wait = 0;
                break;
            }
            case 2: {  // its move: next to an enemy when it can get there
                if (m_view.m_nCmdMode != kModeMoveTarget) {
                    if (++m_wait > 200) {
                        Log("the unit was not selected (mode %d)", m_view.m_nCmdMode);
                        Finish();
                    }
                    return;
                }
                HEXINDEX target = -1;
                int bestDistance = 9999;
                for (int h = 0; h < kHexCount; ++h) {
                    // Marks 1 and 2 are the hexes the unit reaches.
                    const uint32_t mark = m_view.m_dwHexMarkView[static_cast<size_t>(h)];
                    if ((mark != 1 && mark != 2) || h == m_unit->nHex) continue;
                    if ((m_doc.m_dwHexMove[h] & 0xC0000000u) || IsUnitRef(m_doc.m_dwHexUnit[h])) continue;
                    const int d = EnemyDistance(h);
                    if (d >= 1 && d < bestDistance) target = h, bestDistance = d;
                }
                Log("move to %d,%d enemy distance %d", HexColumn(target), HexRow(target), bestDistance);
                m_moveTarget = target;
                if (target < 0 || !ClickHex(target)) {
                    Finish();
                    return;
                }
                m_stage = 3;
                m_wait = 0;
                break;
            }
            case 3: {  // the unit stands there with its move bar
                if (m_view.m_nCmdMode != kModeMovePending) {
                    if (++m_wait > 400) {
                        Log("the move did not end in its pending state (mode %d)", m_view.m_nCmdMode);
                        Finish();
                    }
                    return;
                }
                int candidates = 0;
                for (int h : m_view.m_nCandidateHex) {
                    if (h < 0) break;
                    ++candidates;
                }
                Log("moved mode %d target %d,%d movebar %d candidates %d drawn-at-target %d",
                    m_view.m_nCmdMode, HexColumn(m_view.m_nTargetHex), HexRow(m_view.m_nTargetHex),
                    (m_view.m_dwState & kViewMoveBar) != 0, candidates,
                    m_view.m_dwHexUnitCode[static_cast<size_t>(m_moveTarget)] != 0);
                Shot("moved");
                if (candidates == 0) {
                    Finish();
                    return;
                }
                const HEXINDEX hex = m_view.m_nCandidateHex[0];
                m_target = m_view.GetUnitOnHex(hex);
                m_targetStrength = m_target ? m_target->nStrength : 0;
                m_ownStrength = m_unit->nStrength;
                Log("attack %d,%d strength %d", HexColumn(hex), HexRow(hex), m_targetStrength);
                ClickHex(hex);
                m_stage = 4;
                m_wait = 0;
                break;
            }
            case 4:  // the attack is over when the selection has ended
                if (m_view.m_pSelUnit != nullptr) {
                    if (++m_wait > 400) {
                        Log("the attack did not end the selection");
                        Finish();
                    }
                    return;
                }
                Log("attacked selection-ended 1 target-strength %d->%d attacker-strength %d->%d",
                    m_targetStrength, m_target && (m_target->dwFlag & kUnitInUse) ? m_target->nStrength : 0,
                    m_ownStrength, (m_unit->dwFlag & kUnitInUse) ? m_unit->nStrength : 0);
                m_frame.Canvas().Update();
                m_stage = 5;
                break;
            case 5:
                Shot("after");
                Log("done");
                Finish();
                break;
            default:
                break;
        }
    }

    void Finish()
    {
        Stop();
        m_stage = 99;
        Detach();
        m_frame.CallAfter([f = &m_frame] { f->Close(true); });
    }

    CMainFrame& m_frame;
    CZRKGameView& m_view;
    CZRKGameDoc& m_doc;
    DecidingDialogs m_decisions;
    std::string m_folder;
    std::FILE* m_log = nullptr;
    std::string m_wantShot;
    int m_clock = 0;
    int m_shotAt = 0;
    bool m_burstShown = false;
    bool m_inside = false;
    int m_stage = 0;
    int m_ticks = 0;
    int m_wait = 0;
    UNITSTRUCT* m_unit = nullptr;
    UNITSTRUCT* m_target = nullptr;
    HEXINDEX m_moveTarget = -1;
    int m_targetStrength = 0;
    int m_ownStrength = 0;
};

}  // namespace

void StartOrderTestDriver(CMainFrame& frame, CZRKGameDoc& doc)
{
    const char* folder = std::getenv("VELMORATH_ORDER_TEST");
    if (folder == nullptr || *folder == '\0') return;
    auto* driver = new OrderTestDriver(frame, doc, folder);
    frame.Bind(wxEVT_DESTROY, [driver, &frame](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == &frame) {
            driver->Detach();
            delete driver;
        }
        e.Skip();
    });
}

}  // namespace zrv
