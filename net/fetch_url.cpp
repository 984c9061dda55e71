#include "net/fetch_url.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "net/retry_rules.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tp {
namespace {

// Leaves the process-wide state as a fetch with this result leaves it.
bool Report(FetchResult& result, bool keepCopy) {
    if (!result.diagnostic.empty()) NoteDiagnostic(std::move(result.diagnostic));
    if (!result.ok) {
        SetLastError(result.error);
        // Never leave a mix of old and new bytes that could pass for a page.
        g_transferLength = 0;
        g_transferBuffer[0] = '\0';
        return false;
    }
    const std::size_t length = std::min(result.text.size(), kTransferCapacity);
    std::memcpy(g_transferBuffer, result.text.data(), length);
    g_transferLength = length;
    g_transferBuffer[length] = '\0';
    // The raw copy is a convenience for the user; the fetch stands without it.
    if (keepCopy) RewriteTextFile("download.txt", std::string_view(g_transferBuffer, g_transferLength));
    return true;
}

}  // namespace

bool Fetcher::Fetch(const std::string& url) const {
    FetchResult result =
        ahead_ ? ahead_->Fetch(url) : PerformWithRetries(JobForUrl(url, options_.localConversion), options_);
    if (observer_) observer_(url, result);
    return Report(result, options_.keepCopy);
}

bool FetchUrl(const std::string& url, const FetchOptions& options) { return Fetcher(options).Fetch(url); }

}  // namespace tp
