#include "check/source_check.h"

#include "app/globals.h"
#include "net/fetch_url.h"
#include "net/retry_rules.h"
#include "settings/custom_store.h"
#include "check/news_categories_scope.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace tp {
namespace {

// Hands every fetch of the topic the one text being checked.
class TextAtHand final : public FetchSource {
public:
    explicit TextAtHand(std::string_view text) : text_(text) {}
    FetchResult Fetch(const std::string&) override {
        FetchResult result;
        result.ok = true;
        result.text.assign(text_.data(), std::min(text_.size(), kTransferCapacity));
        return result;
    }

private:
    std::string_view text_;
};

// The run's process-wide state that a topic's code changes, put back after a
// cut: a check is no part of a run.
class KeptRunState {
public:
    explicit KeptRunState(const CheckTarget& target)
        : lastError_(g_lastError), totalSize_(g_totalSize), categories_(CategoryOf(target)) {}
    ~KeptRunState() {
        g_lastError = lastError_;
        g_totalSize = totalSize_;
    }
    KeptRunState(const KeptRunState&) = delete;
    KeptRunState& operator=(const KeptRunState&) = delete;

private:
    std::string lastError_;
    std::uint32_t totalSize_;
    NewsCategoriesScope categories_;

    // The news page shows only the categories ticked: the one checked is.
    static std::array<bool, kNewsCategoryCount> CategoryOf(const CheckTarget& target) {
        std::array<bool, kNewsCategoryCount> on{};
        const int category = target.source.variant;
        if (target.topic->id == TopicId::News && category >= 0 && category < kNewsCategoryCount) {
            on[static_cast<std::size_t>(category)] = true;
        }
        return on;
    }
};

// A private folder for the page a cut writes, gone with the object.
class ScratchFolder {
public:
    ScratchFolder() {
        // The page is written as a run writes one, synced to its disk: in
        // memory when the system offers a folder there, a cut costs no disk.
        const char* tmp = std::getenv("TMPDIR");
        for (std::string folder : {std::string("/dev/shm"), std::string(tmp && *tmp ? tmp : "/tmp")}) {
            folder += "/tidepost-check-XXXXXX";
            if (mkdtemp(folder.data())) {
                path_ = std::move(folder);
                return;
            }
        }
    }
    ~ScratchFolder() {
        if (path_.empty()) return;
        std::remove(Page().c_str());
        rmdir(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Made() const { return !path_.empty(); }
    std::string Page() const { return path_ + "/page.xml"; }

private:
    std::string path_;
};

std::string Between(std::string_view text, std::string_view open, std::string_view close) {
    const std::size_t start = text.find(open);
    if (start == std::string_view::npos) return {};
    const std::size_t from = start + open.size();
    const std::size_t end = text.find(close, from);
    return std::string(text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from));
}

// The cards of a written page (line ends as the page file has them), each
// with its markup as the page holds it.
void ReadCards(std::string_view page, CutOutcome& outcome) {
    static constexpr std::string_view kOpen = "<Card ID=\"";
    static constexpr std::string_view kClose = "</Card>";
    for (std::size_t pos = page.find(kOpen); pos != std::string_view::npos; pos = page.find(kOpen, pos)) {
        std::size_t end = page.find(kClose, pos);
        end = end == std::string_view::npos ? page.size() : end + kClose.size();
        if (page.substr(end, 2) == "\r\n") {
            end += 2;
        } else if (page.substr(end, 1) == "\n") {
            end += 1;
        }
        const std::string_view block = page.substr(pos, end - pos);
        CheckCard card;
        card.id = std::atoi(std::string(block.substr(kOpen.size(), 8)).c_str());
        card.title = Between(block, "<Title>", "</Title>");
        card.body = Between(block, "<Text><p>", "</p></Text>");
        outcome.cards.push_back(std::move(card));
        outcome.cardsXml += block;
        pos = end;
    }
}

CheckOutcome FailedFetchOutcome(const FetchResult& fetched) {
    return fetched.code == CURLE_OPERATION_TIMEDOUT || fetched.pastDeadline ? CheckOutcome::Timeout
                                                                               : CheckOutcome::NetworkError;
}

std::string FailedFetchWords(const FetchResult& fetched) {
    switch (fetched.code) {
        case CURLE_COULDNT_RESOLVE_HOST: return "cannot resolve host";
        case CURLE_COULDNT_RESOLVE_PROXY: return "cannot resolve proxy";
        case CURLE_COULDNT_CONNECT: return "cannot connect";
        default: break;
    }
    if (FailedFetchOutcome(fetched) == CheckOutcome::Timeout) return "time-out";
    return fetched.reason.empty() ? fetched.error : fetched.reason;
}

}  // namespace

std::string TagAsStored(std::string tag) {
    std::replace(tag.begin(), tag.end(), '\n', '~');
    return tag;
}

std::string_view OutcomeName(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Ok: return "ok";
        case CheckOutcome::TagMissing: return "tag-missing";
        case CheckOutcome::HttpError: return "http-error";
        case CheckOutcome::Timeout: return "timeout";
        case CheckOutcome::NetworkError: return "network-error";
        case CheckOutcome::Empty: return "empty";
    }
    return "empty";
}

const TagHit* SourceCheck::FirstMissing() const {
    const auto found = std::find_if(tags.begin(), tags.end(), [](const TagHit& hit) { return hit.Missing(); });
    return found == tags.end() ? nullptr : &*found;
}

std::vector<TagHit> FindTags(const CheckTarget& target, std::string_view text) {
    const ScopedCustomTexts scoped(target.texts);
    std::vector<TagHit> hits;
    for (int number : TagsOfAddress(target.source.address)) {
        TagHit& hit = hits.emplace_back();
        hit.number = number;
        hit.tag = GetCustomString(number);
        hit.end = IsEndTag(number);
        if (hit.tag.empty()) {
            hit.at.push_back(0);  // an empty tag stands everywhere
            continue;
        }
        for (std::size_t pos = text.find(hit.tag); pos != std::string_view::npos && hit.at.size() < kMaxTagHits;
             pos = text.find(hit.tag, pos + 1)) {
            hit.at.push_back(pos);
        }
    }
    return hits;
}

CutOutcome CutText(const CheckTarget& target, std::string_view text, const CustomTexts& extra) {
    CutOutcome outcome;
    const ScopedCustomTexts own(target.texts);
    const ScopedCustomTexts suggested(extra);
    const KeptRunState kept(target);
    ScratchFolder scratch;
    if (!scratch.Made()) {
        outcome.error = "Check error: cannot make a temporary folder";
        return outcome;
    }
    TextAtHand atHand(text);
    FetchOptions options;
    options.keepCopy = false;
    const Fetcher fetcher(options, &atHand);
    outcome.cut = target.topic->download(target.settings, TopicPlan{target.source}, fetcher, scratch.Page());
    if (!outcome.cut) {
        outcome.error = g_lastError;
        return outcome;
    }
    std::ifstream page(scratch.Page(), std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()};
    ReadCards(written, outcome);
    return outcome;
}

SourceCheck CheckFetched(const CheckTarget& target, const FetchResult& fetched, std::string url) {
    SourceCheck check;
    check.target = target;
    check.fetch.url = std::move(url);
    check.fetch.finalUrl = fetched.finalUrl;
    check.fetch.status = fetched.status;
    check.fetch.ms = fetched.milliseconds;
    if (!fetched.ok) {
        check.fetch.error = FailedFetchWords(fetched);
        check.outcome = FailedFetchOutcome(fetched);
        return check;
    }
    check.fetched = true;
    check.text = fetched.text;
    check.fetch.bytes = check.text.size();
    check.tags = FindTags(target, check.text);
    check.cut = CutText(target, check.text);
    if (fetched.status != 0 && (fetched.status < 200 || fetched.status > 299)) {
        check.outcome = CheckOutcome::HttpError;
    } else if (check.FirstMissing()) {
        check.outcome = CheckOutcome::TagMissing;
    } else {
        check.outcome = check.cut.cards.empty() ? CheckOutcome::Empty : CheckOutcome::Ok;
    }
    return check;
}

SourceCheck CheckSource(const CheckTarget& target, const FetchOptions& options) {
    const std::string& url = target.source.url;
    FetchResult fetched;
    if (url.empty()) {
        fetched.error = "nothing to fetch for code '" + target.source.code + "'";
    } else {
        fetched = PerformWithRetries(JobForUrl(url, options.localConversion), options);
    }
    return CheckFetched(target, fetched, url);
}

std::string OutcomeText(const SourceCheck& check) {
    switch (check.outcome) {
        case CheckOutcome::Ok: {
            const std::size_t cards = check.cut.cards.size();
            return "ok, " + std::to_string(cards) + (cards == 1 ? " card" : " cards");
        }
        case CheckOutcome::TagMissing: {
            const TagHit& missing = *check.FirstMissing();
            return "tag '" + TagAsStored(missing.tag) + "' not found (key " + CustomKey(missing.number) + ")";
        }
        case CheckOutcome::HttpError: return "HTTP " + std::to_string(check.fetch.status);
        case CheckOutcome::Timeout: return "time-out";
        case CheckOutcome::NetworkError: return check.fetch.error;
        case CheckOutcome::Empty:
            return check.cut.error.empty() ? std::string("no cards") : "no cards: " + check.cut.error;
    }
    return {};
}

}  // namespace tp
