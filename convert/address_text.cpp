#include "convert/address_text.h"

#include <libxml/uri.h>

namespace tp {

std::string TrimmedBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n\f";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string PercentEncoded(std::string_view address, std::string_view alsoEncoded) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || alsoEncoded.find(c) != std::string_view::npos) {
            encoded += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
        } else {
            encoded.push_back(c);
        }
    }
    return encoded;
}

std::string LinkAddress(std::string_view href, const std::string& base) {
    std::string address;
    for (char c : TrimmedBlanks(href)) {
        if (c != '\t' && c != '\n' && c != '\r') address.push_back(c);
    }
    address = PercentEncoded(address, "[]");
    if (base.empty()) return address;
    xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(address.c_str()),
                                 reinterpret_cast<const xmlChar*>(base.c_str()));
    if (!built) return address;
    std::string resolved(reinterpret_cast<const char*>(built));
    xmlFree(built);
    return resolved;
}

}  // namespace tp
