#include "platform/process_start.h"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tp {
namespace {

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string dirs(path);
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        // An empty PATH entry means the current folder.
        const std::string folder = end > start ? dirs.substr(start, end - start) : std::string(".");
        const std::string candidate = folder + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

bool EndsWithExe(const std::string& text) {
    if (text.size() < 4) return false;
    std::string tail = text.substr(text.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".exe";
}

bool IsCommandBlank(char c) { return c == ' ' || c == '\t'; }

// The program part of a Windows command line: the shortest run of words that
// ends in ".exe" (an unquoted "C:\Program Files\...\rexsync.exe" keeps its
// blanks), else the whole line. rest receives what follows the program.
std::string WindowsProgram(const std::string& commandLine, std::string& rest) {
    for (std::size_t end = commandLine.find_first_of(" \t"); end != std::string::npos;
         end = commandLine.find_first_of(" \t", end + 1)) {
        if (EndsWithExe(commandLine.substr(0, end))) {
            rest = commandLine.substr(end);
            return commandLine.substr(0, end);
        }
    }
    rest.clear();
    return commandLine;
}

// The words of text; a quoted run keeps its blanks and loses its quotes.
std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsCommandBlank(text[i])) ++i;
        if (i == text.size()) break;
        std::string word;
        bool quoted = false;
        for (; i < text.size() && (quoted || !IsCommandBlank(text[i])); ++i) {
            if (text[i] == '"') {
                quoted = !quoted;
            } else {
                word += text[i];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

// The program and its arguments, as wine takes them.
std::vector<std::string> WindowsProgramArguments(const std::string& commandLine) {
    std::string rest;
    std::vector<std::string> arguments{WindowsProgram(commandLine, rest)};
    for (std::string& word : SplitWords(rest)) arguments.push_back(std::move(word));
    return arguments;
}

}  // namespace

bool NamesWindowsProgram(const std::string& commandLine) {
    const bool driveLetter = commandLine.size() >= 3 &&
                             std::isalpha(static_cast<unsigned char>(commandLine[0])) &&
                             commandLine[1] == ':' &&
                             (commandLine[2] == '\\' || commandLine[2] == '/');
    if (driveLetter) return true;
    // The program part may hold blanks (unquoted "C:\Program Files\..."), so the
    // whole line and its first word both count.
    if (EndsWithExe(commandLine)) return true;
    const std::size_t blank = commandLine.find(' ');
    return blank != std::string::npos && EndsWithExe(commandLine.substr(0, blank));
}

void StartDetached(const std::string& commandLine) {
    if (commandLine.empty()) return;
    std::string program = "/bin/sh";
    std::string dashC = "-c";
    std::string wine = "wine";
    std::string line = commandLine;
    char* shellArgs[] = {program.data(), dashC.data(), line.data(), nullptr};
    // wine wants the program and each argument apart, as Windows would split them.
    std::vector<std::string> windowsArguments = WindowsProgramArguments(commandLine);
    std::vector<char*> wineArgs{wine.data()};
    for (std::string& argument : windowsArguments) wineArgs.push_back(argument.data());
    wineArgs.push_back(nullptr);
    const bool viaWine = NamesWindowsProgram(commandLine) && OnPath("wine");

    // Double fork so the tool is never our child to wait for and leaves no zombie.
    const pid_t child = ::fork();
    if (child < 0) return;
    if (child == 0) {
        ::setsid();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t grandchild;
        if (viaWine) {
            posix_spawnp(&grandchild, "wine", &actions, nullptr, wineArgs.data(), environ);
        } else {
            posix_spawn(&grandchild, "/bin/sh", &actions, nullptr, shellArgs, environ);
        }
        ::_exit(0);
    }
    int status;
    ::waitpid(child, &status, 0);
}

}  // namespace tp
