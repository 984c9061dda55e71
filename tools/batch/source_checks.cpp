#include "tools/batch/source_checks.h"

#include "check/source_check.h"
#include "check/tag_suggestions.h"
#include "run/download_run.h"
#include "run/good_texts.h"
#include "run/json_line.h"
#include "run/run_log.h"
#include "tools/batch/batch_runner.h"
#include "tools/batch/terminal_run_view.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace tp {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool FetchesWebPages(const Topic& topic) { return topic.id != TopicId::Email; }

// "weather, news, stocks, movies, directions, astro".
std::string CheckableNames() {
    std::string names;
    for (const Topic& topic : Topics()) {
        if (!FetchesWebPages(topic)) continue;
        if (!names.empty()) names += ", ";
        names += Lower(topic.name);
    }
    return names;
}

std::vector<const TagHit*> MissingTags(const SourceCheck& check) {
    std::vector<const TagHit*> missing;
    for (const TagHit& hit : check.tags) {
        if (hit.Missing()) missing.push_back(&hit);
    }
    return missing;
}

const TagSuggestion* BestSuggestion(const SourceCheck& check, int number) {
    const auto found = std::find_if(check.suggestions.begin(), check.suggestions.end(),
                                    [number](const TagSuggestion& s) { return s.number == number; });
    return found == check.suggestions.end() ? nullptr : &*found;
}

std::string Cards(int count) { return std::to_string(count) + (count == 1 ? " card" : " cards"); }

// "Weather String104 10001: tag 'Precip. %' not found (key String171)", then
// for each missing tag the best replacement, indented.
void PrintWords(const SourceCheck& check, std::ostream& out) {
    const CheckTarget& target = check.target;
    out << target.topic->name << ' ' << CustomKey(target.source.address) << ' '
        << (target.source.code.empty() ? "-" : target.source.code) << ": " << OutcomeText(check) << '\n';
    if (check.outcome != CheckOutcome::TagMissing) return;
    for (const TagHit* missing : MissingTags(check)) {
        const std::string key = CustomKey(missing->number);
        if (missing != check.FirstMissing()) {
            out << "  also tag '" << TagAsStored(missing->tag) << "' not found (key " << key << ")\n";
        }
        if (const TagSuggestion* best = BestSuggestion(check, missing->number)) {
            out << "  try '" << TagAsStored(best->tag) << "' for " << key << " (" << Cards(best->cards) << ")\n";
        } else {
            out << "  no replacement found for " << key << '\n';
        }
    }
}

void PrintJson(const SourceCheck& check, std::ostream& out) {
    const CheckTarget& target = check.target;
    std::vector<JsonObject> missing;
    for (const TagHit* hit : MissingTags(check)) {
        missing.push_back(JsonObject().Text("key", CustomKey(hit->number)).Text("tag", hit->tag));
    }
    std::vector<JsonObject> suggestions;
    for (const TagSuggestion& suggestion : check.suggestions) {
        suggestions.push_back(JsonObject()
                                  .Text("key", CustomKey(suggestion.number))
                                  .Text("tag", suggestion.tag)
                                  .Number("cards", suggestion.cards));
    }
    out << JsonObject()
               .Text("topic", Lower(target.topic->name))
               .Text("key", CustomKey(target.source.address))
               .Text("code", target.source.code)
               .Text("url", WithoutCredentials(check.fetch.url))
               .Text("outcome", OutcomeName(check.outcome))
               .Text("message", OutcomeText(check))
               .Number("http_status", check.fetch.status)
               .Number("bytes", static_cast<long long>(check.fetch.bytes))
               .Number("ms", check.fetch.ms)
               .Number("cards", static_cast<long long>(check.cut.cards.size()))
               .Objects("missing", missing)
               .Objects("suggestions", suggestions)
               .Line();
}

}  // namespace

bool ReadCheckArguments(const std::vector<std::string>& arguments, CheckRequest& request, std::string& error) {
    for (const std::string& argument : arguments) {
        if (argument == "--json") {
            request.json = true;
            continue;
        }
        const Topic* topic = FindTopic(argument);
        if (!topic || !FetchesWebPages(*topic)) {
            if (topic) {
                error = "the topic '" + argument + "' fetches no web page to check";
            } else if (argument.starts_with("-")) {
                error = "--check takes topic names and --json, not '" + argument + "'";
            } else {
                error = "unknown topic '" + argument + "'";
            }
            error += "; the topics to check are " + CheckableNames();
            return false;
        }
        if (std::find(request.topics.begin(), request.topics.end(), topic) == request.topics.end()) {
            request.topics.push_back(topic);
        }
    }
    return true;
}

Settings CheckedSettings(const Settings& settings, const CheckRequest& request) {
    Settings checked = settings;
    for (const Topic& topic : Topics()) {
        const bool named = std::find(request.topics.begin(), request.topics.end(), &topic) != request.topics.end();
        const bool chosen = request.topics.empty() ? topic.selected(settings) && FetchesWebPages(topic) : named;
        topic.files(checked).download = chosen;
    }
    return checked;
}

int CheckSources(const Settings& checked, bool json, std::ostream& out, std::ostream& err) {
    RunLock lock;
    TerminalRunView view(out, err);
    const RunLock::Result locked = AcquireRunLock(lock, view);
    if (locked != RunLock::Result::Held) return locked == RunLock::Result::Busy ? kBatchBusy : kBatchFailed;
    FetchOptions options = FetchOptionsOf(checked.general);
    options.keepCopy = false;
    bool allOk = true;
    for (const Topic& topic : Topics()) {
        if (!topic.selected(checked)) continue;
        for (const CheckTarget& target : TargetsOf(topic, checked)) {
            SourceCheck check = CheckSource(target, options);
            const std::string code = GoodTextCode(topic.id, target.source);
            if (check.outcome == CheckOutcome::Ok) {
                KeepGoodText(target.source.address, code, check.text);
            } else if (check.outcome == CheckOutcome::TagMissing) {
                const std::optional<std::string> lastGood = LastGoodText(target.source.address, code);
                check.suggestions = SuggestTags(check, lastGood ? &*lastGood : nullptr);
            }
            allOk = allOk && check.outcome == CheckOutcome::Ok;
            if (json) {
                PrintJson(check, out);
            } else {
                PrintWords(check, out);
            }
            out.flush();
        }
    }
    return allOk ? kBatchCompleted : kBatchFailed;
}

}  // namespace tp
