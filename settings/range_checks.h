// The number fields of the main window and the bounds they accept when the
// window collects its values (at the start of a run and when it closes).
#pragma once

#include "settings/number_limits.h"
#include "settings/settings_model.h"

#include <optional>
#include <string>
#include <string_view>

namespace tp {

struct RangeViolation {
    RangedField field;
    int low;
    int high;
};

// Where the field lives in the settings file, e.g. {"News", "NbNews"}.
struct SettingsKeyName {
    std::string_view section;
    std::string_view key;
};
SettingsKeyName RangedFieldKey(RangedField field);

// The first field, in the window's collection order, whose value lies outside
// its bounds; nothing when all are inside. Every field is checked whether or
// not its topic is selected, as the window collects them all.
std::optional<RangeViolation> CheckMainWindowRanges(const MainSettings& main);

// The same for the numbers of section "Settings" (the time-outs and the
// parallel fetches), which the general settings dialog collects.
std::optional<RangeViolation> CheckGeneralRanges(const GeneralSettings& general);

// "Please enter an integer between <low> and <high>."
std::string RangeMessage(const RangeViolation& violation);

}  // namespace tp
