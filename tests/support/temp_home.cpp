#include "tests/support/temp_home.h"

#include <chrono>
#include <thread>

#include "app/paths.h"
#include "platform/text_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace tp::test {

TempHome::TempHome(bool createFolders) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tidepost-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
    previousDir_ = std::filesystem::current_path().string();
    ::setenv("TIDEPOST_HOME", path_.c_str(), 1);
    ResetDataFolderNames();
    if (createFolders) CreateDataFolders();
}

TempHome::~TempHome() {
    std::error_code ec;
    std::filesystem::current_path(previousDir_, ec);
    // Restore write permission first so tests that locked folders can be cleaned.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
    ::unsetenv("TIDEPOST_HOME");
    ResetDataFolderNames();
}

void TempHome::WriteFile(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path full = path_ + relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full.string());
}

std::string TempHome::ReadFile(const std::string& relative) const {
    std::string bytes;
    ReadBinaryFile(path_ + relative, bytes);
    return bytes;
}

bool TempHome::Exists(const std::string& relative) const {
    return std::filesystem::exists(path_ + relative);
}

std::string SourceDataFolder() { return TIDEPOST_SOURCE_DIR "/data/"; }

std::string WaitForText(const TempHome& home, const std::string& relative) {
    // Bounded poll for a detached process; not a measure of speed.
    for (int i = 0; i < 200 && home.ReadFile(relative).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return home.ReadFile(relative);
}

}  // namespace tp::test
