#include "convert/transliteration.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tp {
namespace {

// One letter per code point from U+0100 (Latin Extended-A); "." where the
// letter needs more than one (see kSpelled).
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi..JjKkkLlLlLlL"
    "lLlNnNnNn.NnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

// The same from U+1E00 (Latin Extended Additional: Vietnamese and others).
constexpr std::string_view kLatinExtendedAdditional =
    "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"
    "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"
    "WwWwWwWwWwXxXxYyZzZzZzhtwyasss.dAaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"
    "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYyLlVvYy";

struct Spelling {
    char32_t codePoint;
    std::string_view latin;
};

// Sorted by code point for the binary search.
constexpr Spelling kSpelled[] = {
    {0x0132, "IJ"}, {0x0133, "ij"}, {0x0149, "'n"},
    {0x01A0, "O"}, {0x01A1, "o"}, {0x01AF, "U"}, {0x01B0, "u"},
    {0x01CD, "A"}, {0x01CE, "a"}, {0x01CF, "I"}, {0x01D0, "i"}, {0x01D1, "O"}, {0x01D2, "o"},
    {0x01D3, "U"}, {0x01D4, "u"}, {0x01D5, "U"}, {0x01D6, "u"}, {0x01D7, "U"}, {0x01D8, "u"},
    {0x01D9, "U"}, {0x01DA, "u"}, {0x01DB, "U"}, {0x01DC, "u"}, {0x01E6, "G"}, {0x01E7, "g"},
    {0x01F8, "N"}, {0x01F9, "n"},
    {0x0218, "S"}, {0x0219, "s"}, {0x021A, "T"}, {0x021B, "t"},
    {0x02B9, "'"}, {0x02BA, "\""}, {0x02BB, "'"}, {0x02BC, "'"}, {0x02C8, "'"}, {0x02CB, "`"},
    // Greek, with and without accents.
    {0x0386, "A"}, {0x0388, "E"}, {0x0389, "I"}, {0x038A, "I"}, {0x038C, "O"}, {0x038E, "Y"},
    {0x038F, "O"}, {0x0390, "i"}, {0x0391, "A"}, {0x0392, "V"}, {0x0393, "G"}, {0x0394, "D"},
    {0x0395, "E"}, {0x0396, "Z"}, {0x0397, "I"}, {0x0398, "Th"}, {0x0399, "I"}, {0x039A, "K"},
    {0x039B, "L"}, {0x039C, "M"}, {0x039D, "N"}, {0x039E, "X"}, {0x039F, "O"}, {0x03A0, "P"},
    {0x03A1, "R"}, {0x03A3, "S"}, {0x03A4, "T"}, {0x03A5, "Y"}, {0x03A6, "F"}, {0x03A7, "Ch"},
    {0x03A8, "Ps"}, {0x03A9, "O"}, {0x03AA, "I"}, {0x03AB, "Y"}, {0x03AC, "a"}, {0x03AD, "e"},
    {0x03AE, "i"}, {0x03AF, "i"}, {0x03B0, "y"}, {0x03B1, "a"}, {0x03B2, "v"}, {0x03B3, "g"},
    {0x03B4, "d"}, {0x03B5, "e"}, {0x03B6, "z"}, {0x03B7, "i"}, {0x03B8, "th"}, {0x03B9, "i"},
    {0x03BA, "k"}, {0x03BB, "l"}, {0x03BC, "m"}, {0x03BD, "n"}, {0x03BE, "x"}, {0x03BF, "o"},
    {0x03C0, "p"}, {0x03C1, "r"}, {0x03C2, "s"}, {0x03C3, "s"}, {0x03C4, "t"}, {0x03C5, "y"},
    {0x03C6, "f"}, {0x03C7, "ch"}, {0x03C8, "ps"}, {0x03C9, "o"}, {0x03CA, "i"}, {0x03CB, "y"},
    {0x03CC, "o"}, {0x03CD, "y"}, {0x03CE, "o"},
    // Cyrillic (Russian, Ukrainian, Belarusian, Serbian, Macedonian, Bulgarian).
    {0x0400, "E"}, {0x0401, "Yo"}, {0x0402, "Dj"}, {0x0403, "G"}, {0x0404, "Ye"}, {0x0405, "Dz"},
    {0x0406, "I"}, {0x0407, "Yi"}, {0x0408, "J"}, {0x0409, "Lj"}, {0x040A, "Nj"}, {0x040B, "C"},
    {0x040C, "K"}, {0x040D, "I"}, {0x040E, "U"}, {0x040F, "Dz"},
    {0x0410, "A"}, {0x0411, "B"}, {0x0412, "V"}, {0x0413, "G"}, {0x0414, "D"}, {0x0415, "E"},
    {0x0416, "Zh"}, {0x0417, "Z"}, {0x0418, "I"}, {0x0419, "Y"}, {0x041A, "K"}, {0x041B, "L"},
    {0x041C, "M"}, {0x041D, "N"}, {0x041E, "O"}, {0x041F, "P"}, {0x0420, "R"}, {0x0421, "S"},
    {0x0422, "T"}, {0x0423, "U"}, {0x0424, "F"}, {0x0425, "Kh"}, {0x0426, "Ts"}, {0x0427, "Ch"},
    {0x0428, "Sh"}, {0x0429, "Shch"}, {0x042A, "'"}, {0x042B, "Y"}, {0x042C, "'"}, {0x042D, "E"},
    {0x042E, "Yu"}, {0x042F, "Ya"},
    {0x0430, "a"}, {0x0431, "b"}, {0x0432, "v"}, {0x0433, "g"}, {0x0434, "d"}, {0x0435, "e"},
    {0x0436, "zh"}, {0x0437, "z"}, {0x0438, "i"}, {0x0439, "y"}, {0x043A, "k"}, {0x043B, "l"},
    {0x043C, "m"}, {0x043D, "n"}, {0x043E, "o"}, {0x043F, "p"}, {0x0440, "r"}, {0x0441, "s"},
    {0x0442, "t"}, {0x0443, "u"}, {0x0444, "f"}, {0x0445, "kh"}, {0x0446, "ts"}, {0x0447, "ch"},
    {0x0448, "sh"}, {0x0449, "shch"}, {0x044A, "'"}, {0x044B, "y"}, {0x044C, "'"}, {0x044D, "e"},
    {0x044E, "yu"}, {0x044F, "ya"},
    {0x0450, "e"}, {0x0451, "yo"}, {0x0452, "dj"}, {0x0453, "g"}, {0x0454, "ye"}, {0x0455, "dz"},
    {0x0456, "i"}, {0x0457, "yi"}, {0x0458, "j"}, {0x0459, "lj"}, {0x045A, "nj"}, {0x045B, "c"},
    {0x045C, "k"}, {0x045D, "i"}, {0x045E, "u"}, {0x045F, "dz"}, {0x0490, "G"}, {0x0491, "g"},
    // Typographic signs.
    {0x2015, "-"}, {0x2016, "||"}, {0x2017, "_"}, {0x201B, "'"}, {0x201F, "\""}, {0x2023, ">"},
    {0x2024, "."}, {0x2025, ".."}, {0x2027, "-"}, {0x2032, "'"}, {0x2033, "\""}, {0x2034, "'''"},
    {0x2035, "`"}, {0x2036, "\""}, {0x2038, "^"}, {0x203C, "!!"}, {0x2043, "-"}, {0x2044, "/"},
    {0x2047, "??"}, {0x2048, "?!"}, {0x2049, "!?"}, {0x204E, "*"}, {0x2052, "%"}, {0x2053, "~"},
    {0x2116, "No"}, {0x2190, "<-"}, {0x2192, "->"}, {0x2194, "<->"}, {0x21D0, "<="}, {0x21D2, "=>"},
    {0x21D4, "<=>"}, {0x2215, "/"}, {0x2217, "*"}, {0x2223, "|"}, {0x2236, ":"}, {0x223C, "~"},
    {0x2248, "~"}, {0x2260, "!="}, {0x2264, "<="}, {0x2265, ">="}, {0x22C5, "."}, {0x2500, "-"},
    {0x2502, "|"}, {0x25AA, "*"}, {0x25CF, "*"}, {0x25E6, "o"}, {0x2713, "v"}, {0x2714, "v"},
};

bool InRange(char32_t codePoint, char32_t first, std::string_view table) {
    return codePoint >= first && codePoint - first < table.size() && table[codePoint - first] != '.';
}

}  // namespace

std::string_view Transliterated(char32_t codePoint) {
    if (InRange(codePoint, 0x0100, kLatinExtendedA)) return kLatinExtendedA.substr(codePoint - 0x0100, 1);
    if (InRange(codePoint, 0x1E00, kLatinExtendedAdditional)) {
        return kLatinExtendedAdditional.substr(codePoint - 0x1E00, 1);
    }
    if (codePoint == 0x1E9E) return "SS";
    // Full-width forms of the ASCII characters.
    if (codePoint >= 0xFF01 && codePoint <= 0xFF5E) {
        static constexpr auto kAscii = [] {
            std::array<char, 94> ascii{};
            for (std::size_t i = 0; i < ascii.size(); ++i) ascii[i] = static_cast<char>('!' + i);
            return ascii;
        }();
        return std::string_view(&kAscii[codePoint - 0xFF01], 1);
    }
    const auto* end = std::end(kSpelled);
    const auto* found = std::lower_bound(std::begin(kSpelled), end, codePoint,
                                         [](const Spelling& row, char32_t key) { return row.codePoint < key; });
    return found != end && found->codePoint == codePoint ? found->latin : std::string_view();
}

}  // namespace tp
