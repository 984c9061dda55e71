// The built-in conversion as a small web service: "/cgi-bin/html2txt?url=..."
// answers with the text of the page, and the same path without an address
// shows a form that builds such addresses.
#pragma once

#include "net/transfer.h"
#include "tools/html2txt/address_guard.h"
#include "tools/html2txt/request_head.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tp::html2txt {

// Text kept per answer. A client keeps the first 81,920 bytes, exactly what it
// would have converted itself.
inline constexpr std::size_t kServiceTextCapacity = 1024 * 1024;

struct ServiceContext {
    AddressGuard guard;
    FetchTimeouts timeouts;  // of each page fetched: together the request's deadline
    // The Host header values a request may carry ("127.0.0.1:8081"): a name
    // that a web page made point here (DNS rebinding) is refused.
    std::vector<std::string> hosts;
};

struct ServiceAnswer {
    int status = 200;
    std::string contentType;
    std::string body;
};

// Answers a request: the form page, the text ("text/plain;
// charset=windows-1252") with the page's own status when that was not 2xx, or
// an error in plain text: 400 for an address that is not http or https, 403 for
// a refused target address, 421 for a foreign Host header, 404 for another
// path, 405 for another method, 502 when the page cannot be fetched. Safe to
// call from several threads at once.
ServiceAnswer AnswerRequest(const RequestHead& head, const ServiceContext& context);

}  // namespace tp::html2txt
