// libFuzzer target of the built-in HTML-to-text conversion. The first bytes of
// an input choose the options and the size of the pieces in which the rest,
// the page, is fed; every text must keep within its capacity and hold no
// zero byte, whatever the page.
#include "convert/html_to_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static constexpr const char* kContentTypes[] = {"", "text/html; charset=utf-8", "text/html; charset=windows-1252",
                                                    "text/html; charset=shift_jis", "text/plain", "text/html; charset=x-bogus"};
    static constexpr std::size_t kCapacities[] = {81920, 300, 1, 4096};
    const unsigned choice = data[0];
    tp::ConvertOptions options;
    options.inlineRefs = (choice & 1) != 0;
    options.contentType = kContentTypes[(choice >> 1) % 6];
    options.capacity = kCapacities[(choice >> 4) % 4];
    options.address = (choice & 0x40) ? "http://fuzz.example/a/b.html" : "";
    const std::size_t piece = 1 + data[1] % 64 * 97;
    const std::string_view page(reinterpret_cast<const char*>(data + 2), size - 2);

    tp::HtmlToText converter(options);
    for (std::size_t at = 0; at < page.size(); at += piece) {
        if (!converter.Feed(page.substr(at, piece))) break;
    }
    const std::string text = converter.Finish();
    if (text.size() > options.capacity || text.find('\0') != std::string::npos) std::abort();
    return 0;
}
