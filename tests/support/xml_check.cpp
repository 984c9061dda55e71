#include "tests/support/xml_check.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <string>

namespace tp::test {

bool IsWellFormedPage(std::string_view bytes, std::string& error) {
    error.clear();
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) {
        error = "no parser";
        return false;
    }
    const xmlDocPtr document =
        xmlCtxtReadMemory(context, bytes.data(), static_cast<int>(bytes.size()), "page.xml", "ISO-8859-1",
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    const bool wellFormed = document != nullptr && context->wellFormed;
    if (!wellFormed) {
        const xmlError* last = xmlCtxtGetLastError(context);
        error = last && last->message ? last->message : "not well-formed";
    }
    if (document) xmlFreeDoc(document);
    xmlFreeParserCtxt(context);
    return wellFormed;
}

}  // namespace tp::test
