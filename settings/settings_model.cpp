#include "settings/settings_model.h"

#include "app/globals.h"
#include "app/paths.h"
#include "app/text_format.h"
#include "settings/ini_file.h"
#include "settings/ini_value.h"
#include "settings/number_limits.h"

#include <charconv>
#include <cstddef>
#include <span>
#include <string_view>

namespace tp {
namespace {

// Read buffers of the text values; a longer value comes back cut to one less.
constexpr std::size_t kFileNameBuffer = 255;
constexpr std::size_t kCodeListBuffer = 120;
constexpr std::size_t kLongListBuffer = 51200;

enum class Kind {
    Flag,        // bool member, 0 or 1
    FlagNumber,  // int member read as 0 or 1, written as held
    Number,      // int member
    Text,        // std::string member
};

// What reading does to a number: keep the low 8 bits (a byte) and/or fall back
// outside [min, max]. A strict number must be a whole decimal number in range,
// else it falls back and the reader is told.
struct NumberRule {
    bool lowByte = false;
    bool ranged = false;
    int min = 0;
    int max = 0;
    int fallback = 0;
    bool strict = false;
};

constexpr NumberRule kPlain{};
constexpr NumberRule kByte{true};
constexpr NumberRule Limited(RangedField field, bool lowByte) {
    const NumberLimit& limit = LimitOf(field);
    return {lowByte, true, limit.low, limit.high, limit.fallback, limit.strict};
}
constexpr NumberRule ByteIn(RangedField field) { return Limited(field, true); }
constexpr NumberRule IntIn(RangedField field) { return Limited(field, false); }

// One key of a section. Defaults are the values of a default-constructed section.
template <class Section>
struct Field {
    std::string_view key;
    Kind kind;
    bool Section::*flag = nullptr;
    int Section::*number = nullptr;
    std::string Section::*text = nullptr;
    NumberRule rule{};
    std::size_t bufferSize = 0;
    bool readable = true;  // false: written for the dialog, never read back
};

template <class S>
constexpr Field<S> FlagKey(std::string_view key, bool S::*member) {
    return {key, Kind::Flag, member, nullptr, nullptr};
}
template <class S>
constexpr Field<S> FlagNumberKey(std::string_view key, int S::*member) {
    return {key, Kind::FlagNumber, nullptr, member, nullptr};
}
template <class S>
constexpr Field<S> NumberKey(std::string_view key, int S::*member, NumberRule rule = kPlain,
                             bool readable = true) {
    return {key, Kind::Number, nullptr, member, nullptr, rule, 0, readable};
}
template <class S>
constexpr Field<S> TextKey(std::string_view key, std::string S::*member, std::size_t bufferSize) {
    return {key, Kind::Text, nullptr, nullptr, member, kPlain, bufferSize};
}

// A section: its keys in reading order, and the keys written after "Download"
// (or all of them for a section without one) in writing order.
template <class Section>
struct SectionTable {
    std::string_view name;
    std::span<const Field<Section>> fields;
    std::span<const std::string_view> writeOrder;
    bool Section::*download = nullptr;
};

constexpr Field<GeneralSettings> kGeneralFields[] = {
    FlagKey("StopOnError", &GeneralSettings::stopOnError),
    FlagKey("DeleteXml", &GeneralSettings::deleteXml),
    FlagNumberKey("TimeFormat", &GeneralSettings::timeFormat),
    FlagKey("TimeZone", &GeneralSettings::timeZone),
    FlagKey("SaveOnExit", &GeneralSettings::saveOnExit),
    FlagKey("IntelliSynch", &GeneralSettings::intelliSynch),
    FlagKey("AutoExit", &GeneralSettings::autoExit),
    FlagKey("CustomWarnings", &GeneralSettings::customWarnings),
    FlagKey("LocalConversion", &GeneralSettings::localConversion),
    NumberKey("ConnectTimeout", &GeneralSettings::connectTimeout, IntIn(RangedField::ConnectTimeout)),
    NumberKey("StallTimeout", &GeneralSettings::stallTimeout, IntIn(RangedField::StallTimeout)),
    NumberKey("FetchTimeout", &GeneralSettings::fetchTimeout, IntIn(RangedField::FetchTimeout)),
    NumberKey("MaxFetches", &GeneralSettings::maxFetches, IntIn(RangedField::MaxFetches)),
    NumberKey("MaxFetchesPerHost", &GeneralSettings::maxFetchesPerHost, IntIn(RangedField::MaxFetchesPerHost)),
    NumberKey("Retries", &GeneralSettings::retries, IntIn(RangedField::Retries)),
    NumberKey("RunDeadline", &GeneralSettings::runDeadline, IntIn(RangedField::RunDeadline)),
    FlagKey("KeepLastGoodPage", &GeneralSettings::keepLastGoodPage),
    FlagKey("SyncOnlyWhenChanged", &GeneralSettings::syncOnlyWhenChanged),
};
constexpr std::string_view kGeneralWrite[] = {"StopOnError",    "DeleteXml",      "TimeFormat",
                                              "TimeZone",       "SaveOnExit",     "IntelliSynch",
                                              "AutoExit",       "CustomWarnings", "LocalConversion",
                                              "ConnectTimeout", "StallTimeout",   "FetchTimeout",
                                              "MaxFetches",     "MaxFetchesPerHost", "Retries",
                                              "RunDeadline",    "KeepLastGoodPage", "SyncOnlyWhenChanged"};

constexpr Field<WeatherSettings> kWeatherFields[] = {
    FlagKey("Download", &WeatherSettings::download),
    TextKey("Icon", &WeatherSettings::icon, kFileNameBuffer),
    TextKey("XmlUSA", &WeatherSettings::xmlUsa, kFileNameBuffer),
    TextKey("ZIP", &WeatherSettings::zip, kCodeListBuffer),
    TextKey("CityCode", &WeatherSettings::cityCode, kCodeListBuffer),
    NumberKey("ForecastUSA", &WeatherSettings::forecastUsa, ByteIn(RangedField::ForecastUsa)),
    NumberKey("Language", &WeatherSettings::language, kByte),
    NumberKey("ForecastEuro", &WeatherSettings::forecastEuro, ByteIn(RangedField::ForecastEuro)),
};
constexpr std::string_view kWeatherWrite[] = {"Icon",        "XmlUSA",       "ZIP",     "CityCode",
                                              "ForecastUSA", "ForecastEuro", "Language"};

constexpr Field<NewsSettings> kNewsFields[] = {
    FlagKey("Download", &NewsSettings::download),
    NumberKey("NbNews", &NewsSettings::nbNews, kByte),
    TextKey("Icon", &NewsSettings::icon, kFileNameBuffer),
    TextKey("Xml", &NewsSettings::xml, kFileNameBuffer),
    FlagKey("NewsSportUS", &NewsSettings::sport),
    FlagKey("NewsWorldUS", &NewsSettings::world),
    FlagKey("NewsTechUS", &NewsSettings::tech),
    NumberKey("NewsSportLang", &NewsSettings::sportLang),
    NumberKey("NewsWorldLang", &NewsSettings::worldLang),
    NumberKey("NewsTechLang", &NewsSettings::techLang),
};
constexpr std::string_view kNewsWrite[] = {"Icon",          "Xml",           "NbNews",
                                           "NewsSportUS",   "NewsWorldUS",   "NewsTechUS",
                                           "NewsSportLang", "NewsWorldLang", "NewsTechLang"};

constexpr Field<MoviesSettings> kMoviesFields[] = {
    FlagKey("Download", &MoviesSettings::download),
    TextKey("Icon", &MoviesSettings::icon, kFileNameBuffer),
    TextKey("Xml", &MoviesSettings::xml, kFileNameBuffer),
    NumberKey("MaxMovies", &MoviesSettings::maxMovies, IntIn(RangedField::MaxMovies)),
    NumberKey("LangMovies", &MoviesSettings::langMovies),
};
constexpr std::string_view kMoviesWrite[] = {"Icon", "Xml", "MaxMovies", "LangMovies"};

constexpr Field<StocksSettings> kStocksFields[] = {
    FlagKey("Download", &StocksSettings::download),
    TextKey("Icon", &StocksSettings::icon, kFileNameBuffer),
    TextKey("Xml", &StocksSettings::xml, kFileNameBuffer),
    TextKey("Symbols", &StocksSettings::symbols, kLongListBuffer),
    TextKey("XRate", &StocksSettings::xRate, kLongListBuffer),
    NumberKey("XRateDays", &StocksSettings::xRateDays, ByteIn(RangedField::XRateDays)),
};
constexpr std::string_view kStocksWrite[] = {"Icon", "Xml", "Symbols", "XRate", "XRateDays"};

constexpr Field<DirectionsSettings> kDirectionsFields[] = {
    FlagKey("Download", &DirectionsSettings::download),
    TextKey("Icon", &DirectionsSettings::icon, kFileNameBuffer),
    TextKey("Xml", &DirectionsSettings::xml, kFileNameBuffer),
    NumberKey("Country", &DirectionsSettings::country, kPlain, false),
};
constexpr std::string_view kDirectionsWrite[] = {"Icon", "Xml", "Country"};

constexpr Field<AstroSettings> kAstroFields[] = {
    FlagKey("Download", &AstroSettings::download),
    TextKey("Icon", &AstroSettings::icon, kFileNameBuffer),
    TextKey("Xml", &AstroSettings::xml, kFileNameBuffer),
    TextKey("Signs", &AstroSettings::signs, kLongListBuffer),
};
constexpr std::string_view kAstroWrite[] = {"Icon", "Xml", "Signs"};

constexpr Field<EmailSettings> kEmailFields[] = {
    FlagKey("Download", &EmailSettings::download),
    TextKey("Icon", &EmailSettings::icon, kFileNameBuffer),
    TextKey("Xml", &EmailSettings::xml, kFileNameBuffer),
};
constexpr std::string_view kEmailWrite[] = {"Icon", "Xml"};

constexpr SectionTable<GeneralSettings> kGeneral{"Settings", kGeneralFields, kGeneralWrite};
constexpr SectionTable<WeatherSettings> kWeather{"Weather", kWeatherFields, kWeatherWrite,
                                                 &WeatherSettings::download};
constexpr SectionTable<NewsSettings> kNews{"News", kNewsFields, kNewsWrite, &NewsSettings::download};
constexpr SectionTable<MoviesSettings> kMovies{"Movies", kMoviesFields, kMoviesWrite,
                                               &MoviesSettings::download};
constexpr SectionTable<StocksSettings> kStocks{"Stocks", kStocksFields, kStocksWrite,
                                               &StocksSettings::download};
constexpr SectionTable<DirectionsSettings> kDirections{"Directions", kDirectionsFields,
                                                       kDirectionsWrite,
                                                       &DirectionsSettings::download};
constexpr SectionTable<AstroSettings> kAstro{"Astro", kAstroFields, kAstroWrite,
                                             &AstroSettings::download};
constexpr SectionTable<EmailSettings> kEmail{"Email", kEmailFields, kEmailWrite,
                                             &EmailSettings::download};

int Normalise(int value, const NumberRule& rule) {
    if (rule.lowByte) value &= 0xFF;
    if (rule.ranged && (value < rule.min || value > rule.max)) value = rule.fallback;
    return value;
}

// A strict number: the whole value a decimal number within its bounds; an
// empty or missing value takes the fallback without a word.
int ReadStrictNumber(const std::string& path, std::string_view section, std::string_view key,
                     const NumberRule& rule, std::vector<SettingReset>* resets) {
    constexpr std::size_t kNumberBuffer = 64;
    const std::string value = ini::GetString(path, section, key, "", kNumberBuffer);
    if (value.empty()) return rule.fallback;
    int number = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    if (error == std::errc() && stop == end && number >= rule.min && number <= rule.max) return number;
    if (resets) resets->push_back({std::string(section), std::string(key), value, rule.fallback});
    return rule.fallback;
}

template <class S>
void ReadSection(const std::string& path, const SectionTable<S>& table, S& section,
                 std::vector<SettingReset>* resets) {
    section = S{};
    for (const Field<S>& field : table.fields) {
        if (!field.readable) continue;
        switch (field.kind) {
        case Kind::Flag:
            section.*field.flag =
                ini::GetInt(path, table.name, field.key, section.*field.flag ? 1 : 0) != 0;
            break;
        case Kind::FlagNumber:
            section.*field.number =
                ini::GetInt(path, table.name, field.key, section.*field.number) != 0 ? 1 : 0;
            break;
        case Kind::Number:
            section.*field.number =
                field.rule.strict
                    ? ReadStrictNumber(path, table.name, field.key, field.rule, resets)
                    : Normalise(ini::GetInt(path, table.name, field.key, section.*field.number), field.rule);
            break;
        case Kind::Text:
            section.*field.text =
                ini::GetString(path, table.name, field.key, section.*field.text, field.bufferSize);
            break;
        }
    }
}

template <class S>
std::string WrittenValue(const Field<S>& field, const S& section) {
    switch (field.kind) {
    case Kind::Flag:
        return section.*field.flag ? "1" : "0";
    case Kind::FlagNumber:
        return Format("%i", section.*field.number);
    case Kind::Number: {
        // A byte holds only its low 8 bits, written unsigned.
        const int value = section.*field.number;
        return Format("%i", field.rule.lowByte ? value & 0xFF : value);
    }
    case Kind::Text:
        return QuoteIniValue(section.*field.text);
    }
    return {};
}

template <class S>
const Field<S>* FindField(const SectionTable<S>& table, std::string_view key) {
    for (const Field<S>& field : table.fields) {
        if (field.key == key) return &field;
    }
    return nullptr;
}

// A deselected topic writes only "Download"="0", so the values it had when it
// was last selected stay in the file.
template <class S>
bool WriteSection(const std::string& path, const SectionTable<S>& table, const S& section) {
    if (table.download) {
        const bool selected = section.*table.download;
        if (!ini::WriteString(path, table.name, "Download", selected ? "1" : "0")) return false;
        if (!selected) return true;
    }
    for (std::string_view key : table.writeOrder) {
        if (const Field<S>* field = FindField(table, key)) {
            if (!ini::WriteString(path, table.name, key, WrittenValue(*field, section))) return false;
        }
    }
    return true;
}

}  // namespace

bool AnyTopicSelected(const Settings& s) {
    return s.main.weather.download || s.main.news.download || s.main.stocks.download ||
           s.main.movies.download || s.more.directions.download || s.more.astro.download ||
           s.more.email.download;
}

void ReadSettings(Settings& settings, std::vector<SettingReset>* resets) {
    CreateDataFolders();
    const std::string path = GetIniPath();
    const ini::FrozenReading oneReading(path);
    g_debug = ini::GetInt(path, "Debug", "On", 0) != 0;
    ReadSection(path, kGeneral, settings.general, resets);
    ReadSection(path, kWeather, settings.main.weather, resets);
    ReadSection(path, kNews, settings.main.news, resets);
    ReadSection(path, kMovies, settings.main.movies, resets);
    ReadSection(path, kStocks, settings.main.stocks, resets);
    ReadSection(path, kDirections, settings.more.directions, resets);
    ReadSection(path, kAstro, settings.more.astro, resets);
    ReadSection(path, kEmail, settings.more.email, resets);
}

bool WriteSettings(const Settings& settings) {
    const std::string path = GetIniPath();
    return WriteSection(path, kGeneral, settings.general) &&
           WriteSection(path, kNews, settings.main.news) &&
           WriteSection(path, kWeather, settings.main.weather) &&
           WriteSection(path, kMovies, settings.main.movies) &&
           WriteSection(path, kStocks, settings.main.stocks) &&
           WriteSection(path, kDirections, settings.more.directions) &&
           WriteSection(path, kAstro, settings.more.astro) &&
           WriteSection(path, kEmail, settings.more.email);
}

}  // namespace tp
