// Reads kept in memory must still see every change to the file. The files here
// are left to age past the window in which a recent file is always read afresh,
// so that they are really kept before each change is made.
//
// What a stat can show: a replacement (new inode), any write (new change time,
// even when the modification time is set back and the size is unchanged), a
// deletion. What it cannot show: a change within the same timestamp tick as the
// one before, which is why a recently changed file is never kept. No test here
// can show that rule at work on a file system with nanosecond timestamps; the
// rewrite-in-a-loop tables of the read and write tests rely on it where
// timestamps are coarse.
#include "settings/ini_file.h"

#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace tp::ini {
namespace {

// Bytes written past the layer, as another program would: in place, keeping
// the inode.
void OverwriteInPlace(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

void SetModificationTime(const std::string& path, const timespec& when) {
    const timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

timespec ModificationTime(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mtim;
}

class IniCache : public testing::Test {
protected:
    // One wait for the whole suite: every test's files are written first.
    static void SetUpTestSuite() {
        home_ = new test::TempHome(false);
        for (const std::string prefix : {"", "frozen_"}) {
            for (const char* name : {"in_place", "time_set_back", "renamed", "deleted", "untouched", "ours",
                                     "ours_deleted", "utf16", "threads"}) {
                home_->WriteFile(prefix + name + ".ini", kOriginal);
            }
            home_->WriteFile(prefix + "utf16.ini", "\xFF\xFE[s]\r\nk=old\r\n");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2600));
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    static std::string Path(const std::string& name) { return home_->path() + name + ".ini"; }

    static constexpr const char* kOriginal = "[s]\r\nk=old\r\n";
    static test::TempHome* home_;
};

test::TempHome* IniCache::home_ = nullptr;

struct Change {
    const char* name;  // also the file's name, after its prefix
    std::function<void(const std::string& path)> change;
    const char* expected;
    const char* before = "old";
    bool ours = false;  // a change made through this layer, by this thread
};

std::vector<Change> Changes(test::TempHome* home) {
    return std::vector<Change>{
        {"in_place", [](const std::string& path) { OverwriteInPlace(path, "[s]\r\nk=new\r\n"); }, "new"},
        {"time_set_back",
         [](const std::string& path) {
             const timespec before = ModificationTime(path);
             OverwriteInPlace(path, "[s]\r\nk=new\r\n");
             SetModificationTime(path, before);
         },
         "new"},
        {"renamed",
         [home](const std::string& path) {
             const timespec before = ModificationTime(path);
             home->WriteFile("replacement", "[s]\r\nk=new\r\n");
             SetModificationTime(home->path() + "replacement", before);
             ASSERT_EQ(std::rename((home->path() + "replacement").c_str(), path.c_str()), 0);
         },
         "new"},
        {"deleted", [](const std::string& path) { ASSERT_EQ(std::remove(path.c_str()), 0); }, "default"},
        {"untouched", [](const std::string&) {}, "old"},
        {"ours", [](const std::string& path) { ASSERT_TRUE(WriteString(path, "s", "k", "ours")); }, "ours", "old",
         true},
        {"ours_deleted", [](const std::string& path) { ASSERT_TRUE(DeleteKey(path, "s", "k")); }, "default",
         "old", true},
        {"utf16", [](const std::string& path) { EXPECT_FALSE(WriteString(path, "s", "k", "ours")); }, "default",
         "default"},
    };
}

TEST_F(IniCache, SeesEveryChangeToAFileItKeeps) {
    for (const Change& c : Changes(home_)) {
        SCOPED_TRACE(c.name);
        const std::string path = Path(c.name);
        ASSERT_EQ(GetString(path, "s", "k", "default", 99), c.before);
        c.change(path);
        EXPECT_EQ(GetString(path, "s", "k", "default", 99), c.expected);
        EXPECT_EQ(GetString(path, "s", "k", "default", 99), c.expected) << "read again";
    }
    EXPECT_EQ(home_->ReadFile("utf16.ini"), "\xFF\xFE[s]\r\nk=old\r\n");
}

// A frozen reading sees only this thread's own changes until it ends.
TEST_F(IniCache, AFrozenReadingKeepsTheFileAsItWasUntilItEnds) {
    for (const Change& c : Changes(home_)) {
        SCOPED_TRACE(c.name);
        const std::string path = Path(std::string("frozen_") + c.name);
        {
            const FrozenReading frozen(path);
            const FrozenReading nested(path);
            c.change(path);
            EXPECT_EQ(GetString(path, "s", "k", "default", 99), c.ours ? c.expected : c.before);
        }
        EXPECT_EQ(GetString(path, "s", "k", "default", 99), c.expected) << "after the freeze";
    }
}

// Readers keep what they read while a writer replaces the file under them.
TEST_F(IniCache, ReadersOnOtherThreadsSeeOneWholeFileOrTheOther) {
    const std::string path = Path("threads");
    ASSERT_EQ(GetString(path, "s", "k", "", 99), "old");
    std::atomic<bool> written{false};
    std::atomic<int> torn{0};
    auto read = [&] {
        for (int i = 0; i < 2000 || !written; ++i) {
            const std::string value = GetString(path, "s", "k", "", 99);
            if (value != "old" && value != "newer") ++torn;
        }
    };
    std::vector<std::thread> readers;
    for (int i = 0; i < 2; ++i) readers.emplace_back(read);
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(WriteString(path, "s", "k", i % 2 ? "old" : "newer"));
    written = true;
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(GetString(path, "s", "k", "", 99), "old");
}

}  // namespace
}  // namespace tp::ini
