// The e-mail texts: any file name and any content (memo or message) give a
// title and a text within their limits and a well-formed card.
#include "topics/email.h"
#include "fuzz/fuzz_support.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string fileName = input.ConsumeRandomLengthString(300);
    const bool message = input.ConsumeBool();
    std::string content = input.ConsumeRemainingBytesAsString();

    const std::string title = EmailTitle(fileName);
    Require(title.size() <= kEmailTitleMax, "title within its limit");
    const std::string text = message ? MessageText(std::move(content)) : MemoText(std::move(content));
    Require(text.size() <= kEmailTextMax, "text within its limit");
    fuzz::RequireWellFormedCard(title, text);
    return 0;
}
