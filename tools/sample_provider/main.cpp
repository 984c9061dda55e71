// tidepost-sample-provider [--pages FOLDER] [--delay-ms N] [--log FILE] [PORT]:
// serves recorded pages on 127.0.0.1, each answer after N milliseconds, each
// request target logged to FILE. Port 0 (the default) picks a free port; the
// port in use is printed on the first line of standard output.
// tidepost-sample-provider --customization PORT: prints the settings-file lines
// that point every web address at a provider on that port.
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/exe_path.h"
#include "tools/sample_provider/sample_provider.h"
#include "tools/sample_provider/serving.h"

namespace {

constexpr const char* kUsage =
    "usage: tidepost-sample-provider [--pages FOLDER] [--delay-ms N] [--log FILE] [PORT]\n"
    "       tidepost-sample-provider --customization PORT\n"
    "Serves recorded pages on 127.0.0.1 (PORT 0 or none: a free port, printed),\n"
    "or prints the [Customization] lines that send every address to PORT.\n"
    "  --pages FOLDER  serve the recorded pages of FOLDER (with its routes.txt),\n"
    "                such as a changed copy of sample-pages/ beside this program\n"
    "  --delay-ms N  answer every request after N milliseconds (0 to 600000),\n"
    "                without holding up the other requests\n"
    "  --log FILE    write each request's target to FILE, one a line, as it arrives\n";

// The longest delay: ten minutes, beyond any fetch time-out of a download.
constexpr long kMaxDelayMs = 600000;

bool ParseNumber(const char* text, long high, long& number) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > high) return false;
    number = value;
    return true;
}

bool ParsePort(const char* text, int& port) {
    long value = 0;
    if (!ParseNumber(text, 65535, value)) return false;
    port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string pages = tp::ExecutableFolder() + "sample-pages";
    int port = 0;
    tp::sample::ServingOptions serving;
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
        } else if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc) {
            serving.logPath = argv[++i];
        } else if (std::strcmp(argv[i], "--delay-ms") == 0 && i + 1 < argc) {
            long delay = 0;
            if (!ParseNumber(argv[++i], kMaxDelayMs, delay)) {
                std::fputs(kUsage, stderr);
                return 64;
            }
            serving.delay = std::chrono::milliseconds(delay);
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
    tp::sample::ServingServer server;
    if (!server.Configure(serving, error)) {
        std::fprintf(stderr, "tidepost-sample-provider: %s\n", error.c_str());
        return 1;
    }
    provider.Attach(server);
    const int bound = server.Bind(port);
    if (bound == 0) {
        std::fprintf(stderr, "tidepost-sample-provider: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("%d\n", bound);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
