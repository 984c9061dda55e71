#include "topics/email.h"

#include <algorithm>
#include <array>
#include <vector>

#include "app/clean_text.h"
#include "app/diagnostics.h"
#include "app/globals.h"
#include "app/paths.h"
#include "topics/card_list.h"
#include "topics/scan.h"
#include "pages/page_files.h"
#include "topics/topic_table.h"
#include "pages/page_format.h"
#include "platform/dir_list.h"
#include "platform/regular_file.h"
#include "platform/text_file.h"
#include "settings/email_files.h"

namespace tp {

namespace {

constexpr std::string_view kLineBreak = "<br/>\n";
constexpr std::string_view kContentType = "Content-Type:";
constexpr std::array<std::string_view, 5> kHeaderNames = {"From:", "To:", "Cc:", "Subject:",
                                                          "Date:"};
constexpr std::size_t kExtensionLength = 4;

// Decodes one UTF-8 sequence at text[pos]; false when none starts there.
bool DecodeUtf8(std::string_view text, std::size_t& pos, unsigned& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(pos);
    std::size_t length = 0;
    if (lead < 0x80) {
        length = 1;
        codePoint = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return false;
    }
    if (pos + length > text.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return false;
        codePoint = (codePoint << 6) | (byte(pos + i) & 0x3F);
    }
    // An over-long form would smuggle a zero byte or markup into the title
    // ("\xE0\x80\x80" is a zero); like surrogates, it is not UTF-8.
    constexpr unsigned kShortestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kShortestOfLength[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return false;
    }
    pos += length;
    return true;
}

// Names on this system are normally UTF-8 while page text is Latin-1: a name
// that is valid UTF-8 is turned into Latin-1 ("?" for what Latin-1 lacks); any
// other name is taken to be Latin-1 already.
std::string FileNameAsLatin1(std::string_view name) {
    std::string latin1;
    std::size_t pos = 0;
    while (pos < name.size()) {
        unsigned codePoint = 0;
        if (!DecodeUtf8(name, pos, codePoint)) return std::string(name);
        latin1 += codePoint <= 0xFF ? static_cast<char>(codePoint) : '?';
    }
    return latin1;
}

// Cleans text[pos, end) in place and appends it to out.
void AppendCleaned(std::string& text, std::size_t pos, std::size_t end, std::string& out) {
    for (; pos < end; ++pos) {
        // A zero byte inside a file is text here, not the end of it.
        const char c = CleanChar(text.data(), pos);
        out += c == '\0' ? ' ' : c;
    }
}

// Cleaned text never holds "<", so the only markup is our own "<br/>"; a cut
// must not leave half of one at the end.
std::string CutKeepingBreaks(std::string text, std::size_t maxLength) {
    if (text.size() <= maxLength) return text;
    text.resize(maxLength);
    const std::size_t open = text.rfind('<');
    if (open != std::string::npos && text.find('>', open) == std::string::npos) text.resize(open);
    return text;
}

bool IsMessageFile(std::string_view fileName) { return WildcardMatch("*.eml", fileName); }

}  // namespace

std::string EmailTitle(std::string_view fileName) {
    const std::string_view stem =
        fileName.substr(0, fileName.size() - std::min(fileName.size(), kExtensionLength));
    std::string title = FileNameAsLatin1(stem);
    return CutToLength(CleanText(title), kEmailTitleMax);
}

std::string MemoText(std::string content) {
    std::string text;
    AppendCleaned(content, 0, content.size(), text);
    return CutToLength(std::move(text), kEmailTextMax);
}

std::string MessageText(std::string content) {
    // The scanning primitives stop at the first zero byte.
    content.erase(std::remove(content.begin(), content.end(), '\0'), content.end());
    const char* text = content.c_str();

    std::string result;
    bool anyHeader = false;
    for (const std::string_view header : kHeaderNames) {
        const std::size_t start = FindTag(text, 0, header);
        if (start == kNotFound) continue;
        AppendCleaned(content, start, EndOfLine(text, start), result);
        result += kLineBreak;
        anyHeader = true;
    }
    if (anyHeader) result += kLineBreak;

    // A message without a body part is still worth its header lines, so a miss
    // here is not a failure.
    const std::size_t typeEnd = FindAfterTag(text, 0, kContentType);
    if (typeEnd != kNotFound) {
        std::size_t body = EndOfLine(text, typeEnd);
        if (text[body] == '\n') ++body;
        AppendCleaned(content, body, content.size(), result);
    }
    return CutKeepingBreaks(std::move(result), kEmailTextMax);
}

std::string EmailFileText(const std::string& folder, const std::string& fileName) {
    std::string content;
    if (!ReadTextFile(folder + fileName, content, kEmailTextMax)) {
        return std::string(kEmailOpenFailed);
    }
    return IsMessageFile(fileName) ? MessageText(std::move(content)) : MemoText(std::move(content));
}

bool DownloadEmail(const Settings& settings, const std::string& pageFile) {
    const EmailSettings& email = settings.more.email;
    std::string icon;
    std::string templateText;
    if (!ReadPageSources(email.icon, email.xml, icon, templateText)) return false;

    const std::string folder = GetExeFolder() + MailFolderName();
    std::vector<CardEntry> entries;
    for (const std::string& name : ListEmailFilesInPageOrder()) {
        if (entries.size() == kEmailSlots) break;
        // The page may be read by others and is carried to the organiser: a
        // link must not publish a file from elsewhere on the machine.
        if (IsLinkLeavingFolder(folder + name, GetExeFolder())) {
            NoteDiagnostic(folder + name + ": a symbolic link to a file outside the data folder, skipped");
            continue;
        }
        entries.push_back({EmailTitle(name), EmailFileText(folder, name)});
    }

    const CardTexts texts = BuildCardTexts(entries, kEmailLinksCapacity, kEmailCardsCapacity);
    return BuildTopicPage(TopicOf(TopicId::Email).page, email.icon, email.xml, pageFile, texts.links,
                          texts.cards, settings.general);
}

}  // namespace tp
