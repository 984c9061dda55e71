#include "settings/range_checks.h"

#include "app/text_format.h"

namespace tp {
namespace {

struct RangedValue {
    RangedField field;
    int value;
    int low;
    int high;
};

}  // namespace

std::optional<RangeViolation> CheckMainWindowRanges(const MainSettings& main) {
    // "Max. :" of the films is collected without a range test.
    const RangedValue fields[] = {
        {RangedField::ForecastUsa, main.weather.forecastUsa, 1, 10},
        {RangedField::Headlines, main.news.nbNews, 1, 10},
        {RangedField::ForecastEuro, main.weather.forecastEuro, 1, 5},
        {RangedField::XRateDays, main.stocks.xRateDays, 1, 30},
    };
    for (const RangedValue& f : fields) {
        if (f.value < f.low || f.value > f.high) return RangeViolation{f.field, f.low, f.high};
    }
    return std::nullopt;
}

std::optional<RangeViolation> CheckGeneralRanges(const GeneralSettings& general) {
    const RangedValue fields[] = {
        {RangedField::ConnectTimeout, general.connectTimeout, 1, 600},
        {RangedField::StallTimeout, general.stallTimeout, 1, 600},
        {RangedField::FetchTimeout, general.fetchTimeout, 1, 3600},
        {RangedField::MaxFetches, general.maxFetches, 1, 64},
        {RangedField::MaxFetchesPerHost, general.maxFetchesPerHost, 1, 64},
    };
    for (const RangedValue& f : fields) {
        if (f.value < f.low || f.value > f.high) return RangeViolation{f.field, f.low, f.high};
    }
    return std::nullopt;
}

SettingsKeyName RangedFieldKey(RangedField field) {
    switch (field) {
    case RangedField::ForecastUsa: return {"Weather", "ForecastUSA"};
    case RangedField::Headlines: return {"News", "NbNews"};
    case RangedField::ForecastEuro: return {"Weather", "ForecastEuro"};
    case RangedField::XRateDays: return {"Stocks", "XRateDays"};
    case RangedField::ConnectTimeout: return {"Settings", "ConnectTimeout"};
    case RangedField::StallTimeout: return {"Settings", "StallTimeout"};
    case RangedField::FetchTimeout: return {"Settings", "FetchTimeout"};
    case RangedField::MaxFetches: return {"Settings", "MaxFetches"};
    case RangedField::MaxFetchesPerHost: return {"Settings", "MaxFetchesPerHost"};
    }
    return {};
}

std::string RangeMessage(const RangeViolation& violation) {
    return Format("Please enter an integer between %d and %d.", violation.low, violation.high);
}

}  // namespace tp
