// The conversion service's reading of request heads, from whatever bytes a
// client sends: the head ends where it says, and a head it accepts names a
// path of this server and a Host without line breaks or other controls.
#include "fuzz/fuzz_support.h"
#include "tools/html2txt/request_head.h"

using namespace tp::html2txt;
using tp::fuzz::Require;

namespace {

bool Plain(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t length = RequestHeadLength(bytes);
    Require(length <= bytes.size(), "the head lies within the bytes", bytes);
    if (length > 0) {
        Require(bytes[length - 1] == '\n' &&
                    (bytes[length - 2] == '\n' || (bytes[length - 2] == '\r' && bytes[length - 3] == '\n')),
                "the head ends in an empty line", bytes);
        Require(RequestHeadLength(bytes.substr(0, length)) == length, "the same end in the head alone", bytes);
    }
    RequestHead head;
    if (ParseRequestHead(length > 0 ? bytes.substr(0, length) : bytes, head)) {
        Require(!head.method.empty() && head.method.find(' ') == std::string::npos, "one method word", bytes);
        Require(!head.target.empty() && head.target.front() == '/', "a target on this server", bytes);
        Require(head.target.starts_with(head.path) && head.path.find_first_of("?#") == std::string::npos,
                "the path is the target's start", bytes);
        Require(Plain(head.method) && Plain(head.target) && Plain(head.host), "no control characters", bytes);
        Require(head.hasHost || head.host.empty(), "a host only from a Host header", bytes);
    }
    return 0;
}
