#include "settings/email_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/globals.h"
#include "app/paths.h"
#include "platform/dir_list.h"

namespace tp {

namespace {

constexpr std::string_view kPlainTextPattern = "*.txt";
constexpr std::string_view kMessagePattern = "*.eml";

std::string MailFolder() { return GetExeFolder() + MailFolderName(); }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A name from the list must stay inside the mail folder whatever the list holds.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool DeleteMailFile(const std::string& name) {
    const std::string path = MailFolder() + name;
    if (std::remove(path.c_str()) != 0) {
        SetLastErrorF("File error: cannot delete '%s'", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> ListEmailFilesInPageOrder() {
    const std::string folder = MailFolder();
    std::vector<std::string> names = ListFiles(folder, kPlainTextPattern);
    for (std::string& name : ListFiles(folder, kMessagePattern)) names.push_back(std::move(name));
    return names;
}

EmailFileList FillEmailList() {
    EmailFileList list;
    list.names = ListEmailFilesInPageOrder();
    std::stable_sort(list.names.begin(), list.names.end(), LessIgnoringCase);
    list.selected = list.names.empty() ? -1 : 0;
    return list;
}

std::optional<std::string> DeleteSelectedQuestion(const EmailFileList& list) {
    if (list.selected < 0 || static_cast<std::size_t>(list.selected) >= list.names.size()) {
        return std::nullopt;
    }
    return "Do you want to delete the file '" + list.names[static_cast<std::size_t>(list.selected)] +
           "'?";
}

bool DeleteSelectedEmailFile(EmailFileList& list) {
    if (list.selected < 0 || static_cast<std::size_t>(list.selected) >= list.names.size()) {
        SetLastError("Email error: no file selected");
        return false;
    }
    const auto entry = list.names.begin() + list.selected;
    if (!IsPlainFileName(*entry)) {
        SetLastErrorF("Email error: '%s' is not a file of the email folder", entry->c_str());
        return false;
    }
    if (!DeleteMailFile(*entry)) return false;
    list.names.erase(entry);
    list.selected = list.names.empty() ? -1 : 0;
    return true;
}

std::optional<std::string> DeleteAllQuestion(const EmailFileList& list) {
    if (list.names.empty()) return std::nullopt;
    return std::string("Do you want to delete ALL the email files?");
}

bool DeleteAllEmailFiles(EmailFileList& list) {
    bool allDeleted = true;
    for (const std::string& name : ListEmailFilesInPageOrder()) {
        if (!DeleteMailFile(name)) allDeleted = false;
    }
    list = FillEmailList();
    return allDeleted;
}

}  // namespace tp
