// The virtual card's option string: every item is either understood or
// named among the errors, and the understood items alone give the same card.
#include "fuzz_check.h"
#include "virtual_card_options.h"

#include <algorithm>
#include <string>

using zul::vcard::VirtualCardOptions;

namespace {

bool same(const VirtualCardOptions &a, const VirtualCardOptions &b)
{
    return a.standard == b.standard && a.narrow == b.narrow && a.fresh == b.fresh && a.source == b.source
           && a.window == b.window && a.cardId == b.cardId && a.noDevice == b.noDevice && a.probeFails == b.probeFails
           && a.openReply == b.openReply && a.identifyFails == b.identifyFails && a.failWrite == b.failWrite
           && a.shortWrite == b.shortWrite && a.failRead == b.failRead && a.controlFails == b.controlFails
           && a.statusFails == b.statusFails && a.acquisitionStuck == b.acquisitionStuck
           && a.acquisitionReads == b.acquisitionReads && a.noTick == b.noTick && a.trigger == b.trigger
           && a.failClaim == b.failClaim && a.failFileWrite == b.failFileWrite;
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const auto parsed = zul::vcard::parseVirtualCardOptions(text);
    std::string understood;
    std::size_t errors = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string item = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (item.empty())
            continue;
        if (errors < parsed.errors.size() && parsed.errors[errors] == item) {
            ++errors;
            continue;
        }
        understood += item + ";";
    }
    FUZZ_CHECK(errors == parsed.errors.size());
    const auto again = zul::vcard::parseVirtualCardOptions(understood);
    FUZZ_CHECK(again.errors.empty());
    FUZZ_CHECK(same(again.options, parsed.options));
    return 0;
}
