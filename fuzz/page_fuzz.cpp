// The template filler and the page composer: a two-pass page equals the
// one-pass fill of its template, no page passes the buffer, and a default
// template filled with cleaned pieces is a well-formed page.
#include "app/clean_text.h"
#include "topics/topic_table.h"
#include "fuzz/fuzz_support.h"
#include "pages/template_fill.h"
#include "platform/text_file.h"

#include <vector>

using namespace tp;
using tp::fuzz::Require;

namespace {

std::vector<std::string> g_defaultTemplates;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* name : {"weather", "news", "stocks", "movies", "directions", "astro", "email"}) {
        std::string bytes;
        Require(ReadBinaryFile(std::string(TIDEPOST_SOURCE_DIR "/data/cfg/") + name + ".xmt", bytes),
                "the default templates can be read");
        g_defaultTemplates.push_back(FromTextModeBytes(bytes));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto topicIndex = input.ConsumeIntegralInRange<std::size_t>(0, 6);
    const PageKind& kind = Topics()[topicIndex].page;
    const bool defaultTemplate = input.ConsumeBool();
    std::string icon = input.ConsumeRandomLengthString(200);
    std::string date = input.ConsumeRandomLengthString(60);
    std::string links;
    std::string cards;
    const int count = input.ConsumeIntegralInRange(0, 20);
    for (int id = 101; id < 101 + count; ++id) {
        const std::string title = input.ConsumeRandomLengthString(80);
        const std::string body = CleanText(input.ConsumeRandomLengthString(4000)) + "<br/>";
        AppendIndexLink(links, 51200, id, title);
        AppendCard(cards, 51200, id, title, body);
    }
    const std::size_t maxLength = input.ConsumeIntegralInRange<std::size_t>(0, 100000);
    const std::string templateText =
        defaultTemplate ? g_defaultTemplates[topicIndex] : input.ConsumeRemainingBytesAsString();
    if (defaultTemplate) {
        icon = CleanText(icon);
        date = CleanText(date);
    }

    std::string capped;
    FillTemplate(templateText, {icon, date, links, cards}, maxLength, capped);
    Require(capped.size() <= maxLength, "a fill never passes its limit");

    const bool titled = !kind.title.empty();
    const std::string_view title = kind.title;
    std::string onePass;
    std::vector<std::size_t> places;
    if (titled) {
        FillTemplate(templateText, {icon, title, date, links, cards}, onePass.max_size(), onePass, &places);
    } else {
        FillTemplate(templateText, {icon, date, links, cards}, onePass.max_size(), onePass, &places);
    }

    std::string page;
    const bool composed = ComposePage(kind, templateText, icon, date, links, cards, "t.xmt", page);
    const bool twoPass = kind.twoPass;
    if (composed) Require(page.size() < kTransferCapacity, "a page fits the buffer");
    // The second pass reads the template's own text again: its "%%" are halved
    // once more and a "%%s" becomes a place, so only a template without "%%"
    // fills the same in one pass or two.
    if (twoPass && templateText.find("%%") != std::string::npos) return 0;
    Require(composed == !(twoPass && (places.size() < 4 || places[3] == 0)),
            "only a two-pass template without the links' place fails");
    if (!composed) return 0;
    if (onePass.size() < kTransferCapacity) Require(page == onePass, "the page equals the one-pass fill", page);
    if (defaultTemplate) {
        std::string error;
        Require(test::IsWellFormedPage(page, error), "a default template gives a well-formed page", error);
    }
    return 0;
}
