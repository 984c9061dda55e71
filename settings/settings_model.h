// All choices of the user that live between runs, as the dialogs group them,
// and their transfer to and from the settings file.
#pragma once

#include <string>
#include <vector>

namespace tp {

// Section "Settings" (general settings dialog).
struct GeneralSettings {
    bool stopOnError = true;
    bool deleteXml = true;
    int timeFormat = 1;  // 0: 12-hour, 1: 24-hour; written as held
    bool timeZone = true;
    bool saveOnExit = true;
    bool intelliSynch = true;
    bool autoExit = false;
    bool customWarnings = true;
    // Conversion-service addresses are converted in-process (net/local_conversion.h).
    bool localConversion = false;
    // Time-outs of a fetch in seconds (ours, not the dialog's of old): connecting,
    // nothing received, the whole fetch. Checked when a run starts.
    int connectTimeout = 60;
    int stallTimeout = 60;
    int fetchTimeout = 120;
    // Pages fetched at once in a run, in all and from one server (ours too);
    // 1 fetches one page at a time.
    int maxFetches = 16;
    int maxFetchesPerHost = 6;
    // A fetch that fails for a passing reason is tried again this many times.
    int retries = 2;
    // Seconds a run may take in all; the transfers still going then are stopped.
    int runDeadline = 600;
    // A failing topic keeps the page of the run before, marked with its date.
    bool keepLastGoodPage = false;
    // The sync tool is left alone when no page differs from the run before.
    bool syncOnlyWhenChanged = false;
    bool operator==(const GeneralSettings&) const = default;
};

// Section "Weather".
struct WeatherSettings {
    bool download = false;
    std::string icon = "weather.txt";
    std::string xmlUsa = "weather.xmt";
    std::string zip;       // US area codes, "," separated
    std::string cityCode;  // European city codes, "," separated
    int forecastUsa = 10;  // 1..10
    int language = 0;      // 0 English, 1 French, 2 German, 3 Italian, 4 Spanish
    int forecastEuro = 5;  // 1..5
    bool operator==(const WeatherSettings&) const = default;
};

// Section "News".
struct NewsSettings {
    bool download = false;
    int nbNews = 10;  // low 8 bits; 1..10 checked when a run starts
    std::string icon = "news.txt";
    std::string xml = "news.xmt";
    bool sport = false;  // "NewsSportUS"
    bool world = false;  // "NewsWorldUS"
    bool tech = false;   // "NewsTechUS"
    int sportLang = 0;   // 0 USA (English), 1 France (French)
    int worldLang = 0;
    int techLang = 0;
    bool operator==(const NewsSettings&) const = default;
};

// Section "Movies".
struct MoviesSettings {
    bool download = false;
    std::string icon = "movies.txt";
    std::string xml = "movies.xmt";
    int maxMovies = 10;   // 1..10
    int langMovies = 0;   // 0 USA (English), 1 France (French)
    bool operator==(const MoviesSettings&) const = default;
};

// Section "Stocks".
struct StocksSettings {
    bool download = false;
    std::string icon = "stocks.txt";
    std::string xml = "stocks.xmt";
    std::string symbols;  // "," separated
    std::string xRate;    // pairs such as "USD/EUR", "," separated
    int xRateDays = 10;   // 1..30
    bool operator==(const StocksSettings&) const = default;
};

// Section "Directions". The itineraries themselves are read and written at the
// moment they are used (see the itinerary store), not held here.
struct DirectionsSettings {
    bool download = false;
    std::string icon = "directions.txt";
    std::string xml = "directions.xmt";
    int country = 0;  // the dialog's current choice; written only, never read
    bool operator==(const DirectionsSettings&) const = default;
};

// Section "Astro".
struct AstroSettings {
    bool download = false;
    std::string icon = "astro.txt";
    std::string xml = "astro.xmt";
    std::string signs;
    bool operator==(const AstroSettings&) const = default;
};

// Section "Email".
struct EmailSettings {
    bool download = false;
    std::string icon = "email.txt";
    std::string xml = "email.xmt";
    bool operator==(const EmailSettings&) const = default;
};

// The main window's topics.
struct MainSettings {
    WeatherSettings weather;
    NewsSettings news;
    MoviesSettings movies;
    StocksSettings stocks;
    bool operator==(const MainSettings&) const = default;
};

// The more-downloads dialog's topics.
struct MoreDownloadsSettings {
    DirectionsSettings directions;
    AstroSettings astro;
    EmailSettings email;
    bool operator==(const MoreDownloadsSettings&) const = default;
};

struct Settings {
    GeneralSettings general;
    MainSettings main;
    MoreDownloadsSettings more;
    bool operator==(const Settings&) const = default;
};

// True when at least one of the seven topics is to be downloaded (the window
// enables its Download button only then).
bool AnyTopicSelected(const Settings& settings);

// A number of this program's own keys that the file held in a form it cannot
// take (not a whole decimal number, or outside its bounds), so its default was
// used instead.
struct SettingReset {
    std::string section;
    std::string key;
    std::string value;  // as the file holds it
    int used;           // the default taken instead
};

// Calls CreateDataFolders, then reads every key from GetIniPath() (defaults for
// whatever is missing or unreadable), normalising ranges. Sets g_debug. The
// keys taken at their default because of their value go to resets, when given.
void ReadSettings(Settings& settings, std::vector<SettingReset>* resets = nullptr);

// Writes the general flags and, per topic, either "Download"="0" alone or
// "Download"="1" and the topic's keys. Stops at the first key that cannot be
// written and returns false with the reason (file and system error) in
// g_lastError; every key write replaces the file whole, so it is never left
// half-written.
bool WriteSettings(const Settings& settings);

}  // namespace tp
