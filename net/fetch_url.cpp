#include "net/fetch_url.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "net/parallel_fetches.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tp {
namespace {

FetchTimeouts g_timeouts;
ParallelFetches* g_parallelFetches = nullptr;

// Leaves the process-wide state as a fetch with this result leaves it.
bool Report(FetchResult& result) {
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
    RewriteTextFile("download.txt", std::string_view(g_transferBuffer, g_transferLength));
    return true;
}

}  // namespace

void SetFetchTimeouts(const FetchTimeouts& timeouts) { g_timeouts = timeouts; }

FetchTimeouts CurrentFetchTimeouts() { return g_timeouts; }

void UseParallelFetches(ParallelFetches* fetches) { g_parallelFetches = fetches; }

bool FetchUrl(const std::string& url) {
    FetchResult result =
        g_parallelFetches ? g_parallelFetches->Fetch(url) : PerformJob(JobForUrl(url), g_timeouts);
    return Report(result);
}

}  // namespace tp
