#include "topics/stocks.h"

#include <algorithm>
#include <array>

#include "app/clean_text.h"
#include "app/globals.h"
#include "app/paths.h"
#include "topics/decimal_number.h"
#include "topics/scan.h"
#include "settings/ini_file.h"

namespace tp {

namespace {

constexpr std::string_view kBreak = "<br/>";
constexpr std::string_view kEuro = "EUR";
constexpr char kBlank = ' ';
constexpr int kQuotePieces = 6;

struct RateRow {
    std::string date;
    double value = 0.0;
};

// Old national currency shown beside euro rates. The user sets it with a text
// editor only; it is read at every extraction and never written back.
struct OldEuroConversion {
    std::string symbol;
    double rate = 0.0;
    bool on = false;
};

OldEuroConversion ReadOldEuroConversion() {
    const std::string ini = GetIniPath();
    OldEuroConversion conversion;
    conversion.symbol = ini::GetString(ini, "Stocks", "OldEuroSymb", "", kOldEuroKeyBuffer);
    if (conversion.symbol.size() >= 2) {
        const std::string rate = ini::GetString(ini, "Stocks", "OldEuroRate", "0.0", kOldEuroKeyBuffer);
        conversion.rate = ReadDecimalNumber(rate.c_str());
        conversion.on = conversion.rate != 0.0;
    }
    return conversion;
}

// The date cell's text: up to kRateDateMax characters, ending early at the
// cell's closing markup so no tag reaches the page, with markup characters
// cleaned.
std::string ReadRateDate(const char* text, std::size_t pos) {
    std::string date;
    for (; date.size() < kRateDateMax && text[pos] != '\0' && text[pos] != '<'; ++pos) {
        date += text[pos];
    }
    for (std::size_t i = 0; i < date.size(); ++i) CleanChar(date.data(), i);
    return date;
}

// Each row is four tagged cells: the date, one that is not used, the value, and
// one more; the next row's search starts after the fourth.
bool ReadRateRows(const char* text, std::string_view tag, std::array<RateRow, kRateHistoryDays>& rows) {
    std::size_t pos = 0;
    const auto nextCell = [&]() {
        pos = FindAfterTag(text, pos, tag);
        return pos != kNotFound;
    };
    for (RateRow& row : rows) {
        if (!nextCell()) return false;
        row.date = ReadRateDate(text, pos);
        if (!nextCell() || !nextCell()) return false;
        row.value = ReadDecimalNumber(text + pos);
        if (!nextCell()) return false;
    }
    return true;
}

std::string_view Cut(std::string_view text, std::size_t limit) { return text.substr(0, limit); }

}  // namespace

bool CheckRatePair(std::string_view pair) {
    const std::size_t slash = pair.find('/');
    const bool twoSymbols = slash != std::string_view::npos && slash > 0 && slash + 1 < pair.size() &&
                            pair.find('/', slash + 1) == std::string_view::npos;
    if (twoSymbols && pair.size() <= kRatePairMax) return true;
    SetLastErrorF("Exchange rate error: '%s' is not a currency pair such as USD/EUR",
                  std::string(Cut(pair, kStockTitleMax)).c_str());
    return false;
}

bool ExtractRates(const char* text, std::string_view tag, int days, std::string_view pair,
                  std::string& body) {
    if (!CheckRatePair(pair)) return false;
    std::array<RateRow, kRateHistoryDays> rows;
    if (!ReadRateRows(text, tag, rows)) return false;

    const std::size_t slash = pair.find('/');
    // The pair and the old currency's symbol are the user's text.
    const std::string first = CleanText(pair.substr(0, slash));
    const std::string second = CleanText(pair.substr(slash + 1));
    const int shown = std::clamp(days, 0, kRateHistoryDays);
    const OldEuroConversion conversion = first == kEuro ? ReadOldEuroConversion() : OldEuroConversion{};

    std::string table = first + " to 1 " + second + ", Last " + std::to_string(shown) + " days<br/><br/>";
    // Newest first; a day that would pass the body's limit ends the table, so
    // no line is cut in half.
    for (int day = kRateHistoryDays - 1; day >= kRateHistoryDays - shown; --day) {
        const RateRow& row = rows[static_cast<std::size_t>(day)];
        std::string line = "[" + row.date + "] " + FormatFiveDecimals(row.value) + " " + first;
        if (conversion.on) {
            line += ", " + FormatFiveDecimals(row.value * conversion.rate) + " " +
                    CleanText(conversion.symbol);
        }
        line += kBreak;
        if (table.size() + line.size() > kStockBodyMax) break;
        table += line;
    }
    body = std::move(table);
    return true;
}

bool ExtractQuote(const char* text, std::string_view tag, std::string& body) {
    std::size_t pos = FindAfterTag(text, 0, tag);
    if (pos == kNotFound) return false;
    pos = AnchorAfterBracket(text, pos);

    // Only the blank separates pieces; a line feed belongs to the piece it is in.
    std::array<std::string_view, kQuotePieces> pieces{};
    for (std::string_view& piece : pieces) {
        while (text[pos] == kBlank) ++pos;
        const std::size_t start = pos;
        while (text[pos] != '\0' && text[pos] != kBlank) ++pos;
        piece = std::string_view(text + start, pos - start);
    }
    const auto field = [](std::string_view value) { return CleanText(Cut(value, kQuoteFieldMax)); };
    const auto joined = [](std::string_view value, std::string_view suffix) {
        return value.empty() ? std::string() : std::string(value) + std::string(suffix);
    };
    const std::string change =
        pieces[4].empty() ? std::string(pieces[3]) : joined(pieces[3], " / ") + std::string(pieces[4]);

    body = "Symbol: " + field(pieces[0]) + "<br/>Last Trade: " + field(joined(pieces[1], " ET")) +
           "<br/>Value: " + field(pieces[2]) + "<br/>Change: " + field(change) +
           "<br/>Volume: " + field(pieces[5]) + "<br/>";
    return true;
}

std::string FailedPairBody(std::string_view reason) {
    constexpr std::string_view kLead = "Exchange rate not available: ";
    std::string body(kLead);
    body += Cut(reason, kStockBodyMax - kLead.size() - kBreak.size());
    for (std::size_t i = kLead.size(); i < body.size(); ++i) CleanChar(body.data(), i);
    body += kBreak;
    return body;
}

}  // namespace tp
