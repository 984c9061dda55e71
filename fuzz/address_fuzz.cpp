// The encoding of an address typed by the user: within its limit, and nothing
// in it that could end or bend the planner's address.
#include "topics/directions.h"
#include "fuzz/fuzz_support.h"

#include <cctype>

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string value(reinterpret_cast<const char*>(data), size);
    const std::string encoded = EncodeAddressValue(value);
    Require(encoded.size() <= kEncodedAddressMax, "encoded address within its limit", encoded);
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(encoded[i]);
        Require(byte > 0x20 && byte < 0x7F && encoded[i] != '#' && encoded[i] != '+' && encoded[i] != ',' &&
                    encoded[i] != '&' && encoded[i] != '"' && encoded[i] != '<' && encoded[i] != '>',
                "only plain address characters", encoded);
        // Every "%" starts a whole escape: the cut never splits one.
        if (encoded[i] == '%') {
            Require(i + 2 < encoded.size() && std::isxdigit(static_cast<unsigned char>(encoded[i + 1])) &&
                        std::isxdigit(static_cast<unsigned char>(encoded[i + 2])),
                    "whole escapes", encoded);
        }
    }
    return 0;
}
