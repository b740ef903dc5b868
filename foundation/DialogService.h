#pragma once
// Every message box and question that the engine, the view logic or the
// computer player raises goes through one dialog service. The wx side shows
// real boxes; the scripted service answers from a queue, so a whole battle can
// run with no display. Texts are CP932.

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace zrv {

// Box styles and answers, with the values the game's code compares against.
enum BoxStyle : unsigned {
    kBoxOk = 0x0,
    kBoxOkCancel = 0x1,
    kBoxYesNoCancel = 0x3,
    kBoxYesNo = 0x4,
    kBoxIconStop = 0x10,
    kBoxIconQuestion = 0x20,
    kBoxIconExclamation = 0x30,
    kBoxIconInformation = 0x40,
    kBoxDefButton2 = 0x100,
};

enum BoxAnswer : int {
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

// The caption of every box the game shows.
inline constexpr const char* kGameTitle = "Velmorath";

// Rows of the country-control dialog: one per present country, with its
// controller (0 human, anything else computer). The caller fills the rows
// from the countries before the dialog runs; after OK they hold the choices.
struct CountryControlRows {
    struct Row {
        int nCountry = -1;
        int nControl = 0;
    };
    int nRows = 0;  // 0..8
    Row rows[8];
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Shows text in a box captioned with the game's title; returns the answer.
    virtual int MessageBox(std::string_view text, unsigned style = kBoxOk) = 0;
    // The dialogs below are cancelled by a service that only shows boxes.

    // The country-control dialog; kAnswerOk with the chosen controllers in
    // rows, or kAnswerCancel with rows unchanged.
    virtual int CountryControlDialog(CountryControlRows& /*rows*/) { return kAnswerCancel; }
    // The password dialog for one country (its name heads the dialog), preset
    // with text; kAnswerOk with the typed text in text, or kAnswerCancel with
    // text unchanged. The text is CP932 and not yet checked for length.
    virtual int PasswordDialog(std::string& /*text*/, std::string_view /*countryName*/) { return kAnswerCancel; }
};

// The service in use. Until a program installs its own, boxes go to a
// service that writes them to stderr and answers as a default button would.
DialogService& Dialogs();
// Installs service (not owned). nullptr goes back to the default one.
void SetDialogs(DialogService* service);

// Answers from queues and records everything asked (tests, headless runs).
// Boxes, country-control dialogs and password dialogs each have a queue.
// With its queue empty a box answers as its default button would, and a
// dialog is cancelled.
class ScriptedDialogService : public DialogService {
public:
    struct Shown {
        std::string text;
        unsigned style;
    };
    // One run of a dialog: which one, with what it was given.
    enum class DialogKind { CountryControl, Password };
    struct Asked {
        DialogKind kind;
        std::string text;         // password: the preset text (CP932)
        std::string countryName;  // password: the country named in the heading
        CountryControlRows rows;  // country control: the rows it was given
    };
    struct PasswordAnswer {
        int answer;
        std::string text;
    };
    struct CountryControlAnswer {
        int answer;
        CountryControlRows rows;
    };

    int MessageBox(std::string_view text, unsigned style = kBoxOk) override;
    int CountryControlDialog(CountryControlRows& rows) override;
    int PasswordDialog(std::string& text, std::string_view countryName) override;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    // OK with the given text typed, or Cancel (text ignored).
    void QueuePassword(int answer, std::string text = {}) { m_passwords.push_back({answer, std::move(text)}); }
    // OK with the given rows chosen, or Cancel (rows ignored).
    void QueueCountryControl(int answer, const CountryControlRows& rows = {})
    {
        m_controls.push_back({answer, rows});
    }
    const std::vector<Shown>& Boxes() const { return m_shown; }
    const std::vector<Asked>& AskedDialogs() const { return m_asked; }
    void Clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_asked.clear();
        m_passwords.clear();
        m_controls.clear();
    }

private:
    std::deque<int> m_answers;
    std::deque<PasswordAnswer> m_passwords;
    std::deque<CountryControlAnswer> m_controls;
    std::vector<Shown> m_shown;
    std::vector<Asked> m_asked;
};

// The answer of a box's default button for a style.
int DefaultAnswer(unsigned style);

}  // namespace zrv
