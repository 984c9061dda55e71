// A check of one source of a topic: its page fetched the way a run fetches it,
// cut by the topic's own code, and the outcome laid bare (what the fetch came
// to, where each tag stands in the text, the cards the page would get)
// without writing a page, "download.txt" or any setting.
#pragma once

#include "net/transfer.h"
#include "settings/settings_model.h"
#include "topics/topic_plan.h"
#include "topics/topic_table.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tp {

// Texts of the customization store (number, text) that stand in for the saved
// ones during a check: what a window holds before it is saved, or a suggested tag.
using CustomTexts = std::vector<std::pair<int, std::string>>;

// One source as the check takes it.
struct CheckTarget {
    const Topic* topic = nullptr;
    // The settings under which the topic takes this source: the user's, with
    // the language or code that selects the source put in where needed.
    Settings settings;
    SourceFetch source;
    CustomTexts texts;
};

// The sources a run would fetch for topic with the user's settings, in order.
std::vector<CheckTarget> TargetsOf(const Topic& topic, const Settings& settings);

// The source whose address has customization number address, with code put
// into the address ("" for an address without "%s", or for the first code the
// settings give it), under texts. False with the reason in g_lastError when no
// topic takes that address or the code cannot be used with it.
bool TargetForAddress(const Settings& settings, int address, const std::string& code, CustomTexts texts,
                      CheckTarget& target);

// "String104" for 104.
std::string CustomKey(int number);

// A tag on one line, as the settings file keeps it: its line feeds as "~".
std::string TagAsStored(std::string tag);

// The tags of an address (customization numbers, in the order the
// customization window lists them), and whether a tag ends a piece.
std::vector<int> TagsOfAddress(int address);
bool IsEndTag(int number);

enum class CheckOutcome { Ok, TagMissing, HttpError, Timeout, NetworkError, Empty };

// "ok", "tag-missing", "http-error", "timeout", "network-error", "empty".
std::string_view OutcomeName(CheckOutcome outcome);

// What the fetch came to.
struct FetchFacts {
    std::string url;       // asked for
    std::string finalUrl;  // that answered, after redirects ("" when none did)
    long status = 0;       // HTTP status (0 for none)
    std::size_t bytes = 0; // of text kept
    long ms = 0;
    std::string error;     // why the fetch failed, in words ("" when it did not)
};

// One tag and every place it stands in the text (at most kMaxTagHits).
struct TagHit {
    int number = 0;
    std::string tag;
    bool end = false;
    std::vector<std::size_t> at;
    bool Missing() const { return at.empty(); }
};
inline constexpr std::size_t kMaxTagHits = 500;

struct CheckCard {
    int id = 0;
    std::string title;
    std::string body;  // the card's text as the page holds it (with its markup)
};

// The cards a topic cuts out of one text.
struct CutOutcome {
    bool cut = false;             // the topic's code took the text and wrote its page
    std::string error;            // why not (g_lastError of the topic)
    std::vector<CheckCard> cards;
    std::string cardsXml;         // the cards as the page holds them
};

struct TagSuggestion {
    int number = 0;
    std::string tag;
    int cards = 0;
};

struct SourceCheck {
    CheckTarget target;
    FetchFacts fetch;
    bool fetched = false;
    std::string text;  // as fetched, before the cut
    std::vector<TagHit> tags;
    CutOutcome cut;
    std::vector<TagSuggestion> suggestions;  // filled by SuggestTags
    CheckOutcome outcome = CheckOutcome::Empty;

    // The first missing tag, or null.
    const TagHit* FirstMissing() const;
};

// Cuts text as the topic would for target, with extra texts standing in on
// top of the target's; nothing is fetched and nothing is left behind.
CutOutcome CutText(const CheckTarget& target, std::string_view text, const CustomTexts& extra = {});

// Where each tag of the target's address stands in text.
std::vector<TagHit> FindTags(const CheckTarget& target, std::string_view text);

// The check of target on a fetch that has already been made.
SourceCheck CheckFetched(const CheckTarget& target, const FetchResult& fetched, std::string url);

// Fetches the target's page with options (the run's path: conversion,
// time-outs, redirects, the transfer cap; never "download.txt") and checks it.
SourceCheck CheckSource(const CheckTarget& target, const FetchOptions& options);

// The line that tells the outcome: "ok, 3 cards", "tag 'x' not found (key
// String171)", "HTTP 404", "time-out", "cannot resolve host", ...
std::string OutcomeText(const SourceCheck& check);

}  // namespace tp
