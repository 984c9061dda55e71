// The settings-file reader and writer on any file: a value written is read
// back as written (less what reading always takes away: surrounding blanks and
// one pair of quotes), a deleted key is gone, and a refused write changes
// nothing.
#include "fuzz/fuzz_support.h"
#include "platform/text_file.h"
#include "settings/ini_file.h"

#include <unistd.h>

using namespace tp;
using tp::fuzz::Require;

namespace {

std::string g_path;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

// What a reader gets back of a value written as is.
std::string AsRead(std::string_view value) {
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed when the system has it: every write replaces the file.
    char pattern[] = "/dev/shm/tidepost-ini-XXXXXX";
    char fallback[] = "/tmp/tidepost-ini-XXXXXX";
    const char* folder = ::mkdtemp(pattern);
    if (!folder) folder = ::mkdtemp(fallback);
    Require(folder != nullptr, "a temporary folder");
    g_path = std::string(folder) + "/t.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(64);
    const bool remove = input.ConsumeBool();
    const std::string file = input.ConsumeRemainingBytesAsString();
    Require(ReplaceFileAtomically(g_path, file), "the test file can be written");

    if (remove) {
        if (!ini::DeleteKey(g_path, section, key)) return 0;
        Require(ini::GetString(g_path, section, key, "\x01gone", 100000) == "\x01gone", "a deleted key is gone");
        return 0;
    }
    if (!ini::WriteString(g_path, section, key, value)) {
        std::string after;
        ReadBinaryFile(g_path, after);
        Require(after == file, "a refused write changes nothing");
        return 0;
    }
    const std::string read = ini::GetString(g_path, section, key, "\x01missing", ini::kMaxValueLength + 1);
    Require(read == AsRead(value), "a value is read back as written", read);
    return 0;
}
