#include "tools/batch/source_checks.h"

#include "check/source_check.h"
#include "run/download_run.h"
#include "tools/batch/batch_runner.h"

namespace tp {

int CheckSources(const Settings& settings, const std::vector<std::string>& topics, std::ostream& out,
                 std::ostream&) {
    FetchOptions options = FetchOptionsOf(settings.general);
    options.keepCopy = false;
    bool allOk = true;
    for (const Topic& topic : Topics()) {
        if (topic.id == TopicId::Email) continue;
        bool chosen = topic.selected(settings);
        if (!topics.empty()) {
            chosen = false;
            for (const std::string& name : topics) chosen = chosen || FindTopic(name) == &topic;
        }
        if (!chosen) continue;
        for (const CheckTarget& target : TargetsOf(topic, settings)) {
            const SourceCheck check = CheckSource(target, options);
            allOk = allOk && check.outcome == CheckOutcome::Ok;
            out << topic.name << ' ' << CustomKey(target.source.address) << ' '
                << (target.source.code.empty() ? "-" : target.source.code) << ": " << OutcomeText(check) << '\n';
        }
    }
    return allOk ? kBatchCompleted : kBatchFailed;
}

}  // namespace tp
