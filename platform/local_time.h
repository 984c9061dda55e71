// The clock and the time-zone name, behind one seam so tests can fix them.
#pragma once

#include <ctime>
#include <string>

namespace tp {

// Local broken-down time now.
std::tm LocalTimeNow();

// The daylight-saving name of the current time zone (tzname[1] after tzset()).
std::string DaylightZoneName();

}  // namespace tp
