#include "resources/string_table.h"

namespace tp {
namespace {

struct StringResource {
    int id;
    std::string_view text;
};

// Every address below but 117 goes through the HTML-to-text conversion service:
// the provider's address is the percent-encoded "url" query value, with each
// "%s" marker left as it is so that InsertParameter can fill it.
// Accented letters are Windows Latin-1 bytes, as the fetched pages carry them.
constexpr StringResource kStrings[] = {
    {101, "Tidepost Version 1.5"},
    {103, "Windows sockets initialization failed."},

    // Weather: the US provider's printable forecast, then the regional portal's
    // French, Italian, Spanish, German and UK editions.
    {104, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fweather.example.com"
          "%2Fweather%2Fprint%2F%s&noinlinerefs=on"},
    {105, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Ffr.forecast.example.org"
          "%2F%s%2Findex_c.html&noinlinerefs=on"},

    // News sources.
    {106, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fuk.news.example.com"
          "%2F77%2F&noinlinerefs=on"},
    {107, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fnews.example.com"
          "%2Fnews%3Ftmpl%3Dindex%26cid%3D738&noinlinerefs=on"},
    {108, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fnews.example.com"
          "%2Fnews%3Ftmpl%3Dindex%26cid%3D755%26%2F%3Fu&noinlinerefs=on"},
    {109, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Ffr.news.example.com"
          "%2F2%2F&noinlinerefs=on"},
    {110, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fsports.example.org"
          "%2F&noinlinerefs=on"},

    // News tags.
    {111, "]Photos\n\n     "
          "_________________________________________________________________"},
    {112, "Computers and Internet\n"},
    {113, "Internet Broadcasts\n"},
    {114, "]International"},
    {115, "CLIQUEZ ICI POUR TOUTE L'INFO\n"},

    {116, "Local Time"},

    // Exchange rates are fetched directly, without the conversion service.
    {117, "http://rates.example.com/d/%s/data30.html"},
    {118, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fquotes.example.com"
          "%2Fq%3Fs%3D%s%26d%3Dv1&noinlinerefs=on"},
    {119, "Last Trade"},

    // Movies (USA).
    {120, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Ffilms.example.com"
          "%2FNowPlaying%2F&noinlinerefs=on"},
    {121, "IMDb Rating\n   "},

    // Prompts of the code list editor.
    {122, "You can modify the current list of code below using the following format "
          "(one code and city name per line):\n\"Code - City name\""},
    {123, "You can modify the current list of code below using the following format "
          "\"XXX/YYY\""},

    {124, "]Reviews"},
    {126, "..."},

    // Regional weather portal: Italian, Spanish, German and UK editions.
    {127, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fit.forecast.example.org"
          "%2F%s%2Findex_c.html&noinlinerefs=on"},
    {128, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fes.forecast.example.org"
          "%2F%s%2Findex_c.html&noinlinerefs=on"},
    {129, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fde.forecast.example.org"
          "%2F%s%2Findex_c.html&noinlinerefs=on"},
    {130, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fuk.forecast.example.org"
          "%2F%s%2Findex_c.html&noinlinerefs=on"},

    // Movies (France).
    {133, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fcinema.example.org"
          "%2Ffilms%2Favenir.html&noinlinerefs=on"},
    {134, "["},

    // News technology (France).
    {135, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Ffr.news.example.com"
          "%2F101%2F&noinlinerefs=on"},
    {136, "]Photos"},

    // Route planner (USA): markers are start street, start city, destination
    // street, destination city.
    {137, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fmaps.example.com"
          "%2Fpy%2FddResults.py%3FPyt%3DTmap%26newname%3D%26newdesc%3D%26newtname%3D"
          "%26newtdesc%3D%26newaddr%3D%s%26newcsz%3D%s%26newcountry%3Dus%26newtaddr%3D%s"
          "%26newtcsz%3D%s%26newtcountry%3Dus%26Get%25A0Directions%3DGet%2BDirections"
          "%26textonly%3D1&noinlinerefs=on"},
    {138, "Driving Directions"},
    {139, "Miles"},

    // Horoscope: the marker takes the sign name in lower case.
    {140, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Fastrology.example.com"
          "%2Fus%2Fastrology%2Ftoday%2F%sdailyhoroscope.html&noinlinerefs=on"},
    {141, "astrology.example.com"},

    // The information page; "%s" takes the version text.
    {142, "<Tidepost>\n"
          "<Icon><Data>AgI=</Data>\n"
          "</Icon>\n"
          "<IndexCard>\n"
          "<No>50</No>\n"
          "</IndexCard>\n"
          "<Card ID=\"50\">\n"
          "<Header>\n"
          "<Title>Tidepost Information</Title>\n"
          "<SubTitle>for REX 6000</SubTitle>\n"
          "</Header>\n"
          "<Body>\n"
          "<Text><p>\n"
          "<br/>%s<br/>\n"
          "These pages were fetched and prepared by Tidepost from the web sources you chose.\n"
          "</p></Text>\n"
          "</Body>\n"
          "</Card>\n"
          "</Tidepost>"},

    // Help texts.
    {143, "How do I find the ZIP code of a city ?\n\n"
          "Look the city up on the postal service's ZIP code look-up page "
          "(http://zip.example.org/lookup) and note the code it gives: "
          "the ZIP code is always a 5 digit number.\n\n"
          "How do I add it to the \"Area Code :\" list ?\n\n"
          "Click on the \"...\" button and add a new line of the form \"X - Y\", "
          "where X is the ZIP code and Y the city name.\n"
          "Example: \"95118 - San Jose\"\n"},
    {144, "How do I find the code of a European city ?\n\n"
          "Open the regional weather portal (http://uk.forecast.example.org) and go to "
          "the forecast page of your city. The address of that page ends with "
          "\".../X/Y/index_c.html\": the city code is the \"X/Y\" part.\n"
          "Example: the code of Paris (France) is \"FRXX/FRXX0076\".\n\n"
          "How do I add it to the \"City Code :\" list ?\n\n"
          "Click on the \"...\" button and add a new line of the form \"X - Y\", "
          "where X is the city code and Y the city name.\n"
          "Example: \"FRXX/FRXX0076 - Paris\"\n"},
    {145, "How to add several stock symbols in the list ?\n\n"
          "Simply type all your stock symbols separated with \",\" comma characters.\n\n"
          "How to add a new currency exchange rate ?\n\n"
          "Just add the 2 money symbols separated with a \"/\" slash characters to the list "
          "(click on \"...\" button to modify the list)\n"
          "Example: for Dollar to Euro rate add \"USD/EUR\"\n"},
    {146, "Select the zodiac sign you would like to have and add it to the list with button "
          "\"+\"\n"
          "To remove one zodiac sign, select it and press button \"-\". To remove all zodiac "
          "signs from the list, just press button \"C\""},
    {147, "Ho do I need to enter an address ?\n\n"
          "Both \"From\" and \"To\" addresses can be entered has followed:\n"
          "In <Address> put the street number and street name\n"
          "For <City, State> you can either enter \"san jose, ca\" (do not forget the ',' "
          "separator) or directly \"95118\" if you know the Area Code."},
    {148, "Ho do I add emails to my Tidepost ?\n\n"
          "Save your emails (or any text files) into text format files (with filename "
          "extension. \".txt\") under the Tidepost subdirectory named \"emails\".\n"
          "(All text files will be automatically retreived from this subdirectory.)\n\n"
          "To delete a select file press button \"-\"\n"
          "To delete all files from subdirectory \"emails\" press \"C\" button."},

    // Route planner (France): the same four markers, filled in the same order.
    {149, "http://html2txt.example.net/cgi-bin/html2txt?url=http%3A%2F%2Ffr.maps.example.com"
          "%2Fpy%2Flg%3Afr%2Flc%3Afr%2FddResults.py%3FPyt%3DTmap%26tarname%3D%26tardesc%3D"
          "%26tarhash%3D%26newtaddr%3D%s%26newtcsz%3D%s%26newname%3D%26newdesc%3D%26newhash%3D"
          "%26newaddr%3D%s%26newcsz%3D%s%26newtcountry%3Dfr%26newcountry%3Dfr%26doit%3D1"
          "&noinlinerefs=on"},
    {150, "Envoyer l'itin\xE9" "raire"},

    // Weather tags: UK, French, Italian, Spanish and German editions.
    {151, "Today"},
    {152, "Low"},
    {153, "High"},
    {154, "<-"},
    {155, "Aujourd'hui"},
    {156, "Min."},
    {157, "Max."},
    {158, "<-"},
    {159, "Oggi"},
    {160, "Minime"},
    {161, "Massime"},
    {162, "<-"},
    {163, "Hoy"},
    {164, "m\xED" "n."},
    {165, "m\xE1" "x."},
    {166, "<-"},
    {167, "Heute"},
    {168, "Minimal"},
    {169, "Maximal"},
    {170, "<-"},
    {171, "Precip. %"},

    // Start of an exchange-rate value cell.
    {172, "<td><font face=\"Verdana\" size=\"-1\">"},
    {173, "\n\n"},

    {174, "How do I enter a web address ?\n\n"
          "Most pages are first converted to plain text by the HTML-to-text conversion "
          "service, and Tidepost turns that text into XML pages for your organiser.\n\n"
          "To get the address of a page through that service:\n"
          "1. Open the service's form page "
          "(http://html2txt.example.net/cgi-bin/html2txt) in your web browser.\n"
          "2. Enter the address of the page you want.\n"
          "3. Select the option \"don't include references inline with the text\".\n"
          "4. Press \"Convert\".\n"
          "5. Copy the address that your browser then shows into the \"URL:\" field.\n\n"
          "To let Tidepost insert its parameter (a ZIP code, a city code, a stock symbol...), "
          "replace the value of that parameter in the address by \"%s\".\n"},
};

}  // namespace

std::string_view LoadStringResource(int id) {
    for (const StringResource& entry : kStrings) {
        if (entry.id == id) return entry.text;
    }
    return {};
}

}  // namespace tp
