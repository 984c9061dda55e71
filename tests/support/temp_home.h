// A fresh temporary folder used as TIDEPOST_HOME for the duration of a test.
#pragma once

#include <string>

namespace tp::test {

class TempHome {
public:
    // Creates the folder, points TIDEPOST_HOME at it and restores the data
    // folder names; with createFolders, also runs CreateDataFolders.
    explicit TempHome(bool createFolders = true);
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    // The folder, ending in "/".
    const std::string& path() const { return path_; }
    // Writes bytes exactly as given to path() + relative.
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    // Reads the raw bytes of path() + relative ("" when missing).
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string path_;
    std::string previousDir_;
};

// The text of path() + relative once a detached process has written it (a shell
// creates the file before it writes to it); "" when nothing came within 10 s.
std::string WaitForText(const TempHome& home, const std::string& relative);

// Folder of the repository's installation data (data/cfg, data/doc).
std::string SourceDataFolder();

}  // namespace tp::test
