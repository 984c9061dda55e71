// The e-mail topic: the memos ("*.txt", taken whole) and saved messages
// ("*.eml", reduced to a few header lines and the body) of the mail folder,
// one card per file, written as the e-mail page. Nothing is fetched.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/settings_model.h"

namespace tp {

// A page holds at most this many files; later files are not read.
inline constexpr std::size_t kEmailSlots = 20;
// Longest card title, in characters.
inline constexpr std::size_t kEmailTitleMax = 254;
// Longest card text, and longest part of a file that is read, in characters
// (the text slot less its terminating zero).
inline constexpr std::size_t kEmailTextMax = 51199;
// Capacities of the page's index links and cards texts (terminating zero included).
inline constexpr std::size_t kEmailLinksCapacity = 2048;
inline constexpr std::size_t kEmailCardsCapacity = 51200;

// The card text of a file that cannot be read.
inline constexpr std::string_view kEmailOpenFailed = "Open file operation failed";

// The card title of a file name: the name without its last four characters
// (the extension), cleaned, at most kEmailTitleMax characters. A name written
// in UTF-8 is first read as the Latin-1 text it stands for, so accented letters
// become their plain letters.
std::string EmailTitle(std::string_view fileName);

// The card text of a memo: its content, cleaned, line feeds kept.
std::string MemoText(std::string content);

// The card text of a saved message: its "From:", "To:", "Cc:", "Subject:" and
// "Date:" lines (each the first occurrence anywhere, to the end of its line,
// ended by "<br/>\n"), one more "<br/>\n" when any was found, then the body
// after the line holding "Content-Type:". Cleaned, at most kEmailTextMax
// characters, never ending in a cut "<br/>".
std::string MessageText(std::string content);

// The card text of a file of the mail folder: by its extension, MemoText or
// MessageText of its first kEmailTextMax characters (text mode, zero bytes
// dropped), or kEmailOpenFailed when it cannot be read.
std::string EmailFileText(const std::string& folder, const std::string& fileName);

// The whole topic: the mail folder's "*.txt" files, then its "*.eml" files, at
// most kEmailSlots in all, written as one page (ids from 101). An empty or
// missing folder writes a page without cards. False only when the icon or the
// template cannot be read or the page cannot be written.
bool DownloadEmail(const Settings& settings, const std::string& pageFile);

}  // namespace tp
