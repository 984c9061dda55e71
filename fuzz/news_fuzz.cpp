// The headline cutter over any fetched text, with the tag of each source:
// items within their limits, cards well-formed.
#include "topics/news.h"
#include "fuzz/fuzz_support.h"
#include "settings/custom_store.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The tag numbers of the six sources (world, technology, sport; US and French).
    static const int kTags[] = {111, 114, 112, 136, 113, 115};
    FuzzedDataProvider input(data, size);
    const int tagNumber = kTags[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kTags) - 1)];
    const bool skipFirst = input.ConsumeBool();
    const int nbNews = input.ConsumeIntegralInRange(1, 10);
    fuzz::LoadTransferBuffer(input.ConsumeRemainingBytesAsString());

    std::vector<NewsItem> items;
    const std::size_t count = ExtractNews(g_transferBuffer, GetCustomString(tagNumber), skipFirst, nbNews, items);
    Require(count == items.size(), "the count is the number of items");
    Require(count <= 10, "never more items than asked");
    std::string links;
    std::string cards;
    int id = 102;
    for (const NewsItem& item : items) {
        AppendIndexLink(links, kNewsCategoryCapacity, id, item.title);
        AppendCard(cards, kNewsCategoryCapacity, id, item.title, item.body);
        ++id;
    }
    Require(links.size() < kNewsCategoryCapacity && cards.size() < kNewsCategoryCapacity, "texts within capacity");
    fuzz::RequireWellFormedCards(links, cards);
    return 0;
}
