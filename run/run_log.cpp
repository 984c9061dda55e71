#include "run/run_log.h"

#include "run/json_line.h"

#include "platform/private_file.h"
#include "platform/regular_file.h"
#include "platform/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace tp {
namespace {

// The fields of one flat object of ours: strings (unescaped), numbers and
// true/false as their text. False for anything else.
bool ParseFlatObject(std::string_view line, std::map<std::string, std::string>& fields) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    };
    const auto readString = [&](std::string& out) { return ReadJsonString(line, i, out); };
    skipBlanks();
    if (i >= line.size() || line[i++] != '{') return false;
    for (;;) {
        skipBlanks();
        std::string key;
        std::string value;
        if (!readString(key)) return false;
        skipBlanks();
        if (i >= line.size() || line[i++] != ':') return false;
        skipBlanks();
        if (i < line.size() && line[i] == '"') {
            if (!readString(value)) return false;
        } else {
            while (i < line.size() && line[i] != ',' && line[i] != '}' && line[i] != ' ') value += line[i++];
            if (value.empty()) return false;
        }
        fields[key] = value;
        skipBlanks();
        if (i >= line.size()) return false;
        if (line[i] == '}') return true;
        if (line[i++] != ',') return false;
    }
}

long long NumberOf(const std::map<std::string, std::string>& fields, const std::string& key) {
    const auto it = fields.find(key);
    return it == fields.end() ? 0 : std::strtoll(it->second.c_str(), nullptr, 10);
}

std::string TextOf(const std::map<std::string, std::string>& fields, const std::string& key) {
    const auto it = fields.find(key);
    return it == fields.end() ? std::string() : it->second;
}

// Found in a summary line only: the field written after "run".
constexpr std::string_view kSummaryMark = "\",\"type\":\"summary\",";

}  // namespace

std::string UtcTimestamp(std::time_t when) {
    std::tm utc{};
    ::gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string WithoutCredentials(std::string_view address) {
    const std::size_t scheme = address.find("://");
    if (scheme == std::string_view::npos) return std::string(address);
    const std::size_t begin = scheme + 3;
    std::size_t end = address.find_first_of("/?#", begin);
    if (end == std::string_view::npos) end = address.size();
    const std::size_t at = address.substr(begin, end - begin).rfind('@');
    if (at == std::string_view::npos) return std::string(address);
    return std::string(address.substr(0, begin)) + std::string(address.substr(begin + at + 1));
}

std::string RunLogLines(const LoggedRun& run) {
    const std::string& id = run.summary.start;
    std::string lines;
    for (const FetchRecord& fetch : run.fetches) {
        lines += JsonObject()
                     .Text("run", id)
                     .Text("type", "fetch")
                     .Text("time", fetch.time)
                     .Text("topic", fetch.topic)
                     .Text("key", fetch.key)
                     .Text("address", WithoutCredentials(fetch.address))
                     .Number("status", fetch.status)
                     .Number("bytes", static_cast<long long>(fetch.bytes))
                     .Number("ms", fetch.milliseconds)
                     .Number("tries", fetch.tries)
                     .Text("outcome", fetch.outcome)
                     .Text("error", fetch.error)
                     .Line();
    }
    for (const PageRecord& page : run.pages) {
        lines += JsonObject()
                     .Text("run", id)
                     .Text("type", "page")
                     .Text("name", page.name)
                     .Number("bytes", static_cast<long long>(page.bytes))
                     .Number("cards", page.cards)
                     .Flag("changed", page.changed)
                     .Flag("kept", page.kept)
                     .Line();
    }
    lines += JsonObject()
                 .Text("run", id)
                 .Text("type", "summary")
                 .Text("start", run.summary.start)
                 .Text("end", run.summary.end)
                 .Text("outcome", run.summary.outcome)
                 .Number("exit", run.summary.exitStatus)
                 .Line();
    return lines;
}

std::vector<LoggedRun> ParseRunLog(std::string_view text) {
    std::vector<LoggedRun> runs;
    bool open = false;  // the last run has no summary yet
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(begin, end - begin);
        begin = end + 1;
        std::map<std::string, std::string> fields;
        if (!ParseFlatObject(line, fields)) continue;
        if (!open) {
            runs.emplace_back();
            runs.back().summary.start = TextOf(fields, "run");
            open = true;
        }
        LoggedRun& into = runs.back();
        const std::string type = TextOf(fields, "type");
        if (type == "fetch") {
            into.fetches.push_back({TextOf(fields, "time"), TextOf(fields, "topic"), TextOf(fields, "key"),
                                    TextOf(fields, "address"), static_cast<long>(NumberOf(fields, "status")),
                                    static_cast<std::size_t>(NumberOf(fields, "bytes")),
                                    static_cast<long>(NumberOf(fields, "ms")),
                                    static_cast<int>(NumberOf(fields, "tries")), TextOf(fields, "outcome"),
                                    TextOf(fields, "error")});
        } else if (type == "page") {
            into.pages.push_back({TextOf(fields, "name"), static_cast<std::size_t>(NumberOf(fields, "bytes")),
                                  static_cast<int>(NumberOf(fields, "cards")), TextOf(fields, "changed") == "true",
                                  TextOf(fields, "kept") == "true"});
        } else if (type == "summary") {
            into.summary = {TextOf(fields, "start"), TextOf(fields, "end"), TextOf(fields, "outcome"),
                            static_cast<int>(NumberOf(fields, "exit"))};
            open = false;
        }
    }
    return runs;
}

bool AppendToRunLog(const std::string& dataFolder, const LoggedRun& run, std::string& failure) {
    const std::string folder = dataFolder + kRunLogFolder;
    const std::string path = dataFolder + kRunLogName;
    if (!MakePrivateFolder(folder)) {
        failure = "cannot use the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    std::string old;
    if (!ReadFileNoFollow(path, old) && errno != ENOENT) {
        failure = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string added = RunLogLines(run);
    // Drop whole runs from the front: each ends with its summary line.
    std::size_t from = 0;
    while (old.size() - from + added.size() > kRunLogLimit && from < old.size()) {
        const std::size_t summary = old.find(kSummaryMark, from);
        const std::size_t lineEnd = summary == std::string::npos ? std::string::npos : old.find('\n', summary);
        from = lineEnd == std::string::npos ? old.size() : lineEnd + 1;
    }
    if (!ReplaceFileAtomically(path, old.substr(from) + added, kPrivateFileMode)) {
        failure = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::vector<LoggedRun> ReadRunLog(const std::string& dataFolder) {
    std::string text;
    if (!ReadFileNoFollow(dataFolder + kRunLogName, text)) return {};
    return ParseRunLog(text);
}

}  // namespace tp
