// Shared pieces of the fuzz targets: the fetched text as the extractors
// receive it, and property checks that stop the run with a
// message (libFuzzer then keeps the input that broke them).
#pragma once

#include "app/globals.h"
#include "pages/page_format.h"
#include "tests/support/xml_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace tp::fuzz {

// A property that must hold; a broken one aborts with what was expected.
inline void Require(bool holds, const char* what, std::string_view detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n%.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

// bytes as a fetch leaves them: at most kTransferCapacity bytes in
// g_transferBuffer, then a zero; returns the length up to the first zero, as
// far as the extractors can see.
inline std::size_t LoadTransferBuffer(std::string_view bytes) {
    const std::size_t length = bytes.size() < kTransferCapacity ? bytes.size() : kTransferCapacity;
    std::memcpy(g_transferBuffer, bytes.data(), length);
    g_transferBuffer[length] = '\0';
    g_transferLength = length;
    return std::strlen(g_transferBuffer);
}

// Cards (and their index links) must make a well-formed page whatever the
// fetched text held.
inline void RequireWellFormedCards(std::string_view links, std::string_view cards) {
    std::string page = "<Tidepost>";
    page.append(links).append(cards).append("</Tidepost>");
    std::string error;
    Require(test::IsWellFormedPage(page, error), "cards make well-formed XML", error + "\n" + page.substr(0, 4000));
}

inline void RequireWellFormedCard(std::string_view title, std::string_view body) {
    std::string links;
    std::string cards;
    AppendIndexLink(links, kTransferCapacity, 101, title);
    AppendCard(cards, kTransferCapacity, 101, title, body);
    RequireWellFormedCards(links, cards);
}

}  // namespace tp::fuzz
