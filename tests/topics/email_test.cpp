#include "topics/email.h"

#include "app/diagnostics.h"
#include "app/globals.h"
#include "tests/topics/topic_page_support.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace tp {
namespace {

using test::CountOf;
using test::TempHome;

const std::string kPageFile = "xml/email.xml";

struct TextRow {
    const char* name;
    std::string content;
    std::string expected;
};

TEST(EmailText, MessagesKeepTheirHeaderLinesAndTheBodyAfterContentType) {
    const TextRow rows[] = {
        {"from, subject and a body", "From: Ann\nSubject: Hi\nContent-Type: text/plain\n\nBody\n",
         "From: Ann<br/>\nSubject: Hi<br/>\n<br/>\n\nBody\n"},
        {"headers in their fixed order whatever the file's order",
         "Date: Mon\nSubject: S\nCc: C\nTo: T\nFrom: F\n",
         "From: F<br/>\nTo: T<br/>\nCc: C<br/>\nSubject: S<br/>\nDate: Mon<br/>\n<br/>\n"},
        {"the first To: may stand inside Reply-To:", "Reply-To: a@x\nTo: b@x\n",
         "To: a@x<br/>\n<br/>\n"},
        {"header names are matched with their case", "from: a\nSUBJECT: b\ncontent-type: c\nx\n",
         ""},
        {"no Content-Type: only the header lines", "From: Ann\n\nHello\n", "From: Ann<br/>\n<br/>\n"},
        {"a body without header lines", "X-Mailer: y\nContent-Type: text/plain\nHello",
         "Hello"},
        {"Content-Type: on the last line gives no body", "From: a\nContent-Type: text/plain",
         "From: a<br/>\n<br/>\n"},
        {"a header on a line without a line feed", "Subject: last", "Subject: last<br/>\n<br/>\n"},
        {"markup, quotes and accents are cleaned",
         "Subject: R&D <plan>\nContent-Type: x\n\"Caf\xE9\" & cr\xE8me",
         "Subject: R-D (plan)<br/>\n<br/>\n'Cafe' - creme"},
        {"zero bytes do not end the message", std::string("From: a\0b\nTo: c\n", 16),
         "From: ab<br/>\nTo: c<br/>\n<br/>\n"},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MessageText(row.content), row.expected);
    }
}

TEST(EmailText, AMessageTooLongForItsSlotIsCutWithoutHalfABreak) {
    // The From line ends two characters short of the slot, so its break no
    // longer fits; the body is dropped and no piece of "<br/>" is left.
    const std::string from = "From: " + std::string(kEmailTextMax - 2 - 6, 'x');
    EXPECT_EQ(MessageText(from + "\nContent-Type: t\nbody"), from);

    const std::string body(kEmailTextMax + 10, 'b');
    const std::string text = MessageText("Subject: s\nContent-Type: t\n" + body);
    EXPECT_EQ(text.size(), kEmailTextMax);
    EXPECT_EQ(text.substr(0, 23), "Subject: s<br/>\n<br/>\nb");
}

TEST(EmailText, TitlesDropTheExtensionAndAreCleaned) {
    const struct {
        std::string fileName;
        std::string title;
    } rows[] = {
        {"memo.txt", "memo"},
        {"R&D notes.txt", "R-D notes"},
        {"R\xC3\xA9sum\xC3\xA9.txt", "Resume"},  // UTF-8 name
        {"R\xE9sum\xE9.txt", "Resume"},          // Latin-1 name
        {"euro \xE2\x82\xAC.txt", "euro ?"},     // no Latin-1 letter for it
        {"<b>.eml", "(b)"},
        // Over-long forms and surrogates are not UTF-8: the bytes are Latin-1.
        {"z\xE0\x80\x80.txt", "za\x80\x80"},  // would be a zero byte
        {"\xED\xA0\x80.txt", "i\xA0\x80"},    // a surrogate
        {".txt", ""},
        {std::string(300, 'n') + ".txt", std::string(kEmailTitleMax, 'n')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fileName);
        EXPECT_EQ(EmailTitle(row.fileName), row.title);
    }
}

class EmailTopicTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::CopyDefaultConfig(home);
        g_totalSize = 0;
    }
    void Put(const std::string& name, const std::string& bytes) const {
        home.WriteFile("emails/" + name, bytes);
    }
    std::string Page() const { return FromTextModeBytes(home.ReadFile(kPageFile)); }

    TempHome home;
    Settings settings;
};

TEST_F(EmailTopicTest, FilesAreReadInTextModeWhateverTheirShape) {
    const TextRow rows[] = {
        {"only carriage returns before line feeds are dropped", "a\r\nb\rc\r\n", "a\nb\rc\n"},
        {"a file without a line feed", "one line only", "one line only"},
        {"an empty file", "", ""},
        {"a zero byte becomes a blank like other controls", std::string("Buy\0milk", 8), "Buy milk"},
        {"a file larger than the slot keeps its beginning", std::string(60000, 'z'),
         std::string(kEmailTextMax, 'z')},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        Put("file.txt", row.content);
        EXPECT_EQ(EmailFileText(home.path() + "emails/", "file.txt"), row.expected);
    }
}

// Links that leave the data folder would publish any file the run can read.
TEST_F(EmailTopicTest, LinksOutOfTheDataFolderAreSkippedAndUnreadableFilesSaySo) {
    std::filesystem::create_symlink("/etc/passwd", home.path() + "emails/notes.txt");
    std::filesystem::create_symlink("/proc/self/mem", home.path() + "emails/locked.txt");
    home.WriteFile("cfg/inside.txt", "kept inside");
    std::filesystem::create_symlink("../cfg/inside.txt", home.path() + "emails/inner.txt");
    Put("fine.txt", "readable");
    TakeDiagnostics();
    ASSERT_TRUE(DownloadEmail(settings, kPageFile));
    const std::string page = Page();
    EXPECT_EQ(page.find("<Title>notes</Title>"), std::string::npos) << page;
    EXPECT_EQ(page.find("<Title>locked</Title>"), std::string::npos) << page;
    EXPECT_NE(page.find("<p>kept inside</p>"), std::string::npos) << page;
    EXPECT_NE(page.find("<p>readable</p>"), std::string::npos);
    const std::string folder = home.path() + "emails/";
    EXPECT_EQ(TakeDiagnostics(),
              (std::vector<std::string>{folder + "locked.txt: a symbolic link to a file outside the data folder, skipped",
                                        folder + "notes.txt: a symbolic link to a file outside the data folder, skipped"}));
    // A file whose read fails even for root.
    EXPECT_EQ(EmailFileText("/proc/self/", "mem"), kEmailOpenFailed);
}

TEST_F(EmailTopicTest, AMixedFolderGivesTheRecordedPage) {
    const std::string source = TIDEPOST_SOURCE_DIR "/tests/data/email_folder_mixed";
    std::filesystem::copy(source, home.path() + "emails",
                          std::filesystem::copy_options::overwrite_existing |
                                     std::filesystem::copy_options::recursive);
    ASSERT_TRUE(DownloadEmail(settings, kPageFile)) << g_lastError;
    const std::string written = home.ReadFile(kPageFile);
    EXPECT_EQ(test::PageWithoutDate(written), test::TestDataFile("email_folder_mixed_page.xml"));
    EXPECT_EQ(g_totalSize, FromTextModeBytes(written).size());
}

TEST_F(EmailTopicTest, OnlyTheFirstTwentyFilesBecomeCards) {
    for (int i = 1; i <= 25; ++i) Put("memo" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt", "m");
    Put("a.eml", "Subject: never read\n");
    ASSERT_TRUE(DownloadEmail(settings, kPageFile));
    const std::string page = Page();
    EXPECT_EQ(CountOf(page, "<Card ID="), 20);
    EXPECT_NE(page.find("<Card ID=\"120\">\n<Header>\n<Title>memo20</Title>"), std::string::npos);
    EXPECT_EQ(page.find("memo21"), std::string::npos);
    EXPECT_EQ(page.find("never read"), std::string::npos);
}

TEST_F(EmailTopicTest, CardsBeyondThePageCapacityAreCutOrLeftOutWithTheirLinks) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Put(name, std::string(30000, 'x'));
    ASSERT_TRUE(DownloadEmail(settings, kPageFile));
    const std::string page = Page();
    EXPECT_EQ(CountOf(page, "<Card ID="), 2);
    EXPECT_EQ(CountOf(page, "</Card>"), 2);
    EXPECT_EQ(CountOf(page, "<a href=\"#"), 2);
    EXPECT_EQ(page.find("#103"), std::string::npos);
    EXPECT_LT(page.size(), kTransferCapacity);
    EXPECT_EQ(page.substr(page.size() - 12), "</Tidepost>\n");
}

TEST_F(EmailTopicTest, AnEmptyOrMissingFolderGivesAPageWithoutCards) {
    for (const bool removeFolder : {false, true}) {
        SCOPED_TRACE(removeFolder ? "missing folder" : "empty folder");
        if (removeFolder) std::filesystem::remove_all(home.path() + "emails");
        ASSERT_TRUE(DownloadEmail(settings, kPageFile));
        const std::string page = Page();
        EXPECT_EQ(CountOf(page, "<Card"), 0);
        EXPECT_NE(page.find("<Title>E-mail</Title>"), std::string::npos);
    }
}

TEST_F(EmailTopicTest, AMissingIconOrTemplateOrAnUnwritablePageFailsTheTopic) {
    Put("memo.txt", "m");
    const struct {
        const char* name;
        std::string icon;
        std::string xml;
        std::string page;
        std::string error;
    } rows[] = {
        {"icon", "none.txt", "email.xmt", kPageFile, "Error: Enable to read file '"},
        {"template", "email.txt", "none.xmt", kPageFile, "Error: Enable to read file '"},
        {"page", "email.txt", "email.xmt", "nofolder/email.xml",
         "File error: Enable to write 'nofolder/email.xml'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        settings.more.email.icon = row.icon;
        settings.more.email.xml = row.xml;
        EXPECT_FALSE(DownloadEmail(settings, row.page));
        EXPECT_EQ(g_lastError.rfind(row.error, 0), 0u) << g_lastError;
        EXPECT_FALSE(home.Exists(kPageFile));
        EXPECT_EQ(g_totalSize, 0u);
    }
}

}  // namespace
}  // namespace tp
