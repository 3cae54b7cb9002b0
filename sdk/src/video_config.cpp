#include "connection.h"
#include "function_trail.h"
#include "video_limits.h"
#include "registers.h"

using namespace zul;

namespace {

constexpr std::uint8_t kVideoPresent = 0x80;
constexpr std::uint8_t kLines625 = 0x10;
constexpr int kNoSignal = 2;

constexpr std::uint8_t kSignalTypeBits[] = {0x00, 0x40, 0x80};

int standardOf(std::uint8_t status)
{
    return (status & kVideoPresent) ? (status & kLines625 ? 1 : 0) : kNoSignal;
}

} // namespace

extern "C" ZUL_API int ZUL_videoConfig(int channel, int signalType, ZulConfig *config)
{
    entering("ZUL_videoConfig");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    // A new configuration invalidates any snap, even one the checks below
    // go on to refuse.
    card->configured = 0;
    card->snapPrepared = 0;
    card->snapStarted = 0;
    card->snapFinished = 0;
    card->readoutStarted = 0;
    if (!config)
        return failed(ZUL_ERR_BAD_POINTER);
    const int input = channel & 0xFF;
    if (input >= 2 || signalType < 0 || signalType > 2)
        return failed(ZUL_ERR_RANGE);

    std::uint8_t status = 0;
    if (readRegisters(0, &status, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    card->standard = (status & kLines625) ? 1 : 0;
    config->videoStandard = standardOf(status);

    const std::uint8_t selection[3] = {static_cast<std::uint8_t>(status & ~kVideoPresent),
                                       static_cast<std::uint8_t>(input * 32 + 0x58), 0};
    if (writeRegisters(0, selection, 3) != 3)
        return failed(ZUL_ERR_LOST_CONTACT);

    std::uint8_t control = 0;
    if (readRegisters(11, &control, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    if (!writeRegister(11, static_cast<std::uint8_t>(kSignalTypeBits[signalType] + (control & 7) + 32)))
        return failed(ZUL_ERR_LOST_CONTACT);

    if (!writeRegister(18, 6) || !writeRegister(22, 0))
        return failed(ZUL_ERR_LOST_CONTACT);

    const bool lines625 = card->standard == 1;
    const std::uint8_t delays[3] = {static_cast<std::uint8_t>(lines625 ? 128 : 104),
                                    static_cast<std::uint8_t>(lines625 ? 114 : 93),
                                    static_cast<std::uint8_t>(signalType == 1 ? 128 : 130)};
    if (writeRegisters(24, delays, 3) != 3)
        return failed(ZUL_ERR_LOST_CONTACT);

    card->configured = 1;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_testSignal(ZulConfig *config)
{
    entering("ZUL_signalPresent");
    if (!config)
        return failed(ZUL_ERR_BAD_POINTER);
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    config->videoStandard = 0;
    std::uint8_t status = 0;
    if (readRegisters(0, &status, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    config->videoStandard = standardOf(status);
    if (!writeRegister(0, static_cast<std::uint8_t>(status & ~kVideoPresent)))
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getLimits(int standard, ZulLimits *out)
{
    entering("ZUL_getLimits");
    if (standard < 0 || standard > 2)
        return failed(ZUL_ERR_RANGE);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    *out = limitsFor(standard);
    return ZUL_OK;
}
