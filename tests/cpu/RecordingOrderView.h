#pragma once
// A CpuOrderView for tests: records every call as a short text, answers
// from scripted results and raises a close request at a chosen flash.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "battle/cpu/CpuOrderView.h"

namespace zrv {

class RecordingOrderView : public CpuOrderView {
public:
    std::vector<std::string> calls;
    // Result of an operation by name (0 unless set).
    std::map<std::string, int> results;
    // The flash (counted from 1) that finds a close request; 0 none.
    int closeAtFlash = 0;
    int flashes = 0;
    int viewingSide = -1;
    UNITSTRUCT* selected = nullptr;
    UNITSTRUCT* placed = nullptr;  // what ExecutePlaceUnit hands back
    // The view's end of a finished selection carries out a pending jettison.
    std::vector<UNITSTRUCT*> jettisoned;

    void SetSelectedUnit(UNITSTRUCT* unit) override
    {
        selected = unit;
        Log("Select", unit ? unit->nHex : -1);
    }
    void EndSelection(bool finish) override
    {
        Log("EndSelection", finish);
        if (finish && selected && (selected->dwOrder & 0x40u)) {
            selected->dwOrder &= ~0x40u;
            jettisoned.push_back(selected);
        }
        if (finish) selected = nullptr;
    }
    void SetCommandMode(int mode) override { Log("Mode", mode); }
    int GetViewingSide() const override { return viewingSide; }
    int FlashHexMark(HEXINDEX hex, bool seenOnly, bool mark4) override
    {
        Log("Flash", hex, seenOnly, mark4);
        return ++flashes == closeAtFlash ? 1 : 0;
    }
    int RedrawHexIfVisible(HEXINDEX hex, bool unit) override { return Log("Redraw", hex, unit); }
    int RunAutoSupply() override { return Log("RunAutoSupply"); }
    int ExecuteAttack(UNITSTRUCT& a, UNITSTRUCT& t, uint32_t mask) override
    {
        const int r = Log("ExecuteAttack", a.nHex, t.nHex, mask);
        if (onAttack) onAttack(a);
        return r;
    }
    std::function<void(UNITSTRUCT&)> onAttack;
    int ExecuteOccupation(UNITSTRUCT& u, HEXINDEX hex) override
    {
        const int r = Log("ExecuteOccupation", u.nHex, hex);
        if (onOccupy) onOccupy(u);
        return r;
    }
    std::function<void(UNITSTRUCT&)> onOccupy;
    int ExecuteBombing(UNITSTRUCT& u, HEXINDEX hex) override
    {
        const int r = Log("ExecuteBombing", u.nHex, hex);
        if (onBombing) onBombing(u);
        return r;
    }
    std::function<void(UNITSTRUCT&)> onBombing;
    int ExecuteCpuMove() override
    {
        const int r = Log("ExecuteCpuMove");
        if (onCpuMove && selected) onCpuMove(*selected);
        return r;
    }
    // What the move does to the unit (it goes to its next hex unless set).
    std::function<void(UNITSTRUCT&)> onCpuMove;
    void CompleteUnitMove() override { Log("CompleteUnitMove"); }
    UNITSTRUCT* ExecutePlaceUnit(int type, HEXINDEX hex) override
    {
        Log("ExecutePlaceUnit", type, hex);
        return placed;
    }
    int ExecuteConstruction(UNITSTRUCT& u, int kind, uint32_t amount, HEXINDEX hex) override
    {
        return Log("ExecuteConstruction", u.nHex, kind, amount, hex);
    }
    int ExecuteDispose(int kind) override { return Log("ExecuteDispose", kind); }
    int ExecuteMerge(UNITSTRUCT& p, int amount) override { return Log("ExecuteMerge", p.nHex, amount); }
    int ExecuteLoad(UNITSTRUCT& u, HEXINDEX hex) override { return Log("ExecuteLoad", u.nHex, hex); }
    int ExecuteUnload(UNITSTRUCT& c, UNITSTRUCT& cargo, HEXINDEX hex) override
    {
        const int r = Log("ExecuteUnload", c.nHex, cargo.nSerial, hex);
        if (!unloadResults.empty()) {
            const int scripted = unloadResults.front();
            unloadResults.erase(unloadResults.begin());
            return scripted;
        }
        return r;
    }
    std::vector<int> unloadResults;
    int ExecuteEvolve(int type) override { return Log("ExecuteEvolve", type); }
    int ExecuteImprove(int type) override { return Log("ExecuteImprove", type); }
    int ExecuteDive(UNITSTRUCT& u) override { return Log("ExecuteDive", u.nHex); }
    int ExecuteSurface(UNITSTRUCT& u, int kind) override { return Log("ExecuteSurface", u.nHex, kind); }
    int ExecuteEndAction(UNITSTRUCT& u) override { return Log("ExecuteEndAction", u.nHex); }

    std::string Joined() const
    {
        std::string s;
        for (const std::string& c : calls) s += (s.empty() ? "" : " ") + c;
        return s;
    }

private:
    template <typename... A>
    int Log(const std::string& name, A... args)
    {
        std::string text = name + "(";
        bool first = true;
        ((text += (first ? "" : ",") + std::to_string(static_cast<long long>(args)), first = false), ...);
        calls.push_back(text + ")");
        auto it = results.find(name);
        return it == results.end() ? 0 : it->second;
    }
};

}  // namespace zrv
