// The stocks topic: one card per currency pair (a table of its recent exchange
// rates, from the provider's 30-day history page fetched directly) and one card
// per stock symbol (a five-line quote, fetched through the conversion service),
// written as the stocks page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "topics/topic_plan.h"
#include "net/fetch_url.h"
#include "settings/settings_model.h"

namespace tp {

// Cards of one page, pairs and symbols together; later ones are not fetched.
inline constexpr std::size_t kStockSlots = 50;
// Longest card title (the pair or symbol as written), in characters.
inline constexpr std::size_t kStockTitleMax = 254;
// Longest card body, in characters.
inline constexpr std::size_t kStockBodyMax = 1023;
// Longest filled field of a quote, in characters.
inline constexpr std::size_t kQuoteFieldMax = 79;
// Days a history page holds, oldest first.
inline constexpr int kRateHistoryDays = 30;
// Longest date of a history row, in characters.
inline constexpr std::size_t kRateDateMax = 10;
// Longest currency pair, in characters, "/" included.
inline constexpr std::size_t kRatePairMax = 19;
// Buffer size of the "OldEuroSymb" and "OldEuroRate" keys (19 characters kept).
inline constexpr std::size_t kOldEuroKeyBuffer = 20;
// Capacities of the page's index links and cards texts (terminating zero included).
inline constexpr std::size_t kStocksLinksCapacity = 12750;
inline constexpr std::size_t kStocksCardsCapacity = 51200;

// Customization numbers: the history address and its tag, the quote address
// and its tag.
inline constexpr int kRatesAddress = 117;
inline constexpr int kRatesTag = 172;
inline constexpr int kQuoteAddress = 118;
inline constexpr int kQuoteTag = 119;

// True when pair is two non-empty currency symbols around one "/", at most
// kRatePairMax characters in all; otherwise false with g_lastError saying so.
bool CheckRatePair(std::string_view pair);

// Reads the 30 rows of the fetched history page (zero-terminated; never read
// past its zero) and leaves in body the pair's header line and one line per
// day for the last `days` rows (1 to 30), newest first. When the pair's first
// symbol is exactly "EUR" and "OldEuroSymb" and "OldEuroRate" of the settings
// file name an old currency (read afresh here), each value is also shown in it.
// Only whole lines are kept, so the body never passes kStockBodyMax. False
// with g_lastError = "HTML error: tag '<tag>' not found" when the page has
// fewer than 4 x 30 tags, or CheckRatePair's message; body is then unchanged.
bool ExtractRates(const char* text, std::string_view tag, int days, std::string_view pair,
                  std::string& body);

// Reads the quote row that follows tag and the next "]" in the fetched text
// (zero-terminated) and leaves the five-line quote in body; each field is cut
// to kQuoteFieldMax characters, and fields the page does not have stay empty.
// False with g_lastError = "HTML error: tag '<tag>' not found"; body is then
// unchanged.
bool ExtractQuote(const char* text, std::string_view tag, std::string& body);

// The body of the card of a pair whose history could not be read: the reason,
// with markup characters cleaned, on one line of at most kStockBodyMax characters.
std::string FailedPairBody(std::string_view reason);

// The two kinds of stocks page (SourceFetch::variant).
enum class StocksSource { Rates, Quote };

// Every pair (one that is no pair has no address but keeps its card), then
// every symbol, at most kStockSlots in all.
TopicPlan PlanStocks(const Settings& settings);

// The whole topic: take the page frame and its date line, fetch and cut every
// pair of plan (a failed pair gets a card saying why, and the topic goes on),
// then every symbol (a failed symbol fails the topic: no page), and write the
// page to pageFile. Cards that would overflow the page's texts are shortened
// by whole lines, the longest first, so every card stays on the page. False
// with the reason of the step that failed.
bool DownloadStocks(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                    const std::string& pageFile);

}  // namespace tp
