#include <algorithm>
#include <limits>
#include <vector>

#include "app/globals.h"
#include "topics/stocks.h"
#include "net/fetch_url.h"
#include "pages/page_files.h"
#include "topics/topic_table.h"
#include "pages/page_format.h"
#include "settings/custom_store.h"
#include "settings/list_value.h"

namespace tp {

namespace {

constexpr int kFirstCardId = 101;
constexpr std::string_view kBreak = "<br/>";
constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

struct StockCard {
    std::string title;
    std::string body;
};

StockCard MakeCard(std::string_view title, std::string body) {
    return {std::string(title.substr(0, kStockTitleMax)), std::move(body)};
}

// A pair always gets its card: its table, or why there is none.
StockCard RatesCard(const SourceFetch& source, const Fetcher& fetcher, std::string_view tag, int days) {
    const std::string& pair = source.code;
    std::string body;
    const bool read = CheckRatePair(pair) && fetcher.Fetch(source.url) &&
                      ExtractRates(g_transferBuffer, tag, days, pair, body);
    return MakeCard(pair, read ? std::move(body) : FailedPairBody(g_lastError));
}

// The largest content length that lets contents of these lengths share budget
// characters: shorter ones stay whole, the longest are cut to it alike.
// kUnbounded when everything fits as it is.
std::size_t FairShare(std::vector<std::size_t> lengths, std::size_t budget) {
    std::sort(lengths.begin(), lengths.end());
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const std::size_t share = budget / (lengths.size() - i);
        if (lengths[i] > share) return share;
        budget -= lengths[i];
    }
    return kUnbounded;
}

// At most limit characters of body, ending after its last whole line; a body
// without a line that fits is cut where no markup tag is left open.
std::string_view CutToLines(std::string_view body, std::size_t limit) {
    if (body.size() <= limit) return body;
    std::string_view kept = body.substr(0, limit);
    const std::size_t lineEnd = kept.rfind(kBreak);
    if (lineEnd != std::string_view::npos) return kept.substr(0, lineEnd + kBreak.size());
    const std::size_t open = kept.rfind('<');
    if (open != std::string_view::npos && kept.find('>', open) == std::string_view::npos) {
        kept = kept.substr(0, open);
    }
    return kept;
}

// The index links and cards of the page, within their capacities. Every card
// keeps its place: what does not fit is taken from the longest bodies (and,
// for the links, the longest titles).
void ComposeCards(const std::vector<StockCard>& cards, std::string& links, std::string& cardText) {
    std::size_t linkFrames = 0;
    std::size_t cardFrames = 0;
    std::vector<std::size_t> titleLengths;
    std::vector<std::size_t> bodyLengths;
    int id = kFirstCardId;
    for (const StockCard& card : cards) {
        std::string frame;
        AppendIndexLink(frame, kUnbounded, id, "");
        linkFrames += frame.size();
        frame.clear();
        AppendCard(frame, kUnbounded, id, card.title, "");
        cardFrames += frame.size();
        titleLengths.push_back(card.title.size());
        bodyLengths.push_back(card.body.size());
        ++id;
    }
    const auto room = [](std::size_t capacity, std::size_t frames) {
        return frames < capacity - 1 ? capacity - 1 - frames : 0;
    };
    const std::size_t titleLimit = FairShare(titleLengths, room(kStocksLinksCapacity, linkFrames));
    const std::size_t bodyLimit = FairShare(bodyLengths, room(kStocksCardsCapacity, cardFrames));

    id = kFirstCardId;
    for (const StockCard& card : cards) {
        AppendIndexLink(links, kStocksLinksCapacity, id, std::string_view(card.title).substr(0, titleLimit));
        AppendCard(cardText, kStocksCardsCapacity, id, card.title, CutToLines(card.body, bodyLimit));
        ++id;
    }
}

}  // namespace

TopicPlan PlanStocks(const Settings& settings) {
    const StocksSettings& stocks = settings.main.stocks;
    TopicPlan plan;
    // A pair that is no pair still takes its card, with nothing to fetch.
    for (const std::string& pair : SplitListValue(stocks.xRate)) {
        if (plan.size() == kStockSlots) return plan;
        const std::string url = CheckRatePair(pair) ? GetCustomUrl(kRatesAddress, pair) : std::string();
        plan.push_back({url, kRatesAddress, pair, static_cast<int>(StocksSource::Rates)});
    }
    for (const std::string& symbol : SplitListValue(stocks.symbols)) {
        if (plan.size() == kStockSlots) break;
        plan.push_back({GetCustomUrl(kQuoteAddress, symbol), kQuoteAddress, symbol,
                        static_cast<int>(StocksSource::Quote)});
    }
    return plan;
}

bool DownloadStocks(const Settings& settings, const TopicPlan& plan, const Fetcher& fetcher,
                    const std::string& pageFile) {
    const StocksSettings& stocks = settings.main.stocks;

    // The frame and its date line are taken first, so the date tells when the
    // topic started, and a broken template costs no fetch.
    std::string icon;
    std::string templateText;
    if (!ReadPageSources(stocks.icon, stocks.xml, icon, templateText)) return false;
    const std::string dateLine =
        FormatPageDate(settings.general.timeFormat != 0, settings.general.timeZone);
    PageFrame frame;
    if (!ComposeFrame(TopicOf(TopicId::Stocks).page, templateText, icon, dateLine, stocks.xml, frame)) return false;

    std::vector<StockCard> cards;
    const std::string ratesTag = GetCustomString(kRatesTag);
    const std::string quoteTag = GetCustomString(kQuoteTag);
    for (const SourceFetch& source : plan) {
        if (static_cast<StocksSource>(source.variant) == StocksSource::Rates) {
            cards.push_back(RatesCard(source, fetcher, ratesTag, stocks.xRateDays));
            continue;
        }
        std::string body;
        if (!fetcher.Fetch(source.url)) return false;
        if (!ExtractQuote(g_transferBuffer, quoteTag, body)) return false;
        cards.push_back(MakeCard(source.code, std::move(body)));
    }

    std::string links;
    std::string cardText;
    ComposeCards(cards, links, cardText);
    std::string page;
    return FillFrame(frame, links, cardText, page) && WritePage(pageFile, page);
}

}  // namespace tp
