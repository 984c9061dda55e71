// Character sets of fetched web pages: finding a page's declared set, turning
// its bytes into UTF-8 as they arrive, and the Windows Latin-1 code page in
// which the program keeps every text.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tp {

// The "charset" parameter of a Content-Type value, without quotes ("" when none).
std::string CharsetFromContentType(std::string_view contentType);

// The character set a page names in a <meta> element among its first bytes
// (charset="..." or http-equiv content="...; charset=..."), "" when none.
// Comments are passed over; the first declaration wins.
std::string CharsetFromMeta(std::string_view head);

// The encoding an XML declaration at the very start of head names
// (<?xml version="1.0" encoding="..."?>), "" when none.
std::string CharsetFromXmlDeclaration(std::string_view head);

// Turns the bytes of a page into UTF-8, chunk by chunk: a character split
// between two chunks is completed by the next one. Known sets are UTF-8 and
// Windows-1252 (which, as browsers do, also stands for ISO-8859-1 and ASCII);
// any other label the system's iconv knows is converted by iconv. An unknown
// or empty label means "guess": UTF-8 until the first byte sequence that is not
// UTF-8, Windows-1252 from there on. Bytes that do not decode, zero bytes and
// an unfinished character at the end become U+FFFD.
class Utf8Decoder {
public:
    explicit Utf8Decoder(std::string_view label);
    ~Utf8Decoder();
    Utf8Decoder(const Utf8Decoder&) = delete;
    Utf8Decoder& operator=(const Utf8Decoder&) = delete;

    // Appends the UTF-8 of bytes to out.
    void Decode(std::string_view bytes, std::string& out);
    // Appends what an unfinished character at the end leaves.
    void Finish(std::string& out);

private:
    enum class Mode { Guess, Utf8, Windows1252, Iconv };
    void DecodeUtf8(std::string_view bytes, std::string& out);
    void DecodeWindows1252(std::string_view bytes, std::string& out);
    void DecodeIconv(std::string_view bytes, std::string& out);

    Mode mode_;
    std::string pending_;  // start of a character that the next chunk completes
    struct IconvHandle;
    std::unique_ptr<IconvHandle> iconv_;
};

// The Windows-1252 byte of a code point, or -1 when the code page has none.
// U+0080 to U+009F stand for the bytes of the same value, as a numeric
// character reference such as "&#150;" means them on the web.
int Windows1252FromCodePoint(char32_t codePoint);

// The code point of a Windows-1252 byte; a byte the code page leaves without
// a character (0x81, 0x8D, 0x8F, 0x90, 0x9D) stands for itself.
char32_t CodePointOfWindows1252(unsigned char byte);

// Appends the UTF-8 encoding of a code point.
void AppendUtf8(char32_t codePoint, std::string& out);

}  // namespace tp
