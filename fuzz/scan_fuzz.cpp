// The scanning primitives against a plain reference: every position handed
// back lies within the text, and a miss stays a miss.
#include "app/clean_text.h"
#include "topics/scan.h"
#include "fuzz/fuzz_support.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string tag = input.ConsumeRandomLengthString(64);
    const bool miss = input.ConsumeBool();
    const std::size_t wanted = input.ConsumeIntegral<std::size_t>();
    const std::size_t length = fuzz::LoadTransferBuffer(input.ConsumeRemainingBytesAsString());
    const char* text = g_transferBuffer;
    const std::string_view view(text, length);
    const std::size_t pos = miss ? kNotFound : wanted % (length + 1);
    const auto within = [&](std::size_t result) { return pos == kNotFound ? result == kNotFound : result <= length; };

    const std::size_t found = FindTag(text, pos, tag);
    std::size_t expected = kNotFound;
    if (pos != kNotFound) expected = tag.empty() ? pos : view.find(tag, pos);
    if (expected == std::string_view::npos) expected = kNotFound;
    Require(found == expected, "FindTag finds what a plain search finds");
    Require(found == kNotFound || MatchTag(text, found, tag), "FindTag's result matches");
    const std::size_t after = FindAfterTag(text, pos, tag);
    Require(after == (found == kNotFound ? kNotFound : found + tag.size()), "FindAfterTag follows FindTag");
    Require(after == kNotFound || after <= length, "FindAfterTag stays in the text");

    Require(within(SkipBlanks(text, pos)), "SkipBlanks stays in the text");
    Require(within(SkipBlanks(text, pos, true)), "SkipBlanks over lines stays in the text");
    Require(within(SkipLinkMarker(text, pos)), "SkipLinkMarker stays in the text");
    Require(within(AnchorAfterBracket(text, pos)), "AnchorAfterBracket stays in the text");
    Require(within(EndOfLine(text, pos)), "EndOfLine stays in the text");
    Require(within(StepForward(text, pos, wanted % 100000)), "StepForward stays in the text");

    const std::string cleaned = CleanText(tag);
    Require(cleaned.size() == tag.size(), "cleaning keeps the length");
    for (const char c : cleaned) {
        const auto byte = static_cast<unsigned char>(c);
        Require(c != '<' && c != '>' && c != '&' && c != '"', "no markup character survives cleaning");
        Require(byte >= 0x20 || c == '\t' || c == '\n' || c == '\r', "no control character survives cleaning");
    }
    for (std::size_t i = 0; i < length; ++i) CleanChar(g_transferBuffer, i);
    Require(std::strlen(text) == length, "cleaning never ends the text early");
    return 0;
}
