// The headless runner: one download run with the saved settings, for cron and
// scripts. It never asks anything and never writes the settings file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tp {

// Exit statuses of the runner.
inline constexpr int kBatchCompleted = 0;  // every selected topic wrote its page
inline constexpr int kBatchFailed = 1;     // the run stopped, or a topic failed
inline constexpr int kBatchRefused = 2;    // the validation refused the run, or no topic is selected
inline constexpr int kBatchUsage = 64;     // unknown argument
inline constexpr int kBatchBusy = 75;      // another download runs in the data folder (try later)

// Runs the runner with the arguments after the program name; status texts go
// to out, messages and diagnostics to err. Returns the exit status. With
// "--show-text ADDRESS" it runs no download: it fetches ADDRESS and prints the
// text the extractors would search (0; 1 with the reason when the fetch fails).
int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tp
