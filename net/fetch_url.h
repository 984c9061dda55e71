// One blocking HTTP GET into the transfer buffer.
#pragma once

#include <string>

namespace tp {

// Fetches url (already percent-encoded) with the agent "Tidepost", proxies from
// the environment and redirects followed. True: the body's first 81,920 bytes
// are in g_transferBuffer, followed by a zero byte (g_transferLength holds their
// count), and "download.txt" in the current directory holds them in text mode.
// HTTPS trusts the system's certificates, plus those named by the environment
// variables SSL_CERT_FILE and SSL_CERT_DIR.
// False: g_lastError holds "<step>: <CURLcode in hex>" and download.txt is
// unchanged. Nothing is retried.
bool FetchUrl(const std::string& url);

// Time-outs of the transfer, in seconds: connecting, and a transfer that
// delivers nothing for that long (before or after the headers). Both default to
// 60. A stall time of 0 turns that check off; a connect time of 0 leaves
// libcurl's own limit.
struct FetchTimeouts {
    long connectSeconds = 60;
    long stallSeconds = 60;
};
void SetFetchTimeouts(const FetchTimeouts& timeouts);

}  // namespace tp
