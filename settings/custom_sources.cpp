#include "settings/custom_sources.h"

#include "settings/custom_store.h"

namespace tp {
namespace {

constexpr std::string_view kTopics[] = {"Weather", "News",  "Stocks", "Movies",
                                        "Directions", "Astro", "Email"};

constexpr SourceRow kRows[] = {
    {"Weather", "Weather (USA)", 104, {171, 0, 0, 0}},
    {"Weather", "Weather (UK)", 130, {151, 152, 153, 154}},
    {"Weather", "Weather (FR)", 105, {155, 156, 157, 158}},
    {"Weather", "Weather (IT)", 127, {159, 160, 161, 162}},
    {"Weather", "Weather (ES)", 128, {163, 164, 165, 166}},
    {"Weather", "Weather (DE)", 129, {167, 168, 169, 170}},
    {"News", "News World (USA)", 106, {111, 0, 0, 0}},
    {"News", "News Tech (USA)", 107, {112, 0, 0, 0}},
    {"News", "News Sport (USA)", 108, {113, 0, 0, 0}},
    {"News", "News World (FR)", 109, {114, 0, 0, 0}},
    {"News", "News Tech (FR)", 135, {136, 0, 0, 0}},
    {"News", "News Sport (FR)", 110, {115, 0, 0, 0}},
    {"Stocks", "Stock quotes", 118, {119, 0, 0, 0}},
    {"Stocks", "Exchange rates", 117, {172, 0, 0, 0}},
    {"Movies", "Movies (USA)", 120, {121, 124, 126, 0}},
    {"Movies", "Movies (FR)", 133, {134, 173, 0, 0}},
    {"Directions", "Directions (USA)", 137, {138, 139, 0, 0}},
    {"Directions", "Directions (FR)", 149, {150, 0, 0, 0}},
    {"Astro", "Astro (USA)", 140, {141, 0, 0, 0}},
};

}  // namespace

std::span<const std::string_view> CustomizableTopics() { return kTopics; }

std::span<const SourceRow> SourceRows() { return kRows; }

std::vector<SourceEntry> LoadTopicSources(std::string_view topic) {
    std::vector<SourceEntry> entries;
    for (const SourceRow& row : kRows) {
        if (row.topic != topic || entries.size() == kMaxTopicSources) continue;
        SourceEntry& entry = entries.emplace_back();
        entry.label = row.label;
        entry.addressNumber = row.addressNumber;
        entry.addressText = GetCustomString(row.addressNumber);
        entry.tagNumbers = row.tagNumbers;
        for (std::size_t i = 0; i < kSourceTagCount; ++i) {
            entry.tagTexts[i] = GetCustomString(row.tagNumbers[i]);
        }
    }
    return entries;
}

bool SaveTopicSources(std::span<const SourceEntry> sources) {
    for (const SourceEntry& entry : sources) {
        if (!CheckCustomText(entry.addressNumber, entry.addressText)) return false;
        for (std::size_t i = 0; i < kSourceTagCount; ++i) {
            if (!CheckCustomText(entry.tagNumbers[i], entry.tagTexts[i])) return false;
        }
    }
    for (const SourceEntry& entry : sources) {
        if (!SetCustomString(entry.addressNumber, entry.addressText)) return false;
        for (std::size_t i = 0; i < kSourceTagCount; ++i) {
            if (entry.tagNumbers[i] == 0) continue;
            if (!SetCustomString(entry.tagNumbers[i], entry.tagTexts[i])) return false;
        }
    }
    return true;
}

}  // namespace tp
