// The head of a request to the conversion service: the request line and the
// one header the service looks at, read from the bytes a client sent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp::html2txt {

// Longest head accepted; a longer one is refused unread.
inline constexpr std::size_t kMaxRequestHead = 16 * 1024;

struct RequestHead {
    std::string method;  // "GET", ...
    std::string target;  // as sent: "/cgi-bin/html2txt?url=..."
    std::string path;    // the target up to "?" or "#"
    std::string host;    // the Host header's value, blanks trimmed ("" when none)
    bool hasHost = false;
};

// The length of the head in bytes (up to and including its blank line), or 0
// while the blank line has not arrived.
std::size_t RequestHeadLength(std::string_view bytes);

// Reads a complete head. False for anything that is not an HTTP/1.x request
// line followed by header lines: a missing or extra part, a target that does
// not start with "/", control characters, a second Host header.
bool ParseRequestHead(std::string_view head, RequestHead& out);

}  // namespace tp::html2txt
