// The sample provider on a free port of 127.0.0.1 for as long as the object
// lives, serving the recorded pages of the source tree as the provider program
// does (with its delay and request log when asked). Free of GoogleTest, so
// benchmarks use it as well as tests; users link tidepost_sample_provider.
#pragma once

#include <httplib.h>

#include <atomic>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "settings/custom_store.h"
#include "tools/sample_provider/sample_provider.h"
#include "tools/sample_provider/serving.h"

namespace tp::test {

inline const std::string kRecordedPagesFolder = TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/";

class ProviderServer {
public:
    explicit ProviderServer(const sample::ServingOptions& serving = {}) {
        if (!provider_.Load(kRecordedPagesFolder, error_)) return;
        if (!server_.Configure(serving, error_)) return;
        provider_.Attach(server_);
        port_ = server_.Bind(0);
        if (port_ == 0) {
            error_ = "cannot listen on 127.0.0.1";
            return;
        }
        // The socket already listens; waiting for the accept loop only makes
        // sure stop() in the destructor finds it running.
        thread_ = std::thread([this] {
            server_.listen_after_bind();
            stopped_ = true;
        });
        // A listen loop that ends at once (it failed) must not leave us waiting.
        while (!server_.is_running() && !stopped_) std::this_thread::yield();
    }
    ~ProviderServer() {
        server_.stop();
        if (thread_.joinable()) thread_.join();
    }
    ProviderServer(const ProviderServer&) = delete;
    ProviderServer& operator=(const ProviderServer&) = delete;

    // 0 when the provider could not start; error() then says why.
    int port() const { return port_; }
    const std::string& error() const { return error_; }

    // Customizes every web address to go to this provider, as the demo does.
    // False at the first address the store refuses (its reason in g_lastError).
    bool CustomizeEveryAddress() const {
        std::istringstream lines(sample::CustomizationLines(port_));
        for (std::string line; std::getline(lines, line);) {
            if (!SetCustomString(std::stoi(line.substr(6, 3)), std::string_view(line).substr(10))) {
                return false;
            }
        }
        return true;
    }

private:
    sample::SampleProvider provider_;
    sample::ServingServer server_;
    int port_ = 0;
    std::string error_;
    std::atomic<bool> stopped_{false};
    std::thread thread_;
};

}  // namespace tp::test
