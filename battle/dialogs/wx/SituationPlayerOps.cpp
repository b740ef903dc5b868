#include "battle/dialogs/wx/SituationPlayerOps.h"

#include <cstdlib>
#include <string>

#include <cstdio>
#include <memory>
#include <vector>

#include <wx/app.h>
#include <wx/time.h>

#include "battle/dialogs/wx/SituationWindowClasses.h"
#include "battle/dialogs/wx/SituationWindows.h"
#include "foundation/DataLibrary.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/FullRowListCtrl.h"
#include "platform/wx/ScriptPlayer.h"

namespace zrv {
namespace {

using platform::ScriptPlayer;
using Step = ScriptPlayer::Step;

int Arg(const ScriptPlayer::Words& w, size_t i, int fallback)
{
    return w.size() > i ? std::atoi(w[i].c_str()) : fallback;
}

void ClickScreen(const wxPoint& p)
{
    ScriptPlayer::ClickAt(p.x, p.y, false);
}

// A point inside tab page of the book, found by asking the book what lies
// under each point of its tab row.
bool TabPoint(wxNotebook& book, int page, wxPoint& at)
{
    const wxSize size = book.GetSize();
    for (int y = 2; y < 40 && y < size.y; y += 3)
        for (int x = 2; x < size.x; x += 3) {
            long flags = 0;
            if (book.HitTest(wxPoint(x, y), &flags) == page && (flags & wxBK_HITTEST_ONPAGE) == 0) {
                at = book.ClientToScreen(wxPoint(x + 6, y + 3));
                return true;
            }
        }
    return false;
}

}  // namespace

void RegisterSituationOperations(ScriptPlayer& player, SituationWindows& windows,
                                 std::function<void(int event)> present)
{
    SituationWindows* s = &windows;
    // The presentation waits in a nested loop; it starts once this step has
    // returned, so the script goes on inside that loop.
    auto presentLater = [present](int event, std::shared_ptr<DataLibrary> lib) {
        wxTheApp->CallAfter([present, event, lib] {
            const DataLibrary* saved = lib ? &Lib() : nullptr;
            if (lib) SetLib(lib.get());
            platform::PlayLog("history presentation of event " + std::to_string(event));
            if (present) present(event);
            if (lib) SetLib(saved);
            platform::PlayLog("history presentation ended");
        });
    };
    player.Register("presenthistory", [presentLater](const ScriptPlayer::Words& w, std::string&) {
        presentLater(Arg(w, 0, 0), nullptr);
        return Step::Done;
    });
    player.Register("presentfixture", [presentLater](const ScriptPlayer::Words&, std::string&) {
        // The library with one event of its own in front of the table: it
        // has explanation lines, so it is shown in the long form.
        static const char* const kLines[] = {"史実の説明の一行目", "二行目の説明", ""};
        static HISTORYSTRUCT event = [] {
            HISTORYSTRUCT e{};
            e.dwDateTime = PackDate(41, 6, 22, 8);
            std::snprintf(e.szTitle, sizeof e.szTitle, "%s", "説明つき");
            std::snprintf(e.szText, sizeof e.szText, "%s", "解説つきの歴史イベント");
            e.pCaption = kLines;
            return e;
        }();
        static std::vector<HISTORYSTRUCT> table;
        table.assign(1, event);
        table.insert(table.end(), Lib().HistoryData.begin(), Lib().HistoryData.end());
        auto lib = std::make_shared<DataLibrary>(Lib());
        lib->HistoryData = table;
        presentLater(0, lib);
        return Step::Done;
    });
    player.Register("historystate", [s](const ScriptPlayer::Words&, std::string&) {
        if (s->Popup() == nullptr)
            platform::PlayLog("history popup gone");
        else
            platform::PlayLog(std::string("history popup ") + (s->HasHistoryWindow() ? "shown" : "hidden") +
                              ", state " + std::to_string(s->HistoryDisplayState()));
        return Step::Done;
    });
    player.Register("progressmove", [s](const ScriptPlayer::Words& w, std::string& error) {
        if (s->Progress() == nullptr) return error = "no progress window", Step::Failed;
        s->Progress()->Move(Arg(w, 0, 0), Arg(w, 1, 0));
        return Step::Done;
    });
    player.Register("progressgrows", [s, first = -1, started = 0L](const ScriptPlayer::Words& w,
                                                                    std::string& error) mutable {
        const long now = wxGetLocalTimeMillis().ToLong();
        const int bar = s->Progress() != nullptr ? s->Progress()->Model().BarLength() : -1;
        if (started == 0) started = now, first = bar;
        if (bar > first) {
            platform::PlayLog("progress bar grew " + std::to_string(first) + " -> " + std::to_string(bar));
            started = 0;
            return Step::Done;
        }
        if (now - started > Arg(w, 0, 60000)) {
            started = 0;
            return error = "the bar did not grow", Step::Failed;
        }
        return Step::Again;
    });
    player.Register("sittab", [s](const ScriptPlayer::Words& w, std::string& error) {
        SituationTableDlg* t = s->SituationTable();
        wxPoint at;
        if (t == nullptr || !TabPoint(*t->Book(), Arg(w, 0, 0), at)) return error = "no such tab", Step::Failed;
        ClickScreen(at);
        return Step::Done;
    });
    player.Register("sitcolumn", [s](const ScriptPlayer::Words& w, std::string& error) {
        SituationTableDlg* t = s->SituationTable();
        if (t == nullptr) return error = "no situation table", Step::Failed;
        platform::FullRowListCtrl* list = t->OperationsList();
        const int column = Arg(w, 0, 0);
        if (column < 0 || column >= list->ColumnCount()) return error = "no such column", Step::Failed;
        int x = 0;
        for (int c = 0; c < column; ++c) x += list->GetColumnWidth(c);
        ClickScreen(list->ClientToScreen(wxPoint(x + list->GetColumnWidth(column) / 2, list->HeaderHeight() / 2)));
        return Step::Done;
    });
    player.Register("sitrow", [s](const ScriptPlayer::Words& w, std::string& error) {
        SituationTableDlg* t = s->SituationTable();
        if (t == nullptr) return error = "no situation table", Step::Failed;
        platform::FullRowListCtrl* list = t->OperationsList();
        const int row = Arg(w, 0, 0);
        if (row < 0 || row >= list->RowCount()) return error = "no such row", Step::Failed;
        ClickScreen(list->ClientToScreen(
            wxPoint(40, list->HeaderHeight() + row * list->RowHeight() + list->RowHeight() / 2)));
        return Step::Done;
    });
    player.Register("sitstate", [s](const ScriptPlayer::Words&, std::string& error) {
        SituationTableDlg* t = s->SituationTable();
        if (t == nullptr) {
            platform::PlayLog("situation table closed");
            return Step::Done;
        }
        (void)error;
        std::string line = "situation page " + std::to_string(t->Sheet().ActivePage()) + " pending " +
                           std::to_string(t->Sheet().Pending()) + " redraws";
        for (int p = 0; p < kStatusPageCount; ++p) line += " " + std::to_string(t->Redraws(p));
        platform::PlayLog(line);
        const platform::FullRowListCtrl* list = t->OperationsList();
        platform::PlayLog("situation rows " + std::to_string(list->RowCount()) + " selected " +
                          std::to_string(list->GetSelection()));
        for (int r = 0; r < list->RowCount() && r < 5; ++r) {
            std::string row = "situation row";
            for (int c = 0; c < list->ColumnCount(); ++c) row += " |" + platform::SjisToUtf8(list->RowText(r, c));
            platform::PlayLog(row);
        }
        const auto owner = t->Operations().OwnerTexts();
        platform::PlayLog("situation owner |" + platform::SjisToUtf8(owner.name) + "|" +
                          platform::SjisToUtf8(owner.funds) + "|" + platform::SjisToUtf8(owner.defeat) + "| locate " +
                          (t->Operations().LocateEnabled() ? "on" : "off"));
        return Step::Done;
    });
    player.Register("progress", [s](const ScriptPlayer::Words&, std::string&) {
        ProgressDlg* p = s->Progress();
        if (p == nullptr) {
            platform::PlayLog("progress window closed");
            return Step::Done;
        }
        const wxPoint at = p->GetPosition();
        platform::PlayLog(std::string("progress window ") + (p->IsShown() ? "shown" : "hidden") + " bar " +
                          std::to_string(p->Model().BarLength()) + " at " + std::to_string(at.x) + "," +
                          std::to_string(at.y));
        return Step::Done;
    });
    player.Register("history", [s](const ScriptPlayer::Words& w, std::string& error) {
        if (!s->ShowHistoryEvent(Arg(w, 0, 0), w.size() > 1 && w[1] == "long"))
            return error = "no such event", Step::Failed;
        platform::PlayLog("history popup state " + std::to_string(s->HistoryDisplayState()));
        return Step::Done;
    });
    player.Register("historywait", [s, started = 0L](const ScriptPlayer::Words& w, std::string& error) mutable {
        const long now = wxGetLocalTimeMillis().ToLong();
        if (started == 0) started = now;
        HistoryPopup* p = s->Popup();
        const int want = Arg(w, 0, 0);
        if (p != nullptr && (want == 0 ? p->Model().Done() : p->Model().State() == want)) {
            started = 0;
            platform::PlayLog("history popup reached " + std::to_string(want));
            return Step::Done;
        }
        if (now - started > Arg(w, 1, 30000)) {
            started = 0;
            return error = "timed out at state " + std::to_string(s->HistoryDisplayState()), Step::Failed;
        }
        return Step::Again;
    });
    player.Register("historyclick", [s](const ScriptPlayer::Words&, std::string& error) {
        HistoryPopup* p = s->Popup();
        if (p == nullptr) return error = "no popup", Step::Failed;
        const wxRect r = p->GetScreenRect();
        ClickScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
        platform::PlayLog(std::string("history click, ") + (p->Model().Done() ? "done" : "typing"));
        return Step::Done;
    });
}

}  // namespace zrv
