#include "settings/more_downloads_check.h"

namespace tp {

std::optional<ItineraryMessage> CheckMoreDownloads(const MoreDownloadsSettings& more,
                                                   std::size_t listedItineraries,
                                                   std::size_t listedEmailFiles) {
    if (more.directions.download && listedItineraries == 0) return kNoItineraryMessage;
    if (more.astro.download && more.astro.signs.empty()) return kNoSignMessage;
    if (more.email.download && listedEmailFiles == 0) return kNoEmailFileMessage;
    return std::nullopt;
}

}  // namespace tp
