#pragma once
// The tool windows that show the course of the battle: the situation table
// (状況表, a sheet of four painted pages), the progress window of a phase
// (進行状況) and the full-screen popup of a historical event. The tool hub
// owns this part; the view keeps their open bits and reaches them only
// through the hub.

#include <cstdint>
#include <memory>

#include "battle/engine/DialogView.h"
#include "battle/engine/ViewToolHub.h"

class wxWindow;

namespace zrv {

class CZRKGameDoc;
class SituationTableDlg;
class ProgressDlg;
class HistoryPopup;

class SituationWindows {
public:
    SituationWindows(wxWindow* owner, CZRKGameDoc& doc, DialogView* view);
    ~SituationWindows();
    SituationWindows(const SituationWindows&) = delete;
    SituationWindows& operator=(const SituationWindows&) = delete;

    void SetHost(ToolWindowHost* host) { m_host = host; }

    // 状況表 and 進行状況 (ToolWindow::SituationTable and ::Progress): false
    // for any other window.
    bool Create(ToolWindow which);
    bool Destroy(ToolWindow which);
    bool Raise(ToolWindow which);
    void RedrawSituationPages(uint32_t mask);
    void UpdateProgress();

    // The historical-event popup.
    bool ShowHistoryEvent(int event, bool movie);
    void StepHistoryDisplay();
    int HistoryDisplayState() const;
    void SetHistoryDisplayState(int state);
    void RaiseHistoryPopup();
    bool HasHistoryWindow() const;
    void HideHistoryPopup();
    void DestroyHistoryPopup();

    void DestroyAll();

    SituationTableDlg* SituationTable() const { return m_table; }
    ProgressDlg* Progress() const { return m_progress; }
    HistoryPopup* Popup() const { return m_popup; }

private:
    wxWindow* m_owner;
    CZRKGameDoc& m_doc;
    DialogView* m_view;
    ToolWindowHost* m_host = nullptr;
    SituationTableDlg* m_table = nullptr;
    ProgressDlg* m_progress = nullptr;
    HistoryPopup* m_popup = nullptr;
};

}  // namespace zrv
