// The number fields of the main window and the bounds they accept when the
// window collects its values (at the start of a run and when it closes).
#pragma once

#include "settings/settings_model.h"

#include <optional>
#include <string>

namespace tp {

enum class RangedField { ForecastUsa, Headlines, ForecastEuro, XRateDays };

struct RangeViolation {
    RangedField field;
    int low;
    int high;
};

// The first field, in the window's collection order, whose value lies outside
// its bounds; nothing when all are inside. Every field is checked whether or
// not its topic is selected, as the window collects them all.
std::optional<RangeViolation> CheckMainWindowRanges(const MainSettings& main);

// "Please enter an integer between <low> and <high>."
std::string RangeMessage(const RangeViolation& violation);

}  // namespace tp
