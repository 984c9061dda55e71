// Folders and files beside the executable, and their creation at start-up.
#pragma once

#include <string>

namespace tp {

// The data folder, always ending in "/": TIDEPOST_HOME when set (a relative one
// is taken from the directory the program started in); else the executable's
// folder when it holds cfg/ and may be written (a portable copy, the build
// folder); else the per-user folder, $XDG_DATA_HOME/tidepost or
// ~/.local/share/tidepost (an installed program).
std::string GetExeFolder();

// The per-user data folder of an installed program (see GetExeFolder).
std::string PerUserDataFolder();

// Where the installation keeps its data (the default cfg/ files and doc/):
// <executable's folder>/../share/tidepost/ when that exists, else the
// executable's folder itself.
std::string GetInstallDataFolder();

// Makes the per-user data folder ready before anything is read: created when
// missing and given a copy of each installed cfg/ file it lacks (the user's own
// files are never overwritten). False, with the folder and the system's reason
// in g_lastError, when it cannot be created or written. A TIDEPOST_HOME or
// portable folder is left as it is.
bool PrepareDataFolder();
// GetExeFolder + the configuration folder name ("cfg/", or "" after a failed creation).
std::string GetCfgFolder();
// The help pages: GetExeFolder + "doc/" when that folder exists, else the
// installation's doc/.
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
