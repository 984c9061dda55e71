// tidepost-sample-provider [--pages FOLDER] [PORT]: serves recorded pages on
// 127.0.0.1. Port 0 (the default) picks a free port; the port in use is printed
// on the first line of standard output.
// tidepost-sample-provider --customization PORT: prints the settings-file lines
// that point every web address at a provider on that port.
#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/exe_path.h"
#include "tools/sample_provider/sample_provider.h"

namespace {

constexpr const char* kUsage =
    "usage: tidepost-sample-provider [--pages FOLDER] [PORT]\n"
    "       tidepost-sample-provider --customization PORT\n"
    "Serves recorded pages on 127.0.0.1 (PORT 0 or none: a free port, printed),\n"
    "or prints the [Customization] lines that send every address to PORT.\n";

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string pages = tp::ExecutableFolder() + "sample-pages";
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--customization") == 0 && i + 1 < argc) {
            if (!ParsePort(argv[i + 1], port) || port == 0) {
                std::fputs(kUsage, stderr);
                return 64;
            }
            std::fputs(tp::sample::CustomizationLines(port).c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--pages") == 0 && i + 1 < argc) {
            pages = argv[++i];
        } else if (!ParsePort(argv[i], port)) {
            std::fputs(kUsage, stderr);
            return 64;
        }
    }

    tp::sample::SampleProvider provider;
    std::string error;
    if (!provider.Load(pages, error)) {
        std::fprintf(stderr, "tidepost-sample-provider: %s\n", error.c_str());
        return 1;
    }
    httplib::Server server;
    provider.Attach(server);
    const bool bound = port == 0 ? (port = server.bind_to_any_port("127.0.0.1")) > 0
                                 : server.bind_to_port("127.0.0.1", port);
    if (!bound) {
        std::fprintf(stderr, "tidepost-sample-provider: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("%d\n", port);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
