// Rate histories and quotes over any fetched text, with any pair: bodies
// within their limits, cards well-formed.
#include "topics/stocks.h"
#include "fuzz/fuzz_support.h"
#include "settings/custom_store.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool quote = input.ConsumeBool();
    const int days = input.ConsumeIntegralInRange(-1, 31);
    const std::string pair = input.ConsumeBool() ? "USD/EUR" : input.ConsumeRandomLengthString(12);
    fuzz::LoadTransferBuffer(input.ConsumeRemainingBytesAsString());

    std::string body;
    if (quote) {
        if (!ExtractQuote(g_transferBuffer, GetCustomString(kQuoteTag), body)) return 0;
        Require(body.size() <= 5 * kQuoteFieldMax + 80, "quote body within its fields' limits");
        fuzz::RequireWellFormedCard("IBM", body);
    } else {
        if (!ExtractRates(g_transferBuffer, GetCustomString(kRatesTag), days, pair, body)) {
            body = FailedPairBody(g_lastError);
        }
        Require(body.size() <= kStockBodyMax + 5, "rates body within its limit");
        fuzz::RequireWellFormedCard(pair, body);
    }
    return 0;
}
