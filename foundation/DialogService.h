#pragma once
// Every message box and question that the engine, the view logic or the
// computer player raises goes through one dialog service. The wx side shows
// real boxes; the scripted service answers from a queue, so a whole battle can
// run with no display. Texts are CP932.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/GameRecords.h"

namespace zrv {

// Box styles and answers, with the values the game's code compares against.
enum BoxStyle : unsigned {
    kBoxOk = 0x0,
    kBoxOkCancel = 0x1,
    kBoxRetryCancel = 0x5,
    kBoxYesNoCancel = 0x3,
    kBoxYesNo = 0x4,
    kBoxIconStop = 0x10,
    kBoxIconQuestion = 0x20,
    kBoxIconExclamation = 0x30,
    kBoxIconInformation = 0x40,
    kBoxDefButton2 = 0x100,
};

enum BoxAnswer : int {
    // No dialog could be shown: nobody is there to answer (an unattended
    // run, a script whose answers ran out, a dialog not built). A caller that
    // asks until it gets an answer stops on it.
    kAnswerNotAsked = 0,
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerRetry = 4,
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

// How the new-weapon entry dialog is shown, and what its buttons answer.
enum NewWeaponEntryMode : int {
    kNewWeaponChoice = 0,    // the player adopts, defers or rejects
    kNewWeaponAnnounce = 1,  // an announcement; the answer is not used
    kNewWeaponRetire = 2,    // a type leaves the lists; the answer is not used
};
enum NewWeaponEntryAnswer : int {
    kNewWeaponAdopt = 0,       // 制式化
    kNewWeaponDeliberate = 1,  // 審議中
    kNewWeaponReject = 2,      // 棄　却
};

// How the attack decision was opened.
enum AttackDecisionFlags : unsigned {
    kAttackOwn = 0x1,          // the firing unit's player started the fire (jettison allowed)
    kAttackMovedFirst = 0x2,   // the unit moved next to its target in this order
    kAttackCounterFire = 0x4,  // the firing unit answers an attack
};

// Answers of the order dialogs beside kAnswerOk and kAnswerCancel.
enum OrderDialogAnswer : int {
    kUnloadCancel = -1,       // unload dialog: 中止 (or 終了), the close box
    kUnloadCoveringFire = 0,  // unload dialog: 援護射撃; 1-4: the carried unit (index + 1) to unload
    kLaunchCarrier = -1,      // launch dialog: 母艦, the close box; 0-3: the carried unit to launch
    kMarchSet = 1,            // march dialog: 設定
    kMarchClosed = 2,         // march dialog: closed otherwise
    kMarchEnd = 102,          // march dialog: 終了
};

// At most this many units a carrier's dialogs list.
inline constexpr int kMaxCargoListed = 4;

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
    // text unchanged; kAnswerNotAsked when no dialog could be shown. The text
    // is CP932 and not yet checked for length.
    virtual int PasswordDialog(std::string& /*text*/, std::string_view /*countryName*/)
    {
        return kAnswerNotAsked;
    }
    // The new-weapon entry dialog for a unit type of the country (its
    // lists, funds and colours); one of NewWeaponEntryAnswer. Closed without
    // a choice it defers.
    virtual int NewWeaponEntryDialog(const COUNTRYSTRUCT& /*country*/, int /*armsType*/, int /*mode*/)
    {
        return kNewWeaponDeliberate;
    }
    // The new-deployment report of one unit the schedule just delivered to
    // the country (its colours paint the unit's picture).
    virtual int NewDeploymentDialog(const COUNTRYSTRUCT& /*country*/, const UNITSTRUCT& /*unit*/) { return kAnswerOk; }
    // A save-file dialog proposing path (CP932) with the file filter's
    // extension; kAnswerOk with the chosen path in path, or kAnswerCancel.
    virtual int SaveFileDialog(std::string& /*path*/, std::string_view /*extension*/)
    {
        return kAnswerCancel;
    }
    // An open-file dialog for an existing file with the filter's extension;
    // kAnswerOk with the chosen path (CP932) in path, or kAnswerCancel.
    virtual int OpenFileDialog(std::string& /*path*/, std::string_view /*extension*/) { return kAnswerCancel; }

    // --- the order dialogs of the map view --------------------------------------
    // Each returns what its dialog returns; with nobody to answer, its cancel.

    // The attack decision: unit fires at target; flags of AttackDecisionFlags.
    // kAnswerOk with the chosen weapons in weaponMask (bit i: slot i), else
    // kAnswerCancel and no fire. The target stays the caller's.
    virtual int AttackDecisionDialog(UNITSTRUCT& /*unit*/, UNITSTRUCT& /*target*/, unsigned /*flags*/,
                                     uint32_t& /*weaponMask*/)
    {
        return kAnswerCancel;
    }
    // The merge of right into left (or back): kAnswerOk when the strength was
    // moved and both units are written back, kAnswerCancel with both unchanged.
    virtual int MergeDialog(UNITSTRUCT& /*left*/, UNITSTRUCT& /*right*/) { return kAnswerCancel; }
    // The unload dialog of carrier with its carried units as the engine lists
    // them (at most kMaxCargoListed): 1-4 the unit (index + 1) to unload, its
    // hexes in the view's target hex list and the view's cargo unit set to it;
    // kUnloadCoveringFire with the targets' hexes in that list; kUnloadCancel.
    virtual int UnloadDialog(UNITSTRUCT& /*carrier*/, std::span<UNITSTRUCT* const> /*cargo*/)
    {
        return kUnloadCancel;
    }
    // The launch dialog: the index in cargo of the aircraft to launch, or
    // kLaunchCarrier.
    virtual int LaunchDialog(UNITSTRUCT& /*carrier*/, std::span<UNITSTRUCT* const> /*cargo*/)
    {
        return kLaunchCarrier;
    }
    // The march dialog (march false: the bombing target): kMarchSet, kMarchEnd
    // or kMarchClosed; 解除 acts inside the dialog.
    virtual int MarchDialog(UNITSTRUCT& /*unit*/, bool /*march*/) { return kMarchClosed; }
    // The road and railway dialog at hex with the hex's choice word and the
    // mode (1 laying, 2 removal): the chosen code, 0 cancelled.
    virtual int RouteBuildDialog(UNITSTRUCT& /*unit*/, HEXINDEX /*hex*/, int /*choice*/, int /*mode*/) { return 0; }
    // The durability dialog: strength points (1 or more) to put in, up to
    // maxSteps; 0 cancelled.
    virtual int DurabilityDialog(UNITSTRUCT& /*unit*/, int /*maxSteps*/) { return 0; }
    // The evolution table for armsType of country (-1: the current one).
    // choose: the chooser of the 進化 order, kAnswerOk with the chosen type in
    // chosenType; else the table (its answer is not used). unit may be null.
    virtual int EvolutionTableDialog(int /*armsType*/, UNITSTRUCT* /*unit*/, int /*country*/, bool /*choose*/,
                                     int& /*chosenType*/)
    {
        return kAnswerCancel;
    }
    // The arms change of unit with the country's funds: kAnswerOk with the
    // chosen armament set in armsSet.
    virtual int ArmsDialog(UNITSTRUCT& /*unit*/, int /*funds*/, int& /*armsSet*/) { return kAnswerCancel; }
    // The improvement sheet: one page per candidate type (the list may end
    // with -1) for unit of the country's display number; kAnswerOk with the
    // chosen page's index in chosenPage.
    virtual int ImproveSheet(std::span<const int> /*candidates*/, UNITSTRUCT& /*unit*/, int /*display*/,
                             int& /*chosenPage*/)
    {
        return kAnswerCancel;
    }
    // The modal tables and the music settings; their answers are not used.
    virtual int ForceTableDialog() { return kAnswerCancel; }
    virtual int WeaponTableDialog() { return kAnswerCancel; }
    virtual int BgmSettingsDialog() { return kAnswerCancel; }
    // The unit data editor over unit and country (both live records; current
    // is the country the map view serves). Its changes are made while it is
    // open; the answer is not used.
    virtual int UnitDataEditDialog(UNITSTRUCT& /*unit*/, COUNTRYSTRUCT& /*country*/,
                                   const COUNTRYSTRUCT* /*current*/)
    {
        return kAnswerCancel;
    }
};

// The service in use. Until a program installs its own, boxes go to a
// service that writes them to stderr and answers as a default button would.
DialogService& Dialogs();
// Installs service (not owned). nullptr goes back to the default one.
void SetDialogs(DialogService* service);

// Answers from queues and records everything asked (tests, headless runs).
// Boxes, country-control dialogs and password dialogs each have a queue.
// With its queue empty a box answers as its default button would, and a
// dialog is cancelled (a password dialog is not asked).
class ScriptedDialogService : public DialogService {
public:
    struct Shown {
        std::string text;
        unsigned style;
    };
    // One run of a dialog: which one, with what it was given.
    enum class DialogKind {
        CountryControl,
        Password,
        NewWeaponEntry,
        NewDeployment,
        SaveFile,
        OpenFile,
        AttackDecision,
        Merge,
        Unload,
        Launch,
        March,
        RouteBuild,
        Durability,
        EvolutionTable,
        Arms,
        Improve,
        ForceTable,
        WeaponTable,
        BgmSettings,
        UnitDataEdit,
    };
    struct Asked {
        DialogKind kind;
        std::string text;         // password: the preset text (CP932); save file: the proposed path
        std::string countryName;  // password, new weapon: the country named in the heading
        CountryControlRows rows;  // country control: the rows it was given
        int armsType = 0;         // new weapon, new deployment: the unit type
        int mode = 0;             // new weapon: the mode; new deployment: the country's index
        // The order dialogs: the unit (firing, left, carrier), the other unit
        // (target, right), the flags (attack flags, march, route mode), a
        // value (route choice word, most durability steps, funds, display
        // number) and the hex; the cargo or the candidates. The unit data
        // editor: the unit, the country's index as value, flags 1 when that
        // country is the current one.
        UNITSTRUCT* unit = nullptr;
        UNITSTRUCT* other = nullptr;
        unsigned flags = 0;
        int value = 0;
        HEXINDEX hex = -1;
        std::vector<UNITSTRUCT*> cargo;
        std::vector<int> list;
        int result = 0;  // what the caller was answered
    };
    // A queued answer to an order dialog: its result; for the attack
    // decision the weapon mask, for the evolution table, arms and improvement
    // the chosen type, set or page. effect runs before the answer is given:
    // what the real dialog would have done to the view or the records.
    struct Reply {
        int result = kAnswerCancel;
        uint32_t mask = 0;
        int value = 0;
        std::function<void()> effect;
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
    int NewWeaponEntryDialog(const COUNTRYSTRUCT& country, int armsType, int mode) override;
    int NewDeploymentDialog(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit) override;
    int SaveFileDialog(std::string& path, std::string_view extension) override;
    int OpenFileDialog(std::string& path, std::string_view extension) override;
    int AttackDecisionDialog(UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags, uint32_t& weaponMask) override;
    int MergeDialog(UNITSTRUCT& left, UNITSTRUCT& right) override;
    int UnloadDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo) override;
    int LaunchDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo) override;
    int MarchDialog(UNITSTRUCT& unit, bool march) override;
    int RouteBuildDialog(UNITSTRUCT& unit, HEXINDEX hex, int choice, int mode) override;
    int DurabilityDialog(UNITSTRUCT& unit, int maxSteps) override;
    int EvolutionTableDialog(int armsType, UNITSTRUCT* unit, int country, bool choose, int& chosenType) override;
    int ArmsDialog(UNITSTRUCT& unit, int funds, int& armsSet) override;
    int ImproveSheet(std::span<const int> candidates, UNITSTRUCT& unit, int display, int& chosenPage) override;
    int ForceTableDialog() override;
    int WeaponTableDialog() override;
    int BgmSettingsDialog() override;
    int UnitDataEditDialog(UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current) override;

    // The next answer of an order dialog of that kind; with none queued the
    // dialog answers as its cancel does.
    void QueueReply(DialogKind kind, Reply reply) { m_replies[kind].push_back(std::move(reply)); }

    // The new-weapon entry answers (empty: deferred), and the save-file
    // choices (OK with a path, or Cancel; empty: cancelled).
    void QueueNewWeaponAnswer(int answer) { m_newWeapon.push_back(answer); }
    void QueueSaveFile(int answer, std::string path = {})
    {
        m_saveFiles.push_back({answer, std::move(path)});
    }

    // The open-file choices (OK with a path, or Cancel; empty: cancelled).
    void QueueOpenFile(int answer, std::string path = {}) { m_openFiles.push_back({answer, std::move(path)}); }

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    // OK with the given text typed, or Cancel (text ignored).
    void QueuePassword(int answer, std::string text = {})
    {
        m_passwords.push_back({answer, std::move(text)});
    }
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
        m_newWeapon.clear();
        m_saveFiles.clear();
        m_openFiles.clear();
        m_replies.clear();
    }

protected:
    // Adds a run to the record as it stands (a service that plays a dialog
    // itself).
    void Record(Asked asked) { m_asked.push_back(std::move(asked)); }

private:
    std::deque<int> m_answers;
    std::deque<PasswordAnswer> m_passwords;
    std::deque<CountryControlAnswer> m_controls;
    std::deque<int> m_newWeapon;
    std::deque<PasswordAnswer> m_saveFiles;
    std::deque<PasswordAnswer> m_openFiles;
    std::vector<Shown> m_shown;
    std::vector<Asked> m_asked;
    std::map<DialogKind, std::deque<Reply>> m_replies;

    // Records the run and takes its queued reply (none: cancelDefault).
    Reply Take(Asked asked, int cancelDefault);
};

// The answer of a box's default button for a style. A Retry/Cancel box is
// answered Cancel: an unattended answer must never repeat a failing
// operation forever.
int DefaultAnswer(unsigned style);

}  // namespace zrv
