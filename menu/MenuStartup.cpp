#include "menu/MenuStartup.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "foundation/DialogService.h"
#include "foundation/HandOver.h"
#include "platform/core/Process.h"
#include "platform/core/Runtime.h"

namespace zrv {

const char* const kMsgAbnormalEnd =
    "　前回不正に終了しました。ＣＰＵ手番時にゲームを終了させると起こる可能性があります。\n"
    "　キーボードの[CTRL]と[ALT]と[Delete]を同時に押してください。リストに zrkgameがあるなら、"
    "これを[終了]し、強制終了してください。それ以外は再起動してください。";

namespace {

constexpr const char* kMenuProgramName = "ZRVMenu";
constexpr const char* kBattleProgramName = "ZRVGame";

// A fresh block: all zero, command 1.
bool ResetBlock(platform::SharedBlock& block)
{
    auto zero = std::make_unique<GAMEMENUSTRUCT>();
    std::memset(zero.get(), 0, sizeof *zero);
    zero->nCommand = GMC_FIRSTSTART;
    return block.Write(0, zero.get(), sizeof *zero);
}

// Says which file to remove: the block lives in /dev/shm under its name.
std::string SharedBlockOfOtherOwnerText(const std::string& name)
{
    return "共有メモリを使えません。\n別のユーザーが作った共有メモリ /dev/shm" + name +
           " が残っています。そのユーザーか管理者がこのファイルを削除してください。";
}

}  // namespace

MenuStartup::~MenuStartup()
{
    Exit();
}

MenuStartup::Result MenuStartup::Start(RequestHandler handler, std::chrono::milliseconds peerWait)
{
    if (platform::RuntimeFolder().empty()) {
        Dialogs().MessageBox("実行時フォルダを用意できません", kBoxOk | kBoxIconStop);
        return Result::Failed;
    }
    // One copy per user: a second start brings the first one forward.
    if (!m_lock.Acquire(kMenuProgramName)) {
        platform::SendRequest(kMenuProgramName, "raise", peerWait);
        return Result::RaisedOther;
    }

    const std::string name = platform::SharedBlockName(kGameMenuBlockName);
    bool created = m_block.Create(name, kGameMenuBlockSize);
    if (!created && m_block.OpenExisting(name, kGameMenuBlockSize, false) ==
                        platform::SharedBlock::OpenResult::WrongSize) {
        // Ours by name and owner but of a size this build never makes: left
        // by an older build. Nothing in it can be read, so it is made afresh.
        std::fprintf(stderr, "ZRVMenu: shared block %s has another size; made afresh\n", name.c_str());
        platform::SharedBlock::Remove(name);
        created = m_block.Create(name, kGameMenuBlockSize);
    }
    if (created) {
        // ftruncate gave zeroed memory; only the first start's code is set.
        m_block.WriteU32(0, GMC_FIRSTSTART);
        m_block.Hold();
        m_command = GMC_FIRSTSTART;
        if (!m_listener.Start(kMenuProgramName, std::move(handler))) {
            std::fprintf(stderr, "ZRVMenu: cannot listen on %s\n",
                         platform::SocketPath(kMenuProgramName).c_str());
        }
        return Result::Ok;
    }

    m_block.Close();
    using Open = platform::SharedBlock::OpenResult;
    // First ask whether anybody still holds the block (a block left by a
    // program that ended is refused as unheld), then open it for ourselves.
    Open opened = m_block.OpenExisting(name, kGameMenuBlockSize, true);
    const bool otherHolder = opened == Open::Ok;
    if (opened == Open::Ok || opened == Open::Unheld) {
        m_block.Close();
        opened = m_block.OpenExisting(name, kGameMenuBlockSize, false);
    }
    if (opened == Open::WrongOwner) {
        // Another user's block under our name: not ours to remove.
        Dialogs().MessageBox(SharedBlockOfOtherOwnerText(name), kBoxOk | kBoxIconStop);
        return Result::Failed;
    }
    if (opened != Open::Ok) {
        Dialogs().MessageBox("共有メモリを使えません", kBoxOk | kBoxIconStop);
        return Result::Failed;
    }
    m_block.ReadU32(0, m_command);
    if (platform::ProgramLock::IsRunning(kBattleProgramName)) {
        if (m_command == GMC_GAMERUNNING) {
            // A battle is being played: it comes forward, this copy ends.
            platform::SendRequest(kBattleProgramName, "raise", peerWait);
            m_block.Close();
            return Result::RaisedOther;
        }
        // The battle program has handed back and waits for its close. One
        // that cannot answer is stuck: that is the earlier abnormal end.
        if (!platform::SendRequest(kBattleProgramName, "close", peerWait)) {
            Dialogs().MessageBox(kMsgAbnormalEnd, kBoxOk);
            m_block.Close();
            return Result::AbnormalEnd;
        }
    } else if (otherHolder) {
        // No battle program, yet someone keeps the block.
        Dialogs().MessageBox(kMsgAbnormalEnd, kBoxOk);
        m_block.Close();
        return Result::AbnormalEnd;
    } else if (m_command != GMC_RETURNTOTITLE && m_command != GMC_CAMPAIGNNEXT) {
        // Left by a program that ended without handing back (a crash, or a
        // start that never ran): begin afresh, as a new block would. A
        // hand-back whose battle program has since gone is taken as it is.
        ResetBlock(m_block);
        m_command = GMC_FIRSTSTART;
    }
    if (!m_listener.Start(kMenuProgramName, std::move(handler))) {
        std::fprintf(stderr, "ZRVMenu: cannot listen on %s\n",
                     platform::SocketPath(kMenuProgramName).c_str());
    }
    return Result::Ok;
}

bool MenuStartup::LaunchBattle(uint32_t command, int32_t param, const std::string& pathSjis,
                               const std::function<void(platform::SharedBlock&)>& fill,
                               const std::string& programPath, const std::vector<std::string>& extraEnv,
                               std::string* why)
{
    auto before = std::make_unique<GAMEMENUSTRUCT>();
    if (!m_block.Read(0, before.get(), sizeof *before)) {
        if (why) *why = "the shared block cannot be read";
        return false;
    }
    char path[kPathLength] = {};
    std::memcpy(path, pathSjis.data(), std::min(pathSjis.size(), sizeof path - 1));
    m_block.Write(offsetof(GAMEMENUSTRUCT, nParam), &param, sizeof param);
    m_block.Write(offsetof(GAMEMENUSTRUCT, szPath), path, sizeof path);
    if (fill) fill(m_block);
    // The battle program acts on the command word: it goes in last.
    m_block.WriteU32(offsetof(GAMEMENUSTRUCT, nCommand), command);

    platform::SpawnResult started = platform::Spawn(programPath, extraEnv);
    if (!started.ok) {
        // Nothing was started: the block is as it was, so the menu goes on
        // from where it stood.
        m_block.Write(0, before.get(), sizeof *before);
        if (why) *why = started.Reason();
        return false;
    }
    m_command = command;
    m_launched = true;
    m_battlePid = started.pid;
    return true;
}

bool MenuStartup::LaunchedBattleEnded()
{
    if (m_battlePid <= 0) return false;
    int status = 0;
    if (waitpid(m_battlePid, &status, WNOHANG) != m_battlePid) return false;
    m_battlePid = -1;
    return true;
}

void MenuStartup::Exit()
{
    m_listener.Stop();
    if (m_block.IsOpen()) {
        uint32_t command = 0;
        m_block.ReadU32(0, command);
        // After a launch, a return code in the block is the battle program's
        // hand-back, which the next menu program has yet to take (the battle
        // may already have gone, leaving this program the last holder).
        if (m_launched && (command == GMC_RETURNTOTITLE || command == GMC_CAMPAIGNNEXT)) {
            m_block.Close();
        } else {
            m_block.CloseAndUnlinkIfLast();
        }
    }
    m_lock.Release();
}

}  // namespace zrv
