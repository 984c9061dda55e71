#include "settings/choice_lists.h"

namespace tp {
namespace {

constexpr std::string_view kWeatherLanguages[] = {"English", "French", "German", "Italian", "Spanish"};
constexpr std::string_view kSourceCountries[] = {"USA (English)", "France (French)"};
constexpr std::string_view kItineraryCountries[] = {"USA", "France"};

}  // namespace

std::span<const std::string_view> WeatherLanguageNames() { return kWeatherLanguages; }

std::span<const std::string_view> SourceCountryNames() { return kSourceCountries; }

std::span<const std::string_view> ItineraryCountryNames() { return kItineraryCountries; }

}  // namespace tp
