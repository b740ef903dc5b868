// The document's side of the phase steps' unit and country rules: each
// member runs its rule from the order back-ends or the country operations
// and turns the rule's result into the value the steps test. A test that
// scripted a member gets its scripted value instead, without the rule.

#include <cstddef>
#include <span>

#include "battle/engine/CountryOps.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"

namespace zrv {

namespace {

// The steps stop at a negative value; a back-end that went ahead gives its
// own value, one that was refused (the view or the executor said no) -1.
int StepValue(const OrderResult& r)
{
    return r.Done() ? r.value : -1;
}

}  // namespace

int CZRKGameDoc::EndUnitAction(UNITSTRUCT& unit)
{
    const int scripted = Stub(DocStub::EndUnitAction);
    if (IsStubScripted(DocStub::EndUnitAction)) return scripted;
    // The only refusal is a record no longer in use: nothing to end, and no
    // reason to stop the other units' end of phase. The back-end marks the
    // game modified when the action ends.
    const OrderResult r = zrv::EndUnitAction(*this, unit, true);
    return r.Done() ? r.value : 0;
}

int CZRKGameDoc::LoseUnitForFuel(UNITSTRUCT& unit)
{
    const int scripted = Stub(DocStub::LoseUnitForFuel);
    if (IsStubScripted(DocStub::LoseUnitForFuel)) return scripted;
    // A ship out of fuel sinks (a submarine on deep water surfaces instead);
    // every other fuel-using unit is lost as an aircraft is.
    if (IsNavalDomainUnit(unit)) return StepValue(LoseShipOutOfFuel(*this, unit));
    return StepValue(LoseAircraftOutOfFuel(*this, unit));
}

int CZRKGameDoc::SurfaceOrSink(UNITSTRUCT& unit)
{
    const int scripted = Stub(DocStub::SurfaceOrSink);
    if (IsStubScripted(DocStub::SurfaceOrSink)) return scripted;
    // A submerged unit without diving endurance: on deep water it surfaces,
    // anywhere else it sinks.
    return StepValue(LoseShipOutOfFuel(*this, unit));
}

int CZRKGameDoc::LoseUnit(UNITSTRUCT& unit)
{
    const int scripted = Stub(DocStub::LoseUnit);
    if (IsStubScripted(DocStub::LoseUnit)) return scripted;
    return StepValue(zrv::LoseUnit(*this, unit));
}

int CZRKGameDoc::NextNewWeapon(COUNTRYSTRUCT& country)
{
    const int scripted = Stub(DocStub::NextNewWeapon);
    if (IsStubScripted(DocStub::NextNewWeapon)) return scripted;
    GameDraws draws(m_Random);
    const int offer = FindDevelopmentOffer(country, m_GameData, draws);
    // The offer is class << 16 | type; the step wants the type alone.
    return offer < 0 ? -1 : (offer & 0xFFFF);
}

int CZRKGameDoc::NextRetiredWeapon(COUNTRYSTRUCT& country)
{
    const int scripted = Stub(DocStub::NextRetiredWeapon);
    if (IsStubScripted(DocStub::NextRetiredWeapon)) return scripted;
    return FindArmsTypeToRetire(country, m_GameData);
}

void CZRKGameDoc::AdoptWeapon(COUNTRYSTRUCT& country, int type, bool pay)
{
    const DocStub stub = pay ? DocStub::AdoptWeaponPaid : DocStub::AdoptWeaponFree;
    Stub(stub);
    if (IsStubScripted(stub)) return;
    // Short funds leave the type undeveloped without a word.
    (void)DevelopArmsType(m_GameData, country, type, pay);
}

void CZRKGameDoc::RejectWeapon(COUNTRYSTRUCT& country, int type)
{
    Stub(DocStub::RejectWeapon);
    if (IsStubScripted(DocStub::RejectWeapon)) return;
    MarkArmsTypeDeveloped(country, type);
}

void CZRKGameDoc::RetireWeapon(COUNTRYSTRUCT& country, int type)
{
    Stub(DocStub::RetireWeapon);
    if (IsStubScripted(DocStub::RetireWeapon)) return;
    (void)RetireArmsType(country, type);
}

int CZRKGameDoc::RelocateCapital(COUNTRYSTRUCT& country, HEXINDEX lostHex)
{
    const int scripted = Stub(DocStub::CapitalSearch);
    int result = 0;
    if (IsStubScripted(DocStub::CapitalSearch)) {
        result = scripted;
        if (result != 0 && m_nStubCapitalHex != kNoHex) country.nCapital = m_nStubCapitalHex;
    } else {
        const std::ptrdiff_t index = &country - m_GameData.Country;
        // A record outside the state block has no cells to search.
        if (index < 0 || index >= kCountryCount) return 0;
        result = zrv::RelocateCapital(m_GameData, static_cast<int>(index), lostHex,
                                      std::span<const MAPCELL, kHexCount>(m_dwHexCell, kHexCount));
    }
    // The first country of a campaign never moves its capital off the
    // playable area: the search's choice is undone.
    if (result != 0 && (m_dwGameOption & kOptionCampaign) && country.nIndex == 0 &&
        !IsHexInMapArea(country.nCapital)) {
        country.nCapital = lostHex;
        return 0;
    }
    return result;
}

}  // namespace zrv
