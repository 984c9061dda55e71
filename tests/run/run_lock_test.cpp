#include "run/run_lock.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tp {
namespace {

TEST(RunLockTest, OneHolderPerDataFolderWithAClearFailure) {
    test::TempHome home;
    std::string folder = home.path();
    folder.pop_back();

    RunLock first;
    std::string failure = "stale";
    ASSERT_EQ(first.Acquire(failure), RunLock::Result::Held);
    EXPECT_EQ(failure, "");

    // Any other holder, in this process or another, is turned away.
    RunLock second;
    EXPECT_EQ(second.Acquire(failure), RunLock::Result::Busy);
    EXPECT_EQ(failure, "another download is running in " + folder);

    first.Release();
    EXPECT_EQ(second.Acquire(failure), RunLock::Result::Held);
    second.Release();

    // A data folder that is not there cannot be locked, and says why.
    const std::string missing = home.path() + "gone/";
    ::setenv("TIDEPOST_HOME", missing.c_str(), 1);
    RunLock third;
    EXPECT_EQ(third.Acquire(failure), RunLock::Result::Failed);
    EXPECT_EQ(failure, "cannot lock " + missing + kRunLockFileName + ": No such file or directory");
}

}  // namespace
}  // namespace tp
