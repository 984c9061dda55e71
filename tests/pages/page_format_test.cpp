#include "pages/page_format.h"
#include "topics/topic_table.h"
#include "pages/template_fill.h"

#include "app/globals.h"
#include "app/paths.h"
#include "pages/page_files.h"
#include "settings/settings_model.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

namespace tp {
namespace {

std::tm MondaySeventhOfJanuary(int hour, int minute) {
    std::tm t{};
    t.tm_year = 2030 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 7;
    t.tm_wday = 1;
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

std::string Repeat(std::string_view piece, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out.append(piece);
    return out;
}

std::size_t Count(std::string_view text, std::string_view piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string_view::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

std::string ReadSourceData(const std::string& relative) {
    std::ifstream in(test::SourceDataFolder() + relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(FormatPageDateTest, TimeFormsAndZoneTexts) {
    const std::string longZone(40, 'Z');
    const struct {
        const char* name;
        int hour, minute;
        bool twentyFourHour, systemZone;
        std::string zone;
        std::string expected;
    } cases[] = {
        {"midnight half past is 0 AM", 0, 30, false, false, "", "Mon Jan 7, 0:30  AM (Local Time)"},
        {"noon half past is 12 PM", 12, 30, false, false, "", "Mon Jan 7, 12:30  PM (Local Time)"},
        {"afternoon loses twelve hours", 13, 5, false, false, "", "Mon Jan 7, 1:05  PM (Local Time)"},
        {"morning in 12-hour form", 9, 5, false, true, "CEST", "Mon Jan 7, 9:05  AM (CEST)"},
        {"24-hour form pads the hour", 9, 5, true, false, "", "Mon Jan 7, 09h05 (Local Time)"},
        {"24-hour form late evening", 23, 59, true, true, "EDT", "Mon Jan 7, 23h59 (EDT)"},
        {"zone off ignores the system name", 23, 59, true, false, "CEST",
         "Mon Jan 7, 23h59 (Local Time)"},
        {"long zone name keeps 32 characters", 9, 5, true, true, longZone,
         "Mon Jan 7, 09h05 (" + std::string(32, 'Z') + ")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatPageDate(MondaySeventhOfJanuary(c.hour, c.minute), c.twentyFourHour,
                                 c.systemZone, c.zone),
                  c.expected);
    }
}

TEST(FormatPageDateTest, DayAndMonthNamesAreFixedEnglish) {
    std::tm t = MondaySeventhOfJanuary(8, 0);
    t.tm_wday = 6;
    t.tm_mon = 11;
    t.tm_mday = 31;
    EXPECT_EQ(FormatPageDate(t, true, false, ""), "Sat Dec 31, 08h00 (Local Time)");
    t.tm_wday = 0;
    t.tm_mon = 4;
    EXPECT_EQ(FormatPageDate(t, true, false, ""), "Sun May 31, 08h00 (Local Time)");
}

TEST(CardFormatTest, CardAndIndexLinkTexts) {
    std::string cards;
    EXPECT_TRUE(AppendCard(cards, 51200, 101, "Paris", "Today: sun<br/>"));
    EXPECT_TRUE(AppendCard(cards, 51200, 102, "", ""));
    EXPECT_EQ(cards,
              "<Card ID=\"101\">\n<Header>\n<Title>Paris</Title>\n</Header>\n<Body>\n"
              "<Text><p>Today: sun<br/></p></Text>\n</Body>\n</Card>\n"
              "<Card ID=\"102\">\n<Header>\n<Title></Title>\n</Header>\n<Body>\n"
              "<Text><p></p></Text>\n</Body>\n</Card>\n");

    std::string links;
    EXPECT_TRUE(AppendIndexLink(links, 2048, 101, "World"));
    EXPECT_TRUE(AppendIndexLink(links, 2048, 201, "Technology"));
    EXPECT_EQ(links, "<a href=\"#101\">World</a><br/>\n<a href=\"#201\">Technology</a><br/>\n");
}

TEST(CardFormatTest, CapacityCountsTheZeroAndCutsKeepTheTagsWhole) {
    std::string whole;
    AppendCard(whole, 51200, 7, "T", "abc<br/>def");
    const std::string frame = "<Card ID=\"7\">\n<Header>\n<Title>T</Title>\n</Header>\n<Body>\n"
                              "<Text><p></p></Text>\n</Body>\n</Card>\n";
    const std::string closing = "</p></Text>\n</Body>\n</Card>\n";
    const std::string head = frame.substr(0, frame.size() - closing.size());
    const struct {
        const char* name;
        std::size_t capacity;
        bool fits;
        std::string body;  // the body that ends up in the card; "-" for no card at all
    } cases[] = {
        {"exact fit with the zero", whole.size() + 1, true, "abc<br/>def"},
        {"one short cuts the last letter", whole.size(), false, "abc<br/>de"},
        {"cut inside a line break drops the broken tag", frame.size() + 1 + 5, false, "abc"},
        {"room for the tags only", frame.size() + 1, false, ""},
        {"no room for the tags appends nothing", frame.size(), false, "-"},
        {"zero capacity appends nothing", 0, false, "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string cards;
        EXPECT_EQ(AppendCard(cards, c.capacity, 7, "T", "abc<br/>def"), c.fits);
        EXPECT_LT(cards.size(), std::max<std::size_t>(c.capacity, 1));
        if (c.body == "-") {
            EXPECT_EQ(cards, "");
        } else {
            EXPECT_EQ(cards, head + c.body + closing);
        }
    }
}

TEST(CardFormatTest, AppendsAtTheEndAndNeverPastCapacity) {
    std::string links = "<a href=\"#101\">World</a><br/>\n";
    const std::string before = links;
    // Room for the link's tags and four letters of its title.
    const std::size_t capacity = before.size() + std::string("<a href=\"#102\"></a><br/>\n").size() + 4 + 1;
    EXPECT_FALSE(AppendIndexLink(links, capacity, 102, "Technology"));
    EXPECT_EQ(links, before + "<a href=\"#102\">Tech</a><br/>\n");
    EXPECT_FALSE(AppendIndexLink(links, capacity, 103, "Sport"));
    EXPECT_EQ(links.size(), capacity - 1);

    const std::string body = Repeat("x", 100);
    std::string one;
    AppendCard(one, 51200, 101, "Title", body);
    std::string cards;
    std::size_t appended = 0;
    while (AppendCard(cards, 2048, 101 + static_cast<int>(appended), "Title", body)) ++appended;
    EXPECT_EQ(appended, 2047 / one.size());
    // The card that did not fit whole is still closed.
    EXPECT_LE(cards.size(), 2047u);
    EXPECT_EQ(cards.substr(cards.size() - 8), "</Card>\n");
}

// Pieces with telling names, so an expected page shows what went where.
constexpr std::string_view kIcon = "ICON";
constexpr std::string_view kDate = "DATE";
constexpr std::string_view kLinks = "LINKS";
constexpr std::string_view kCards = "CARDS";

struct ComposeCase {
    const char* name;
    PageKind topic;
    std::string templateText;
    bool ok;
    std::string expected;  // the page, or g_lastError when !ok
};

void RunComposeCases(const std::vector<ComposeCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string page = "stale";
        g_lastError.clear();
        EXPECT_EQ(ComposePage(c.topic, c.templateText, kIcon, kDate, kLinks, kCards, "my.xmt", page),
                  c.ok);
        EXPECT_EQ(c.ok ? page : g_lastError, c.expected);
    }
}

TEST(ComposePageTest, TwoPassPlaceholderTest) {
    RunComposeCases({
        {"three placeholders only", TopicOf(TopicId::Weather).page, "<a>%s</a><b>%s</b><c>%s</c>", false,
         "Template error: in 'my.xmt'"},
        {"no placeholder at all", TopicOf(TopicId::Stocks).page, "<Tidepost/>", false,
         "Template error: in 'my.xmt'"},
        {"a %%s at the start is the first surviving placeholder", TopicOf(TopicId::Stocks).page, "%%s%s%s%s%s", false,
         "Template error: in 'my.xmt'"},
        {"a %%s after the first three is the place of the links", TopicOf(TopicId::News).page, "%s%s%s%%s<%s>", true,
         "ICONNewsDATELINKS<CARDS>"},
        {"five placeholders at the very start", TopicOf(TopicId::News).page, "%s%s%s%s%s", true,
         "ICONNewsDATELINKSCARDS"},
        {"title per topic", TopicOf(TopicId::Stocks).page, "<%s|%s|%s|%s|%s>", true,
         "<ICON|Stocks|DATE|LINKS|CARDS>"},
        {"double percent before the first placeholder", TopicOf(TopicId::Weather).page,
         "100%%<%s>%s %s [%s] %s", true, "100%<ICON>Weather DATE [LINKS] CARDS"},
        {"quadruple percent among the last placeholders", TopicOf(TopicId::Weather).page,
         "%s %s %s %s 50%%%% %s", true, "ICON Weather DATE LINKS 50% CARDS"},
        {"quadruple percent after every placeholder", TopicOf(TopicId::Weather).page,
         "%s%s%s%s%s<!-- 50%%%% done -->", true, "ICONWeatherDATELINKSCARDS<!-- 50% done -->"},
        // Up to the first surviving placeholder the frame is final text.
        {"quadruple percent before the fourth placeholder", TopicOf(TopicId::Weather).page,
         "%s %s %s 50%%%% %s %s", true, "ICON Weather DATE 50%% LINKS CARDS"},
    });
}

TEST(ComposePageTest, OnePassTopicsFillWithoutCheck) {
    RunComposeCases({
        {"movies fill the title", TopicOf(TopicId::Movies).page, "%s/%s/%s/%s/%s", true,
         "ICON/Movies/DATE/LINKS/CARDS"},
        {"directions have no title", TopicOf(TopicId::Directions).page, "%s/%s/%s/%s", true,
         "ICON/DATE/LINKS/CARDS"},
        {"too few placeholders are not refused", TopicOf(TopicId::Astro).page, "%s only", true, "ICON only"},
        {"double percent halves once", TopicOf(TopicId::Email).page, "%s %%%% %s%s%s", true,
         "ICON %% DATELINKSCARDS"},
    });
}

TEST(ComposePageTest, HostileTemplatesAreCopiedNotFormatted) {
    const std::string forty = Repeat("%s", 40);
    RunComposeCases({
        {"foreign conversions stay as written", TopicOf(TopicId::Email).page,
         "%s%n%d%99999s%x%s%s%s%-5s%", true, "ICON%n%d%99999s%xDATELINKSCARDS%-5s%"},
        {"forty placeholders, one pass", TopicOf(TopicId::Email).page, forty, true,
         "ICONDATELINKSCARDS" + Repeat("%s", 36)},
        {"forty placeholders, two passes", TopicOf(TopicId::Weather).page, forty, true,
         "ICONWeatherDATELINKSCARDS" + Repeat("%s", 35)},
        {"foreign conversions through both passes", TopicOf(TopicId::News).page,
         "%n%s%s%s%d%s%99999s%s%p", true, "%nICONNewsDATE%dLINKS%99999sCARDS%p"},
    });
}

TEST(ComposePageTest, PiecesAreNeverReadAsTemplates) {
    std::string page;
    ASSERT_TRUE(ComposePage(TopicOf(TopicId::News).page, "%s|%s|%s|%s|%s", "i%%", "d%n", "l%d%s", "c%%",
                            "news.xmt", page));
    EXPECT_EQ(page, "i%%|News|d%n|l%d%s|c%%");
    ASSERT_TRUE(ComposePage(TopicOf(TopicId::Email).page, "%s|%s|%s|%s", "i%s", "d%n", "l%s", "c%%",
                            "email.xmt", page));
    EXPECT_EQ(page, "i%s|d%n|l%s|c%%");
}

TEST(ComposePageTest, PageIsCutAtTheTransferBufferSize) {
    const std::string huge(100000, 'c');
    for (const TopicId id : {TopicId::Weather, TopicId::Movies, TopicId::Email}) {
        SCOPED_TRACE(TopicOf(id).name);
        const PageKind& topic = TopicOf(id).page;
        std::string page;
        ASSERT_TRUE(ComposePage(topic, "<%s%s%s%s%s>", kIcon, kDate, kLinks, huge, "t.xmt", page));
        EXPECT_EQ(page.size(), kTransferCapacity - 1);
        EXPECT_EQ(page.back(), 'c');
    }
    // A huge icon before the placeholders cuts the page as well.
    std::string page;
    ASSERT_TRUE(ComposePage(TopicOf(TopicId::News).page, "%s%s%s%s%s", huge, kDate, kLinks, kCards, "n.xmt", page));
    EXPECT_EQ(page, huge.substr(0, kTransferCapacity - 1));
}

TEST(ComposePageTest, OversizePageLeavesOutWholeCardsFromTheEnd) {
    std::string links;
    std::string cards;
    const std::string body(1000, 'b');
    for (int id = 101; id < 201; ++id) {
        AppendIndexLink(links, 100000, id, "T");
        AppendCard(cards, 200000, id, "T", body);
    }
    for (const TopicId id : {TopicId::Weather, TopicId::Movies, TopicId::Email}) {
        SCOPED_TRACE(TopicOf(id).name);
        const PageKind& topic = TopicOf(id).page;
        std::string page;
        ASSERT_TRUE(ComposePage(topic, "<P>%s%s%s%s%s</P>", kIcon, kDate, links, cards, "t.xmt", page));
        EXPECT_LT(page.size(), kTransferCapacity - 1);
        ASSERT_GE(page.size(), 4u);
        EXPECT_EQ(page.substr(page.size() - 4), "</P>");
        // Every card kept is whole and still has its index link.
        const std::size_t cardsKept = Count(page, "<Card ID=");
        EXPECT_GT(cardsKept, 50u);
        EXPECT_LT(cardsKept, 100u);
        EXPECT_EQ(Count(page, "</Card>"), cardsKept);
        EXPECT_EQ(Count(page, "<a href="), cardsKept);
    }
}

TEST(ComposePageTest, PageOfExactlyTheBufferSizeKeepsEveryCard) {
    std::string links;
    std::string cards;
    for (int id = 101; id <= 102; ++id) {
        AppendIndexLink(links, 2048, id, "T");
        AppendCard(cards, 51200, id, "T", "body");
    }
    const struct {
        PageKind topic;
        std::string_view title;
    } topics[] = {{TopicOf(TopicId::Weather).page, "Weather"}, {TopicOf(TopicId::Movies).page, "Movies"}, {TopicOf(TopicId::Email).page, ""}};
    for (const auto& t : topics) {
        for (const std::size_t surplus : {0, 1}) {
            SCOPED_TRACE(std::string(t.title) + (surplus ? " one too long" : " exact"));
            const std::string templateText = t.title.empty() ? "%s%s%s%s" : "%s%s%s%s%s";
            const std::size_t fixed = t.title.size() + kDate.size() + links.size() + cards.size();
            const std::string icon(kTransferCapacity - 1 - fixed + surplus, 'i');
            std::string page;
            ASSERT_TRUE(ComposePage(t.topic, templateText, icon, kDate, links, cards, "t.xmt", page));
            EXPECT_EQ(Count(page, "<Card ID="), surplus ? 1u : 2u);
            if (!surplus) {
                EXPECT_EQ(page.size(), kTransferCapacity - 1);
            }
        }
    }
}

// Every in-page link points at a card that the page still holds.
void ExpectNoDanglingLinks(const std::string& page) {
    const std::regex link("<a href=\"#([0-9]+)\">");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), link); it != std::sregex_iterator(); ++it) {
        SCOPED_TRACE((*it)[1].str());
        EXPECT_NE(page.find("<Card ID=\"" + (*it)[1].str() + "\">"), std::string::npos);
    }
}

TEST(ComposePageTest, LeftOutCardsTakeOnlyTheirOwnLinks) {
    // A news page: each category card lists its items, and the index card lists
    // only the categories.
    const std::string body(20500, 'b');
    std::string links;
    std::string cards;
    for (int category = 1; category <= 2; ++category) {
        const int categoryId = 100 * category + 1;
        std::string itemLinks;
        for (int id = categoryId + 1; id <= categoryId + 2; ++id) AppendIndexLink(itemLinks, 51200, id, "Item");
        AppendIndexLink(links, 51200, categoryId, "Category");
        AppendCard(cards, 200000, categoryId, "Category", itemLinks);
        for (int id = categoryId + 1; id <= categoryId + 2; ++id) AppendCard(cards, 200000, id, "Item", body);
    }
    std::string page;
    ASSERT_TRUE(ComposePage(TopicOf(TopicId::News).page, "<P>%s%s%s<I>%s</I>%s</P>", kIcon, kDate, links, cards, "n.xmt", page));
    ASSERT_LT(page.size(), kTransferCapacity - 1);
    EXPECT_EQ(Count(page, "<Card ID="), 5u);  // 203 left out
    EXPECT_NE(page.find("<I><a href=\"#101\">Category</a><br/>\n<a href=\"#201\">Category</a><br/>\n</I>"),
              std::string::npos);
    ExpectNoDanglingLinks(page);
}

TEST(ComposeFrameTest, StocksFrameIsFilledLater) {
    PageFrame frame;
    ASSERT_TRUE(ComposeFrame(TopicOf(TopicId::Stocks).page, "<%s><%s><%s><%s><%s> 5%%", kIcon, kDate, "stocks.xmt", frame));
    std::string page;
    ASSERT_TRUE(FillFrame(frame, kLinks, kCards, page));
    EXPECT_EQ(page, "<ICON><Stocks><DATE><LINKS><CARDS> 5%");
}

// The second pass never reads the inserted texts again, only the template's
// own: the page of a two-pass topic equals the one-pass fill of the template
// with its text after the first three placeholders halved once more.
TEST(ComposeFrameTest, TwoPassPagesEqualAOnePassFill) {
    const struct {
        const char* name;
        std::string templateText;
        std::string icon;
        std::string date;
        std::string onePassTemplate;
    } rows[] = {
        {"a %s in the icon stays text", "%s%s%s<%s><%s>", "I%sI", "D", "%s%s%s<%s><%s>"},
        {"a %s in the date line stays text", "%s%s%s<%s><%s>", "I", "D%s%%D", "%s%s%s<%s><%s>"},
        {"four percent signs give one", "%s%s%s<%s><%s> 5%%%%", "I", "D", "%s%s%s<%s><%s> 5%%"},
        {"a template without the cards' place", "%s%s%s<%s>", "I", "D", "%s%s%s<%s>"},
        {"surplus placeholders stay as they are", "%s%s%s<%s><%s>%s", "I", "D", "%s%s%s<%s><%s>%s"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (const TopicId id : {TopicId::Weather, TopicId::News, TopicId::Stocks}) {
            const PageKind& topic = TopicOf(id).page;
            std::string page;
            ASSERT_TRUE(ComposePage(topic, row.templateText, row.icon, row.date, kLinks, kCards, "t.xmt", page));
            const std::string title(TopicOf(id).name);
            std::string onePass;
            FillTemplate(row.onePassTemplate, {row.icon, title, row.date, kLinks, kCards}, kTransferCapacity, onePass);
            EXPECT_EQ(page, onePass);
        }
    }
    // Only the template's own placeholders count: three of them and a "%s" in
    // the icon are no page.
    std::string page;
    EXPECT_FALSE(ComposePage(TopicOf(TopicId::News).page, "%s%s%s", "I%s", "D", kLinks, kCards, "n.xmt", page));
    EXPECT_EQ(g_lastError, "Template error: in 'n.xmt'");
}

TEST(WritePageTest, WritesTextModeAndCountsLineFeedsOnce) {
    test::TempHome home;
    g_totalSize = 10;
    const mode_t umask = ::umask(022);
    ASSERT_TRUE(WritePage(home.path() + "xml/a.xml", "<a>\n</a>\n"));
    ::umask(umask);
    EXPECT_EQ(home.ReadFile("xml/a.xml"), "<a>\r\n</a>\r\n");
    // A page may hold the user's mail: a new one is the user's alone.
    EXPECT_EQ(std::filesystem::status(home.path() + "xml/a.xml").permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(g_totalSize, 10u + 9u);
    ASSERT_TRUE(WritePage(home.path() + "xml/a.xml", "<b/>"));
    EXPECT_EQ(home.ReadFile("xml/a.xml"), "<b/>");
    EXPECT_EQ(g_totalSize, 10u + 9u + 4u);
}

TEST(WritePageTest, FailuresAreReportedAndNotCounted) {
    test::TempHome home;
    const std::string missingFolder = home.path() + "nowhere/a.xml";
    const std::string bigPage(200000, 'x');
    g_totalSize = 5;

    EXPECT_FALSE(WritePage(missingFolder, "<a/>"));
    EXPECT_EQ(g_lastError, "File error: Enable to write '" + missingFolder + "': No such file or directory");

    // Only regular files are written: not a device, not a pipe nobody reads
    // (the run would wait for ever), not through a link to a file elsewhere.
    const std::string outside = home.path() + "outside.txt";
    home.WriteFile("outside.txt", "keep");
    ASSERT_EQ(::symlink(outside.c_str(), (home.path() + "xml/link.xml").c_str()), 0);
    ASSERT_EQ(::mkfifo((home.path() + "xml/news.xml").c_str(), 0600), 0);
    // A reader keeps an old in-place write from blocking, so that it shows as a failure.
    const int reader = ::open((home.path() + "xml/news.xml").c_str(), O_RDONLY | O_NONBLOCK);
    const struct {
        std::string path;
        const char* reason;
    } refused[] = {
        {"/dev/full", "not a regular file"},
        {home.path() + "xml/news.xml", "not a regular file"},
        {home.path() + "xml/link.xml", "a symbolic link, which is not followed"},
    };
    for (const auto& row : refused) {
        EXPECT_FALSE(WritePage(row.path, "<a/>"));
        EXPECT_EQ(g_lastError, "File error: Enable to write '" + row.path + "': " + row.reason);
    }
    ::close(reader);
    EXPECT_EQ(home.ReadFile("outside.txt"), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink(home.path() + "xml/link.xml"));

    // A disk that fills up part-way leaves no half page behind.
    const std::string partial = home.path() + "xml/partial.xml";
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WritePage(partial, bigPage);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(home.Exists("xml/partial.xml"));

    EXPECT_EQ(g_totalSize, 5u);
}

TEST(BuildTopicPageTest, ReadsComposesAndWrites) {
    test::TempHome home;
    home.WriteFile("cfg/w.txt", "QUJD");
    home.WriteFile("cfg/w.xmt", "<T><Icon><Data>%s</Data>\r\n</Icon><I>%s %s\r\n%s</I>%s</T>");
    GeneralSettings general;
    general.timeFormat = 1;
    general.timeZone = false;
    g_totalSize = 0;

    ASSERT_TRUE(BuildTopicPage(TopicOf(TopicId::Weather).page, "w.txt", "w.xmt", PageFileName("w.xmt"),
                               "<a href=\"#101\">X</a><br/>\n", "CARDS", general));
    const std::string bytes = home.ReadFile("xml/w.xml");
    const std::regex expected(
        "<T><Icon><Data>QUJD</Data>\r\n</Icon><I>Weather [A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{1,2}, "
        "[0-9]{2}h[0-9]{2} \\(Local Time\\)\r\n<a href=\"#101\">X</a><br/>\r\n</I>CARDS</T>");
    EXPECT_TRUE(std::regex_match(bytes, expected)) << bytes;
    // Counted as composed: CR LF pairs read back as one line feed each.
    EXPECT_EQ(g_totalSize, bytes.size() - 3);
}

TEST(BuildTopicPageTest, FailingStepsWriteNothing) {
    test::TempHome home;
    home.WriteFile("cfg/ok.txt", "QUJD");
    home.WriteFile("cfg/three.xmt", "%s %s %s");
    home.WriteFile("cfg/ok.xmt", "%s %s %s %s %s");
    GeneralSettings general;
    const struct {
        const char* name;
        const char* icon;
        const char* templateName;
        std::string error;
    } cases[] = {
        {"missing icon", "none.txt", "ok.xmt",
         "Error: Enable to read file '" + home.path() + "cfg/none.txt'"},
        {"missing template", "ok.txt", "none.xmt",
         "Error: Enable to read file '" + home.path() + "cfg/none.xmt'"},
        {"template with three placeholders", "ok.txt", "three.xmt", "Template error: in 'three.xmt'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_totalSize = 0;
        EXPECT_FALSE(BuildTopicPage(TopicOf(TopicId::News).page, c.icon, c.templateName, PageFileName("page.xmt"),
                                    "", "", general));
        EXPECT_EQ(g_lastError, c.error);
        EXPECT_FALSE(home.Exists("xml/page.xml"));
        EXPECT_EQ(g_totalSize, 0u);
    }
}

// The installed templates and icons, filled as a run fills them, must give pages
// that an XML parser accepts.
TEST(DefaultTemplatesTest, FilledPagesAreWellFormedXml) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint missing";
    test::TempHome home;
    const struct {
        PageKind topic;
        const char* name;
        const char* title;  // in the page's index card
    } topics[] = {
        {TopicOf(TopicId::Weather).page, "weather", "Weather"},     {TopicOf(TopicId::News).page, "news", "News"},
        {TopicOf(TopicId::Stocks).page, "stocks", "Stocks"},        {TopicOf(TopicId::Movies).page, "movies", "Movies"},
        {TopicOf(TopicId::Directions).page, "directions", "Directions"}, {TopicOf(TopicId::Astro).page, "astro", "Horoscopes"},
        {TopicOf(TopicId::Email).page, "email", "E-mail"},
    };
    const std::string dateLine = FormatPageDate(MondaySeventhOfJanuary(9, 5), true, false, "");
    for (const auto& t : topics) {
        SCOPED_TRACE(t.name);
        const std::string templateText = ReadSourceData(std::string("cfg/") + t.name + ".xmt");
        const std::string icon = ReadSourceData(std::string("cfg/") + t.name + ".txt");
        ASSERT_FALSE(templateText.empty());
        ASSERT_FALSE(icon.empty());
        std::string links;
        std::string cards;
        for (int id = 101; id <= 103; ++id) {
            const std::string title = "Item " + std::to_string(id);
            AppendIndexLink(links, 2048, id, title);
            AppendCard(cards, 51200, id, title, "first line<br/>second line, 12% up<br/>");
        }
        std::string page;
        ASSERT_TRUE(ComposePage(t.topic, templateText, icon, dateLine, links, cards,
                                std::string(t.name) + ".xmt", page));
        EXPECT_EQ(page.find("%s"), std::string::npos) << page;
        EXPECT_NE(page.find("<Data>" + icon + "</Data>"), std::string::npos) << page;
        EXPECT_NE(page.find(std::string("<Title>") + t.title + "</Title>"), std::string::npos);
        EXPECT_NE(page.find(dateLine), std::string::npos);
        EXPECT_NE(page.find(links), std::string::npos);
        EXPECT_NE(page.find(cards), std::string::npos);

        const std::string path = home.path() + "xml/" + t.name + ".xml";
        ASSERT_TRUE(WritePage(path, page));
        EXPECT_EQ(std::system(("xmllint --noout '" + path + "'").c_str()), 0) << page;
    }
}

}  // namespace
}  // namespace tp
