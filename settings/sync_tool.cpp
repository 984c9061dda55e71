#include "settings/sync_tool.h"

#include "app/paths.h"
#include "platform/process_start.h"
#include "settings/ini_file.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tp {
namespace {

constexpr std::string_view kDefaultSyncTool = "C:\\Program Files\\REX6000\\IntellisyncForRex\\rexsync.exe";
constexpr std::size_t kSyncToolBuffer = 255;

}  // namespace

void StartSyncTool() {
    const std::string commandLine =
        ini::GetString(GetIniPath(), "Settings", "IntelliSynch Path", kDefaultSyncTool, kSyncToolBuffer);
    StartDetached(commandLine);
}

}  // namespace tp
