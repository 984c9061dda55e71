// The sample provider for the length of a test: a ProviderServer whose start
// and customization failures fail the test.
#pragma once

#include <gtest/gtest.h>

#include "app/globals.h"
#include "tests/support/provider_server.h"

namespace tp::test {

class RunningProvider : public ProviderServer {
public:
    explicit RunningProvider(const sample::ServingOptions& serving = {}) : ProviderServer(serving) {
        EXPECT_GT(port(), 0) << error();
    }

    // Customizes every web address to go to this provider, as the demo does.
    void UseForEveryAddress() const { ASSERT_TRUE(CustomizeEveryAddress()) << g_lastError; }
};

}  // namespace tp::test
