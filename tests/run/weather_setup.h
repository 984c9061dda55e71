// Prepares a temporary home for runs with the weather topic: its icon file and
// template, and the US address pointed at a local server that answers body.
#pragma once

#include "platform/text_file.h"
#include "settings/custom_store.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <string>

namespace tp::test {

inline const char kWeatherPageFile[] = "xml/weather.xml";
inline const char kNoWeatherTags[] = "Sorry, this forecast is not available.\n";

inline std::string RecordedUsWeather() {
    std::string bytes;
    ReadBinaryFile(TIDEPOST_SOURCE_DIR "/tests/data/weather/us_springfield.txt", bytes);
    return bytes;
}

inline void PrepareWeatherTopic(const TempHome& home, HttpServer& server, const std::string& body) {
    for (const char* name : {"weather.txt", "weather.xmt"}) {
        std::string bytes;
        ASSERT_TRUE(ReadBinaryFile(SourceDataFolder() + "cfg/" + name, bytes)) << name;
        home.WriteFile(std::string("cfg/") + name, bytes);
    }
    server.Serve("/us", body);
    ASSERT_TRUE(SetCustomString(104, server.url("/us?zip=%s")));
}

}  // namespace tp::test
