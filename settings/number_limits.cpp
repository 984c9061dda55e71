#include "settings/number_limits.h"

#include <string>

namespace tp {

std::string BoundsLabel(RangedField field) {
    const NumberLimit& limit = LimitOf(field);
    return std::string(limit.unit) + " (" + std::to_string(limit.low) + "..." + std::to_string(limit.high) + ")";
}

}  // namespace tp
