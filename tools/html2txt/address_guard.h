// Which addresses the conversion service may connect to. Anyone who reaches
// the service (a web page in the user's browser among them) could otherwise
// use it to read the machine's own services and those of its private network.
#pragma once

#include <string>
#include <sys/socket.h>

namespace tp::html2txt {

struct AddressGuard {
    bool allowPrivate = false;  // loopback, private and link-local targets allowed
    std::string ownAddress;     // the service's own listening address ("127.0.0.1")
    int ownPort = 0;            // and port, refused always: it would ask itself
};

// Loopback, private (RFC 1918, unique local), link-local, unspecified or
// CGNAT-shared, IPv4 or IPv6 (IPv4-mapped forms included).
bool IsPrivateAddress(const sockaddr* address);

// Why a connection to address is refused, or "" when it is allowed.
std::string AddressRefusal(const AddressGuard& guard, const sockaddr* address);

// Resolves host (any form the system resolver takes: names, "0x7f000001",
// "2130706433") and returns why it is refused, or "" when every address it
// resolves to is allowed. A host that does not resolve is left to the fetch.
std::string HostRefusal(const AddressGuard& guard, const std::string& host, int port);

}  // namespace tp::html2txt
