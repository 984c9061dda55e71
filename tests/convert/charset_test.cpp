#include "convert/charset.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

TEST(Charset, DeclaredSets) {
    const struct {
        const char* contentType;
        const char* expected;
    } headers[] = {
        {"text/html; charset=UTF-8", "UTF-8"},
        {"text/html;charset=\"windows-1252\"", "windows-1252"},
        {"text/html; Charset = iso-8859-1 ; q=1", "iso-8859-1"},
        {"text/html", ""},
        {"charset=utf-8", ""},  // a parameter needs a media type before it
    };
    for (const auto& row : headers) {
        EXPECT_EQ(CharsetFromContentType(row.contentType), row.expected) << row.contentType;
    }
    const struct {
        const char* head;
        const char* expected;
    } metas[] = {
        {"<html><head><meta charset=\"utf-8\">", "utf-8"},
        {"<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=ISO-8859-15'>", "ISO-8859-15"},
        {"<meta content=\"text/html; charset=koi8-r\" http-equiv=\"content-type\">", "koi8-r"},
        {"<meta name=\"description\" content=\"charset=utf-8 is not a declaration\">", ""},
        {"<!-- <meta charset=\"big5\"> --><meta charset=latin1>", "latin1"},
        {"<metadata charset=\"utf-8\">", ""},
        {"<meta charset=\"unterminated", ""},
    };
    for (const auto& row : metas) {
        EXPECT_EQ(CharsetFromMeta(row.head), row.expected) << row.head;
    }
}

std::string Decoded(const char* label, std::string_view bytes, std::size_t piece) {
    Utf8Decoder decoder(label);
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); at += piece) decoder.Decode(bytes.substr(at, piece), out);
    decoder.Finish(out);
    return out;
}

TEST(Charset, DecodesToUtf8InAnyPieces) {
    const struct {
        const char* name;
        const char* label;
        std::string bytes;
        std::string expected;
    } rows[] = {
        {"utf-8 kept", "utf-8", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"broken utf-8 becomes U+FFFD", "UTF-8", "a\xC3(b\xED\xA0\x80", "a\xEF\xBF\xBD(b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"unfinished character at the end", "utf-8", "ab\xE2\x82", "ab\xEF\xBF\xBD"},
        {"zero byte", "utf-8", std::string("a\0b", 3), "a\xEF\xBF\xBD" "b"},
        {"windows-1252 quotes and euro", "windows-1252", "\x93x\x94 \x80 \xE9", "\xE2\x80\x9Cx\xE2\x80\x9D \xE2\x82\xAC \xC3\xA9"},
        {"latin1 is read as windows-1252", "ISO-8859-1", "\x92", "\xE2\x80\x99"},
        {"other sets through iconv", "iso-8859-15", "\xA4", "\xE2\x82\xAC"},
        {"guess: utf-8 while it is utf-8", "", "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
        {"guess: windows-1252 from the first stray byte", "", "\xC3\xA9 then \xE9t\xE9", "\xC3\xA9 then \xC3\xA9t\xC3\xA9"},
        {"unknown label guesses", "x-no-such-set", "\xE9", "\xC3\xA9"},
        {"overlong and out-of-range utf-8", "utf-8", "\xC0\xAFx\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"shift_jis through iconv, split characters", "shift_jis", "\x82\xA0\x82\xA2", "\xE3\x81\x82\xE3\x81\x84"},
        {"utf-16le through iconv", "utf-16le", std::string("\xE9\x00\xAC\x20", 4), "\xC3\xA9\xE2\x82\xAC"},
    };
    for (const auto& row : rows) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{1000}}) {
            EXPECT_EQ(Decoded(row.label, row.bytes, piece), row.expected) << row.name << ", pieces of " << piece;
        }
        // Two pieces, split at every byte.
        for (std::size_t split = 1; split < row.bytes.size(); ++split) {
            Utf8Decoder decoder(row.label);
            std::string out;
            decoder.Decode(std::string_view(row.bytes).substr(0, split), out);
            decoder.Decode(std::string_view(row.bytes).substr(split), out);
            decoder.Finish(out);
            EXPECT_EQ(out, row.expected) << row.name << ", split at " << split;
        }
    }
}

TEST(Charset, Windows1252Bytes) {
    const struct {
        char32_t codePoint;
        int byte;
    } rows[] = {{U'A', 'A'}, {0xE9, 0xE9}, {0x20AC, 0x80}, {0x2019, 0x92}, {0x0178, 0x9F},
                {0x96, 0x96}, {0x81, -1},  {0x3042, -1},  {0x1F600, -1}};
    for (const auto& row : rows) {
        EXPECT_EQ(Windows1252FromCodePoint(row.codePoint), row.byte) << std::hex << static_cast<unsigned>(row.codePoint);
    }
}

}  // namespace
}  // namespace tp
