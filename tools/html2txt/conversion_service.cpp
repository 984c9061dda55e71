#include "tools/html2txt/conversion_service.h"

#include "app/globals.h"
#include "net/local_conversion.h"
#include "net/transfer.h"

#include <httplib.h>

#include <mutex>

namespace tp::html2txt {
namespace {

const char kFormPage[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Tidepost HTML-to-text conversion</title></head>
<body>
<h1>HTML-to-text conversion</h1>
<form method="get" action="/cgi-bin/html2txt">
<p><label>Address of the page: <input type="text" name="url" size="70"></label></p>
<p><label><input type="checkbox" name="noinlinerefs"> don't include references inline with the text</label></p>
<p><input type="submit" value="Convert"></p>
</form>
<p>The answer is the text in which Tidepost searches its tags. To feed a topic
from the page, tick the option above, press Convert, and give Tidepost the
address your browser then shows; replace the part that changes from one
request to the next (a code, a symbol) by %s.</p>
</body></html>
)";

// The fetch and its error text are process-wide.
std::mutex g_conversionMutex;

}  // namespace

void AnswerConversion(const httplib::Request& request, httplib::Response& response) {
    if (!request.has_param("url")) {
        response.set_content(kFormPage, "text/html; charset=utf-8");
        return;
    }
    ConversionRequest conversion;
    conversion.target = request.get_param_value("url");
    conversion.inlineRefs = request.get_param_value("noinlinerefs") != "on";
    std::string text;
    std::lock_guard<std::mutex> lock(g_conversionMutex);
    if (!ConvertPage(conversion, kServiceTextCapacity, FetchTimeouts{}, text)) {
        response.status = IsConvertibleAddress(conversion.target) ? 502 : 400;
        response.set_content(g_lastError + "\n", "text/plain; charset=windows-1252");
        return;
    }
    response.set_content(text, "text/plain; charset=windows-1252");
}

}  // namespace tp::html2txt
