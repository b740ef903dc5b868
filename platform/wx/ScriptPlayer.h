#pragma once
// The test player: plays a script of operations against the running program
// with real input (pointer and keys through the window system), so that a ui
// test sees what a player sees. One operation a line, words separated by
// blanks, "#" starts a comment; a word may be quoted ("..."). The player
// steps from a timer, which also fires inside the nested loop of a modal
// dialog, so a script goes on while a dialog it opened waits for input.
//
// Built-in operations (the program registers its own beside them):
//   wait <caption> [ms]      a shown window with this caption (UTF-8), once it
//                            has been shown for 300 ms (painted); it
//                            becomes the target of the operations below
//   gone <caption> [ms]      no shown window with this caption any more
//   button <label>           clicks the target's button with this label
//   click <x> <y>            left click at a client point of the target
//   dclick <x> <y>           double click there
//   key <name>               Enter, Esc, Tab, Space, Up, Down, Left, Right,
//                            Home, End, PageUp, PageDown, or one character
//   dump                     logs the target: caption, client size, then
//                            each control with its kind, rectangle, text,
//                            enabled state, font, whether that font's own
//                            face holds every character of the text
//                            ("glyphs ok") and list rows
//   shot <file.png>          a picture of the target's client area
//   log <text...>            a line in the log
//   sleep <ms>               waits
// The log is platform::PlayLog ($VELMORATH_PLAY_LOG); a failed operation
// logs "FAILED ..." and ends the script.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/timer.h>

class wxWindow;
class wxTopLevelWindow;

namespace platform {

// A control that has rows to show in the log (the full-row list).
class LoggedRows {
public:
    virtual ~LoggedRows() = default;
    virtual std::vector<std::string> RowsForLog() const = 0;  // UTF-8, selected rows marked "*"
};

class ScriptPlayer : public wxEvtHandler {
public:
    enum class Step { Done, Again, Failed };
    using Words = std::vector<std::string>;
    // An operation: its words after the name. Again: called once more at
    // the next tick (waiting for something); Failed: error says why.
    using Operation = std::function<Step(const Words& words, std::string& error)>;

    ScriptPlayer();
    ~ScriptPlayer() override;

    // Reads the script file; false (with why) when it cannot be read.
    bool Load(const std::string& path, std::string* why = nullptr);
    // Plays lines given directly (tests).
    void SetLines(std::vector<std::string> lines) { m_lines = std::move(lines); }
    void Register(const std::string& name, Operation op) { m_ops[name] = std::move(op); }
    // Starts playing; finished runs once at the end (also after a failure).
    void Start(std::function<void(bool ok)> finished);
    bool Running() const { return m_timer.IsRunning(); }

    // The window the operations act on (the last one waited for).
    wxTopLevelWindow* Target() const;
    void SetTarget(wxTopLevelWindow* w);

    // Splits a line into words (quotes kept together, comments dropped).
    static Words SplitWords(const std::string& line);
    // The shown top-level window with this caption (UTF-8), or null.
    static wxTopLevelWindow* FindShownWindow(const std::string& caption);
    // Logs a window as "dump" does.
    static void DumpWindow(wxTopLevelWindow& w);
    // Saves the client area of w as a PNG; false when it could not.
    static bool SaveWindowPicture(wxWindow& w, const std::string& path);
    // Real input at a screen point, or the keys.
    static void ClickAt(int screenX, int screenY, bool doubleClick);
    static bool PressKey(const std::string& name);

private:
    void OnTick(wxTimerEvent& e);
    Step RunBuiltIn(const std::string& name, const Words& words, std::string& error, bool& known);
    void Finish(bool ok);

    std::vector<std::string> m_lines;
    size_t m_next = 0;
    std::map<std::string, Operation> m_ops;
    wxTimer m_timer;
    long m_stepStarted = 0;  // ms clock when the current operation began
    long m_waitSeen = 0;     // ms clock when "wait" first found its window (0: not yet)
    bool m_inStep = false;
    long m_sleepUntil = 0;
    wxWindowID m_targetId = wxID_NONE;
    wxTopLevelWindow* m_target = nullptr;
    std::function<void(bool)> m_finished;
};

}  // namespace platform
