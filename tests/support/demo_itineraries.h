// The demo's itineraries, one per recorded route of the sample provider; shared
// by the tests and benchmarks that run the directions topic against it.
#pragma once

#include "settings/itineraries.h"

namespace tp::test {

inline const Itinerary kDemoItineraries[] = {
    {"Office to campus", kCountryUsa, "1 Market St", "San Francisco, CA", "1 Infinite Loop", "Cupertino, CA"},
    {"Empire State to Penn", kCountryUsa, "350 5th Ave", "New York, NY", "1 Penn Plz", "New York, NY"},
    {"Vacances au soleil", kCountryFrance, "12 rue de Rivoli", "75001 Paris", "1 place de la Com\xE9" "die",
     "34000 Montpellier"},
};

}  // namespace tp::test
