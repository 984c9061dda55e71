#include "run/good_texts.h"

#include "app/paths.h"
#include "platform/private_file.h"
#include "platform/regular_file.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include <sys/stat.h>

namespace tp {
namespace {

// One file per source and code; the code goes in hashed, since it may hold
// any character ("USD/EUR", "FRXX/FRXX0076").
std::string FileOf(int address, std::string_view code) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : code) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char name[48];
    std::snprintf(name, sizeof name, "%d-%016llx.txt", address, static_cast<unsigned long long>(hash));
    return GoodTextsFolder() + name;
}

// Drops the oldest files, never keep, until the folder fits the budget.
void FitBudget(const std::string& keep) {
    namespace fs = std::filesystem;
    struct Kept {
        fs::path path;
        fs::file_time_type written;
        std::uintmax_t size;
    };
    std::vector<Kept> files;
    std::uintmax_t total = 0;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(GoodTextsFolder(), ec)) {
        if (!entry.is_regular_file(ec)) continue;
        Kept file{entry.path(), entry.last_write_time(ec), entry.file_size(ec)};
        if (ec) continue;
        total += file.size;
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(), [](const Kept& a, const Kept& b) { return a.written < b.written; });
    for (const Kept& file : files) {
        if (total <= kGoodTextsBudget) break;
        if (file.path == keep) continue;
        if (fs::remove(file.path, ec)) total -= file.size;
    }
}

// The cache folder and the folder of the texts, without their final "/" (with
// it, lstat would follow a link there).
std::string CacheFolder() { return GetExeFolder() + "cache"; }
std::string FolderItself() { return CacheFolder() + "/good-texts"; }

// Whether both are folders, not links to folders elsewhere.
bool RealFolders() {
    struct stat info;
    return ::lstat(CacheFolder().c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::lstat(FolderItself().c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string GoodTextsFolder() { return FolderItself() + "/"; }

bool KeepGoodText(int address, std::string_view code, std::string_view text) {
    if (!MakePrivateFolder(CacheFolder()) || !MakePrivateFolder(FolderItself())) return false;
    const std::string path = FileOf(address, code);
    if (!ReplaceFileAtomically(path, text, kPrivateFileMode)) return false;
    FitBudget(path);
    return true;
}

std::optional<std::string> LastGoodText(int address, std::string_view code) {
    // A link in place of a folder would lead the read elsewhere.
    if (!RealFolders()) return std::nullopt;
    std::string text;
    if (!ReadFileNoFollow(FileOf(address, code), text)) return std::nullopt;
    return text;
}

}  // namespace tp
