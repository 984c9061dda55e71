#include "run/json_line.h"

#include "convert/charset.h"

#include <cstdio>
#include <cstdlib>

namespace tp {

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; continue;
            case '\\': out += "\\\\"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            default: break;
        }
        if (byte < 0x20 || byte >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(CodePointOfWindows1252(byte)));
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

bool ReadJsonString(std::string_view text, std::size_t& at, std::string& out) {
    std::size_t i = at;
    if (i >= text.size() || text[i] != '"') return false;
    ++i;
    while (i < text.size() && text[i] != '"') {
        char c = text[i++];
        if (c == '\\') {
            if (i >= text.size()) return false;
            c = text[i++];
            switch (c) {
                case '"': case '\\': case '/': break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case 'b': c = '\b'; break;
                case 'f': c = '\f'; break;
                case 'u': {
                    if (i + 4 > text.size()) return false;
                    const std::string digits(text.substr(i, 4));
                    char* end = nullptr;
                    const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
                    if (end != digits.c_str() + 4) return false;
                    i += 4;
                    // Up to U+00FF the byte of the same value: also what earlier
                    // versions wrote for every byte outside ASCII.
                    const int byte = code <= 0xff ? static_cast<int>(code)
                                                  : Windows1252FromCodePoint(static_cast<char32_t>(code));
                    c = byte < 0 ? '?' : static_cast<char>(byte);
                    break;
                }
                default: return false;
            }
        }
        out += c;
    }
    if (i >= text.size()) return false;
    at = i + 1;
    return true;
}

JsonObject& JsonObject::Text(std::string_view key, std::string_view value) {
    Key(key);
    AppendJsonString(members_, value);
    return *this;
}

JsonObject& JsonObject::Number(std::string_view key, long long value) {
    Key(key);
    members_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Flag(std::string_view key, bool value) {
    Key(key);
    members_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Objects(std::string_view key, const std::vector<JsonObject>& items) {
    Key(key);
    members_ += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) members_ += ',';
        members_ += items[i].Object();
    }
    members_ += ']';
    return *this;
}

std::string JsonObject::Object() const { return '{' + members_ + '}'; }

void JsonObject::Key(std::string_view key) {
    if (!members_.empty()) members_ += ',';
    AppendJsonString(members_, key);
    members_ += ':';
}

}  // namespace tp
