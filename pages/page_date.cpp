#include "pages/page_format.h"

#include "app/text_format.h"
#include "platform/local_time.h"
#include "resources/string_table.h"

namespace tp {

namespace {

// The organiser shows these whatever the system language is.
constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::size_t kZoneTextMax = 32;

// A std::tm filled by hand may hold any value; keep the name look-ups in range.
int Wrap(int value, int count) { return ((value % count) + count) % count; }

}  // namespace

std::string FormatPageDate(const std::tm& localTime, bool twentyFourHour, bool systemZone,
                           std::string_view zoneName) {
    const std::string zone(systemZone ? zoneName.substr(0, kZoneTextMax)
                                      : LoadStringResource(kLocalTimeText));
    const char* day = kDayNames[Wrap(localTime.tm_wday, 7)];
    const char* month = kMonthNames[Wrap(localTime.tm_mon, 12)];
    const int hour = localTime.tm_hour;
    if (twentyFourHour) {
        return Format("%s %s %i, %02ih%02i (%s)", day, month, localTime.tm_mday, hour,
                      localTime.tm_min, zone.c_str());
    }
    // Midnight stays 0 AM; noon is 12 PM. The day-half text brings its own blank.
    const int shownHour = hour > 12 ? hour - 12 : hour;
    const char* dayHalf = hour >= 12 ? " PM" : " AM";
    return Format("%s %s %i, %i:%02i %s (%s)", day, month, localTime.tm_mday, shownHour,
                  localTime.tm_min, dayHalf, zone.c_str());
}

std::string FormatPageDate(bool twentyFourHour, bool systemZone) {
    return FormatPageDate(LocalTimeNow(), twentyFourHour, systemZone,
                          systemZone ? DaylightZoneName() : std::string());
}

}  // namespace tp
