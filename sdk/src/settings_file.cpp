#include "ZUL_Tools_VB.h"
#include "decimal_text.h"
#include "messages.h"
#include "profile_text.h"
#include "replacing_file.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace zul;

namespace {

// The settings were always read into a buffer of this size.
constexpr size_t kValueBuffer = 100;

struct SettingKey {
    const char *name;
    void (*read)(ZulConfig &, std::string_view);
    std::string (*write)(const ZulConfig &);
};

template <typename Slot>
void store(Slot &slot, std::string_view text)
{
    // Window values are 16-bit: a larger number keeps its low 16 bits.
    slot = static_cast<Slot>(leadingInteger(text));
}

template <auto Field>
constexpr SettingKey integer(const char *name)
{
    return {name, [](ZulConfig &c, std::string_view v) { store(c.*Field, v); },
            [](const ZulConfig &c) { return std::to_string(c.*Field); }};
}

template <auto Window, auto Field>
constexpr SettingKey windowValue(const char *name)
{
    return {name, [](ZulConfig &c, std::string_view v) { store(c.*Window.*Field, v); },
            [](const ZulConfig &c) { return std::to_string(c.*Window.*Field); }};
}

constexpr SettingKey gamma(const char *name)
{
    return {name, [](ZulConfig &c, std::string_view v) { c.Gamma = leadingFloat(v); },
            [](const ZulConfig &c) { return twoDecimals(c.Gamma); }};
}

constexpr auto kPal = &ZulConfig::palWindow;
constexpr auto kNtsc = &ZulConfig::ntscWindow;

// In the order they are read and written. The first 30 must be there; a
// file may lack the last three.
constexpr SettingKey kKeys[] = {
    integer<&ZulConfig::SignalType>("SignalType"),
    integer<&ZulConfig::InputChannel>("InputChannel"),
    integer<&ZulConfig::Brightness>("Brightness"),
    integer<&ZulConfig::Contrast>("Contrast"),
    integer<&ZulConfig::Saturation>("Saturation"),
    integer<&ZulConfig::Hue>("Hue"),
    gamma("Gamma"),
    windowValue<kPal, &ZulVideoWindow::xOffset>("xOffsetPAL"),
    windowValue<kPal, &ZulVideoWindow::xActive>("xActivePAL"),
    windowValue<kPal, &ZulVideoWindow::xPixels>("xPixelsPAL"),
    windowValue<kPal, &ZulVideoWindow::yOffset>("yOffsetPAL"),
    windowValue<kPal, &ZulVideoWindow::yActive>("yActivePAL"),
    windowValue<kPal, &ZulVideoWindow::yPixels>("yPixelsPAL"),
    windowValue<kPal, &ZulVideoWindow::interlaced>("interlacedPAL"),
    windowValue<kNtsc, &ZulVideoWindow::xOffset>("xOffsetNTSC"),
    windowValue<kNtsc, &ZulVideoWindow::xActive>("xActiveNTSC"),
    windowValue<kNtsc, &ZulVideoWindow::xPixels>("xPixelsNTSC"),
    windowValue<kNtsc, &ZulVideoWindow::yOffset>("yOffsetNTSC"),
    windowValue<kNtsc, &ZulVideoWindow::yActive>("yActiveNTSC"),
    windowValue<kNtsc, &ZulVideoWindow::yPixels>("yPixelsNTSC"),
    windowValue<kNtsc, &ZulVideoWindow::interlaced>("interlacedNTSC"),
    integer<&ZulConfig::OutputFormat>("OutputFormat"),
    integer<&ZulConfig::ExtTrig>("ExtTrig"),
    integer<&ZulConfig::Flash>("Flash"),
    integer<&ZulConfig::ExtTrigEnable>("ExtTrigEnable"),
    integer<&ZulConfig::FlashEnable>("FlashEnable"),
    integer<&ZulConfig::Gray16Enable>("Gray16Enable"),
    integer<&ZulConfig::Gray256Enable>("Gray256Enable"),
    integer<&ZulConfig::Color256Enable>("Color256Enable"),
    integer<&ZulConfig::Color16MEnable>("Color16MEnable"),
    integer<&ZulConfig::Color32kEnable>("Color32kEnable"),
    integer<&ZulConfig::Color64kEnable>("Color64kEnable"),
    integer<&ZulConfig::Color32bitEnable>("Color32bitEnable"),
};
constexpr size_t kWindowKeysEnd = 22; // through OutputFormat
constexpr size_t kRequiredKeysEnd = 30;

// The whole file; a missing one reads as empty. Nothing when the file is
// there but cannot be read, so that no one writes over what they never saw.
std::optional<std::string> readWholeFile(const char *path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
    std::string contents;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ::close(fd);
            return got == 0 ? std::optional<std::string>(std::move(contents)) : std::nullopt;
        }
        contents.append(chunk, static_cast<size_t>(got));
    }
}

} // namespace

extern "C" ZUL_API int ZULX_readIniFile(const char *fileName, const char *section, ZulConfig *config)
{
    if (!fileName || !section || !config)
        return ZUL_ERR_BAD_POINTER;
    if (const int result = ZULX_defaultConfig(config))
        return result;

    const ProfileText text(readWholeFile(fileName).value_or(std::string()));
    // A key that is missing or empty ends the reading: the fields before it
    // hold what the file says, the rest their defaults.
    size_t next = 0;
    auto readThrough = [&](size_t end) {
        for (; next < end; ++next) {
            const auto value = text.value(section, kKeys[next].name);
            if (!value || value->empty())
                return false;
            kKeys[next].read(*config, std::string_view(*value).substr(0, kValueBuffer - 1));
        }
        return true;
    };

    bool complete = readThrough(kWindowKeysEnd);
    const int monochrome = config->OutputFormat == 1 || config->OutputFormat == 2 ? 1 : 0;
    config->palWindow.monochrome = monochrome;
    config->ntscWindow.monochrome = monochrome;
    complete = complete && readThrough(kRequiredKeysEnd);
    if (!complete)
        return reportError("Error when reading INI file.", ZUL_ERR_FILE);
    readThrough(std::size(kKeys));
    return ZUL_OK;
}

extern "C" ZUL_API int ZULX_saveIniFile(const char *fileName, const char *section, const ZulConfig *config)
{
    if (!fileName || !section || !config)
        return ZUL_ERR_BAD_POINTER;
    // All keys or none: the new text is built in memory and replaces the
    // file in one step, so a failed write never leaves half a file behind.
    const auto old = readWholeFile(fileName);
    bool ok = old.has_value();
    ProfileText text(old.value_or(std::string()));
    for (const SettingKey &key : kKeys)
        ok = ok && text.set(section, key.name, key.write(*config));
    if (ok) {
        const std::string bytes = text.bytes();
        ReplacingFile file(fileName);
        ok = file.write(bytes.data(), bytes.size()) && file.commit();
    }
    return ok ? ZUL_OK : reportError("Error when writing to INI file.", ZUL_ERR_FILE);
}
