#pragma once
// A small data library for rule tests, independent of the shipped content:
//   unit types 1 infantry (nation 1, occupies), 2 tank (1), 3 fighter (1),
//   4 destroyer (2), 5 submarine (2), 6 a retired infantry type (2);
//   terrains 2 sea, 3 shallows, 4 airfield, 7 plain, 9 city, 35 fort,
//   79 desert, 83 desert airfield, 84 desert fort (all others plain);
//   route kinds 0..4; one climate area; one scenario "FIXTURE.SC2";
//   message texts that name their code.
// Tests install it with zrv::SetLib(&zrvtest::FixtureLibrary()).

#include "foundation/DataLibrary.h"

namespace zrvtest {

// Unit types of the fixture.
enum FixtureType : int {
    kFixtureInfantry = 1,
    kFixtureTank = 2,
    kFixtureFighter = 3,
    kFixtureDestroyer = 4,
    kFixtureSubmarine = 5,
    kFixtureRetired = 6,
    kFixtureTypeCount = 7,
};

// Terrains of the fixture.
enum FixtureTerrain : int {
    kFixtureSea = 2,
    kFixtureShallows = 3,
    kFixtureAirfield = 4,
    kFixturePlain = 7,
    kFixtureCity = 9,
    kFixtureFort = 35,
    kFixtureDesert = 79,
    kFixtureDesertAirfield = 83,
    kFixtureDesertFort = 84,
};

const zrv::DataLibrary& FixtureLibrary();

// Installs the fixture for the life of a test and restores the empty library.
class ScopedFixtureLibrary {
public:
    ScopedFixtureLibrary() { zrv::SetLib(&FixtureLibrary()); }
    ~ScopedFixtureLibrary() { zrv::SetLib(nullptr); }
    ScopedFixtureLibrary(const ScopedFixtureLibrary&) = delete;
    ScopedFixtureLibrary& operator=(const ScopedFixtureLibrary&) = delete;
};

}  // namespace zrvtest
