#include "settings/customization_rules.h"

#include "app/globals.h"
#include "app/paths.h"
#include "platform/text_file.h"

#include <filesystem>
#include <system_error>

namespace tp {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::filesystem::path Resolved(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path.lexically_normal() : resolved;
}

}  // namespace

std::string TrimAddress(std::string_view address) {
    const std::size_t first = address.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = address.find_last_not_of(kBlanks);
    return std::string(address.substr(first, last - first + 1));
}

bool HasParameterMarker(std::string_view address) { return address.find("%s") != std::string_view::npos; }

bool IsInConfigFolder(const std::string& path) {
    std::filesystem::path folder = Resolved(GetCfgFolder());
    if (!folder.has_filename()) folder = folder.parent_path();  // the trailing "/"
    return Resolved(path).parent_path() == folder;
}

bool CopyIntoConfigFolder(const std::string& path) {
    std::string bytes;
    if (!ReadBinaryFile(path, bytes)) {
        SetLastErrorF("Error: Enable to read file '%s'", path.c_str());
        return false;
    }
    const std::string target = GetCfgFolder() + std::filesystem::path(path).filename().string();
    if (!ReplaceFileAtomically(target, bytes)) {
        SetLastErrorF("Error: Enable to write file '%s'", target.c_str());
        return false;
    }
    return true;
}

}  // namespace tp
