// Both weather extractors over any fetched text: the card stays within its
// limits and makes well-formed XML.
#include "topics/weather.h"
#include "fuzz/fuzz_support.h"
#include "settings/code_lists.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool europe = input.ConsumeBool();
    WeatherSettings weather;
    weather.language = input.ConsumeIntegralInRange(0, 5);
    weather.forecastUsa = input.ConsumeIntegralInRange(1, 10);
    weather.forecastEuro = input.ConsumeIntegralInRange(1, 5);
    const CodeLists lists{{"62701 - Springfield, IL"}, {"UKXX0085 - London"}, {}};
    fuzz::LoadTransferBuffer(input.ConsumeRemainingBytesAsString());

    WeatherSlot slot;
    const bool cut = europe ? ExtractWeatherEurope(g_transferBuffer, weather, lists, "UKXX0085", slot)
                            : ExtractWeatherUsa(g_transferBuffer, weather, lists, "62701", slot);
    if (!cut) return 0;
    Require(slot.title.size() <= kWeatherTitleMax, "title within its limit");
    Require(slot.body.size() <= kWeatherBodyMax, "body within its limit");
    fuzz::RequireWellFormedCard(slot.title, slot.body);
    return 0;
}
