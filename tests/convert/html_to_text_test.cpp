#include "convert/html_to_text.h"

#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

namespace tp {
namespace {

const std::string kGoldenFolder = TIDEPOST_SOURCE_DIR "/tests/data/html2txt/";
const char kPageAddress[] = "http://pages.example.com/news/index.html";

ConvertOptions Options(bool inlineRefs) {
    ConvertOptions options;
    options.address = kPageAddress;
    options.inlineRefs = inlineRefs;
    return options;
}

// The text converted from page when it arrives in pieces of the given size.
std::string ConvertedInPieces(std::string_view page, const ConvertOptions& options, std::size_t piece) {
    HtmlToText converter(options);
    for (std::size_t at = 0; at < page.size(); at += piece) {
        if (!converter.Feed(page.substr(at, piece))) break;
    }
    return converter.Finish();
}

// The first differing line of two texts, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected), a(actual);
    std::string el, al;
    for (int line = 1;; ++line) {
        const bool more = static_cast<bool>(std::getline(e, el));
        const bool moreActual = static_cast<bool>(std::getline(a, al));
        if (!more && !moreActual) return "texts differ only in their last line end";
        if (el != al || more != moreActual) {
            return "line " + std::to_string(line) + ":\n  expected: " + (more ? el : "(end)") +
                   "\n  actual:   " + (moreActual ? al : "(end)");
        }
    }
}

// Each page NAME.html (or feed NAME.xml) of the golden folder converts to
// NAME.txt, whole and in small pieces, and, with the addresses in the groups,
// to NAME.inline_refs.txt where there is one.
TEST(HtmlToText, GoldenPages) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kGoldenFolder)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".html" || extension == ".xml") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 19u);
    for (std::string name : names) {
        SCOPED_TRACE(name);
        std::string page;
        ASSERT_TRUE(ReadBinaryFile(kGoldenFolder + name, page));
        name.erase(name.rfind('.'));
        for (const bool inlineRefs : {false, true}) {
            const std::string textFile = kGoldenFolder + name + (inlineRefs ? ".inline_refs.txt" : ".txt");
            std::string expected;
            if (!ReadBinaryFile(textFile, expected)) {
                EXPECT_TRUE(inlineRefs) << "missing " << textFile;
                continue;
            }
            const std::string whole = ConvertHtml(page, Options(inlineRefs));
            EXPECT_EQ(whole, expected) << textFile << "\n" << FirstDifference(expected, whole);
            for (std::size_t piece : {std::size_t{1}, std::size_t{7}}) {
                EXPECT_EQ(ConvertedInPieces(page, Options(inlineRefs), piece), expected)
                    << textFile << " in pieces of " << piece;
            }
        }
    }
}

TEST(HtmlToText, CharacterSetSources) {
    // Windows-1252 bytes for "é" and "’", then the same in UTF-8.
    const std::string latin = "<p>\xE9\x92</p>";
    const std::string utf8 = "<p>\xC3\xA9\xE2\x80\x99</p>";
    const std::string metaUtf8 = "<meta charset=\"utf-8\">";
    const struct {
        const char* name;
        std::string contentType;
        std::string page;
        std::string expected;
    } rows[] = {
        {"the header wins over the meta tag", "text/html; charset=windows-1252", metaUtf8 + latin, "\xE9\x92\n"},
        {"the meta tag without a header", "text/html", metaUtf8 + utf8, "\xE9\x92\n"},
        {"a meta tag for windows-1252", "text/html", "<meta charset=\"windows-1252\">" + latin, "\xE9\x92\n"},
        {"a meta tag saying utf-16 in ASCII bytes means utf-8", "text/html", "<meta charset=\"utf-16\">" + utf8,
         "\xE9\x92\n"},
        {"the same in capitals", "text/html", "<meta charset=\"UTF-16LE\">" + utf8, "\xE9\x92\n"},
        {"the same in any case", "text/html", "<meta charset=\"Utf-16\">" + utf8, "\xE9\x92\n"},
        {"an XML declaration", "", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + latin, "\xE9\x92\n"},
        {"a byte-order mark wins over both", "text/html; charset=windows-1252", "\xEF\xBB\xBF" + utf8, "\xE9\x92\n"},
        {"undeclared utf-8 is recognised", "", utf8, "\xE9\x92\n"},
        {"plain text keeps its lines and blanks", "text/plain; charset=utf-8", "a  <b>\n\n\xC3\xA9", "a  <b>\n\n\xE9\n"},
    };
    for (const auto& row : rows) {
        ConvertOptions options;
        options.contentType = row.contentType;
        EXPECT_EQ(ConvertHtml(row.page, options), row.expected) << row.name;
    }
}

TEST(HtmlToText, HostilePagesGiveABoundedText) {
    const std::string paragraph = "<p>Some words <a href=\"/a\">link</a> here</p>\n";
    std::string tenMegabytes;
    while (tenMegabytes.size() < 10 * 1024 * 1024) tenMegabytes += paragraph;
    std::string deep, deepInline;
    for (int i = 0; i < 10000; ++i) deep += "<div><table><tr><td>";
    for (int i = 0; i < 10000; ++i) deepInline += "<b><i><a href=x>";
    deep += "bottom";
    deepInline += "bottom";

    const struct {
        const char* name;
        const std::string& page;
        const char* mustHold;
    } rows[] = {
        {"ten megabytes", tenMegabytes, "[2]link here\n"},
        {"ten thousand nested blocks and cells", deep, "bottom"},
        {"ten thousand nested inline elements and links", deepInline, "bottom"},
    };
    ConvertOptions options;
    options.capacity = 81920;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string text = ConvertedInPieces(row.page, options, 16384);
        EXPECT_LE(text.size(), options.capacity);
        EXPECT_NE(text.find(row.mustHold), std::string::npos);
        EXPECT_EQ(text.find('\0'), std::string::npos);
    }

    // A full text stops the reading long before the end of the page.
    HtmlToText converter(options);
    std::size_t fed = 0;
    while (fed < tenMegabytes.size() && converter.Feed(std::string_view(tenMegabytes).substr(fed, 16384))) fed += 16384;
    EXPECT_LT(fed, 1024u * 1024u);
    EXPECT_EQ(converter.Finish().size(), options.capacity);
}

TEST(HtmlToText, BodiesThatAreNotTextAreRefused) {
    std::string binary;
    for (int i = 0; i < 200000; ++i) binary.push_back(static_cast<char>((i * 7919 + i / 13) % 256));
    const std::string utf16 = std::string("\xFF\xFE<\0p\0>\0h\0i\0", 12);
    const struct {
        const char* contentType;
        std::string body;
        const char* refusal;  // "" when the body is converted
    } rows[] = {
        {"image/png", "\x89PNG\r\n\x1A\n", "HTML conversion error: the page is not text (Content-Type: image/png)"},
        {"application/octet-stream", "<p>text</p>",
         "HTML conversion error: the page is not text (Content-Type: application/octet-stream)"},
        {"text/html", binary, "HTML conversion error: the page is not text (Content-Type: text/html)"},
        {"", "%PDF-1.4\n%text for a while", "HTML conversion error: the page is not text (Content-Type: none)"},
        {"text/html; charset=utf-8", std::string("<p>a\0b</p>", 10),
         "HTML conversion error: the page is not text (Content-Type: text/html)"},
        {"text/html", utf16, ""},
        {"application/xhtml+xml", "<p>xhtml</p>", ""},
        {"application/rss+xml", "<rss><channel><title>t</title></channel></rss>", ""},
        {"application/json", "{\"a\": 1}", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.contentType);
        ConvertOptions options;
        options.contentType = row.contentType;
        HtmlToText converter(options);
        const bool wanting = converter.Feed(row.body);
        const std::string text = converter.Finish();
        EXPECT_EQ(converter.Refusal(), row.refusal);
        if (*row.refusal) {
            EXPECT_EQ(text, "");
            EXPECT_FALSE(wanting && row.body.size() >= 1024);
        } else {
            EXPECT_NE(text, "");
        }
    }
}

TEST(HtmlToText, ReferenceListIsCutWithTheText) {
    std::string page;
    for (int i = 0; i < 50; ++i) page += "<a href=\"/page" + std::to_string(i) + "\">Link</a> ";
    ConvertOptions options;
    options.address = "http://h/";
    const std::string full = ConvertHtml(page, options);
    EXPECT_NE(full.find("\n\nReferences\n\n[1] http://h/page0\n"), std::string::npos);
    EXPECT_TRUE(full.ends_with("[50] http://h/page49\n"));
    options.capacity = full.size() - 10;
    EXPECT_EQ(ConvertHtml(page, options), full.substr(0, options.capacity));
}

}  // namespace
}  // namespace tp
