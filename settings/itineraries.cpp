#include "settings/itineraries.h"

#include <algorithm>
#include <cstddef>

#include "app/globals.h"
#include "app/text_format.h"
#include "settings/ini_file.h"

namespace tp {

namespace {

// The dialog's edit fields hold no more than this, and neither does a value.
constexpr std::size_t kWholeValue = ini::kMaxValueLength + 1;

constexpr std::string_view kFieldsInWriteOrder[] = {kNameField,      kCountryField,
                                                    kFromAddressField, kFromCityField,
                                                    kToAddressField, kToCityField};

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

std::string ReadText(const std::string& iniPath, std::string_view field, int number) {
    return ini::GetString(iniPath, kItinerarySection, ItineraryKey(field, number), "", kWholeValue);
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

// Lower case of an ASCII or Latin-1 letter; the list compares names this way.
unsigned char FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + ('a' - 'A'));
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    return c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return FoldCase(static_cast<unsigned char>(a)) == FoldCase(static_cast<unsigned char>(b));
    });
}

}  // namespace

std::string ItineraryKey(std::string_view field, int number) {
    return std::string(field) + Format("%i", number);
}

int CountItineraries(const std::string& iniPath) {
    int count = 0;
    // A name is never longer than a value, and one character tells "missing or empty".
    while (!ini::GetString(iniPath, kItinerarySection, ItineraryKey(kNameField, count + 1), "", 2)
                .empty()) {
        ++count;
    }
    return count;
}

std::vector<std::string> ReadItineraryNames(const std::string& iniPath) {
    std::vector<std::string> names;
    const int count = CountItineraries(iniPath);
    for (int number = 1; number <= count; ++number) {
        names.push_back(ReadText(iniPath, kNameField, number));
    }
    return names;
}

Itinerary ReadItinerary(const std::string& iniPath, int number) {
    Itinerary itinerary;
    itinerary.name = ReadText(iniPath, kNameField, number);
    itinerary.country = ini::GetInt(iniPath, kItinerarySection, ItineraryKey(kCountryField, number),
                                    kCountryUsa);
    itinerary.fromAddress = ReadText(iniPath, kFromAddressField, number);
    itinerary.fromCity = ReadText(iniPath, kFromCityField, number);
    itinerary.toAddress = ReadText(iniPath, kToAddressField, number);
    itinerary.toCity = ReadText(iniPath, kToCityField, number);
    return itinerary;
}

bool WriteItinerary(const std::string& iniPath, int number, const Itinerary& itinerary) {
    const std::string country = Format("%i", itinerary.country);
    const std::string_view values[] = {itinerary.name,     country,
                                       itinerary.fromAddress, itinerary.fromCity,
                                       itinerary.toAddress, itinerary.toCity};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        if (!ini::WriteString(iniPath, kItinerarySection, ItineraryKey(kFieldsInWriteOrder[i], number),
                              values[i])) {
            return false;
        }
    }
    return true;
}

bool DeleteItineraryKeys(const std::string& iniPath, int number) {
    for (const std::string_view field : kFieldsInWriteOrder) {
        if (!ini::DeleteKey(iniPath, kItinerarySection, ItineraryKey(field, number))) return false;
    }
    return true;
}

int FindListedItinerary(const std::vector<std::string>& listedNames, std::string_view name) {
    const std::size_t size = listedNames.size();
    for (std::size_t step = 1; step <= size; ++step) {
        const std::size_t index = step % size;
        if (StartsWithIgnoringCase(listedNames[index], name)) return static_cast<int>(index);
    }
    return -1;
}

StoreItineraryOutcome StoreItinerary(const std::string& iniPath,
                                     const std::vector<std::string>& listedNames,
                                     const Itinerary& entered) {
    StoreItineraryOutcome outcome{StoreItineraryResult::LimitReached, 0, {}};
    // Also refused when the name would only replace a record: the limit is on
    // the list as it stands.
    if (listedNames.size() >= static_cast<std::size_t>(kMaxItineraries)) return outcome;

    Itinerary stored = entered;
    stored.name = std::string(Trim(entered.name));
    outcome.name = stored.name;
    if (stored.name.empty()) {
        outcome.result = StoreItineraryResult::NameMissing;
        return outcome;
    }
    if (stored.fromAddress.empty() || stored.fromCity.empty() || stored.toAddress.empty() ||
        stored.toCity.empty()) {
        outcome.result = StoreItineraryResult::AddressMissing;
        return outcome;
    }

    const int listed = FindListedItinerary(listedNames, stored.name);
    const bool appended = listed < 0;
    outcome.number = appended ? CountItineraries(iniPath) + 1 : listed + 1;
    if (!WriteItinerary(iniPath, outcome.number, stored)) {
        outcome.result = StoreItineraryResult::WriteFailed;
        return outcome;
    }
    outcome.result = appended ? StoreItineraryResult::Appended : StoreItineraryResult::Replaced;
    return outcome;
}

bool DeleteListedItinerary(const std::string& iniPath, const std::vector<std::string>& listedNames,
                           int selectedIndex) {
    const int listed = static_cast<int>(listedNames.size());
    if (selectedIndex < 0 || selectedIndex >= listed) {
        SetLastErrorF("Directions error: no itinerary %i in the list of %i", selectedIndex + 1,
                      listed);
        return false;
    }
    const int number = selectedIndex + 1;
    if (!DeleteItineraryKeys(iniPath, number)) return false;
    ini::Flush(iniPath);
    if (number == listed) return true;

    // The last record fills the gap, under the name its list entry shows.
    Itinerary moved = ReadItinerary(iniPath, listed);
    moved.name = listedNames.back();
    if (!WriteItinerary(iniPath, number, moved)) return false;
    if (!DeleteItineraryKeys(iniPath, listed)) return false;
    ini::Flush(iniPath);
    return true;
}

bool DeleteAllItineraries(const std::string& iniPath) {
    for (int number = 1; number <= kMaxItineraries; ++number) {
        if (!DeleteItineraryKeys(iniPath, number)) return false;
    }
    // A hand-edited file may hold more; left behind they would reappear once
    // twenty new records closed the gap before them.
    for (int number = kMaxItineraries + 1; !ReadText(iniPath, kNameField, number).empty(); ++number) {
        if (!DeleteItineraryKeys(iniPath, number)) return false;
    }
    ini::Flush(iniPath);
    return true;
}

ItineraryMessage StoreItineraryMessage(StoreItineraryResult result) {
    switch (result) {
        case StoreItineraryResult::LimitReached:
            return {"Directions limitation", "You have already reached the maximum of initaries !"};
        case StoreItineraryResult::NameMissing:
            return {"Directions information missing", "Please, enter an initinary name"};
        case StoreItineraryResult::AddressMissing:
            return {"Directions information missing",
                    "Please, add the full 'from' and 'start' directions"};
        case StoreItineraryResult::Replaced:
        case StoreItineraryResult::Appended:
        case StoreItineraryResult::WriteFailed:
            break;
    }
    return {};
}

}  // namespace tp
