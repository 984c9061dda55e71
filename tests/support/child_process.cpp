#include "tests/support/child_process.h"

#include "platform/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tp::test {
namespace {

int Spawn(pid_t& pid, const std::string& program, const std::vector<std::string>& arguments,
          const posix_spawn_file_actions_t& actions) {
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments) {
    ProcessResult result;
    std::string folder = (std::filesystem::temp_directory_path() / "tidepost-process-XXXXXX").string();
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

    pid_t pid;
    const int spawned = Spawn(pid, program, arguments, actions);
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

BackgroundProcess::BackgroundProcess(const std::string& program, const std::vector<std::string>& arguments) {
    int output[2];
    if (::pipe(output) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    pid_t pid;
    if (Spawn(pid, program, arguments, actions) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    output_ = output[0];
}

BackgroundProcess::~BackgroundProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (output_ >= 0) ::close(output_);
}

std::string BackgroundProcess::ReadLine() {
    std::string line;
    char c;
    while (output_ >= 0) {
        const ssize_t n = ::read(output_, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || c == '\n') break;
        line += c;
    }
    return line;
}

}  // namespace tp::test
