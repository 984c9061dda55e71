#include "settings/sign_list.h"

namespace tp {

namespace {

// Start of the first item of signs that is exactly name, or npos.
std::size_t FindWholeName(std::string_view signs, std::string_view name) {
    std::size_t start = 0;
    while (start <= signs.size()) {
        std::size_t end = signs.find(',', start);
        if (end == std::string_view::npos) end = signs.size();
        if (signs.substr(start, end - start) == name) return start;
        start = end + 1;
    }
    return std::string_view::npos;
}

void RemoveName(std::string& signs, std::string_view name) {
    if (signs.empty() || signs == name) {
        signs.clear();
        return;
    }
    const std::size_t at = FindWholeName(signs, name);
    if (at == std::string::npos) return;
    if (at == 0) {
        // The first name goes with the comma after it.
        signs.erase(0, name.size() + 1);
    } else {
        // Any other name goes with the comma before it.
        signs.erase(at - 1, name.size() + 1);
    }
}

}  // namespace

std::string_view SignNameOfEntry(std::string_view entry) {
    return entry.substr(0, entry.find(' '));
}

bool AddSign(std::string& signs, std::string_view entry) {
    const std::string_view name = SignNameOfEntry(entry);
    if (name.empty()) return false;
    RemoveName(signs, name);
    if (!signs.empty()) signs += ',';
    signs += name;
    return true;
}

bool RemoveSign(std::string& signs, std::string_view entry) {
    const std::string_view name = SignNameOfEntry(entry);
    if (name.empty()) return false;
    RemoveName(signs, name);
    return true;
}

void ClearSigns(std::string& signs) { signs.clear(); }

}  // namespace tp
