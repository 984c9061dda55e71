// The sample provider on a free port of 127.0.0.1 for the length of a test,
// serving the recorded pages of the source tree. Tests that use it link
// tidepost_sample_provider.
#pragma once

#include <httplib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "settings/custom_store.h"
#include "tools/sample_provider/sample_provider.h"

namespace tp::test {

inline const std::string kRecordedPagesFolder = TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/";

class RunningProvider {
public:
    RunningProvider() {
        std::string error;
        const bool loaded = provider_.Load(kRecordedPagesFolder, error);
        EXPECT_TRUE(loaded) << error;
        provider_.Attach(server_);
        port_ = server_.bind_to_any_port("127.0.0.1");
        // The socket already listens; waiting for the accept loop only makes
        // sure stop() in the destructor finds it running.
        thread_ = std::thread([this] {
            server_.listen_after_bind();
            stopped_ = true;
        });
        // A listen loop that ends at once (it failed) must not leave us waiting.
        while (port_ > 0 && !server_.is_running() && !stopped_) std::this_thread::yield();
    }
    ~RunningProvider() {
        server_.stop();
        thread_.join();
    }
    RunningProvider(const RunningProvider&) = delete;
    RunningProvider& operator=(const RunningProvider&) = delete;

    int port() const { return port_; }

    // Customizes every web address to go to this provider, as the demo does.
    void UseForEveryAddress() const {
        std::istringstream lines(sample::CustomizationLines(port_));
        for (std::string line; std::getline(lines, line);) {
            ASSERT_TRUE(SetCustomString(std::stoi(line.substr(6, 3)), std::string_view(line).substr(10)));
        }
    }

private:
    sample::SampleProvider provider_;
    httplib::Server server_;
    int port_ = 0;
    std::atomic<bool> stopped_{false};
    std::thread thread_;
};

}  // namespace tp::test
