#include "topics/directions.h"

#include <vector>

#include "app/paths.h"
#include "app/text_format.h"
#include "topics/scan.h"
#include "net/fetch_url.h"
#include "pages/page_files.h"
#include "topics/topic_table.h"
#include "pages/page_format.h"
#include "settings/custom_store.h"
#include "settings/ini_file.h"

namespace tp {

namespace {

constexpr std::string_view kBreak = "<br/>";
constexpr char kLineFeed = '\n';
constexpr int kFirstCardId = 101;
constexpr int kHeaderLines = 8;
// Without a body tag the body runs up to the first line that opens a link list.
constexpr std::string_view kFranceEndMarker = "[";
// Titles are read into a buffer of 255 characters.
constexpr std::size_t kTitleBuffer = kDirectionsTitleMax + 1;

// The route text, never longer than kDirectionsTextMax. Characters of a line
// are taken only while the room its closing piece needs stays free; a closing
// piece goes in whole or not at all, so markup is never cut.
class RouteText {
public:
    explicit RouteText(std::string& text) : text_(text) { text_.clear(); }

    void AppendChar(char c, std::size_t keepFree) {
        if (text_.size() + keepFree < kDirectionsTextMax) text_ += c;
    }
    void AppendPiece(std::string_view piece) {
        if (text_.size() + piece.size() <= kDirectionsTextMax) text_ += piece;
    }
    std::size_t Size() const { return text_.size(); }

private:
    std::string& text_;
};

// Copies the line from pos (cleaned) up to its line feed and steps over that;
// returns the position after it, or of the text's zero.
std::size_t CopyLine(char* text, std::size_t pos, RouteText& out, std::size_t keepFree) {
    for (; text[pos] != '\0' && text[pos] != kLineFeed; ++pos) {
        out.AppendChar(CleanChar(text, pos), keepFree);
    }
    return text[pos] == kLineFeed ? pos + 1 : pos;
}

bool IsPlainUrlByte(unsigned char c) {
    return c > ' ' && c < 0x7F && c != '#' && c != '%' && c != '+';
}

DirectionsSource RouteSource(const std::string& iniPath, int number) {
    return DirectionsSourceFor(
        ini::GetInt(iniPath, kItinerarySection, ItineraryKey(kCountryField, number), kCountryUsa));
}

struct Route {
    std::string title;
    std::string text;
};

// The address of the route of record number.
std::string RouteAddress(const std::string& iniPath, int number) {
    std::string fromAddress;
    std::string fromCity;
    std::string toAddress;
    std::string toCity;
    ReadEncodedAddressValue(ItineraryKey(kFromAddressField, number), fromAddress, iniPath);
    ReadEncodedAddressValue(ItineraryKey(kFromCityField, number), fromCity, iniPath);
    ReadEncodedAddressValue(ItineraryKey(kToAddressField, number), toAddress, iniPath);
    ReadEncodedAddressValue(ItineraryKey(kToCityField, number), toCity, iniPath);
    const DirectionsSource source = RouteSource(iniPath, number);
    return DirectionsUrl(source.address, fromAddress, fromCity, toAddress, toCity);
}

// Fetches and cuts the route of record number.
bool FetchRoute(const std::string& iniPath, const SourceFetch& fetch, const Fetcher& fetcher, Route& route) {
    const int number = fetch.variant;
    const DirectionsSource source = RouteSource(iniPath, number);
    if (!fetcher.Fetch(fetch.url)) return false;
    if (!ExtractDirections(g_transferBuffer, source.startTag, source.bodyTag, route.text)) {
        return false;
    }
    route.title = ini::GetString(iniPath, kItinerarySection, ItineraryKey(kNameField, number), "",
                                 kTitleBuffer);
    return true;
}

}  // namespace

DirectionsSource DirectionsSourceFor(int country) {
    if (country == kCountryFrance) {
        return {kDirectionsFranceAddress, kDirectionsFranceStartTag, 0};
    }
    return {kDirectionsUsaAddress, kDirectionsUsaStartTag, kDirectionsUsaBodyTag};
}

std::string EncodeAddressValue(std::string_view value) {
    std::string encoded;
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::string piece;
        char c = value[i];
        if (c == ' ') {
            piece = "%2B";
        } else if (c == ',') {
            piece = "%2C";
        } else {
            c = CleanChar(&c, 0);
            if (IsPlainUrlByte(static_cast<unsigned char>(c))) {
                piece.assign(1, c);
            } else {
                piece = Format("%%25%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            }
        }
        if (encoded.size() + piece.size() > kEncodedAddressMax) break;
        encoded += piece;
    }
    return encoded;
}

void ReadEncodedAddressValue(std::string_view key, std::string& out, const std::string& iniPath) {
    out = EncodeAddressValue(
        ini::GetString(iniPath, kItinerarySection, key, "", ini::kMaxValueLength + 1));
}

std::string DirectionsUrl(int addressNumber, std::string_view fromAddress,
                          std::string_view fromCity, std::string_view toAddress,
                          std::string_view toCity) {
    std::string url = GetCustomUrl(addressNumber, fromAddress);
    url = InsertParameter(url, fromCity);
    url = InsertParameter(url, toAddress);
    return InsertParameter(url, toCity);
}

bool ExtractDirections(char* text, int startTagNumber, int bodyTagNumber, std::string& out) {
    const std::string startTag = GetCustomString(startTagNumber);
    std::size_t pos = FindAfterTag(text, 0, startTag);
    if (pos == kNotFound) return false;

    RouteText route(out);
    const bool paired = bodyTagNumber != 0;
    // A header line keeps room for its own end and the blank line after the header.
    const std::size_t headerKeepFree = 2 * kBreak.size();
    for (int line = 0; line < kHeaderLines; ++line) {
        pos = SkipBlanks(text, pos, true);
        if (text[pos] == '\0') break;  // the page ended inside the header
        pos = CopyLine(text, pos, route, headerKeepFree);
        route.AppendPiece(paired && line % 2 == 0 ? std::string_view(" ") : kBreak);
    }
    route.AppendPiece(kBreak);

    std::string endMarker;
    if (paired) {
        const std::string bodyTag = GetCustomString(bodyTagNumber);
        pos = FindAfterTag(text, 0, bodyTag);
        if (pos == kNotFound) return false;
        endMarker = startTag;
    } else {
        if (text[pos] != '\0') ++pos;
        endMarker = kFranceEndMarker;
    }

    while (route.Size() < kDirectionsBodyStop) {
        pos = SkipBlanks(text, pos, true);
        if (text[pos] == '\0' || MatchTag(text, pos, endMarker)) break;
        pos = CopyLine(text, pos, route, kBreak.size());
        route.AppendPiece(kBreak);
    }
    return true;
}

bool BuildDirectionsPage(const std::string& pagePath, const Settings& settings, const TopicPlan& plan,
                         const Fetcher& fetcher) {
    const DirectionsSettings& directions = settings.more.directions;
    std::string icon;
    std::string templateText;
    if (!ReadPageSources(directions.icon, directions.xml, icon, templateText)) return false;

    const std::string iniPath = GetIniPath();
    std::vector<Route> routes;
    for (const SourceFetch& fetch : plan) {
        Route route;
        if (!FetchRoute(iniPath, fetch, fetcher, route)) return false;
        routes.push_back(std::move(route));
    }

    // A card that does not fit whole is shortened; once not even a card's tags
    // fit, the cards end there, and so do their index links.
    std::string links;
    std::string cards;
    int id = kFirstCardId;
    for (const Route& route : routes) {
        const std::size_t before = cards.size();
        AppendCard(cards, kDirectionsCardsCapacity, id, route.title, route.text);
        if (cards.size() == before) break;
        AppendIndexLink(links, kDirectionsLinksCapacity, id, route.title);
        ++id;
    }

    const GeneralSettings& general = settings.general;
    const std::string dateLine = FormatPageDate(general.timeFormat != 0, general.timeZone);
    std::string page;
    if (!ComposePage(TopicOf(TopicId::Directions).page, templateText, icon, dateLine, links, cards,
                     directions.xml, page)) {
        return false;
    }
    return WritePage(pagePath, page);
}

TopicPlan PlanDirections(const Settings&) {
    const std::string iniPath = GetIniPath();
    TopicPlan plan;
    const int count = CountItineraries(iniPath);
    for (int number = 1; number <= kMaxItineraries && number <= count; ++number) {
        plan.push_back({RouteAddress(iniPath, number), RouteSource(iniPath, number).address, {}, number});
    }
    return plan;
}

bool DownloadDirections(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                        const std::string& pageFile) {
    return BuildDirectionsPage(pageFile, settings, plan, fetcher);
}

}  // namespace tp
