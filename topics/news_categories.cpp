#include "topics/news_categories.h"

namespace tp {

bool g_newsCategories[kNewsCategoryCount] = {false, false, false};

}  // namespace tp
