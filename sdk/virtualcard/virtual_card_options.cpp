#include "virtual_card_options.h"

#include <charconv>

namespace zul::vcard {
namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

template <typename Number> bool number(std::string_view text, Number &out)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    out = value;
    return true;
}

bool flag(std::string_view text, bool &out)
{
    if (text == "1" || text == "yes" || text == "on" || text == "true") {
        out = true;
        return true;
    }
    if (text == "0" || text == "no" || text == "off" || text == "false") {
        out = false;
        return true;
    }
    return false;
}

bool apply(VirtualCardOptions &o, std::string_view key, std::string_view value)
{
    if (key == "standard") {
        if (value == "625")
            o.standard = 625;
        else if (value == "525")
            o.standard = 525;
        else if (value == "none" || value == "0")
            o.standard = 0;
        else
            return false;
        return true;
    }
    if (key == "narrow")
        return flag(value, o.narrow);
    if (key == "fresh")
        return flag(value, o.fresh);
    if (key == "source") {
        o.source = std::string(value);
        return true;
    }
    if (key == "scene") {
        if (value != "fringes" && value != "still")
            return false;
        o.fringes = value == "fringes";
        return true;
    }
    if (key == "window")
        return number(value, o.window);
    if (key == "id")
        return number(value, o.cardId);
    if (key == "device") {
        if (value != "absent" && value != "present")
            return false;
        o.noDevice = value == "absent";
        return true;
    }
    if (key == "probe") {
        if (value != "fail" && value != "ok")
            return false;
        o.probeFails = value == "fail";
        return true;
    }
    if (key == "open") {
        if (value == "card")
            o.openReply = OpenReply::Card;
        else if (value == "nocard")
            o.openReply = OpenReply::NoCard;
        else if (value == "nodriver")
            o.openReply = OpenReply::NoDriver;
        else if (value == "otherboard")
            o.openReply = OpenReply::OtherBoard;
        else if (value == "fail")
            o.openReply = OpenReply::Fail;
        else
            return false;
        return true;
    }
    if (key == "ident") {
        if (value != "fail" && value != "ok")
            return false;
        o.identifyFails = value == "fail";
        return true;
    }
    if (key == "failwrite")
        return number(value, o.failWrite) && o.failWrite >= 0;
    if (key == "shortwrite")
        return number(value, o.shortWrite) && o.shortWrite >= 0;
    if (key == "failread")
        return number(value, o.failRead) && o.failRead >= 0;
    if (key == "control") {
        if (value != "fail" && value != "ok")
            return false;
        o.controlFails = value == "fail";
        return true;
    }
    if (key == "status") {
        if (value != "fail" && value != "ok")
            return false;
        o.statusFails = value == "fail";
        return true;
    }
    if (key == "acquisition") {
        if (value == "stuck") {
            o.acquisitionStuck = true;
            return true;
        }
        o.acquisitionStuck = false;
        return number(value, o.acquisitionReads) && o.acquisitionReads >= 0;
    }
    if (key == "tick") {
        if (value != "none" && value != "ok")
            return false;
        o.noTick = value == "none";
        return true;
    }
    if (key == "trigger")
        return flag(value, o.trigger);
    if (key == "failclaim")
        return number(value, o.failClaim) && o.failClaim >= 0;
    if (key == "failfilewrite")
        return number(value, o.failFileWrite) && o.failFileWrite >= 0;
    return false;
}

} // namespace

ParsedOptions parseVirtualCardOptions(std::string_view text)
{
    ParsedOptions parsed;
    while (!text.empty()) {
        const auto end = text.find(';');
        const std::string_view item = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (item.empty())
            continue;
        const auto equals = item.find('=');
        const std::string_view key = trimmed(item.substr(0, equals));
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view{"1"} : trimmed(item.substr(equals + 1));
        // An item refused must leave the card as it was, not half set.
        VirtualCardOptions changed = parsed.options;
        if (apply(changed, key, value))
            parsed.options = changed;
        else
            parsed.errors.push_back(std::string(item));
    }
    return parsed;
}

} // namespace zul::vcard
