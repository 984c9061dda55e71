#include "pages/template_fill.h"

namespace tp {

bool AppendCapped(std::string& out, std::string_view piece, std::size_t maxLength) {
    const std::size_t room = out.size() < maxLength ? maxLength - out.size() : 0;
    if (piece.size() <= room) {
        out.append(piece);
        return true;
    }
    out.append(piece.substr(0, room));
    return false;
}

bool FillTemplate(std::string_view text, std::span<const std::string_view> pieces,
                  std::size_t maxLength, std::string& out, std::vector<std::size_t>* places) {
    auto next = pieces.begin();
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t percent = text.find('%', pos);
        if (percent == std::string_view::npos) return AppendCapped(out, text.substr(pos), maxLength);
        if (!AppendCapped(out, text.substr(pos, percent - pos), maxLength)) return false;
        const char conversion = percent + 1 < text.size() ? text[percent + 1] : '\0';
        std::string_view replacement;
        if (conversion == 's' && next != pieces.end()) {
            replacement = *next++;
            if (places) places->push_back(out.size());
            pos = percent + 2;
        } else if (conversion == '%') {
            replacement = "%";
            pos = percent + 2;
        } else if (conversion == 's') {
            replacement = "%s";
            pos = percent + 2;
        } else {
            // Not ours: the "%" stays, and what follows it is copied as plain text.
            replacement = "%";
            pos = percent + 1;
        }
        if (!AppendCapped(out, replacement, maxLength)) return false;
    }
    return true;
}

}  // namespace tp
