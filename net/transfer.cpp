#include "net/transfer.h"

#include "app/text_format.h"
#include "convert/address_text.h"
#include "convert/html_to_text.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <strings.h>

namespace tp {
namespace {

// Redirect chains longer than this are a loop, not a page.
constexpr long kMaxRedirects = 30;

// Bytes of a page read at most for a conversion: the text of a longer page is
// full long before, and a page without end must not hold the fetch for ever.
constexpr std::size_t kPageLimit = 16 * 1024 * 1024;

using Clock = std::chrono::steady_clock;

// Where the body goes as it arrives.
class BodySink {
public:
    virtual ~BodySink() = default;
    // Before the first bytes: the answer's Content-Type ("" when none) and the
    // address that answered (after redirects).
    virtual void Begin(const std::string& contentType, const std::string& address) = 0;
    // Returns how many bytes it took; taking fewer ends the transfer, which
    // then counts as complete.
    virtual std::size_t Take(const char* data, std::size_t size) = 0;
    // Nothing more is wanted, although every byte so far was taken.
    virtual bool Full() const = 0;
    virtual std::string Finish() = 0;
    // Why the body was not taken (a converted page that is not text), "" when it was.
    virtual std::string Refusal() const { return {}; }
};

// The body's first bytes, as the server sent them.
class KeptBody : public BodySink {
public:
    explicit KeptBody(std::size_t capacity) : capacity_(capacity) {}
    void Begin(const std::string&, const std::string&) override {}
    std::size_t Take(const char* data, std::size_t size) override {
        const std::size_t taken = std::min(size, capacity_ - text_.size());
        text_.append(data, taken);
        return taken;
    }
    bool Full() const override { return text_.size() == capacity_; }
    std::string Finish() override {
        // Bodies may wait a while to be used: hold each at its own size.
        text_.shrink_to_fit();
        return std::move(text_);
    }

private:
    std::size_t capacity_;
    std::string text_;
};

// Feeds the converter as the page arrives, so the page is never held whole.
class ConvertedBody : public BodySink {
public:
    ConvertedBody(const ConversionRequest& request, std::size_t capacity) {
        options_.capacity = capacity;
        options_.inlineRefs = request.inlineRefs;
        options_.address = request.target;
    }
    void Begin(const std::string& contentType, const std::string& address) override {
        options_.contentType = contentType;
        if (!address.empty()) options_.address = address;
    }
    std::size_t Take(const char* data, std::size_t size) override {
        const std::size_t taken = std::min(size, kPageLimit - received_);
        received_ += taken;
        if (!Converter().Feed(std::string_view(data, taken))) return 0;  // the text is full
        return taken;
    }
    bool Full() const override { return false; }
    std::string Finish() override { return Converter().Finish(); }
    std::string Refusal() const override { return converter_ ? converter_->Refusal() : std::string(); }

private:
    HtmlToText& Converter() {
        if (!converter_) converter_ = std::make_unique<HtmlToText>(options_);
        return *converter_;
    }

    ConvertOptions options_;
    std::unique_ptr<HtmlToText> converter_;
    std::size_t received_ = 0;
};

// State of one transfer, shared with the libcurl callbacks.
struct Progress {
    explicit Progress(const FetchTimeouts& timeouts)
        : stallLimit(std::chrono::seconds(timeouts.stallSeconds)),
          totalLimit(std::chrono::seconds(timeouts.totalSeconds)),
          started(Clock::now()),
          lastActivity(started),
          stop(timeouts.stop),
          deadline(timeouts.run) {}

    // Time without a byte of answer after which the transfer is given up (0: never).
    Clock::duration stallLimit;
    // Time after which the whole fetch is given up (0: never): a server that
    // trickles a byte now and then never stalls.
    Clock::duration totalLimit;
    Clock::time_point started;
    Clock::time_point lastActivity;
    bool stalled = false;
    bool overTime = false;
    const std::atomic<bool>* stop;
    bool stopped = false;  // by the user
    bool full = false;  // the rest of the body is not wanted
    // The headers of the response whose body we read are complete. Redirects
    // and interim (1xx) answers do not count: until the final answer's headers
    // are in, a failure is one of opening the address.
    bool headersComplete = false;
    long status = 0;
    bool hasLocation = false;
    std::string contentType;  // of the answer being read
    std::string retryAfter;   // of the answer being read
    Deadline deadline;
    bool pastDeadline = false;
    bool begun = false;       // the sink has been told where the body comes from
    CURL* curl = nullptr;
    BodySink* sink = nullptr;
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    Progress& t = *static_cast<Progress*>(user);
    t.lastActivity = Clock::now();
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        // A new answer starts (after a redirect or an interim answer).
        t.headersComplete = false;
        t.hasLocation = false;
        t.status = 0;
        t.contentType.clear();
        t.retryAfter.clear();
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
    } else if (line.size() >= 12 && ::strncasecmp(line.data(), "retry-after:", 12) == 0) {
        const std::size_t first = line.find_first_not_of(" \t", 12);
        const std::size_t last = line.find_last_not_of(" \t\r\n");
        if (first != std::string_view::npos && last != std::string_view::npos && last >= first) {
            t.retryAfter.assign(line.substr(first, last - first + 1));
        }
    } else if (line == "\r\n" || line == "\n") {
        const bool interim = t.status >= 100 && t.status < 200;
        const bool followed = t.status >= 300 && t.status < 400 && t.hasLocation;
        t.headersComplete = !interim && !followed;
    }
    return size * count;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    Progress& t = *static_cast<Progress*>(user);
    t.lastActivity = Clock::now();
    if (!t.begun) {
        t.begun = true;
        char* address = nullptr;
        curl_easy_getinfo(t.curl, CURLINFO_EFFECTIVE_URL, &address);
        t.sink->Begin(t.contentType, address ? address : "");
    }
    const std::size_t bytes = size * count;
    // Taking less than offered makes libcurl stop the transfer.
    const std::size_t taken = t.sink->Take(data, bytes);
    if (taken < bytes || t.sink->Full()) t.full = true;
    return taken;
}

// Called by libcurl as the transfer goes on, at least about once a second.
// Ends the transfer once the body is full, so the rest of a long body is never
// downloaded, and when the server has sent nothing for the stall time (libcurl's
// own low-speed check averages over several seconds and so reacts late).
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    Progress& t = *static_cast<Progress*>(user);
    if (t.full) return 1;
    if (t.stop && t.stop->load()) {
        t.stopped = true;
        return 1;
    }
    const Clock::time_point now = Clock::now();
    if (t.stallLimit.count() > 0 && now - t.lastActivity >= t.stallLimit) {
        t.stalled = true;
        return 1;
    }
    if (t.totalLimit.count() > 0 && now - t.started >= t.totalLimit) {
        t.overTime = true;
        return 1;
    }
    if (t.deadline.Passed(now)) {
        t.pastDeadline = true;
        return 1;
    }
    return 0;
}

// Settings that make the handle behave as the program's Internet access does.
CURLcode Configure(CURL* curl, const std::string& url, const FetchTimeouts& timeouts, Progress& progress,
                   char* errorText) {
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
    apply(set(CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds));
    // "Less than one byte per second for stallSeconds" is a transfer that has
    // delivered nothing for that long, before or after the headers.
    apply(set(CURLOPT_LOW_SPEED_LIMIT, 1L));
    apply(set(CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds));
    // A proxy's answer to CONNECT is not the page's answer: keep it from OnHeader.
    apply(set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
    apply(set(CURLOPT_HEADERFUNCTION, &OnHeader));
    apply(set(CURLOPT_HEADERDATA, static_cast<void*>(&progress)));
    apply(set(CURLOPT_WRITEFUNCTION, &OnBody));
    apply(set(CURLOPT_WRITEDATA, static_cast<void*>(&progress)));
    apply(set(CURLOPT_NOPROGRESS, 0L));
    apply(set(CURLOPT_XFERINFOFUNCTION, &OnProgress));
    apply(set(CURLOPT_XFERINFODATA, static_cast<void*>(&progress)));
    apply(set(CURLOPT_ERRORBUFFER, errorText));
    return rc;
}

FetchResult Failure(std::string error) {
    FetchResult result;
    result.error = std::move(error);
    return result;
}

// The failure, with the address and the reason in words for the diagnostics.
FetchResult FailureWithReason(const std::string& url, const char* step, CURLcode code,
                              const std::string& reason) {
    FetchResult result = Failure(Format("%s: %x", step, static_cast<unsigned>(code)));
    result.diagnostic = url + ": " + reason + " (" + result.error + ")";
    result.reason = reason;
    result.code = code;
    return result;
}

FetchResult DeadlineFailure(const std::string& url, const char* step, long seconds) {
    FetchResult result = Failure(Format("%s: %x (run deadline of %ld s)", step,
                                        static_cast<unsigned>(CURLE_OPERATION_TIMEDOUT), seconds));
    result.reason = "the run deadline of " + std::to_string(seconds) + " s was reached";
    result.diagnostic = url + ": " + result.reason + " (" + result.error + ")";
    result.code = CURLE_OPERATION_TIMEDOUT;
    result.pastDeadline = true;
    return result;
}

}  // namespace

struct PreparedTransfer::State {
    State(const FetchJob& fetchJob, const FetchTimeouts& fetchTimeouts)
        : job(fetchJob), timeouts(fetchTimeouts), progress(fetchTimeouts) {}

    const FetchJob& job;
    FetchTimeouts timeouts;
    Progress progress;
    std::unique_ptr<BodySink> sink;
    CURL* curl = nullptr;
    CURLcode setupFailure = CURLE_OK;
    char errorText[CURL_ERROR_SIZE] = "";

    FetchResult Outcome(CURLcode rc);
};

PreparedTransfer::PreparedTransfer(const FetchJob& job, const FetchTimeouts& timeouts)
    : state_(std::make_unique<State>(job, timeouts)) {
    State& s = *state_;
    if (!job.refusal.empty()) return;
    if (timeouts.run.Passed()) {
        s.progress.pastDeadline = true;
        return;
    }
    if (job.conversion) {
        s.sink = std::make_unique<ConvertedBody>(*job.conversion, job.capacity);
    } else {
        s.sink = std::make_unique<KeptBody>(job.capacity);
    }
    s.progress.sink = s.sink.get();
    s.curl = curl_easy_init();
    if (!s.curl) {
        s.setupFailure = CURLE_FAILED_INIT;
        return;
    }
    s.progress.curl = s.curl;
    s.setupFailure = Configure(s.curl, job.address, timeouts, s.progress, s.errorText);
    if (s.setupFailure != CURLE_OK) {
        curl_easy_cleanup(s.curl);
        s.curl = nullptr;
    }
}

PreparedTransfer::~PreparedTransfer() {
    if (state_->curl) curl_easy_cleanup(state_->curl);
}

CURL* PreparedTransfer::Handle() const { return state_->curl; }

FetchResult PreparedTransfer::Finish(CURLcode rc) {
    FetchResult result = state_->Outcome(rc);
    result.milliseconds = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - state_->progress.started).count());
    if (!result.ok && state_->job.conversion && state_->job.refusal.empty()) {
        result.error += " (" + state_->job.conversion->target + ")";
    }
    return result;
}

FetchResult PreparedTransfer::State::Outcome(CURLcode rc) {
    const std::string& url = job.address;
    if (!job.refusal.empty()) return Failure(job.refusal);
    if (progress.pastDeadline && !progress.full) {
        return DeadlineFailure(url, progress.headersComplete ? "InternetReadFile Error" : "InternetOpenUrl Error",
                               timeouts.run.seconds);
    }
    if (!curl) {
        const char* reason = setupFailure == CURLE_FAILED_INIT ? "libcurl cannot start" : curl_easy_strerror(setupFailure);
        return FailureWithReason(url, "InternetOpen Error", setupFailure, reason);
    }
    // Stopping because the body is full is how a long body ends.
    if (rc != CURLE_OK && !progress.full) {
        std::string reason = *errorText ? errorText : curl_easy_strerror(rc);
        if (progress.stopped) {
            return FailureWithReason(url, progress.headersComplete ? "InternetReadFile Error" : "InternetOpenUrl Error",
                                     rc, "stopped by the user");
        }
        if (progress.overTime) {
            // Its own text, so that it is not taken for a stall.
            FetchResult result = Failure(Format("InternetReadFile Error: %x (fetch time-out of %ld s)",
                                                static_cast<unsigned>(CURLE_OPERATION_TIMEDOUT),
                                                timeouts.totalSeconds));
            result.reason = "the fetch took longer than " + std::to_string(timeouts.totalSeconds) + " s";
            result.diagnostic = url + ": " + result.reason + " (" + result.error + ")";
            result.code = CURLE_OPERATION_TIMEDOUT;
            return result;
        }
        if (progress.stalled) {
            rc = CURLE_OPERATION_TIMEDOUT;
            reason = "nothing received for " + std::to_string(timeouts.stallSeconds) + " s";
        }
        return FailureWithReason(url, progress.headersComplete ? "InternetReadFile Error" : "InternetOpenUrl Error",
                                 rc, reason);
    }
    FetchResult result;
    result.ok = true;
    result.text = sink->Finish();
    if (std::string refusal = sink->Refusal(); !refusal.empty()) return Failure(std::move(refusal));
    result.status = progress.status;
    result.retryAfter = progress.retryAfter;
    if (char* address = nullptr; curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &address) == CURLE_OK && address) {
        result.finalUrl = address;
    }
    // The body of an error answer is used all the same, as it always was; the
    // status helps to tell a server's failure from a changed page.
    if (progress.status != 0 && (progress.status < 200 || progress.status > 299)) {
        result.reason = "HTTP status " + std::to_string(progress.status);
        result.diagnostic = url + ": " + result.reason;
    }
    return result;
}

FetchJob ConversionJob(const ConversionRequest& request, std::size_t capacity) {
    FetchJob job;
    job.refusal = ConversionRefusal(request);
    // A decoded value may hold blanks and bytes beyond ASCII, which libcurl refuses.
    job.address = PercentEncoded(request.target);
    job.capacity = capacity;
    job.conversion = request;
    return job;
}

FetchJob JobForUrl(const std::string& url, bool localConversion) {
    ConversionRequest conversion;
    if (localConversion && ReadConversionAddress(url, conversion)) {
        return ConversionJob(conversion, kTransferCapacity);
    }
    FetchJob job;
    job.address = url;
    return job;
}

FetchResult PerformJob(const FetchJob& job, const FetchTimeouts& timeouts) {
    PreparedTransfer transfer(job, timeouts);
    const CURLcode rc = transfer.Handle() ? curl_easy_perform(transfer.Handle()) : CURLE_FAILED_INIT;
    return transfer.Finish(rc);
}

}  // namespace tp
