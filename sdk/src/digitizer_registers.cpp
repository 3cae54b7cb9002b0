#include "connection.h"
#include "function_trail.h"
#include "registers.h"

#include <cstring>

using namespace zul;

namespace {

// Where the 24-byte register block keeps each run of registers; registers
// 16, 17 and 21 are not in it, and 23 is read-only.
struct BlockRun {
    int firstRegister;
    int blockOffset;
    int count;
};
constexpr BlockRun kWrittenRuns[] = {{0, 0, 16}, {18, 16, 3}, {22, 19, 1}, {24, 21, 3}};
constexpr int kReadOnlyRegister = 23;
constexpr int kReadOnlyOffset = 20;
constexpr int kBlockReadCount = 27;

} // namespace

extern "C" ZUL_API int ZUL_setDigitizerRegister(int reg, int value)
{
    entering("ZUL_setDigitizerRegister");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!writeRegister(reg & 0xFF, static_cast<std::uint8_t>(value)))
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getDigitizerRegister(int reg, uint8_t *out)
{
    entering("ZUL_getDigitizerRegister");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    if (readRegisters(reg & 0xFF, out, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_setDigitizerRegisters(const uint8_t *block24)
{
    entering("ZUL_setDigitizerRegisters");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!block24)
        return failed(ZUL_ERR_BAD_POINTER);
    for (const BlockRun &run : kWrittenRuns)
        if (writeRegisters(run.firstRegister, block24 + run.blockOffset, run.count) != run.count)
            return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getDigitizerRegisters(uint8_t *block24)
{
    entering("ZUL_getDigitizerRegisters");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!block24)
        return failed(ZUL_ERR_BAD_POINTER);
    std::uint8_t registers[kBlockReadCount];
    if (readRegisters(0, registers, kBlockReadCount) != kBlockReadCount)
        return failed(ZUL_ERR_LOST_CONTACT);
    for (const BlockRun &run : kWrittenRuns)
        std::memcpy(block24 + run.blockOffset, registers + run.firstRegister, static_cast<std::size_t>(run.count));
    block24[kReadOnlyOffset] = registers[kReadOnlyRegister];
    return ZUL_OK;
}

// The control and status exports report a failed transfer as 18: a caller
// who asks for the status byte directly must be able to tell the card's
// answer from the stand-in value the pollers use.
extern "C" ZUL_API int ZUL_setControlStatus(int value)
{
    entering("ZUL_setControlStatus");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (writeControl(static_cast<std::uint8_t>(value)) != 0)
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getControlStatus(uint8_t *out)
{
    entering("ZUL_getControlStatus");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    std::uint8_t status = 0;
    const bool answered = readRegisters(kControlRegister, &status, 1) == 1;
    *out = answered ? status : kStatusOnFailure;
    if (!answered)
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getData(uint16_t *out)
{
    entering("ZUL_getData");
    const ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    *out = connection().device->readWindowWord(card->dataPortAddress - card->windowAddress);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_windowAddress(int32_t *out)
{
    entering("ZUL_ioWindowAddress");
    const ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    *out = static_cast<std::int32_t>(card->windowAddress);
    return ZUL_OK;
}
