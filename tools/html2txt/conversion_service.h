// The built-in conversion as a small web service: "/cgi-bin/html2txt?url=..."
// answers with the text of the page, and the same path without an address
// shows a form that builds such addresses.
#pragma once

#include <cstddef>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace tp::html2txt {

// Text kept per answer. A client keeps the first 81,920 bytes, exactly what it
// would have converted itself.
inline constexpr std::size_t kServiceTextCapacity = 1024 * 1024;

// Answers a request for the conversion path: the form page, the text
// ("text/plain; charset=windows-1252"), or an error in plain text (400 for an
// address that is not http or https, 502 when the page cannot be fetched).
// Conversions run one at a time.
void AnswerConversion(const httplib::Request& request, httplib::Response& response);

}  // namespace tp::html2txt
