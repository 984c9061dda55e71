// One blocking HTTP GET into the transfer buffer.
#pragma once

#include <cstddef>
#include <string>

namespace tp {

// Fetches url (already percent-encoded) with the agent "Tidepost", proxies from
// the environment and redirects followed. True: the body's first 81,920 bytes
// are in g_transferBuffer, followed by a zero byte (g_transferLength holds their
// count), and "download.txt" in the current directory holds them in text mode.
// HTTPS trusts the system's certificates, plus those named by the environment
// variables SSL_CERT_FILE and SSL_CERT_DIR.
// False: g_lastError holds "<step>: <CURLcode in hex>" and download.txt is
// unchanged. Nothing is retried. A failure, and an answer whose HTTP status is
// not 2xx (its body is still used), leave a diagnostic line naming the address
// and the reason in words.
// With local conversion on, an address of the conversion service is answered
// in-process instead (see net/local_conversion.h).
bool FetchUrl(const std::string& url);

// Takes the body of a transfer as it arrives, in place of the transfer buffer.
class BodySink {
public:
    virtual ~BodySink() = default;
    // Before the first bytes: the answer's Content-Type ("" when none) and the
    // address that answered (after redirects).
    virtual void Begin(const std::string& contentType, const std::string& address) = 0;
    // Returns how many bytes it took; taking fewer ends the transfer, which
    // then counts as complete, as a full transfer buffer does.
    virtual std::size_t Take(const char* data, std::size_t size) = 0;
};

// The transfer of FetchUrl (agent, proxies, redirects, time-outs, error texts,
// diagnostics) with the body handed to sink; neither g_transferBuffer nor
// download.txt is written.
bool FetchBody(const std::string& url, BodySink& sink);

// Time-outs of the transfer, in seconds: connecting, a transfer that delivers
// nothing for that long (before or after the headers), and the whole fetch.
// A stall or total time of 0 turns that check off; a connect time of 0 leaves
// libcurl's own limit. The total time's failure reads
// "InternetReadFile Error: 1c (fetch time-out of <n> s)".
struct FetchTimeouts {
    long connectSeconds = 60;
    long stallSeconds = 60;
    long totalSeconds = 120;
};
void SetFetchTimeouts(const FetchTimeouts& timeouts);

}  // namespace tp
