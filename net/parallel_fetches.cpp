#include "net/parallel_fetches.h"

#include "net/retry_rules.h"

#include <algorithm>
#include <atomic>
#include <cctype>

namespace tp {
namespace {

std::atomic<int> g_transfersRunning{0};
std::atomic<int> g_unplannedFetches{0};

// Longest wait of the worker without looking at its transfers: the stall and
// time-out checks run when libcurl looks at a transfer.
constexpr int kLongestPollMs = 1000;

// Connections are kept and limited per scheme, host and port.
std::string HostOf(const std::string& address) {
    const std::size_t scheme = address.find("://");
    if (scheme == std::string::npos) return {};
    const std::size_t begin = scheme + 3;
    std::size_t end = address.find_first_of("/?#", begin);
    if (end == std::string::npos) end = address.size();
    std::string authority = address.substr(begin, end - begin);
    authority.erase(0, authority.rfind('@') + 1);  // no user name or password
    std::string host = address.substr(0, begin) + authority;
    std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
    return host;
}

}  // namespace

struct ParallelFetches::Entry {
    Entry(int fetchGroup, std::string fetchUrl, bool localConversion, bool isUrgent)
        : group(fetchGroup), url(std::move(fetchUrl)), job(JobForUrl(url, localConversion)), host(HostOf(job.address)),
          urgent(isUrgent) {}

    int group;
    std::string url;  // as FetchUrl is given it
    FetchJob job;
    std::string host;
    bool urgent;  // asked for without a plan: starts at once, whatever the limits

    State state = State::Waiting;
    int tries = 0;
    // A try after a passing failure starts no earlier than this.
    std::chrono::steady_clock::time_point notBefore{};
    bool dropped = false;  // no longer wanted; the worker erases it
    std::unique_ptr<PreparedTransfer> transfer;  // while Running
    FetchResult result;                          // once Done
};

ParallelFetches::ParallelFetches(std::vector<PlannedFetch> plan, FetchLimits limits, FetchOptions options)
    : limits_(limits), options_(options) {
    limits_.total = std::max(limits_.total, 1);
    limits_.perHost = std::max(limits_.perHost, 1);
    for (PlannedFetch& fetch : plan) {
        entries_.push_back(std::make_unique<Entry>(fetch.group, std::move(fetch.url), options_.localConversion, false));
    }
    multi_ = curl_multi_init();
    // Without a multi handle every fetch is made when it is asked for (see Fetch).
    if (multi_) worker_ = std::thread([this] { Work(); });
}

ParallelFetches::~ParallelFetches() {
    if (!multi_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    curl_multi_wakeup(multi_);
    worker_.join();
    curl_multi_cleanup(multi_);
}

int ParallelFetches::TransfersRunning() { return g_transfersRunning.load(); }

int ParallelFetches::UnplannedFetches() { return g_unplannedFetches.load(); }

void ParallelFetches::EnterGroup(int group) {
    std::lock_guard<std::mutex> lock(mutex_);
    group_ = group;
    bool dropped = false;
    for (const auto& entry : entries_) {
        if (entry->group < group && !entry->dropped) {
            entry->dropped = true;
            dropped = true;
        }
    }
    if (dropped && multi_) curl_multi_wakeup(multi_);
}

FetchResult ParallelFetches::Fetch(const std::string& url) {
    if (!multi_) return PerformWithRetries(JobForUrl(url, options_.localConversion), options_);

    std::unique_lock<std::mutex> lock(mutex_);
    Entry* wanted = nullptr;
    for (const auto& entry : entries_) {
        if (entry->dropped || entry->group != group_) continue;
        if (entry->url == url) {
            wanted = entry.get();
            break;
        }
    }
    if (wanted) {
        // The run passed over these: it uses its bodies in order.
        for (const auto& entry : entries_) {
            if (entry.get() == wanted) break;
            if (entry->group == group_) entry->dropped = true;
        }
    } else {
        ++g_unplannedFetches;
        entries_.push_front(std::make_unique<Entry>(group_, url, options_.localConversion, true));
        wanted = entries_.front().get();
    }
    curl_multi_wakeup(multi_);
    done_.wait(lock, [wanted] { return wanted->state == State::Done; });
    FetchResult result = std::move(wanted->result);
    wanted->dropped = true;
    return result;
}

void ParallelFetches::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        DropUnwanted();
        StartTransfers();
        lock.unlock();
        int stillRunning = 0;
        curl_multi_perform(multi_, &stillRunning);
        lock.lock();
        CollectFinished();
        if (stopping_) break;
        const int pollMs = PollMilliseconds();
        lock.unlock();
        curl_multi_poll(multi_, nullptr, 0, pollMs, nullptr);
        lock.lock();
    }
    for (const auto& entry : entries_) {
        if (entry->state == State::Running) StopTransfer(*entry);
    }
}

// Wakes the worker in time for the next try due and for the deadline.
int ParallelFetches::PollMilliseconds() const {
    using namespace std::chrono;
    const steady_clock::time_point now = steady_clock::now();
    steady_clock::time_point wake = now + milliseconds(kLongestPollMs);
    for (const auto& entry : entries_) {
        if (entry->state == State::Waiting && !entry->dropped && entry->notBefore > now) {
            wake = std::min(wake, entry->notBefore);
        }
    }
    // Once past, the transfers end at their next look (see transfer.cpp).
    if (options_.timeouts.run.IsSet() && options_.timeouts.run.at > now) wake = std::min(wake, options_.timeouts.run.at);
    // Rounded up, so the worker does not wake a moment too early and spin.
    return static_cast<int>(ceil<milliseconds>(wake - now).count());
}

void ParallelFetches::DropUnwanted() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        Entry& entry = **it;
        if (!entry.dropped) {
            ++it;
            continue;
        }
        if (entry.state == State::Running) StopTransfer(entry);
        it = entries_.erase(it);
    }
}

// In the order of use. A transfer waiting for its host lets later ones to
// other hosts go first, but never one to its own host; and the transfer that
// frees its host also frees a place in all, which goes to the earliest waiting
// transfer. So a body is only ever waited for behind bodies used before it.
void ParallelFetches::StartTransfers() {
    const auto now = std::chrono::steady_clock::now();
    for (const auto& entry : entries_) {
        if (entry->notBefore > now) continue;
        if (running_ >= limits_.total && !entry->urgent) continue;
        if (entry->state != State::Waiting || entry->dropped) continue;
        if (!entry->urgent && runningPerHost_[entry->host] >= limits_.perHost) continue;
        StartTransfer(*entry);
    }
}

void ParallelFetches::StartTransfer(Entry& entry) {
    entry.transfer = std::make_unique<PreparedTransfer>(entry.job, options_.timeouts);
    CURL* handle = entry.transfer->Handle();
    if (!handle || curl_easy_setopt(handle, CURLOPT_PRIVATE, static_cast<void*>(&entry)) != CURLE_OK ||
        curl_multi_add_handle(multi_, handle) != CURLM_OK) {
        entry.result = entry.transfer->Finish(handle ? CURLE_FAILED_INIT : CURLE_OK);
        entry.result.tries = entry.tries + 1;
        entry.transfer.reset();
        entry.state = State::Done;
        done_.notify_all();
        return;
    }
    entry.state = State::Running;
    ++running_;
    ++runningPerHost_[entry.host];
    ++g_transfersRunning;
}

void ParallelFetches::StopTransfer(Entry& entry) {
    curl_multi_remove_handle(multi_, entry.transfer->Handle());
    entry.transfer.reset();
    entry.state = State::Done;
    --running_;
    --runningPerHost_[entry.host];
    --g_transfersRunning;
}

void ParallelFetches::CollectFinished() {
    int left = 0;
    bool finished = false;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        void* owner = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &owner);
        Entry& entry = *static_cast<Entry*>(owner);
        const CURLcode rc = message->data.result;
        curl_multi_remove_handle(multi_, entry.transfer->Handle());
        entry.result = entry.transfer->Finish(rc);
        entry.transfer.reset();
        --running_;
        --runningPerHost_[entry.host];
        --g_transfersRunning;
        ++entry.tries;
        if (const auto wait = NextTryWait(entry.result, entry.tries, options_.retries, options_.timeouts.run)) {
            // Waits without holding a place, so the transfers after it go on.
            entry.state = State::Waiting;
            entry.notBefore = std::chrono::steady_clock::now() + *wait;
            continue;
        }
        entry.result.tries = entry.tries;
        entry.state = State::Done;
        finished = true;
    }
    if (finished) done_.notify_all();
}

}  // namespace tp
