// Folders and files beside the executable, and their creation at start-up.
#pragma once

#include <string>

namespace tp {

// The executable's folder (or TIDEPOST_HOME when set; a relative one is taken
// from the directory the program started in), always ending in "/".
std::string GetExeFolder();
// GetExeFolder + the configuration folder name ("cfg/", or "" after a failed creation).
std::string GetCfgFolder();
// GetExeFolder + "doc/".
std::string GetDocFolder();
// GetCfgFolder + "Tidepost.ini".
std::string GetIniPath();

// The page folder name relative to the executable's folder: "xml/", or "" when
// it could not be created.
const std::string& PageFolderName();
// The mail folder name, "emails/".
const std::string& MailFolderName();

// Sets the current directory to GetExeFolder and creates xml/, cfg/ and emails/
// when missing; a failed xml/ or cfg/ empties that folder name, silently.
void CreateDataFolders();

// Restores the folder names to "xml/" and "cfg/" (for tests that start over).
void ResetDataFolderNames();

}  // namespace tp
