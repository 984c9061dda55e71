// The run log: what each download run fetched and wrote and how it ended, one
// JSON object a line in log/runs.jsonl of the data folder, so that a run left
// unattended can be looked at afterwards and a source that keeps failing can
// be told from one that failed once.
//
//   {"run":"2026-12-10T06:30:00Z","type":"fetch","time":"...","topic":"Weather",
//    "key":"String110","address":"http://...","status":200,"bytes":4711,
//    "ms":85,"tries":1,"outcome":"ok","error":""}
//   {"run":"...","type":"page","name":"xml/weather.xml","bytes":2048,"cards":3,
//    "changed":true,"kept":false}
//   {"run":"...","type":"summary","start":"...","end":"...","outcome":"completed",
//    "exit":0}
//
// Every line carries the start of its run, which groups the lines; times are UTC.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// Relative to the data folder.
inline constexpr const char* kRunLogFolder = "log";
inline constexpr const char* kRunLogName = "log/runs.jsonl";
// The log is kept below this size by dropping its oldest runs.
inline constexpr std::size_t kRunLogLimit = 1024 * 1024;

// Outcomes of a fetch.
inline constexpr std::string_view kFetchOk = "ok";
inline constexpr std::string_view kFetchHttpError = "http error";  // an answer, but not 2xx
inline constexpr std::string_view kFetchFailed = "failed";
inline constexpr std::string_view kFetchDeadline = "deadline";  // stopped by the run's deadline

struct FetchRecord {
    std::string time;
    std::string topic;
    std::string key;      // of the customizable address, "String<number>"
    std::string address;  // without user name and password
    long status = 0;
    std::size_t bytes = 0;
    long milliseconds = 0;
    int tries = 0;
    std::string outcome;
    std::string error;  // in words; "" for none
};

struct PageRecord {
    std::string name;
    std::size_t bytes = 0;
    int cards = 0;
    bool changed = false;  // differs from the run before's apart from its date line
    bool kept = false;     // the page of an earlier run, kept for a failing topic
};

struct RunSummary {
    std::string start;
    std::string end;
    std::string outcome;
    int exitStatus = 0;
};

struct LoggedRun {
    std::vector<FetchRecord> fetches;
    std::vector<PageRecord> pages;
    RunSummary summary;
};

// "YYYY-MM-DDTHH:MM:SSZ".
std::string UtcTimestamp(std::time_t when);

// address without the "user:password@" of its authority.
std::string WithoutCredentials(std::string_view address);

// The run's lines, each ending in a line feed.
std::string RunLogLines(const LoggedRun& run);

// The runs of the log text, oldest first. A line that is not one of ours is
// passed over, so a damaged line costs only itself.
std::vector<LoggedRun> ParseRunLog(std::string_view text);

// Adds run to the log in dataFolder (ending in "/"), dropping the oldest runs
// while the log would be larger than kRunLogLimit (the newest run always
// stays). The folder and the file are the owner's alone; a symbolic link in
// the place of either is not followed. False with failure saying why.
bool AppendToRunLog(const std::string& dataFolder, const LoggedRun& run, std::string& failure);

// The runs of the log in dataFolder, oldest first; none when there is no log.
std::vector<LoggedRun> ReadRunLog(const std::string& dataFolder);

}  // namespace tp
