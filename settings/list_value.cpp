#include "settings/list_value.h"

namespace tp {

std::vector<std::string> SplitListValue(std::string_view list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) items.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

}  // namespace tp
