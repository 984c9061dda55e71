#include "platform/local_time.h"

namespace tp {

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    return parts;
}

std::string DaylightZoneName() {
    ::tzset();
    return tzname[1] ? std::string(tzname[1]) : std::string();
}

}  // namespace tp
