#include "topics/weather.h"

#include <algorithm>
#include <array>

#include "app/globals.h"
#include "app/text_format.h"
#include "topics/scan.h"
#include "net/fetch_url.h"
#include "topics/topic_table.h"
#include "pages/page_format.h"
#include "settings/custom_store.h"
#include "settings/list_value.h"

namespace tp {

namespace {

constexpr std::string_view kBreak = "<br/>";
constexpr std::string_view kDegreesCelsius = "\xB0" "C";
constexpr char kBlank = ' ';
constexpr char kLineFeed = '\n';
constexpr int kFirstCardId = 101;
// A European card has today's line and up to four following days.
constexpr int kEuroDays = 4;

// Text that never grows past its limit. A piece that does not fit whole is
// refused and closes the text for every later piece, so markup is never cut
// and nothing is glued on after a gap. Close appends a final piece against
// a larger limit, which keeps room for a line's closing break.
class BoundedText {
public:
    explicit BoundedText(std::size_t limit) : limit_(limit) {}

    void Append(std::string_view piece) {
        if (full_) return;
        const std::size_t room = text_.size() < limit_ ? limit_ - text_.size() : 0;
        if (piece.size() > room) {
            full_ = true;
            return;
        }
        text_ += piece;
    }
    void Append(char c) { Append(std::string_view(&c, 1)); }

    void Close(std::string_view piece, std::size_t hardLimit) {
        if (text_.size() <= hardLimit && piece.size() <= hardLimit - text_.size()) text_ += piece;
    }

    bool Full() const { return full_; }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    std::size_t limit_;
    bool full_ = false;
};

std::string Cut(std::string text, std::size_t limit) {
    if (text.size() > limit) text.resize(limit);
    return text;
}


// From the end of the current line, onto the first non-blank of the next one.
std::size_t NextLineStart(const char* text, std::size_t pos) {
    pos = EndOfLine(text, pos);
    if (text[pos] == kLineFeed) ++pos;
    return SkipBlanks(text, pos);
}

// Copies the rest of the line (without its line feed) with each run of blanks
// shown as one blank; returns the position of the line feed or the zero.
std::size_t CopySqueezedLine(const char* text, std::size_t pos, BoundedText& out) {
    for (; text[pos] != '\0' && text[pos] != kLineFeed; ++pos) {
        if (text[pos] == kBlank && pos > 0 && text[pos - 1] == kBlank) continue;
        // The page gets the line cleaned, the fetched text stays as it came.
        char c = text[pos];
        out.Append(CleanChar(&c, 0));
    }
    return pos;
}

// Position of the first match of tag at or after pos before the text's end.
std::size_t SearchForward(const char* text, std::size_t pos, std::string_view tag) {
    for (; text[pos] != '\0'; ++pos) {
        if (MatchTag(text, pos, tag)) return pos;
    }
    return kNotFound;
}

// One temperature of a following day: label, the number after the tag (the
// character right after the tag is passed over), degrees.
bool AppendTemperature(char* text, std::size_t& pos, std::string_view tag, std::string_view label,
                       BoundedText& line) {
    const std::size_t match = SearchForward(text, pos, tag);
    if (match == kNotFound) {
        SetLastErrorF("HTML error: weather2 tag '%s' not found", std::string(tag).c_str());
        return false;
    }
    line.Append(label);
    pos = StepForward(text, match + 1, tag.size());
    pos = SkipBlanks(text, pos, true);
    while (IsNumberChar(text[pos], true)) {
        line.Append(CleanChar(text, pos));
        ++pos;
    }
    line.Append(kDegreesCelsius);
    return true;
}

}  // namespace

EuropeanWeatherSource EuropeanWeatherSourceFor(int language) {
    static constexpr std::array<EuropeanWeatherSource, 5> kEditions{{
        {130, 151, 152, 153, 154},  // English
        {105, 155, 156, 157, 158},  // French
        {129, 167, 168, 169, 170},  // German
        {127, 159, 160, 161, 162},  // Italian
        {128, 163, 164, 165, 166},  // Spanish
    }};
    if (language < 0 || language >= static_cast<int>(kEditions.size())) {
        EuropeanWeatherSource fallback = kEditions[0];
        fallback.address = kEditions[1].address;
        return fallback;
    }
    return kEditions[static_cast<std::size_t>(language)];
}

bool ExtractWeatherUsa(const char* text, const WeatherSettings& weather, const CodeLists& lists,
                       std::string_view code, WeatherSlot& slot) {
    const std::string tag = GetCustomString(kWeatherUsaTag);
    std::size_t pos = FindTag(text, 0, tag);
    if (pos == kNotFound) {
        SetLastErrorF("HTML error: weather tag '%s' not found", tag.c_str());
        return false;
    }
    pos = SkipBlanks(text, pos + tag.size(), true);

    // Each day keeps room for its closing break, so a cut body still ends a line.
    BoundedText body(kWeatherBodyMax - kBreak.size());
    body.Append(Format("High / Low(\xB0%c) - Precip. %%<br/><br/>\n", 'F'));
    for (int day = 0; day < weather.forecastUsa && !body.Full(); ++day) {
        pos = CopySqueezedLine(text, pos, body);
        body.Append(kBlank);
        if (text[pos] == kLineFeed) ++pos;
        pos = CopySqueezedLine(text, pos, body);
        if (text[pos] == kLineFeed) ++pos;
        body.Close(kBreak, kWeatherBodyMax);
    }

    slot.title = Cut(LookUpAreaName(lists.area, code), kWeatherTitleMax);
    slot.body = body.Text();
    return true;
}

bool ExtractWeatherEurope(char* text, const WeatherSettings& weather, const CodeLists& lists,
                          std::string_view code, WeatherSlot& slot) {
    const EuropeanWeatherSource source = EuropeanWeatherSourceFor(weather.language);
    const std::string today = GetCustomString(source.todayWord);
    const std::string low = GetCustomString(source.lowWord);
    const std::string high = GetCustomString(source.highWord);
    const std::string end = GetCustomString(source.endMarker);

    std::size_t pos = FindTag(text, 0, today);
    if (pos == kNotFound) {
        SetLastErrorF("HTML error: weather2 tag '%s' not found", today.c_str());
        return false;
    }

    // Line 0 is today, lines 1 to 4 the following days; each keeps room for
    // its closing break.
    const std::size_t lineLimit = kWeatherEuroLineMax - kBreak.size();
    std::array<BoundedText, kEuroDays + 1> lines{
        BoundedText(lineLimit), BoundedText(lineLimit), BoundedText(lineLimit),
        BoundedText(lineLimit), BoundedText(lineLimit)};

    lines[0].Append(today);
    lines[0].Append(": ");
    pos = NextLineStart(text, pos + today.size());

    // Today's text runs to the end marker; its line breaks are kept.
    while (text[pos] != '\0' && !MatchTag(text, pos, end)) {
        const char c = CleanChar(text, pos);
        ++pos;
        lines[0].Append(c);
        if (c == kLineFeed) {
            lines[0].Append(kBreak);
            pos = SkipBlanks(text, pos);
        }
    }
    pos = StepForward(text, pos, 2);
    lines[0].Close(kBreak, kWeatherEuroLineMax);
    pos = NextLineStart(text, pos);

    // Day names, one per line; each following line is indented.
    for (int k = 1; k <= kEuroDays && text[pos] != '\0'; ++k) {
        for (; text[pos] != '\0' && text[pos] != kLineFeed; ++pos) {
            if (k <= weather.forecastEuro && text[pos] != kBlank) lines[k].Append(CleanChar(text, pos));
        }
        lines[k].Append(": ");
        while (text[pos] != '\0' && text[pos] != kBlank) ++pos;
    }

    // Descriptions, each followed by a line that is passed over.
    for (int k = 1; k <= kEuroDays; ++k) {
        pos = SkipBlanks(text, StepForward(text, pos, 1));
        for (; text[pos] != '\0' && text[pos] != kLineFeed; ++pos) lines[k].Append(CleanChar(text, pos));
        if (text[pos] == kLineFeed) pos = EndOfLine(text, pos + 1);
    }

    for (int k = 1; k <= kEuroDays; ++k) {
        if (!AppendTemperature(text, pos, high, " , Max ", lines[k])) return false;
        if (!AppendTemperature(text, pos, low, " Min ", lines[k])) return false;
        lines[k].Close(kBreak, kWeatherEuroLineMax);
    }

    std::string body;
    const int shown = std::min(std::max(weather.forecastEuro, 1), kEuroDays + 1);
    for (int k = 0; k < shown; ++k) body += lines[k].Text();
    slot.title = Cut(LookUpCityName(lists.city, code), kWeatherTitleMax);
    slot.body = Cut(std::move(body), kWeatherBodyMax);
    return true;
}

bool BuildWeatherPage(const std::string& pagePath, const std::vector<WeatherSlot>& slots,
                      const Settings& settings) {
    std::string links;
    std::string cards;
    int id = kFirstCardId;
    for (const WeatherSlot& slot : slots) {
        AppendIndexLink(links, kWeatherLinksCapacity, id, slot.title);
        AppendCard(cards, kWeatherCardsCapacity, id, slot.title, slot.body);
        ++id;
    }
    const WeatherSettings& weather = settings.main.weather;
    return BuildTopicPage(TopicOf(TopicId::Weather).page, weather.icon, weather.xmlUsa, pagePath, links, cards,
                          settings.general);
}

TopicPlan PlanWeather(const Settings& settings) {
    const WeatherSettings& weather = settings.main.weather;
    TopicPlan plan;
    const auto add = [&plan](int address, const std::string& code, WeatherSource source) {
        if (plan.size() == kWeatherSlots) return false;
        plan.push_back({GetCustomUrl(address, code), address, code, static_cast<int>(source)});
        return true;
    };
    for (const std::string& code : SplitListValue(weather.zip)) {
        if (!add(kWeatherUsaAddress, code, WeatherSource::Usa)) return plan;
    }
    const int address = EuropeanWeatherSourceFor(weather.language).address;
    for (const std::string& code : SplitListValue(weather.cityCode)) {
        if (!add(address, code, WeatherSource::Europe)) break;
    }
    return plan;
}

bool DownloadWeather(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                     const std::string& pageFile) {
    const WeatherSettings& weather = settings.main.weather;
    const CodeLists lists = ReadCodeLists();
    std::vector<WeatherSlot> slots;
    for (const SourceFetch& source : plan) {
        WeatherSlot slot;
        if (!fetcher.Fetch(source.url)) return false;
        const bool cut = static_cast<WeatherSource>(source.variant) == WeatherSource::Usa
                             ? ExtractWeatherUsa(g_transferBuffer, weather, lists, source.code, slot)
                             : ExtractWeatherEurope(g_transferBuffer, weather, lists, source.code, slot);
        if (!cut) return false;
        slots.push_back(std::move(slot));
    }
    if (slots.empty()) {
        SetLastError("Weather error: no area or city code to download");
        return false;
    }
    return BuildWeatherPage(pageFile, slots, settings);
}

}  // namespace tp
