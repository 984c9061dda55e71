// Whether the more-downloads dialog may close with OK: each selected topic
// needs something to download.
#pragma once

#include <cstddef>
#include <optional>

#include "settings/itineraries.h"
#include "settings/settings_model.h"

namespace tp {

inline constexpr ItineraryMessage kNoSignMessage{
    "Astro information missing", "Please, add at least one zodiacal sign for Astro"};
inline constexpr ItineraryMessage kNoEmailFileMessage{"Email information missing",
                                                      "There is no email file to download"};

// The refusal for the first selected topic, in the order directions, astro,
// e-mail, that has nothing to download: no itinerary listed, an empty sign
// list, no e-mail file listed. Nothing when OK may close the dialog.
std::optional<ItineraryMessage> CheckMoreDownloads(const MoreDownloadsSettings& more,
                                                   std::size_t listedItineraries,
                                                   std::size_t listedEmailFiles);

}  // namespace tp
