// resumefiles <program folder>
// Writes the files a resume in the menu program is tried with into the
// folder's "Data\": "CAMPGAME.DG2", a game saved in a campaign (the first
// sample scenario as a game in its third turn), and "CAMPAIGN.DC2", a
// campaign file that goes on with that scenario. Both are written with the
// programs' own writers and read back with the readers the menu uses; the
// texts of the resume dialog's information panel are printed, one a line.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "foundation/DataLibrary.h"
#include "foundation/DataLibraryLoader.h"
#include "foundation/GameFiles.h"
#include "menu/MenuDoc.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"

int main(int argc, char** argv)
{
    using namespace zrv;
    if (argc != 2) {
        std::fprintf(stderr, "usage: resumefiles FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') folder += '/';
    platform::SetProgramFolder(folder);
    std::string why;
    if (!LoadProgramDataLibrary(&why)) {
        std::fprintf(stderr, "no data library: %s\n", why.c_str());
        return 1;
    }

    // The campaign as a new one starts it, then saved between scenarios.
    CZRKMenuDoc doc(nullptr);
    if (!doc.InitCampaign(0)) {
        std::fprintf(stderr, "the first scenario does not start a campaign\n");
        return 1;
    }
    CAMPAIGNSTRUCT& record = *doc.m_pCampaign;
    std::memset(record.szNextFile, 0, sizeof record.szNextFile);
    std::strncpy(record.szNextFile, Lib().ScenarioData[0].szName, sizeof record.szNextFile - 1);
    const std::string campaignPath = platform::DataPath("CAMPAIGN.DC2");
    if (!WriteCampaignFile(campaignPath, record)) return 1;

    // The scenario's game as the battle program keeps it in a campaign.
    GAMEDATASTRUCT& game = *doc.m_pGameData;
    game.dwGameOption |= kOptionCampaign;
    game.nTurn = 3;
    game.dwDateTime = game.Head.dwStartDate;
    const std::string gamePath = platform::DataPath("CAMPGAME.DG2");
    if (!WriteGameFile(gamePath, game)) return 1;

    auto check = std::make_unique<GAMEDATASTRUCT>();
    const int gameRead = ReadGameFile(gamePath, *check, nullptr, UnitVersionPolicy::Refuse);
    auto back = std::make_unique<CAMPAIGNSTRUCT>();
    const int campaignRead = ReadCampaignFile(campaignPath, *back, nullptr, UnitVersionPolicy::Refuse);
    std::printf("game %d campaign %d\n", gameRead, campaignRead);
    for (const std::string& path : {gamePath, campaignPath})
        std::printf("%s\n", platform::SjisToUtf8(ResumePreviewText(path)).c_str());
    return gameRead == kFileOk && campaignRead == kFileOk ? 0 : 1;
}
