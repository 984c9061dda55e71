// The fixed entries of the main window's drop-down lists, in list order; a
// setting holds the index of its entry.
#pragma once

#include <span>
#include <string_view>

namespace tp {

// "Language :" of the European forecasts.
std::span<const std::string_view> WeatherLanguageNames();

// The sources of each news category ("from :") and of the films ("Country :").
std::span<const std::string_view> SourceCountryNames();

// "Country :" of an itinerary, in the order of its stored values (ItineraryCountry).
std::span<const std::string_view> ItineraryCountryNames();

}  // namespace tp
