#include "tests/run/batch_process.h"

#include "platform/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tp::test {

namespace {

BatchResult RunProcess(std::vector<std::string> words) {
    BatchResult result;
    std::string folder = (std::filesystem::temp_directory_path() / "tidepost-batch-XXXXXX").string();
    if (!::mkdtemp(folder.data())) return result;
    const std::string outPath = folder + "/out";
    const std::string errPath = folder + "/err";

    int input[2];
    if (::pipe(input) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t pid;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    if (spawned == 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    }
    ::close(input[1]);
    ReadBinaryFile(outPath, result.out);
    ReadBinaryFile(errPath, result.err);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return result;
}

}  // namespace

BatchResult RunBatchProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {TIDEPOST_BATCH_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return RunProcess(std::move(words));
}

BatchResult RunBatchThroughShell(const std::string& script) {
    ::setenv("TIDEPOST_BATCH", TIDEPOST_BATCH_PATH, 1);
    return RunProcess({"/bin/bash", "-c", script});
}

}  // namespace tp::test
