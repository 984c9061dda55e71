// Hostile input for every topic: the recorded provider pages with bytes that
// have no place in a page injected into one line at a time, hostile e-mail
// files and titles. Whatever comes in, every page written must be well-formed
// XML, and a topic that wrote no page must count as failed.
#include "app/globals.h"
#include "run/download_run.h"
#include "platform/dir_list.h"
#include "settings/settings_model.h"
#include "tests/topics/topic_page_support.h"
#include "tests/run/recording_run_view.h"
#include "tests/support/temp_home.h"
#include "tests/support/xml_check.h"
#include "tools/sample_provider/sample_provider.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace tp {
namespace {

using namespace std::string_literals;

constexpr std::string_view kMarker = "ZQX";

// The sample provider's answers, each 200 body passed through a mutation.
class HostileProvider {
public:
    using Mutation = std::function<std::string(const std::string&)>;

    HostileProvider() {
        std::string error;
        EXPECT_TRUE(provider_.Load(TIDEPOST_SOURCE_DIR "/tools/sample_provider/pages/", error)) << error;
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            sample::Reply reply = request.path == kConversionPath && request.has_param("url")
                                      ? Answer(request.get_param_value("url"))
                                      : provider_.Answer("", request.target);
            if (reply.status == 200) {
                std::lock_guard lock(mutex_);
                reply.body = mutation_(reply.body);
            }
            response.status = reply.status;
            response.set_content(reply.body, "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::yield();
    }
    ~HostileProvider() {
        server_.stop();
        thread_.join();
    }

    void SetMutation(Mutation mutation) {
        std::lock_guard lock(mutex_);
        mutation_ = std::move(mutation);
    }
    int port() const { return port_; }

private:
    sample::Reply Answer(const std::string& url) const {
        const std::optional<sample::Target> target = sample::SplitTarget(url);
        return target ? provider_.Answer(target->host, target->path) : sample::Reply{400, "bad", ""};
    }

    sample::SampleProvider provider_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    Mutation mutation_ = [](const std::string& body) { return body; };
};

// piece inserted at the start of line `line` (0-based) of body, or before the
// line feed that ends it; a body with fewer lines is left as it is.
std::string IntoLine(const std::string& body, int line, const std::string& piece, bool atStart = false) {
    std::size_t start = 0;
    for (int k = 0; k < line; ++k) {
        start = body.find('\n', start);
        if (start == std::string::npos) return body;
        ++start;
    }
    const std::size_t end = body.find('\n', start);
    if (end == std::string::npos) return body;
    const std::size_t at = atStart ? start : end;
    return body.substr(0, at) + piece + body.substr(at);
}

// The marker recurs every 16 bytes, so a piece cut short still shows it.
std::string EveryByteButLineFeed() {
    std::string bytes;
    for (int c = 1; c < 256; ++c) {
        if (c % 16 == 0) bytes += kMarker;
        if (c != '\n') bytes += static_cast<char>(c);
    }
    return bytes + std::string(kMarker);
}

// Every topic selected, every address at the provider, e-mail files with
// hostile names and contents, and titles from the settings holding markup.
void PrepareHome(const test::TempHome& home, int port) {
    test::CopyDefaultConfig(home);
    std::string ini =
        "[Settings]\nStopOnError=0\nDeleteXml=1\nIntelliSynch=0\n"
        "[Weather]\nDownload=1\nZIP=10001,60601\nCityCode=UKXX/UKXX0085,FRXX/FRXX0076\n"
        "[Movies]\nDownload=1\n"
        "[Stocks]\nDownload=1\nXRate=USD/EUR,EUR/USD\nSymbols=IBM,MSFT\nOldEuroSymb=F<&\"\x01\nOldEuroRate=6.5\n"
        "[News]\nDownload=1\nNbNews=10\nNewsWorldUS=1\nNewsTechUS=1\nNewsSportUS=1\n"
        "[Directions]\nDownload=1\n"
        "Itinary1=Home & <work> \"\x1b\"\nCountry1=0\nFromAddress1=1 Market St\nFromCity1=San Francisco, CA\n"
        "ToAddress1=1 Infinite Loop\nToCity1=Cupertino, CA\n"
        "[Astro]\nDownload=1\nSigns=Aries,Leo\n[Email]\nDownload=1\n[Customization]\n";
    ini += sample::CustomizationLines(port);
    home.WriteFile("cfg/Tidepost.ini", ini);

    std::string allBytes;
    for (int c = 0; c < 256; ++c) allBytes += static_cast<char>(c);
    home.WriteFile("emails/Memo &<\x01\x1b\"'>\xff.txt", "ZQX memo\n" + allBytes);
    home.WriteFile("emails/message\x0c.eml", "From: A&B <a@b>\x01\nSubject: <\x1b>\"\nContent-Type: text\n\n" +
                                                  allBytes + "\x00tail"s);
}

struct RunResult {
    RunOutcome outcome;
    std::map<std::string, std::string> pages;  // file name -> bytes
};

RunResult RunEveryTopic(const test::TempHome& home) {
    Settings settings;
    ReadSettings(settings);
    test::RecordingRunView view;
    RunResult result;
    result.outcome = RunDownload(settings, view);
    for (const std::string& name : ListFiles(home.path() + "xml", "*.xml")) {
        result.pages[name] = home.ReadFile("xml/" + name);
    }
    return result;
}

TEST(HostilePages, EveryPageWrittenIsWellFormedWhateverTheBodiesHold) {
    test::TempHome home;
    HostileProvider provider;
    PrepareHome(home, provider.port());

    const std::string everyByte = EveryByteButLineFeed();
    const std::string longLine = std::string(kMarker) + std::string(80 * 1024, 'x') + "<&\x1b";
    const std::string utf8 = std::string(kMarker) + " \xC3\x9Cn\xC3\xAF\x63\xC3\xB8\x64\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5";
    const std::string zero = std::string(kMarker) + "<&\0\"\x01"s;
    struct Variant {
        std::string name;
        HostileProvider::Mutation mutation;
    };
    std::vector<Variant> variants = {{"as recorded", [](const std::string& b) { return b; }}};
    for (int line = 0; line < 50; ++line) {
        const std::string at = " in line " + std::to_string(line);
        variants.push_back({"every byte" + at, [=](const std::string& b) { return IntoLine(b, line, everyByte); }});
        if (line % 3 == 0) {
            variants.push_back({"every byte at the start" + at,
                                [=](const std::string& b) { return IntoLine(b, line, everyByte, true); }});
        }
        if (line % 5 == 0) {
            variants.push_back({"80 KB line" + at, [=](const std::string& b) { return IntoLine(b, line, longLine); }});
            variants.push_back({"UTF-8" + at, [=](const std::string& b) { return IntoLine(b, line, utf8); }});
            variants.push_back({"zero byte" + at, [=](const std::string& b) { return IntoLine(b, line, zero); }});
        }
    }

    // Each topic's page must carry injected text at least once, or the test
    // would only show that failing topics write nothing.
    std::map<std::string, int> reachedPages;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.name);
        provider.SetMutation(variant.mutation);
        const RunResult result = RunEveryTopic(home);
        ASSERT_EQ(result.outcome.end, RunEnd::Completed);
        int topicPages = 0;
        for (const auto& [name, bytes] : result.pages) {
            std::string error;
            EXPECT_TRUE(test::IsWellFormedPage(bytes, error)) << name << ": " << error;
            if (name.find("zzz") != std::string::npos) continue;  // the information page
            ++topicPages;
            if (bytes.find(kMarker) != std::string::npos) ++reachedPages[name];
        }
        // A topic without its page is a failed topic, never a quiet success.
        EXPECT_EQ(result.outcome.failedTopics, kTopicCount - topicPages);
        if (variant.name == "as recorded") {
            EXPECT_EQ(topicPages, kTopicCount) << g_lastError;
        }
    }
    for (const char* page : {"weather.xml", "news.xml", "stocks.xml", "movies.xml", "directions.xml",
                             "astro.xml", "email.xml"}) {
        EXPECT_GT(reachedPages[page], 0) << page << " never carried injected text";
    }
}

}  // namespace
}  // namespace tp
