// One blocking HTTP GET into the transfer buffer.
#pragma once

#include "net/transfer.h"

#include <functional>
#include <string>

namespace tp {

// Where a fetcher takes its bodies from instead of fetching each itself: the
// run's transfers made ahead, or a page already at hand.
class FetchSource {
public:
    virtual FetchResult Fetch(const std::string& url) = 0;

protected:
    ~FetchSource() = default;
};

// Fetches pages for one caller with one set of options; a run makes one and
// hands it to each topic, with the run's transfers made ahead.
class Fetcher {
public:
    // Told of every fetch as it ends: the address asked for and the outcome.
    using Observer = std::function<void(const std::string& url, const FetchResult& result)>;

    // ahead, when given, supplies the bodies (see net/parallel_fetches.h) and
    // must outlive this fetcher.
    explicit Fetcher(FetchOptions options = {}, FetchSource* ahead = nullptr, Observer observer = {})
        : options_(options), ahead_(ahead), observer_(std::move(observer)) {}

    // Fetches url (already percent-encoded) with the agent "Tidepost", proxies
    // from the environment and redirects followed. True: the body's first
    // 81,920 bytes are in g_transferBuffer, followed by a zero byte
    // (g_transferLength holds their count), and, with options.keepCopy,
    // "download.txt" in the current directory holds them in text mode. HTTPS trusts the system's
    // certificates, plus those named by the environment variables
    // SSL_CERT_FILE and SSL_CERT_DIR.
    // False: g_lastError holds "<step>: <CURLcode in hex>", the transfer buffer
    // is empty and download.txt is unchanged. A failure, and
    // an answer whose HTTP status is not 2xx (its body is still used), leave a
    // diagnostic line naming the address and the reason in words. A passing
    // failure is tried again as options.retries and net/retry_rules.h say;
    // the outcome is that of the last try.
    // With local conversion on, an address of the conversion service is
    // answered in-process instead (see net/local_conversion.h).
    bool Fetch(const std::string& url) const;

    const FetchOptions& Options() const { return options_; }

private:
    FetchOptions options_;
    FetchSource* ahead_;
    Observer observer_;
};

// A fetch outside any run: Fetcher(options).Fetch(url).
bool FetchUrl(const std::string& url, const FetchOptions& options = {});

}  // namespace tp
