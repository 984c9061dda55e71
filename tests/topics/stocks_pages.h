// Pages of the stocks topic's providers as tests serve them, and a temporary
// home whose stocks addresses point at a local server.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "topics/stocks.h"
#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"

namespace tp::test {

inline const std::string kRatesTagText = "<td><font face=\"Verdana\" size=\"-1\">";

// A history page of `rows` rows of four cells, oldest first: row k (1 to 30)
// is dated 2026-11-k and worth 1.0k, unless values or dates give its cell text.
inline std::string HistoryPage(const std::vector<std::pair<int, std::string>>& values = {},
                               const std::vector<std::pair<int, std::string>>& dates = {},
                               int rows = 30) {
    std::string page = "<table>\n<tr><th>Date</th><th>Day</th><th>Rate</th><th>Inverse</th></tr>\n";
    for (int k = 1; k <= rows; ++k) {
        const std::string day = (k < 10 ? "0" : "") + std::to_string(k);
        std::string value = "1.0" + day;
        std::string date = "2026-11-" + day;
        for (const auto& [row, text] : values) {
            if (row == k) value = text;
        }
        for (const auto& [row, text] : dates) {
            if (row == k) date = text;
        }
        page += "<tr>" + kRatesTagText + date + "</font></td>" + kRatesTagText + "Mon</font></td>" +
                kRatesTagText + value + "</font></td>" + kRatesTagText + "0.97</font></td></tr>\n";
    }
    return page + "</table>\n";
}

// A converted quote page with the usual row for symbol.
inline std::string QuotePage(const std::string& symbol) {
    return "[1]Finance Home\n\n Symbol  Last Trade  Change  Volume\n [2]" + symbol +
           "  4:01PM  212.44  +1.36  +0.64%  3,871,200 \n\n[3]Chart\n";
}

// The quote card body that QuotePage gives.
inline std::string QuoteBody(const std::string& symbol) {
    return "Symbol: " + symbol +
           "<br/>Last Trade: 4:01PM ET<br/>Value: 212.44<br/>Change: +1.36 / +0.64%<br/>"
           "Volume: 3,871,200<br/>";
}

// Copies the stocks icon and template into the home and points both stocks
// addresses at server: histories at /d/<pair>/data30.html, quotes at
// /q?s=<symbol>, answered from quotes (a symbol not in it gets a 404 page).
inline void PrepareStocksTopic(const TempHome& home, HttpServer& server,
                               const std::map<std::string, std::string>& quotes) {
    for (const char* name : {"stocks.txt", "stocks.xmt"}) {
        std::string bytes;
        ASSERT_TRUE(ReadBinaryFile(SourceDataFolder() + "cfg/" + name, bytes)) << name;
        home.WriteFile(std::string("cfg/") + name, bytes);
    }
    server.Get("/q", [quotes](const httplib::Request& request, httplib::Response& response) {
        const auto found = quotes.find(request.get_param_value("s"));
        if (found == quotes.end()) {
            response.status = 404;
            response.set_content("Symbol not found\n", "text/plain");
        } else {
            response.set_content(found->second, "text/plain");
        }
    });
    ASSERT_TRUE(SetCustomString(kRatesAddress, server.url("/d/%s/data30.html")));
    ASSERT_TRUE(SetCustomString(kQuoteAddress, server.url("/q?s=%s&d=v1")));
}

}  // namespace tp::test
