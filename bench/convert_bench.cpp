// The built-in HTML-to-text conversion of an 80 KB page, of pages whose
// nesting once made the parser's work grow with the square of the depth (each
// beside a flat page of the same size), and of a 500-item news feed.
#include "convert/html_to_text.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

namespace {

constexpr std::size_t kPageSize = 80 * 1024;

// A page shaped like today's news or forecast pages: a head with inline script
// and style, navigation links, paragraphs with inline markup and links, a
// table, a footer.
std::string TypicalPage() {
    std::string page = "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Forecast</title><style>";
    for (int i = 0; i < 60; ++i) page += ".c" + std::to_string(i) + " { margin: 0 4px; color: #334455; }\n";
    page += "</style><script>";
    for (int i = 0; i < 150; ++i) page += "function f" + std::to_string(i) + "(a, b) { return a < b ? a : b; }\n";
    page += "</script></head><body><header><nav><ul>";
    for (int i = 0; i < 40; ++i) {
        page += "<li class=\"nav-item\"><a href=\"/section/" + std::to_string(i) + "\">Section " + std::to_string(i) + "</a></li>";
    }
    page += "</ul></nav></header><main><article>";
    for (int i = 0; page.size() < kPageSize - 12 * 1024; ++i) {
        page += "<h2 class=\"headline\">Story number " + std::to_string(i) + "</h2>\n<p class=\"body-text\">"
                "The regional forecast calls for <b>scattered showers</b> in the morning, clearing by "
                "the afternoon with highs near 21&deg;C. Winds from the south&ndash;west at 10 to 15 km/h. "
                "<a href=\"/story/" + std::to_string(i) + "\">Read the full story</a> or see the "
                "<a href=\"https://maps.example.com/radar?r=" + std::to_string(i) + "\">radar</a>.</p>\n";
    }
    page += "</article><table class=\"days\">";
    while (page.size() < kPageSize - 1024) {
        page += "<tr><td class=\"day\">Monday</td><td>Sunny</td><td>24&deg; / 12&deg;</td><td>10 %</td></tr>\n";
    }
    page += "</table></main><footer><p>&copy; Example Weather</p></footer></body></html>";
    return page;
}

// The worst case: markup and nothing but short texts.
std::string DensePage() {
    std::string page = "<!DOCTYPE html><html><body>";
    for (int i = 0; page.size() < kPageSize; ++i) {
        page += "<div class=\"item\"><h2>Heading " + std::to_string(i) + "</h2><p>Some text with <a href=\"/link/" +
                std::to_string(i) + "\">a link</a> and &amp; entities &eacute;.</p><table><tr><td>Mon</td>"
                "<td>12&deg;</td><td>Sunny</td></tr></table><ul><li>one</li><li>two</li></ul></div>\n";
    }
    return page + "</body></html>";
}

// 200,000 elements left open, then closed by 200,000 end tags that match none
// of them (1.4 MB).
std::string Repeated(std::string_view piece, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += piece;
    return repeated;
}

std::string MismatchedEndsPage() { return Repeated("<b>", 200000) + "bottom" + Repeated("</i>", 200000); }

// End tags that a start tag could match but that the parser finds only at the
// bottom of its list, past a block: 20,000 of them under 20,000 open elements.
std::string FarEndsPage() {
    return Repeated("<li>", 20000) + "<li><div>" + Repeated("<b>", 20000) + "bottom" + Repeated("</li>", 20000);
}

// 100,000 nested blocks, properly closed.
std::string DeepBlocksPage() { return Repeated("<div>", 100000) + "bottom" + Repeated("</div>", 100000); }

// Short paragraphs of the size of page, for comparison.
std::string FlatPage(std::size_t size) {
    std::string page;
    while (page.size() < size) page += "<p>Some words</p>\n";
    return page;
}

// An RSS 2.0 feed of 500 items with HTML summaries.
std::string FeedPage() {
    std::string page = "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"2.0\"><channel>"
                       "<title>Example News</title><link>http://news.example.com/</link><description>All the news</description>";
    for (int i = 0; i < 500; ++i) {
        page += "<item><title>Headline number " + std::to_string(i) + " &amp; more</title><link>http://news.example.com/" +
                std::to_string(i) + "</link><description><![CDATA[<p>The <b>summary</b> of story " + std::to_string(i) +
                ", with <a href=\"/x\">a link</a>.</p>]]></description><pubDate>Mon, 06 Jan 2025 07:12:00 GMT</pubDate>"
                "<guid>http://news.example.com/" + std::to_string(i) + "</guid></item>\n";
    }
    return page + "</channel></rss>";
}

void Convert(benchmark::State& state, const std::string& page, std::size_t piece,
             std::size_t capacity = tp::ConvertOptions{}.capacity) {
    tp::ConvertOptions options;
    options.capacity = capacity;
    options.address = "http://www.example.com/weather/today.html";
    for (auto _ : state) {
        tp::HtmlToText converter(options);
        for (std::size_t at = 0; at < page.size(); at += piece) converter.Feed(std::string_view(page).substr(at, piece));
        std::string text = converter.Finish();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_ConvertTypical80K(benchmark::State& state) { Convert(state, TypicalPage(), kPageSize); }
// As the fetch hands it over: in pieces of 16 KB.
void BM_ConvertTypical80KInPieces(benchmark::State& state) { Convert(state, TypicalPage(), 16 * 1024); }
void BM_ConvertDense80K(benchmark::State& state) { Convert(state, DensePage(), kPageSize); }

// The whole page is read: its text never fills.
constexpr std::size_t kWholePage = 64 * 1024 * 1024;
void BM_ConvertMismatchedEnds(benchmark::State& state) {
    Convert(state, MismatchedEndsPage(), 16 * 1024, kWholePage);
}
void BM_ConvertFlatLikeMismatchedEnds(benchmark::State& state) {
    Convert(state, FlatPage(MismatchedEndsPage().size()), 16 * 1024, kWholePage);
}
void BM_ConvertFarEnds(benchmark::State& state) { Convert(state, FarEndsPage(), 16 * 1024, kWholePage); }
void BM_ConvertFlatLikeFarEnds(benchmark::State& state) {
    Convert(state, FlatPage(FarEndsPage().size()), 16 * 1024, kWholePage);
}
void BM_ConvertDeepBlocks(benchmark::State& state) { Convert(state, DeepBlocksPage(), 16 * 1024, kWholePage); }
void BM_ConvertFlatLikeDeepBlocks(benchmark::State& state) {
    Convert(state, FlatPage(DeepBlocksPage().size()), 16 * 1024, kWholePage);
}
void BM_ConvertFeed500Items(benchmark::State& state) { Convert(state, FeedPage(), 16 * 1024); }

}  // namespace

BENCHMARK(BM_ConvertTypical80K)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertTypical80KInPieces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertDense80K)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertMismatchedEnds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFlatLikeMismatchedEnds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFarEnds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFlatLikeFarEnds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertDeepBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFlatLikeDeepBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFeed500Items)->Unit(benchmark::kMicrosecond);
