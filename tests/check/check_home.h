// A data folder in which every topic's source can be checked: a cut writes
// the topic's page, so the default icons and templates are there, and two
// itineraries, the first answered by a US route of the sample provider, the
// second by the French one. Free of GoogleTest, for the benchmarks too.
#pragma once

#include "app/paths.h"
#include "net/transfer.h"
#include "platform/text_file.h"
#include "settings/itineraries.h"
#include "tests/support/demo_itineraries.h"
#include "tests/support/temp_home.h"
#include "tests/topics/topic_page_support.h"

#include <string>

namespace tp::test {

inline constexpr const char* kUsItinerary = "1";
inline constexpr const char* kFrenchItinerary = "2";

// False when the itineraries cannot be written (the reason in g_lastError).
inline bool PrepareCheckHome(const TempHome& home) {
    CopyDefaultConfig(home);
    return WriteItinerary(GetIniPath(), 1, kDemoItineraries[1]) &&
           WriteItinerary(GetIniPath(), 2, kDemoItineraries[2]);
}

// A page of the sample provider as the conversion service returns it ("" when missing).
inline std::string SamplePage(const std::string& relative) {
    std::string bytes;
    ReadBinaryFile(TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/" + relative, bytes);
    return bytes;
}

// Replaces every from in text by to (a site's change); how many were replaced.
inline int ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    int count = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
        ++count;
    }
    return count;
}

// A fetch that brought text with HTTP 200.
inline FetchResult FetchedText(std::string text) {
    FetchResult fetched;
    fetched.ok = true;
    fetched.status = 200;
    fetched.text = std::move(text);
    return fetched;
}

}  // namespace tp::test
