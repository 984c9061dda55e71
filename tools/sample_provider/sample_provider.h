// The sample provider: answers the conversion service's path and the direct
// paths with recorded pages, so a whole download runs without the internet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "net/local_conversion.h"
#include "tools/sample_provider/route_table.h"

namespace httplib {
class Server;
}

namespace tp::sample {

// A target address split into its host (lower case, without port) and its
// path with query ("/" when empty).
struct Target {
    std::string host;
    std::string path;
};
std::optional<Target> SplitTarget(std::string_view url);

// Settings-file lines "String%03i=<address>" for every default web address,
// with the host of the address (the conversion service's, or the direct
// provider's) replaced by 127.0.0.1:port, so a download asks this provider.
std::string CustomizationLines(int port);

struct Reply {
    int status;
    std::string body;
    std::string contentType;
};

class SampleProvider {
public:
    // Reads "routes.txt" of the pages folder. False with the reason in error.
    bool Load(const std::string& pagesFolder, std::string& error);

    // The reply for a target: the recorded page, or 404 with a short text.
    Reply Answer(std::string_view host, std::string_view path) const;

    // Serves the conversion path and every other path (asked directly) on server.
    void Attach(httplib::Server& server) const;

private:
    std::string folder_;
    RouteTable routes_;
};

}  // namespace tp::sample
