#pragma once
// A map view for tests: records every call the document makes, as short
// texts in order, and answers from fields the test sets.

#include <string>
#include <vector>

#include "battle/engine/GameView.h"

namespace zrv {

class RecordingView : public GameDocView {
public:
    std::vector<std::string> calls;
    bool canShowHex = true;
    ViewState state;
    uint32_t viewOption = 0;
    int curIndex = -1;
    COUNTRYSTRUCT* curCountry = nullptr;
    int commandMode = -1;
    int terrainSet = 0;
    bool canLoadTerrainSet = true;

    void RedrawMap(bool rebuild) override { Log("RedrawMap", rebuild); }
    void SelectTerrainColours() override { Log("SelectTerrainColours"); }
    void RebuildUnitDisplayMap() override { Log("RebuildUnitDisplayMap"); }
    void SetHexUnitDisplay(UNITSTRUCT& u) override { Log("SetHexUnitDisplay", u.nHex); }
    void ClearHexUnitDisplay(HEXINDEX hex) override { Log("ClearHexUnitDisplay", hex); }
    void ResetChildWindows() override { Log("ResetChildWindows"); }
    void NotifySituationTable(int v) override { Log("NotifySituationTable", v); }
    bool ShowHexAndFlash(HEXINDEX hex) override
    {
        Log("ShowHexAndFlash", hex);
        return canShowHex;
    }
    void RedrawHexIfVisible(HEXINDEX hex) override { Log("RedrawHexIfVisible", hex); }
    void AfterUnitLeftPlay(UNITSTRUCT& u) override { Log("AfterUnitLeftPlay", u.nHex); }
    void RefreshUnitWindows(UNITSTRUCT& u) override { Log("RefreshUnitWindows", u.nHex); }
    void CentreOnHex(HEXINDEX hex) override { Log("CentreOnHex", hex); }
    void ApplyViewOptions(uint32_t option, uint32_t mask) override
    {
        calls.push_back("ApplyViewOptions(" + Hex(option) + "," + Hex(mask) + ")");
    }
    void PlayCDTrack(int t) override { Log("PlayCDTrack", t); }
    void CloseCDAudio() override { Log("CloseCDAudio"); }
    void PlaySE(int e) override { Log("PlaySE", e); }
    void StopAllSound() override { Log("StopAllSound"); }
    void ReleaseSoundEffects() override { Log("ReleaseSoundEffects"); }
    void OpenProgressWindow() override { Log("OpenProgressWindow"); }
    void CloseProgressWindow() override { Log("CloseProgressWindow"); }
    void UpdateProgressWindow(int v) override { Log("UpdateProgressWindow", v); }
    uint32_t GetViewOption() const override { return viewOption; }
    void RefreshStatusStrip() override { Log("RefreshStatusStrip"); }
    void SetCurrentCountry(int index, COUNTRYSTRUCT* country) override
    {
        curIndex = index;
        curCountry = country;
        Log("SetCurrentCountry", index);
    }
    void SetPhaseCommandsEnabled(bool on) override
    {
        state.phaseCommands = on;
        Log("SetPhaseCommandsEnabled", on);
    }
    ViewState GetViewState() const override { return state; }
    void AddUnitsToUnitList(std::span<UNITSTRUCT> u) override { Log("AddUnitsToUnitList", int(u.size())); }
    void UpdateUnitsInUnitList(std::span<UNITSTRUCT> u) override
    {
        Log("UpdateUnitsInUnitList", int(u.size()));
    }
    void RemoveMenuCommand(int id) override { Log("RemoveMenuCommand", id); }
    void SetCommandMode(int mode) override
    {
        commandMode = mode;
        Log("SetCommandMode", mode);
    }
    void ShowHqCaptured() override { Log("ShowHqCaptured"); }
    void PresentHistoryEvent(int event, COUNTRYSTRUCT& c) override
    {
        calls.push_back("PresentHistoryEvent(" + std::to_string(event) + "," + std::to_string(c.nIndex) +
                        ")");
    }
    int GetTerrainSet() const override { return terrainSet; }
    bool LoadTerrainSet(int set) override
    {
        Log("LoadTerrainSet", set);
        if (canLoadTerrainSet) terrainSet = set;
        return canLoadTerrainSet;
    }

    int Count(const std::string& call) const
    {
        int n = 0;
        for (const std::string& c : calls) n += c == call;
        return n;
    }

private:
    void Log(const char* name) { calls.push_back(std::string(name) + "()"); }
    void Log(const char* name, long long v)
    {
        calls.push_back(std::string(name) + "(" + std::to_string(v) + ")");
    }
    static std::string Hex(uint32_t v)
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%08X", v);
        return buf;
    }
};

}  // namespace zrv
