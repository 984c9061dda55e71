// tidepost-html2txt [PORT]: the built-in HTML-to-text conversion as a service on
// 127.0.0.1. Port 0 (the default) picks a free port; the port in use is printed
// on the first line of standard output.
#include "app/startup.h"
#include "net/local_conversion.h"
#include "tools/html2txt/conversion_service.h"

#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: tidepost-html2txt [PORT]\n"
    "Serves the HTML-to-text conversion on 127.0.0.1 (PORT 0 or none: a free port,\n"
    "printed): http://127.0.0.1:PORT/cgi-bin/html2txt?url=ADDRESS&noinlinerefs=on\n"
    "answers with the text of the page at ADDRESS; the path alone shows a form.\n";

}  // namespace

int main(int argc, char** argv) {
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        char* end = nullptr;
        const long value = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || value < 0 || value > 65535 || i != argc - 1) {
            std::fputs(kUsage, stderr);
            return 64;
        }
        port = static_cast<int>(value);
    }
    if (!tp::StartNetworking()) {
        std::fputs("tidepost-html2txt: cannot start the network library\n", stderr);
        return 1;
    }
    httplib::Server server;
    server.Get(std::string(tp::kConversionPath), tp::html2txt::AnswerConversion);
    const bool bound = port == 0 ? (port = server.bind_to_any_port("127.0.0.1")) > 0
                                 : server.bind_to_port("127.0.0.1", port);
    if (!bound) {
        std::fprintf(stderr, "tidepost-html2txt: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("%d\n", port);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
