// The list of e-mail and memo files that the more-downloads dialog shows, and
// the deletion of those files. The dialog asks the questions returned here and
// calls the deleting operations only when the user confirmed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tp {

// The "*.txt" and "*.eml" files of the mail folder (names with extension),
// sorted as the dialog's list shows them, and the selected entry.
struct EmailFileList {
    std::vector<std::string> names;
    int selected = -1;  // -1: nothing selected
};

// Lists the mail folder: every name, in case-insensitive order, with the first
// one selected. A missing folder gives an empty list.
EmailFileList FillEmailList();

// The question to ask before deleting the selected file ("Do you want to
// delete the file '<name>'?"), or nothing when there is nothing to delete.
std::optional<std::string> DeleteSelectedQuestion(const EmailFileList& list);

// Deletes the selected file of the mail folder; on success its entry leaves the
// list and the first entry is selected. False, with the list unchanged and the
// reason in g_lastError, when nothing is selected, the name is not a plain file
// name of that folder, or the file cannot be deleted.
bool DeleteSelectedEmailFile(EmailFileList& list);

// The question to ask before deleting every file ("Do you want to delete ALL
// the email files?"), or nothing when the list is empty.
std::optional<std::string> DeleteAllQuestion(const EmailFileList& list);

// Deletes every "*.txt" and then every "*.eml" file of the mail folder and
// lists the folder again. False, with g_lastError naming the last file that
// could not be deleted, when any remains; the others are deleted all the same.
bool DeleteAllEmailFiles(EmailFileList& list);

// The mail folder's "*.txt" names, then its "*.eml" names: the order in which
// the e-mail page takes them.
std::vector<std::string> ListEmailFilesInPageOrder();

}  // namespace tp
