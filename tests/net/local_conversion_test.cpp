#include "net/local_conversion.h"

#include "app/globals.h"
#include "convert/address_text.h"
#include "net/fetch_url.h"
#include "platform/text_file.h"

#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

// Percent-encodes a whole address as a query value.
std::string QueryValue(std::string_view address) { return PercentEncoded(address, ":/?#[]@!$&'()*+,;=%"); }

TEST(ConversionAddress, ReadsTargetAndOption) {
    const struct {
        const char* url;
        bool isConversion;
        const char* target;
        bool inlineRefs;
    } rows[] = {
        {"http://h/cgi-bin/html2txt?url=http%3A%2F%2Fp.example%2Fa%3Fx%3D1%26y%3D2&noinlinerefs=on", true,
         "http://p.example/a?x=1&y=2", false},
        {"http://h:8080/cgi-bin/html2txt?noinlinerefs=off&url=http://p/a+b", true, "http://p/a b", true},
        {"https://h/cgi-bin/html2txt", true, "", true},
        {"http://h/cgi-bin/html2txt#frag", true, "", true},
        {"http://h/cgi-bin/html2txt?url=http%3A%2F%2Fp%2F%zz", true, "http://p/%zz", true},
        {"http://h/cgi-bin/html2txt2?url=x", false, "", true},
        {"http://h/weather/print/12345", false, "", true},
        {"http://h?url=http://p/", false, "", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        ConversionRequest request;
        ASSERT_EQ(ReadConversionAddress(row.url, request), row.isConversion);
        if (!row.isConversion) continue;
        EXPECT_EQ(request.target, row.target);
        EXPECT_EQ(request.inlineRefs, row.inlineRefs);
    }
}

class LocalConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_.Serve("/cgi-bin/html2txt", "answered by the service\n");
        server_.Serve("/page",
                      "<html><body><h1>Caf\xE9</h1><p>Read <a href=\"more.html\">more</a></p></body></html>",
                      "text/html; charset=iso-8859-1");
        server_.Get("/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page"); });
        server_.Serve("/logo.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "image/png");
    }
    // A fetch as a run with the built-in conversion on (or off) makes it.
    static bool Fetch(const std::string& url, bool localConversion = true) {
        return FetchUrl(url, FetchOptions{FetchTimeouts{}, localConversion});
    }

    // The conversion address of target on the test server.
    std::string ConversionUrl(const std::string& target, bool noInlineRefs = true) const {
        return server_.url("/cgi-bin/html2txt?url=" + QueryValue(target)) + (noInlineRefs ? "&noinlinerefs=on" : "");
    }

    bool ServiceWasAsked() const {
        for (const auto& request : server_.Requests()) {
            if (request.path == "/cgi-bin/html2txt") return true;
        }
        return false;
    }

    test::TempHome home_;
    test::HttpServer server_;
};

TEST_F(LocalConversionTest, ThePageIsFetchedDirectlyAndConverted) {
    const struct {
        const char* name;
        std::string path;
        bool noInlineRefs;
        std::string expected;
    } rows[] = {
        {"reference list", "/page", true,
         "Caf\xE9\n\nRead [1]more\n\nReferences\n\n[1] " + server_.url("/more.html") + "\n"},
        {"inline references", "/page", false, "Caf\xE9\n\nRead [1 " + server_.url("/more.html") + "]more\n"},
        {"links resolve against the address after a redirect", "/old", true,
         "Caf\xE9\n\nRead [1]more\n\nReferences\n\n[1] " + server_.url("/more.html") + "\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Fetch(ConversionUrl(server_.url(row.path), row.noInlineRefs))) << g_lastError;
        EXPECT_EQ(std::string(g_transferBuffer), row.expected);
        EXPECT_EQ(g_transferLength, row.expected.size());
        EXPECT_EQ(home_.ReadFile("download.txt"), ToTextModeBytes(row.expected));
    }
    EXPECT_FALSE(ServiceWasAsked());

    ASSERT_TRUE(Fetch(ConversionUrl(server_.url("/page")), false));
    EXPECT_STREQ(g_transferBuffer, "answered by the service\n");
}

TEST_F(LocalConversionTest, RefusalsAndFailuresNameTheRealAddress) {
    const struct {
        const char* name;
        std::string url;
        std::string errorPart;
    } rows[] = {
        {"a file address", ConversionUrl("file:///etc/passwd"), "'file:///etc/passwd' is not an http or https address"},
        {"an ftp address", ConversionUrl("ftp://example.com/"), "'ftp://example.com/' is not an http or https address"},
        {"no host", ConversionUrl("http:///page"), "'http:///page' is not an http or https address"},
        {"no url value", server_.url("/cgi-bin/html2txt?noinlinerefs=on"), "its \"url\" value is missing"},
        {"nobody listening", ConversionUrl("http://127.0.0.1:1/x"), "InternetOpenUrl Error: 7 (http://127.0.0.1:1/x)"},
        {"a picture", ConversionUrl(server_.url("/logo.png")),
         "HTML conversion error: the page is not text (Content-Type: image/png) (" + server_.url("/logo.png") + ")"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        home_.WriteFile("download.txt", "previous");
        EXPECT_FALSE(Fetch(row.url));
        EXPECT_NE(g_lastError.find(row.errorPart), std::string::npos) << g_lastError;
        EXPECT_EQ(home_.ReadFile("download.txt"), "previous");
    }
    EXPECT_FALSE(ServiceWasAsked());
}

TEST_F(LocalConversionTest, ALongPageKeepsTheCapacityOfText) {
    std::string page;
    while (page.size() < 10 * 1024 * 1024) page += "<p>A line of words and <a href=\"/x\">a link</a>.</p>\n";
    server_.Serve("/long", page, "text/html");
    ASSERT_TRUE(Fetch(ConversionUrl(server_.url("/long")))) << g_lastError;
    EXPECT_EQ(g_transferLength, kTransferCapacity);
    EXPECT_EQ(std::string(g_transferBuffer).substr(0, 40), "A line of words and [1]a link.\n\nA line o");
}

}  // namespace
}  // namespace tp
