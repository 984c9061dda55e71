// The conversion service in-process: with the setting "LocalConversion" on, an
// address of the conversion service ("/cgi-bin/html2txt?url=...") is not sent
// to its host; the page its "url" value names is fetched directly and
// converted here, and the text is what the extractors see, as if the service
// had answered.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {

// The path that makes an address one of the conversion service.
inline constexpr std::string_view kConversionPath = "/cgi-bin/html2txt";

struct ConversionRequest {
    std::string target;      // the page's address, decoded ("" when the address has none)
    bool inlineRefs = true;  // reference groups hold their addresses ("noinlinerefs=on" turns this off)
};

// True when url's path is the conversion path; request then holds its "url"
// value, percent-decoded, and whether "noinlinerefs=on" was given.
bool ReadConversionAddress(std::string_view url, ConversionRequest& request);

// An http or https address with a host: the only pages converted, so that a
// conversion address can never read the machine's own files.
bool IsConvertibleAddress(std::string_view address);

// Why a conversion address cannot be fetched: its "url" value is missing or is
// not an http or https address. "" when it can.
std::string ConversionRefusal(const ConversionRequest& request);

struct FetchTimeouts;

// Fetches the page of request.target with FetchUrl's rules and the given
// time-outs and converts it, keeping at most capacity bytes of text. False when
// ConversionRefusal refuses it or when the fetch fails; g_lastError then names
// the target.
bool ConvertPage(const ConversionRequest& request, std::size_t capacity, const FetchTimeouts& timeouts,
                 std::string& text);

}  // namespace tp
