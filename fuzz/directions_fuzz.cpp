// The route cutter of both planners over any fetched text: the text within its
// limit, and a well-formed card whatever the itinerary's title.
#include "topics/directions.h"
#include "fuzz/fuzz_support.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const DirectionsSource source = DirectionsSourceFor(input.ConsumeIntegralInRange(0, 1));
    const std::string title = input.ConsumeRandomLengthString(254);
    fuzz::LoadTransferBuffer(input.ConsumeRemainingBytesAsString());

    std::string text;
    if (!ExtractDirections(g_transferBuffer, source.startTag, source.bodyTag, text)) return 0;
    Require(text.size() <= kDirectionsTextMax, "route text within its limit");
    fuzz::RequireWellFormedCard(title, text);
    return 0;
}
