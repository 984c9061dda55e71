// The zodiac signs of the astro topic: the entries the user picks from, and the
// edits of the "Signs" text (names separated by "," without blanks, in the
// order they were added, each at most once).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tp {

// The entries of the sign picker, in the order shown; the sign's name is the
// entry's text up to its first blank.
inline constexpr std::array<std::string_view, 12> kZodiacSignEntries = {
    "Aquarius (Jan 20 - Feb 17)",   "Pisces (Feb 18 - Mar 19)",  "Aries (Mar 20 - Apr 19 )",
    "Taurus (Apr 20 - May 19)",     "Gemini (May 20 - Jun 20)",  "Cancer (Jun 21 - Jul 21)",
    "Leo (Jul 22 - Aug 22)",        "Virgo (Aug 23 - Sep 21)",   "Libra (Sep 22 - Oct 22)",
    "Scorpio (Oct 23 - Nov 21)",    "Sagittarius (Nov 22 - Dec 21)",
    "Capricorn (Dec 22 - Jan 19)",
};

// The entry's text up to its first blank ("Leo (Jul 22 - Aug 22)" gives "Leo").
std::string_view SignNameOfEntry(std::string_view entry);

// The "+" button: moves the entry's sign to the end of signs (added when it was
// not there). False, with signs unchanged, when the entry names no sign: the
// picker should beep and take the focus.
bool AddSign(std::string& signs, std::string_view entry);

// The "-" button: removes the entry's sign from signs; a sign not in the list
// changes nothing. Only a whole name between commas is removed, so a name
// edited into the settings by hand is never cut into pieces. False, with signs
// unchanged, when the entry names no sign (beep and focus as for AddSign).
bool RemoveSign(std::string& signs, std::string_view entry);

// The "C" button.
void ClearSigns(std::string& signs);

}  // namespace tp
