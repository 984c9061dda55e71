// The stored itineraries of the directions topic: records numbered from 1
// without gaps in section "Directions" of the settings file, six keys each
// ("Itinary%i", "Country%i", "FromAddress%i", "FromCity%i", "ToAddress%i",
// "ToCity%i"). Nothing is cached: every operation reads or writes the file at
// the moment it runs, so the dialog and the next download see the same records.
//
// The list operations take the names as the dialog's list shows them, because
// the look-up for "+" and the record moved by "-" follow the list, which is
// only refilled from the file after a deletion.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tp {

inline constexpr std::string_view kItinerarySection = "Directions";
// The dialog refuses a 21st itinerary and the page uses at most this many.
inline constexpr int kMaxItineraries = 20;

// Values of "Country%i" (the index in the dialog's "Country :" list).
enum ItineraryCountry : int { kCountryUsa = 0, kCountryFrance = 1 };

struct Itinerary {
    std::string name;
    int country = kCountryUsa;  // as stored; anything but 1 is fetched as USA
    std::string fromAddress;
    std::string fromCity;
    std::string toAddress;
    std::string toCity;

    bool operator==(const Itinerary&) const = default;
};

// The fields of a record; the key of record n is the field followed by n.
inline constexpr std::string_view kNameField = "Itinary";
inline constexpr std::string_view kCountryField = "Country";
inline constexpr std::string_view kFromAddressField = "FromAddress";
inline constexpr std::string_view kFromCityField = "FromCity";
inline constexpr std::string_view kToAddressField = "ToAddress";
inline constexpr std::string_view kToCityField = "ToCity";

// The key of one field of record number, such as "FromCity3".
std::string ItineraryKey(std::string_view field, int number);

// Number of records: names "Itinary1", "Itinary2", ... up to the first that is
// missing or empty. Higher-numbered keys after a gap are not counted.
int CountItineraries(const std::string& iniPath);

// The names of records 1 to CountItineraries, in record order (all of them,
// also beyond kMaxItineraries in a hand-edited file).
std::vector<std::string> ReadItineraryNames(const std::string& iniPath);

// Record number as stored: a missing country reads as USA, missing texts as "".
Itinerary ReadItinerary(const std::string& iniPath, int number);

// Writes the six keys of record number in the order name, country (decimal),
// from address, from city, to address, to city. False at the first key that
// cannot be written, with the reason in g_lastError.
bool WriteItinerary(const std::string& iniPath, int number, const Itinerary& itinerary);

// Deletes the six keys of record number. False when the file cannot be written.
bool DeleteItineraryKeys(const std::string& iniPath, int number);

// Index of the list's own prefix look-up: the first entry, searching from the
// second to the end and then the first, whose text begins with name without
// regard to case (ASCII and Latin-1 letters); -1 when none does.
int FindListedItinerary(const std::vector<std::string>& listedNames, std::string_view name);

enum class StoreItineraryResult {
    Replaced,        // the record of the matching list entry was rewritten
    Appended,        // a new record was written after the last; add the name to the list
    LimitReached,    // the list already holds kMaxItineraries names (or more)
    NameMissing,     // the name is empty once its surrounding white space is removed
    AddressMissing,  // one of the four address values is empty
    WriteFailed,     // the settings file could not be written; reason in g_lastError
};

struct StoreItineraryOutcome {
    StoreItineraryResult result;
    int number = 0;    // the record written (Replaced, Appended, WriteFailed)
    std::string name;  // the name as stored, white space removed
};

// "+": stores entered under its name. A name that begins a listed entry
// (see FindListedItinerary) replaces that entry's record, which then carries
// the new name; any other name is appended as record CountItineraries + 1.
// Nothing is written unless the result is Replaced or Appended (or WriteFailed
// part way).
StoreItineraryOutcome StoreItinerary(const std::string& iniPath,
                                     const std::vector<std::string>& listedNames,
                                     const Itinerary& entered);

// "-": deletes the record of list entry selectedIndex. When it was not the last
// entry, the last record moves into the gap under its listed name, so the
// records stay numbered without gaps. The caller refills its list afterwards.
// False for an index outside the list, or when the file cannot be written.
bool DeleteListedItinerary(const std::string& iniPath, const std::vector<std::string>& listedNames,
                           int selectedIndex);

// "C": deletes the keys of records 1 to kMaxItineraries, and of the records
// beyond that a hand-edited file holds, so none comes back when new ones are
// stored. False when the file cannot be written.
bool DeleteAllItineraries(const std::string& iniPath);

// What the dialog shows for a refused "+": caption and text, both empty for the
// results that show nothing.
struct ItineraryMessage {
    std::string_view caption;
    std::string_view text;
};
ItineraryMessage StoreItineraryMessage(StoreItineraryResult result);

// The questions asked before "-" and "C" (captioned with the program's title),
// and the refusal of the dialog's OK with Directions selected and no itinerary.
inline constexpr std::string_view kDeleteItineraryQuestion =
    "Do you want to delete the selected itinary ?";
inline constexpr std::string_view kDeleteAllItinerariesQuestion =
    "Do you want to delete all current itinaries ?";
inline constexpr ItineraryMessage kNoItineraryMessage{
    "Direction information missing", "Please, create an itinary for the 'Directions'"};

}  // namespace tp
