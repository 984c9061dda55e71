// A run's fetches, made ahead and side by side. The run names every address it
// will fetch, in the order it will use the bodies; the transfers start in that
// order, a limited number at once, on a thread of their own. FetchUrl then takes
// each body when the run asks for it, waiting for it when it is not in yet, so
// the run sees every body exactly as a fetch made at that moment would give it.
// A transfer that fails for a passing reason is tried again after its wait
// (see retry_rules.h) while the others go on; at the run's deadline every
// transfer still going is stopped.
#pragma once

#include "net/fetch_url.h"
#include "net/transfer.h"

#include <condition_variable>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tp {

struct FetchLimits {
    int total = 16;    // transfers at once
    int perHost = 6;   // transfers at once to one host (scheme, host and port)
};

// An address the run will fetch, and the step of the run that uses its body.
struct PlannedFetch {
    int group;
    std::string url;
};

class ParallelFetches final : public FetchSource {
public:
    // Starts the transfers of plan (the addresses as FetchUrl is given them).
    // An empty plan fetches nothing ahead: each fetch starts when it is asked
    // for, still over the connections kept from the fetches before.
    ParallelFetches(std::vector<PlannedFetch> plan, FetchLimits limits, FetchOptions options);
    // Stops every transfer still running; none is left behind.
    ~ParallelFetches();
    ParallelFetches(const ParallelFetches&) = delete;
    ParallelFetches& operator=(const ParallelFetches&) = delete;

    // The run has moved on to group: the bodies of the groups before it are
    // no longer wanted (their transfers are stopped, their bodies dropped).
    void EnterGroup(int group);

    // The outcome of fetching url now: the first body of the current group
    // planned for url and not used yet (bodies planned before it in the group
    // are dropped), or, for an address not planned, a transfer started at
    // once, ahead of all others.
    FetchResult Fetch(const std::string& url) override;

    // For the tests, over the whole process: transfers running now, and
    // fetches asked for that no plan had named.
    static int TransfersRunning();
    static int UnplannedFetches();

private:
    enum class State { Waiting, Running, Done };
    struct Entry;

    void Work();
    void StartTransfers();
    void StartTransfer(Entry& entry);
    void StopTransfer(Entry& entry);
    void CollectFinished();
    void DropUnwanted();
    int PollMilliseconds() const;

    FetchLimits limits_;
    FetchOptions options_;
    CURLM* multi_ = nullptr;  // used by the worker thread alone (and curl_multi_wakeup)

    std::mutex mutex_;
    std::condition_variable done_;
    // In the order the bodies are used; entries are erased by the worker thread only.
    std::list<std::unique_ptr<Entry>> entries_;
    std::map<std::string, int> runningPerHost_;
    int running_ = 0;
    int group_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace tp
