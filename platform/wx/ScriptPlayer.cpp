#include "platform/wx/ScriptPlayer.h"

#include <cstdlib>
#include <fstream>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include "platform/core/PlayLog.h"
#include "platform/gfx/Font8.h"
#include "platform/wx/Screenshot.h"

namespace platform {
namespace {

constexpr int kTickMs = 40;
// A machine under load may take long to show a window.
constexpr long kDefaultWaitMs = 30000;
constexpr long kSettleMs = 300;  // "wait" lets a window it found settle this long

std::string Utf8(const wxString& s)
{
    return std::string(s.utf8_str());
}

std::string JoinFrom(const ScriptPlayer::Words& words, size_t first)
{
    std::string out;
    for (size_t i = first; i < words.size(); ++i) {
        if (i > first) out += ' ';
        out += words[i];
    }
    return out;
}

bool IsLiveTopLevel(const wxTopLevelWindow* w)
{
    if (w == nullptr) return false;
    for (wxWindow* t : wxTopLevelWindows)
        if (t == w) return !w->IsBeingDeleted();
    return false;
}

std::string KindOf(wxWindow& w)
{
    if (dynamic_cast<LoggedRows*>(&w) != nullptr) return "list";
    if (wxDynamicCast(&w, wxButton) != nullptr) return "button";
    if (wxDynamicCast(&w, wxStaticBox) != nullptr) return "frame";
    if (wxDynamicCast(&w, wxStaticText) != nullptr) return "static";
    if (wxDynamicCast(&w, wxListBox) != nullptr) return "listbox";
    return Utf8(w.GetClassInfo()->GetClassName());
}

// Whether the control's own face draws every character of its label:
// " glyphs ok", else the characters it lacks; nothing for an empty label.
std::string GlyphNote(const wxString& label, const wxFont& font)
{
    if (label.empty()) return {};
    const std::u32string missing = MissingGlyphs(Utf8(font.GetFaceName()), Utf8(label));
    if (missing.empty()) return " glyphs ok";
    std::string out = " glyphs missing \"";
    for (char32_t cp : missing) out += Utf8(wxString(wxUniChar(static_cast<unsigned>(cp))));
    return out + "\"";
}

void DumpChildren(wxWindow& parent, wxTopLevelWindow& top, int depth)
{
    for (wxWindow* c : parent.GetChildren()) {
        if (c == nullptr || c->IsTopLevel()) continue;
        const wxPoint at = top.ScreenToClient(c->GetScreenPosition());
        const wxSize size = c->GetSize();
        const wxFont font = c->GetFont();
        std::string line(static_cast<size_t>(depth) * 2, ' ');
        line += KindOf(*c) + " (" + std::to_string(at.x) + "," + std::to_string(at.y) + " " +
                std::to_string(size.x) + "x" + std::to_string(size.y) + ") \"" + Utf8(c->GetLabel()) + "\" " +
                (c->IsEnabled() ? "enabled" : "disabled") + (c->IsShown() ? "" : " hidden") + " font \"" +
                Utf8(font.GetFaceName()) + "\" " + std::to_string(font.GetPixelSize().y) + "px" +
                (font.GetWeight() >= wxFONTWEIGHT_BOLD ? " bold" : "") + GlyphNote(c->GetLabel(), font);
        PlayLog(line);
        if (auto* rows = dynamic_cast<LoggedRows*>(c)) {
            for (const std::string& r : rows->RowsForLog()) PlayLog(std::string(static_cast<size_t>(depth) * 2 + 2, ' ') + "row " + r);
        } else if (auto* box = wxDynamicCast(c, wxListBox)) {
            for (unsigned i = 0; i < box->GetCount(); ++i)
                PlayLog(std::string(static_cast<size_t>(depth) * 2 + 2, ' ') + "row " +
                        (box->IsSelected(static_cast<int>(i)) ? "*" : "") + Utf8(box->GetString(i)));
        } else if (auto* choice = wxDynamicCast(c, wxChoice)) {
            for (unsigned i = 0; i < choice->GetCount(); ++i)
                PlayLog(std::string(static_cast<size_t>(depth) * 2 + 2, ' ') + "row " +
                        (choice->GetSelection() == static_cast<int>(i) ? "*" : "") + Utf8(choice->GetString(i)));
        } else if (auto* text = wxDynamicCast(c, wxTextCtrl)) {
            PlayLog(std::string(static_cast<size_t>(depth) * 2 + 2, ' ') + "text \"" + Utf8(text->GetValue()) + "\"");
        } else if (auto* slider = wxDynamicCast(c, wxSlider)) {
            PlayLog(std::string(static_cast<size_t>(depth) * 2 + 2, ' ') + "value " + std::to_string(slider->GetValue()) +
                    " of " + std::to_string(slider->GetMin()) + ".." + std::to_string(slider->GetMax()));
        }
        DumpChildren(*c, top, depth + 1);
    }
}

}  // namespace

ScriptPlayer::ScriptPlayer() : m_timer(this)
{
    Bind(wxEVT_TIMER, &ScriptPlayer::OnTick, this, m_timer.GetId());
}

ScriptPlayer::~ScriptPlayer()
{
    m_timer.Stop();
}

bool ScriptPlayer::Load(const std::string& path, std::string* why)
{
    std::ifstream in(path);
    if (!in) {
        if (why) *why = "cannot read " + path;
        return false;
    }
    m_lines.clear();
    for (std::string line; std::getline(in, line);) m_lines.push_back(line);
    return true;
}

void ScriptPlayer::Start(std::function<void(bool)> finished)
{
    m_finished = std::move(finished);
    m_next = 0;
    m_stepStarted = 0;
    m_timer.Start(kTickMs);
}

wxTopLevelWindow* ScriptPlayer::Target() const
{
    if (IsLiveTopLevel(m_target)) return m_target;
    // The window that has the focus, else the program's first window.
    if (wxWindow* a = wxGetActiveWindow(); a != nullptr)
        if (auto* t = wxDynamicCast(wxGetTopLevelParent(a), wxTopLevelWindow)) return t;
    return wxTopLevelWindows.empty() ? nullptr : wxDynamicCast(wxTopLevelWindows.GetFirst()->GetData(), wxTopLevelWindow);
}

void ScriptPlayer::SetTarget(wxTopLevelWindow* w)
{
    m_target = w;
}

ScriptPlayer::Words ScriptPlayer::SplitWords(const std::string& line)
{
    Words words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char ch : line) {
        if (quoted) {
            if (ch == '"') {
                quoted = false;
            } else {
                word += ch;
            }
        } else if (ch == '"') {
            quoted = inWord = true;
        } else if (ch == '#' && !inWord) {
            break;
        } else if (ch == ' ' || ch == '\t' || ch == '\r') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += ch;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

wxTopLevelWindow* ScriptPlayer::FindShownWindow(const std::string& caption)
{
    for (wxWindow* w : wxTopLevelWindows) {
        auto* t = wxDynamicCast(w, wxTopLevelWindow);
        if (t != nullptr && t->IsShown() && !t->IsBeingDeleted() && Utf8(t->GetTitle()) == caption) return t;
    }
    return nullptr;
}

void ScriptPlayer::DumpWindow(wxTopLevelWindow& w)
{
    const wxSize c = w.GetClientSize();
    PlayLog("window \"" + Utf8(w.GetTitle()) + "\" client " + std::to_string(c.x) + "x" + std::to_string(c.y));
    DumpChildren(w, w, 1);
}

bool ScriptPlayer::SaveWindowPicture(wxWindow& w, const std::string& path)
{
    w.Update();
    const wxSize size = w.GetClientSize();
    if (size.x <= 0 || size.y <= 0) return false;
    const wxPoint at = w.ClientToScreen(wxPoint(0, 0));
    const wxBitmap picture = GrabScreen(wxRect(at, size));
    return picture.IsOk() && SaveScreenshot(picture, path);
}

void ScriptPlayer::ClickAt(int screenX, int screenY, bool doubleClick)
{
    wxUIActionSimulator sim;
    sim.MouseMove(screenX, screenY);
    if (doubleClick) {
        sim.MouseDblClick();
    } else {
        sim.MouseClick();
    }
}

bool ScriptPlayer::PressKey(const std::string& name)
{
    static const std::map<std::string, int> keys = {
        {"Enter", WXK_RETURN}, {"Esc", WXK_ESCAPE}, {"Tab", WXK_TAB},   {"Space", WXK_SPACE},
        {"Up", WXK_UP},        {"Down", WXK_DOWN},  {"Left", WXK_LEFT}, {"Right", WXK_RIGHT},
        {"Home", WXK_HOME},    {"End", WXK_END},    {"PageUp", WXK_PAGEUP}, {"PageDown", WXK_PAGEDOWN},
    };
    int code = 0;
    if (auto it = keys.find(name); it != keys.end()) {
        code = it->second;
    } else if (name.size() == 1) {
        code = static_cast<unsigned char>(name[0]);
    } else {
        return false;
    }
    wxUIActionSimulator sim;
    return sim.Char(code);
}

ScriptPlayer::Step ScriptPlayer::RunBuiltIn(const std::string& name, const Words& w, std::string& error,
                                            bool& known)
{
    known = true;
    const long now = wxGetLocalTimeMillis().ToLong();
    if (name == "wait" || name == "gone") {
        if (w.empty()) return error = "no caption", Step::Failed;
        const long limit = w.size() > 1 ? std::atol(w[1].c_str()) : kDefaultWaitMs;
        wxTopLevelWindow* t = FindShownWindow(w[0]);
        if (name == "wait" && t != nullptr) {
            // A window just mapped has not painted yet: the operations after
            // the wait (a picture above all) see it once it has settled.
            if (m_waitSeen == 0) m_waitSeen = now;
            if (now - m_waitSeen < kSettleMs) return Step::Again;
            m_waitSeen = 0;
            SetTarget(t);
            t->Raise();
            return Step::Done;
        }
        m_waitSeen = 0;
        if (name == "gone" && t == nullptr) return Step::Done;
        if (now - m_stepStarted > limit) return error = "timed out", Step::Failed;
        return Step::Again;
    }
    if (name == "sleep") {
        const long ms = w.empty() ? 0 : std::atol(w[0].c_str());
        return now - m_stepStarted >= ms ? Step::Done : Step::Again;
    }
    if (name == "log") {
        PlayLog(JoinFrom(w, 0));
        return Step::Done;
    }
    wxTopLevelWindow* target = Target();
    if (name == "button") {
        if (target == nullptr || w.empty()) return error = "no window or label", Step::Failed;
        const wxString label = wxString::FromUTF8(JoinFrom(w, 0));
        wxWindowList todo = target->GetChildren();
        for (auto node = todo.GetFirst(); node; node = node->GetNext()) {
            wxWindow* c = node->GetData();
            for (wxWindow* g : c->GetChildren()) todo.Append(g);
            auto* b = wxDynamicCast(c, wxButton);
            if (b == nullptr || wxStripMenuCodes(b->GetLabel()) != label || !b->IsShown()) continue;
            const wxRect r = b->GetScreenRect();
            ClickAt(r.x + r.width / 2, r.y + r.height / 2, false);
            return Step::Done;
        }
        return error = "no button " + JoinFrom(w, 0), Step::Failed;
    }
    if (name == "click" || name == "dclick") {
        if (target == nullptr || w.size() < 2) return error = "no window or point", Step::Failed;
        const wxPoint p = target->ClientToScreen(wxPoint(std::atoi(w[0].c_str()), std::atoi(w[1].c_str())));
        ClickAt(p.x, p.y, name == "dclick");
        return Step::Done;
    }
    if (name == "key") {
        if (w.empty() || !PressKey(w[0])) return error = "unknown key", Step::Failed;
        return Step::Done;
    }
    if (name == "dump") {
        if (target == nullptr) return error = "no window", Step::Failed;
        DumpWindow(*target);
        return Step::Done;
    }
    if (name == "shot") {
        if (target == nullptr || w.empty()) return error = "no window or file", Step::Failed;
        if (!SaveWindowPicture(*target, w[0])) return error = "cannot save " + w[0], Step::Failed;
        PlayLog("shot " + w[0]);
        return Step::Done;
    }
    known = false;
    return Step::Failed;
}

void ScriptPlayer::OnTick(wxTimerEvent&)
{
    // An operation that opens a modal dialog runs the dialog's loop inside
    // this handler's call; the ticks of that loop must not start another.
    if (m_inStep) return;
    m_inStep = true;
    while (m_next < m_lines.size()) {
        const Words words = SplitWords(m_lines[m_next]);
        if (words.empty()) {
            ++m_next;
            continue;
        }
        if (m_stepStarted == 0) m_stepStarted = wxGetLocalTimeMillis().ToLong();
        const std::string& name = words[0];
        const Words args(words.begin() + 1, words.end());
        std::string error;
        Step step;
        if (auto it = m_ops.find(name); it != m_ops.end()) {
            step = it->second(args, error);
        } else {
            bool known = false;
            step = RunBuiltIn(name, args, error, known);
            if (!known) error = "unknown operation";
        }
        if (step == Step::Again) break;
        if (step == Step::Failed) {
            PlayLog("FAILED line " + std::to_string(m_next + 1) + " \"" + m_lines[m_next] + "\": " + error);
            m_inStep = false;
            Finish(false);
            return;
        }
        ++m_next;
        m_stepStarted = 0;
        // One input a tick: the program sees each event before the next.
        break;
    }
    m_inStep = false;
    if (m_next >= m_lines.size()) Finish(true);
}

void ScriptPlayer::Finish(bool ok)
{
    if (!m_timer.IsRunning()) return;
    m_timer.Stop();
    PlayLog(ok ? "script done" : "script failed");
    if (m_finished) m_finished(ok);
}

}  // namespace platform
