// The built-in HTML-to-text conversion: a web page in, the plain text that the
// extractors search in out (see text_layout.h for its layout).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tp {

struct ConvertOptions {
    // Bytes of text kept; the conversion stops reading the page once they are full.
    std::size_t capacity = 81920;
    // Reference groups hold their addresses and no list follows the text.
    bool inlineRefs = false;
    // The page's own address: relative link addresses are resolved against it
    // (or against the page's <base href>).
    std::string address;
    // The Content-Type the server sent ("" when none): its charset comes
    // first, then a <meta> declaration, else the bytes are guessed at.
    // "text/plain" pages are kept as they are, line by line.
    std::string contentType;
};

// Converts a page given piece by piece, as it arrives: the page itself is never
// held whole. Broken markup, any nesting depth and binary data give a best-effort
// text; nothing fails.
class HtmlToText {
public:
    explicit HtmlToText(ConvertOptions options);
    ~HtmlToText();
    HtmlToText(const HtmlToText&) = delete;
    HtmlToText& operator=(const HtmlToText&) = delete;

    // Takes the next bytes of the page. False once the text is full: the rest
    // of the page would not change it.
    bool Feed(std::string_view bytes);
    // Ends the page; returns the text, at most options.capacity bytes in the
    // Windows Latin-1 code page.
    std::string Finish();

private:
    struct Parser;
    std::unique_ptr<Parser> parser_;
};

// The whole conversion of a page held in memory.
std::string ConvertHtml(std::string_view page, const ConvertOptions& options);

}  // namespace tp
