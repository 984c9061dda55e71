// tidepost-html2txt [--allow-private] [PORT]: the built-in HTML-to-text
// conversion as a service on 127.0.0.1. Port 0 (the default) picks a free
// port; the port in use is printed on the first line of standard output.
#include "app/startup.h"
#include "settings/settings_model.h"
#include "tools/html2txt/service_server.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: tidepost-html2txt [--allow-private] [PORT]\n"
    "Serves the HTML-to-text conversion on 127.0.0.1 (PORT 0 or none: a free port,\n"
    "printed): http://127.0.0.1:PORT/cgi-bin/html2txt?url=ADDRESS&noinlinerefs=on\n"
    "answers with the text of the page at ADDRESS; the path alone shows a form.\n"
    "Pages on loopback, private and link-local addresses are refused unless\n"
    "--allow-private is given. Each fetch keeps the time-outs of the settings file.\n";

}  // namespace

int main(int argc, char** argv) {
    tp::html2txt::ServerOptions options;
    bool portGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--allow-private") == 0) {
            options.allowPrivate = true;
            continue;
        }
        char* end = nullptr;
        const long value = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || value < 0 || value > 65535 || portGiven) {
            std::fputs(kUsage, stderr);
            return 64;
        }
        options.port = static_cast<int>(value);
        portGiven = true;
    }
    if (!tp::StartNetworking()) {
        std::fputs("tidepost-html2txt: cannot start the network library\n", stderr);
        return 1;
    }
    tp::Settings settings;
    tp::ReadSettings(settings);
    options.timeouts.connectSeconds = settings.general.connectTimeout;
    options.timeouts.stallSeconds = settings.general.stallTimeout;
    options.timeouts.totalSeconds = settings.general.fetchTimeout;
    tp::html2txt::ConversionServer server(options);
    std::string error;
    if (!server.Bind(error)) {
        std::fprintf(stderr, "tidepost-html2txt: cannot listen on 127.0.0.1:%d: %s\n", options.port, error.c_str());
        return 1;
    }
    std::printf("%d\n", server.Port());
    std::fflush(stdout);
    server.Run();
    return 0;
}
