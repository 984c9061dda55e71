// One blocking HTTP GET into the transfer buffer.
#pragma once

#include "net/transfer.h"

#include <string>

namespace tp {

class ParallelFetches;

// Fetches url (already percent-encoded) with the agent "Tidepost", proxies from
// the environment and redirects followed. True: the body's first 81,920 bytes
// are in g_transferBuffer, followed by a zero byte (g_transferLength holds their
// count), and "download.txt" in the current directory holds them in text mode.
// HTTPS trusts the system's certificates, plus those named by the environment
// variables SSL_CERT_FILE and SSL_CERT_DIR.
// False: g_lastError holds "<step>: <CURLcode in hex>", the transfer buffer is
// empty and download.txt is unchanged. Nothing is retried. A failure, and an
// answer whose HTTP status is not 2xx (its body is still used), leave a
// diagnostic line naming the address and the reason in words.
// With local conversion on, an address of the conversion service is answered
// in-process instead (see net/local_conversion.h).
// While a run's parallel fetches are in use (UseParallelFetches), the body
// comes from them; everything above stays as it is.
bool FetchUrl(const std::string& url);

void SetFetchTimeouts(const FetchTimeouts& timeouts);
FetchTimeouts CurrentFetchTimeouts();

// Makes FetchUrl take its bodies from fetches (null: fetch one at a time, on
// the calling thread). The caller keeps fetches alive until it sets null again.
void UseParallelFetches(ParallelFetches* fetches);

}  // namespace tp
