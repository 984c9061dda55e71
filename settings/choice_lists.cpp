#include "settings/choice_lists.h"

namespace tp {
namespace {

constexpr std::string_view kWeatherLanguages[] = {"English", "French", "German", "Italian", "Spanish"};
constexpr std::string_view kSourceCountries[] = {"USA (English)", "France (French)"};

}  // namespace

std::span<const std::string_view> WeatherLanguageNames() { return kWeatherLanguages; }

std::span<const std::string_view> SourceCountryNames() { return kSourceCountries; }

}  // namespace tp
