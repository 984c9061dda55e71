#include "check/source_check.h"

#include "app/globals.h"
#include "app/text_format.h"
#include "settings/custom_sources.h"
#include "run/good_texts.h"
#include "settings/custom_store.h"
#include "check/news_categories_scope.h"

#include <algorithm>

namespace tp {
namespace {

// The user's settings first, then the ones that make the topic take its other
// sources, with code as the only code where one is given.
std::vector<Settings> Variations(TopicId topic, const Settings& settings, const std::string& code) {
    std::vector<Settings> all{settings};
    const auto add = [&all, &settings](auto change) {
        Settings varied = settings;
        change(varied);
        all.push_back(std::move(varied));
    };
    switch (topic) {
        case TopicId::Weather:
            for (int language = 0; language < 5; ++language) {
                add([&](Settings& s) {
                    s.main.weather.language = language;
                    if (!code.empty()) s.main.weather.zip = s.main.weather.cityCode = code;
                });
            }
            break;
        case TopicId::News:
            for (int language = 0; language < 2; ++language) {
                add([&](Settings& s) { s.main.news.worldLang = s.main.news.techLang = s.main.news.sportLang = language; });
            }
            break;
        case TopicId::Stocks:
            if (!code.empty()) add([&](Settings& s) { s.main.stocks.xRate = s.main.stocks.symbols = code; });
            break;
        case TopicId::Movies:
            for (int language = 0; language < 2; ++language) add([&](Settings& s) { s.main.movies.langMovies = language; });
            break;
        case TopicId::Astro:
            if (!code.empty()) add([&](Settings& s) { s.more.astro.signs = code; });
            break;
        case TopicId::Directions:
        case TopicId::Email:
            break;
    }
    return all;
}

// Whether entry is the one asked for: its address, and its code (for
// directions, the itinerary's number) unless none is given.
bool Wanted(const Topic& topic, const SourceFetch& entry, int address, const std::string& code) {
    if (entry.address != address) return false;
    if (code.empty()) return true;
    return GoodTextCode(topic.id, entry) == code;
}

}  // namespace

std::string CustomKey(int number) { return Format("String%03i", number); }

std::vector<int> TagsOfAddress(int address) {
    std::vector<int> tags;
    for (const SourceRow& row : SourceRows()) {
        if (row.addressNumber != address) continue;
        for (int number : row.tagNumbers) {
            // The US films list 126 with their tags, but are cut without it.
            if (number != 0 && number != 126) tags.push_back(number);
        }
        break;
    }
    return tags;
}

bool IsEndTag(int number) {
    // The European forecasts' end of today's text, and the end of a film's text.
    static constexpr int kEndTags[] = {154, 158, 162, 166, 170, 124, 173};
    return std::find(std::begin(kEndTags), std::end(kEndTags), number) != std::end(kEndTags);
}

std::vector<CheckTarget> TargetsOf(const Topic& topic, const Settings& settings) {
    std::vector<CheckTarget> targets;
    const NewsSettings& news = settings.main.news;
    const NewsCategoriesScope categories({news.world, news.tech, news.sport});
    for (SourceFetch& source : topic.plan(settings)) {
        // An itinerary is known by its number.
        source.code = GoodTextCode(topic.id, source);
        targets.push_back({&topic, settings, std::move(source), {}});
    }
    return targets;
}

bool TargetForAddress(const Settings& settings, int address, const std::string& code, CustomTexts texts,
                      CheckTarget& target) {
    const auto rows = SourceRows();
    const auto row = std::find_if(rows.begin(), rows.end(), [address](const SourceRow& r) { return r.addressNumber == address; });
    const Topic* topic = row == rows.end() ? nullptr : FindTopic(row->topic);
    if (!topic) {
        SetLastErrorF("Check error: no topic takes the address of key %s", CustomKey(address).c_str());
        return false;
    }
    const ScopedCustomTexts scoped(texts);
    // Every news address can be checked, whatever the window has ticked.
    const NewsCategoriesScope categories({true, true, true});
    for (Settings& varied : Variations(topic->id, settings, code)) {
        for (SourceFetch& entry : topic->plan(varied)) {
            if (!Wanted(*topic, entry, address, code)) continue;
            entry.code = GoodTextCode(topic->id, entry);
            if (entry.url.empty()) {
                SetLastErrorF("Check error: '%s' cannot be put into the address of key %s", code.c_str(),
                              CustomKey(address).c_str());
                return false;
            }
            target = CheckTarget{topic, std::move(varied), std::move(entry), std::move(texts)};
            return true;
        }
    }
    if (code.empty()) {
        SetLastErrorF("Check error: the address of key %s needs a code, and the settings give it none",
                      CustomKey(address).c_str());
    } else {
        SetLastErrorF("Check error: code '%s' cannot be used with the address of key %s", code.c_str(),
                      CustomKey(address).c_str());
    }
    return false;
}

}  // namespace tp
