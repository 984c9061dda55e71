#include "app/startup.h"

#include "app/paths.h"
#include "platform/process_start.h"
#include "settings/ini_file.h"

#include <curl/curl.h>

namespace tp {
namespace {

constexpr std::string_view kAutoRunSwitch = "/autorun";
constexpr std::string_view kDefaultSyncTool = "C:\\Program Files\\REX6000\\IntellisyncForRex\\rexsync.exe";
constexpr std::size_t kSyncToolBuffer = 255;

}  // namespace

bool DetectAutoRun(const std::vector<std::string>& arguments) {
    // Joined as the command line would show them, so a switch glued to other
    // text still counts.
    std::string commandLine;
    for (const std::string& argument : arguments) {
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += argument;
    }
    return commandLine.find(kAutoRunSwitch) != std::string::npos;
}

bool StartNetworking() {
    static const bool started = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return started;
}

void StartSyncTool() {
    const std::string commandLine =
        ini::GetString(GetIniPath(), "Settings", "IntelliSynch Path", kDefaultSyncTool, kSyncToolBuffer);
    StartDetached(commandLine);
}

}  // namespace tp
