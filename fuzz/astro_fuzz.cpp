// Horoscopes over any fetched text, and sign lists of any kind: texts within
// their limits, cards well-formed.
#include "topics/astro.h"
#include "fuzz/fuzz_support.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string signs = input.ConsumeRandomLengthString(200);
    fuzz::LoadTransferBuffer(input.ConsumeRemainingBytesAsString());

    const std::vector<std::string> names = AstroSignsToFetch(signs);
    Require(names.size() <= kAstroSlots, "no more signs than slots");
    const std::string title = names.empty() ? std::string("Leo") : AstroTitle(names.front());
    Require(title.size() <= kAstroTitleMax, "title within its limit");
    std::string horoscope;
    if (!ExtractHoroscope(g_transferBuffer, kAstroStartMarker, horoscope)) return 0;
    Require(horoscope.size() <= kAstroTextMax, "horoscope within its limit");
    fuzz::RequireWellFormedCard(title, horoscope);
    return 0;
}
