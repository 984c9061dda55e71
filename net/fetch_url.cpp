#include "net/fetch_url.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "net/local_conversion.h"
#include "platform/text_file.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tp {
namespace {

FetchTimeouts g_timeouts;

// Redirect chains longer than this are a loop, not a page.
constexpr long kMaxRedirects = 30;

using Clock = std::chrono::steady_clock;

// State of one transfer, shared with the libcurl callbacks.
struct Transfer {
    explicit Transfer(const FetchTimeouts& timeouts)
        : stallLimit(std::chrono::seconds(timeouts.stallSeconds)),
          totalLimit(std::chrono::seconds(timeouts.totalSeconds)),
          started(Clock::now()),
          lastActivity(started) {}

    // Time without a byte of answer after which the transfer is given up (0: never).
    Clock::duration stallLimit;
    // Time after which the whole fetch is given up (0: never): a server that
    // trickles a byte now and then never stalls.
    Clock::duration totalLimit;
    Clock::time_point started;
    Clock::time_point lastActivity;
    bool stalled = false;
    bool overTime = false;

    std::size_t fill = 0;
    bool full = false;  // the buffer is full: the rest of the body is not wanted
    // The headers of the response whose body we read are complete. Redirects
    // and interim (1xx) answers do not count: until the final answer's headers
    // are in, a failure is one of opening the address.
    bool headersComplete = false;
    long status = 0;
    bool hasLocation = false;

    // Set when the body goes to a sink instead of the transfer buffer.
    BodySink* sink = nullptr;
    CURL* curl = nullptr;
    std::string contentType;  // of the answer being read
    bool begun = false;       // the sink has been told where the body comes from
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    Transfer& t = *static_cast<Transfer*>(user);
    t.lastActivity = Clock::now();
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        // A new answer starts (after a redirect or an interim answer).
        t.headersComplete = false;
        t.hasLocation = false;
        t.status = 0;
        t.contentType.clear();
        const std::size_t blank = line.find(' ');
        if (blank != std::string_view::npos) {
            for (std::size_t i = blank + 1; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
                t.status = t.status * 10 + (line[i] - '0');
        }
    } else if (line.size() >= 9 && ::strncasecmp(line.data(), "location:", 9) == 0) {
        t.hasLocation = true;
    } else if (line.size() >= 13 && ::strncasecmp(line.data(), "content-type:", 13) == 0) {
        const std::size_t first = line.find_first_not_of(" \t", 13);
        const std::size_t last = line.find_last_not_of(" \t\r\n");
        if (first != std::string_view::npos && last != std::string_view::npos && last >= first) {
            t.contentType.assign(line.substr(first, last - first + 1));
        }
    } else if (line == "\r\n" || line == "\n") {
        const bool interim = t.status >= 100 && t.status < 200;
        const bool followed = t.status >= 300 && t.status < 400 && t.hasLocation;
        t.headersComplete = !interim && !followed;
    }
    return size * count;
}

std::size_t TakeIntoSink(Transfer& t, const char* data, std::size_t bytes) {
    if (!t.begun) {
        t.begun = true;
        char* address = nullptr;
        curl_easy_getinfo(t.curl, CURLINFO_EFFECTIVE_URL, &address);
        t.sink->Begin(t.contentType, address ? address : "");
    }
    const std::size_t taken = t.sink->Take(data, bytes);
    if (taken < bytes) t.full = true;
    return taken;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    Transfer& t = *static_cast<Transfer*>(user);
    t.lastActivity = Clock::now();
    const std::size_t bytes = size * count;
    if (t.sink) return TakeIntoSink(t, data, bytes);
    const std::size_t room = kTransferCapacity - t.fill;
    const std::size_t taken = bytes < room ? bytes : room;
    std::memcpy(g_transferBuffer + t.fill, data, taken);
    t.fill += taken;
    if (t.fill == kTransferCapacity) t.full = true;
    // Taking less than offered makes libcurl stop the transfer.
    return taken;
}

// Called by libcurl as the transfer goes on, at least about once a second.
// Ends the transfer once the buffer is full, so the rest of a long body is never
// downloaded, and when the server has sent nothing for the stall time (libcurl's
// own low-speed check averages over several seconds and so reacts late).
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    Transfer& t = *static_cast<Transfer*>(user);
    if (t.full) return 1;
    const Clock::time_point now = Clock::now();
    if (t.stallLimit.count() > 0 && now - t.lastActivity >= t.stallLimit) {
        t.stalled = true;
        return 1;
    }
    if (t.totalLimit.count() > 0 && now - t.started >= t.totalLimit) {
        t.overTime = true;
        return 1;
    }
    return 0;
}

void ClearBuffer() {
    // Never leave a mix of old and new bytes that could pass for a page.
    g_transferLength = 0;
    g_transferBuffer[0] = '\0';
}

bool Fail(const char* step, unsigned code) {
    SetLastErrorF("%s: %x", step, code);
    ClearBuffer();
    return false;
}

// The failure, with the address and the reason in words for the diagnostics.
bool FailWithReason(const std::string& url, const char* step, unsigned code, const std::string& reason) {
    Fail(step, code);
    NoteDiagnostic(url + ": " + reason + " (" + g_lastError + ")");
    return false;
}

// Settings that make the handle behave as the program's Internet access does.
CURLcode Configure(CURL* curl, const std::string& url, Transfer& transfer, char* errorText) {
    const auto set = [curl](CURLoption option, auto value) { return curl_easy_setopt(curl, option, value); };
    CURLcode rc = CURLE_OK;
    const auto apply = [&rc](CURLcode result) {
        if (rc == CURLE_OK) rc = result;
    };
    apply(set(CURLOPT_URL, url.c_str()));
    apply(set(CURLOPT_USERAGENT, "Tidepost"));
    apply(set(CURLOPT_PROTOCOLS_STR, "http,https"));
    apply(set(CURLOPT_FOLLOWLOCATION, 1L));
    apply(set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    apply(set(CURLOPT_MAXREDIRS, kMaxRedirects));
    apply(set(CURLOPT_NOSIGNAL, 1L));
    // Like other OpenSSL programs, trust the certificates the user names in
    // SSL_CERT_FILE / SSL_CERT_DIR (libcurl otherwise uses its built-in bundle
    // only), e.g. a company's own certificate authority.
    if (const char* file = std::getenv("SSL_CERT_FILE"); file && *file) apply(set(CURLOPT_CAINFO, file));
    if (const char* dir = std::getenv("SSL_CERT_DIR"); dir && *dir) apply(set(CURLOPT_CAPATH, dir));
    apply(set(CURLOPT_CONNECTTIMEOUT, g_timeouts.connectSeconds));
    // "Less than one byte per second for stallSeconds" is a transfer that has
    // delivered nothing for that long, before or after the headers.
    apply(set(CURLOPT_LOW_SPEED_LIMIT, 1L));
    apply(set(CURLOPT_LOW_SPEED_TIME, g_timeouts.stallSeconds));
    // A proxy's answer to CONNECT is not the page's answer: keep it from OnHeader.
    apply(set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
    apply(set(CURLOPT_HEADERFUNCTION, &OnHeader));
    apply(set(CURLOPT_HEADERDATA, static_cast<void*>(&transfer)));
    apply(set(CURLOPT_WRITEFUNCTION, &OnBody));
    apply(set(CURLOPT_WRITEDATA, static_cast<void*>(&transfer)));
    apply(set(CURLOPT_NOPROGRESS, 0L));
    apply(set(CURLOPT_XFERINFOFUNCTION, &OnProgress));
    apply(set(CURLOPT_XFERINFODATA, static_cast<void*>(&transfer)));
    apply(set(CURLOPT_ERRORBUFFER, errorText));
    return rc;
}

// Runs one transfer; false with g_lastError set as FetchUrl describes.
bool Perform(const std::string& url, Transfer& transfer) {
    CURL* curl = curl_easy_init();
    if (!curl) return FailWithReason(url, "InternetOpen Error", CURLE_FAILED_INIT, "libcurl cannot start");
    transfer.curl = curl;

    char errorText[CURL_ERROR_SIZE] = "";
    CURLcode rc = Configure(curl, url, transfer, errorText);
    if (rc != CURLE_OK) {
        curl_easy_cleanup(curl);
        return FailWithReason(url, "InternetOpen Error", rc, curl_easy_strerror(rc));
    }
    rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);

    // Stopping because the buffer is full is how a long body ends.
    if (rc != CURLE_OK && !transfer.full) {
        std::string reason = *errorText ? errorText : curl_easy_strerror(rc);
        if (transfer.stalled) {
            rc = CURLE_OPERATION_TIMEDOUT;
            reason = "nothing received for " + std::to_string(g_timeouts.stallSeconds) + " s";
        }
        if (transfer.overTime) {
            // Its own text, so that it is not taken for a stall.
            SetLastErrorF("InternetReadFile Error: %x (fetch time-out of %ld s)",
                          static_cast<unsigned>(CURLE_OPERATION_TIMEDOUT), g_timeouts.totalSeconds);
            ClearBuffer();
            NoteDiagnostic(url + ": the fetch took longer than " + std::to_string(g_timeouts.totalSeconds) +
                           " s (" + g_lastError + ")");
            return false;
        }
        return FailWithReason(url, transfer.headersComplete ? "InternetReadFile Error" : "InternetOpenUrl Error",
                              rc, reason);
    }
    // The body of an error answer is used all the same, as it always was; the
    // status helps to tell a server's failure from a changed page.
    if (transfer.status != 0 && (transfer.status < 200 || transfer.status > 299)) {
        NoteDiagnostic(url + ": HTTP status " + std::to_string(transfer.status));
    }
    return true;
}

}  // namespace

void SetFetchTimeouts(const FetchTimeouts& timeouts) { g_timeouts = timeouts; }

bool FetchUrl(const std::string& url) {
    ConversionRequest conversion;
    if (LocalConversionOn() && ReadConversionAddress(url, conversion)) return FetchConverted(conversion);

    Transfer transfer(g_timeouts);
    if (!Perform(url, transfer)) return false;
    g_transferLength = transfer.fill;
    g_transferBuffer[transfer.fill] = '\0';
    // The raw copy is a convenience for the user; the fetch stands without it.
    WriteTextFile("download.txt", std::string_view(g_transferBuffer, g_transferLength));
    return true;
}

bool FetchBody(const std::string& url, BodySink& sink) {
    Transfer transfer(g_timeouts);
    transfer.sink = &sink;
    return Perform(url, transfer);
}

}  // namespace tp
