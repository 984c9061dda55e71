// The news categories chosen for the current run. The run copies them from the
// main window's check boxes before it starts; the news topic reads them.
#pragma once

namespace tp {

enum NewsCategory { kNewsWorld = 0, kNewsTechnology = 1, kNewsSport = 2, kNewsCategoryCount = 3 };

extern bool g_newsCategories[kNewsCategoryCount];

}  // namespace tp
