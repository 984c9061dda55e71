#include "settings/range_checks.h"

#include "app/text_format.h"

#include <initializer_list>

namespace tp {
namespace {

struct CheckedValue {
    RangedField field;
    int value;
};

std::optional<RangeViolation> FirstOutOfBounds(std::initializer_list<CheckedValue> values) {
    for (const CheckedValue& checked : values) {
        const NumberLimit& limit = LimitOf(checked.field);
        if (checked.value < limit.low || checked.value > limit.high) {
            return RangeViolation{checked.field, limit.low, limit.high};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<RangeViolation> CheckMainWindowRanges(const MainSettings& main) {
    // "Max. :" of the films is collected without a range test.
    return FirstOutOfBounds({{RangedField::ForecastUsa, main.weather.forecastUsa},
                             {RangedField::Headlines, main.news.nbNews},
                             {RangedField::ForecastEuro, main.weather.forecastEuro},
                             {RangedField::XRateDays, main.stocks.xRateDays}});
}

std::optional<RangeViolation> CheckGeneralRanges(const GeneralSettings& general) {
    return FirstOutOfBounds({{RangedField::ConnectTimeout, general.connectTimeout},
                             {RangedField::StallTimeout, general.stallTimeout},
                             {RangedField::FetchTimeout, general.fetchTimeout},
                             {RangedField::MaxFetches, general.maxFetches},
                             {RangedField::MaxFetchesPerHost, general.maxFetchesPerHost},
                             {RangedField::Retries, general.retries},
                             {RangedField::RunDeadline, general.runDeadline}});
}

SettingsKeyName RangedFieldKey(RangedField field) {
    const NumberLimit& limit = LimitOf(field);
    return {limit.section, limit.key};
}

std::string RangeMessage(const RangeViolation& violation) {
    return Format("Please enter an integer between %d and %d.", violation.low, violation.high);
}

}  // namespace tp
