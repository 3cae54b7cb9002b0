// The capture library's settings-file text: read and written back untouched
// it is the same bytes, and a value set is the value read after a reload,
// with every other value of the file as it was.
#include "fuzz_check.h"
#include "profile_text.h"

#include <string>
#include <string_view>

namespace {

std::string lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    zul::ProfileText text(bytes);
    FUZZ_CHECK(text.bytes() == bytes);

    // A section and a key taken from the input itself, so that both the
    // in-place and the appending paths are reached.
    std::string section = "capture";
    std::string key = "Brightness";
    if (const auto open = bytes.find('['); open != std::string::npos) {
        const auto close = bytes.find(']', open);
        if (close != std::string::npos && close - open < 40)
            section = bytes.substr(open + 1, close - open - 1);
        const auto equals = bytes.find('=', open);
        const auto lineStart = bytes.rfind('\n', equals);
        if (equals != std::string::npos && lineStart != std::string::npos && lineStart > open && equals - lineStart < 40)
            key = bytes.substr(lineStart + 1, equals - lineStart - 1);
    }
    const auto otherBefore = text.value("other", "Contrast");
    if (!text.set(section, key, "fuzz42"))
        return 0;
    const zul::ProfileText reloaded(text.bytes());
    FUZZ_CHECK(reloaded.value(section, key) == std::optional<std::string>("fuzz42"));
    if (lower(section).find("other") == std::string::npos || lower(key).find("contrast") == std::string::npos)
        FUZZ_CHECK(reloaded.value("other", "Contrast") == otherBefore);
    return 0;
}
