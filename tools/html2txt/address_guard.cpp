#include "tools/html2txt/address_guard.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>

namespace tp::html2txt {
namespace {

bool IsPrivateIpv4(std::uint32_t a) {
    const auto in = [a](std::uint32_t net, int bits) { return (a >> (32 - bits)) == (net >> (32 - bits)); };
    return in(0x00000000, 8) ||   // 0.0.0.0/8, "this network"
           in(0x7F000000, 8) ||   // loopback
           in(0x0A000000, 8) ||   // private
           in(0xAC100000, 12) ||  // private
           in(0xC0A80000, 16) ||  // private
           in(0xA9FE0000, 16) ||  // link-local
           in(0x64400000, 10);    // shared address space (carrier NAT)
}

std::string Numeric(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address->sa_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    } else if (address->sa_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
    }
    return text;
}

int Port(const sockaddr* address) {
    if (address->sa_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(address)->sin_port);
    if (address->sa_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(address)->sin6_port);
    return 0;
}

}  // namespace

bool IsPrivateAddress(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        return IsPrivateIpv4(ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr));
    }
    if (address->sa_family != AF_INET6) return true;  // nothing but the internet
    const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&a) || IN6_IS_ADDR_V4COMPAT(&a)) {
        std::uint32_t v4;
        std::memcpy(&v4, a.s6_addr + 12, 4);
        return IsPrivateIpv4(ntohl(v4));
    }
    return IN6_IS_ADDR_UNSPECIFIED(&a) || IN6_IS_ADDR_LOOPBACK(&a) || IN6_IS_ADDR_LINKLOCAL(&a) ||
           IN6_IS_ADDR_SITELOCAL(&a) || (a.s6_addr[0] & 0xFE) == 0xFC;  // fc00::/7, unique local
}

std::string AddressRefusal(const AddressGuard& guard, const sockaddr* address) {
    const std::string numeric = Numeric(address);
    if (numeric == guard.ownAddress && Port(address) == guard.ownPort) {
        return "it is this service's own address (" + numeric + ":" + std::to_string(guard.ownPort) + ")";
    }
    if (!guard.allowPrivate && IsPrivateAddress(address)) {
        return "it leads to a loopback, private or link-local address (" + numeric +
               "); start the service with --allow-private to convert such pages";
    }
    return {};
}

std::string HostRefusal(const AddressGuard& guard, const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return {};
    std::string refusal;
    for (const addrinfo* a = found; a && refusal.empty(); a = a->ai_next) refusal = AddressRefusal(guard, a->ai_addr);
    ::freeaddrinfo(found);
    return refusal;
}

}  // namespace tp::html2txt
