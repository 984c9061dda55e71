#include "tools/html2txt/request_head.h"

#include <strings.h>

namespace tp::html2txt {
namespace {

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) return true;
    }
    return false;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The next line without its end (CR LF or LF); false when none is left.
bool NextLine(std::string_view& rest, std::string_view& line) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return false;
    line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    rest.remove_prefix(end + 1);
    return true;
}

}  // namespace

std::size_t RequestHeadLength(std::string_view bytes) {
    // A line may end in CR LF or in a bare LF; the head ends at an empty line.
    for (std::size_t i = bytes.find('\n'); i != std::string_view::npos; i = bytes.find('\n', i + 1)) {
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') return i + 2;
        if (i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n') return i + 3;
    }
    return 0;
}

bool ParseRequestHead(std::string_view head, RequestHead& out) {
    out = RequestHead{};
    std::string_view rest = head;
    std::string_view line;
    if (!NextLine(rest, line) || HasControlCharacter(line)) return false;
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (first == 0 || second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos) {
        return false;
    }
    const std::string_view method = line.substr(0, first);
    const std::string_view target = line.substr(first + 1, second - first - 1);
    const std::string_view version = line.substr(second + 1);
    if (target.empty() || target.front() != '/' || version.size() != 8 || !version.starts_with("HTTP/1.")) {
        return false;
    }
    out.method = method;
    out.target = target;
    out.path = target.substr(0, target.find_first_of("?#"));
    while (NextLine(rest, line) && !line.empty()) {
        if (HasControlCharacter(line)) return false;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0 || line.front() == ' ' || line.front() == '\t') {
            return false;
        }
        if (colon == 4 && ::strncasecmp(line.data(), "host", 4) == 0) {
            // Two Host headers could name two different servers.
            if (out.hasHost) return false;
            out.hasHost = true;
            out.host = Trimmed(line.substr(colon + 1));
        }
    }
    return true;
}

}  // namespace tp::html2txt
