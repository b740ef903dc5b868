#pragma once
// What the battle dialogs ask of the map view: the status strip, sound,
// marks, the target hex list and the current cargo unit of an unload, and the
// view's pictures and colours for their cards. The map view implements it; a
// test puts a recording stand-in in its place. Declared beside the engine so
// that the dialogs (which the menu program links too) never need the map view.

#include <cstdint>
#include <memory>
#include <span>

#include "foundation/Dib.h"
#include "foundation/DrawHelpers.h"
#include "foundation/GameRecords.h"

namespace zrv {

class DialogView {
public:
    virtual ~DialogView() = default;
    // The status strip shows unit (at its hex).
    virtual void ShowUnitInStatus(UNITSTRUCT& unit) { (void)unit; }
    // Plays sound effect n.
    virtual void PlayDialogSound(int effect) { (void)effect; }
    // Starts music track n, a failure shown in a box.
    virtual void PlayMusicTrack(int track) { (void)track; }
    // Clears every hex mark and marks source and target (negative: none).
    virtual void MarkSourceAndTarget(HEXINDEX source, HEXINDEX target) { (void)source, (void)target; }
    // Brings hex into view and flashes its mark; true when a close request
    // is pending (the caller gives up).
    virtual bool FlashHexMark(HEXINDEX hex) { return (void)hex, false; }
    // Centres the map on hex and puts the pointer on it.
    virtual void MoveMapCursorToHex(HEXINDEX hex) { (void)hex; }
    // The view's target hex list: the hexes, ended by -1.
    virtual void SetTargetHexes(std::span<const HEXINDEX> hexes) { (void)hexes; }
    // The unit chosen for an unload (null: none).
    virtual void SetCurrentCargoUnit(UNITSTRUCT* unit) { (void)unit; }
    // Stops and frees every sound effect (a report that played its own).
    virtual void FreeDialogSounds() {}
    // A type was retired from a class list (added: the type produced now,
    // -1 none): the development table and the production window follow.
    virtual void ClassListChanged(int retired, int added) { (void)retired, (void)added; }
    // The view's move-first flag of the order being entered.
    virtual bool MoveFirst() const { return false; }
    // The view's colour table (256 entries; null before the view has one)
    // and its weapon icons ("weapon.pxs": 12 x 12 cells stacked downward;
    // null when missing).
    virtual const RgbQuad* ColorTable() const { return nullptr; }
    virtual CDib* WeaponIcons() const { return nullptr; }
    // The pictures unit pictures and army marks are drawn from (the defaults
    // have none: nothing is drawn).
    virtual UnitPictures UnitPictureSet() const { return {}; }
    virtual FlagPictures FlagPictureSet() const { return {}; }

    // A card's off-screen picture of width x height in the view's colours
    // with a drawing context on it; false (nothing made) without colours.
    bool CreatePictureDC(int width, int height, std::unique_ptr<CDib>* picture, DrawContext* dc) const
    {
        return zrv::CreatePictureDC(ColorTable(), width, height, picture, dc);
    }
    // A unit picture of armsType in side's colours at (x, y) of picture, with
    // its strength digits unless strength is -1.
    void DrawUnitPicture(CDib* picture, int armsType, int side, int x, int y, int strength) const
    {
        zrv::DrawUnitPicture(picture, UnitPictureSet(), armsType, side, x, y, strength);
    }
    // The 21 x 16 army mark of country at (x, y) of picture (see
    // zrv::DrawFlagMark).
    void DrawFlagMark(CDib* picture, int country, int x, int y, int flagId, bool forceFlag) const
    {
        zrv::DrawFlagMark(picture, FlagPictureSet(), country, x, y, flagId, forceFlag);
    }
    // The view's "spec2.pxs" (the data cards' backgrounds, bars
    // and marks); null when missing.
    virtual CDib* SpecPicture() const { return nullptr; }
};

}  // namespace zrv
