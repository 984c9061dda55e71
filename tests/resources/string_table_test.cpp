#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace tp {
namespace {

const std::string kServicePrefix = "/cgi-bin/html2txt?url=";
const std::string kServiceSuffix = "&noinlinerefs=on";

std::size_t CountMarkers(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("%s"); at != std::string_view::npos; at = text.find("%s", at + 2)) {
        ++count;
    }
    return count;
}

bool IsExampleHost(std::string_view host) {
    for (std::string_view domain : {".example.com", ".example.net", ".example.org"}) {
        if (host.size() > domain.size() && host.substr(host.size() - domain.size()) == domain) {
            return true;
        }
    }
    return false;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower-case escapes are not used in the table
}

// Decodes a query value, keeping "%s" markers. Fails on anything that a query
// value may not hold unencoded.
bool DecodeQueryValue(std::string_view value, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '%') {
            if (i + 1 < value.size() && value[i + 1] == 's') {
                out += "%s";
                ++i;
                continue;
            }
            if (i + 2 >= value.size() || HexValue(value[i + 1]) < 0 || HexValue(value[i + 2]) < 0) {
                return false;
            }
            out += static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
            i += 2;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_') {
            out += c;
        } else {
            return false;
        }
    }
    return true;
}

// Splits "http://host/path" into host and path.
void SplitAddress(const std::string& address, std::string& host, std::string& path) {
    ASSERT_EQ(address.rfind("http://", 0), 0u) << address;
    const std::size_t slash = address.find('/', 7);
    ASSERT_NE(slash, std::string::npos) << address;
    host = address.substr(7, slash - 7);
    path = address.substr(slash);
}

struct WrappedAddress {
    int id;
    const char* targetPath;  // "" for the route planners, checked separately
    std::size_t markers;
};

TEST(StringTable, DefaultAddressesGoThroughTheConversionServiceWithEncodedTargets) {
    const WrappedAddress cases[] = {
        {104, "/weather/print/%s", 1},
        {130, "/%s/index_c.html", 1},
        {105, "/%s/index_c.html", 1},
        {127, "/%s/index_c.html", 1},
        {128, "/%s/index_c.html", 1},
        {129, "/%s/index_c.html", 1},
        {106, "/77/", 0},
        {107, "/news?tmpl=index&cid=738", 0},
        {108, "/news?tmpl=index&cid=755&/?u", 0},
        {109, "/2/", 0},
        {135, "/101/", 0},
        {110, "/", 0},
        {118, "/q?s=%s&d=v1", 1},
        {120, "/NowPlaying/", 0},
        {133, "/films/avenir.html", 0},
        {137, "", 4},
        {149, "", 4},
        {140, "/us/astrology/today/%sdailyhoroscope.html", 1},
    };
    std::string serviceHost;
    for (const WrappedAddress& c : cases) {
        SCOPED_TRACE(c.id);
        const std::string address(LoadStringResource(c.id));
        EXPECT_EQ(CountMarkers(address), c.markers);

        std::string host, path;
        SplitAddress(address, host, path);
        EXPECT_TRUE(IsExampleHost(host)) << host;
        if (serviceHost.empty()) serviceHost = host;
        EXPECT_EQ(host, serviceHost) << "every address uses the same conversion service";

        ASSERT_EQ(path.rfind(kServicePrefix, 0), 0u) << path;
        ASSERT_GE(path.size(), kServicePrefix.size() + kServiceSuffix.size());
        ASSERT_EQ(path.substr(path.size() - kServiceSuffix.size()), kServiceSuffix) << path;
        const std::string encoded =
            path.substr(kServicePrefix.size(), path.size() - kServicePrefix.size() - kServiceSuffix.size());
        std::string target;
        ASSERT_TRUE(DecodeQueryValue(encoded, target)) << encoded;

        std::string targetHost, targetPath;
        SplitAddress(target, targetHost, targetPath);
        EXPECT_TRUE(IsExampleHost(targetHost)) << targetHost;
        if (*c.targetPath) {
            EXPECT_EQ(targetPath, c.targetPath);
        }
    }
}

// The query keys of a decoded route planner target whose value is a marker, in order.
std::vector<std::string> MarkerKeys(int id, std::string& decodedPath) {
    const std::string address(LoadStringResource(id));
    const std::size_t start = address.find("url=") + 4;
    const std::size_t end = address.rfind(kServiceSuffix);
    std::string target;
    EXPECT_TRUE(DecodeQueryValue(address.substr(start, end - start), target));
    decodedPath = target.substr(target.find('/', 7));
    std::vector<std::string> keys;
    std::size_t at = decodedPath.find('?') + 1;
    while (at != 0 && at <= decodedPath.size()) {
        std::size_t amp = decodedPath.find('&', at);
        if (amp == std::string::npos) amp = decodedPath.size();
        const std::string item = decodedPath.substr(at, amp - at);
        if (item.size() > 3 && item.substr(item.size() - 3) == "=%s") keys.push_back(item.substr(0, item.size() - 3));
        at = amp + 1;
    }
    return keys;
}

TEST(StringTable, RoutePlannerMarkersStandInTheirQueryKeys) {
    std::string path;
    EXPECT_EQ(MarkerKeys(137, path), (std::vector<std::string>{"newaddr", "newcsz", "newtaddr", "newtcsz"}));
    EXPECT_EQ(path.rfind("/py/ddResults.py?Pyt=Tmap&", 0), 0u) << path;
    EXPECT_NE(path.find("&Get%A0Directions=Get+Directions&textonly=1"), std::string::npos) << path;

    EXPECT_EQ(MarkerKeys(149, path), (std::vector<std::string>{"newtaddr", "newtcsz", "newaddr", "newcsz"}));
    EXPECT_EQ(path.rfind("/py/lg:fr/lc:fr/ddResults.py?Pyt=Tmap&", 0), 0u) << path;
    EXPECT_NE(path.find("&newtcountry=fr&newcountry=fr&doit=1"), std::string::npos) << path;
}

TEST(StringTable, ExchangeRatesAreFetchedDirectly) {
    std::string host, path;
    SplitAddress(std::string(LoadStringResource(117)), host, path);
    EXPECT_TRUE(IsExampleHost(host)) << host;
    EXPECT_EQ(path, "/d/%s/data30.html");
}

TEST(StringTable, TagsWithHiddenCharactersAreExact) {
    struct Case {
        int id;
        std::string expected;
    };
    const Case cases[] = {
        {111, "]Photos\n\n" + std::string(5, ' ') + std::string(65, '_')},
        {121, "IMDb Rating\n" + std::string(3, ' ')},
        {173, "\n\n"},
        {150, std::string("Envoyer l'itin") + char(0xE9) + "raire"},
        {164, std::string("m") + char(0xED) + "n."},
        {165, std::string("m") + char(0xE1) + "x."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(LoadStringResource(c.id), c.expected);
    }
    const std::string_view cell = LoadStringResource(172);
    EXPECT_EQ(cell.size(), 35u);
    EXPECT_EQ(cell, R"(<td><font face="Verdana" size="-1">)");
}

TEST(StringTable, UnknownNumbersAreEmpty) {
    for (int id : {-1, 0, 100, 102, 125, 131, 132, 175, 299, 100000}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(LoadStringResource(id).empty());
    }
}

TEST(StringTable, InformationPageIsNineteenLinesWithOneVersionMarker) {
    const std::string page(LoadStringResource(kInfoPageText));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = page.find('\n'); ; end = page.find('\n', start)) {
        lines.push_back(page.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines.front(), "<Tidepost>");
    EXPECT_EQ(lines[6], "<Card ID=\"50\">");
    EXPECT_EQ(lines[13], "<br/>%s<br/>");
    EXPECT_FALSE(lines[14].empty());
    EXPECT_EQ(lines[14].find_first_of("<>&%"), std::string::npos) << "credit line is plain text";
    EXPECT_EQ(lines.back(), "</Tidepost>");
    EXPECT_EQ(CountMarkers(page), 1u);
}

TEST(StringTable, HelpTextsCarryWhatTheUserNeeds) {
    struct Case {
        int id;
        std::vector<std::string> mustHold;
    };
    const Case cases[] = {
        {kHelpZipCodes, {"the ZIP code is always a 5 digit number", "\"X - Y\"", "\"...\""}},
        {kHelpCityCodes, {"index_c.html", "\"X/Y\"", "FRXX/FRXX0076", "\"X - Y\""}},
        {kHelpStocks, {"How to add several stock symbols in the list ?\n\n", "slash characters",
                       "add \"USD/EUR\"\n"}},
        {kHelpAstro, {"button \"C\""}},
        {kHelpDirections, {"Ho do I need to enter an address ?", "\"95118\""}},
        {kHelpEmail, {"retreived", "\"emails\""}},
        {kHelpWebAddress, {"/cgi-bin/html2txt", "don't include references inline with the text",
                           "\"Convert\"", "%s"}},
        {kCodeListPrompt, {"(one code and city name per line):\n\"Code - City name\""}},
        {kRateListPrompt, {"following format \"XXX/YYY\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const std::string text(LoadStringResource(c.id));
        for (const std::string& part : c.mustHold) EXPECT_NE(text.find(part), std::string::npos) << part;
    }
}

}  // namespace
}  // namespace tp
