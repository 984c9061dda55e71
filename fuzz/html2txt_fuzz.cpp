// libFuzzer target of the built-in HTML-to-text conversion, news feeds
// included. The first bytes of an input choose the options, the size of the
// pieces in which the rest, the page, is fed, and whether the page is opened
// as a feed (so that the feed reader is reached from the first runs on);
// every text must keep within its capacity and hold no zero byte, and a
// refused page gives no text, whatever the page.
#include "convert/html_to_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    static constexpr const char* kContentTypes[] = {
        "",           "text/html; charset=utf-8", "text/html; charset=windows-1252", "text/html; charset=shift_jis",
        "text/plain", "text/html; charset=x-bogus", "application/rss+xml", "application/atom+xml; charset=utf-8",
        "text/xml",   "image/png"};
    static constexpr std::size_t kCapacities[] = {81920, 300, 1, 4096};
    static constexpr const char* kFeedOpenings[] = {"", "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>",
                                                    "<rdf:RDF xmlns:rdf=\"x\"><channel>", "<feed xmlns=\"x\">"};
    const unsigned choice = data[0];
    tp::ConvertOptions options;
    options.inlineRefs = (choice & 1) != 0;
    options.contentType = kContentTypes[data[2] % 10];
    options.capacity = kCapacities[(choice >> 4) % 4];
    options.address = (choice & 0x40) ? "http://fuzz.example/a/b.html" : "";
    options.linkGroups = (choice & 0x80) == 0;
    const std::size_t piece = 1 + data[1] % 64 * 97;
    std::string page = kFeedOpenings[(choice >> 1) % 4];
    page.append(reinterpret_cast<const char*>(data + 3), size - 3);

    tp::HtmlToText converter(options);
    for (std::size_t at = 0; at < page.size(); at += piece) {
        if (!converter.Feed(std::string_view(page).substr(at, piece))) break;
    }
    const std::string text = converter.Finish();
    if (text.size() > options.capacity || text.find('\0') != std::string::npos) std::abort();
    if (!converter.Refusal().empty() && !text.empty()) std::abort();
    return 0;
}
