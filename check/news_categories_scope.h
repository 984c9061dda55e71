// The news categories a plan or a page takes, set for as long as the object
// lives and put back after: a check is no part of a run.
#pragma once

#include "topics/news_categories.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tp {

class NewsCategoriesScope {
public:
    explicit NewsCategoriesScope(const std::array<bool, kNewsCategoryCount>& on) {
        std::copy(std::begin(g_newsCategories), std::end(g_newsCategories), saved_.begin());
        std::copy(on.begin(), on.end(), std::begin(g_newsCategories));
    }
    ~NewsCategoriesScope() { std::copy(saved_.begin(), saved_.end(), std::begin(g_newsCategories)); }
    NewsCategoriesScope(const NewsCategoriesScope&) = delete;
    NewsCategoriesScope& operator=(const NewsCategoriesScope&) = delete;

private:
    std::array<bool, kNewsCategoryCount> saved_{};
};

}  // namespace tp
