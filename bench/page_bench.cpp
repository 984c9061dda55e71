// Composing a full page: 50 cards and their index links through a two-pass template.
#include "topics/topic_table.h"
#include "pages/page_format.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char kTemplate[] =
    "<Tidepost>\n<Icon><Data>%s</Data>\n</Icon>\n<IndexCard>\n<Header>\n<Title>%s</Title>\n"
    "<SubTitle>%s</SubTitle>\n</Header>\n<Body>\n<Text><p>\n%s</p></Text>\n</Body>\n"
    "</IndexCard>\n%s</Tidepost>\n";

void BM_ComposePageWithFiftyCards(benchmark::State& state) {
    const std::string body(800, 'x');
    for (auto _ : state) {
        std::string links;
        std::string cards;
        for (int i = 0; i < 50; ++i) {
            const std::string title = "Card " + std::to_string(101 + i);
            tp::AppendIndexLink(links, 12750, 101 + i, title);
            tp::AppendCard(cards, 51200 * 2, 101 + i, title, body);
        }
        std::string page;
        tp::ComposePage(tp::TopicOf(tp::TopicId::Stocks).page, kTemplate, "EBAAAAAAf/4AAAAAf/AAAA==",
                        "Mon Jan 7, 09h05 (Local Time)", links, cards, "stocks.xmt", page);
        benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK(BM_ComposePageWithFiftyCards);

}  // namespace
