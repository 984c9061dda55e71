// JSON text of the program's strings, which are Windows Latin-1 bytes: every
// character outside ASCII is written as the \u escape of its Unicode code
// point, so that the text is valid UTF-8 (plain ASCII) whatever it holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// Appends text as a JSON string, quotes included.
void AppendJsonString(std::string& out, std::string_view text);

// Reads the JSON string starting at text[at] (its opening quote) into out as
// Windows Latin-1 bytes, and moves at past its closing quote. A character the
// code page lacks becomes "?". False when no well-formed string starts there.
bool ReadJsonString(std::string_view text, std::size_t& at, std::string& out);

// One JSON object, its members in the order they are added.
class JsonObject {
public:
    JsonObject& Text(std::string_view key, std::string_view value);
    JsonObject& Number(std::string_view key, long long value);
    JsonObject& Flag(std::string_view key, bool value);
    JsonObject& Objects(std::string_view key, const std::vector<JsonObject>& items);

    // "{...}".
    std::string Object() const;
    // The object on a line of its own, as a JSON-lines file holds it.
    std::string Line() const { return Object() + '\n'; }

private:
    void Key(std::string_view key);
    std::string members_;
};

}  // namespace tp
