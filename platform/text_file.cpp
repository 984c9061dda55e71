#include "platform/text_file.h"

#include "platform/regular_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {

std::string ToTextModeBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::string FromTextModeBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out.push_back(bytes[i]);
    }
    return out;
}

namespace {

// Writes all of bytes to fd; the first failure's errno stays in errno.
bool WriteAll(int fd, std::string_view bytes, std::size_t& written) {
    written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool WriteTextFile(const std::string& path, std::string_view text, mode_t newFileMode) {
    const int fd = OpenRegularFileForWriting(path, O_WRONLY | O_CREAT | O_TRUNC, newFileMode);
    if (fd < 0) return false;
    std::size_t written = 0;
    const bool all = WriteAll(fd, ToTextModeBytes(text), written);
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!all) errno = error;
    return all && closed;
}

bool RewriteTextFile(const std::string& path, std::string_view text, mode_t newFileMode) {
    const int fd = OpenRegularFileForWriting(path, O_WRONLY | O_CREAT, newFileMode);
    if (fd < 0) return false;
    std::size_t written = 0;
    const bool all = WriteAll(fd, ToTextModeBytes(text), written);
    const bool cut = ::ftruncate(fd, static_cast<off_t>(written)) == 0;
    const bool closed = ::close(fd) == 0;
    return all && cut && closed;
}

bool ReadTextFile(const std::string& path, std::string& out, std::size_t maxChars) {
    out.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    // A CR is held back until the next byte shows whether it ends a CR LF pair.
    bool pendingCr = false;
    int c;
    while (out.size() < maxChars && (c = std::fgetc(file)) != EOF) {
        if (pendingCr) {
            pendingCr = false;
            if (c == '\n') {
                out.push_back('\n');
                continue;
            }
            out.push_back('\r');
            if (out.size() >= maxChars) break;
        }
        if (c == '\r') {
            pendingCr = true;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    if (pendingCr && out.size() < maxChars) out.push_back('\r');
    // A folder opens but cannot be read; neither it nor a failing disk is a file's text.
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) out.clear();
    return !failed;
}

bool ReadBinaryFile(const std::string& path, std::string& out) {
    out.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) out.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t newFileMode, bool syncToDisk) {
    // Renaming over a link would not write its target, but the link is the
    // user's and a pipe or device cannot be replaced by a page: both are refused.
    if (!IsRegularFileOrAbsent(path)) return false;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string tempPath = folder + "/.tidepost-XXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) return false;
    // The first failure's errno is the one the caller reports.
    int error = 0;
    std::size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        else if (n == 0) error = EIO;
        else done += static_cast<std::size_t>(n);
    }
    // mkstemp makes the file private; keep the old file's mode, or newFileMode.
    struct stat old;
    ::fchmod(fd, ::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) ? (old.st_mode & 07777) : newFileMode);
    if (error == 0 && syncToDisk && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(tempPath.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempPath.c_str());
        errno = error;
    }
    return error == 0;
}

}  // namespace tp
