// The sample provider's routing, its customization lines and its answers over
// HTTP. The recorded pages themselves are checked in recorded_pages_test.cpp.
#include "tools/sample_provider/sample_provider.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <sstream>
#include <string>

#include "resources/string_table.h"
#include "tests/support/running_provider.h"

namespace tp::sample {
namespace {

TEST(RouteTable, TargetsFindTheirRecordedPages) {
    RouteTable table;
    std::string error;
    ASSERT_TRUE(table.Parse("# comment\n"
                            "weather.example.com  /weather/print/*   weather/us/*.txt\n"
                            "\n"
                            "uk.forecast.example.org /*/*/index_c.html weather/en/*_*.txt  # UK\n"
                            "news.example.com /news?tmpl=index&cid=* news/*.txt\n"
                            "* /d/*/*/data30.html rates/*_*.html\n"
                            "* /q/*-*-*.html pairs/*_*_*.txt\n",
                            error))
        << error;
    struct Case {
        const char* host;
        std::string path;
        const char* page;  // nullptr: no route
    };
    const Case cases[] = {
        {"weather.example.com", "/weather/print/10001", "weather/us/10001.txt"},
        {"WEATHER.example.com", "/weather/print/10001", "weather/us/10001.txt"},
        {"uk.forecast.example.org", "/UKXX/UKXX0085/index_c.html", "weather/en/UKXX_UKXX0085.txt"},
        {"news.example.com", "/news?tmpl=index&cid=738", "news/738.txt"},
        {"", "/d/USD/EUR/data30.html", "rates/USD_EUR.html"},
        {"anything.example", "/d/USD/EUR/data30.html", "rates/USD_EUR.html"},
        {"fr.forecast.example.org", "/UKXX/UKXX0085/index_c.html", nullptr},
        {"weather.example.com", "/weather/print/", nullptr},
        {"weather.example.com", "/weather/print/1/2", nullptr},
        {"weather.example.com", "/weather/print/..", nullptr},
        {"uk.forecast.example.org", "/../etc/index_c.html", nullptr},
        {"uk.forecast.example.org", "/UKXX0085/index_c.html", nullptr},
        {"", "/q/a-b-c-d.html", "pairs/a-b_c_d.txt"},
        // A long target that almost matches is turned down without trying
        // every way of cutting it into pieces.
        {"", "/q/" + std::string(20000, '-') + ".htm", nullptr},
        {"", "/q/" + std::string(20000, '-') + "/x.html", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host) + c.path.substr(0, 40));
        const std::optional<std::string> page = table.Find(c.host, c.path);
        if (c.page) {
            ASSERT_TRUE(page.has_value());
            EXPECT_EQ(*page, c.page);
        } else {
            EXPECT_FALSE(page.has_value()) << *page;
        }
    }
}

TEST(RouteTable, MalformedLinesAreReportedWithTheirNumber) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"a /b c\nhost /path\n", "line 2: expected host, path and page file"},
        {"a /b c d\n", "line 1: expected host, path and page file"},
        {"a /*/* page/*.txt\n", "line 1: path and page file differ in their \"*\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RouteTable table;
        std::string error;
        EXPECT_FALSE(table.Parse(c.text, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(SampleProvider, TargetAddressesAreSplitIntoHostAndPath) {
    struct Case {
        const char* url;
        const char* host;  // nullptr: refused
        const char* path;
    };
    const Case cases[] = {
        {"http://Weather.Example.com:8080/weather/print/10001", "weather.example.com",
         "/weather/print/10001"},
        {"http://news.example.com/news?tmpl=index&cid=738", "news.example.com",
         "/news?tmpl=index&cid=738"},
        {"http://host.example", "host.example", "/"},
        {"http://host.example?q=1", "host.example", "/?q=1"},
        {"host.example/path", nullptr, nullptr},
        {"http:///path", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const std::optional<Target> target = SplitTarget(c.url);
        ASSERT_EQ(target.has_value(), c.host != nullptr);
        if (!target) continue;
        EXPECT_EQ(target->host, c.host);
        EXPECT_EQ(target->path, c.path);
    }
}

TEST(SampleProvider, CustomizationSendsEveryAddressToTheProvider) {
    const std::string lines = CustomizationLines(8123);
    std::istringstream stream(lines);
    std::string line;
    int count = 0;
    while (std::getline(stream, line)) {
        SCOPED_TRACE(line);
        ++count;
        const int number = std::stoi(line.substr(6, 3));
        const std::string original(LoadStringResource(number));
        EXPECT_EQ(line.substr(0, 10), "String" + line.substr(6, 3) + "=");
        EXPECT_TRUE(line.substr(10).starts_with("http://127.0.0.1:8123/"));
        // Everything after the host is the default address unchanged.
        EXPECT_EQ(line.substr(line.find('/', 17)), original.substr(original.find('/', 7)));
    }
    // Five weather editions, the US forecast, six news sources, quotes, rates,
    // two film sources, two route planners and the horoscopes.
    EXPECT_EQ(count, 19);
    EXPECT_NE(lines.find("String104=http://127.0.0.1:8123/cgi-bin/html2txt?url=http%3A%2F%2F"),
              std::string::npos);
}

TEST(SampleProvider, UnknownPagesAndBadRequestsAreRefused) {
    test::RunningProvider running;
    httplib::Client client("127.0.0.1", running.port());
    struct Case {
        const char* target;
        int status;
        const char* bodyStart;
    };
    const Case cases[] = {
        {"/cgi-bin/html2txt?url=http%3A%2F%2Fweather.example.com%2Fweather%2Fprint%2F10001&noinlinerefs=on",
         200, "[1]Weather Example"},
        {"/cgi-bin/html2txt?url=http%3A%2F%2Fweather.example.com%2Fweather%2Fprint%2F00000&noinlinerefs=on",
         404, "Recorded page weather/us/00000.txt is missing"},
        {"/cgi-bin/html2txt?url=http%3A%2F%2Fnowhere.example%2F&noinlinerefs=on", 404,
         "No recorded page for nowhere.example/"},
        {"/cgi-bin/html2txt?noinlinerefs=on", 400, "Expected url="},
        {"/some/page.html", 404, "No recorded page for /some/page.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const httplib::Result result = client.Get(c.target);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        EXPECT_TRUE(result->body.starts_with(c.bodyStart)) << result->body;
    }
}

}  // namespace
}  // namespace tp::sample
