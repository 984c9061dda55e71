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
    // first, then an XML declaration or a <meta> one, else the bytes are guessed at.
    // "text/plain" pages are kept as they are, line by line; a type that is
    // not text is refused. RSS and Atom feeds (by type or by their first
    // element) become a headline page (feed_text.h).
    std::string contentType;
    // Links show with their reference groups; off, their text stands alone.
    bool linkGroups = true;
};

// Converts a page given piece by piece, as it arrives: the page itself is never
// held whole (a feed is, up to a few megabytes). Broken markup and any nesting
// depth give a best-effort text, in time proportional to the page's size; a
// body that is not text (by its type, its signature or its control bytes) is
// refused.
class HtmlToText {
public:
    explicit HtmlToText(ConvertOptions options);
    ~HtmlToText();
    HtmlToText(const HtmlToText&) = delete;
    HtmlToText& operator=(const HtmlToText&) = delete;

    // Takes the next bytes of the page. False once the text is full or the
    // page is refused: the rest of the page would not change it.
    bool Feed(std::string_view bytes);
    // Ends the page; returns the text, at most options.capacity bytes in the
    // Windows Latin-1 code page ("" for a refused page).
    std::string Finish();
    // Why the page was refused ("HTML conversion error: ..."), "" when it was
    // not. Known once the first kilobyte is in, and after Finish.
    const std::string& Refusal() const;

private:
    struct Parser;
    std::unique_ptr<Parser> parser_;
};

// The whole conversion of a page held in memory ("" when it is refused).
std::string ConvertHtml(std::string_view page, const ConvertOptions& options);

}  // namespace tp
