#include "topics/stocks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/paths.h"
#include "topics/decimal_number.h"
#include "platform/text_file.h"
#include "settings/ini_file.h"
#include "tests/topics/stocks_pages.h"
#include "tests/support/temp_home.h"

namespace tp {
namespace {

using test::HistoryPage;
using test::kRatesTagText;

const std::string kDataFolder = TIDEPOST_SOURCE_DIR "/tests/data/stocks/";

std::string ReadData(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadBinaryFile(kDataFolder + name, bytes)) << name;
    return bytes;
}

void SetOldCurrency(std::optional<std::string> symbol, std::optional<std::string> rate) {
    const std::string ini = GetIniPath();
    ASSERT_TRUE(symbol ? ini::WriteString(ini, "Stocks", "OldEuroSymb", *symbol)
                       : ini::DeleteKey(ini, "Stocks", "OldEuroSymb"));
    ASSERT_TRUE(rate ? ini::WriteString(ini, "Stocks", "OldEuroRate", *rate)
                     : ini::DeleteKey(ini, "Stocks", "OldEuroRate"));
}

TEST(DecimalNumber, ReadsTheLongestNumberAtTheStartAndZeroWithoutOne) {
    const struct {
        const char* text;
        double value;
    } rows[] = {
        {"1.0934</font>", 1.0934},
        {" \t\r\n 6.55957", 6.55957},
        {"-0.25", -0.25},
        {"+2", 2.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e3", 1000.0},
        {"2.5E-2x", 0.025},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1,2345", 1.0},
        {"1.2.3", 1.2},
        {"", 0.0},
        {"n/a", 0.0},
        {"nan", 0.0},
        {"inf", 0.0},
        {"0x1A", 0.0},
        {"-", 0.0},
        {".", 0.0},
        {"--1", 0.0},
        {"1e999", 0.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_DOUBLE_EQ(ReadDecimalNumber(row.text), row.value);
    }
}

TEST(DecimalNumber, WritesFiveDecimalsWithAPoint) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.0, "0.00000"},
        {1.0934, "1.09340"},
        {-2.5, "-2.50000"},
        {1.0934 * 6.55957, "7.17223"},
        {0.000004, "0.00000"},
        {1234567.891, "1234567.89100"},
        {1e20, "100000000000000000000.00000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(FormatFiveDecimals(row.value), row.text);
    }
    EXPECT_EQ(FormatFiveDecimals(1.7976931348623157e308).size(), 309u + 6u);
}

struct RatesCase {
    const char* name;
    const char* pair;
    int days;
    std::optional<std::string> oldSymbol;
    std::optional<std::string> oldRate;
    std::string page;
    std::string body;
};

TEST(ExtractRates, ReadsTheHistoryNewestFirstWithTheOldCurrencyForEuroPairsOnly) {
    test::TempHome home;
    const std::string plain = HistoryPage();
    const RatesCase cases[] = {
        {"three days of a pair without the euro first", "USD/EUR", 3, "FRF", "6.55957", plain,
         "USD to 1 EUR, Last 3 days<br/><br/>[2026-11-30] 1.03000 USD<br/>"
         "[2026-11-29] 1.02900 USD<br/>[2026-11-28] 1.02800 USD<br/>"},
        {"euro pair with an old currency", "EUR/USD", 2, "FRF", "6.55957", plain,
         "EUR to 1 USD, Last 2 days<br/><br/>[2026-11-30] 1.03000 EUR, 6.75636 FRF<br/>"
         "[2026-11-29] 1.02900 EUR, 6.74980 FRF<br/>"},
        {"one-character old symbol", "EUR/USD", 1, "F", "6.55957", plain,
         "EUR to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 EUR<br/>"},
        {"two characters are enough for an old symbol", "EUR/USD", 1, "FF", "6.55957", plain,
         "EUR to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 EUR, 6.75636 FF<br/>"},
        {"old rate zero", "EUR/USD", 1, "FRF", "0", plain,
         "EUR to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 EUR<br/>"},
        {"old rate not a number", "EUR/USD", 1, "FRF", "six", plain,
         "EUR to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 EUR<br/>"},
        {"old rate missing reads as 0.0", "EUR/USD", 1, "FRF", std::nullopt, plain,
         "EUR to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 EUR<br/>"},
        {"old rate with a decimal comma reads up to the comma", "EUR/USD", 1, "FRF", "6,55957", plain,
         "EUR to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 EUR, 6.18000 FRF<br/>"},
        {"long old symbol kept to 19 characters", "EUR/USD", 1, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "2",
         plain,
         "EUR to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 EUR, 2.06000 ABCDEFGHIJKLMNOPQRS<br/>"},
        {"lower-case euro is not the euro", "eur/USD", 1, "FRF", "6.55957", plain,
         "eur to 1 USD, Last 1 days<br/><br/>[2026-11-30] 1.03000 eur<br/>"},
        {"euro second is not converted", "USD/EUR", 1, "FRF", "6.55957", plain,
         "USD to 1 EUR, Last 1 days<br/><br/>[2026-11-30] 1.03000 USD<br/>"},
        {"values that are not numbers read as 0", "USD/EUR", 5, std::nullopt, std::nullopt,
         HistoryPage({{30, "n/a"}, {29, "  \n 1.5e2"}, {28, "1,2345"}, {27, "-"}, {26, "-0.5"}}),
         "USD to 1 EUR, Last 5 days<br/><br/>[2026-11-30] 0.00000 USD<br/>"
         "[2026-11-29] 150.00000 USD<br/>[2026-11-28] 1.00000 USD<br/>"
         "[2026-11-27] 0.00000 USD<br/>[2026-11-26] -0.50000 USD<br/>"},
        {"short dates end at their cell and markup characters are cleaned", "USD/EUR", 3,
         std::nullopt, std::nullopt, HistoryPage({}, {{30, "Nov 30"}, {29, "\"29\" & 30 Nov"}, {28, ""}}),
         "USD to 1 EUR, Last 3 days<br/><br/>[Nov 30] 1.03000 USD<br/>"
         "['29' - 30 ] 1.02900 USD<br/>[] 1.02800 USD<br/>"},
        {"more days than the history holds", "USD/EUR", 45, std::nullopt, std::nullopt,
         HistoryPage({{1, "9"}}), ""},
        {"the longest pair", "ABCDEFGHI/JKLMNOPQR", 1, std::nullopt, std::nullopt, plain,
         "ABCDEFGHI to 1 JKLMNOPQR, Last 1 days<br/><br/>[2026-11-30] 1.03000 ABCDEFGHI<br/>"},
        {"a recorded history", "EUR/USD", 10, std::nullopt, std::nullopt,
         ReadData("eur_usd_data30.html"), ReadData("eur_usd_10_days.body")},
        {"a recorded history, 30 days with the old currency, kept to whole lines", "EUR/USD", 30,
         "FRF", "6.55957", ReadData("eur_usd_data30.html"), ReadData("eur_usd_30_days_frf.body")},
    };
    for (const RatesCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetOldCurrency(c.oldSymbol, c.oldRate);
        std::string body;
        ASSERT_TRUE(ExtractRates(c.page.c_str(), kRatesTagText, c.days, c.pair, body)) << g_lastError;
        EXPECT_LE(body.size(), kStockBodyMax);
        if (c.days > kRateHistoryDays) {
            // Every row once, newest first, ending with the oldest.
            EXPECT_TRUE(body.starts_with("USD to 1 EUR, Last 30 days<br/><br/>[2026-11-30]")) << body;
            EXPECT_TRUE(body.ends_with("[2026-11-01] 9.00000 USD<br/>")) << body;
            std::size_t lines = 0;
            for (std::size_t at = body.find("<br/>"); at != std::string::npos; at = body.find("<br/>", at + 1)) {
                ++lines;
            }
            EXPECT_EQ(lines, 2u + 30u);
        } else {
            EXPECT_EQ(body, c.body);
        }
    }
}

TEST(ExtractRates, FailsWithoutTouchingTheBodyOnAShortHistoryOrAMalformedPair) {
    const std::string tagMissing = "HTML error: tag '" + kRatesTagText + "' not found";
    std::string lastRowCut = HistoryPage();
    lastRowCut.erase(lastRowCut.rfind(kRatesTagText));
    const struct {
        const char* name;
        std::string page;
        const char* pair;
        std::string message;
    } cases[] = {
        {"29 rows", HistoryPage({}, {}, 29), "USD/EUR", tagMissing},
        {"the last row without its fourth cell", lastRowCut, "USD/EUR", tagMissing},
        {"a page without the tag", "<html>Service unavailable</html>", "USD/EUR", tagMissing},
        {"a pair without a slash", HistoryPage(), "USDEUR",
         "Exchange rate error: 'USDEUR' is not a currency pair such as USD/EUR"},
        {"a pair without a first symbol", HistoryPage(), "/EUR",
         "Exchange rate error: '/EUR' is not a currency pair such as USD/EUR"},
        {"a pair without a second symbol", HistoryPage(), "USD/",
         "Exchange rate error: 'USD/' is not a currency pair such as USD/EUR"},
        {"three symbols", HistoryPage(), "USD/EUR/GBP",
         "Exchange rate error: 'USD/EUR/GBP' is not a currency pair such as USD/EUR"},
        {"a pair of 20 characters", HistoryPage(), "ABCDEFGHIJ/KLMNOPQRS",
         "Exchange rate error: 'ABCDEFGHIJ/KLMNOPQRS' is not a currency pair such as USD/EUR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string body = "untouched";
        EXPECT_FALSE(ExtractRates(c.page.c_str(), kRatesTagText, 10, c.pair, body));
        EXPECT_EQ(g_lastError, c.message);
        EXPECT_EQ(body, "untouched");
    }
}

TEST(ExtractQuote, FillsTheFiveLinesFromTheSixPiecesAfterTheAnchor) {
    const std::string longPiece(100, 'x');
    const std::string cut(79, 'x');
    const struct {
        const char* name;
        std::string text;
        std::string body;
    } cases[] = {
        {"the usual row",
         "Symbol  Last Trade  Change  Volume\n [5]IBM  4:01PM  212.44  +1.36  +0.64%  3,871,200 \n",
         "Symbol: IBM<br/>Last Trade: 4:01PM ET<br/>Value: 212.44<br/>Change: +1.36 / +0.64%<br/>"
         "Volume: 3,871,200<br/>"},
        {"a bracket right after the tag, line feeds inside pieces",
         "Last Trade]A  B\nC   D E F G\nH",
         "Symbol: A<br/>Last Trade: B\nC ET<br/>Value: D<br/>Change: E / F<br/>Volume: G\nH<br/>"},
        {"markup and control characters are cleaned", "Last Trade[1]<b>&\"  1\f  2  3  4  5",
         "Symbol: (b)-'<br/>Last Trade: 1  ET<br/>Value: 2<br/>Change: 3 / 4<br/>Volume: 5<br/>"},
        {"three pieces only", "Last Trade [5]IBM 4:01PM 212.44",
         "Symbol: IBM<br/>Last Trade: 4:01PM ET<br/>Value: 212.44<br/>Change: <br/>Volume: <br/>"},
        {"four pieces only", "Last Trade [5]IBM 4:01PM 212.44 +1.36   ",
         "Symbol: IBM<br/>Last Trade: 4:01PM ET<br/>Value: 212.44<br/>Change: +1.36<br/>Volume: <br/>"},
        {"no bracket after the tag", "Last Trade IBM 4:01PM",
         "Symbol: <br/>Last Trade: <br/>Value: <br/>Change: <br/>Volume: <br/>"},
        {"fields cut to 79 characters",
         "Last Trade]" + longPiece + " " + std::string(78, 'y') + " " + longPiece + " " +
             std::string(77, 'z') + " 12 " + longPiece,
         "Symbol: " + cut + "<br/>Last Trade: " + std::string(78, 'y') + " <br/>Value: " + cut +
             "<br/>Change: " + std::string(77, 'z') + " /<br/>Volume: " + cut + "<br/>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string body;
        ASSERT_TRUE(ExtractQuote(c.text.c_str(), "Last Trade", body)) << g_lastError;
        EXPECT_EQ(body, c.body);
    }
}

TEST(ExtractQuote, FailsWithoutTheTag) {
    std::string body = "untouched";
    EXPECT_FALSE(ExtractQuote("Symbol not found: XYZ\n", "Last Trade", body));
    EXPECT_EQ(g_lastError, "HTML error: tag 'Last Trade' not found");
    EXPECT_EQ(body, "untouched");
}

TEST(FailedPairBody, ShowsTheReasonCleanedOnOneLineWithinTheBodyLimit) {
    EXPECT_EQ(FailedPairBody("HTML error: tag '<td><font face=\"Verdana\">' not found"),
              "Exchange rate not available: HTML error: tag '(td)(font face='Verdana')' not found<br/>");
    const std::string longBody = FailedPairBody(std::string(2000, '&'));
    EXPECT_EQ(longBody.size(), kStockBodyMax);
    EXPECT_TRUE(longBody.ends_with("--<br/>"));
}

}  // namespace
}  // namespace tp
