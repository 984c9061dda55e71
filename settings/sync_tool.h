// The synchronisation tool named in the settings, started after a download or
// on request.
#pragma once

namespace tp {

// Reads "Settings"/"IntelliSynch Path" (at most 254 characters) and starts it
// detached without waiting; failures are silent.
void StartSyncTool();

}  // namespace tp
