#include "battle/engine/HandOverDoc.h"

#include <cstring>

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"
#include "platform/core/Process.h"
#include "platform/core/SharedBlock.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

// Option bits the start flags set.
constexpr uint32_t kOptBit11 = 1u << 11;
constexpr uint32_t kOptBit10 = 1u << 10;
constexpr uint32_t kOptBit8 = 1u << 8;

// View option bits a start command hands to the map view: 18-23 always, 0-1
// too for a campaign scenario, whose record's bits 0-1 and 16-17 replace the
// block's first.
constexpr uint32_t kStartViewMask = 0x00FC0000u;
constexpr uint32_t kCampaignViewMask = 0x00000003u;
constexpr uint32_t kCampaignViewTakeover = 0x00030003u;

// Notification that stops music and effects before the other program starts.
constexpr int kNotifyStopSound = 18;

}  // namespace

// --- blocks -----------------------------------------------------------------------

HeapHandOverBlock::HeapHandOverBlock() : m_record(std::make_unique<GAMEMENUSTRUCT>())
{
    std::memset(m_record.get(), 0, sizeof *m_record);
}

bool HeapHandOverBlock::Read(size_t offset, void* out, size_t length) const
{
    if (offset > sizeof *m_record || length > sizeof *m_record - offset) return false;
    std::memcpy(out, reinterpret_cast<const char*>(m_record.get()) + offset, length);
    return true;
}

bool HeapHandOverBlock::Write(size_t offset, const void* data, size_t length)
{
    if (offset > sizeof *m_record || length > sizeof *m_record - offset) return false;
    std::memcpy(reinterpret_cast<char*>(m_record.get()) + offset, data, length);
    return true;
}

bool SharedHandOverBlock::Read(size_t offset, void* out, size_t length) const
{
    return m_block.Read(offset, out, length);
}

bool SharedHandOverBlock::Write(size_t offset, const void* data, size_t length)
{
    return m_block.Write(offset, data, length);
}

ProgramStarter::Result SpawnProgramStarter::Start(const std::string& nativePath)
{
    platform::SpawnResult r = platform::Spawn(nativePath);
    Result result;
    result.ok = r.ok;
    if (!r.ok) result.reason = r.Reason();
    return result;
}

HandOverLink::HandOverLink(HandOverBlock& block, ProgramStarter& starter, std::string programFolderNative)
    : m_block(block), m_starter(starter), m_folder(std::move(programFolderNative))
{
    if (m_folder.empty() || m_folder.back() != '/') m_folder += '/';
}

std::string BlockPath(const GAMEMENUSTRUCT& block)
{
    return std::string(block.szPath, strnlen(block.szPath, sizeof block.szPath));
}

// --- the start command ------------------------------------------------------------

int CZRKGameDoc::ReadStartupCommand()
{
    if (!m_pHandOver) return -1;
    HandOverBlock& block = m_pHandOver->Block();
    auto record = std::make_unique<GAMEMENUSTRUCT>();
    if (!block.ReadAll(*record)) return -1;
    GAMEMENUSTRUCT& b = *record;

    if (b.dwStartFlag & kStartFlagExtendedMap) m_dwGameOption |= kOptionExtendedMap;

    const uint32_t command = b.nCommand;
    const std::string path = BlockPath(b);
    uint32_t viewOption = b.dwViewOption;
    uint32_t viewMask = kStartViewMask;
    switch (command) {
        case GMC_NEWSCENARIO:
            StartNewScenario(path, true);
            break;
        case GMC_LOADGAME:
            LoadGameFile(path);
            break;
        case GMC_NEWCAMPAIGN:
            StartNewCampaign(path);
            break;
        case GMC_CAMPAIGNSCENARIO:
            viewOption =
                (viewOption & ~kCampaignViewTakeover) | (b.Campaign.dwViewOption & kCampaignViewTakeover);
            viewMask |= kCampaignViewMask;
            StartCampaignScenario(path, &b.Campaign, b.nParam);
            break;
        case GMC_SCENARIOIMAGE: {
            // The image area begins with a 12-byte header nobody reads; the
            // state block follows it. szPath plays no part.
            const auto* area = reinterpret_cast<const uint8_t*>(&b) + offsetof(GAMEMENUSTRUCT, ImageHeader);
            LoadGameFile("", std::span<const uint8_t>(area, sizeof b.ImageHeader + sizeof b.Image));
            break;
        }
        default:
            // Nothing to start (a first start, or a code this program does
            // not know); the command is still taken below.
            break;
    }
    View().ApplyViewOptions(viewOption, viewMask);
    if (command == GMC_NEWSCENARIO || command == GMC_NEWCAMPAIGN) {
        View().SetCurrentCountry(-1, nullptr);
        m_pCurCountry = nullptr;
    }
    m_pHandOver->SetMovieFromDisc(b.nMovie);

    const uint32_t flags = b.dwStartFlag;
    if (flags & kStartFlagOption11) m_dwGameOption |= kOptBit11;
    if (flags & kStartFlagOption10) m_dwGameOption |= kOptBit10;
    if (flags & kStartFlagOption8) m_dwGameOption |= kOptBit8;
    if (flags & kStartFlagNoHistory) m_dwGameOption &= ~kOptHistoryEvents;
    if ((flags & kStartFlagNewWeaponsDayOne) && (m_dwGameOption & kOptionCampaign)) {
        m_GameData.Country[0].dwFlag |= kCountryNewWeaponsDayOne;
    }
    if (!(flags & kStartFlagKeepVictoryTurns)) View().RemoveMenuCommand(ID_BIG_VICTORY_TURNS);

    block.WriteField(offsetof(GAMEMENUSTRUCT, nCommand), static_cast<uint32_t>(GMC_GAMERUNNING));
    return static_cast<int>(command);
}

// --- handing back -------------------------------------------------------------------

void HandBackToMenu(CZRKGameDoc& doc, HandOverLink& link, int command, int param)
{
    HandOverBlock& block = link.Block();
    // The menu program acts on the command word, so everything it reads with
    // the command is in place before the word changes.
    block.WriteField(offsetof(GAMEMENUSTRUCT, nParam), static_cast<int32_t>(param));
    if (command == GMC_RETURNTOTITLE) {
        block.WriteField(offsetof(GAMEMENUSTRUCT, dwViewOption), doc.View().GetViewOption());
    }
    block.WriteField(offsetof(GAMEMENUSTRUCT, nCommand), static_cast<uint32_t>(command));
    // From here the game stands still, whether the menu program starts or not.
    link.SetHandedBack();
    doc.NotifyView(kNotifyStopSound);

    const std::string path = link.ProgramFolderNative() + kMenuProgram;
    ProgramStarter::Result started = link.Starter().Start(path);
    link.SetMenuStarted(started.ok);
    if (!started.ok) {
        // The block keeps the command: the title command retries, and a menu
        // program started by hand later takes the hand-back as it stands.
        std::string text =
            platform::FormatText("メニュープログラムを起動できませんでした。\n%s\n%s",
                                 {platform::Utf8ToSjis(path), platform::Utf8ToSjis(started.reason)});
        Dialogs().MessageBox(text, kBoxOk | kBoxIconExclamation);
    }
}

}  // namespace zrv
