#include "net/local_conversion.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "net/fetch_url.h"
#include "net/transfer.h"

#include <cctype>
#include <cstring>

namespace tp {
namespace {


int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A query value as a form sends it: "+" for a blank, "%XY" for a byte.
std::string DecodeQueryValue(std::string_view value) {
    std::string decoded;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '+') {
            decoded.push_back(' ');
        } else if (value[i] == '%' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 &&
                   HexValue(value[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2])));
            i += 2;
        } else {
            decoded.push_back(value[i]);
        }
    }
    return decoded;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

}  // namespace


bool IsConvertibleAddress(std::string_view address) {
    std::size_t rest = 0;
    if (StartsWithNoCase(address, "http://")) {
        rest = 7;
    } else if (StartsWithNoCase(address, "https://")) {
        rest = 8;
    } else {
        return false;
    }
    return rest < address.size() && std::strchr("/?#", address[rest]) == nullptr;
}

bool ReadConversionAddress(std::string_view url, ConversionRequest& request) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) return false;
    const std::size_t pathStart = url.find_first_of("/?#", scheme + 3);
    if (pathStart == std::string_view::npos) return false;
    const std::size_t pathEnd = url.find_first_of("?#", pathStart);
    if (url.substr(pathStart, pathEnd - pathStart) != kConversionPath) return false;

    request = ConversionRequest{};
    if (pathEnd == std::string_view::npos || url[pathEnd] != '?') return true;
    std::string_view query = url.substr(pathEnd + 1);
    query = query.substr(0, query.find('#'));
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view item = query.substr(0, end);
        const std::size_t equals = item.find('=');
        const std::string key = DecodeQueryValue(item.substr(0, equals));
        const std::string value = equals == std::string_view::npos ? "" : DecodeQueryValue(item.substr(equals + 1));
        if (key == "url" && request.target.empty()) request.target = value;
        if (key == "noinlinerefs") request.inlineRefs = value != "on";
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    }
    return true;
}

std::string ConversionRefusal(const ConversionRequest& request) {
    if (request.target.empty()) {
        return "HTML conversion error: the address names no page (its \"url\" value is missing)";
    }
    // Only the web: a conversion address must never read the machine's own files.
    if (!IsConvertibleAddress(request.target)) {
        return "HTML conversion error: '" + request.target + "' is not an http or https address";
    }
    return {};
}

bool ConvertPage(const ConversionRequest& request, std::size_t capacity, const FetchTimeouts& timeouts,
                 std::string& text) {
    FetchResult result = PerformJob(ConversionJob(request, capacity), timeouts);
    if (!result.diagnostic.empty()) NoteDiagnostic(std::move(result.diagnostic));
    if (!result.ok) {
        SetLastError(result.error);
        return false;
    }
    text = std::move(result.text);
    return true;
}

}  // namespace tp
