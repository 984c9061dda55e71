#include "convert/charset.h"

#include "convert/address_text.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace tp {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code points of the Windows-1252 bytes 0x80 to 0x9F; 0 where the code page
// has no character.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The value after "charset=" in text (a Content-Type or a meta content), or "".
std::string CharsetParameter(std::string_view text) {
    for (std::size_t at = 0; at + 7 <= text.size(); ++at) {
        if (!EqualsNoCase(text.substr(at, 7), "charset")) continue;
        std::size_t i = at + 7;
        while (i < text.size() && IsSpace(text[i])) ++i;
        if (i >= text.size() || text[i] != '=') continue;
        ++i;
        while (i < text.size() && IsSpace(text[i])) ++i;
        if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
            const char quote = text[i++];
            const std::size_t end = text.find(quote, i);
            if (end == std::string_view::npos) return {};
            return TrimmedBlanks(text.substr(i, end - i));
        }
        const std::size_t end = text.find_first_of(" \t\r\n\f;\"'", i);
        return TrimmedBlanks(text.substr(i, end == std::string_view::npos ? end : end - i));
    }
    return {};
}

// Reads one attribute of a tag from text at i; false at the tag's end.
bool NextAttribute(std::string_view text, std::size_t& i, std::string& name, std::string& value) {
    while (i < text.size() && (IsSpace(text[i]) || text[i] == '/')) ++i;
    if (i >= text.size() || text[i] == '>') return false;
    name.clear();
    value.clear();
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '=' && text[i] != '>' &&
           (text[i] != '/' || name.empty())) {
        name.push_back(Lower(text[i++]));
    }
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size() || text[i] != '=') return true;
    ++i;
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i++];
        const std::size_t end = text.find(quote, i);
        if (end == std::string_view::npos) {  // the tag never ends within the bytes looked at
            i = text.size();
            return false;
        }
        value.assign(text.substr(i, end - i));
        i = end + 1;
        return true;
    }
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '>') value.push_back(text[i++]);
    return true;
}

// The label of a <meta> tag whose attributes start at i, or "".
std::string MetaCharset(std::string_view text, std::size_t& i) {
    std::string name, value, charset, content;
    bool contentType = false;
    while (NextAttribute(text, i, name, value)) {
        if (name == "charset" && charset.empty()) charset = TrimmedBlanks(value);
        if (name == "content" && content.empty()) content = value;
        if (name == "http-equiv") contentType = EqualsNoCase(TrimmedBlanks(value), "content-type");
    }
    if (!charset.empty()) return charset;
    return contentType ? CharsetParameter(content) : std::string();
}

bool IsUtf8Label(std::string_view label) {
    return EqualsNoCase(label, "utf-8") || EqualsNoCase(label, "utf8") ||
           EqualsNoCase(label, "unicode-1-1-utf-8");
}

// Labels that browsers read as Windows-1252.
bool IsWindows1252Label(std::string_view label) {
    static constexpr std::string_view kLabels[] = {
        "windows-1252", "cp1252",   "x-cp1252",        "iso-8859-1", "iso8859-1",  "iso88591",
        "iso_8859-1",   "iso_8859-1:1987", "latin1",   "l1",         "cp819",      "ibm819",
        "iso-ir-100",   "csisolatin1", "us-ascii",     "ascii",      "ansi_x3.4-1968"};
    for (std::string_view known : kLabels) {
        if (EqualsNoCase(label, known)) return true;
    }
    return false;
}

// Decodes one UTF-8 character at the start of bytes. Returns the bytes used
// (> 0) with the code point, the negated length of an invalid sequence, or 0
// when the character continues beyond the end of bytes.
int DecodeUtf8Char(std::string_view bytes, char32_t& codePoint) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    int length;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) >= bytes.size()) return 0;
        const unsigned next = byte(i);
        if (next < low || next > high) return -i;
        low = 0x80;
        high = 0xBF;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    return length;
}

void AppendDecoded(char32_t codePoint, std::string& out) {
    AppendUtf8(codePoint == 0 ? kReplacement : codePoint, out);
}

}  // namespace

struct Utf8Decoder::IconvHandle {
    iconv_t handle;
    ~IconvHandle() { iconv_close(handle); }
};

std::string CharsetFromContentType(std::string_view contentType) {
    const std::size_t parameters = contentType.find(';');
    if (parameters == std::string_view::npos) return {};
    return CharsetParameter(contentType.substr(parameters));
}

std::string CharsetFromMeta(std::string_view head) {
    std::size_t i = 0;
    while ((i = head.find('<', i)) != std::string_view::npos) {
        if (head.substr(i, 4) == "<!--") {
            const std::size_t end = head.find("-->", i + 4);
            if (end == std::string_view::npos) return {};
            i = end + 3;
            continue;
        }
        if (i + 6 <= head.size() && EqualsNoCase(head.substr(i, 5), "<meta") &&
            (IsSpace(head[i + 5]) || head[i + 5] == '/')) {
            i += 5;
            std::string label = MetaCharset(head, i);
            if (!label.empty()) return label;
            continue;
        }
        ++i;
    }
    return {};
}

std::string CharsetFromXmlDeclaration(std::string_view head) {
    if (!head.starts_with("<?xml")) return {};
    const std::string_view declaration = head.substr(0, head.find("?>"));
    const std::size_t key = declaration.find("encoding");
    if (key == std::string_view::npos) return {};
    std::size_t i = key + 8;
    while (i < declaration.size() && IsSpace(declaration[i])) ++i;
    if (i >= declaration.size() || declaration[i] != '=') return {};
    ++i;
    while (i < declaration.size() && IsSpace(declaration[i])) ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) return {};
    const std::size_t end = declaration.find(declaration[i], i + 1);
    if (end == std::string_view::npos) return {};
    return TrimmedBlanks(declaration.substr(i + 1, end - i - 1));
}

Utf8Decoder::Utf8Decoder(std::string_view rawLabel) {
    const std::string label = TrimmedBlanks(rawLabel);
    if (IsUtf8Label(label)) {
        mode_ = Mode::Utf8;
    } else if (IsWindows1252Label(label)) {
        mode_ = Mode::Windows1252;
    } else if (label.empty()) {
        mode_ = Mode::Guess;
    } else {
        const iconv_t handle = iconv_open("UTF-8", label.c_str());
        if (handle == reinterpret_cast<iconv_t>(-1)) {
            mode_ = Mode::Guess;
        } else {
            mode_ = Mode::Iconv;
            iconv_.reset(new IconvHandle{handle});
        }
    }
}

Utf8Decoder::~Utf8Decoder() = default;

void Utf8Decoder::Decode(std::string_view bytes, std::string& out) {
    switch (mode_) {
    case Mode::Guess:
    case Mode::Utf8:
        DecodeUtf8(bytes, out);
        break;
    case Mode::Windows1252:
        DecodeWindows1252(bytes, out);
        break;
    case Mode::Iconv:
        DecodeIconv(bytes, out);
        break;
    }
}

void Utf8Decoder::Finish(std::string& out) {
    if (pending_.empty()) return;
    if (mode_ == Mode::Guess) {
        // An unfinished character at the very end is as good a sign as any
        // other that the page is not UTF-8.
        mode_ = Mode::Windows1252;
        const std::string rest = std::move(pending_);
        pending_.clear();
        DecodeWindows1252(rest, out);
        return;
    }
    pending_.clear();
    AppendUtf8(kReplacement, out);
}

void Utf8Decoder::DecodeUtf8(std::string_view bytes, std::string& out) {
    std::size_t at = 0;
    if (!pending_.empty()) {
        // Complete the character begun in the last chunk; it needs at most three more bytes.
        std::string joined = pending_;
        const std::size_t added = bytes.size() < 3 ? bytes.size() : 3;
        joined.append(bytes.substr(0, added));
        const std::size_t carried = pending_.size();
        pending_.clear();
        std::size_t j = 0;
        while (j < carried) {
            char32_t codePoint;
            const int used = DecodeUtf8Char(std::string_view(joined).substr(j), codePoint);
            if (used == 0) {  // still unfinished: every byte given is kept
                pending_ = joined.substr(j);
                return;
            }
            if (used < 0) {
                if (mode_ == Mode::Guess) {
                    mode_ = Mode::Windows1252;
                    DecodeWindows1252(std::string_view(joined).substr(j, carried - j), out);
                    DecodeWindows1252(bytes, out);
                    return;
                }
                AppendUtf8(kReplacement, out);
                j += static_cast<std::size_t>(-used);
            } else {
                AppendDecoded(codePoint, out);
                j += static_cast<std::size_t>(used);
            }
        }
        at = j - carried;
    }
    while (at < bytes.size()) {
        // Runs of ASCII are the bulk of every page: eight bytes at a time
        // while none is beyond ASCII or zero.
        std::size_t plain = at;
        constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
        for (std::uint64_t word; plain + 8 <= bytes.size(); plain += 8) {
            std::memcpy(&word, bytes.data() + plain, 8);
            if (((word | ((word - kOnes) & ~word)) & kHighs) != 0) break;
        }
        while (plain < bytes.size() && static_cast<unsigned char>(bytes[plain]) < 0x80 && bytes[plain] != 0) {
            ++plain;
        }
        out.append(bytes.substr(at, plain - at));
        at = plain;
        if (at >= bytes.size()) break;
        char32_t codePoint;
        const int used = DecodeUtf8Char(bytes.substr(at), codePoint);
        if (used == 0) {
            pending_.assign(bytes.substr(at));
            return;
        }
        if (used < 0) {
            if (mode_ == Mode::Guess) {
                mode_ = Mode::Windows1252;
                DecodeWindows1252(bytes.substr(at), out);
                return;
            }
            AppendUtf8(kReplacement, out);
            at += static_cast<std::size_t>(-used);
        } else {
            AppendDecoded(codePoint, out);
            at += static_cast<std::size_t>(used);
        }
    }
}

void Utf8Decoder::DecodeWindows1252(std::string_view bytes, std::string& out) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0) {
            AppendUtf8(CodePointOfWindows1252(byte), out);
        } else if (byte == 0) {
            AppendUtf8(kReplacement, out);
        } else if (byte < 0x80) {
            out.push_back(c);
        } else {
            AppendUtf8(byte, out);
        }
    }
}

void Utf8Decoder::DecodeIconv(std::string_view bytes, std::string& out) {
    std::string input = std::move(pending_);
    pending_.clear();
    input.append(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outAt = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(iconv_->handle, &in, &inLeft, &outAt, &outLeft);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        // Zero bytes become U+FFFD here as in the other sets.
        for (const char* c = buffer; c < outAt; ++c) {
            if (*c == '\0') {
                AppendUtf8(kReplacement, out);
            } else {
                out.push_back(*c);
            }
        }
        if (error == EILSEQ) {
            AppendUtf8(kReplacement, out);
            ++in;
            --inLeft;
        } else if (error == EINVAL) {
            pending_.assign(in, inLeft);
            return;
        } else if (error != E2BIG) {
            break;
        }
    }
}

int Windows1252FromCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
    if (codePoint < 0xA0) return kHighControls[codePoint - 0x80] ? static_cast<int>(codePoint) : -1;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) return static_cast<int>(0x80 + i);
    }
    return -1;
}

char32_t CodePointOfWindows1252(unsigned char byte) {
    const char32_t mapped = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : 0;
    return mapped ? mapped : byte;
}

void AppendUtf8(char32_t codePoint, std::string& out) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = kReplacement;
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

}  // namespace tp
