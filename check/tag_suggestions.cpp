#include "check/tag_suggestions.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

namespace tp {
namespace {

// Longest tag worth offering, and the context taken around an old tag.
constexpr std::size_t kLongestTag = 200;
constexpr std::size_t kContext = 40;
constexpr std::size_t kShortestContext = 8;
// How far a loose match may run from its tag, beyond the tag's own length.
constexpr std::size_t kLooseSlack = 64;

// Where a candidate comes from, best first: how much it is trusted before
// its cards are looked at.
enum class Origin { OldPlace, Loose, AnyCase, LongestPart, Separator };

double Trust(Origin origin) {
    switch (origin) {
        case Origin::OldPlace: return 0.9;
        case Origin::Loose: return 0.8;
        case Origin::AnyCase: return 0.7;
        case Origin::LongestPart: return 0.5;
        case Origin::Separator: return 0.3;
    }
    return 0;
}

struct Candidate {
    std::string tag;
    Origin origin;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The tag's words, and whether blanks stand before the first and after the last.
struct Words {
    std::vector<std::string_view> words;
    bool blankBefore = false;
    bool blankAfter = false;
};

Words SplitWords(std::string_view tag) {
    Words split;
    split.blankBefore = !tag.empty() && IsBlank(tag.front());
    split.blankAfter = !tag.empty() && IsBlank(tag.back());
    std::size_t pos = 0;
    while (pos < tag.size()) {
        while (pos < tag.size() && IsBlank(tag[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < tag.size() && !IsBlank(tag[pos])) ++pos;
        if (pos > start) split.words.push_back(tag.substr(start, pos - start));
    }
    return split;
}

bool SameAt(std::string_view text, std::size_t pos, std::string_view word, bool anyCase) {
    if (pos + word.size() > text.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char a = text[pos + i];
        const char b = word[i];
        if (a != b && !(anyCase && Lower(a) == Lower(b))) return false;
    }
    return true;
}

// The tag's words at pos with any run of blanks between them (and around
// them where the tag has blanks there); the end of the match, or npos.
std::size_t LooseMatchAt(std::string_view text, std::size_t pos, const Words& split, bool anyCase) {
    if (split.blankBefore) {
        if (pos >= text.size() || !IsBlank(text[pos])) return std::string_view::npos;
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
    }
    for (std::size_t i = 0; i < split.words.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || !IsBlank(text[pos])) return std::string_view::npos;
            while (pos < text.size() && IsBlank(text[pos])) ++pos;
        }
        if (!SameAt(text, pos, split.words[i], anyCase)) return std::string_view::npos;
        pos += split.words[i].size();
    }
    if (split.blankAfter) {
        if (pos >= text.size() || !IsBlank(text[pos])) return std::string_view::npos;
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
    }
    return pos;
}

// The tag with its blanks and line breaks taken loosely (and then its letters
// in any case): the first few places it stands in the text.
void AddLooseMatches(std::string_view text, std::string_view tag, std::vector<Candidate>& out) {
    const Words split = SplitWords(tag);
    if (split.words.empty()) return;
    for (const bool anyCase : {false, true}) {
        int found = 0;
        for (std::size_t pos = 0; pos < text.size() && found < 3; ++pos) {
            const std::size_t end = LooseMatchAt(text, pos, split, anyCase);
            if (end == std::string_view::npos || end - pos > tag.size() + kLooseSlack) continue;
            out.push_back({std::string(text.substr(pos, end - pos)), anyCase ? Origin::AnyCase : Origin::Loose});
            ++found;
            pos = end;
        }
    }
}

// The longest run of tag still present in the text, and its longest start
// and end still present.
void AddLongestParts(std::string_view text, std::string_view tag, std::vector<Candidate>& out) {
    const std::size_t shortest = std::max<std::size_t>(3, tag.size() / 3);
    std::size_t bestStart = 0;
    std::size_t bestLength = 0;
    std::size_t prefix = 0;
    for (std::size_t start = 0; start < tag.size(); ++start) {
        // Presence shrinks with length, so the longest present run from start
        // is found by halving.
        std::size_t low = 0;
        std::size_t high = tag.size() - start;
        while (low < high) {
            const std::size_t mid = (low + high + 1) / 2;
            if (text.find(tag.substr(start, mid)) != std::string_view::npos) {
                low = mid;
            } else {
                high = mid - 1;
            }
        }
        if (start == 0) prefix = low;
        if (low > bestLength) {
            bestLength = low;
            bestStart = start;
        }
        if (start + low == tag.size() && low >= shortest) {
            out.push_back({std::string(tag.substr(start)), Origin::LongestPart});  // longest end present
            break;
        }
    }
    if (bestLength >= shortest) out.push_back({std::string(tag.substr(bestStart, bestLength)), Origin::LongestPart});
    if (prefix >= shortest) out.push_back({std::string(tag.substr(0, prefix)), Origin::LongestPart});
}

// Of the places where piece stands in text, the one nearest to near.
std::size_t NearestPlace(std::string_view text, std::string_view piece, std::size_t near) {
    std::size_t best = std::string_view::npos;
    for (std::size_t pos = text.find(piece); pos != std::string_view::npos; pos = text.find(piece, pos + 1)) {
        const auto distance = [near](std::size_t p) { return p > near ? p - near : near - p; };
        if (best == std::string_view::npos || distance(pos) < distance(best)) best = pos;
    }
    return best;
}

std::size_t LineStart(std::string_view text, std::size_t pos) {
    const std::size_t feed = pos == 0 ? std::string_view::npos : text.rfind('\n', pos - 1);
    return feed == std::string_view::npos ? 0 : feed + 1;
}

std::size_t LineEnd(std::string_view text, std::size_t pos) {
    const std::size_t feed = text.find('\n', pos);
    return feed == std::string_view::npos ? text.size() : feed;
}

// Where the tag stood in the old text, found in the new one by the text
// around it: what now stands between what came before and after it, or
// when only one side is left, what stands beside it on its line.
void AddOldPlace(std::string_view text, std::string_view tag, std::string_view old, std::vector<Candidate>& out) {
    const std::size_t at = old.find(tag);
    if (at == std::string_view::npos || tag.empty()) return;
    const std::size_t tagEnd = at + tag.size();
    // Near the same share of the text as before.
    const std::size_t near = static_cast<std::size_t>(static_cast<double>(at) / std::max<std::size_t>(old.size(), 1) *
                                                      static_cast<double>(text.size()));

    std::size_t after = std::string_view::npos;
    for (std::size_t length = std::min(kContext, old.size() - tagEnd); length >= kShortestContext; length /= 2) {
        after = NearestPlace(text, old.substr(tagEnd, length), near);
        if (after != std::string_view::npos) break;
    }
    std::size_t before = std::string_view::npos;
    for (std::size_t length = std::min(kContext, at); length >= kShortestContext; length /= 2) {
        const std::size_t place = NearestPlace(text, old.substr(at - length, length), near);
        if (place != std::string_view::npos) {
            before = place + length;
            break;
        }
    }
    const auto add = [&](std::size_t from, std::size_t to) {
        if (from < to && to - from <= kLongestTag) out.push_back({std::string(text.substr(from, to - from)), Origin::OldPlace});
    };
    const bool endsLine = tag.back() == '\n';
    if (before != std::string_view::npos && after != std::string_view::npos && before <= after) add(before, after);
    if (after != std::string_view::npos) {
        add(LineStart(text, after > 0 ? after - 1 : 0), after);
        if (endsLine && after > 0) add(LineStart(text, LineStart(text, after - 1) - (LineStart(text, after - 1) > 0)), after);
    }
    if (before != std::string_view::npos) {
        const std::size_t end = LineEnd(text, before);
        add(before, end + (endsLine && end < text.size() ? 1 : 0));
    }
}

// Separators an end tag might become: line breaks, common marks, and short
// lines that come back several times.
void AddSeparators(std::string_view text, std::vector<Candidate>& out) {
    for (std::string_view mark : {"\n\n", "\n", "\n\n\n", "<-", "--", "...", "|", "[", "]", "*"}) {
        if (text.find(mark) != std::string_view::npos) out.push_back({std::string(mark), Origin::Separator});
    }
    std::set<std::string_view> seen;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = LineEnd(text, pos);
        const std::string_view line = text.substr(pos, end - pos);
        const bool shortLine = !line.empty() && line.size() <= 12 &&
                               std::any_of(line.begin(), line.end(), [](char c) { return !IsBlank(c); });
        if (shortLine && !seen.insert(line).second) out.push_back({std::string(line), Origin::Separator});
        pos = end + 1;
        if (seen.size() > 2000) break;
    }
}

// How near cards come to the cards of the last good text: 0 to 2.
double Likeness(const CutOutcome& cards, const CutOutcome& reference) {
    if (reference.cards.empty()) return 0;
    if (cards.cardsXml == reference.cardsXml) return 2;
    const double n = static_cast<double>(cards.cards.size());
    const double n0 = static_cast<double>(reference.cards.size());
    const double count = 1 - std::abs(n - n0) / std::max(n, n0);
    double titles = 0;
    double bodies = 0;
    const std::size_t pairs = std::min(cards.cards.size(), reference.cards.size());
    for (std::size_t i = 0; i < pairs; ++i) {
        titles += cards.cards[i].title == reference.cards[i].title ? 1 : 0;
        const double a = static_cast<double>(cards.cards[i].body.size());
        const double b = static_cast<double>(reference.cards[i].body.size());
        bodies += std::max(a, b) == 0 ? 1 : std::min(a, b) / std::max(a, b);
    }
    return (count + (pairs ? (titles + bodies) / (2 * static_cast<double>(pairs)) : 0)) / 2;
}

// How often piece stands in text, counted up to limit.
std::size_t Occurrences(std::string_view text, std::string_view piece, std::size_t limit) {
    std::size_t count = 0;
    for (std::size_t pos = text.find(piece); pos != std::string_view::npos && count < limit;
         pos = text.find(piece, pos + piece.size())) {
        ++count;
    }
    return count;
}

// Without a last good text: cards of a length a reader would expect and, for
// an end tag, a tag that stands about as often as there are cards, since it
// ends each of them once; a line break that cuts every piece short stands far
// more often.
double Plausibility(const CutOutcome& cards, std::string_view text, std::string_view tag, bool end) {
    std::size_t total = 0;
    for (const CheckCard& card : cards.cards) total += card.body.size();
    const std::size_t average = total / std::max<std::size_t>(cards.cards.size(), 1);
    double score = average >= 20 && average <= 4000 ? 0.5 : 0;
    if (end) {
        const double n = static_cast<double>(cards.cards.size());
        const double stands = static_cast<double>(Occurrences(text, tag, 100 * cards.cards.size()));
        score += 0.5 * std::min(n, stands) / std::max(n, stands);
    }
    return score;
}

struct Scored {
    TagSuggestion suggestion;
    double score;
};

// The candidates for one missing tag, tried with the replacements already
// chosen, best first.
std::vector<Scored> Rank(const SourceCheck& check, const TagHit& missing, const std::string* lastGood,
                         const CutOutcome* reference, const CustomTexts& chosen) {
    std::vector<Candidate> candidates;
    if (lastGood) AddOldPlace(check.text, missing.tag, *lastGood, candidates);
    AddLooseMatches(check.text, missing.tag, candidates);
    AddLongestParts(check.text, missing.tag, candidates);
    if (missing.end) AddSeparators(check.text, candidates);

    std::vector<Scored> ranked;
    std::set<std::string> tried;
    for (const Candidate& candidate : candidates) {
        if (candidate.tag.empty() || candidate.tag.size() > kLongestTag || candidate.tag == missing.tag ||
            candidate.tag.find('\r') != std::string::npos || !tried.insert(candidate.tag).second) {
            continue;
        }
        CustomTexts extra = chosen;
        extra.emplace_back(missing.number, candidate.tag);
        const CutOutcome cut = CutText(check.target, check.text, extra);
        if (cut.cards.empty()) continue;
        const double score = Trust(candidate.origin) +
                             (reference ? 2 * Likeness(cut, *reference)
                                        : Plausibility(cut, check.text, candidate.tag, missing.end));
        ranked.push_back({{missing.number, candidate.tag, static_cast<int>(cut.cards.size())}, score});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Scored& a, const Scored& b) { return a.score > b.score; });
    if (ranked.size() > kMaxSuggestions) ranked.resize(kMaxSuggestions);
    return ranked;
}

}  // namespace

std::vector<TagSuggestion> SuggestTags(const SourceCheck& check, const std::string* lastGood) {
    std::vector<const TagHit*> missing;
    for (const TagHit& hit : check.tags) {
        if (hit.Missing()) missing.push_back(&hit);
    }
    if (!check.fetched || missing.empty()) return {};

    CutOutcome reference;
    if (lastGood) reference = CutText(check.target, *lastGood);
    const CutOutcome* likeness = reference.cards.empty() ? nullptr : &reference;

    // A tag may cut nothing, or too little, while another is still missing:
    // each is tried with the best of those before it, and when several are
    // missing a second round tries each again with the best of all the others.
    std::vector<std::vector<Scored>> ranked(missing.size());
    const auto others = [&](std::size_t skip) {
        CustomTexts texts;
        for (std::size_t j = 0; j < missing.size(); ++j) {
            if (j != skip && !ranked[j].empty()) texts.emplace_back(missing[j]->number, ranked[j].front().suggestion.tag);
        }
        return texts;
    };
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < missing.size(); ++i) {
            std::vector<Scored> again = Rank(check, *missing[i], lastGood, likeness, others(i));
            if (!again.empty() || round == 0) ranked[i] = std::move(again);
        }
        if (missing.size() == 1) break;
    }
    std::vector<TagSuggestion> suggestions;
    for (const std::vector<Scored>& list : ranked) {
        for (const Scored& scored : list) suggestions.push_back(scored.suggestion);
    }
    return suggestions;
}

}  // namespace tp
