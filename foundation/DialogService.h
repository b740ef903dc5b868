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

class DialogService {
public:
    virtual ~DialogService() = default;
    // Shows text in a box captioned with the game's title; returns the answer.
    virtual int MessageBox(std::string_view text, unsigned style = kBoxOk) = 0;
};

// The service in use. Until a program installs its own, boxes go to a
// service that writes them to stderr and answers as a default button would.
DialogService& Dialogs();
// Installs service (not owned). nullptr goes back to the default one.
void SetDialogs(DialogService* service);

// Answers from a queue and records every text (tests, headless runs). When the
// queue is empty it answers as the box's default button would.
class ScriptedDialogService : public DialogService {
public:
    struct Shown {
        std::string text;
        unsigned style;
    };

    int MessageBox(std::string_view text, unsigned style = kBoxOk) override;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    const std::vector<Shown>& Boxes() const { return m_shown; }
    void Clear() { m_shown.clear(); m_answers.clear(); }

private:
    std::deque<int> m_answers;
    std::vector<Shown> m_shown;
};

// The answer of a box's default button for a style.
int DefaultAnswer(unsigned style);

}  // namespace zrv
