#include "tools/html2txt/conversion_service.h"

#include "net/local_conversion.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <sys/socket.h>

namespace tp::html2txt {
namespace {

const char kFormPage[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Tidepost HTML-to-text conversion</title></head>
<body>
<h1>HTML-to-text conversion</h1>
<form method="get" action="/cgi-bin/html2txt">
<p><label>Address of the page: <input type="text" name="url" size="70"></label></p>
<p><label><input type="checkbox" name="noinlinerefs"> don't include references inline with the text</label></p>
<p><input type="submit" value="Convert"></p>
</form>
<p>The answer is the text in which Tidepost searches its tags. To feed a topic
from the page, tick the option above, press Convert, and give Tidepost the
address your browser then shows; replace the part that changes from one
request to the next (a code, a symbol) by %s.</p>
</body></html>
)";

constexpr const char* kText = "text/plain; charset=windows-1252";

ServiceAnswer Error(int status, const std::string& text) { return {status, kText, text + "\n"}; }

bool HasUrlKey(std::string_view target) {
    const std::size_t query = target.find('?');
    if (query == std::string_view::npos) return false;
    std::string_view rest = target.substr(query + 1);
    rest = rest.substr(0, rest.find('#'));
    while (!rest.empty()) {
        const std::string_view item = rest.substr(0, rest.find('&'));
        if (item.substr(0, item.find('=')) == "url") return true;
        rest.remove_prefix(std::min(rest.size(), item.size() + 1));
    }
    return false;
}

// The host and port an address leads to first, as libcurl reads it
// ("user:pw@" and brackets taken off, the scheme's port filled in).
bool TargetHost(const std::string& address, std::string& host, int& port) {
    CURLU* url = curl_url();
    if (!url) return false;
    char* hostPart = nullptr;
    char* portPart = nullptr;
    const bool read = curl_url_set(url, CURLUPART_URL, address.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
                      curl_url_get(url, CURLUPART_HOST, &hostPart, 0) == CURLUE_OK &&
                      curl_url_get(url, CURLUPART_PORT, &portPart, CURLU_DEFAULT_PORT) == CURLUE_OK;
    if (read) {
        host = hostPart;
        if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
        port = std::atoi(portPart);
    }
    curl_free(hostPart);
    curl_free(portPart);
    curl_url_cleanup(url);
    return read;
}

// Checks every address libcurl connects to, redirects included, after it was
// resolved: a name that resolved to a public address a moment ago may resolve
// to a private one now.
struct SocketGuard {
    const AddressGuard& guard;
    std::string refusal;
};

curl_socket_t OpenGuardedSocket(void* data, curlsocktype, curl_sockaddr* address) {
    SocketGuard& socketGuard = *static_cast<SocketGuard*>(data);
    socketGuard.refusal = AddressRefusal(socketGuard.guard, &address->addr);
    if (!socketGuard.refusal.empty()) return CURL_SOCKET_BAD;
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

ServiceAnswer Convert(const ConversionRequest& request, const ServiceContext& context) {
    if (const std::string refusal = ConversionRefusal(request); !refusal.empty()) return Error(400, refusal);
    const auto refused = [&request](const std::string& why) {
        return Error(403, "HTML conversion error: '" + request.target + "' is not converted: " + why);
    };
    const FetchJob job = ConversionJob(request, kServiceTextCapacity);
    std::string host;
    int port = 0;
    if (TargetHost(job.address, host, port)) {
        if (const std::string why = HostRefusal(context.guard, host, port); !why.empty()) return refused(why);
    }
    PreparedTransfer transfer(job, context.timeouts);
    CURL* curl = transfer.Handle();
    SocketGuard socketGuard{context.guard, {}};
    CURLcode rc = CURLE_FAILED_INIT;
    long status = 0;
    if (curl) {
        curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &OpenGuardedSocket);
        curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, static_cast<void*>(&socketGuard));
        // A proxy would resolve the page's host where no check can follow it.
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
        rc = curl_easy_perform(curl);
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    }
    FetchResult result = transfer.Finish(rc);
    if (!socketGuard.refusal.empty()) return refused(socketGuard.refusal);
    if (!result.ok) return Error(502, result.error);
    const bool passOn = status >= 100 && status <= 599 && (status < 200 || status > 299);
    return {passOn ? static_cast<int>(status) : 200, kText, std::move(result.text)};
}

}  // namespace

ServiceAnswer AnswerRequest(const RequestHead& head, const ServiceContext& context) {
    if (head.hasHost && std::find(context.hosts.begin(), context.hosts.end(), head.host) == context.hosts.end()) {
        return Error(421, "HTML conversion error: the Host '" + head.host + "' is not this service's address");
    }
    if (head.method != "GET" && head.method != "HEAD") return Error(405, "HTML conversion error: only GET is answered");
    if (head.path != kConversionPath) return Error(404, "HTML conversion error: no such page");
    if (!HasUrlKey(head.target)) return {200, "text/html; charset=utf-8", kFormPage};
    ConversionRequest request;
    ReadConversionAddress("http://service" + head.target, request);
    return Convert(request, context);
}

}  // namespace tp::html2txt
