#include "tools/html2txt/conversion_service.h"

#include "tests/support/http_server.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

TEST(ConversionService, AnswersWithTheTextTheFormOrTheReason) {
    test::HttpServer server;
    server.Get("/cgi-bin/html2txt", html2txt::AnswerConversion);
    const std::string page = "<h1>Rates</h1><p>EUR <a href=\"/eur\">1.08</a></p>";
    server.Serve("/rates", page, "text/html");
    const std::string pageUrl = server.url("/rates");

    httplib::Client client("127.0.0.1", server.port());
    const struct {
        const char* name;
        std::string target;
        int status;
        std::string body;  // the whole body, or for the form a part of it
        const char* contentType;
    } rows[] = {
        {"reference list", "/cgi-bin/html2txt?url=" + httplib::detail::encode_query_param(pageUrl) + "&noinlinerefs=on",
         200, "Rates\n\nEUR [1]1.08\n\nReferences\n\n[1] " + server.url("/eur") + "\n",
         "text/plain; charset=windows-1252"},
        {"inline references", "/cgi-bin/html2txt?url=" + httplib::detail::encode_query_param(pageUrl), 200,
         "Rates\n\nEUR [1 " + server.url("/eur") + "]1.08\n", "text/plain; charset=windows-1252"},
        {"form page", "/cgi-bin/html2txt", 200, "name=\"noinlinerefs\"> don't include references inline with the text",
         "text/html; charset=utf-8"},
        {"not a web address", "/cgi-bin/html2txt?url=file%3A%2F%2F%2Fetc%2Fpasswd", 400,
         "HTML conversion error: 'file:///etc/passwd' is not an http or https address\n",
         "text/plain; charset=windows-1252"},
        {"page out of reach", "/cgi-bin/html2txt?url=http%3A%2F%2F127.0.0.1%3A1%2F", 502,
         "InternetOpenUrl Error: 7 (http://127.0.0.1:1/)\n", "text/plain; charset=windows-1252"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const httplib::Result result = client.Get(row.target);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, row.status);
        EXPECT_EQ(result->get_header_value("Content-Type"), row.contentType);
        if (row.status == 200 && std::string(row.contentType).starts_with("text/html")) {
            EXPECT_NE(result->body.find(row.body), std::string::npos) << result->body;
            EXPECT_NE(result->body.find("value=\"Convert\""), std::string::npos);
        } else {
            EXPECT_EQ(result->body, row.body);
        }
    }
}

}  // namespace
}  // namespace tp
