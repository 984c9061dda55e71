// The bounded numbers of the settings: where each lives in the settings file,
// the values it may take, the value it falls back to, and the text shown
// beside its field. Reading, the range checks and the window's fields all
// take their bounds from here.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

namespace tp {

enum class RangedField {
    ForecastUsa,
    Headlines,
    ForecastEuro,
    XRateDays,
    MaxMovies,
    ConnectTimeout,
    StallTimeout,
    FetchTimeout,
    MaxFetches,
    MaxFetchesPerHost,
    Retries,
    RunDeadline,
};

struct NumberLimit {
    RangedField field;
    std::string_view section;
    std::string_view key;
    int low;
    int high;
    int fallback;
    // What the number counts, shown in front of its bounds ("days (1...10)").
    std::string_view unit;
    // A key this program added to the settings file: read strictly (the whole
    // value a decimal number that fits) and taken at its fallback, with a
    // note, when it is not a number or lies outside its bounds.
    bool strict;
};

inline constexpr NumberLimit kNumberLimits[] = {
    {RangedField::ForecastUsa, "Weather", "ForecastUSA", 1, 10, 10, "days", false},
    {RangedField::Headlines, "News", "NbNews", 1, 10, 10, "news", false},
    {RangedField::ForecastEuro, "Weather", "ForecastEuro", 1, 5, 5, "days", false},
    {RangedField::XRateDays, "Stocks", "XRateDays", 1, 30, 10, "days", false},
    {RangedField::MaxMovies, "Movies", "MaxMovies", 1, 10, 10, "movies", false},
    {RangedField::ConnectTimeout, "Settings", "ConnectTimeout", 1, 600, 60, "seconds", true},
    {RangedField::StallTimeout, "Settings", "StallTimeout", 1, 600, 60, "seconds", true},
    {RangedField::FetchTimeout, "Settings", "FetchTimeout", 1, 3600, 120, "seconds", true},
    {RangedField::MaxFetches, "Settings", "MaxFetches", 1, 64, 16, "pages", true},
    {RangedField::MaxFetchesPerHost, "Settings", "MaxFetchesPerHost", 1, 64, 6, "pages", true},
    {RangedField::Retries, "Settings", "Retries", 0, 5, 2, "tries", true},
    {RangedField::RunDeadline, "Settings", "RunDeadline", 30, 7200, 600, "seconds", true},
};

// The rows stand in the order of RangedField, so a field finds its row at once.
constexpr bool RowsInFieldOrder() {
    for (std::size_t i = 0; i < std::size(kNumberLimits); ++i) {
        if (static_cast<std::size_t>(kNumberLimits[i].field) != i) return false;
    }
    return true;
}
static_assert(RowsInFieldOrder());

constexpr const NumberLimit& LimitOf(RangedField field) { return kNumberLimits[static_cast<std::size_t>(field)]; }

// "<unit> (<low>...<high>)", e.g. "days (1...10)".
std::string BoundsLabel(RangedField field);

}  // namespace tp
