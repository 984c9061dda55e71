#include "run/run_lock.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

    // Deleting whatever file in the folder might stand for the lock frees
    // nothing, and a link there never makes a run create a file elsewhere.
    ASSERT_EQ(first.Acquire(failure), RunLock::Result::Held);
    ::unlink((home.path() + "tidepost.lock").c_str());
    EXPECT_EQ(second.Acquire(failure), RunLock::Result::Busy);
    first.Release();
    second.Release();
    ::unlink((home.path() + "tidepost.lock").c_str());
    ASSERT_EQ(::symlink((home.path() + "elsewhere").c_str(), (home.path() + "tidepost.lock").c_str()), 0);
    EXPECT_EQ(second.Acquire(failure), RunLock::Result::Held);
    second.Release();
    EXPECT_FALSE(std::filesystem::exists(home.path() + "elsewhere"));

    // A data folder that is not there cannot be locked, and says why.
    const std::string missing = home.path() + "gone";
    ::setenv("TIDEPOST_HOME", missing.c_str(), 1);
    RunLock third;
    EXPECT_EQ(third.Acquire(failure), RunLock::Result::Failed);
    EXPECT_EQ(failure, "cannot lock " + missing + ": No such file or directory");

    // A folder the user may not read names the refused permission. Checked as
    // an ordinary user, since root may read anything.
    const std::string closed = home.path() + "closed";
    ASSERT_EQ(::mkdir(closed.c_str(), 0111), 0);
    ::chmod(closed.c_str(), 0111);
    ::chmod(home.path().c_str(), 0711);
    ::setenv("TIDEPOST_HOME", closed.c_str(), 1);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        RunLock fourth;
        std::string text;
        fourth.Acquire(text);
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string childFailure;
    char chunk[512];
    for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;) childFailure.append(chunk, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(childFailure, "cannot lock " + closed + ": Permission denied");
}

}  // namespace
}  // namespace tp
