#include "tools/batch/terminal_run_view.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tp {
namespace {

TEST(TerminalRunView, EveryStatusIsExactlyOneLine) {
    const struct {
        const char* name;
        std::string status;
        std::string line;
    } rows[] = {
        {"plain text", "Download in progress, please wait ...", "Download in progress, please wait ..."},
        {"error quoting a tag with line feeds",
         "Download \"xml/news.xml\" in progress...HTML error: news tag ']Photos\n\n     ___' not found",
         "Download \"xml/news.xml\" in progress...HTML error: news tag ']Photos\\n\\n     ___' not found"},
        {"carriage return and line feed", "a\r\nb", "a\\r\\nb"},
        {"8-bit text passes unchanged", "Envoyer l'itin\xE9raire", "Envoyer l'itin\xE9raire"},
        {"empty status", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::ostringstream out;
        std::ostringstream err;
        TerminalRunView view(out, err);
        view.SetStatus(row.status);
        view.SetStatus("next");
        EXPECT_EQ(out.str(), row.line + "\nnext\n");
        EXPECT_EQ(err.str(), "");
    }
}

}  // namespace
}  // namespace tp
