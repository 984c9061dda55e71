// A run's pages next to those of the run before: whether anything but the date
// line changed, and the earlier page kept, marked as old, for a topic that
// failed.
#pragma once

#include <string>
#include <string_view>

namespace tp {

// The page's date line: the text of its first <SubTitle> element, "" when it
// has none.
std::string_view PageDateLine(std::string_view page);

// True when the pages are equal once their date lines are left out.
bool SameApartFromDate(std::string_view a, std::string_view b);

// The page with " (from <its date line>)" after the text of its first <Title>
// element, so the user sees it is old. A page already marked so, or without a
// title, is returned as it is.
std::string MarkedAsKept(std::string_view page);

// The number of cards on the page.
int CardCount(std::string_view page);

}  // namespace tp
