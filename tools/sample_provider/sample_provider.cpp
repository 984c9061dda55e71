#include "tools/sample_provider/sample_provider.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>

#include "app/text_format.h"
#include "platform/text_file.h"
#include "resources/string_table.h"

namespace tp::sample {

namespace {

// Recorded pages are Windows Latin-1 text with line feeds, as the service sends them.
constexpr const char* kPageType = "text/plain; charset=windows-1252";
constexpr const char* kMessageType = "text/plain";
// The news feeds are served as their publishers serve them, to be converted.
constexpr const char* kFeedType = "application/xml";

std::string ToLower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

void Send(const Reply& reply, httplib::Response& response) {
    response.status = reply.status;
    response.set_content(reply.body, reply.contentType.c_str());
}

// Customization numbers that may hold a web address.
constexpr int kFirstCustomNumber = 100;
constexpr int kLastCustomNumber = 299;
constexpr std::string_view kHttp = "http://";

}  // namespace

std::string CustomizationLines(int port) {
    const std::string host = Format("127.0.0.1:%d", port);
    std::string lines;
    for (int number = kFirstCustomNumber; number <= kLastCustomNumber; ++number) {
        std::string address(LoadStringResource(number));
        if (!address.starts_with(kHttp)) continue;
        const std::size_t pathStart = address.find('/', kHttp.size());
        address.replace(kHttp.size(), pathStart - kHttp.size(), host);
        lines += Format("String%03i=%s\n", number, address.c_str());
    }
    return lines;
}

std::optional<Target> SplitTarget(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) return std::nullopt;
    const std::string_view rest = url.substr(scheme + 3);
    const std::size_t pathStart = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, pathStart);
    authority = authority.substr(0, authority.find(':'));
    if (authority.empty()) return std::nullopt;

    Target target{ToLower(authority), "/"};
    if (pathStart != std::string_view::npos) {
        // A query right after the host belongs to the root path.
        const std::string_view path = rest.substr(pathStart);
        target.path.clear();
        if (path.front() == '?') target.path.push_back('/');
        target.path.append(path);
    }
    return target;
}

bool SampleProvider::Load(const std::string& pagesFolder, std::string& error) {
    folder_ = pagesFolder;
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
    std::string table;
    if (!ReadBinaryFile(folder_ + "routes.txt", table)) {
        error = "cannot read " + folder_ + "routes.txt";
        return false;
    }
    if (!routes_.Parse(table, error)) {
        error = folder_ + "routes.txt, " + error;
        return false;
    }
    return true;
}

Reply SampleProvider::Answer(std::string_view host, std::string_view path) const {
    const std::string shown = std::string(host) + std::string(path);
    const std::optional<std::string> page = routes_.Find(host, path);
    if (!page) return {404, "No recorded page for " + shown + "\n", kMessageType};
    std::string body;
    if (!ReadBinaryFile(folder_ + *page, body)) {
        return {404, "Recorded page " + *page + " is missing\n", kMessageType};
    }
    return {200, std::move(body), page->ends_with(".xml") ? kFeedType : kPageType};
}

void SampleProvider::Attach(httplib::Server& server) const {
    server.Get(std::string(kConversionPath), [this](const httplib::Request& request,
                                                    httplib::Response& response) {
        const std::optional<Target> target =
            request.has_param("url") ? SplitTarget(request.get_param_value("url")) : std::nullopt;
        if (!target) {
            Send({400, "Expected url=http://host/path\n", kMessageType}, response);
            return;
        }
        Send(Answer(target->host, target->path), response);
    });
    // Anything else was asked for directly (the exchange-rate history is).
    server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Send(Answer("", request.target), response);
    });
}

}  // namespace tp::sample
