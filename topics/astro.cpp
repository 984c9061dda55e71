#include "topics/astro.h"

#include <cctype>

#include "app/globals.h"
#include "topics/scan.h"
#include "net/fetch_url.h"
#include "pages/page_files.h"
#include "topics/topic_table.h"
#include "pages/page_format.h"
#include "settings/custom_store.h"

namespace tp {

namespace {
// The converted text marks each link with "[n]"; the horoscope ends before the next one.
constexpr char kLinkMarker = '[';

// A missing icon or template fails the topic before anything is fetched.
bool PageSourcesReadable(const AstroSettings& astro) {
    std::string icon;
    std::string templateText;
    return ReadPageSources(astro.icon, astro.xml, icon, templateText);
}
}  // namespace

std::vector<std::string> AstroSignsToFetch(std::string_view signs) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= signs.size() && names.size() < kAstroSlots) {
        std::size_t end = signs.find(',', start);
        if (end == std::string_view::npos) end = signs.size();
        if (end > start) {
            std::string name(signs.substr(start, end - start));
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return names;
}

std::string AstroTitle(std::string_view sign) {
    std::string title = CutToLength(std::string(sign), kAstroTitleMax);
    if (!title.empty()) {
        title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    }
    return title;
}

bool ExtractHoroscope(char* text, int markerNumber, std::string& horoscope) {
    const std::string marker = GetCustomString(markerNumber);
    std::size_t pos = FindAfterTag(text, 0, marker);
    if (pos == kNotFound) return false;
    pos = SkipBlanks(text, pos, true);

    horoscope.clear();
    for (; text[pos] != '\0' && text[pos] != kLinkMarker && horoscope.size() < kAstroTextMax;
         ++pos) {
        horoscope += CleanChar(text, pos);
    }
    return true;
}

bool BuildAstroPage(const std::string& pagePath, const std::vector<CardEntry>& entries,
                    const Settings& settings) {
    const CardTexts texts = BuildCardTexts(entries, kAstroLinksCapacity, kAstroCardsCapacity);
    const AstroSettings& astro = settings.more.astro;
    return BuildTopicPage(TopicOf(TopicId::Astro).page, astro.icon, astro.xml, pagePath, texts.links,
                          texts.cards, settings.general);
}

TopicPlan PlanAstro(const Settings& settings) {
    TopicPlan plan;
    for (const std::string& sign : AstroSignsToFetch(settings.more.astro.signs)) {
        plan.push_back({GetCustomUrl(kAstroAddress, sign), kAstroAddress, sign, 0});
    }
    return plan;
}

bool DownloadAstro(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                   const std::string& pageFile) {
    if (!PageSourcesReadable(settings.more.astro)) return false;
    std::vector<CardEntry> entries;
    for (const SourceFetch& source : plan) {
        CardEntry entry;
        if (!fetcher.Fetch(source.url)) return false;
        if (!ExtractHoroscope(g_transferBuffer, kAstroStartMarker, entry.text)) return false;
        entry.title = AstroTitle(source.code);
        entries.push_back(std::move(entry));
    }
    return BuildAstroPage(pageFile, entries, settings);
}

}  // namespace tp
