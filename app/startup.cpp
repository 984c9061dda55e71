#include "app/startup.h"

#include <curl/curl.h>

#include <string_view>

namespace tp {
namespace {

constexpr std::string_view kAutoRunSwitch = "/autorun";

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

}  // namespace tp
