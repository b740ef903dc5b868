#pragma once
// The battle program's answers for the unit data sheet and the
// performance card: the map view's pictures and colours, the document's
// current country and game block.

#include "battle/dialogs/SpecContext.h"
#include "battle/engine/GameDoc.h"

namespace zrv {

class BattleSpecContext : public SpecContext {
public:
    BattleSpecContext(CZRKGameDoc& doc, const DialogView* view) : m_doc(doc), m_view(view) {}

    const DialogView* View() const override { return m_view; }
    COUNTRYSTRUCT* CurrentCountry() const override { return m_doc.m_pCurCountry; }
    const GAMEDATASTRUCT* Game() const override { return &m_doc.m_GameData; }
    bool KeepEmptyWeaponRows() const override;

    CZRKGameDoc& Doc() const { return m_doc; }

private:
    CZRKGameDoc& m_doc;
    const DialogView* m_view;
};

}  // namespace zrv
